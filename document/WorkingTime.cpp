#include "document/WorkingTime.h"

#include <cmath>

#include "document/DocumentHelpers.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

namespace {

constexpr int ItemsPerDay = 10;
constexpr int WeekItems = 7 * ItemsPerDay;

TDateTime MinutesToTime(int Minutes) { return double(Minutes) / 1440.0; }

// Minutes since midnight of a time of day, rounded to the minute.
int TimeToMinutes(TDateTime Time)
{
    const double frac = Time - std::floor(Time);
    int minutes = int(std::lround(frac * 1440.0));
    return minutes >= 1440 ? minutes - 1440 : minutes;
}

}  // namespace

tWeekInfo DefaultWeekInfo()
{
    // The locale's separator only shapes how the times would be shown; the
    // values are the same in every locale.
    TDayInfo day;
    day.active = true;
    day.start = MinutesToTime(7 * 60);
    day.ende = MinutesToTime(15 * 60 + 45);
    day.length = 480;
    day.pause[0] = {MinutesToTime(9 * 60), 15};
    day.pause[1] = {MinutesToTime(12 * 60), 30};
    day.pause[2] = {MinutesToTime(0), 0};
    tWeekInfo week;
    week.fill(day);
    week[So].active = false;
    week[Sa].active = false;
    return week;
}

String WeekInfo2String(const tWeekInfo& Week)
{
    TStringList list;
    for (const TDayInfo& day : Week) {
        list.Add(day.active ? "1" : "0");
        list.Add(IntToStr(TimeToMinutes(day.start)));
        list.Add(IntToStr(TimeToMinutes(day.ende)));
        list.Add(IntToStr(day.length));
        for (const TPauseInfo& pause : day.pause) {
            list.Add(IntToStr(TimeToMinutes(pause.start)));
            list.Add(IntToStr(pause.length));
        }
    }
    return list.CommaText();
}

tWeekInfo String2WeekInfo(const String& Text)
{
    TStringList list;
    list.SetCommaText(Text);
    if (list.Count() != WeekItems)
        return DefaultWeekInfo();
    int values[WeekItems];
    for (int i = 0; i < WeekItems; ++i) {
        // Every number is a time of day, a count of minutes within one day
        // or a flag: anything else is no week written by this program.
        if (!TryStrToInt(Trim(list.Get(i)), values[i]))
            return DefaultWeekInfo();
        const bool flag = i % ItemsPerDay == 0;
        if (flag ? values[i] != 0 && values[i] != 1 : values[i] < 0 || values[i] > 1440)
            return DefaultWeekInfo();
    }
    tWeekInfo week;
    for (int d = 0; d < 7; ++d) {
        const int* v = values + d * ItemsPerDay;
        TDayInfo& day = week[std::size_t(d)];
        day.active = v[0] == 1;
        day.start = MinutesToTime(v[1]);
        day.ende = MinutesToTime(v[2]);
        day.length = v[3];
        for (int p = 0; p < 3; ++p)
            day.pause[std::size_t(p)] = {MinutesToTime(v[4 + 2 * p]), v[5 + 2 * p]};
    }
    return week;
}

TDateTime GetEasterSunday(int Year)
{
    if (Year < 1 || Year > 9999)
        return 0;
    const int g = GetGoldenNumber(Year) - 1;
    const int c = Year / 100;
    const int h = (c - c / 4 - (8 * c + 13) / 25 + 19 * g + 15) % 30;
    const int i = h - (h / 28) * (1 - (29 / (h + 1)) * ((21 - g) / 11));
    const int j = (Year + Year / 4 + i + 2 - c + c / 4) % 7;
    const int l = i - j;
    const int month = 3 + (l + 40) / 44;
    const int day = l + 28 - 31 * (month / 4);
    return OptEncodeDateW(Year, month, day);
}
