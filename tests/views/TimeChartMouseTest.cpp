// The chart under the mouse, driven through the platform's input path:
// moving, resizing, the rubber band, panning, the context menu, the group
// tab switch while dragging, and one undo step per gesture.
#include "document/UndoRedo.h"
#include "platform/ActnList.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "tests/views/ViewsTestSupport.h"
#include "views/ChartCursors.h"

namespace {

// A Monday well clear of New Year.
const TDateTime D0 = EncodeDate(2024, 1, 8);

class TMousePlanner : public TTestPlanner {
public:
    using TTestPlanner::TTestPlanner;
    // The group tabs are the real tab control's.
    int GetPositionGroupIndex() const override { return TPlannerForm::GetPositionGroupIndex(); }
    std::vector<TNodeData*> Refiltered;
    void RefilterRow(TNodeData* Row) override { Refiltered.push_back(Row); }
    // The new-entry question, scripted: the table to choose (-1: Cancel).
    int Answer = -1;
    std::vector<String> Asked;
    bool ExecuteNewEntryDialog(const String& Begin, const String& End, const String& Position,
        TWhichTable& Table) override
    {
        Asked.push_back(Begin + "|" + End + "|" + Position + "|" + IntToStr(int(Table)));
        if (Answer < 0)
            return false;
        Table = TWhichTable(Answer);
        return true;
    }
    bool Client = false;
    bool IsConnectedClient() const override { return Client; }
    int SentNew = 0;
    void SendNewNodeEvent(TWhichTable, int, int, TDateTime, int) override { ++SentNew; }
};

using TMousePtr = TOwnedDocument<TMousePlanner>;

TMousePtr MousePlanner(int ColWidth = 0)
{
    EnsureApplication();
    TMousePtr p = MakeDocumentOf<TMousePlanner>({"A", "B", "C", "D"});
    p->SetFileChanged(false);
    p->HandleNeeded();
    p->SizeChart(800, 400);
    if (ColWidth > 0)
        p->SetTimeChartColWidth(ColWidth);
    p->SetTimeChartBounds(D0 - 60, D0 + 365);
    p->SetTimeChartStart(D0);
    p->TimeChartStartDestination = D0;
    p->SetTimeChartTop(0);
    p->TimeChartTopDestination = 0;
    return p;
}

int Col(TTestPlanner& P) { return P.GetTimeChartColWidth(); }
int RowH(TTestPlanner& P) { return P.TimeChartRowHeight(0); }

TRect Bar(TTestPlanner& P, TNodeData* Row)
{
    return P.ItemRect(Row, P.FTimeChartTop, false, P.TimeChart->Width(), RowH(P), P.GetTimeChartEnd(),
        P.FTimeChartStart);
}

TPoint Mid(TTestPlanner& P, TNodeData* Row)
{
    const TRect r = Bar(P, Row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// The middle of a day's column in a shown row.
TPoint At(TTestPlanner& P, double Days, int Row) { return {int(Days * Col(P)) + Col(P) / 2, Row * RowH(P) + RowH(P) / 2}; }

TPoint Offset(TPoint P, int DX, int DY) { return {P.X + DX, P.Y + DY}; }

void Press(TTestPlanner& P, TPoint From, TMouseButton Button = mbLeft, TShiftState Shift = {})
{
    NextClick();
    MouseMove(P.TimeChart, From, Shift);
    MouseDown(P.TimeChart, From, Button, Shift);
}

void Drag(TTestPlanner& P, TPoint From, TPoint To, int Steps = 4, TMouseButton Button = mbLeft, TShiftState Shift = {})
{
    Press(P, From, Button, Shift);
    for (int i = 1; i <= Steps; ++i)
        MouseMove(P.TimeChart, {From.X + (To.X - From.X) * i / Steps, From.Y + (To.Y - From.Y) * i / Steps}, Shift);
    MouseUp(P.TimeChart, To, Button, Shift);
}

void ClickAt(TTestPlanner& P, TPoint At, TShiftState Shift = {})
{
    Press(P, At, mbLeft, Shift);
    MouseUp(P.TimeChart, At, mbLeft, Shift);
}

String PositionOf(TTestPlanner& P, TNodeData* Row) { return P.GetData_(Row, cnPosition); }
bool IsSelected(TNodeData* Row) { return Row->VNodeTable->Selected(Row->VNode); }

}  // namespace

TEST(ChartMouse, MovesBarsByDatesAndRows)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 3);
    TNodeData* t2 = AddTask(*p, "B", D0 + 8, 2);
    const int c = Col(*p), h = RowH(*p);

