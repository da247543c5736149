#pragma once
// TPlannerForm: the views' layer of the main window, between the document
// and the shell. It owns the timechart area above (the overview strip, the
// caption rows and the chart body in its scroll-bar box) and the table panel
// below, with the splitter between them.
//
// The chart's measures all come from here: pixels per day, row heights,
// the rectangles of bars, due-date arrows and position labels, the date
// under a pixel column, the visible window and its scroll bars, smooth
// scrolling, zoom, transparency, fonts and row sets. Every rectangle routine
// takes the canvas width, row height and visible span, so the same formulas
// serve the screen, a printer page or a bitmap. Bars are drawn from a
// picture cached per row.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "document/ScheduleDocument.h"

class TPanel;
class TKitSplitter;
class TKitToolBar;
class TTabControl;
class TPageControl;
class TTabSheet;
class TAction;
class TActionList;
class TColorLegend;
class TCanvas;
class TClock;
class TComboBox;
class TFontNameComboBox;
class TFontSizeComboBox;
class TUpDown;
class TToolBar;
class TToolButton;
class TMenuItem;
class TPopupMenu;
class TImageList;
class TCanvasPanel;
class TScrollBarBox;
class TChartRowIndex;
class TAction;
class TBarPictureCache;
class TOverviewPicture;
class TFilterPopup;
class TStringList;
struct TChartPlace;
class TEditorPanel;
class TEditorForm;

// How much of a row the bar texts use: three lines (full height), two lines
// (two thirds) or one line (one third).
enum TRowSet : std::uint8_t { rsTopMiddleBottom, rsTopMiddle, rsTop };

// What the mouse is doing on the chart.
enum TTimeChartMouseState : std::uint8_t {
    msNone, msScroll, msNewItem, msMoveItem, msSelectItem, msPopup, msPoppedUp, msResizeItem
};

// One text line of a bar, fitted: for the left, centre and right text the
// rectangle, the alignment (DT_LEFT, DT_CENTER, DT_RIGHT) and whether it is
// drawn at all.
struct TFittedLine {
    TRect Rect[3];
    unsigned Align[3] = {0, 0, 0};
    bool Drawn[3] = {false, false, false};
};

// The selected rows of a table in the order they were selected; a row
// leaves in constant time (the last takes its place).
class TSelectedRows {
public:
    int Count() const { return int(FRows.size()); }
    TNodeData* operator[](int Index) const { return FRows[std::size_t(Index)]; }
    bool Contains(TNodeData* Row) const { return FIndex.count(Row) != 0; }
    void Add(TNodeData* Row);
    void Remove(TNodeData* Row);
    void Clear();
    const std::vector<TNodeData*>& Rows() const { return FRows; }

private:
    std::vector<TNodeData*> FRows;
    std::unordered_map<TNodeData*, std::size_t> FIndex;
};

class TPlannerForm : public TScheduleDocument {
    VEK_DECLARE_CLASS(TPlannerForm, TScheduleDocument)
public:
    explicit TPlannerForm(TComponent* AOwner);
    ~TPlannerForm() override;
    void BeforeDestruction() override;

    // ---- the areas and the chart's controls ----
    // The timechart's area; its height is a setting of the main window.
    TPanel* TimeChartPanel = nullptr;
    // Between the timechart and the tables.
    TKitSplitter* Splitter1 = nullptr;
    // The tables' area, filling what the timechart leaves.
    TPanel* Panel1 = nullptr;
    // The overview bar ("General View") with the overview strip and its
    // caption, and the splitter that sizes it by whole rows.
    TKitToolBar* dfsToolBar1 = nullptr;
    TCanvasPanel* SmallTimeChartCaption = nullptr;
    TCanvasPanel* SmallTimeChart = nullptr;
    TKitSplitter* Splitter3 = nullptr;
    // The caption rows and the chart body in its scroll-bar box.
    TCanvasPanel* TimeChartCaption = nullptr;
    TScrollBarBox* TimeChartScrollBarBox = nullptr;
    TCanvasPanel* TimeChart = nullptr;
    TTimer* SliderTimer = nullptr;
    // The clock whose face shows a moving bar's start time (17 x 17, not
    // running, never shown).
    TClock* Clock1 = nullptr;
    TTimer* FlashSelectedTimer = nullptr;

