#pragma once
// TScheduleDocument: the open schedule as the lowest layer of the main
// window. Its rows are the nodes of two string trees, StringTreeGrid1 for
// the tasks (tbTable) and StringTreeGrid2 for the absent days (tbExclude);
// every node's data area holds one TNodeData. Every cell change passes
// through DoSetData.
//
// Whatever the document must ask of the layers above it (drawing, the
// editor, the status bar, the network, undo, translation) goes through the
// virtual hooks below, which do nothing harmful here; the views, the shell
// and the network override them.
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "components/TreeGrid/StringTreeGrid.h"
#include "document/ColumnLayout.h"
#include "document/CommaText.h"
#include "document/DateList.h"
#include "document/DocumentTypes.h"
#include "document/IniFiles.h"
#include "document/PositionLayout.h"
#include "document/UndoRedo.h"
#include "document/Workbook.h"
#include "document/WorkingTime.h"
#include "platform/Colors.h"
#include "components/SHChangeNotify.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"
#include "platform/Timers.h"

class TScheduleDocument;

// States of the document; ksLoading: a whole load is running.
enum TVEKState : std::uint8_t { ksLoading };

// The callback of ForEach: the row and the caller's parameter.
using TForEachCallback = std::function<void(TNodeData* Row, NativeInt Param)>;

// The trees of the document: each row's record is freed with its node,
// whatever way the node goes, and the cells are the row's texts.
class TRowTree : public TStringTreeGrid {
    VEK_DECLARE_CLASS(TRowTree, TStringTreeGrid)
public:
    TRowTree(TComponent* AOwner, TScheduleDocument* Document, TWhichTable Table);
    TWhichTable Table() const { return FTable; }
    // The row record of a node; null for a node no AddNode made.
    TNodeData* Row(TGridNode* Node) const;
    void BeforeDestruction() override;
    // The document forgets the whole table's rows at once before they go:
    // one by one, each would be searched for in the overlap lists.
    void Clear() override;
    // A sort changes the rows' order: the document hears of it.
    void Sort(TGridNode* Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true) override;
    // Rows change only through the document: a table copies its rows out,
    // a cut only copies them and a paste adds none.
    void CutToClipBoard() override { CopyToClipBoard(); }
    bool PasteFromClipboard() override { return false; }

protected:
    void DoFreeNode(TGridNode* Node) override;
    void DoNodeMoved(TGridNode* Node) override;
    void DoGetText(TGridNode* Node, TColumnIndex Column, TVSTTextType TextType, String& Text) override;
    void DoNewText(TGridNode* Node, TColumnIndex Column, const String& Text) override;

private:
    friend class TScheduleDocument;
    TScheduleDocument* FDocument;
    TWhichTable FTable;
};

// A stored filter of the document file: what it tests, on which table's
// group tab and which column (by caption).
struct TFilter {
    TFilterType Type = ftNone;
    TFilterSubType SubType = fsSmaller;
    String Text1;
    String Text2;
    TWhichTable Table = tbTable;
    String Group;
    String Header;
};

// The answers of the document's questions.
enum TDocumentAnswer : std::uint8_t { daYes, daNo, daCancel };
enum TDocumentMessageKind : std::uint8_t { dmInformation, dmWarning, dmError };

class TScheduleDocument : public TForm {
    VEK_DECLARE_CLASS(TScheduleDocument, TForm)
public:
    explicit TScheduleDocument(TComponent* AOwner);
    ~TScheduleDocument() override;
    void BeforeDestruction() override;

    TStringTreeGrid* StringTreeGrid1 = nullptr;  // tbTable
    TStringTreeGrid* StringTreeGrid2 = nullptr;  // tbExclude

    // ---- tables and columns ----
    TStringTreeGrid* GetTable(TWhichTable Table) const;
    TWhichTable GetTable(const TBaseTreeGrid* Tree) const;
    TWhichTable GetActiveTable();
    void SetActiveTable(TWhichTable Table);
    int GetTableColCount(TWhichTable Table) const;
    void SetTableColCount(TWhichTable Table, int Count);
    void ResizeTable(TWhichTable Table, int Count) { SetTableColCount(Table, Count); }
    int GetTableRowCount(TWhichTable Table) const;
    // Null for a column index outside the table.
    THeaderData* GetHeader(TWhichTable Table, int Column);
    int GetHeaderIndex(TWhichTable Table, const String& Caption) const;
    String GetColumnCaption(TWhichTable Table, int Column) const;
    void SetColumnCaption(TWhichTable Table, int Column, const String& Text);
    TColumnType GetColumnType(TWhichTable Table, int Column);
    void SetColumnType(TWhichTable Table, int Column, TColumnType Type);
    String GetColumnFormat(TWhichTable Table, int Column);
    void SetColumnFormat(TWhichTable Table, int Column, const String& Text);
    TStringList* GetColumnStrings(TWhichTable Table, int Column);
    int GetConnection(TWhichTable Table, TConnection Role) const;
    void SetConnection(TWhichTable Table, TConnection Role, int Column);
    void ResetConnections(TWhichTable Table);
    TConnection GetColumnConnection(TWhichTable Table, int Column) const;
    // Whether a bar's picture shows the column: its colour or a text line.
    bool IsShownOnBar(TWhichTable Table, int Column) const;
    void InsertColumn(TWhichTable Table, int Index);
    // Gives the table the layout: every row's cells, each column's header
    // data (filter, sort direction) and the roles follow their origin
    // column, stored filters follow its caption, and the colouring column's
    // colours follow their entries' texts. A column that is no origin goes
    // with its cells. Nothing is recorded or sent: the caller records the
    // whole document first and holds an update bracket around it.
    void ApplyColumnLayout(TWhichTable Table, const TColumnLayout& Layout);
    // The table's columns were laid out anew: NewIndexOfOld[i] is where old
    // column i went, -1 when it was removed. The views move what they keep
    // by column index.
    virtual void ColumnsMoved(TWhichTable Table, const std::vector<int>& NewIndexOfOld) { (void)Table, (void)NewIndexOfOld; }
    void RemoveColumn(TWhichTable Table, int Index);
    void ClearTable(TWhichTable Table);
    void CreateBasicTable(TWhichTable Table);

