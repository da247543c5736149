// TBitmap over a 32-bit QImage, its canvas, and the canvas over a painter.
#include "platform/GraphicsQt.h"

#include <cstring>

namespace {
constexpr int MaxBitmapSide = 32767;
constexpr Int64 MaxBitmapBytes = Int64(1) << 30;
}  // namespace

// ---------------------------------------------------------------------------
// TBitmapPrivate

TBitmapPrivate::TBitmapPrivate(TBitmap* AOwner) : Owner(AOwner) {}

TBitmapPrivate::~TBitmapPrivate()
{
    if (Painter.isActive())
        Painter.end();
}

void TBitmapPrivate::EndPainting()
{
    if (Painter.isActive())
        Painter.end();
    if (Canvas)
        Canvas->Lost();
}

QPainter* TBitmapPrivate::BeginPainting()
{
    if (Image.isNull())
        return nullptr;
    // Told before the painter starts, so that a handler reading the pixels
    // cannot end it under the caller.
    if (!Painter.isActive() && Owner->OnChange)
        Owner->OnChange(Owner);
    if (!Painter.isActive() && !Painter.begin(&Image))
        return nullptr;
    ++Generation;
    return &Painter;
}

const QImage& TBitmapPrivate::Masked(TColor TransparentColor)
{
    EndPainting();
    QRgb key;
    if (TransparentColor == clDefault)
        key = Image.pixel(0, Height - 1) | 0xFF000000u;
    else
        key = ColorToPixel(TransparentColor);
    if (MaskedGeneration == Generation && MaskedColor == key && !MaskedImage.isNull())
        return MaskedImage;
    MaskedImage = Image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < MaskedImage.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(MaskedImage.scanLine(y));
        for (int x = 0; x < MaskedImage.width(); ++x)
            row[x] = (row[x] | 0xFF000000u) == key ? 0u : (row[x] | 0xFF000000u);
    }
    MaskedGeneration = Generation;
    MaskedColor = key;
    return MaskedImage;
}

TColor TBitmapCanvas::ReadPixel(int DeviceX, int DeviceY)
{
    if (DeviceX < 0 || DeviceY < 0 || DeviceX >= FOwner->Width || DeviceY >= FOwner->Height || FOwner->Image.isNull())
        return CLR_INVALID;
    FOwner->EndPainting();
    const auto* row = reinterpret_cast<const QRgb*>(FOwner->Image.constScanLine(DeviceY));
    return PixelToColor(row[DeviceX]);
}

// ---------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : FImpl(std::make_unique<TBitmapPrivate>(this)) {}

TBitmap::TBitmap(int AWidth, int AHeight) : TBitmap() { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap()
{
    FImpl->EndPainting();
    FImpl->Canvas.reset();
}

int TBitmap::Width() const { return FImpl->Width; }
int TBitmap::Height() const { return FImpl->Height; }
void TBitmap::SetWidth(int Value) { SetSize(Value, FImpl->Height); }
void TBitmap::SetHeight(int Value) { SetSize(FImpl->Width, Value); }

namespace {
TSize& Largest()
{
    static TSize largest;
    return largest;
}
}  // namespace

TSize TBitmap::LargestSize() { return Largest(); }
void TBitmap::ResetLargestSize() { Largest() = TSize(); }

void TBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (AWidth == FImpl->Width && AHeight == FImpl->Height)
        return;
    if (Int64(AWidth) * AHeight > Int64(Largest().cx) * Largest().cy)
        Largest() = TSize(AWidth, AHeight);
    if (AWidth > MaxBitmapSide || AHeight > MaxBitmapSide || Int64(AWidth) * AHeight * 4 > MaxBitmapBytes)
        throw EOutOfResources("Bitmap of " + std::to_string(AWidth) + " x " + std::to_string(AHeight) +
                              " pixels is too large");
    FImpl->EndPainting();
    QImage next;
    if (AWidth > 0 && AHeight > 0) {
        next = QImage(AWidth, AHeight, QImage::Format_RGB32);
        if (next.isNull())
            throw EOutOfResources("Out of memory for a bitmap of " + std::to_string(AWidth) + " x " +
                                  std::to_string(AHeight) + " pixels");
        next.fill(0xFFFFFFFFu);
        const QImage& old = FImpl->Image;
        if (!old.isNull()) {
            const int w = std::min(AWidth, old.width());
            const int h = std::min(AHeight, old.height());
            for (int y = 0; y < h; ++y)
                std::memcpy(next.scanLine(y), old.constScanLine(y), size_t(w) * 4);
        }
    }
    FImpl->Image = std::move(next);
    FImpl->Width = AWidth;
    FImpl->Height = AHeight;
    ++FImpl->Generation;
}