    // ---- the tool bar's boxes and the view menu's submenus ----
    TComboBox* ZoomComboBox = nullptr;
    TComboBox* TransparenceComboBox = nullptr;
    TFontSizeComboBox* ColumnWidthComboBox = nullptr;
    TFontSizeComboBox* FontSizeComboBox1 = nullptr;
    TFontNameComboBox* ScFontComboBox1 = nullptr;
    TUpDown* ColumnWidthUpDown = nullptr;
    TUpDown* RowHeightUpDown = nullptr;
    TToolButton* ToolButton12 = nullptr;
    TPopupMenu* ItemStructMenu = nullptr;
    TMenuItem* ItemStruct1 = nullptr;
    TMenuItem* ItemStruct2 = nullptr;
    TMenuItem* ItemStruct3 = nullptr;
    TImageList* ItemStructImageList = nullptr;
    TMenuItem* KalendarZoom1 = nullptr;
    TMenuItem* Transparenz1 = nullptr;
    // The view switches (the shell builds them and keeps them in its
    // settings; they act here).
    TMenuItem* SmallTimeChart1 = nullptr;
    TMenuItem* HideEmptyRows1 = nullptr;
    TMenuItem* HideEmptyMultiRows1 = nullptr;
    TMenuItem* DrawLines1 = nullptr;
    TMenuItem* DrawLinesMultiRow1 = nullptr;
    // "Scroll Timechart while moving Task (invert with shift)".
    TMenuItem* AutoScroll1 = nullptr;

    // ---- view state ----
    TDateTime FTimeChartStart = 0;
    int FTimeChartTop = 0;
    TDateTime TimeChartStartDestination = 0;
    int TimeChartTopDestination = 0;
    TTimeChartMouseState FTimeChartMouseState = msNone;
    TNodeData* FGrabbedNode = nullptr;
    // The anchor of the dotted rectangle the mouse draws and its other corner.
    TPoint FMouse;
    TPoint FLastMouse;
    // Blending of filtered bars and shadows of selected ones.
    bool AllowAlpha = true;
    // Bar texts drawn in full beyond the bar's end.
    bool FDrawFullText = false;
    // Whether the overview bar is unfolded (kept in the settings).
    bool FSmallTimeChartExpanded = true;
    // Set while printing: the column width then changes only for the page.
    bool FPrinting = false;
    // Bar pictures redrawn since the last reset (each paint resets it).
    int redrawcount = 0;

    // ---- measures ----
    int GetZoom() const { return FZoom > 0 ? FZoom : 1; }
    // Pixels per day.
    int GetTimeChartColWidth() const;
    int _TimeChartColWidth(int Delta) const;
    // Points of the chart font at the current zoom.
    int GetTimeChartFontSize() const;
    // Points for a zoom offset and a resolution (0: the screen's).
    int _TimeChartFontSize(int Delta, int Dpi) const;
    int TimeChartFullRowHeight(int Delta) const;
    // A row: a multiple of 3, 1 to 3 px taller than the row set's share.
    int TimeChartRowHeight(int Delta) const;
    int ResizeGrabWidth() const;
    // The date at the chart's right edge and under a pixel column.
    TDateTime GetTimeChartEnd();
    TDateTime TimeChartXToDate(int X);
    // Days that fit the chart (fractional), and whole.
    double VisibleDays();
    int GetTimeChartVisibleDays() const override;
    int GetTimeChartRowHeight() const override { return TimeChartRowHeight(0); }

    // ---- rectangles (all zero when empty) ----
    // A date span in a row; see the hour map for minute mode.
    TRect TimeChartRect(int Top, int RowHeight, bool SpanRows, bool NoHourMap, int Row, int Width, TDateTime VisEnd,
        TDateTime VisStart, TDateTime EndDate, TDateTime StartDate);
    // The pixel column of a date-time in minute mode: only the working window
    // of its day is spread over the day's column. False for a window of no
    // length.
    bool HourMap(TDateTime X, int Row, double PixelsPerDay, TDateTime VisStart, int& Result);
    // A row's bar; tasks fill 80 % of their row unless KeepFullHeight.
    TRect ItemRect(TNodeData* Node, int Top, bool KeepFullHeight, int Width, int RowHeight, TDateTime VisEnd,
        TDateTime VisStart);
    // A task's due-date arrow: from the end to the due date in the lower half
    // of its row (Right < Left when the task is late).
    TRect ArrowRect(TNodeData* Node, int Top, int Width, int RowHeight, TDateTime VisEnd, TDateTime VisStart);
    // The arrow's two points inside its rectangle.
    static void ArrowPoints(const TRect& R, TPoint& From, TPoint& To);
    // The label box of a shown position at the chart's left.
    TRect PositionRect(TCanvas* Canvas, int Top, int RowIndex, int Width, int RowHeight);
    // The frame on the overview strip that shows the visible part.
    TRect SliderRect();
    // Minute mode: the date under X in a row, to the minute.
    TDateTime GetExactDate(int X, int Row);

