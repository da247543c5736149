#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "document/CommaText.h"
#include "document/DateList.h"
#include "document/DocumentHelpers.h"
#include "document/ScheduleDocument.h"
#include "platform/StdCtrls.h"

namespace {

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace

TEST(CommaText, ItemsOutOfRangeReadEmptyAndWritesGrow)
{
    TCommaText list("a,b,c");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(5), "");
    EXPECT_EQ(list.Item(-1), "");
    EXPECT_EQ(list.Item(1, 3), "");
    list.SetItem(5, "x");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.AsString(), "a,b,c,,,x");
    list.SetItem(-2, "ignored");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_THROW(list.Delete(6), EStringListError);
    EXPECT_EQ(list.IndexOf("X"), 5) << "compared as the string list compares";
}

TEST(CommaText, NestedThreeDeep)
{
    TCommaText outer;
    outer.SetItem(1, 2, 3, "deep, \"quoted\"");
    EXPECT_EQ(outer.Count(), 2);
    EXPECT_EQ(outer.Count(1), 3);
    EXPECT_EQ(outer.Count(1, 2), 4);
    EXPECT_EQ(outer.Item(1, 2, 3), "deep, \"quoted\"");
    EXPECT_EQ(outer.Item(1, 2, 0), "");
    EXPECT_EQ(outer.Item(1, 2, 4), "");
    EXPECT_EQ(outer.Item(0, 0, 0), "");

    // The text form survives a round trip, and changing one level leaves
    // its neighbours alone.
    TCommaText copy(outer.AsString());
    EXPECT_EQ(copy.Item(1, 2, 3), "deep, \"quoted\"");
    copy.SetItem(1, 0, "name");
    copy.SetItem(1, 2, 1, "colour");
    EXPECT_EQ(copy.Item(1, 0), "name");
    EXPECT_EQ(copy.Item(1, 2, 1), "colour");
    EXPECT_EQ(copy.Item(1, 2, 3), "deep, \"quoted\"");

    EXPECT_EQ(AddToCommaText("a,b", "c d"), "a,b,\"c d\"");
    EXPECT_EQ(CommaTextCount(""), 0);
    auto shared = NewCommaText("x,y");
    auto other = CopyCommaText(shared);
    other->Add("z");
    EXPECT_EQ(shared->Count(), 2);
    EXPECT_EQ(CopyCommaText(nullptr)->Count(), 0);
}

TEST(DateList, SortsByStartThenEnd)
{
    tDateList list;
    list.Add(5, 9, 1, nullptr, "late");
    list.Add(2, 7, -9, nullptr, "long");
    list.Add(2, 3, 0, nullptr, "short");
    list.SortDate();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetItems(0)->name, "short");
    EXPECT_EQ(list.GetItems(1)->name, "long");
    EXPECT_EQ(list.GetItems(2)->name, "late");
    EXPECT_EQ(list.GetItems(1)->value, 0);
    EXPECT_EQ(list.GetItems(3), nullptr);
    list.Delete(0);
    EXPECT_EQ(list.GetItems(0)->name, "long");
}

TEST(Helpers, QuotedSubstrings)
{
    EXPECT_EQ(_getsubstring(1, "say \"one\" and \"two\""), "one");
    EXPECT_EQ(_getsubstring(2, "say \"one\" and \"two\""), "two");
    EXPECT_EQ(_getsubstring(3, "say \"one\" and \"two\""), "");
    EXPECT_EQ(_getsubstring(1, "open \"only"), "");
    EXPECT_EQ(_getsubstring(0, "\"x\""), "");
}

TEST(Helpers, ElfHashOverUtf16Units)
{
    EXPECT_EQ(ElfHash(""), 0);
    EXPECT_EQ(ElfHash("A"), 0x41);
    EXPECT_EQ(ElfHash("ab"), (0x61 << 4) + 0x62);
    // One unit for a character of the basic plane, two for one beyond it.
    EXPECT_EQ(ElfHash("\xC3\xA4"), 0xE4);
    EXPECT_EQ(ElfHash("\xF0\x9F\x98\x80"), (0xD83D << 4) + 0xDE00);

    // Long texts run through the high-nibble folding; the value stays in 28 bits.
    std::u16string units;
    String text;
    for (int i = 0; i < 200; ++i) {
        text += "\xC3\xA9z";
        units += u"\u00E9z";
    }
    std::uint32_t h = 0;
    for (char16_t u : units) {
        h = (h << 4) + u;
        const std::uint32_t g = h & 0xF0000000u;
        if (g)
            h ^= g >> 24;
        h &= ~g;
    }
    EXPECT_EQ(ElfHash(text), std::int32_t(h));
    EXPECT_LT(std::uint32_t(ElfHash(text)), 0x10000000u);
}

