#include <chrono>

#include "DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"

namespace {

using TClock = std::chrono::steady_clock;

// A document that records the deferred work and the bracket's hooks.
class TBracketDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    std::vector<String> Calls;
    std::vector<TClock::time_point> OverlapRuns;
    bool Busy = false;
    int VisibleDays = 0;
    bool HideAll = false, HideMulti = false;
    TDateTime AutoLow = 0, AutoHigh = 0;

    int Count(const String& Name) const
    {
        int n = 0;
        for (const String& c : Calls)
            n += c == Name;
        return n;
    }
    void UpdateOverlappingProc() override
    {
        Calls.push_back("OverlapProc");
        OverlapRuns.push_back(TClock::now());
    }
    void UpdateBoundsProc() override
    {
        Calls.push_back("BoundsProc");
        TScheduleDocument::UpdateBoundsProc();
    }
    void UpdateEmptyRowsProc() override
    {
        Calls.push_back("EmptyRowsProc");
        TScheduleDocument::UpdateEmptyRowsProc();
    }
    void UpdateNetworkControls() override { Calls.push_back("Network"); }
    void GroupTabChange() override { Calls.push_back("GroupTab"); }
    void PageControl1Change() override { Calls.push_back("PageChange"); }
    void RestoreTimeChartStart() override { Calls.push_back("ChartStart"); }
    void SetHourglass(bool Value) override { Busy = Value; }
    int GetTimeChartVisibleDays() const override { return VisibleDays; }
    bool HideEmptyPositions() const override { return HideAll; }
    bool HideEmptyMultiRowPositions() const override { return HideMulti; }
    void UpdateAutoEntries(TDateTime Low, TDateTime High) override { AutoLow = Low, AutoHigh = High; }
};

using TBracketDocumentPtr = TOwnedDocument<TBracketDocument>;

TBracketDocumentPtr MakeBracketDocument(const std::vector<String>& Positions = {"A", "B", "C"})
{
    TBracketDocumentPtr doc = MakeDocumentOf<TBracketDocument>(Positions);
    doc->fDelayedUpdateBounds = doc->fDelayedUpdateEmptyRows = doc->fDelayedUpdateOverlapping = false;
    doc->OverlappingTimer->SetEnabled(false);
    doc->Calls.clear();
    return doc;
}

// Keeps the event loop turning, telling the document each time that the
// application went idle, until Done() or the time is up.
bool RunIdleUntil(TScheduleDocument& Doc, const std::function<bool()>& Done, int TimeoutMs)
{
    return ProcessEventsUntil(
        [&] {
            Doc.ApplicationEvents1Idle();
            return Done();
        },
        TimeoutMs);
}

void RunFor(TScheduleDocument& Doc, int Ms)
{
    const auto until = TClock::now() + std::chrono::milliseconds(Ms);
    RunIdleUntil(Doc, [&] { return TClock::now() >= until; }, Ms + 1000);
}

}  // namespace

TEST(UpdateBrackets, NestedBracketsSettleOnceAtTheOutermostEnd)
{
    TBracketDocumentPtr doc = MakeBracketDocument();
    doc->SetStatusText("ready");
    doc->BeginUpdate("outer");
    EXPECT_TRUE(doc->Busy);
    doc->BeginUpdate("inner");
    EXPECT_EQ(doc->GetStatusText(), "inner");
    TNodeData* row = AddTask(*doc, "B", Date(), 2);
    EXPECT_FALSE(row->nodeValid) << "nothing is checked inside a bracket";
    EXPECT_FALSE(doc->fDelayedUpdateBounds);
    EXPECT_FALSE(doc->fDelayedUpdateEmptyRows);
    EXPECT_FALSE(doc->OverlappingTimer->Enabled());

    doc->EndUpdate();
    EXPECT_EQ(doc->GetStatusText(), "outer");
    EXPECT_TRUE(doc->IsUpdating());
    EXPECT_EQ(doc->Count("GroupTab"), 0);
    EXPECT_FALSE(row->nodeValid);

    doc->EndUpdate();
    EXPECT_FALSE(doc->IsUpdating());
    EXPECT_EQ(doc->GetStatusText(), "ready");
    EXPECT_FALSE(doc->Busy);
    EXPECT_EQ(doc->Count("GroupTab"), 1);
    EXPECT_EQ(doc->Count("PageChange"), 1);
    EXPECT_EQ(doc->Count("ChartStart"), 1);
    EXPECT_TRUE(row->nodeValid);
    EXPECT_EQ(row->nodePosition, 1);
    EXPECT_TRUE(row->RecalcEndOf);
    // Scheduled once, run later: nothing of the deferred work ran yet.
    EXPECT_TRUE(doc->fDelayedUpdateBounds);
    EXPECT_TRUE(doc->OverlappingTimer->Enabled());
    EXPECT_EQ(doc->Count("BoundsProc"), 0);
    EXPECT_EQ(doc->Count("OverlapProc"), 0);
}