    // ---- the visible window ----
    void SetTimeChartStart(TDateTime Date);
    void SetTimeChartTop(int Pixels);
    // Moves there smoothly.
    void SetTimeChartDestination(int Top, TDateTime Date);
    // 1 horizontal, 2 vertical, 3 both.
    void UpdateScrollBars(int Kind);
    void UpdateScrollBars() override { UpdateScrollBars(3); }
    void InvalidateTimeChart(bool WithCaptions);
    void InvalidateTimeChart() override { InvalidateTimeChart(true); }
    bool SetTimeChartBounds(TDateTime Low, TDateTime High) override;
    void RestoreTimeChartStart() override { SetTimeChartStart(FTimeChartStart); }
    void ScrollToToday() override;
    void CenterNode(TNodeData* Node) override;
    void SliderTimerTimer(TObject* Sender);
    void TimeChartMouseWheel(TShiftState Shift, int WheelDelta, bool& Handled);
    // The scroll bars' and the keyboard's requests.
    void ScrollBarBoxHorzScroll();
    void ScrollBarBoxVertScroll();
    // Left or right by a step (Ctrl: the start month's days, Shift: 7, else
    // 1); up or down by a row.
    void ScrollByKey(Word Key, TShiftState Shift);

    // ---- settings ----
    void SetZoom(int Percent);
    void SetTransparency(int Percent);
    void SetTimeChartColWidth(int Pixels);
    void SetTimeChartFontSize(int Points);
    void SetTimeChartFontName(const String& Name);
    void SetRowSet(int Value);
    void SetSmallTimeChartRowHeight(int Pixels);
    void SetMinUnit(int Unit) override;
    void SetUserdate(TDateTime Date);
    void UpdateFont();
    TRowSet RowSet() const { return TRowSet(FRowSetIndex >= 0 && FRowSetIndex <= 2 ? FRowSetIndex : 0); }
    // Boxes, ticks, captions and the font from the document's fields, as New
    // or a load left them; nothing is marked changed.
    void SetupLoaded() override;
    // The zoom and transparency captions and the tools' texts in the current
    // language.
    void UpdateToolCaptions();
    // The tool bar's boxes and up-downs, the row-set button, and the zoom and
    // transparency submenus of the view menu.
    void CreateTimeChartTools(TToolBar* Bar, TMenuItem* ViewMenu);

    // ---- the boxes' and menus' handlers ----
    void ZoomComboBoxChange();
    void TransparenceComboBoxChange();
    void ColumnWidthComboBoxChange();
    void ColumnWidthUpDownClick(bool Up);
    void FontSizeComboBox1Change();
    void RowHeightUpDownClick(bool Up);
    void ScFontComboBox1Change();
    // The font boxes show the chart's face (and its sizes).
    void ShowFontName();
    void SmallTimeChartClick();
    // The overview bar was resized, folded or unfolded: its splitter shows
    // only beside the unfolded bar.
    void dfsToolBar1Resize();
    void HideRowsClick(TMenuItem* Item);
    void DrawLinesClick(TMenuItem* Item);
    bool HideEmptyPositions() const override;
    bool HideEmptyMultiRowPositions() const override;
    void SetHideEmptyPositions(bool Value) override;
    void SetHideEmptyMultiRowPositions(bool Value) override;
    // Splitter3 keeps the overview a whole number of rows high, and the
    // chart below it its room.
    void Splitter3CanResize(int& NewSize, bool& Accept);
    // The overview's height from its rows, within what the chart leaves.
    void FitOverview();
    int OverviewMostHeight() const;
    void TimeChartResize();

    // ---- bars ----
    // One row's bar (or, without a row, a sample bar of Table).
    void DrawItem(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, int DY, int DX, TRowSet RowSet,
        int Width, int RowHeight, int Top, TDateTime VisEnd, TDateTime VisStart, TNodeData* Node, TWhichTable Table);
    // The bars of both tables in their passes: the inactive table first,
    // each with the rows shown by the filters (and selected ones), then the
    // filtered ones, then the selected ones again on top.
    void DrawBars(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, int DY, int DX, TRowSet RowSet,
        int Width, int RowHeight, int Top, TDateTime VisEnd, TDateTime VisStart);
    // Fits a left, centre and right text of these widths into R.
    static TFittedLine FitTextLine(int LeftWidth, int CenterWidth, int RightWidth, const TRect& R, bool FullText);
    // The rows of the table whose bar meets Window (pixels of a canvas of
    // that width, row height, top and span), in tree order.
    // Rects, when given, receives each row's bar rectangle.
    virtual void FindBars(TWhichTable Table, const TRect& Window, int Top, bool KeepFullHeight, int Width, int RowHeight,
        TDateTime VisEnd, TDateTime VisStart, std::vector<TNodeData*>& Rows, std::vector<TRect>* Rects = nullptr);
    // The row index, brought up to date.
    TChartRowIndex& RowIndex();
    TBarPictureCache& PictureCache() { return *FPictures; }
    // Whether the row is hidden in its table (filtered out).
    static bool IsFilteredOut(const TNodeData* Row);
    bool IsSelectedInActiveTable(TNodeData* Row);
    // How a bar looks at a flash step: the percent its colour is faded by,
    // 0 unless selected in the active table.
    int BarLook(TNodeData* Row, int FlashStep);
    // Whether the row's kept picture shows the bar as it looks at FlashStep
    // and needs no redrawing.
    bool BarPictureIsCurrent(TNodeData* Row, int FlashStep);
    // The selection flash: restarted by a click; each tick redraws the
    // selected bars one step further.
    void ResetFlashSelectedTimer();
    void FlashSelectedTimerTimer(TObject* Sender);
    void EnableSelectionFlash() override;
    void CB_InvalidateNode(TNodeData* Row);

