// TTimer and window timers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <set>

#include "platform/Controls.h"
#include "platform/Timers.h"
#include "tests/support/PlatformFixture.h"

TEST(Timers, TimerFiresRepeatedlyAndStopsWhenDisabled)
{
    EnsureApplication();
    TTimer t(nullptr);
    int ticks = 0;
    t.OnTimer = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &t);
        ++ticks;
    };
    t.SetInterval(10);
    EXPECT_TRUE(ProcessEventsUntil([&] { return ticks >= 3; }, 3000));
    t.SetEnabled(false);
    const int at = ticks;
    QElapsedTimer e;
    e.start();
    ProcessEventsUntil([&] { return e.elapsed() > 60; }, 1000);
    EXPECT_EQ(ticks, at);
}

TEST(Timers, WindowTimersDeliverTheirIdAndGoWithTheWindow)
{
    EnsureApplication();
    auto* c = Create<TRecordingControl>(nullptr);
    const HWND h = c->Handle();
    EXPECT_TRUE(SetTimer(h, 5, 5));
    EXPECT_TRUE(SetTimer(h, 6, 5));
    auto ids = [&] {
        std::set<UINT_PTR> s;
        for (const TMessage& m : c->Log)
            if (m.Msg == WM_TIMER) s.insert(m.TimerID());
        return s;
    };
    EXPECT_TRUE(ProcessEventsUntil([&] { return ids().size() == 2; }, 3000));
    EXPECT_EQ(ids(), (std::set<UINT_PTR>{5, 6}));
    EXPECT_TRUE(KillTimer(h, 5));
    EXPECT_FALSE(KillTimer(h, 5));
    c->Log.clear();
    EXPECT_TRUE(ProcessEventsUntil([&] { return !ids().empty(); }, 3000));
    EXPECT_EQ(ids(), (std::set<UINT_PTR>{6}));
    c->DestroyHandle();
    EXPECT_FALSE(KillTimer(h, 6));  // went with the window
    EXPECT_FALSE(SetTimer(h, 7, 5));
    delete c;
}
