// The string tree's texts on the screen: measuring (with the main column's
// per-node width cache), shortening, drawing the normal and the static
// text, spanning empty neighbour cells and the height of wrapped texts.
#include <algorithm>

#include "components/TreeGrid/StringTreeGrid.h"
#include "components/TreeGrid/TreeGridUtils.h"

namespace {

unsigned AlignmentFlag(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

constexpr unsigned SingleLineFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr unsigned MultiLineFormat = DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL;

}  // namespace

// ---- fonts ------------------------------------------------------------------------------

TCanvas* TCustomStringTreeGrid::MeasureCanvas()
{
    if (!FMeasureBitmap)
        FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
    return FMeasureBitmap->Canvas();
}

void TCustomStringTreeGrid::MeasureFont()
{
    TCanvas* canvas = MeasureCanvas();
    canvas->Font()->Assign(Font());
    FTextHeight = canvas->TextHeight("Wg");
    FEllipsisWidth = canvas->TextWidth("...");
}

void TCustomStringTreeGrid::Dispatch(TMessage& Message)
{
    TBaseTreeGrid::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED && FHeader) {
        MeasureFont();
        ResetAllTextWidths();
    }
}

int TCustomStringTreeGrid::TextExtentCached(TCanvas* Canvas, const String& Text)
{
    // A few fonts at a time (normal and bold, say), a bounded number of texts each.
    constexpr std::size_t MaxFonts = 4;
    constexpr std::size_t MaxTexts = 65536;
    const TFont* font = Canvas->Font();
    const TFontStyles styles = font->Style();
    TFontKey key{font->Name(), font->Height(),
        (styles.Contains(fsBold) ? 1 : 0) | (styles.Contains(fsItalic) ? 2 : 0) |
            (styles.Contains(fsUnderline) ? 4 : 0) | (styles.Contains(fsStrikeOut) ? 8 : 0),
        font->PixelsPerInch(), font->Orientation()};
    auto cache = std::find_if(FExtentCaches.begin(), FExtentCaches.end(),
        [&](const TExtentCache& c) { return c.Font == key; });
    if (cache == FExtentCaches.end()) {
        if (FExtentCaches.size() >= MaxFonts)
            FExtentCaches.clear();
        FExtentCaches.push_back({std::move(key), {}});
        cache = FExtentCaches.end() - 1;
    }
    if (auto found = cache->Widths.find(Text); found != cache->Widths.end())
        return found->second;
    if (cache->Widths.size() >= MaxTexts)
        cache->Widths.clear();
    const int width = Canvas->TextWidth(Text);
    cache->Widths.emplace(Text, width);
    return width;
}

void TCustomStringTreeGrid::RedirectFontChangeEvent(TCanvas* Canvas)
{
    FOldFontChange = Canvas->Font()->OnChange;
    Canvas->Font()->OnChange = [this](TObject*) { FFontChanged = true; };
}

void TCustomStringTreeGrid::RestoreFontChangeEvent(TCanvas* Canvas)
{
    Canvas->Font()->OnChange = FOldFontChange;
    FOldFontChange = nullptr;
}

void TCustomStringTreeGrid::DoPaintText(TGridNode* Node, TCanvas* Canvas, TColumnIndex Column, TVSTTextType TextType)
{
    if (OnPaintText)
        OnPaintText(this, Canvas, Node, Column, TextType);
}

// ---- painting ---------------------------------------------------------------------------

void TCustomStringTreeGrid::DoPaintNode(TTGPaintInfo& PaintInfo)
{
    if (FEllipsisWidth < 0)
        MeasureFont();
    TCanvas* canvas = PaintInfo.Canvas;
    RedirectFontChangeEvent(canvas);
    try {
        String text = FDefaultText;
        DoGetText(PaintInfo.Node, PaintInfo.Column, ttNormal, text);
        if (!text.empty())
            PaintNormalText(PaintInfo, 0, text);
        if (FAlignment != taCenter && !PaintInfo.Node->States.Contains(vsMultiline) &&
            TreeOptions()->StringOptions().Contains(toShowStaticText)) {
            String staticText;
            DoGetText(PaintInfo.Node, PaintInfo.Column, ttStatic, staticText);
            if (!staticText.empty())
                PaintStaticText(PaintInfo, 0, staticText);
        }
    } catch (...) {
        RestoreFontChangeEvent(canvas);
        throw;
    }
    RestoreFontChangeEvent(canvas);
}