    // ---- filters ----
    // The column the header menu, the filter commands and the sort command
    // act on.
    int FActiveColumn = 0;
    // A row is filtered exactly when its node is hidden in its tree.
    bool IsNodeFiltered(const TNodeData* Row) const override;
    bool GetNodeFiltered(const TNodeData* Row) const { return IsFilteredOut(Row); }
    void SetNodeFiltered(TNodeData* Row, bool Filtered);
    // Whether a cell text passes a filter of that type. Empty or unreadable
    // cells and unreadable operands fail; dates compare inclusively, whole
    // numbers strictly; texts and list items ignore case.
    bool FilterDate(const TFilterParams& Params, const String& Text) const;
    bool FilterNumber(const TFilterParams& Params, const String& Text) const;
    bool FilterText(const TFilterParams& Params, const String& Text) const;
    bool FilterList(const TFilterParams& Params, const String& Text) const;
    static bool WildcardMatch(const String& Text, const String& Pattern, bool CaseSensitive);
    // Sub-type and operands (not the type).
    static void setfilter(TFilterParams& Params, TFilterSubType SubType, const String& Text1, const String& Text2);
    // Hides or shows one row by its table's filters and the current group.
    void CB_FilterNode(TNodeData* Row);
    // Every row of the table, then the chart, the status bar and the column
    // hints; nothing inside an update bracket.
    void FilterData(TWhichTable Table);
    // The hint a column shows for its filter (empty: none).
    String FilterHint(const TFilterParams& Params) const;
    // The caption of the selected group tab: the key of the stored filters.
    virtual String GetPositionGroupCaption();
    // A tab switch: every column of both tables takes the filter stored for
    // the tab, the others none. FilterData of both tables follows once the
    // group's positions are in place.
    void RestoreGroupFilters(const String& Group);
    // The shown rows follow the selected group tab, with its stored filters.
    void GroupTabChange() override;
    void PositionGroupTabsChanged(bool SelectFirst) override;
    // Both tables filtered anew, their rows' validity brought up to date
    // first (a tab switch ends with it).
    void FilterTables();
    // Rows of a table: all, passing the filters, selected, and not outside
    // the current group.
    int TotalCount(TWhichTable Table);
    int FilteredCount(TWhichTable Table);
    int SelectedCount(TWhichTable Table);
    int GroupCount(TWhichTable Table);
    // The commands.
    void FilterSubMenuClick(int Column);
    // Opens the popup for FActiveColumn of the active table, below its header.
    virtual void ActionFilterExecute();
    // The header's filter click: the popup for that column.
    void ShowFilterPopup(int Column);
    // The popup closed: with OK its choice becomes the column's filter and
    // the tab's stored one.
    void OnFilterPopupDeactivate();
    void ActionClearFilterExecute();
    // Clears the active table's filters, leaving the stored ones and the
    // changed flag alone.
    void ActionClearAllFiltersExecute();
    bool ActionClearAllFiltersUpdate();
    bool ActionUseNodeUpdate();
    TFilterPopup* FilterPopup();
    // The header images: 22 a filter is set, 23 none.
    TImageList* FilterImages();

    // ---- the document's hooks ----
    void InvalidateNode(TNodeData* Row, bool Large = false) override;
    // Only the row's bar in the chart and the overview: for changes the
    // table shows by itself (its selection).
    void InvalidateBar(TNodeData* Row, bool Large = false);
    // While held, the invalidations of the chart and the overview are
    // gathered and made once each when the outermost hold is released.
    void HoldChartRects();
    void ReleaseChartRects();
    void RowPlaceChanged(TNodeData* Row) override;
    void RowOrderChanged(TWhichTable Table) override;
    void RowGone(TNodeData* Row) override;
    void UpdateInternalVariables() override;

