#pragma once
// Drawing: fonts, pens, brushes, the canvas that draws with them, graphics
// (bitmaps now, display lists later) and the DrawText flags.
//
// The canvas follows GDI's pixel rules, which the drawing code above relies
// on: rectangles are half-open; Rectangle, RoundRect and Ellipse keep their
// outline inside the rectangle; LineTo leaves out its end point; shapes and
// lines are drawn without antialiasing; a clear pen makes a filled
// Rectangle one pixel smaller on the right and at the bottom; TextOut puts the
// top-left corner of the text cell at the given point. Clip regions and the
// brush origin are in device pixels, everything else in logical units
// (device = logical - window origin + viewport origin).
#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Regions.h"
#include "platform/Types.h"

#include <array>
#include <memory>
#include <vector>

class QImage;
class QPainter;
class QPoint;
class QString;
class TCanvas;
class TBitmap;

// ---------------------------------------------------------------------------
// Graphics objects

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, 4>;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// The binary raster operations, named after what the pen does to the pixel.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// Base of font, pen and brush: a change fires OnChange (and tells the canvas
// that uses the object, whatever OnChange holds).
class TGraphicsObject : public TPersistent {
    VEK_DECLARE_CLASS(TGraphicsObject, TPersistent)

public:
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    friend class TCanvas;
    TCanvas* FCanvas = nullptr;  // the canvas this object belongs to, if any
};

class TFont : public TGraphicsObject {
    VEK_DECLARE_CLASS(TFont, TGraphicsObject)

public:
    TFont();
    void Assign(TPersistent* Source) override;

    const String& Name() const { return FName; }
    void SetName(const String& Value);
    // Points at PixelsPerInch; setting it sets Height = -Size * PPI / 72.
    int Size() const;
    void SetSize(int Value);
    // Device pixels: negative = the character height (the em), positive =
    // the cell height (ascent + descent).
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Direction of the text's base line, in tenths of a degree counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    // Resolution at which Size is converted to Height (96 on the screen,
    // the printer's for a printer font).
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

private:
    String FName = "Tahoma";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    int FOrientation = 0;
    int FPixelsPerInch = 96;
};

class TPen : public TGraphicsObject {
    VEK_DECLARE_CLASS(TPen, TGraphicsObject)

public:
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);  // values below 1 count as 1
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

// A brush fills with its colour, with a hatch, or with an 8 x 8 monochrome
// pattern: the pattern's 0 bits take the canvas's text colour, its 1 bits the
// background colour (the brush colour unless SetBkColor said otherwise).
class TBrush : public TGraphicsObject {
    VEK_DECLARE_CLASS(TBrush, TGraphicsObject)

public:
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // Rows from the top; bit 7 of a row is its leftmost pixel. Makes the
    // brush a pattern brush (style bsSolid).
    void SetPattern(const std::array<Byte, 8>& Rows);
    void ClearPattern();
    bool HasPattern() const { return FHasPattern; }
    const std::array<Byte, 8>& Pattern() const { return FPattern; }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    bool FHasPattern = false;
    std::array<Byte, 8> FPattern{};
};

// ---------------------------------------------------------------------------
// DrawText flags

enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000
};

// ---------------------------------------------------------------------------
// DrawEdge: the borders of an edge and the sides and manner to draw it in.

enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER,
    BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER,
    BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,

    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000
};

// GetPixel's answer outside the device or the clip region.
constexpr TColor CLR_INVALID = 0xFFFFFFFFu;

// ---------------------------------------------------------------------------
// Graphics: things a canvas can draw.

class TGraphic : public TPersistent {
    VEK_DECLARE_CLASS(TGraphic, TPersistent)

public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value) { FTransparent = Value; }

protected:
    friend class TCanvas;
    // Draws the whole graphic stretched over Rect (logical units of ACanvas).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    bool FTransparent = false;
};

// ---------------------------------------------------------------------------
// TCanvas

struct TCanvasState;
struct TCanvasCache;

class TCanvas : public TPersistent {
    VEK_DECLARE_CLASS(TCanvas, TPersistent)

public:
    TCanvas();
    ~TCanvas() override;

    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

    // The bitmap this canvas draws on; null for other devices.
    virtual TBitmap* Bitmap() const { return nullptr; }