TEST(Helpers, TimeInMinutesDoesNotWrap)
{
    EXPECT_EQ(TimeInMinutes(1.5), 480u + 720u);
    EXPECT_EQ(TimeInMinutes(EncodeTime(7, 45, 0, 0)), 465u);
    EXPECT_EQ(TimeInMinutes(140), 140u * 480u) << "past 136 days";
    EXPECT_EQ(TimeInMinutes(2 - 1e-9), 2u * 480u) << "a time rounding up to midnight is the next day";
    EXPECT_EQ(TimeInMinutes(-3), 0u);
}

TEST(Helpers, WildcardMatching)
{
    EXPECT_TRUE(MatchPattern("Machine", "Mach?ne"));
    EXPECT_TRUE(MatchPattern("Machine", "M*"));
    EXPECT_TRUE(MatchPattern("Machine", "*"));
    EXPECT_TRUE(MatchPattern("", "*"));
    EXPECT_TRUE(MatchPattern("", ""));
    EXPECT_TRUE(MatchPattern("abcbc", "a*bc"));
    EXPECT_TRUE(MatchPattern("ab", "a**b"));
    EXPECT_TRUE(MatchPattern("Ärger", "?rger")) << "? is one character, not one byte";
    EXPECT_FALSE(MatchPattern("Machine", "machine"));
    EXPECT_FALSE(MatchPattern("Machine", "Mach?"));
    EXPECT_FALSE(MatchPattern("", "?"));
    EXPECT_FALSE(MatchPattern("abc", "a*d"));
    EXPECT_TRUE(doWildcardMatch(String(5000, 'x') + "end", "*x?nd"));

    // Patterns that make a backtracking matcher explode.
    const String text(20000, 'a');
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchPattern(text, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchPattern(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST(Calendar, DecodeAndEncodeAgreeWithThePlatform)
{
    for (TDateTime d = MinDateTime; d <= MaxDateTime; d += 37) {
        int y, m, day;
        OptDecodeDateW(d, y, m, day);
        int py, pm, pd;
        DecodeDate(d, py, pm, pd);
        ASSERT_EQ(y * 10000 + m * 100 + day, py * 10000 + pm * 100 + pd) << d;
        ASSERT_EQ(OptEncodeDateW(y, m, day), std::floor(d));
    }
    int y, m, d;
    OptDecodeDateW(Day(2000, 2, 29), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20000229);
    OptDecodeDateW(Day(1900, 3, 1) - 1, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 19000228);
    EXPECT_THROW(OptEncodeDateW(2023, 2, 29), EConvertError);
}

TEST(Calendar, AddMonthsAtMonthEnds)
{
    EXPECT_EQ(AddMonths(1, Day(2024, 1, 31)), Day(2024, 2, 29));
    EXPECT_EQ(AddMonths(1, Day(2023, 1, 31)), Day(2023, 2, 28));
    EXPECT_EQ(AddMonths(1, Day(2100, 1, 31)), Day(2100, 2, 28)) << "2100 is no leap year";
    EXPECT_EQ(AddMonths(2, Day(2024, 1, 31)), Day(2024, 3, 31));
    EXPECT_EQ(AddMonths(1, Day(2024, 3, 31)), Day(2024, 4, 30));
    EXPECT_EQ(AddMonths(1, Day(2023, 12, 31)), Day(2024, 1, 31));
    EXPECT_EQ(AddMonths(-1, Day(2024, 3, 31)), Day(2024, 2, 29));
    EXPECT_EQ(AddMonths(-13, Day(2024, 1, 15)), Day(2022, 12, 15));
    EXPECT_NEAR(AddMonths(1, Day(2024, 1, 10) + 0.25), Day(2024, 2, 10) + 0.25, 1e-9);
    EXPECT_NEAR(AddMonths(0.5, Day(2024, 1, 10)), Day(2024, 1, 25), 1e-9);
    EXPECT_EQ(AddYrs(1, Day(2024, 2, 29)), Day(2025, 2, 28));
    EXPECT_EQ(AddYrs(4, Day(2024, 2, 29)), Day(2028, 2, 29));
    EXPECT_NEAR(AddYrs(-1.5, Day(2024, 6, 1) + 0.5), Day(2023, 6, 1) + 0.5 - 182.625, 1e-9);
    EXPECT_EQ(AddWeeks(2, Day(2024, 1, 1)), Day(2024, 1, 15));
    EXPECT_EQ(AddDays(-1, Day(2024, 3, 1)), Day(2024, 2, 29));
}

TEST(Calendar, IsoWeeksAtYearEnds)
{
    int year = 0;
    EXPECT_EQ(Date2ISOWeekNo(Day(2020, 12, 31), year), 53);
    EXPECT_EQ(year, 2020);
    EXPECT_EQ(Date2ISOWeekNo(Day(2021, 1, 3), year), 53);
    EXPECT_EQ(year, 2020);
    EXPECT_EQ(Date2ISOWeekNo(Day(2021, 1, 4), year), 1);
    EXPECT_EQ(year, 2021);
    EXPECT_EQ(Date2ISOWeekNo(Day(2024, 12, 30), year), 1);
    EXPECT_EQ(year, 2025);
    EXPECT_EQ(Date2ISOWeekNo(Day(2027, 1, 1), year), 53);
    EXPECT_EQ(year, 2026);
    EXPECT_EQ(ISOWeeksInYear(2015), 53);  // 1 January a Thursday
    EXPECT_EQ(ISOWeeksInYear(2020), 53);  // a Wednesday in a leap year
    EXPECT_EQ(ISOWeeksInYear(2019), 52);  // a Tuesday
    EXPECT_EQ(ISOWeeksInYear(2025), 52);  // a Wednesday, no leap year
    EXPECT_EQ(ISODayOfWeek(Day(2024, 6, 2)), 7);
    EXPECT_EQ(ISODayOfWeek(Day(2024, 6, 3)), 1);
    EXPECT_EQ(StartOfISOWeek(Day(2024, 6, 2) + 0.5), Day(2024, 5, 27));
    EXPECT_EQ(StartOfWeek(Day(2024, 6, 5)), Day(2024, 6, 2));
}

TEST(Calendar, SmallRoutines)
{
    EXPECT_TRUE(DateIsLeapYear(Day(2000, 7, 1)));
    EXPECT_FALSE(DateIsLeapYear(Day(1900, 7, 1)));
    EXPECT_EQ(Date2Year(Day(1999, 12, 31)), 1999);
    EXPECT_EQ(Date2Month(Day(1999, 12, 31)), 12);
    EXPECT_EQ(DaysInMonth(Day(2024, 2, 10)), 29);
    EXPECT_EQ(DaysInMonth(Day(2023, 9, 10)), 30);
    EXPECT_EQ(GetFirstDayOfMonth(Day(2024, 2, 10) + 0.75), Day(2024, 2, 1) + 0.75);
    EXPECT_EQ(GetFirstDayOfYear(2024), Day(2024, 1, 1));
    EXPECT_EQ(DaysApart(Day(2024, 3, 1) + 0.9, Day(2024, 2, 28) + 0.1), 2);
    EXPECT_EQ(GetGoldenNumber(2024), 2024 % 19 + 1);
}

TEST(Helpers, FillUpColorsAddsDefaultsByTheirOwnNumber)
{
    std::vector<TColor> colors = {1, 2, 3};
    TScheduleDocument::FillUpColors(colors, 5);
    EXPECT_EQ(colors, (std::vector<TColor>{1, 2, 3, 0x008080, 0x00FFFF}));
    TScheduleDocument::FillUpColors(colors, 2);
    EXPECT_EQ(colors, (std::vector<TColor>{1, 2}));
    TScheduleDocument::FillUpColors(colors, 14);
    EXPECT_EQ(colors[2], 0x008080u);
    EXPECT_EQ(colors[11], 0x800000u);
    EXPECT_EQ(colors[12], 0x008080u) << "the defaults cycle after ten";
}

// The selection of a list box as a comma text and back: texts compare as
// IndexOf compares them, and exactly the listed items end up selected.
TEST(CommaText, SelectionOfAListBox)
{
    TListBox* box = Create<TListBox>(nullptr);
    for (const char* item : {"Alpha", "Beta", "Gamma", "beta", "Delta, Epsilon"})
        box->Items()->Add(item);
    box->SetMultiSelect(true);
    box->SetSelected(0, true);
    TCommaText list("gamma,BETA,Missing,\"delta, epsilon\"");
    list.ToSelection(*box);
    EXPECT_FALSE(box->Selected(0)) << "an item not listed is deselected";
    EXPECT_TRUE(box->Selected(1) && box->Selected(2) && box->Selected(3) && box->Selected(4));
    TCommaText back;
    back.FromSelection(*box);
    EXPECT_EQ(back.AsString(), "Beta,Gamma,beta,\"Delta, Epsilon\"");

    // A single-selection box: the one listed item becomes its item index.
    box->SetMultiSelect(false);
    TCommaText("\"Delta, Epsilon\"").ToSelection(*box);
    EXPECT_EQ(box->ItemIndex(), 4);
    back.FromSelection(*box);
    EXPECT_EQ(back.Count(), 1);
    TCommaText().ToSelection(*box);
    EXPECT_EQ(box->ItemIndex(), -1);
    back.FromSelection(*box);
    EXPECT_EQ(back.Count(), 0);
    box->Free();
}
