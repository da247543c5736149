// Text on the canvas: TextOut, measuring and DrawText's layout rules.
#include "platform/GraphicsQt.h"

#include <QPaintEngine>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>

namespace {

// The texts of a font, by the font's key. Bounded: the list of fonts
// starts afresh when it grows past its limit.
std::shared_ptr<TFontTexts> TextsOf(const QFont& Font)
{
    thread_local std::unordered_map<QString, std::shared_ptr<TFontTexts>> tables;
    if (tables.size() > 64)
        tables.clear();
    std::shared_ptr<TFontTexts>& t = tables[Font.key()];
    if (!t)
        t = std::make_shared<TFontTexts>();
    return t;
}

const QFontMetrics& MetricsOf(const TFont& Font, TCanvasCache& C)
{
    if (!C.FontValid) {
        TCanvasCache::TShape shape{Font.Name(), Font.Height(), Font.Style(), Font.PixelsPerInch()};
        if (shape != C.Shape) {
            C.QtFont = FontToQFont(Font);
            C.Metrics.emplace(C.QtFont);
            C.Texts = TextsOf(C.QtFont);
            C.Shape = std::move(shape);
        }
        C.FontValid = true;
    }
    return *C.Metrics;
}

constexpr std::size_t MaxKeptWidths = 250000;
constexpr std::size_t MaxKeptShapes = 4096;

// The advance of S in the canvas's current font (MetricsOf called before).
int AdvanceOf(const QString& S, TCanvasCache& C)
{
    if (S.isEmpty())
        return 0;
    auto& widths = C.Texts->Widths;
    if (const auto it = widths.find(S); it != widths.end())
        return it->second;
    if (widths.size() >= MaxKeptWidths)
        widths.clear();
    const int w = C.Metrics->horizontalAdvance(S);
    widths.emplace(S, w);
    return w;
}

// A text shaped once and then drawn from its glyphs; null where the
// painter must shape it itself: a device other than raster (a printed
// document keeps its texts as text), line and paragraph breaks, which a
// layout would break where the painter does not, and lines under or
// through the text, which glyphs alone end a pixel short.
const QList<QGlyphRun>* ShapedOf(const QString& S, QPainter& Painter, TCanvasCache& C)
{
    QPaintEngine* engine = Painter.paintEngine();
    QPaintDevice* device = Painter.device();
    const QFont& font = Painter.font();
    if (!engine || engine->type() != QPaintEngine::Raster || !device || font.underline() || font.strikeOut() ||
        font.overline())
        return nullptr;
    for (QChar ch : S)
        if (ch.unicode() < 0x20 || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            return nullptr;
    TFontTexts& t = *C.Texts;
    const QSize dpi(device->logicalDpiX(), device->logicalDpiY());
    if (dpi != t.ShapedDpi) {
        t.Shaped.clear();
        t.ShapedDpi = dpi;
    }
    if (const auto it = t.Shaped.find(S); it != t.Shaped.end())
        return &it->second;
    if (t.Shaped.size() >= MaxKeptShapes)
        t.Shaped.clear();
    QTextLayout layout(S, font, device);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = layout.glyphRuns();
    const qreal baseline = line.isValid() ? line.ascent() : 0;
    for (QGlyphRun& run : runs) {
        QList<QPointF> at = run.positions();
        for (QPointF& p : at)
            p.ry() -= baseline;
        run.setPositions(at);
    }
    return &t.Shaped.emplace(S, std::move(runs)).first->second;
}

QString Utf8(const String& S) { return QString::fromUtf8(S.data(), qsizetype(S.size())); }

// "&x" marks x as the access key and is shown as x; "&&" is a literal "&".
QString StripPrefix(const QString& S)
{
    if (!S.contains(QLatin1Char('&')))
        return S;
    QString out;
    out.reserve(S.size());
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (S[i] == QLatin1Char('&')) {
            if (i + 1 < S.size())
                out += S[++i];
            continue;
        }
        out += S[i];
    }
    return out;
}

QString ExpandTabs(const QString& S)
{
    if (!S.contains(QLatin1Char('\t')))
        return S;
    QString out;
    for (QChar c : S) {
        if (c == QLatin1Char('\t')) {
            const qsizetype n = 8 - out.size() % 8;
            out += QString(n, QLatin1Char(' '));
        } else {
            out += c;
        }
    }
    return out;
}

// The longest prefix of Line that fits in Width together with "...", then
// "..."; nothing when not even the ellipsis fits.
QString EndEllipsis(const QString& Line, int Width, const QFontMetrics& Fm)
{
    if (Fm.horizontalAdvance(Line) <= Width)
        return Line;
    const QString dots = QStringLiteral("...");
    const int dotsWidth = Fm.horizontalAdvance(dots);
    if (dotsWidth > Width)
        return QString();
    qsizetype lo = 0, hi = Line.size() - 1;
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (Fm.horizontalAdvance(Line.left(mid)) + dotsWidth <= Width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return Line.left(lo) + dots;
}

// Breaks one paragraph between words so that each line fits Width; a word
// wider than the line keeps a line of its own.
void WrapParagraph(const QString& Text, int Width, const QFontMetrics& Fm, QStringList& Lines)
{
    if (Text.isEmpty()) {
        Lines << QString();
        return;
    }
    QString line;
    qsizetype i = 0;
    const qsizetype n = Text.size();
    while (i < n) {
        // The next word with the blanks before it.
        qsizetype j = i;
        while (j < n && Text[j] == QLatin1Char(' '))
            ++j;
        while (j < n && Text[j] != QLatin1Char(' '))
            ++j;
        const QString piece = Text.mid(i, j - i);
        const QString candidate = line + piece;
        if (line.isEmpty() || Fm.horizontalAdvance(candidate) <= Width) {
            line = candidate;
        } else {
            Lines << line;
            // Blanks at a break vanish.
            qsizetype k = 0;
            while (k < piece.size() && piece[k] == QLatin1Char(' '))
                ++k;
            line = piece.mid(k);
        }
        i = j;
    }
    // Trailing blanks do not count towards the width.
    while (line.endsWith(QLatin1Char(' ')) && line.size() > 1)
        line.chop(1);
    Lines << line;
}

}  // namespace

// ---------------------------------------------------------------------------

void TCanvas::SetTextColor(TColor Color)
{
    FState->HasTextColor = true;
    FState->TextColor = Color;
    FCache->TextValid = false;
    if (FBrush->HasPattern()) {
        FCache->BrushValid = false;
        FCache->PainterBrushValid = false;
    }
}

void TCanvas::SetBkColor(TColor Color)
{
    FState->HasBkColor = true;
    FState->BkColor = Color;
    FCache->BkValid = false;
    if (FBrush->HasPattern()) {
        FCache->BrushValid = false;
        FCache->PainterBrushValid = false;
    }
}

TColor TCanvas::TextColor() const { return FState->HasTextColor ? FState->TextColor : FFont->Color(); }

TColor TCanvas::BkColor() const { return FState->HasBkColor ? FState->BkColor : FBrush->Color(); }

void TCanvas::PrepareFont()
{
    MetricsOf(*FFont, *FCache);
    if (!FCache->PainterFontValid) {
        FPainter->setFont(FCache->QtFont);
        FCache->PainterFontValid = true;
    }
    ValidateText(*this, *FCache);
    if (FCache->PainterPen != TCanvasCache::ppText) {
        FPainter->setPen(FCache->TextPen);
        FCache->PainterPen = TCanvasCache::ppText;
    }
    PrepareCopy();
}

TSize TCanvas::TextExtent(const String& Text)
{
    const QFontMetrics& fm = MetricsOf(*FFont, *FCache);
    return TSize(Text.empty() ? 0 : AdvanceOf(Utf8(Text), *FCache), fm.ascent() + fm.descent());
}

int TCanvas::FontAscent() { return MetricsOf(*FFont, *FCache).ascent(); }
int TCanvas::FontDescent() { return MetricsOf(*FFont, *FCache).descent(); }
int TCanvas::FontExternalLeading() { return std::max(0, MetricsOf(*FFont, *FCache).leading()); }

// Writes Text with the top-left of its cell at device (DX, DY), rotated by
// the font's orientation about that point. Clip (device) limits the text;
// with FillClip an opaque brush fills all of Clip instead of the text cell.
int TCanvas::TextOutDevice(int DX, int DY, const String& Text, const TRect* Clip, bool FillClip, bool Rotate)
{
    const QFontMetrics& fm = MetricsOf(*FFont, *FCache);
    PrepareFont();
    const QString s = Utf8(Text);
    const int w = AdvanceOf(s, *FCache);
    const int h = fm.ascent() + fm.descent();
    const bool opaque = FBrush->Style() != bsClear && BkColor() != clNone;
    if (Clip) {
        // The text's clip goes on top of the canvas's and is undone by
        // restoring the painter: setting the canvas's region again would
        // have the painter build it anew, which for a region of many
        // rectangles costs far more than the text.
        FPainter->save();
        FPainter->setClipRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()),
            FState->HasClip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const int orientation = Rotate ? FFont->Orientation() % 3600 : 0;
    if (orientation != 0) {
        FPainter->setTransform(QTransform::fromTranslate(DX, DY).rotate(-orientation / 10.0));
        if (opaque && !FillClip && w > 0)
            FPainter->fillRect(QRect(0, 0, w, h), FCache->BkColor);
        if (!s.isEmpty())
            PaintText(*FPainter, QPoint(0, fm.ascent()), s);
        FPainter->resetTransform();
    } else {
        if (opaque) {
            if (FillClip && Clip)
                FPainter->fillRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()), FCache->BkColor);
            else if (w > 0)
                FPainter->fillRect(QRect(DX, DY, w, h), FCache->BkColor);
        }
        if (!s.isEmpty())
            PaintText(*FPainter, QPoint(DX, DY + fm.ascent()), s);
    }
    if (Clip)
        FPainter->restore();
    return w;
}

