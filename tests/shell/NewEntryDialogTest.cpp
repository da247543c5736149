// A bar drawn on the main window's chart asks where it goes: the dialog
// shows the drawn begin, end and position, preselects the active table, and
// its buttons decide the table (or nothing).
#include "platform/Buttons.h"
#include "platform/DateUtils.h"
#include "platform/StdCtrls.h"
#include "shell/dialogs/NewEntryDialog.h"
#include "tests/shell/MainFormFixture.h"
#include "views/CanvasPanel.h"

using namespace mainformtest;

namespace {

const TDateTime D0 = EncodeDate(2024, 1, 8);

// The chart of a started program over positions A to D, from D0.
void Prepare(TMainForm* M)
{
    TStringList* list = M->GetColumnStrings(tbTable, M->GetConnection(tbTable, cnPosition));
    list->Clear();
    for (const char* p : {"A", "B", "C", "D"})
        list->Add(p);
    M->ApplyPositionGroup();
    M->HandleNeeded();
    M->SetTimeChartBounds(D0 - 30, D0 + 365);
    M->SetTimeChartStart(D0);
    M->TimeChartStartDestination = D0;
}

void DrawDays(TMainForm* M, int FromDay, int ToDay, int Row)
{
    const int c = M->GetTimeChartColWidth(), h = M->TimeChartRowHeight(0);
    const TPoint from{FromDay * c + c / 2, Row * h + h / 2};
    const TPoint to{ToDay * c + c / 2, Row * h + h / 2};
    NextClick();
    MouseMove(M->TimeChart, from);
    MouseDown(M->TimeChart, from);
    MouseMove(M->TimeChart, {(from.X + to.X) / 2, from.Y});
    MouseMove(M->TimeChart, to);
    MouseUp(M->TimeChart, to);
}

}  // namespace

TEST_F(MainFormTest, DrawnBarAsksWhereItGoes)
{
    TMainForm* m = StartProgram({});
    Prepare(m);
    std::vector<String> shown;
    String answer = "ButtonAbsentDays";
    SetModalHook([&](TCustomForm* F) {
        auto* d = dynamic_cast<TNewEntryDialog*>(F);
        ASSERT_NE(d, nullptr) << F->Name();
        shown.push_back(d->LabelBegin->Caption() + "|" + d->LabelEnd->Caption() + "|" + d->LabelPos->Caption() + "|" +
                        (d->ButtonTasks->Default() ? "Tasks" : d->ButtonAbsentDays->Default() ? "Absent Days" : ""));
        static_cast<TButton*>(d->FindComponent(answer))->Click();
    });
    DrawDays(m, 2, 4, 1);
    ASSERT_EQ(shown, std::vector<String>{"10.01.2024|12.01.2024|B|Tasks"});
    EXPECT_EQ(m->GetTableRowCount(tbTable), 0);
    ASSERT_EQ(m->GetTableRowCount(tbExclude), 1);
    EXPECT_EQ(m->GetActiveTable(), tbExclude);

    // Now the absent days are preselected; Cancel adds nothing.
    answer = "ButtonCancel";
    DrawDays(m, 6, 7, 2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], "14.01.2024|15.01.2024|C|Absent Days");
    EXPECT_EQ(m->GetTableRowCount(tbExclude), 1);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 0);

    answer = "ButtonTasks";
    DrawDays(m, 3, 3, 0);
    ASSERT_EQ(m->GetTableRowCount(tbTable), 1);
    EXPECT_EQ(m->GetActiveTable(), tbTable);
    EXPECT_EQ(m->GetData_(m->NodeToRow(m->StringTreeGrid1, m->StringTreeGrid1->GetFirst()), cnPosition), "A");
}
