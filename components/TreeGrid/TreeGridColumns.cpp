#include "components/TreeGrid/TreeGridColumns.h"

#include <algorithm>
#include <cstdlib>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridHeader.h"

TTreeGridColumn::TTreeGridColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

TTreeGridColumns* TTreeGridColumn::Owner() const
{
    return static_cast<TTreeGridColumns*>(Collection());
}

TTGHeader* TTreeGridColumn::Header() const
{
    return Owner() ? Owner()->Header() : nullptr;
}

TBaseTreeGrid* TTreeGridColumn::Tree() const
{
    return Header() ? Header()->Treeview() : nullptr;
}

void TTreeGridColumn::SetText(const String& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    FCaptionText.clear();
    Changed(false);
}

void TTreeGridColumn::SetWidth(int Value)
{
    TTGHeader* header = Header();
    if (!header) {
        FWidth = Value;
        return;
    }
    TTreeGridColumns* columns = Owner();
    TBaseTreeGrid* tree = header->Treeview();
    int width = Value;
    if (!header->States().Contains(hsScaling)) {
        if (FOptions.Contains(coVisible) && FOptions.Contains(coFixed)) {
            const int clientWidth = tree->TreeClientWidth();
            int minSum = 0;
            int maxSum = 0;
            for (int i = 0; i < columns->Count(); ++i) {
                const TTreeGridColumn* c = columns->Items(i);
                if (c->FOptions.Contains(coVisible) && c->FOptions.Contains(coFixed)) {
                    minSum += c->FMinWidth;
                    maxSum += c->FMaxWidth;
                }
            }
            const int others = columns->GetVisibleFixedWidth() - FWidth;
            const int maxPercent = header->FixedAreaConstraints()->MaxWidthPercent();
            const int minPercent = header->FixedAreaConstraints()->MinWidthPercent();
            int lower = (maxPercent ? std::min(clientWidth * maxPercent / 100, minSum) : minSum) - others;
            lower = std::max(lower, FMinWidth);
            int upper = (minPercent ? std::max(clientWidth * minPercent / 100, maxSum) : maxSum) - others;
            upper = std::min(upper, FMaxWidth);
            width = std::min(upper, std::max(lower, width));
            if (minPercent)
                width = std::max(width, clientWidth * minPercent / 100 - others);
            if (maxPercent)
                width = std::min(width, clientWidth * maxPercent / 100 - others);
        } else {
            if (width < FMinWidth)
                width = FMinWidth;
            if (width > FMaxWidth)
                width = FMaxWidth;
        }
    }
    if (width == FWidth)
        return;
    FLastWidth = FWidth;
    if (!header->States().Contains(hsResizing))
        FBonusPixel = false;
    // The auto-size column's width belongs to the fill rule below.
    if (!header->Options().Contains(hoAutoResize) || Index() != columns->AutoSizeColumn()) {
        FWidth = width;
        columns->UpdatePositions(true);
    }
    if (!tree->IsLoading() && columns->UpdateCount() == 0) {
        if (header->Options().Contains(hoAutoResize))
            columns->AdjustAutoSize(Index());
        tree->DoColumnResize(Index());
    }
}

void TTreeGridColumn::SetMinWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value > FMaxWidth)
        Value = FMaxWidth;
    if (Value == FMinWidth)
        return;
    FMinWidth = Value;
    SetWidth(FWidth);
}

void TTreeGridColumn::SetMaxWidth(int Value)
{
    if (Value < FMinWidth)
        Value = FMinWidth;
    if (Value == FMaxWidth)
        return;
    FMaxWidth = Value;
    SetWidth(FWidth);
}

