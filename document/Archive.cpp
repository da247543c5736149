// Archiving: rows that ended on or before a day leave the tables for the
// document file's archive sections, which every save writes after the
// tables. The archived rows are gone for good from the plan (undo forgets
// what came before), so the file is saved before anything moves and once
// more after, and holds each archived row exactly once.
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

void TScheduleDocument::Auftrgearchivieren1Click()
{
    if (!CanArchive())
        return;
    // The first start and the last end of any row; today for an empty plan.
    TDateTime first = Date(), last = first;
    bool any = false;
    ForEach(feAll, 0, [&](TNodeData* Row, NativeInt) {
        if (!Row->nodeValid)
            return;
        first = any ? std::min(first, Row->nodeStart) : Row->nodeStart;
        last = any ? std::max(last, Row->nodeEnd) : Row->nodeEnd;
        any = true;
    });
    ShowArchiveDialog(first, last, Date());
}

void TScheduleDocument::Archivierungrckgngigmachen1Click() { ShowUnarchiveDialog(); }

bool TScheduleDocument::IsArchivable(TNodeData* Row, TDateTime Day)
{
    // A row without a start or with dates that do not parse has no end: it
    // would otherwise count as ending before any day and go with every run.
    const TDateTime end = GetEndOf(Row);
    return end != 0 && std::floor(end) <= std::floor(Day);
}

void TScheduleDocument::CountArchivable(TDateTime Day, int& Count, int& Total)
{
    Count = Total = 0;
    TCalendarPassScope pass(*this);
    for (TWhichTable table : {tbTable, tbExclude})
        ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
            ++Total;
            Count += IsArchivable(Row, Day);
        });
}

bool TScheduleDocument::ArchiveRows(TDateTime Day)
{
    if (!CanArchive())
        return false;
    if (!ActionSave()) {
        AskConfirmation(Translate("File could not be saved. The selected tasks were not archieved."));
        return false;
    }

    std::vector<TNodeData*> rows;
    {
        TCalendarPassScope pass(*this);
        for (TWhichTable table : {tbTable, tbExclude})
            ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
                if (IsArchivable(Row, Day))
                    rows.push_back(Row);
            });
    }
    if (rows.empty())
        return true;

    // The archive as the file holds it, grown by the rows, numbered on from
    // its count. A number already taken (a count the file lost) is skipped
    // rather than written over.
    TMemIniFile archive;
    WriteArchiveSections(archive);
    std::unordered_set<String> taken;
    for (const auto& section : FArchiveSections)
        taken.insert(UpperCase(section.first));
    int n = std::max(0, archive.ReadInteger("Archiv", "count", 0));
    std::vector<String> sections;
    sections.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        while (taken.count(UpperCase("ArchivItem" + IntToStr(n))))
            ++n;
        sections.push_back("ArchivItem" + IntToStr(n++));
    }
    archive.WriteInteger("Archiv", "count", n);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TWhichTable table = rows[i]->NodeTable;
        for (int c = 0; c < GetTableColCount(table); ++c)
            archive.WriteString(sections[i], GetColumnCaption(table, c), GetData(rows[i], c));
        archive.WriteString(sections[i], "__table", table == tbTable ? "tbTable" : "tbExclude");
    }
    KeepArchiveSections(archive);

    {
        TUpdateScope update(*this, Translate("archiving..."));
        TUndoBlock noUndo(UndoRedo());
        for (TNodeData* row : rows)
            DeleteNode(row, cmDefault);
    }
    // Undo would bring the rows back beside their archived copies.
    UndoRedo().Clear();
    SetFileChanged(true);
    // A failure is told as for any save; the archive goes with the next one.
    ActionSave();
    return true;
}
