// Dragging a header column to another place: the column's picture follows
// the pointer, the cell under it shows the drop mark, and the drop moves the
// column or tells the owner that it was dragged out of the tree.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridDragImage.h"
#include "components/TreeGrid/TreeGridHeader.h"

void TTGHeader::PrepareDrag(TPoint, TPoint Start)
{
    FColumns->FDropTarget = NoColumn;
    const TPoint start = HeaderPoint(Start);
    int left = 0;
    int right = 0;
    FColumns->FDragIndex = FColumns->GetColumnAndBounds(start.X, start.Y, left, right);
    if (FColumns->FDragIndex < 0)
        return;
    const int width = right - left;
    TBitmap picture(width, FHeight);
    picture.Canvas()->Brush()->SetColor(clBtnFace);
    picture.Canvas()->FillRect(TRect(0, 0, width, FHeight));
    // The whole header painted with its origin at the column's left edge.
    const int headerWidth = std::max(FOwner->TreeClientWidth(), right);
    FColumns->PaintHeader(picture.Canvas(), TRect(-left, 0, headerWidth - left, FHeight), -FOwner->EffectiveOffsetX());
    FDragImage->SetMoveRestriction(FOptions.Contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone);
    const TPoint corner = FOwner->ClientToScreen(TPoint(left, -FHeight));
    FDragImage->PrepareDrag(&picture, corner, TPoint(Start.X - left, Start.Y + FHeight));
}

void TTGHeader::DragTo(TPoint P)
{
    const TPoint hp = HeaderPoint(P);
    int left = 0;
    int right = 0;
    const TColumnIndex candidate = FColumns->GetColumnAndBounds(hp.X, hp.Y, left, right);
    bool repaint = false;
    if (candidate >= 0) {
        const bool before = hp.X < (left + right) / 2;
        repaint = candidate != FColumns->FDropTarget || before != FColumns->FDropBefore;
        if (repaint) {
            const TColumnIndex old = FColumns->FDropTarget;
            FColumns->FDropBefore = before;
            FColumns->FDropTarget = candidate;
            if (old >= 0)
                Invalidate(old);
            Invalidate(candidate);
        }
    }
    FDragImage->DragTo(FOwner->ClientToScreen(P), repaint);
}

// A drop on the column itself, or anywhere in the tree off the columns,
// leaves everything as it was: only a drop outside the tree's window counts
// as dragged out.
void TTGHeader::DropColumn(TPoint ScreenPoint)
{
    const TColumnIndex dragged = FColumns->FDragIndex;
    const TColumnIndex target = FColumns->FDropTarget;
    const TPoint corner = FOwner->ClientOrigin() - FOwner->ClientOffset();
    const bool inside = PtInRect(TRect(corner.X, corner.Y, corner.X + FOwner->Width(), corner.Y + FOwner->Height()),
        ScreenPoint);
    FColumns->FDropTarget = NoColumn;
    FColumns->FDragIndex = NoColumn;
    if (FColumns->IsValidColumn(dragged)) {
        if (!inside) {
            FOwner->DoHeaderDraggedOut(dragged, ScreenPoint);
        } else if (FColumns->IsValidColumn(target) && target != dragged) {
            TTreeGridColumn* column = FColumns->Items(dragged);
            const int oldPosition = int(column->Position());
            const int targetPosition = int(FColumns->Items(target)->Position());
            int newPosition;
            if (FColumns->FDropBefore)
                newPosition = oldPosition < targetPosition ? targetPosition - 1 : targetPosition;
            else
                newPosition = oldPosition < targetPosition ? targetPosition : targetPosition + 1;
            column->SetPosition(Cardinal(newPosition));
            FOwner->DoHeaderDragged(dragged, oldPosition);
        }
    }
    Invalidate(NoColumn);
}

void TBaseTreeGrid::PaintDragImage(TCanvas* Canvas, TPoint WindowOrigin)
{
    if (FHeader && FHeader->DragImage()->Visible())
        FHeader->DragImage()->PaintOver(Canvas, WindowOrigin);
}
