#include <random>

#include "DocumentTestSupport.h"
#include "document/DocumentHelpers.h"

namespace {

TDateTime Day(int Y, int M, int D) { return OptEncodeDateW(Y, M, D); }
TDateTime At(int Y, int M, int D, int H, int N) { return Day(Y, M, D) + (H * 60 + N) / 1440.0; }
int MinuteOf(TDateTime X) { return int(std::lround((X - std::floor(X)) * 1440)); }

String Entry(const String& Name, const tWeekInfo& Week, int Rows = 1)
{
    TCommaText entry;
    entry.SetItem(0, Name);
    entry.SetItem(1, WeekInfo2String(Week));
    entry.SetItem(2, IntToStr(Rows));
    return entry.AsString();
}

tWeekInfo SaturdayShift()
{
    tWeekInfo week = DefaultWeekInfo();
    week[Sa].active = true;
    week[Sa].start = 8.0 / 24;
    week[Sa].ende = 12.0 / 24;
    week[Sa].length = 240;
    week[Sa].pause = {};
    return week;
}

tWeekInfo ThreeBreaks()
{
    tWeekInfo week = DefaultWeekInfo();
    for (int d = Mo; d <= Fr; ++d) {
        TDayInfo& day = week[std::size_t(d)];
        day.start = 8.0 / 24;
        day.length = 480;
        day.pause = {TPauseInfo{10.0 / 24, 10}, TPauseInfo{12.0 / 24, 30}, TPauseInfo{14.0 / 24, 10}};
        day.ende = (8 * 60 + 480 + 50) / 1440.0;  // 16:50
    }
    return week;
}

tWeekInfo NightShift()
{
    tWeekInfo week = DefaultWeekInfo();
    for (int d = Mo; d <= Fr; ++d) {
        TDayInfo& day = week[std::size_t(d)];
        day.start = 16.0 / 24;
        day.ende = 1439.0 / 1440;
        day.length = 479;
        day.pause = {};
    }
    return week;
}

tWeekInfo EndsBeforeItStarts()
{
    tWeekInfo week = DefaultWeekInfo();
    for (TDayInfo& day : week) {
        day.active = true;
        day.start = 10.0 / 24;
        day.ende = 9.0 / 24;
    }
    return week;
}

tWeekInfo NoMinutes()
{
    tWeekInfo week = DefaultWeekInfo();
    for (TDayInfo& day : week) {
        day.active = true;
        day.length = 0;
        day.pause = {};
    }
    return week;
}

// A plan in 2024 with Good Friday and Easter Monday as holidays and the
// bounds over the first half of the year. Positions: A default week, B two
// rows (B, "B (1)"), S a Saturday shift, T three breaks, N a night shift,
// X a week that never starts, Z a week of zero-minute days.
class WorkCalendar : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = MakeDocument({Entry("A", DefaultWeekInfo()), Entry("B", DefaultWeekInfo(), 2),
            Entry("S", SaturdayShift()), Entry("T", ThreeBreaks()), Entry("N", NightShift()),
            Entry("X", EndsBeforeItStarts()), Entry("Z", NoMinutes())});
        doc->FMinDate = Day(2024, 1, 1);
        doc->FMaxDate = Day(2024, 6, 30);
        doc->FHolidayList.push_back({"Good Friday", -2, 0, true, true});
        doc->FHolidayList.push_back({"Easter Monday", 1, 0, true, true});
        doc->FHolidayList.push_back({"New Year", 1, 1, true, false});
        doc->FHolidayList.push_back({"Not kept", 1, 5, false, false});
        Refresh();
    }
    void Refresh() { doc->updateAutoEntries(doc->FMinDate, doc->FMaxDate); }

    // A task whose end is to be recomputed, its length in minutes.
    TNodeData* Task(const String& Position, TDateTime Start, int Minutes)
    {
        TNodeData* row = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
        doc->DoSetData(row, doc->GetConnection(tbTable, cnPosition), Position, cmIgnoreNet);
        doc->DoSetStartOf(row, cmIgnoreNet, Start);
        doc->DoSetLengthOf(row, Minutes, cmIgnoreNet);
        return row;
    }
    TDateTime EndOf(const String& Position, TDateTime Start, int Minutes)
    {
        TNodeData* row = Task(Position, Start, Minutes);
        const TDateTime end = doc->GetEndOf(row);
        doc->DeleteNode(row, cmIgnoreNet);
        return end;
    }
    TNodeData* Absent(const String& Position, TDateTime Start, int Days, bool WorkingDays = true)
    {
        TNodeData* row = doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
        doc->DoSetData(row, doc->GetConnection(tbExclude, cnLengthWithWeekend), BoolToCheckText(WorkingDays),
            cmIgnoreNet);
        doc->DoSetData(row, doc->GetConnection(tbExclude, cnPosition), Position, cmIgnoreNet);
        doc->DoSetStartOf(row, cmIgnoreNet, Start);
        doc->DoSetLengthOf(row, Days * 480, cmIgnoreNet);
        doc->GetEndOf(row);
        return row;
    }

    TDocumentPtr doc;
};