    // ---- cells ----
    String GetData(const TNodeData* Row, int Column) const;
    String GetData_(const TNodeData* Row, TConnection Role) const;
    int GetDataIndex(TNodeData* Row, int Column);
    int GetDataIndex_(TNodeData* Row, TConnection Role);
    void SetData(TNodeData* Row, int Column, const String& Text);
    void SetData_(TNodeData* Row, TConnection Role, const String& Text);
    void SetDataIndex(TNodeData* Row, int Column, int Index);
    void SetDataIndex_(TNodeData* Row, TConnection Role, int Index);
    void DoSetData(TNodeData* Row, int Column, const String& Text, TCallingMode Mode);
    void DoSetDataIndex(TNodeData* Row, int Column, TCallingMode Mode, int Index);

    bool GetNodeValid(const TNodeData* Row) const { return Row && Row->nodeValid; }
    TDateTime GetStartOf(const TNodeData* Row) const { return Row ? Row->nodeStart : 0; }
    void SetStartOf(TNodeData* Row, TDateTime X) { DoSetStartOf(Row, cmDefault, X); }
    void DoSetStartOf(TNodeData* Row, TCallingMode Mode, TDateTime X);
    // The row's end; one marked for recalculation is walked through its
    // position's working time and written back through SetEndOf.
    virtual TDateTime GetEndOf(TNodeData* Row);
    void SetEndOf(TNodeData* Row, TDateTime X);
    TDateTime GetTerminOf(const TNodeData* Row) const;
    void SetTerminOf(TNodeData* Row, TDateTime X);
    int GetLengthOf(const TNodeData* Row) const;
    void SetLengthOf(TNodeData* Row, int Minutes) { DoSetLengthOf(Row, Minutes, cmDefault); }
    void DoSetLengthOf(TNodeData* Row, int Minutes, TCallingMode Mode);
    int GetPositionOf(const TNodeData* Row) const;
    void SetPositionOf(TNodeData* Row, int Index) { DoSetPositionOf(Row, Index, cmDefault); }
    void DoSetPositionOf(TNodeData* Row, int Index, TCallingMode Mode);
    bool GetRecalcEndOf(const TNodeData* Row) const { return Row && Row->RecalcEndOf; }
    void SetRecalcEndOf(TNodeData* Row, bool Flag);
    bool GetRecalcStartOf(const TNodeData* Row) const { return Row && Row->RecalcStartOf; }
    void SetRecalcStartOf(TNodeData* Row, bool Flag);
    void CB_SetRecalcEndOf(TNodeData* Row, NativeInt Param = 0);
    void CB_SetRecalcBitmap(TNodeData* Row, NativeInt Param = 0);

    // ---- rows ----
    // Null on a connected client for a local add (the server's echo adds it).
    TNodeData* AddNode(int ID, TWhichTable Table, int Position, int Length, TDateTime Start, TCallingMode Mode);
    void DeleteNode(TNodeData* Row, TCallingMode Mode);
    void CB_DeleteNode(TNodeData* Row, NativeInt Mode) { DeleteNode(Row, TCallingMode(Mode)); }
    int GetFreeID();
    bool FindNodeAndTable(int ID, TNodeData*& Row, TWhichTable& Table) const;
    void ForEach(TForEachType Which, NativeInt Param, const TForEachCallback& Callback);
    void ForEach(TWhichTable Table, TForEachType Which, NativeInt Param, const TForEachCallback& Callback);
    void CheckAllValid();
    void CB_CheckValid(TNodeData* Row, NativeInt Param = 0);
    // The row record of a tree node (null for a node no AddNode made).
    TNodeData* NodeToRow(TBaseTreeGrid* Tree, TGridNode* Node) const;

    // ---- search ----
    TNodeData* FindFirst(const String& Text);
    TNodeData* FindNext(TNodeData* Row);

    // ---- dates, lengths ----
    String FormatDateTime(TDateTime X) const;
    TDateTime StrToDateTime(const String& Text) const;
    // StrToDateTime's reading, but false for a text it cannot read (which
    // StrToDateTime gives as 0).
    bool TryReadDateTime(const String& Text, TDateTime& X) const;
    bool isDateOK(TDateTime X) const { return FMinDate - 7300 < X && X < FMaxDate + 7300; }
    // Working minutes of a length text; computed in 64 bits, so a text too
    // long for the record's 32 bits shows as such (see CB_CheckValid).
    Int64 calcNodeLength(TWhichTable Table, const String& Text) const;

    // ---- positions ----
    // The position list of the current group (or of all positions), with the
    // extra rows of multi-row positions when Expand is set.
    ICommaText Positiongroups(bool ExpandRows, bool AllPositions);
    // The text of extra row K of a multi-row position named Name.
    static String ExtraRowName(const String& Name, int K);
    // The entries of the task table's column as positions, each its own
    // origin, and the unit; no positions for a column outside the table.
    TPositionLayout PositionLayoutOf(int PositionColumn);
    // Makes the task table's column PositionColumn hold the layout's
    // positions and switches to its unit. Positions are matched by origin,
    // never by name: the Position cells of both tables, the stored position
    // groups and the list filters on the Position columns follow their
    // position, and what belonged to a deleted one is kept in the cells but
    // dropped from groups and filters. An unchanged entry keeps its bytes.
    // A unit change keeps each task's working length and start day. Runs in
    // its own update bracket; records no undo entry and sends nothing.
    void ApplyPositionLayout(const TPositionLayout& Layout, int PositionColumn);
    // The smallest time unit (0 day, 1 minute); the views show it anew.
    virtual void SetMinUnit(int Unit);
    // Rebuilds the per-position maps from the expanded list and the current
    // group's filter, then schedules the empty-row update.
    virtual void UpdateInternalVariables();
    // FGlobalPositionFilter := the current group's expanded list (and a copy
    // in FNoAutoGlobalPositionFilter), then UpdateInternalVariables.
    void ApplyPositionGroup();
    // Constant time: the overlapping rows are counted as they are listed.
    bool GetNodeIsOverlapping(const TNodeData* Row) const;
    // The number of shown rows (the current group's positions, multi-row
    // positions expanded, empty ones left out while hidden).
    int GetRowCount() const { return FGlobalPositionFilter ? FGlobalPositionFilter->Count() : 0; }

