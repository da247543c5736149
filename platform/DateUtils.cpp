#include "platform/DateUtils.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace {

constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// A value split as the class library splits it: the day number counted from
// 0001-01-01 = 1 and the milliseconds of the day, after rounding the whole
// value to the millisecond. The day is the rounded value truncated toward
// zero; the time of day is the remainder in absolute value.
struct TTimeStamp {
    Int64 Date;
    int Time;
};

bool ToTimeStamp(TDateTime value, TTimeStamp& stamp)
{
    // 0001-01-01 runs from MinDateTime to MinDateTime - 1 (the time of day
    // counts away from zero there).
    if (!(value > MinDateTime - 1 && value < MaxDateTime + 1))
        return false;
    const Int64 ms = Round(value * static_cast<double>(MSecsPerDay));
    stamp.Date = ms / MSecsPerDay + DateDelta;
    stamp.Time = static_cast<int>(std::llabs(ms) % MSecsPerDay);
    // Rounding may still carry past either end.
    return stamp.Date >= 1 && stamp.Date <= DateDelta + static_cast<Int64>(MaxDateTime);
}

struct TDateParts {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Min = 0, Sec = 0, MSec = 0;
    int DayOfWeek = 0;  // 1 = Sunday, 0 when the value is out of range
};

void SplitDate(Int64 dayNumber, TDateParts& p)
{
    constexpr Int64 D1 = 365;
    constexpr Int64 D4 = D1 * 4 + 1;
    constexpr Int64 D100 = D4 * 25 - 1;
    constexpr Int64 D400 = D100 * 4 + 1;
    Int64 t = dayNumber - 1;
    Int64 y = 1;
    y += t / D400 * 400;
    t %= D400;
    Int64 i = t / D100;
    Int64 d = t % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    y += d / D4 * 4;
    d %= D4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    const int* days = kMonthDays[IsLeapYear(static_cast<int>(y)) ? 1 : 0];
    int m = 0;
    while (d >= days[m]) {
        d -= days[m];
        ++m;
    }
    p.Year = static_cast<int>(y);
    p.Month = m + 1;
    p.Day = static_cast<int>(d) + 1;
}

TDateParts Split(TDateTime value)
{
    TDateParts p;
    TTimeStamp stamp;
    if (!ToTimeStamp(value, stamp))
        return p;
    SplitDate(stamp.Date, p);
    p.DayOfWeek = static_cast<int>(stamp.Date % 7) + 1;
    p.Hour = stamp.Time / 3600000;
    p.Min = stamp.Time / 60000 % 60;
    p.Sec = stamp.Time / 1000 % 60;
    p.MSec = stamp.Time % 1000;
    return p;
}

// A date and a time of day put together: before 1899-12-30 the time counts
// away from zero.
TDateTime Combine(TDateTime date, TDateTime time)
{
    return date >= 0 ? date + time : date - time;
}

TDateTime TimeOfDay(const TDateParts& p)
{
    return static_cast<double>(((p.Hour * 60 + p.Min) * 60 + p.Sec) * 1000 + p.MSec) /
           static_cast<double>(MSecsPerDay);
}

// ------------------------------------------------------------ formatting

String Pad(int value, int digits)
{
    String s = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(s.size()) < digits)
        s = "0" + s;
    return value < 0 ? "-" + s : s;
}

char Up(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(const String& s, std::size_t i, const char* word)
{
    for (std::size_t k = 0; word[k]; ++k)
        if (i + k >= s.size() || Up(s[i + k]) != Up(word[k]))
            return false;
    return true;
}

// Whether an am/pm marker follows an hour field (outside quotes) before the
// next hour field: it switches that hour to the 12-hour clock. i is just
// after the hour field.
bool HasAmPmAfter(const String& f, std::size_t i)
{
    while (i < f.size()) {
        const char c = f[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = f.find(c, i + 1);
            if (close == String::npos)
                return false;
            i = close + 1;
            continue;
        }
        if (Up(c) == 'H')
            return false;
        if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
            StartsWithNoCase(f, i, "ampm"))
            return true;
        ++i;
    }
    return false;
}