    Drag(*p, Mid(*p, t1), Offset(Mid(*p, t1), 2 * c, h));
    EXPECT_EQ(PositionOf(*p, t1), "B");
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 4);
    EXPECT_EQ(p->FTimeChartMouseState, msNone);
    EXPECT_EQ(p->Refiltered, std::vector<TNodeData*>{t1}) << "the moved row is filtered again on release";

    // A group: t1 selected, t2 added with Ctrl.
    ClickAt(*p, Mid(*p, t2), TShiftState{ssCtrl});
    ASSERT_TRUE(IsSelected(t1) && IsSelected(t2));
    Drag(*p, Mid(*p, t2), Offset(Mid(*p, t2), -c, 2 * h));
    EXPECT_EQ(PositionOf(*p, t1), "D");
    EXPECT_EQ(PositionOf(*p, t2), "D");
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 3);
    EXPECT_DOUBLE_EQ(p->GetStartOf(t2), D0 + 7);

    // t1 on D cannot go lower: nobody changes rows, both change dates.
    p->SetPositionOf(t2, 1);
    Drag(*p, Mid(*p, t2), Offset(Mid(*p, t2), c, h));
    EXPECT_EQ(PositionOf(*p, t1), "D");
    EXPECT_EQ(PositionOf(*p, t2), "B");
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 4);
    EXPECT_DOUBLE_EQ(p->GetStartOf(t2), D0 + 8);
}

TEST(ChartMouse, DenyMoveIntoThePastKeepsDatesAndMovesRows)
{
    TPinnedClock clock(D0 + 3.5);
    TMousePtr p = MousePlanner();
    p->FDenyMoveBeforeNow = true;
    // Starting today: any step left is a step into the past.
    TNodeData* t1 = AddTask(*p, "A", D0 + 3, 2);
    const int c = Col(*p), h = RowH(*p);
    Drag(*p, Mid(*p, t1), Offset(Mid(*p, t1), -2 * c, h));
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 3);
    EXPECT_EQ(PositionOf(*p, t1), "B");
    Drag(*p, Mid(*p, t1), Offset(Mid(*p, t1), 2 * c, 0));
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 5);
}

TEST(ChartMouse, MovedStartsStayInsideTheWorkingDay)
{
    TPinnedClock clock(D0 - 20);
    // 48 px a day: 1 px is half an hour.
    TMousePtr p = MousePlanner(48);
    p->SetMinUnit(muMinute);
    TNodeData* early = AddTask(*p, "A", D0 + 1 + 8.0 / 24, 1);
    p->SetLengthOf(early, 240);
    Drag(*p, Mid(*p, early), Offset(Mid(*p, early), -6, 0));
    EXPECT_NEAR(p->GetStartOf(early), D0 + 1 + 7.0 / 24, 1e-6) << "05:00 on a day starting at 07:00";

    TNodeData* late = AddTask(*p, "C", D0 + 2 + 14.0 / 24, 1);
    p->SetLengthOf(late, 240);
    Drag(*p, Mid(*p, late), Offset(Mid(*p, late), 6, 0));
    EXPECT_NEAR(p->GetStartOf(late), D0 + 2 + 15.75 / 24, 1e-6) << "17:00 on a day ending at 15:45";
}

TEST(ChartMouse, BarsForAllPositionsKeepTheirRowAndMoveNoOther)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* all = AddTask(*p, "*", D0 + 10, 2);
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 2);
    ASSERT_EQ(p->GetPositionOf(all), AllPositions);
    const int c = Col(*p), h = RowH(*p);
    ClickAt(*p, Mid(*p, t1));
    const TPoint onAll = At(*p, 10.5, 2);
    ClickAt(*p, onAll, TShiftState{ssCtrl});
    ASSERT_TRUE(IsSelected(all) && IsSelected(t1));

    // Grabbed in row C, let go in row D: no row changes, both move a day.
    Drag(*p, onAll, Offset(onAll, c, h));
    EXPECT_EQ(p->GetPositionOf(all), AllPositions);
    EXPECT_EQ(PositionOf(*p, t1), "A");
    EXPECT_DOUBLE_EQ(p->GetStartOf(all), D0 + 11);
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 3);

    // Grabbing t1 moves it a row down; the bar for all positions stays.
    Drag(*p, Mid(*p, t1), Offset(Mid(*p, t1), 0, 2 * h));
    EXPECT_EQ(PositionOf(*p, t1), "C");
    EXPECT_EQ(p->GetPositionOf(all), AllPositions);
}