    // Lines and shapes.
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(const TPoint& Value) { FPenPos = Value; }
    virtual void MoveTo(int X, int Y);
    virtual void LineTo(int X, int Y);  // the end point is not drawn
    virtual void Polyline(const TPoint* Points, int Count);
    void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), int(Points.size())); }
    virtual void Polygon(const TPoint* Points, int Count);
    void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), int(Points.size())); }
    // Cubic Bezier pieces: the first point, then three per piece.
    virtual void PolyBezier(const TPoint* Points, int Count);
    virtual void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    // X3, Y3: width and height of the ellipse that rounds the corners.
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    virtual void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    // Fill with the brush, always as a copy (the pen mode does not apply).
    virtual void FillRect(const TRect& R);
    // A one-pixel frame in the brush's colour.
    virtual void FrameRect(const TRect& R);
    // Inverts every other pixel of R's edge, so drawing it twice removes it.
    virtual void DrawFocusRect(const TRect& R);
    // Fills Region (device pixels) with the brush.
    virtual void FillRgn(const TRegion& Region);

    TColor Pixels(int X, int Y);
    virtual void SetPixels(int X, int Y, TColor Color);

    // Text. The brush fills the text cell unless its style is bsClear.
    virtual void TextOut(int X, int Y, const String& Text);
    // As TextOut, clipped to Rect; an opaque brush fills all of Rect.
    virtual void TextRect(const TRect& Rect, int X, int Y, const String& Text);
    TSize TextExtent(const String& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }
    // Ascent, descent and external leading of the current font.
    int FontAscent();
    int FontDescent();
    int FontExternalLeading();
    // Draws Text formatted by the DT_... flags into R; returns the height of
    // the text (from R's top to the text's bottom with DT_VCENTER or
    // DT_BOTTOM). With DT_CALCRECT nothing is drawn and R's right and bottom
    // become the text's extent.
    virtual int DrawText(const String& Text, TRect& R, unsigned Format);
    // Text and background colours for text and pattern brushes. They follow
    // the font colour and brush colour again after the next change of those.
    void SetTextColor(TColor Color);
    void SetBkColor(TColor Color);
    TColor TextColor() const;
    TColor BkColor() const;

    // Images.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Copies Source of Canvas (which must draw on a bitmap) scaled into Dest.
    virtual void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // The masked copy of a transparent picture (raster operation
    // 0xCCAA0029): Source of Picture scaled into Dest, except its pixels of
    // the picture's TransparentColor, where the canvas keeps what it shows.
    void CopyRectMasked(const TRect& Dest, TBitmap* Picture, const TRect& Source);
    // Draws the borders Edge names (BDR_..., EDGE_...) on the sides Flags
    // names (BF_...), each border a line of one pixel in the three-D colours
    // (BF_FLAT: shadow and face, BF_MONO: frame and window; BF_SOFT trades
    // the outer and inner colours of the top and left), the outer border on
    // the rectangle's edge. BF_MIDDLE fills what is inside; BF_ADJUST leaves
    // Rect as that inside. Brush and pen stay as they were.
    bool DrawEdge(TRect& Rect, unsigned Edge, unsigned Flags);

    // Coordinates.
    TPoint WindowOrg() const;
    TPoint SetWindowOrg(int X, int Y);  // returns the previous origin
    TPoint ViewportOrg() const;
    TPoint SetViewportOrg(int X, int Y);
    TPoint BrushOrigin() const;
    TPoint SetBrushOrigin(int X, int Y);  // device pixels
    TPoint LogicalToDevice(const TPoint& P) const;
    TPoint DeviceToLogical(const TPoint& P) const;

    // Clipping. Regions are in device pixels, rectangles in logical units.
    // Without a clip region everything on the device is drawn.
    bool HasClipRegion() const;
    TRegion ClipRegion() const;            // empty when there is none
    void SelectClipRgn(const TRegion* Region);  // null removes clipping
    void IntersectClipRect(const TRect& R);
    void ExcludeClipRect(const TRect& R);
    // The bounding box of what can be drawn, in logical units.
    TRect ClipRect();
    bool RectVisible(const TRect& R);
    // Save the clip region, origins and text colours; RestoreDC(-1) returns
    // to the last saved state, RestoreDC(n) to the state SaveDC gave n for.
    int SaveDC();
    bool RestoreDC(int SavedDC);

    // Size of the device in pixels (0 x 0 when unknown).
    virtual TSize DeviceSize() const { return {}; }

    // Platform code only: the active painter (begun on demand), or null when
    // there is nothing to draw on.
    QPainter* Painter();
    // Ends the painter of this canvas, if one is active.
    void EndPaint();