// Nested formats (t, c, ddddd) expand through the settings; a settings text
// that names itself stops here instead of recursing without end.
constexpr int kMaxNesting = 3;

void AppendFormatted(String& out, const String& f, const TDateParts& p, bool hasTime,
                     const TFormatSettings& fs, int depth)
{
    if (depth > kMaxNesting)
        return;
    char lastToken = ' ';
    std::size_t i = 0;
    const std::size_t n = f.size();
    auto count = [&](char letter) {
        std::size_t k = i;
        while (k < n && Up(f[k]) == letter)
            ++k;
        const int c = static_cast<int>(k - i);
        i = k;
        return c;
    };
    while (i < n) {
        const char raw = f[i];
        char token = Up(raw);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        switch (token) {
        case 'Y': {
            const int c = count('Y');
            out += c <= 2 ? Pad(p.Year % 100, 2) : Pad(p.Year, 4);
            break;
        }
        case 'M': {
            const int c = count('M');
            if (c <= 2)
                out += Pad(p.Month, c);
            else if (p.Month >= 1)
                out += (c == 3 ? fs.ShortMonthNames : fs.LongMonthNames)[static_cast<std::size_t>(p.Month - 1)];
            break;
        }
        case 'D': {
            const int c = count('D');
            if (c <= 2)
                out += Pad(p.Day, c);
            else if (c <= 4) {
                if (p.DayOfWeek >= 1)
                    out += (c == 3 ? fs.ShortDayNames : fs.LongDayNames)[static_cast<std::size_t>(p.DayOfWeek - 1)];
            } else
                AppendFormatted(out, fs.ShortDateFormat, p, hasTime, fs, depth + 1);
            break;
        }
        case 'H': {
            const int c = count('H');
            int h = p.Hour;
            if (HasAmPmAfter(f, i)) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += Pad(h, c >= 2 ? 2 : 1);
            break;
        }
        case 'N': {
            // Also an "m" that follows an "h".
            const int c = count(Up(raw));
            out += Pad(p.Min, c >= 2 ? 2 : 1);
            break;
        }
        case 'S': {
            const int c = count('S');
            out += Pad(p.Sec, c >= 2 ? 2 : 1);
            break;
        }
        case 'Z': {
            const int c = count('Z');
            out += Pad(p.MSec, std::min(c, 3));
            break;
        }
        case 'T': {
            const int c = count('T');
            AppendFormatted(out, c == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, hasTime, fs,
                            depth + 1);
            break;
        }
        case 'C':
            ++i;
            AppendFormatted(out, fs.ShortDateFormat, p, hasTime, fs, depth + 1);
            if (hasTime) {
                out += ' ';
                AppendFormatted(out, fs.LongTimeFormat, p, hasTime, fs, depth + 1);
            }
            break;
        case 'A':
            if (StartsWithNoCase(f, i, "am/pm")) {
                const bool pm = p.Hour >= 12;
                out += pm ? f.substr(i + 3, 2) : f.substr(i, 2);
                i += 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += p.Hour >= 12 ? f[i + 2] : f[i];
                i += 3;
            } else if (StartsWithNoCase(f, i, "ampm")) {
                out += p.Hour >= 12 ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += raw;
                ++i;
            }
            break;
        case '/':
            out += fs.DateSeparator;
            ++i;
            break;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            break;
        case '"':
        case '\'': {
            const std::size_t close = f.find(raw, i + 1);
            if (close == String::npos) {
                out.append(f, i + 1, String::npos);
                i = n;
            } else {
                out.append(f, i + 1, close - i - 1);
                i = close + 1;
            }
            break;
        }
        default:
            out += raw;
            ++i;
        }
    }
}

