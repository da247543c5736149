// The sections of a document file, each writer beside its reader. Every
// count and ordinal read here comes from a file and is bounded before use.
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <string>

#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"
#include "platform/Version.h"

namespace {

constexpr int MaxColumns = 1000;
constexpr int MaxFilters = 1000;
constexpr int MaxColors = 1000;
constexpr int MaxGroups = 1000;
constexpr int MaxHolidays = 10000;
constexpr int MaxRowSetEntries = 100000;

const char* const RoleKeys[ConnectionCount] = {
    "None", "Position", "Start", "End", "Length", "Termin", "Color",
    "TextLeftTop", "TextLeftMiddle", "TextLeftBottom",
    "TextcenterTop", "TextCenterMiddle", "TextCenterBottom",
    "TextRightTop", "TextRightMiddle", "TextRightBottom",
    "LengthWithWeekend", "Interval"};

String TableName(TWhichTable Table) { return Table == tbTable ? "tbTable" : "tbExclude"; }

int Clamp(int Value, int Low, int High) { return std::min(std::max(Value, Low), High); }

// An ordinal from the file: out of range gives the first value.
int Ordinal(int Value, int Count) { return Value >= 0 && Value < Count ? Value : 0; }

}  // namespace

// ---- [VEK] and [Locale] -------------------------------------------------------------

void TScheduleDocument::WriteVersionSection(TCustomIniFile& Ini) const
{
    const TBuildInfo info = GetBuildInfo();
    Ini.WriteInteger("VEK", "Version", info.Major);
    Ini.WriteInteger("VEK", "SubVersion", info.Minor);
    Ini.WriteInteger("VEK", "Ausgabe", info.Release);
    Ini.WriteInteger("VEK", "Build", info.Build);
}

void TScheduleDocument::WriteLocaleSection(TCustomIniFile& Ini) const
{
    Ini.WriteString("Locale", "ThousandSeparator", FormatSettings.ThousandSeparator);
    Ini.WriteString("Locale", "DecimalSeparator", FormatSettings.DecimalSeparator);
    Ini.WriteString("Locale", "DateSeparator", FormatSettings.DateSeparator);
    Ini.WriteString("Locale", "TimeSeparator", FormatSettings.TimeSeparator);
    Ini.WriteString("Locale", "TimeAMString", FormatSettings.TimeAMString);
    Ini.WriteString("Locale", "TimePMString", FormatSettings.TimePMString);
    Ini.WriteString("Locale", "ListSeparator", FormatSettings.ListSeparator);
    // Without these the order of day, month and year would be lost when a
    // file moves to a machine with other regional settings.
    Ini.WriteString("Locale", "ShortDateFormat", FormatSettings.ShortDateFormat);
    Ini.WriteString("Locale", "LongTimeFormat", FormatSettings.LongTimeFormat);
}

String TScheduleDocument::ConvertFileDate(const String& Text, bool WithSeconds) const
{
    if (!FFileFormats || Text.empty())
        return Text;
    TDateTime value = 0;
    if (!TryStrToDateTime(Text, value, *FFileFormats))
        return Text;
    if (Frac(value) == 0)
        return ::FormatDateTime("ddddd", value);
    return ::FormatDateTime(WithSeconds ? "ddddd hh:nn:ss" : "ddddd hh:nn", value);
}

// ---- [Setup], filters, columns, colours, groups --------------------------------------

