#pragma once
// Dates and times of the class library. A TDateTime counts days from
// 1899-12-30; its fraction is the time of day. Before that day the value is
// negative and the fraction still counts from the day's start, taken in
// absolute value: -1.25 is 1899-12-29 06:00. Every split of a value into its
// parts first rounds it to the millisecond, so 09:59:59.9996 is 10:00:00.000.
// The valid range is 0001-01-01 to 9999-12-31.
#include "platform/FormatSettings.h"
#include "platform/Types.h"

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr Int64 MSecsPerDay = 24LL * 60 * 60 * 1000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int DateDelta = 693594;
constexpr TDateTime MinDateTime = -693593.0;         // 0001-01-01
constexpr TDateTime MaxDateTime = 2958465.99999999;  // 9999-12-31 23:59:59.999

bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);

// Encoding raises EConvertError for parts out of range; the Try forms answer
// false instead and leave the result alone.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
// A value outside the valid range (or not a number) decodes to zeros.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);

// Local date and time of the clock; Date() without the time, Time() the time
// of day alone. This is the program's only reading of the wall clock: tests
// and tools pin it to a fixed moment, which then moves only when advanced.
// Safe from any thread and before any application object exists. Timers and
// double clicks measure their intervals apart from it.
TDateTime Now();
TDateTime Date();
TDateTime Time();
void PinClock(TDateTime value);
// Moves a pinned clock on (back for a negative count); nothing when unpinned.
void AdvancePinnedClock(Int64 milliseconds);
void UnpinClock();

// The same day and time of day n months later (earlier for n < 0); a day
// beyond the new month's end becomes its last day.
TDateTime IncMonth(TDateTime date, int months = 1);
TDateTime IncDay(TDateTime date, int days = 1);

// Text of a date and time by the format letters (case does not matter):
//   d dd        day, without and with leading zero; ddd dddd short/long
//               day name; ddddd the short date format
//   m mm        month (minutes when following an h); mmm mmmm month names
//   yy yyyy     two- and four-digit year
//   h hh        hour (12-hour clock when am/pm follows); n nn minutes;
//   s ss        seconds; z zzz milliseconds
//   t tt        the short / long time format
//   c           short date, then the long time when the time is not zero
//   am/pm a/p   the marker in the letter case written; ampm the settings'
//               TimeAMString/TimePMString
//   /  :        the date and time separators
//   "x" 'x'     literal text
// An empty format is "c".
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Reading dates: the numbers in the order of the short date format,
// separated by the date separator. Two numbers are day and month (or month
// and day) of the current year, and may be followed by a separator; a year
// of one or two digits lies within the century window; a first number of
// three or more digits is a year, then month and day. Times are hours,
// minutes and optional seconds (and milliseconds after the decimal
// separator) with the time separator, optionally followed by an AM or PM
// marker; hours alone need the marker. A date and time is a date, blanks and
// a time, or a time alone. Blanks around the text are allowed; any other
// text left over is an error. Failures raise EConvertError, or give the
// default in the Def forms.
// A year written with one or two digits, placed by the settings' century
// window around the current year (as dates are read).
int ExpandTwoDigitYear(int year, const TFormatSettings& settings);

bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& settings);

bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
TDateTime StrToTimeDef(const String& s, TDateTime def);
TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& settings);

bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& settings);
