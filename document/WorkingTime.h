#pragma once
// Working weeks, their text form, public holidays and the Easter date.
// Free of the document, so they can be used and tested alone.
#include <array>
#include <cstdint>

#include "platform/Types.h"

// Days of a week, Sunday first.
enum TWeekDay : std::uint8_t { So, Mo, Di, Mi, Do, Fr, Sa };

struct TPauseInfo {
    TDateTime start = 0;     // time of day
    std::int32_t length = 0; // minutes
};

struct TDayInfo {
    bool active = false;
    TDateTime start = 0;     // time of day
    TDateTime ende = 0;      // time of day
    std::int32_t length = 0; // working minutes
    std::array<TPauseInfo, 3> pause{};
};

using tWeekInfo = std::array<TDayInfo, 7>;

// A public holiday: a fixed date (day, month) or, with easter set, an
// offset of day days from Easter Sunday (month unused).
struct THolidayData {
    String name;
    int day = 0;
    int month = 0;
    bool enabled = false;
    bool easter = false;
};

// 7:00 to 15:45, 480 minutes, breaks at 9:00 (15) and 12:00 (30); Saturday
// and Sunday off.
tWeekInfo DefaultWeekInfo();

// Seventy comma-separated numbers, ten per day from Sunday: active (1/0),
// start and end in minutes since midnight, working minutes, then start and
// length of each of the three breaks.
String WeekInfo2String(const tWeekInfo& Week);
// The default week for any text that is not exactly such seventy numbers,
// each within a day.
tWeekInfo String2WeekInfo(const String& Text);

// Easter Sunday of the Gregorian year as a date; 0 for a year outside 1..9999.
TDateTime GetEasterSunday(int Year);

// Sunday 0 .. Saturday 6 of a whole day number.
inline int WeekDayIndex(Int64 Day) { return int(((Day + 6) % 7 + 7) % 7); }