void TScheduleDocument::WriteSetupSection(TCustomIniFile& Ini)
{
    WriteLocaleSection(Ini);

    const String s = "Setup";
    Ini.WriteInteger(s, "MinUnit", int(FMinUnit));
    Ini.WriteString(s, "Footer", FFooter);
    Ini.WriteBool(s, "PrintToday", FPrintToday);
    Ini.WriteString(s, "Header", FHeaderText);
    Ini.WriteBool(s, "PrintHeader", FPrintHeader);
    Ini.WriteBool(s, "PrintFooter", FPrintFooter);
    Ini.WriteBool(s, "PrintFilename", FPrintFilename);
    Ini.WriteBool(s, "PrintLochrand", FPrintLochrand);
    Ini.WriteString(s, "DefaultHolidayReason", FDefaultHolidayReason);
    Ini.WriteBool(s, "DefaultCalcWorkdays", FDefaultCalcWorkdays);
    Ini.WriteBool(s, "Komprimiert", FKomprimiert);
    Ini.WriteBool(s, "DenyMoveBeforeNow", FDenyMoveBeforeNow);
    Ini.WriteBool(s, "AutoArrange", FAutoArrange);
    Ini.WriteInteger(s, "Filters", int(FFilters.size()));
    int rowHeight = GetTimeChartRowHeight();
    if (FRowSetIndex == 1)
        rowHeight = rowHeight * 3 / 2;
    else if (FRowSetIndex == 2)
        rowHeight = rowHeight * 3;
    Ini.WriteInteger(s, "RowHeight", rowHeight);
    Ini.WriteInteger(s, "ColWidth", FColWidth);
    Ini.WriteInteger(s, "Zoom", FZoom);
    Ini.WriteInteger(s, "RowSetCount", int(FRowSet.size()) - 1);
    for (std::size_t i = 0; i < FRowSet.size(); ++i)
        Ini.WriteInteger(s, "RowSet" + IntToStr(int(i)), FRowSet[i]);
    Ini.WriteInteger(s, "Transparency", FTransparency);
    Ini.WriteInteger(s, "SmallTimeChartRowheight", FSmallTimeChartRowheight);
    Ini.WriteString(s, "Fontname", FFontname);
    Ini.WriteInteger(s, "Fontsize", FFontsize);

    for (std::size_t i = 0; i < FFilters.size(); ++i) {
        const String f = "Filter" + IntToStr(int(i));
        const TFilter& filter = FFilters[i];
        Ini.WriteInteger(f, "Type", int(filter.Type));
        Ini.WriteInteger(f, "SubType", int(filter.SubType));
        Ini.WriteString(f, "Text1", filter.Text1);
        Ini.WriteString(f, "Text2", filter.Text2);
        Ini.WriteInteger(f, "Table", int(filter.Table));
        Ini.WriteString(f, "Group", filter.Group);
        Ini.WriteString(f, "Header", filter.Header);
    }

    const int columns = GetTableColCount(tbTable);
    Ini.WriteInteger("tbTable", "ColCount", columns);
    for (int role = cnPosition; role < ConnectionCount; ++role)
        Ini.WriteInteger("tbTableConnections", RoleKeys[role], GetConnection(tbTable, TConnection(role)));
    for (int i = 0; i < columns; ++i) {
        const String n = IntToStr(i);
        THeaderData* header = GetHeader(tbTable, i);
        Ini.WriteString("tbTableHeader", "Caption" + n, GetColumnCaption(tbTable, i));
        Ini.WriteString("tbTableHeader", "Format" + n, GetColumnFormat(tbTable, i));
        Ini.WriteInteger("tbTableHeader", "Type" + n, int(GetColumnType(tbTable, i)) & 0x7F);
        Ini.WriteString("tbTableHeader", "Strings" + n, header ? header->Strings->CommaText() : String());
    }

    auto writeColors = [&Ini](const String& Section, const std::vector<TColor>& Colors) {
        Ini.WriteInteger(Section, "Count", int(Colors.size()));
        for (std::size_t i = 0; i < Colors.size(); ++i)
            Ini.WriteInteger(Section, "Color" + IntToStr(int(i)), int(Colors[i]));
    };
    writeColors("Color", FStateColors);
    writeColors("HolidayColor", FHolidayColors);

    Ini.WriteString("Header", "HolidayReason", GetColumnStrings(tbExclude, GetConnection(tbExclude, cnColor))->CommaText());

    const int groups = std::max(1, FPositionGroup.Count());
    Ini.WriteInteger("PositionGroup", "Count", groups);
    for (int i = 1; i < groups; ++i) {
        Ini.WriteString("PositionGroup", "name" + IntToStr(i),
                        i < FPositionGroupNames.Count() ? FPositionGroupNames.Get(i) : String());
        Ini.WriteString("PositionGroup", "filter" + IntToStr(i), FPositionGroup.Get(i));
    }
}

