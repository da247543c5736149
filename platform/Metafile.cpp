// The metafile's recording: a paint device whose engine keeps every drawing
// call and state change in order instead of drawing, and the replay that
// sends them to another painter under a scaling transform.
#include "platform/Metafile.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <variant>

#include "platform/GraphicsQt.h"

namespace {

struct TOpTransform { QTransform Transform; };
struct TOpPen { QPen Pen; };
struct TOpBrush { QBrush Brush; };
struct TOpBrushOrigin { QPointF Origin; };
struct TOpFont { QFont Font; };
struct TOpBackground { QBrush Brush; };
struct TOpBackgroundMode { Qt::BGMode Mode; };
struct TOpClipRegion { QRegion Region; Qt::ClipOperation Operation; };
struct TOpClipPath { QPainterPath Path; Qt::ClipOperation Operation; };
struct TOpClipEnabled { bool Enabled; };
struct TOpHints { QPainter::RenderHints Hints; };
struct TOpComposition { QPainter::CompositionMode Mode; };
struct TOpOpacity { qreal Opacity; };
struct TOpText { QPointF Pos; QString Text; QFont Font; };
struct TOpLines { std::vector<QLineF> Lines; };
struct TOpRects { std::vector<QRectF> Rects; };
struct TOpEllipse { QRectF Rect; };
struct TOpPolygon { std::vector<QPointF> Points; QPaintEngine::PolygonDrawMode Mode; };
struct TOpPath { QPainterPath Path; };
struct TOpPoints { std::vector<QPointF> Points; };
struct TOpImage { QRectF Target; int Image; QRectF Source; };

using TOp = std::variant<TOpTransform, TOpPen, TOpBrush, TOpBrushOrigin, TOpFont, TOpBackground, TOpBackgroundMode,
    TOpClipRegion, TOpClipPath, TOpClipEnabled, TOpHints, TOpComposition, TOpOpacity, TOpText, TOpLines, TOpRects,
    TOpEllipse, TOpPolygon, TOpPath, TOpPoints, TOpImage>;

}  // namespace

struct TMetafileData {
    int Width = 0;
    int Height = 0;
    int Dpi = 96;
    std::vector<TOp> Ops;
    std::vector<QImage> Images;
    std::unordered_map<qint64, int> ImageIndex;  // cache key -> index in Images
    int Draws = 0;
    bool SyncOnly = false;  // a draw that only brings the painter's state

    int AddImage(const QImage& Image)
    {
        const auto it = ImageIndex.find(Image.cacheKey());
        if (it != ImageIndex.end())
            return it->second;
        Images.push_back(Image);
        const int index = int(Images.size()) - 1;
        ImageIndex.emplace(Image.cacheKey(), index);
        return index;
    }
};

