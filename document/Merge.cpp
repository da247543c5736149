// "Merge Files...": the rows of another document file come into the open
// one. A row already present is skipped, one whose free cells match exactly
// one row updates it, any other is added; ambiguous rows are counted and
// left out. Hashes only narrow the search: every match is confirmed by
// comparing the texts cell by cell, as two different rows can share a hash.
#include <sys/stat.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

// The rows of each table by their complete and partial hash, kept while a
// merge runs.
struct TScheduleDocument::TMergeIndex {
    std::unordered_multimap<std::int32_t, TNodeData*> Complete[TableCount];
    std::unordered_multimap<std::int32_t, TNodeData*> Partial[TableCount];
};

namespace {

bool IsFile(const String& Name)
{
    struct stat st {};
    return ::stat(Name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFreeRole(TConnection Role) { return Role == cnNone || Role >= cnTextLeftTop; }

void Unindex(std::unordered_multimap<std::int32_t, TNodeData*>& Index, std::int32_t Key, TNodeData* Row)
{
    auto [first, last] = Index.equal_range(Key);
    for (auto it = first; it != last; ++it)
        if (it->second == Row) {
            Index.erase(it);
            return;
        }
}

}  // namespace

// ---- keys and lookups -------------------------------------------------------------------

std::vector<String> TScheduleDocument::RowCells(const TNodeData* Row) const
{
    const int columns = GetTableColCount(Row->NodeTable);
    std::vector<String> cells;
    cells.reserve(std::size_t(std::max(columns, 0)));
    for (int c = 0; c < columns; ++c)
        cells.push_back(GetData(Row, c));
    return cells;
}

std::int32_t TScheduleDocument::CompleteKey(const std::vector<String>& Cells) const
{
    TStringList list;
    for (const String& cell : Cells)
        list.Add(cell);
    return ElfHash(list.CommaText());
}

std::int32_t TScheduleDocument::PartialKey(TWhichTable Table, const std::vector<String>& Cells) const
{
    // Joined as a comma text, so that ["ab", "c"] and ["a", "bc"] differ.
    TStringList list;
    for (std::size_t c = 0; c < Cells.size(); ++c)
        if (IsFreeRole(GetColumnConnection(Table, int(c))))
            list.Add(Cells[c]);
    return ElfHash(list.CommaText());
}

void TScheduleDocument::CB_UpdateHashEntries(TNodeData* Row)
{
    if (!Row)
        return;
    const TWhichTable table = Row->NodeTable;
    if (FMergeIndex) {
        Unindex(FMergeIndex->Complete[table], Row->completehash, Row);
        Unindex(FMergeIndex->Partial[table], Row->hash, Row);
    }
    const std::vector<String> cells = RowCells(Row);
    Row->completehash = CompleteKey(cells);
    Row->hash = PartialKey(table, cells);
    if (FMergeIndex) {
        FMergeIndex->Complete[table].emplace(Row->completehash, Row);
        FMergeIndex->Partial[table].emplace(Row->hash, Row);
    }
}

namespace {

// The rows with the key whose cells (all, or the free ones) equal Cells, in
// tree order.
std::vector<TNodeData*> Matches(TScheduleDocument& Doc, TWhichTable Table, std::int32_t Key,
                                const std::vector<String>& Cells, bool Complete,
                                const std::unordered_multimap<std::int32_t, TNodeData*>* Index)
{
    auto confirmed = [&](TNodeData* Row) {
        if ((Complete ? Row->completehash : Row->hash) != Key)
            return false;
        for (std::size_t c = 0; c < Cells.size(); ++c)
            if ((Complete || IsFreeRole(Doc.GetColumnConnection(Table, int(c)))) && Doc.GetData(Row, int(c)) != Cells[c])
                return false;
        return true;
    };
    std::vector<TNodeData*> rows;
    if (Index) {
        auto [first, last] = Index->equal_range(Key);
        for (auto it = first; it != last; ++it)
            if (confirmed(it->second))
                rows.push_back(it->second);
        // Tree order: the index keeps none.
        std::sort(rows.begin(), rows.end(), [](TNodeData* A, TNodeData* B) {
            return A->VNode && B->VNode ? A->VNode->Index < B->VNode->Index : A < B;
        });
    } else {
        Doc.ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) {
            if (confirmed(Row))
                rows.push_back(Row);
        });
    }
    return rows;
}

}  // namespace

