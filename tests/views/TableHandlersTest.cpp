// The tables' handlers on real trees: texts, cell painting, header clicks,
// sorting by one and several columns, and the selection list.
#include <gtest/gtest.h>

#include "platform/Menus.h"
#include "tests/views/TableTestSupport.h"

namespace {

constexpr TDateTime Day = 46000;

// The comment column of the task table.
constexpr int Comment = 5;

TNodeData* AddCommented(TScheduleDocument& Doc, const String& Text, int Days = 1)
{
    TNodeData* row = AddTask(Doc, "A", Day, Days);
    Doc.DoSetData(row, Comment, Text, cmIgnoreNet);
    return row;
}

void Select(TScheduleDocument& Doc, std::initializer_list<TNodeData*> Rows)
{
    for (TNodeData* row : Rows)
        Doc.GetTable(row->NodeTable)->SetSelected(row->VNode, true);
}

}  // namespace

TEST(TableTexts, CheckBoxCellsShowYesOnlyForJa)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* row = AddAbsentDay(*p, "A", Day, 2);
    const int check = p->GetConnection(tbExclude, cnLengthWithWeekend);
    ASSERT_EQ(p->GetColumnType(tbExclude, check), TColumnType::ctCheckBox);
    TStringTreeGrid* tree = p->StringTreeGrid2;
    for (auto [cell, shown] : {std::pair<String, String>{"Ja", "ja"}, {"Nein", "nein"}, {"", "nein"}, {"ja", "nein"},
             {"Jaa", "nein"}}) {
        row->StringList->Put(check, cell);
        EXPECT_EQ(tree->Text(row->VNode, check), shown) << "cell \"" << cell << "\"";
    }
    const int comment = p->GetConnection(tbExclude, cnTextCenterMiddle);
    p->DoSetData(row, comment, "Ja", cmIgnoreNet);
    EXPECT_EQ(tree->Text(row->VNode, comment), "Ja");
    EXPECT_EQ(tree->Text(row->VNode, -1), "");
}

TEST(TablePaint, FontFollowsOverlapValidityAndSelection)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* plain = AddCommented(*p, "plain");
    TNodeData* invalid = AddCommented(*p, "invalid");
    p->DoSetData(invalid, p->GetConnection(tbTable, cnLength), "0", cmIgnoreNet);
    TNodeData* lone = AddTask(*p, "C", Day + 40, 1);
    TNodeData* first = AddTask(*p, "B", Day, 3);
    AddTask(*p, "B", Day + 1, 3);
    p->UpdateOverlappingProc();
    ASSERT_TRUE(p->GetNodeIsOverlapping(first));
    ASSERT_FALSE(p->GetNodeIsOverlapping(lone));
    Select(*p, {lone});

    TBitmap bitmap(10, 10);
    auto paint = [&](TNodeData* Row) {
        TFont* font = bitmap.Canvas()->Font();
        font->SetColor(clBlack);
        font->SetStyle(TFontStyles{});
        p->StringTreeGridPaintText(p->StringTreeGrid1, bitmap.Canvas(), Row->VNode);
        return std::pair{font->Color(), font->Style()};
    };
    auto [plainColor, plainStyle] = paint(plain);
    EXPECT_EQ(plainColor, clBlack);
    EXPECT_TRUE(plainStyle.Empty());
    auto [invalidColor, invalidStyle] = paint(invalid);
    EXPECT_EQ(invalidColor, clBlack);
    EXPECT_EQ(invalidStyle, TFontStyles{fsItalic});
    EXPECT_EQ(paint(first).first, clRed);
    auto [loneColor, loneStyle] = paint(lone);
    EXPECT_EQ(loneColor, clBlack);
    EXPECT_EQ(loneStyle, TFontStyles{fsBold});
}

