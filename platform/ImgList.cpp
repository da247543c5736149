// Image lists: pictures kept as colour and mask arrays, drawn pixel by pixel
// (they are small) so that the canvas's GDI rules apply unchanged.
#include "platform/ImgList.h"

#include <algorithm>
#include <functional>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}
TImageList::~TImageList() = default;

void TImageList::SetSize(int AWidth, int AHeight)
{
    AWidth = std::clamp(AWidth, 1, 256);
    AHeight = std::clamp(AHeight, 1, 256);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    Clear();
}

int TImageList::AddEntry(TBitmap* Image, const std::function<bool(int, int, TColor)>& Transparent)
{
    if (!Image)
        throw EInvalidOperation("No picture to add to the image list");
    TEntry e;
    e.Pixels.assign(std::size_t(FWidth * FHeight), clWhite);
    e.Opaque.assign(std::size_t(FWidth * FHeight), false);
    const int w = std::min(FWidth, Image->Width());
    const int h = std::min(FHeight, Image->Height());
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const Byte*>(static_cast<const TBitmap*>(Image)->ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const TColor c = RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
            const std::size_t i = std::size_t(y * FWidth + x);
            e.Pixels[i] = c;
            e.Opaque[i] = !Transparent(x, y, c);
        }
    }
    FImages.push_back(std::move(e));
    return Count() - 1;
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    return AddEntry(Image, [Mask](int X, int Y, TColor) {
        if (!Mask || X >= Mask->Width() || Y >= Mask->Height())
            return false;
        const auto* row = static_cast<const Byte*>(static_cast<const TBitmap*>(Mask)->ScanLine(Y));
        return row[X * 4] > 127 && row[X * 4 + 1] > 127 && row[X * 4 + 2] > 127;
    });
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (Image && MaskColor == clDefault && Image->Width() > 0 && Image->Height() > 0) {
        const auto* row = static_cast<const Byte*>(static_cast<const TBitmap*>(Image)->ScanLine(Image->Height() - 1));
        MaskColor = RGB(row[2], row[1], row[0]);
    }
    const TColor key = ColorToRGB(MaskColor);
    return AddEntry(Image, [key](int, int, TColor C) { return C == key; });
}

void TImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError("Image index out of bounds (" + std::to_string(Index) + ")");
    FImages.erase(FImages.begin() + Index);
}

void TImageList::Clear() { FImages.clear(); }

bool TImageList::Opaque(int Index, int X, int Y) const
{
    if (Index < 0 || Index >= Count() || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return false;
    return FImages[std::size_t(Index)].Opaque[std::size_t(Y * FWidth + X)];
}

void TImageList::GetBitmap(int Index, TBitmap* Image) const
{
    if (!Image || Index < 0 || Index >= Count())
        return;
    Image->SetSize(FWidth, FHeight);
    const TEntry& e = FImages[std::size_t(Index)];
    for (int y = 0; y < FHeight; ++y) {
        auto* row = static_cast<Byte*>(Image->ScanLine(y));
        for (int x = 0; x < FWidth; ++x) {
            const std::size_t i = std::size_t(y * FWidth + x);
            const TColor c = e.Opaque[i] ? e.Pixels[i] : clWhite;
            row[x * 4] = GetBValue(c);
            row[x * 4 + 1] = GetGValue(c);
            row[x * 4 + 2] = GetRValue(c);
            row[x * 4 + 3] = 0xFF;
        }
    }
}

void TImageList::DrawWith(TCanvas* Canvas, int X, int Y, int Index,
                          const std::function<TColor(TColor, TColor)>& Mix) const
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    const TEntry& e = FImages[std::size_t(Index)];
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const std::size_t i = std::size_t(y * FWidth + x);
            if (e.Opaque[i])
                Canvas->SetPixels(X + x, Y + y, Mix(e.Pixels[i], Canvas->Pixels(X + x, Y + y)));
        }
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (Enabled) {
        DrawWith(Canvas, X, Y, Index, [](TColor Src, TColor) { return Src; });
        return;
    }
    // Greyed: the brightness, lifted towards the button face so that the
    // picture reads as inactive on it.
    DrawWith(Canvas, X, Y, Index, [](TColor Src, TColor) {
        const int l = (GetRValue(Src) * 30 + GetGValue(Src) * 59 + GetBValue(Src) * 11) / 100;
        const Byte g = Byte(128 + l / 2);
        return RGB(g, g, g);
    });
}

void TImageList::DrawBlended(TCanvas* Canvas, int X, int Y, int Index, TColor BlendColor) const
{
    const TColor b = ColorToRGB(BlendColor);
    DrawWith(Canvas, X, Y, Index, [b](TColor Src, TColor) {
        return RGB(Byte((GetRValue(Src) + GetRValue(b)) / 2), Byte((GetGValue(Src) + GetGValue(b)) / 2),
                   Byte((GetBValue(Src) + GetBValue(b)) / 2));
    });
}
