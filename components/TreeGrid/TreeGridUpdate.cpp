// Update brackets and the change and structure-change notices of
// TBaseTreeGrid, at once or delayed by the window timers 5 and 6.
#include <exception>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Messages.h"

void TBaseTreeGrid::BeginUpdate()
{
    if (IsDestroying())
        return;
    if (FUpdateCount == 0) {
        DoUpdating(usBegin);
        SetUpdateState(true);
    } else {
        DoUpdating(usUpdate);
    }
    ++FUpdateCount;
    FStates.Include(tsUpdating);
}

void TBaseTreeGrid::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (IsDestroying())
        return;
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        // The closing work runs also when a notice handler throws.
        std::exception_ptr failure;
        try {
            if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
                DetermineHiddenChildrenFlagAllNodes();
                FStates.Exclude(tsUpdateHiddenChildrenNeeded);
            }
            FStates.Exclude(tsUpdating);
            PackSelection();
            InvalidateCache();
            ValidateCache();
            // Without a window only the ranges follow (offsets stay in range).
            UpdateScrollBars(false);
            if (FStates.Contains(tsStructureChangePending))
                DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.Contains(tsChangePending))
                DoChange(FLastChangedNode);
        } catch (...) {
            failure = std::current_exception();
        }
        FStates.Exclude(tsUpdating);
        if (FOptions->AutoOptions().Contains(toAutoSort))
            SortTree(FHeader->SortColumn(), FHeader->SortDirection(), true);
        SetUpdateState(false);
        if (HandleAllocated())
            Invalidate();
        if (failure)
            std::rethrow_exception(failure);
    }
    DoUpdating(FUpdateCount == 0 ? usEnd : usUpdate);
}

void TBaseTreeGrid::DoUpdating(TTGUpdateState State)
{
    if (OnUpdating)
        OnUpdating(this, State);
}

void TBaseTreeGrid::SetUpdateState(bool Updating)
{
    if (HandleAllocated() && Visible())
        Perform(WM_SETREDRAW, Updating ? 0 : 1);
}

void TBaseTreeGrid::AdviseChangeEvent(bool IsStructureChange, TGridNode* Node, TChangeReason Reason)
{
    if (IsStructureChange) {
        if (FStates.Contains(tsStructureChangePending)) {
            // Several changes: one notice for all, naming a node only when
            // every change concerned the same one.
            if (Reason != crIgnore && Reason != FLastStructureChangeReason) {
                FLastStructureChangeReason =
                    FLastStructureChangeReason == crIgnore ? Reason : crAccumulated;
            }
            if (Node != FLastStructureChangeNode)
                FLastStructureChangeNode = nullptr;
        } else {
            FStates.Include(tsStructureChangePending);
            FLastStructureChangeNode = Node;
            FLastStructureChangeReason = Reason;
        }
    } else {
        FStates.Include(tsChangePending);
        FLastChangedNode = Node;
    }
}

// A dying tree sends no notices: its handlers may already be gone.
void TBaseTreeGrid::Change(TGridNode* Node)
{
    if (IsDestroying())
        return;
    AdviseChangeEvent(false, Node, crIgnore);
    if (FUpdateCount > 0)
        return;
    if (FChangeDelay > 0 && !FStates.Contains(tsSynchMode) && StartChangeTimer(ChangeTimer))
        return;
    DoChange(FLastChangedNode);
}

void TBaseTreeGrid::StructureChange(TGridNode* Node, TChangeReason Reason)
{
    if (IsDestroying())
        return;
    AdviseChangeEvent(true, Node, Reason);
    if (FUpdateCount > 0)
        return;
    if (FChangeDelay > 0 && !FStates.Contains(tsSynchMode) && StartChangeTimer(StructureChangeTimer))
        return;
    DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
}

void TBaseTreeGrid::DoChange(TGridNode* Node)
{
    StopTimer(ChangeTimer);
    FStates.Exclude(tsChangePending);
    FLastChangedNode = nullptr;
    if (OnChange)
        OnChange(this, Node);
}

void TBaseTreeGrid::DoStructureChange(TGridNode* Node, TChangeReason Reason)
{
    StopTimer(StructureChangeTimer);
    FStates.Exclude(tsStructureChangePending);
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
    if (OnStructureChange)
        OnStructureChange(this, Node, Reason);
}