TEST(TablePaint, RoleColumnsAreFilledAndInvalidRowsUnderlined)
{
    TTablePlannerPtr p = MakeTablePlanner();
    // A due-date column, whose cells stay white.
    p->SetTableColCount(tbTable, 7);
    p->SetConnection(tbTable, cnTermin, 6);
    TNodeData* valid = AddCommented(*p, "");
    TNodeData* invalid = AddCommented(*p, "");
    p->DoSetData(invalid, p->GetConnection(tbTable, cnLength), "0", cmIgnoreNet);
    TStringTreeGrid* tree = p->StringTreeGrid1;
    tree->Header()->Columns()->Items(6)->SetWidth(60);
    TBitmap bitmap(420, 60);
    tree->PaintTree(bitmap.Canvas(), TRect{0, 0, 420, 60}, {0, 0}, WindowPaintOptions);

    const TRGB role{0xCC, 0xE4, 0xF0};
    for (int column = 0; column < 7; ++column) {
        const TRect cell = tree->GetDisplayRect(valid->VNode, column, false);
        // Right of any text, clear of the grid lines.
        const TRGB inside = PixelOf(bitmap.Canvas(), cell.Right - 4, cell.Top + 2);
        if (column < 5)
            EXPECT_EQ(inside, role) << "column " << column;
        else
            EXPECT_NE(inside, role) << "column " << column;
    }
    auto redIn = [&](TNodeData* Row, int Column) {
        const TRect cell = tree->GetDisplayRect(Row->VNode, Column, false);
        int columnsWithRed = 0;
        for (int x = cell.Left + 1; x < cell.Right - 1; ++x) {
            int red = 0;
            for (int y = cell.Bottom - 4; y <= cell.Bottom - 1; ++y)
                red += PixelOf(bitmap.Canvas(), x, y) == TRGB{255, 0, 0};
            columnsWithRed += red == 1;
        }
        return columnsWithRed;
    };
    // One red pixel in every pixel column, along the cell's bottom.
    const TRect cell = tree->GetDisplayRect(invalid->VNode, Comment, false);
    EXPECT_EQ(redIn(invalid, Comment), cell.Right - cell.Left - 2);
    EXPECT_EQ(redIn(invalid, 1), cell.Right - cell.Left - 2);
    EXPECT_EQ(redIn(valid, Comment), 0);
}

TEST(TableHeader, ClicksSetFilterSortOrOpenTheMenu)
{
    TTablePlannerPtr p = MakeTablePlanner();
    AddCommented(*p, "b");
    AddCommented(*p, "a");
    p->Show();
    TStringTreeGrid* tree = p->StringTreeGrid1;
    ASSERT_EQ(tree->Header()->Height(), 17);
    // Clicks go through the tree's own input: a row inside the header
    // (above the client area) at x from the column's left.
    const int left = tree->Header()->Columns()->Items(Comment)->GetLeft();
    auto clickHeader = [&](int X, TMouseButton Button = mbLeft) {
        NextClick();
        Click(tree, {X, -8}, Button);
    };
    clickHeader(left + 17);
    EXPECT_EQ(p->FilterOpened, 1);
    EXPECT_EQ(p->FActiveColumn, Comment);
    EXPECT_TRUE(p->FSortList.empty());

    clickHeader(left + 18);
    EXPECT_EQ(p->FilterOpened, 1);
    EXPECT_EQ(p->FSortList, std::vector<int>{Comment});
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), (std::vector<String>{"a", "b"}));

    TPopupMenu* opened = nullptr;
    TPoint openedAt;
    SetPopupMenuHook([&](TPopupMenu* Menu) {
        opened = Menu;
        openedAt = Menu->PopupPoint();
    });
    const int second = tree->Header()->Columns()->Items(2)->GetLeft() + 30;
    clickHeader(second, mbRight);
    SetPopupMenuHook(nullptr);
    EXPECT_EQ(opened, p->TreeGridHeaderPopupMenu);
    EXPECT_EQ(openedAt, tree->ClientToScreen(TPoint{second, -8}));
    EXPECT_EQ(p->FActiveColumn, 2);
    clickHeader(second, mbMiddle);
    EXPECT_EQ(p->FSortList, std::vector<int>{Comment});
    EXPECT_EQ(p->FilterOpened, 1);
}

TEST(TableSort, ByTypeWithInvalidRowsFirstBothWays)
{
    TTablePlannerPtr p = MakeTablePlanner();
    p->SetColumnType(tbTable, Comment, ctNumber);
    for (const char* text : {"10", "9", "x", "1", ""})
        AddCommented(*p, text);
    TNodeData* invalid = AddCommented(*p, "5");
    p->DoSetData(invalid, p->GetConnection(tbTable, cnLength), "0", cmIgnoreNet);
    p->FActiveColumn = Comment;
    p->ActionSortExecute();
    // Unparsable and empty cells count as 0 and keep their order.
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), (std::vector<String>{"5", "x", "", "1", "9", "10"}));
    EXPECT_EQ(p->SortMenu->Items(Comment)->ImageIndex(), 18);
    p->ActionSortExecute();
    EXPECT_TRUE(p->Questions.empty());
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), (std::vector<String>{"5", "10", "9", "1", "x", ""}));
    EXPECT_EQ(p->FSortList, std::vector<int>{65536 + Comment});
    EXPECT_EQ(p->SortMenu->Items(Comment)->ImageIndex(), 19);
    EXPECT_EQ(p->SortMenu->Items(0)->ImageIndex(), -1);
    EXPECT_EQ(p->StringTreeGrid1->Header()->SortColumn(), Comment);
    EXPECT_EQ(p->StringTreeGrid1->Header()->SortDirection(), sdDescending);

    // Dates by the document's parser; text ignoring letter case, ties kept.
    p->SetColumnType(tbTable, Comment, ctDate);
    const std::vector<TNodeData*> rows = TableRows(*p, tbTable);
    const char* dates[] = {"02.01.2026", "01.01.2026", "x", "31.12.2025", "", "03.01.2026"};
    for (std::size_t i = 0; i < rows.size(); ++i)
        p->DoSetData(rows[i], Comment, dates[i], cmIgnoreNet);
    auto sortAscending = [&] {
        p->FSortList.clear();
        p->GetHeader(tbTable, Comment)->SortAscending = true;
        p->ActionSortExecute();
    };
    sortAscending();
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment),
        (std::vector<String>{"02.01.2026", "x", "", "31.12.2025", "01.01.2026", "03.01.2026"}));
    p->SetColumnType(tbTable, Comment, ctText);
    const char* texts[] = {"b", "B", "a", "c", "A", "b"};
    const std::vector<TNodeData*> now = TableRows(*p, tbTable);
    for (std::size_t i = 0; i < now.size(); ++i)
        p->DoSetData(now[i], Comment, texts[i], cmIgnoreNet);
    sortAscending();
    EXPECT_EQ(ColumnTexts(*p, tbTable, Comment), (std::vector<String>{"b", "a", "A", "B", "b", "c"}));
}