TEST(ChartMouse, ResizesEitherEndInDayUnit)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    // Tuesday to Thursday.
    TNodeData* t1 = AddTask(*p, "B", D0 + 8, 3);
    const int c = Col(*p);
    ASSERT_GE(p->ResizeGrabWidth(), 1);
    TRect bar = Bar(*p, t1);
    const TPoint left{bar.Left, (bar.Top + bar.Bottom) / 2};
    MouseMove(p->TimeChart, left);
    EXPECT_EQ(p->TimeChart->Cursor(), crSizeWE);

    // The left end one day to the left: a day earlier, the same last day.
    Drag(*p, left, Offset(left, -c, 0));
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 7);
    EXPECT_DOUBLE_EQ(std::floor(p->GetEndOf(t1)), D0 + 10);
    EXPECT_EQ(PositionOf(*p, t1), "B");
    EXPECT_EQ(p->GetLengthOf(t1), 4 * 480);

    bar = Bar(*p, t1);
    const TPoint right{bar.Right - 1, (bar.Top + bar.Bottom) / 2};
    Drag(*p, right, Offset(right, c, 0));
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), D0 + 7);
    EXPECT_DOUBLE_EQ(std::floor(p->GetEndOf(t1)), D0 + 11);
    EXPECT_EQ(p->GetLengthOf(t1), 5 * 480);
}

TEST(ChartMouse, ResizesEitherEndInMinuteUnit)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner(48);
    p->SetMinUnit(muMinute);
    TNodeData* t1 = AddTask(*p, "A", D0 + 1 + 9.0 / 24, 1);
    p->SetLengthOf(t1, 120);
    const int row = 0;
    TRect bar = Bar(*p, t1);
    const TPoint right{bar.Right - 1, (bar.Top + bar.Bottom) / 2};
    const TPoint to = Offset(right, 10, 0);
    const TDateTime start = p->GetStartOf(t1);
    Drag(*p, right, to);
    const TDateTime end = p->GetExactDate(to.X, row);
    EXPECT_NEAR(p->GetStartOf(t1), start, 15.0 / MinsPerDay) << "the left edge stays (to the pixel)";
    EXPECT_EQ(p->GetLengthOf(t1), p->calcLengthOf(tbTable, row, p->GetStartOf(t1), end));
    EXPECT_GT(p->GetLengthOf(t1), 120);

    bar = Bar(*p, t1);
    const TPoint left{bar.Left, (bar.Top + bar.Bottom) / 2};
    const TDateTime endBefore = p->GetEndOf(t1);
    Drag(*p, left, Offset(left, -5, 0));
    EXPECT_DOUBLE_EQ(p->GetStartOf(t1), p->GetExactDate(left.X - 5, row));
    EXPECT_NEAR(p->GetEndOf(t1), endBefore, 15.0 / MinsPerDay);
}

TEST(ChartMouse, CtrlClickOnTheEndOfASelectedBarOnlyUnselectsIt)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 3);
    TNodeData* t2 = AddTask(*p, "C", D0 + 2, 3);
    ClickAt(*p, Mid(*p, t1));
    ClickAt(*p, Mid(*p, t2), TShiftState{ssCtrl});
    ASSERT_TRUE(IsSelected(t1) && IsSelected(t2));
    const TRect bar = Bar(*p, t1);
    const TPoint end{bar.Right - 1, (bar.Top + bar.Bottom) / 2};
    Press(*p, end, mbLeft, TShiftState{ssCtrl});
    EXPECT_EQ(p->FTimeChartMouseState, msNone);
    MouseMove(p->TimeChart, Offset(end, 3 * Col(*p), 0), TShiftState{ssCtrl});
    MouseUp(p->TimeChart, Offset(end, 3 * Col(*p), 0), mbLeft, TShiftState{ssCtrl});
    EXPECT_FALSE(IsSelected(t1));
    EXPECT_TRUE(IsSelected(t2));
    for (TNodeData* row : {t1, t2}) {
        EXPECT_DOUBLE_EQ(p->GetStartOf(row), D0 + 2);
        EXPECT_DOUBLE_EQ(std::floor(p->GetEndOf(row)), D0 + 4);
    }
}

