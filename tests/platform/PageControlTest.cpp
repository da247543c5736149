// Page and tab controls: which sheet shows, what the user's tab clicks fire
// and what changes made by code do not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

struct TPagesForm {
    TForm* Form = Create<TForm>(nullptr);
    TPageControl* Pages = Create<TPageControl>(Form);
    std::vector<TTabSheet*> Sheets;
    std::vector<std::string> Log;

    explicit TPagesForm(int Count)
    {
        EnsureApplication();
        Form->SetBounds(0, 0, 400, 300);
        Pages->SetParent(Form);
        Pages->SetBounds(10, 10, 300, 200);
        for (int i = 0; i < Count; ++i) {
            auto* s = Create<TTabSheet>(Form);
            s->SetCaption("Page " + std::to_string(i));
            s->SetPageControl(Pages);
            Sheets.push_back(s);
        }
        Pages->OnChanging = [this](TObject*, bool&) { Log.push_back("changing " + std::to_string(Pages->ActivePageIndex())); };
        Pages->OnChange = [this](TObject*) { Log.push_back("change " + std::to_string(Pages->ActivePageIndex())); };
    }
    ~TPagesForm() { delete Form; }
    TPoint TabCentre(int Tab)
    {
        TRect r = Pages->TabRect(Tab);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

}  // namespace

TEST(PageControl, FirstSheetShowsAndFillsTheAreaUnderTheTabs)
{
    TPagesForm f(3);
    ASSERT_EQ(f.Pages->PageCount(), 3);
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[0]);
    EXPECT_TRUE(f.Sheets[0]->Visible());
    EXPECT_FALSE(f.Sheets[1]->Visible());
    f.Pages->Realign();
    EXPECT_EQ(f.Sheets[0]->BoundsRect(), f.Pages->DisplayRect());
    EXPECT_GT(f.Pages->DisplayRect().Top, f.Pages->TabRect(0).Bottom - 1);
    // Tabs lie side by side without overlapping.
    EXPECT_EQ(f.Pages->TabRect(0).Right, f.Pages->TabRect(1).Left);
    EXPECT_TRUE(f.Pages->TabRect(3).IsEmpty());
    EXPECT_THROW(f.Pages->Pages(3), EListError);
}

TEST(PageControl, CodeSwitchesSilentlyTheUserFiresChangingThenChange)
{
    TPagesForm f(3);
    f.Pages->SetActivePage(f.Sheets[2]);
    EXPECT_EQ(f.Pages->ActivePageIndex(), 2);
    EXPECT_TRUE(f.Sheets[2]->Visible());
    EXPECT_FALSE(f.Sheets[0]->Visible());
    EXPECT_TRUE(f.Log.empty());

    f.Form->Show();
    Click(f.Pages, f.TabCentre(1));
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[1]);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"changing 2", "change 1"}));

    // Clicking the current tab again changes nothing.
    f.Log.clear();
    NextClick();
    Click(f.Pages, f.TabCentre(1));
    EXPECT_TRUE(f.Log.empty());

    // A refusing OnChanging keeps the page and fires no OnChange.
    f.Pages->OnChanging = [&](TObject*, bool& Allow) { Allow = false; f.Log.push_back("refused"); };
    NextClick();
    Click(f.Pages, f.TabCentre(0));
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[1]);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"refused"}));
}

TEST(PageControl, HiddenTabsAndRemovedSheets)
{
    TPagesForm f(4);
    f.Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(f.Sheets[1]->TabIndex(), -1);
    EXPECT_EQ(f.Sheets[2]->TabIndex(), 1);
    EXPECT_EQ(f.Sheets[2]->PageIndex(), 2);
    // A sheet without a tab cannot be made active.
    f.Pages->SetActivePage(f.Sheets[1]);
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[0]);
    // The next page skips the hidden one and wraps around.
    EXPECT_EQ(f.Pages->FindNextPage(f.Sheets[0], true), f.Sheets[2]);
    EXPECT_EQ(f.Pages->FindNextPage(f.Sheets[0], false), f.Sheets[3]);
    f.Pages->SelectNextPage(true);
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[2]);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"changing 0", "change 2"}));

    // Freeing the active sheet hands over to the next one.
    delete f.Sheets[2];
    EXPECT_EQ(f.Pages->PageCount(), 3);
    EXPECT_EQ(f.Pages->ActivePage(), f.Sheets[3]);
    // Moving a sheet reorders the tabs.
    f.Sheets[3]->SetPageIndex(0);
    EXPECT_EQ(f.Pages->Pages(0), f.Sheets[3]);
    EXPECT_EQ(f.Sheets[0]->PageIndex(), 1);
    // Moving a sheet to another parent takes it off the page control.
    auto* elsewhere = Create<TRecordingControl>(f.Form);
    f.Sheets[1]->SetParent(elsewhere);
    EXPECT_EQ(f.Sheets[1]->PageControl(), nullptr);
    EXPECT_EQ(f.Pages->PageCount(), 2);
    f.Sheets[1]->SetParent(f.Pages);
    EXPECT_EQ(f.Sheets[1]->PageControl(), f.Pages);
    EXPECT_EQ(f.Pages->Pages(2), f.Sheets[1]);
    // Taking the page control away first leaves nothing dangling.
    delete f.Pages;
    f.Pages = nullptr;
    EXPECT_EQ(f.Sheets[0]->PageControl(), nullptr);
    EXPECT_EQ(f.Sheets[0]->PageIndex(), -1);
}

TEST(TabControl, TabsIndexAndClientArea)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    auto* tabs = Create<TTabControl>(form);
    tabs->SetParent(form);
    tabs->SetBounds(0, 0, 300, 200);
    auto* inside = Create<TRecordingControl>(form);
    inside->SetParent(tabs);
    inside->SetAlign(alClient);
    EXPECT_EQ(inside->BoundsRect(), tabs->DisplayRect());

    int changes = 0;
    tabs->OnChange = [&](TObject*) { ++changes; };
    tabs->Tabs()->Add("General View");
    tabs->Tabs()->Add("Group A");
    tabs->Tabs()->Add("Group B");
    EXPECT_EQ(tabs->TabIndex(), 0);
    tabs->SetTabIndex(2);
    tabs->SetTabIndex(7);  // out of range: none
    EXPECT_EQ(tabs->TabIndex(), -1);
    tabs->SetTabIndex(2);
    EXPECT_EQ(changes, 0);
    tabs->Tabs()->Delete(2);  // the current tab goes: the last one left
    EXPECT_EQ(tabs->TabIndex(), 1);

    form->Show();
    TRect r = tabs->TabRect(0);
    Click(tabs, {r.Left + 5, r.Top + 5});
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tabs->IndexOfTabAt(r.Left + 5, r.Top + 5), 0);
    EXPECT_EQ(tabs->IndexOfTabAt(r.Left + 5, tabs->DisplayRect().Top + 5), -1);
    tabs->Tabs()->Clear();
    EXPECT_EQ(tabs->TabIndex(), -1);
    delete form;
}