    // Sets the colour array to Count entries; entries added get the default
    // colours by their number among the added ones.
    static void FillUpColors(std::vector<TColor>& Colors, int Count);
    // The colours of a pulldown list after it changed from OldTexts to
    // NewTexts: each entry keeps the colour of the old entry of its text
    // (each old entry serves once), entries new in the list get the default
    // colours by their number among the new ones.
    static std::vector<TColor> ColorsFollowTexts(const std::vector<TColor>& Colors, const TStrings& OldTexts,
        const TStrings& NewTexts);

    // ---- position groups ----
    // Appends a group (its tab caption and the comma text of its position
    // entries) behind the others.
    void AddPositionGroup(const String& Name, const String& CommaText);
    // Leaves only the group of all positions, its tab selected.
    void ResetPositionGroups();
    // After the groups were rebuilt: Origins[i] is the index group i had
    // before (-1 for a new one), OldNames the captions then. Stored filters
    // of a kept group take its caption now, those of a dropped group go;
    // filters of no old group stay as they are.
    void FollowGroupFilters(const TStrings& OldNames, const std::vector<int>& Origins);

    // ---- update brackets and deferred updates ----
    // Brackets nest; the outermost EndUpdate settles everything once. An
    // EndUpdate without its BeginUpdate is ignored.
    void BeginUpdate(const String& Text);
    void EndUpdate();
    bool IsUpdating() const { return FUpdating > 0; }
    bool IsLoading() const { return FVEKStateSet.Contains(ksLoading); }
    // Marks a whole load (a document, or a whole document from the
    // network); the timers leave their work for after it.
    void SetLoading(bool Value);
    virtual void UpdateBounds(bool Deferred);
    virtual void UpdateOverlapping(bool Deferred);
    virtual void UpdateEmptyRows(bool Deferred);
    virtual void UpdateBoundsProc();
    // Recomputes FOverlappingNodes (nothing while an update bracket is open).
    virtual void UpdateOverlappingProc();
    virtual void UpdateEmptyRowsProc();
    // The automatic calendar entries for the data range.
    virtual void UpdateAutoEntries(TDateTime Low, TDateTime High);
    // Settles a loaded, received or merged document without an event loop:
    // runs at once, in the order the idle ticks and the overlap timer would,
    // the pending empty-row and bounds updates (with the automatic calendar
    // entries), the ends of every row marked for it (what the views compute
    // as they show the rows), and the overlaps, until nothing is pending.
    // So a document without a window ends as the window would show it.
    // Nothing happens inside an update bracket or while loading.
    void SettleDeferredUpdates();
    // Runs the procedure (virtually) when its flag is raised, lowering it first.
    void RunDelayed(bool& Flag, void (TScheduleDocument::*Proc)());
    void OverlappingTimerTimer(TObject* Sender);
    void IdleTimerTimer(TObject* Sender);
    // The application went idle: arms the idle timer.
    virtual void ApplicationEvents1Idle();
    TTimer* OverlappingTimer = nullptr;
    TTimer* IdleTimer = nullptr;

    // ---- undo and redo ----
    TUndoRedo& UndoRedo() { return *FUndoRedo; }
    // Records the whole document (setup, holidays, both tables) as one step.
    void PushUndoSnapshot();
    // Tells the Undo and Redo actions whether they can run and their hints.
    virtual void UpdateUndoRedoActions(bool CanUndo, const String& UndoHint, bool CanRedo, const String& RedoHint)
    {
        (void)CanUndo, (void)UndoHint, (void)CanRedo, (void)RedoHint;
    }
    // Makes the row the only selected one of its tree, and the focused one.
    virtual void SelectOnly(TNodeData* Row);

    // ---- document tables in ini form ----
    void SaveSetup(TCustomIniFile& Ini);
    void LoadSetup(TCustomIniFile& Ini);
    void SavePublicHoliday(TCustomIniFile& Ini);
    void LoadPublicHoliday(TCustomIniFile& Ini);
    // WithIDs: every row section also carries the row's ID (key "__id__"),
    // for a copy of the document that must keep the IDs (the one sent to
    // network clients); a row read without a usable, unused ID takes a free
    // one. Document files and undo snapshots do without.
    void SaveTable(TWhichTable Table, TCustomIniFile& Ini, bool WithIDs = false);
    void LoadTable(TWhichTable Table, TMemIniFile& Ini, bool WithIDs = false);

    // ---- document state ----
    // The first change after a save or load arms the timed backup; back
    // to unchanged disarms it.
    virtual void SetFileChanged(bool Value);
    bool GetFileChanged() const { return FFileChanged; }

