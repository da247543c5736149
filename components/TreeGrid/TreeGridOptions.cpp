#include "components/TreeGrid/TreeGridOptions.h"

#include "components/TreeGrid/BaseTreeGrid.h"

TCustomTreeGridOptions::TCustomTreeGridOptions(TBaseTreeGrid* AOwner) : FOwner(AOwner) {}

// Counts and totals follow the option at once, window or not; only the
// repaint waits for a window.
void TCustomTreeGridOptions::SetPaintOptions(TTGPaintOptions Value)
{
    if (Value == FPaintOptions)
        return;
    const bool hiddenChanged = Value.Contains(toShowHiddenNodes) != FPaintOptions.Contains(toShowHiddenNodes);
    const bool orderChanged = Value.Contains(toChildrenAbove) != FPaintOptions.Contains(toChildrenAbove);
    // The cache worker reads these options while it walks the rows.
    if (FOwner && FOwner->RootNode())
        FOwner->InterruptValidation();
    FPaintOptions = Value;
    if (!FOwner || !FOwner->RootNode())
        return;
    if (hiddenChanged) {
        FOwner->BeginUpdate();
        FOwner->InvalidateCache();
        FOwner->FixupTotalHeight(FOwner->RootNode());
        Cardinal rows = 0;
        for (TGridNode* run = FOwner->GetFirstVisibleNoInit(nullptr, false); run;
             run = FOwner->GetNextVisibleNoInit(run, false))
            ++rows;
        FOwner->FVisibleCount = rows;
        FOwner->DetermineHiddenChildrenFlagAllNodes();
        FOwner->EndUpdate();
    } else if (orderChanged) {
        // Children above their parents: the rows' order and so every top changes.
        FOwner->InvalidateCache();
        if (FOwner->UpdateCount() == 0)
            FOwner->ValidateCache();
    }
    if (!FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->RepaintTree();
}

void TCustomTreeGridOptions::SetAnimationOptions(TTGAnimationOptions Value)
{
    FAnimationOptions = Value;
}

void TCustomTreeGridOptions::SetAutoOptions(TTGAutoOptions Value)
{
    if (Value == FAutoOptions)
        return;
    const bool spanChanged = Value.Contains(toAutoSpanColumns) != FAutoOptions.Contains(toAutoSpanColumns);
    FAutoOptions = Value;
    if (spanChanged && FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->RepaintTree();
}

// Switching multi-selection or a constraint on clears the selection, so a
// selection the new rules forbid never survives; with or without a window.
void TCustomTreeGridOptions::SetSelectionOptions(TTGSelectionOptions Value)
{
    if (Value == FSelectionOptions)
        return;
    const TTGSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    if (!FOwner || !FOwner->RootNode() || FOwner->IsLoading())
        return;
    const bool clear = old.Contains(toMultiSelect) != Value.Contains(toMultiSelect) ||
        (!old.Contains(toLevelSelectConstraint) && Value.Contains(toLevelSelectConstraint)) ||
        (!old.Contains(toSiblingSelectConstraint) && Value.Contains(toSiblingSelectConstraint));
    if (clear)
        FOwner->ClearSelection();
    TTGHeader* header = FOwner->Header();
    if (header && !Value.Contains(toExtendedFocus)) {
        FOwner->FFocusedColumn = header->MainColumn();
        if (FOwner->HandleAllocated())
            FOwner->RepaintTree();
    }
}

void TCustomTreeGridOptions::SetMiscOptions(TTGMiscOptions Value)
{
    if (Value == FMiscOptions)
        return;
    const bool checkChanged = Value.Contains(toCheckSupport) != FMiscOptions.Contains(toCheckSupport);
    const bool resizeRepaintChanged =
        Value.Contains(toFullRepaintOnResize) != FMiscOptions.Contains(toFullRepaintOnResize);
    const bool dropChanged = Value.Contains(toAcceptOLEDrop) != FMiscOptions.Contains(toAcceptOLEDrop);
    FMiscOptions = Value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated())
        return;
    if (dropChanged)
        FOwner->UpdateDropTarget();
    // The window's class styles come from the options when it is made.
    if (resizeRepaintChanged)
        FOwner->RecreateWnd();
    else if (checkChanged)
        FOwner->RepaintTree();
}

void TCustomTreeGridOptions::AssignTo(TPersistent* Dest)
{
    if (auto* target = dynamic_cast<TCustomTreeGridOptions*>(Dest)) {
        target->SetAnimationOptions(FAnimationOptions);
        target->SetAutoOptions(FAutoOptions);
        target->SetMiscOptions(FMiscOptions);
        target->SetPaintOptions(FPaintOptions);
        target->SetSelectionOptions(FSelectionOptions);
        target->SetExportMode(FExportMode);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---- colours -----------------------------------------------------------------

TTGColors::TTGColors(TBaseTreeGrid* AOwner)
    : FOwner(AOwner),
      FColors{clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace,
          clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow}
{
}

void TTGColors::SetColor(int Index, TColor Value)
{
    TColor& slot = FColors.at(std::size_t(Index));
    if (slot == Value)
        return;
    slot = Value;
    if (!FOwner || FOwner->IsLoading())
        return;
    // The expand buttons are framed in the tree-line colour.
    if (Index == 5)
        FOwner->PrepareBitmaps(true, true);
    if (!FOwner->HandleAllocated())
        return;
    if (Index == 7)
        RedrawWindow(FOwner->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    else
        FOwner->RepaintTree();
}

void TTGColors::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TTGColors*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FColors = source->FColors;
    if (FOwner && FOwner->UpdateCount() == 0 && FOwner->HandleAllocated())
        FOwner->RepaintTree();
}

// ---- scroll bars ---------------------------------------------------------------

void TScrollBarOptions::SetAlwaysVisible(bool Value)
{
    if (Value == FAlwaysVisible)
        return;
    FAlwaysVisible = Value;
    if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->RecreateWnd();
}

void TScrollBarOptions::SetScrollBars(TTGScrollBars Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->RecreateWnd();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle Value)
{
    TGAssert(Value == sbmRegular,
        "Flat scrollbars styles are disabled. Enable UseFlatScrollbars in TGConfig.inc forflat scrollbar support.");
    FScrollBarStyle = Value;
}

void TScrollBarOptions::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TScrollBarOptions*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    SetAlwaysVisible(source->FAlwaysVisible);
    SetScrollBars(source->FScrollBars);
    SetScrollBarStyle(source->FScrollBarStyle);
    FIncrementX = source->FIncrementX;
    FIncrementY = source->FIncrementY;
}
