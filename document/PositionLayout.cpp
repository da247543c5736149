// Applying an edited position list and unit: every row, group and filter
// follows its position by origin, so renames, swaps and moves in one go
// cannot hand one position's rows to another.
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

namespace {

// What became of an old position text.
enum TRemapResult : std::uint8_t { rrUnknown, rrDeleted, rrMapped };

class TPositionRemap {
public:
    TPositionRemap(const TStringList& OldEntries, const TPositionLayout& Layout,
        const std::vector<String>& NewEntries)
        : FLayout(Layout), FNewEntries(NewEntries)
    {
        const int count = OldEntries.Count();
        FNewOf.assign(std::size_t(count), -1);
        for (std::size_t j = 0; j < Layout.Positions.size(); ++j) {
            const int origin = Layout.Positions[j].Origin;
            if (origin >= 0 && origin < count && FNewOf[std::size_t(origin)] < 0)
                FNewOf[std::size_t(origin)] = int(j);
        }
        // The first of equal texts wins, as it does for the rows' positions.
        for (int p = 0; p < count; ++p) {
            const String entry = OldEntries.Get(p);
            FOldEntries.push_back(entry);
            const String name = CommaTextItem(entry, 0);
            FEntryIndex.emplace(entry, p);
            FNameIndex.emplace(name, p);
            FPlaces.emplace(name, TPlace{p, 0});
            const int rows = TScheduleDocument::PositionRowCount(entry);
            for (int k = 1; k < rows; ++k)
                FPlaces.emplace(TScheduleDocument::ExtraRowName(name, k), TPlace{p, k});
        }
    }

    // The new text of a position cell or filter item.
    TRemapResult Map(const String& Text, String& Result) const
    {
        auto it = FPlaces.find(Text);
        if (it == FPlaces.end())
            return rrUnknown;
        const int j = FNewOf[std::size_t(it->second.Entry)];
        if (j < 0)
            return rrDeleted;
        const TPositionDescription& p = FLayout.Positions[std::size_t(j)];
        const int k = it->second.Row;
        // Rows a position no longer has fall back to its main row.
        Result = k > 0 && k < p.RowCount ? TScheduleDocument::ExtraRowName(p.Name, k) : p.Name;
        return rrMapped;
    }

    // A stored group: its items matched to old positions (whole entry, else
    // name) become the new entries in the new order; items of deleted
    // positions drop out and items of no position stay at the end.
    bool RemapGroup(TCommaText& Group) const
    {
        // Per new position the group's item, empty when not a member.
        std::vector<String> member(FNewEntries.size());
        std::vector<bool> isMember(FNewEntries.size(), false);
        std::vector<String> unknown;
        for (int i = 0; i < Group.Count(); ++i) {
            const int p = OldIndexOf(Group.Item(i));
            if (p < 0) {
                unknown.push_back(Group.Item(i));
            } else if (const int j = FNewOf[std::size_t(p)]; j >= 0 && !isMember[std::size_t(j)]) {
                isMember[std::size_t(j)] = true;
                // A position left as it was keeps the group's own text of it.
                member[std::size_t(j)] = FNewEntries[std::size_t(j)] == FOldEntries[std::size_t(p)]
                                             ? Group.Item(i)
                                             : FNewEntries[std::size_t(j)];
            }
        }
        std::vector<String> items;
        for (std::size_t j = 0; j < member.size(); ++j)
            if (isMember[j])
                items.push_back(member[j]);
        items.insert(items.end(), unknown.begin(), unknown.end());
        return Replace(Group, items);
    }

    // A list filter's items renamed; those of deleted positions drop out.
    bool RemapFilterItems(TCommaText& Items) const
    {
        std::vector<String> items;
        std::unordered_set<String> seen;
        for (int i = 0; i < Items.Count(); ++i) {
            String text = Items.Item(i);
            const TRemapResult r = Map(Items.Item(i), text);
            if (r != rrDeleted && seen.insert(text).second)
                items.push_back(text);
        }
        return Replace(Items, items);
    }

private:
    struct TPlace {
        int Entry;
        int Row;  // 0 the main row, k extra row k
    };

