#pragma once
// A list of equally sized pictures with a transparency mask, drawn by index
// (menus, tool buttons, tree and list images).
#include <functional>
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
    VEK_DECLARE_CLASS(TImageList, TComponent)

public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size clears the list. Sizes are kept within 1..256.
    void SetSize(int AWidth, int AHeight);
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    int Count() const { return int(FImages.size()); }

    // Adds Image (its top-left Width x Height part); Mask's white pixels are
    // transparent (no mask: all opaque). Returns the index.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor are transparent; clDefault takes the colour of the
    // image's bottom-left pixel.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    void Delete(int Index);
    void Clear();
    // Copies the picture (transparent pixels in clWhite) into Image.
    void GetBitmap(int Index, TBitmap* Image) const;

    // Draws the picture with its top-left corner at X, Y; a disabled picture
    // is drawn greyed. An index out of range draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    // Draws the picture mixed half and half with BlendColor (the look of a
    // selected or focused picture).
    void DrawBlended(TCanvas* Canvas, int X, int Y, int Index, TColor BlendColor) const;

    // True when the pixel of the picture is opaque; false out of range.
    bool Opaque(int Index, int X, int Y) const;

private:
    struct TEntry {
        std::vector<TColor> Pixels;
        std::vector<bool> Opaque;
    };
    int AddEntry(TBitmap* Image, const std::function<bool(int X, int Y, TColor C)>& Transparent);
    void DrawWith(TCanvas* Canvas, int X, int Y, int Index, const std::function<TColor(TColor Src, TColor Dst)>& Mix) const;
    int FWidth = 16;
    int FHeight = 16;
    std::vector<TEntry> FImages;
};