// --------------------------------------------------------------- parsing

// Digits beyond this are no date part; also keeps the numbers in range.
constexpr int kMaxDigits = 9;

struct TScanner {
    const String& S;
    std::size_t P = 0;

    void SkipBlanks()
    {
        while (P < S.size() && S[P] == ' ')
            ++P;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return P >= S.size();
    }
    // A number after optional blanks; digits gets its length.
    bool Number(int& value, int& digits)
    {
        const std::size_t save = P;
        SkipBlanks();
        value = 0;
        digits = 0;
        while (P < S.size() && S[P] >= '0' && S[P] <= '9') {
            if (++digits > kMaxDigits) {
                P = save;
                return false;
            }
            value = value * 10 + (S[P] - '0');
            ++P;
        }
        if (digits == 0) {
            P = save;
            return false;
        }
        return true;
    }
    // The separator text after optional blanks (a blank separator is
    // matched as it is).
    bool Text(const String& sep)
    {
        if (sep.empty())
            return false;
        const std::size_t save = P;
        if (sep.find_first_not_of(' ') != String::npos)
            SkipBlanks();
        if (S.compare(P, sep.size(), sep) == 0) {
            P += sep.size();
            return true;
        }
        P = save;
        return false;
    }
    // A marker text ignoring the case of ASCII letters.
    bool Marker(const String& word)
    {
        if (word.empty() || P + word.size() > S.size())
            return false;
        for (std::size_t k = 0; k < word.size(); ++k)
            if (Up(S[P + k]) != Up(word[k]))
                return false;
        P += word.size();
        return true;
    }
};

enum class TDateOrder { DMY, MDY, YMD };

TDateOrder GetDateOrder(const String& format)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = Up(format[i]);
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(format[i], i + 1);
            if (close == String::npos)
                break;
            i = close;
            continue;
        }
        if (c == 'D')
            return TDateOrder::DMY;
        if (c == 'M')
            return TDateOrder::MDY;
        if (c == 'Y')
            return TDateOrder::YMD;
    }
    return TDateOrder::DMY;
}

int CurrentYear()
{
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

int ExpandYear(int year, int digits, const TFormatSettings& fs)
{
    return digits > 2 ? year : ExpandTwoDigitYear(year, fs);
}

}  // namespace

int ExpandTwoDigitYear(int year, const TFormatSettings& fs)
{
    const int thisYear = CurrentYear();
    const int window = fs.TwoDigitYearCenturyWindow;
    const int base = thisYear - (window > 0 ? window : 0);
    year += base / 100 * 100;
    if (window > 0 && year < base)
        year += 100;
    return year;
}

