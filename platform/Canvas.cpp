// The canvas: GDI's pixel rules over QPainter. Shapes and one-pixel lines are
// put together from exact rectangles where GDI and Qt disagree about which
// pixels a primitive touches; Qt draws the rest (curves, wide lines, text).
#include "platform/GraphicsQt.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>

namespace {

// Far enough out to stand for "the whole device" when its size is unknown.
constexpr int HugeCoordinate = 1 << 24;

QRect DeviceBounds(TSize Size)
{
    if (Size.cx > 0 && Size.cy > 0)
        return QRect(0, 0, Size.cx, Size.cy);
    return QRect(-HugeCoordinate, -HugeCoordinate, 2 * HugeCoordinate, 2 * HugeCoordinate);
}

// The raster operation of a pen mode, with the colour it draws. False for
// modes that leave the pixels alone.
bool PenModeComposition(TPenMode Mode, QColor& Color, QPainter::CompositionMode& Composition)
{
    using C = QPainter::CompositionMode;
    switch (Mode) {
    case pmBlack: Color = QColor(0, 0, 0); Composition = C::CompositionMode_SourceOver; return true;
    case pmWhite: Color = QColor(255, 255, 255); Composition = C::CompositionMode_SourceOver; return true;
    case pmNop: return false;
    case pmNot: Composition = C::RasterOp_NotDestination; return true;
    case pmCopy: Composition = C::CompositionMode_SourceOver; return true;
    case pmNotCopy: Composition = C::RasterOp_NotSource; return true;
    case pmMergePenNot: Composition = C::RasterOp_SourceOrNotDestination; return true;
    case pmMaskPenNot: Composition = C::RasterOp_SourceAndNotDestination; return true;
    case pmMergeNotPen: Composition = C::RasterOp_NotSourceOrDestination; return true;
    case pmMaskNotPen: Composition = C::RasterOp_NotSourceAndDestination; return true;
    case pmMerge: Composition = C::RasterOp_SourceOrDestination; return true;
    case pmNotMerge: Composition = C::RasterOp_NotSourceAndNotDestination; return true;
    case pmMask: Composition = C::RasterOp_SourceAndDestination; return true;
    case pmNotMask: Composition = C::RasterOp_NotSourceOrNotDestination; return true;
    case pmXor: Composition = C::RasterOp_SourceXorDestination; return true;
    case pmNotXor: Composition = C::RasterOp_NotSourceXorDestination; return true;
    }
    return false;
}

// On and off runs of the styled one-pixel pens, in pixels.
const std::vector<int>& StylePattern(TPenStyle Style)
{
    static const std::vector<int> none;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (Style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return none;
    }
}

Qt::PenStyle QtPenStyle(TPenStyle Style)
{
    switch (Style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle QtHatch(TBrushStyle Style)
{
    switch (Style) {
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

}  // namespace

// ---------------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FState(std::make_unique<TCanvasState>()),
      FCache(std::make_unique<TCanvasCache>())
{
    FFont->FCanvas = this;
    FPen->FCanvas = this;
    FBrush->FCanvas = this;
}

TCanvas::~TCanvas()
{
    FFont->FCanvas = nullptr;
    FPen->FCanvas = nullptr;
    FBrush->FCanvas = nullptr;
}

void TCanvas::ObjectChanged(TGraphicsObject* Sender)
{
    if (Sender == FPen.get()) {
        FCache->PenValid = false;
        if (FCache->PainterPen == TCanvasCache::ppShape)
            FCache->PainterPen = TCanvasCache::ppUnknown;
    } else if (Sender == FBrush.get()) {
        FCache->BrushValid = false;
        FCache->PainterBrushValid = false;
        FState->HasBkColor = false;
        FCache->BkValid = false;
    } else if (Sender == FFont.get()) {
        FCache->FontValid = false;
        FCache->PainterFontValid = false;
        FState->HasTextColor = false;
        FCache->TextValid = false;
        if (FBrush->HasPattern()) {
            FCache->BrushValid = false;
            FCache->PainterBrushValid = false;
        }
    }
}

QPainter* TCanvas::Painter() { return Ready(); }

QPainter* TCanvas::Ready()
{
    if (FPainter)
        return FPainter;
    FPainter = AcquirePainter();
    if (FPainter) {
        FCache->PainterReset();
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::TextAntialiasing, true);
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        FPainter->resetTransform();
        ApplyClip();
    }
    return FPainter;
}

void TCanvas::PainterLost()
{
    FPainter = nullptr;
    FCache->PainterReset();
}

void TCanvas::EndPaint()
{
    if (FPainter) {
        FPainter = nullptr;
        ReleasePainter();
    }
    FCache->PainterReset();
}

TColor TCanvas::ReadPixel(int, int) { return CLR_INVALID; }

// ---------------------------------------------------------------------------
// Painter state

namespace {
void SetComposition(QPainter* P, TCanvasCache& C, QPainter::CompositionMode Mode)
{
    if (C.PainterCompositionValid && C.PainterComposition == Mode)
        return;
    P->setCompositionMode(Mode);
    C.PainterComposition = Mode;
    C.PainterCompositionValid = true;
}

void ValidatePen(TPen& Pen, TCanvasCache& C)
{
    if (C.PenValid)
        return;
    C.PenColor = ColorToQColor(Pen.Color());
    C.PenNop = Pen.Style() == psClear || !PenModeComposition(Pen.Mode(), C.PenColor, C.PenComposition);
    QPen qp(C.PenColor);
    qp.setWidth(Pen.Width());
    qp.setStyle(Pen.Width() > 1 && Pen.Style() != psClear ? Qt::SolidLine : QtPenStyle(Pen.Style()));
    qp.setCapStyle(Pen.Width() > 1 ? Qt::RoundCap : Qt::FlatCap);
    qp.setJoinStyle(Pen.Width() > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    C.QtPen = qp;
    C.PenValid = true;
}
}  // namespace

static void ValidateBrush(TCanvas& Cv, TBrush& Brush, TCanvasCache& C)
{
    if (C.BrushValid)
        return;
    C.BrushClear = Brush.Style() == bsClear || Brush.Color() == clNone;
    C.BrushColor = ColorToQColor(Brush.Color());
    C.BrushPlain = Brush.Style() == bsSolid && !Brush.HasPattern();
    C.QtBrushValid = false;
    C.BrushValid = true;
    (void)Cv;
}

static const QBrush& QtBrushOf(TCanvas& Cv, TBrush& Brush, TCanvasCache& C)
{
    ValidateBrush(Cv, Brush, C);
    if (C.QtBrushValid)
        return C.QtBrush;
    if (C.BrushClear) {
        C.QtBrush = QBrush(Qt::NoBrush);
    } else if (Brush.HasPattern()) {
        ValidateText(Cv, C);
        QImage tile(8, 8, QImage::Format_RGB32);
        const QRgb zero = C.TextColor.rgb();
        const QRgb one = C.BkColor.rgb();
        for (int y = 0; y < 8; ++y) {
            auto* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
            for (int x = 0; x < 8; ++x)
                row[x] = (Brush.Pattern()[y] >> (7 - x)) & 1 ? one : zero;
        }
        C.QtBrush = QBrush(tile);
    } else {
        C.QtBrush = QBrush(C.BrushColor, QtHatch(Brush.Style()));
    }
    C.QtBrushValid = true;
    return C.QtBrush;
}

void TCanvas::PrepareCopy()
{
    SetComposition(FPainter, *FCache, QPainter::CompositionMode_SourceOver);
}

void TCanvas::PrepareForPen()
{
    ValidatePen(*FPen, *FCache);
    if (FCache->PainterPen != TCanvasCache::ppShape) {
        FPainter->setPen(FCache->QtPen);
        FCache->PainterPen = TCanvasCache::ppShape;
    }
    SetComposition(FPainter, *FCache, FCache->PenComposition);
}

void TCanvas::PrepareForBrush()
{
    const QBrush& b = QtBrushOf(*this, *FBrush, *FCache);
    if (!FCache->PainterBrushValid) {
        FPainter->setBrush(b);
        FPainter->setBrushOrigin(FState->BrushOrg);
        FCache->PainterBrushValid = true;
    }
}

void TCanvas::ApplyClip()
{
    if (!FPainter)
        return;
    if (FState->HasClip) {
        // Clipping is switched on first: once switched off, the toolkit's
        // raster painter ignored a new region of several rectangles and
        // drew everywhere.
        if (!FPainter->hasClipping())
            FPainter->setClipping(true);
        FPainter->setClipRegion(FState->Clip);
    } else {
        FPainter->setClipping(false);
    }
}

// Fills device pixels [L, R) x [T, B) with the brush, through the pen mode
// when UsePenMode is set (shapes), else as a copy (FillRect).
void TCanvas::FillDeviceRect(int L, int T, int R, int B, bool UsePenMode)
{
    if (R <= L || B <= T)
        return;
    ValidateBrush(*this, *FBrush, *FCache);
    if (FCache->BrushClear)
        return;
    QColor color = FCache->BrushColor;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (UsePenMode && !PenModeComposition(FPen->Mode(), color, mode))
        return;
    SetComposition(FPainter, *FCache, mode);
    const QRect r(L, T, R - L, B - T);
    if (FCache->BrushPlain || (UsePenMode && (FPen->Mode() == pmBlack || FPen->Mode() == pmWhite))) {
        FPainter->fillRect(r, color);
    } else {
        const QBrush& b = QtBrushOf(*this, *FBrush, *FCache);
        FPainter->setBrushOrigin(FState->BrushOrg);
        FPainter->fillRect(r, b);
    }
}

// ---------------------------------------------------------------------------
// Lines

void TCanvas::MoveTo(int X, int Y) { FPenPos = TPoint(X, Y); }

// A one-pixel line between device points, Bresenham's way with the pixel
// centres on the integer points; the last point only when LastPixel is set.
// Pixels in a row (or column) are drawn as one rectangle.
void TCanvas::DrawSpans(int X0, int Y0, int X1, int Y1, bool LastPixel)
{
    ValidatePen(*FPen, *FCache);
    if (FCache->PenNop)
        return;
    SetComposition(FPainter, *FCache, FCache->PenComposition);
    const QColor color = FCache->PenColor;
    const std::vector<int>& pattern = StylePattern(FPen->Style());

    const int dx = X1 - X0, dy = Y1 - Y0;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const bool xMajor = adx >= ady;
    const int steps = (xMajor ? adx : ady) + (LastPixel ? 1 : 0);
    if (steps <= 0)
        return;
    const int major = xMajor ? adx : ady;
    const int minor = xMajor ? ady : adx;
    const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    if (minor == 0 && pattern.empty()) {
        // A solid straight line is one run; no need to step its pixels.
        const int a = sMajor > 0 ? (xMajor ? X0 : Y0) : (xMajor ? X0 : Y0) - steps + 1;
        if (xMajor)
            FPainter->fillRect(QRect(a, Y0, steps, 1), color);
        else
            FPainter->fillRect(QRect(X0, a, 1, steps), color);
        return;
    }

    // Run of pixels along the major axis sharing one minor coordinate.
    int runStart = 0, runLen = 0, runMinor = 0;
    auto flush = [&]() {
        if (runLen == 0)
            return;
        const int a = sMajor > 0 ? runStart : runStart - runLen + 1;
        if (xMajor)
            FPainter->fillRect(QRect(a, runMinor, runLen, 1), color);
        else
            FPainter->fillRect(QRect(runMinor, a, 1, runLen), color);
        runLen = 0;
    };
    size_t patIndex = 0;
    int patLeft = pattern.empty() ? 0 : pattern[0];
    const int baseMajor = xMajor ? X0 : Y0;
    const int baseMinor = xMajor ? Y0 : X0;
    for (int i = 0; i < steps; ++i) {
        // Minor offset rounded to the nearest, halves away from the start.
        const int off = major == 0 ? 0 : int((2LL * i * minor + major) / (2LL * major));
        const int m = baseMajor + sMajor * i;
        const int n = baseMinor + sMinor * off;
        bool on = true;
        if (!pattern.empty()) {
            on = (patIndex % 2) == 0;
            if (--patLeft == 0) {
                patIndex = (patIndex + 1) % pattern.size();
                patLeft = pattern[patIndex];
            }
        }
        if (on && runLen > 0 && n == runMinor && m == runStart + sMajor * runLen) {
            ++runLen;
            continue;
        }
        flush();
        if (on) {
            runStart = m;
            runMinor = n;
            runLen = 1;
        }
    }
    flush();
}

void TCanvas::StrokeWidePath(const std::vector<TPoint>& Points, bool Closed)
{
    PrepareForPen();
    if (FCache->PenNop || Points.empty())
        return;
    FPainter->setBrush(Qt::NoBrush);
    FCache->PainterBrushValid = false;
    // Qt puts pixel centres at half coordinates, GDI on the integers.
    QPolygonF poly;
    poly.reserve(int(Points.size()));
    for (const TPoint& p : Points) {
        const TPoint d = LogicalToDevice(p);
        poly << QPointF(d.X + 0.5, d.Y + 0.5);
    }
    if (Closed)
        FPainter->drawPolygon(poly);
    else
        FPainter->drawPolyline(poly);
}

void TCanvas::LineTo(int X, int Y)
{
    const TPoint from = FPenPos;
    FPenPos = TPoint(X, Y);
    if (!Ready() || FPen->Style() == psClear)
        return;
    if (FPen->Width() > 1) {
        StrokeWidePath({from, TPoint(X, Y)}, false);
        return;
    }
    const TPoint a = LogicalToDevice(from), b = LogicalToDevice(TPoint(X, Y));
    DrawSpans(a.X, a.Y, b.X, b.Y, false);
}

void TCanvas::Polyline(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    if (Count == 1 || FPen->Width() <= 1) {
        MoveTo(Points[0].X, Points[0].Y);
        for (int i = 1; i < Count; ++i)
            LineTo(Points[i].X, Points[i].Y);
        return;
    }
    if (Ready() && FPen->Style() != psClear)
        StrokeWidePath(std::vector<TPoint>(Points, Points + Count), false);
}

void TCanvas::PolyBezier(const TPoint* Points, int Count)
{
    if (!Points || Count < 4 || (Count - 1) % 3 != 0 || !Ready() || FPen->Style() == psClear)
        return;
    PrepareForPen();
    if (FCache->PenNop)
        return;
    FPainter->setBrush(Qt::NoBrush);
    FCache->PainterBrushValid = false;
    auto dev = [&](int i) {
        const TPoint d = LogicalToDevice(Points[i]);
        return QPointF(d.X + 0.5, d.Y + 0.5);
    };
    QPainterPath path(dev(0));
    for (int i = 1; i + 2 < Count; i += 3)
        path.cubicTo(dev(i), dev(i + 1), dev(i + 2));
    FPainter->drawPath(path);
}

// ---------------------------------------------------------------------------
// Shapes

void TCanvas::Polygon(const TPoint* Points, int Count)
{
    if (!Points || Count < 2 || !Ready())
        return;
    // The inside first, then the outline over it. The inside is the
    // polygon's region, so a filled polygon and its region hold the same
    // pixels (Qt's own polygon fill samples pixel centres).
    ValidateBrush(*this, *FBrush, *FCache);
    if (Count >= 3 && !FCache->BrushClear) {
        std::vector<TPoint> dev(Points, Points + Count);
        for (TPoint& p : dev)
            p = LogicalToDevice(p);
        const TRegion inside = TRegion::FromPolygon(dev.data(), Count, ALTERNATE);
        for (const TRect& r : inside.Rects())
            FillDeviceRect(r.Left, r.Top, r.Right, r.Bottom, true);
    }
    if (FPen->Style() == psClear)
        return;
    if (FPen->Width() > 1) {
        StrokeWidePath(std::vector<TPoint>(Points, Points + Count), true);
        return;
    }
    for (int i = 0; i < Count; ++i) {
        const TPoint a = LogicalToDevice(Points[i]);
        const TPoint b = LogicalToDevice(Points[(i + 1) % Count]);
        DrawSpans(a.X, a.Y, b.X, b.Y, false);
    }
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    if (!Ready())
        return;
    if (X2 < X1)
        std::swap(X1, X2);
    if (Y2 < Y1)
        std::swap(Y1, Y2);
    const TPoint a = LogicalToDevice(TPoint(X1, Y1));
    const int l = a.X, t = a.Y, r = a.X + (X2 - X1), b = a.Y + (Y2 - Y1);
    if (FPen->Style() == psClear) {
        // GDI's null-pen rectangle leaves out the right column and bottom row.
        FillDeviceRect(l, t, r - 1, b - 1, true);
        return;
    }
    const int w = FPen->Width();
    if (2 * w >= r - l || 2 * w >= b - t) {
        // Nothing left inside the outline.
        ValidatePen(*FPen, *FCache);
        if (FCache->PenNop)
            return;
        SetComposition(FPainter, *FCache, FCache->PenComposition);
        if (r > l && b > t)
            FPainter->fillRect(QRect(l, t, r - l, b - t), FCache->PenColor);
        return;
    }
    FillDeviceRect(l + w, t + w, r - w, b - w, true);
    if (w == 1 && !StylePattern(FPen->Style()).empty()) {
        DrawSpans(l, t, r - 1, t, false);
        DrawSpans(r - 1, t, r - 1, b - 1, false);
        DrawSpans(r - 1, b - 1, l, b - 1, false);
        DrawSpans(l, b - 1, l, t, false);
        return;
    }
    ValidatePen(*FPen, *FCache);
    if (FCache->PenNop)
        return;
    SetComposition(FPainter, *FCache, FCache->PenComposition);
    const QColor c = FCache->PenColor;
    FPainter->fillRect(QRect(l, t, r - l, w), c);
    FPainter->fillRect(QRect(l, b - w, r - l, w), c);
    FPainter->fillRect(QRect(l, t + w, w, b - t - 2 * w), c);
    FPainter->fillRect(QRect(r - w, t + w, w, b - t - 2 * w), c);
}

namespace {
// Qt's aliased outline of a shape in QRect(x, y, w, h) covers x .. x + w; the
// rectangle of a shape whose outline of width W stays inside [L, R) x [T, B).
QRectF InsideShapeRect(int L, int T, int R, int B, int W, bool Outline)
{
    if (!Outline)
        return QRectF(L, T, R - L - 1, B - T - 1);
    if (W <= 1)
        return QRectF(L, T, R - L - 1, B - T - 1);
    const double h = W / 2.0;
    return QRectF(L + h, T + h, R - L - W, B - T - W);
}
}  // namespace

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    RoundRect(X1, Y1, X2, Y2, -1, -1);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    if (!Ready())
        return;
    if (X2 < X1)
        std::swap(X1, X2);
    if (Y2 < Y1)
        std::swap(Y1, Y2);
    const TPoint a = LogicalToDevice(TPoint(X1, Y1));
    const int l = a.X, t = a.Y, r = a.X + (X2 - X1), b = a.Y + (Y2 - Y1);
    if (r - l < 1 || b - t < 1)
        return;
    const bool ellipse = X3 < 0;
    const bool outline = FPen->Style() != psClear;
    ValidatePen(*FPen, *FCache);
    ValidateBrush(*this, *FBrush, *FCache);
    // Fill and outline go separately so that a raster pen mode touches each
    // pixel once.
    const QRectF box = InsideShapeRect(l, t, outline ? r : r - 1, outline ? b : b - 1, FPen->Width(), outline);
    auto shape = [&](const QRectF& rc) {
        if (ellipse)
            FPainter->drawEllipse(rc);
        else
            FPainter->drawRoundedRect(rc, X3 / 2.0, Y3 / 2.0, Qt::AbsoluteSize);
    };
    if (!FCache->BrushClear) {
        QColor color = FCache->BrushColor;
        QPainter::CompositionMode mode{};
        if (PenModeComposition(FPen->Mode(), color, mode)) {
            SetComposition(FPainter, *FCache, mode);
            if (FCache->PainterPen != TCanvasCache::ppNone) {
                FPainter->setPen(Qt::NoPen);
                FCache->PainterPen = TCanvasCache::ppNone;
            }
            if (FCache->BrushPlain || FPen->Mode() == pmBlack || FPen->Mode() == pmWhite) {
                FPainter->setBrush(color);
                FCache->PainterBrushValid = false;
            } else {
                PrepareForBrush();
            }
            // Without a pen the filled shape is one pixel smaller, as GDI's.
            const QRectF fill = outline ? QRectF(l, t, r - l, b - t) : QRectF(l, t, r - l - 1, b - t - 1);
            shape(fill);
        }
    }
    if (!outline || FCache->PenNop)
        return;
    PrepareForPen();
    FPainter->setBrush(Qt::NoBrush);
    FCache->PainterBrushValid = false;
    shape(box);
}

void TCanvas::FillRect(const TRect& R)
{
    if (R.IsEmpty() || !Ready())
        return;
    const TPoint a = LogicalToDevice(R.TopLeft());
    FillDeviceRect(a.X, a.Y, a.X + R.Width(), a.Y + R.Height(), false);
}

void TCanvas::FrameRect(const TRect& R)
{
    if (R.IsEmpty() || !Ready())
        return;
    ValidateBrush(*this, *FBrush, *FCache);
    if (FCache->BrushClear)
        return;
    const TPoint a = LogicalToDevice(R.TopLeft());
    const int l = a.X, t = a.Y, r = a.X + R.Width(), b = a.Y + R.Height();
    FillDeviceRect(l, t, r, t + 1, false);
    if (b - t > 1)
        FillDeviceRect(l, b - 1, r, b, false);
    FillDeviceRect(l, t + 1, l + 1, b - 1, false);
    if (r - l > 1)
        FillDeviceRect(r - 1, t + 1, r, b - 1, false);
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    if (R.IsEmpty() || !Ready())
        return;
    // Every other pixel of the edge, counted from the brush origin, is
    // inverted: XOR with white over a checkerboard whose other squares are
    // black (XOR with black changes nothing).
    static const QBrush checker = [] {
        QImage tile(2, 2, QImage::Format_RGB32);
        tile.setPixel(0, 0, 0xFFFFFFFFu);
        tile.setPixel(1, 1, 0xFFFFFFFFu);
        tile.setPixel(1, 0, 0xFF000000u);
        tile.setPixel(0, 1, 0xFF000000u);
        return QBrush(tile);
    }();
    const TPoint a = LogicalToDevice(R.TopLeft());
    const int l = a.X, t = a.Y, r = a.X + R.Width(), b = a.Y + R.Height();
    SetComposition(FPainter, *FCache, QPainter::RasterOp_SourceXorDestination);
    FPainter->setBrushOrigin(FState->BrushOrg);
    FPainter->fillRect(QRect(l, t, r - l, 1), checker);
    if (b - t > 1)
        FPainter->fillRect(QRect(l, b - 1, r - l, 1), checker);
    if (b - t > 2) {
        FPainter->fillRect(QRect(l, t + 1, 1, b - t - 2), checker);
        if (r - l > 1)
            FPainter->fillRect(QRect(r - 1, t + 1, 1, b - t - 2), checker);
    }
}

void TCanvas::FillRgn(const TRegion& Region)
{
    if (Region.IsEmpty() || !Ready())
        return;
    for (const TRect& r : Region.Rects())
        FillDeviceRect(r.Left, r.Top, r.Right, r.Bottom, false);
}

// ---------------------------------------------------------------------------
// Pixels

TColor TCanvas::Pixels(int X, int Y)
{
    const TPoint d = LogicalToDevice(TPoint(X, Y));
    if (FState->HasClip && !FState->Clip.contains(QPoint(d.X, d.Y)))
        return CLR_INVALID;
    return ReadPixel(d.X, d.Y);
}

void TCanvas::SetPixels(int X, int Y, TColor Color)
{
    if (!Ready())
        return;
    const TPoint d = LogicalToDevice(TPoint(X, Y));
    PrepareCopy();
    FPainter->fillRect(QRect(d.X, d.Y, 1, 1), ColorToQColor(Color));
}

// ---------------------------------------------------------------------------
// Images

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Graphic->Draw(this, TRect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Graphic->Draw(this, Rect);
}

void TCanvas::DrawImage(const QImage& Image, const TRect& Dest, const TRect& Source)
{
    if (Dest.IsEmpty() || Source.IsEmpty() || Image.isNull() || !Ready())
        return;
    const TPoint a = LogicalToDevice(Dest.TopLeft());
    PrepareCopy();
    FPainter->drawImage(QRect(a.X, a.Y, Dest.Width(), Dest.Height()), Image,
                        QRect(Source.Left, Source.Top, Source.Width(), Source.Height()));
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source)
{
    if (!Canvas || Dest.IsEmpty() || Source.IsEmpty())
        return;
    TBitmap* src = Canvas->Bitmap();
    if (!src || src->Empty())
        return;
    const TPoint s = Canvas->LogicalToDevice(Source.TopLeft());
    const TRect srcRect(s.X, s.Y, s.X + Source.Width(), s.Y + Source.Height());
    if (Canvas == this || Bitmap() == src) {
        // Reading and writing the same pixels: take a copy first.
        const QImage part = src->Image().copy(srcRect.Left, srcRect.Top, srcRect.Width(), srcRect.Height());
        DrawImage(part, Dest, TRect(0, 0, srcRect.Width(), srcRect.Height()));
        return;
    }
    DrawImage(src->Image(), Dest, srcRect);
}

// ---------------------------------------------------------------------------
// Coordinates

TPoint TCanvas::WindowOrg() const { return TPoint(FState->WindowOrg.x(), FState->WindowOrg.y()); }

TPoint TCanvas::SetWindowOrg(int X, int Y)
{
    const TPoint old = WindowOrg();
    FState->WindowOrg = QPoint(X, Y);
    return old;
}

TPoint TCanvas::ViewportOrg() const { return TPoint(FState->ViewportOrg.x(), FState->ViewportOrg.y()); }

TPoint TCanvas::SetViewportOrg(int X, int Y)
{
    const TPoint old = ViewportOrg();
    FState->ViewportOrg = QPoint(X, Y);
    return old;
}

TPoint TCanvas::BrushOrigin() const { return TPoint(FState->BrushOrg.x(), FState->BrushOrg.y()); }

TPoint TCanvas::SetBrushOrigin(int X, int Y)
{
    const TPoint old = BrushOrigin();
    FState->BrushOrg = QPoint(X, Y);
    FCache->PainterBrushValid = false;
    return old;
}

TPoint TCanvas::LogicalToDevice(const TPoint& P) const
{
    return TPoint(P.X - FState->WindowOrg.x() + FState->ViewportOrg.x(),
                  P.Y - FState->WindowOrg.y() + FState->ViewportOrg.y());
}

TPoint TCanvas::DeviceToLogical(const TPoint& P) const
{
    return TPoint(P.X + FState->WindowOrg.x() - FState->ViewportOrg.x(),
                  P.Y + FState->WindowOrg.y() - FState->ViewportOrg.y());
}

// ---------------------------------------------------------------------------
// Clipping

bool TCanvas::HasClipRegion() const { return FState->HasClip; }

TRegion TCanvas::ClipRegion() const { return FState->HasClip ? TRegion(FState->Clip) : TRegion(); }

void TCanvas::SelectClipRgn(const TRegion* Region)
{
    if (Region) {
        FState->HasClip = true;
        FState->Clip = Region->Qt();
    } else {
        FState->HasClip = false;
        FState->Clip = QRegion();
    }
    ApplyClip();
}

static QRect DeviceRectOf(const TCanvas& C, const TRect& R)
{
    TRect n{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom)};
    const TPoint a = C.LogicalToDevice(n.TopLeft());
    if (n.IsEmpty())
        return QRect();
    return QRect(a.X, a.Y, n.Width(), n.Height());
}

void TCanvas::IntersectClipRect(const TRect& R)
{
    const QRegion r(DeviceRectOf(*this, R));
    FState->Clip = FState->HasClip ? FState->Clip.intersected(r) : r;
    FState->HasClip = true;
    ApplyClip();
}

void TCanvas::ExcludeClipRect(const TRect& R)
{
    const QRegion base = FState->HasClip ? FState->Clip : QRegion(DeviceBounds(DeviceSize()));
    FState->Clip = base.subtracted(QRegion(DeviceRectOf(*this, R)));
    FState->HasClip = true;
    ApplyClip();
}

TRect TCanvas::ClipRect()
{
    QRect box = DeviceBounds(DeviceSize());
    if (FState->HasClip)
        box = FState->Clip.boundingRect().intersected(box);
    if (box.isEmpty())
        return TRect();
    const TPoint a = DeviceToLogical(TPoint(box.left(), box.top()));
    return TRect(a.X, a.Y, a.X + box.width(), a.Y + box.height());
}

bool TCanvas::RectVisible(const TRect& R)
{
    const QRect d = DeviceRectOf(*this, R);
    if (d.isEmpty())
        return false;
    const QRect bounds = DeviceBounds(DeviceSize());
    if (!bounds.intersects(d))
        return false;
    return !FState->HasClip || FState->Clip.intersects(d);
}

int TCanvas::SaveDC()
{
    FCache->Saved.push_back(*FState);
    return int(FCache->Saved.size());
}

bool TCanvas::RestoreDC(int SavedDC)
{
    const int n = int(FCache->Saved.size());
    const int index = SavedDC < 0 ? n + SavedDC : SavedDC - 1;
    if (SavedDC == 0 || index < 0 || index >= n)
        return false;
    *FState = FCache->Saved[size_t(index)];
    FCache->Saved.resize(size_t(index));
    FCache->TextValid = false;
    FCache->BkValid = false;
    FCache->BrushValid = false;
    FCache->PainterBrushValid = false;
    ApplyClip();
    return true;
}
