// Cells, the cell funnel, adding, deleting, visiting and validating rows.
#include <climits>
#include <cmath>

#include "document/DocumentHelpers.h"
#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

namespace {

bool IsOneOf(TConnection Role, std::initializer_list<TConnection> Roles)
{
    for (TConnection r : Roles)
        if (r == Role)
            return true;
    return false;
}

}  // namespace

// ---- cells ----------------------------------------------------------------------

String TScheduleDocument::GetData(const TNodeData* Row, int Column) const
{
    if (!Row || !Row->StringList || Column < 0 || Column >= Row->StringList->Count())
        return String();
    return Row->StringList->Get(Column);
}

String TScheduleDocument::GetData_(const TNodeData* Row, TConnection Role) const
{
    return Row ? GetData(Row, GetConnection(Row->NodeTable, Role)) : String();
}

int TScheduleDocument::GetDataIndex(TNodeData* Row, int Column)
{
    if (!Row || Column < 0)
        return -1;
    const String text = GetData(Row, Column);
    if (Column == GetConnection(Row->NodeTable, cnPosition)) {
        if (text == "*")
            return AllPositions;
        return ExpandedPositionIndex(text);
    }
    if (Column >= GetTableColCount(Row->NodeTable))
        return -1;
    THeaderData* header = GetHeader(Row->NodeTable, Column);
    return header ? header->IndexOfEntry(text) : -1;
}

int TScheduleDocument::GetDataIndex_(TNodeData* Row, TConnection Role)
{
    return Row ? GetDataIndex(Row, GetConnection(Row->NodeTable, Role)) : -1;
}

void TScheduleDocument::SetData(TNodeData* Row, int Column, const String& Text)
{
    DoSetData(Row, Column, Text, cmDefault);
}

void TScheduleDocument::SetData_(TNodeData* Row, TConnection Role, const String& Text)
{
    if (Row)
        SetData(Row, GetConnection(Row->NodeTable, Role), Text);
}

void TScheduleDocument::SetDataIndex(TNodeData* Row, int Column, int Index)
{
    DoSetDataIndex(Row, Column, cmDefault, Index);
}

void TScheduleDocument::SetDataIndex_(TNodeData* Row, TConnection Role, int Index)
{
    if (Row)
        SetDataIndex(Row, GetConnection(Row->NodeTable, Role), Index);
}

void TScheduleDocument::DoSetDataIndex(TNodeData* Row, int Column, TCallingMode Mode, int Index)
{
    if (!Row)
        return;
    String text;
    if (Column >= 0 && Column == GetConnection(Row->NodeTable, cnPosition)) {
        text = ExpandedPositionText(Index);
    } else {
        TStringList* list = GetColumnStrings(Row->NodeTable, Column);
        if (Index >= 0 && Index < list->Count())
            text = CommaTextItem(list->Get(Index), 0);
    }
    DoSetData(Row, Column, text, Mode);
}

// The one way a cell changes. The role is looked up again at every step, as
// a hook called on the way may rebind the columns.
void TScheduleDocument::DoSetData(TNodeData* Row, int Column, const String& Text, TCallingMode Mode)
{
    if (!Row || !Row->StringList || Column < 0 || Column >= Row->StringList->Count())
        return;
    if (Row->StringList->Get(Column) == Text)
        return;
    const TWhichTable table = Row->NodeTable;
    auto role = [&] { return GetColumnConnection(table, Column); };

    Row->LastChanged = Now();
    if (role() != cnEnd)
        SetFileChanged(true);
    if (Mode == cmDefault && IsConnectedClient() && role() != cnEnd) {
        // The server applies it and echoes it back.
        SendSetNodeDataEvent(Column, Text, Row->ID);
        return;
    }
    if (Mode != cmIgnoreNet && IsActiveServer())
        BroadcastSetNodeDataEvent(Column, Text, Row->ID);
    if (role() != cnEnd)
        RecordUndoSetData(Row, Column);
    if (IsOneOf(role(), {cnPosition, cnStart, cnEnd, cnLength, cnLengthWithWeekend}))
        InvalidateNode(Row);

    Row->StringList->Put(Column, Text);

    // The cached values are checked before the end is marked for
    // recalculation: marking it invalidates the row, and for an absent day
    // that already measures its span (and clears the mark) from the cache.
    if ((role() >= cnPosition && role() <= cnColor) || role() == cnLengthWithWeekend)
        CB_CheckValid(Row);
    if (IsOneOf(role(), {cnPosition, cnStart, cnLength, cnLengthWithWeekend}))
        SetRecalcEndOf(Row, true);
    else if (role() == cnEnd)
        SetRecalcStartOf(Row, true);
    if (IsOneOf(role(), {cnStart, cnEnd, cnTermin}))
        UpdateBounds(true);
    if (IsOneOf(role(), {cnPosition, cnStart, cnEnd}))
        UpdateOverlapping(true);
    if (role() == cnPosition)
        UpdateEmptyRows(true);
    if (role() == cnColor)
        EnableSelectionFlash();
    if (role() != cnNone) {
        // A bar moved or stretched keeps its picture while its size stays:
        // only what the picture shows makes it stale.
        if (IsShownOnBar(table, Column))
            Row->RecalcBitmap = true;
        InvalidateNode(Row);
    }
    if (IsOneOf(role(), {cnPosition, cnStart, cnLength}) && HasActiveControl())
        CenterNode(Row);
    UpdateEditor();
}