struct TEndCase {
    const char* what;
    const char* position;
    TDateTime start;
    int minutes;
    TDateTime end;
};

void ExpectEnds(WorkCalendar& test, TDocumentPtr& doc, const std::vector<TEndCase>& cases,
    TDateTime (WorkCalendar::*EndOf)(const String&, TDateTime, int))
{
    for (const TEndCase& c : cases) {
        const TDateTime end = (test.*EndOf)(c.position, c.start, c.minutes);
        EXPECT_NEAR(end, c.end, 1e-7) << c.what << ": got " << doc->FormatDateTime(end) << " " << MinuteOf(end);
    }
}

}  // namespace

class WorkCalendarEnds : public WorkCalendar {
public:
    using WorkCalendar::EndOf;
};

TEST_F(WorkCalendarEnds, MinuteModeDefaultWeek)
{
    doc->FMinUnit = muMinute;
    const std::vector<TEndCase> cases = {
        {"235 minutes cross the morning break and lunch", "A", At(2024, 1, 8, 8, 0), 235, At(2024, 1, 8, 12, 40)},
        {"running out as a break starts", "A", At(2024, 1, 8, 8, 0), 60, At(2024, 1, 8, 9, 0)},
        {"one minute into the break's far side", "A", At(2024, 1, 8, 8, 0), 61, At(2024, 1, 8, 9, 16)},
        {"a whole day", "A", At(2024, 1, 8, 7, 0), 480, At(2024, 1, 8, 15, 45)},
        {"over night", "A", At(2024, 1, 8, 7, 0), 481, At(2024, 1, 9, 7, 1)},
        {"before the day starts", "A", At(2024, 1, 8, 6, 0), 10, At(2024, 1, 8, 7, 10)},
        {"inside lunch", "A", At(2024, 1, 8, 12, 10), 10, At(2024, 1, 8, 12, 40)},
        {"after the day ends", "A", At(2024, 1, 8, 16, 0), 10, At(2024, 1, 9, 7, 10)},
        {"over the weekend", "A", At(2024, 1, 12, 14, 0), 120, At(2024, 1, 15, 7, 15)},
        {"starting on a Saturday", "A", At(2024, 1, 13, 10, 0), 30, At(2024, 1, 15, 7, 30)},
        {"over Good Friday and Easter Monday", "A", At(2024, 3, 28, 15, 0), 60, At(2024, 4, 2, 7, 15)},
        {"starting on New Year's day", "A", At(2024, 1, 1, 8, 0), 30, At(2024, 1, 2, 7, 30)},
        {"a disabled holiday is a working day", "A", At(2024, 5, 1, 7, 0), 30, At(2024, 5, 1, 7, 30)},
        {"Saturday shift", "S", At(2024, 1, 12, 15, 0), 60, At(2024, 1, 13, 8, 15)},
        {"Saturday shift over Sunday", "S", At(2024, 1, 13, 11, 0), 120, At(2024, 1, 15, 8, 0)},
        {"three breaks", "T", At(2024, 1, 8, 8, 0), 300, At(2024, 1, 8, 13, 40)},
        {"three breaks, the whole day", "T", At(2024, 1, 8, 8, 0), 480, At(2024, 1, 8, 16, 50)},
        {"night shift to 23:59", "N", At(2024, 1, 8, 16, 0), 479, At(2024, 1, 8, 23, 59)},
        {"night shift into the next evening", "N", At(2024, 1, 8, 16, 0), 480, At(2024, 1, 9, 16, 1)},
        {"all positions count calendar days", "*", At(2024, 1, 12, 8, 0), 960, At(2024, 1, 14, 8, 0)},
        {"a walk past the bounds skips weekends", "A", At(2026, 1, 9, 15, 0), 60, At(2026, 1, 12, 7, 15)},
        {"32-bit lengths", "A", At(2024, 1, 8, 7, 0), 480 * 200, At(2024, 10, 15, 15, 45)},
    };
    ExpectEnds(*this, doc, cases, &WorkCalendarEnds::EndOf);
}

