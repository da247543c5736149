// Menus: shortcut texts, trees built and cleared at run time, radio items,
// popups answered by the hook.
#include <gtest/gtest.h>

#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "tests/support/PlatformFixture.h"

TEST(Menus, ShortCutTextsRoundTripAndBadTextGivesNone)
{
    const TShortCut s = ShortCut('S', TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(s, TShortCut('S' | scCtrl | scShift));
    EXPECT_EQ(ShortCutToText(s), "Shift+Ctrl+S");
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+S"), s);
    EXPECT_EQ(TextToShortCut("ctrl+f5"), TShortCut(VK_F1 + 4) | scCtrl);
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), "Del");
    EXPECT_EQ(TextToShortCut("Alt+PgDn"), TShortCut(VK_NEXT | scAlt));
    for (const char* bad : {"", "Ctrl+", "Ctrl+Nothing", "Hyper+A", "++"})
        EXPECT_EQ(TextToShortCut(bad), 0) << bad;
    EXPECT_EQ(TextToShortCut(String(10000, 'A')), 0);
    EXPECT_EQ(ShortCutToText(0), "");
    Word key;
    TShiftState shift;
    ShortCutToKey(s, key, shift);
    EXPECT_EQ(key, 'S');
    EXPECT_TRUE(shift.Contains(ssCtrl) && shift.Contains(ssShift) && !shift.Contains(ssAlt));
}

TEST(Menus, ItemsAreAddedAndClearedAtRunTime)
{
    auto* f = Create<TForm>(nullptr);
    auto* menu = Build<TMainMenu>(f, "MainMenu1").Get();
    auto* window = Build<TMenuItem>(f, "Fenster1").Caption("&Window").Get();
    menu->Items()->Add(window);
    std::vector<NativeInt> picked;
    for (int round = 0; round < 2; ++round) {
        window->Clear();
        for (int i = 0; i < 3 + round; ++i) {
            auto* it = new TMenuItem(nullptr);
            it->SetCaption(std::to_string(i + 1) + " plan" + std::to_string(i));
            it->SetTag(100 + i);
            it->OnClick = [&](TObject* S) { picked.push_back(static_cast<TMenuItem*>(S)->Tag()); };
            window->Add(it);
        }
        EXPECT_EQ(window->Count(), 3 + round);
    }
    EXPECT_EQ(window->Find("2 PLAN1"), window->Items(1));
    window->Items(3)->Click();
    window->Items(0)->SetEnabled(false);
    window->Items(0)->Click();
    EXPECT_EQ(picked, (std::vector<NativeInt>{103}));
    // Taking an item out hands it back; putting it in twice is refused.
    TMenuItem* taken = window->Items(1);
    window->Delete(1);
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_EQ(window->Count(), 3);
    window->Add(taken);
    EXPECT_THROW(window->Add(taken), EInvalidOperation);
    EXPECT_THROW(taken->Add(window), EInvalidOperation);
    EXPECT_THROW(window->Items(9), EListError);
    // An owned item freed by its owner leaves its parent.
    auto* owned = Build<TMenuItem>(f, "Owned").Caption("x").Get();
    window->Add(owned);
    delete owned;
    EXPECT_EQ(window->IndexOf(owned), -1);
    delete f;
}

TEST(Menus, RadioItemsOfAGroupExcludeEachOther)
{
    TMenuItem root(nullptr);
    TMenuItem* items[4];
    for (int i = 0; i < 4; ++i) {
        items[i] = new TMenuItem(nullptr);
        items[i]->SetRadioItem(true);
        items[i]->SetGroupIndex(i < 3 ? 1 : 2);
        root.Add(items[i]);
    }
    items[0]->SetChecked(true);
    items[3]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    EXPECT_TRUE(items[3]->Checked());  // another group
}

TEST(Menus, PopupFiresOnPopupAndTheHookMayChoose)
{
    auto* f = Create<TForm>(nullptr);
    auto* popup = Build<TPopupMenu>(f, "Popup").Get();
    auto* item = Build<TMenuItem>(f, "Paste").Caption("paste Task here").Get();
    item->SetAutoCheck(true);
    popup->Items()->Add(item);
    int popups = 0, pastes = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    item->OnClick = [&](TObject*) { ++pastes; };
    SetPopupMenuHook([](TPopupMenu* M) { M->Items()->Items(0)->Click(); });
    popup->Popup(120, 80);
    SetPopupMenuHook(nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(pastes, 1);
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(popup->PopupPoint(), TPoint(120, 80));
    delete f;
}