    // ---- hooks for the layers above ----
    // The row's drawing; the default invalidates its tree node.
    virtual void InvalidateNode(TNodeData* Row, bool Large = false);
    virtual void InvalidateTimeChart() {}
    virtual void CenterNode(TNodeData* Row) { (void)Row; }
    virtual void UpdateEditor() {}
    virtual void UpdateStatusBar() {}
    virtual void PageControl1Change() {}
    virtual void EnableSelectionFlash() {}
    // Whether a control of the form has the focus (the funnel centres the
    // row only then).
    virtual bool HasActiveControl() { return ActiveControl() != nullptr; }
    // The page control's active page (0 tasks, 1 absent days).
    virtual int GetActivePageIndex() { return FActivePageIndex; }
    virtual void SetActivePageIndex(int Index) { FActivePageIndex = Index; }
    // The selected group tab (0 = all positions).
    virtual int GetPositionGroupIndex() const { return 0; }
    virtual bool IsConnectedClient() const { return false; }
    virtual bool IsActiveServer() const { return false; }
    virtual void SendSetNodeDataEvent(int Column, const String& Text, int ID) { (void)Column, (void)Text, (void)ID; }
    virtual void BroadcastSetNodeDataEvent(int Column, const String& Text, int ID) { (void)Column, (void)Text, (void)ID; }
    virtual void SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
    {
        (void)Table, (void)Position, (void)Length, (void)Start, (void)ID;
    }
    virtual void BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
    {
        (void)Table, (void)Position, (void)Length, (void)Start, (void)ID;
    }
    virtual void SendDeleteNodeEvent(int ID) { (void)ID; }
    virtual void BroadcastDeleteNodeEvent(int ID) { (void)ID; }
    virtual String Translate(const String& Text) const { return Text; }
    // Undo recording points: the undo stack records a changed cell (before
    // the new text is stored, so the old one can be copied), an added row
    // and a row about to be removed, each with FUndoRedoGroupIndex, while it
    // accepts entries. Nothing is recorded here.
    virtual void RecordUndoSetData(TNodeData* Row, int Column);
    virtual void RecordUndoAddNode(TNodeData* Row);
    virtual void RecordUndoRemoveNode(TNodeData* Row);
    // The bracket's status text (status-bar panel 3) and the hourglass.
    virtual String GetStatusText() const { return FStatusText; }
    virtual void SetStatusText(const String& Text) { FStatusText = Text; }
    virtual void SetHourglass(bool Busy) { (void)Busy; }
    // The group tabs' change handler: the shown rows follow the selected
    // group (the views also redraw).
    virtual void GroupTabChange() { ApplyPositionGroup(); }
    // The groups' captions or number changed: the views rebuild their tabs
    // (selecting the first one with SelectFirst).
    virtual void PositionGroupTabsChanged(bool SelectFirst) { (void)SelectFirst; }
    virtual void UpdateScrollBars() {}
    // The timechart goes back to FTimeChartStart.
    virtual void RestoreTimeChartStart() {}
    // Stores the range the timechart scrolls over (FMinDate, FMaxDate); false
    // when it was already that. The views keep it in whole days and scroll
    // along.
    virtual bool SetTimeChartBounds(TDateTime Low, TDateTime High)
    {
        const bool changed = Low != FMinDate || High != FMaxDate;
        FMinDate = Low;
        FMaxDate = High;
        return changed;
    }
    // Days that fit in the timechart's width at the current column width.
    virtual int GetTimeChartVisibleDays() const { return 0; }
    // The view options that hide positions no row uses.
    virtual bool HideEmptyPositions() const { return false; }
    virtual bool HideEmptyMultiRowPositions() const { return false; }
    virtual void UpdateTimeChartHint() {}
    // The network menu items and controls.
    virtual void UpdateNetworkControls() {}
    // The document's own switches (FDenyMoveBeforeNow, FAutoArrange) may
    // differ now: the outermost update bracket of a new, loaded, received
    // or restored document has closed.
    virtual void UpdateDocumentSwitches() {}
    // Gives every position entry the default week text.
    virtual void CreateDefaultWeekInfo();
    // Whether the row counts as filtered for feFiltered.
    virtual bool IsNodeFiltered(const TNodeData* Row) const { return Row->reference != nullptr; }
    // The stored setup (zoom, column width, font, row sets, colours, ...)
    // was assigned anew: by New, a load, an undo snapshot or a document from
    // the server. The views show it again without marking anything changed.
    virtual void SetupLoaded() {}
    // New has emptied the document (also as a load's first step).
    virtual void DocumentCleared() {}
    // A file was opened (or a list imported) and is shown.
    virtual void DocumentOpened() {}
    // The row's cached start, end, position or validity may have changed
    // (also inside update brackets, where nothing is invalidated).
    virtual void RowPlaceChanged(TNodeData* Row) { (void)Row; }
    // The order of the table's rows changed (a sort, a moved node).
    virtual void RowOrderChanged(TWhichTable Table) { (void)Table; }
    // The row is being freed: nothing may keep it.
    virtual void RowGone(TNodeData* Row) { (void)Row; }

    // ---- working-time calendar ----
    // The week of the position shown in the row; the default week when none.
    tWeekInfo GetWeekInfo(int Row) const;
    // Rebuilds FAutoExcludeList: the inactive weekdays of every shown row
    // from the day of Low while before High, and the enabled public holidays
    // of the years of Low to High.
    void updateAutoEntries(TDateTime Low, TDateTime High);
    // The automatic entries of the row and of all rows, at the list's front.
    void AddAutoExcludeToDateList(tDateList& List, int Row) const;
    // The valid rows of the table that apply to the shown row (all positions
    // or a multi-row span holding it), ends made exclusive; sorted after.
    void addTableToDateList(TWhichTable Table, tDateList& List, int Row);
    // The shown rows the row's position occupies.
    std::vector<int> GetMultipleRowSpan(TWhichTable Table, const TNodeData* Row) const;
    // Working minutes from From to Till in the shown row's week: exactly the
    // minutes GetEndOf consumes between the two for a task in minute mode.
    std::int32_t calcLengthOf(TWhichTable Table, int Row, TDateTime From, TDateTime Till);
    // While a pass is open the absent days are indexed once and reused by
    // every GetEndOf and calcLengthOf; the caller changes no absent day in
    // the meantime (ends written by GetEndOf itself are taken into account).
    // Passes nest.
    void BeginCalendarPass();
    void EndCalendarPass();
    // The absent days that apply to the shown row, ends made exclusive.
    void AddAbsentDaysTo(TDateCoverage& Cover, int Row);