TEST_F(WorkCalendarEnds, DayMode)
{
    const std::vector<TEndCase> cases = {
        {"one day on a working day", "A", Day(2024, 1, 8), 480, Day(2024, 1, 8)},
        {"a week", "A", Day(2024, 1, 8), 5 * 480, Day(2024, 1, 12)},
        {"one day from a Saturday", "A", Day(2024, 1, 13), 480, Day(2024, 1, 15)},
        {"over the weekend", "A", Day(2024, 1, 12), 2 * 480, Day(2024, 1, 15)},
        {"over Easter", "A", Day(2024, 3, 28), 2 * 480, Day(2024, 4, 2)},
        {"Saturday shift", "S", Day(2024, 1, 12), 2 * 480, Day(2024, 1, 13)},
        {"all positions", "*", Day(2024, 1, 12), 3 * 480, Day(2024, 1, 14)},
        {"past the bounds", "A", Day(2026, 1, 9), 2 * 480, Day(2026, 1, 12)},
    };
    ExpectEnds(*this, doc, cases, &WorkCalendarEnds::EndOf);
}

TEST_F(WorkCalendarEnds, AbsentDaysOfThePosition)
{
    Absent("A", Day(2024, 1, 9), 1);              // Tuesday
    Absent("*", Day(2024, 1, 17), 1);             // Wednesday, everyone
    Absent("B (1)", Day(2024, 1, 23), 2);         // one row of B: Tuesday, Wednesday
    Absent("C-unknown", Day(2024, 1, 8), 5);      // no such position: ignored
    for (TMinUnit unit : {muDay, muMinute}) {
        doc->FMinUnit = unit;
        const bool minutes = unit == muMinute;
        auto at = [&](int Y, int M, int D) { return minutes ? At(Y, M, D, 7, 0) : Day(Y, M, D); };
        auto end = [&](int Y, int M, int D) { return minutes ? At(Y, M, D, 15, 45) : Day(Y, M, D); };
        const std::vector<TEndCase> cases = {
            {"own absent day", "A", at(2024, 1, 8), 2 * 480, end(2024, 1, 10)},
            {"another position's absent day", "B", at(2024, 1, 8), 2 * 480, end(2024, 1, 9)},
            {"absent for all", "B", at(2024, 1, 16), 2 * 480, end(2024, 1, 18)},
            {"absent on the other row of B", "B", at(2024, 1, 22), 2 * 480, end(2024, 1, 25)},
            {"the row itself", "B (1)", at(2024, 1, 22), 2 * 480, end(2024, 1, 25)},
            {"all positions ignore absent days", "*", Day(2024, 1, 16), 480, minutes ? Day(2024, 1, 17) : Day(2024, 1, 16)},
        };
        ExpectEnds(*this, doc, cases, &WorkCalendarEnds::EndOf);
    }
}

TEST_F(WorkCalendar, AbsentDayLengths)
{
    // Working days: Friday + 3 working days ends on Tuesday; calendar days on Sunday.
    TNodeData* working = Absent("A", Day(2024, 1, 12), 3, true);
    TNodeData* calendar = Absent("A", Day(2024, 1, 12), 3, false);
    TNodeData* easter = Absent("A", Day(2024, 3, 28), 2, true);
    EXPECT_EQ(working->nodeEnd, Day(2024, 1, 16));
    EXPECT_EQ(calendar->nodeEnd, Day(2024, 1, 14));
    EXPECT_EQ(easter->nodeEnd, Day(2024, 4, 2));
    EXPECT_EQ(doc->GetData_(working, cnEnd), "16.01.2024");
    doc->FMinUnit = muMinute;
    doc->SetRecalcEndOf(working, true);
    EXPECT_EQ(doc->GetEndOf(working), Day(2024, 1, 16)) << "absent days count whole days in minute mode too";
    // Absent days never exclude each other.
    Absent("A", Day(2024, 1, 15), 1, true);
    doc->SetRecalcEndOf(working, true);
    EXPECT_EQ(doc->GetEndOf(working), Day(2024, 1, 16));
    // A length typed into an existing absent day moves its end at once.
    doc->DoSetLengthOf(calendar, 5 * 480, cmIgnoreNet);
    EXPECT_EQ(doc->GetEndOf(calendar), Day(2024, 1, 16));
}

