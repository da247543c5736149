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

// The keys of the absent-days table's first seven columns.
const char* const AbsentDayKeys[] = {"Position", "Start", "Ende", "Dauer", "Arbeitstage", "Fehlgrund", "Bemerkung"};
constexpr int AbsentDayKeyCount = int(sizeof(AbsentDayKeys) / sizeof(AbsentDayKeys[0]));

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
    const String name = Table == tbTable ? "tbTable" : "tbExclude";
    // No more rows than the file has sections.
    const int rows = std::clamp(Ini.ReadInteger(name, "RowCount", 0), 0, Ini.SectionCount());
    const int columns = GetTableColCount(Table);

    // The key of every column; an empty key leaves the column empty.
    std::vector<String> keys(std::size_t(std::max(columns, 0)));
    std::vector<bool> isDate(keys.size(), false);
    for (int c = 0; c < columns; ++c) {
        if (Table == tbTable)
            keys[std::size_t(c)] = GetColumnCaption(Table, c);
        else if (c < AbsentDayKeyCount)
            keys[std::size_t(c)] = AbsentDayKeys[c];
        if (FFileFormats)
            isDate[std::size_t(c)] = GetColumnType(Table, c) == ctDate || c == GetConnection(Table, cnStart) ||
                                     c == GetConnection(Table, cnEnd) || c == GetConnection(Table, cnTermin);
    }
    const TFormatSettings& formats = FFileFormats ? *FFileFormats : FormatSettings;

    for (int n = 0; n < rows; ++n) {
        const String section = name + "Item" + IntToStr(n);
        // Never sent: a connected client would otherwise not get the row at
        // all, and a server would send every row on its own; the whole
        // document goes out once the open is done.
        TNodeData* row = AddNode(GetFreeID(), Table, -1, -1, -1, cmIgnoreNet);
        if (!row)
            continue;
        for (int c = 0; c < columns; ++c) {
            const String& key = keys[std::size_t(c)];
            if (key.empty())
                continue;
            String text = Ini.ReadString(section, key, String());
            if (isDate[std::size_t(c)])
                text = ConvertFileDate(text, false);
            DoSetData(row, c, text, cmIgnoreNet);
        }
        TDateTime changed = 0;
        const String stamp = Ini.ReadString(section, "__lastchanged__", String());
        row->LastChanged = !stamp.empty() && TryStrToDateTime(stamp, changed, formats) ? changed : Now();
    }
}

void TScheduleDocument::LoadOlderVersion(TMemIniFile& Ini)
{
    LoadTable22x(tbTable, Ini);
    LoadTable22x(tbExclude, Ini);

    // 2.0 and 2.1 knew neither absent reasons nor the working-days switch.
    if (FFileVersion <= 2 && FFileSubVersion < 2) {
        const int reason = GetConnection(tbExclude, cnColor);
        const int workdays = GetConnection(tbExclude, cnLengthWithWeekend);
        const String holiday = Translate("Holiday");
        ForEach(tbExclude, feAll, 0, [&](TNodeData* Row, NativeInt) {
            if (reason >= 0)
                DoSetData(Row, reason, holiday, cmIgnoreNet);
            if (workdays >= 0)
                DoSetData(Row, workdays, BoolToCheckText(false), cmIgnoreNet);
        });
    }

    // Up to 2.2 the public holidays were switches of a fixed list.
    if (FFileVersion <= 2 && FFileSubVersion < 3) {
        ClearHoliday();
        for (int i = 0; i < FixedHolidayCount; ++i)
            addholiday(i, Ini.ReadBool("Holiday", FixedHolidays[i].Key, FixedHolidays[i].Default));
    }
}
