// Painting the tree: each row is drawn into a row bitmap whose x axis is the
// tree's own, cell by cell in layers (background, selection, focus, grid
// lines, tree lines and buttons, the content), then copied to the target.
// The area below the last row is painted in one piece.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUtils.h"

namespace {

// A selection or drop highlight's colours.
struct THighlight {
    bool Draw = false;
    TColor Fill = clNone;
    TColor Frame = clNone;
};

// The platform's focus rectangle in white on black; the colours return.
void DrawFocusFrame(TCanvas* Canvas, const TRect& R)
{
    const TColor oldText = Canvas->TextColor();
    const TColor oldBk = Canvas->BkColor();
    Canvas->SetTextColor(clWhite);
    Canvas->SetBkColor(clBlack);
    Canvas->DrawFocusRect(R);
    Canvas->SetTextColor(oldText);
    Canvas->SetBkColor(oldBk);
}

// The line pattern over R: its zero bits in the canvas's text colour, the
// others in the tree's colour.
void FillDotted(TCanvas* Canvas, TColor TreeColor, const std::array<Byte, 8>& Bits, const TRect& R)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(TreeColor);
    Canvas->SetBkColor(TreeColor);
    Canvas->Brush()->SetPattern(Bits);
    Canvas->FillRect(R);
    Canvas->Brush()->ClearPattern();
}

}  // namespace

bool TBaseTreeGrid::SelectionFocused() const
{
    return Focused() || FOptions->PaintOptions().Contains(toPopupMode);
}

// ---- the window's paint ---------------------------------------------------------

// The fixed columns' strip keeps its place under a horizontal scroll; the
// rest follows the effective offset.
void TBaseTreeGrid::Paint()
{
    TCanvas* canvas = Canvas();
    TRect update = canvas->ClipRect();
    if (update.IsEmpty())
        return;
    const bool useColumns = FHeader->UseColumns();
    const int fixedWidth = useColumns ? FHeader->Columns()->GetVisibleFixedWidth() : 0;
    if (fixedWidth > 0 && update.Left < fixedWidth) {
        const int right = std::min(update.Right, fixedWidth);
        PaintTree(canvas, TRect(update.Left, update.Top - FOffsetY, right, update.Bottom - FOffsetY),
            update.TopLeft(), WindowPaintOptions);
        update.Left = right;
    }
    if (update.IsEmpty())
        return;
    int offsetX = FEffectiveOffsetX;
    if (useColumns && UseRightToLeftAlignment())
        offsetX -= ComputeRTLOffset();
    PaintTree(canvas, TRect(update.Left + offsetX, update.Top - FOffsetY, update.Right + offsetX,
                          update.Bottom - FOffsetY),
        update.TopLeft(), WindowPaintOptions);
}

void TBaseTreeGrid::WMPrintClient(TMessage& Message)
{
    TCanvas* canvas = Message.DC();
    if (!canvas)
        return;
    const int width = TreeClientWidth();
    const int height = TreeClientHeight();
    PaintTree(canvas, TRect(FEffectiveOffsetX, -FOffsetY, FEffectiveOffsetX + width, height - FOffsetY), {0, 0},
        WindowPaintOptions);
}

// ---- events -------------------------------------------------------------------------

void TBaseTreeGrid::DoBeforePaint(TCanvas* Canvas)
{
    if (OnBeforePaint)
        OnBeforePaint(this, Canvas);
}

void TBaseTreeGrid::DoAfterPaint(TCanvas* Canvas)
{
    if (OnAfterPaint)
        OnAfterPaint(this, Canvas);
}

bool TBaseTreeGrid::DoBeforeItemPaint(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect)
{
    bool customDraw = false;
    if (OnBeforeItemPaint)
        OnBeforeItemPaint(this, Canvas, Node, ItemRect, customDraw);
    return customDraw;
}

void TBaseTreeGrid::DoAfterItemPaint(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect)
{
    if (OnAfterItemPaint)
        OnAfterItemPaint(this, Canvas, Node, ItemRect);
}

void TBaseTreeGrid::DoBeforeCellPaint(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column,
    TTGCellPaintMode CellPaintMode, const TRect& CellRect, TRect& ContentRect)
{
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(this, Canvas, Node, Column, CellPaintMode, CellRect, ContentRect);
}