std::unique_ptr<TFormatSettings> TScheduleDocument::FileFormatsOf(const TCustomIniFile& Ini)
{
    const String fileDate = Ini.ReadString("Locale", "ShortDateFormat", String());
    const String fileTime = Ini.ReadString("Locale", "LongTimeFormat", String());
    if ((fileDate.empty() || fileDate == FormatSettings.ShortDateFormat) &&
        (fileTime.empty() || fileTime == FormatSettings.LongTimeFormat))
        return nullptr;
    auto formats = std::make_unique<TFormatSettings>(FormatSettings);
    if (!fileDate.empty())
        formats->ShortDateFormat = fileDate;
    if (!fileTime.empty())
        formats->LongTimeFormat = fileTime;
    formats->DateSeparator = Ini.ReadString("Locale", "DateSeparator", FormatSettings.DateSeparator);
    formats->TimeSeparator = Ini.ReadString("Locale", "TimeSeparator", FormatSettings.TimeSeparator);
    if (formats->DateSeparator.empty())
        formats->DateSeparator = FormatSettings.DateSeparator;
    if (formats->TimeSeparator.empty())
        formats->TimeSeparator = FormatSettings.TimeSeparator;
    return formats;
}

void TScheduleDocument::ReadSetupSection(TCustomIniFile& Ini)
{
    // The formats the file's dates were written in, when they are not ours.
    FFileFormats = FileFormatsOf(Ini);

    const String s = "Setup";
    FMinUnit = TMinUnit(Ordinal(Ini.ReadInteger(s, "MinUnit", 0), 2));
    FFooter = Ini.ReadString(s, "Footer", String());
    FPrintToday = Ini.ReadBool(s, "PrintToday", false);
    FHeaderText = Ini.ReadString(s, "Header", String());
    FPrintHeader = Ini.ReadBool(s, "PrintHeader", false);
    FPrintFooter = Ini.ReadBool(s, "PrintFooter", false);
    FPrintFilename = Ini.ReadBool(s, "PrintFilename", true);
    FPrintLochrand = Ini.ReadBool(s, "PrintLochrand", false);
    FDefaultHolidayReason = Ini.ReadString(s, "DefaultHolidayReason", String());
    FDefaultCalcWorkdays = Ini.ReadBool(s, "DefaultCalcWorkdays", true);
    FKomprimiert = Ini.ReadBool(s, "Komprimiert", true);
    FDenyMoveBeforeNow = Ini.ReadBool(s, "DenyMoveBeforeNow", false);
    FAutoArrange = Ini.ReadBool(s, "AutoArrange", false);
    const int filters = Clamp(Ini.ReadInteger(s, "Filters", int(FFilters.size())), 0, MaxFilters);
    FColWidth = std::max(1, Ini.ReadInteger(s, "ColWidth", 8));
    FZoom = std::max(1, Ini.ReadInteger(s, "Zoom", 100));
    const int rowSets = Clamp(Ini.ReadInteger(s, "RowSetCount", 0), 0, MaxRowSetEntries - 1) + 1;
    FRowSet.assign(std::size_t(rowSets), 0);
    for (int i = 0; i < rowSets; ++i)
        FRowSet[std::size_t(i)] = Byte(Ini.ReadInteger(s, "RowSet" + IntToStr(i), 0));
    FTransparency = Ini.ReadInteger(s, "Transparency", 50);
    FSmallTimeChartRowheight = std::max(1, Ini.ReadInteger(s, "SmallTimeChartRowheight", FSmallTimeChartRowheight));
    FFontname = Ini.ReadString(s, "Fontname", FFontname);
    // Files written before the font size was stored give it by their row height.
    if (!Ini.ValueExists(s, "Fontsize")) {
        if (!Ini.ValueExists(s, "RowHeight"))
            FFontsize = 10;
        else
            FFontsize = Ini.ReadInteger(s, "RowHeight", 30) / 4 * 72 / 92;
    }
    FFontsize = std::max(1, Ini.ReadInteger(s, "Fontsize", FFontsize));

    FFilters.clear();
    for (int i = 0; i < filters; ++i) {
        const String f = "Filter" + IntToStr(i);
        TFilter filter;
        filter.Type = TFilterType(Ordinal(Ini.ReadInteger(f, "Type", 0), 5));
        filter.SubType = TFilterSubType(Ordinal(Ini.ReadInteger(f, "SubType", 0), 6));
        filter.Text1 = Ini.ReadString(f, "Text1", String());
        filter.Text2 = Ini.ReadString(f, "Text2", String());
        if (filter.Type == ftDate) {
            filter.Text1 = ConvertFileDate(filter.Text1, false);
            filter.Text2 = ConvertFileDate(filter.Text2, false);
        }
        filter.Table = TWhichTable(Ordinal(Ini.ReadInteger(f, "Table", 0), TableCount));
        filter.Group = Ini.ReadString(f, "Group", String());
        filter.Header = Ini.ReadString(f, "Header", String());
        FFilters.push_back(std::move(filter));
    }

    // A missing or negative count keeps the columns there are.
    const int columns = Ini.ReadInteger("tbTable", "ColCount", -1);
    if (columns >= 0)
        SetTableColCount(tbTable, std::min(columns, MaxColumns));
    ResetConnections(tbTable);
    for (int role = cnNone; role < ConnectionCount; ++role) {
        const int column = Ini.ReadInteger("tbTableConnections", RoleKeys[role], -1);
        SetConnection(tbTable, TConnection(role), column >= 0 && column < GetTableColCount(tbTable) ? column : -1);
    }
    for (int i = 0; i < GetTableColCount(tbTable); ++i) {
        const String n = IntToStr(i);
        SetColumnCaption(tbTable, i, Ini.ReadString("tbTableHeader", "Caption" + n, String()));
        SetColumnFormat(tbTable, i, Ini.ReadString("tbTableHeader", "Format" + n, String()));
        SetColumnType(tbTable, i,
                      TColumnType(Ordinal(Ini.ReadInteger("tbTableHeader", "Type" + n, 0) & 0x7F, 6)));
        if (THeaderData* header = GetHeader(tbTable, i))
            header->Strings->SetCommaText(Ini.ReadString("tbTableHeader", "Strings" + n, String()));
    }

    auto readColors = [&Ini](const String& Section, std::vector<TColor>& Colors) {
        const int count = Clamp(Ini.ReadInteger(Section, "Count", int(Colors.size())), 0, MaxColors);
        Colors.resize(std::size_t(count), 0xFFFFFF);
        for (int i = 0; i < count; ++i)
            Colors[std::size_t(i)] =
                TColor(Ini.ReadInteger(Section, "Color" + IntToStr(i), int(Colors[std::size_t(i)])));
    };
    readColors("Color", FStateColors);
    readColors("HolidayColor", FHolidayColors);

    const int reasonColumn = GetConnection(tbExclude, cnColor);
    if (THeaderData* header = GetHeader(tbExclude, reasonColumn)) {
        TStringList defaults;
        for (const char* reason : {"Holiday", "Sick", "Other"})
            defaults.Add("\"" + Translate(reason) + "\"");
        header->Strings->SetCommaText(Ini.ReadString("Header", "HolidayReason", defaults.CommaText()));
    }

    FPositionGroup.Clear();
    FPositionGroupNames.Clear();
    FPositionGroup.Add(String());
    FPositionGroupNames.Add(String());
    const int groups = Clamp(Ini.ReadInteger("PositionGroup", "Count", 0), 0, MaxGroups);
    for (int i = 1; i < groups; ++i) {
        FPositionGroupNames.Add(Ini.ReadString("PositionGroup", "name" + IntToStr(i), String()));
        FPositionGroup.Add(Ini.ReadString("PositionGroup", "filter" + IntToStr(i), String()));
    }
    SetupLoaded();
}