TEST(ChartMouse, RubberBandSelectsExactlyTheActiveTablesBarsItMeets)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 2);
    TNodeData* t2 = AddTask(*p, "B", D0 + 12, 2);
    TNodeData* t3 = AddTask(*p, "C", D0 + 3, 2);
    TNodeData* t4 = AddTask(*p, "D", D0 + 3, 2);
    TNodeData* absent = AddAbsentDay(*p, "B", D0 + 3, 1);
    p->SetActiveTable(tbTable);
    ClickAt(*p, Mid(*p, t2));
    ASSERT_TRUE(IsSelected(t2));
    const int c = Col(*p), h = RowH(*p);
    // From day 1 of row A to day 5 of row C, first too far and back.
    const TPoint from{c + 1, 2};
    Press(*p, from, mbLeft, TShiftState{ssShift});
    EXPECT_EQ(p->FTimeChartMouseState, msSelectItem);
    MouseMove(p->TimeChart, {5 * c, 3 * h + h / 2}, TShiftState{ssShift});
    EXPECT_TRUE(IsSelected(t4));
    MouseMove(p->TimeChart, {5 * c, 2 * h + h / 2}, TShiftState{ssShift});
    EXPECT_EQ(p->FChartFrame, TRect(from.X, from.Y, 5 * c, 2 * h + h / 2));
    MouseUp(p->TimeChart, {5 * c, 2 * h + h / 2}, mbLeft, TShiftState{ssShift});
    EXPECT_TRUE(IsSelected(t1));
    EXPECT_TRUE(IsSelected(t3));
    EXPECT_FALSE(IsSelected(t2));
    EXPECT_FALSE(IsSelected(t4)) << "left behind as the band shrank";
    EXPECT_FALSE(IsSelected(absent));
    EXPECT_EQ(p->FTimeChartMouseState, msNone);
    EXPECT_EQ(p->FChartFrame, TRect());
}

TEST(ChartMouse, RightButtonPansOrOpensTheContextMenu)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 3);
    int popups = 0;
    std::function<void(TPopupMenu*)> answer;
    SetPopupMenuHook([&](TPopupMenu* Menu) {
        ++popups;
        if (answer)
            answer(Menu);
    });

    // 3 px: the chart pans, a pixel a day; no menu.
    const TPoint empty = At(*p, 20, 1);
    const TDateTime before = p->TimeChartStartDestination;
    Drag(*p, empty, Offset(empty, 3, 0), 3, mbRight);
    EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, before + 3);
    EXPECT_EQ(popups, 0);
    EXPECT_EQ(p->FTimeChartMouseState, msNone);
    p->SliderTimer->SetEnabled(false);
    p->SetTimeChartStart(D0);
    p->TimeChartStartDestination = D0;

    // 2 px over the bar: the menu, Split and copy on, nothing to paste yet.
    bool split = false, copy = false, paste = true;
    answer = [&](TPopupMenu*) {
        split = p->ActionSplit->Enabled();
        copy = p->ActionCopyNode->Enabled();
        paste = p->ActionPasteNode->Enabled();
        p->ActionCopyNode->Execute();
    };
    Drag(*p, Mid(*p, t1), Offset(Mid(*p, t1), 2, 0), 2, mbRight);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(split && copy);
    EXPECT_FALSE(paste);
    EXPECT_TRUE(IsSelected(t1)) << "the bar under the menu becomes the selected one";
    EXPECT_EQ(p->FTimeChartMouseState, msPoppedUp);

    // On an empty day of row C: only paste; it adds the copy there.
    const int free = p->GetConnection(tbTable, cnTextCenterMiddle);
    ASSERT_GE(free, 0);
    p->SetData(t1, free, "Order 7");
    p->ActionCopyNode->Execute();
    const TPoint there = At(*p, 12, 2);
    answer = [&](TPopupMenu*) {
        split = p->ActionSplit->Enabled();
        copy = p->ActionCopyNode->Enabled();
        paste = p->ActionPasteNode->Enabled();
        p->ActionPasteNode->Execute();
    };
    ClickAt(*p, there);
    Press(*p, there, mbRight);
    MouseUp(p->TimeChart, there, mbRight);
    EXPECT_FALSE(split || copy);
    EXPECT_TRUE(paste);
    ASSERT_EQ(p->GetTableRowCount(tbTable), 2);
    TNodeData* pasted = TableRows(*p, tbTable).back();
    ASSERT_NE(pasted, t1);
    EXPECT_EQ(p->GetData(pasted, free), "Order 7");
    EXPECT_EQ(PositionOf(*p, pasted), "C");
    EXPECT_DOUBLE_EQ(p->GetStartOf(pasted), D0 + 12);
    EXPECT_EQ(p->GetLengthOf(pasted), p->GetLengthOf(t1));
    // The next press starts afresh.
    ClickAt(*p, At(*p, 30, 3));
    EXPECT_EQ(p->FTimeChartMouseState, msNone);
    SetPopupMenuHook(nullptr);
}