// ---- derived values ---------------------------------------------------------------

void TScheduleDocument::DoSetStartOf(TNodeData* Row, TCallingMode Mode, TDateTime X)
{
    if (!Row)
        return;
    if (Row->NodeTable == tbExclude)
        X = std::trunc(X);
    DoSetData(Row, GetConnection(Row->NodeTable, cnStart), FormatDateTime(X), Mode);
}

void TScheduleDocument::SetEndOf(TNodeData* Row, TDateTime X) { SetData_(Row, cnEnd, FormatDateTime(X)); }

TDateTime TScheduleDocument::GetTerminOf(const TNodeData* Row) const
{
    if (!Row || GetConnection(Row->NodeTable, cnTermin) < 0)
        return 0;
    return Row->nodeTermin;
}

void TScheduleDocument::SetTerminOf(TNodeData* Row, TDateTime X) { SetData_(Row, cnTermin, FormatDateTime(X)); }

int TScheduleDocument::GetLengthOf(const TNodeData* Row) const
{
    if (!Row)
        return 0;
    const Int64 length = calcNodeLength(Row->NodeTable, GetData_(Row, cnLength));
    return length >= INT_MIN && length <= INT_MAX ? int(length) : 0;
}

void TScheduleDocument::DoSetLengthOf(TNodeData* Row, int Minutes, TCallingMode Mode)
{
    if (!Row)
        return;
    String text;
    if (FMinUnit != muMinute || Row->NodeTable == tbExclude) {
        text = IntToStr(Minutes / 480);
    } else {
        const int hours = Minutes / 60;
        const int rest = Minutes % 60;
        text = rest != 0 ? IntToStr(hours) + "," + IntToStr(rest < 0 ? -rest : rest) : IntToStr(hours);
    }
    DoSetData(Row, GetConnection(Row->NodeTable, cnLength), text, Mode);
}

void TScheduleDocument::SetRecalcEndOf(TNodeData* Row, bool Flag)
{
    if (!Row)
        return;
    Row->RecalcEndOf = Flag;
    if (Flag)
        InvalidateNode(Row);
}

void TScheduleDocument::SetRecalcStartOf(TNodeData* Row, bool Flag)
{
    if (!Row)
        return;
    Row->RecalcStartOf = Flag;
    if (Flag)
        InvalidateNode(Row);
}

void TScheduleDocument::CB_SetRecalcEndOf(TNodeData* Row, NativeInt)
{
    if (!Row)
        return;
    Row->RecalcEndOf = true;
    Row->RecalcBitmap = true;
    // Every walk with this callback marks the tasks as well: an absent day
    // need not look for the tasks it touches (which would cost a walk over
    // all tasks for each absent day).
    struct TQuiet {
        int& Depth;
        explicit TQuiet(int& D) : Depth(D) { ++Depth; }
        ~TQuiet() { --Depth; }
    } quiet(FQuietAbsentDays);
    InvalidateNode(Row);
}

void TScheduleDocument::CB_SetRecalcBitmap(TNodeData* Row, NativeInt)
{
    if (!Row)
        return;
    Row->RecalcBitmap = true;
    InvalidateNode(Row);
}

String TScheduleDocument::FormatDateTime(TDateTime X) const
{
    if (FMinUnit == muMinute && Frac(X) != 0)
        return ::FormatDateTime("ddddd hh:nn", X);
    return ::FormatDateTime("ddddd", X);
}

TDateTime TScheduleDocument::StrToDateTime(const String& Text) const
{
    if (FMinUnit == muMinute)
        return StrToDateTimeDef(Text, 0);
    return StrToDateDef(Text, 0);
}

