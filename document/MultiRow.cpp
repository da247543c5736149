// Positions of several rows: where an expanded index lies in its position,
// adding a row to a position, the shown rows a row's position occupies, and
// whether a position is in use.
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

namespace {

// Row counts of the task table's position entries, in list order.
std::vector<int> RowCounts(TScheduleDocument& Doc)
{
    TStringList* list = Doc.GetColumnStrings(tbTable, Doc.GetConnection(tbTable, cnPosition));
    std::vector<int> counts;
    counts.reserve(std::size_t(list->Count()));
    for (int i = 0; i < list->Count(); ++i)
        counts.push_back(TScheduleDocument::PositionRowCount(list->Get(i)));
    return counts;
}

// The entry holding expanded index I and the expanded index of its main
// row; entry -1 outside the list.
std::pair<int, int> Locate(const std::vector<int>& Counts, int I)
{
    if (I < 0)
        return {-1, 0};
    int first = 0;
    for (std::size_t p = 0; p < Counts.size(); ++p) {
        if (I < first + Counts[p])
            return {int(p), first};
        first += Counts[p];
    }
    return {-1, 0};
}

}  // namespace

int TScheduleDocument::PositionRowCount(const String& Entry)
{
    int n = StrToIntDef(Trim(CommaTextItem(Entry, 2)), 1);
    if (n < 1)
        n = 1;
    if (n > MaxRowsPerPosition)
        n = MaxRowsPerPosition;
    return n;
}

int TScheduleDocument::MultiRowIndex(int I) { return Locate(RowCounts(*this), I).first; }

int TScheduleDocument::FirstRowInMultiRow(int I)
{
    const auto [entry, first] = Locate(RowCounts(*this), I);
    return entry < 0 ? I + 1 : first + 1;
}

int TScheduleDocument::LastRowInMultiRow(int I)
{
    const std::vector<int> counts = RowCounts(*this);
    const auto [entry, first] = Locate(counts, I);
    return entry < 0 ? I : first + counts[std::size_t(entry)] - 1;
}

bool TScheduleDocument::AddMultiRow(int P, bool RefreshTabs)
{
    TStringList* list = GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition));
    if (P < 0 || P >= list->Count())
        return false;
    const String oldEntry = list->Get(P);
    const int rows = PositionRowCount(oldEntry);
    if (rows >= MaxRowsPerPosition)
        return false;
    TCommaText copy(*list);
    copy.SetItem(P, 2, IntToStr(rows + 1));
    const String newEntry = copy.Item(P);
    list->Assign(copy.Strings());

    for (int g = 0; g < FPositionGroup.Count(); ++g) {
        TCommaText group(FPositionGroup.Get(g));
        bool changed = false;
        for (int i = 0; i < group.Count(); ++i)
            if (group.Item(i) == oldEntry) {
                group.SetItem(i, newEntry);
                changed = true;
            }
        if (changed)
            FPositionGroup.Put(g, group.AsString());
    }
    // The shown rows follow the longer list before the rows are written, so
    // each write lands on its row.
    ApplyPositionGroup();

    int k = -1;
    for (int i = 0; i <= P; ++i)
        k += PositionRowCount(list->Get(i));
    // Every later row is written twice, to a neighbour and back, so that it
    // keeps its text while its derived values, undo entries and network
    // events are made anew for the new index.
    ForEach(feAll, k, [this](TNodeData* Row, NativeInt From) {
        const int index = Row->nodePosition;
        if (index < From)
            return;
        const int column = GetConnection(Row->NodeTable, cnPosition);
        SetDataIndex(Row, column, index + 2);
        SetDataIndex(Row, column, index + 1);
    });
    if (RefreshTabs)
        GroupTabChange();
    return true;
}

bool TScheduleDocument::isMultiRow(int I) const
{
    if (!FGlobalPositionFilter || I < 0 || I >= FGlobalPositionFilter->Count())
        return false;
    const int column = GetConnection(tbTable, cnPosition);
    auto* self = const_cast<TScheduleDocument*>(this);
    TStringList* list = self->GetColumnStrings(tbTable, column);
    const String entry = FGlobalPositionFilter->Item(I);
    for (int i = 0; i < list->Count(); ++i)
        if (list->Get(i) == entry)
            return false;
    return true;
}

std::vector<int> TScheduleDocument::GetMultipleRowSpan(TWhichTable Table, const TNodeData* Row) const
{
    if (!Row)
        return {};
    const int position = Row->nodePosition;
    if (Table == tbExclude && position != AllPositions &&
        (position < 0 || std::size_t(position) >= FPositionsInHolidayGroup.size()))
        return {GetPositionOf(Row)};
    return _GetMultipleRowSpan(Table, position);
}

std::vector<int> TScheduleDocument::_GetMultipleRowSpan(TWhichTable Table, int Index) const
{
    if (Index == AllPositions)
        return FPositionInPositionGroup;
    if (Table == tbExclude) {
        std::vector<int> span;
        if (Index >= 0 && std::size_t(Index) < FPositionsInHolidayGroup.size())
            for (int index : FPositionsInHolidayGroup[std::size_t(Index)])
                span.push_back(index >= 0 && std::size_t(index) < FPositionInPositionGroup.size()
                                   ? FPositionInPositionGroup[std::size_t(index)]
                                   : index);
        if (span.empty())
            span.push_back(Index);
        return span;
    }
    return {Index};
}

bool TScheduleDocument::findNodeWithPosition(TWhichTable Table, const String& Text)
{
    TStringTreeGrid* tree = GetTable(Table);
    const int column = GetConnection(Table, cnPosition);
    if (!tree || column < 0)
        return false;
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node))
        if (TNodeData* row = NodeToRow(tree, node); row && GetData(row, column) == Text)
            return true;
    return false;
}