    // ---- overlaps, multi-row positions, split ----
    // Answers to the question before a row is added to a position.
    enum TOverlapAnswer : std::uint8_t { oaYes, oaCancel, oaIgnore, oaYesToAll };
    // Moves later tasks behind earlier ones until no task overlaps; one
    // Undo reverts the whole run.
    void ActionSolveOverlappingExecute();
    // Whether both solvers can run now.
    bool ActionSolveOverlappingUpdate() const;
    // Resolves overlaps by moving tasks between the rows of their multi-row
    // position and, after asking, by adding rows.
    void ActionSolveOverlappingSingleExecute();
    // Row count of a position entry (item 2): 1 when empty, not a number or
    // below 1, at most MaxRowsPerPosition.
    static int PositionRowCount(const String& Entry);
    // The position entry holding expanded index I; -1 outside the list.
    int MultiRowIndex(int I);
    // The first extra row of that position (one past its main row) and its
    // last row; an index outside the list counts as a one-row position.
    int FirstRowInMultiRow(int I);
    int LastRowInMultiRow(int I);
    // Gives position entry P one more row, every row keeping its position
    // text; false when P is not an entry or already has the most rows.
    bool AddMultiRow(int P, bool RefreshTabs);
    // Whether shown entry I is a generated extra row of a multi-row position.
    bool isMultiRow(int I) const;
    // The shown rows occupied by expanded index Index of the table's rows.
    std::vector<int> _GetMultipleRowSpan(TWhichTable Table, int Index) const;
    // Whether some row of the table holds exactly the text as its position.
    bool findNodeWithPosition(TWhichTable Table, const String& Text);
    // The tasks an absent day touches get their ends recomputed.
    void recalcoverlapping(TNodeData* AbsentDay);
    // The split date of a point of the timechart: whole days in day mode or
    // for absent days, a date with a time of day in minute mode. Column
    // widths and row heights below 1 count as 1.
    TDateTime SplitDateAt(TDateTime ChartStart, int X, int ColumnWidth);
    static int ShownRowAt(int Top, int Y, int RowHeight);
    bool ActionSplitUpdate();
    // Splits the one selected row at Date into two copies measured in shown
    // row Row; false when nothing was split.
    bool ActionSplitExecute(TDateTime SplitDate, int Row);
    // A copy of the first selected row of the active table, start and end
    // left empty, selected and focused; null when none.
    TNodeData* CopyNode();
    // The view options "Automatically arrange items", "Hide empty resources"
    // and "Hide empty multi-row resources".
    virtual bool GetAutoArrange() const { return FAutoArrange; }
    virtual void SetHideEmptyPositions(bool Value) { (void)Value; }
    virtual void SetHideEmptyMultiRowPositions(bool Value) { (void)Value; }
    // The questions and notes of these commands (the shell shows them).
    virtual TOverlapAnswer AskAddRow(const String& Text) { (void)Text; return oaCancel; }
    virtual bool AskSplit(const String& Text) { (void)Text; return true; }
    virtual void ShowInformation(const String& Text) { (void)Text; }
    // Set while the solver runs: the recomputations inside it do not start
    // it again.
    bool FSolvingOverlaps = false;
    // While above 0 an invalidated absent day leaves the tasks' ends alone.
    int FQuietAbsentDays = 0;

    // ---- state ----
    // Per expanded position index: its week.
    std::vector<tWeekInfo> FWeekInfo;
    // Earliest start and latest end of any day of any shown row's week.
    TDateTime FMinDayStart = 1.0;
    TDateTime FMaxDayEnd = 0;
    // Inactive weekdays and public holidays inside the bounds; changed only
    // by updateAutoEntries.
    tDateList FAutoExcludeList;
    std::vector<THolidayData> FHolidayList;
    int FConnection[TableCount][ConnectionCount];
    int FLastFreeID = 0;
    int FUndoRedoGroupIndex = -1;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TDateTime FDataMinDate = 0;
    TDateTime FDataMaxDate = 0;
    TMinUnit FMinUnit = muDay;
    String FDefaultHolidayReason;
    bool FDefaultCalcWorkdays = false;
    ICommaText FGlobalPositionFilter;
    ICommaText FNoAutoGlobalPositionFilter;
    // Per expanded position index: its shown row in the current group (-2 outside).
    std::vector<int> FPositionInPositionGroup;
    // Per expanded position index: the expanded indexes of its whole multi-row position.
    std::vector<std::vector<int>> FPositionsInHolidayGroup;
    // One entry per group tab: entry 0 empty, entry i the comma text of group i's positions.
    TStringList FPositionGroup;
    TList FOverlappingNodes;
    TList FIgnoreOverlappingNodes;
    // FOverlappingNodes changes only through these, which keep the count
    // per row that GetNodeIsOverlapping reads.
    void AddOverlapping(TNodeData* Row);
    void ClearOverlapping();
    TStringList EmptyStringList;
    String FFindString;
    int FUpdating = 0;
    bool fDelayedUpdateOverlapping = false;
    bool fDelayedUpdateEmptyRows = false;
    bool fDelayedUpdateBounds = false;
    // Saved status texts of the open brackets, the newest first.
    TStringList FUpdateStrings;
    TSet<TVEKState> FVEKStateSet;
    TDateTime FUserDate = 0;

    // A row count beyond this counts as this many (row counts come from files).
    static constexpr int MaxRowsPerPosition = 1000;

    // ---- the document file ----
    // An empty document with both basic tables; the current lock is released.
    void ActionNew();
    // After a load or import: a failed one (Ok false) leaves a new,
    // unchanged document. Returns Ok.
    bool EndLoading(bool Ok);
    // The ini of a document file: its bytes, decompressed when they are a
    // compressed stream. Raises (EReadError) for a file that is no
    // document: a compressed stream that does not decompress, text holding
    // NUL characters, or text without a single section; and the stream error
    // for a file that cannot be read.
    static void ReadDocumentBytes(const std::string& Bytes, TMemIniFile& Ini);
    static std::unique_ptr<TMemIniFile> ReadDocumentFile(const String& FileName);
    // Why the last load failed (empty after one that succeeded).
    String FLoadError;
    // The whole load; false (and an empty new document) when the file could
    // not be read, false with the document untouched when the version
    // question was refused.
    bool Load(const String& FileName);
    // Writes the document; raises on failure, the old file then untouched.
    void SaveTo(const String& FileName);
    // Save with lock, history and change files; false when nothing was saved.
    bool Save(const String& FileName);
    void Open(const String& FileName);
    void ActionOpen();
    // Both answer whether the file was written (false also when the save
    // dialog or the overwrite question was cancelled).
    bool ActionSave();
    bool ActionSaveAs();
    void ActionRevert();
    bool ActionRevertEnabled() const;
    // The "Save File compressed" switch.
    void ToggleCompressed();
    // Deletes every row of both tables without recording or sending anything.
    void ClearRows();
    // The whole document in and out of a file-less ini (undo, network).
    void SaveToIni(TMemIniFile& Ini, bool WithLocale);
    void LoadFromIni(TMemIniFile& Ini);
    void CB_OffsetNode(TNodeData* Row, int Days);
    void AddHoliday(const String& Name, int Day, bool Enabled, bool Easter, int Month);
    void ClearHoliday() { FHolidayList.clear(); }
    const THolidayData* GetHolidayData(int Index) const;

