// TTimer schedules measured against the clock: they need quiet windows of a
// few hundred milliseconds, which a loaded machine does not promise.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "platform/Timers.h"
#include "tests/support/PlatformFixture.h"

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
