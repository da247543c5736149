// A table's columns laid out anew: order, names, types, strings and roles
// in one step that keeps every cell and every column's own settings with
// the column they belong to.
#include "document/ColumnLayout.h"

#include "document/CommaText.h"
#include "document/ScheduleDocument.h"

namespace {

std::vector<String> EntryTexts(const TStringList* Strings)
{
    std::vector<String> texts;
    if (!Strings)
        return texts;
    texts.reserve(std::size_t(Strings->Count()));
    for (int i = 0; i < Strings->Count(); ++i)
        texts.push_back(CommaTextItem(Strings->Get(i), 0));
    return texts;
}

}  // namespace

void TScheduleDocument::ApplyColumnLayout(TWhichTable Table, const TColumnLayout& Layout)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return;
    TTreeGridColumns* columns = tree->Header()->Columns();
    const int oldCount = columns->Count();
    const int newCount = int(Layout.Columns.size());

    // An origin named twice or outside the table counts as a new column:
    // two columns must never share one header record.
    std::vector<int> newOfOld(static_cast<std::size_t>(oldCount), -1);
    std::vector<int> origin(static_cast<std::size_t>(newCount), -1);
    for (int i = 0; i < newCount; ++i) {
        const int o = Layout.Columns[std::size_t(i)].Origin;
        if (o >= 0 && o < oldCount && newOfOld[std::size_t(o)] < 0) {
            newOfOld[std::size_t(o)] = i;
            origin[std::size_t(i)] = o;
        }
    }

    const auto count = static_cast<std::size_t>(oldCount);
    std::vector<String> oldCaption(count);
    std::vector<int> oldTag(count), oldWidth(count);
    for (int o = 0; o < oldCount; ++o) {
        GetHeader(Table, o);  // gives the column its tag
        oldCaption[std::size_t(o)] = GetColumnCaption(Table, o);
        oldTag[std::size_t(o)] = columns->Items(o)->Tag();
        oldWidth[std::size_t(o)] = columns->Items(o)->Width();
    }
    const int oldColorColumn = GetConnection(Table, cnColor);
    const std::vector<String> oldEntries = EntryTexts(oldColorColumn >= 0 ? GetHeader(Table, oldColorColumn)->Strings.get()
                                                                          : nullptr);

    int roles[ConnectionCount];
    for (int r = 0; r < ConnectionCount; ++r) {
        const int wanted = Layout.Roles[std::size_t(r)];
        const int current = FConnection[Table][r];
        if (wanted == TColumnLayout::FollowOrigin)
            roles[r] = current >= 0 && current < oldCount ? newOfOld[std::size_t(current)] : -1;
        else
            roles[r] = wanted >= 0 && wanted < newCount ? wanted : -1;
    }

    // The columns: each position takes its origin's header record (by tag).
    for (int o = 0; o < oldCount; ++o)
        if (newOfOld[std::size_t(o)] < 0)
            FHeaderStore.erase(oldTag[std::size_t(o)]);
    while (columns->Count() > newCount)
        columns->Delete(columns->Count() - 1);
    while (columns->Count() < newCount)
        columns->Add();
    for (int i = 0; i < newCount; ++i) {
        TTreeGridColumn* column = columns->Items(i);
        const int o = origin[std::size_t(i)];
        column->SetTag(o >= 0 ? oldTag[std::size_t(o)] : 0);
        if (o >= 0)
            column->SetWidth(oldWidth[std::size_t(o)]);
    }
    for (int i = 0; i < newCount; ++i) {
        const TColumnLayout::TColumn& c = Layout.Columns[std::size_t(i)];
        THeaderData* header = GetHeader(Table, i);
        if (origin[std::size_t(i)] < 0)
            header->Filter = TFilterParams();
        SetColumnCaption(Table, i, c.Name.empty() && origin[std::size_t(i)] >= 0
                                       ? oldCaption[std::size_t(origin[std::size_t(i)])]
                                       : c.Name);
        SetColumnType(Table, i, c.Type);
        if (header->Strings->CommaText() != c.Format)
            header->Strings->SetCommaText(c.Format);
    }

    // The cells, moved with their columns in one pass over the rows.
    std::vector<String> cells;
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
        TNodeData* row = NodeToRow(tree, node);
        if (!row || !row->StringList)
            continue;
        TStringList* list = row->StringList;
        cells.assign(std::size_t(newCount), String());
        for (int i = 0; i < newCount; ++i) {
            const int o = origin[std::size_t(i)];
            if (o >= 0 && o < list->Count())
                cells[std::size_t(i)] = list->Get(o);
        }
        list->Clear();
        for (String& cell : cells)
            list->Add(std::move(cell));
        row->RecalcBitmap = true;
    }

    for (int r = 0; r < ConnectionCount; ++r)
        FConnection[Table][r] = r == cnNone ? -1 : roles[r];

    // Stored filters name their column by caption.
    if (Table == tbTable) {
        std::vector<TFilter> kept;
        for (TFilter& f : FFilters) {
            if (f.Table != Table) {
                kept.push_back(std::move(f));
                continue;
            }
            int o = -1;
            for (int k = 0; k < oldCount && o < 0; ++k)
                if (oldCaption[std::size_t(k)] == f.Header)
                    o = k;
            if (o < 0) {
                kept.push_back(std::move(f));  // names no column now; a later caption may
                continue;
            }
            if (newOfOld[std::size_t(o)] < 0)
                continue;
            f.Header = GetColumnCaption(Table, newOfOld[std::size_t(o)]);
            kept.push_back(std::move(f));
        }
        FFilters = std::move(kept);
    }

    // The colouring column's colours go with their entries' texts; only
    // entries that are new take default colours.
    std::vector<TColor>& colors = Table == tbExclude ? FHolidayColors : FStateColors;
    const int colorColumn = GetConnection(Table, cnColor);
    const std::vector<String> entries = EntryTexts(colorColumn >= 0 ? GetHeader(Table, colorColumn)->Strings.get()
                                                                    : nullptr);
    if (entries == oldEntries) {
        if (colors.size() < entries.size())
            FillUpColors(colors, int(entries.size()));
    } else {
        std::vector<int> from(entries.size(), -1);
        std::vector<bool> used(oldEntries.size(), false);
        int added = 0;
        for (std::size_t j = 0; j < entries.size(); ++j) {
            for (std::size_t k = 0; k < oldEntries.size() && k < colors.size(); ++k)
                if (!used[k] && oldEntries[k] == entries[j]) {
                    used[k] = true;
                    from[j] = int(k);
                    break;
                }
            added += from[j] < 0 ? 1 : 0;
        }
        std::vector<TColor> defaults;
        FillUpColors(defaults, added);
        std::vector<TColor> result;
        std::size_t next = 0;
        for (int k : from)
            result.push_back(k >= 0 ? colors[std::size_t(k)] : defaults[next++]);
        colors = std::move(result);
    }

    ColumnsMoved(Table, newOfOld);
    PageControl1Change();
}