void TBaseTreeGrid::DoAfterCellPaint(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, const TRect& CellRect)
{
    if (OnAfterCellPaint)
        OnAfterCellPaint(this, Canvas, Node, Column, CellRect);
}

bool TBaseTreeGrid::DoPaintBackground(TCanvas* Canvas, const TRect& R)
{
    bool handled = false;
    if (OnPaintBackground)
        OnPaintBackground(this, Canvas, R, handled);
    return handled;
}

void TBaseTreeGrid::DoPaintNode(TTGPaintInfo&) {}

void TBaseTreeGrid::AdjustPaintCellRect(TTGPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty)
{
    NextNonEmpty = FHeader->Columns()->GetNextVisibleColumn(PaintInfo.Column);
}

// ---- PaintTree ------------------------------------------------------------------------

void TBaseTreeGrid::PaintTree(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target,
    TTGInternalPaintOptions PaintOptions, TPixelFormat)
{
    if (FStates.Contains(tsPainting) || Window.IsEmpty())
        return;
    DoStateChange({tsPainting});
    try {
        DoBeforePaint(TargetCanvas);
        const TTGPaintOptions treeOptions = FOptions->PaintOptions();
        const TTGSelectionOptions selectionOptions = FOptions->SelectionOptions();
        const TTGMiscOptions miscOptions = FOptions->MiscOptions();
        if (treeOptions.Contains(toAlwaysHideSelection) || (!Focused() && treeOptions.Contains(toHideSelection)))
            PaintOptions.Exclude(poDrawSelection);
        if (treeOptions.Contains(toHideFocusRect))
            PaintOptions.Exclude(poDrawFocusRect);

        // The rubber band, moved into the first row's coordinates below.
        const bool useSelRect = FStates.Contains(tsDrawSelecting) && !OrderRect(FNewSelRect).IsEmpty();
        TRect selRect = OrderRect(FNewSelRect);

        TTreeGridColumns* columns = FHeader->Columns();
        const bool useColumns = FHeader->UseColumns();
        const TColumnIndex mainColumn = FHeader->MainColumn();
        TColumnIndex firstColumn = InvalidColumn;
        if (useColumns) {
            for (TColumnIndex c : columns->GetVisibleColumns()) {
                int left, right;
                columns->Items(c)->GetAbsoluteBounds(left, right);
                if (right > Window.Left) {
                    firstColumn = c;
                    break;
                }
            }
        }
        const Cardinal lastPosition = useColumns && columns->GetLastVisibleColumn() >= 0
            ? columns->Items(columns->GetLastVisibleColumn())->Position()
            : 0;
        const bool autoResize = FHeader->Options().Contains(hoAutoResize);
        const int treeWidth = std::max(TreeClientWidth(), int(FRangeX));
        const bool editing = FStates.Contains(tsEditing);
        const bool useBackground = UseBackgroundPicture(PaintOptions);

        TBitmap rowBitmap;
        rowBitmap.SetPixelFormat(pf32bit);
        TCanvas* canvas = rowBitmap.Canvas();
        TTGPaintInfo info;
        info.Canvas = canvas;

        int nodeTop = 0;
        TGridNode* node = GetNodeAt(0, Window.Top, false, nodeTop);
        if (useSelRect)
            OffsetRect(selRect, 0, -nodeTop);
        std::vector<TTGLineType> lineImage;
        while (node && nodeTop < Window.Bottom) {
            int selectLevel = DetermineLineImageAndSelectLevel(node, lineImage);
            const int levels = int(lineImage.size());
            int buttonX = (int(FIndent) - ButtonBitmap(false, false)->Width()) / 2;
            if (!treeOptions.Contains(toFixedIndent))
                buttonX += (levels - 1) * int(FIndent);
            if (!node->States.Contains(vsInitialized))
                InitNode(node);
            if (Selected(node) && !treeOptions.Contains(toChildrenAbove))
                ++selectLevel;
            if (miscOptions.Contains(toVariableNodeHeight) && !node->States.Contains(vsHeightMeasured))
                MeasureItemHeight(canvas, node);
            const int height = int(NodeHeight(node));

            if (height > 0 && (selectLevel > 0 || !PaintOptions.Contains(poSelectedOnly))) {
                if (rowBitmap.Width() != Window.Width() || rowBitmap.Height() != height)
                    rowBitmap.SetSize(Window.Width(), height);
                canvas->SetWindowOrg(Window.Left, 0);
                // Dotted patterns follow the tree's pixel grid across rows.
                canvas->SetBrushOrigin(Window.Left & 1, nodeTop & 1);
                info.BrushOrigin = {Window.Left & 1, nodeTop & 1};
                info.Node = node;
                int vAlign = 0, buttonAlign = 0;
                CalculateVerticalAlignments(node, vAlign, buttonAlign);

                const TRect itemRect(0, 0, treeWidth, height);
                if (!DoBeforeItemPaint(canvas, node, itemRect)) {
                    ClearNodeBackground(info, useBackground, TPoint(0, nodeTop),
                        TPoint(Target.X - Window.Left, Target.Y + nodeTop - Window.Top),
                        TRect(Window.Left, 0, Window.Right, height));

                    TColumnIndex column = useColumns ? firstColumn : NoColumn;
                    bool more = !useColumns || firstColumn >= 0;
                    while (more) {
                        info.Column = column;
                        info.PaintOptions = PaintOptions;
                        for (TTGImageInfo& image : info.ImageInfo)
                            image = TTGImageInfo();
                        TColumnIndex next = InvalidColumn;
                        if (useColumns) {
                            TTreeGridColumn* item = columns->Items(column);
                            info.Position = item->Position();
                            info.BidiMode = item->BiDiMode();
                            info.Alignment = item->Alignment();
                            info.CaptionAlignment = item->CaptionAlignment();
                            int left, right;
                            item->GetAbsoluteBounds(left, right);
                            info.CellRect = TRect(left, 0, right, height);
                        } else {
                            info.Position = 0;
                            info.BidiMode = FBiDiMode;
                            info.Alignment = FAlignment;
                            info.CaptionAlignment = FAlignment;
                            info.CellRect = TRect(0, 0, treeWidth, height);
                            info.PaintOptions.Exclude(poColumnColor);
                        }
                        const bool editedCell = editing && node == FFocusedNode && (!useColumns || column == FEditColumn);
                        if (editedCell)
                            info.PaintOptions.Exclude(poDrawSelection);
                        // A selected full row shows the selection, not the column's colour.
                        if (useColumns &&
                            (columns->Items(column)->Options().Contains(coParentColor) ||
                                (Selected(node) && selectionOptions.Contains(toFullRowSelect) &&
                                    info.PaintOptions.Contains(poDrawSelection))))
                            info.PaintOptions.Exclude(poColumnColor);
                        const bool skip = PaintOptions.Contains(poMainOnly) && column != mainColumn;
                        if (useColumns)
                            AdjustPaintCellRect(info, next);
                        if (!skip && info.CellRect.Right > Window.Left)
                            PaintCell(info, lineImage, vAlign, buttonX, buttonAlign, column == mainColumn,
                                editedCell, autoResize && info.Position == lastPosition);
                        more = useColumns && next >= 0 && info.CellRect.Right < Window.Right;
                        if (more) {
                            int left, right;
                            columns->Items(next)->GetAbsoluteBounds(left, right);
                            more = left < Window.Right;
                            column = next;
                        }
                    }
                }
                DoAfterItemPaint(canvas, node, itemRect);
                if (node == FDropTargetNode && treeOptions.Contains(toShowDropmark) &&
                    PaintOptions.Contains(poDrawDropMark))
                    DoPaintDropMark(canvas, node, TRect(Window.Left, 0, Window.Right, height));
                if (useSelRect)
                    PaintSelectionRectangle(canvas, Window.Left, selRect, TRect(Window.Left, 0, Window.Right, height));

                // Only the part of the row inside the window goes to the target.
                const int from = std::max(0, Window.Top - nodeTop);
                const int to = std::min(height, Window.Bottom - nodeTop);
                const int y = Target.Y + nodeTop - Window.Top;
                TargetCanvas->CopyRect(TRect(Target.X, y + from, Target.X + Window.Width(), y + to), canvas,
                    TRect(Window.Left, from, Window.Right, to));
            }
            nodeTop += height;
            if (useSelRect)
                OffsetRect(selRect, 0, -height);
            node = GetNextVisible(node);
        }

        if (nodeTop < Window.Bottom) {
            const TRect area(Window.Left, std::max(nodeTop, Window.Top), Window.Right, Window.Bottom);
            PaintBelowNodes(TargetCanvas, area, TPoint(Target.X, Target.Y + area.Top - Window.Top), PaintOptions);
        }
        DoAfterPaint(TargetCanvas);
    } catch (...) {
        DoStateChange({}, {tsPainting});
        throw;
    }
    DoStateChange({}, {tsPainting});
}

