// Import of plans kept in the older list format: a plain text of one value
// per line, with a side settings file beside it. The conversion goes one
// way only; nothing here writes that format.
//
// The list is untrusted input: every count read from it is checked against
// the lines actually there, every number against the range it may have, and
// a list cut short imports what is whole and says what was left out.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "document/DocumentScopes.h"
#include "document/Log.h"
#include "document/DocumentHelpers.h"
#include "document/ScheduleDocument.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

const char* const AbsenceMarker = "@@@ URLAUB @@@";
// Day numbers of the list count from the first of January of the year 1.
constexpr Int64 DayNumberOffset = 693594;
// The date-times a day number may give: the years 1 to 9999.
constexpr Int64 FirstDayNumber = 1;
constexpr Int64 LastDayNumber = 3652059;
constexpr int RoleCount = 11;
const TConnection ListRoles[RoleCount] = {cnPosition,       cnStart,        cnLength,          cnTermin,
                                          cnColor,          cnTextLeftTop,  cnTextLeftMiddle,  cnTextLeftBottom,
                                          cnTextRightTop,   cnTextRightMiddle, cnTextRightBottom};
const TColor DefaultListColors[10] = {255,      65535,   48896,   16777215, 12632256,
                                      16711680, 8421376, 32768,   8421504,  8388608};

// A whole decimal number, blanks around it allowed; nothing else.
bool ParseWhole(const String& Text, Int64& Value)
{
    std::size_t i = 0, n = Text.size();
    while (i < n && (Text[i] == ' ' || Text[i] == '\t'))
        ++i;
    while (n > i && (Text[n - 1] == ' ' || Text[n - 1] == '\t'))
        --n;
    bool negative = false;
    if (i < n && (Text[i] == '+' || Text[i] == '-')) {
        negative = Text[i] == '-';
        ++i;
    }
    if (i >= n)
        return false;
    Int64 v = 0;
    for (; i < n; ++i) {
        const char c = Text[i];
        if (c < '0' || c > '9')
            return false;
        if (v > (std::numeric_limits<Int64>::max() - (c - '0')) / 10)
            return false;
        v = v * 10 + (c - '0');
    }
    Value = negative ? -v : v;
    return true;
}

// The quoted items of a definition line, in order. A doubled quote inside
// an item stands for one quote; an item whose closing quote is missing is
// no item.
std::vector<String> QuotedItems(const String& Line)
{
    std::vector<String> items;
    std::size_t i = 0;
    while ((i = Line.find('"', i)) != String::npos) {
        String item;
        std::size_t j = i + 1;
        bool closed = false;
        while (j < Line.size()) {
            if (Line[j] == '"') {
                if (j + 1 < Line.size() && Line[j + 1] == '"') {
                    item += '"';
                    j += 2;
                    continue;
                }
                closed = true;
                break;
            }
            item += Line[j++];
        }
        if (!closed)
            break;
        items.push_back(item);
        i = j + 1;
    }
    return items;
}

// The 1-based item of a list; false for anything not naming one.
bool ItemByNumber(const std::vector<String>& Items, const String& Line, String& Text)
{
    Int64 number = 0;
    if (!ParseWhole(Line, number) || number < 1 || number > Int64(Items.size()))
        return false;
    Text = Items[std::size_t(number - 1)];
    return true;
}

bool DayNumberToDate(const String& Line, TDateTime& Date)
{
    Int64 day = 0;
    if (!ParseWhole(Line, day) || day < FirstDayNumber || day > LastDayNumber)
        return false;
    Date = TDateTime(day - DayNumberOffset);
    return true;
}

String TrimBlanks(const String& Text)
{
    std::size_t b = 0, e = Text.size();
    while (b < e && (Text[b] == ' ' || Text[b] == '\t'))
        ++b;
    while (e > b && (Text[e - 1] == ' ' || Text[e - 1] == '\t'))
        --e;
    return Text.substr(b, e - b);
}

