// Wheel panning of TBaseTreeGrid: a press of the middle button shows a small
// picture at the press; while it is shown the tree scrolls towards the
// pointer, faster the farther the pointer is, and the cursor shows the
// direction. The picture is a windowless child of the tree, drawn only where
// it is not its key colour (the region CreateClipRegion builds).
#include <algorithm>
#include <memory>
#include <vector>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Regions.h"

namespace {

constexpr int PanningSize = 32;
constexpr TColor KeyColor = 0xFF00FF;
constexpr TColor Outline = 0x000000;
constexpr TColor Fill = 0xF4F4F4;

// Arrow heads around the centre (16, 16) of a 32 x 32 picture, pointing
// away from it; Direction 0 is up, counting clockwise in eighths.
void DrawArrow(TCanvas* C, int Direction, int Distance)
{
    static const int dx[] = {0, 1, 1, 1, 0, -1, -1, -1};
    static const int dy[] = {-1, -1, 0, 1, 1, 1, 0, -1};
    const int x = dx[Direction];
    const int y = dy[Direction];
    const TPoint tip{16 + x * Distance, 16 + y * Distance};
    // The base of the head, 5 pixels back towards the centre, 4 to each side.
    const TPoint back{tip.X - x * 5, tip.Y - y * 5};
    const std::vector<TPoint> head{tip, {back.X - y * 4, back.Y + x * 4}, {back.X + y * 4, back.Y - x * 4}};
    C->Brush()->SetColor(Outline);
    C->Pen()->SetColor(Outline);
    C->Polygon(head);
}

std::unique_ptr<TBitmap> NewPicture(TColor Background)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(PanningSize, PanningSize);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(Background);
    c->FillRect(TRect{0, 0, PanningSize, PanningSize});
    return b;
}

void DrawCentre(TCanvas* C)
{
    C->Brush()->SetColor(Outline);
    C->Pen()->SetColor(Outline);
    C->Ellipse(14, 14, 19, 19);
}

}  // namespace

std::unique_ptr<TBitmap> PanningPicture(TTGPanningImage Image)
{
    auto b = NewPicture(KeyColor);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(Outline);
    c->Brush()->SetColor(Fill);
    c->Ellipse(1, 1, 31, 31);
    DrawCentre(c);
    if (Image != piMoveEW) {
        DrawArrow(c, 0, 12);
        DrawArrow(c, 4, 12);
    }
    if (Image != piMoveNS) {
        DrawArrow(c, 2, 12);
        DrawArrow(c, 6, 12);
    }
    return b;
}

std::unique_ptr<TBitmap> PanningCursorPicture(int Cursor)
{
    if (Cursor < crPanningFirst || Cursor > crPanningLast)
        return nullptr;
    // Pure white is transparent in a cursor picture.
    auto b = NewPicture(clWhite);
    TCanvas* c = b->Canvas();
    DrawCentre(c);
    if (Cursor <= crPanningNW) {
        DrawArrow(c, Cursor - crPanningN, 12);
        return b;
    }
    const TTGPanningImage idle = Cursor == crPanningIdleAll ? piMoveAll : Cursor == crPanningIdleEW ? piMoveEW : piMoveNS;
    if (idle != piMoveEW) {
        DrawArrow(c, 0, 10);
        DrawArrow(c, 4, 10);
    }
    if (idle != piMoveNS) {
        DrawArrow(c, 2, 10);
        DrawArrow(c, 6, 10);
    }
    return b;
}

TRegion CreateClipRegion(TBitmap* Image, TColor TransparentColor)
{
    TGAssert(Image && Image->Width() > 0 && Image->Height() > 0, "Invalid wheel panning image.");
    TRegion result;
    TCanvas* c = Image->Canvas();
    for (int y = 0; y < Image->Height(); ++y) {
        int x = 0;
        while (x < Image->Width()) {
            while (x < Image->Width() && c->Pixels(x, y) == TransparentColor)
                ++x;
            const int start = x;
            while (x < Image->Width() && c->Pixels(x, y) != TransparentColor)
                ++x;
            if (x > start)
                result = result.United(TRegion::FromRect({start, y, x, y + 1}));
        }
    }
    return result;
}