TEST(ChartMouse, DraggingOverAGroupTabSwitchesItAfterNineTicks)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    p->FPositionGroup.Clear();
    p->FPositionGroup.Add("");
    p->FPositionGroup.Add("C,D");
    p->FPositionGroupNames.Clear();
    p->FPositionGroupNames.Add("");
    p->FPositionGroupNames.Add("Team");
    p->UpdatePositionGroupTabs();
    ASSERT_EQ(p->TabControl1->Tabs()->Count(), 2);
    // Where the pointer stands over each tab, in the chart's coordinates
    // (the chart holds the mouse while dragging).
    auto overTab = [&](int Index) {
        const TRect r = p->TabControl1->TabRect(Index);
        return p->TimeChart->ScreenToClient(
            p->TabControl1->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
    };
    TNodeData* t1 = AddTask(*p, "A", D0 + 2, 3);
    TNodeData* t2 = AddTask(*p, "B", D0 + 6, 1);
    ClickAt(*p, Mid(*p, t1));
    ClickAt(*p, Mid(*p, t2), TShiftState{ssCtrl});
    Press(*p, Mid(*p, t1));
    ASSERT_EQ(p->FTimeChartMouseState, msMoveItem);
    // Over the current tab: nothing starts.
    MouseMove(p->TimeChart, overTab(0));
    EXPECT_FALSE(p->TimeChartChangeGroupTimer->Enabled());
    EXPECT_EQ(Screen->Cursor(), crHandClosed);
    MouseMove(p->TimeChart, overTab(1));
    ASSERT_TRUE(p->TimeChartChangeGroupTimer->Enabled());
    EXPECT_EQ(p->TimeChartChangeGroupTimer->Interval(), 60u);
    std::vector<TCursor> cursors;
    for (int tick = 0; tick < 9 && p->TimeChartChangeGroupTimer->Enabled(); ++tick) {
        p->TimeChartChangeGroupTimerTimer(nullptr);
        cursors.push_back(Screen->Cursor());
    }
    EXPECT_EQ(cursors, (std::vector<TCursor>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(p->TimeChartChangeGroupTimer->Enabled());
    EXPECT_EQ(p->TabControl1->TabIndex(), 1);
    for (TNodeData* row : {t1, t2}) {
        EXPECT_EQ(PositionOf(*p, row), "C");
        EXPECT_EQ(p->GetPositionOf(row), 0);
        EXPECT_TRUE(IsSelected(row));
    }
    MouseUp(p->TimeChart, Mid(*p, t1));
    EXPECT_EQ(Screen->Cursor(), crDefault);

    // The pointer left the tabs before the ninth tick: nothing changes.
    Press(*p, Mid(*p, t1));
    MouseMove(p->TimeChart, overTab(0));
    ASSERT_TRUE(p->TimeChartChangeGroupTimer->Enabled());
    MouseMove(p->TimeChart, Mid(*p, t1));
    for (int tick = 0; tick < 9; ++tick)
        p->TimeChartChangeGroupTimerTimer(nullptr);
    EXPECT_EQ(p->TabControl1->TabIndex(), 1);
    EXPECT_EQ(p->GetPositionOf(t1), 0);
    MouseUp(p->TimeChart, Mid(*p, t1));

    // With the tables hidden no tab is under the pointer.
    p->Panel1->SetVisible(false);
    EXPECT_EQ(p->PositionGroupTabAt(p->TabControl1->ClientToScreen(TPoint{
                  p->TabControl1->TabRect(0).Left + 2, p->TabControl1->TabRect(0).Top + 2})),
        -1);
}

TEST(ChartMouse, OneDragOfFiveBarsIsOneUndoStep)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    std::vector<TNodeData*> rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(AddTask(*p, i % 2 ? "B" : "A", D0 + 2 + 5 * i, 2));
    p->UndoRedo().Clear();
    ClickAt(*p, Mid(*p, rows[0]));
    for (int i = 1; i < 5; ++i)
        ClickAt(*p, Mid(*p, rows[std::size_t(i)]), TShiftState{ssCtrl});
    const TPoint from = Mid(*p, rows[0]);
    Drag(*p, from, Offset(from, 20 * Col(*p), RowH(*p)), 20);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(p->GetStartOf(rows[std::size_t(i)]), D0 + 22 + 5 * i);
        EXPECT_EQ(PositionOf(*p, rows[std::size_t(i)]), i % 2 ? "C" : "B");
    }
    p->UndoRedo().Undo();
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(p->GetStartOf(rows[std::size_t(i)]), D0 + 2 + 5 * i);
        EXPECT_EQ(PositionOf(*p, rows[std::size_t(i)]), i % 2 ? "B" : "A");
    }
    p->UndoRedo().Redo();
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(p->GetStartOf(rows[std::size_t(i)]), D0 + 22 + 5 * i);
}

