#include "network/NetLog.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& HookMutex()
{
    static std::mutex m;
    return m;
}

TNetLogHook& Hook()
{
    static TNetLogHook hook;
    return hook;
}

} // namespace

void SetNetLogHook(TNetLogHook NewHook)
{
    std::lock_guard<std::mutex> lock(HookMutex());
    Hook() = std::move(NewHook);
}

void NetLog(const String& Line)
{
    TNetLogHook hook;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        hook = Hook();
    }
    if (hook) {
        hook(Line);
        return;
    }
    std::fprintf(stderr, "%s\n", Line.c_str());
}
