// One 1920 x 1080 back-buffer frame of 10,000 filled rectangles and 1,000
// texts on an opaque background, drawn through TCanvas and, in the same run,
// with QPainter directly. Prints the median time per frame of each and their
// ratio; fails when the canvas costs 1.3 times QPainter or more.
#include "platform/Graphics.h"

#include <QGuiApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int FrameWidth = 1920;
constexpr int FrameHeight = 1080;
constexpr int RectCount = 10000;
constexpr int TextCount = 1000;
constexpr double AllowedRatio = 1.3;

struct TFrameData {
    std::vector<TRect> Rects;
    std::vector<TColor> Colors;
    std::vector<TPoint> TextAt;
    std::vector<String> Texts;
    std::vector<TColor> TextBack;
};

const TFrameData& Data()
{
    static const TFrameData data = [] {
        TFrameData d;
        std::mt19937 rng(20240611);
        std::uniform_int_distribution<int> x(0, FrameWidth - 1), y(0, FrameHeight - 1), w(4, 120), h(4, 40);
        std::uniform_int_distribution<int> ch(0, 255);
        for (int i = 0; i < RectCount; ++i) {
            const int l = x(rng), t = y(rng);
            d.Rects.push_back(TRect(l, t, l + w(rng), t + h(rng)));
            d.Colors.push_back(RGB(Byte(ch(rng)), Byte(ch(rng)), Byte(ch(rng))));
        }
        for (int i = 0; i < TextCount; ++i) {
            d.TextAt.push_back(TPoint(x(rng) - 40, y(rng)));
            d.Texts.push_back("Task " + std::to_string(i) + " - Rohbau");
            d.TextBack.push_back(RGB(Byte(ch(rng)), Byte(ch(rng)), Byte(ch(rng))));
        }
        return d;
    }();
    return data;
}

void CanvasFrame(TBitmap& Bmp)
{
    const TFrameData& d = Data();
    TCanvas* c = Bmp.Canvas();
    c->Font()->SetName("DejaVu Sans");
    c->Font()->SetHeight(-12);
    c->Font()->SetColor(clBlack);
    for (int i = 0; i < RectCount; ++i) {
        c->Brush()->SetColor(d.Colors[size_t(i)]);
        c->FillRect(d.Rects[size_t(i)]);
    }
    for (int i = 0; i < TextCount; ++i) {
        c->Brush()->SetColor(d.TextBack[size_t(i)]);
        c->TextOut(d.TextAt[size_t(i)].X, d.TextAt[size_t(i)].Y, d.Texts[size_t(i)]);
    }
    // Showing the frame reads the pixels, which ends the painter.
    benchmark::DoNotOptimize(Bmp.Image().constBits());
}

QColor QtColor(TColor C) { return QColor(GetRValue(C), GetGValue(C), GetBValue(C)); }

void PainterFrame(QImage& Image)
{
    const TFrameData& d = Data();
    QPainter p(&Image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    const QFontMetrics fm(font);
    for (int i = 0; i < RectCount; ++i) {
        const TRect& r = d.Rects[size_t(i)];
        p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), QtColor(d.Colors[size_t(i)]));
    }
    p.setPen(QColor(0, 0, 0));
    for (int i = 0; i < TextCount; ++i) {
        // The program's texts are UTF-8, so a direct painter converts too.
        const String& s8 = d.Texts[size_t(i)];
        const QString s = QString::fromUtf8(s8.data(), qsizetype(s8.size()));
        const TPoint at = d.TextAt[size_t(i)];
        p.fillRect(QRect(at.X, at.Y, fm.horizontalAdvance(s), fm.ascent() + fm.descent()),
                   QtColor(d.TextBack[size_t(i)]));
        p.drawText(QPoint(at.X, at.Y + fm.ascent()), s);
    }
    p.end();
    benchmark::DoNotOptimize(Image.constBits());
}

void BM_CanvasFrame(benchmark::State& State)
{
    TBitmap bmp(FrameWidth, FrameHeight);
    for (auto _ : State)
        CanvasFrame(bmp);
}
BENCHMARK(BM_CanvasFrame)->Unit(benchmark::kMillisecond);

void BM_PainterFrame(benchmark::State& State)
{
    QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    for (auto _ : State)
        PainterFrame(image);
}
BENCHMARK(BM_PainterFrame)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

// Frames of both kinds alternate so that both see the same machine load.
int CompareMedians()
{
    TBitmap bmp(FrameWidth, FrameHeight);
    QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    CanvasFrame(bmp);  // warm the font caches of both
    PainterFrame(image);
    std::vector<double> canvas, painter;
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 31; ++i) {
        auto t0 = Clock::now();
        CanvasFrame(bmp);
        auto t1 = Clock::now();
        PainterFrame(image);
        auto t2 = Clock::now();
        canvas.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        painter.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    const double mc = Median(canvas), mp = Median(painter);
    const double ratio = mc / mp;
    std::printf("frame %dx%d, %d rectangles + %d texts: TCanvas median %.2f ms, QPainter median %.2f ms, "
                "ratio %.3f (limit %.1f)\n",
                FrameWidth, FrameHeight, RectCount, TextCount, mc, mp, ratio, AllowedRatio);
    return ratio < AllowedRatio ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return CompareMedians();
}