// The engine that records.
class TMetafileEngine : public QPaintEngine {
public:
    explicit TMetafileEngine(TMetafileData* Data) : QPaintEngine(AllFeatures), FData(Data) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& State) override
    {
        const DirtyFlags f = State.state();
        auto& ops = FData->Ops;
        // The transform first: a clip arrives in the coordinates in force
        // when it was set, which the replay must have set before it.
        if (f & DirtyTransform)
            ops.emplace_back(TOpTransform{State.transform()});
        if (f & DirtyPen)
            ops.emplace_back(TOpPen{State.pen()});
        if (f & DirtyBrush)
            ops.emplace_back(TOpBrush{State.brush()});
        if (f & DirtyBrushOrigin)
            ops.emplace_back(TOpBrushOrigin{State.brushOrigin()});
        if (f & DirtyFont)
            ops.emplace_back(TOpFont{State.font()});
        if (f & DirtyBackground)
            ops.emplace_back(TOpBackground{State.backgroundBrush()});
        if (f & DirtyBackgroundMode)
            ops.emplace_back(TOpBackgroundMode{State.backgroundMode()});
        if (f & DirtyClipRegion)
            ops.emplace_back(TOpClipRegion{State.clipRegion(), State.clipOperation()});
        if (f & DirtyClipPath)
            ops.emplace_back(TOpClipPath{State.clipPath(), State.clipOperation()});
        if (f & DirtyClipEnabled)
            ops.emplace_back(TOpClipEnabled{State.isClipEnabled()});
        if (f & DirtyHints)
            ops.emplace_back(TOpHints{State.renderHints()});
        if (f & DirtyCompositionMode)
            ops.emplace_back(TOpComposition{State.compositionMode()});
        if (f & DirtyOpacity)
            ops.emplace_back(TOpOpacity{State.opacity()});
    }

    void drawTextItem(const QPointF& P, const QTextItem& Item) override
    {
        FData->Ops.emplace_back(TOpText{P, Item.text(), Item.font()});
        ++FData->Draws;
    }
    void drawLines(const QLineF* Lines, int Count) override
    {
        FData->Ops.emplace_back(TOpLines{std::vector<QLineF>(Lines, Lines + Count)});
        ++FData->Draws;
    }
    void drawRects(const QRectF* Rects, int Count) override
    {
        FData->Ops.emplace_back(TOpRects{std::vector<QRectF>(Rects, Rects + Count)});
        ++FData->Draws;
    }
    void drawEllipse(const QRectF& R) override
    {
        FData->Ops.emplace_back(TOpEllipse{R});
        ++FData->Draws;
    }
    void drawPolygon(const QPointF* Points, int Count, PolygonDrawMode Mode) override
    {
        FData->Ops.emplace_back(TOpPolygon{std::vector<QPointF>(Points, Points + Count), Mode});
        ++FData->Draws;
    }
    void drawPath(const QPainterPath& Path) override
    {
        FData->Ops.emplace_back(TOpPath{Path});
        ++FData->Draws;
    }
    void drawPoints(const QPointF* Points, int Count) override
    {
        if (FData->SyncOnly || Count <= 0)
            return;  // only brought the state up to date
        FData->Ops.emplace_back(TOpPoints{std::vector<QPointF>(Points, Points + Count)});
        ++FData->Draws;
    }
    void drawPixmap(const QRectF& R, const QPixmap& Pixmap, const QRectF& Source) override
    {
        drawImage(R, Pixmap.toImage(), Source, Qt::AutoColor);
    }
    void drawImage(const QRectF& R, const QImage& Image, const QRectF& Source, Qt::ImageConversionFlags) override
    {
        FData->Ops.emplace_back(TOpImage{R, FData->AddImage(Image), Source});
        ++FData->Draws;
    }

private:
    TMetafileData* FData;
};

