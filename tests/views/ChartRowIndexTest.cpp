// The row index answers what a walk over every row in tree order answers,
// through edits, deletions, sorts, group changes and hidden rows.
#include <random>

#include "platform/DateUtils.h"
#include "views/ChartRowIndex.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

const TDateTime D0 = EncodeDate(2024, 1, 1);

// The rows of the table whose bar meets the window, by walking every row.
std::vector<TNodeData*> Walk(TTestPlanner& P, TWhichTable Table, const TRect& Window, int Top, bool Full, int Width,
    int RowHeight, TDateTime VisEnd, TDateTime VisStart)
{
    std::vector<TNodeData*> rows;
    for (TNodeData* row : TableRows(P, Table)) {
        if (!P.GetNodeValid(row))
            continue;
        TRect r = P.ItemRect(row, Top, Full, Width, RowHeight, VisEnd, VisStart);
        if (IntersectRect(r, r, Window))
            rows.push_back(row);
    }
    return rows;
}

struct TPlan {
    TPlannerPtr P;
    std::mt19937 Random{7};
    int Pick(int N) { return int(Random() % unsigned(N)); }
};

// 12 positions, one of three rows; tasks (some for all positions, some on
// no position, some invalid) and absences.
TPlan RandomPlan()
{
    TPlan plan;
    std::vector<String> positions;
    for (int i = 0; i < 12; ++i)
        positions.push_back(i == 4 ? PositionEntry("P4", 3) : "P" + IntToStr(i));
    plan.P = MakePlanner(positions);
    TTestPlanner& p = *plan.P;
    for (int i = 0; i < 400; ++i) {
        const int kind = plan.Pick(20);
        const String position = kind == 0 ? "*" : kind == 1 ? "nowhere" : "P" + IntToStr(plan.Pick(12));
        TNodeData* row = AddTask(p, position, D0 + plan.Pick(300), 1 + plan.Pick(6));
        if (kind == 2)
            p.DoSetData(row, p.GetConnection(tbTable, cnLength), "0", cmIgnoreNet);
    }
    for (int i = 0; i < 60; ++i) {
        AddAbsentDay(p, i % 10 == 0 ? "*" : "P" + IntToStr(plan.Pick(12)), D0 + plan.Pick(300), 1 + plan.Pick(4));
    }
    return plan;
}

void ExpectSameAnswers(TPlan& Plan, const char* When)
{
    TTestPlanner& p = *Plan.P;
    std::size_t total = 0;
    for (int k = 0; k < 25; ++k) {
        const int width = 200 + Plan.Pick(1200);
        const int rowHeight = 3 * (1 + Plan.Pick(30));
        const int top = Plan.Pick(200);
        const TDateTime start = D0 - 20 + Plan.Pick(300);
        const TDateTime end = start + 5 + Plan.Pick(150);
        const int x = Plan.Pick(width), y = Plan.Pick(600);
        const TRect window(x, y, x + 1 + Plan.Pick(width), y + 1 + Plan.Pick(400));
        const bool full = Plan.Pick(2) == 0;
        for (TWhichTable table : {tbTable, tbExclude}) {
            std::vector<TNodeData*> found;
            p.FindBars(table, window, top, full, width, rowHeight, end, start, found);
            ASSERT_EQ(found, Walk(p, table, window, top, full, width, rowHeight, end, start))
                << When << ", table " << int(table) << ", window " << window;
            total += found.size();
        }
    }
    EXPECT_GT(total, 25u) << When << ": the windows hold bars";
}

}  // namespace

TEST(ChartRowIndex, AnswersAsAWalkOverAllRows)
{
    TPlan plan = RandomPlan();
    TTestPlanner& p = *plan.P;
    ExpectSameAnswers(plan, "as built");

    // Starts, positions and lengths change; rows go.
    for (int round = 0; round < 4; ++round) {
        std::vector<TNodeData*> rows = TableRows(p, tbTable);
        for (int i = 0; i < 60; ++i) {
            TNodeData* row = rows[std::size_t(plan.Pick(int(rows.size())))];
            switch (plan.Pick(3)) {
            case 0: p.DoSetStartOf(row, cmIgnoreNet, D0 + plan.Pick(300)); break;
            case 1: p.DoSetData(row, p.GetConnection(tbTable, cnPosition), "P" + IntToStr(plan.Pick(12)), cmIgnoreNet); break;
            default: p.DoSetLengthOf(row, 480 * (1 + plan.Pick(9)), cmIgnoreNet); break;
            }
        }
        for (int i = 0; i < 10; ++i) {
            rows = TableRows(p, tbTable);
            p.DeleteNode(rows[std::size_t(plan.Pick(int(rows.size())))], cmIgnoreNet);
        }
        ExpectSameAnswers(plan, "after edits");
    }

    // Another order of the rows.
    p.StringTreeGrid1->SortTree(p.GetConnection(tbTable, cnStart), sdDescending);
    ExpectSameAnswers(plan, "sorted");
    // Changes inside an update bracket.
    p.BeginUpdate("edits");
    for (TNodeData* row : TableRows(p, tbTable))
        if (plan.Pick(4) == 0)
            p.DoSetStartOf(row, cmIgnoreNet, D0 + plan.Pick(300));
    p.EndUpdate();
    ExpectSameAnswers(plan, "after a bracket");
    // Fewer shown rows, then minute mode.
    p.HideRowsClick(p.HideEmptyRows1);
    ExpectSameAnswers(plan, "empty rows hidden");
    p.FMinUnit = muMinute;
    p.ForEach(feAll, 0, [&](TNodeData* Row, NativeInt) { p.CB_SetRecalcEndOf(Row); });
    p.CheckAllValid();
    ExpectSameAnswers(plan, "minute mode");
}

TEST(ChartRowIndex, KeepsNoFreedRow)
{
    TPlan plan = RandomPlan();
    TTestPlanner& p = *plan.P;
    TChartRowIndex& index = p.RowIndex();
    const std::vector<TNodeData*> rows = TableRows(p, tbTable);
    EXPECT_EQ(index.PendingCount(), 0u);
    EXPECT_TRUE(index.Holds(rows[0]));
    p.DeleteNode(rows[0], cmIgnoreNet);
    EXPECT_FALSE(index.Holds(rows[0]));
    p.ClearRows();
    EXPECT_EQ(p.RowIndex().RecordCount(), 0u);
    for (TNodeData* row : rows)
        EXPECT_FALSE(index.Holds(row));
}
