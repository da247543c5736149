// The absence reasons dialog: filled from the reason column, applied back
// with empty lines dropped, quotes kept, colours following their reasons,
// the default reason and the working-day switch; Cancel keeps everything.
#include "platform/Buttons.h"
#include "shell/dialogs/SetupAbsentDaysDialog.h"
#include "tests/shell/GroupsReasonsHolidaysTestSupport.h"

using namespace mainformtest;
using namespace setuptest;

namespace {

std::vector<String> Reasons(TMainForm* M)
{
    const TStringList* list = M->GetColumnStrings(tbExclude, M->GetConnection(tbExclude, cnColor));
    std::vector<String> reasons;
    for (int i = 0; i < list->Count(); ++i)
        reasons.push_back(CommaTextItem(list->Get(i), 0));
    return reasons;
}

void ReasonsDialog(TMainForm* M, std::function<void(TSetupAbsentDaysDialog*)> Steps)
{
    Answer<TSetupAbsentDaysDialog>(M, [M] { M->Fehltagebearbeiten1Click(); }, Steps);
}

}  // namespace

TEST_F(MainFormTest, ReasonsDialogFillsAndAppliesReasonsColoursAndDefaults)
{
    TMainForm* m = StartProgram({});
    ASSERT_EQ(Reasons(m), std::vector<String>({"Holiday", "Sick", "Other"}));
    m->FHolidayColors = {0x000001, 0x000002, 0x000003};
    m->FDefaultHolidayReason = "Sick";
    m->FDefaultCalcWorkdays = false;
    m->FDefaultHolidayReason = "Sick";

    ReasonsDialog(m, [](TSetupAbsentDaysDialog* d) {
        EXPECT_EQ(List(*d->Memo1->Lines()), std::vector<String>({"Holiday", "Sick", "Other"}));
        EXPECT_EQ(d->ComboBox1->ItemIndex(), 1);
        EXPECT_FALSE(d->CheckBox1->Checked());
        // The default box follows the lines, keeping its index.
        d->Memo1->SetText("Other\r\n\r\nSay \"hi\", then go\r\nHoliday");
        EXPECT_EQ(d->ComboBox1->Items()->Count(), 4);
        EXPECT_EQ(d->ComboBox1->Text(), "");
        d->ComboBox1->SelectByUser(2);
        d->CheckBox1->Toggle();
        d->Button1->Click();
    });

    EXPECT_EQ(Reasons(m), std::vector<String>({"Other", "Say \"hi\", then go", "Holiday"}));
    // Each reason keeps its colour; the new one takes the first default.
    std::vector<TColor> defaults;
    TScheduleDocument::FillUpColors(defaults, 1);
    EXPECT_EQ(m->FHolidayColors, std::vector<TColor>({0x000003, defaults[0], 0x000001}));
    EXPECT_EQ(m->FDefaultHolidayReason, "Say \"hi\", then go");
    EXPECT_TRUE(m->FDefaultCalcWorkdays);

    // The quoted reason comes back from the file whole.
    const String path = Work + "/reasons.vek";
    m->SaveTo(path);
    m->SetFileChanged(false);
    m->Open(path);
    EXPECT_EQ(Reasons(m), std::vector<String>({"Other", "Say \"hi\", then go", "Holiday"}));
}

TEST_F(MainFormTest, ReasonsDialogCancelChangesNothing)
{
    TMainForm* m = StartProgram({});
    const std::vector<TColor> colors = m->FHolidayColors;
    const bool workdays = m->FDefaultCalcWorkdays;
    const std::size_t undos = m->UndoRedo().UndoList().size();
    ReasonsDialog(m, [](TSetupAbsentDaysDialog* d) {
        d->Memo1->SetText("Only");
        d->CheckBox1->Toggle();
        d->Button2->Click();
    });
    EXPECT_EQ(Reasons(m), std::vector<String>({"Holiday", "Sick", "Other"}));
    EXPECT_EQ(m->FHolidayColors, colors);
    EXPECT_EQ(m->FDefaultCalcWorkdays, workdays);
    EXPECT_EQ(m->UndoRedo().UndoList().size(), undos);
}
