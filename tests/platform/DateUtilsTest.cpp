#include "platform/DateUtils.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <ctime>
#include <thread>
#include <tuple>

namespace {

// Settings pinned per test, independent of the machine.
TFormatSettings German()
{
    TFormatSettings s = TFormatSettings::Default();
    s.ShortDateFormat = "dd.mm.yyyy";
    s.DateSeparator = ".";
    s.LongTimeFormat = "hh:nn:ss";
    s.ShortTimeFormat = "hh:nn";
    s.TimeSeparator = ":";
    s.DecimalSeparator = ",";
    return s;
}

TFormatSettings American()
{
    TFormatSettings s = TFormatSettings::Default();
    s.ShortDateFormat = "mm/dd/yyyy";
    s.DateSeparator = "/";
    s.LongTimeFormat = "h:nn:ss ampm";
    s.ShortTimeFormat = "h:nn ampm";
    s.TimeSeparator = ":";
    s.DecimalSeparator = ".";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    return s;
}

TFormatSettings Iso()
{
    TFormatSettings s = German();
    s.ShortDateFormat = "yyyy-mm-dd";
    s.DateSeparator = "-";
    return s;
}

int ThisYear()
{
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

// One millisecond as a day fraction.
constexpr double kMs = 1.0 / 86400000.0;

} // namespace

TEST(DateUtilsCalendar, EncodeDateGivesTheKnownDayNumbers)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2024, 1, 1), 45292);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), std::trunc(MaxDateTime));
}

TEST(DateUtilsCalendar, LeapYearsAndMonthEnds)
{
    for (int y : {2000, 2024, 1600})
        EXPECT_TRUE(IsLeapYear(y)) << y;
    for (int y : {1900, 2023, 2100})
        EXPECT_FALSE(IsLeapYear(y)) << y;
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(1900, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInAMonth(2023, 13), 0);

    TDateTime d = 123;
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, d));
    using YMD = std::tuple<int, int, int>;
    for (auto [y, m, dd] : std::initializer_list<YMD>{{1900, 2, 29}, {2100, 2, 29}, {2023, 2, 29},
                                                      {2023, 4, 31}, {2023, 13, 1}, {2023, 0, 1},
                                                      {2023, 1, 0}, {0, 1, 1}, {10000, 1, 1}}) {
        TDateTime v = 7;
        EXPECT_FALSE(TryEncodeDate(y, m, dd, v)) << y << "-" << m << "-" << dd;
        EXPECT_EQ(v, 7);
        EXPECT_THROW(EncodeDate(y, m, dd), EConvertError);
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(10, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(10, 0, 0, 1000), EConvertError);
}

TEST(DateUtilsCalendar, EveryDayFrom1599To2101DecodesToTheNextCalendarDay)
{
    // Walks across 1600, 1700, 1800, 1899-12-30, 1900, 2000 and 2100.
    int y = 1599, m = 1, d = 1;
    const TDateTime first = EncodeDate(y, m, d);
    const TDateTime last = EncodeDate(2101, 1, 1);
    int expectedDow = DayOfWeek(first);
    for (TDateTime v = first; v <= last; v += 1) {
        int dy, dm, dd;
        DecodeDate(v, dy, dm, dd);
        ASSERT_EQ(dy, y) << v;
        ASSERT_EQ(dm, m) << v;
        ASSERT_EQ(dd, d) << v;
        ASSERT_EQ(EncodeDate(y, m, d), v);
        ASSERT_EQ(DayOfWeek(v), expectedDow) << v;
        expectedDow = expectedDow % 7 + 1;
        if (++d > DaysInAMonth(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
}

TEST(DateUtilsCalendar, DayOfWeekCountsFromSunday)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // Sunday, a negative value
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);    // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 2, 29)), 3);   // Tuesday
    EXPECT_EQ(DayOfWeek(EncodeDateTime(1899, 12, 29, 23, 0, 0, 0)), 6);
}

TEST(DateUtilsTime, NegativeValuesCountTheTimeFromTheDaysStart)
{
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(std::tuple(y, m, d, h, n, s, ms), std::tuple(1899, 12, 29, 6, 0, 0, 0));
    DecodeDate(-0.5, y, m, d);
    DecodeTime(-0.5, h, n, s, ms);
    EXPECT_EQ(std::tuple(y, m, d, h), std::tuple(1899, 12, 30, 12));

    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 6, 0, 0, 0), 0.25);
    const TDateTime old = EncodeDateTime(1805, 3, 1, 18, 45, 30, 500);
    EXPECT_LT(old, 0);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", old, German()), "01.03.1805 18:45:30.500");
    EXPECT_EQ(DayOfWeek(old), DayOfWeek(std::trunc(old)));
}

