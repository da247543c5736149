// A held scroll-bar arrow repeats on the real timer: never before the pause,
// then at the short interval. Timing bounds are one-sided (a loaded machine
// only makes timers late), so the test cannot fail for being slow.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

TEST(ScrollBarRepeat, HeldArrowRepeatsAfterThePauseThenQuickly)
{
    using Clock = std::chrono::steady_clock;
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(30, 30, 300, 200);
    auto* c = Create<TRecordingControl>(form);
    c->SetParent(form);
    c->SetBounds(10, 10, 200, 150);
    form->Show();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 999;
    si.nPage = 100;
    SetScrollInfo(c->Handle(), SB_VERT, si, true);
    std::vector<Clock::time_point> at;
    c->OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_VSCROLL && M.ScrollCode() == SB_LINEDOWN)
            at.push_back(Clock::now());
        return false;
    };
    NextClick();
    MouseDown(c, {200 - 9, 150 - 5});
    ASSERT_EQ(at.size(), 1u);
    ASSERT_TRUE(ProcessEventsUntil([&] { return at.size() >= 6; }, 10000));
    MouseUp(c, {200 - 9, 150 - 5});
    const auto ms = [](Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); };
    EXPECT_GE(ms(at[1] - at[0]), 400 - 5);
    // Five repeats after the first one took at least four short intervals.
    EXPECT_GE(ms(at[5] - at[1]), 4 * 50 - 5);
    const std::size_t seen = at.size();
    ProcessEventsUntil([] { return false; }, 200);
    EXPECT_EQ(at.size(), seen);  // the release stopped it
    delete form;
}
