#include "document/DocumentHelpers.h"

#include <cmath>
#include <vector>

namespace {

// Decodes UTF-8 into code points; a byte that starts no valid sequence is
// taken as one character of its own value, as the string routines count it.
std::u32string CodePoints(const String& s)
{
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        int len = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            len = 1;
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        }
        bool ok = len > 0 && i + std::size_t(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            if ((p[i + std::size_t(k)] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (p[i + std::size_t(k)] & 0x3F);
        }
        if (ok && len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (ok && len == 4 && (cp < 0x10000 || cp > 0x10FFFF))
            ok = false;
        if (!ok) {
            out.push_back(c);
            ++i;
        } else {
            out.push_back(cp);
            i += std::size_t(len);
        }
    }
    return out;
}

// A date value as whole day and time of day; negative values keep their
// time as the absolute fraction.
struct TSplitDate {
    double Day;
    double Time;
};

TSplitDate SplitDate(TDateTime Date)
{
    const double day = std::trunc(Date);
    return {day, std::fabs(Date - day)};
}

TDateTime JoinDate(double Day, double Time) { return Day >= 0 ? Day + Time : Day - Time; }

}  // namespace

String _getsubstring(int Index, const String& Text)
{
    if (Index < 1)
        return String();
    std::size_t open = String::npos;
    std::size_t from = 0;
    for (int part = 1; part <= Index; ++part) {
        open = Text.find('"', from);
        if (open == String::npos)
            return String();
        const std::size_t close = Text.find('"', open + 1);
        if (close == String::npos)
            return String();
        if (part == Index)
            return Text.substr(open + 1, close - open - 1);
        from = close + 1;
    }
    return String();
}

std::int32_t ElfHash(const String& Text)
{
    std::uint32_t h = 0;
    auto step = [&h](std::uint32_t unit) {
        h = (h << 4) + unit;
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    };
    for (char32_t cp : CodePoints(Text)) {
        if (cp >= 0x10000) {
            const std::uint32_t v = std::uint32_t(cp) - 0x10000;
            step(0xD800 + (v >> 10));
            step(0xDC00 + (v & 0x3FF));
        } else {
            step(std::uint32_t(cp));
        }
    }
    return std::int32_t(h);
}

std::uint32_t TimeInMinutes(TDateTime X)
{
    if (!(X > 0))
        return 0;
    int hour = 0, min = 0, sec = 0, msec = 0;
    DecodeTime(X, hour, min, sec, msec);
    double days = std::trunc(X);
    // DecodeTime rounds to the millisecond: 23:59:59.9996 is the next day's 00:00.
    if (hour == 0 && min == 0 && X - days > 0.5)
        days += 1;
    const double total = days * 480.0 + hour * 60.0 + min;
    return total >= 4294967295.0 ? 0xFFFFFFFFu : std::uint32_t(total);
}

bool MatchPattern(const String& Text, const String& Pattern)
{
    if (Pattern == "*")
        return true;
    const std::u32string t = CodePoints(Text);
    const std::u32string p = CodePoints(Pattern);
    // Greedy scan that remembers the last star: on a mismatch the star takes
    // one more character and the scan resumes. Each star restart moves the
    // text position on, so the work is bounded by text × pattern.
    std::size_t ti = 0, pi = 0;
    std::size_t starP = std::u32string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

bool doWildcardMatch(const String& Text, const String& Pattern) { return MatchPattern(Text, Pattern); }

// ---- calendar ----

void OptDecodeDateW(TDateTime Date, int& Year, int& Month, int& Day)
{
    if (!(Date >= MinDateTime && Date <= MaxDateTime + 1)) {
        Year = Month = Day = 0;
        return;
    }
    // Day numbers from 0001-03-01 so that the leap day ends each cycle.
    Int64 t = Int64(std::floor(Date)) + DateDelta + 305;  // 305: days from 0000-03-01 to 0001-01-01 minus one
    Int64 n400 = t / 146097;
    t -= n400 * 146097;
    Int64 n100 = (4 * t + 3) / 146097;
    t -= n100 * 146097 / 4;
    Int64 n4 = (4 * t + 3) / 1461;
    t -= n4 * 1461 / 4;
    const Int64 mg = (5 * t + 2) / 153;  // month in 153-day groups, 0 = March
    Day = int(t - (153 * mg + 2) / 5 + 1);
    Int64 year = 400 * n400 + 100 * n100 + n4;
    Int64 month = mg + 3;
    if (month > 12) {
        month -= 12;
        year += 1;
    }
    Year = int(year);
    Month = int(month);
}

TDateTime OptEncodeDateW(int Year, int Month, int Day)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        throw EConvertError("Invalid argument to date encode");
    Int64 y = Year;
    Int64 m = Month;
    if (m > 2) {
        m -= 3;
    } else {
        m += 9;
        y -= 1;
    }
    const Int64 c = y / 100;
    const Int64 ya = y - 100 * c;
    const Int64 days = (146097 * c) / 4 + (1461 * ya) / 4 + (153 * m + 2) / 5 + Day + 1721119;
    return double(days - 2415019);  // day number of 1899-12-30
}

bool DateIsLeapYear(TDateTime Date) { return IsLeapYear(Date2Year(Date)); }

int Date2Year(TDateTime Date)
{
    int y, m, d;
    OptDecodeDateW(Date, y, m, d);
    return y;
}

int Date2Month(TDateTime Date)
{
    int y, m, d;
    OptDecodeDateW(Date, y, m, d);
    return m;
}

TDateTime AddDays(double N, TDateTime Date) { return Date + N; }

TDateTime AddWeeks(double N, TDateTime Date) { return Date + 7 * N; }

TDateTime AddMonths(double N, TDateTime Date)
{
    const TSplitDate s = SplitDate(Date);
    int y, m, d;
    OptDecodeDateW(s.Day, y, m, d);
    if (y == 0)
        return Date;
    const double whole = std::trunc(N);
    Int64 months = Int64(y) * 12 + (m - 1) + Int64(whole);
    Int64 ny = months >= 0 ? months / 12 : -((-months + 11) / 12);
    int nm = int(months - ny * 12) + 1;
    if (ny < 1 || ny > 9999)
        return Date;
    const int last = DaysInAMonth(int(ny), nm);
    if (d > last)
        d = last;
    return JoinDate(OptEncodeDateW(int(ny), nm, d), s.Time) + (N - whole) * 30;
}

TDateTime AddYrs(double N, TDateTime Date)
{
    const TSplitDate s = SplitDate(Date);
    int y, m, d;
    OptDecodeDateW(s.Day, y, m, d);
    if (y == 0)
        return Date;
    const double whole = std::trunc(N);
    const double ny = y + whole;
    if (ny < 1 || ny > 9999)
        return Date;
    if (m == 2 && d == 29 && !IsLeapYear(int(ny)))
        d = 28;
    return JoinDate(OptEncodeDateW(int(ny), m, d), s.Time) + (N - whole) * 365.25;
}

TDateTime GetFirstDayOfMonth(TDateTime Date)
{
    const TSplitDate s = SplitDate(Date);
    int y, m, d;
    OptDecodeDateW(s.Day, y, m, d);
    if (y == 0)
        return Date;
    return JoinDate(OptEncodeDateW(y, m, 1), s.Time);
}

TDateTime GetFirstDayOfYear(int Year)
{
    if (Year < 1 || Year > 9999)
        return 0;
    return OptEncodeDateW(Year, 1, 1);
}

int DaysInMonth(TDateTime Date)
{
    int y, m, d;
    OptDecodeDateW(Date, y, m, d);
    return DaysInAMonth(y, m);
}

int DaysApart(TDateTime A, TDateTime B) { return int(std::trunc(A) - std::trunc(B)); }

TDateTime StartOfWeek(TDateTime Date) { return Date - DayOfWeek(Date) + 1; }

int ISODayOfWeek(TDateTime Date) { return (DayOfWeek(Date) + 5) % 7 + 1; }

TDateTime StartOfISOWeek(TDateTime Date) { return std::floor(Date) - ISODayOfWeek(Date) + 1; }

int ISOWeeksInYear(int Year)
{
    const int jan1 = ISODayOfWeek(GetFirstDayOfYear(Year));
    return jan1 == 4 || (jan1 == 3 && IsLeapYear(Year)) ? 53 : 52;
}

int Date2ISOWeekNo(TDateTime Date, int& Year)
{
    // The week belongs to the year of its Thursday.
    const TDateTime thursday = StartOfISOWeek(Date) + 3;
    Year = Date2Year(thursday);
    return int((thursday - GetFirstDayOfYear(Year)) / 7) + 1;
}

int Date2ISOWeekNo(TDateTime Date)
{
    int year;
    return Date2ISOWeekNo(Date, year);
}

int GetGoldenNumber(int Year) { return Year % 19 + 1; }

String FillText(const String& Text, std::initializer_list<String> Args)
{
    String out;
    auto arg = Args.begin();
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\\' && i + 1 < Text.size() && Text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else if (Text[i] == '%' && i + 1 < Text.size() && Text[i + 1] == 's' && arg != Args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += Text[i];
        }
    }
    return out;
}