TEST(DateUtilsTime, SplittingRoundsToTheMillisecondFirst)
{
    const TDateTime almostTen = EncodeTime(9, 59, 59, 999) + 0.6 * kMs;  // 9:59:59.9996
    int h, n, s, ms;
    DecodeTime(almostTen, h, n, s, ms);
    EXPECT_EQ(std::tuple(h, n, s, ms), std::tuple(10, 0, 0, 0));
    EXPECT_EQ(FormatDateTime("hh:nn", almostTen, German()), "10:00");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", EncodeTime(9, 59, 59, 999) + 0.4 * kMs, German()),
              "09:59:59");

    // Rounding up at the last millisecond of a year moves the date too.
    const TDateTime newYear = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 59, 999) + 0.7 * kMs;
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss", newYear, German()), "01.01.2025 00:00:00");
    EXPECT_EQ(DayOfWeek(newYear), DayOfWeek(EncodeDate(2025, 1, 1)));
    EXPECT_EQ(DateTimeToStr(newYear, German()), "01.01.2025");
}

TEST(DateUtilsTime, OutOfRangeValuesDecodeToZerosWithoutFailing)
{
    for (double v : {-1e9, 1e9, std::nan(""), HUGE_VAL}) {
        int y = 5, m = 5, d = 5;
        DecodeDate(v, y, m, d);
        EXPECT_EQ(std::tuple(y, m, d), std::tuple(0, 0, 0));
        EXPECT_EQ(DayOfWeek(v), 0);
        EXPECT_NO_THROW(FormatDateTime("dddd mmmm c", v, German()));
    }
}

TEST(DateUtilsTime, NowAndDateFollowTheSystemClock)
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double unixDays = static_cast<double>(t + local.tm_gmtoff) / 86400.0;
    EXPECT_NEAR(Now(), unixDays + EncodeDate(1970, 1, 1), 3.0 / 86400);
    const TDateTime today = Date();
    EXPECT_EQ(Frac(today), 0);
    EXPECT_LE(today, Now());
    EXPECT_LT(Now(), today + 1);
}

// Unpins the clock however the test ends.
struct TPinnedClock {
    explicit TPinnedClock(TDateTime value) { PinClock(value); }
    ~TPinnedClock() { UnpinClock(); }
};

TEST(DateUtilsClock, PinnedClockStandsStillUntilAdvanced)
{
    const TDateTime pin = EncodeDateTime(2024, 1, 17, 23, 59, 59, 500);
    TPinnedClock pinned(pin);
    EXPECT_EQ(Now(), pin);
    EXPECT_EQ(Now(), pin);  // no time passes by itself
    EXPECT_EQ(Date(), EncodeDate(2024, 1, 17));
    EXPECT_EQ(Time(), EncodeTime(23, 59, 59, 500));

    // Over midnight, then a whole month on, then back again.
    const TFormatSettings g = German();
    AdvancePinnedClock(500);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", Now(), g), "18.01.2024 00:00:00.000");
    EXPECT_EQ(Date(), EncodeDate(2024, 1, 18));
    EXPECT_EQ(Time(), 0);
    AdvancePinnedClock(31LL * MSecsPerDay + 1);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", Now(), g), "18.02.2024 00:00:00.001");
    AdvancePinnedClock(-(31LL * MSecsPerDay + 1001));
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", Now(), g), "17.01.2024 23:59:59.000");

    // A new pin starts over; advancing a million single milliseconds adds
    // up exactly, with no drift of the fraction.
    PinClock(EncodeDate(2024, 3, 1));
    for (int i = 0; i < 1000000; ++i)
        AdvancePinnedClock(1);
    EXPECT_EQ(Now(), EncodeDateTime(2024, 3, 1, 0, 16, 40, 0));
}

TEST(DateUtilsClock, AdvancingBeforeTheEpochRunsForwardAndStopsAtTheRangeEnds)
{
    // Before 1899-12-30 the fraction counts away from zero; a clock moved on
    // must still run forwards there.
    TPinnedClock pinned(EncodeDateTime(1899, 12, 29, 23, 0, 0, 0));
    AdvancePinnedClock(30 * 60 * 1000);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", Now(), German()), "1899-12-29 23:30");
    AdvancePinnedClock(60 * 60 * 1000);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", Now(), German()), "1899-12-30 00:30");

    PinClock(EncodeDate(9999, 12, 31));
    AdvancePinnedClock(2 * MSecsPerDay);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", Now(), German()), "9999-12-31 23:59:59.999");
    PinClock(EncodeDate(1, 1, 1) + 0.5);
    AdvancePinnedClock(-2 * MSecsPerDay);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", Now(), German()), "0001-01-01 00:00:00.000");
}

