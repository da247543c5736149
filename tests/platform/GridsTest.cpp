// The string grid: cells across resizes, the current cell and its events,
// cell geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/Grids.h"
#include "tests/support/PlatformFixture.h"

TEST(StringGrid, CellsSurviveGrowingAndShrinkingIsBounded)
{
    auto* g = Create<TStringGrid>(nullptr);
    g->SetColCount(3);
    g->SetRowCount(3);
    g->SetCells(2, 2, "corner");
    g->SetCells(0, 1, "fixed");
    g->SetRowCount(10);
    g->SetColCount(6);
    EXPECT_EQ(g->Cells(2, 2), "corner");
    EXPECT_EQ(g->Cells(5, 9), "");
    g->SetColCount(2);
    EXPECT_EQ(g->Cells(2, 2), "");  // fell off
    g->SetColCount(3);
    EXPECT_EQ(g->Cells(2, 2), "");  // and does not come back
    EXPECT_EQ(g->Cells(0, 1), "fixed");

    // Outside cells read empty; writing one is an error, not a silent no-op.
    EXPECT_EQ(g->Cells(-1, 0), "");
    EXPECT_EQ(g->Cells(3, 0), "");
    EXPECT_THROW(g->SetCells(3, 0, "x"), EInvalidGridOperation);
    EXPECT_THROW(g->SetCells(0, -1, "x"), EInvalidGridOperation);
    EXPECT_THROW(g->SetColCount(1), EInvalidGridOperation);  // not above FixedCols
    EXPECT_THROW(g->SetFixedRows(10), EInvalidGridOperation);
    EXPECT_THROW(g->SetRowCount(1 << 30), EInvalidGridOperation);
    EXPECT_EQ(g->RowCount(), 10);

    TStringList row;
    row.Add("a");
    row.Add("b");
    g->SetRows(4, row);
    EXPECT_EQ(g->Rows(4), (std::vector<String>{"a", "b", ""}));
    g->SetCols(1, row);
    EXPECT_EQ(g->Cells(1, 0), "a");
    EXPECT_EQ(g->Cells(1, 1), "b");
    EXPECT_EQ(g->Cells(1, 4), "");
    EXPECT_TRUE(g->Cols(9).empty());
    delete g;
}

TEST(StringGrid, CurrentCellAsksOnSelectCellAndSkipsFixedCells)
{
    auto* g = Create<TStringGrid>(nullptr);
    g->SetBounds(0, 0, 400, 300);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);
    std::vector<std::string> asked;
    g->OnSelectCell = [&](TObject*, int C, int R, bool& Can) {
        asked.push_back(std::to_string(C) + "," + std::to_string(R));
        Can = !(C == 3 && R == 3);
    };
    g->SetCol(2);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_FALSE(g->FocusCell(0, 2));  // fixed
    EXPECT_FALSE(g->FocusCell(3, 3));  // refused
    EXPECT_EQ(g->Selection(), (TGridRect{2, 1, 2, 1}));
    EXPECT_EQ(asked, (std::vector<std::string>{"2,1", "3,3"}));

    g->Perform(WM_KEYDOWN, VK_DOWN);
    g->Perform(WM_KEYDOWN, VK_LEFT);
    g->Perform(WM_KEYDOWN, VK_LEFT);  // stops at the fixed column
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 2);
    g->Perform(WM_KEYDOWN, VK_END);
    EXPECT_EQ(g->Col(), g->ColCount() - 1);
    // Shrinking the grid keeps the current cell inside it.
    g->SetRowCount(2);
    EXPECT_EQ(g->Row(), 1);
    delete g;
}

TEST(StringGrid, CellGeometryAndMouse)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 400);
    auto* g = Create<TStringGrid>(form);
    g->SetParent(form);
    g->SetBounds(0, 0, 300, 200);
    g->SetColCount(20);
    g->SetRowCount(30);
    g->SetColWidths(0, 30);
    g->SetRowHeights(1, 40);
    EXPECT_EQ(g->CellRect(0, 0), TRect(0, 0, 30, 24));
    EXPECT_EQ(g->CellRect(1, 1), TRect(31, 25, 31 + 64, 25 + 40));
    int col = -1, row = -1;
    EXPECT_TRUE(g->MouseToCell(31 + 64 + 3, 25 + 41, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 2);
    EXPECT_FALSE(g->MouseToCell(-1, 5, col, row));

    // Scrolling hides the first scrollable column but never the fixed one.
    g->SetLeftCol(3);
    EXPECT_TRUE(g->CellRect(1, 1).IsEmpty());
    EXPECT_EQ(g->CellRect(3, 0).Left, 31);
    EXPECT_EQ(g->CellRect(0, 1).Left, 0);
    // Moving to a cell out of view scrolls it into view.
    g->FocusCell(19, 29);
    EXPECT_FALSE(g->CellRect(19, 29).IsEmpty());
    EXPECT_GT(g->TopRow(), 1);

    form->Show();
    g->SetLeftCol(1);
    g->SetTopRow(1);
    Click(g, {31 + 5, 25 + 5});
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);

    // Owner drawing sees every visible non-fixed cell with its state.
    std::vector<std::pair<int, int>> drawn;
    bool sawSelected = false;
    g->SetDefaultDrawing(false);
    g->OnDrawCell = [&](TObject*, int C, int R, TRect, TGridDrawState S) {
        drawn.push_back({C, R});
        EXPECT_FALSE(S.Contains(gdFixed));
        if (S.Contains(gdSelected)) {
            sawSelected = true;
            EXPECT_EQ(C, 1);
            EXPECT_EQ(R, 1);
        }
    };
    g->Repaint();
    EXPECT_FALSE(drawn.empty());
    EXPECT_TRUE(sawSelected);
    delete form;
}
