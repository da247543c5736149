// The position groups dialog: filled from the group tabs by exact entries,
// changed page by page, and applied back into the tabs, the stored filters,
// the saved file and one undo step.
#include "platform/Buttons.h"
#include "shell/dialogs/OrganizePositionsDialog.h"
#include "tests/shell/GroupsReasonsHolidaysTestSupport.h"

using namespace mainformtest;
using namespace setuptest;

namespace {

std::vector<String> Tabs(TMainForm* M)
{
    std::vector<String> tabs;
    for (int i = 0; i < M->TabControl1->Tabs()->Count(); ++i)
        tabs.push_back(M->TabControl1->Tabs()->Get(i));
    return tabs;
}

std::vector<bool> Checks(TOrganizePositionsDialog* D, int Page)
{
    std::vector<bool> checks;
    for (int j = 0; j < D->GetItems()->Count(); ++j)
        checks.push_back(D->GetChecked(Page, j));
    return checks;
}

void Groups(TMainForm* M, std::function<void(TOrganizePositionsDialog*)> Steps)
{
    Answer<TOrganizePositionsDialog>(M, [M] { M->ositionengruppieren1Click(); }, Steps);
}

}  // namespace

TEST_F(MainFormTest, GroupsDialogFillsFromTheTabsByWholeEntries)
{
    TMainForm* m = StartProgram({});
    SetPositions(m, {"Position 1", "Position 10", "Position 2"});
    m->AddPositionGroup("Ten", Members({"Position 10"}));
    m->AddPositionGroup("Others", Members({"Position 1", "Position 2"}));
    Groups(m, [](TOrganizePositionsDialog* d) {
        ASSERT_EQ(d->GroupCount(), 3);
        EXPECT_EQ(d->GetGroupName(0), "General View");
        EXPECT_EQ(d->GetGroupName(1), "Ten");
        EXPECT_EQ(d->GetGroupName(2), "Others");
        EXPECT_EQ(List(*d->GetItems()), std::vector<String>({"Position 1", "Position 10", "Position 2"}));
        // The first page is every position, and nothing on it can change.
        EXPECT_EQ(Checks(d, 0), std::vector<bool>({true, true, true}));
        EXPECT_FALSE(d->GetTree(0)->Enabled());
        EXPECT_FALSE(d->GetNameEdit(0)->Enabled());
        EXPECT_EQ(Checks(d, 1), std::vector<bool>({false, true, false}));
        EXPECT_EQ(Checks(d, 2), std::vector<bool>({true, false, true}));
        EXPECT_EQ(d->PageControl1->ActivePageIndex(), 0);
        EXPECT_FALSE(d->SpeedButton2->Enabled());
        d->PageControl1->SetActivePageIndex(1);
        d->PageControl1->OnChange(d->PageControl1);
        EXPECT_TRUE(d->SpeedButton2->Enabled());
        d->Button4->Click();
    });
}

TEST_F(MainFormTest, GroupsDialogAppliesDeletedRenamedAndNewGroups)
{
    TMainForm* m = StartProgram({});
    SetPositions(m, {"P1", "P2", "P3"});
    m->AddPositionGroup("A", Members({"P1"}));
    m->AddPositionGroup("B", Members({"P2"}));
    m->AddPositionGroup("C", Members({"P1", "P3"}));
    for (const char* group : {"A", "B", "C", "General View"}) {
        TFilter f;
        f.Type = ftText;
        f.SubType = fsText;
        f.Text1 = group;
        f.Group = group;
        f.Header = m->GetColumnCaption(tbTable, 0);
        m->FFilters.push_back(f);
    }
    const std::size_t undos = m->UndoRedo().UndoList().size();

    Groups(m, [](TOrganizePositionsDialog* d) {
        // The middle group goes; the last one, now second, is renamed.
        d->PageControl1->SetActivePageIndex(2);
        d->DeleteGroupClick();
        d->GetNameEdit(2)->SetText("C renamed");
        EXPECT_EQ(d->GetGroupName(2), "C renamed");
        // A group added after the deletion, and one left empty.
        d->NewGroupClick();
        d->SetChecked(3, 1, true);
        d->NewGroupClick();
        d->GetNameEdit(4)->SetText("Empty");
        d->Button3->Click();
    });

    EXPECT_EQ(Tabs(m), std::vector<String>({"General View", "A", "C renamed", "new Group", "Empty"}));
    ASSERT_EQ(m->FPositionGroup.Count(), 5);
    EXPECT_EQ(m->FPositionGroup.Get(1), Members({"P1"}));
    EXPECT_EQ(m->FPositionGroup.Get(2), Members({"P1", "P3"}));
    EXPECT_EQ(m->FPositionGroup.Get(3), Members({"P2"}));
    EXPECT_EQ(m->FPositionGroup.Get(4), "");
    std::vector<String> filters;
    for (const TFilter& f : m->FFilters)
        filters.push_back(f.Group + "=" + f.Text1);
    EXPECT_EQ(filters, std::vector<String>({"A=A", "C renamed=C", "General View=General View"}));
    EXPECT_EQ(m->UndoRedo().UndoList().size(), undos + 1);
    EXPECT_TRUE(m->GetFileChanged());

    auto ini = Saved(m, Work + "/groups.vek");
    EXPECT_EQ(ini->ReadInteger("PositionGroup", "Count", 0), 5);
    EXPECT_EQ(ini->ReadString("PositionGroup", "name2", ""), "C renamed");
    EXPECT_EQ(ini->ReadString("PositionGroup", "filter2", ""), Members({"P1", "P3"}));
    EXPECT_EQ(ini->ReadString("PositionGroup", "name4", ""), "Empty");
    EXPECT_TRUE(ini->ValueExists("PositionGroup", "filter4"));

    m->UndoRedo().Undo();
    EXPECT_EQ(Tabs(m), std::vector<String>({"General View", "A", "B", "C"}));
    EXPECT_EQ(m->FPositionGroup.Get(3), Members({"P1", "P3"}));
}

TEST_F(MainFormTest, GroupsDialogCancelKeepsAndDeletingAllLeavesTheGeneralView)
{
    TMainForm* m = StartProgram({});
    SetPositions(m, {"P1", "P2"});
    m->AddPositionGroup("A", Members({"P1"}));
    m->AddPositionGroup("B", Members({"P2"}));
    const std::size_t undos = m->UndoRedo().UndoList().size();
    auto deleteAll = [](TOrganizePositionsDialog* d) {
        while (d->GroupCount() > 1) {
            d->PageControl1->SetActivePageIndex(d->GroupCount() - 1);
            d->DeleteGroupClick();
        }
    };
    Groups(m, [&](TOrganizePositionsDialog* d) {
        deleteAll(d);
        d->Button4->Click();
    });
    EXPECT_EQ(Tabs(m), std::vector<String>({"General View", "A", "B"}));
    EXPECT_EQ(m->UndoRedo().UndoList().size(), undos);

    Groups(m, [&](TOrganizePositionsDialog* d) {
        deleteAll(d);
        d->Button3->Click();
    });
    EXPECT_EQ(Tabs(m), std::vector<String>({"General View"}));
    EXPECT_EQ(m->FPositionGroup.Count(), 1);
    EXPECT_EQ(m->TabControl1->TabIndex(), 0);
}