TEST(DateUtilsClock, UnpinnedClockIsTheSystemsAndAdvancingItDoesNothing)
{
    PinClock(EncodeDate(2001, 1, 1));
    UnpinClock();
    AdvancePinnedClock(10LL * 365 * MSecsPerDay);
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double unixDays = static_cast<double>(t + local.tm_gmtoff) / 86400.0;
    EXPECT_NEAR(Now(), unixDays + EncodeDate(1970, 1, 1), 3.0 / 86400);
    PinClock(EncodeDate(2001, 1, 1));
    EXPECT_EQ(Now(), EncodeDate(2001, 1, 1));  // the advance while unpinned was not kept
    UnpinClock();
}

TEST(DateUtilsClock, OtherThreadsReadThePinnedClock)
{
    TPinnedClock pinned(EncodeDate(2024, 1, 17));
    // A reader running while the main thread advances always sees a whole
    // number of the steps taken, never a torn value, and never goes back.
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        TDateTime last = 0;
        while (!stop.load()) {
            const TDateTime now = Now();
            const double steps = (now - EncodeDate(2024, 1, 17)) * 86400.0;  // one step = 1 s
            if (now < last || std::fabs(steps - std::round(steps)) > 1e-6)
                ++bad;
            last = now;
        }
    });
    for (int i = 0; i < 20000; ++i)
        AdvancePinnedClock(1000);
    stop = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    TDateTime seen = 0;
    std::thread([&] { seen = Now(); }).join();
    EXPECT_EQ(seen, Now());
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss", seen, German()), "17.01.2024 05:33:20");
}

TEST(DateUtilsCalendar, IncMonthKeepsTheTimeAndCutsTheDay)
{
    const TFormatSettings g = German();
    auto inc = [&](TDateTime v, int n) { return FormatDateTime("dd.mm.yyyy hh:nn", IncMonth(v, n), g); };
    EXPECT_EQ(inc(EncodeDate(2024, 1, 31) + 0.5, 1), "29.02.2024 12:00");
    EXPECT_EQ(inc(EncodeDate(2023, 1, 31), 1), "28.02.2023 00:00");
    EXPECT_EQ(inc(EncodeDate(2024, 3, 31), -1), "29.02.2024 00:00");
    EXPECT_EQ(inc(EncodeDate(2024, 12, 15), 1), "15.01.2025 00:00");
    EXPECT_EQ(inc(EncodeDate(2024, 1, 15), -13), "15.12.2022 00:00");
    EXPECT_EQ(inc(EncodeDate(2024, 5, 31), 0), "31.05.2024 00:00");
    EXPECT_EQ(inc(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), 1), "29.01.1900 06:00");
    EXPECT_EQ(inc(EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1), "29.12.1899 06:00");
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1), -1.25);
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
    EXPECT_DOUBLE_EQ(IncDay(EncodeDate(2024, 2, 28), 2), EncodeDate(2024, 3, 1));
}

TEST(DateUtilsFormat, EveryFormatLetter)
{
    const TFormatSettings g = German();
    const TDateTime v = EncodeDateTime(2024, 3, 5, 7, 8, 9, 45);  // a Tuesday
    const std::pair<const char*, const char*> cases[] = {
        {"d dd ddd dddd", "5 05 Tue Tuesday"}, {"m mm mmm mmmm", "3 03 Mar March"}, {"yy yyyy", "24 2024"},
        {"h hh n nn s ss z zzz", "7 07 8 08 9 09 45 045"}, {"hh:mm", "07:08"},  // m after h is the minute
        {"h.m.yyyy", "7.8.2024"}, {"t|tt", "07:08|07:08:09"}, {"ddddd", "05.03.2024"},
        {"c", "05.03.2024 07:08:09"}, {"", "05.03.2024 07:08:09"}, {"DD.MM.YYYY", "05.03.2024"}, {"d.mmm", "5.Mar"}};
    for (const auto& [fmt, expected] : cases)
        EXPECT_EQ(FormatDateTime(fmt, v, g), expected) << fmt;
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), g), "05.03.2024");
    // Milliseconds pad to the number of letters, three at most.
    const TDateTime early = EncodeTime(0, 0, 3, 5);
    EXPECT_EQ(FormatDateTime("ss.z|ss.zz|ss.zzz|zzzz", early, g), "03.5|03.05|03.005|005");
}

