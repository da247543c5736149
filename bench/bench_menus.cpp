// Opening a popup menu of 40 items (some with shortcuts, separators and a
// sub-menu among them): the items are measured, the level placed, shown and
// painted, then closed. Once in the plain look without draw or measure
// handlers (goal 2 ms), once in the flat, owner-drawn look with 16 x 16
// icons, every item measured and painted through the styled menu as at its
// first opening (goal 4 ms). Prints the medians.
#include "components/StyledMenu.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/MenuWindow.h"
#include "platform/Menus.h"

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ItemCount = 40;
constexpr int IconCount = 8;

struct TMenuScene {
    TForm* Owner;
    TPopupMenu* Menu;
    int Opened = 0;
    explicit TMenuScene(bool Styled)
    {
        Application->Initialize();
        Owner = Create<TForm>(nullptr);
        Owner->SetBounds(0, 0, 800, 600);
        Menu = Create<TPopupMenu>(Owner);
        for (int i = 0; i < ItemCount; ++i) {
            auto* item = Create<TMenuItem>(Menu);
            item->SetCaption(i % 10 == 9 ? "-" : "&Item number " + std::to_string(i + 1));
            if (i % 4 == 0)
                item->SetShortCut(ShortCut(Word('A' + i % 26), {ssCtrl}));
            item->SetChecked(i % 7 == 3);
            if (i == 5)
                item->Add(Create<TMenuItem>(Menu));
            Menu->Items()->Add(item);
        }
        if (Styled)
            Style();
    }
    // Icons with a see-through border on most items, a few disabled, and
    // the styled menu's handlers on all.
    void Style()
    {
        auto* icons = Create<TImageList>(Owner);
        icons->SetSize(16, 16);
        for (int i = 0; i < IconCount; ++i) {
            TBitmap picture(16, 16);
            picture.Canvas()->Brush()->SetColor(clFuchsia);
            picture.Canvas()->FillRect({0, 0, 16, 16});
            picture.Canvas()->Brush()->SetColor(RGB(Byte(30 * i), Byte(200 - 20 * i), 90));
            picture.Canvas()->FillRect({2, 2, 14, 14});
            icons->AddMasked(&picture, clFuchsia);
        }
        Menu->SetImages(icons);
        for (int i = 0; i < ItemCount; ++i) {
            TMenuItem* item = Menu->Items()->Items(i);
            item->SetEnabled(i % 11 != 6);
            if (!item->IsLine() && i % 3 != 2)
                item->SetImageIndex(i % IconCount);
        }
        auto* styled = Create<TStyledMenu>(Owner);
        styled->SetStyledControls({xcMainMenu, xcPopupMenu});
        styled->SetStyledContainers({});
        styled->SetActive(true);
        styled->Loaded();
    }
    ~TMenuScene() { delete Owner; }
    void Open() { Menu->Popup(100, 100); }
};

TMenuScene*& Current()
{
    static TMenuScene* s = nullptr;
    return s;
}

TMenuScene& Scene(bool Styled)
{
    static TMenuScene* plain = nullptr;
    static TMenuScene* styled = nullptr;
    TMenuScene*& s = Styled ? styled : plain;
    if (!s)
        s = new TMenuScene(Styled);
    Current() = s;
    return *s;
}

void Watch()
{
    // Painted, then closed at once: what is measured is the opening.
    SetModalHook([](TCustomForm* F) {
        if (auto* w = dynamic_cast<TMenuWindow*>(F)) {
            w->Update();
            ++Current()->Opened;
            w->ClosePopup(mrCancel);
        }
    });
}

void BM_OpenPopupMenu(benchmark::State& State)
{
    TMenuScene& s = Scene(false);
    for (auto _ : State)
        s.Open();
}
BENCHMARK(BM_OpenPopupMenu)->Unit(benchmark::kMillisecond);

void BM_OpenStyledPopupMenu(benchmark::State& State)
{
    TMenuScene& s = Scene(true);
    for (auto _ : State)
        s.Open();
}
BENCHMARK(BM_OpenStyledPopupMenu)->Unit(benchmark::kMillisecond);

double MedianMs(bool Styled, int Runs = 101)
{
    using Clock = std::chrono::steady_clock;
    TMenuScene& s = Scene(Styled);
    std::vector<double> t;
    for (int i = 0; i < Runs; ++i) {
        const auto t0 = Clock::now();
        s.Open();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    Application->Initialize();
    Watch();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double open = MedianMs(false);
    std::printf("popup menu of %d items without handlers: open, paint, close median %.3f ms (goal < 2 ms): %s\n",
                ItemCount, open, open < 2 ? "met" : "missed");
    const double styled = MedianMs(true);
    std::printf("styled popup menu of %d items with 16 x 16 icons: measure, paint, close median %.3f ms "
                "(goal < 4 ms): %s\n",
                ItemCount, styled, styled < 4 ? "met" : "missed");
    for (bool b : {false, true})
        if (Scene(b).Opened == 0)
            std::printf("  the %s menu never opened\n", b ? "styled" : "plain");
    SetModalHook(nullptr);
    Application->Shutdown();
    return 0;
}