TEST_F(WorkCalendar, StartZeroKeepsTheFlag)
{
    TNodeData* row = Task("A", 0, 480);
    doc->DoSetData(row, doc->GetConnection(tbTable, cnStart), "", cmIgnoreNet);
    ASSERT_EQ(row->nodeStart, 0);
    EXPECT_EQ(doc->GetEndOf(row), 0);
    EXPECT_TRUE(row->RecalcEndOf);
    doc->SetRecalcEndOf(row, false);
    row->nodeEnd = 123;
    EXPECT_EQ(doc->GetEndOf(row), 123) << "no recalculation asked";
}

TEST_F(WorkCalendar, WalksThatFindNoTimeGiveUp)
{
    const TDateTime limit = std::ceil(doc->FMaxDate + 7300);
    for (TMinUnit unit : {muDay, muMinute}) {
        doc->FMinUnit = unit;
        for (const char* position : {"X", "Z"}) {
            if (unit == muDay && String(position) == "Z")
                continue;  // zero-minute days still count as days
            TNodeData* row = Task(position, At(2024, 1, 8, 8, 0), 480);
            EXPECT_EQ(doc->GetEndOf(row), limit) << position;
            EXPECT_FALSE(row->RecalcEndOf);
            EXPECT_FALSE(row->nodeValid) << "an end past the accepted dates";
        }
        // More work than the years up to the limit hold.
        TNodeData* huge = Task("A", At(2024, 1, 8, 8, 0), 480 * 6000);
        EXPECT_EQ(doc->GetEndOf(huge), limit);
        EXPECT_FALSE(huge->nodeValid);
    }
    doc->FMinUnit = muDay;
    TNodeData* days = Task("Z", Day(2024, 1, 8), 480);
    EXPECT_EQ(doc->GetEndOf(days), Day(2024, 1, 8));
}