TEST(UpdateBrackets, AnEndUpdateTooManyIsIgnored)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TBracketDocumentPtr doc = MakeBracketDocument();
    doc->SetStatusText("ready");
    EXPECT_DEBUG_DEATH(doc->EndUpdate(), "EndUpdate without BeginUpdate");
    EXPECT_EQ(doc->FUpdating, 0);
    EXPECT_EQ(doc->GetStatusText(), "ready");
    EXPECT_EQ(doc->Count("GroupTab"), 0);

    // The next bracket is whole: it opens, and its end settles.
    doc->BeginUpdate("work");
    EXPECT_TRUE(doc->IsUpdating());
    doc->EndUpdate();
    EXPECT_FALSE(doc->IsUpdating());
    EXPECT_EQ(doc->GetStatusText(), "ready");
    EXPECT_EQ(doc->Count("GroupTab"), 1);
}

TEST(UpdateBrackets, ABurstOfOverlapRequestsRunsOnce)
{
    // The timer is driven here, not waited for: how long it waits is the
    // slow tests' business.
    EnsureApplication();
    TBracketDocumentPtr doc = MakeBracketDocument();
    doc->OverlappingTimer->SetInterval(3600000);
    for (int i = 0; i < 4; ++i) {
        doc->UpdateOverlapping(true);
        EXPECT_TRUE(doc->OverlappingTimer->Enabled());
        doc->ApplicationEvents1Idle();
        ProcessEvents();
    }
    EXPECT_TRUE(doc->OverlapRuns.empty()) << "nothing runs before the timer fires";
    doc->OverlappingTimerTimer(nullptr);
    EXPECT_FALSE(doc->OverlappingTimer->Enabled());
    ASSERT_TRUE(RunIdleUntil(*doc, [&] { return !doc->OverlapRuns.empty(); }, 5000));
    EXPECT_FALSE(doc->fDelayedUpdateOverlapping || doc->OverlappingTimer->Enabled());
    doc->IdleTimerTimer(nullptr);
    EXPECT_EQ(doc->OverlapRuns.size(), 1u) << "the burst ran once";
}

TEST(UpdateBrackets, IdleWorkRunsInOrderAndOnlyForRaisedFlags)
{
    EnsureApplication();
    TBracketDocumentPtr doc = MakeBracketDocument();
    doc->fDelayedUpdateOverlapping = true;
    doc->fDelayedUpdateBounds = true;
    doc->fDelayedUpdateEmptyRows = true;
    ASSERT_TRUE(RunIdleUntil(*doc, [&] { return doc->Count("Network") > 0; }, 3000));
    const std::vector<String> expected = {"EmptyRowsProc", "BoundsProc", "OverlapProc", "Network"};
    EXPECT_EQ(std::vector<String>(doc->Calls.begin(), doc->Calls.begin() + 4), expected);
    EXPECT_FALSE(doc->fDelayedUpdateBounds || doc->fDelayedUpdateOverlapping || doc->fDelayedUpdateEmptyRows);

    doc->Calls.clear();
    doc->fDelayedUpdateBounds = true;
    ASSERT_TRUE(RunIdleUntil(*doc, [&] { return doc->Count("Network") > 0; }, 3000));
    EXPECT_EQ(doc->Count("BoundsProc"), 1);
    EXPECT_EQ(doc->Count("OverlapProc"), 0);
    EXPECT_EQ(doc->Count("EmptyRowsProc"), 0);
}

