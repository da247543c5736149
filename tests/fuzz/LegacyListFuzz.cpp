// Arbitrary bytes as a list and its side settings file (split at the first
// zero byte): the import never crashes or hangs, and every row it makes has
// one cell per column.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/ScheduleDocument.h"

namespace {

struct TListHolder {
    TScheduleDocument* Doc;
    String List;
    TListHolder() : Doc(Create<TScheduleDocument>(nullptr)), List("/tmp/vek-fuzz-" + std::to_string(::getpid()) + ".lst")
    {
        FormatSettings = TFormatSettings::Default();
        Doc->ActionNew();
    }
    ~TListHolder()
    {
        Doc->Free();
        std::remove(List.c_str());
        std::remove((List + ".ini").c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TListHolder holder;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = bytes.find('\0');
    std::ofstream(holder.List, std::ios::binary | std::ios::trunc) << bytes.substr(0, zero);
    if (zero != std::string::npos)
        std::ofstream(holder.List + ".ini", std::ios::binary | std::ios::trunc) << bytes.substr(zero + 1);
    else
        std::remove((holder.List + ".ini").c_str());
    holder.Doc->ActionNew();
    if (holder.Doc->Import(holder.List)) {
        for (const TWhichTable table : {tbTable, tbExclude}) {
            const int columns = holder.Doc->GetTableColCount(table);
            holder.Doc->ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
                if (!Row->StringList || Row->StringList->Count() != columns)
                    __builtin_trap();
            });
        }
    }
    return 0;
}
