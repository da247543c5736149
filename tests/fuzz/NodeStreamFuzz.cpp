// Arbitrary bytes as a tree's node stream: loading never crashes, hangs or
// breaks the tree's bookkeeping, whatever it refuses; a stream it takes
// whole saves to bytes that load back and save the same again.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/TreeGridFuzzTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool multiSelect = size > 0 && (data[0] & 1);
    TMemoryStream input;
    input.WriteBuffer(data, Int64(size));
    input.SetPosition(0);

    auto* tree = Create<TFuzzTree>(nullptr);
    tree->Setup(multiSelect);
    bool whole = true;
    try {
        tree->LoadFromStream(input);
    } catch (const ETreeGridError&) {
        whole = false;
    }
    tree->Check();
    if (whole) {
        const std::string first = tree->Saved();
        auto* copy = Create<TFuzzTree>(nullptr);
        copy->Setup(multiSelect);
        TMemoryStream again;
        again.WriteBytes(first);
        again.SetPosition(0);
        copy->LoadFromStream(again);
        copy->Check();
        if (copy->Saved() != first)
            std::abort();
        copy->Free();
    }
    tree->Free();
    return 0;
}
