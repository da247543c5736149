// Arbitrary bytes as a document file: loading never crashes or hangs, and
// whatever was loaded saves and loads again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/ScheduleDocument.h"

namespace {

struct TDocumentHolder {
    TScheduleDocument* Doc;
    String In;
    String Out;
    TDocumentHolder()
        : Doc(Create<TScheduleDocument>(nullptr)),
          In("/tmp/vek-fuzz-in-" + std::to_string(::getpid()) + ".vek"),
          Out("/tmp/vek-fuzz-out-" + std::to_string(::getpid()) + ".vek")
    {
        FormatSettings = TFormatSettings::Default();
        Doc->ActionNew();
    }
    ~TDocumentHolder()
    {
        Doc->Free();
        std::remove(In.c_str());
        std::remove(Out.c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TDocumentHolder holder;
    {
        std::ofstream out(holder.In, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    if (holder.Doc->Load(holder.In)) {
        // The bytes SaveTo would write, without its flush to the disk.
        std::ofstream(holder.Out, std::ios::binary | std::ios::trunc) << holder.Doc->DocumentBytes();
        if (!holder.Doc->Load(holder.Out))
            __builtin_trap();
    }
    return 0;
}