void TCustomStringTreeGrid::InitializeTextProperties(TTGPaintInfo& PaintInfo)
{
    TCanvas* canvas = PaintInfo.Canvas;
    TGridNode* node = PaintInfo.Node;
    canvas->Font()->Assign(Font());
    const TTGPaintOptions options = TreeOptions()->PaintOptions();
    if (options.Contains(toHotTrack) && node == FCurrentHotNode) {
        canvas->Font()->SetStyle(canvas->Font()->Style() + fsUnderline);
        canvas->Font()->SetColor(FColors->HotColor());
    }
    if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
        (PaintInfo.Column == FFocusedColumn || TreeOptions()->SelectionOptions().Contains(toFullRowSelect))) {
        bool highlight;
        if (node == FDropTargetNode)
            highlight = FLastDropMode == dmOnNode || Selected(node);
        else
            highlight = Selected(node) && SelectionFocused();
        if (highlight)
            canvas->Font()->SetColor(clHighlightText);
    }
}

void TCustomStringTreeGrid::PaintNormalText(TTGPaintInfo& PaintInfo, int, String Text)
{
    TCanvas* canvas = PaintInfo.Canvas;
    TGridNode* node = PaintInfo.Node;
    InitializeTextProperties(PaintInfo);
    TRect r = PaintInfo.ContentRect;
    r.Left += FTextMargin;
    r.Right -= FTextMargin;
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    unsigned format;
    if (node->States.Contains(vsMultiline)) {
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        format = MultiLineFormat | AlignmentFlag(PaintInfo.Alignment) | (rtl ? unsigned(DT_RTLREADING) : 0u);
    } else {
        FFontChanged = false;
        int ellipsisWidth = FEllipsisWidth;
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (FFontChanged) {
            // Measured again in the handler's font, for this paint only.
            ellipsisWidth = 0;
            PaintInfo.NodeWidth = TextExtentCached(canvas, Text) + 2 * FTextMargin;
        }
        format = SingleLineFormat | (rtl ? unsigned(DT_RTLREADING) : 0u);
        if (PaintInfo.Column < 0) {
            format |= AlignmentFlag(PaintInfo.Alignment);
        } else if (r.Width() < PaintInfo.NodeWidth - 2 * FTextMargin) {
            Text = DoShortenString(canvas, node, PaintInfo.Column, Text, r.Width(), ellipsisWidth);
            if (PaintInfo.Alignment == taRightJustify)
                format |= DT_RIGHT;
        } else {
            format |= AlignmentFlag(PaintInfo.Alignment);
        }
    }
    if (node->States.Contains(vsDisabled) || !Enabled())
        canvas->Font()->SetColor(FColors->DisabledColor());
    DoTextDrawing(PaintInfo, Text, r, format);
}

void TCustomStringTreeGrid::PaintStaticText(const TTGPaintInfo& PaintInfo, int, const String& Text)
{
    TCanvas* canvas = PaintInfo.Canvas;
    TGridNode* node = PaintInfo.Node;
    canvas->Font()->Assign(Font());
    if (TreeOptions()->SelectionOptions().Contains(toFullRowSelect)) {
        if (node == FDropTargetNode) {
            if (FLastDropMode == dmOnNode || Selected(node))
                canvas->Font()->SetColor(clHighlightText);
        } else if (Selected(node) && SelectionFocused()) {
            canvas->Font()->SetColor(clHighlightText);
        }
    }
    DoPaintText(node, canvas, PaintInfo.Column, ttStatic);
    if (node->States.Contains(vsDisabled) || !Enabled())
        canvas->Font()->SetColor(FColors->DisabledColor());
    TRect r = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify)
        r.Right = PaintInfo.ContentRect.Right - PaintInfo.NodeWidth - FTextMargin;
    else
        r.Left = PaintInfo.ContentRect.Left + PaintInfo.NodeWidth + FTextMargin;
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(Text, r, SingleLineFormat);
    canvas->Brush()->SetStyle(bsSolid);
}

void TCustomStringTreeGrid::DoTextDrawing(TTGPaintInfo& PaintInfo, const String& Text, TRect CellRect,
    unsigned DrawFormat)
{
    bool defaultDraw = true;
    if (OnDrawText)
        OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, defaultDraw);
    if (!defaultDraw)
        return;
    TCanvas* canvas = PaintInfo.Canvas;
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(Text, CellRect, DrawFormat);
    canvas->Brush()->SetStyle(bsSolid);
}

// ---- measuring --------------------------------------------------------------------------

int TCustomStringTreeGrid::DoGetNodeWidth(TGridNode* Node, TColumnIndex Column, TCanvas* Canvas)
{
    if (Node->States.Contains(vsMultiline) && FHeader->Columns()->IsValidColumn(Column))
        return FHeader->Columns()->Items(Column)->Width();
    if (!Canvas)
        Canvas = MeasureCanvas();
    if (Column == FHeader->MainColumn()) {
        Cardinal width = CachedTextWidth(Node);
        if (width == 0) {
            width = Cardinal(CalculateTextWidth(Canvas, Node, Column, Text(Node, Column)));
            SetCachedTextWidth(Node, width);
        }
        return int(width);
    }
    return CalculateTextWidth(Canvas, Node, Column, Text(Node, Column));
}

