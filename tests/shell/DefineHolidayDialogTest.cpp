// The public holidays dialog: the date column's texts, the list commands,
// the editors writing through to the selected holiday, and the holidays
// applied into the calendar and the saved file.
#include <filesystem>

#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/Buttons.h"
#include "platform/DateUtils.h"
#include "shell/dialogs/DefineHolidayDialog.h"
#include "tests/shell/GroupsReasonsHolidaysTestSupport.h"

using namespace mainformtest;
using namespace setuptest;

namespace {

void HolidayDialog(TMainForm* M, std::function<void(TDefineHolidayDialog*)> Steps)
{
    Answer<TDefineHolidayDialog>(M, [M] { M->EditHoliday1Click(); }, Steps);
}

String DateColumn(TDefineHolidayDialog* D, int Index)
{
    TGridNode* node = D->StringTreeGrid1->GetFirst();
    for (int i = 0; i < Index && node; ++i)
        node = D->StringTreeGrid1->GetNext(node);
    return D->StringTreeGrid1->Text(node, 1);
}

int Selected(TDefineHolidayDialog* D)
{
    TGridNode* node = D->SelectedHoliday();
    return node ? int(node->Index) : -1;
}

}  // namespace

TEST_F(MainFormTest, HolidayDateColumnInEnglishAndGerman)
{
    TMainForm* m = StartProgram({});
    TDefineHolidayDialog* d = m->DefineHolidayDialog;
    const THolidayNodeData fixed{"a", 6, 1, false}, ascension{"b", 39, 0, true}, friday{"c", -2, 0, true},
        sunday{"d", 0, 0, true}, badMonth{"e", 5, 13, false};
    EXPECT_EQ(d->DateText(fixed), "6. January");
    EXPECT_EQ(d->DateText(ascension), "Easter + 39");
    EXPECT_EQ(d->DateText(friday), "Easter - 2");
    EXPECT_EQ(d->DateText(sunday), "Easter - 0");
    EXPECT_EQ(d->DateText(badMonth), "5");

    ::mkdir((Root + "/languages").c_str(), 0700);
    std::filesystem::copy_file(vektest::DataPath("../../resources/languages/Deutsch.lng"),
                               Root + "/languages/Deutsch.lng");
    m->SetLanguage("Deutsch");
    EXPECT_EQ(d->DateText(fixed), "6. Januar");
    EXPECT_EQ(d->DateText(ascension), "Ostern + 39");
    EXPECT_EQ(d->DateText(friday), "Ostern - 2");
}

TEST_F(MainFormTest, HolidayListCommands)
{
    TMainForm* m = StartProgram({});
    HolidayDialog(m, [](TDefineHolidayDialog* d) {
        EXPECT_EQ(d->Count(), 0);
        EXPECT_FALSE(d->ButtonDelete->Enabled());
        EXPECT_FALSE(d->Edit3->Enabled());
        d->AddGermanHolidaysClick();
        d->AddGermanHolidaysClick();
        ASSERT_EQ(d->Count(), 20);
        std::vector<String> names;
        int checked = 0;
        for (int i = 0; i < d->Count(); ++i) {
            names.push_back(d->GetItem(i).name);
            checked += d->GetChecked(i) ? 1 : 0;
        }
        EXPECT_EQ(names.front(), "Neujahr");
        EXPECT_EQ(names[8], "Fronleichname");
        EXPECT_EQ(names.back(), "Silvester");
        EXPECT_EQ(checked, 0);
        EXPECT_EQ(DateColumn(d, 2), "Easter - 2");
        EXPECT_EQ(DateColumn(d, 11), "3. October");

        // A new holiday is selected and its name edited in place ...
        d->NewHolidayClick();
        ASSERT_EQ(d->Count(), 21);
        EXPECT_EQ(d->GetItem(20).name, "new Holiday");
        EXPECT_EQ(DateColumn(d, 20), "1. January");
        EXPECT_EQ(Selected(d), 20);
        EXPECT_TRUE(d->StringTreeGrid1->IsEditing());
        d->StringTreeGrid1->CancelEditNode();
        // ... but a second one of that name is neither added nor edited.
        d->SelectHoliday(d->StringTreeGrid1->GetFirst());
        d->NewHolidayClick();
        EXPECT_EQ(d->Count(), 21);
        EXPECT_EQ(Selected(d), 0);
        EXPECT_FALSE(d->StringTreeGrid1->IsEditing());

        d->CheckAll(true);
        EXPECT_TRUE(d->GetChecked(0) && d->GetChecked(20));
        d->CheckAll(false);
        EXPECT_FALSE(d->GetChecked(0) || d->GetChecked(20));
        d->DeleteHolidayClick();
        EXPECT_EQ(d->Count(), 20);
        EXPECT_EQ(d->GetItem(0).name, "Heilige 3 Könige");
        d->ButtonCancel->Click();
    });
    EXPECT_TRUE(m->FHolidayList.empty());
}

