// Arbitrary bytes as the node stream of a paste: the first byte picks the
// target row and the attach mode, the rest is what another program put on
// the clipboard as "Tree Grid Data". Pasting never crashes or hangs, keeps
// the rows that were there and the tree's bookkeeping whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "components/TreeGrid/TreeGridUnit.h"
#include "tests/fuzz/TreeGridFuzzTree.h"

namespace {

class TPastedData : public IDataObject {
public:
    std::string Bytes;
    std::vector<TFormatEtc> EnumFormatEtc() override
    {
        TFormatEtc f;
        f.cfFormat = CF_TREEGRIDDATA();
        return {f};
    }
    HRESULT QueryGetData(const TFormatEtc& Format) override { return QueryOfferedFormat(EnumFormatEtc(), Format); }
    HRESULT GetData(const TFormatEtc& Format, TStream& Medium) override
    {
        if (Format.cfFormat != CF_TREEGRIDDATA())
            return DV_E_FORMATETC;
        Medium.WriteBytes(Bytes);
        return S_OK;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Byte pick = data[0];
    auto pasted = std::make_shared<TPastedData>();
    pasted->Bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);

    auto* tree = Create<TFuzzTree>(nullptr);
    tree->Setup(pick & 0x40);
    TGridNode* rows[3];
    for (TGridNode*& row : rows)
        row = tree->AddChild(nullptr);
    tree->AddChild(rows[1]);
    TGridNode* target = (pick & 3) == 3 ? nullptr : rows[pick & 3];
    const auto mode = TTGNodeAttachMode((pick >> 2) % (amAddChildLast + 1));
    try {
        tree->ProcessOLEData(nullptr, pasted, target, mode, false);
    } catch (const ETreeGridError&) {
    }
    tree->Check();
    // The rows that were there are still there.
    std::map<TGridNode*, bool> found;
    for (TGridNode* n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
        found[n] = true;
    for (TGridNode* row : rows)
        if (!found[row])
            std::abort();
    tree->Free();
    return 0;
}
