#include "components/TreeGrid/TreeGridHeader.h"

#include <algorithm>
#include <cstdlib>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridDragImage.h"
#include "platform/Graphics.h"

// ---- fixed-area constraints ----------------------------------------------------

void TTGFixedAreaConstraints::Change()
{
    if (OnChange)
        OnChange(this);
}

void TTGFixedAreaConstraints::SetMaxHeightPercent(TTGConstraintPercent Value)
{
    if (Value == FMaxHeightPercent)
        return;
    FMaxHeightPercent = Value;
    if (Value > 0 && Value < FMinHeightPercent)
        FMinHeightPercent = Value;
    Change();
}

void TTGFixedAreaConstraints::SetMaxWidthPercent(TTGConstraintPercent Value)
{
    if (Value == FMaxWidthPercent)
        return;
    FMaxWidthPercent = Value;
    if (Value > 0 && Value < FMinWidthPercent)
        FMinWidthPercent = Value;
    Change();
}

void TTGFixedAreaConstraints::SetMinHeightPercent(TTGConstraintPercent Value)
{
    if (Value == FMinHeightPercent)
        return;
    FMinHeightPercent = Value;
    if (FMaxHeightPercent > 0 && Value > FMaxHeightPercent)
        FMaxHeightPercent = Value;
    Change();
}

void TTGFixedAreaConstraints::SetMinWidthPercent(TTGConstraintPercent Value)
{
    if (Value == FMinWidthPercent)
        return;
    FMinWidthPercent = Value;
    if (FMaxWidthPercent > 0 && Value > FMaxWidthPercent)
        FMaxWidthPercent = Value;
    Change();
}

void TTGFixedAreaConstraints::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TTGFixedAreaConstraints*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FMaxHeightPercent = source->FMaxHeightPercent;
    FMaxWidthPercent = source->FMaxWidthPercent;
    FMinHeightPercent = source->FMinHeightPercent;
    FMinWidthPercent = source->FMinWidthPercent;
    Change();
}

// ---- header --------------------------------------------------------------------

namespace {
TTreeGridColumns* CreateDefaultColumns(TTreeGridColumnClass ColumnClass, TTGHeader* Header)
{
    return new TTreeGridColumns(ColumnClass, Header);
}
}  // namespace

TTGHeader::TTGHeader(TBaseTreeGrid* AOwner) : FOwner(AOwner)
{
    FFixedAreaConstraints = std::make_unique<TTGFixedAreaConstraints>(this);
    FFixedAreaConstraints->OnChange = [this](TObject* Sender) { FixedAreaConstraintsChanged(Sender); };
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this](TObject*) { FontChanged(); };
    FDragImage = std::make_unique<TTGDragImage>(AOwner);
    FDragImage->SetPreBlendBias(-50);
    FDragImage->SetPostBlendBias(0);
    FDragImage->SetTransparency(140);
}

TTGHeader::~TTGHeader()
{
    FColumns.reset();
}

void TTGHeader::AfterConstruction()
{
    TPersistent::AfterConstruction();
    if (!FColumns)
        FColumns.reset(GetColumnsClass()(FOwner->GetColumnClass(), this));
}

TPersistent* TTGHeader::GetOwner()
{
    return FOwner;
}

TTreeGridColumnsClass TTGHeader::GetColumnsClass()
{
    return &CreateDefaultColumns;
}

void TTGHeader::FixedAreaConstraintsChanged(TObject*)
{
    FStates.Include(hsNeedScaling);
    if (FOwner->HandleAllocated()) {
        RescaleHeader();
        FOwner->RepaintTree();
    }
}

// Without a window the height is only stored; the limits apply when the
// header is scaled for its window.
void TTGHeader::SetHeight(int Value)
{
    if (!FOwner->HandleAllocated()) {
        FHeight = Value;
        FStates.Include(hsNeedScaling);
        return;
    }
    const int total = FOwner->TreeClientHeight() + FHeight;
    const TTGFixedAreaConstraints& c = *FFixedAreaConstraints;
    const int maxH = total * c.MaxHeightPercent() / 100;
    const int minH = total * c.MinHeightPercent() / 100;
    const int lower = c.MaxHeightPercent() ? std::min(maxH, FMinHeight) : FMinHeight;
    const int upper = c.MinHeightPercent() ? std::max(minH, FMaxHeight) : FMaxHeight;
    int height = std::min(upper, std::max(lower, Value));
    if (c.MinHeightPercent() && height < minH)
        height = minH;
    if (c.MaxHeightPercent() && height > maxH)
        height = maxH;
    if (height == FHeight)
        return;
    FHeight = height;
    if (!FOwner->IsLoading() && !FStates.Contains(hsScaling))
        RecalculateHeader();
    FOwner->Repaint();
}

