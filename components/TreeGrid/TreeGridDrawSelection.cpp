// The rubber band: the rectangle the mouse draws over the rows and the
// nodes it takes into or out of the selection as it grows and shrinks.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {

TRect Ordered(const TRect& R)
{
    return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
        std::max(R.Top, R.Bottom)};
}

bool SpansRows(const TRect& R, int Top, int Bottom) { return R.Bottom > R.Top && Top < R.Bottom && Bottom > R.Top; }

bool Touches(const TRect& R, int Left, int Top, int Right, int Bottom)
{
    // A band only one pixel wide still touches what it crosses.
    return SpansRows(R, Top, Bottom) && Left <= R.Right && Right >= R.Left;
}

}  // namespace

bool TBaseTreeGrid::CalculateSelectionRect(int X, int Y)
{
    if (FStates.Contains(tsDrawSelecting))
        FLastSelRect = FNewSelRect;
    const int maxX = std::max(TreeClientWidth(), int(FRangeX));
    const int maxY = std::max(TreeClientHeight(), int(FRangeY));
    const int x = std::clamp(X + FEffectiveOffsetX, 0, maxX);
    const int y = std::clamp(Y - FOffsetY, 0, maxY);
    const bool changed = FNewSelRect.Right != x || FNewSelRect.Bottom != y;
    FNewSelRect.Right = x;
    FNewSelRect.Bottom = y;
    return changed;
}

int TBaseTreeGrid::LabelOffset(TGridNode* Node, TColumnIndex Column)
{
    int offset = FMargin;
    if (Column == FHeader->MainColumn() || !FHeader->UseColumns()) {
        const int level = int(GetNodeLevel(Node)) + (FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0);
        offset += level * int(FIndent);
        if (HasCheckImage(Node))
            offset += CheckImageWidth() + 2;
    }
    offset += ImageSpace(Node, ikState, Column) + ImageSpace(Node, ikNormal, Column);
    return offset;
}

bool TBaseTreeGrid::HandleDrawSelection(int, int)
{
    if (!FStates.Contains(tsDrawSelecting) || !GetFirstNoInit())
        return false;
    const TRect oldRect = Ordered(FLastSelRect);
    const TRect newRect = Ordered(FNewSelRect);
    ClearTempCache();
    TTreeGridColumns* columns = FHeader->Columns();
    const TColumnIndex main = FHeader->MainColumn();
    TAlignment alignment = FAlignment;
    bool rightToLeft = UseRightToLeftAlignment();
    int nodeLeft = 0;
    int nodeRight = std::max(TreeClientWidth(), int(FRangeX));
    if (columns->IsValidColumn(main)) {
        TTreeGridColumn* column = columns->Items(main);
        alignment = column->Alignment();
        rightToLeft = column->UseRightToLeftReading();
        nodeLeft = column->StoredLeft();
        nodeRight = nodeLeft + column->Width();
    }
    const bool changed = rightToLeft
        ? CollectSelectedNodesRTL(main, nodeLeft, nodeRight, alignment, oldRect, newRect)
        : CollectSelectedNodesLTR(main, nodeLeft, nodeRight, alignment, oldRect, newRect);
    if (changed) {
        PackSelection();
        if (FTempNodeCount > 0)
            AddToSelection(FTempNodeCache.data(), FTempNodeCount);
        ClearTempCache();
        Change(nullptr);
    }
    return changed;
}

bool TBaseTreeGrid::CollectSelectedNodesLTR(int MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
    TRect OldRect, TRect NewRect)
{
    const bool simple = FOptions->SelectionOptions().Contains(toSimpleDrawSelection);
    const bool toggle = FDrawSelShiftState.Contains(ssCtrl);
    const bool hasOld = OldRect.Bottom > OldRect.Top;
    const int top = hasOld ? std::min(OldRect.Top, NewRect.Top) : NewRect.Top;
    const int bottom = hasOld ? std::max(OldRect.Bottom, NewRect.Bottom) : NewRect.Bottom;
    int nodeTop = 0;
    TGridNode* run = GetNodeAt(0, top, false, nodeTop);
    bool changed = false;
    while (run && nodeTop < bottom) {
        MeasureItemHeight(nullptr, run);
        const int nodeBottom = nodeTop + int(run->NodeHeight);
        bool inOld;
        bool inNew;
        if (simple) {
            inOld = SpansRows(OldRect, nodeTop, nodeBottom);
            inNew = SpansRows(NewRect, nodeTop, nodeBottom);
        } else {
            const int width = DoGetNodeWidth(run, MainColumn);
            const int offset = LabelOffset(run, MainColumn);
            int left = NodeLeft + offset;
            if (Alignment == taRightJustify)
                left = std::max(left, NodeRight - FMargin - width);
            else if (Alignment == taCenter)
                left = std::max(left, (left + NodeRight - width) / 2);
            const int right = std::min(left + width, NodeRight);
            inOld = Touches(OldRect, left, nodeTop, right, nodeBottom);
            inNew = Touches(NewRect, left, nodeTop, right, nodeBottom);
        }
        if (inOld != inNew) {
            changed = true;
            const bool selected = run->States.Contains(vsSelected);
            if (toggle ? selected : !inNew)
                InternalRemoveFromSelection(run);
            else if (!selected)
                InternalCacheNode(run);
        }
        nodeTop = nodeBottom;
        run = GetNextVisible(run);
    }
    return changed;
}

bool TBaseTreeGrid::CollectSelectedNodesRTL(int MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
    TRect OldRect, TRect NewRect)
{
    // Mirrored: labels start at the cell's right edge and grow leftwards.
    const auto mirror = [&](const TRect& R) {
        return R.Bottom > R.Top ? TRect{NodeLeft + NodeRight - R.Right, R.Top, NodeLeft + NodeRight - R.Left, R.Bottom}
                                : R;
    };
    const TAlignment mirrored = Alignment == taLeftJustify ? taRightJustify
        : Alignment == taRightJustify                      ? taLeftJustify
                                                           : taCenter;
    return CollectSelectedNodesLTR(MainColumn, NodeLeft, NodeRight, mirrored, mirror(OldRect), mirror(NewRect));
}