void TBaseTreeGrid::PaintCell(TTGPaintInfo& Info, const std::vector<TTGLineType>& LineImage, int VAlign,
    int ButtonX, int ButtonAlign, bool MainColumn, bool EditedCell, bool LastUnderAutoResize)
{
    TCanvas* canvas = Info.Canvas;
    TGridNode* node = Info.Node;
    const TTGPaintOptions treeOptions = FOptions->PaintOptions();
    const bool useColumns = Info.Column >= 0;
    const bool reverse = Info.BidiMode != bdLeftToRight;
    const int levels = int(LineImage.size());

    Info.NodeWidth = DoGetNodeWidth(node, Info.Column, canvas);
    Info.ContentRect = Info.CellRect;
    if (reverse)
        Info.ContentRect.Right -= FMargin;
    else
        Info.ContentRect.Left += FMargin;
    // The indentation comes first, then the images, as the hit test sees them.
    if (MainColumn)
        AdjustCoordinatesByIndent(Info.ContentRect, treeOptions.Contains(toFixedIndent) ? 1 : levels, reverse);
    AdjustImages(Info, VAlign, MainColumn);

    int savedDC = 0;
    if (useColumns) {
        savedDC = canvas->SaveDC();
        canvas->IntersectClipRect(Info.CellRect);
    }
    if (Info.PaintOptions.Contains(poGridLines)) {
        if (treeOptions.Contains(toShowHorzGridLines)) {
            TRect line = Info.CellRect;
            if (MainColumn && FLineMode == lmBands)
                AdjustCoordinatesByIndent(line, levels, reverse);
            canvas->SetTextColor(FColors->GridLineColor());
            DrawDottedHLine(Info, line.Left, line.Right - 1, Info.CellRect.Bottom - 1);
            Info.CellRect.Bottom--;
            Info.ContentRect.Bottom--;
        }
        if (useColumns && treeOptions.Contains(toShowVertGridLines) && !LastUnderAutoResize) {
            if (!(reverse && ColumnIsEmpty(node, Info.Column))) {
                canvas->SetTextColor(FColors->GridLineColor());
                DrawDottedVLine(Info, Info.CellRect.Top, Info.CellRect.Bottom - 1, Info.CellRect.Right - 1);
            }
            Info.CellRect.Right--;
            Info.ContentRect.Right = std::min(Info.ContentRect.Right, Info.CellRect.Right);
        }
    }

    PrepareCell(Info, 0, Info.CellRect.Width());

    if (MainColumn) {
        if (treeOptions.Contains(toShowTreeLines))
            PaintTreeLines(Info, VAlign, levels, LineImage);
        if (treeOptions.Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
            !(node->States.Contains(vsAllChildrenHidden) && !treeOptions.Contains(toShowHiddenNodes)))
            PaintNodeButton(canvas, node, Info.CellRect, ButtonX, ButtonAlign, Info.BidiMode);
        if (Info.ImageInfo[iiCheck].Index >= 0)
            PaintCheckImage(Info);
    }
    if (Info.ImageInfo[iiState].Index >= 0)
        PaintImage(Info, iiState, false);
    if (Info.ImageInfo[iiNormal].Index >= 0)
        PaintImage(Info, iiNormal, true);
    if (!EditedCell)
        DoPaintNode(Info);
    DoAfterCellPaint(canvas, node, Info.Column, Info.CellRect);
    if (useColumns)
        canvas->RestoreDC(savedDC);
}