// ---- [Public Holiday] -------------------------------------------------------------------

void TScheduleDocument::WritePublicHolidays(TCustomIniFile& Ini) const
{
    const String s = "Public Holiday";
    Ini.WriteInteger(s, "Count", int(FHolidayList.size()));
    for (std::size_t i = 0; i < FHolidayList.size(); ++i) {
        const String item = "Item" + IntToStr(int(i));
        const THolidayData& h = FHolidayList[i];
        Ini.WriteString(s, item + "name", h.name);
        Ini.WriteInteger(s, item + "day", h.day);
        Ini.WriteInteger(s, item + "month", h.month);
        Ini.WriteBool(s, item + "enabled", h.enabled);
        Ini.WriteBool(s, item + "easter", h.easter);
    }
}

void TScheduleDocument::ReadPublicHolidays(TCustomIniFile& Ini)
{
    const String s = "Public Holiday";
    ClearHoliday();
    const int count = Clamp(Ini.ReadInteger(s, "Count", 0), 0, MaxHolidays);
    for (int i = 0; i < count; ++i) {
        const String item = "Item" + IntToStr(i);
        AddHoliday(Ini.ReadString(s, item + "name", String()), Ini.ReadInteger(s, item + "day", 0),
                   Ini.ReadBool(s, item + "enabled", false), Ini.ReadBool(s, item + "easter", false),
                   Ini.ReadInteger(s, item + "month", 0));
    }
}

