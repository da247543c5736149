// Documents written by versions up to 2.2: rows keyed by names instead of
// column indexes, and public holidays as switches of a fixed list.
#include <algorithm>

#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

namespace {

struct TFixedHoliday {
    const char* Key;
    int Day;  // the offset from Easter Sunday when Easter is set
    int Month;
    bool Easter;
    bool Default;
};

// In index order; the keys are the names the old files use.
const TFixedHoliday FixedHolidays[TScheduleDocument::FixedHolidayCount] = {
    {"Neujahr", 1, 1, false, true},
    {"Heilige Drei Könige", 6, 1, false, false},
    {"Ostern", 0, 0, true, true},
    {"Karfreitag", -2, 0, true, true},
    {"Ostermontag", 1, 0, true, true},
    {"Himmelfahrt", 39, 0, true, true},
    {"Pfingsten", 49, 0, true, true},
    {"Pfingstmontag", 50, 0, true, true},
    {"Fronleichnam", 60, 0, true, true},
    {"Tag der Arbeit", 1, 5, false, true},
    {"Maria Himmelfahrt", 15, 8, false, false},
    {"Tag der Deutschen Einheit", 3, 10, false, true},
    {"Nationalfeiertag", 26, 10, false, false},
    {"Reformationstag", 31, 10, false, false},
    {"Allerheiligen", 1, 11, false, false},
    {"Maria Empfängnis", 8, 12, false, false},
    {"Heiligabend", 24, 12, false, true},
    {"erster Weihnachtsfeiertag", 25, 12, false, true},
    {"zweiter Weihnachtsfeiertag", 26, 12, false, true},
    {"Silvester", 31, 12, false, true},
};

}  // namespace

void TScheduleDocument::addholiday(int Index, bool Enabled)
{
    if (Index < 0 || Index >= FixedHolidayCount)
        return;
    const TFixedHoliday& h = FixedHolidays[Index];
    AddHoliday(h.Key, h.Day, Enabled, h.Easter, h.Month);
}

void TScheduleDocument::LoadTable22x(TWhichTable Table, TMemIniFile& Ini)
{
    AddFileRows(Table, Ini, FileRowsOf(Table, Ini, true, FFileVersion <= 2 && FFileSubVersion < 2), false);
}

void TScheduleDocument::LoadOlderVersion(TMemIniFile& Ini)
{
    // Files 2.0 and 2.1 get their absent-day defaults as the rows are read.
    LoadTable22x(tbTable, Ini);
    LoadTable22x(tbExclude, Ini);

    // Up to 2.2 the public holidays were switches of a fixed list.
    if (FFileVersion <= 2 && FFileSubVersion < 3) {
        ClearHoliday();
        for (int i = 0; i < FixedHolidayCount; ++i)
            addholiday(i, Ini.ReadBool("Holiday", FixedHolidays[i].Key, FixedHolidays[i].Default));
    }
}