TEST_F(WorkCalendar, AutomaticEntries)
{
    // Impossible fixed dates are skipped, the rest stays.
    doc->FHolidayList.push_back({"Leap", 29, 2, true, false});
    doc->FHolidayList.push_back({"Day 31", 31, 4, true, false});
    doc->FHolidayList.push_back({"Zero", 0, 0, true, false});
    doc->FMinDate = Day(2023, 12, 1);
    doc->FMaxDate = Day(2025, 3, 31);
    Refresh();
    std::vector<String> names;
    std::vector<TDateTime> holidays;
    int weekend = 0, rowsOfA = 0;
    for (int i = 0; i < doc->FAutoExcludeList.Count(); ++i) {
        const TDateListItem* item = doc->FAutoExcludeList.GetItems(i);
        EXPECT_EQ(item->ende, item->start + 1);
        if (i > 0) {
            EXPECT_GE(item->start, doc->FAutoExcludeList.GetItems(i - 1)->start) << "sorted";
        }
        if (item->position == AllPositions) {
            names.push_back(item->name);
            holidays.push_back(item->start);
        } else {
            ++weekend;
            rowsOfA += item->position == 0;
        }
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "Leap"), 1) << "only 2024 has 29 February";
    EXPECT_EQ(std::count(names.begin(), names.end(), "Day 31"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Zero"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Not kept"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Good Friday"), 3) << "2023 to 2025";
    EXPECT_NE(std::find(holidays.begin(), holidays.end(), Day(2024, 3, 29)), holidays.end());
    EXPECT_NE(std::find(holidays.begin(), holidays.end(), Day(2025, 4, 21)), holidays.end());
    // A's Saturdays and Sundays from 1 Dec 2023 to 30 Mar 2025.
    int expected = 0;
    for (TDateTime d = doc->FMinDate; d < doc->FMaxDate; d += 1)
        expected += WeekDayIndex(Int64(d)) == So || WeekDayIndex(Int64(d)) == Sa;
    EXPECT_EQ(rowsOfA, expected);
    EXPECT_GT(weekend, rowsOfA);

    // The list a walk of row 0 reads: its own and everyone's entries, in order.
    tDateList list;
    doc->AddAutoExcludeToDateList(list, 0);
    EXPECT_EQ(list.Count(), rowsOfA + int(names.size()));
    for (int i = 1; i < list.Count(); ++i)
        EXPECT_LE(list.GetItems(i - 1)->start, list.GetItems(i)->start);
    // A bad bounds pair gives no entries and no hang.
    doc->updateAutoEntries(NAN, 100);
    EXPECT_EQ(doc->FAutoExcludeList.Count(), 0);
}

TEST_F(WorkCalendar, WeeksAndDaySpanOfTheShownRows)
{
    EXPECT_EQ(WeekInfo2String(doc->GetWeekInfo(3)), WeekInfo2String(SaturdayShift()));
    EXPECT_EQ(WeekInfo2String(doc->GetWeekInfo(2)), WeekInfo2String(DefaultWeekInfo())) << "B (1) copies B";
    EXPECT_EQ(WeekInfo2String(doc->GetWeekInfo(99)), WeekInfo2String(DefaultWeekInfo()));
    EXPECT_NEAR(doc->FMinDayStart, 7.0 / 24, 1e-9);
    EXPECT_NEAR(doc->FMaxDayEnd, 1439.0 / 1440, 1e-9);

    // A position entry whose week text is broken reads as the default week.
    TStringList* list = doc->GetColumnStrings(tbTable, 0);
    TCommaText broken(list->Get(2));
    broken.SetItem(1, "1,2,3");
    list->Put(2, broken.AsString());
    doc->ApplyPositionGroup();
    EXPECT_EQ(WeekInfo2String(doc->GetWeekInfo(3)), WeekInfo2String(DefaultWeekInfo()));

    doc->TScheduleDocument::CreateDefaultWeekInfo();
    doc->ApplyPositionGroup();
    for (int i = 0; i < list->Count(); ++i)
        EXPECT_EQ(CommaTextItem(list->Get(i), 1), WeekInfo2String(DefaultWeekInfo()));
    EXPECT_EQ(CommaTextItem(list->Get(1), 2), "2") << "the row count stays";
}

TEST_F(WorkCalendar, LengthsInDayModeAndForAbsentDays)
{
    Absent("A", Day(2024, 1, 9), 1);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 0, Day(2024, 1, 8), Day(2024, 1, 12)), 3 * 480) << "Tuesday is absent";
    EXPECT_EQ(doc->calcLengthOf(tbTable, 0, Day(2024, 1, 12), Day(2024, 1, 16)), 480 * 2);
    doc->FDefaultCalcWorkdays = false;
    EXPECT_EQ(doc->calcLengthOf(tbExclude, 0, Day(2024, 1, 12), Day(2024, 1, 15)), 3 * 480)
        << "calendar days in minutes of 480";
    doc->FDefaultCalcWorkdays = true;
    EXPECT_EQ(doc->calcLengthOf(tbExclude, 0, Day(2024, 1, 12), Day(2024, 1, 16)), 2 * 480)
        << "absent days do not exclude absent days";
}