void TScheduleDocument::AddHoliday(const String& Name, int Day, bool Enabled, bool Easter, int Month)
{
    THolidayData h;
    h.name = Name;
    h.day = Day;
    h.month = Month;
    h.enabled = Enabled;
    h.easter = Easter;
    FHolidayList.push_back(std::move(h));
}

const THolidayData* TScheduleDocument::GetHolidayData(int Index) const
{
    return Index >= 0 && Index < int(FHolidayList.size()) ? &FHolidayList[std::size_t(Index)] : nullptr;
}

// ---- the rows -----------------------------------------------------------------------------

void TScheduleDocument::WriteTableSections(TWhichTable Table, TCustomIniFile& Ini, bool WithIDs)
{
    const String name = TableName(Table);
    const int columns = GetTableColCount(Table);
    Ini.WriteInteger(name, "ColCount", columns);
    Ini.WriteInteger(name, "RowCount", GetTableRowCount(Table));
    TStringTreeGrid* tree = GetTable(Table);
    int n = 0;
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
        TNodeData* row = NodeToRow(tree, node);
        if (!row)
            continue;
        const String section = name + "Item" + IntToStr(n++);
        for (int c = 0; c < columns; ++c)
            Ini.WriteString(section, IntToStr(c), GetData(row, c));
        Ini.WriteDateTime(section, "__lastchanged__", row->LastChanged);
        if (WithIDs)
            Ini.WriteInteger(section, "__id__", row->ID);
    }
}

int TScheduleDocument::FileRowCount(const TMemIniFile& Ini, TWhichTable Table)
{
    // Rows are numbered from 0 without gaps; a count beyond the highest
    // section present would only add rows of nothing. Sections are found by
    // the name a read would use: decimal, no leading zeros.
    const String prefix = TableName(Table) + "Item";
    int limit = 0;
    const TStrings& sections = Ini.Sections();
    for (int i = 0; i < sections.Count(); ++i) {
        const String& name = sections.Get(i);
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 10 ||
            !SameText(name.substr(0, prefix.size()), prefix))
            continue;
        const String digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != String::npos || (digits.size() > 1 && digits[0] == '0'))
            continue;
        const long long n = std::stoll(digits);
        if (n < INT_MAX)
            limit = std::max(limit, int(n) + 1);
    }
    return Clamp(Ini.ReadInteger(TableName(Table), "RowCount", 0), 0, limit);
}

TScheduleDocument::TFileRows TScheduleDocument::FileRowsOf(TWhichTable Table, const TMemIniFile& Ini, bool ByNames,
                                                           bool OldAbsentDays)
{
    // The keys of the absent-days table's first seven columns in older files.
    static const char* const AbsentDayKeys[] = {"Position", "Start", "Ende", "Dauer", "Arbeitstage", "Fehlgrund",
                                                "Bemerkung"};
    TFileRows rows;
    rows.Section = TableName(Table) + "Item";
    rows.Count = FileRowCount(Ini, Table);
    const int columns = std::max(GetTableColCount(Table), 0);
    rows.Keys.resize(std::size_t(columns));
    rows.IsDate.assign(std::size_t(columns), false);
    for (int c = 0; c < columns; ++c) {
        String& key = rows.Keys[std::size_t(c)];
        if (!ByNames)
            key = IntToStr(c);
        else if (Table == tbTable)
            key = GetColumnCaption(Table, c);
        else if (c < int(std::size(AbsentDayKeys)))
            key = AbsentDayKeys[c];
        if (FFileFormats)
            rows.IsDate[std::size_t(c)] = GetColumnType(Table, c) == ctDate || c == GetConnection(Table, cnStart) ||
                                          c == GetConnection(Table, cnEnd) || c == GetConnection(Table, cnTermin);
    }
    // Files 2.0 and 2.1 knew neither absent reasons nor the working-days switch.
    if (OldAbsentDays && Table == tbExclude) {
        rows.Defaults.emplace_back(GetConnection(tbExclude, cnColor), Translate("Holiday"));
        rows.Defaults.emplace_back(GetConnection(tbExclude, cnLengthWithWeekend), BoolToCheckText(false));
    }
    return rows;
}

