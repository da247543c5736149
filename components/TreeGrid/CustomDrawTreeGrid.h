#pragma once
// A tree whose cells the owner draws itself: the tree lays out rows,
// lines, buttons, check boxes and images as usual and hands the content
// rectangle to OnDrawNode. It keeps no texts, so its node width and cell
// margins are whatever the owner says (by default room for the margins only).
#include "components/TreeGrid/BaseTreeGrid.h"

using TTGDrawNodeEvent = std::function<void(TBaseTreeGrid* Sender, const TTGPaintInfo& PaintInfo)>;
using TTGGetNodeWidthEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* Canvas, TGridNode* Node,
    TColumnIndex Column, int& NodeWidth)>;
using TTGGetCellContentMarginEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* Canvas, TGridNode* Node,
    TColumnIndex Column, TTGCellContentMarginType CellContentMarginType, TPoint& CellContentMargin)>;
using TTGDrawHintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* HintCanvas, TGridNode* Node,
    const TRect& R, TColumnIndex Column)>;
using TTGGetHintSizeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    TRect& R)>;

class TCustomDrawTreeGrid : public TBaseTreeGrid {
    VEK_DECLARE_CLASS(TCustomDrawTreeGrid, TBaseTreeGrid)
public:
    using TBaseTreeGrid::TBaseTreeGrid;

    // Paints a cell's content; PaintInfo.ContentRect is the room left after
    // the indentation and the images.
    TTGDrawNodeEvent OnDrawNode;
    TTGGetNodeWidthEvent OnGetNodeWidth;
    TTGGetCellContentMarginEvent OnGetCellContentMargin;
    // A hint window for this tree asks the size of a node's hint and lets
    // the owner paint it.
    TTGDrawHintEvent OnDrawHint;
    TTGGetHintSizeEvent OnGetHintSize;

    // The hint of Node in Column: R arrives as the hint window proposes it
    // and leaves as the owner wants it.
    virtual void DoGetHintSize(TGridNode* Node, TColumnIndex Column, TRect& R);
    virtual void DoDrawHint(TCanvas* Canvas, TGridNode* Node, const TRect& R, TColumnIndex Column);

protected:
    void DoPaintNode(TTGPaintInfo& PaintInfo) override;
    int DoGetNodeWidth(TGridNode* Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    TPoint DoGetCellContentMargin(TGridNode* Node, TColumnIndex Column,
        TTGCellContentMarginType CellContentMarginType = ccmtAllSides, TCanvas* Canvas = nullptr) override;
};
