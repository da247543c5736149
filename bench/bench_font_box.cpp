// The font name box on the installed fonts: filling it from the font
// database (read afresh each time) and drawing one dropped-down page of 12
// entries, each in its own face. Prints the family count and the medians;
// fails when a fill takes 50 ms or a page 30 ms or more.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QByteArray>
#include <QtGlobal>

#include "components/FontNameComboBox.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace {

constexpr double FillLimitMs = 50;
constexpr double PageLimitMs = 30;
constexpr int Runs = 21;

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

template <class Fn>
double TimeMs(Fn&& F)
{
    const auto t0 = std::chrono::steady_clock::now();
    F();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
    auto* box = Create<TFontNameComboBox>(nullptr);
    const int rows = box->DropDownCount();
    const int height = box->ItemHeight();
    TBitmap page(box->Width(), rows * height);

    std::vector<double> fills;
    std::vector<double> pages;
    for (int run = 0; run < Runs; ++run) {
        fills.push_back(TimeMs([&] {
            Screen->ResetFonts();
            box->GetFontNames();
        }));
        // Each page starts further down, so that faces drawn before do not
        // all come from the toolkit's caches.
        const int count = box->Items()->Count();
        const int first = count > rows ? (run * rows) % (count - rows + 1) : 0;
        pages.push_back(TimeMs([&] {
            for (int i = 0; i < rows && first + i < count; ++i)
                box->DrawItem(page.Canvas(), first + i, TRect(0, i * height, page.Width(), (i + 1) * height), {});
            page.Image();
        }));
    }
    const double fill = Median(fills);
    const double draw = Median(pages);
    std::printf("font families %d (listed %d): fill median %.2f ms (limit %.0f), page of %d entries median %.2f ms "
                "(limit %.0f)\n",
                int(Screen->Fonts().size()), box->Items()->Count(), fill, FillLimitMs, rows, draw, PageLimitMs);
    delete box;
    return fill < FillLimitMs && draw < PageLimitMs ? 0 : 1;
}