void TTGHeader::SetDefaultHeight(int Value)
{
    Value = std::max(FMinHeight, std::min(Value, FMaxHeight));
    if (Value == FDefaultHeight)
        return;
    const bool follow = FHeight == FDefaultHeight;
    FDefaultHeight = Value;
    if (follow)
        SetHeight(Value);
}

void TTGHeader::SetMinHeight(int Value)
{
    Value = std::max(0, std::min(Value, FMaxHeight));
    if (Value == FMinHeight)
        return;
    FMinHeight = Value;
    SetHeight(FHeight);
}

void TTGHeader::SetMaxHeight(int Value)
{
    Value = std::max(Value, FMinHeight);
    if (Value == FMaxHeight)
        return;
    FMaxHeight = Value;
    SetHeight(FHeight);
}

void TTGHeader::SetOptions(TTGHeaderOptions Value)
{
    if (Value == FOptions)
        return;
    const TTGHeaderOptions old = FOptions;
    FOptions = Value;
    if (old.Contains(hoAutoResize) != Value.Contains(hoAutoResize) && FColumns->Count() > 0) {
        FColumns->AdjustAutoSize(InvalidColumn);
        if (FOwner->HandleAllocated())
            FOwner->UpdateHorizontalScrollBar(false);
        if (Value.Contains(hoAutoResize))
            UpdateSpringColumns();
    }
    if (!FOwner->IsLoading() && FOwner->HandleAllocated()) {
        if (old.Contains(hoVisible) != Value.Contains(hoVisible))
            RecalculateHeader();
        Invalidate(NoColumn);
        UpdateSpringColumns();
    }
}

void TTGHeader::SetStyle(TTGHeaderStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        if (!FOwner->IsLoading())
            Invalidate(NoColumn);
    }
}

void TTGHeader::SetBackground(TColor Value)
{
    if (Value != FBackground) {
        FBackground = Value;
        Invalidate(NoColumn);
    }
}

void TTGHeader::SetAutoSizeIndex(TColumnIndex Value)
{
    if (Value == FAutoSizeIndex)
        return;
    FAutoSizeIndex = Value;
    if (FOptions.Contains(hoAutoResize))
        FColumns->AdjustAutoSize(InvalidColumn);
}

TColumnIndex TTGHeader::MainColumn() const
{
    return FColumns && FColumns->Count() > 0 ? FMainColumn : NoColumn;
}

void TTGHeader::SetMainColumn(TColumnIndex Value)
{
    if (FOwner->IsLoading()) {
        FMainColumn = Value;
        return;
    }
    if (FColumns->Count() == 0)
        Value = NoColumn;
    else
        Value = std::max(0, std::min(Value, FColumns->Count() - 1));
    if (Value == FMainColumn)
        return;
    FMainColumn = Value;
    FOwner->MainColumnChanged();
    if (!FOwner->TreeOptions()->SelectionOptions().Contains(toExtendedFocus))
        FOwner->SetFocusedColumn(Value);
    FOwner->RepaintTree();
}

void TTGHeader::SetSortColumn(TColumnIndex Value)
{
    if (FOwner->IsLoading())
        FSortColumn = Value;
    else
        DoSetSortColumn(Value);
}

