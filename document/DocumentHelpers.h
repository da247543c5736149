#pragma once
#include <initializer_list>
// Small shared routines: text hashing and wildcard matching, minutes of a
// time value, and calendar arithmetic on date values (days from 1899-12-30,
// the time of day as fraction). The leap-year rule and month lengths are the
// platform's (IsLeapYear, DaysInAMonth).
#include <cstdint>

#include "platform/SysUtils.h"

// The text between the quotes of the Index-th (from 1) double-quoted part;
// "" when there are not enough quotes.
String _getsubstring(int Index, const String& Text);

// Stem + Extension, or with " (2)", " (3)" ... before the extension when
// that file exists: a name that overwrites nothing.
String FreeFileName(const String& Stem, const String& Extension);

// ELF hash over the text's UTF-16 code units.
std::int32_t ElfHash(const String& Text);

// Whole days × 480 + hours × 60 + minutes of the time of day; negative
// values count as 0.
std::uint32_t TimeInMinutes(TDateTime X);

// Case-sensitive wildcard match over characters: "*" any run, "?" any one
// character. Time O(text × pattern), no recursion.
bool MatchPattern(const String& Text, const String& Pattern);
bool doWildcardMatch(const String& Text, const String& Pattern);

// ---- calendar ----
bool DateIsLeapYear(TDateTime Date);
int Date2Year(TDateTime Date);
int Date2Month(TDateTime Date);
TDateTime AddDays(double N, TDateTime Date);
TDateTime AddWeeks(double N, TDateTime Date);
// Whole months shift the month (a day past its end is cut to the last day);
// the fraction adds fraction × 30 days; the time of day stays.
TDateTime AddMonths(double N, TDateTime Date);
// Whole years shift the year (29 February may become 28 February); the
// fraction adds fraction × 365.25 days; the time of day stays.
TDateTime AddYrs(double N, TDateTime Date);
TDateTime GetFirstDayOfMonth(TDateTime Date);
TDateTime GetFirstDayOfYear(int Year);
int DaysInMonth(TDateTime Date);
int DaysApart(TDateTime A, TDateTime B);
// The Sunday of the date's week.
TDateTime StartOfWeek(TDateTime Date);
// Monday 1 .. Sunday 7.
int ISODayOfWeek(TDateTime Date);
// The Monday of the date's week, without time.
TDateTime StartOfISOWeek(TDateTime Date);
int ISOWeeksInYear(int Year);
// The ISO week number; Year receives the week-based year.
int Date2ISOWeekNo(TDateTime Date, int& Year);
int Date2ISOWeekNo(TDateTime Date);
int GetGoldenNumber(int Year);
// Integer date splitting over 400-year, 4-year and 153-day cycles, months
// counted from March. A day before 0001-01-01 gives zeros.
void OptDecodeDateW(TDateTime Date, int& Year, int& Month, int& Day);
// EConvertError for parts outside the calendar.
TDateTime OptEncodeDateW(int Year, int Month, int Day);

// A message text as the document shows it: each "%s" replaced by the next
// argument (left as it stands when the arguments run out) and the two
// characters backslash and "n" made a line break.
String FillText(const String& Text, std::initializer_list<String> Args);