TEST(UpdateBrackets, TimersLeaveTheirWorkUntilLoadingEnds)
{
    EnsureApplication();
    TBracketDocumentPtr doc = MakeBracketDocument();
    doc->SetLoading(true);
    doc->UpdateOverlapping(true);
    doc->UpdateBounds(true);
    RunFor(*doc, 700);
    EXPECT_EQ(doc->Count("OverlapProc"), 0);
    EXPECT_EQ(doc->Count("BoundsProc"), 0);
    EXPECT_TRUE(doc->fDelayedUpdateBounds) << "the flags stay raised";

    doc->SetLoading(false);
    ASSERT_TRUE(RunIdleUntil(*doc, [&] { return doc->Count("OverlapProc") > 0; }, 3000));
    EXPECT_EQ(doc->Count("BoundsProc"), 1);
    EXPECT_FALSE(doc->fDelayedUpdateBounds);
}

TEST(UpdateBounds, DataRangeWithMarginAndVisibleWidth)
{
    TBracketDocumentPtr doc = MakeBracketDocument();
    // No valid rows: now +- 14 days, widened to the visible days.
    doc->VisibleDays = 40;
    const TDateTime before = Now();
    doc->UpdateBounds(false);
    EXPECT_NEAR(doc->FDataMinDate, before - 14, 0.01);
    EXPECT_NEAR(doc->FDataMaxDate, before + 40 + 14, 0.01);
    EXPECT_DOUBLE_EQ(doc->AutoLow, doc->FDataMinDate);
    EXPECT_DOUBLE_EQ(doc->AutoHigh, doc->FDataMaxDate);

    doc->VisibleDays = 0;
    const TDateTime start = Date() + 100;
    TNodeData* a = AddTask(*doc, "A", start, 3);
    TNodeData* b = AddTask(*doc, "B", start + 10, 5);
    ASSERT_TRUE(a->nodeValid && b->nodeValid);
    b->nodeTermin = start + 30;
    doc->FUserDate = 0;  // not a usable date
    doc->UpdateBounds(false);
    EXPECT_DOUBLE_EQ(doc->FDataMinDate, start - 14);
    EXPECT_DOUBLE_EQ(doc->FDataMaxDate, start + 30 + 14);
    EXPECT_DOUBLE_EQ(doc->FUserDate, start - 14);
    EXPECT_TRUE(a->RecalcEndOf);

    // A user date outside the data widens the timechart, not the data.
    doc->FUserDate = start - 40;
    doc->UpdateBounds(false);
    EXPECT_DOUBLE_EQ(doc->FMinDate, start - 40);
    EXPECT_DOUBLE_EQ(doc->FDataMinDate, start - 14);

    // Nothing runs inside a bracket.
    doc->BeginUpdate("x");
    doc->Calls.clear();
    doc->UpdateBounds(false);
    doc->UpdateEmptyRows(false);
    doc->UpdateOverlapping(false);
    EXPECT_TRUE(doc->Calls.empty());
    doc->EndUpdate();
}

TEST(UpdateEmptyRows, HidesPositionsNoRowUses)
{
    TBracketDocumentPtr doc = MakeBracketDocument({"A", "B,,2", "C", "D,,3"});
    auto names = [&] {
        std::vector<String> out;
        for (int i = 0; i < doc->FGlobalPositionFilter->Count(); ++i)
            out.push_back(doc->FGlobalPositionFilter->Item(i, 0));
        return out;
    };
    const std::vector<String> all = names();
    ASSERT_EQ(all.size(), 7u);
    AddTask(*doc, "A", Date(), 1);
    AddTask(*doc, "D (2)", Date(), 1);

    doc->HideAll = true;
    doc->UpdateEmptyRows(false);
    EXPECT_EQ(names(), (std::vector<String>{"A", "D (2)"}));

    doc->HideAll = false;
    doc->HideMulti = true;
    doc->UpdateEmptyRows(false);
    EXPECT_EQ(names(), (std::vector<String>{"A", "C", "D (2)"}));

    // Hiding everything would leave nothing: the whole filter comes back.
    TBracketDocumentPtr empty = MakeBracketDocument({"A", "B"});
    empty->HideAll = true;
    empty->UpdateEmptyRows(false);
    EXPECT_EQ(empty->FGlobalPositionFilter->Count(), 2);

    doc->HideMulti = false;
    doc->UpdateEmptyRows(false);
    EXPECT_EQ(names(), all);
}