void TTGHeader::DoSetSortColumn(TColumnIndex Value)
{
    if (Value < NoColumn)
        Value = NoColumn;
    if (Value >= FColumns->Count())
        Value = FColumns->Count() - 1;
    if (Value == FSortColumn)
        return;
    if (FSortColumn >= 0)
        Invalidate(FSortColumn);
    FSortColumn = Value;
    if (FSortColumn >= 0)
        Invalidate(FSortColumn);
    if (FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) && FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TTGHeader::SetSortDirection(TSortDirection Value)
{
    if (Value == FSortDirection)
        return;
    FSortDirection = Value;
    Invalidate(NoColumn);
    if (FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) && FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

bool TTGHeader::AllowFocus(TColumnIndex Column) const
{
    return FColumns->IsValidColumn(Column) && FColumns->Items(Column)->Options().Contains(coAllowFocus);
}

int TTGHeader::ResizeColumns(int ChangeBy, TColumnIndex RangeStart, TColumnIndex RangeEnd, TTGColumnOptions Options)
{
    const int count = FColumns->Count();
    if (ChangeBy == 0 || count == 0)
        return 0;
    RangeStart = std::max(0, RangeStart);
    RangeEnd = RangeEnd < 0 ? count - 1 : std::min(RangeEnd, count - 1);
    if (RangeEnd < RangeStart)
        return 0;
    const bool growing = ChangeBy > 0;
    const int sign = growing ? 1 : -1;
    int remaining = std::abs(ChangeBy);
    const std::size_t n = std::size_t(count);
    std::vector<int> widths(n), limits(n);
    std::vector<char> takesPart(n, 0), bonus(n, 0);
    for (int i = RangeStart; i <= RangeEnd; ++i) {
        const TTreeGridColumn* c = FColumns->Items(i);
        takesPart[std::size_t(i)] = (c->Options() * Options) == Options;
        widths[std::size_t(i)] = c->Width();
        limits[std::size_t(i)] = growing ? c->MaxWidth() : c->MinWidth();
        bonus[std::size_t(i)] = c->BonusPixel();
    }
    auto room = [&](int i) {
        const std::size_t k = std::size_t(i);
        return takesPart[k] ? std::max(0, growing ? limits[k] - widths[k] : widths[k] - limits[k]) : 0;
    };
    for (;;) {
        int withRoom = 0;
        int totalRoom = 0;
        for (int i = RangeStart; i <= RangeEnd; ++i)
            if (int r = room(i); r > 0) {
                ++withRoom;
                totalRoom += r;
            }
        if (totalRoom < remaining && FStates.Contains(hsScaling) && !growing) {
            int widest = -1;
            for (int i = RangeStart; i <= RangeEnd; ++i)
                if (takesPart[std::size_t(i)] && (widest < 0 || widths[std::size_t(i)] > widths[std::size_t(widest)]))
                    widest = i;
            if (widest >= 0 && limits[std::size_t(widest)] > 10) {
                limits[std::size_t(widest)] -= limits[std::size_t(widest)] / 10;
                continue;
            }
        }
        if (withRoom == 0)
            break;
        const int change = std::min(remaining, totalRoom);
        const int share = change / withRoom;
        int rest = change % withRoom;
        if (share > 0)
            for (int i = RangeStart; i <= RangeEnd; ++i)
                if (int r = room(i); r > 0) {
                    const int d = std::min(share, r);
                    widths[std::size_t(i)] += sign * d;
                    remaining -= d;
                }
        int i = growing ? RangeStart : RangeEnd;
        while (rest > 0) {
            const std::size_t k = std::size_t(i);
            if (room(i) > 0 && bool(bonus[k]) != growing) {
                widths[k] += sign;
                bonus[k] = growing;
                --rest;
                --remaining;
            }
            i += growing ? 1 : -1;
            if (i < RangeStart || i > RangeEnd) {
                for (int j = RangeStart; j <= RangeEnd; ++j)
                    if (takesPart[std::size_t(j)])
                        bonus[std::size_t(j)] = !bonus[std::size_t(j)];
                i = growing ? RangeStart : RangeEnd;
            }
        }
        if (remaining <= 0)
            break;
    }
    int applied = 0;
    FStates.Include(hsResizing);
    for (int i = RangeStart; i <= RangeEnd; ++i) {
        const std::size_t k = std::size_t(i);
        if (!takesPart[k])
            continue;
        TTreeGridColumn* c = FColumns->Items(i);
        c->SetBonusPixel(bonus[k]);
        const int before = c->Width();
        c->SetWidth(widths[k]);
        applied += c->Width() - before;
    }
    FStates.Exclude(hsResizing);
    return applied;
}

void TTGHeader::RestoreColumns()
{
    for (int position = FColumns->Count() - 1; position >= 0; --position) {
        const TColumnIndex index = FColumns->ColumnFromPosition(Cardinal(position));
        TTreeGridColumn* c = FColumns->Items(index);
        if (c->Options().Contains(coVisible) && c->Options().Contains(coResizable))
            c->RestoreLastWidth();
    }
}

// Scaling fits the header and the fixed columns to the window; without one
// there is nothing to fit yet.
void TTGHeader::RescaleHeader()
{
    if (!FOwner->HandleAllocated() || FOwner->IsLoading() || FOwner->IsDestroying() || FStates.Contains(hsLoading))
        return;
    FStates.Include(hsScaling);
    SetHeight(FHeight);
    RecalculateHeader();
    const TTGFixedAreaConstraints& c = *FFixedAreaConstraints;
    if (c.MaxHeightPercent() > 0 || c.MinHeightPercent() > 0) {
        for (int i = 0; i < FColumns->Count(); ++i) {
            TTreeGridColumn* column = FColumns->Items(i);
            if (column->Options().Contains(coVisible) && column->Options().Contains(coFixed) &&
                column->Width() < column->MinWidth())
                column->SetWidth(column->MinWidth());
        }
        const int clientWidth = FOwner->TreeClientWidth();
        const int fixedWidth = FColumns->GetVisibleFixedWidth();
        const int minW = clientWidth * c.MinWidthPercent() / 100;
        const int maxW = clientWidth * c.MaxWidthPercent() / 100;
        if (c.MaxWidthPercent() > 0 && fixedWidth > maxW)
            ResizeColumns(maxW - fixedWidth, 0, FColumns->Count() - 1, {coVisible, coFixed});
        else if (c.MinWidthPercent() > 0 && fixedWidth < minW)
            ResizeColumns(minW - fixedWidth, 0, FColumns->Count() - 1, {coVisible, coFixed});
        FColumns->UpdatePositions(true);
    }
    FStates.Exclude(hsScaling);
    FStates.Exclude(hsNeedScaling);
}

void TTGHeader::UpdateSpringColumns()
{
    const int current = FOwner->TreeClientWidth();
    if (FOptions.Contains(hoAutoSpring) && FLastWidth > 0) {
        const int change = current - FLastWidth;
        if (change != 0) {
            const int sign = change > 0 ? 1 : -1;
            float remaining = float(std::abs(change));
            int springs = 0;
            for (int i = 0; i < FColumns->Count(); ++i) {
                const TTGColumnOptions o = FColumns->Items(i)->Options();
                if (o.Contains(coVisible) && o.Contains(coAutoSpring))
                    ++springs;
            }
            if (springs > 0) {
                const float share = remaining / float(springs);
                for (int i = 0; i < FColumns->Count() && remaining >= 0; ++i) {
                    TTreeGridColumn* c = FColumns->Items(i);
                    const TTGColumnOptions o = c->Options();
                    if (!o.Contains(coVisible) || !o.Contains(coAutoSpring))
                        continue;
                    const float accumulated = c->SpringRest() + share;
                    if (accumulated >= 1)
                        c->SetWidth(c->Width() + sign * int(accumulated));
                    c->SetSpringRest(accumulated - float(int(accumulated)));
                    remaining -= share;
                }
            }
        }
    }
    FLastWidth = current;
}

void TTGHeader::RecalculateHeader()
{
    if (!FOwner->HandleAllocated())
        return;
    FOwner->UpdateHeaderRect();
    // The client area follows the header's new height (WM_NCCALCSIZE).
    FOwner->FrameChanged();
}

void TTGHeader::Invalidate(TColumnIndex Column, bool ExpandToBorder)
{
    if (!FOptions.Contains(hoVisible) || !FOwner->HandleAllocated())
        return;
    const TRect header = FOwner->HeaderRect();
    TRect r = header;
    if (FColumns->IsValidColumn(Column) && !FOptions.Contains(hoFullRepaintOnResize)) {
        const TTreeGridColumn* column = FColumns->Items(Column);
        int left = column->StoredLeft();
        if (!column->Options().Contains(coFixed))
            left -= FOwner->EffectiveOffsetX();
        left += FOwner->ComputeRTLOffset();
        r.Left = header.Left + left;
        r.Right = r.Left + column->Width();
        if (ExpandToBorder) {
            if (FOwner->UseRightToLeftAlignment())
                r.Left = header.Left;
            else
                r.Right = header.Right;
        }
    }
    FOwner->InvalidateHeaderArea(r);
}

void TTGHeader::SetFont(TFont* Value)
{
    FFont->Assign(Value);
    FParentFont = false;
}

void TTGHeader::SetParentFont(bool Value)
{
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    if (FParentFont)
        CopyTreeFont();
}

// Copying the tree's font in keeps ParentFont; a font set any other way clears it.
void TTGHeader::CopyTreeFont()
{
    FCopyingTreeFont = true;
    try {
        FFont->Assign(FOwner->Font());
    } catch (...) {
        FCopyingTreeFont = false;
        throw;
    }
    FCopyingTreeFont = false;
}

void TTGHeader::FontChanged()
{
    if (!FCopyingTreeFont)
        FParentFont = false;
    Invalidate(NoColumn);
}

void TTGHeader::ChangeScale(int M, int D)
{
    if (M == D || D == 0)
        return;
    FFont->SetHeight(MulDiv(FFont->Height(), M, D));
}

void TTGHeader::DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType, bool& Allowed)
{
    if (FOwner->OnBeforeAutoFitColumn)
        FOwner->OnBeforeAutoFitColumn(this, Column, SmartAutoFitType, Allowed);
}

void TTGHeader::DoAfterAutoFitColumn(TColumnIndex Column)
{
    if (FOwner->OnAfterAutoFitColumn)
        FOwner->OnAfterAutoFitColumn(this, Column);
}

void TTGHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStart, int RangeEnd)
{
    const int count = FColumns->Count();
    if (count == 0)
        return;
    RangeStart = std::max(0, RangeStart);
    RangeEnd = RangeEnd < 0 ? count - 1 : std::min(RangeEnd, count - 1);
    if (RangeEnd < RangeStart)
        return;
    // Inside an operation bracket, so that a user can cancel a long fit.
    FOwner->BeginOperation();
    try {
        if (FOwner->OnBeforeAutoFitColumns)
            FOwner->OnBeforeAutoFitColumns(this, SmartAutoFitType);
        for (int position = RangeStart; position <= RangeEnd; ++position) {
            const TColumnIndex index = FColumns->ColumnFromPosition(Cardinal(position));
            if (!FColumns->IsValidColumn(index))
                continue;
            TTreeGridColumn* column = FColumns->Items(index);
            const TTGColumnOptions options = column->Options();
            if (!options.Contains(coVisible) || !options.Contains(coResizable))
                continue;
            TSmartAutoFitType kind = SmartAutoFitType;
            bool allowed = true;
            DoBeforeAutoFitColumn(index, kind, allowed);
            if (FOwner->OperationCanceled())
                break;
            if (!allowed)
                continue;
            const bool smart = kind == smaAllColumns || (kind == smaUseColumnOption && options.Contains(coSmartResize));
            const int width = FOwner->GetMaxColumnWidth(index, smart);
            if (Animated)
                FColumns->AnimatedResize(index, width);
            else
                column->SetWidth(width);
            DoAfterAutoFitColumn(index);
        }
        if (FOwner->OnAfterAutoFitColumns)
            FOwner->OnAfterAutoFitColumns(this);
    } catch (...) {
        FOwner->EndOperation();
        throw;
    }
    FOwner->EndOperation();
}

void TTGHeader::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TTGHeader*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FAutoSizeIndex = source->FAutoSizeIndex;
    FBackground = source->FBackground;
    FColumns->Assign(source->FColumns.get());
    FCopyingTreeFont = true;
    FFont->Assign(source->FFont.get());
    FCopyingTreeFont = false;
    FPopupMenu = source->FPopupMenu;
    FFixedAreaConstraints->Assign(source->FFixedAreaConstraints.get());
    FHeight = source->FHeight;
    FMainColumn = source->FMainColumn;
    FOptions = source->FOptions;
    FParentFont = source->FParentFont;
    FSortColumn = source->FSortColumn;
    FSortDirection = source->FSortDirection;
    FStyle = source->FStyle;
    RescaleHeader();
}
