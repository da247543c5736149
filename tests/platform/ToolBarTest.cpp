// Tool bars and their buttons: layout, check and radio groups, clicks.
#include <gtest/gtest.h>

#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

TToolButton* AddButton(TToolBar* Bar, TToolButtonStyle Style, const String& Name)
{
    auto* b = Create<TToolButton>(Bar->Owner());
    b->SetName(Name);
    b->SetStyle(Style);
    b->SetParent(Bar);
    return b;
}

// A tool bar on a 400 x 300 form, freed with the test.
class ToolBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        bar = Create<TToolBar>(form);
        bar->SetParent(form);
    }
    void TearDown() override { delete form; }
    TForm* form = nullptr;
    TToolBar* bar = nullptr;
};

}  // namespace

TEST_F(ToolBar, ButtonsLineUpInOrderWithSeparators)
{
    auto* a = AddButton(bar, tbsButton, "A");
    auto* sep = AddButton(bar, tbsSeparator, "Sep");
    auto* b = AddButton(bar, tbsCheck, "B");
    ASSERT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(bar->Buttons(2), b);
    EXPECT_EQ(sep->Index(), 1);
    EXPECT_THROW(bar->Buttons(3), EListError);
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(sep->Left(), bar->ButtonWidth());
    EXPECT_EQ(sep->Width(), TToolBar::SeparatorWidth);
    EXPECT_EQ(b->Left(), bar->ButtonWidth() + TToolBar::SeparatorWidth);

    // A hidden button takes no room; a new width lays the bar out again.
    a->Hide();
    bar->Realign();
    EXPECT_EQ(sep->Left(), 0);
    bar->SetButtonWidth(30);
    EXPECT_EQ(b->Width(), 30);
    EXPECT_EQ(b->Height(), bar->ButtonHeight());
}

TEST_F(ToolBar, BoxesLineUpWithTheButtonsAtTheirOwnWidth)
{
    auto* a = AddButton(bar, tbsButton, "A");
    auto* box = Create<TComboBox>(form);
    box->SetBounds(0, 0, 70, 18);
    box->SetParent(bar);
    auto* b = AddButton(bar, tbsDropDown, "B");
    bar->Realign();
    EXPECT_EQ(box->Left(), a->Width());
    EXPECT_EQ(box->Width(), 70);
    EXPECT_EQ(box->Top(), (bar->ButtonHeight() - 18) / 2);
    EXPECT_EQ(b->Left(), a->Width() + 70);
}

TEST_F(ToolBar, CheckButtonsToggleAndGroupsActAsRadioButtons)
{
    auto* plain = AddButton(bar, tbsButton, "Plain");
    auto* g1 = AddButton(bar, tbsCheck, "G1");
    auto* g2 = AddButton(bar, tbsCheck, "G2");
    auto* g3 = AddButton(bar, tbsCheck, "G3");
    auto* lone = AddButton(bar, tbsCheck, "Lone");
    for (TToolButton* b : {g1, g2, g3})
        b->SetGrouped(true);
    int clicks = 0;
    bool downInClick = false;
    lone->OnClick = [&](TObject*) { ++clicks; downInClick = lone->Down(); };

    // A plain button never stays down.
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());
    // The check toggles before OnClick sees it.
    lone->Click();
    EXPECT_TRUE(lone->Down());
    EXPECT_TRUE(downInClick);
    lone->Click();
    EXPECT_FALSE(lone->Down());
    EXPECT_EQ(clicks, 2);

    g1->SetDown(true);
    g3->Click();
    EXPECT_FALSE(g1->Down());
    EXPECT_TRUE(g3->Down());
    // The last one down cannot be raised unless all may be up.
    g3->Click();
    EXPECT_TRUE(g3->Down());
    g3->SetAllowAllUp(true);
    g3->Click();
    EXPECT_FALSE(g3->Down());
    EXPECT_FALSE(g2->Down());
    // The lone check button is not part of the group.
    lone->SetDown(true);
    g2->Click();
    EXPECT_TRUE(lone->Down());
}

TEST_F(ToolBar, AMouseClickOnAButtonFiresItsOnClick)
{
    auto* a = AddButton(bar, tbsButton, "A");
    auto* b = AddButton(bar, tbsButton, "B");
    int clickedA = 0, clickedB = 0;
    a->OnClick = [&](TObject*) { ++clickedA; };
    b->OnClick = [&](TObject*) { ++clickedB; };
    form->Show();
    Click(b, {3, 3});
    EXPECT_EQ(clickedB, 1);
    EXPECT_EQ(clickedA, 0);
    // A disabled button ignores the click.
    b->SetEnabled(false);
    NextClick();
    Click(b, {3, 3});
    EXPECT_EQ(clickedB, 1);
}

TEST_F(ToolBar, ButtonsFollowTheirActionAndRunIt)
{
    auto* list = Create<TActionList>(form);
    auto* act = Create<TAction>(form);
    act->SetActionList(list);
    act->SetCaption("Delete Selected Tasks");
    act->SetHint("Delete");
    int runs = 0;
    act->OnExecute = [&](TObject*) { ++runs; };
    auto* first = AddButton(bar, tbsButton, "First");
    auto* b = AddButton(bar, tbsButton, "B");
    auto* last = AddButton(bar, tbsButton, "Last");
    b->SetAction(act);
    EXPECT_EQ(b->Caption(), "Delete Selected Tasks");
    EXPECT_EQ(b->Hint(), "Delete");
    b->Click();
    EXPECT_EQ(runs, 1);

    // The idle update disables the action, and the button with it.
    act->OnUpdate = [&](TObject*) { act->SetEnabled(false); };
    list->UpdateActions();
    EXPECT_FALSE(b->Enabled());
    b->Click();
    EXPECT_EQ(runs, 1);
    // A hidden action takes its button off the bar's row.
    act->SetVisible(false);
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(last->Left(), first->Width());
    // A freed action leaves the button alone.
    delete act;
    EXPECT_EQ(b->Action(), nullptr);
    b->Click();
    EXPECT_EQ(runs, 1);
}