namespace {

bool ScanDate(TScanner& sc, TDateTime& value, const TFormatSettings& fs)
{
    const String& sep = fs.DateSeparator;
    int n1, n2, n3, l1, l2, l3;
    if (!sc.Number(n1, l1) || !sc.Text(sep) || !sc.Number(n2, l2))
        return false;
    int y, m, d;
    const TDateOrder order = GetDateOrder(fs.ShortDateFormat);
    if (sc.Text(sep) && sc.Number(n3, l3)) {
        if (order == TDateOrder::YMD || l1 > 2) {
            y = ExpandYear(n1, l1, fs);
            m = n2;
            d = n3;
        } else if (order == TDateOrder::DMY) {
            d = n1;
            m = n2;
            y = ExpandYear(n3, l3, fs);
        } else {
            m = n1;
            d = n2;
            y = ExpandYear(n3, l3, fs);
        }
    } else {
        // Day and month only (a separator after them is allowed): this year.
        y = CurrentYear();
        if (order == TDateOrder::DMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    }
    return TryEncodeDate(y, m, d, value);
}

bool ScanTime(TScanner& sc, TDateTime& value, const TFormatSettings& fs)
{
    int h, n = 0, s = 0, ms = 0, digits;
    if (!sc.Number(h, digits))
        return false;
    bool hasMinutes = false;
    if (sc.Text(fs.TimeSeparator)) {
        if (!sc.Number(n, digits))
            return false;
        hasMinutes = true;
        if (sc.Text(fs.TimeSeparator)) {
            if (!sc.Number(s, digits))
                return false;
            const std::size_t save = sc.P;
            if (sc.Text(fs.DecimalSeparator)) {
                // Milliseconds as a decimal fraction of the second.
                int frac;
                if (sc.P < sc.S.size() && sc.S[sc.P] >= '0' && sc.S[sc.P] <= '9' &&
                    sc.Number(frac, digits) && digits <= 3) {
                    ms = frac * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
                } else {
                    sc.P = save;
                    return false;
                }
            }
        }
    }
    sc.SkipBlanks();
    int marker = 0;  // 1 AM, 2 PM
    if (sc.Marker(fs.TimeAMString) || sc.Marker("AM"))
        marker = 1;
    else if (sc.Marker(fs.TimePMString) || sc.Marker("PM"))
        marker = 2;
    if (!hasMinutes && marker == 0)
        return false;
    if (marker != 0) {
        // A 12-hour clock has no hour 0.
        if (h < 1 || h > 12)
            return false;
        if (h == 12)
            h = 0;
        if (marker == 2)
            h += 12;
    }
    return TryEncodeTime(h, n, s, ms, value);
}

[[noreturn]] void RaiseConvert(const String& s, const char* what)
{
    throw EConvertError("'" + s + "' is not a valid " + what);
}

using TScanPart = bool (*)(TScanner&, TDateTime&, const TFormatSettings&);
using TTryConvert = bool (*)(const String&, TDateTime&, const TFormatSettings&);

// The whole text must be the one part; value is only written on success.
bool ScanWhole(const String& s, TDateTime& value, const TFormatSettings& settings, TScanPart scan)
{
    TScanner sc{s};
    TDateTime v;
    if (!scan(sc, v, settings) || !sc.AtEnd())
        return false;
    value = v;
    return true;
}

TDateTime ConvertOrRaise(const String& s, const TFormatSettings& settings, TTryConvert tryConvert, const char* what)
{
    TDateTime v;
    if (!tryConvert(s, v, settings))
        RaiseConvert(s, what);
    return v;
}

TDateTime ConvertOrDefault(const String& s, TDateTime def, const TFormatSettings& settings, TTryConvert tryConvert)
{
    TDateTime v;
    return tryConvert(s, v, settings) ? v : def;
}

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    return kMonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInAMonth(year, month))
        return false;
    const int* days = kMonthDays[IsLeapYear(year) ? 1 : 0];
    for (int m = 0; m < month - 1; ++m)
        day += days[m];
    const int i = year - 1;
    date = static_cast<double>(i * 365 + i / 4 - i / 100 + i / 400 + day - DateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 ||
        msec >= 1000)
        return false;
    TDateParts p;
    p.Hour = hour;
    p.Min = min;
    p.Sec = sec;
    p.MSec = msec;
    time = TimeOfDay(p);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value)
{
    TDateTime d, t;
    if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, min, sec, msec, t))
        return false;
    value = Combine(d, t);
    return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec)
{
    TDateTime v;
    if (!TryEncodeDateTime(year, month, day, hour, min, sec, msec, v))
        throw EConvertError("Invalid argument to date encode");
    return v;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    const TDateParts p = Split(date);
    year = p.Year;
    month = p.Month;
    day = p.Day;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    year = static_cast<Word>(y);
    month = static_cast<Word>(m);
    day = static_cast<Word>(d);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    const TDateParts p = Split(time);
    hour = p.Hour;
    min = p.Min;
    sec = p.Sec;
    msec = p.MSec;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec)
{
    int h, n, s, ms;
    DecodeTime(time, h, n, s, ms);
    hour = static_cast<Word>(h);
    min = static_cast<Word>(n);
    sec = static_cast<Word>(s);
    msec = static_cast<Word>(ms);
}

