// The Setup menu's openers of the groups, reasons and holidays dialogs:
// each fills every setup dialog and shows one; OK applies the dialogs shown
// since that fill, in one undo step; Cancel applies nothing.
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/Menus.h"
#include "shell/dialogs/DefineHolidayDialog.h"
#include "shell/dialogs/OrganizePositionsDialog.h"
#include "shell/dialogs/SetupAbsentDaysDialog.h"
#include "shell/dialogs/SetupTableDialog.h"
#include "tests/shell/GroupsReasonsHolidaysTestSupport.h"

using namespace mainformtest;
using namespace setuptest;

TEST_F(MainFormTest, SetupOpenersFillEveryDialogAndApplyOnlyThoseShown)
{
    TMainForm* m = StartProgram({});
    SetPositions(m, {"P1", "P2"});
    m->AddPositionGroup("A", Members({"P1"}));
    m->AddHoliday("Fix", 6, true, false, 1);
    std::vector<String> items;
    for (int i = 0; i < m->Setup1->Count(); ++i)
        items.push_back(m->Setup1->Items(i)->Name());
    EXPECT_EQ(items, std::vector<String>({"Tabellebearbeiten1", "Fehltagebearbeiten1", "ositionengruppieren1",
                                          "Arbeitspltzebearbeiten1", "EditHoliday1"}));

    // Cancel: nothing applied, no undo step.
    const std::size_t undos = m->UndoRedo().UndoList().size();
    Answer<TDefineHolidayDialog>(m, [m] { m->EditHoliday1Click(); }, [](TDefineHolidayDialog* d) {
        d->ClearHolidays();
        d->ButtonCancel->Click();
    });
    EXPECT_EQ(m->FHolidayList.size(), 1u);
    EXPECT_EQ(m->UndoRedo().UndoList().size(), undos);

    // The groups opener fills the others too; the holiday dialog, shown
    // before that fill, is not applied with the groups.
    Answer<TOrganizePositionsDialog>(m, [m] { m->ositionengruppieren1Click(); }, [m](TOrganizePositionsDialog* d) {
        EXPECT_EQ(m->DefineHolidayDialog->Count(), 1);
        EXPECT_FALSE(m->DefineHolidayDialog->FWasActive);
        EXPECT_EQ(m->SetupAbsentDaysDialog->Memo1->Lines()->Count(), 3);
        EXPECT_EQ(m->SetupTableDialog->ListView1->Items()->Count(), m->GetTableColCount(tbTable));
        m->DefineHolidayDialog->ClearHolidays();
        m->SetupAbsentDaysDialog->Memo1->SetText("Only");
        d->GetNameEdit(1)->SetText("A2");
        d->Button3->Click();
    });
    EXPECT_EQ(m->FPositionGroupNames.Get(1), "A2");
    EXPECT_EQ(m->FHolidayList.size(), 1u);
    EXPECT_EQ(m->GetColumnStrings(tbExclude, m->GetConnection(tbExclude, cnColor))->Count(), 3);
    EXPECT_EQ(m->UndoRedo().UndoList().size(), undos + 1);
}