TNodeData* TScheduleDocument::FindCompleteHash(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells)
{
    const auto rows = Matches(*this, Table, Key, Cells, true, FMergeIndex ? &FMergeIndex->Complete[Table] : nullptr);
    return rows.empty() ? nullptr : rows.front();
}

TNodeData* TScheduleDocument::FindHash(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells)
{
    const auto rows = Matches(*this, Table, Key, Cells, false, FMergeIndex ? &FMergeIndex->Partial[Table] : nullptr);
    return rows.empty() ? nullptr : rows.front();
}

int TScheduleDocument::CompleteHashCount(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells)
{
    return int(Matches(*this, Table, Key, Cells, true, FMergeIndex ? &FMergeIndex->Complete[Table] : nullptr).size());
}

int TScheduleDocument::HashCount(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells)
{
    return int(Matches(*this, Table, Key, Cells, false, FMergeIndex ? &FMergeIndex->Partial[Table] : nullptr).size());
}

// ---- the setup test ------------------------------------------------------------------------

bool TScheduleDocument::CompareSetup(TCustomIniFile& Ini)
{
    static const char* const RoleKeys[ConnectionCount] = {
        "None", "Position", "Start", "End", "Length", "Termin", "Color",
        "TextLeftTop", "TextLeftMiddle", "TextLeftBottom",
        "TextcenterTop", "TextCenterMiddle", "TextCenterBottom",
        "TextRightTop", "TextRightMiddle", "TextRightBottom",
        "LengthWithWeekend", "Interval"};

    const int columns = GetTableColCount(tbTable);
    if (Ini.ReadInteger("tbTable", "ColCount", -1) != columns)
        return false;
    for (int role = cnPosition; role < ConnectionCount; ++role)
        if (Ini.ReadInteger("tbTableConnections", RoleKeys[role], -1) != GetConnection(tbTable, TConnection(role)))
            return false;
    for (int i = 0; i < columns; ++i) {
        const String n = IntToStr(i);
        const THeaderData* header = GetHeader(tbTable, i);
        if (Ini.ReadString("tbTableHeader", "Caption" + n, String()) != GetColumnCaption(tbTable, i) ||
            Ini.ReadString("tbTableHeader", "Format" + n, String()) != GetColumnFormat(tbTable, i) ||
            Ini.ReadInteger("tbTableHeader", "Type" + n, 0) != (int(GetColumnType(tbTable, i)) & 0x7F) ||
            Ini.ReadString("tbTableHeader", "Strings" + n, String()) !=
                (header ? header->Strings->CommaText() : String()))
            return false;
    }
    // Missing colour keys mean what loading makes of them: the current ones.
    if (Ini.ReadInteger("Color", "Count", int(FStateColors.size())) != int(FStateColors.size()))
        return false;
    for (std::size_t i = 0; i < FStateColors.size(); ++i)
        if (TColor(Ini.ReadInteger("Color", "Color" + IntToStr(int(i)), int(FStateColors[i]))) != FStateColors[i])
            return false;
    return true;
}

// ---- the merge --------------------------------------------------------------------------------