int DayOfWeek(TDateTime date)
{
    const TDateParts p = Split(date);
    return p.DayOfWeek;
}

namespace {

// The pinned clock. The flag alone is read on the common unpinned path; the
// value and its advance are kept under the lock so a reader never sees a
// half-written pin.
std::atomic<bool> gClockPinned{false};
std::mutex gClockLock;
TDateTime gPinnedAt = 0;
Int64 gPinnedAdvance = 0;  // milliseconds added since the pin

TDateTime SystemNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    TDateTime d = 0, t = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, d);
    // A leap second shows as the last second of its minute.
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                  static_cast<int>(ts.tv_nsec / 1000000), t);
    return Combine(d, t);
}

// Moves a value along the time line by milliseconds. Before 1899-12-30 the
// fraction counts away from zero, so plain addition would run backwards
// there; the value goes through its day number and time of day instead.
// The result stays inside the valid range.
TDateTime AddMilliseconds(TDateTime value, Int64 ms)
{
    TTimeStamp stamp;
    if (!ToTimeStamp(value, stamp))
        return value;
    constexpr Int64 first = MSecsPerDay;  // 0001-01-01 00:00
    const Int64 last = (DateDelta + static_cast<Int64>(MaxDateTime) + 1) * MSecsPerDay - 1;
    Int64 linear = stamp.Date * MSecsPerDay + stamp.Time;
    linear = ms > 0 ? (linear > last - ms ? last : linear + ms) : (linear < first - ms ? first : linear + ms);
    const TDateTime date = static_cast<double>(linear / MSecsPerDay - DateDelta);
    const TDateTime time = static_cast<double>(linear % MSecsPerDay) / static_cast<double>(MSecsPerDay);
    return Combine(date, time);
}

} // namespace

void PinClock(TDateTime value)
{
    std::lock_guard lock(gClockLock);
    gPinnedAt = value;
    gPinnedAdvance = 0;
    gClockPinned.store(true, std::memory_order_release);
}

void AdvancePinnedClock(Int64 milliseconds)
{
    std::lock_guard lock(gClockLock);
    if (gClockPinned.load(std::memory_order_relaxed))
        gPinnedAdvance += milliseconds;
}

void UnpinClock()
{
    std::lock_guard lock(gClockLock);
    gClockPinned.store(false, std::memory_order_release);
    gPinnedAt = 0;
    gPinnedAdvance = 0;
}

TDateTime Now()
{
    if (gClockPinned.load(std::memory_order_acquire)) {
        std::lock_guard lock(gClockLock);
        if (gClockPinned.load(std::memory_order_relaxed))
            return gPinnedAdvance == 0 ? gPinnedAt : AddMilliseconds(gPinnedAt, gPinnedAdvance);
    }
    return SystemNow();
}

TDateTime Date()
{
    return std::trunc(Now());
}

TDateTime Time()
{
    // Through the milliseconds of the day, so the result equals what
    // EncodeTime gives for the same time (a fraction taken off the whole
    // value would differ in its last bits).
    TTimeStamp stamp;
    if (!ToTimeStamp(Now(), stamp))
        return 0;
    return static_cast<double>(stamp.Time) / static_cast<double>(MSecsPerDay);
}

TDateTime IncMonth(TDateTime date, int months)
{
    TDateParts p = Split(date);
    if (p.Year == 0)
        throw EConvertError("Invalid argument to date encode");
    // Months counted from year 0 month 0, so borrowing works backwards too.
    Int64 total = static_cast<Int64>(p.Year) * 12 + (p.Month - 1) + months;
    Int64 year = total >= 0 ? total / 12 : -((-total + 11) / 12);
    const int month = static_cast<int>(total - year * 12) + 1;
    if (year < 1 || year > 9999)
        throw EConvertError("Invalid argument to date encode");
    const int day = std::min(p.Day, DaysInAMonth(static_cast<int>(year), month));
    return Combine(EncodeDate(static_cast<int>(year), month, day), TimeOfDay(p));
}

