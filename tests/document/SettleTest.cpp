// A document settled without an event loop ends as the window shows it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

namespace {

using TPlanPtr = TOwnedDocument<TScheduleDocument>;

struct TPlanDates {
    TDateTime Easter = 0;
    TDateTime Fixed = 0;  // a Wednesday in June
};

// A plan two years ahead, its ends not yet computed: a two-day task from
// the Thursday before Good Friday, one from the day before Ascension Day,
// one from the day before a fixed holiday, and a one-day task on a position
// that never works.
TPlanDates WritePlan(const String& FileName, TMinUnit Unit)
{
    TPlanPtr doc = NewBareDocument<TScheduleDocument>();
    doc->ActionNew();
    doc->FMinUnit = Unit;
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    TPlanDates dates;
    dates.Easter = GetEasterSunday(year + 2);
    dates.Fixed = EncodeDate(year + 2, 6, 1);
    while (WeekDayIndex(Int64(dates.Fixed)) != Mi)
        dates.Fixed += 1;

    tWeekInfo never = DefaultWeekInfo();
    for (TDayInfo& d : never)
        d.active = false;
    TStringList* positions = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    positions->Clear();
    positions->Add(PositionEntry("A"));
    TCommaText idle;
    idle.SetItem(0, "Idle");
    idle.SetItem(1, WeekInfo2String(never));
    positions->Add(idle.AsString());
    doc->ApplyPositionGroup();

    doc->ClearHoliday();
    doc->AddHoliday("Karfreitag", -2, true, true, 0);
    doc->AddHoliday("Ostermontag", 1, true, true, 0);
    doc->AddHoliday("Himmelfahrt", 39, true, true, 0);
    doc->AddHoliday("Stadtfest", int(std::lround(dates.Fixed - EncodeDate(year + 2, 6, 1))) + 1, true, false, 6);

    const TDateTime morning = Unit == muMinute ? 7.0 / 24 : 0;
    const auto task = [&](const String& Position, TDateTime Start, int Days) {
        TNodeData* row = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
        doc->DoSetData(row, doc->GetConnection(tbTable, cnPosition), Position, cmIgnoreNet);
        doc->DoSetStartOf(row, cmIgnoreNet, Start + morning);
        doc->DoSetLengthOf(row, Days * 480, cmIgnoreNet);
    };
    task("A", dates.Easter - 3, 2);
    task("A", dates.Easter + 38, 2);
    task("A", dates.Fixed - 1, 2);
    task("Idle", dates.Easter + 100, 1);
    doc->FKomprimiert = false;
    doc->SaveTo(FileName);
    return dates;
}

TPlanPtr Loaded(const String& FileName)
{
    TPlanPtr doc = NewBareDocument<TScheduleDocument>();
    doc->ActionNew();
    EXPECT_TRUE(doc->Load(FileName));
    return doc;
}

// What a window does after a load: the idle ticks and the overlap timer run
// from the event loop, and the rows shown get their ends, until nothing
// changes any more.
void SettleThroughTheEventLoop(TScheduleDocument& Doc)
{
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                Doc.ApplicationEvents1Idle();
                return !Doc.fDelayedUpdateBounds && !Doc.fDelayedUpdateEmptyRows && !Doc.fDelayedUpdateOverlapping &&
                       !Doc.OverlappingTimer->Enabled();
            },
            20000));
        bool changed = false;
        Doc.ForEach(feAll, 0, [&](TNodeData* Row, NativeInt) {
            const String before = Doc.GetData_(Row, cnEnd);
            Doc.GetEndOf(Row);
            changed = changed || Doc.GetData_(Row, cnEnd) != before;
        });
        if (!changed && !Doc.fDelayedUpdateBounds && !Doc.OverlappingTimer->Enabled())
            return;
    }
    FAIL() << "the document never settled";
}

std::vector<TDateTime> Ends(TScheduleDocument& Doc)
{
    std::vector<TDateTime> ends;
    for (TNodeData* row : TableRows(Doc, tbTable))
        ends.push_back(Doc.GetEndOf(row));
    return ends;
}

}  // namespace

TEST(Settle, HeadlessEndsEqualTheWindowsAndSkipEveryHoliday)
{
    // Before any document: its timers need the event loop from the start.
    EnsureApplication();
    for (TMinUnit unit : {muDay, muMinute}) {
        SCOPED_TRACE(unit == muDay ? "day mode" : "minute mode");
        const String name = vektest::TempDir() + "/ahead.vek";
        const TPlanDates dates = WritePlan(name, unit);

        TPlanPtr headless = Loaded(name);
        headless->SettleDeferredUpdates();
        EXPECT_FALSE(headless->fDelayedUpdateBounds || headless->fDelayedUpdateOverlapping ||
                     headless->fDelayedUpdateEmptyRows || headless->OverlappingTimer->Enabled());
        TPlanPtr window = Loaded(name);
        SettleThroughTheEventLoop(*window);

        const std::vector<TDateTime> ends = Ends(*headless);
        ASSERT_EQ(ends.size(), 4u);
        EXPECT_EQ(ends, Ends(*window));
        EXPECT_DOUBLE_EQ(headless->FDataMaxDate, window->FDataMaxDate);
        for (TNodeData* row : TableRows(*headless, tbTable))
            EXPECT_EQ(headless->GetData_(row, cnEnd), window->GetData_(row, cnEnd));

        // The last working day of each: past Easter Monday, past Ascension
        // Day, past the fixed holiday.
        const TDateTime expected[] = {dates.Easter + 2, dates.Easter + 40, dates.Fixed + 1};
        for (int i = 0; i < 3; ++i)
            EXPECT_DOUBLE_EQ(std::floor(ends[std::size_t(i)]), expected[i]) << "task " << i;
        // A position that never works ends at the guard beyond the data.
        EXPECT_GT(headless->FDataMaxDate, Date() + 300);
        EXPECT_DOUBLE_EQ(ends[3], std::ceil(headless->FDataMaxDate + 7300));
    }
}

TEST(Settle, NothingRunsInsideABracketOrWhileLoading)
{
    const String name = vektest::TempDir() + "/ahead.vek";
    WritePlan(name, muDay);
    TPlanPtr doc = Loaded(name);
    doc->BeginUpdate("x");
    doc->SettleDeferredUpdates();
    EXPECT_TRUE(doc->fDelayedUpdateBounds) << "left for the bracket's end";
    doc->EndUpdate();
    doc->SetLoading(true);
    doc->SettleDeferredUpdates();
    EXPECT_TRUE(doc->fDelayedUpdateBounds);
    doc->SetLoading(false);
    doc->SettleDeferredUpdates();
    EXPECT_FALSE(doc->fDelayedUpdateBounds);
}
