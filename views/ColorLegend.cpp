#include "views/ColorLegend.h"

#include <algorithm>

#include "platform/ComCtrls.h"
#include "platform/Graphics.h"
#include "views/DrawingHelpers.h"

TColorLegend::TColorLegend(TComponent* AOwner) : TCanvasPanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetCaption(String());
    SetShowHint(true);
    OnPaint = [this](TObject*) { PaintLegend(); };
}

void TColorLegend::SetEntries(const std::vector<String>& Names, const std::vector<TColor>& Colors)
{
    std::vector<TColor> colors = Colors;
    colors.resize(Names.size(), clWhite);
    if (Names == FNames && colors == FColors)
        return;
    FNames = Names;
    FColors = std::move(colors);
    if (FFocused >= EntryCount())
        FFocused = -1;
    Layout();
    Invalidate();
}

void TColorLegend::Layout()
{
    FPlaces.clear();
    int x = Gap;
    for (const String& name : FNames) {
        const int width = SwatchSize + Gap + MeasureTextWidth(Font(), name) + Gap;
        FPlaces.emplace_back(x, width);
        x += width + Gap;
    }
    SetWidth(std::max(x, 2 * Gap));
}

void TColorLegend::SetFocusedEntry(int Index)
{
    if (Index < 0 || Index >= EntryCount())
        Index = -1;
    if (Index == FFocused)
        return;
    FFocused = Index;
    Invalidate();
}

void TColorLegend::SetFlashPercent(int Percent)
{
    if (Percent == FFlashPercent)
        return;
    FFlashPercent = Percent;
    if (FFocused >= 0)
        Invalidate();
}

TRect TColorLegend::EntryRect(int Index)
{
    if (Index < 0 || Index >= int(FPlaces.size()))
        return TRect();
    const int top = std::max(0, (ClientHeight() - SwatchSize) / 2) - 2;
    const auto [left, width] = FPlaces[std::size_t(Index)];
    return TRect{left - 2, top, left + width, top + SwatchSize + 4};
}

TRect TColorLegend::SwatchRect(int Index)
{
    if (Index < 0 || Index >= int(FPlaces.size()))
        return TRect();
    const int top = std::max(0, (ClientHeight() - SwatchSize) / 2);
    const int left = FPlaces[std::size_t(Index)].first;
    return TRect{left, top, left + SwatchSize, top + SwatchSize};
}

int TColorLegend::SwatchAt(int X, int Y)
{
    for (int i = 0; i < EntryCount(); ++i)
        if (PtInRect(SwatchRect(i), TPoint{X, Y}))
            return i;
    return -1;
}

void TColorLegend::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCanvasPanel::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int entry = SwatchAt(X, Y);
    if (entry >= 0 && OnSwatchClick)
        OnSwatchClick(entry);
}

void TColorLegend::PaintLegend()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    for (int i = 0; i < EntryCount(); ++i) {
        const TRect swatch = SwatchRect(i);
        TColor fill = FColors[std::size_t(i)];
        if (i == FFocused && FFlashPercent != 0)
            fill = FadeColorRGB(fill, VisibleContrast(fill), FFlashPercent);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(fill);
        c->Pen()->SetColor(clBlack);
        c->Rectangle(swatch);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clWindowText);
        const int textTop = (ClientHeight() - c->TextHeight(FNames[std::size_t(i)])) / 2;
        c->TextOut(swatch.Right + Gap, textTop, FNames[std::size_t(i)]);
        if (i == FFocused) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clHighlight);
            c->FrameRect(EntryRect(i));
        }
    }
}