std::vector<String> TScheduleDocument::ReadFileRow(const TFileRows& Rows, const TMemIniFile& Ini, int N) const
{
    const String section = Rows.Section + IntToStr(N);
    std::vector<String> cells(Rows.Keys.size());
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const String& key = Rows.Keys[c];
        if (key.empty())
            continue;
        cells[c] = Ini.ReadString(section, key, String());
        if (Rows.IsDate[c])
            cells[c] = ConvertFileDate(cells[c], false);
    }
    for (const auto& [column, text] : Rows.Defaults)
        if (column >= 0 && std::size_t(column) < cells.size())
            cells[std::size_t(column)] = text;
    return cells;
}

TDateTime TScheduleDocument::ReadFileRowStamp(const TFileRows& Rows, const TMemIniFile& Ini, int N) const
{
    TDateTime changed = 0;
    const String stamp = Ini.ReadString(Rows.Section + IntToStr(N), "__lastchanged__", String());
    return !stamp.empty() && TryStrToDateTime(stamp, changed, FFileFormats ? *FFileFormats : FormatSettings) ? changed
                                                                                                           : Now();
}

void TScheduleDocument::ReadTableSections(TWhichTable Table, TMemIniFile& Ini, bool WithIDs)
{
    AddFileRows(Table, Ini, FileRowsOf(Table, Ini, false, false), WithIDs);
}

void TScheduleDocument::AddFileRows(TWhichTable Table, TMemIniFile& Ini, const TFileRows& Rows, bool WithIDs)
{
    for (int n = 0; n < Rows.Count; ++n) {
        // The sender's ID, unless it is no ID or one taken already (only a
        // broken or hostile sender repeats one): then a fresh one, as for a
        // row of a sender that sends none.
        int id = -1;
        if (WithIDs) {
            TNodeData* other = nullptr;
            TWhichTable otherTable = tbTable;
            if (!TryStrToInt(Ini.ReadString(Rows.Section + IntToStr(n), "__id__", String()), id) || id < 0 ||
                FindNodeAndTable(id, other, otherTable))
                id = -1;
        }
        // Never sent: a connected client would otherwise not get the row at
        // all, and a server would send every row on its own; a whole
        // document goes out once it is loaded.
        TNodeData* row = AddNode(id >= 0 ? id : GetFreeID(), Table, -1, -1, -1, cmIgnoreNet);
        if (!row)
            continue;
        const std::vector<String> cells = ReadFileRow(Rows, Ini, n);
        for (std::size_t c = 0; c < cells.size(); ++c)
            DoSetData(row, int(c), cells[c], cmIgnoreNet);
        row->LastChanged = ReadFileRowStamp(Rows, Ini, n);
    }
}

// ---- archive sections ---------------------------------------------------------------------

void TScheduleDocument::KeepArchiveSections(const TMemIniFile& Ini)
{
    FArchiveSections.clear();
    const TStrings& sections = Ini.Sections();
    for (int i = 0; i < sections.Count(); ++i) {
        const String upper = UpperCase(sections.Get(i));
        if (upper != "ARCHIV" && upper.rfind("ARCHIVITEM", 0) != 0)
            continue;
        const auto* section = static_cast<const TIniSection*>(sections.Objects(i));
        if (section)
            FArchiveSections.emplace_back(section->Name, section->Lines());
    }
}

void TScheduleDocument::WriteArchiveSections(TMemIniFile& Ini) const
{
    for (const auto& [name, lines] : FArchiveSections) {
        Ini.AddSection(name);
        for (const String& line : lines) {
            const std::size_t eq = line.find('=');
            if (eq != String::npos)
                Ini.WriteString(name, line.substr(0, eq), line.substr(eq + 1));
        }
    }
}