    // The sections of the file, each writer with its reader.
    void WriteVersionSection(TCustomIniFile& Ini) const;
    void WriteLocaleSection(TCustomIniFile& Ini) const;
    void WriteSetupSection(TCustomIniFile& Ini);
    void ReadSetupSection(TCustomIniFile& Ini);
    void WritePublicHolidays(TCustomIniFile& Ini) const;
    void ReadPublicHolidays(TCustomIniFile& Ini);
    void WriteTableSections(TWhichTable Table, TCustomIniFile& Ini, bool WithIDs = false);
    void ReadTableSections(TWhichTable Table, TMemIniFile& Ini, bool WithIDs = false);
    // The archive sections as read at load time, written after the tables.
    void WriteArchiveSections(TMemIniFile& Ini) const;
    void KeepArchiveSections(const TMemIniFile& Ini);

    // ---- side folder, lock and history ----
    String GetTmpDirectory() const;
    String GetHistDirectory() const;
    String GetPushDirectory() const;
    String GetBackupPath() const;
    String GetLockFileName() const;
    // FCurrentFile := FileName when its lock is had, else empty.
    void SetCurrentFile(const String& FileName);
    // Takes the lock of FileName without giving up the current one; true
    // when it is ours (or already was).
    bool LockFileFor(const String& FileName);
    String FileUser(const String& FileName) const;
    String FileMachine(const String& FileName) const;
    // Why the last LockFileFor failed: 0 when someone holds the lock, else
    // the system's error number (a folder without write permission, say).
    int FLockError = 0;
    // The message for a lock LockFileFor could not take: who holds it
    // (Separator comes between the user and the bracketed computer), or why
    // it could not be made.
    String LockRefusal(const String& FileName, const char* Separator) const;
    static void GetHistoryInfo(const String& Folder, const String& FileName, int& Count, int& Highest, int& Lowest);
    // Gives the existing file its next history copy (the old file stays
    // where it is until the new one replaces it); the copy's path, or ""
    // when there is no old file. Obsolete: the copy to delete once the save
    // is done, -1 for none (at most FMaxHistoryFiles + 1 are kept).
    String MakeHistoryCopy(const String& FileName, int& Obsolete);
    // The whole file's bytes as SaveTo writes them.
    std::string DocumentBytes();

    // ---- hooks of the file commands (the shell answers them) ----
    // A confirmation with OK and Cancel; true for OK.
    virtual bool AskConfirmation(const String& Text) { (void)Text; return true; }
    // Unsaved changes: save them?
    virtual TDocumentAnswer MessageFileNotSaved() { return daNo; }
    virtual void ShowMessage(TDocumentMessageKind Kind, const String& Text) { (void)Kind, (void)Text; }
    // The save and open dialogs; false when cancelled.
    virtual bool ExecuteSaveDialog(String& FileName) { (void)FileName; return false; }
    virtual bool ExecuteOpenDialog(String& FileName) { (void)FileName; return false; }
    virtual void UpdateCaption() {}
    virtual void AddRecentFile(const String& FileName) { (void)FileName; }
    // True when another running instance shows the file (and was brought to the front).
    virtual bool ShowInOtherInstance(const String& FileName) { (void)FileName; return false; }
    virtual void ScrollToToday() {}
    virtual void BroadcastDocument() {}
    // The legacy loader of older files.
    virtual void LoadLegacyTables(TMemIniFile& Ini) { LoadOlderVersion(Ini); }
    // The change files of the push folder, applied after a load.
    virtual void LoadPushedFiles();
    virtual void StopPushedFilesTimer();
    // The timechart's row height (the views derive it from the font).
    virtual int GetTimeChartRowHeight() const { return FFontsize * 3; }

    // ---- document settings stored in [Setup] ----
    bool FKomprimiert = true;
    String FFooter;
    String FHeaderText;
    bool FPrintToday = false;
    bool FPrintHeader = false;
    bool FPrintFooter = false;
    bool FPrintFilename = true;
    bool FPrintLochrand = false;
    bool FDenyMoveBeforeNow = false;
    bool FAutoArrange = false;
    int FColWidth = 8;
    int FZoom = 100;
    // The row set in use (0 normal, 1 one and a half, 2 triple) and the stored entries.
    int FRowSetIndex = 0;
    std::vector<Byte> FRowSet{0};
    int FTransparency = 50;
    int FSmallTimeChartRowheight = 10;
    String FFontname = "Sans";
    int FFontsize = 10;
    std::vector<TColor> FStateColors{0xFFFFFF, 0x00FFFF, 0x00BF00};
    std::vector<TColor> FHolidayColors{0xF0E5CC, 0xE0CA92, 0x978762};
    std::vector<TFilter> FFilters;
    // Captions of the group tabs, entry i for FPositionGroup entry i (entry 0 unused).
    TStringList FPositionGroupNames;

    // ---- file state ----
    bool FFileIsNewAndUnsaved = true;
    // The document is the empty one New made: nothing has been loaded,
    // received, imported or changed since.
    bool FUntouchedNew = false;
    bool FInitialDeOverlap = false;
    bool FReceivedFromServer = false;
    // The save and open dialogs' file names.
    String FSaveFileName;
    String FOpenFileName;
    String FCurrentFile;
    int FCurrentFileHandle = -1;
    int FMaxHistoryFiles = 80;
    std::vector<String> FPendingPushedFiles;
    std::vector<String> FPushedFiles;
    // [VEK] Version and SubVersion of the file loaded last (-1 when absent).
    int FFileVersion = -1;
    int FFileSubVersion = -1;
    // The archive sections of the loaded file: name, then its lines.
    std::vector<std::pair<String, std::vector<String>>> FArchiveSections;
    // Set while a load converts the file's date texts to the running formats.
    std::unique_ptr<TFormatSettings> FFileFormats;
    // Converts a date text of the file being loaded to the running formats.
    String ConvertFileDate(const String& Text, bool WithSeconds) const;
    // The formats a file's [Locale] says its dates were written in; null
    // when they are the running ones (or the file does not say).
    static std::unique_ptr<TFormatSettings> FileFormatsOf(const TCustomIniFile& Ini);

