// Partial painting and pixel scrolling of a 1920 x 1080 window of numbered
// rows whose paint handler draws only the rows that meet the canvas's clip:
// a full paint, a one-row scroll with the paint of its strip, and paints of
// 1 %, 10 % and 50 % of the window. Prints the medians against the goals
// (scroll under 1 ms and under 10 % of a full paint; a partial paint within
// its share of a full paint plus 0.2 ms).
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ViewWidth = 1920;
constexpr int ViewHeight = 1080;
constexpr int RowHeight = 18;
constexpr int Columns = 8;

// A table-like view: per row a background, and per cell a frame and a text
// (the row's number in the first).
class TRowsView : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int OffY = 0;

protected:
    void Paint() override
    {
        TCanvas* c = Canvas();
        const TRect clip = c->ClipRect();
        c->Font()->SetName("DejaVu Sans");
        c->Font()->SetHeight(-12);
        const int first = (clip.Top + OffY) / RowHeight;
        const int last = (clip.Bottom - 1 + OffY) / RowHeight;
        const int cell = ViewWidth / Columns;
        for (int r = first; r <= last; ++r) {
            const int y = r * RowHeight - OffY;
            c->Brush()->SetColor(r % 2 ? RGB(245, 245, 250) : clWhite);
            c->FillRect({0, y, ViewWidth, y + RowHeight});
            for (int k = 0; k < Columns; ++k) {
                c->Brush()->SetColor(RGB(200, 200, 210));
                c->FrameRect({k * cell, y, (k + 1) * cell + 1, y + RowHeight + 1});
                c->Brush()->SetStyle(bsClear);
                c->TextOut(k * cell + 4, y + 2,
                           k == 0 ? std::to_string(r + 1) : "Task " + std::to_string(r + 1) + "." + std::to_string(k));
                c->Brush()->SetStyle(bsSolid);
            }
        }
    }
};

struct TView {
    TForm* Form;
    TRowsView* View;
    TView()
    {
        Application->Initialize();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(0, 0, ViewWidth + 20, ViewHeight + 20);
        View = Create<TRowsView>(Form);
        View->SetParent(Form);
        View->SetBounds(0, 0, ViewWidth, ViewHeight);
        // The window exists but is not shown: what is measured is the
        // platform's painting into the back buffer, not the toolkit's copy
        // to the screen.
        View->HandleNeeded();
        View->Update();
    }
    ~TView() { delete Form; }

    void FullPaint()
    {
        View->Invalidate();
        View->Update();
    }
    void ScrollOneRow()
    {
        View->OffY += RowHeight;
        ScrollWindowEx(View->Handle(), 0, -RowHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        View->Update();
    }
    // A full-width band holding Percent of the window, in the middle.
    void PartialPaint(int Percent)
    {
        const int h = std::max(1, ViewHeight * Percent / 100);
        const int top = (ViewHeight - h) / 2;
        View->InvalidateRect({0, top, ViewWidth, top + h});
        View->Update();
    }
};

TView& View()
{
    static TView* v = new TView;
    return *v;
}

void BM_FullPaint(benchmark::State& State)
{
    for (auto _ : State)
        View().FullPaint();
}
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond);

void BM_ScrollOneRow(benchmark::State& State)
{
    for (auto _ : State)
        View().ScrollOneRow();
}
BENCHMARK(BM_ScrollOneRow)->Unit(benchmark::kMillisecond);

void BM_PartialPaint(benchmark::State& State)
{
    for (auto _ : State)
        View().PartialPaint(int(State.range(0)));
}
BENCHMARK(BM_PartialPaint)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

template <class Fn>
double MedianMs(Fn&& Step, int Runs = 41)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> t;
    for (int i = 0; i < Runs; ++i) {
        const auto t0 = Clock::now();
        Step();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void PrintFigures()
{
    TView& v = View();
    const double full = MedianMs([&] { v.FullPaint(); });
    const double scroll = MedianMs([&] { v.ScrollOneRow(); });
    std::printf("window %dx%d, rows of %d px:\n", ViewWidth, ViewHeight, RowHeight);
    std::printf("  full paint                      median %7.3f ms\n", full);
    std::printf("  one-row scroll + strip paint    median %7.3f ms = %5.1f %% of full (goal < 1 ms and < 10 %%): %s\n",
                scroll, 100 * scroll / full, scroll < 1 && scroll < full / 10 ? "met" : "missed");
    for (int p : {1, 10, 50}) {
        const double part = MedianMs([&] { v.PartialPaint(p); });
        const double goal = full * p / 100 + 0.2;
        std::printf("  paint of %2d %% of the window     median %7.3f ms (goal %.3f ms): %s\n", p, part, goal,
                    part <= goal ? "met" : "missed");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    Application->Shutdown();
    return 0;
}
