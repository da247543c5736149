// The overlap timer's real waiting: a burst of requests keeps postponing
// the work until 400 ms after the last one.
#include <chrono>

#include "DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"

namespace {

using TClock = std::chrono::steady_clock;

class TTimedDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    std::vector<TClock::time_point> OverlapRuns;
    void UpdateOverlappingProc() override { OverlapRuns.push_back(TClock::now()); }
};

void RunIdleFor(TScheduleDocument& Doc, int Ms)
{
    const auto until = TClock::now() + std::chrono::milliseconds(Ms);
    ProcessEventsUntil(
        [&] {
            Doc.ApplicationEvents1Idle();
            return TClock::now() >= until;
        },
        Ms + 1000);
}

}  // namespace

TEST(UpdateBracketsSlow, ABurstOfOverlapRequestsRunsOnceAfterTheLast)
{
    EnsureApplication();
    auto doc = MakeDocumentOf<TTimedDocument>();
    doc->fDelayedUpdateOverlapping = false;
    doc->OverlappingTimer->SetEnabled(false);
    TClock::time_point last;
    for (int i = 0; i < 4; ++i) {
        doc->UpdateOverlapping(true);
        last = TClock::now();
        RunIdleFor(*doc, 150);
    }
    EXPECT_TRUE(doc->OverlapRuns.empty()) << "each request postponed the work";
    ASSERT_TRUE(ProcessEventsUntil(
        [&] {
            doc->ApplicationEvents1Idle();
            return !doc->OverlapRuns.empty();
        },
        3000));
    EXPECT_GE(doc->OverlapRuns[0] - last, std::chrono::milliseconds(400));
    RunIdleFor(*doc, 700);
    EXPECT_EQ(doc->OverlapRuns.size(), 1u);
}