    // How a file keeps one table's rows: their count, the key of each
    // current column (its index, or in files up to version 2.2 the task
    // column's caption and fixed names for the absent days; empty when the
    // file keeps none), the date columns to convert from FFileFormats, and
    // the cells files 2.0 and 2.1 lack (column, text).
    struct TFileRows {
        String Section;
        int Count = 0;
        std::vector<String> Keys;
        std::vector<bool> IsDate;
        std::vector<std::pair<int, String>> Defaults;
    };
    TFileRows FileRowsOf(TWhichTable Table, const TMemIniFile& Ini, bool ByNames, bool OldAbsentDays);
    // A table's RowCount, at most one more than the highest row section of
    // that table in the file, never below 0.
    static int FileRowCount(const TMemIniFile& Ini, TWhichTable Table);
    // Row N's cells as a load sets them, and its last change.
    std::vector<String> ReadFileRow(const TFileRows& Rows, const TMemIniFile& Ini, int N) const;
    TDateTime ReadFileRowStamp(const TFileRows& Rows, const TMemIniFile& Ini, int N) const;
    // Adds the rows as a load does (nothing recorded, nothing sent).
    void AddFileRows(TWhichTable Table, TMemIniFile& Ini, const TFileRows& Rows, bool WithIDs);

    // ---- spreadsheet exchange ----
    // Both tables out to a new workbook shown to the user, and back in from
    // a workbook file the user picks. Import is refused on a connected
    // client: its rows would go out empty before their cells are read.
    void Exportieren1Click();
    void ExcelImport1Click();
    bool CanImportWorkbook() const { return !IsConnectedClient(); }
    // Whether the worksheet's first row holds the table's captions (letter
    // case aside); when not, says which column differs.
    bool WorksheetFits(TWorkbookApplication& Excel, int Sheet, TWhichTable Table);
    // The spreadsheet application; null when there is none. ExportPath:
    // where a new workbook goes when it is shown.
    virtual std::unique_ptr<TWorkbookApplication> CreateWorkbookApplication(const String& ExportPath);
    // Where an export goes: the documents folder, the document's name and
    // the date and time, never an existing file.
    String WorkbookExportPath(TDateTime When);
    // Where a printout goes without a printer: a PDF in the documents
    // folder named after the opened file ("VEK" for a new one), never an
    // existing file.
    String PrintFileName();
    virtual String GetDocumentsFolder();
    // The document's file name, as the caption shows it, also for a file
    // opened without its lock; empty for a new document.
    virtual String GetDocumentFileName() const;
    // A question with Yes and No; the default answers No.
    virtual bool AskYesNo(const String& Text) { (void)Text; return false; }
    // The open dialog with a filter of "caption|patterns|..." pairs; false when cancelled.
    virtual bool ExecuteWorkbookOpenDialog(const String& Filter, String& FileName)
    {
        (void)Filter, (void)FileName;
        return false;
    }
    virtual void SetBusyCursor(bool Busy);

    // ---- lists of the older format ----
    // Imports a list and its side settings file (the list's name with
    // ".ini" appended) into the freshly reset document. False, with an empty
    // new document, when the list cannot be read, has no usable column
    // count, or this instance is a connected client (the rows it adds would
    // go out empty). Parts of the list that are cut short are left out and
    // reported once.
    bool Import(const String& FileName);
    // The side settings file: the timechart's day width and font size, and
    // the ten colours; defaults for whatever is missing or unusable.
    void LoadLocalIni(const String& FileName, std::vector<TColor>& Colors);
    bool CanImportList() const { return !IsConnectedClient(); }
    // What the open command does after an import: the document keeps no
    // file name of its own, so a save never writes over the list.
    void FinishListImport(const String& FileName, bool Imported);
    // A list with more columns than this is refused.
    static constexpr int MaxListColumns = 1000;
    // A list file larger than this is refused.
    static constexpr std::size_t MaxListFileSize = std::size_t(64) << 20;


    // ---- documents of older versions ----
    // The rows of a file written up to version 2.2: task cells keyed by
    // their column's caption, absent-day cells by fixed names.
    void LoadTable22x(TWhichTable Table, TMemIniFile& Ini);
    // Both tables of such a file and the adjustments FFileVersion and
    // FFileSubVersion call for: the absent-day defaults of 2.0 and 2.1 and
    // the fixed holidays of [Holiday].
    void LoadOlderVersion(TMemIniFile& Ini);
    // Adds fixed holiday Index of older files; an index outside adds nothing.
    void addholiday(int Index, bool Enabled);
    static constexpr int FixedHolidayCount = 20;

    // ---- merging another document file ----
    struct TMergeCounts {
        int Added = 0;
        int Updated = 0;
        int Unassigned = 0;
    };
    // "Merge Files...": picks a file and merges it. Refused on a connected
    // client: the rows it adds would reach the server before their cells.
    void Zusammenfhren1Click();
    bool CanMergeFiles() const { return !IsConnectedClient(); }
    // The merge itself, one undo step; false when nothing was merged.
    bool MergeFile(const String& FileName);
    // Whether the file's task columns, roles and state colours are ours.
    bool CompareSetup(TCustomIniFile& Ini);
    TMergeCounts updateTable(TWhichTable Table, TMemIniFile& Ini);
    // Recomputes both hashes of the row (and its place in the merge index).
    void CB_UpdateHashEntries(TNodeData* Row);
    // The rows whose hash matches Key AND whose cells equal Cells (all
    // cells, or the free ones): the hash only finds the candidates. The
    // first in tree order, or null; and their number.
    TNodeData* FindCompleteHash(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells);
    TNodeData* FindHash(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells);
    int CompleteHashCount(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells);
    int HashCount(TWhichTable Table, std::int32_t Key, const std::vector<String>& Cells);
    // The keys of a row's cells: all of them, and the free columns' ones
    // (not bound to position, dates, length, due date or state).
    std::int32_t CompleteKey(const std::vector<String>& Cells) const;
    std::int32_t PartialKey(TWhichTable Table, const std::vector<String>& Cells) const;
    std::vector<String> RowCells(const TNodeData* Row) const;
    // The caption of the table's tab.
    virtual String GetTableTabCaption(TWhichTable Table) const
    {
        return Translate(Table == tbTable ? "Tasks" : "Absent days");
    }

