// The bars: one row's bar drawn on a canvas (on the chart's own canvases from
// a picture cached per row), its colours, outline and texts, the
// transparency of filtered bars, the shadow and the flash of selected ones,
// and the passes that draw all bars in a window.
#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "components/TreeGrid/TreeGridUtils.h"
#include "platform/Graphics.h"
#include "views/BarPictureCache.h"
#include "views/CanvasPanel.h"
#include "views/ChartPalette.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

namespace {

// Bars without data colours (and holidays): the chart's non-working colour.
constexpr TColor HolidayColor = ChartPalette::Holiday;
constexpr TColor LookupFailedColor = RGB(0x80, 0x80, 0x80);
constexpr TColor OverlapColor = RGB(0xFF, 0, 0);
constexpr TColor NoOverlapColor = RGB(0xC0, 0xC0, 0xC0);
constexpr int ShadowSize = 8;
constexpr int ShadowAlphas[] = {5, 10, 20, 35, 50};
constexpr int ShadowSteps = int(std::size(ShadowAlphas));

// Count pixels under the first Steps (1 or more) steps of the shadow. Each
// step keeps d (256 - a) div 256 of every channel d (the fourth byte too),
// which is what a blend towards black leaves of it.
void ShadePixels(std::uint32_t* Pixels, int Count, int Steps)
{
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time, each byte in the high half of a 16-bit lane
    // (256 d): the high half of 256 d (256 - a) is d (256 - a) div 256.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= Count; i += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Pixels + i));
        __m128i lo = _mm_unpacklo_epi8(zero, pixels);
        __m128i hi = _mm_unpackhi_epi8(zero, pixels);
        for (int s = 0; s < Steps; ++s) {
            if (s > 0) {
                lo = _mm_slli_epi16(lo, 8);
                hi = _mm_slli_epi16(hi, 8);
            }
            const __m128i kept = _mm_set1_epi16(short(256 - ShadowAlphas[s]));
            lo = _mm_mulhi_epu16(lo, kept);
            hi = _mm_mulhi_epu16(hi, kept);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Pixels + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < Count; ++i) {
        std::uint32_t shaded = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            std::uint32_t d = (Pixels[i] >> shift) & 0xFF;
            for (int s = 0; s < Steps; ++s)
                d = d * std::uint32_t(256 - ShadowAlphas[s]) / 256;
            shaded |= d << shift;
        }
        Pixels[i] = shaded;
    }
}

// The text roles of the three lines: left, centre, right.
constexpr TConnection LineRoles[3][3] = {{cnTextLeftTop, cnTextcenterTop, cnTextRightTop},
    {cnTextLeftMiddle, cnTextCenterMiddle, cnTextRightMiddle},
    {cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom}};

// Where each line stands by row set: DT_TOP, DT_VCENTER or DT_BOTTOM; ~0u
// for a line not drawn.
constexpr unsigned NotDrawn = ~0u;
constexpr unsigned LinePlaces[3][3] = {{DT_TOP, DT_VCENTER, DT_BOTTOM},
    {DT_TOP, DT_BOTTOM, NotDrawn},
    {DT_VCENTER, NotDrawn, NotDrawn}};

}  // namespace

bool TPlannerForm::IsFilteredOut(const TNodeData* Row)
{
    return Row && Row->VNode && Row->VNodeTable && !Row->VNodeTable->IsVisible(Row->VNode);
}

bool TPlannerForm::IsSelectedInActiveTable(TNodeData* Row)
{
    return Row && Row->VNodeTable && Row->VNodeTable->Selected(Row->VNode) && Row->NodeTable == GetActiveTable();
}

int TPlannerForm::BarLook(TNodeData* Row, int FlashStep)
{
    // The flash's first step fades by nothing: a bar just selected looks
    // as it did.
    return IsSelectedInActiveTable(Row) ? FlashPercent[std::clamp(FlashStep, 0, 6)] : 0;
}

bool TPlannerForm::BarPictureIsCurrent(TNodeData* Row, int FlashStep)
{
    return Row && !Row->RecalcBitmap && FPictures->HasLook(Row, BarLook(Row, FlashStep));
}

// ---- text lines ----------------------------------------------------------------------

