// Column filters of the two tables: which rows a filter lets through, the
// rows hidden in their trees accordingly, the column hints and header
// images, the filters kept per group tab, and the popup's filling and
// reading back.
#include <cmath>
#include <unordered_set>

#include "components/AutocompletingEdit.h"
#include "document/DocumentHelpers.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "views/FilterPopup.h"
#include "views/PlannerForm.h"

// One filter of a run, its operands read once: a run tests every row of a
// table, and reading a list of hundreds of names or a date for each row
// would cost more than the tests.
struct TPlannerForm::TCompiledFilter {
    int Column = 0;
    TFilterType Type = ftNone;
    TFilterSubType SubType = fsSmaller;
    // False when an operand cannot be read: then no row passes.
    bool Usable = true;
    TDateTime Date1 = 0, Date2 = 0;
    int Int1 = 0, Int2 = 0;
    String Pattern;  // upper-cased
    std::unordered_set<String> Keys;  // AnsiCaseKey of each list item
};

namespace {

constexpr int FilterShownImage = 22;
constexpr int NoFilterImage = 23;

}  // namespace

// ---- the tests ---------------------------------------------------------------------------

TPlannerForm::TCompiledFilter TPlannerForm::CompileFilter(const TFilterParams& Params, int Column) const
{
    TCompiledFilter f;
    f.Column = Column;
    f.Type = Params.FilterType;
    f.SubType = Params.FilterSubType;
    switch (f.Type) {
    case ftNone:
        break;
    case ftDate:
        f.Usable = TryReadDateTime(Params.Text1, f.Date1) &&
                   (f.SubType != fsFromTo || TryReadDateTime(Params.text2, f.Date2));
        break;
    case ftNumber:
        f.Usable = TryStrToInt(Params.Text1, f.Int1) && (f.SubType != fsFromTo || TryStrToInt(Params.text2, f.Int2));
        break;
    case ftText:
        f.Pattern = AnsiUpperCase(Params.Text1);
        break;
    case ftList: {
        const TCommaText items(Params.Text1);
        f.Keys.reserve(std::size_t(items.Count()));
        for (int i = 0; i < items.Count(); ++i)
            f.Keys.insert(AnsiCaseKey(items.Item(i)));
        break;
    }
    }
    return f;
}

bool TPlannerForm::Passes(const TCompiledFilter& F, const String& Text) const
{
    switch (F.Type) {
    case ftNone:
        return true;
    case ftDate: {
        TDateTime d = 0;
        if (!F.Usable || !TryReadDateTime(Text, d))
            return false;
        switch (F.SubType) {
        case fsSmaller: return d <= F.Date1;
        case fsGreater: return d >= F.Date1;
        case fsEquals: return d == F.Date1;
        case fsFromTo: return F.Date1 <= d && d <= F.Date2;
        default: return false;
        }
    }
    case ftNumber: {
        int i = 0;
        if (!F.Usable || !TryStrToInt(Text, i))
            return false;
        switch (F.SubType) {
        case fsSmaller: return i < F.Int1;
        case fsGreater: return i > F.Int1;
        case fsEquals: return i == F.Int1;
        case fsFromTo: return F.Int1 < i && i < F.Int2;
        default: return false;
        }
    }
    case ftText:
        if (F.SubType == fsText)
            return doWildcardMatch(AnsiUpperCase(Text), F.Pattern);
        return F.SubType == fsEmpty && Text.empty();
    case ftList:
        return F.Keys.count(AnsiCaseKey(Text)) > 0;
    }
    return false;
}

bool TPlannerForm::WildcardMatch(const String& Text, const String& Pattern, bool CaseSensitive)
{
    if (CaseSensitive)
        return doWildcardMatch(Text, Pattern);
    return doWildcardMatch(AnsiUpperCase(Text), AnsiUpperCase(Pattern));
}

bool TPlannerForm::FilterDate(const TFilterParams& Params, const String& Text) const
{
    return Params.FilterType == ftDate && Passes(CompileFilter(Params, 0), Text);
}

bool TPlannerForm::FilterNumber(const TFilterParams& Params, const String& Text) const
{
    return Params.FilterType == ftNumber && Passes(CompileFilter(Params, 0), Text);
}

bool TPlannerForm::FilterText(const TFilterParams& Params, const String& Text) const
{
    return Params.FilterType == ftText && Passes(CompileFilter(Params, 0), Text);
}

bool TPlannerForm::FilterList(const TFilterParams& Params, const String& Text) const
{
    return Params.FilterType == ftList && Passes(CompileFilter(Params, 0), Text);
}

void TPlannerForm::setfilter(TFilterParams& Params, TFilterSubType SubType, const String& Text1, const String& Text2)
{
    Params.FilterSubType = SubType;
    Params.Text1 = Text1;
    Params.text2 = Text2;
}

