// The data-transfer objects of the tree-grid control: live trees by number,
// the formats a tree offers, the data object and its format enumerator.
#include "components/TreeGrid/TreeGridDataObject.h"

#include <map>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/SysUtils.h"

// ---- live trees -------------------------------------------------------------------

namespace {

// Trees live on the GUI thread only; so does this map.
struct TTreeRegistry {
    std::map<Cardinal, TBaseTreeGrid*> Trees;
    Cardinal Next = 1;
};

TTreeRegistry& Registry()
{
    static TTreeRegistry registry;
    return registry;
}

}  // namespace

Cardinal RegisterTreeGrid(TBaseTreeGrid* Tree)
{
    TTreeRegistry& r = Registry();
    const Cardinal number = r.Next++;
    r.Trees[number] = Tree;
    return number;
}

void UnregisterTreeGrid(Cardinal Number) { Registry().Trees.erase(Number); }

TBaseTreeGrid* FindTreeGrid(Cardinal Number)
{
    const auto& trees = Registry().Trees;
    const auto it = trees.find(Number);
    return it == trees.end() ? nullptr : it->second;
}

TBaseTreeGrid* GetTreeFromDataObject(IDataObject* DataObject)
{
    if (!DataObject)
        return nullptr;
    std::string bytes;
    try {
        if (!GetDataBytes(*DataObject, CF_TREEGRIDREFERENCE(), bytes) || bytes.size() != 8)
            return nullptr;
    } catch (const Exception&) {
        return nullptr;
    }
    auto field = [&bytes](std::size_t at) {
        return Cardinal(Byte(bytes[at])) | Cardinal(Byte(bytes[at + 1])) << 8 | Cardinal(Byte(bytes[at + 2])) << 16 |
            Cardinal(Byte(bytes[at + 3])) << 24;
    };
    if (field(0) != GetCurrentProcessId())
        return nullptr;
    return FindTreeGrid(field(4));
}

// ---- formats a tree offers ------------------------------------------------------------

TClipboardFormats::TClipboardFormats(TBaseTreeGrid* AOwner) : FOwner(AOwner)
{
    SetSorted(true);
    Duplicates = dupIgnore;
}

bool TClipboardFormats::Accepts(const String& S) const
{
    const TClass treeClass = ClipboardFormatList().FindFormat(S);
    return treeClass && FOwner && FOwner->ClassInfo()->InheritsFrom(treeClass);
}

int TClipboardFormats::Add(const String& S)
{
    return Accepts(S) ? TStringList::Add(S) : -1;
}

void TClipboardFormats::Insert(int, const String& S)
{
    if (Accepts(S))
        TStringList::Add(S);
}

// ---- format enumerator ------------------------------------------------------------------

TEnumFormatEtc::TEnumFormatEtc(TBaseTreeGrid* Tree, std::vector<TFormatEtc> Formats)
    : FTree(Tree), FFormatEtcArray(std::move(Formats))
{
}

