// Painting the header: each cell's button look (edges or the XP look), its
// image or check box, caption and sort glyph laid out by the column, the
// drop mark of a column drag, and the owner's simple or advanced drawing.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "components/TreeGrid/TreeGridUtils.h"
#include "platform/ImgList.h"

namespace {

constexpr int SortGlyphExtent = 16;

// The owner paints with the canvas state it finds; whatever it leaves is undone.
template <class F>
void WithSavedDC(TCanvas* Canvas, F&& Paint)
{
    const int saved = Canvas->SaveDC();
    try {
        Paint();
    } catch (...) {
        Canvas->RestoreDC(saved);
        throw;
    }
    Canvas->RestoreDC(saved);
}

void HorizontalLine(TCanvas* DC, TColor Color, int Left, int Right, int Y)
{
    DC->Pen()->SetColor(Color);
    DC->MoveTo(Left, Y);
    DC->LineTo(Right, Y);
}

}  // namespace

// ---- layout -----------------------------------------------------------------------------

void TTreeGridColumn::ComputeHeaderLayout(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph, bool UseSortGlyph,
    TPoint& HeaderGlyphPos, TPoint& SortGlyphPos, TSize& SortGlyphSize, TRect& TextBounds, unsigned DrawFormat,
    bool CalculateTextRect)
{
    (void)CalculateTextRect;
    HeaderGlyphPos = SortGlyphPos = Client.TopLeft();
    SortGlyphSize = {};
    TextBounds = TRect(Client.Left, Client.Top, Client.Left, Client.Top);
    if (FText.empty() && !UseHeaderGlyph && !UseSortGlyph)
        return;
    const bool rtl = UseRightToLeftReading();
    TAlignment alignment = CaptionAlignment();
    if (rtl && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;

    TSize glyph{0, 0};
    if (UseHeaderGlyph) {
        if (FCheckBox)
            glyph = {Tree()->CheckImageWidth(), Tree()->CheckImageHeight()};
        else if (TImageList* images = Header()->Images())
            glyph = {images->Width(), images->Height()};
    }
    const TSize sort = UseSortGlyph ? TSize{SortGlyphExtent, SortGlyphExtent} : TSize{0, 0};
    SortGlyphSize = sort;
    const int width = Client.Width();
    const int height = Client.Height();
    TSize caption{0, 0};
    if (FOptions.Contains(coWrapCaption)) {
        if (FCaptionText.empty())
            FCaptionText = FText;
        TRect r(0, 0, width, 0);
        GetStringDrawRect(DC, FCaptionText, r, DrawFormat | DT_WORDBREAK);
        caption = {std::min(r.Width(), width), r.Height()};
    } else {
        FCaptionText = FText;
        if (!FText.empty()) {
            const TSize extent = DC->TextExtent(FText);
            caption = {extent.cx + 2, extent.cy};
        }
    }

    // Vertical places.
    const bool sideBySide = FLayout == blGlyphLeft || FLayout == blGlyphRight || glyph.cx == 0;
    const int sortY = (height - sort.cy) / 2;
    int glyphY, textY;
    if (sideBySide) {
        glyphY = (height - glyph.cy) / 2;
        textY = caption.cy > height ? 0 : (height - caption.cy) / 2;
    } else {
        const int stack = glyph.cy + FSpacing + caption.cy;
        const int top = (height - stack) / 2;
        if (FLayout == blGlyphTop) {
            glyphY = top;
            textY = top + glyph.cy + FSpacing;
        } else {
            textY = top;
            glyphY = top + caption.cy + FSpacing;
        }
    }

    // Horizontal places.
    const int gap = glyph.cx > 0 && caption.cx > 0 ? FSpacing : 0;
    int glyphX = 0, textX = 0, sortX = 0;
    switch (alignment) {
    case taLeftJustify: {
        int x = FMargin;
        if (rtl && sort.cx > 0) {
            sortX = x;
            x += sort.cx + FSpacing;
        }
        if (!sideBySide) {
            glyphX = std::max(x, (width - glyph.cx) / 2);
            textX = x;
            x = std::max(glyphX + glyph.cx, textX + caption.cx);
        } else if (FLayout == blGlyphRight) {
            textX = x;
            glyphX = x + caption.cx + gap;
            x = glyphX + glyph.cx;
        } else {
            glyphX = x;
            textX = x + glyph.cx + gap;
            x = textX + caption.cx;
        }
        if (!rtl)
            sortX = x + FSpacing;
        break;
    }
    case taCenter: {
        int left, right;
        if (!sideBySide) {
            glyphX = (width - glyph.cx) / 2;
            textX = (width - caption.cx) / 2 - sort.cx / 2;
            left = std::min(glyphX, textX);
            right = std::max(glyphX + glyph.cx, textX + caption.cx);
        } else {
            const int block = glyph.cx + gap + caption.cx;
            left = (width - block) / 2;
            right = left + block;
            if (FLayout == blGlyphRight) {
                textX = left;
                glyphX = left + caption.cx + gap;
            } else {
                glyphX = left;
                textX = left + glyph.cx + gap;
            }
        }
        sortX = rtl ? left - FSpacing - sort.cx : right + FSpacing;
        break;
    }
    case taRightJustify: {
        int x = width - FMargin;
        if (!rtl && sort.cx > 0) {
            x -= sort.cx;
            sortX = x;
            x -= FSpacing;
        }
        if (!sideBySide) {
            glyphX = std::min(x - glyph.cx, (width - glyph.cx) / 2);
            textX = x - caption.cx;
            x = std::min(glyphX, textX);
        } else if (FLayout == blGlyphRight) {
            glyphX = x - glyph.cx;
            textX = glyphX - gap - caption.cx;
            x = textX;
        } else {
            textX = x - caption.cx;
            glyphX = textX - gap - glyph.cx;
            x = glyphX;
        }
        if (rtl)
            sortX = x - FSpacing - sort.cx;
        break;
    }
    }

    // Everything stays inside the margins; the sort glyph keeps its end.
    int areaLeft = FMargin;
    int areaRight = width - FMargin;
    if (sort.cx > 0) {
        if (!rtl) {
            sortX = std::max(areaLeft, std::min(sortX, areaRight - sort.cx));
            areaRight = sortX - FSpacing;
        } else {
            sortX = std::min(areaRight - sort.cx, std::max(sortX, areaLeft));
            areaLeft = sortX + sort.cx + FSpacing;
        }
    }
    if (glyph.cx > 0) {
        glyphX = std::max(areaLeft, std::min(glyphX, areaRight - glyph.cx));
        if (FLayout == blGlyphRight)
            areaRight = std::min(areaRight, glyphX - FSpacing);
        else if (FLayout == blGlyphLeft)
            areaLeft = std::max(areaLeft, glyphX + glyph.cx + FSpacing);
    }
    textX = std::max(textX, areaLeft);
    const int textRight = std::max(textX, std::min(textX + caption.cx, areaRight));

    HeaderGlyphPos = {Client.Left + glyphX, Client.Top + glyphY};
    SortGlyphPos = {Client.Left + sortX, Client.Top + sortY};
    TextBounds = TRect(Client.Left + textX, Client.Top + textY, Client.Left + textRight, Client.Top + textY + caption.cy);
    if (FOptions.Contains(coWrapCaption))
        FCaptionText = WrapString(DC, FText, TextBounds, rtl, DrawFormat);
}

// ---- the button looks -------------------------------------------------------------------

void TTreeGridColumns::DrawXPButton(TCanvas* DC, const TRect& ButtonR, bool DrawHotStyle, bool DrawPressedStyle,
    bool ShowRightBorder)
{
    const int l = ButtonR.Left, t = ButtonR.Top, r = ButtonR.Right, b = ButtonR.Bottom;
    DC->Brush()->SetStyle(bsSolid);
    DC->Brush()->SetColor(DrawPressedStyle ? 0xD8DFDE : DrawHotStyle ? 0xF3F8FA : 0xDBEAEB);
    DC->FillRect(ButtonR);
    DC->Pen()->SetStyle(psSolid);
    DC->Pen()->SetWidth(1);
    if (ShowRightBorder && !DrawHotStyle && !DrawPressedStyle) {
        DC->Pen()->SetColor(0xB2C5C7);
        DC->MoveTo(r - 2, t + 3);
        DC->LineTo(r - 2, b - 5);
        DC->Pen()->SetColor(clWhite);
        DC->MoveTo(r - 1, t + 3);
        DC->LineTo(r - 1, b - 5);
    }
    if (DrawPressedStyle) {
        DC->Pen()->SetColor(0x97A5A5);
        DC->Polyline(std::vector<TPoint>{{l, t}, {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
        DC->Pen()->SetColor(0xB8C2C1);
        DC->Polyline(std::vector<TPoint>{{l + 1, b - 2}, {l + 1, t}, {r - 1, t}});
        DC->Pen()->SetColor(0xC9D1D0);
        DC->Polyline(std::vector<TPoint>{{l + 2, b - 2}, {l + 2, t + 1}, {r - 1, t + 1}});
    } else if (DrawHotStyle) {
        // The images carry the line in their last three rows: it lands on
        // the cell's bottom three.
        TTGImageList* images = UtilityImages();
        const int y = b - 16;
        if (ButtonR.Width() <= 32) {
            images->Draw(DC, r - 16, y, uiHotUnderlineRight);
            WithSavedDC(DC, [&] {
                DC->IntersectClipRect(TRect(l, t, l + ButtonR.Width() / 2, b));
                images->Draw(DC, l, y, uiHotUnderlineLeft);
            });
        } else {
            images->Draw(DC, l, y, uiHotUnderlineLeft);
            for (int x = l + 16; x + 16 < r; x += 16)
                images->Draw(DC, x, y, uiHotUnderlineMiddle);
            images->Draw(DC, r - 16, y, uiHotUnderlineRight);
        }
    } else {
        HorizontalLine(DC, 0xCFDEE0, l, r, b - 3);
        HorizontalLine(DC, 0xC3D2D5, l, r, b - 2);
        HorizontalLine(DC, 0xB8C7CB, l, r, b - 1);
    }
}

void TTreeGridColumns::DrawButtonText(TCanvas* DC, const String& Caption, TRect Bounds, bool Enabled, bool Hot,
    unsigned DrawFormat, bool WrapCaption)
{
    String text = Caption;
    if (!WrapCaption) {
        DrawFormat |= DT_SINGLELINE;
        if (DC->TextWidth(text) > Bounds.Width())
            text = ShortenString(DC, text, Bounds.Width());
    } else {
        DrawFormat |= DT_WORDBREAK;
    }
    DC->Brush()->SetStyle(bsClear);
    if (Enabled) {
        DC->Font()->SetColor(Hot ? FHeader->Treeview()->Colors()->HeaderHotColor() : FHeader->Font()->Color());
        DC->DrawText(text, Bounds, DrawFormat);
    } else {
        // Embossed: a light copy one pixel down and right, the shadow on top.
        TRect shifted = Bounds;
        OffsetRect(shifted, 1, 1);
        DC->Font()->SetColor(clBtnHighlight);
        DC->DrawText(text, shifted, DrawFormat);
        DC->Font()->SetColor(clBtnShadow);
        DC->DrawText(text, Bounds, DrawFormat);
    }
    DC->Brush()->SetStyle(bsSolid);
}

// ---- the header ---------------------------------------------------------------------------

void TTreeGridColumns::PaintHeader(TCanvas* DC, const TRect& R, int HOffset)
{
    TBaseTreeGrid* tree = FHeader->Treeview();
    const int width = R.Width();
    const int height = FHeader->Height();
    if (width <= 0 || height <= 0)
        return;
    if (!FHeaderBitmap)
        FHeaderBitmap = std::make_unique<TBitmap>();
    if (FHeaderBitmap->Width() != width || FHeaderBitmap->Height() != height)
        FHeaderBitmap->SetSize(width, height);
    TCanvas* canvas = FHeaderBitmap->Canvas();
    canvas->Font()->Assign(FHeader->Font());

    const TTGHeaderOptions options = FHeader->Options();
    const bool advanced = options.Contains(hoOwnerDraw) && tree->OnHeaderDrawQueryElements &&
        tree->OnAdvancedHeaderDraw && !tree->IsDesigning();
    const bool simple = options.Contains(hoOwnerDraw) && tree->OnHeaderDraw && !advanced;
    const TTGHeaderStyle style = FHeader->Style();

    THeaderPaintInfo info;
    info.TargetCanvas = canvas;
    info.PaintRectangle = TRect(0, 0, width, height);
    THeaderPaintElements requested;
    if (advanced)
        tree->DoHeaderDrawQueryElements(info, requested);
    if (advanced && requested.Contains(hpeBackground)) {
        WithSavedDC(canvas, [&] { tree->DoAdvancedHeaderDraw(info, {hpeBackground}); });
    } else if (style == hsXPStyle) {
        DrawXPButton(canvas, info.PaintRectangle, false, false, false);
    } else {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(FHeader->Background());
        canvas->FillRect(info.PaintRectangle);
    }

    const int rtlOffset = tree->ComputeRTLOffset();
    const Cardinal lastPosition = GetLastVisibleColumn() >= 0 ? Items(GetLastVisibleColumn())->Position() : 0;
    int offset = 0;
    bool offsetAdded = false;
    int previousRight = rtlOffset;
    for (int index : FPositionToIndex) {
        TTreeGridColumn* column = Items(index);
        const TTGColumnOptions columnOptions = column->Options();
        if (!columnOptions.Contains(coVisible))
            continue;
        if (!offsetAdded && !columnOptions.Contains(coFixed)) {
            offset = HOffset;
            offsetAdded = true;
        }
        const TRect cell(previousRight, 0,
            std::max(column->StoredLeft() + offset + rtlOffset + column->Width(), previousRight), height);
        previousRight = cell.Right;
        if (cell.Right <= 0)
            continue;
        if (cell.Left >= width)
            break;
        WithSavedDC(canvas, [&] {
            canvas->IntersectClipRect(cell);
            PaintHeaderCell(canvas, column, cell, advanced, simple, column->Position() == lastPosition);
        });
    }
    DC->CopyRect(R, canvas, TRect(0, 0, width, height));
}

void TTreeGridColumns::PaintHeaderCell(TCanvas* Canvas, TTreeGridColumn* Column, const TRect& Cell, bool Advanced,
    bool Simple, bool Last)
{
    TBaseTreeGrid* tree = FHeader->Treeview();
    const TTGHeaderOptions options = FHeader->Options();
    const TTGColumnOptions columnOptions = Column->Options();
    const int index = Column->Index();
    const TTGHeaderStyle style = FHeader->Style();

    THeaderPaintInfo info;
    info.TargetCanvas = Canvas;
    info.Column = Column;
    info.PaintRectangle = Cell;
    info.IsHoverIndex = index == FHoverIndex && options.Contains(hoHotTrack) && columnOptions.Contains(coEnabled);
    info.IsDownIndex = index == FDownIndex;
    if (columnOptions.Contains(coShowDropMark) && index == FDropTarget && index != FDragIndex)
        info.DropMark = FDropBefore ? dmmLeft : dmmRight;
    info.IsEnabled = columnOptions.Contains(coEnabled) && tree->Enabled();
    info.ShowHeaderGlyph = options.Contains(hoShowImages) &&
        ((FHeader->Images() && Column->ImageIndex() >= 0) || Column->CheckBox());
    info.ShowSortGlyph = index == FHeader->SortColumn() && options.Contains(hoShowSortGlyphs);
    // The tree has no bevel, so the last cell keeps its border too.
    info.ShowRightBorder = true;
    (void)Last;

    THeaderPaintElements requested;
    if (Advanced)
        tree->DoHeaderDrawQueryElements(info, requested);
    const bool ownerDrawn = Simple && Column->Style() == vsOwnerDraw;

    if (!ownerDrawn) {
        if (Advanced && requested.Contains(hpeBackground)) {
            WithSavedDC(Canvas, [&] { tree->DoAdvancedHeaderDraw(info, {hpeBackground}); });
        } else if (style == hsXPStyle) {
            DrawXPButton(Canvas, Cell, info.IsHoverIndex, info.IsDownIndex, info.ShowRightBorder);
        } else {
            unsigned edge = 0, flags = 0;
            const unsigned sides = BF_LEFT | BF_TOP | BF_BOTTOM | (info.ShowRightBorder ? unsigned(BF_RIGHT) : 0u);
            if (info.IsDownIndex) {
                switch (style) {
                case hsThickButtons:
                    edge = EDGE_RAISED;
                    flags = BF_FLAT | BF_SOFT | BF_MIDDLE | BF_ADJUST | BF_RECT;
                    break;
                default:
                    edge = BDR_SUNKENOUTER;
                    flags = BF_MIDDLE | BF_ADJUST | BF_RECT;
                    break;
                }
            } else if (style == hsPlates && info.IsHoverIndex && columnOptions.Contains(coAllowClick) &&
                info.IsEnabled) {
                edge = BDR_RAISEDINNER;
                flags = BF_MIDDLE | BF_ADJUST | sides;
            } else {
                switch (style) {
                case hsThickButtons:
                    edge = EDGE_RAISED;
                    flags = BF_SOFT | BF_MIDDLE | BF_ADJUST | sides;
                    break;
                case hsFlatButtons:
                    edge = BDR_RAISEDINNER;
                    flags = BF_MIDDLE | BF_ADJUST | sides;
                    break;
                default:
                    edge = BDR_RAISEDINNER;
                    flags = BF_SOFT | BF_MIDDLE | BF_ADJUST | BF_RECT;
                    break;
                }
            }
            TRect r = Cell;
            Canvas->DrawEdge(r, edge, flags);
        }
    }

    if (ownerDrawn) {
        tree->DoHeaderDraw(Canvas, Column, Cell, info.IsHoverIndex, info.IsDownIndex, info.DropMark);
        return;
    }

    TRect inner = Cell;
    InflateRect(inner, -2, -2);
    unsigned format = DT_NOPREFIX;
    switch (Column->CaptionAlignment()) {
    case taRightJustify: format |= DT_RIGHT; break;
    case taCenter: format |= DT_CENTER; break;
    default: break;
    }
    if (Column->UseRightToLeftReading())
        format |= DT_RTLREADING;
    TPoint glyphPos, sortPos;
    TSize sortSize;
    TRect textRect;
    Column->ComputeHeaderLayout(Canvas, inner, info.ShowHeaderGlyph, info.ShowSortGlyph, glyphPos, sortPos, sortSize,
        textRect, format);
    if (info.IsDownIndex) {
        OffsetRect(textRect, 1, 1);
        glyphPos = glyphPos + TPoint(1, 1);
        sortPos = sortPos + TPoint(1, 1);
    }
    info.TextRectangle = textRect;
    info.GlyphPos = glyphPos;
    info.SortGlyphPos = sortPos;

    Column->FHasImage = false;
    if (info.ShowHeaderGlyph) {
        TImageList* images = FHeader->Images();
        const int glyphWidth = Column->CheckBox() ? tree->CheckImageWidth() : images ? images->Width() : 0;
        const int glyphHeight = Column->CheckBox() ? tree->CheckImageHeight() : images ? images->Height() : 0;
        if (!info.ShowSortGlyph || Column->UseRightToLeftReading() || sortPos.X >= glyphPos.X + glyphWidth) {
            if (!(Advanced && requested.Contains(hpeHeaderGlyph))) {
                if (Column->CheckBox())
                    tree->DrawCheckImage(Canvas, glyphPos.X, glyphPos.Y,
                        tree->GetCheckImage(nullptr, Column->CheckType(), Column->CheckState(), info.IsEnabled, false));
                else
                    images->Draw(Canvas, glyphPos.X, glyphPos.Y, Column->ImageIndex(), info.IsEnabled);
            }
            Column->FHasImage = true;
            Column->FImageRect = TRect(glyphPos.X, glyphPos.Y, glyphPos.X + glyphWidth, glyphPos.Y + glyphHeight);
        }
    }
    if (!Column->Text().empty() && !(Advanced && requested.Contains(hpeText))) {
        const bool wrap = Column->Options().Contains(coWrapCaption);
        DrawButtonText(Canvas, wrap ? Column->FCaptionText : Column->Text(), textRect, info.IsEnabled,
            info.IsHoverIndex && options.Contains(hoHotTrack), format, wrap);
    }
    if (info.ShowSortGlyph && !(Advanced && requested.Contains(hpeSortGlyph)))
        UtilityImages()->Draw(Canvas, sortPos.X, sortPos.Y,
            FHeader->SortDirection() == sdAscending ? uiSortAscendingClassic : uiSortDescendingClassic);
    if (info.DropMark != dmmNone && !(Advanced && requested.Contains(hpeDropMark))) {
        const int y = (Cell.Top + Cell.Bottom - 16) / 2;
        if (info.DropMark == dmmLeft)
            UtilityImages()->Draw(Canvas, Cell.Left, y, uiDropMarkLeft);
        else
            UtilityImages()->Draw(Canvas, Cell.Right - 16, y, uiDropMarkRight);
    }
    // The owner is asked only for what this cell shows.
    requested.Exclude(hpeBackground);
    if (!info.ShowSortGlyph)
        requested.Exclude(hpeSortGlyph);
    if (!Column->FHasImage)
        requested.Exclude(hpeHeaderGlyph);
    if (info.DropMark == dmmNone)
        requested.Exclude(hpeDropMark);
    if (Column->Text().empty())
        requested.Exclude(hpeText);
    if (Advanced && !requested.Empty())
        WithSavedDC(Canvas, [&] { tree->DoAdvancedHeaderDraw(info, requested); });
}

// ---- the tree's side ------------------------------------------------------------------------

void TBaseTreeGrid::DoHeaderDraw(TCanvas* Canvas, TTreeGridColumn* Column, const TRect& R, bool Hover, bool Pressed,
    TTGDropMarkMode DropMark)
{
    if (OnHeaderDraw)
        OnHeaderDraw(FHeader.get(), Canvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseTreeGrid::DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)
{
    if (OnHeaderDrawQueryElements)
        OnHeaderDrawQueryElements(FHeader.get(), PaintInfo, Elements);
}

void TBaseTreeGrid::DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)
{
    if (OnAdvancedHeaderDraw)
        OnAdvancedHeaderDraw(FHeader.get(), PaintInfo, Elements);
}

void TBaseTreeGrid::PaintHeaderStrip(TCanvas* Canvas)
{
    if (!FHeader->Options().Contains(hoVisible) || FHeaderRect.IsEmpty())
        return;
    FHeader->Columns()->PaintHeader(Canvas, FHeaderRect, -FEffectiveOffsetX);
}

void TTGHeader::SetImages(TImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(FOwner);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(FOwner);
    if (!FOwner->IsLoading())
        Invalidate(NoColumn);
}