    int OldIndexOf(const String& Entry) const
    {
        auto whole = FEntryIndex.find(Entry);
        if (whole != FEntryIndex.end())
            return whole->second;
        auto byName = FNameIndex.find(CommaTextItem(Entry, 0));
        return byName == FNameIndex.end() ? -1 : byName->second;
    }

    // Only a list that really changed is rewritten: an unchanged one keeps
    // its bytes.
    static bool Replace(TCommaText& List, const std::vector<String>& Items)
    {
        bool same = int(Items.size()) == List.Count();
        for (std::size_t i = 0; same && i < Items.size(); ++i)
            same = List.Item(int(i)) == Items[i];
        if (!same)
            List.FromArray(Items);
        return !same;
    }

    const TPositionLayout& FLayout;
    const std::vector<String>& FNewEntries;
    std::vector<String> FOldEntries;
    std::vector<int> FNewOf;  // old entry -> new index, -1 deleted
    std::unordered_map<String, TPlace> FPlaces;
    std::unordered_map<String, int> FEntryIndex;
    std::unordered_map<String, int> FNameIndex;
};

// The entry of a position: its old bytes when nothing of it changed, else
// the old entry (with whatever else it holds) given the new items.
String EntryOf(const TPositionDescription& P, const TStringList& OldEntries)
{
    const bool hasOrigin = P.Origin >= 0 && P.Origin < OldEntries.Count();
    const String old = hasOrigin ? OldEntries.Get(P.Origin) : String();
    if (!hasOrigin) {
        TCommaText entry;
        entry.SetItem(0, P.Name);
        entry.SetItem(1, P.WeekText);
        entry.SetItem(2, IntToStr(P.RowCount));
        return entry.AsString();
    }
    const bool sameRows = TScheduleDocument::PositionRowCount(old) == P.RowCount;
    if (CommaTextItem(old, 0) == P.Name && CommaTextItem(old, 1) == P.WeekText && sameRows)
        return old;
    TCommaText entry(old);
    if (CommaTextItem(old, 0) != P.Name)
        entry.SetItem(0, P.Name);
    if (CommaTextItem(old, 1) != P.WeekText)
        entry.SetItem(1, P.WeekText);
    if (!sameRows)
        entry.SetItem(2, IntToStr(P.RowCount));
    return entry.AsString();
}

// A length text in hours and minutes ("7,30"); false for anything else.
bool ReadHoursLength(const String& Text, Int64& Minutes)
{
    const std::size_t comma = Text.find(',');
    int hours = 0, minutes = 0;
    if (!TryStrToInt(Trim(Text.substr(0, comma)), hours))
        return false;
    if (comma != String::npos && !TryStrToInt(Trim(Text.substr(comma + 1)), minutes))
        return false;
    Minutes = Int64(hours) * 60 + minutes;
    return true;
}

}  // namespace

TPositionLayout TScheduleDocument::PositionLayoutOf(int PositionColumn)
{
    TPositionLayout layout;
    layout.MinUnit = FMinUnit;
    THeaderData* header = PositionColumn >= 0 ? GetHeader(tbTable, PositionColumn) : nullptr;
    if (!header)
        return layout;
    const TStringList& entries = *header->Strings;
    for (int i = 0; i < entries.Count(); ++i) {
        const String entry = entries.Get(i);
        layout.Positions.push_back({CommaTextItem(entry, 0), CommaTextItem(entry, 1), PositionRowCount(entry), i});
    }
    return layout;
}

void TScheduleDocument::SetMinUnit(int Unit)
{
    if (Unit == muDay || Unit == muMinute)
        FMinUnit = TMinUnit(Unit);
}