// GetEndOf(from, calcLengthOf(from, till)) == till for every till inside
// working time, and calcLengthOf(from, GetEndOf(from, m)) == m.
TEST_F(WorkCalendar, LengthIsTheInverseOfTheEndInMinuteMode)
{
    doc->FMinUnit = muMinute;
    Absent("A", Day(2024, 2, 6), 2);
    Absent("*", Day(2024, 2, 14), 1);
    std::mt19937 rng(20240108);
    const TDateTime first = Day(2024, 1, 29);
    struct TWeekRow {
        const char* position;
        int row;
    } const rows[] = {{"A", 0}, {"S", 3}, {"T", 4}, {"N", 5}};
    int checked = 0;
    for (const TWeekRow& r : rows) {
        for (int i = 0; i < 60; ++i) {
            const TDateTime from = first + double(rng() % 30) + double(rng() % 1440) / 1440.0;
            const int m = 1 + int(rng() % 3000);
            const TDateTime till = EndOf(r.position, from, m);
            ASSERT_EQ(doc->calcLengthOf(tbTable, r.row, from, till), m)
                << r.position << " from " << doc->FormatDateTime(from) << " for " << m;
            // Every working minute end of the day of till back from it.
            const TDateTime start = EndOf(r.position, from, 1);
            for (int k = 0; k < 4; ++k) {
                const TDateTime t = till - double(rng() % 600) / 1440.0;
                if (t <= start)
                    continue;
                const int length = doc->calcLengthOf(tbTable, r.row, from, t);
                const TDateTime back = EndOf(r.position, from, length);
                if (length > 0 && std::fabs(back - t) > 1e-7) {
                    // Only a till outside working time may differ: then the
                    // minute before it is no working minute.
                    EXPECT_EQ(doc->calcLengthOf(tbTable, r.row, from, t - 1.0 / 1440), length)
                        << r.position << " till " << doc->FormatDateTime(t) << " " << MinuteOf(t);
                } else {
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 300);
}

TEST_F(WorkCalendar, SplittingAtTenGivesAdjoiningParts)
{
    doc->FMinUnit = muMinute;
    const TDateTime from = At(2024, 1, 8, 7, 0);
    const TDateTime split = At(2024, 1, 9, 10, 0);
    const int first = doc->calcLengthOf(tbTable, 0, from, split);
    EXPECT_EQ(first, 480 + 165) << "Tuesday 7:00 to 10:00 less the 15-minute break";
    EXPECT_NEAR(EndOf("A", from, first), split, 1e-7);
}

TEST_F(WorkCalendar, PassesReuseTheAbsentDays)
{
    doc->FMinUnit = muMinute;
    std::vector<TNodeData*> tasks;
    for (int i = 0; i < 20; ++i)
        tasks.push_back(Task(i % 2 ? "A" : "B", At(2024, 1, 8 + i % 7, 8, 0), 300 + 97 * i));
    TNodeData* absent = Absent("A", Day(2024, 1, 10), 2);
    std::vector<TDateTime> plain;
    for (TNodeData* t : tasks)
        plain.push_back(doc->GetEndOf(t));
    // An absent day waiting for its end is measured before the tasks.
    doc->SetRecalcEndOf(absent, true);
    for (TNodeData* t : tasks)
        doc->SetRecalcEndOf(t, true);
    doc->BeginCalendarPass();
    doc->BeginCalendarPass();
    for (std::size_t i = 0; i < tasks.size(); ++i)
        EXPECT_EQ(doc->GetEndOf(tasks[i]), plain[i]) << i;
    doc->EndCalendarPass();
    doc->EndCalendarPass();
    EXPECT_FALSE(absent->RecalcEndOf);
    // After the pass a new absent day counts at once.
    Absent("B", Day(2024, 1, 8), 1);
    doc->SetRecalcEndOf(tasks[0], true);
    EXPECT_GT(doc->GetEndOf(tasks[0]), plain[0]);
}

TEST_F(WorkCalendar, AbsentDayListOfARow)
{
    Absent("A", Day(2024, 1, 9), 1);
    Absent("*", Day(2024, 1, 3), 2);
    Absent("B (1)", Day(2024, 1, 23), 2);
    TNodeData* invalid = Absent("A", Day(2024, 1, 30), 1);
    doc->DoSetData(invalid, doc->GetConnection(tbExclude, cnLength), "", cmIgnoreNet);
    ASSERT_FALSE(invalid->nodeValid);
    tDateList list;
    doc->addTableToDateList(tbExclude, list, 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItems(0)->start, Day(2024, 1, 3));
    EXPECT_EQ(list.GetItems(0)->ende, Day(2024, 1, 5)) << "the last day is inclusive, the entry's end is not";
    EXPECT_EQ(list.GetItems(1)->start, Day(2024, 1, 9));
    tDateList ofB;
    doc->addTableToDateList(tbExclude, ofB, 1);
    EXPECT_EQ(ofB.Count(), 2) << "B sees the absent day of its second row";
    EXPECT_TRUE(ofB.CoversDay(Day(2024, 1, 24)));
    EXPECT_FALSE(ofB.CoversDay(Day(2024, 1, 25)));
}