    // ---- painting ----
    // The chart body of the span [VisStart, VisEnd) on any canvas, Width
    // pixels wide, moved by (DX, DY) and scrolled down by Top pixels:
    // background, non-working days and holidays, month dividers, row lines,
    // bars, the today marker, due-date arrows and the moving bars' info.
    // Overview draws the strip's small form, its rows dividing the strip's
    // height. Dpi 0 is the screen's; ZoomDelta is added to the zoom.
    void DrawTimeChart(TCanvas* Canvas, bool Overview, int Dpi, int ZoomDelta, bool ShowToday, int DY, int DX,
        int Width, int Top, TDateTime VisEnd, TDateTime VisStart);
    // The white rows with the day, week or month grid (in minute mode wide
    // days also shade each row's non-working hours).
    void DrawBackgnd(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
        TDateTime VisStart);
    // Two-pixel lines at each first of a month.
    void DrawMonthDivider(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, TDateTime VisEnd,
        TDateTime VisStart);
    // The position captions on raised labels at the chart's left.
    void DrawTimeChartPositions(TCanvas* Canvas, int Top, int Dpi, int ZoomDelta, int DY, int DX, int Width);
    // While bars are moved: the start of a moving bar at its bottom-left
    // corner (a clock face for tasks in minute mode).
    void DrawItemInfo(TCanvas* Canvas, TWhichTable Table, int DY, int DX, int Width, int RowHeight, int Top,
        TDateTime VisEnd, TDateTime VisStart, TNodeData* Node);
    // The line below the last row naming the positions hidden for being
    // empty; empty while neither hiding switch is ticked.
    String FadeOutText();
    // One caption band: RowIndex's band of the caption rows, a separator and
    // a label from Tokens per period (PeriodKind 1 months, 2 weeks, 3 days),
    // labels spaced so that none overlaps the next.
    void DrawCaption(TCanvas* Canvas, int RowIndex, int Dpi, int ZoomDelta, int DY, int DX, TColor LineColour,
        TColor TextColour, TColor FillColour, int PeriodKind, const std::vector<String>& Tokens, int Width,
        TDateTime VisEnd, TDateTime VisStart);
    // The rows of the tasks whose due-date arrow may meet Window, in tree
    // order (a few more may come; none that meets it is missing).
    virtual void FindArrows(const TRect& Window, int Top, int Width, int RowHeight, TDateTime VisEnd,
        TDateTime VisStart, std::vector<TNodeData*>& Rows);

    // The panels' paints: the chart body (with the labels, the dotted
    // rectangle and the fade-out line), the overview with its slider, and
    // the caption rows of both.
    void TimeChartPaint();
    void SmallTimeChartPaint();
    void TimeChartCaptionPaint();
    void SmallTimeChartCaptionPaint();
    // The overview's drawing is kept between paints: all of it or a part of
    // it is drawn anew at the next paint.
    void InvalidateOverview();
    void InvalidateOverview(const TRect& R);
    // The panel's canvas with what is to be painted filled white.
    static TCanvas* WhiteCanvas(TCanvasPanel* Panel);

    // The chart's picture of a span on any canvas, clipped to the rectangle
    // (Left, Top, Width, Height): the three caption rows at the top, the body
    // below them and the position labels over the body.
    void DrawBitmap(TCanvas* Canvas, int Left, int Top, int Width, int Height, int Dpi, int ZoomDelta, bool ShowToday,
        int TopPixel, TDateTime VisEnd, TDateTime VisStart);
    // The timed backup's picture: two weeks from today over every position,
    // with a line saying what made it, written as JPEG.
    void SaveBackupPicture(const String& FileName) override;
    // ---- the editor panel ----
    // The focused row's fields, docked beside the tables (in EditorDock) or
    // in its own window (EditorForm, "Editor as Window").
    TEditorPanel* EditorPanel = nullptr;
    TPanel* EditorDock = nullptr;
    TEditorForm* EditorForm = nullptr;
    // Shows or hides the editor 500 ms after the last wish, so that a quick
    // deselect and select does not make it flicker.
    TTimer* ChangeEditorVisibleTimer = nullptr;
    // The view menu's switch (the shell builds it and keeps it in its
    // settings; it acts here).
    TMenuItem* EditorAsWindow1 = nullptr;
    // The window's place and, per table, the editor's size (docked: the
    // width), kept in the settings.
    TPoint FEditorPos{100, 100};
    TPoint FEditorSize[2] = {{400, 300}, {400, 300}};
    // Shows the focused row of the active table: at once when that row is
    // another, else at the next idle.
    void UpdateEditor() override;
    // Shows the focused row now.
    void RefreshEditor();
    // The row the editor is meant to show: the active table's focused row.
    TNodeData* EditorRow();
    void SeteditorVisible(bool Value);
    bool EditorVisibleWanted() const { return FEditorVisibleWanted; }
    void ChangeEditorVisibleTimerTimer(TObject* Sender);
    // Moves the editor into its window or back beside the tables.
    void EditorAsWindowClick();
    bool EditorAsWindow() const;
    // Where the window opens: the stored place, or near the main window
    // when no screen holds that place any more.
    TPoint GetEditorPos();
    // Takes the editor's present size (and the window's place) into
    // FEditorSize of the table it shows and FEditorPos.
    void StoreEditorPlace();
    // Puts the window at FEditorPos and sizes the editor for its table.
    void ApplyEditorPlace();
    void ApplicationEvents1Idle() override;

    // Selects a group tab as a click on it would.
    virtual void SelectPositionGroupTab(int Index);