void TScheduleDocument::ApplyPositionLayout(const TPositionLayout& Layout, int PositionColumn)
{
    BeginUpdate(Translate("setting up..."));
    THeaderData* header = PositionColumn >= 0 ? GetHeader(tbTable, PositionColumn) : nullptr;
    if (header) {
        TStringList oldEntries;
        oldEntries.Assign(*header->Strings);
        std::vector<String> newEntries;
        newEntries.reserve(Layout.Positions.size());
        for (const TPositionDescription& p : Layout.Positions)
            newEntries.push_back(EntryOf(p, oldEntries));
        const TPositionRemap remap(oldEntries, Layout, newEntries);

        // The absent days name the task table's positions only while that
        // column is the one bound to Position.
        std::vector<std::pair<TWhichTable, int>> columns{{tbTable, PositionColumn}};
        if (PositionColumn == GetConnection(tbTable, cnPosition) && GetConnection(tbExclude, cnPosition) >= 0)
            columns.emplace_back(tbExclude, GetConnection(tbExclude, cnPosition));

        for (const auto& [table, column] : columns) {
            ForEach(table, feAll, 0, [&, column = column](TNodeData* Row, NativeInt) {
                String text;
                if (Row->StringList && column < Row->StringList->Count() &&
                    remap.Map(Row->StringList->Get(column), text) == rrMapped &&
                    text != Row->StringList->Get(column))
                    Row->StringList->Put(column, text);
            });
            const String caption = GetColumnCaption(table, column);
            auto remapFilter = [&remap](String& Text1) {
                TCommaText items(Text1);
                if (remap.RemapFilterItems(items))
                    Text1 = items.AsString();
            };
            if (THeaderData* h = GetHeader(table, column); h && h->Filter.FilterType == ftList)
                remapFilter(h->Filter.Text1);
            for (TFilter& stored : FFilters)
                if (stored.Table == table && stored.Type == ftList && stored.Header == caption)
                    remapFilter(stored.Text1);
        }

        for (int g = 0; g < FPositionGroup.Count(); ++g) {
            if (FPositionGroup.Get(g).empty())
                continue;
            TCommaText group(FPositionGroup.Get(g));
            if (remap.RemapGroup(group))
                FPositionGroup.Put(g, group.AsString());
        }

        bool same = int(newEntries.size()) == oldEntries.Count();
        for (std::size_t i = 0; same && i < newEntries.size(); ++i)
            same = newEntries[i] == oldEntries.Get(int(i));
        if (!same) {
            TStringList list;
            for (const String& entry : newEntries)
                list.Add(entry);
            header->Strings->Assign(list);
        }
    }

    if (Layout.MinUnit != FMinUnit) {
        // Each task keeps its working length and its start day: a day is
        // eight hours, and minutes round up to whole days.
        const int lengthColumn = GetConnection(tbTable, cnLength);
        const bool toMinutes = Layout.MinUnit == muMinute;
        ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
            if (!Row->StringList || lengthColumn < 0 || lengthColumn >= Row->StringList->Count())
                return;
            const String text = Row->StringList->Get(lengthColumn);
            if (toMinutes) {
                int days = 0;
                if (TryStrToInt(Trim(text), days))
                    Row->StringList->Put(lengthColumn, IntToStr(Int64(days) * 8));
                return;
            }
            Int64 minutes = 0;
            if (ReadHoursLength(text, minutes))
                Row->StringList->Put(lengthColumn, IntToStr(std::max<Int64>(1, (minutes + 479) / 480)));
        });
        if (!toMinutes) {
            for (TWhichTable table : {tbTable, tbExclude})
                for (int column = 0; column < GetTableColCount(table); ++column) {
                    if (GetColumnType(table, column) != ctDate)
                        continue;
                    ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
                        TDateTime x = 0;
                        if (Row->StringList && column < Row->StringList->Count() &&
                            TryReadDateTime(Row->StringList->Get(column), x) && Frac(x) != 0)
                            Row->StringList->Put(column, ::FormatDateTime("ddddd", std::trunc(x)));
                    });
                }
        }
        SetMinUnit(Layout.MinUnit);
    }
    EndUpdate();
}