TEST(TableSort, SecondKeyKeepsTheFirstOnYesAndReplacesItOnNo)
{
    for (bool keep : {true, false}) {
        TTablePlannerPtr p = MakeTablePlanner();
        const int state = p->GetConnection(tbTable, cnColor);
        for (auto [a, b] : {std::pair{"x", "2"}, {"y", "1"}, {"x", "1"}, {"y", "2"}}) {
            TNodeData* row = AddCommented(*p, a);
            p->DoSetData(row, state, b, cmIgnoreNet);
        }
        p->FActiveColumn = Comment;
        p->ActionSortExecute();
        p->Answer = keep;
        p->FActiveColumn = state;
        p->ActionSortExecute();
        ASSERT_EQ(p->Questions.size(), 1u);
        EXPECT_EQ(p->Questions[0], "Keep existing sort?\r\rComment  Main Index");
        std::vector<String> order;
        for (TNodeData* row : TableRows(*p, tbTable))
            order.push_back(p->GetData(row, Comment) + p->GetData(row, state));
        if (keep) {
            EXPECT_EQ(order, (std::vector<String>{"x1", "x2", "y1", "y2"}));
            EXPECT_EQ(p->FSortList, (std::vector<int>{Comment, state}));
        } else {
            // Only the state: the comment order is kept among equal states.
            EXPECT_EQ(order, (std::vector<String>{"x1", "y1", "x2", "y2"}));
            EXPECT_EQ(p->FSortList, std::vector<int>{state});
        }
    }
}

TEST(TableSort, StoredKeyAndNewEmptiesTheList)
{
    TTablePlannerPtr p = MakeTablePlanner();
    AddCommented(*p, "a");
    p->FActiveColumn = 3;
    p->ActionSortExecute();
    p->ActionSortExecute();
    EXPECT_EQ(p->FSortList, std::vector<int>{65539});
    EXPECT_EQ(TPlannerForm::SortKeyColumn(65539), 3);
    EXPECT_TRUE(TPlannerForm::SortKeyDescending(65539));
    EXPECT_EQ(TPlannerForm::SortKeyColumn(TPlannerForm::SortKey(-2, false)), -2);
    p->ActionNew();
    EXPECT_TRUE(p->FSortList.empty());
}

TEST(TableSelection, ListFollowsTheTreeAlsoAfterBulkChanges)
{
    TTablePlannerPtr p = MakeTablePlanner();
    TNodeData* a = AddCommented(*p, "a");
    TNodeData* b = AddCommented(*p, "b");
    TNodeData* c = AddCommented(*p, "c");
    TStringTreeGrid* tree = p->StringTreeGrid1;
    tree->SetSelected(a->VNode, true);
    EXPECT_EQ(p->FSelectedList[tbTable].Rows(), std::vector<TNodeData*>{a});
    tree->SetSelected(a->VNode, false);
    EXPECT_EQ(p->FSelectedList[tbTable].Count(), 0);
    tree->SetVisible(b->VNode, false);
    p->ActionSelectAllExecute();
    EXPECT_EQ(tree->SelectedCount(), 2);
    EXPECT_TRUE(p->FSelectedList[tbTable].Contains(a));
    EXPECT_TRUE(p->FSelectedList[tbTable].Contains(c));
    EXPECT_FALSE(p->FSelectedList[tbTable].Contains(b));
    // A deleted row leaves the list with its node.
    p->DeleteNode(c, cmIgnoreNet);
    EXPECT_EQ(p->FSelectedList[tbTable].Rows(), std::vector<TNodeData*>{a});
    tree->ClearSelection();
    EXPECT_EQ(p->FSelectedList[tbTable].Count(), 0);
}