    // ---- the tables' area ----
    // The position-group tabs over the tables: "General View", then the
    // groups' names.
    TTabControl* TabControl1 = nullptr;
    // The two tables, one sheet each; beside them, behind Splitter2, the
    // docked editor's container.
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TKitSplitter* Splitter2 = nullptr;
    int GetActivePageIndex() override;
    void SetActivePageIndex(int Index) override;
    int GetPositionGroupIndex() const override;
    // The lines for the active table, its size, and what else follows the
    // active table (menus, legends, the flash).
    void PageControl1Change() override;
    // The shown group changed: its stored filters replace the columns'
    // filters, the rows and the chart follow the group.
    void TabControl1Change();
    // The tabs' captions from the groups' names, the selected one kept
    // while it exists.
    void UpdatePositionGroupTabs();
    // The table captions in the current language.
    void UpdateTableCaptions();

    // ---- the tables' handlers (both trees share them) ----
    void StringTreeGridGetText(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column, String& CellText);
    void StringTreeGridPaintText(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node);
    void StringTreeGridBeforeCellPaint(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TColumnIndex Column,
        const TRect& CellRect);
    void StringTreeGridAfterCellPaint(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
        const TRect& CellRect);
    void StringTreeGridCompareNodes(TBaseTreeGrid* Sender, TGridNode* Node1, TGridNode* Node2, TColumnIndex Column,
        int& Result);
    void StringTreeGridHeaderClick(TBaseTreeGrid* Sender, const TTGHeaderHitInfo& HitInfo);
    void StringTreeGridChange(TBaseTreeGrid* Sender, TGridNode* Node);
    void StringTreeGridClick();
    // Sorting by several keys at once: the rows' values of each key column,
    // parsed once per sort; empty outside a sort.
    struct TSortColumnValues {
        int Column = -1;
        int Sign = 1;
        TColumnType Type = ctText;
        std::vector<double> Numbers;
    };
    std::vector<TSortColumnValues> FSortValues;
    int FSortSign = 1;
    // Sorts the table by the keys, the first the main order.
    void SortByKeys(TWhichTable Table, const std::vector<int>& Keys);
    // A sort value of a cell: dates by the document's parser, numbers by
    // the platform's; what does not parse counts as 0.
    double SortNumber(TColumnType Type, const String& Text) const;
    int CompareCells(TWhichTable Table, TNodeData* Row1, TNodeData* Row2, int Column, TColumnType Type);
    // A left click this close to a column's left edge (pixels) sets its
    // filter; further right it sorts.
    static constexpr int FilterClickWidth = 17;

    // ---- sorting ----
    // One key per entry: the column in the low 16 bits (signed), the
    // direction above (0 ascending, 1 descending); the first is the main key.
    std::vector<int> FSortList;
    static int SortKey(int Column, bool Descending) { return (Column & 0xFFFF) | (Descending ? 1 << 16 : 0); }
    static int SortKeyColumn(int Key) { return int(std::int16_t(Key & 0xFFFF)); }
    static bool SortKeyDescending(int Key) { return (Key >> 16) & 1; }
    void ActionSortExecute();
    void SortSubMenuClick(TMenuItem* Item);
    // The sort and filter menus' items, one per column of the active table.
    void UpdateColumnMenus();
    // Items were added to the menu at run time (the shell styles them).
    virtual void MenuItemsAdded(TMenuItem* Parent) { (void)Parent; }
    TMenuItem* SortMenu = nullptr;
    TPopupMenu* TreeGridHeaderPopupMenu = nullptr;
    // The marks of the sort menu (18 ascending, 19 descending) and the
    // header's filter marks.
    TImageList* TableImageList = nullptr;

    // ---- rows ----
    TActionList* TableActionList = nullptr;
    TAction* ActionSort = nullptr;
    TAction* ActionAddNode = nullptr;
    TAction* ActionDeleteNode = nullptr;
    TAction* ActionSelectAll = nullptr;
    TAction* ActionAutoSize = nullptr;
    TAction* ActionCut = nullptr;
    TAction* ActionCopy = nullptr;
    TAction* ActionPaste = nullptr;
    // The rows selected in each table, kept with the trees' selections.
    TSelectedRows FSelectedList[TableCount];
    void ActionAddNodeExecute();
    void ActionDeleteNodeExecute();
    void ActionSelectAllExecute();
    void ActionAutoSizeExecute();
    void AutoFitColumns();
    // Every column as wide as its caption or the rows in sight need,
    // whichever is wider: the file keeps no widths.
    void FitColumnsToContents();
    // The window messages of the edit commands go to the focused control.
    void ActionCutExecute();
    void ActionCopyExecute();
    void ActionPasteExecute();
    void focusselectednode(TWhichTable Table);
    // True while the focused control is a field the user types into.
    bool EditFieldFocused();