// The picture at the point where panning began.
class TPanningWindow : public TGraphicControl {
public:
    TPanningWindow(TComponent* AOwner, TTGPanningImage Image) : TGraphicControl(AOwner), FImage(PanningPicture(Image))
    {
        FShape = CreateClipRegion(FImage.get(), KeyColor);
        SetBounds(0, 0, PanningSize, PanningSize);
    }

protected:
    void Paint() override
    {
        TCanvas* c = Canvas();
        const TPoint origin = c->ViewportOrg();
        TRegion shape = FShape;
        shape.Offset(origin.X, origin.Y);
        const int saved = c->SaveDC();
        if (c->HasClipRegion())
            shape = shape.Intersected(c->ClipRegion());
        c->SelectClipRgn(&shape);
        c->Draw(0, 0, FImage.get());
        c->RestoreDC(saved);
    }

private:
    std::unique_ptr<TBitmap> FImage;
    TRegion FShape;
};

namespace {
void RegisterPanningCursors()
{
    static bool registered = false;
    if (registered || !Screen)
        return;
    registered = true;
    for (int n = crPanningFirst; n <= crPanningLast; ++n)
        Screen->SetCursors(n, CreateCursorFromBitmap(PanningCursorPicture(n).get(), TPoint{16, 16}));
}
}  // namespace

void TBaseTreeGrid::StartWheelPanning(TPoint Position)
{
    StopTimer(ScrollTimer);
    StopWheelPanning();
    DoStateChange({tsWheelPanning});
    FLastClickPos = Position;
    FPanningOldCursor = Cursor();
    const bool wide = int(FRangeX) > TreeClientWidth();
    const bool high = int(FRangeY) > TreeClientHeight();
    FPanningImage = wide && high ? piMoveAll : wide ? piMoveEW : piMoveNS;
    FPanningWindow = new TPanningWindow(nullptr, TTGPanningImage(FPanningImage));
    FPanningWindow->SetBounds(Position.X - PanningSize / 2, Position.Y - PanningSize / 2, PanningSize, PanningSize);
    FPanningWindow->SetParent(this);
    if (MessageLoopAvailable())
        RegisterPanningCursors();
    if (HandleAllocated() && !Focused() && CanFocus())
        SetFocus();
    if (HandleAllocated())
        SetMouseCapture(true);
    AdjustPanningCursor(Position.X, Position.Y);
    StartTimer(ScrollTimer, 20);
}

void TBaseTreeGrid::StopWheelPanning()
{
    if (!FPanningWindow && !FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling}))
        return;
    StopTimer(ScrollTimer);
    if (FPanningWindow) {
        TGraphicControl* window = FPanningWindow;
        FPanningWindow = nullptr;
        delete window;
    }
    if (MouseCapture())
        SetMouseCapture(false);
    SetCursor(FPanningOldCursor);
    DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
}

void TBaseTreeGrid::AdjustPanningCursor(int X, int Y)
{
    const int dx = X - FLastClickPos.X;
    const int dy = Y - FLastClickPos.Y;
    const bool left = dx < -8;
    const bool right = dx > 8;
    const bool up = dy < -8;
    const bool down = dy > 8;
    TCursor cursor;
    if (up && left)
        cursor = crPanningNW;
    else if (up && right)
        cursor = crPanningNE;
    else if (down && left)
        cursor = crPanningSW;
    else if (down && right)
        cursor = crPanningSE;
    else if (up)
        cursor = crPanningN;
    else if (down)
        cursor = crPanningS;
    else if (left)
        cursor = crPanningW;
    else if (right)
        cursor = crPanningE;
    else
        cursor = FPanningImage == piMoveAll ? crPanningIdleAll : FPanningImage == piMoveEW ? crPanningIdleEW
                                                                                           : crPanningIdleNS;
    SetCursor(cursor);
}