// ---- row background and cell preparation -------------------------------------------

void TBaseTreeGrid::ClearNodeBackground(const TTGPaintInfo& PaintInfo, bool UseBackground, TPoint TreeOrigin,
    TPoint ClientOrigin, const TRect& R)
{
    TCanvas* canvas = PaintInfo.Canvas;
    TColor color = Color();
    TItemEraseAction action = eaDefault;
    DoBeforeItemErase(canvas, PaintInfo.Node, R, color, action);
    canvas->Brush()->SetStyle(bsSolid);
    switch (action) {
    case eaColor:
        canvas->Brush()->SetColor(color);
        canvas->FillRect(R);
        break;
    case eaNone: break;
    case eaDefault: {
        const TTGPaintOptions treeOptions = FOptions->PaintOptions();
        if (UseBackground) {
            PaintBackgroundPicture(canvas, R, TreeOrigin, ClientOrigin);
        } else if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
            FOptions->SelectionOptions().Contains(toFullRowSelect) && Selected(PaintInfo.Node) &&
            !treeOptions.Contains(toUseBlendedSelection)) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(R);
            const bool focused = SelectionFocused();
            canvas->Brush()->SetColor(focused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor());
            canvas->Pen()->SetColor(
                focused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor());
            TRect row = R;
            if (treeOptions.Contains(toShowHorzGridLines))
                row.Bottom--;
            const int radius = int(FSelectionCurveRadius);
            canvas->RoundRect(row.Left, row.Top, row.Right, row.Bottom, radius, radius);
        } else {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(R);
        }
        break;
    }
    }
    DoAfterItemErase(canvas, PaintInfo.Node, R);
}