// The list's lines; raises when the file cannot be had or is too large to
// be a list.
std::vector<String> ReadListLines(const String& FileName, std::size_t MaxSize)
{
    struct stat info {};
    if (::stat(FileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    if (std::size_t(info.st_size) > MaxSize)
        throw EReadError("The list \"" + FileName + "\" is too large");
    std::vector<String> lines;
    SplitLines(LoadTextFile(FileName), lines);
    return lines;
}

// One column of the list's header.
struct TListColumn {
    String Definition;
    std::vector<String> Items;
    TColumnType Type = ctText;
};

}  // namespace

void TScheduleDocument::LoadLocalIni(const String& FileName, std::vector<TColor>& Colors)
{
    Colors.assign(std::begin(DefaultListColors), std::end(DefaultListColors));
    int resolution = 8;
    int fontHeight = 10;
    try {
        struct stat info {};
        // A missing side file is no fault: everything takes its default.
        if (::stat(FileName.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            std::size_t(info.st_size) <= MaxListFileSize) {
            TMemIniFile ini(FileName);
            resolution = ini.ReadInteger("DESKTOP", "TCresolution", 8);
            fontHeight = ini.ReadInteger("DESKTOP", "TCFontHeight", 10);
            for (int i = 0; i < 10; ++i) {
                const int value = ini.ReadInteger("FARBEN", "Farbe " + IntToStr(i), int(DefaultListColors[i]));
                // Only plain colour values; anything else keeps the default.
                if (value >= 0 && value <= 0xFFFFFF)
                    Colors[std::size_t(i)] = TColor(value);
            }
        }
    } catch (const std::exception& e) {
        WriteLog(String("Import ") + FileName + ": " + e.what());
    }
    // Bounds as for a loaded document's day width and font size.
    FColWidth = resolution >= 1 && resolution <= 1000 ? resolution : 8;
    FFontsize = fontHeight >= 1 && fontHeight <= 200 ? fontHeight : 10;
    SetupLoaded();
    InvalidateTimeChart();
}

bool TScheduleDocument::Import(const String& FileName)
{
    if (!CanImportList()) {
        WriteLog("Import " + FileName + ": refused on a connected client");
        return false;
    }
    std::vector<String> lines;
    int columnCount = 0;
    try {
        lines = ReadListLines(FileName, MaxListFileSize);
        Int64 n = 0;
        if (lines.size() < 2 || !ParseWhole(lines[1], n) || n < 1 || n > MaxListColumns)
            throw EConvertError("The list has no usable column count");
        columnCount = int(n);
    } catch (const std::exception& e) {
        WriteLog(String("Import ") + FileName + ": " + e.what());
        SetFileChanged(false);
        ActionNew();
        return false;
    }
    const int N = columnCount;
    std::vector<String> missing;  // what was left out, for the one report
    bool ok = true;

    {
        TUndoBlock noUndo(UndoRedo());
        TUpdateScope update(*this, FillText(Translate("Open File %s..."), {FileName}));
        TLoadingScope loading(*this);
        try {
            FMinUnit = muDay;
            std::vector<TColor> colors;
            LoadLocalIni(FileName + ".ini", colors);

            // The header: roles, definitions, captions, each as far as the list has them.
            std::size_t at = 2;
            auto take = [&](String& Line) {
                if (at >= lines.size())
                    return false;
                Line = lines[at++];
                return true;
            };
            ClearRows();
            ClearTable(tbTable);
            ResizeTable(tbTable, N + 1);
            bool headerWhole = true;
            String line;
            for (const TConnection role : ListRoles) {
                if (!take(line)) {
                    headerWhole = false;
                    break;
                }
                Int64 number = 0;
                // A number naming no list column leaves the role unbound.
                if (ParseWhole(line, number) && number >= 1 && number <= N)
                    SetConnection(tbTable, role, int(number - 1));
            }
            std::vector<TListColumn> columns(static_cast<std::size_t>(N));
            for (int c = 0; headerWhole && c < N; ++c) {
                if (!take(line)) {
                    headerWhole = false;
                    break;
                }
                TListColumn& column = columns[std::size_t(c)];
                column.Definition = line;
                column.Items = QuotedItems(line);
                if (line.find("##ZAHL") != String::npos)
                    column.Type = ctNumber;
                else if (line.find("##DATUM") != String::npos)
                    column.Type = ctDate;
                else if (!column.Items.empty())
                    column.Type = ctPulldown;
                SetColumnType(tbTable, c, column.Type);
                if (column.Type == ctPulldown) {
                    TStringList* strings = GetColumnStrings(tbTable, c);
                    strings->Clear();
                    for (const String& item : column.Items) {
                        TCommaText entry;
                        entry.Add(item);
                        strings->Add(entry.AsString());
                    }
                }
                const std::size_t open = line.find('(');
                if (open != String::npos) {
                    const std::size_t close = line.find(')', open + 1);
                    if (close != String::npos)
                        SetColumnFormat(tbTable, c, line.substr(open + 1, close - open - 1));
                }
            }
            for (int c = 0; headerWhole && c < N; ++c) {
                if (!take(line)) {
                    headerWhole = false;
                    break;
                }
                SetColumnCaption(tbTable, c, line);
            }
            if (!headerWhole)
                missing.push_back(Translate("The list ends inside its header; no rows were imported."));
            CreateDefaultWeekInfo();
            GroupTabChange();

            // The absent days: everything from the marker on, never task lines.
            std::size_t taskEnd = lines.size();
            std::size_t marker = lines.size();
            if (headerWhole)
                for (std::size_t i = at; i < lines.size(); ++i)
                    if (TrimBlanks(lines[i]) == AbsenceMarker) {
                        marker = i;
                        break;
                    }
            if (marker < lines.size()) {
                taskEnd = marker;
                const std::size_t first = marker + 5;
                if (first > lines.size()) {
                    missing.push_back(Translate("The list ends inside the header of its absent days."));
                } else {
                    const std::size_t records = (lines.size() - first) / 4;
                    const std::size_t rest = (lines.size() - first) % 4;
                    if (rest)
                        missing.push_back(
                            FillText(Translate("The last absent day is cut short (%s lines) and was left out."),
                                     {IntToStr(int(rest))}));
                    const int taskPosition = GetConnection(tbTable, cnPosition);
                    static const std::vector<String> noItems;
                    const std::vector<String>& positions =
                        taskPosition >= 0 ? columns[std::size_t(taskPosition)].Items : noItems;
                    const int positionColumn = GetConnection(tbExclude, cnPosition);
                    const int startColumn = GetConnection(tbExclude, cnStart);
                    const int lengthColumn = GetConnection(tbExclude, cnLength);
                    const int commentColumn = GetConnection(tbExclude, cnTextCenterMiddle);
                    for (std::size_t r = 0; r < records; ++r) {
                        const String* record = &lines[first + 4 * r];
                        TNodeData* row = AddNode(GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
                        if (!row)
                            continue;
                        String position;
                        TDateTime start = 0, end = 0;
                        // A value that does not convert ends the record's filling there.
                        if (!ItemByNumber(positions, record[0], position))
                            continue;
                        DoSetData(row, positionColumn, position, cmIgnoreNet);
                        if (!DayNumberToDate(record[1], start))
                            continue;
                        DoSetData(row, startColumn, FormatDateTime(start), cmIgnoreNet);
                        if (!DayNumberToDate(record[2], end) || end < start)
                            continue;
                        // The end is the last day of the absence.
                        DoSetData(row, lengthColumn, IntToStr(int(end - start) + 1), cmIgnoreNet);
                        // The working-days column gets its fixed value below; the
                        // reason would be lost there, so it is kept as the comment.
                        DoSetData(row, commentColumn, record[3], cmIgnoreNet);
                    }
                }
            }

            const int endColumn = N;
            SetConnection(tbTable, cnEnd, endColumn);
            SetColumnCaption(tbTable, endColumn, "Ende");
            SetColumnType(tbTable, endColumn, ctDate);
            ForEach(tbExclude, feAll, 0, [this](TNodeData* Row, NativeInt) {
                DoSetData(Row, GetConnection(tbExclude, cnColor), "Urlaub", cmIgnoreNet);
                DoSetData(Row, GetConnection(tbExclude, cnLengthWithWeekend), "Nein", cmIgnoreNet);
            });

            // The task rows: every whole row of N lines.
            if (headerWhole && at < taskEnd) {
                const std::size_t rows = (taskEnd - at) / std::size_t(N);
                const std::size_t rest = (taskEnd - at) % std::size_t(N);
                if (rest)
                    missing.push_back(FillText(Translate("%s lines after the last whole task row were left out."),
                                           {IntToStr(int(rest))}));
                for (std::size_t r = 0; r < rows; ++r) {
                    TNodeData* row = AddNode(GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
                    for (int c = 0; row && c < N; ++c) {
                        const String& cell = lines[at++];
                        const TListColumn& column = columns[std::size_t(c)];
                        String text;
                        TDateTime date = 0;
                        if (column.Type == ctDate) {
                            if (!DayNumberToDate(cell, date))
                                continue;
                            text = FormatDateTime(date);
                        } else if (column.Type == ctPulldown) {
                            if (!ItemByNumber(column.Items, cell, text))
                                continue;
                        } else {
                            text = cell;
                        }
                        DoSetData(row, c, text, cmIgnoreNet);
                    }
                }
            }

            FStateColors = colors;
            const int stateColumn = GetConnection(tbTable, cnColor);
            const int entries = GetColumnType(tbTable, stateColumn) == ctPulldown
                                    ? GetColumnStrings(tbTable, stateColumn)->Count()
                                    : 0;
            FillUpColors(FStateColors, entries);
            InvalidateTimeChart();
            UpdateEditor();
        } catch (const std::exception& e) {
            WriteLog(String("Import ") + FileName + ": " + e.what());
            ok = false;
        }
    }
    if (!EndLoading(ok))
        return false;
    if (!missing.empty()) {
        String text = FillText(Translate("The list %s was not imported completely:"), {FileName});
        for (const String& m : missing)
            text += "\n" + m;
        WriteLog(text);
        ShowMessage(dmWarning, text);
    }
    return true;
}

void TScheduleDocument::FinishListImport(const String& FileName, bool Imported)
{
    SetCurrentFile(String());
    FFileIsNewAndUnsaved = true;
    if (!Imported) {
        const String message = FillText(Translate("File %s could not be loaded."), {FileName});
        WriteLog(message);
        FSaveFileName = Translate("New Table") + ".vek";
        FOpenFileName.clear();
        SetFileChanged(false);
        UpdateCaption();
        ShowMessage(dmError, message);
        return;
    }
    // The imported plan is saved as a document of its own, under a name
    // the user confirms: the list itself is never written.
    const std::size_t dot = FileName.find_last_of('.');
    const std::size_t slash = FileName.find_last_of('/');
    const bool hasExtension = dot != String::npos && (slash == String::npos || dot > slash);
    FSaveFileName = (hasExtension ? FileName.substr(0, dot) : FileName) + ".vek";
    FOpenFileName = FileName;
    UpdateCaption();
    AddRecentFile(FileName);
    ScrollToToday();
    DocumentOpened();
    SetFileChanged(false);
    if (IsActiveServer())
        BroadcastDocument();
}