HRESULT TEnumFormatEtc::Next(Cardinal Count, std::vector<TFormatEtc>& Elements, Cardinal* Fetched)
{
    Cardinal fetched = 0;
    while (fetched < Count && FCurrentIndex < FFormatEtcArray.size()) {
        Elements.push_back(FFormatEtcArray[FCurrentIndex++]);
        ++fetched;
    }
    if (Fetched)
        *Fetched = fetched;
    return fetched == Count ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(Cardinal Count)
{
    const std::size_t left = FFormatEtcArray.size() - FCurrentIndex;
    if (Count > left) {
        FCurrentIndex = FFormatEtcArray.size();
        return S_FALSE;
    }
    FCurrentIndex += Count;
    return S_OK;
}

HRESULT TEnumFormatEtc::Reset()
{
    FCurrentIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(std::unique_ptr<TEnumFormatEtc>& Enum) const
{
    Enum = std::make_unique<TEnumFormatEtc>(FTree, FFormatEtcArray);
    Enum->FCurrentIndex = FCurrentIndex;
    return S_OK;
}

// ---- data object ------------------------------------------------------------------------

TTGDataObject::TTGDataObject(TBaseTreeGrid* AOwner, bool ForClipboard)
    : FOwner(AOwner->TreeNumber()), FForClipboard(ForClipboard)
{
    AOwner->GetNativeClipboardFormats(FFormatEtcArray);
    TFormatEtc reference;
    reference.cfFormat = CF_TREEGRIDREFERENCE();
    FFormatEtcArray.push_back(reference);
    for (const TFormatEtc& f : FFormatEtcArray)
        FInternalStgMediumArray.push_back({f.cfFormat, false, {}});
}

TTGDataObject::~TTGDataObject()
{
    if (!FForClipboard)
        return;
    try {
        if (TBaseTreeGrid* tree = Owner())
            tree->ClipboardDataObjectGone(this);
    } catch (const Exception&) {
        // The tree's repaint failing must not take the clipboard down with it.
    }
}

TBaseTreeGrid* TTGDataObject::Owner() const { return FindTreeGrid(FOwner); }

HRESULT TTGDataObject::EnumFormatEtc(Cardinal Direction, std::unique_ptr<TEnumFormatEtc>& Enum)
{
    if (Direction != DATADIR_GET)
        return E_NOTIMPL;
    Enum = std::make_unique<TEnumFormatEtc>(Owner(), FFormatEtcArray);
    return S_OK;
}

HRESULT TTGDataObject::QueryGetData(const TFormatEtc& Format)
{
    return QueryOfferedFormat(FFormatEtcArray, Format);
}

HRESULT TTGDataObject::GetData(const TFormatEtc& Format, TStream& Medium)
{
    try {
        TBaseTreeGrid* tree = Owner();
        if (Format.cfFormat == CF_TREEGRIDREFERENCE()) {
            if (!tree || tree->TreeStates().Contains(tsClipboardFlushing))
                return E_FAIL;
            Medium.WriteUInt32(GetCurrentProcessId());
            Medium.WriteUInt32(FOwner);
            return S_OK;
        }
        const HRESULT query = QueryGetData(Format);
        if (query != S_OK)
            return query;
        for (const TInternalStgMedium& stored : FInternalStgMediumArray)
            if (stored.Format == Format.cfFormat && stored.Stored) {
                Medium.WriteBytes(stored.Data);
                return S_OK;
            }
        if (!tree)
            return E_FAIL;
        // Rendered aside, so that a failure leaves nothing half-written.
        TMemoryStream rendered;
        const HRESULT result = tree->RenderOLEData(Format, rendered, FForClipboard);
        if (result != S_OK)
            return E_FAIL;
        Medium.WriteBytes(rendered.DataString());
        return S_OK;
    } catch (const Exception&) {
        return E_FAIL;
    }
}

HRESULT TTGDataObject::GetDataHere(const TFormatEtc&, TStream&) { return E_NOTIMPL; }

HRESULT TTGDataObject::GetCanonicalFormatEtc(const TFormatEtc& Format, TFormatEtc& Result)
{
    Result = Format;
    Result.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TTGDataObject::SetData(const TFormatEtc& Format, const std::string& Data)
{
    TInternalStgMedium* slot = nullptr;
    for (TInternalStgMedium& stored : FInternalStgMediumArray)
        if (stored.Format == Format.cfFormat)
            slot = &stored;
    if (!slot) {
        FFormatEtcArray.push_back(Format);
        FInternalStgMediumArray.push_back({Format.cfFormat, false, {}});
        slot = &FInternalStgMediumArray.back();
    }
    slot->Data = Data;
    slot->Stored = true;
    if (FAdviseHolder)
        for (const auto& [connection, advise] : *FAdviseHolder)
            if (advise.second)
                advise.second(Format);
    return S_OK;
}

HRESULT TTGDataObject::DAdvise(const TFormatEtc& Format, TDataAdviseSink Sink, Cardinal& Connection)
{
    if (!FAdviseHolder)
        FAdviseHolder = std::make_unique<std::map<Cardinal, std::pair<TFormatEtc, TDataAdviseSink>>>();
    Connection = FNextConnection++;
    (*FAdviseHolder)[Connection] = {Format, std::move(Sink)};
    return S_OK;
}

HRESULT TTGDataObject::DUnadvise(Cardinal Connection)
{
    if (!FAdviseHolder)
        return E_NOTIMPL;
    return FAdviseHolder->erase(Connection) > 0 ? S_OK : OLE_E_NOCONNECTION;
}

HRESULT TTGDataObject::EnumDAdvise(std::vector<Cardinal>& Connections)
{
    if (!FAdviseHolder)
        return OLE_E_ADVISENOTSUPPORTED;
    Connections.clear();
    for (const auto& [connection, advise] : *FAdviseHolder)
        Connections.push_back(connection);
    return S_OK;
}
