// SIGTERM and SIGHUP turned into calls on the GUI thread.
#include <gtest/gtest.h>

#include <signal.h>

#include <vector>

#include "platform/TerminationSignals.h"
#include "tests/support/PlatformFixture.h"

namespace {

volatile sig_atomic_t GEarlierHandlerCalls = 0;
extern "C" void EarlierHandler(int) { GEarlierHandlerCalls = GEarlierHandlerCalls + 1; }

class TerminationSignalsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override
    {
        UninstallTerminationSignals();
        ProcessEvents();
    }
    std::vector<int> Calls;
};

TEST_F(TerminationSignalsTest, EachSignalArrivesThroughTheEventLoop)
{
    ASSERT_TRUE(InstallTerminationSignals([this](int S) { Calls.push_back(S); }));
    EXPECT_TRUE(TerminationSignalsInstalled());
    ASSERT_EQ(::raise(SIGTERM), 0);
    // Not from inside the signal handler: only once the loop runs.
    EXPECT_TRUE(Calls.empty());
    ASSERT_TRUE(ProcessEventsUntil([&] { return !Calls.empty(); }, 5000));
    EXPECT_EQ(Calls, std::vector<int>{SIGTERM});
    ASSERT_EQ(::raise(SIGHUP), 0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Calls.size() == 2; }, 5000));
    EXPECT_EQ(Calls, (std::vector<int>{SIGTERM, SIGHUP}));

    // Several before the loop gets to them: one call per kind.
    ::raise(SIGTERM);
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    ::raise(SIGTERM);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Calls.size() >= 4; }, 5000));
    ProcessEvents();
    EXPECT_EQ(Calls, (std::vector<int>{SIGTERM, SIGHUP, SIGTERM, SIGHUP}));

    // Installing again replaces the handler.
    std::vector<int> second;
    ASSERT_TRUE(InstallTerminationSignals([&](int S) { second.push_back(S); }));
    ::raise(SIGHUP);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !second.empty(); }, 5000));
    EXPECT_EQ(Calls.size(), 4u);
}

TEST_F(TerminationSignalsTest, UninstallGivesBackTheEarlierHandling)
{
    struct sigaction mine {}, old {};
    mine.sa_handler = EarlierHandler;
    sigemptyset(&mine.sa_mask);
    ASSERT_EQ(::sigaction(SIGHUP, &mine, &old), 0);
    GEarlierHandlerCalls = 0;

    ASSERT_TRUE(InstallTerminationSignals([this](int S) { Calls.push_back(S); }));
    ::raise(SIGHUP);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !Calls.empty(); }, 5000));
    EXPECT_EQ(GEarlierHandlerCalls, 0);

    UninstallTerminationSignals();
    EXPECT_FALSE(TerminationSignalsInstalled());
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, &EarlierHandler);
    ::raise(SIGHUP);
    EXPECT_EQ(GEarlierHandlerCalls, 1);
    ProcessEvents();
    EXPECT_EQ(Calls.size(), 1u);
    UninstallTerminationSignals();  // twice is harmless
    ::sigaction(SIGHUP, &old, nullptr);
}

TEST_F(TerminationSignalsTest, SignalsWhileTheHandlerRunsAreDropped)
{
    // The close path asks a question: a nested loop runs inside the handler,
    // and a second signal meanwhile must not start a second close.
    int inner = 0;
    ASSERT_TRUE(InstallTerminationSignals([&](int S) {
        Calls.push_back(S);
        ::raise(SIGTERM);
        ++inner;
        for (int k = 0; k < 5; ++k)
            ProcessEvents();
    }));
    ::raise(SIGTERM);
    ASSERT_TRUE(ProcessEventsUntil([&] { return inner == 1; }, 5000));
    ProcessEvents();
    EXPECT_EQ(Calls, std::vector<int>{SIGTERM});

    // Giving up the signals from inside the handler is safe, and the
    // handling is back to what it was.
    UninstallTerminationSignals();
    struct sigaction before {};
    ::sigaction(SIGTERM, nullptr, &before);
    Calls.clear();
    ASSERT_TRUE(InstallTerminationSignals([&](int S) {
        Calls.push_back(S);
        UninstallTerminationSignals();
    }));
    ::raise(SIGHUP);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !Calls.empty(); }, 5000));
    ProcessEvents();
    EXPECT_FALSE(TerminationSignalsInstalled());
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
