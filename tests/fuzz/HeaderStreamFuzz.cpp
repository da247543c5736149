// Arbitrary bytes as a tree's header stream: loading never crashes or
// hangs, leaves the columns' display order a permutation and every column
// reference valid, and a header it takes whole saves to bytes that load back
// and save the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/fuzz/TreeGridFuzzTree.h"

namespace {

void CheckHeader(TTGHeader* Header)
{
    TTreeGridColumns* columns = Header->Columns();
    const int count = columns->Count();
    std::vector<bool> seen(static_cast<std::size_t>(count), false);
    if (columns->PositionToIndex().size() != seen.size())
        std::abort();
    for (int index : columns->PositionToIndex()) {
        if (index < 0 || index >= count || seen[std::size_t(index)])
            std::abort();
        seen[std::size_t(index)] = true;
    }
    for (TColumnIndex c : {Header->MainColumn(), Header->SortColumn(), Header->AutoSizeIndex()})
        if (c < NoColumn || c >= count)
            std::abort();
    if (Header->States().Contains(hsLoading))
        std::abort();
}

std::string Saved(TTGHeader* Header)
{
    TMemoryStream stream;
    Header->SaveToStream(stream);
    return stream.DataString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream input;
    input.WriteBuffer(data, Int64(size));
    input.SetPosition(0);

    auto* tree = Create<TFuzzTree>(nullptr);
    tree->Header()->Columns()->Add()->SetText("before");
    bool whole = true;
    try {
        tree->Header()->LoadFromStream(input);
    } catch (const ETreeGridError&) {
        whole = false;
    }
    CheckHeader(tree->Header());
    if (whole) {
        const std::string first = Saved(tree->Header());
        auto* copy = Create<TFuzzTree>(nullptr);
        TMemoryStream again;
        again.WriteBytes(first);
        again.SetPosition(0);
        copy->Header()->LoadFromStream(again);
        CheckHeader(copy->Header());
        if (Saved(copy->Header()) != first || !copy->Header()->Equals(*tree->Header()))
            std::abort();
        copy->Free();
    }
    tree->Free();
    return 0;
}