TEST(DateUtilsFormat, ClockMarkersQuotesAndSeparators)
{
    TFormatSettings g = German();
    const TDateTime evening = EncodeTime(22, 5, 0, 0);
    const TDateTime noon = EncodeTime(12, 0, 0, 0);
    const TDateTime midnight = 0;
    EXPECT_EQ(FormatDateTime("h:nn am/pm", evening, g), "10:05 pm");
    EXPECT_EQ(FormatDateTime("h:nn AM/PM", midnight, g), "12:00 AM");
    EXPECT_EQ(FormatDateTime("hh a/p", noon, g), "12 p");
    EXPECT_EQ(FormatDateTime("h ampm", evening, American()), "10 PM");
    EXPECT_EQ(FormatDateTime("hh:nn", evening, g), "22:05");
    // The marker switches only the hour fields before it back to the previous one.
    EXPECT_EQ(FormatDateTime("hh\"h\" - hh:nn am/pm", EncodeTime(15, 8, 0, 0), g), "15h - 03:08 pm");
    EXPECT_EQ(FormatDateTime("h am/pm h", evening, g), "10 pm 22");
    // Letters inside quotes are text.
    EXPECT_EQ(FormatDateTime("\"day\" d 'of' mmmm", EncodeDate(2024, 7, 4), g), "day 4 of July");
    EXPECT_EQ(FormatDateTime("'unclosed d", 0, g), "unclosed d");
    // "/" and ":" stand for the separators.
    g.DateSeparator = "-";
    g.TimeSeparator = ".";
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", EncodeDate(2024, 7, 4) + evening, g),
              "04-07-2024 22.05");
    // A settings format that names itself does not loop.
    g.ShortDateFormat = "ddddd";
    EXPECT_NO_THROW(FormatDateTime("c", 1, g));
}

TEST(DateUtilsFormat, ToStrFollowsTheSettings)
{
    const TDateTime v = EncodeDateTime(2024, 12, 24, 18, 30, 5, 0);
    EXPECT_EQ(DateToStr(v, German()), "24.12.2024");
    EXPECT_EQ(DateToStr(v, American()), "12/24/2024");
    EXPECT_EQ(DateToStr(v, Iso()), "2024-12-24");
    EXPECT_EQ(TimeToStr(v, German()), "18:30:05");
    EXPECT_EQ(TimeToStr(v, American()), "6:30:05 PM");
    EXPECT_EQ(DateTimeToStr(v, German()), "24.12.2024 18:30:05");
    EXPECT_EQ(DateTimeToStr(std::trunc(v), American()), "12/24/2024");
}

TEST(DateUtilsParse, DatesInTheOrderOfTheShortFormat)
{
    EXPECT_EQ(StrToDate("24.12.2024", German()), EncodeDate(2024, 12, 24));
    EXPECT_EQ(StrToDate(" 1.2.2024 ", German()), EncodeDate(2024, 2, 1));
    EXPECT_EQ(StrToDate("12/24/2024", American()), EncodeDate(2024, 12, 24));
    EXPECT_EQ(StrToDate("2024-12-24", Iso()), EncodeDate(2024, 12, 24));
    EXPECT_EQ(StrToDate("29.02.2000", German()), EncodeDate(2000, 2, 29));
    EXPECT_EQ(StrToDate("01.01.0001", German()), MinDateTime);
    EXPECT_EQ(StrToDate("31.12.1800", German()), EncodeDate(1800, 12, 31));
    // A first number with a full year is read year first in any order.
    EXPECT_EQ(StrToDate("2024.12.24", German()), EncodeDate(2024, 12, 24));
    // Day and month alone are in this year, a closing separator allowed.
    EXPECT_EQ(StrToDate("24.12", German()), EncodeDate(ThisYear(), 12, 24));
    EXPECT_EQ(StrToDate("24.12.", German()), EncodeDate(ThisYear(), 12, 24));
    EXPECT_EQ(StrToDate("12/24", American()), EncodeDate(ThisYear(), 12, 24));
}

TEST(DateUtilsParse, TwoDigitYearsGoThroughTheCenturyWindow)
{
    TFormatSettings g = German();
    const int now = ThisYear();
    g.TwoDigitYearCenturyWindow = 0;
    int y, m, d;
    DecodeDate(StrToDate("24.12.05", g), y, m, d);
    EXPECT_EQ(y, now / 100 * 100 + 5);
    g.TwoDigitYearCenturyWindow = 50;
    for (int yy = 0; yy < 100; ++yy) {
        DecodeDate(StrToDate("1.1." + IntToStr(yy), g), y, m, d);
        EXPECT_EQ(y % 100, yy);
        EXPECT_GE(y, now - 50) << yy;
        EXPECT_LT(y, now + 50) << yy;
    }
    // Three digits are a year as written.
    DecodeDate(StrToDate("1.1.024", g), y, m, d);
    EXPECT_EQ(y, 24);
}

