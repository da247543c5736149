// The row commands of the tables, the edit commands on the focused control,
// the group tabs and pages, and the colour legends.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Clipbrd.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestData.h"
#include "tests/views/TableTestSupport.h"
#include "views/ColorLegend.h"

namespace {

constexpr TDateTime Day = 46000;
constexpr int Comment = 5;

TNodeData* AddCommented(TScheduleDocument& Doc, const String& Text, const String& Position = "A")
{
    TNodeData* row = AddTask(Doc, Position, Day, 2);
    Doc.DoSetData(row, Comment, Text, cmIgnoreNet);
    return row;
}

void Select(TScheduleDocument& Doc, std::initializer_list<TNodeData*> Rows)
{
    for (TNodeData* row : Rows)
        Doc.GetTable(row->NodeTable)->SetSelected(row->VNode, true);
}

}  // namespace

TEST(TableRows, AddTaskTakesFilteredCellsOfTheFirstVisibleRow)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* hidden = AddCommented(*p, "hidden", "B");
    TNodeData* shown = AddCommented(*p, "shown", "C");
    Select(*p, {shown});
    p->StringTreeGrid1->SetVisible(hidden->VNode, false);
    p->GetHeader(tbTable, Comment)->Filter.FilterType = ftText;
    p->ActionAddNodeExecute();
    const std::vector<TNodeData*> rows = TableRows(*p, tbTable);
    ASSERT_EQ(rows.size(), 3u);
    TNodeData* added = rows.back();
    EXPECT_EQ(p->GetData(added, Comment), "shown");
    // Unfiltered columns stay empty: the row has no position and no dates.
    EXPECT_EQ(p->GetData_(added, cnPosition), "");
    EXPECT_EQ(p->GetData_(added, cnStart), "");
    TStringTreeGrid* tree = p->StringTreeGrid1;
    EXPECT_EQ(tree->SelectedCount(), 1);
    EXPECT_TRUE(tree->Selected(added->VNode));
    EXPECT_EQ(tree->FocusedNode(), added->VNode);
    // One undo step takes the row and its cells away.
    p->UndoRedo().Undo();
    EXPECT_EQ(TableRows(*p, tbTable).size(), 2u);
}

TEST(TableRows, AddTaskOnAConnectedClientSelectsNothing)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* row = AddCommented(*p, "x");
    Select(*p, {row});
    p->Client = true;
    p->ActionAddNodeExecute();
    EXPECT_EQ(TableRows(*p, tbTable).size(), 1u);
    EXPECT_EQ(p->StringTreeGrid1->SelectedCount(), 1);
    EXPECT_TRUE(p->StringTreeGrid1->Selected(row->VNode));
}

TEST(TableRows, DeleteAsksAndUndoesAsOneStep)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* a = AddCommented(*p, "a");
    TNodeData* b = AddCommented(*p, "b");
    TNodeData* c = AddCommented(*p, "c");
    AddCommented(*p, "d");
    p->UndoRedo().Clear();
    p->SetFileChanged(false);
    Select(*p, {a, b, c});
    p->Answer = false;
    p->ActionDeleteNodeExecute();
    ASSERT_EQ(p->Questions, std::vector<String>{"Delete all 3 selected tasks?"});
    EXPECT_EQ(TableRows(*p, tbTable).size(), 4u);
    EXPECT_FALSE(p->GetFileChanged());

    // Typing in a field: the command is not for the rows.
    auto* edit = Create<TEdit>(p.get());
    edit->SetParent(p.get());
    p->SetActiveControl(edit);
    if (p->ActiveControl() == edit) {
        p->Answer = true;
        p->ActionDeleteNodeExecute();
        EXPECT_EQ(p->Questions.size(), 1u);
        EXPECT_EQ(TableRows(*p, tbTable).size(), 4u);
    }
    p->SetActiveControl(nullptr);

    p->Answer = true;
    p->ActionDeleteNodeExecute();
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), std::vector<String>{"d"});
    EXPECT_TRUE(p->FSelectedList[tbTable].Rows().empty());
    p->UndoRedo().Undo();
    std::vector<String> back = ColumnTexts(*p, tbTable, Comment);
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back, (std::vector<String>{"a", "b", "c", "d"}));

    TNodeData* one = TableRows(*p, tbTable)[1];
    const String gone = p->GetData(one, Comment);
    Select(*p, {one});
    p->Questions.clear();
    p->ActionDeleteNodeExecute();
    EXPECT_EQ(p->Questions, std::vector<String>{"Delete selected task?"});
    const std::vector<String> left = ColumnTexts(*p, tbTable, Comment);
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(std::count(left.begin(), left.end(), gone), 0);
}

