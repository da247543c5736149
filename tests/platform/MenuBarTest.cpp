// The main menu's bar: entries laid out from the menu's items as they are
// now, a press dropping down the sub-items or clicking a lone item.
#include <gtest/gtest.h>

#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/MenuBar.h"
#include "platform/Menus.h"
#include "tests/support/PlatformFixture.h"

namespace {

TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, const String& Caption)
{
    auto* item = Create<TMenuItem>(Owner);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

}  // namespace

TEST(MenuBar, EntriesFollowTheMenuAndPressesReachTheItems)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    auto* menu = Create<TMainMenu>(form);
    TMenuItem* file = AddItem(menu->Items(), form, "&File");
    TMenuItem* open = AddItem(file, form, "Open");
    TMenuItem* hidden = AddItem(menu->Items(), form, "Hidden");
    hidden->SetVisible(false);
    TMenuItem* help = AddItem(menu->Items(), form, "Help");
    int helpClicks = 0;
    help->OnClick = [&](TObject*) { ++helpClicks; };
    auto* bar = Build<TMenuBar>(form, "Bar").Parent(form).Align(alTop).Get();
    bar->SetMenu(menu);

    const TRect fileRect = bar->ItemRect(file);
    const TRect helpRect = bar->ItemRect(help);
    ASSERT_FALSE(fileRect.IsEmpty());
    EXPECT_TRUE(bar->ItemRect(hidden).IsEmpty());
    // A hidden item takes no room: Help follows File directly.
    EXPECT_EQ(helpRect.Left, fileRect.Right);
    EXPECT_EQ(bar->ItemAt(fileRect.Left + 1), file);
    EXPECT_EQ(bar->ItemAt(helpRect.Right - 1), help);
    EXPECT_EQ(bar->ItemAt(helpRect.Right + 5), nullptr);

    std::vector<TMenuItem*> dropped;
    SetMenuDropDownHook([&](TMenuItem* Parent) { dropped.push_back(Parent); });
    Click(bar, TPoint{fileRect.Left + 2, 5});
    ASSERT_EQ(dropped.size(), 1U);
    EXPECT_EQ(dropped[0], file);
    Click(bar, TPoint{helpRect.Left + 2, 5});
    EXPECT_EQ(helpClicks, 1);
    EXPECT_EQ(dropped.size(), 1U);

    // Disabled entries do nothing; a menu rebuilt at run time shows as it is.
    file->SetEnabled(false);
    bar->DropDown(file);
    EXPECT_EQ(dropped.size(), 1U);
    open->SetCaption("Open a file");
    TMenuItem* extra = AddItem(menu->Items(), form, "Extra");
    EXPECT_EQ(bar->ItemRect(extra).Left, helpRect.Right);
    SetMenuDropDownHook(nullptr);

    // The bar lets go of a menu that is freed.
    delete menu;
    EXPECT_EQ(bar->Menu(), nullptr);
    EXPECT_EQ(bar->ItemAt(5), nullptr);
    delete form;
}