TEST(ChartMouse, HoverGrabsTheTopBarAndNamesFilteredOnes)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* under = AddTask(*p, "A", D0 + 2, 4);
    TNodeData* over = AddTask(*p, "A", D0 + 3, 1);
    TNodeData* absent = AddAbsentDay(*p, "B", D0 + 2, 2);
    p->SetActiveTable(tbTable);
    MouseMove(p->TimeChart, At(*p, 3, 0));
    EXPECT_EQ(p->FGrabbedNode, over) << "the later row is drawn over the earlier";
    EXPECT_EQ(p->TimeChart->Cursor(), crHandOpen);
    MouseMove(p->TimeChart, At(*p, 2.5, 1));
    EXPECT_EQ(p->FGrabbedNode, absent);
    EXPECT_EQ(p->TimeChart->Cursor(), crHandSwitch);
    MouseMove(p->TimeChart, At(*p, 30, 1));
    EXPECT_EQ(p->FGrabbedNode, nullptr);
    EXPECT_EQ(p->TimeChart->Cursor(), crDefault);

    // A filtered bar: nothing grabbed, the hint says why.
    auto filter = [&](TNodeData* Row, bool Filtered) { Row->VNodeTable->SetVisible(Row->VNode, !Filtered); };
    filter(over, true);
    ASSERT_TRUE(p->IsNodeFiltered(over));
    MouseMove(p->TimeChart, At(*p, 3, 0));
    EXPECT_EQ(p->FGrabbedNode, under);
    filter(under, true);
    MouseMove(p->TimeChart, At(*p, 3, 0));
    EXPECT_EQ(p->FGrabbedNode, nullptr);
    EXPECT_EQ(p->TimeChart->Hint(), "filtered tasks cannot be modified");
    EXPECT_TRUE(p->TimeChart->ShowHint());
    MouseMove(p->TimeChart, At(*p, 30, 1));
    EXPECT_EQ(p->TimeChart->Hint(), "");
    filter(under, false);
    filter(over, false);
}

