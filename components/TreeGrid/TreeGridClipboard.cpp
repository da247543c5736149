// Copy, cut and paste of TBaseTreeGrid through the clipboard's data objects.
//
// Rows always travel as a node stream and arrive as new nodes: a paste never
// shares or moves node blocks between trees, so a row's user data reaches
// the target only through the target's OnLoadNode, and a tree that keeps
// user data without reading it takes nothing. A cut ends only once a paste
// took its rows.
#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/Messages.h"

// ---- the cut or copy set ------------------------------------------------------------

TGridNode* TBaseTreeGrid::GetFirstCutCopy() { return GetNextCutCopy(nullptr); }

TGridNode* TBaseTreeGrid::GetNextCutCopy(TGridNode* Node)
{
    TGridNode* run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !run->States.Contains(vsCutOrCopy))
        run = GetNextNoInit(run);
    return run;
}

TNodeArray TBaseTreeGrid::GetSortedCutCopySet(bool Resolve) const
{
    return NodesInState(vsCutOrCopy, Resolve, 0);
}

void TBaseTreeGrid::MarkCutCopyNodes()
{
    for (TGridNode* node : GetSortedSelection(true))
        if (!node->States.Contains(vsDisabled))
            node->States.Include(vsCutOrCopy);
}

// Marks left behind by a finished copy go too, so that no stale mark joins
// the next set.
void TBaseTreeGrid::CancelCutOrCopy()
{
    for (TGridNode* run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        run->States.Exclude(vsCutOrCopy);
    if (FStates.ContainsAny(TTreeGridStates{tsCutPending, tsCopyPending})) {
        DoStateChange({}, {tsCutPending, tsCopyPending});
        RepaintTree();
    }
}

void TBaseTreeGrid::FinishCutOrCopy()
{
    if (FStates.Contains(tsCutPending)) {
        const TNodeArray nodes = GetSortedCutCopySet(true);
        BeginUpdate();
        try {
            for (std::size_t i = nodes.size(); i > 0; --i)
                DeleteNode(nodes[i - 1], i == 1 || nodes[i - 1]->Parent != nodes[i - 2]->Parent);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    DoStateChange({}, {tsCutPending, tsCopyPending});
}

// ---- copy, cut, paste ----------------------------------------------------------------

void TBaseTreeGrid::CopyToClipBoard()
{
    if (SelectedCount() > 0)
        StartCutOrCopy(tsCopyPending);
}

void TBaseTreeGrid::CutToClipBoard()
{
    if (SelectedCount() > 0 && !FOptions->MiscOptions().Contains(toReadOnly))
        StartCutOrCopy(tsCutPending);
}

void TBaseTreeGrid::StartCutOrCopy(TTreeGridState Pending)
{
    const IDataObjectPtr data = std::make_shared<TTGDataObject>(this, true);
    if (OleSetClipboard(data) != S_OK)
        return;
    FClipboardData = data;
    FClipboardDataAddress = data.get();
    CancelCutOrCopy();
    MarkCutCopyNodes();
    DoStateChange({Pending}, {Pending == tsCutPending ? tsCopyPending : tsCutPending});
    RepaintTree();
}

bool TBaseTreeGrid::PasteFromClipboard()
{
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return false;
    IDataObjectPtr data;
    if (OleGetClipboard(data) != S_OK || !data)
        ShowError("Clipboard operation failed.", 2007);
    TBaseTreeGrid* source = GetTreeFromDataObject(data.get());
    TGridNode* target = FFocusedNode;
    TTGNodeAttachMode mode = FDefaultPasteMode;
    // Rows pasted into a row of this tree's own cut set would go with it
    // when the cut ends: they land behind the outermost cut row instead.
    if (source == this && FStates.Contains(tsCutPending)) {
        for (TGridNode* run = target; run && run != FRoot; run = run->Parent)
            if (run->States.Contains(vsCutOrCopy)) {
                target = run;
                mode = amInsertAfter;
            }
    }
    const bool inserted =
        ProcessOLEData(source, data, target, mode, source && source->FStates.Contains(tsCutPending));
    if (inserted && source)
        source->FinishCutOrCopy();
    return inserted;
}

bool TBaseTreeGrid::ProcessOLEData(TBaseTreeGrid*, const IDataObjectPtr& DataObject, TGridNode* TargetNode,
    TTGNodeAttachMode Mode, bool)
{
    if (!DataObject || Mode == amNoWhere || FOptions->MiscOptions().Contains(toReadOnly) || !CanLoadUserData())
        return false;
    std::string bytes;
    if (!GetDataBytes(*DataObject, CF_TREEGRIDDATA(), bytes))
        return false;
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    const int version = ReadStreamMagic(stream);
    Cardinal count = Cardinal(-1);
    if (version >= 2) {
        if (stream.Remaining() < 4)
            ShowError("Unable to load tree structure, not enough data available.");
        count = stream.ReadUInt32();
    }
    if (!TargetNode || TreeFromNode(TargetNode) != this)
        TargetNode = FRoot;
    if (TargetNode == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if (TargetNode != FRoot && !TargetNode->States.Contains(vsInitialized))
        InitNode(TargetNode);
    if (TargetNode->States.Contains(vsHasChildren) && TargetNode->ChildCount == 0)
        InitChildren(TargetNode);

    bool inserted = false;
    BeginUpdate();
    try {
        // The records keep their order: after the first, each goes behind the one before.
        TGridNode* previous = nullptr;
        while (count > 0 && stream.Remaining() > 0) {
            TGridNode* node = MakeNewNode();
            InternalConnectNode(node, previous ? previous : TargetNode, this, previous ? amInsertAfter : Mode);
            previous = node;
            inserted = true;
            InternalAddFromStream(stream, version, node);
            DoNodeCopied(node);
            --count;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    if (inserted)
        StructureChange(TargetNode == FRoot ? nullptr : TargetNode, crNodeCopied);
    return inserted;
}

// ---- rendering -----------------------------------------------------------------------

HRESULT TBaseTreeGrid::RenderOLEData(const TFormatEtc& FormatEtcIn, TStream& Medium, bool ForClipboard)
{
    if (FormatEtcIn.cfFormat != CF_TREEGRIDDATA())
        return DV_E_FORMATETC;
    // A clipboard object renders what was cut or copied, a drag what is selected.
    WriteNodes(Medium, ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true));
    return S_OK;
}

void TBaseTreeGrid::GetNativeClipboardFormats(std::vector<TFormatEtc>& Formats)
{
    ClipboardFormatList().EnumerateFormats(ClassInfo(), Formats,
        FClipboardFormats->Count() > 0 ? FClipboardFormats.get() : nullptr);
    DoGetUserClipboardFormats(Formats);
}

void TBaseTreeGrid::DoGetUserClipboardFormats(std::vector<TFormatEtc>& Formats)
{
    if (OnGetUserClipboardFormats)
        OnGetUserClipboardFormats(this, Formats);
}

void TBaseTreeGrid::ClipboardDataObjectGone(const IDataObject* DataObject)
{
    if (DataObject != FClipboardDataAddress)
        return;
    FClipboardDataAddress = nullptr;
    FClipboardData.reset();
    if (!FStates.Contains(tsClipboardFlushing))
        CancelCutOrCopy();
}

void TBaseTreeGrid::FlushClipboard()
{
    const IDataObjectPtr data = FClipboardData.lock();
    if (!data || OleIsCurrentClipboard(data) != S_OK)
        return;
    DoStateChange({tsClipboardFlushing});
    OleFlushClipboard();
    DoStateChange({}, {tsClipboardFlushing});
}

// ---- commands --------------------------------------------------------------------------

bool TBaseTreeGrid::ExecuteAction(TTGEditAction Action)
{
    switch (Action) {
    case ecSelectAll: SelectAll(false); return true;
    case ecCopy: CopyToClipBoard(); return true;
    default: break;
    }
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return false;
    switch (Action) {
    case ecCut: CutToClipBoard(); return true;
    case ecPaste: PasteFromClipboard(); return true;
    case ecDelete: DeleteSelectedNodes(); return true;
    default: return false;
    }
}