TDateTime IncDay(TDateTime date, int days)
{
    return date + days;
}

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings)
{
    const TDateParts p = Split(value);
    const bool hasTime = p.Hour != 0 || p.Min != 0 || p.Sec != 0 || p.MSec != 0;
    String out;
    AppendFormatted(out, format.empty() ? String("c") : format, p, hasTime, settings, 0);
    return out;
}

String FormatDateTime(const String& format, TDateTime value)
{
    return FormatDateTime(format, value, FormatSettings);
}

String DateToStr(TDateTime value, const TFormatSettings& settings)
{
    return FormatDateTime("ddddd", value, settings);
}

String DateToStr(TDateTime value)
{
    return DateToStr(value, FormatSettings);
}

String TimeToStr(TDateTime value, const TFormatSettings& settings)
{
    return FormatDateTime("tt", value, settings);
}

String TimeToStr(TDateTime value)
{
    return TimeToStr(value, FormatSettings);
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings)
{
    return FormatDateTime("c", value, settings);
}

String DateTimeToStr(TDateTime value)
{
    return DateTimeToStr(value, FormatSettings);
}

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings)
{
    return ScanWhole(s, value, settings, ScanDate);
}

bool TryStrToDate(const String& s, TDateTime& value)
{
    return TryStrToDate(s, value, FormatSettings);
}

TDateTime StrToDate(const String& s, const TFormatSettings& settings)
{
    return ConvertOrRaise(s, settings, TryStrToDate, "date");
}

TDateTime StrToDate(const String& s)
{
    return StrToDate(s, FormatSettings);
}

TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& settings)
{
    return ConvertOrDefault(s, def, settings, TryStrToDate);
}

TDateTime StrToDateDef(const String& s, TDateTime def)
{
    return StrToDateDef(s, def, FormatSettings);
}

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings)
{
    return ScanWhole(s, value, settings, ScanTime);
}

bool TryStrToTime(const String& s, TDateTime& value)
{
    return TryStrToTime(s, value, FormatSettings);
}

TDateTime StrToTime(const String& s, const TFormatSettings& settings)
{
    return ConvertOrRaise(s, settings, TryStrToTime, "time");
}

TDateTime StrToTime(const String& s)
{
    return StrToTime(s, FormatSettings);
}

TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& settings)
{
    return ConvertOrDefault(s, def, settings, TryStrToTime);
}

TDateTime StrToTimeDef(const String& s, TDateTime def)
{
    return StrToTimeDef(s, def, FormatSettings);
}

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings)
{
    TScanner sc{s};
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d, settings)) {
        if (sc.AtEnd()) {
            value = d;
            return true;
        }
        // The time must be set off from the date.
        if (sc.P == 0 || sc.S[sc.P - 1] != ' ')
            return false;
        if (!ScanTime(sc, t, settings) || !sc.AtEnd())
            return false;
        value = Combine(d, t);
        return true;
    }
    return ScanWhole(s, value, settings, ScanTime);
}

bool TryStrToDateTime(const String& s, TDateTime& value)
{
    return TryStrToDateTime(s, value, FormatSettings);
}

TDateTime StrToDateTime(const String& s, const TFormatSettings& settings)
{
    return ConvertOrRaise(s, settings, TryStrToDateTime, "date and time");
}

TDateTime StrToDateTime(const String& s)
{
    return StrToDateTime(s, FormatSettings);
}

TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& settings)
{
    return ConvertOrDefault(s, def, settings, TryStrToDateTime);
}

TDateTime StrToDateTimeDef(const String& s, TDateTime def)
{
    return StrToDateTimeDef(s, def, FormatSettings);
}
