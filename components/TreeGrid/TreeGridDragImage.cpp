// The dragged column's picture, blended over the tree's own window.
#include "components/TreeGrid/TreeGridDragImage.h"

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUtils.h"

TTGDragImage::TTGDragImage(TBaseTreeGrid* AOwner) : FOwner(AOwner) {}

TTGDragImage::~TTGDragImage() = default;

void TTGDragImage::PrepareDrag(TBitmap* Picture, TPoint ImagePosition, TPoint HotSpot)
{
    EndDrag();
    if (!Picture || Picture->Width() <= 0 || Picture->Height() <= 0)
        return;
    FPicture = std::make_unique<TBitmap>();
    FPicture->Assign(Picture);
    // The bias darkens (or lightens) the picture once, so that it stands out
    // from the header it was taken from.
    if (FPreBlendBias != 0)
        AlphaBlend(FPicture.get(), FPicture.get(), TRect(0, 0, FPicture->Width(), FPicture->Height()), TPoint(0, 0),
            bmConstantAlpha, 256, FPreBlendBias);
    FImagePosition = ImagePosition;
    FHotSpot = HotSpot;
    FStart = {ImagePosition.X + HotSpot.X, ImagePosition.Y + HotSpot.Y};
    FVisible = true;
    InvalidateScreenRect(ScreenRect());
}

bool TTGDragImage::DragTo(TPoint P, bool ForceRepaint)
{
    if (!FVisible)
        return false;
    TPoint corner{P.X - FHotSpot.X, P.Y - FHotSpot.Y};
    if (FRestriction == dmrHorizontalOnly)
        corner.Y = FStart.Y - FHotSpot.Y;
    else if (FRestriction == dmrVerticalOnly)
        corner.X = FStart.X - FHotSpot.X;
    const bool moved = corner != FImagePosition;
    if (moved || ForceRepaint) {
        const TRect old = ScreenRect();
        FImagePosition = corner;
        InvalidateScreenRect(old);
        InvalidateScreenRect(ScreenRect());
    }
    return moved;
}

void TTGDragImage::EndDrag()
{
    if (!FVisible)
        return;
    const TRect old = ScreenRect();
    FVisible = false;
    InvalidateScreenRect(old);
    FPicture.reset();
}

TRect TTGDragImage::ScreenRect() const
{
    if (!FPicture)
        return {};
    return {FImagePosition.X, FImagePosition.Y, FImagePosition.X + FPicture->Width(),
        FImagePosition.Y + FPicture->Height()};
}

void TTGDragImage::InvalidateScreenRect(const TRect& R) const
{
    if (R.IsEmpty() || !FOwner->HandleAllocated())
        return;
    // Client coordinates; the frame flag takes the header strip along.
    const TPoint origin = FOwner->ClientOrigin();
    TRect area = R;
    OffsetRect(area, -origin.X, -origin.Y);
    RedrawWindow(FOwner->Handle(), &area, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
}

void TTGDragImage::PaintOver(TCanvas* Canvas, TPoint WindowOrigin) const
{
    TBitmap* target = Canvas ? Canvas->Bitmap() : nullptr;
    if (!FVisible || !FPicture || !target || !FOwner->HandleAllocated())
        return;
    // The picture's rectangle on the target bitmap.
    const TPoint client = FOwner->ClientOrigin() - FOwner->ClientOffset();  // the window's corner on the screen
    const TPoint logical{FImagePosition.X - client.X - WindowOrigin.X, FImagePosition.Y - client.Y - WindowOrigin.Y};
    const TPoint device = Canvas->LogicalToDevice(logical);
    const TRect image{device.X, device.Y, device.X + FPicture->Width(), device.Y + FPicture->Height()};
    // Only what this paint renews takes the picture: a pixel blended twice
    // would darken.
    TRegion area = Canvas->HasClipRegion() ? Canvas->ClipRegion() : TRegion::FromRect({0, 0, target->Width(),
        target->Height()});
    area = area.Intersected(TRegion::FromRect(image));
    for (const TRect& r : area.Rects())
        AlphaBlend(FPicture.get(), target, TRect(r.Left - image.Left, r.Top - image.Top, r.Right - image.Left,
            r.Bottom - image.Top), r.TopLeft(), bmConstantAlpha, FTransparency, FPostBlendBias);
}