// The paint device the recording canvas paints on.
class TMetafileRecorder : public QPaintDevice {
public:
    explicit TMetafileRecorder(TMetafileData* Data) : FData(Data), FEngine(Data) {}
    ~TMetafileRecorder() override = default;
    QPaintEngine* paintEngine() const override { return const_cast<TMetafileEngine*>(&FEngine); }

protected:
    int metric(PaintDeviceMetric Metric) const override
    {
        switch (Metric) {
        case PdmWidth:
            return FData->Width;
        case PdmHeight:
            return FData->Height;
        case PdmWidthMM:
            return int(std::lround(FData->Width * 25.4 / FData->Dpi));
        case PdmHeightMM:
            return int(std::lround(FData->Height * 25.4 / FData->Dpi));
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return FData->Dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    TMetafileData* FData;
    TMetafileEngine FEngine;
};

// ---------------------------------------------------------------------------
// TMetafile

TMetafile::TMetafile() : FData(std::make_unique<TMetafileData>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::SetSize(int AWidth, int AHeight)
{
    FData->Width = std::max(0, AWidth);
    FData->Height = std::max(0, AHeight);
}
int TMetafile::Width() const { return FData->Width; }
int TMetafile::Height() const { return FData->Height; }
int TMetafile::PixelsPerInch() const { return FData->Dpi; }
void TMetafile::SetPixelsPerInch(int Value) { FData->Dpi = Value > 0 ? Value : 96; }
bool TMetafile::Empty() const { return FData->Draws == 0; }
int TMetafile::ImageCount() const { return int(FData->Images.size()); }
int TMetafile::RecordCount() const { return FData->Draws; }

void TMetafile::Clear()
{
    FData->Ops.clear();
    FData->Images.clear();
    FData->ImageIndex.clear();
    FData->Draws = 0;
}

namespace {

TColor ColorOf(const QColor& C) { return RGB(Byte(C.red()), Byte(C.green()), Byte(C.blue())); }

TRect BoundsOf(const QRectF& R)
{
    const QRect r = R.normalized().toAlignedRect();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

// Walks the recording with the state each drawing meets.
template <typename F>
void Walk(const TMetafileData& Data, F&& Visit)
{
    QTransform transform;
    QPen pen;
    QBrush brush;
    for (const TOp& op : Data.Ops) {
        if (const auto* t = std::get_if<TOpTransform>(&op))
            transform = t->Transform;
        else if (const auto* p = std::get_if<TOpPen>(&op))
            pen = p->Pen;
        else if (const auto* b = std::get_if<TOpBrush>(&op))
            brush = b->Brush;
        else
            Visit(op, transform, pen, brush);
    }
}

}  // namespace

std::vector<TMetaText> TMetafile::Texts() const
{
    std::vector<TMetaText> result;
    Walk(*FData, [&](const TOp& Op, const QTransform& T, const QPen& Pen, const QBrush&) {
        const auto* t = std::get_if<TOpText>(&Op);
        if (!t)
            return;
        const QFontMetricsF fm(t->Font);
        const QPointF base = T.map(t->Pos);
        TMetaText m;
        m.Text = t->Text.toStdString();
        m.X = int(std::lround(base.x()));
        m.Baseline = int(std::lround(base.y()));
        const double scale = std::sqrt(std::abs(T.determinant()));
        m.Y = int(std::lround(base.y() - fm.ascent() * scale));
        m.Width = int(std::lround(fm.horizontalAdvance(t->Text) * scale));
        m.FontName = t->Font.family().toStdString();
        m.FontHeight = t->Font.pixelSize();
        m.Bold = t->Font.bold();
        m.Color = ColorOf(Pen.color());
        result.push_back(std::move(m));
    });
    return result;
}

std::vector<TMetaShape> TMetafile::Shapes() const
{
    std::vector<TMetaShape> result;
    Walk(*FData, [&](const TOp& Op, const QTransform& T, const QPen& Pen, const QBrush& Brush) {
        auto add = [&](TMetaShapeKind Kind, const QRectF& R) {
            TMetaShape s;
            s.Kind = Kind;
            s.Bounds = BoundsOf(T.mapRect(R));
            s.PenColor = ColorOf(Pen.color());
            s.PenClear = Pen.style() == Qt::NoPen;
            s.BrushColor = ColorOf(Brush.color());
            s.BrushClear = Brush.style() == Qt::NoBrush;
            result.push_back(s);
        };
        if (const auto* l = std::get_if<TOpLines>(&Op)) {
            for (const QLineF& line : l->Lines)
                add(mkLine, QRectF(line.p1(), line.p2()).normalized());
        } else if (const auto* r = std::get_if<TOpRects>(&Op)) {
            for (const QRectF& rect : r->Rects)
                add(mkRectangle, rect);
        } else if (const auto* e = std::get_if<TOpEllipse>(&Op)) {
            add(mkEllipse, e->Rect);
        } else if (const auto* p = std::get_if<TOpPolygon>(&Op)) {
            QPolygonF poly;
            for (const QPointF& pt : p->Points)
                poly << pt;
            add(p->Mode == QPaintEngine::PolylineMode && p->Points.size() == 2 ? mkLine : mkPolygon,
                poly.boundingRect());
        } else if (const auto* pa = std::get_if<TOpPath>(&Op)) {
            add(mkPath, pa->Path.boundingRect());
        } else if (const auto* pts = std::get_if<TOpPoints>(&Op)) {
            QPolygonF poly;
            for (const QPointF& pt : pts->Points)
                poly << pt;
            add(mkPoints, poly.boundingRect());
        } else if (const auto* im = std::get_if<TOpImage>(&Op)) {
            add(mkImage, im->Target);
        }
    });
    return result;
}

void TMetafile::Play(QPainter& Painter, const QRectF& Target) const
{
    if (FData->Width <= 0 || FData->Height <= 0 || Target.isEmpty())
        return;
    Painter.save();
    QTransform base;
    base.translate(Target.left(), Target.top());
    base.scale(Target.width() / FData->Width, Target.height() / FData->Height);
    // The target's clip as the painter had it, in device pixels.
    const QTransform outer = Painter.transform();
    const bool outerClip = Painter.hasClipping();
    const QPainterPath outerPath = outerClip ? outer.map(Painter.clipPath()) : QPainterPath();
    auto clipToTarget = [&](Qt::ClipOperation Op) {
        const QTransform current = Painter.transform();
        Painter.setTransform(QTransform());
        if (outerClip)
            Painter.setClipPath(outerPath, Op == Qt::IntersectClip ? Qt::IntersectClip : Qt::ReplaceClip);
        Painter.setClipRect(Target, outerClip || Op == Qt::IntersectClip ? Qt::IntersectClip : Qt::ReplaceClip);
        Painter.setTransform(current);
    };
    clipToTarget(Qt::ReplaceClip);
    const QTransform baseAll = base * outer;
    Painter.setTransform(baseAll);
    // Texts of a page mostly share one font; setting it again for each
    // would make the target take up its state anew every time.
    QFont font = Painter.font();
    auto useFont = [&](const QFont& F) {
        if (!F.isCopyOf(font)) {
            font = F;
            Painter.setFont(F);
        }
    };
    for (const TOp& op : FData->Ops) {
        std::visit(
            [&](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, TOpTransform>) {
                    Painter.setTransform(o.Transform * baseAll);
                } else if constexpr (std::is_same_v<T, TOpPen>) {
                    Painter.setPen(o.Pen);
                } else if constexpr (std::is_same_v<T, TOpBrush>) {
                    Painter.setBrush(o.Brush);
                } else if constexpr (std::is_same_v<T, TOpBrushOrigin>) {
                    Painter.setBrushOrigin(o.Origin);
                } else if constexpr (std::is_same_v<T, TOpFont>) {
                    useFont(o.Font);
                } else if constexpr (std::is_same_v<T, TOpBackground>) {
                    Painter.setBackground(o.Brush);
                } else if constexpr (std::is_same_v<T, TOpBackgroundMode>) {
                    Painter.setBackgroundMode(o.Mode);
                } else if constexpr (std::is_same_v<T, TOpClipRegion>) {
                    // A recorded clip never reaches past the target.
                    if (o.Operation == Qt::NoClip) {
                        clipToTarget(Qt::ReplaceClip);
                    } else {
                        Painter.setClipRegion(o.Region, o.Operation);
                        if (o.Operation == Qt::ReplaceClip)
                            clipToTarget(Qt::IntersectClip);
                    }
                } else if constexpr (std::is_same_v<T, TOpClipPath>) {
                    if (o.Operation == Qt::NoClip) {
                        clipToTarget(Qt::ReplaceClip);
                    } else {
                        Painter.setClipPath(o.Path, o.Operation);
                        if (o.Operation == Qt::ReplaceClip)
                            clipToTarget(Qt::IntersectClip);
                    }
                } else if constexpr (std::is_same_v<T, TOpClipEnabled>) {
                    if (!o.Enabled)
                        clipToTarget(Qt::ReplaceClip);
                } else if constexpr (std::is_same_v<T, TOpHints>) {
                    Painter.setRenderHints(o.Hints, true);
                } else if constexpr (std::is_same_v<T, TOpComposition>) {
                    Painter.setCompositionMode(o.Mode);
                } else if constexpr (std::is_same_v<T, TOpOpacity>) {
                    Painter.setOpacity(o.Opacity);
                } else if constexpr (std::is_same_v<T, TOpText>) {
                    useFont(o.Font);
                    Painter.drawText(o.Pos, o.Text);
                } else if constexpr (std::is_same_v<T, TOpLines>) {
                    Painter.drawLines(o.Lines.data(), int(o.Lines.size()));
                } else if constexpr (std::is_same_v<T, TOpRects>) {
                    Painter.drawRects(o.Rects.data(), int(o.Rects.size()));
                } else if constexpr (std::is_same_v<T, TOpEllipse>) {
                    Painter.drawEllipse(o.Rect);
                } else if constexpr (std::is_same_v<T, TOpPolygon>) {
                    const int n = int(o.Points.size());
                    switch (o.Mode) {
                    case QPaintEngine::PolylineMode:
                        Painter.drawPolyline(o.Points.data(), n);
                        break;
                    case QPaintEngine::WindingMode:
                        Painter.drawPolygon(o.Points.data(), n, Qt::WindingFill);
                        break;
                    case QPaintEngine::ConvexMode:
                        Painter.drawConvexPolygon(o.Points.data(), n);
                        break;
                    default:
                        Painter.drawPolygon(o.Points.data(), n, Qt::OddEvenFill);
                        break;
                    }
                } else if constexpr (std::is_same_v<T, TOpPath>) {
                    Painter.drawPath(o.Path);
                } else if constexpr (std::is_same_v<T, TOpPoints>) {
                    Painter.drawPoints(o.Points.data(), int(o.Points.size()));
                } else if constexpr (std::is_same_v<T, TOpImage>) {
                    if (o.Image >= 0 && o.Image < int(FData->Images.size()))
                        Painter.drawImage(o.Target, FData->Images[std::size_t(o.Image)], o.Source);
                }
            },
            op);
    }
    Painter.restore();
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    QPainter* p = ACanvas ? ACanvas->Painter() : nullptr;
    if (!p)
        return;
    const TPoint tl = ACanvas->LogicalToDevice(TPoint(Rect.Left, Rect.Top));
    const TPoint br = ACanvas->LogicalToDevice(TPoint(Rect.Right, Rect.Bottom));
    // Play saves and restores the painter, so the canvas's idea of it holds.
    Play(*p, QRectF(tl.X, tl.Y, br.X - tl.X, br.Y - tl.Y));
}

// ---------------------------------------------------------------------------
// TMetafileCanvas

TMetafileCanvas::TMetafileCanvas(TMetafile* Metafile)
    : FMetafile(Metafile), FRecorder(std::make_unique<TMetafileRecorder>(Metafile->FData.get()))
{
    Font()->SetPixelsPerInch(Metafile->PixelsPerInch());
}

TMetafileCanvas::~TMetafileCanvas() { EndRecording(); }

void TMetafileCanvas::EndRecording()
{
    EndPaint();
    FEnded = true;
}

TSize TMetafileCanvas::DeviceSize() const { return TSize(FMetafile->Width(), FMetafile->Height()); }

QPainter* TMetafileCanvas::AcquirePainter()
{
    if (FEnded)
        return nullptr;
    if (!FPainterOwn)
        FPainterOwn = std::make_unique<QPainter>();
    if (!FPainterOwn->isActive() && !FPainterOwn->begin(FRecorder.get()))
        return nullptr;
    return FPainterOwn.get();
}

// The text is kept as it stands, to be laid out when the page is played:
// laying it out here as well would only be thrown away. Drawing a point
// that is not kept hands the painter's pending state to the recording
// first, so the text meets its font, pen, transform and clip as a drawn one
// would.
void TMetafileCanvas::PaintText(QPainter& Painter, const QPoint& P, const QString& S)
{
    if (S.isEmpty() || Painter.pen().style() == Qt::NoPen)
        return;
    TMetafileData& data = *FMetafile->FData;
    data.SyncOnly = true;
    const QPointF point(P);
    Painter.drawPoints(&point, 1);
    data.SyncOnly = false;
    data.Ops.emplace_back(TOpText{point, S, Painter.font()});
    ++data.Draws;
}

void TMetafileCanvas::ReleasePainter()
{
    if (FPainterOwn && FPainterOwn->isActive())
        FPainterOwn->end();
}