    // ---- colour legends on the main tool bar ----
    TColorLegend* StateColorPanel = nullptr;
    TColorLegend* HolidayColorPanel = nullptr;
    // Puts both legends on the bar.
    void CreateColorPanels(TWinControl* Bar);
    // The legends show the colouring columns' entries anew.
    void UpdateColorPanels();
    // A colour picked for an entry of the table's colouring column: one
    // undo step, every bar of the table drawn anew.
    void SetEntryColor(TWhichTable Table, int Entry, TColor Color);
    // A swatch was clicked: the colour picker opens under it.
    void ColorPanelClick(TWhichTable Table, int Entry);
    // The bar colours of the entries of the table's colouring column.
    std::vector<TColor>& EntryColors(TWhichTable Table);
    // New empties the sort list.
    void DocumentCleared() override;
    // Sort keys and the active column go with their columns; those of a
    // removed column are dropped.
    void ColumnsMoved(TWhichTable Table, const std::vector<int>& NewIndexOfOld) override;
    void DocumentOpened() override;

    // ---- the mouse on the chart ----
    void TimeChartMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void TimeChartMouseMove(TShiftState Shift, int X, int Y);
    void TimeChartMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Pointer at rest over the chart: the grabbed row, the chart's cursor
    // and its hint.
    void TimeChartHover(int X, int Y);
    // While a bar is dragged over another group tab: nine ticks of the
    // clock cursor, then the tab switches and the selected rows go to its
    // first row.
    void TimeChartChangeGroupTimerTimer(TObject* Sender);
    // The group tab under a screen point; -1 when none or while the tabs
    // are not shown.
    virtual int PositionGroupTabAt(TPoint ScreenPoint);
    // The new-entry question for a drawn rectangle: begin, end and position
    // shown, Table preselected and, on true, the table chosen. Nothing is
    // asked here: without the shell's dialog nothing is drawn.
    virtual bool ExecuteNewEntryDialog(const String& Begin, const String& End, const String& Position,
        TWhichTable& Table)
    {
        (void)Begin, (void)End, (void)Position, (void)Table;
        return false;
    }
    // Decides again whether the row passes the filters (after a move).
    virtual void RefilterRow(TNodeData* Row) { CB_FilterNode(Row); }
    // The context menu's commands: copy the row under the menu, and paste
    // the copy at the point the menu was opened.
    void ActionCopyNodeExecute();
    void ActionPasteNodeExecute();
    void ActionSplitExecuteHere();
    // The date and shown row under a chart point (whole days unless minute
    // unit for tasks).
    TDateTime ChartDateAt(int X, int Row, TWhichTable Table);
    TTimer* TimeChartChangeGroupTimer = nullptr;
    TPopupMenu* TimeChartPopupMenu = nullptr;
    TAction* ActionSplit = nullptr;
    TAction* ActionCopyNode = nullptr;
    TAction* ActionPasteNode = nullptr;
    // The cells of the row "copy this Task" took, one per column.
    std::vector<String> FCopyNode;
    bool FHasCopyNode = false;
    TPoint FMouseWhenDown;
    // Date under the pointer at the press minus the grabbed row's start.
    TDateTime FDateRef = 0;
    // The dotted frame as last drawn (empty: none).
    TRect FChartFrame;

protected:
    // The editor panel, docked and hidden until a row is selected.
    void CreateEditorPanel();
    // The tables' area inside Panel1.
    void CreateTablePanel();
    // What follows the active table besides the editor.
    void TablesPageChanged();
    // Splitter2 shows exactly while the editor is docked and shown.
    void ShowEditorSplitter();
    void CreateTableActions();
    // Puts the areas on the form. The shell calls it once its bars along the
    // edges exist, so that the areas take what those leave.
    void CreateViewPanels();

private:
    // The flash table, by step.
    static constexpr int FlashPercent[7] = {0, 50, 55, 77, 100, 77, 50};
    TChartPlace PlaceOf(TNodeData* Row);
    void RefreshIndex();
    TRect ItemRectOf(TNodeData* Node, TDateTime End, int Top, bool KeepFullHeight, int Width, int RowHeight,
        TDateTime VisEnd, TDateTime VisStart);
    // What drawing a bar needs to know of its row, worked out once a paint.
    struct TBarState {
        TCanvasPanel* Own = nullptr;  // the chart panel whose back buffer the canvas draws on
        bool Filtered = false;
        bool Selected = false;  // selected in the active table
        // The painted region's rectangles (device pixels, in bands from top
        // to bottom) where shadows are blended; null: the canvas's clip.
        const std::vector<TRect>* Painted = nullptr;
    };
    TCanvasPanel* OwnPanelOf(TCanvas* Canvas) const;
    void DrawBarAt(TCanvas* Canvas, bool Overview, int FontSize, const String& FontName, TRowSet RowSet, int RowHeight,
        TNodeData* Node, const TRect& R, const TBarState& State);
    TRect ArrowRectOf(TNodeData* Node, TDateTime End, int Top, int Width, int RowHeight, TDateTime VisEnd,
        TDateTime VisStart);
    void DrawTo(TCanvas* Canvas, const TRect& R, TNodeData* Node, TWhichTable Table, bool DataColors, bool DrawBar,
        bool FullText, int FontSize, const String& FontName, TRowSet RowSet, int RowHeight);
    void DrawTexts(TCanvas* Canvas, const TRect& R, TNodeData* Node, TWhichTable Table, bool FullText, TColor Color,
        int FontSize, const String& FontName, TRowSet RowSet);
    // The shadow of a selected bar (Picture: all of it) inside Bounds and
    // the painted region (Painted, as PaintedRects gives it; null: asked of
    // the canvas).
    void DrawShadow(TCanvas* Canvas, const TRect& Picture, const TRect& Bounds, const std::vector<TRect>* Painted);
    static std::vector<TRect> PaintedRects(TCanvas* Canvas);
    // Picture's pixels from From on blended over Dest.
    void PutBlended(TCanvas* Canvas, TBitmap* Picture, const TRect& Dest, TPoint From = TPoint{0, 0});
    int HorzMax();
    int HorzPage();
    int VertMax();
    int VertPage();
    void InvalidateSlider();
    // The parts of the chart that do not move with it: the position labels
    // and the line below the last row.
    void InvalidateFixedParts();
    // Moves a chart panel's pixels; what they uncover is painted anew.
    void ScrollPixels(TWinControl* Control, int DX, int DY);
    void InvalidateChartRect(TRect R, bool Large);
    int FChartRectsHeld = 0;
    std::vector<TRect> FHeldChartRects;
    std::vector<TRect> FHeldOverviewRects;
    // The widest position caption of the shown rows in Canvas's font.
    int WidestPositionCaption(TCanvas* Canvas);
    // A percentage shown in its box (its item, or the number typed), kept in
    // the box's tag and ticked in its submenu.
    void ShowPercent(TComboBox* Box, TMenuItem* Menu, int Value);
    void ShowSetup();

