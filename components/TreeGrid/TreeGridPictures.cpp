// The pictures a tree paints besides its content: the check images of the
// kind chosen (the unit's lists or the owner's own) and the background
// picture, fixed to the client area or tiled with the content.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/ImgList.h"

namespace {

// A quarter of Blend over three quarters of Source, per channel.
TColor MixQuarter(TColor Source, TColor Blend)
{
    return RGB(Byte((3 * GetRValue(Source) + GetRValue(Blend)) / 4),
        Byte((3 * GetGValue(Source) + GetGValue(Blend)) / 4), Byte((3 * GetBValue(Source) + GetBValue(Blend)) / 4));
}

// Value modulo Size, never negative.
int Remainder(int Value, int Size)
{
    const int r = Value % Size;
    return r < 0 ? r + Size : r;
}

}  // namespace

// ---- check images --------------------------------------------------------------------

TTGImageList* TBaseTreeGrid::GetCheckImageListFor(TTGCheckImageKind Kind) const
{
    switch (Kind) {
    case ckLightCheck: return LightCheckImages();
    case ckDarkCheck: return DarkCheckImages();
    case ckLightTick: return LightTickImages();
    case ckDarkTick: return DarkTickImages();
    case ckFlat: return FlatImages();
    case ckXP: return XPImages();
    case ckSystemFlat: return SystemFlatCheckImages();
    case ckSystemDefault: return SystemCheckImages();
    case ckCustom: break;
    }
    return nullptr;
}

void TBaseTreeGrid::SetCheckImageKind(TTGCheckImageKind Value)
{
    if (Value == FCheckImageKind)
        return;
    FCheckImageKind = Value;
    if (HandleAllocated() && FUpdateCount == 0 && !IsLoading())
        Invalidate();
}

void TBaseTreeGrid::SetCustomCheckImages(TImageList* Value)
{
    if (Value == FCustomCheckImages)
        return;
    if (FCustomCheckImages)
        FCustomCheckImages->RemoveFreeNotification(this);
    FCustomCheckImages = Value;
    if (FCustomCheckImages)
        FCustomCheckImages->FreeNotification(this);
    if (!IsLoading())
        RepaintTree();
}

bool TBaseTreeGrid::HasCheckImages() const
{
    return FCheckImageKind == ckCustom ? FCustomCheckImages != nullptr : GetCheckImageListFor(FCheckImageKind) != nullptr;
}

int TBaseTreeGrid::CheckImageWidth() const
{
    if (FCheckImageKind == ckCustom)
        return FCustomCheckImages ? FCustomCheckImages->Width() : 0;
    const TTGImageList* list = GetCheckImageListFor(FCheckImageKind);
    return list ? list->Width() : 0;
}

int TBaseTreeGrid::CheckImageHeight() const
{
    if (FCheckImageKind == ckCustom)
        return FCustomCheckImages ? FCustomCheckImages->Height() : 0;
    const TTGImageList* list = GetCheckImageListFor(FCheckImageKind);
    return list ? list->Height() : 0;
}

void TBaseTreeGrid::DrawCheckImage(TCanvas* Canvas, int X, int Y, int Index, TColor BlendColor) const
{
    if (FCheckImageKind == ckCustom) {
        TImageList* list = FCustomCheckImages;
        if (!list || Index < 0 || Index >= list->Count())
            return;
        if (BlendColor == clNone) {
            list->Draw(Canvas, X, Y, Index);
            return;
        }
        TBitmap picture;
        list->GetBitmap(Index, &picture);
        const TColor blend = ColorToRGB(BlendColor);
        for (int y = 0; y < list->Height(); ++y)
            for (int x = 0; x < list->Width(); ++x)
                if (list->Opaque(Index, x, y))
                    Canvas->SetPixels(X + x, Y + y, MixQuarter(picture.Canvas()->Pixels(x, y), blend));
        return;
    }
    TTGImageList* list = GetCheckImageListFor(FCheckImageKind);
    if (!list)
        return;
    if (BlendColor == clNone) {
        list->Draw(Canvas, X, Y, Index);
        return;
    }
    const TColor blend = ColorToRGB(BlendColor);
    for (int y = 0; y < list->Height(); ++y)
        for (int x = 0; x < list->Width(); ++x) {
            const TColor c = list->Pixel(Index, x, y);
            if (c != clNone)
                Canvas->SetPixels(X + x, Y + y, MixQuarter(c, blend));
        }
}

