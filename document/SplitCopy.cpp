// Splitting a task in two at a date, and copying a row.
#include <cmath>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "document/UndoRedo.h"
#include "platform/SysUtils.h"

namespace {

}  // namespace

TDateTime TScheduleDocument::SplitDateAt(TDateTime ChartStart, int X, int ColumnWidth)
{
    // A width read from a file may be 0.
    const int width = ColumnWidth < 1 ? 1 : ColumnWidth;
    if (FMinUnit == muMinute && GetActiveTable() == tbTable)
        return ChartStart + double(X) / width;
    return ChartStart + X / width;
}

int TScheduleDocument::ShownRowAt(int Top, int Y, int RowHeight)
{
    const int height = RowHeight < 1 ? 1 : RowHeight;
    return int((Int64(Top) + Y) / height);
}

bool TScheduleDocument::ActionSplitUpdate()
{
    // On a connected client AddNode makes no local row to fill.
    if (IsConnectedClient() || ActionSolveOverlappingUpdate())
        return false;
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    return tree && tree->SelectedCount() == 1;
}

bool TScheduleDocument::ActionSplitExecute(TDateTime SplitDate, int Row)
{
    if (!ActionSplitUpdate())
        return false;
    if (!AskSplit(FillText(Translate("Split task at this position (%s)?"), {FormatDateTime(SplitDate)})))
        return false;
    const TWhichTable table = GetActiveTable();
    TStringTreeGrid* tree = GetTable(table);
    TNodeData* original = NodeToRow(tree, tree->GetFirstSelected());
    if (!original)
        return false;
    const TDateTime start = GetStartOf(original);
    const TDateTime ende = GetEndOf(original);
    // Whole-day ends name the last day; the part after the split runs
    // through it.
    const bool inclusive = FMinUnit != muMinute || table == tbExclude;
    const TDateTime after = inclusive ? std::floor(ende) + 1 : ende;
    // The selected task need not lie under the mouse.
    if (!(start < SplitDate && SplitDate < after))
        return false;

    TUndoGroupScope group(*this);

    TNodeData* first = CopyNode();
    if (!first)
        return false;
    SetStartOf(first, start);
    SetLengthOf(first, calcLengthOf(table, Row, start, SplitDate));

    SelectOnly(original);
    TNodeData* second = CopyNode();
    if (!second) {
        DeleteNode(first, cmDefault);
        SelectOnly(original);
        return false;
    }
    SetStartOf(second, SplitDate);
    SetLengthOf(second, calcLengthOf(table, Row, SplitDate, after));

    DeleteNode(original, cmDefault);
    UpdateStatusBar();
    return true;
}

TNodeData* TScheduleDocument::CopyNode()
{
    const TWhichTable table = GetActiveTable();
    TStringTreeGrid* tree = GetTable(table);
    if (!tree)
        return nullptr;
    if (TGridNode* selected = tree->GetFirstSelected())
        tree->SetFocusedNode(selected);
    TNodeData* source = NodeToRow(tree, tree->FocusedNode());
    if (!source) {
        ShowInformation(Translate("A task must be selected to copy from."));
        return nullptr;
    }
    // The server's echo would add an empty row, with nothing to copy into.
    if (IsConnectedClient())
        return nullptr;
    TNodeData* copy = AddNode(GetFreeID(), table, -1, -1, -1, cmDefault);
    if (!copy)
        return nullptr;
    SelectOnly(copy);
    const int startColumn = GetConnection(table, cnStart);
    const int endColumn = GetConnection(table, cnEnd);
    const int columns = GetTableColCount(table);
    for (int c = 0; c < columns; ++c)
        if (c != startColumn && c != endColumn)
            SetData(copy, c, GetData(source, c));
    return copy;
}