bool TScheduleDocument::TryReadDateTime(const String& Text, TDateTime& X) const
{
    if (FMinUnit == muMinute)
        return ::TryStrToDateTime(Text, X);
    return ::TryStrToDate(Text, X);
}

Int64 TScheduleDocument::calcNodeLength(TWhichTable Table, const String& Text) const
{
    if (FMinUnit != muMinute || Table == tbExclude)
        return Int64(StrToIntDef(Text, 0)) * 480;
    const std::size_t comma = Text.find(',');
    const String hours = comma == String::npos ? Text : Text.substr(0, comma);
    const String minutes = comma == String::npos ? String("0") : Text.substr(comma + 1);
    return Int64(StrToIntDef(hours, 0)) * 60 + StrToIntDef(minutes, 0);
}

// ---- validity ------------------------------------------------------------------------

void TScheduleDocument::CB_CheckValid(TNodeData* Row, NativeInt)
{
    if (!Row || IsUpdating())
        return;
    try {
        Row->nodeStart = StrToDateTime(GetData_(Row, cnStart));
        Row->nodeEnd = StrToDateTime(GetData_(Row, cnEnd));
        Row->nodePosition = GetDataIndex_(Row, cnPosition);
        const Int64 length = calcNodeLength(Row->NodeTable, GetData_(Row, cnLength));
        // A length the record cannot hold makes the row invalid.
        const bool fits = length >= 1 && length <= INT_MAX;
        Row->nodeLength = fits ? std::int32_t(length) : 0;
        Row->nodeColor = GetDataIndex_(Row, cnColor);
        Row->nodeValid = fits && !GetData_(Row, cnStart).empty() && !GetData_(Row, cnEnd).empty() &&
                         !GetData_(Row, cnLength).empty() && !GetData_(Row, cnPosition).empty() &&
                         isDateOK(Row->nodeStart) && isDateOK(Row->nodeEnd);
    } catch (...) {
        Row->nodeValid = false;
        Row->nodeStart = Row->nodeEnd = Row->nodeTermin = 0;
        Row->nodeLength = Row->nodePosition = 0;
    }
    try {
        if (GetConnection(Row->NodeTable, cnTermin) < 0) {
            Row->nodeTermin = 0;
        } else {
            Row->nodeTermin = StrToDateTime(GetData_(Row, cnTermin));
            if (!isDateOK(Row->nodeTermin))
                Row->nodeTermin = 0;
        }
    } catch (...) {
        Row->nodeTermin = 0;
    }
    RowPlaceChanged(Row);
}

void TScheduleDocument::CheckAllValid()
{
    ForEach(feAll, 0, [this](TNodeData* Row, NativeInt) { CB_CheckValid(Row); });
    InvalidateTimeChart();
}

// ---- rows ------------------------------------------------------------------------------

TNodeData* TScheduleDocument::AddNode(int ID, TWhichTable Table, int Position, int Length, TDateTime Start,
    TCallingMode Mode)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return nullptr;
    if (Mode == cmDefault && IsConnectedClient()) {
        SendNewNodeEvent(Table, Position, Length, Start, 0);
        return nullptr;
    }
    if (Mode != cmIgnoreNet && IsActiveServer())
        BroadcastNewNodeEvent(Table, Position, Length, Start, ID);

    TGridNode* node = tree->AddChild(nullptr);
    if (!node)
        return nullptr;
    // Initialised now, so the node store treats it as a complete node.
    tree->ValidateNode(node, false);
    auto* row = tree->GetNodeData<TNodeData>(node);
    *row = TNodeData{};
    row->VNode = node;
    row->VNodeTable = tree;
    row->NodeTable = Table;
    row->ID = ID;
    row->StringList = new TStringList();
    const int columns = GetTableColCount(Table);
    for (int i = 0; i < columns; ++i)
        row->StringList->Add(String());
    row->Bitmap = new TBitmap();
    row->Bitmap->SetPixelFormat(pf32bit);
    FIDIndex.emplace(ID, row);

    if (Table == tbExclude) {
        const int color = GetConnection(Table, cnColor);
        if (color >= 0 && color < columns)
            row->StringList->Put(color, FDefaultHolidayReason);
        const int workdays = GetConnection(Table, cnLengthWithWeekend);
        if (workdays >= 0 && workdays < columns)
            row->StringList->Put(workdays, BoolToCheckText(FDefaultCalcWorkdays));
    } else {
        DoSetDataIndex(row, GetConnection(Table, cnColor), Mode, 0);
    }
    if (Start != -1)
        DoSetStartOf(row, Mode, Start);
    if (Length != -1)
        DoSetLengthOf(row, Length, Mode);
    if (Position != -1)
        DoSetPositionOf(row, Position, Mode);
    RecordUndoAddNode(row);
    UpdateStatusBar();
    return row;
}