    // The bars' and labels' fonts as a paint of DrawTimeChart sets them.
    void SelectChartFont(TCanvas* Canvas, int Dpi, int ZoomDelta);
    // The shown rows (first, last) whose pixels meet the canvas's clip.
    void VisibleRows(TCanvas* Canvas, int DY, int Top, int RowHeight, int& First, int& Last);
    void DrawAutoEntries(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
        TDateTime VisStart, int ColWidth);
    void DrawRowLines(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top);
    void DrawToday(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
        TDateTime VisStart, int ColWidth);
    void DrawDueArrows(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
        TDateTime VisStart, double Scale);
    void DrawFadeOutLine(TCanvas* Canvas);
    // The box of the start label a moving bar shows at Corner.
    TRect ItemInfoBox(TCanvas* Canvas, TPoint Corner, const String& Text);
    // Where the moving bar's label at Corner can reach, whatever its date.
    TRect ItemInfoReach(TPoint Corner);
    void DrawSlider(TCanvas* Canvas);

    void ApplyEditorSize();
    bool FEditorVisibleWanted = false;
    bool FEditorRefreshPending = false;
    // The mouse's helpers (TimeChartMouse.cpp).
    void CreateTimeChartMouse();
    TNodeData* BarAt(int X, int Y, bool& OverFiltered, TRect& Rect);
    void MoveSelectedBars(int X, int Y);
    void SelectInBand(int X, int Y);
    void TrackFrame(int X, int Y);
    void SetChartFrame(const TRect& R);
    void FinishFrame(TTimeChartMouseState State, const TRect& Frame);
    void ShowChartMenu(int X, int Y);
    TRect SnappedFrame(TPoint Anchor, TPoint Pointer, TWhichTable Table);
    // The row a resize acts on: the one grabbed at the press.
    TNodeData* FResizeNode = nullptr;
    // Rows the rubber band selected so far.
    std::vector<TNodeData*> FBandRows;
    String FChartHint;

    struct TCompiledFilter;
    TCompiledFilter CompileFilter(const TFilterParams& Params, int Column) const;
    std::vector<TCompiledFilter> CompileFilters(TWhichTable Table);
    bool Passes(const TCompiledFilter& F, const String& Text) const;
    void UpdateFilterHints(TWhichTable Table);
    // The column's texts over all rows, sorted, each once (case ignored).
    void ColumnTexts(TWhichTable Table, int Column, TStringList& List);
    // The filters of the run FilterData makes (null outside one).
    const std::vector<TCompiledFilter>* FFilterRun = nullptr;
    TFilterPopup* FFilterPopup = nullptr;
    TImageList* FFilterImages = nullptr;
    TWhichTable FFilterPopupTable = tbTable;
    int FFilterPopupColumn = 0;
    std::unique_ptr<TChartRowIndex> FRowIndex;
    std::unique_ptr<TBarPictureCache> FPictures;
    std::unique_ptr<TOverviewPicture> FOverview;
    // The widest caption and what it was measured for.
    struct TCaptionWidth {
        const void* List = nullptr;
        int Count = -1;
        String Font;
        int Height = 0;
        int Width = 0;
    } FCaptionWidth;
};