void TBaseTreeGrid::PrepareCell(TTGPaintInfo& PaintInfo, int, int)
{
    TCanvas* canvas = PaintInfo.Canvas;
    TGridNode* node = PaintInfo.Node;
    const TTGSelectionOptions selectionOptions = FOptions->SelectionOptions();
    const bool gridExtensions = FOptions->MiscOptions().Contains(toGridExtensions);
    const bool fullRow = selectionOptions.Contains(toFullRowSelect);

    if (PaintInfo.PaintOptions.Contains(poColumnColor)) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(FHeader->Columns()->Items(PaintInfo.Column)->Color());
        canvas->FillRect(PaintInfo.CellRect);
    }
    DoBeforeCellPaint(canvas, node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, PaintInfo.ContentRect);

    // The label's own rectangle, unless the highlight spans the cell.
    TRect inner = PaintInfo.ContentRect;
    if (!gridExtensions) {
        const int width = PaintInfo.NodeWidth;
        switch (PaintInfo.Alignment) {
        case taLeftJustify: inner.Right = std::min(inner.Right, inner.Left + width); break;
        case taRightJustify:
            if (inner.Width() > width)
                inner.Left = inner.Right - width;
            break;
        case taCenter:
            if (inner.Width() > width) {
                inner.Left += (inner.Width() - width) / 2;
                inner.Right = inner.Left + width;
            }
            break;
        }
    }

    if (PaintInfo.PaintOptions.Contains(poDrawSelection) && (PaintInfo.Column == FFocusedColumn || fullRow) &&
        !inner.IsEmpty()) {
        const TRect highlighted = gridExtensions || fullRow ? PaintInfo.CellRect : inner;
        THighlight h;
        if (node == FDropTargetNode && (FLastDropMode == dmOnNode || Selected(node))) {
            h = {true, FColors->DropTargetColor(), FColors->DropTargetBorderColor()};
        } else if (Selected(node) && node != FDropTargetNode) {
            if (SelectionFocused())
                h = {true, FColors->FocusedSelectionColor(), FColors->FocusedSelectionBorderColor()};
            else
                h = {true, FColors->UnfocusedSelectionColor(), FColors->UnfocusedSelectionBorderColor()};
        }
        if (h.Draw) {
            if (FOptions->PaintOptions().Contains(toUseBlendedSelection)) {
                AlphaBlendSelection(canvas, h.Fill, h.Frame, highlighted);
            } else {
                canvas->Brush()->SetStyle(bsSolid);
                canvas->Brush()->SetColor(h.Fill);
                canvas->Pen()->SetColor(h.Frame);
                const int radius = int(FSelectionCurveRadius);
                canvas->RoundRect(highlighted.Left, highlighted.Top, highlighted.Right, highlighted.Bottom, radius,
                    radius);
            }
        }
    }

    if (PaintInfo.PaintOptions.Contains(poDrawFocusRect) && node == FFocusedNode &&
        PaintInfo.Column == FFocusedColumn && SelectionFocused()) {
        DrawFocusFrame(canvas, gridExtensions ? PaintInfo.CellRect : inner);
    }
}