TEST(TableRows, CopyAndPasteATaskAtTheMenuPoint)
{
    TTablePlannerPtr p = MakeTablePlanner();
    p->ActionCopyNodeExecute();
    EXPECT_FALSE(p->FHasCopyNode);

    TNodeData* model = AddTask(*p, "A", Day, 3);
    p->DoSetData(model, Comment, "copied", cmIgnoreNet);
    p->DoSetData(model, p->GetConnection(tbTable, cnColor), "State 2", cmIgnoreNet);
    Select(*p, {model});
    p->ActionCopyNodeExecute();
    EXPECT_EQ(p->StringTreeGrid1->FocusedNode(), model->VNode);
    EXPECT_TRUE(p->FHasCopyNode);
    EXPECT_TRUE(p->ActionPasteNode->Enabled());

    p->SetTimeChartStart(Day - 10);
    const TDateTime start = p->FTimeChartStart;
    // The menu opened in the second row, in the middle of the fourth day.
    p->FMouse = TPoint{p->GetTimeChartColWidth() * 3 + p->GetTimeChartColWidth() / 2,
        p->GetTimeChartRowHeight() + 1};
    p->ActionPasteNodeExecute();
    const std::vector<TNodeData*> rows = TableRows(*p, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    TNodeData* pasted = rows.back();
    EXPECT_EQ(p->GetData_(pasted, cnPosition), "B");
    EXPECT_EQ(p->GetStartOf(pasted), start + 3);
    EXPECT_EQ(p->GetData(pasted, Comment), "copied");
    EXPECT_EQ(p->GetData_(pasted, cnColor), "State 2");
    EXPECT_EQ(p->GetLengthOf(pasted), 3 * 480);
    EXPECT_EQ(p->StringTreeGrid1->SelectedCount(), 0);
    p->UndoRedo().Undo();
    EXPECT_EQ(TableRows(*p, tbTable).size(), 1u);

    // A client would make the server add a row without the copied cells.
    p->Client = true;
    p->ActionPasteNodeExecute();
    EXPECT_EQ(TableRows(*p, tbTable).size(), 1u);
}

TEST(TableRows, EditCommandsGoToTheFocusedControlAndTablesOnlyCopy)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* a = AddCommented(*p, "alpha");
    AddCommented(*p, "beta");
    p->UndoRedo().Clear();
    p->SetFileChanged(false);
    Select(*p, {a});
    TStringTreeGrid* tree = p->StringTreeGrid1;
    p->SetActiveControl(tree);
    ASSERT_EQ(p->ActiveControl(), tree);
    SetClipboardText("before");
    p->ActionCopyExecute();
    const String copied = GetClipboardText();
    EXPECT_NE(copied.find("alpha"), String::npos);
    EXPECT_EQ(copied.find("beta"), String::npos);

    SetClipboardText("before");
    p->ActionCutExecute();
    EXPECT_NE(GetClipboardText().find("alpha"), String::npos);
    p->ActionPasteExecute();
    p->ActionPasteExecute();
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), (std::vector<String>{"alpha", "beta"}));
    EXPECT_FALSE(p->UndoRedo().GetCanUndo());
    EXPECT_FALSE(p->GetFileChanged());

    // An edit field gets the same messages.
    auto* edit = Create<TEdit>(p.get());
    edit->SetParent(p.get());
    edit->SetText("field");
    p->SetActiveControl(edit);
    if (p->ActiveControl() == edit) {
        edit->SelectAll();
        p->ActionCopyExecute();
        EXPECT_EQ(GetClipboardText(), "field");
    }
    p->SetActiveControl(nullptr);
}