void TBaseTreeGrid::PaintCheckImage(const TTGPaintInfo& PaintInfo)
{
    const TTGImageInfo& check = PaintInfo.ImageInfo[iiCheck];
    // A selected box takes a tint of the selection so that it sits in the row's highlight.
    TColor blend = clNone;
    if (Selected(PaintInfo.Node) && !check.Ghosted)
        blend = SelectionFocused() ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor();
    DrawCheckImage(PaintInfo.Canvas, check.XPos, check.YPos, check.Index, blend);
}

// ---- background picture --------------------------------------------------------------

void TBaseTreeGrid::SetBackground(TPicture* Value)
{
    FBackground->Assign(Value);
    RepaintTree();
}

bool TBaseTreeGrid::UseBackgroundPicture(TTGInternalPaintOptions PaintOptions) const
{
    return FOptions->PaintOptions().Contains(toShowBackground) && PaintOptions.Contains(poBackground) &&
        FBackground->Graphic() && !FBackground->Graphic()->Empty();
}

void TBaseTreeGrid::PaintBackgroundPicture(TCanvas* Canvas, const TRect& R, TPoint TreeOrigin, TPoint ClientOrigin)
{
    TBitmap* picture = FBackground->Bitmap();
    if (FOptions->PaintOptions().Contains(toStaticBackground))
        StaticBackground(picture, Canvas, ClientOrigin, R);
    else
        TileBackground(picture, Canvas, TreeOrigin, R);
}

void TBaseTreeGrid::StaticBackground(TBitmap* Source, TCanvas* Canvas, TPoint Offset, const TRect& R)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color());
    Canvas->FillRect(R);
    // The picture is pinned to the client area; Offset turns R's coordinates
    // into client ones.
    const TRect placed(FBackgroundOffsetX - Offset.X, FBackgroundOffsetY - Offset.Y,
        FBackgroundOffsetX - Offset.X + Source->Width(), FBackgroundOffsetY - Offset.Y + Source->Height());
    TRect part;
    if (!IntersectRect(part, placed, R))
        return;
    const TRect from(part.Left - placed.Left, part.Top - placed.Top, part.Right - placed.Left,
        part.Bottom - placed.Top);
    if (Source->Transparent())
        Canvas->CopyRectMasked(part, Source, from);
    else
        Canvas->CopyRect(part, Source->Canvas(), from);
}

void TBaseTreeGrid::TileBackground(TBitmap* Source, TCanvas* Canvas, TPoint Offset, const TRect& R)
{
    const int width = Source->Width(), height = Source->Height();
    if (width <= 0 || height <= 0 || R.IsEmpty())
        return;
    // The tiles move with the content: Offset turns R's coordinates into tree ones.
    const int startX = Remainder(R.Left + Offset.X + FBackgroundOffsetX, width);
    int sourceY = Remainder(R.Top + Offset.Y + FBackgroundOffsetY, height);
    for (int y = R.Top; y < R.Bottom; sourceY = 0) {
        const int h = std::min(height - sourceY, R.Bottom - y);
        int sourceX = startX;
        for (int x = R.Left; x < R.Right; sourceX = 0) {
            const int w = std::min(width - sourceX, R.Right - x);
            Canvas->CopyRect(TRect(x, y, x + w, y + h), Source->Canvas(),
                TRect(sourceX, sourceY, sourceX + w, sourceY + h));
            x += w;
        }
        y += h;
    }
}