void TCanvas::PaintText(QPainter& Painter, const QPoint& P, const QString& S)
{
    if (const QList<QGlyphRun>* runs = ShapedOf(S, Painter, *FCache)) {
        for (const QGlyphRun& run : *runs)
            Painter.drawGlyphRun(P, run);
        return;
    }
    Painter.drawText(P, S);
}

void TCanvas::TextOut(int X, int Y, const String& Text)
{
    if (Ready()) {
        const TPoint d = LogicalToDevice(TPoint(X, Y));
        FPenPos = TPoint(X + TextOutDevice(d.X, d.Y, Text, nullptr, false), Y);
    } else {
        FPenPos = TPoint(X + TextWidth(Text), Y);
    }
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text)
{
    if (!Ready() || Rect.IsEmpty())
        return;
    const TPoint d = LogicalToDevice(TPoint(X, Y));
    const TPoint c = LogicalToDevice(Rect.TopLeft());
    const TRect clip(c.X, c.Y, c.X + Rect.Width(), c.Y + Rect.Height());
    TextOutDevice(d.X, d.Y, Text, &clip, true);
}

int TCanvas::DrawText(const String& Text, TRect& R, unsigned Format)
{
    const QFontMetrics& fm = MetricsOf(*FFont, *FCache);
    QString s = Utf8(Text);
    if (!(Format & DT_NOPREFIX))
        s = StripPrefix(s);
    if (Format & DT_EXPANDTABS)
        s = ExpandTabs(s);
    const int lineHeight = fm.ascent() + fm.descent() + ((Format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    const int width = std::max(0, R.Width());
    const bool singleLine = (Format & DT_SINGLELINE) != 0;

    QStringList lines;
    if (singleLine) {
        s.remove(QLatin1Char('\r'));
        s.remove(QLatin1Char('\n'));
        lines << s;
    } else {
        // Paragraphs end at CR, LF or CR LF.
        qsizetype start = 0;
        QStringList paragraphs;
        for (qsizetype i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == QLatin1Char('\r') || s[i] == QLatin1Char('\n')) {
                paragraphs << s.mid(start, i - start);
                if (i < s.size() && s[i] == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n'))
                    ++i;
                start = i + 1;
            }
        }
        for (const QString& p : paragraphs) {
            if (Format & DT_WORDBREAK)
                WrapParagraph(p, width, fm, lines);
            else
                lines << p;
        }
    }
    if (Format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        for (QString& l : lines)
            l = EndEllipsis(l, width, fm);
    }

    std::vector<int> widths;
    widths.reserve(size_t(lines.size()));
    int widest = 0;
    for (const QString& l : lines) {
        widths.push_back(AdvanceOf(l, *FCache));
        widest = std::max(widest, widths.back());
    }
    const int textHeight = int(lines.size()) * lineHeight;

    if (Format & DT_CALCRECT) {
        R.Right = R.Left + widest;
        R.Bottom = R.Top + textHeight;
        return textHeight;
    }

    int top = R.Top;
    if (singleLine) {
        if (Format & DT_VCENTER)
            top = R.Top + (R.Height() - lineHeight) / 2;
        else if (Format & DT_BOTTOM)
            top = R.Bottom - lineHeight;
    }
    const int result = (singleLine && (Format & (DT_VCENTER | DT_BOTTOM))) ? top - R.Top + textHeight : textHeight;
    if (!Ready())
        return result;

    const TPoint org = LogicalToDevice(TPoint(0, 0));
    const bool clip = !(Format & DT_NOCLIP);
    const TRect deviceR(R.Left + org.X, R.Top + org.Y, R.Right + org.X, R.Bottom + org.Y);
    if (clip && deviceR.IsEmpty())
        return result;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineTop = top + int(i) * lineHeight;
        if (clip && lineTop >= R.Bottom)
            break;
        int x = R.Left;
        if (Format & DT_CENTER)
            x = R.Left + (width - widths[size_t(i)]) / 2;
        else if (Format & DT_RIGHT)
            x = R.Right - widths[size_t(i)];
        // The font's orientation does not apply to formatted text.
        TextOutDevice(x + org.X, lineTop + org.Y, lines[i].toStdString(), clip ? &deviceR : nullptr, false, false);
    }
    return result;
}
