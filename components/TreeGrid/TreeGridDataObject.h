#pragma once
// What a tree hands to the clipboard and to drags: the formats a tree offers
// (TClipboardFormats), the data object that renders each format through its
// tree only when a reader asks (TTGDataObject) with its format enumerator,
// and the registry that tells live trees by number.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Clipbrd.h"
#include "platform/DragDrop.h"
#include "platform/StringList.h"

class TBaseTreeGrid;

// ---- live trees -----------------------------------------------------------------

// Every tree gets a number at birth that no later tree takes again; a data
// object names its tree by it, so a reference never reaches a freed tree or
// another one in its place.
Cardinal RegisterTreeGrid(TBaseTreeGrid* Tree);
void UnregisterTreeGrid(Cardinal Number);
// The live tree with Number; null when it is gone.
TBaseTreeGrid* FindTreeGrid(Cardinal Number);

// The tree a data object comes from, when it is a tree of this process that
// still lives; null otherwise.
TBaseTreeGrid* GetTreeFromDataObject(IDataObject* DataObject);

// ---- formats a tree offers ---------------------------------------------------------

class TClipboardFormats : public TStringList {
    VEK_DECLARE_CLASS(TClipboardFormats, TStringList)
public:
    explicit TClipboardFormats(TBaseTreeGrid* AOwner);
    TBaseTreeGrid* Owner() const { return FOwner; }
    // Takes a format only when it is registered and the owner's class can
    // render it: -1 otherwise. The list stays sorted, without duplicates.
    int Add(const String& S) override;
    // As Add: the list's order is its sort order.
    void Insert(int Index, const String& S) override;

private:
    bool Accepts(const String& S) const;
    TBaseTreeGrid* FOwner;
};

// ---- format enumerator --------------------------------------------------------------

class TEnumFormatEtc {
public:
    TEnumFormatEtc(TBaseTreeGrid* Tree, std::vector<TFormatEtc> Formats);
    // Up to Count entries from the current one: S_OK with all of them,
    // S_FALSE with fewer.
    HRESULT Next(Cardinal Count, std::vector<TFormatEtc>& Elements, Cardinal* Fetched = nullptr);
    HRESULT Skip(Cardinal Count);
    HRESULT Reset();
    // An enumerator over the same formats at the same place.
    HRESULT Clone(std::unique_ptr<TEnumFormatEtc>& Enum) const;

private:
    TBaseTreeGrid* FTree;
    std::vector<TFormatEtc> FFormatEtcArray;
    std::size_t FCurrentIndex = 0;
};

// ---- data object ------------------------------------------------------------------

constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003u);
constexpr HRESULT OLE_E_NOCONNECTION = static_cast<HRESULT>(0x80040004u);
constexpr Cardinal DATADIR_GET = 1;
constexpr Cardinal DATADIR_SET = 2;

// Told that the data of a format changed (SetData).
using TDataAdviseSink = std::function<void(const TFormatEtc& Format)>;

class TTGDataObject : public IDataObject {
public:
    // The tree's native formats, and the tree reference.
    TTGDataObject(TBaseTreeGrid* AOwner, bool ForClipboard);
    // A clipboard object that goes while it is its tree's clipboard content
    // (another owner took the clipboard) ends the tree's pending cut or copy,
    // unless the tree is flushing the clipboard.
    ~TTGDataObject() override;

    // The tree while it lives; null after.
    TBaseTreeGrid* Owner() const;
    bool ForClipboard() const { return FForClipboard; }

    std::vector<TFormatEtc> EnumFormatEtc() override { return FFormatEtcArray; }
    HRESULT EnumFormatEtc(Cardinal Direction, std::unique_ptr<TEnumFormatEtc>& Enum);
    HRESULT QueryGetData(const TFormatEtc& Format) override;
    // Data stored with SetData, else what the tree renders.
    HRESULT GetData(const TFormatEtc& Format, TStream& Medium) override;
    HRESULT GetDataHere(const TFormatEtc& Format, TStream& Medium);
    HRESULT GetCanonicalFormatEtc(const TFormatEtc& Format, TFormatEtc& Result);
    // Offers Format with Data from now on (replacing earlier data of it).
    HRESULT SetData(const TFormatEtc& Format, const std::string& Data);
    HRESULT DAdvise(const TFormatEtc& Format, TDataAdviseSink Sink, Cardinal& Connection);
    HRESULT DUnadvise(Cardinal Connection);
    HRESULT EnumDAdvise(std::vector<Cardinal>& Connections);

private:
    struct TInternalStgMedium {
        TClipFormat Format;
        bool Stored = false;
        std::string Data;
    };
    Cardinal FOwner;
    bool FForClipboard;
    std::vector<TFormatEtc> FFormatEtcArray;
    std::vector<TInternalStgMedium> FInternalStgMediumArray;
    // The advise holder, made by the first DAdvise.
    std::unique_ptr<std::map<Cardinal, std::pair<TFormatEtc, TDataAdviseSink>>> FAdviseHolder;
    Cardinal FNextConnection = 1;
};

// ---- drag manager ---------------------------------------------------------------

constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

// The tree's drop target: keeps what a drag over the tree brings and hands
// every step to the tree.
class TTGDragManager : public IDropTarget {
public:
    explicit TTGDragManager(TBaseTreeGrid* AOwner) : FOwner(AOwner) {}

    HRESULT DragEnter(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) override;
    HRESULT DragOver(int KeyState, TPoint Pt, int& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) override;

    // The data of the running drag; without one the owner's
    // OnCreateDataObject, else a new data object of the owner for dragging.
    IDataObjectPtr GetDataObject();
    // The tree the running drag started in, when it is one of this process.
    TBaseTreeGrid* GetDragSource() const { return FDragSource; }
    bool GetIsDropTarget() const { return FIsDropTarget; }
    // The tree goes; a drag still holding the manager meets a refusal.
    void Detach() { FOwner = nullptr; }

private:
    TBaseTreeGrid* FOwner;
    TBaseTreeGrid* FDragSource = nullptr;
    bool FIsDropTarget = false;
    IDataObjectPtr FDataObject;
};

// The drag source's answers to the drag loop: the default cursors, and
// cancel on Escape or both buttons, drop with no button, else go on.
HRESULT GiveFeedback(int Effect);
HRESULT QueryContinueDrag(bool EscapePressed, int KeyState);