void TScheduleDocument::DeleteNode(TNodeData* Row, TCallingMode Mode)
{
    if (!Row || !Row->VNode || !Row->VNodeTable)
        return;
    if (Mode == cmDefault && IsConnectedClient()) {
        SendDeleteNodeEvent(Row->ID);
        return;
    }
    if (Mode != cmIgnoreNet && IsActiveServer())
        BroadcastDeleteNodeEvent(Row->ID);
    RecordUndoRemoveNode(Row);
    InvalidateNode(Row);
    if (FOverlappingNodes.Count() > 0)
        UpdateOverlapping(true);
    Row->VNodeTable->DeleteNode(Row->VNode);
    // The step just recorded can run only now that its row is gone.
    if (FUndoRedo)
        FUndoRedo->UpdateMainForm();
    SetFileChanged(true);
}

int TScheduleDocument::GetFreeID()
{
    auto next = [](int id) { return id == INT_MAX ? 0 : id + 1; };
    int candidate = next(FLastFreeID);
    while (FIDIndex.find(candidate) != FIDIndex.end())
        candidate = next(candidate);
    FLastFreeID = candidate;
    return candidate;
}

bool TScheduleDocument::FindNodeAndTable(int ID, TNodeData*& Row, TWhichTable& Table) const
{
    Row = nullptr;
    auto range = FIDIndex.equal_range(ID);
    // With the same ID twice the first row in table order wins.
    for (auto it = range.first; it != range.second; ++it) {
        TNodeData* candidate = it->second;
        if (!Row || candidate->NodeTable < Row->NodeTable ||
            (candidate->NodeTable == Row->NodeTable &&
                candidate->VNodeTable->CompareNodePositions(candidate->VNode, Row->VNode) < 0))
            Row = candidate;
    }
    if (!Row)
        return false;
    Table = Row->NodeTable;
    return true;
}

void TScheduleDocument::ForEach(TForEachType Which, NativeInt Param, const TForEachCallback& Callback)
{
    ForEach(tbTable, Which, Param, Callback);
    ForEach(tbExclude, Which, Param, Callback);
}

void TScheduleDocument::ForEach(TWhichTable Table, TForEachType Which, NativeInt Param,
    const TForEachCallback& Callback)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree || !Callback)
        return;
    TGridNode* node = tree->GetFirstNoInit();
    while (node) {
        TNodeData* row = NodeToRow(tree, node);
        bool qualifies = false;
        if (row) {
            try {
                switch (Which) {
                case feAll:
                    qualifies = true;
                    break;
                case feGroupAll:
                    qualifies = GetPositionOf(row) >= 0;
                    break;
                case feGroupFiltered:
                    qualifies = tree->IsVisible(node) && GetPositionOf(row) >= 0;
                    break;
                case feOverlapping:
                    qualifies = GetNodeIsOverlapping(row);
                    break;
                case feSelected:
                    qualifies = tree->Selected(node);
                    break;
                case feFiltered:
                    qualifies = IsNodeFiltered(row);
                    break;
                }
            } catch (...) {
                qualifies = false;
            }
        }
        // Fetched first: the callback may delete the row it is given.
        TGridNode* next = tree->GetNextNoInit(node);
        if (qualifies) {
            try {
                Callback(row, Param);
            } catch (const Exception& e) {
                WriteLog("Exception: " + e.Message);
            } catch (const std::exception& e) {
                WriteLog(String("Exception: ") + e.what());
            } catch (...) {
                WriteLog("Exception: unknown");
            }
        }
        node = next;
    }
}

// ---- drawing -----------------------------------------------------------------------------

void TScheduleDocument::InvalidateNode(TNodeData* Row, bool Large)
{
    (void)Large;
    if (IsUpdating() || !Row || !Row->VNode || !Row->VNodeTable)
        return;
    // An absent day that changes moves the ends of the tasks it touches.
    if (Row->NodeTable == tbExclude && FQuietAbsentDays == 0)
        recalcoverlapping(Row);
    try {
        Row->VNodeTable->InvalidateNode(Row->VNode);
    } catch (...) {
    }
}

bool TScheduleDocument::GetNodeIsOverlapping(const TNodeData* Row) const
{
    return Row && FOverlapCount.find(Row) != FOverlapCount.end();
}