    // ---- archive ----
    void Auftrgearchivieren1Click();
    void Archivierungrckgngigmachen1Click();
    void Archivlschen1Click() {}
    // The archive dialog preset with the range and the archive date, updated
    // and shown modally; the un-archive dialog shown modally.
    virtual void ShowArchiveDialog(TDateTime First, TDateTime Last, TDateTime ArchiveDate)
    {
        (void)First, (void)Last, (void)ArchiveDate;
    }
    virtual void ShowUnarchiveDialog() {}
    // Refused on a connected client: the deletions would reach the server,
    // which would lose rows kept only in this client's file.
    bool CanArchive() const { return !IsConnectedClient(); }
    // Whether the row goes to the archive of Day: the day of its end is on
    // or before Day. A row without a usable end (GetEndOf gives 0) never does.
    bool IsArchivable(TNodeData* Row, TDateTime Day);
    // The rows of both tables IsArchivable for Day, and all rows.
    void CountArchivable(TDateTime Day, int& Count, int& Total);
    // Saves, then moves every row IsArchivable for Day into the archive
    // sections and saves again, so the file holds each such row once, in its
    // archive. Undo forgets everything before. False, with nothing changed,
    // when the first save did not write the file or archiving is refused.
    bool ArchiveRows(TDateTime Day);

    // ---- timed backups and change files ----
    // Once armed by a change, BackupTimerTimer copies the document, its
    // picture and its task table into the backup folder.
    void BackupTimerTimer(TObject* Sender);
    // Each tick looks at the push folder and applies the pending change
    // files that are complete, each as one undo step.
    void PushedFilesTimerTimer(TObject* Sender);
    // A file appeared in (or was renamed into) a watched folder.
    void OnFileCreate(const String& FileName);
    void OnFileMove(const String& OldName, const String& NewName);
    // Applies one change file; false when it cannot be read yet (the
    // writer is busy, or it holds no closed data element so far).
    bool LoadDiff(const String& FileName);
    // Change files are not applied on a connected client (they stay
    // pending): the rows they add would reach the server before their cells.
    bool CanLoadChangeFiles() const { return !IsConnectedClient(); }
    // Whether a command is under way: a load, an update bracket, an undo
    // group or block of a command, an undo or redo, or a modal question.
    // Change files wait for its end.
    bool CommandInProgress() const;
    // What Save does with the change files applied since the last save:
    // each is deleted, unless it was rewritten since it was applied.
    void DeleteAppliedPushedFiles();
    // Appends the full path of every non-folder entry of Folder matching
    // Mask ("*" and "?", any case); an empty folder lists nothing.
    static void ListFileDir(const String& Folder, const String& Mask, TStringList& List);
    // The watch and the timer follow the push folder of the current file:
    // running only while this instance holds its lock.
    void UpdatePushWatch();
    // The backup picture of the timechart as JPEG (the views draw it, from
    // the "all positions" tab); nothing here.
    virtual void SaveBackupPicture(const String& FileName) { (void)FileName; }
    // A change file arrived.
    virtual void PushedFileBeep() {}
    TTimer* BackupTimer = nullptr;
    TTimer* PushedFilesTimer = nullptr;
    TSHChangeNotify* FPushWatcher = nullptr;
    // The timers' intervals when they are started.
    Cardinal FBackupInterval = 600000;
    Cardinal FPushedFilesInterval = 1000;
    // Ticks a complete-looking but unusable change file is retried before
    // it is logged and left alone.
    int FPushedFileRetries = 30;
    // What the change-file poll knows of each file (defined with it).
    struct TPushState;
    std::shared_ptr<TPushState> FPushState;

protected:
    friend class TRowTree;
    // The tree is freeing the row's node: forget it everywhere.
    void RowFreed(TNodeData* Row);
    // A table is about to free all its rows: drops them from the overlap
    // lists in one pass, keeping the order of the others.
    void TableClearing(TWhichTable Table);
    // The calendar part of UpdateInternalVariables: the weeks and the day
    // span of the shown rows.
    void UpdateCalendarVariables();

private:
    struct TPositionIndex {
        bool Valid = false;
        UInt64 Version = 0;
        int Count = -1;
        TCommaText List;
        std::unordered_map<String, int> Index;  // item 0 -> first expanded index
    };
    // The expanded list of all positions and an index of its names, kept
    // until the task table's position list changes.
    const TPositionIndex& ExpandedPositions();
    int ExpandedPositionIndex(const String& Text);
    String ExpandedPositionText(int Index);

    bool FFileChanged = false;
    String FStatusText;
    std::unique_ptr<TUndoRedo> FUndoRedo;
    int FActivePageIndex = 0;
    // Header data by the column tag that names it (0 = none yet).
    std::unordered_map<NativeInt, std::unique_ptr<THeaderData>> FHeaderStore;
    NativeInt FNextHeaderTag = 1;
    std::unordered_multimap<int, TNodeData*> FIDIndex;
    // How often each row stands in FOverlappingNodes.
    std::unordered_map<const TNodeData*, int> FOverlapCount;
    std::unique_ptr<TPositionIndex> FPositionCache;
    // Indexes of the calendar walk (defined with it).
    struct TCalendarCache;
    std::shared_ptr<TCalendarCache> FCalendar;
    TCalendarCache& Calendar();
    // The hash index of the merge running now (defined with it).
    struct TMergeIndex;
    std::shared_ptr<TMergeIndex> FMergeIndex;
};