int TCustomStringTreeGrid::CalculateTextWidth(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column,
    const String& Text)
{
    int result = 2 * FTextMargin;
    if (!Text.empty()) {
        Canvas->Font()->Assign(Font());
        DoPaintText(Node, Canvas, Column, ttNormal);
        result += DoTextMeasuring(Canvas, Node, Column, Text);
    }
    return result;
}

int TCustomStringTreeGrid::DoTextMeasuring(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column,
    const String& Text)
{
    const bool multiline = Node->States.Contains(vsMultiline);
    int extent = multiline ? Canvas->TextWidth(Text) : TextExtentCached(Canvas, Text);
    if (multiline) {
        TRect r(0, 0, extent, 0x7FFFFFFF);
        const TAlignment alignment = FHeader->Columns()->IsValidColumn(Column)
            ? FHeader->Columns()->Items(Column)->Alignment()
            : FAlignment;
        unsigned format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_CALCRECT | AlignmentFlag(alignment);
        if (UseRightToLeftAlignment())
            format |= DT_RTLREADING;
        Canvas->DrawText(Text, r, format);
        extent = r.Width();
    }
    if (OnMeasureTextWidth)
        OnMeasureTextWidth(this, Canvas, Node, Column, Text, extent);
    return extent;
}

String TCustomStringTreeGrid::DoShortenString(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column,
    const String& S, int Width, int EllipsisWidth)
{
    String result;
    bool done = false;
    if (OnShortenString)
        OnShortenString(this, Canvas, Node, Column, S, Width, result, done);
    if (!done)
        result = ShortenString(Canvas, S, Width, EllipsisWidth);
    return result;
}

int TCustomStringTreeGrid::ComputeNodeHeight(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, String S)
{
    if (S.empty())
        S = Text(Node, Column);
    if (!Canvas)
        Canvas = MeasureCanvas();
    TRect r;
    TTreeGridColumns* columns = FHeader->Columns();
    if (!columns->IsValidColumn(Column)) {
        r = TRect(0, 0, TreeClientWidth(), 0);
    } else {
        int left = FTextMargin + FMargin;
        if (Column == FHeader->MainColumn()) {
            const int levels = TreeOptions()->PaintOptions().Contains(toFixedIndent)
                ? 1
                : int(GetNodeLevel(Node)) + (TreeOptions()->PaintOptions().Contains(toShowRoot) ? 1 : 0);
            left += levels * int(FIndent);
        }
        r = TRect(left, 0, columns->Items(Column)->Width() - FTextMargin, 0);
    }
    unsigned format = DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT;
    if (FBiDiMode != bdLeftToRight)
        format |= DT_RIGHT | DT_RTLREADING;
    Canvas->DrawText(S, r, format);
    return r.Height();
}

// ---- cells ------------------------------------------------------------------------------

bool TCustomStringTreeGrid::ColumnIsEmpty(TGridNode* Node, TColumnIndex Column)
{
    return Text(Node, Column).empty();
}

void TCustomStringTreeGrid::AdjustPaintCellRect(TTGPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty)
{
    TTreeGridColumns* columns = FHeader->Columns();
    NextNonEmpty = columns->GetNextVisibleColumn(PaintInfo.Column);
    if (!TreeOptions()->AutoOptions().Contains(toAutoSpanColumns) || !FHeader->UseColumns() ||
        PaintInfo.BidiMode != bdLeftToRight)
        return;
    while (NextNonEmpty >= 0 && columns->Items(NextNonEmpty)->BiDiMode() == bdLeftToRight &&
        ColumnIsEmpty(PaintInfo.Node, NextNonEmpty)) {
        PaintInfo.CellRect.Right += columns->Items(NextNonEmpty)->Width();
        NextNonEmpty = columns->GetNextVisibleColumn(NextNonEmpty);
    }
}

void TCustomStringTreeGrid::GetTextInfo(TGridNode* Node, TColumnIndex Column, const TFont* AFont, TRect& R,
    String& Text)
{
    TBaseTreeGrid::GetTextInfo(Node, Column, AFont, R, Text);
    TCanvas* canvas = MeasureCanvas();
    canvas->Font()->Assign(Font());
    RedirectFontChangeEvent(canvas);
    FFontChanged = false;
    DoPaintText(Node, canvas, Column, ttNormal);
    const bool changed = FFontChanged;
    RestoreFontChangeEvent(canvas);
    if (FEllipsisWidth < 0)
        MeasureFont();
    const int textHeight = changed ? canvas->TextHeight("Wg") : FTextHeight;
    Text = this->Text(Node, Column);
    if (Node->States.Contains(vsMultiline))
        R = GetDisplayRect(Node, Column, false);
    if (TreeOptions()->PaintOptions().Contains(toShowHorzGridLines))
        R.Bottom--;
    const int grow = (textHeight - R.Height()) / 2;
    R.Top -= grow;
    R.Bottom += grow;
}
