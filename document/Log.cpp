#include "document/Log.h"

#include <cstdio>

namespace {

TLogSink& CurrentSink()
{
    static TLogSink sink;
    return sink;
}

}  // namespace

void WriteLog(const String& Line)
{
    const TLogSink& sink = CurrentSink();
    if (sink) {
        sink(Line);
        return;
    }
    std::fprintf(stderr, "%s\n", Line.c_str());
}

TLogSink SetLogSink(TLogSink Sink)
{
    TLogSink old = std::move(CurrentSink());
    CurrentSink() = std::move(Sink);
    return old;
}