void TBaseTreeGrid::AlphaBlendSelection(TCanvas* Canvas, TColor Color, TColor FrameColor, const TRect& R)
{
    // The blend works on device pixels, clipped to the bitmap.
    const TPoint topLeft = Canvas->LogicalToDevice(R.TopLeft());
    TRect device(topLeft.X, topLeft.Y, topLeft.X + R.Width(), topLeft.Y + R.Height());
    if (Canvas->HasClipRegion()) {
        const TRect clip = Canvas->ClipRect();
        const TPoint clipTopLeft = Canvas->LogicalToDevice(clip.TopLeft());
        IntersectRect(device, device,
            TRect(clipTopLeft.X, clipTopLeft.Y, clipTopLeft.X + clip.Width(), clipTopLeft.Y + clip.Height()));
    }
    if (device.IsEmpty())
        return;
    AlphaBlend(nullptr, Canvas, device, device.TopLeft(), bmConstantAlphaAndColor, FSelectionBlendFactor,
        int(ColorToRGB(Color)));
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FrameColor);
    Canvas->FrameRect(R);
}

// ---- below the last row ---------------------------------------------------------------

void TBaseTreeGrid::PaintBelowNodes(TCanvas* TargetCanvas, const TRect& Area, const TPoint& Target,
    TTGInternalPaintOptions PaintOptions)
{
    TBitmap bitmap(Area.Width(), Area.Height());
    bitmap.SetPixelFormat(pf32bit);
    TCanvas* canvas = bitmap.Canvas();
    canvas->SetWindowOrg(Area.Left, Area.Top);
    canvas->SetBrushOrigin(Area.Left & 1, Area.Top & 1);
    TTGPaintInfo info;
    info.Canvas = canvas;
    info.BrushOrigin = {Area.Left & 1, Area.Top & 1};
    canvas->Brush()->SetStyle(bsSolid);
    const bool handled = DoPaintBackground(canvas, Area);
    if (!handled && UseBackgroundPicture(PaintOptions)) {
        PaintBackgroundPicture(canvas, Area, TPoint(0, 0), TPoint(Target.X - Area.Left, Target.Y - Area.Top));
    } else if (!handled) {
        TTreeGridColumns* columns = FHeader->Columns();
        int right = Area.Left;
        if (FHeader->UseColumns()) {
            const bool lines = PaintOptions.Contains(poGridLines) &&
                FOptions->PaintOptions().Contains(toShowVertGridLines) &&
                FOptions->PaintOptions().Contains(toFullVertGridLines);
            const bool autoResize = FHeader->Options().Contains(hoAutoResize);
            const TColumnIndex last = columns->GetLastVisibleColumn();
            bool lastHasLine = false;
            for (TColumnIndex c : columns->GetVisibleColumns()) {
                TTreeGridColumn* column = columns->Items(c);
                int left, columnRight;
                column->GetAbsoluteBounds(left, columnRight);
                right = columnRight;
                if (columnRight <= Area.Left)
                    continue;
                if (left >= Area.Right)
                    break;
                int fillRight = columnRight;
                lastHasLine = lines && !(autoResize && c == last);
                if (lastHasLine) {
                    canvas->SetTextColor(FColors->GridLineColor());
                    DrawDottedVLine(info, Area.Top, Area.Bottom - 1, columnRight - 1);
                    --fillRight;
                }
                canvas->Brush()->SetColor(column->Options().Contains(coParentColor) ? Color() : column->Color());
                canvas->FillRect(TRect(left, Area.Top, fillRight, Area.Bottom));
            }
            if (right < Area.Right) {
                canvas->Brush()->SetColor(Color());
                canvas->FillRect(TRect(std::max(right, Area.Left), Area.Top, Area.Right, Area.Bottom));
            }
        } else {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(Area);
        }
    }
    if (FStates.Contains(tsDrawSelecting) && !OrderRect(FNewSelRect).IsEmpty())
        PaintSelectionRectangle(canvas, Area.Left, OrderRect(FNewSelRect), Area);
    TargetCanvas->CopyRect(TRect(Target.X, Target.Y, Target.X + Area.Width(), Target.Y + Area.Height()), canvas,
        Area);
}