// ---- rows ----------------------------------------------------------------------------

bool TPlannerForm::IsNodeFiltered(const TNodeData* Row) const { return IsFilteredOut(Row); }

void TPlannerForm::SetNodeFiltered(TNodeData* Row, bool Filtered)
{
    if (Row && Row->VNode && Row->VNodeTable)
        Row->VNodeTable->SetVisible(Row->VNode, !Filtered);
}

std::vector<TPlannerForm::TCompiledFilter> TPlannerForm::CompileFilters(TWhichTable Table)
{
    std::vector<TCompiledFilter> filters;
    const int columns = GetTableColCount(Table);
    for (int i = 0; i < columns; ++i)
        if (const THeaderData* header = GetHeader(Table, i); header && header->Filter.FilterType != ftNone)
            filters.push_back(CompileFilter(header->Filter, i));
    return filters;
}

void TPlannerForm::CB_FilterNode(TNodeData* Row)
{
    if (!Row)
        return;
    if (!GetNodeValid(Row)) {
        // An invalid row stays in sight so that it can be mended.
        SetNodeFiltered(Row, false);
        return;
    }
    // Outside a run (a single row re-decided) the filters are read here.
    std::vector<TCompiledFilter> own;
    const std::vector<TCompiledFilter>* filters = FFilterRun;
    if (!filters) {
        own = CompileFilters(Row->NodeTable);
        filters = &own;
    }
    bool filtered = false;
    if (Row->reference) {
        filtered = true;
    } else {
        const int position = GetPositionOf(Row);
        filtered = position < 0 && position != AllPositions;
    }
    for (const TCompiledFilter& f : *filters) {
        if (filtered)
            break;
        filtered = !Passes(f, GetData(Row, f.Column));
    }
    SetNodeFiltered(Row, filtered);
    if (filtered && Row->VNode && Row->VNodeTable)
        Row->VNodeTable->SetSelected(Row->VNode, false);
}

void TPlannerForm::FilterData(TWhichTable Table)
{
    if (IsUpdating())
        return;
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return;
    const std::vector<TCompiledFilter> filters = CompileFilters(Table);
    // Inside the tree's bracket: hiding and deselecting many rows reaches
    // the tree's change handler once, and its sizes are worked out once.
    tree->BeginUpdate();
    FFilterRun = &filters;
    try {
        ForEach(Table, feAll, 0, [this](TNodeData* Row, NativeInt) { CB_FilterNode(Row); });
    } catch (...) {
        FFilterRun = nullptr;
        tree->EndUpdate();
        throw;
    }
    FFilterRun = nullptr;
    tree->EndUpdate();
    InvalidateTimeChart();
    UpdateStatusBar();
    UpdateFilterHints(Table);
}

// ---- hints -----------------------------------------------------------------------------

String TPlannerForm::FilterHint(const TFilterParams& Params) const
{
    // The words are translated without their brackets: a language file
    // cannot hold a key that begins with "[" and ends with "]".
    auto fill = [&](const char* Text) {
        return "[" + FillText(Translate(Text), {Params.Text1, Params.text2}) + "]";
    };
    switch (Params.FilterType) {
    case ftNone:
        return String();
    case ftDate:
        switch (Params.FilterSubType) {
        case fsSmaller: return fill("before %s");
        case fsGreater: return fill("after %s");
        case fsFromTo: return fill("from %s till %s");
        case fsEquals: return "[= " + Params.Text1 + "]";
        default: return String();
        }
    case ftList: {
        const TCommaText items(Params.Text1);
        String hint = "[= ";
        for (int i = 0; i < items.Count(); ++i)
            hint += (i > 0 ? "," : "") + items.Item(i);
        return hint + "]";
    }
    case ftText:
        if (Params.FilterSubType == fsText)
            return fill("contains %s");
        return Params.FilterSubType == fsEmpty ? fill("empty fields") : String();
    case ftNumber:
        switch (Params.FilterSubType) {
        case fsSmaller: return fill("smaller than %s");
        case fsGreater: return fill("bigger than %s");
        case fsEquals: return "[= " + Params.Text1 + "]";
        case fsFromTo: return fill("from %s to %s");
        default: return String();
        }
    }
    return String();
}

void TPlannerForm::UpdateFilterHints(TWhichTable Table)
{
    TStringTreeGrid* tree = GetTable(Table);
    TTreeGridColumns* columns = tree->Header()->Columns();
    if (tree->Header()->Images() != FilterImages())
        tree->Header()->SetImages(FilterImages());
    for (int i = 0; i < columns->Count(); ++i) {
        const THeaderData* header = GetHeader(Table, i);
        const String hint = header ? FilterHint(header->Filter) : String();
        columns->Items(i)->SetImageIndex(hint.empty() ? NoFilterImage : FilterShownImage);
        columns->Items(i)->SetHint(hint);
    }
}