TFittedLine TPlannerForm::FitTextLine(int L, int C, int R, const TRect& Rect, bool FullText)
{
    TFittedLine line;
    TRect r = Rect;
    const int total = L + C + R;
    if (FullText && total > r.Width() - 8)
        r.Right = r.Left + total + 8;
    const int w = r.Width();
    for (TRect& part : line.Rect)
        part = r;
    auto place = [&](int Slot, const TRect& Where, unsigned Align) {
        line.Rect[Slot] = Where;
        line.Align[Slot] = Align;
        line.Drawn[Slot] = true;
    };
    if (total < w - 8) {
        TRect rest = r;
        place(0, rest, DT_LEFT);
        rest.Left += L + 4;
        place(2, rest, DT_RIGHT);
        rest.Right -= R - 4;
        place(1, rest, DT_CENTER);
    } else if (C > 0) {
        if (C > w) {
            place(1, r, DT_LEFT);
        } else {
            place(1, r, DT_CENTER);
            place(0, TRect{r.Left, r.Top, r.Left + (w - C) / 2 - 4, r.Bottom}, DT_LEFT);
            place(2, TRect{r.Left + (w + C) / 2 + 4, r.Top, r.Right, r.Bottom}, DT_LEFT);
        }
    } else {
        const bool leftShorter = L <= R;
        const int shorter = leftShorter ? L : R;
        if (shorter <= w / 2 - 2) {
            TRect rest = r;
            if (leftShorter) {
                place(0, rest, DT_LEFT);
                rest.Left += L + 4;
                place(2, rest, DT_LEFT);
            } else {
                place(2, rest, DT_RIGHT);
                rest.Right -= R + 4;
                place(0, rest, DT_LEFT);
            }
        } else {
            place(2, TRect{r.Left + w / 2 + 2, r.Top, r.Right, r.Bottom}, DT_LEFT);
            place(0, TRect{r.Left, r.Top, r.Left + w / 2 - 2, r.Bottom}, DT_LEFT);
        }
    }
    return line;
}