// Moves the column in the position array and renumbers every column's
// position at once, so that further moves (inside a collection update too)
// start from the real order and the array stays a permutation.
void TTreeGridColumn::SetPosition(Cardinal Value)
{
    TTreeGridColumns* columns = Owner();
    if (!columns) {
        FPosition = Value;
        return;
    }
    TBaseTreeGrid* tree = Tree();
    if (tree && tree->IsLoading()) {
        FPosition = Value;
        return;
    }
    if (columns->Count() == 0)
        return;
    if (Value > Cardinal(columns->Count() - 1))
        Value = Cardinal(columns->Count() - 1);
    columns->InitializePositionArray();
    std::vector<int>& order = columns->FPositionToIndex;
    const int index = Index();
    const auto found = std::find(order.begin(), order.end(), index);
    const Cardinal old = Cardinal(found - order.begin());
    if (old != Value) {
        if (tree)
            tree->CancelEditNode();
        if (old < Value)
            for (Cardinal i = old; i < Value; ++i)
                order[i] = order[i + 1];
        else
            for (Cardinal i = old; i > Value; --i)
                order[i] = order[i - 1];
        order[Value] = index;
        columns->UpdatePositions(true);
        Changed(false);
        if (tree && columns->UpdateCount() == 0 && tree->HandleAllocated()) {
            Header()->Invalidate(index);
            tree->RepaintTree();
        }
    }
    // A column placed beside a fixed one becomes fixed, and loses it otherwise.
    const bool fixed = FOptions.Contains(coFixed);
    const int neighbourPosition = (fixed && Value > 0) ? int(Value) - 1 : int(Value) + 1;
    TTGColumnOptions options = FOptions;
    if (neighbourPosition >= 0 && neighbourPosition < columns->Count() &&
        columns->Items(order[std::size_t(neighbourPosition)])->FOptions.Contains(coFixed))
        options.Include(coFixed);
    else
        options.Exclude(coFixed);
    SetOptions(options);
}

