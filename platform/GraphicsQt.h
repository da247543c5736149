#pragma once
// Platform-private side of the drawing classes: conversions to Qt and a
// canvas over any QPainter or QPaintDevice (a widget, a printer). Only code
// in platform/ includes this.
#include "platform/Graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPen>
#include <QRegion>

#include <memory>
#include <optional>
#include <unordered_map>

// TColor (system colours resolved) as an opaque QColor; clNone as transparent.
QColor ColorToQColor(TColor Color);
// The pixel value a TColor has in a TBitmap (0xFFRRGGBB).
inline QRgb ColorToPixel(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return 0xFF000000u | (QRgb(GetRValue(c)) << 16) | (QRgb(GetGValue(c)) << 8) | QRgb(GetBValue(c));
}
inline TColor PixelToColor(QRgb Pixel)
{
    return RGB(Byte((Pixel >> 16) & 0xFF), Byte((Pixel >> 8) & 0xFF), Byte(Pixel & 0xFF));
}

// The Qt font a TFont stands for (Height in device pixels).
QFont FontToQFont(const TFont& Font);

// A canvas drawing through a painter it does not own, or on a paint device
// whose painter it begins on first use and ends in EndPaint or when freed.
class TPainterCanvas : public TCanvas {
public:
    // Painter stays owned by the caller and must be active while drawing.
    explicit TPainterCanvas(QPainter* Painter, TSize DeviceSize = {});
    explicit TPainterCanvas(QPaintDevice* Device);
    ~TPainterCanvas() override;

    TSize DeviceSize() const override;

protected:
    QPainter* AcquirePainter() override;
    void ReleasePainter() override;

private:
    QPainter* FExternal = nullptr;
    QPaintDevice* FDevice = nullptr;
    std::unique_ptr<QPainter> FOwn;
    TSize FSize;
};

// What SaveDC keeps.
struct TCanvasState {
    bool HasClip = false;
    QRegion Clip;  // device pixels
    QPoint WindowOrg;
    QPoint ViewportOrg;
    QPoint BrushOrg;
    bool HasTextColor = false;
    TColor TextColor = clBlack;
    bool HasBkColor = false;
    TColor BkColor = clWhite;
};

// What is known of texts in one font, shared by every canvas of the thread
// using that font: tables print the same texts page after page and the
// chart draws the same labels at every move, and shaping a text costs far
// more than looking it up. Both tables are bounded and start afresh when
// full.
struct TFontTexts {
    std::unordered_map<QString, int> Widths;
    // The glyphs of texts shaped for a raster device of ShapedDpi, placed
    // from the baseline's start.
    std::unordered_map<QString, QList<QGlyphRun>> Shaped;
    QSize ShapedDpi;
};

// Qt objects derived from the canvas's font, pen and brush, rebuilt only when
// those change, and what the active painter currently holds.
struct TCanvasCache {
    bool PenValid = false;
    bool PenNop = false;  // pmNop, or a clear pen
    QColor PenColor;
    QPen QtPen;
    QPainter::CompositionMode PenComposition = QPainter::CompositionMode_SourceOver;

    bool BrushValid = false;
    bool BrushClear = false;
    bool BrushPlain = true;  // one colour, no hatch or pattern
    QColor BrushColor;
    bool QtBrushValid = false;
    QBrush QtBrush;

    bool FontValid = false;
    // What of the font the Qt font was made from: a change of the font's
    // colour alone keeps the Qt font, its metrics and its texts.
    struct TShape {
        String Name;
        int Height = 0;
        TFontStyles Style;
        int PixelsPerInch = 0;
        friend bool operator==(const TShape&, const TShape&) = default;
    };
    std::optional<TShape> Shape;
    QFont QtFont;
    std::optional<QFontMetrics> Metrics;
    std::shared_ptr<TFontTexts> Texts;

    bool TextValid = false;
    bool BkValid = false;
    QColor TextColor;
    QColor BkColor;
    QPen TextPen;

    // The painter's side.
    enum TPainterPen { ppUnknown, ppShape, ppText, ppNone };
    TPainterPen PainterPen = ppUnknown;
    bool PainterBrushValid = false;
    bool PainterFontValid = false;
    bool PainterCompositionValid = false;
    QPainter::CompositionMode PainterComposition = QPainter::CompositionMode_SourceOver;

    std::vector<TCanvasState> Saved;

    void PainterReset()
    {
        PainterPen = ppUnknown;
        PainterBrushValid = false;
        PainterFontValid = false;
        PainterCompositionValid = false;
    }
};

// The text and background colours, and the brush that depends on them.
inline void ValidateText(TCanvas& Cv, TCanvasCache& C)
{
    if (!C.TextValid) {
        C.TextColor = ColorToQColor(Cv.TextColor());
        C.TextPen = QPen(C.TextColor);
        C.TextValid = true;
        if (C.PainterPen == TCanvasCache::ppText)
            C.PainterPen = TCanvasCache::ppUnknown;
    }
    if (!C.BkValid) {
        C.BkColor = ColorToQColor(Cv.BkColor());
        C.BkValid = true;
    }
}


// The pixels of a TBitmap and the painter that draws on them.
class TBitmapCanvas;
class TBitmapPrivate {
public:
    explicit TBitmapPrivate(TBitmap* Owner);
    ~TBitmapPrivate();

    // Ends drawing in progress, so the pixels can be read or replaced.
    void EndPainting();
    QPainter* BeginPainting();
    // The image with the pixels of TransparentColor made fully transparent.
    const QImage& Masked(TColor TransparentColor);

    TBitmap* Owner;
    int Width = 0;
    int Height = 0;
    QImage Image;  // null while Width or Height is 0
    QPainter Painter;
    std::unique_ptr<TBitmapCanvas> Canvas;
    UInt64 Generation = 0;  // grows whenever the pixels may have changed
    QImage MaskedImage;
    UInt64 MaskedGeneration = ~UInt64(0);
    QRgb MaskedColor = 0;
};

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmapPrivate* Owner) : FOwner(Owner) {}
    TBitmap* Bitmap() const override { return FOwner->Owner; }
    TSize DeviceSize() const override { return {FOwner->Width, FOwner->Height}; }
    void Lost() { PainterLost(); }

protected:
    QPainter* AcquirePainter() override { return FOwner->BeginPainting(); }
    void ReleasePainter() override { FOwner->EndPainting(); }
    TColor ReadPixel(int DeviceX, int DeviceY) override;

private:
    TBitmapPrivate* FOwner;
};