protected:
    friend class TGraphicsObject;
    friend class TBitmap;

    // The paint device: give a painter that is active on the device, or
    // null. Called when the canvas needs one and has none.
    virtual QPainter* AcquirePainter() { return nullptr; }
    // End the painter that AcquirePainter gave.
    virtual void ReleasePainter() {}
    // The painter ended from outside (the device was resized, read or freed).
    void PainterLost();
    // Pixel read-back; CLR_INVALID where the device has no pixels to read.
    virtual TColor ReadPixel(int DeviceX, int DeviceY);
    // Puts S with its base line's start at P on the active painter, whose
    // font, pen and clip are already set.
    virtual void PaintText(QPainter& Painter, const QPoint& P, const QString& S);

    void ObjectChanged(TGraphicsObject* Sender);

private:
    // Image's Source pixels scaled into Dest (logical units).
    void DrawImage(const QImage& Image, const TRect& Dest, const TRect& Source);
    friend class TBitmapPrivate;

    QPainter* Ready();
    void PrepareCopy();
    void PrepareForPen();
    void PrepareForBrush();
    void PrepareFont();
    void ApplyClip();
    void DrawSpans(int X0, int Y0, int X1, int Y1, bool LastPixel);
    void FillDeviceRect(int L, int T, int R, int B, bool UsePenMode);
    void StrokeWidePath(const std::vector<TPoint>& Points, bool Closed);
    int TextOutDevice(int DX, int DY, const String& Text, const TRect* Clip, bool FillClip, bool Rotate = true);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    std::unique_ptr<TCanvasState> FState;
    std::unique_ptr<TCanvasCache> FCache;
    QPainter* FPainter = nullptr;
};

// ---------------------------------------------------------------------------
// TBitmap: 32 bits per pixel, rows top-down, each pixel 0x00RRGGBB in memory
// order B, G, R, X. ScanLine(y) points at row y. A new or grown area is white.

class TBitmapPrivate;

class TBitmap : public TGraphic {
    VEK_DECLARE_CREATABLE_CLASS(TBitmap, TGraphic)

public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int Value);
    void SetHeight(int Value);
    // Sizes beyond 32767 pixels a side or 1 GiB of pixels raise
    // EOutOfResources; negative sizes count as 0. The part that stays keeps
    // its pixels.
    void SetSize(int AWidth, int AHeight);
    // Tests: the largest area any bitmap was sized to since the last reset.
    static TSize LargestSize();
    static void ResetLargestSize();

    TCanvas* Canvas();
    // Fired when drawing on the canvas begins (the first drawing after the
    // pixels were last read or resized), before the pixels change; a picture
    // that holds the bitmap hears of the drawing through it.
    TNotifyEvent OnChange;
    // Row Row's pixels (Width of 4 bytes each). Writing them may go on
    // between drawings on the canvas; reading them (const) ends drawing in
    // progress. ERangeError for a row outside 0..Height-1.
    void* ScanLine(int Row);
    const void* ScanLine(int Row) const;

    // Kept for the callers' sake; the pixels are always 32-bit.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }

    // With Transparent, Draw leaves out the pixels of TransparentColor (by
    // default the colour of the bottom-left pixel, as clDefault says).
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value) { FTransparentColor = Value; }

    // Picture files, written whole or not at all (EWriteError on failure,
    // also for an empty bitmap). PNG: 8 bits a channel, not interlaced, RGB,
    // or RGBA when the pixels carry an alpha channel and one of them is not
    // opaque. JPEG: baseline at Quality 1..100, colours only.
    void SaveToPNGFile(const String& Path) const;
    void SaveToJPEGFile(const String& Path, int Quality = 90) const;

    // Platform code only: the pixels, with drawing in progress ended.
    QImage& Image();
    const QImage& Image() const;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    friend class TBitmapPrivate;
    friend class TBitmapCanvas;
    friend class TCanvas;
    std::unique_ptr<TBitmapPrivate> FImpl;
    TPixelFormat FPixelFormat = pf32bit;
    TColor FTransparentColor = clDefault;
};
