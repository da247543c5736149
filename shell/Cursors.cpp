// The cursors are drawn in code at start-up: pure white is the transparent
// colour of a cursor picture, so the fills use an off-white.
#include "shell/Cursors.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "printing/PrintPreview.h"

namespace {

constexpr int Size = 32;
constexpr TColor Outline = 0x000000;
constexpr TColor Fill = 0xF4F4F4;

std::unique_ptr<TBitmap> NewPicture()
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(Size, Size);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, Size, Size});
    c->Pen()->SetColor(Outline);
    c->Brush()->SetColor(Fill);
    return b;
}

// A palm with four fingers (long when open, knuckles when closed) and a thumb.
void DrawHand(TCanvas* C, bool Open)
{
    const int fingerTop = Open ? 4 : 11;
    for (int i = 0; i < 4; ++i) {
        const int left = 9 + i * 4;
        C->RoundRect(left, fingerTop + (i == 0 || i == 3 ? 2 : 0), left + 5, 19, 4, 4);
    }
    C->RoundRect(8, 14, 26, 28, 6, 6);
    const std::vector<TPoint> thumb{{8, 22}, {3, 15}, {5, 13}, {10, 18}};
    C->Polygon(thumb);
}

// The clock of the timer cursors: Steps ninths of a full turn filled.
void DrawClock(TCanvas* C, int Steps)
{
    const TRect r{18, 0, 31, 13};
    C->Brush()->SetColor(Fill);
    C->Ellipse(r);
    const double cx = (r.Left + r.Right - 1) / 2.0, cy = (r.Top + r.Bottom - 1) / 2.0, radius = 5.0;
    std::vector<TPoint> sector{{int(std::lround(cx)), int(std::lround(cy))}};
    for (int k = 0; k <= Steps * 4; ++k) {
        const double a = -std::numbers::pi / 2 + 2 * std::numbers::pi * k / 36.0;
        sector.push_back({int(std::lround(cx + radius * std::cos(a))), int(std::lround(cy + radius * std::sin(a)))});
    }
    C->Brush()->SetColor(Outline);
    C->Polygon(sector);
}

void DrawSwitch(TCanvas* C)
{
    C->Brush()->SetColor(Outline);
    const std::vector<TPoint> up{{16, 2}, {23, 10}, {18, 10}, {18, 15}, {14, 15}, {14, 10}, {9, 10}};
    const std::vector<TPoint> down{{16, 30}, {23, 22}, {18, 22}, {18, 17}, {14, 17}, {14, 22}, {9, 22}};
    C->Polygon(up);
    C->Polygon(down);
}

// A magnifying glass with a plus (zoom in) or a minus (zoom out) in its lens.
void DrawMagnifier(TCanvas* C, bool Plus)
{
    C->Pen()->SetWidth(3);
    C->MoveTo(18, 18);
    C->LineTo(28, 28);
    C->Pen()->SetWidth(2);
    C->Ellipse(TRect{2, 2, 22, 22});
    C->Pen()->SetWidth(1);
    C->Brush()->SetColor(Outline);
    C->FillRect(TRect{7, 11, 17, 13});
    if (Plus)
        C->FillRect(TRect{11, 7, 13, 17});
}

}  // namespace

std::unique_ptr<TBitmap> CursorPicture(int Index)
{
    if (Index == crZoomIn || Index == crZoomOut) {
        auto b = NewPicture();
        DrawMagnifier(b->Canvas(), Index == crZoomIn);
        return b;
    }
    if (Index < crHandTimerFirst || Index > crHandSwitch)
        return nullptr;
    auto b = NewPicture();
    if (Index == crHandSwitch) {
        DrawSwitch(b->Canvas());
        return b;
    }
    DrawHand(b->Canvas(), Index != crHandClosed);
    if (Index <= crHandTimerLast)
        DrawClock(b->Canvas(), Index);
    return b;
}

void RegisterCursors()
{
    for (int n = crHandTimerFirst; n <= crHandSwitch; ++n)
        Screen->SetCursors(n, CreateCursorFromBitmap(CursorPicture(n).get(), TPoint{16, 16}));
    // The print preview's page: the glass's centre is the hot spot.
    for (const int n : {crZoomIn, crZoomOut})
        Screen->SetCursors(n, CreateCursorFromBitmap(CursorPicture(n).get(), TPoint{12, 12}));
}
