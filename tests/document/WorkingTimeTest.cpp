#include <gtest/gtest.h>

#include <random>

#include "document/DateList.h"
#include "document/DocumentHelpers.h"
#include "document/WorkingTime.h"
#include "platform/StringList.h"

namespace {

int Minutes(TDateTime Time) { return int(std::lround(Time * 1440)); }

}  // namespace

TEST(WorkingTime, DefaultWeekIsWeekdaysFromSevenToQuarterToFourWithTwoBreaks)
{
    // Per day: active, start, end, length, then three breaks as start and
    // length, all in minutes; Sunday first.
    String expected;
    for (int d = 0; d < 7; ++d)
        expected += String(d ? "," : "") + (d != So && d != Sa ? "1" : "0") + ",420,945,480,540,15,720,30,0,0";
    EXPECT_EQ(WeekInfo2String(DefaultWeekInfo()), expected);
}

TEST(WorkingTime, WeekTextRoundTripsAndRejectsBadTexts)
{
    tWeekInfo week = DefaultWeekInfo();
    week[Sa].active = true;
    week[Sa].start = 8.0 / 24;
    week[Sa].ende = 12.0 / 24;
    week[Sa].length = 240;
    week[Sa].pause = {};
    week[Mo].ende = 1439.0 / 1440;
    week[Mo].pause[2] = {14.0 / 24, 10};
    const String text = WeekInfo2String(week);
    TStringList items;
    items.SetCommaText(text);
    ASSERT_EQ(items.Count(), 70);
    const tWeekInfo back = String2WeekInfo(text);
    EXPECT_EQ(WeekInfo2String(back), text);
    EXPECT_TRUE(back[Sa].active);
    EXPECT_EQ(Minutes(back[Sa].start), 480);
    EXPECT_EQ(Minutes(back[Mo].ende), 1439);
    EXPECT_EQ(back[Mo].pause[2].length, 10);

    const String defaultText = WeekInfo2String(DefaultWeekInfo());
    items.Delete(69);
    EXPECT_EQ(WeekInfo2String(String2WeekInfo(items.CommaText())), defaultText) << "69 items";
    items.Add("0");
    items.Add("0");
    EXPECT_EQ(WeekInfo2String(String2WeekInfo(items.CommaText())), defaultText) << "71 items";
    items.Delete(70);
    EXPECT_EQ(WeekInfo2String(String2WeekInfo(items.CommaText())), text) << "70 again";

    // A single bad item gives the default week as a whole.
    for (const char* bad : {"x", "", "-1", "1441", "99999999999"}) {
        TStringList broken;
        broken.SetCommaText(text);
        broken.Put(61, bad);  // Saturday's start
        EXPECT_EQ(WeekInfo2String(String2WeekInfo(broken.CommaText())), defaultText) << bad;
    }
    TStringList flag;
    flag.SetCommaText(text);
    flag.Put(10, "2");
    EXPECT_EQ(WeekInfo2String(String2WeekInfo(flag.CommaText())), defaultText) << "active is 0 or 1";
    EXPECT_EQ(WeekInfo2String(String2WeekInfo("")), defaultText);
}

TEST(WorkingTime, EasterSundayAcrossCenturies)
{
    struct {
        int year, month, day;
    } const table[] = {{1818, 3, 22}, {1886, 4, 25}, {1943, 4, 25}, {1961, 4, 2}, {2000, 4, 23}, {2008, 3, 23},
        {2011, 4, 24}, {2019, 4, 21}, {2024, 3, 31}, {2038, 4, 25}, {2285, 3, 22}, {1700, 4, 11}, {2100, 3, 28}};
    for (const auto& e : table) {
        const TDateTime easter = GetEasterSunday(e.year);
        int y, m, d;
        OptDecodeDateW(easter, y, m, d);
        EXPECT_EQ(y, e.year);
        EXPECT_EQ(m, e.month) << e.year;
        EXPECT_EQ(d, e.day) << e.year;
        EXPECT_EQ(WeekDayIndex(Int64(easter)), So) << e.year;
    }
    EXPECT_EQ(GetEasterSunday(0), 0);
    EXPECT_EQ(GetEasterSunday(10000), 0);
}

TEST(WorkingTime, WeekDayIndexMatchesTheCalendar)
{
    EXPECT_EQ(WeekDayIndex(0), Sa);  // 1899-12-30
    EXPECT_EQ(WeekDayIndex(Int64(OptEncodeDateW(2024, 1, 8))), Mo);
    EXPECT_EQ(WeekDayIndex(-1), Fr);
    for (Int64 d = -20; d < 20; ++d)
        EXPECT_EQ(WeekDayIndex(d), DayOfWeek(double(d)) - 1) << d;
}

TEST(DateCoverage, BinarySearchAgreesWithAScan)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 50; ++round) {
        tDateList list;
        const int n = int(rng() % 40);
        for (int i = 0; i < n; ++i) {
            const double start = double(rng() % 200);
            const double ende = start + double(rng() % 12);  // empty entries too
            list.Add(start, ende, 0);
        }
        for (double day = -2; day < 215; day += 1) {
            bool scan = false;
            for (int i = 0; i < list.Count(); ++i)
                scan = scan || (list.GetItems(i)->start <= day && day <= list.GetItems(i)->ende - 1);
            ASSERT_EQ(list.CoversDay(day), scan) << "round " << round << " day " << day;
        }
        // A change of the list is seen by the next query.
        list.Add(300, 301, 0);
        EXPECT_TRUE(list.CoversDay(300));
        list.Clear();
        EXPECT_FALSE(list.CoversDay(300));
    }
}

TEST(DateCoverage, IncrementalAddsAndNaNEntries)
{
    TDateCoverage cover;
    EXPECT_FALSE(cover.Covers(5));
    cover.Add(10, 20);
    EXPECT_TRUE(cover.Covers(19));
    EXPECT_FALSE(cover.Covers(20)) << "the end is exclusive";
    cover.Add(2, 4);
    cover.Add(NAN, 100);
    cover.Add(50, NAN);
    EXPECT_TRUE(cover.Covers(3));
    EXPECT_TRUE(cover.Covers(15)) << "earlier entries survive a rebuild";
    EXPECT_FALSE(cover.Covers(60));
    EXPECT_FALSE(cover.Covers(NAN));
}