TEST(ChartMouse, DrawsANewRowTheSameEitherWay)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    TNodeData* old = AddTask(*p, "A", D0 + 20, 1);
    ClickAt(*p, Mid(*p, old));
    ASSERT_TRUE(IsSelected(old));

    // Wednesday to Friday in row B, drawn left to right.
    p->Answer = tbTable;
    Drag(*p, At(*p, 2, 1), At(*p, 4, 1));
    ASSERT_EQ(p->Asked, std::vector<String>{"10.01.2024|12.01.2024|B|0"});
    ASSERT_EQ(p->GetTableRowCount(tbTable), 2);
    TNodeData* drawn = TableRows(*p, tbTable).back();
    EXPECT_EQ(PositionOf(*p, drawn), "B");
    EXPECT_DOUBLE_EQ(p->GetStartOf(drawn), D0 + 2);
    EXPECT_DOUBLE_EQ(std::floor(p->GetEndOf(drawn)), D0 + 4);
    EXPECT_EQ(p->GetLengthOf(drawn), 3 * 480);
    EXPECT_TRUE(IsSelected(drawn));
    EXPECT_FALSE(IsSelected(old)) << "the new row is the only one selected";
    EXPECT_EQ(p->StringTreeGrid1->FocusedNode(), drawn->VNode);
    EXPECT_EQ(p->FChartFrame, TRect());

    // Right to left in row C: the same days.
    Drag(*p, At(*p, 4, 2), At(*p, 2, 2));
    TNodeData* back = TableRows(*p, tbTable).back();
    EXPECT_EQ(PositionOf(*p, back), "C");
    EXPECT_DOUBLE_EQ(p->GetStartOf(back), D0 + 2);
    EXPECT_DOUBLE_EQ(std::floor(p->GetEndOf(back)), D0 + 4);
    EXPECT_EQ(p->GetLengthOf(back), 3 * 480);

    // Chosen as an absent day.
    p->Answer = tbExclude;
    Drag(*p, At(*p, 7, 3), At(*p, 8, 3));
    ASSERT_EQ(p->GetTableRowCount(tbExclude), 1);
    EXPECT_EQ(p->GetActiveTable(), tbExclude);
    EXPECT_DOUBLE_EQ(p->GetStartOf(TableRows(*p, tbExclude).back()), D0 + 7);

    // Cancel adds nothing, and the undo list has no step for it.
    p->SetActiveTable(tbTable);
    p->Answer = -1;
    const std::size_t steps = p->UndoRedo().UndoList().size();
    Drag(*p, At(*p, 10, 0), At(*p, 12, 0));
    EXPECT_EQ(p->GetTableRowCount(tbTable), 3);
    EXPECT_EQ(p->UndoRedo().UndoList().size(), steps);
}

TEST(ChartMouse, DrawsTheSameInMinuteUnitEitherWay)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner(48);
    p->SetMinUnit(muMinute);
    p->Answer = tbTable;
    const TPoint a = At(*p, 2.2, 1), b = At(*p, 3.6, 1);
    Drag(*p, a, b);
    Drag(*p, {b.X, b.Y + RowH(*p)}, {a.X, a.Y + RowH(*p)});
    const std::vector<TNodeData*> rows = TableRows(*p, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(PositionOf(*p, rows[0]), "B");
    EXPECT_EQ(PositionOf(*p, rows[1]), "C");
    EXPECT_DOUBLE_EQ(p->GetStartOf(rows[0]), p->GetExactDate(a.X, 1));
    EXPECT_DOUBLE_EQ(p->GetStartOf(rows[1]), p->GetStartOf(rows[0]));
    EXPECT_EQ(p->GetLengthOf(rows[0]), p->calcLengthOf(tbTable, 1, p->GetExactDate(a.X, 1), p->GetExactDate(b.X, 1)));
    EXPECT_EQ(p->GetLengthOf(rows[1]), p->GetLengthOf(rows[0]));
    EXPECT_DOUBLE_EQ(p->GetEndOf(rows[1]), p->GetEndOf(rows[0]));
}

TEST(ChartMouse, DrawingOnAClientLeavesTheRowToTheServersEcho)
{
    TPinnedClock clock(D0 - 20);
    TMousePtr p = MousePlanner();
    p->Client = true;
    p->Answer = tbTable;
    Drag(*p, At(*p, 2, 1), At(*p, 4, 1));
    EXPECT_EQ(p->SentNew, 1);
    EXPECT_EQ(p->GetTableRowCount(tbTable), 0);
    EXPECT_EQ(p->StringTreeGrid1->SelectedCount(), 0);
    TNodeData* echo = p->AddNode(5, tbTable, 1, 3 * 480, D0 + 2, cmFromServer);
    ASSERT_NE(echo, nullptr);
    EXPECT_EQ(PositionOf(*p, echo), "B");
    EXPECT_FALSE(IsSelected(echo));
}