void TPlannerForm::DrawTexts(TCanvas* Canvas, const TRect& R, TNodeData* Node, TWhichTable Table, bool FullText,
    TColor Color, int FontSize, const String& FontName, TRowSet RowSet)
{
    TFont* font = Canvas->Font();
    font->SetName(FontName);
    font->SetSize(std::max(1, FontSize));
    font->SetColor(Color);
    Canvas->Brush()->SetStyle(bsClear);
    TRect r = R;
    const int pen = Canvas->Pen()->Width();
    r.Left += 2 * pen;
    r.Right -= 2 * pen;
    auto text = [&](TConnection Role) {
        const int column = GetConnection(Table, Role);
        if (column < 0)
            return String();
        return Node ? GetData(Node, column) : GetColumnCaption(Table, column);
    };
    auto draw = [&](const String& Text, TRect Where, unsigned Format) {
        if (!Text.empty() && !Where.IsEmpty())
            Canvas->DrawText(Text, Where, Format | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (Table == tbExclude) {
        draw(text(cnTextCenterMiddle), r, DT_CENTER | DT_VCENTER);
        return;
    }
    for (int line = 0; line < 3; ++line) {
        const unsigned placeOf = LinePlaces[RowSet][line];
        if (placeOf == NotDrawn)
            continue;
        String texts[3];
        int widths[3];
        for (int slot = 0; slot < 3; ++slot) {
            texts[slot] = text(LineRoles[line][slot]);
            widths[slot] = texts[slot].empty() ? 0 : Canvas->TextWidth(texts[slot]);
        }
        if (widths[0] + widths[1] + widths[2] == 0)
            continue;
        const TFittedLine fitted = FitTextLine(widths[0], widths[1], widths[2], r, FullText);
        for (int slot = 0; slot < 3; ++slot)
            if (fitted.Drawn[slot])
                draw(texts[slot], fitted.Rect[slot], fitted.Align[slot] | placeOf);
    }
}

// ---- one bar -------------------------------------------------------------------------

void TPlannerForm::DrawTo(TCanvas* Canvas, const TRect& R, TNodeData* Node, TWhichTable Table, bool DataColors,
    bool DrawBar, bool FullText, int FontSize, const String& FontName, TRowSet RowSet, int RowHeight)
{
    TColor brush = HolidayColor;
    TColor pen = clBlack;
    if (!Node) {
        // A sample bar shows the captions on white.
        brush = clWhite;
    } else if (Table == tbTable) {
        if (DataColors && Node) {
            const int index = GetDataIndex_(Node, cnColor);
            brush = index >= 0 && std::size_t(index) < FStateColors.size() ? FStateColors[std::size_t(index)]
                                                                           : LookupFailedColor;
        }
    } else {
        if (DataColors && Node) {
            const int index = GetDataIndex_(Node, cnColor);
            brush = index >= 0 && std::size_t(index) < FHolidayColors.size() ? FHolidayColors[std::size_t(index)]
                                                                             : LookupFailedColor;
        }
        pen = FlashColor(brush, -25);
    }
    if (DrawBar) {
        if (Table == tbTable && Node && FOverlappingNodes.Count() > 0)
            brush = GetNodeIsOverlapping(Node) ? OverlapColor : NoOverlapColor;
        if (Node && IsSelectedInActiveTable(Node)) {
            brush = FadeColorRGB(brush, VisibleContrast(brush), BarLook(Node, int(FlashSelectedTimer->Tag())));
        }
        if (!DataColors)
            pen = FadeColorRGB(brush, pen,
                std::min(100.0, std::max(0, RowHeight - 2) * 100.0 / std::max(1, TimeChartRowHeight(0))));
        Canvas->Pen()->SetColor(pen);
        Canvas->Pen()->SetStyle(psSolid);
        Canvas->Pen()->SetWidth(1);
        Canvas->Pen()->SetMode(pmCopy);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(brush);
        Canvas->Rectangle(R);
    }
    if (DataColors)
        DrawTexts(Canvas, R, Node, Table, FullText, FullText ? clBlack : VisibleContrast(brush), FontSize, FontName,
            RowSet);
}

void TPlannerForm::PutBlended(TCanvas* Canvas, TBitmap* Picture, const TRect& Dest, TPoint From)
{
    // The canvas's pixels under the bar, the picture blended onto them.
    TBitmap under(Dest.Width(), Dest.Height());
    under.Canvas()->CopyRect(TRect{0, 0, Dest.Width(), Dest.Height()}, Canvas, Dest);
    const int alpha = (100 - FTransparency) * 256 / 100;
    AlphaBlend(Picture, &under, TRect{From.X, From.Y, From.X + Dest.Width(), From.Y + Dest.Height()}, TPoint{0, 0},
        bmConstantAlpha, alpha, 0);
    Canvas->Draw(Dest.Left, Dest.Top, &under);
}

std::vector<TRect> TPlannerForm::PaintedRects(TCanvas* Canvas)
{
    if (Canvas->HasClipRegion())
        return Canvas->ClipRegion().Rects();
    const TBitmap* target = Canvas->Bitmap();
    return {target ? TRect(0, 0, target->Width(), target->Height()) : TRect()};
}

void TPlannerForm::DrawShadow(
    TCanvas* Canvas, const TRect& Picture, const TRect& Bounds, const std::vector<TRect>* Painted)
{
    // The shadow is cast by the whole bar, also where the bar runs past an
    // edge: a bar scrolled half out of view keeps the shadow it had. Below
    // the bar, then right of it: steps one pixel narrower each, the inner
    // ones darker, so the shadow is darkest next to the bar. Each pixel is
    // visited once and gets all the steps that cover it at once, in the
    // panel's pixels directly and only where the painted region meets the
    // shadow.
    TBitmap* target = Canvas->Bitmap();
    if (!target)
        return;
    TRect limit;
    if (!IntersectRect(limit, Bounds, Canvas->ClipRect()))
        return;
    std::vector<TRect> own;
    if (!Painted) {
        own = PaintedRects(Canvas);
        Painted = &own;
    }
    const TPoint origin = Canvas->LogicalToDevice(TPoint{0, 0});
    auto device = [&](TRect R) {
        OffsetRect(R, origin.X, origin.Y);
        return R;
    };
    const TRect bitmap{0, 0, target->Width(), target->Height()};
    if (bitmap.IsEmpty())
        return;
    // Rows follow each other Width pixels apart.
    auto* pixels = static_cast<std::uint32_t*>(target->ScanLine(0));
    const int right = Picture.Right + ShadowSize, bottom = Picture.Bottom + ShadowSize;
    const TRect strips[2] = {TRect{Picture.Left + ShadowSize, Picture.Bottom, right, bottom},
        TRect{Picture.Right, Picture.Top + ShadowSize, right, Picture.Bottom}};
    for (int which = 0; which < 2; ++which) {
        TRect area;
        if (!IntersectRect(area, strips[which], limit) || !IntersectRect(area, device(area), bitmap))
            continue;
        // The steps, outermost first: below the bar each loses a pixel at
        // both ends and at the bottom, right of it one at the top and right.
        TRect steps[ShadowSteps];
        int count = 0;
        for (TRect step = device(strips[which]); count < ShadowSteps && !step.IsEmpty(); ++count) {
            steps[count] = step;
            if (which == 0) {
                step.Left += 1;
                step.Right -= 1;
                step.Bottom -= 1;
            } else {
                step.Top += 1;
                step.Right -= 1;
            }
        }
        // The painted rectangles come in bands from top to bottom, so their
        // bottoms never decrease: the first to reach below the area's top
        // starts those that may meet it.
        auto it = std::upper_bound(
            Painted->begin(), Painted->end(), area.Top, [](int Y, const TRect& R) { return Y < R.Bottom; });
        for (; it != Painted->end() && it->Top < area.Bottom; ++it) {
            TRect part;
            if (!IntersectRect(part, *it, area))
                continue;
            for (int y = part.Top; y < part.Bottom; ++y) {
                std::uint32_t* row = pixels + std::size_t(y) * std::size_t(target->Width());
                auto shade = [&](int From, int To, int Steps) {
                    From = std::max(From, part.Left);
                    To = std::min(To, part.Right);
                    if (From < To)
                        ShadePixels(row + From, To - From, Steps);
                };
                // The steps are nested: those covering the row are the first
                // n, and each covers what the next does not with one more.
                int n = 0;
                while (n < count && y >= steps[n].Top && y < steps[n].Bottom)
                    ++n;
                for (int i = 0; i + 1 < n; ++i) {
                    shade(steps[i].Left, steps[i + 1].Left, i + 1);
                    shade(steps[i + 1].Right, steps[i].Right, i + 1);
                }
                if (n > 0)
                    shade(steps[n - 1].Left, steps[n - 1].Right, n);
            }
        }
    }
}

void TPlannerForm::DrawItem(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, int DY, int DX,
    TRowSet RowSet, int Width, int RowHeight, int Top, TDateTime VisEnd, TDateTime VisStart, TNodeData* Node,
    TWhichTable Table)
{
    if (!Canvas)
        return;
    if (!Node) {
        // A sample bar: a band of the row height across the middle of the clip.
        const TRect clip = Canvas->ClipRect();
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(RGB(0, 0x80, 0));
        Canvas->FillRect(clip);
        Canvas->Brush()->SetColor(clWhite);
        Canvas->Pen()->SetColor(clBlack);
        const int top = clip.Top + (clip.Height() - RowHeight) / 2;
        DrawTo(Canvas, TRect{clip.Left, top, clip.Right, top + RowHeight}, nullptr, Table, true, true, false, FontSize,
            FontName, RowSet, RowHeight);
        return;
    }
    if (!GetNodeValid(Node))
        return;
    TRect r = ItemRect(Node, Top, Overview, Width, RowHeight, VisEnd, VisStart);
    OffsetRect(r, DX, DY);
    if (r.IsEmpty() || !Canvas->RectVisible(r))
        return;
    TBarState state;
    state.Own = OwnPanelOf(Canvas);
    // One bar alone off the panels stands as it is; the whole chart's
    // picture blends its filtered bars as the panel does.
    state.Filtered = state.Own && IsFilteredOut(Node);
    state.Selected = IsSelectedInActiveTable(Node);
    DrawBarAt(Canvas, Overview, FontSize, FontName, RowSet, RowHeight, Node, r, state);
}

TCanvasPanel* TPlannerForm::OwnPanelOf(TCanvas* Canvas) const
{
    for (TCanvasPanel* panel : {TimeChart, SmallTimeChart})
        if (panel && Canvas->Bitmap() && Canvas->Bitmap() == panel->BackBuffer())
            return panel;
    return nullptr;
}

void TPlannerForm::DrawBarAt(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, TRowSet RowSet,
    int RowHeight, TNodeData* Node, const TRect& R, const TBarState& State)
{
    const TRect& r = R;
    const TWhichTable table = Node->NodeTable;
    if (Overview) {
        DrawTo(Canvas, r, Node, table, false, true, false, FontSize, FontName, RowSet, RowHeight);
        ++redrawcount;
        return;
    }
    if (!State.Own) {
        if (State.Filtered && AllowAlpha && !r.IsEmpty()) {
            // Off the panels (a picture, a page) no cached picture exists: a
            // filtered bar is drawn into one of its own to be blended.
            if (FDrawFullText)
                DrawTexts(Canvas, r, Node, table, true, clBlack, FontSize, FontName, RowSet);
            TBitmap picture(r.Width(), r.Height());
            DrawTo(picture.Canvas(), TRect{0, 0, r.Width(), r.Height()}, Node, table, true, true, false, FontSize,
                FontName, RowSet, RowHeight);
            PutBlended(Canvas, &picture, r);
            return;
        }
        if (FDrawFullText) {
            DrawTexts(Canvas, r, Node, table, true, clBlack, FontSize, FontName, RowSet);
            const int saved = Canvas->SaveDC();
            Canvas->IntersectClipRect(r);
            DrawTo(Canvas, r, Node, table, true, true, false, FontSize, FontName, RowSet, RowHeight);
            Canvas->RestoreDC(saved);
        } else {
            DrawTo(Canvas, r, Node, table, true, true, false, FontSize, FontName, RowSet, RowHeight);
        }
        return;
    }

    // A bar whose picture and shadow miss the region being painted costs
    // nothing: a gesture's repaint is a few strips across many bars. Full
    // texts run past the bar and are drawn whatever the region.
    if (!FDrawFullText) {
        TRect reach = r;
        if (AllowAlpha && State.Selected) {
            reach.Right += ShadowSize;
            reach.Bottom += ShadowSize;
        }
        if (!Canvas->RectVisible(reach))
            return;
    }
    if (FDrawFullText)
        DrawTexts(Canvas, r, Node, table, true, clBlack, FontSize, FontName, RowSet);
    // The picture keeps the bar as far as a client size beyond each edge of
    // the canvas: a bar scrolled along keeps its picture, while that of a
    // very long task stays of bounded size. The texts are laid out over the
    // whole bar as if it were clipped there.
    const TRect client = State.Own->ClientRect();
    TRect part;
    if (!IntersectRect(part, r, client)) {
        if (AllowAlpha && State.Selected)
            DrawShadow(Canvas, r, client, State.Painted);
        return;
    }
    TRect kept;
    IntersectRect(kept, r,
        TRect{client.Left - client.Width(), client.Top - client.Height(), client.Right + client.Width(),
            client.Bottom + client.Height()});
    TPictureKey key{r.Width(), r.Height(),
        TRect{kept.Left - r.Left, kept.Top - r.Top, kept.Right - r.Left, kept.Bottom - r.Top},
        BarLook(Node, int(FlashSelectedTimer->Tag()))};
    TBitmap* picture = Node->Bitmap;
    if (!picture)
        return;
    if (Node->RecalcBitmap || !FPictures->Reuse(Node, key)) {
        try {
            picture->SetSize(kept.Width(), kept.Height());
            TCanvas* pc = picture->Canvas();
            pc->SetWindowOrg(0, 0);
            pc->SetViewportOrg(r.Left - kept.Left, r.Top - kept.Top);
            DrawTo(pc, TRect{0, 0, r.Width(), r.Height()}, Node, table, true, true, false, FontSize, FontName, RowSet,
                RowHeight);
            pc->SetViewportOrg(0, 0);
            FPictures->Drawn(Node, key);
        } catch (...) {
            Node->RecalcBitmap = false;
            ++redrawcount;
            return;
        }
        Node->RecalcBitmap = false;
        ++redrawcount;
    }
    const TPoint from{part.Left - kept.Left, part.Top - kept.Top};
    if (State.Filtered && AllowAlpha)
        PutBlended(Canvas, picture, part, from);
    else if (part == kept)
        Canvas->Draw(part.Left, part.Top, picture);
    else
        Canvas->CopyRect(part, picture->Canvas(), TRect{from.X, from.Y, from.X + part.Width(), from.Y + part.Height()});
    if (AllowAlpha && State.Selected)
        DrawShadow(Canvas, r, client, State.Painted);
}

void TPlannerForm::DrawBars(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, int DY, int DX,
    TRowSet RowSet, int Width, int RowHeight, int Top, TDateTime VisEnd, TDateTime VisStart)
{
    TRect window = Canvas->ClipRect();
    OffsetRect(window, -DX, -DY);
    const TWhichTable active = GetActiveTable();
    TCanvasPanel* own = OwnPanelOf(Canvas);
    std::vector<TNodeData*> rows;
    std::vector<TRect> rects;
    std::vector<TBarState> states;
    // A selected bar just above or left of the window casts its shadow
    // into it; the shadows are blended where the painted region is.
    TRect reach = window;
    std::vector<TRect> painted;
    if (own && AllowAlpha) {
        reach.Left -= ShadowSize;
        reach.Top -= ShadowSize;
        painted = PaintedRects(Canvas);
    }
    for (TWhichTable table : {active == tbTable ? tbExclude : tbTable, active}) {
        FindBars(table, reach, Top, Overview, Width, RowHeight, VisEnd, VisStart, rows, &rects);
        // Each row's state once; the passes only read it.
        states.assign(rows.size(), TBarState());
        std::size_t kept = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool selected = rows[i]->VNodeTable->Selected(rows[i]->VNode);
            TRect common;
            if (!IntersectRect(common, rects[i], window) && !(selected && table == active))
                continue;
            rows[kept] = rows[i];
            rects[kept] = rects[i];
            OffsetRect(rects[kept], DX, DY);
            states[kept].Own = own;
            states[kept].Painted = own && AllowAlpha ? &painted : nullptr;
            states[kept].Filtered = IsFilteredOut(rows[i]);
            states[kept].Selected = selected;
            ++kept;
        }
        rows.resize(kept);
        rects.resize(kept);
        states.resize(kept);
        auto draw = [&](std::size_t I) {
            TBarState state = states[I];
            state.Selected = state.Selected && table == active;
            DrawBarAt(Canvas, Overview, FontSize, FontName, RowSet, RowHeight, rows[I], rects[I], state);
        };
        if (!(Overview && table == tbExclude))
            for (std::size_t i = 0; i < rows.size(); ++i)
                if (!states[i].Filtered || states[i].Selected)
                    draw(i);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (states[i].Filtered)
                draw(i);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (states[i].Selected)
                draw(i);
    }
}

// ---- the selection flash -------------------------------------------------------------

void TPlannerForm::CB_InvalidateNode(TNodeData* Row)
{
    if (!Row)
        return;
    InvalidateNode(Row, Row->VNodeTable && Row->VNodeTable->Selected(Row->VNode));
}

void TPlannerForm::ResetFlashSelectedTimer()
{
    FlashSelectedTimer->SetTag(0);
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    if (tree && tree->SelectedCount() > 0)
        FlashSelectedTimer->SetEnabled(true);
}

void TPlannerForm::EnableSelectionFlash() { FlashSelectedTimer->SetEnabled(true); }

void TPlannerForm::FlashSelectedTimerTimer(TObject*)
{
    if (IsLoading())
        return;
    if (TStringTreeGrid* tree = GetTable(GetActiveTable()))
        for (TGridNode* node = tree->GetFirstSelected(); node; node = tree->GetNextSelected(node))
            if (TNodeData* row = NodeToRow(tree, node)) {
                row->RecalcBitmap = true;
                CB_InvalidateNode(row);
            }
    const int step = int((FlashSelectedTimer->Tag() + 1) % 7);
    FlashSelectedTimer->SetTag(step);
    FlashSelectedTimer->SetEnabled(step != 0);
}

// ---- paints ------------------------------------------------------------------------

TCanvas* TPlannerForm::WhiteCanvas(TCanvasPanel* Panel)
{
    TCanvas* c = Panel->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->FillRect(c->ClipRect());
    return c;
}
