#include "platform/SysUtils.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TFormatSettings German()
{
    return TFormatSettings::Default();  // "," decimal, "." thousands
}

TFormatSettings Dotted()
{
    TFormatSettings s = TFormatSettings::Default();
    s.DecimalSeparator = ".";
    s.ThousandSeparator = ",";
    return s;
}

} // namespace

TEST(SysUtilsCase, AnsiRoutinesMapAndCompareEveryLetter)
{
    EXPECT_EQ(AnsiUpperCase("Müller, Ærø, éa"), "MÜLLER, ÆRØ, ÉA");
    EXPECT_EQ(AnsiUpperCase("order 1*[z]~"), "ORDER 1*[Z]~");
    // Keys agree with AnsiSameText whether a text is plain ASCII or not.
    EXPECT_EQ(AnsiCaseKey("Müller Az"), AnsiCaseKey("MÜLLER aZ"));
    EXPECT_EQ(AnsiCaseKey("Team A"), AnsiCaseKey("TEAM a"));
    EXPECT_NE(AnsiCaseKey("Müller"), AnsiCaseKey("Muller"));
    EXPECT_NE(AnsiCaseKey("a"), AnsiCaseKey("a "));
    EXPECT_EQ(AnsiLowerCase("ÖL UND ÄPFEL"), "öl und äpfel");
    EXPECT_EQ(AnsiCompareText("äpfel", "ÄPFEL"), 0);
    EXPECT_TRUE(SameText("Straßenbahn", "STRAßENBAHN"));
    EXPECT_TRUE(AnsiSameText("Ελλάδα", "ΕΛΛΆΔΑ"));
    EXPECT_FALSE(SameText("Müller", "Muller"));
    // Letter case does not decide the order, and a shorter prefix comes first.
    EXPECT_LT(AnsiCompareText("apfel", "Birne"), 0);
    EXPECT_GT(AnsiCompareText("Birne", "apfel"), 0);
    EXPECT_LT(AnsiCompareText("Ab", "abc"), 0);
    EXPECT_GT(AnsiCompareStr("b", "a"), 0);
    EXPECT_NE(AnsiCompareStr("a", "A"), 0);
    EXPECT_EQ(AnsiCompareStr("ä", "ä"), 0);
}

TEST(SysUtilsCase, PlainRoutinesTouchOnlyAscii)
{
    EXPECT_EQ(UpperCase("abc äöü xyz"), "ABC äöü XYZ");
    EXPECT_EQ(LowerCase("ABC ÄÖÜ"), "abc ÄÖÜ");
    EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
    EXPECT_NE(CompareText("ä", "Ä"), 0);
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("abc", "AB"), 0);
    // Bytes above 127 sort after ASCII rather than wrapping negative.
    EXPECT_GT(CompareText("ä", "z"), 0);
}

TEST(SysUtilsText, LengthCopyAndPosCountCharacters)
{
    const String s = "Grüße aus Köln";
    EXPECT_EQ(Length(s), 14);
    EXPECT_EQ(Copy(s, 3, 3), "üße");
    EXPECT_EQ(Copy(s, 11, 100), "Köln");
    EXPECT_EQ(Copy(s, 0, 2), "Gr");
    EXPECT_EQ(Copy(s, 15, 1), "");
    EXPECT_EQ(Copy(s, 2, 0), "");
    EXPECT_EQ(Pos("ß", s), 4);
    EXPECT_EQ(Pos("Köln", s), 11);
    EXPECT_EQ(Pos("x", s), 0);
    EXPECT_EQ(Pos("", s), 0);
    // A malformed byte is one character and is never glued to its neighbours.
    const String broken = "a\xC3" "b\xE2\x82";
    EXPECT_EQ(Length(broken), 5);
    EXPECT_EQ(Copy(broken, 2, 1), "\xC3");
    EXPECT_EQ(Length("\xF0\x9F\x98\x80"), 1);  // one character outside the BMP
}

TEST(SysUtilsText, TrimRemovesBlanksAndControlCharactersOnly)
{
    EXPECT_EQ(Trim(" \t value\r\n"), "value");
    EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
    EXPECT_EQ(TrimRight("  a b \x01"), "  a b");
    EXPECT_EQ(Trim("   "), "");
    // A no-break space is text, not a blank of the class library.
    EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
}

TEST(SysUtilsText, StringReplaceFirstAllAndIgnoringCase)
{
    EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {rfReplaceAll}), "a+b+c");
    EXPECT_EQ(StringReplace("aaa", "aa", "b", {rfReplaceAll}), "ba");
    EXPECT_EQ(StringReplace("Äpfel und äpfel", "äpfel", "Birnen", {rfReplaceAll, rfIgnoreCase}),
              "Birnen und Birnen");
    EXPECT_EQ(StringReplace("Äpfel und äpfel", "äpfel", "X", {rfReplaceAll}), "Äpfel und X");
    EXPECT_EQ(StringReplace("abc", "", "x", {rfReplaceAll}), "abc");
    EXPECT_EQ(StringReplace("line\\nnext\\n", "\\n", "\n", {rfReplaceAll}), "line\nnext\n");
}

TEST(SysUtilsIntegers, ReadingAcceptsTheClassLibrarysForms)
{
    const std::pair<const char*, int> cases[] = {
        {"42", 42},   {"   -17", -17}, {"+8", 8},         {"$1F", 31},
        {"0x1f", 31}, {"-$10", -16},   {"$FFFFFFFF", -1}, {"2147483647", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToInt(text), value) << text;
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<Int64>::min());
    EXPECT_EQ(StrToInt64("$7FFFFFFFFFFFFFFF"), std::numeric_limits<Int64>::max());
}