void TTreeGridColumn::SetStyle(TTreeGridColumnStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetImageIndex(int Value)
{
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetBiDiMode(TBiDiMode Value)
{
    if (Value != FBiDiMode) {
        FBiDiMode = Value;
        FOptions.Exclude(coParentBidiMode);
        Changed(false);
    }
}

void TTreeGridColumn::SetLayout(TTGHeaderColumnLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetMargin(int Value)
{
    if (Value < 0)
        Value = 4;
    if (Value != FMargin) {
        FMargin = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetSpacing(int Value)
{
    if (Value != FSpacing) {
        FSpacing = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Changed(false);
        if (Tree())
            Tree()->RepaintTree();
    }
}

TAlignment TTreeGridColumn::CaptionAlignment() const
{
    return FOptions.Contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
}

void TTreeGridColumn::SetCaptionAlignment(TAlignment Value)
{
    if (FOptions.Contains(coUseCaptionAlignment) && Value == FCaptionAlignment)
        return;
    FCaptionAlignment = Value;
    // Setting it is what asks for it: the getter answers it only under the
    // option, and a reload applies the options before this value.
    FOptions.Include(coUseCaptionAlignment);
    if (Header())
        Header()->Invalidate(Index());
}

void TTreeGridColumn::SetColor(TColor Value)
{
    if (Value != FColor) {
        FColor = Value;
        FOptions.Exclude(coParentColor);
        Changed(false);
        if (Tree())
            Tree()->RepaintTree();
    }
}

void TTreeGridColumn::SetCheckBox(bool Value)
{
    if (Value != FCheckBox) {
        FCheckBox = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetCheckType(TCheckType Value)
{
    if (Value != FCheckType) {
        FCheckType = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetCheckState(TCheckState Value)
{
    if (Value != FCheckState) {
        FCheckState = Value;
        Changed(false);
    }
}

void TTreeGridColumn::SetOptions(TTGColumnOptions Value)
{
    if (Value == FOptions)
        return;
    const TTGColumnOptions old = FOptions;
    FOptions = Value;
    TBaseTreeGrid* tree = Tree();
    if (!old.Contains(coParentBidiMode) && Value.Contains(coParentBidiMode))
        ParentBiDiModeChanged();
    if (!old.Contains(coParentColor) && Value.Contains(coParentColor))
        ParentColorChanged();
    if (!old.Contains(coAutoSpring) && Value.Contains(coAutoSpring))
        FSpringRest = 0;
    if (old.Contains(coFixed) != Value.Contains(coFixed) && Value.Contains(coVisible) && Header())
        Header()->RescaleHeader();
    Changed(false);
    if (tree && !tree->IsLoading() && tree->UpdateCount() == 0 && tree->HandleAllocated() &&
        (old.Contains(coVisible) != Value.Contains(coVisible) ||
            (!old.Contains(coParentColor) && Value.Contains(coParentColor)))) {
        tree->RepaintTree();
        if (old.Contains(coVisible) != Value.Contains(coVisible))
            tree->UpdateHorizontalScrollBar(false);
    }
}

int TTreeGridColumn::GetLeft() const
{
    TBaseTreeGrid* tree = Tree();
    if (FOptions.Contains(coFixed) || !tree)
        return FLeft;
    return FLeft - tree->EffectiveOffsetX();
}

void TTreeGridColumn::GetAbsoluteBounds(int& Left, int& Right) const
{
    Left = FLeft;
    Right = FLeft + FWidth;
}

void TTreeGridColumn::ParentBiDiModeChanged()
{
    if (FOptions.Contains(coParentBidiMode) && Tree())
        FBiDiMode = Tree()->BiDiMode();
}

void TTreeGridColumn::ParentColorChanged()
{
    if (FOptions.Contains(coParentColor) && Tree())
        FColor = Tree()->Color();
}

void TTreeGridColumn::SetIndex(int Value)
{
    TTreeGridColumns* columns = Owner();
    const int old = Index();
    if (!columns || old < 0 || old == Value || Value < 0 || Value >= columns->Count()) {
        TCollectionItem::SetIndex(Value);  // nothing moves, or the range error
        return;
    }
    columns->BeginUpdate();
    try {
        TCollectionItem::SetIndex(Value);
        columns->RenumberColumns([old, Value](int Column) {
            if (Column == old)
                return Value;
            if (old < Value && Column > old && Column <= Value)
                return Column - 1;
            if (Value < old && Column >= Value && Column < old)
                return Column + 1;
            return Column;
        });
    } catch (...) {
        columns->EndUpdate();
        throw;
    }
    columns->EndUpdate();
}

void TTreeGridColumn::RestoreLastWidth()
{
    if (Owner())
        Owner()->AnimatedResize(Index(), FLastWidth);
}

String TTreeGridColumn::DisplayName() const
{
    // Lead bytes from 0xC4 on start a character at or above U+0100.
    for (unsigned char c : FText)
        if (c >= 0xC4)
            return "Column " + std::to_string(Index());
    return FText;
}

void TTreeGridColumn::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TTreeGridColumn*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    const TTGColumnOptions options = source->FOptions;
    FOptions = {};
    FBiDiMode = source->FBiDiMode;
    FImageIndex = source->FImageIndex;
    FLayout = source->FLayout;
    FMargin = source->FMargin;
    FMaxWidth = source->FMaxWidth;
    FMinWidth = source->FMinWidth;
    FPosition = source->FPosition;
    FSpacing = source->FSpacing;
    FStyle = source->FStyle;
    FText = source->FText;
    FHint = source->FHint;
    FWidth = source->FWidth;
    FAlignment = source->FAlignment;
    FCaptionAlignment = source->FCaptionAlignment;
    FColor = source->FColor;
    FTag = source->FTag;
    FOptions = options;
    Changed(false);
}

bool TTreeGridColumn::Equals(const TTreeGridColumn& Other) const
{
    return ClassInfo() == Other.ClassInfo() && FBiDiMode == Other.FBiDiMode && FImageIndex == Other.FImageIndex &&
        FLayout == Other.FLayout && FMargin == Other.FMargin && FMaxWidth == Other.FMaxWidth &&
        FMinWidth == Other.FMinWidth && FPosition == Other.FPosition && FSpacing == Other.FSpacing &&
        FStyle == Other.FStyle && FText == Other.FText && FHint == Other.FHint && FWidth == Other.FWidth &&
        FAlignment == Other.FAlignment && FCaptionAlignment == Other.FCaptionAlignment && FColor == Other.FColor &&
        FTag == Other.FTag && FOptions == Other.FOptions;
}

// ---- the collection ------------------------------------------------------------

TTreeGridColumns::TTreeGridColumns(TTreeGridColumnClass ColumnClass, TTGHeader* AOwner)
    : TCollection(ColumnClass, AOwner), FHeader(AOwner)
{
}

TTreeGridColumns::~TTreeGridColumns()
{
    FClearing = true;
    BeginUpdate();
    TCollection::Clear();
}

void TTreeGridColumns::Clear()
{
    FClearing = true;
    FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = -1;
    if (FHeader && !FHeader->States().Contains(hsLoading)) {
        FHeader->FAutoSizeIndex = NoColumn;
        FHeader->FMainColumn = NoColumn;
        FHeader->FSortColumn = NoColumn;
    }
    if (FHeader && FHeader->Treeview())
        FHeader->Treeview()->FFocusedColumn = NoColumn;
    try {
        TCollection::Clear();
    } catch (...) {
        FClearing = false;
        throw;
    }
    FPositionToIndex.clear();
    FClearing = false;
}

void TTreeGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    auto* column = static_cast<TTreeGridColumn*>(Item);
    if (Action == cnAdded) {
        column->FWidth = FDefaultWidth;
        column->FLastWidth = FDefaultWidth;
        column->FPosition = Cardinal(Count() - 1);
        InitializePositionArray();
    } else if (Action == cnExtracting && !FClearing) {
        ColumnLeaving(column->Index());
    }
    TCollection::Notify(Item, Action);
}

template <class TMap> void TTreeGridColumns::RenumberColumns(TMap Map)
{
    for (int& entry : FPositionToIndex)
        entry = Map(entry);
    for (int* index : {&FHoverIndex, &FDownIndex, &FTrackIndex, &FClickIndex, &FDragIndex, &FDropTarget})
        if (*index >= 0)
            *index = Map(*index);
    if (!FHeader)
        return;
    for (int* index : {&FHeader->FAutoSizeIndex, &FHeader->FSortColumn, &FHeader->FMainColumn})
        if (*index >= 0)
            *index = Map(*index);
    if (TBaseTreeGrid* tree = FHeader->Treeview(); tree && tree->FFocusedColumn >= 0)
        tree->FFocusedColumn = Map(tree->FFocusedColumn);
}

void TTreeGridColumns::ColumnLeaving(TColumnIndex Index)
{
    if (Index < 0)
        return;
    auto found = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), Index);
    if (found != FPositionToIndex.end())
        FPositionToIndex.erase(found);
    TBaseTreeGrid* tree = FHeader ? FHeader->Treeview() : nullptr;
    const bool mainGoes = FHeader && FHeader->FMainColumn == Index;
    const bool focusGoes = tree && tree->FFocusedColumn == Index;
    // An index of the leaving column becomes -1, later ones move down.
    RenumberColumns([Index](int Column) { return Column == Index ? -1 : Column > Index ? Column - 1 : Column; });
    // Losing the main column, the first remaining column takes over; the
    // focus goes to the main column.
    if (mainGoes)
        FHeader->FMainColumn = Count() > 1 ? 0 : NoColumn;
    if (focusGoes)
        tree->FFocusedColumn = Count() > 1 ? FHeader->FMainColumn : NoColumn;
}

void TTreeGridColumns::Update(TCollectionItem* Item)
{
    InitializePositionArray();
    TBaseTreeGrid* tree = FHeader ? FHeader->Treeview() : nullptr;
    if (tree && tree->IsLoading()) {
        FNeedPositionsFix = true;
    } else {
        UpdatePositions(true);
    }
    if (FHeader && Count() > 0 && FHeader->FMainColumn < 0)
        FHeader->FMainColumn = 0;
    if (FHeader && Count() == 0)
        FHeader->FMainColumn = NoColumn;
    if (tree && !tree->IsLoading() && !FHeader->States().Contains(hsLoading)) {
        if (FHeader->Options().Contains(hoAutoResize))
            AdjustAutoSize(InvalidColumn);
        if (tree->HandleAllocated()) {
            if (Item) {
                FHeader->Invalidate(static_cast<TTreeGridColumn*>(Item)->Index());
            } else {
                tree->UpdateHorizontalScrollBar(false);
                FHeader->Invalidate(NoColumn);
                tree->RepaintTree();
            }
        }
    }
}

void TTreeGridColumns::InitializePositionArray()
{
    const std::size_t count = std::size_t(Count());
    if (FPositionToIndex.size() < count) {
        for (std::size_t i = FPositionToIndex.size(); i < count; ++i)
            FPositionToIndex.push_back(int(i));
    } else if (FPositionToIndex.size() > count) {
        FPositionToIndex.resize(count);
        bool changed = true;
        while (changed) {
            changed = false;
            for (int& entry : FPositionToIndex)
                if (entry >= int(count)) {
                    --entry;
                    changed = true;
                }
        }
    }
}

void TTreeGridColumns::FixPositions()
{
    FPositionToIndex.assign(std::size_t(Count()), -1);
    for (int i = 0; i < Count(); ++i) {
        const Cardinal position = Items(i)->FPosition;
        if (position < FPositionToIndex.size() && FPositionToIndex[position] < 0)
            FPositionToIndex[position] = i;
    }
    // Positions read from a stream may clash or be out of range: the columns
    // without a place fill the free ones in index order.
    std::vector<bool> placed(std::size_t(Count()), false);
    for (int entry : FPositionToIndex)
        if (entry >= 0)
            placed[std::size_t(entry)] = true;
    int next = 0;
    for (int& entry : FPositionToIndex)
        if (entry < 0) {
            while (placed[std::size_t(next)])
                ++next;
            entry = next;
            placed[std::size_t(next)] = true;
        }
    FNeedPositionsFix = false;
    UpdatePositions(true);
}

void TTreeGridColumns::ReorderColumns(bool RightToLeft)
{
    for (int i = 0; i < Count(); ++i)
        FPositionToIndex[std::size_t(i)] = RightToLeft ? Count() - 1 - i : i;
    UpdatePositions(true);
}

void TTreeGridColumns::UpdatePositions(bool Force)
{
    if (FNeedPositionsFix || (UpdateCount() > 0 && !Force))
        return;
    InitializePositionArray();
    int running = 0;
    for (std::size_t position = 0; position < FPositionToIndex.size(); ++position) {
        TTreeGridColumn* column = Items(FPositionToIndex[position]);
        column->FPosition = Cardinal(position);
        column->FLeft = running;
        if (column->FOptions.Contains(coVisible))
            running += column->FWidth;
    }
}

TColumnIndex TTreeGridColumns::AutoSizeColumn() const
{
    const TColumnIndex index = FHeader ? FHeader->AutoSizeIndex() : NoColumn;
    return IsValidColumn(index) ? index : Count() - 1;
}

void TTreeGridColumns::AdjustAutoSize(TColumnIndex CurrentIndex, bool Force)
{
    (void)CurrentIndex;
    if (Count() == 0 || !FHeader)
        return;
    const TColumnIndex index = AutoSizeColumn();
    int width = FHeader->Treeview()->TreeClientWidth();
    for (int i = 0; i < Count(); ++i)
        if (i != index && Items(i)->FOptions.Contains(coVisible))
            width -= Items(i)->FWidth;
    TTreeGridColumn* column = Items(index);
    if (width > column->FMaxWidth)
        width = column->FMaxWidth;
    if (width < column->FMinWidth)
        width = column->FMinWidth;
    if (Force || width != column->FWidth) {
        column->FLastWidth = column->FWidth;
        column->FWidth = width;
        UpdatePositions(true);
        FHeader->Treeview()->DoColumnResize(index);
    }
}

TColumnIndex TTreeGridColumns::ColumnFromPosition(Cardinal Position) const
{
    return Position < FPositionToIndex.size() ? FPositionToIndex[Position] : NoColumn;
}

TColumnIndex TTreeGridColumns::ColumnFromPoint(int X, int Y, bool Relative) const
{
    int left = 0;
    int right = 0;
    return GetColumnAndBounds(X, Y, left, right, Relative);
}

TColumnIndex TTreeGridColumns::GetColumnAndBounds(int X, int Y, int& Left, int& Right, bool Relative) const
{
    TBaseTreeGrid* tree = FHeader ? FHeader->Treeview() : nullptr;
    if (X < 0 || Y < 0 || !tree || Y > tree->Height())
        return InvalidColumn;
    int sum = 0;
    if (Relative && X >= GetVisibleFixedWidth())
        sum = -tree->EffectiveOffsetX();
    sum += tree->ComputeRTLOffset();
    for (int index : FPositionToIndex) {
        const TTreeGridColumn* column = Items(index);
        if (!column->FOptions.Contains(coVisible))
            continue;
        const int start = sum;
        sum += column->FWidth;
        if (X < sum) {
            Left = start;
            Right = sum;
            return index;
        }
    }
    return InvalidColumn;
}

void TTreeGridColumns::GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const
{
    if (Column < 0 || !IsValidColumn(Column)) {
        Left = 0;
        Right = FHeader ? FHeader->Treeview()->TreeClientWidth() : 0;
        return;
    }
    Left = Items(Column)->GetLeft();
    if (TBaseTreeGrid* tree = FHeader ? FHeader->Treeview() : nullptr)
        Left += tree->ComputeRTLOffset();
    Right = Left + Items(Column)->FWidth;
}

TColumnIndex TTreeGridColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const
{
    for (int index : FPositionToIndex) {
        const TTGColumnOptions o = Items(index)->FOptions;
        if (o.Contains(coVisible) && (!ConsiderAllowFocus || o.Contains(coAllowFocus)))
            return index;
    }
    return InvalidColumn;
}

TColumnIndex TTreeGridColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const
{
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it) {
        const TTGColumnOptions o = Items(*it)->FOptions;
        if (o.Contains(coVisible) && (!ConsiderAllowFocus || o.Contains(coAllowFocus)))
            return *it;
    }
    return InvalidColumn;
}

TColumnIndex TTreeGridColumns::GetFirstColumn() const
{
    return FPositionToIndex.empty() ? InvalidColumn : FPositionToIndex.front();
}

TColumnIndex TTreeGridColumns::GetNextColumn(TColumnIndex Column) const
{
    if (!IsValidColumn(Column))
        return InvalidColumn;
    const Cardinal position = Items(Column)->FPosition + 1;
    return position < FPositionToIndex.size() ? FPositionToIndex[position] : InvalidColumn;
}

TColumnIndex TTreeGridColumns::GetPreviousColumn(TColumnIndex Column) const
{
    if (!IsValidColumn(Column) || Items(Column)->FPosition == 0)
        return InvalidColumn;
    return FPositionToIndex[Items(Column)->FPosition - 1];
}

TColumnIndex TTreeGridColumns::GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const
{
    do
        Column = GetNextColumn(Column);
    while (Column >= 0 && !(Items(Column)->FOptions.Contains(coVisible) &&
                             (!ConsiderAllowFocus || Items(Column)->FOptions.Contains(coAllowFocus))));
    return Column;
}

TColumnIndex TTreeGridColumns::GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const
{
    do
        Column = GetPreviousColumn(Column);
    while (Column >= 0 && !(Items(Column)->FOptions.Contains(coVisible) &&
                             (!ConsiderAllowFocus || Items(Column)->FOptions.Contains(coAllowFocus))));
    return Column;
}

std::vector<TColumnIndex> TTreeGridColumns::GetVisibleColumns() const
{
    std::vector<TColumnIndex> result;
    for (int index : FPositionToIndex)
        if (Items(index)->FOptions.Contains(coVisible))
            result.push_back(index);
    return result;
}

int TTreeGridColumns::GetVisibleFixedWidth() const
{
    int width = 0;
    for (int i = 0; i < Count(); ++i) {
        const TTGColumnOptions o = Items(i)->FOptions;
        if (o.Contains(coVisible) && o.Contains(coFixed))
            width += Items(i)->FWidth;
    }
    return width;
}

int TTreeGridColumns::GetScrollWidth() const
{
    int count = 0;
    long long sum = 0;
    for (int i = 0; i < Count(); ++i) {
        const TTGColumnOptions o = Items(i)->FOptions;
        if (o.Contains(coVisible) && !o.Contains(coFixed)) {
            sum += Items(i)->FWidth;
            ++count;
        }
    }
    if (count == 0)
        return FHeader ? int(FHeader->Treeview()->Indent()) : 0;
    return int((sum + count / 2) / count);
}

int TTreeGridColumns::TotalWidth() const
{
    const TColumnIndex last = GetLastVisibleColumn();
    if (last < 0)
        return 0;
    return Items(last)->FLeft + Items(last)->FWidth;
}

// The animation needs a window to show; the width is set either way.
void TTreeGridColumns::AnimatedResize(TColumnIndex Column, int NewWidth)
{
    if (!IsValidColumn(Column))
        return;
    TTreeGridColumn* column = Items(Column);
    NewWidth = std::max(column->FMinWidth, std::min(NewWidth, column->FMaxWidth));
    if (NewWidth == column->FWidth)
        return;
    if (!FHeader->Options().Contains(hoDisableAnimatedResize) &&
        !column->FOptions.Contains(coDisableAnimatedResize) && column->FOptions.Contains(coVisible))
        FHeader->Treeview()->AnimateColumnResize(Column, column->FWidth, NewWidth);
    column->SetWidth(NewWidth);
}

void TTreeGridColumns::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TTreeGridColumns*>(Source);
    if (!source) {
        TCollection::Assign(Source);
        return;
    }
    BeginUpdate();
    FClearing = true;
    try {
        TCollection::Assign(Source);
    } catch (...) {
        FClearing = false;
        EndUpdate();
        throw;
    }
    FClearing = false;
    FPositionToIndex = source->FPositionToIndex;
    InitializePositionArray();
    EndUpdate();
    UpdatePositions(true);
}

bool TTreeGridColumns::Equals(const TTreeGridColumns& Other) const
{
    if (ClassInfo() != Other.ClassInfo() || Count() != Other.Count() || FPositionToIndex != Other.FPositionToIndex)
        return false;
    for (int i = 0; i < Count(); ++i)
        if (!Items(i)->Equals(*Other.Items(i)))
            return false;
    return true;
}