// ---- lines and marks ------------------------------------------------------------------

void TBaseTreeGrid::DrawDottedHLine(const TTGPaintInfo& PaintInfo, int Left, int Right, int Top)
{
    FillDotted(PaintInfo.Canvas, Color(), FDottedBrush,
        TRect(std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1));
}

void TBaseTreeGrid::DrawDottedVLine(const TTGPaintInfo& PaintInfo, int Top, int Bottom, int Left)
{
    FillDotted(PaintInfo.Canvas, Color(), FDottedBrush,
        TRect(Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1));
}

void TBaseTreeGrid::DoPaintDropMark(TCanvas* Canvas, TGridNode*, const TRect& R)
{
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow)
        return;
    const TColor oldColor = Canvas->Brush()->Color();
    const TPenStyle oldStyle = Canvas->Pen()->Style();
    Canvas->Pen()->SetStyle(psClear);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FColors->DropMarkColor());
    if (FLastDropMode == dmAbove)
        Canvas->Polygon(std::vector<TPoint>{{R.Left + 2, R.Top}, {R.Right - 2, R.Top}, {R.Right - 2, R.Top + 6},
            {R.Right - 6, R.Top + 2}, {R.Left + 6, R.Top + 2}, {R.Left + 2, R.Top + 6}});
    else
        Canvas->Polygon(std::vector<TPoint>{{R.Left + 2, R.Bottom - 1}, {R.Right - 2, R.Bottom - 1},
            {R.Right - 2, R.Bottom - 8}, {R.Right - 7, R.Bottom - 3}, {R.Left + 7, R.Bottom - 3},
            {R.Left + 2, R.Bottom - 8}});
    Canvas->Brush()->SetColor(oldColor);
    Canvas->Pen()->SetStyle(oldStyle);
}

void TBaseTreeGrid::PaintSelectionRectangle(TCanvas* Canvas, int, const TRect& SelectionRect, const TRect& TargetRect)
{
    TRect r;
    IntersectRect(r, SelectionRect, TargetRect);
    if (FDrawSelectionMode == smBlendedRectangle) {
        if (r.IsEmpty())
            return;
        const TPoint topLeft = Canvas->LogicalToDevice(r.TopLeft());
        const TRect device(topLeft.X, topLeft.Y, topLeft.X + r.Width(), topLeft.Y + r.Height());
        AlphaBlend(nullptr, Canvas, device, device.TopLeft(), bmConstantAlphaAndColor, FSelectionBlendFactor,
            int(ColorToRGB(FColors->SelectionRectangleBlendColor())));
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(FColors->SelectionRectangleBorderColor());
        Canvas->FrameRect(SelectionRect);
    } else {
        DrawFocusFrame(Canvas, SelectionRect);
    }
}

void TBaseTreeGrid::SetDropTarget(TGridNode* Node, TTGDropMode Mode)
{
    if (Node == FDropTargetNode && Mode == FLastDropMode)
        return;
    if (FDropTargetNode)
        InvalidateNode(FDropTargetNode);
    FDropTargetNode = Node;
    FLastDropMode = Node ? Mode : dmNowhere;
    if (Node)
        InvalidateNode(Node);
}

void TBaseTreeGrid::SetSelectionBlendFactor(Byte Value)
{
    if (Value == FSelectionBlendFactor)
        return;
    FSelectionBlendFactor = Value;
    if (HandleAllocated())
        RepaintTree();
}