TCanvas* TBitmap::Canvas()
{
    if (!FImpl->Canvas)
        FImpl->Canvas = std::make_unique<TBitmapCanvas>(FImpl.get());
    return FImpl->Canvas.get();
}

void* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= FImpl->Height || FImpl->Image.isNull())
        throw ERangeError("Scan line index out of range");
    // The raster painter draws straight into these pixels and holds nothing
    // back, so a drawing in progress may go on around writes to them: ending
    // it would make the next drawing start over and set its clip again, once
    // per blended shadow or selection. Only a copy sharing the pixels would
    // part the painter's pixels from the rows handed out here.
    if (!FImpl->Image.isDetached())
        FImpl->EndPainting();
    ++FImpl->Generation;
    return FImpl->Image.scanLine(Row);
}

const void* TBitmap::ScanLine(int Row) const
{
    if (Row < 0 || Row >= FImpl->Height || FImpl->Image.isNull())
        throw ERangeError("Scan line index out of range");
    FImpl->EndPainting();
    return FImpl->Image.constScanLine(Row);
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentColor != clDefault)
        return FTransparentColor;
    if (FImpl->Image.isNull())
        return clDefault;
    FImpl->EndPainting();
    return PixelToColor(FImpl->Image.pixel(0, FImpl->Height - 1));
}

QImage& TBitmap::Image()
{
    FImpl->EndPainting();
    ++FImpl->Generation;
    return FImpl->Image;
}

const QImage& TBitmap::Image() const
{
    FImpl->EndPainting();
    return FImpl->Image;
}

void TBitmap::Assign(TPersistent* Source)
{
    if (!Source) {
        SetSize(0, 0);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this)
            return;
        b->FImpl->EndPainting();
        FImpl->EndPainting();
        FImpl->Image = b->FImpl->Image;  // shared until one side draws
        FImpl->Width = b->FImpl->Width;
        FImpl->Height = b->FImpl->Height;
        ++FImpl->Generation;
        FPixelFormat = b->FPixelFormat;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    const TRect all(0, 0, Width(), Height());
    if (Transparent()) {
        const QImage masked = FImpl->Masked(FTransparentColor);
        ACanvas->DrawImage(masked, Rect, all);
        return;
    }
    if (ACanvas->Bitmap() == this) {
        const QImage copy = Image().copy();
        ACanvas->DrawImage(copy, Rect, all);
        return;
    }
    ACanvas->DrawImage(Image(), Rect, all);
}

// ---------------------------------------------------------------------------
// TPainterCanvas

TPainterCanvas::TPainterCanvas(QPainter* Painter, TSize DeviceSize) : FExternal(Painter), FSize(DeviceSize)
{
    if (FSize.cx == 0 && Painter && Painter->device())
        FSize = TSize(Painter->device()->width(), Painter->device()->height());
}

TPainterCanvas::TPainterCanvas(QPaintDevice* Device) : FDevice(Device)
{
    if (Device)
        FSize = TSize(Device->width(), Device->height());
}

TPainterCanvas::~TPainterCanvas() { EndPaint(); }

TSize TPainterCanvas::DeviceSize() const { return FSize; }

QPainter* TPainterCanvas::AcquirePainter()
{
    if (FExternal)
        return FExternal->isActive() ? FExternal : nullptr;
    if (!FDevice)
        return nullptr;
    if (!FOwn)
        FOwn = std::make_unique<QPainter>();
    if (!FOwn->isActive() && !FOwn->begin(FDevice))
        return nullptr;
    return FOwn.get();
}

void TPainterCanvas::ReleasePainter()
{
    if (FOwn && FOwn->isActive())
        FOwn->end();
}
