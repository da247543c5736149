// The tables' area below the timechart: the group tabs, the two tables on
// their sheets, and the docked editor's place beside them; the page and tab
// changes, and the menus that follow the active table's columns.
#include <algorithm>

#include "components/KitSplitter.h"
#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "views/ColorLegend.h"
#include "views/PlannerForm.h"

namespace {

// The sort marks: a small triangle pointing up (ascending) or down.
void DrawSortMark(TBitmap* Image, bool Descending)
{
    TCanvas* c = Image->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, Image->Width(), Image->Height()});
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    const int top = 5, bottom = 11, mid = 8;
    if (Descending)
        c->Polygon({TPoint{4, top}, TPoint{12, top}, TPoint{mid, bottom}});
    else
        c->Polygon({TPoint{4, bottom}, TPoint{12, bottom}, TPoint{mid, top}});
}

// The header's filter mark: a funnel (shown) or nothing.
void DrawFilterMark(TBitmap* Image, bool Shown)
{
    TCanvas* c = Image->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, Image->Width(), Image->Height()});
    if (!Shown)
        return;
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(clNavy);
    c->Polygon({TPoint{2, 3}, TPoint{13, 3}, TPoint{9, 8}, TPoint{9, 13}, TPoint{6, 11}, TPoint{6, 8}});
}

}  // namespace

