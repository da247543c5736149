// Arbitrary bytes as a change file: reading never crashes or hangs, and
// applying it to a document leaves a document that still works.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "document/ScheduleDocument.h"
#include "document/XMLTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TScheduleDocument* doc = [] {
        FormatSettings = TFormatSettings::Default();
        TScheduleDocument* d = Create<TScheduleDocument>(nullptr);
        d->ActionNew();
        return d;
    }();
    static const std::string path = "/tmp/vek-fuzz-diff-" + std::to_string(::getpid()) + ".diff";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TXMLTree tree;
    if (tree.LoadFromBytes(bytes))
        (void)tree.findNamedNode("data");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    doc->LoadDiff(path);
    if (doc->GetTableRowCount(tbTable) > 1000)
        doc->ClearRows();
    std::remove(path.c_str());
    return 0;
}
