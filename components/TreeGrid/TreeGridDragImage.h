#pragma once
// The picture that follows the pointer while a header column is dragged. It
// is not a window of its own: the tree blends it over its own window (the
// header strip and the client area) whenever that part is painted, so it
// never leaves a trace and needs nothing from the window system.
#include <memory>

#include "platform/Graphics.h"
#include "platform/Regions.h"

class TBaseTreeGrid;

enum TTGDragMoveRestriction : std::uint8_t { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };

class TTGDragImage {
public:
    explicit TTGDragImage(TBaseTreeGrid* AOwner);
    ~TTGDragImage();

    // How much of the picture shows over the tree: 0 none, 256 all of it.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value) { FTransparency = Value; }
    // Added to every channel of the picture when it is prepared, and to the
    // blended result.
    int PreBlendBias() const { return FPreBlendBias; }
    void SetPreBlendBias(int Value) { FPreBlendBias = Value; }
    int PostBlendBias() const { return FPostBlendBias; }
    void SetPostBlendBias(int Value) { FPostBlendBias = Value; }
    TTGDragMoveRestriction MoveRestriction() const { return FRestriction; }
    void SetMoveRestriction(TTGDragMoveRestriction Value) { FRestriction = Value; }

    // Takes a copy of Picture (32 bits per pixel) with its top-left corner
    // at ImagePosition and the pointer's place on it at HotSpot (both on
    // the screen), and shows it.
    void PrepareDrag(TBitmap* Picture, TPoint ImagePosition, TPoint HotSpot);
    // Moves the picture with the pointer at P (screen); ForceRepaint
    // repaints the tree under it even when it did not move (the drop mark
    // changed). True when the picture moved.
    bool DragTo(TPoint P, bool ForceRepaint);
    // Hides the picture and lets it go.
    void EndDrag();
    bool Visible() const { return FVisible; }
    // Where the picture lies now, on the screen.
    TRect ScreenRect() const;
    TBitmap* Picture() const { return FPicture.get(); }

    // Blends the picture into Canvas (the tree's painting canvas, drawing on
    // a bitmap) within the part being painted; WindowOrigin is where the
    // canvas's logical point (0, 0) lies in window coordinates.
    void PaintOver(TCanvas* Canvas, TPoint WindowOrigin) const;

private:
    // Repaints the part of the tree's window that R (screen) covers.
    void InvalidateScreenRect(const TRect& R) const;

    TBaseTreeGrid* FOwner;
    std::unique_ptr<TBitmap> FPicture;
    TPoint FImagePosition;  // top-left corner on the screen
    TPoint FHotSpot;
    TPoint FStart;  // the pointer when the drag was prepared
    int FTransparency = 128;
    int FPreBlendBias = 0;
    int FPostBlendBias = 0;
    bool FVisible = false;
    TTGDragMoveRestriction FRestriction = dmrNone;
};
