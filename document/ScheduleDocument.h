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
#include "document/CommaText.h"
#include "document/DocumentTypes.h"
#include "platform/Colors.h"
#include "platform/Forms.h"

class TScheduleDocument;

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

protected:
    void DoFreeNode(TGridNode* Node) override;
    void DoGetText(TGridNode* Node, TColumnIndex Column, TVSTTextType TextType, String& Text) override;
    void DoNewText(TGridNode* Node, TColumnIndex Column, const String& Text) override;

private:
    friend class TScheduleDocument;
    TScheduleDocument* FDocument;
    TWhichTable FTable;
};

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
    void InsertColumn(TWhichTable Table, int Index);
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
    // The row's end. Until the working-time calendar completes it, an end
    // to recompute is the start plus the length in calendar terms
    // (CalcEndOf), written back through SetEndOf.
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
    bool isDateOK(TDateTime X) const { return FMinDate - 7300 < X && X < FMaxDate + 7300; }
    // Working minutes of a length text; computed in 64 bits, so a text too
    // long for the record's 32 bits shows as such (see CB_CheckValid).
    Int64 calcNodeLength(TWhichTable Table, const String& Text) const;

    // ---- positions ----
    // The position list of the current group (or of all positions), with the
    // extra rows of multi-row positions when Expand is set.
    ICommaText Positiongroups(bool ExpandRows, bool AllPositions);
    // Rebuilds the per-position maps from the expanded list and the current
    // group's filter, then schedules the empty-row update.
    virtual void UpdateInternalVariables();
    // FGlobalPositionFilter := the current group's expanded list (and a copy
    // in FNoAutoGlobalPositionFilter), then UpdateInternalVariables.
    void ApplyPositionGroup();
    bool GetNodeIsOverlapping(const TNodeData* Row) const;

    // Sets the colour array to Count entries; entries added get the default
    // colours by their number among the added ones.
    static void FillUpColors(std::vector<TColor>& Colors, int Count);

    bool IsUpdating() const { return FUpdating > 0; }
    // ---- deferred updates (the timers and the procedures come with the update brackets) ----
    virtual void UpdateBounds(bool Deferred);
    virtual void UpdateOverlapping(bool Deferred);
    virtual void UpdateEmptyRows(bool Deferred);
    virtual void UpdateBoundsProc() {}
    virtual void UpdateOverlappingProc() {}
    virtual void UpdateEmptyRowsProc() {}

    // ---- document state ----
    virtual void SetFileChanged(bool Value) { FFileChanged = Value; }
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
    virtual void RecordUndoSetData(TNodeData* Row, int Column) { (void)Row, (void)Column; }
    virtual void RecordUndoAddNode(TNodeData* Row) { (void)Row; }
    virtual void RecordUndoRemoveNode(TNodeData* Row) { (void)Row; }
    // The week patterns of the positions: given by the working-time calendar.
    virtual void CreateDefaultWeekInfo() {}
    // An end to recompute: start + length in whole days (inclusive) in day
    // mode and for absent days, start + length in calendar minutes in
    // minute mode. The calendar replaces it with the working-time end.
    virtual TDateTime CalcEndOf(TNodeData* Row);
    // Whether the row counts as filtered for feFiltered.
    virtual bool IsNodeFiltered(const TNodeData* Row) const { return Row->reference != nullptr; }

    // ---- state ----
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
    TStringList EmptyStringList;
    String FFindString;
    int FUpdating = 0;
    bool fDelayedUpdateOverlapping = false;
    bool fDelayedUpdateEmptyRows = false;
    bool fDelayedUpdateBounds = false;

    // A row count beyond this counts as this many (row counts come from files).
    static constexpr int MaxRowsPerPosition = 1000;

protected:
    friend class TRowTree;
    // The tree is freeing the row's node: forget it everywhere.
    void RowFreed(TNodeData* Row);

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
    int FActivePageIndex = 0;
    // Header data by the column tag that names it (0 = none yet).
    std::unordered_map<NativeInt, std::unique_ptr<THeaderData>> FHeaderStore;
    NativeInt FNextHeaderTag = 1;
    std::unordered_multimap<int, TNodeData*> FIDIndex;
    std::unique_ptr<TPositionIndex> FPositionCache;
};
