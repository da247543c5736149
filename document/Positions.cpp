// The position list: multi-row positions expanded, the current group's
// filter and the map from position index to shown row.
#include "document/DocumentHelpers.h"
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

namespace {

// Row count of a position entry: item 2, 1 when empty, not a number or
// below 1, at most the document's limit.
int RowCountOf(const TCommaText& List, int I) { return TScheduleDocument::PositionRowCount(List.Item(I)); }

String FirstLine(const String& Text)
{
    const std::size_t end = Text.find_first_of("\r\n");
    return end == String::npos ? Text : Text.substr(0, end);
}

// Every position of n rows is followed by n - 1 copies named "name (k)".
void ExpandRows(TCommaText& List)
{
    std::vector<String> out;
    out.reserve(std::size_t(List.Count()));
    for (int i = 0; i < List.Count(); ++i) {
        const String entry = List.Item(i);
        out.push_back(entry);
        const int n = RowCountOf(List, i);
        if (n <= 1)
            continue;
        const String name = List.Item(i, 0);
        for (int k = 1; k < n; ++k) {
            TCommaText copy(entry);
            copy.SetItem(0, TScheduleDocument::ExtraRowName(name, k));
            out.push_back(copy.AsString());
        }
    }
    List.FromArray(out);
}

}  // namespace

String TScheduleDocument::ExtraRowName(const String& Name, int K)
{
    return FirstLine(Name) + " (" + IntToStr(K) + ")";
}

const TScheduleDocument::TPositionIndex& TScheduleDocument::ExpandedPositions()
{
    if (!FPositionCache)
        FPositionCache = std::make_unique<TPositionIndex>();
    TPositionIndex& cache = *FPositionCache;
    THeaderData* header = GetHeader(tbTable, GetConnection(tbTable, cnPosition));
    const UInt64 version = header ? header->Version() : 0;
    const int count = header ? header->Strings->Count() : 0;
    if (cache.Valid && cache.Version == version && cache.Count == count)
        return cache;
    cache.List.Clear();
    if (header)
        cache.List.FromStrings(*header->Strings);
    ExpandRows(cache.List);
    cache.Index.clear();
    for (int i = 0; i < cache.List.Count(); ++i)
        cache.Index.emplace(cache.List.Item(i, 0), i);
    cache.Valid = true;
    cache.Version = version;
    cache.Count = count;
    return cache;
}

int TScheduleDocument::ExpandedPositionIndex(const String& Text)
{
    const TPositionIndex& positions = ExpandedPositions();
    auto it = positions.Index.find(Text);
    return it == positions.Index.end() ? -1 : it->second;
}

String TScheduleDocument::ExpandedPositionText(int Index) { return ExpandedPositions().List.Item(Index, 0); }

ICommaText TScheduleDocument::Positiongroups(bool ExpandRows_, bool AllPositions_)
{
    const int tab = GetPositionGroupIndex();
    const String group = tab >= 0 && tab < FPositionGroup.Count() ? FPositionGroup.Get(tab) : String();
    if (group.empty() || AllPositions_) {
        if (ExpandRows_)
            return std::make_shared<TCommaText>(ExpandedPositions().List);
        return NewCommaText(*GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition)));
    }
    ICommaText result = NewCommaText(group);
    if (ExpandRows_)
        ExpandRows(*result);
    return result;
}

void TScheduleDocument::UpdateInternalVariables()
{
    const TCommaText& all = ExpandedPositions().List;
    const int n = all.Count();
    std::unordered_map<String, int> shown;
    if (FGlobalPositionFilter)
        for (int i = 0; i < FGlobalPositionFilter->Count(); ++i)
            shown.emplace(FGlobalPositionFilter->Item(i), i);
    FPositionInPositionGroup.assign(std::size_t(n), OutsideGroup);
    for (int i = 0; i < n; ++i) {
        auto it = shown.find(all.Item(i));
        if (it != shown.end())
            FPositionInPositionGroup[std::size_t(i)] = it->second;
    }
    FPositionsInHolidayGroup.assign(std::size_t(n), {});
    for (int p = 0; p < n;) {
        int rows = RowCountOf(all, p);
        if (rows > n - p)
            rows = n - p;
        std::vector<int> span;
        for (int k = 0; k < rows; ++k)
            span.push_back(p + k);
        for (int k = 0; k < rows; ++k)
            FPositionsInHolidayGroup[std::size_t(p + k)] = span;
        p += rows;
    }
    UpdateCalendarVariables();
    UpdateEmptyRows(true);
}

void TScheduleDocument::ApplyPositionGroup()
{
    FGlobalPositionFilter = Positiongroups(true, false);
    FNoAutoGlobalPositionFilter = CopyCommaText(FGlobalPositionFilter);
    UpdateInternalVariables();
}

int TScheduleDocument::GetPositionOf(const TNodeData* Row) const
{
    if (!Row)
        return -1;
    if (Row->nodePosition == AllPositions)
        return AllPositions;
    if (Row->nodePosition >= 0 && std::size_t(Row->nodePosition) < FPositionInPositionGroup.size())
        return FPositionInPositionGroup[std::size_t(Row->nodePosition)];
    return -1;
}

void TScheduleDocument::DoSetPositionOf(TNodeData* Row, int Index, TCallingMode Mode)
{
    if (!Row)
        return;
    const int column = GetConnection(Row->NodeTable, cnPosition);
    if (FGlobalPositionFilter && FGlobalPositionFilter->Count() > 0)
        DoSetData(Row, column, FGlobalPositionFilter->Item(Index, 0), Mode);
    else
        DoSetDataIndex(Row, column, Mode, Index);
}