TImageList* TPlannerForm::FilterImages()
{
    if (FFilterImages)
        return FFilterImages;
    // The header's list: a funnel at 22 (filtered), its outline at 23 (a
    // click there sets a filter); the places before them stay empty.
    FFilterImages = Create<TImageList>(this);
    FFilterImages->SetName("HeaderImageList");
    FFilterImages->SetSize(16, 16);
    for (int i = 0; i <= NoFilterImage; ++i) {
        TBitmap image(16, 16);
        TCanvas* c = image.Canvas();
        c->Brush()->SetColor(clFuchsia);
        c->FillRect(TRect(0, 0, 16, 16));
        if (i == FilterShownImage || i == NoFilterImage) {
            const TColor ink = i == FilterShownImage ? TColor(0x000000) : TColor(0xA0A0A0);
            const TPoint funnel[] = {{2, 3}, {13, 3}, {9, 8}, {9, 13}, {6, 14}, {6, 8}};
            c->Pen()->SetColor(ink);
            c->Brush()->SetColor(i == FilterShownImage ? TColor(0x404040) : clFuchsia);
            c->Polygon(funnel, 6);
        }
        FFilterImages->AddMasked(&image, clFuchsia);
    }
    return FFilterImages;
}

// ---- group tabs --------------------------------------------------------------------------

String TPlannerForm::GetPositionGroupCaption()
{
    const int tab = GetPositionGroupIndex();
    if (tab > 0 && tab < FPositionGroupNames.Count())
        return FPositionGroupNames.Get(tab);
    return Translate("General View");
}

void TPlannerForm::RestoreGroupFilters(const String& Group)
{
    for (TWhichTable table : {tbTable, tbExclude})
        for (int i = 0; i < GetTableColCount(table); ++i)
            if (THeaderData* header = GetHeader(table, i))
                header->Filter.FilterType = ftNone;
    for (const TFilter& stored : FFilters) {
        if (stored.Group != Group)
            continue;
        THeaderData* header = GetHeader(stored.Table, GetHeaderIndex(stored.Table, stored.Header));
        if (!header)
            continue;
        header->Filter.FilterType = stored.Type;
        header->Filter.FilterSubType = stored.SubType;
        header->Filter.Text1 = stored.Text1;
        header->Filter.text2 = stored.Text2;
    }
}

void TPlannerForm::GroupTabChange()
{
    // Every outermost update bracket ends here too, so a loaded plan shows
    // the filters stored for its first tab.
    TabControl1Change();
}

void TPlannerForm::FilterTables()
{
    // Rows read inside an update bracket are not validated yet when its end
    // switches the tab, and an invalid row is never hidden: without this a
    // loaded plan would show every row its stored filters fail.
    CheckAllValid();
    FilterData(tbTable);
    FilterData(tbExclude);
}

// ---- counters ----------------------------------------------------------------------------

int TPlannerForm::TotalCount(TWhichTable Table) { return GetTableRowCount(Table); }

int TPlannerForm::FilteredCount(TWhichTable Table)
{
    int passing = 0;
    ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) { passing += IsNodeFiltered(Row) ? 0 : 1; });
    return passing;
}

int TPlannerForm::SelectedCount(TWhichTable Table)
{
    TStringTreeGrid* tree = GetTable(Table);
    return tree ? tree->SelectedCount() : 0;
}

int TPlannerForm::GroupCount(TWhichTable Table)
{
    int outside = 0;
    ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) {
        const int position = GetPositionOf(Row);
        outside += position < 0 && position != AllPositions ? 1 : 0;
    });
    return TotalCount(Table) - outside;
}

// ---- commands ----------------------------------------------------------------------------

void TPlannerForm::FilterSubMenuClick(int Column)
{
    FActiveColumn = Column;
    ActionFilterExecute();
}

void TPlannerForm::ActionClearFilterExecute()
{
    const TWhichTable table = GetActiveTable();
    if (THeaderData* header = GetHeader(table, FActiveColumn))
        header->Filter.FilterType = ftNone;
    FilterData(table);
}

void TPlannerForm::ActionClearAllFiltersExecute()
{
    const TWhichTable table = GetActiveTable();
    for (int i = 0; i < GetTableColCount(table); ++i)
        if (THeaderData* header = GetHeader(table, i))
            header->Filter.FilterType = ftNone;
    FilterData(table);
}

bool TPlannerForm::ActionClearAllFiltersUpdate()
{
    const TWhichTable table = GetActiveTable();
    for (int i = 0; i < GetTableColCount(table); ++i)
        if (const THeaderData* header = GetHeader(table, i); header && header->Filter.FilterType != ftNone)
            return true;
    return false;
}

bool TPlannerForm::ActionUseNodeUpdate() { return SelectedCount(GetActiveTable()) > 0; }