TEST(DateUtilsParse, TimesAndDateTimes)
{
    const TFormatSettings g = German();
    const TFormatSettings us = American();
    EXPECT_DOUBLE_EQ(StrToTime("10:30", g), EncodeTime(10, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("7:05:09", g), EncodeTime(7, 5, 9, 0));
    EXPECT_DOUBLE_EQ(StrToTime("7:05:09,25", g), EncodeTime(7, 5, 9, 250));
    EXPECT_DOUBLE_EQ(StrToTime("10:30 pm", us), EncodeTime(22, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:15 AM", us), EncodeTime(0, 15, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12 PM", us), EncodeTime(12, 0, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("24.12.2024 18:30", g), EncodeDateTime(2024, 12, 24, 18, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("24.12.2024", g), EncodeDate(2024, 12, 24));
    EXPECT_DOUBLE_EQ(StrToDateTime("18:30", g), EncodeTime(18, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("12/24/2024 6:30:05 PM", us),
                     EncodeDateTime(2024, 12, 24, 18, 30, 5, 0));
    // Before 1899-12-30 the time still counts from the start of the day.
    EXPECT_DOUBLE_EQ(StrToDateTime("29.12.1899 06:00", g), -1.25);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn", StrToDateTime("03.04.1850 21:15", g), g),
              "03.04.1850 21:15");
}

TEST(DateUtilsParse, TextThatIsNotExactlyADateFails)
{
    const TFormatSettings g = German();
    for (const char* bad : {"", "   ", "24", "24.12.2024x", "24.12.2024 x", "24/12/2024", "24-12-2024",
                            "24..12.2024", "31.02.2024", "29.02.1900", "00.01.2024", "1.13.2024",
                            "1.1.10000", "x24.12.2024", "24.12.2024 18:30", "1234567890.1.1",
                            "24.12.2024."}) {
        TDateTime v = 99;
        EXPECT_FALSE(TryStrToDate(bad, v, g)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToDateDef(bad, -5, g), -5) << bad;
        EXPECT_THROW(StrToDate(bad, g), EConvertError) << bad;
    }
    EXPECT_EQ(StrToDate("24. 12. 2024", g), EncodeDate(2024, 12, 24));
    EXPECT_EQ(StrToDateDef("12/24/2024", 0, g), 0);  // American text, German settings

    for (const char* bad : {"", "10", "10:", "24:00", "10:60", "10:30:60", "10:30x", "10.30",
                            "13:00 PM", "0:30 PM", "00:05 AM", "10:30:15,", "10:30:15,1234", "10:30 AM PM"}) {
        TDateTime v = 99;
        EXPECT_FALSE(TryStrToTime(bad, v, g)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToTimeDef(bad, -5, g), -5) << bad;
    }
    for (const char* bad : {"24.12.2024 25:00", "24.12.2024 10", "24.12.2024 10:30 junk",
                            "24.12.2024T10:30", "24.12.202410:30", "10:30 24.12.2024"}) {
        TDateTime v = 99;
        EXPECT_FALSE(TryStrToDateTime(bad, v, g)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToDateTimeDef(bad, -5, g), -5) << bad;
    }
    try {
        StrToDateTime("soon", g);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'soon' is not a valid date and time");
    }
    try {
        StrToDate("24/12/2024", g);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'24/12/2024' is not a valid date");
    }
}

TEST(DateUtilsParse, WrittenTextReadsBackUnderEachSettings)
{
    for (const TFormatSettings& s : {German(), American(), Iso()}) {
        for (TDateTime v : {EncodeDateTime(2024, 2, 29, 23, 59, 59, 0), EncodeDateTime(1899, 12, 29, 0, 0, 1, 0),
                            EncodeDateTime(1600, 3, 1, 12, 0, 0, 0), EncodeDate(2100, 2, 28),
                            EncodeDateTime(1, 1, 1, 1, 2, 3, 0), EncodeDateTime(9999, 12, 31, 23, 59, 59, 0)}) {
            const String text = DateTimeToStr(v, s);
            EXPECT_NEAR(StrToDateTime(text, s), v, kMs) << text;
            EXPECT_EQ(StrToDate(DateToStr(v, s), s), std::trunc(v)) << text;
        }
    }
}
