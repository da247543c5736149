// Arbitrary bytes as another instance's entry file: reading never crashes,
// and whatever reads as an entry writes back to the very same text.
#include <cstdint>
#include <string>

#include "platform/InstanceRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String text(reinterpret_cast<const char*>(data), size);
    String caption, path;
    if (!ParseInstanceEntry(text, caption, path))
        return 0;
    String again, againPath;
    if (!ParseInstanceEntry(FormatInstanceEntry(caption, path), again, againPath) || again != caption ||
        againPath != path)
        __builtin_trap();
    String name;
    VEKWindowName(caption, name);
    return 0;
}