TEST(TablePanel, PagesAndGroupTabsFollowTheDocument)
{
    TTablePlannerPtr p = MakeTablePlanner();
    EXPECT_EQ(p->TabSheet1->Caption(), "Tasks");
    EXPECT_EQ(p->TabSheet2->Caption(), "Absent days");
    EXPECT_EQ(p->StringTreeGrid1->Parent(), p->TabSheet1);
    EXPECT_EQ(p->StringTreeGrid2->Parent(), p->TabSheet2);
    p->SetActiveTable(tbExclude);
    EXPECT_EQ(p->PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(p->GetActiveTable(), tbExclude);
    p->SetActiveTable(tbTable);
    EXPECT_EQ(p->GetActiveTable(), tbTable);

    p->FPositionGroup.Add("A");
    while (p->FPositionGroupNames.Count() < 1)
        p->FPositionGroupNames.Add("");
    p->FPositionGroupNames.Add("Group A");
    p->FFilters.push_back(TFilter{ftText, fsText, "x*", "", tbTable, "Group A", "Position"});
    p->FFilters.push_back(TFilter{ftText, fsEmpty, "", "", tbExclude, "General View", "Comment"});
    p->GetHeader(tbTable, Comment)->Filter.FilterType = ftNumber;
    p->GroupTabChange();
    ASSERT_EQ(p->TabControl1->Tabs()->Count(), 2);
    EXPECT_EQ(p->TabControl1->Tabs()->Get(0), "General View");
    EXPECT_EQ(p->TabControl1->Tabs()->Get(1), "Group A");
    EXPECT_EQ(p->GetHeader(tbTable, Comment)->Filter.FilterType, ftNone);
    EXPECT_EQ(p->GetHeader(tbExclude, 6)->Filter.FilterType, ftText);
    EXPECT_EQ(p->GetHeader(tbTable, 0)->Filter.FilterType, ftNone);

    p->TabControl1->SetTabIndex(1);
    p->GroupTab = 1;
    p->TabControl1Change();
    const TFilterParams& position = p->GetHeader(tbTable, 0)->Filter;
    EXPECT_EQ(position.FilterType, ftText);
    EXPECT_EQ(position.Text1, "x*");
    EXPECT_EQ(p->GetHeader(tbExclude, 6)->Filter.FilterType, ftNone);
    EXPECT_EQ(p->GetRowCount(), 1);
}

TEST(TableRows, OpeningAFileFitsEachColumnToItsCaptionAndRows)
{
    const String path = vektest::TempDir() + "/fit.vek";
    const String longText = "a comment far wider than its column";
    {
        TTablePlannerPtr p = MakeTablePlanner();
        AddCommented(*p, longText);
        ASSERT_TRUE(p->Save(path));
    }
    TTablePlannerPtr p = MakeTablePlanner();
    p->Show();
    p->Open(path);
    ASSERT_EQ(p->GetTableRowCount(tbTable), 1);
    TTGHeader* header = p->StringTreeGrid1->Header();
    TTreeGridColumns* columns = header->Columns();
    EXPECT_GT(columns->Items(Comment)->Width(), MeasureTextWidth(p->StringTreeGrid1->Font(), longText));
    // The absent days table has no rows: its captions decide.
    for (TTreeGridColumns* absent = p->StringTreeGrid2->Header()->Columns(); TTreeGridColumn* c :
         std::vector<TTreeGridColumn*>{absent->Items(0), absent->Items(absent->Count() - 1)})
        EXPECT_GT(c->Width(), MeasureTextWidth(p->StringTreeGrid2->Header()->Font(), c->Text())) << c->Text();
}
