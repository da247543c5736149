#include "platform/FormatSettings.h"

#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace {

int Occurrences(const String& s, const String& part)
{
    int n = 0;
    for (std::size_t p = s.find(part); p != String::npos; p = s.find(part, p + part.size()))
        ++n;
    return n;
}

} // namespace

TEST(FormatSettings, DefaultIsTheFallbackForCAndPosix)
{
    const TFormatSettings d = TFormatSettings::Default();
    EXPECT_EQ(d.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(d.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(d.DateSeparator, ".");
    EXPECT_EQ(d.TimeSeparator, ":");
    EXPECT_EQ(d.DecimalSeparator, ",");
    EXPECT_EQ(d.ThousandSeparator, ".");
    EXPECT_NE(d.ListSeparator, d.DecimalSeparator);
    EXPECT_EQ(d.TwoDigitYearCenturyWindow, 50);
    for (const char* name : {"C", "POSIX"}) {
        const TFormatSettings c = TFormatSettings::FromLocale(name);
        EXPECT_EQ(c.ShortDateFormat, d.ShortDateFormat) << name;
        EXPECT_EQ(c.LongTimeFormat, d.LongTimeFormat) << name;
        EXPECT_EQ(c.DecimalSeparator, d.DecimalSeparator) << name;
        EXPECT_EQ(c.ThousandSeparator, d.ThousandSeparator) << name;
    }
}

TEST(FormatSettings, ShortDateTakesTheLocalesOrderWithFullYears)
{
    struct Case {
        const char* locale;
        const char* shortDate;
        const char* dateSep;
        const char* decimal;
    };
    for (const Case& c : {Case{"de_DE", "dd.mm.yyyy", ".", ","}, Case{"en_US", "mm/dd/yyyy", "/", "."},
                          Case{"en_GB", "dd/mm/yyyy", "/", "."}, Case{"sv_SE", "yyyy-mm-dd", "-", ","}}) {
        const TFormatSettings s = TFormatSettings::FromLocale(c.locale);
        EXPECT_EQ(s.ShortDateFormat, c.shortDate) << c.locale;
        EXPECT_EQ(s.DateSeparator, c.dateSep) << c.locale;
        EXPECT_EQ(s.DecimalSeparator, c.decimal) << c.locale;
        EXPECT_NE(s.ListSeparator, s.DecimalSeparator) << c.locale;
    }
    const TFormatSettings de = TFormatSettings::FromLocale("de_DE");
    EXPECT_EQ(de.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(de.TimeSeparator, ":");
    EXPECT_EQ(de.ThousandSeparator, ".");
    EXPECT_EQ(de.LongMonthNames[2], "März");
    EXPECT_EQ(de.LongDayNames[0], "Sonntag");
}

TEST(FormatSettings, TwelveHourLocalesGetTheirMarkers)
{
    const TFormatSettings us = TFormatSettings::FromLocale("en_US");
    EXPECT_EQ(us.TimeAMString, "AM");
    EXPECT_EQ(us.TimePMString, "PM");
    EXPECT_EQ(TimeToStr(EncodeTime(22, 5, 9, 0), us), "10:05:09 PM");
    EXPECT_EQ(FormatDateTime("t", EncodeTime(9, 5, 0, 0), us), "9:05 AM");
    EXPECT_DOUBLE_EQ(StrToTime("10:05:09 PM", us), EncodeTime(22, 5, 9, 0));
}

TEST(FormatSettings, EveryLocaleWritesDatesItCanReadBack)
{
    const TDateTime v = EncodeDateTime(2031, 11, 7, 16, 45, 30, 0);
    for (const char* name : {"de_DE", "en_US", "en_GB", "sv_SE", "fr_FR", "fr_CA", "nl_NL", "fi_FI",
                             "cs_CZ", "hu_HU", "pl_PL", "ja_JP", "zh_CN", "ko_KR", "ru_RU", "ar_EG",
                             "hi_IN", "pt_BR", "es_ES", "it_IT", "da_DK", "nb_NO", "tr_TR", "he_IL"}) {
        const TFormatSettings s = TFormatSettings::FromLocale(name);
        // Never a two-digit year, always two-digit days and months.
        EXPECT_EQ(Occurrences(s.ShortDateFormat, "yyyy"), 1) << name << " " << s.ShortDateFormat;
        EXPECT_EQ(Occurrences(s.ShortDateFormat, "y"), 4) << name;
        EXPECT_EQ(Occurrences(s.ShortDateFormat, "dd"), 1) << name;
        EXPECT_EQ(Occurrences(s.ShortDateFormat, "mm"), 1) << name;
        EXPECT_FALSE(s.DateSeparator.empty()) << name;
        EXPECT_FALSE(s.TimeSeparator.empty()) << name;
        EXPECT_FALSE(s.DecimalSeparator.empty()) << name;
        const String text = DateTimeToStr(v, s);
        TDateTime back = 0;
        EXPECT_TRUE(TryStrToDateTime(text, back, s)) << name << " '" << text << "'";
        EXPECT_NEAR(back, v, 1e-8) << name << " '" << text << "'";
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(-1234.5, s), s), -1234.5) << name;
    }
}

TEST(FormatSettings, TheGlobalIsFilledFromTheUsersLocale)
{
    const TFormatSettings saved = FormatSettings;
    InitFormatSettingsFromLocale();
    const TFormatSettings expected = TFormatSettings::FromLocale();
    EXPECT_EQ(FormatSettings.ShortDateFormat, expected.ShortDateFormat);
    EXPECT_EQ(FormatSettings.DecimalSeparator, expected.DecimalSeparator);
    // The overloads without settings use the global ones.
    FormatSettings = TFormatSettings::Default();
    FormatSettings.DecimalSeparator = "#";
    FormatSettings.ShortDateFormat = "yyyy/mm/dd";
    FormatSettings.DateSeparator = "~";
    EXPECT_EQ(FloatToStr(1.5), "1#5");
    EXPECT_DOUBLE_EQ(StrToFloat("2#5"), 2.5);
    EXPECT_EQ(DateToStr(EncodeDate(2024, 1, 2)), "2024~01~02");
    EXPECT_EQ(StrToDate("2024~01~02"), EncodeDate(2024, 1, 2));
    EXPECT_EQ(Format("%.1f", {0.5}), "0#5");
    FormatSettings = saved;
}
