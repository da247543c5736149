// Actions: clients follow them, the idle step updates them, shortcuts run
// them.
#include <gtest/gtest.h>

#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

TEST(Actions, MenuItemsAndButtonsFollowTheirActionAtIdle)
{
    EnsureApplication();
    auto* f = Create<TForm>(nullptr);
    auto* list = Build<TActionList>(f, "ActionList1").Get();
    auto* del = Build<TAction>(f, "ActionDelete").Get();
    del->SetActionList(list);
    del->SetCaption("Delete Selected Tasks");
    del->SetShortCut(ShortCut(VK_DELETE, {}));
    bool haveSelection = false;
    del->OnUpdate = [&](TObject*) { del->SetEnabled(haveSelection); };
    int runs = 0;
    del->OnExecute = [&](TObject*) { ++runs; };
    auto* item = Build<TMenuItem>(f, "DeleteItem").Get();
    item->SetAction(del);
    auto* button = Build<TButton>(f, "DeleteButton").Parent(f).Get();
    button->SetAction(del);
    auto* speed = Build<TSpeedButton>(f, "DeleteSpeed").Parent(f).Get();
    speed->SetAction(del);
    EXPECT_EQ(item->Caption(), "Delete Selected Tasks");
    EXPECT_EQ(button->Caption(), "Delete Selected Tasks");
    EXPECT_EQ(item->ShortCut(), ShortCut(VK_DELETE, {}));
    EXPECT_EQ(del->ClientCount(), 3);

    f->Show();
    Application->Idle();
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(speed->Enabled());
    haveSelection = true;
    Application->Idle();
    EXPECT_TRUE(item->Enabled());
    EXPECT_TRUE(button->Enabled());
    EXPECT_TRUE(speed->Enabled());

    item->Click();
    button->Click();
    EXPECT_EQ(runs, 2);
    // The shortcut runs the action, but only while OnUpdate allows it.
    EXPECT_TRUE(f->IsShortCut(VK_DELETE, {}));
    haveSelection = false;
    EXPECT_FALSE(f->IsShortCut(VK_DELETE, {}));
    EXPECT_EQ(runs, 3);

    // Freeing the action leaves its clients as they were, unlinked.
    delete del;
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(list->ActionCount(), 0);
    delete f;
}

TEST(Actions, HiddenFormsAreNotUpdatedAndGroupedChecksExclude)
{
    auto* f = Create<TForm>(nullptr);
    auto* list = Build<TActionList>(f, "List").Get();
    int updates = 0;
    TAction* a[2];
    for (int i = 0; i < 2; ++i) {
        a[i] = Build<TAction>(f, "A" + std::to_string(i)).Get();
        a[i]->SetActionList(list);
        a[i]->SetGroupIndex(3);
        a[i]->OnUpdate = [&](TObject*) { ++updates; };
    }
    if (Application->MainForm() != f) {
        UpdateAllActions();
        EXPECT_EQ(updates, 0);
    }
    list->UpdateActions();
    EXPECT_EQ(updates, 2);
    a[0]->SetChecked(true);
    a[1]->SetChecked(true);
    EXPECT_FALSE(a[0]->Checked());
    EXPECT_TRUE(a[1]->Checked());
    // A disabled action does not run.
    int runs = 0;
    a[0]->OnUpdate = nullptr;
    a[0]->OnExecute = [&](TObject*) { ++runs; };
    a[0]->SetEnabled(false);
    EXPECT_FALSE(a[0]->Execute());
    EXPECT_EQ(runs, 0);
    delete f;
}
