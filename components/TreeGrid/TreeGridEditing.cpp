// In-place editing: whether a cell may be edited, starting an edit through
// the editor the owner (or the string tree) supplies, and ending or
// cancelling it.
#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Forms.h"

bool TBaseTreeGrid::CanEdit(TGridNode* Node, TColumnIndex Column)
{
    const TTGMiscOptions misc = FOptions->MiscOptions();
    return misc.Contains(toEditable) && Enabled() && !misc.Contains(toReadOnly) && DoCanEdit(Node, Column);
}

bool TBaseTreeGrid::DoCanEdit(TGridNode* Node, TColumnIndex Column)
{
    bool allowed = true;
    if (OnEditing)
        OnEditing(this, Node, Column, allowed);
    return allowed;
}

bool TBaseTreeGrid::EditNode(TGridNode* Node, TColumnIndex Column)
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    TGAssert(Column >= NoColumn && Column < FHeader->Columns()->Count(),
        "Column must be a valid column index (-1 if no header is shown).");
    if (FStates.Contains(tsEditing) || FOptions->MiscOptions().Contains(toReadOnly))
        return FStates.Contains(tsEditing);
    SetFocusedNode(Node);
    if (FFocusedNode != Node || !CanEdit(Node, Column))
        return false;
    FEditColumn = Column;
    if (!Node->States.Contains(vsInitialized))
        InitNode(Node);
    DoEdit();
    return FStates.Contains(tsEditing);
}

bool TBaseTreeGrid::EndEditNode()
{
    if (FStates.ContainsAny(TTreeGridStates{tsEditing, tsEditPending}))
        return DoEndEdit();
    return true;
}

bool TBaseTreeGrid::CancelEditNode()
{
    if (HandleAllocated() && FStates.ContainsAny(TTreeGridStates{tsEditing, tsEditPending}))
        return DoCancelEdit();
    return true;
}

ITGEditLinkPtr TBaseTreeGrid::DoCreateEditor(TGridNode* Node, TColumnIndex Column)
{
    ITGEditLinkPtr link;
    if (OnCreateEditor)
        OnCreateEditor(this, Node, Column, link);
    return link;
}

void TBaseTreeGrid::DoEdit()
{
    Application->CancelHint();
    StopTimer(ScrollTimer);
    StopTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    // A tree that is not editable never makes an editor, whatever starts the edit.
    const TTGMiscOptions misc = FOptions->MiscOptions();
    if (!FFocusedNode || FFocusedNode->States.Contains(vsDisabled) || !misc.Contains(toEditable) ||
        misc.Contains(toReadOnly) || FEditLink)
        return;
    ITGEditLinkPtr link = DoCreateEditor(FFocusedNode, FEditColumn);
    if (!link)
        return;
    FEditLink = link;
    DoStateChange({tsEditing});
    const bool center = FOptions->SelectionOptions().Contains(toCenterScrollIntoView);
    const bool sideways = !FOptions->AutoOptions().Contains(toDisableAutoscrollOnEdit);
    if (HandleAllocated())
        ScrollIntoView(FFocusedNode, center, sideways);
    bool started = false;
    try {
        if (link->PrepareEdit(this, FFocusedNode, FEditColumn)) {
            UpdateEditBounds();
            InvalidateNode(FFocusedNode);
            started = link->BeginEdit();
        }
    } catch (...) {
        DoStateChange({}, {tsEditing});
        FEditLink.reset();
        throw;
    }
    if (!started) {
        DoStateChange({}, {tsEditing});
        FEditLink.reset();
    }
}

bool TBaseTreeGrid::DoEndEdit()
{
    StopTimer(EditTimer);
    const bool ended = FStates.Contains(tsEditing) && FEditLink && FEditLink->EndEdit();
    if (ended) {
        DoStateChange({}, {tsEditing});
        // Without letting the editor go the tree could never edit again:
        // DoEdit starts only while no editor is held.
        const ITGEditLinkPtr link = std::move(FEditLink);
        FEditLink.reset();
        DoEdited(FFocusedNode, FEditColumn);
    }
    DoStateChange({}, {tsEditPending});
    return ended;
}

bool TBaseTreeGrid::DoCancelEdit()
{
    StopTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    const bool cancelled = FStates.Contains(tsEditing) && FEditLink && FEditLink->CancelEdit();
    if (cancelled) {
        DoStateChange({}, {tsEditing});
        if (OnEditCancelled)
            OnEditCancelled(this, FEditColumn);
        if (!IsDestroying())
            FEditLink.reset();
    }
    return cancelled;
}

void TBaseTreeGrid::DoEdited(TGridNode* Node, TColumnIndex Column)
{
    if (OnEdited)
        OnEdited(this, Node, Column);
}

void TBaseTreeGrid::UpdateEditBounds()
{
    if (!FEditLink || !FStates.Contains(tsEditing) || !FFocusedNode)
        return;
    TColumnIndex column = FEditColumn;
    if (FHeader->UseColumns() && !FHeader->Columns()->IsValidColumn(column))
        column = FHeader->MainColumn();
    TRect r;
    String text;
    GetTextInfo(FFocusedNode, column, Font(), r, text);
    FEditLink->SetBounds(r);
}
