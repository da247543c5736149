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

TEST(Timers, IntervalChangeAndReEnableRestartTheCount)
{
    EnsureApplication();
    TTimer t(nullptr);
    int ticks = 0;
    t.OnTimer = [&](TObject*) { ++ticks; };
    QElapsedTimer e;
    t.SetInterval(400);
    e.start();
    ProcessEventsUntil([&] { return e.elapsed() >= 250; }, 2000);
    t.SetInterval(401);  // restarts: the first tick is 401 ms from here
    QElapsedTimer sinceChange;
    sinceChange.start();
    ProcessEventsUntil([&] { return ticks > 0 || e.elapsed() >= 550; }, 2000);
    EXPECT_EQ(ticks, 0) << "fired on the old schedule";
    EXPECT_TRUE(ProcessEventsUntil([&] { return ticks > 0; }, 3000));
    EXPECT_GE(sinceChange.elapsed(), 380);

    t.SetInterval(300);
    ticks = 0;
    e.restart();
    ProcessEventsUntil([&] { return e.elapsed() >= 200; }, 2000);
    t.SetEnabled(false);
    t.SetEnabled(true);  // restarts: the first tick is 300 ms from here
    ProcessEventsUntil([&] { return ticks > 0 || e.elapsed() >= 400; }, 2000);
    EXPECT_EQ(ticks, 0) << "fired on the old schedule";
    EXPECT_TRUE(ProcessEventsUntil([&] { return ticks > 0; }, 3000));
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
