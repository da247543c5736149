#include "components/TreeGrid/CustomDrawTreeGrid.h"

void TCustomDrawTreeGrid::DoPaintNode(TTGPaintInfo& PaintInfo)
{
    if (OnDrawNode)
        OnDrawNode(this, PaintInfo);
}

int TCustomDrawTreeGrid::DoGetNodeWidth(TGridNode* Node, TColumnIndex Column, TCanvas* Canvas)
{
    int width = 2 * FTextMargin;
    if (OnGetNodeWidth)
        OnGetNodeWidth(this, Canvas, Node, Column, width);
    return width;
}

TPoint TCustomDrawTreeGrid::DoGetCellContentMargin(TGridNode* Node, TColumnIndex Column,
    TTGCellContentMarginType CellContentMarginType, TCanvas* Canvas)
{
    TPoint margin(0, 0);
    if (OnGetCellContentMargin)
        OnGetCellContentMargin(this, Canvas, Node, Column, CellContentMarginType, margin);
    return margin;
}

void TCustomDrawTreeGrid::DoGetHintSize(TGridNode* Node, TColumnIndex Column, TRect& R)
{
    if (OnGetHintSize)
        OnGetHintSize(this, Node, Column, R);
}

void TCustomDrawTreeGrid::DoDrawHint(TCanvas* Canvas, TGridNode* Node, const TRect& R, TColumnIndex Column)
{
    if (OnDrawHint)
        OnDrawHint(this, Canvas, Node, R, Column);
}