TScheduleDocument::TMergeCounts TScheduleDocument::updateTable(TWhichTable Table, TMemIniFile& Ini)
{
    TMergeCounts counts;
    ForEach(Table, feAll, 0, [this](TNodeData* Row, NativeInt) { CB_UpdateHashEntries(Row); });

    // The other file's rows as loading it would give them: its dates in the
    // running formats, and an older file's cells by their names.
    std::unique_ptr<TFormatSettings> ours = std::exchange(FFileFormats, FileFormatsOf(Ini));
    TScopeExit restore([&] { FFileFormats = std::move(ours); });
    const int version = Ini.ReadInteger("VEK", "Version", -1);
    const int subVersion = Ini.ReadInteger("VEK", "SubVersion", -1);
    const bool byNames = version <= 2 && subVersion <= 2;
    const TFileRows rows = FileRowsOf(Table, Ini, byNames, byNames && subVersion < 2);
    const int columns = GetTableColCount(Table);
    for (int n = 0; n < rows.Count; ++n) {
        const std::vector<String> cells = ReadFileRow(rows, Ini, n);
        // A row of nothing (a gap in the file) would match every row with
        // empty free cells.
        if (std::all_of(cells.begin(), cells.end(), [](const String& Cell) { return Cell.empty(); }))
            continue;

        const std::int32_t complete = CompleteKey(cells);
        const int present = CompleteHashCount(Table, complete, cells);
        if (present == 1)
            continue;
        if (present > 1) {
            ++counts.Unassigned;
            continue;
        }
        const std::int32_t partial = PartialKey(Table, cells);
        const int candidates = HashCount(Table, partial, cells);
        if (candidates > 1) {
            ++counts.Unassigned;
            continue;
        }
        TNodeData* row = candidates == 1 ? FindHash(Table, partial, cells) : nullptr;
        if (row) {
            ++counts.Updated;
        } else {
            row = AddNode(GetFreeID(), Table, -1, -1, -1, cmDefault);
            if (!row)
                continue;
            ++counts.Added;
        }
        for (int c = 0; c < columns; ++c)
            DoSetData(row, c, cells[std::size_t(c)], cmDefault);
        CB_UpdateHashEntries(row);
    }
    return counts;
}

bool TScheduleDocument::MergeFile(const String& FileName)
{
    if (!CanMergeFiles())
        return false;
    if (!IsFile(FileName)) {
        ShowMessage(dmInformation, FillText(Translate("File %s does not exist."), {FileName}));
        return false;
    }
    std::unique_ptr<TMemIniFile> ini;
    try {
        ini = std::make_unique<TMemIniFile>(FileName);
    } catch (const std::exception& e) {
        WriteLog(String("Merge ") + FileName + ": " + e.what());
        ShowMessage(dmWarning, FillText(Translate("File %s could not be loaded."), {FileName}));
        return false;
    }
    if (!CompareSetup(*ini) && !AskConfirmation(FillText(Translate("File setups are different.\\nMerge Files anyway?"), {})))
        return false;

    TMergeCounts counts[TableCount];
    {
        TUpdateScope update(*this, Translate("Merge Files..."));
        TUndoGroupScope group(*this);
        FMergeIndex = std::make_shared<TMergeIndex>();
        TScopeExit dropIndex([this] { FMergeIndex.reset(); });
        try {
            counts[tbTable] = updateTable(tbTable, *ini);
            counts[tbExclude] = updateTable(tbExclude, *ini);
        } catch (const std::exception& e) {
            WriteLog(String("Merge ") + FileName + ": " + e.what());
        }
    }

    // Line feeds: a message box takes CR, LF and CR LF alike as line breaks.
    String message;
    for (TWhichTable table : {tbTable, tbExclude}) {
        const TMergeCounts& c = counts[table];
        if (c.Added == 0 && c.Updated == 0 && c.Unassigned == 0)
            continue;
        if (!message.empty())
            message += '\n';
        message += FillText(Translate("%s: %s newly added, %s updated, %s could not be assigned"),
                          {GetTableTabCaption(table), IntToStr(c.Added), IntToStr(c.Updated), IntToStr(c.Unassigned)});
    }
    ShowMessage(dmInformation, message);
    return true;
}

void TScheduleDocument::Zusammenfhren1Click()
{
    if (!CanMergeFiles())
        return;
    String name;
    if (ExecuteOpenDialog(name) && !name.empty())
        MergeFile(name);
}