TEST_F(MainFormTest, HolidayEditorsWriteThroughAndKeepADate)
{
    TMainForm* m = StartProgram({});
    m->AddHoliday("Fix", 6, true, false, 1);
    m->AddHoliday("Ascension", 39, false, true, 0);
    m->AddHoliday("Odd", 5, false, false, 13);
    HolidayDialog(m, [](TDefineHolidayDialog* d) {
        // Shown, the first holiday is loaded into the editors.
        ASSERT_EQ(Selected(d), 0);
        EXPECT_EQ(d->Edit3->Text(), "Fix");
        EXPECT_TRUE(d->RadioButton4->Checked());
        EXPECT_EQ(d->Edit2->Text(), "6");
        EXPECT_EQ(d->ComboBox2->ItemIndex(), 0);
        EXPECT_FALSE(d->Edit1->Enabled());

        d->Edit3->SetText("Fixed");
        d->UpDown2->ClickButton(btNext);
        d->ComboBox2->SelectByUser(4);
        EXPECT_EQ(d->GetItem(0).name, "Fixed");
        EXPECT_EQ(DateColumn(d, 0), "7. May");
        // To "special Day": the offset editor's value, which the day editor set.
        d->RadioButton3->SetChecked(true);
        EXPECT_EQ(DateColumn(d, 0), "Easter + 7");
        EXPECT_EQ(d->GetItem(0).month, 0);
        d->UpDown1->ClickButton(btPrev);
        d->UpDown1->ClickButton(btPrev);
        EXPECT_EQ(d->GetItem(0).day, 5);

        // An Easter row switched to "Date": the day editor's day (as far as
        // it goes) in January, the month box having nothing selected.
        d->SelectHoliday(d->FindHoliday("Ascension"));
        EXPECT_EQ(d->Edit1->Text(), "39");
        EXPECT_EQ(d->ComboBox2->ItemIndex(), -1);
        d->RadioButton4->SetChecked(true);
        EXPECT_EQ(DateColumn(d, 1), "31. January");
        EXPECT_FALSE(d->GetItem(1).easter);

        // A month no list has shows the day alone, and "Date" mends it.
        d->SelectHoliday(d->FindHoliday("Odd"));
        EXPECT_EQ(DateColumn(d, 2), "5");
        d->RadioButton3->SetChecked(true);
        d->RadioButton4->SetChecked(true);
        EXPECT_EQ(DateColumn(d, 2), "5. January");
        d->ButtonOK->Click();
    });
    ASSERT_EQ(m->FHolidayList.size(), 3u);
    EXPECT_EQ(m->FHolidayList[0].name, "Fixed");
    EXPECT_TRUE(m->FHolidayList[0].easter);
    EXPECT_EQ(m->FHolidayList[0].day, 5);
    EXPECT_TRUE(m->FHolidayList[0].enabled);
    EXPECT_EQ(m->FHolidayList[1].month, 1);
    EXPECT_EQ(m->FHolidayList[1].day, 31);
    EXPECT_EQ(m->FHolidayList[2].month, 1);
}

TEST_F(MainFormTest, HolidaysAppliedMoveEndsAndAreSaved)
{
    TMainForm* m = StartProgram({});
    // Monday to Wednesday, 1 May 2024.
    TNodeData* task = m->AddNode(0, tbTable, 0, 3 * 480, EncodeDate(2024, 4, 29), cmDefault);
    m->SettleDeferredUpdates();
    ASSERT_EQ(int(m->GetEndOf(task)), int(EncodeDate(2024, 5, 1)));
    HolidayDialog(m, [](TDefineHolidayDialog* d) {
        d->AddGermanHolidaysClick();
        TGridNode* may = d->FindHoliday("Tag der Arbeit");
        d->StringTreeGrid1->SetCheckState(may, csCheckedNormal);
        d->ButtonOK->Click();
    });
    m->SettleDeferredUpdates();
    EXPECT_EQ(int(m->GetEndOf(task)), int(EncodeDate(2024, 5, 2)));

    auto ini = Saved(m, Work + "/holidays.vek");
    const String s = "Public Holiday";
    EXPECT_EQ(ini->ReadInteger(s, "Count", 0), 20);
    EXPECT_EQ(ini->ReadString(s, "Item9name", ""), "Tag der Arbeit");
    EXPECT_EQ(ini->ReadString(s, "Item9day", ""), "1");
    EXPECT_EQ(ini->ReadString(s, "Item9month", ""), "5");
    EXPECT_EQ(ini->ReadString(s, "Item9enabled", ""), "1");
    EXPECT_EQ(ini->ReadString(s, "Item2day", ""), "-2");
    EXPECT_EQ(ini->ReadString(s, "Item2easter", ""), "1");
    EXPECT_EQ(ini->ReadString(s, "Item2enabled", ""), "0");
}
