// Scrolling by moving pixels: ScrollWindowEx on a window's back buffer and
// ScrollDC on a canvas's bitmap. Only what the move uncovers needs painting,
// so a one-row scroll of a full-screen window paints one row.
#include <cstring>

#include <QImage>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"

namespace {

TRect Intersection(const TRect& A, const TRect& B)
{
    TRect r;
    IntersectRect(r, A, B);
    return r;
}

TRect Shifted(TRect R, int DX, int DY)
{
    OffsetRect(R, DX, DY);
    return R;
}

// Moves the pixels of Image that land in Dest (a rectangle of device
// pixels) from where they are now, Dest less (DX, DY). Both lie inside the
// image; they may overlap.
void MoveRect(QImage& Image, const TRect& Dest, int DX, int DY)
{
    if (Dest.IsEmpty() || (DX == 0 && DY == 0))
        return;
    const qsizetype stride = Image.bytesPerLine();
    uchar* bits = Image.bits();
    const std::size_t bytes = std::size_t(Dest.Width()) * 4;
    auto row = [&](int y) {
        std::memmove(bits + y * stride + qsizetype(Dest.Left) * 4,
                     bits + (y - DY) * stride + qsizetype(Dest.Left - DX) * 4, bytes);
    };
    // Rows in the order that reads each source row before it is written.
    if (DY > 0)
        for (int y = Dest.Bottom - 1; y >= Dest.Top; --y)
            row(y);
    else
        for (int y = Dest.Top; y < Dest.Bottom; ++y)
            row(y);
}

// The same for a destination of several rectangles, whose sources may lie
// in one another's destinations: the sources are read first.
void MoveRegion(QImage& Image, const TRegion& Dest, int DX, int DY)
{
    const std::vector<TRect> rects = Dest.Rects();
    if (rects.size() == 1) {
        MoveRect(Image, rects[0], DX, DY);
        return;
    }
    if (rects.empty() || (DX == 0 && DY == 0))
        return;
    const TRect from = Shifted(Dest.Bounds(), -DX, -DY);
    const QImage source = Image.copy(from.Left, from.Top, from.Width(), from.Height());
    for (const TRect& r : rects)
        for (int y = r.Top; y < r.Bottom; ++y)
            std::memcpy(Image.scanLine(y) + qsizetype(r.Left) * 4,
                        source.constScanLine(y - DY - from.Top) + qsizetype(r.Left - DX - from.Left) * 4,
                        std::size_t(r.Width()) * 4);
}

bool HasPixels(const QImage& Image) { return !Image.isNull() && Image.depth() == 32; }

}  // namespace

int TWinControl::ScrollWindowArea(int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
                                  TRect* UpdateRect, UINT Flags)
{
    const TRect client = ClientRect();
    const TPoint origin = ClientOffset();
    const TRect scroll = Scroll ? Intersection(*Scroll, client) : client;
    const TRect clip = Clip ? Intersection(*Clip, client) : client;
    // Client coordinates: where moved pixels land, and what is left behind.
    const TRect dest = Intersection(Shifted(scroll, DX, DY), clip);
    const TRegion uncovered = TRegion::FromRect(Intersection(scroll, clip)).Subtracted(TRegion::FromRect(dest));

    if (FHost && FBackBuffer && FBackBuffer->Width() == Width() && FBackBuffer->Height() == Height()) {
        QImage& image = FBackBuffer->Image();
        if (HasPixels(image))
            MoveRect(image, Shifted(dest, origin.X, origin.Y), DX, DY);
    }
    // Pixels still waiting for their paint move with the rest: they stay
    // invalid where they land, and their old place is left to what moved in.
    if (!FUpdateRgn.IsEmpty()) {
        const TRegion scrollW = TRegion::FromRect(Shifted(scroll, origin.X, origin.Y));
        const TRegion clipW = TRegion::FromRect(Shifted(clip, origin.X, origin.Y));
        TRegion moving = FUpdateRgn.Intersected(scrollW);
        moving.Offset(DX, DY);
        FUpdateRgn = FUpdateRgn.Subtracted(scrollW.Intersected(clipW)).United(moving.Intersected(clipW));
    }
    if (Flags & SW_SCROLLCHILDREN) {
        for (TControl* c : FControls) {
            auto* w = dynamic_cast<TWinControl*>(c);
            TRect meet;
            if (!w || (Scroll && !IntersectRect(meet, w->BoundsRect(), scroll)))
                continue;
            // The children's pixels go with their windows; nothing of this
            // window needs painting for them.
            w->FLeft += DX;
            w->FTop += DY;
            w->UpdateHostGeometry();
        }
    }
    TRegion uncoveredW = uncovered;
    uncoveredW.Offset(origin.X, origin.Y);
    if (Flags & SW_INVALIDATE)
        InvalidateWindowArea(uncoveredW);
    PresentArea(Shifted(dest, origin.X, origin.Y));
    if (UpdateRgn)
        *UpdateRgn = uncovered;
    if (UpdateRect)
        *UpdateRect = uncovered.Bounds();
    return uncovered.Kind();
}

int ScrollWindowEx(HWND Handle, int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
                   TRect* UpdateRect, UINT Flags)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return RGN_ERROR;
    return c->ScrollWindowArea(DX, DY, Scroll, Clip, UpdateRgn, UpdateRect, Flags);
}

bool ScrollWindow(HWND Handle, int DX, int DY, const TRect* Scroll, const TRect* Clip)
{
    const UINT flags = SW_INVALIDATE | SW_ERASE | (Scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(Handle, DX, DY, Scroll, Clip, nullptr, nullptr, flags) != RGN_ERROR;
}

bool ScrollDC(TCanvas* Canvas, int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
              TRect* UpdateRect)
{
    TBitmap* bitmap = Canvas ? Canvas->Bitmap() : nullptr;
    if (!bitmap || bitmap->Empty())
        return false;
    QImage& image = bitmap->Image();
    if (!HasPixels(image))
        return false;
    // Device pixels from here on.
    const TPoint origin = Canvas->LogicalToDevice({0, 0});
    const TRect device{0, 0, image.width(), image.height()};
    const TRect scroll = Scroll ? Intersection(Shifted(*Scroll, origin.X, origin.Y), device) : device;
    TRegion clip = TRegion::FromRect(Clip ? Intersection(Shifted(*Clip, origin.X, origin.Y), device) : device);
    if (Canvas->HasClipRegion())
        clip = clip.Intersected(Canvas->ClipRegion());
    const TRegion dest = TRegion::FromRect(Shifted(scroll, DX, DY)).Intersected(clip);
    MoveRegion(image, dest, DX, DY);
    if (TWinControl* w = WindowOfBackBuffer(bitmap))
        w->PresentArea(dest.Bounds());
    TRegion uncovered = TRegion::FromRect(scroll).Intersected(clip).Subtracted(dest);
    uncovered.Offset(-origin.X, -origin.Y);
    if (UpdateRgn)
        *UpdateRgn = uncovered;
    if (UpdateRect)
        *UpdateRect = uncovered.Bounds();
    return true;
}