TEST(SysUtilsIntegers, ReadingRejectsEverythingElse)
{
    for (const char* bad : {"", " ", "-", "$", "0x", "12 ", "1a", "1.5", "1,5", "2147483648",
                            "-2147483649", "$100000000", "--1", "\t5", "1e3", "٣"}) {
        int v = 99;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToIntDef(bad, -7), -7) << bad;
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    }
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' is not a valid integer value");
    }
}

TEST(SysUtilsIntegers, WritingRoundTripsTheExtremes)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), "-9223372036854775808");
    for (int v : {std::numeric_limits<int>::min(), -1, 0, 1, 123456, std::numeric_limits<int>::max()})
        EXPECT_EQ(StrToInt(IntToStr(v)), v);
}

TEST(SysUtilsNumbers, TruncFracAndRoundHalfToEven)
{
    EXPECT_EQ(Trunc(1.9), 1);
    EXPECT_EQ(Trunc(-1.9), -1);
    EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
    EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
    const std::pair<double, Int64> rounded[] = {{0.5, 0},  {1.5, 2},          {2.5, 2},
                                                {-2.5, -2}, {-3.5, -4},       {2.5000000001, 3},
                                                {-0.49999999999999994, 0}, {1e15 + 1, 1000000000000001LL}};
    for (const auto& [v, r] : rounded)
        EXPECT_EQ(Round(v), r) << v;
    EXPECT_THROW(Trunc(1e300), ERangeError);
    EXPECT_THROW(Round(std::nan("")), ERangeError);
}

TEST(SysUtilsNumbers, FloatToStrIsShortWithTheDecimalSeparator)
{
    const std::pair<double, const char*> cases[] = {
        {1.5, "1,5"},       {0.1 + 0.2, "0,3"},    {-0.0, "0"},        {100, "100"},
        {1e20, "1E20"},     {1.5e-5, "1,5E-5"},    {0.0001, "0,0001"}, {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346E15"}};
    for (const auto& [v, text] : cases)
        EXPECT_EQ(FloatToStr(v, German()), text) << v;
    EXPECT_EQ(FloatToStr(2.5, Dotted()), "2.5");
}

TEST(SysUtilsNumbers, StrToFloatTakesOnlyTheSettingsSeparator)
{
    const TFormatSettings de = German();
    EXPECT_DOUBLE_EQ(StrToFloat("1,5", de), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("  -2,5E3 ", de), -2500);
    EXPECT_DOUBLE_EQ(StrToFloat("+,5", de), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("7,", de), 7);
    EXPECT_DOUBLE_EQ(StrToFloat("1e-999", de), 0);
    EXPECT_DOUBLE_EQ(StrToFloat("1.5", Dotted()), 1.5);
    for (const char* bad : {"", ",", "1.5", "1,5x", "1e", "1e+", "1 000", "1.000,5", "1e999",
                            "nan", "inf", "--1", "0x10"}) {
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(bad, v, de)) << bad;
        EXPECT_EQ(v, 42) << bad;
        EXPECT_EQ(StrToFloatDef(bad, -1, de), -1) << bad;
        EXPECT_THROW(StrToFloat(bad, de), EConvertError) << bad;
    }
    // What is written reads back to the same 15 digits.
    for (double v : {0.1, -123.456, 1e-7, 6.02214076e23, 480.0 / 7, -1.25})
        EXPECT_NEAR(StrToFloat(FloatToStr(v, de), de), v, std::fabs(v) * 1e-14) << v;
}

TEST(SysUtilsFormat, TextAndIntegerForms)
{
    EXPECT_EQ(Format("File %s does not exist.", {String("a.vek")}), "File a.vek does not exist.");
    EXPECT_EQ(Format("%d of %d", {3, 10}), "3 of 10");
    EXPECT_EQ(Format("[%5d|%-5d|%.3d]", {42, 42, 7}), "[   42|42   |007]");
    EXPECT_EQ(Format("[%6s|%-6s|%.2s]", {"äb", "äb", "äbc"}), "[    äb|äb    |äb]");
    EXPECT_EQ(Format("%x %x %4x", {255, -1, 10}), "FF FFFFFFFF    A");
    EXPECT_EQ(Format("%d", {std::numeric_limits<Int64>::min()}), "-9223372036854775808");
    EXPECT_EQ(Format("%u", {4000000000u}), "4000000000");
    EXPECT_EQ(Format("%1:s-%0:s-%s", {"a", "b"}), "b-a-b");
    EXPECT_EQ(Format("%*d", {4, 1}), "   1");
    EXPECT_EQ(Format("100%% %s", {'x'}), "100% x");
}

TEST(SysUtilsFormat, NumberFormsUseTheSettings)
{
    const TFormatSettings de = German();
    EXPECT_EQ(Format("%f", {1.5}, de), "1,50");
    EXPECT_EQ(Format("%.1f|%8.3f", {2.26, -3.14159}, de), "2,3|  -3,142");
    EXPECT_EQ(Format("%n", {1234567.891}, de), "1.234.567,89");
    EXPECT_EQ(Format("%.0n", {-999.0}, de), "-999");
    EXPECT_EQ(Format("%g", {0.25}, de), "0,25");
    EXPECT_EQ(Format("%e", {1234.5}, Dotted()), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.2f", {3}, Dotted()), "3.00");
}

TEST(SysUtilsFormat, MismatchesAndMalformedSpecifiersRaise)
{
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("%k", {1}), EConvertError);
    EXPECT_THROW(Format("50%", {}), EConvertError);
    EXPECT_THROW(Format("%3:s", {"a"}), EConvertError);
    EXPECT_THROW(Format("%99999999d", {1}), EConvertError);
    EXPECT_THROW(Format("%*d", {-1, 1}), EConvertError);
    try {
        Format("%d", {"x"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
}