void TPlannerForm::CreateTablePanel()
{
    TabControl1 = Build<TTabControl>(this, "TabControl1").Parent(Panel1).Align(alTop).Get();
    TabControl1->Tabs()->Add(Translate("General View"));
    TabControl1->SetTabIndex(0);
    TabControl1->SetHeight(TabControl1->TabHeight() + 4);
    TabControl1->OnChange = [this](TObject*) { TabControl1Change(); };

    Splitter2 = Build<TKitSplitter>(this, "Splitter2").Align(alRight).Parent(Panel1).Get();
    Splitter2->SetWidth(10);
    Splitter2->SetButtonWidth(60);
    Splitter2->SetVisible(EditorDock && EditorDock->Visible());
    PageControl1 = Build<TPageControl>(this, "PageControl1").Parent(Panel1).Align(alClient).Get();
    TabSheet1 = Create<TTabSheet>(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = Create<TTabSheet>(this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetPageControl(PageControl1);
    PageControl1->SetActivePageIndex(TScheduleDocument::GetActivePageIndex() == 1 ? 1 : 0);
    PageControl1->OnChange = [this](TObject*) { PageControl1Change(); };
    UpdateTableCaptions();

    TTabSheet* sheets[] = {TabSheet1, TabSheet2};
    for (TWhichTable table : {tbTable, tbExclude}) {
        TStringTreeGrid* tree = GetTable(table);
        tree->SetParent(sheets[table == tbExclude ? 1 : 0]);
        tree->SetAlign(alClient);
        tree->TreeOptions()->SetSelectionOptions(TTGSelectionOptions{toFullRowSelect, toMultiSelect});
        tree->TreeOptions()->SetPaintOptions(TTGPaintOptions{toShowHorzGridLines, toShowVertGridLines,
            toFullVertGridLines, toThemeAware});
        tree->Header()->SetOptions(TTGHeaderOptions{hoColumnResize, hoDblClickResize, hoDrag, hoShowHint,
            hoShowImages, hoVisible});
        tree->Header()->SetImages(TableImageList);
        tree->OnGetText = [this](TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column, TVSTTextType,
                              String& Text) { StringTreeGridGetText(Sender, Node, Column, Text); };
        tree->OnPaintText = [this](TBaseTreeGrid* Sender, TCanvas* Canvas, TGridNode* Node, TColumnIndex,
                                TVSTTextType) { StringTreeGridPaintText(Sender, Canvas, Node); };
        tree->OnBeforeCellPaint = [this](TBaseTreeGrid* Sender, TCanvas* Canvas, TGridNode*, TColumnIndex Column,
                                      TTGCellPaintMode, const TRect& CellRect, TRect&) {
            StringTreeGridBeforeCellPaint(Sender, Canvas, Column, CellRect);
        };
        tree->OnAfterCellPaint = [this](TBaseTreeGrid* Sender, TCanvas* Canvas, TGridNode* Node, TColumnIndex,
                                     const TRect& CellRect) {
            StringTreeGridAfterCellPaint(Sender, Canvas, Node, CellRect);
        };
        // The header draws its background; the texts and marks are the
        // columns' own.
        tree->OnHeaderDrawQueryElements = [](TTGHeader*, THeaderPaintInfo&, THeaderPaintElements& Elements) {
            Elements = THeaderPaintElements{hpeBackground};
        };
        tree->OnCompareNodes = [this](TBaseTreeGrid* Sender, TGridNode* Node1, TGridNode* Node2, TColumnIndex Column,
                                   int& Result) { StringTreeGridCompareNodes(Sender, Node1, Node2, Column, Result); };
        tree->OnHeaderClick = [this](TBaseTreeGrid* Sender, const TTGHeaderHitInfo& HitInfo) {
            StringTreeGridHeaderClick(Sender, HitInfo);
        };
        tree->OnChange = [this](TBaseTreeGrid* Sender, TGridNode* Node) { StringTreeGridChange(Sender, Node); };
        tree->OnClick = [this](TObject*) { StringTreeGridClick(); };
        tree->OnFocusChanged = [this](TBaseTreeGrid*, TGridNode*, TColumnIndex) { UpdateColorPanels(); };
    }
}

void TPlannerForm::UpdateTableCaptions()
{
    if (!PageControl1)
        return;
    TabSheet1->SetCaption(GetTableTabCaption(tbTable));
    TabSheet2->SetCaption(GetTableTabCaption(tbExclude));
    if (TabControl1->Tabs()->Count() > 0)
        TabControl1->Tabs()->Put(0, Translate("General View"));
}

// ---- pages and group tabs ----------------------------------------------------------

int TPlannerForm::GetActivePageIndex()
{
    return PageControl1 ? PageControl1->ActivePageIndex() : TScheduleDocument::GetActivePageIndex();
}

void TPlannerForm::SetActivePageIndex(int Index)
{
    TScheduleDocument::SetActivePageIndex(Index);
    if (PageControl1)
        PageControl1->SetActivePageIndex(Index);
}

int TPlannerForm::GetPositionGroupIndex() const
{
    return TabControl1 ? std::max(0, TabControl1->TabIndex()) : TScheduleDocument::GetPositionGroupIndex();
}

void TPlannerForm::SelectPositionGroupTab(int Index)
{
    if (!TabControl1 || Index < 0 || Index >= TabControl1->Tabs()->Count() || Index == TabControl1->TabIndex())
        return;
    TabControl1->SetTabIndex(Index);
    TabControl1Change();
}

int TPlannerForm::PositionGroupTabAt(TPoint ScreenPoint)
{
    if (!TabControl1)
        return -1;
    // A hidden table panel keeps its geometry; a pointer there is over nothing.
    for (TControl* c = TabControl1; c && c != this; c = c->Parent())
        if (!c->Visible())
            return -1;
    const TPoint p = TabControl1->ScreenToClient(ScreenPoint);
    return TabControl1->IndexOfTabAt(p.X, p.Y);
}

void TPlannerForm::UpdatePositionGroupTabs()
{
    if (!TabControl1)
        return;
    TStringList* tabs = TabControl1->Tabs();
    const int count = std::max(1, FPositionGroup.Count());
    bool same = tabs->Count() == count;
    for (int i = 1; same && i < count; ++i)
        same = tabs->Get(i) == (i < FPositionGroupNames.Count() ? FPositionGroupNames.Get(i) : String());
    if (same)
        return;
    const int selected = TabControl1->TabIndex();
    tabs->BeginUpdate();
    tabs->Clear();
    tabs->Add(Translate("General View"));
    for (int i = 1; i < count; ++i)
        tabs->Add(i < FPositionGroupNames.Count() ? FPositionGroupNames.Get(i) : String());
    tabs->EndUpdate();
    TabControl1->SetTabIndex(selected >= 0 && selected < count ? selected : 0);
}

void TPlannerForm::PositionGroupTabsChanged(bool SelectFirst)
{
    if (!TabControl1)
        return;
    UpdatePositionGroupTabs();
    if (SelectFirst)
        TabControl1->SetTabIndex(0);
    // Inside an update bracket its end switches to the tab.
    if (!IsUpdating())
        TabControl1Change();
}

void TPlannerForm::TabControl1Change()
{
    UpdatePositionGroupTabs();
    RestoreGroupFilters(GetPositionGroupCaption());
    ApplyPositionGroup();
    UpdateScrollBars(2);
    FilterTables();
    UpdateBounds(false);
    UpdateOverlapping(false);
    const int tab = GetPositionGroupIndex();
    if (tab >= 0 && std::size_t(tab) < FRowSet.size())
        SetRowSet(FRowSet[std::size_t(tab)]);
    UpdateColorPanels();
}

void TPlannerForm::TablesPageChanged()
{
    UpdateColumnMenus();
    UpdateColorPanels();
    ResetFlashSelectedTimer();
    InvalidateTimeChart(false);
    UpdateStatusBar();
}

void TPlannerForm::ShowEditorSplitter()
{
    if (!Splitter2 || !EditorDock)
        return;
    const bool docked = EditorDock->Visible();
    if (docked)
        Splitter2->SetLeft(EditorDock->Left() - Splitter2->Width());
    Splitter2->SetVisible(docked);
}

// ---- menus of the active table's columns ---------------------------------------------

void TPlannerForm::UpdateColumnMenus()
{
    if (!SortMenu)
        return;
    const TWhichTable table = GetActiveTable();
    const int count = GetTableColCount(table);
    while (SortMenu->Count() > count)
        delete SortMenu->Items(SortMenu->Count() - 1);
    const bool adding = SortMenu->Count() < count;
    while (SortMenu->Count() < count) {
        auto* item = Create<TMenuItem>(this);
        item->SetImageIndex(-1);
        item->OnClick = [this, item](TObject*) { SortSubMenuClick(item); };
        SortMenu->Add(item);
    }
    for (int i = 0; i < count; ++i) {
        TMenuItem* item = SortMenu->Items(i);
        item->SetCaption(GetColumnCaption(table, i));
        item->SetTag(i);
    }
    if (adding)
        MenuItemsAdded(SortMenu);
}

void TPlannerForm::CreateTableActions()
{
    TableImageList = Create<TImageList>(this);
    TableImageList->SetName("TableImageList");
    TableImageList->SetSize(16, 16);
    for (int i = 0; i < 24; ++i) {
        TBitmap image(16, 16);
        if (i == 18 || i == 19)
            DrawSortMark(&image, i == 19);
        else
            DrawFilterMark(&image, i == 22);
        TableImageList->AddMasked(&image, clFuchsia);
    }

    TableActionList = Create<TActionList>(this);
    TableActionList->SetName("TableActionList");
    TableActionList->SetImages(TableImageList);
    auto action = [this](const char* Name, const String& Caption, TShortCut Key, std::function<void()> Execute) {
        auto* a = Create<TAction>(this);
        a->SetName(Name);
        a->SetCaption(Caption);
        a->SetHint(Caption);
        a->SetShortCut(Key);
        a->SetActionList(TableActionList);
        a->OnExecute = [Execute = std::move(Execute)](TObject*) { Execute(); };
        return a;
    };
    ActionSort = action("ActionSort", "Sort Column", 0, [this] { ActionSortExecute(); });
    ActionAddNode = action("ActionAddNode", "Add Task", ShortCut('T', TShiftState{ssCtrl}), [this] {
        ActionAddNodeExecute();
    });
    ActionDeleteNode = action("ActionDeleteNode", "Delete Selected Tasks", 0, [this] { ActionDeleteNodeExecute(); });
    ActionDeleteNode->OnUpdate = [this](TObject*) {
        TStringTreeGrid* tree = GetTable(GetActiveTable());
        ActionDeleteNode->SetEnabled(tree && tree->SelectedCount() > 0);
    };
    ActionSelectAll = action("ActionSelectAll", "Select all", ShortCut('A', TShiftState{ssCtrl}), [this] {
        ActionSelectAllExecute();
    });
    ActionAutoSize = action("ActionAutoSize", "Optimize width of Table", 0, [this] { ActionAutoSizeExecute(); });
    ActionCut = action("ActionCut", "Cut", ShortCut('X', TShiftState{ssCtrl}), [this] { ActionCutExecute(); });
    ActionCopy = action("ActionCopy", "Copy", ShortCut('C', TShiftState{ssCtrl}), [this] { ActionCopyExecute(); });
    ActionPaste = action("ActionPaste", "Paste", ShortCut('V', TShiftState{ssCtrl}), [this] { ActionPasteExecute(); });

    SortMenu = Create<TMenuItem>(this);
    SortMenu->SetName("SortMenu");
    SortMenu->SetCaption("Sort");
    TreeGridHeaderPopupMenu = Create<TPopupMenu>(this);
    TreeGridHeaderPopupMenu->SetName("TreeGridHeaderPopupMenu");
    TreeGridHeaderPopupMenu->SetImages(TableImageList);
    auto item = [this](const char* Name, const String& Caption, std::function<void()> Click) {
        auto* i = Create<TMenuItem>(this);
        i->SetName(Name);
        i->SetCaption(Caption);
        i->OnClick = [Click = std::move(Click)](TObject*) { Click(); };
        TreeGridHeaderPopupMenu->Items()->Add(i);
        return i;
    };
    item("HeaderSortColumn1", "Sort Column", [this] { ActionSortExecute(); });
    item("HeaderSetFilter1", "Set Filter", [this] { ActionFilterExecute(); });
    item("HeaderClearFilter1", "Clear Filter", [this] { ActionClearFilterExecute(); });
    item("HeaderClearAllFilters1", "Clear all Filters", [this] { ActionClearAllFiltersExecute(); });
    item("HeaderAutoSize1", "Optimize width of Table", [this] { ActionAutoSizeExecute(); });
}

void TPlannerForm::ColumnsMoved(TWhichTable Table, const std::vector<int>& NewIndexOfOld)
{
    // The sort keys and the active column are those of the active table.
    if (Table != GetActiveTable())
        return;
    auto moved = [&](int Column) {
        return Column >= 0 && std::size_t(Column) < NewIndexOfOld.size() ? NewIndexOfOld[std::size_t(Column)] : -1;
    };
    std::vector<int> keys;
    for (int key : FSortList)
        if (const int column = moved(SortKeyColumn(key)); column >= 0)
            keys.push_back(SortKey(column, SortKeyDescending(key)));
    FSortList = std::move(keys);
    FActiveColumn = moved(FActiveColumn);
    UpdateColumnMenus();
}

void TPlannerForm::DocumentCleared()
{
    FSortList.clear();
    FCopyNode.clear();
    FHasCopyNode = false;
    for (TSelectedRows& list : FSelectedList)
        list.Clear();
    if (ActionPasteNode)
        ActionPasteNode->SetEnabled(false);
    UpdateColumnMenus();
}
