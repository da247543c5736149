// Tab and Shift+Tab over a form's controls in tab order, what each kind of
// control keeps for itself, and Enter and Escape for the dialog buttons.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

// A control of our own that keeps the keys its dialog code names and
// records what reaches it.
class TKeyKeeper : public TCustomControl {
public:
    explicit TKeyKeeper(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    LRESULT Wants = DLGC_WANTTAB;
    std::vector<Word> Keys;
    std::vector<UINT> AskedFor;

    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_GETDLGCODE) {
            AskedFor.push_back(UINT(Message.WParam));
            Message.Result = Wants;
            return;
        }
        if (Message.Msg == WM_KEYDOWN)
            Keys.push_back(Word(Message.WParam));
        TCustomControl::Dispatch(Message);
    }
};

class FocusNavigationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Edit = Add<TEdit>(Form, 10);
        Panel = Add<TPanel>(Form, 40);
        Panel->SetHeight(80);
        Memo = Add<TMemo>(Panel, 5);
        Memo->SetWantTabs(true);
        Disabled = Add<TEdit>(Panel, 40);
        Disabled->SetEnabled(false);
        Hidden = Add<TEdit>(Form, 130);
        Hidden->SetVisible(false);
        Keeper = Add<TKeyKeeper>(Form, 160);
        Ok = Add<TButton>(Form, 200);
        Ok->SetDefault(true);
        Cancel = Add<TButton>(Form, 230);
        Cancel->SetCancel(true);
        Ok->OnClick = [this](TObject*) { Clicks.push_back("ok"); };
        Cancel->OnClick = [this](TObject*) { Clicks.push_back("cancel"); };
        Edit->OnKeyPress = [this](TObject*, WideChar& Key) { EditChars.push_back(Key); };
        Memo->OnKeyPress = [this](TObject*, WideChar& Key) { MemoChars.push_back(Key); };
        Form->Show();
    }
    void TearDown() override { delete Form; }

    template <class T>
    T* Add(TWinControl* Parent, int Top)
    {
        T* c = Create<T>(Form);
        c->SetParent(Parent);
        c->SetBounds(10, Top, 150, 24);
        return c;
    }
    // A press and release of a key where the focus is.
    void Press(Word Key, const String& Text = "", TShiftState Shift = {})
    {
        TWinControl* at = FindFocusedControl() ? FindFocusedControl() : Form;
        KeyDown(at, Key, Text, Shift);
        KeyUp(at, Key, Shift);
    }
    void Tab(bool Back = false) { Press(VK_TAB, Back ? "" : "\t", Back ? TShiftState{ssShift} : TShiftState{}); }

    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TPanel* Panel = nullptr;
    TMemo* Memo = nullptr;
    TEdit* Disabled = nullptr;
    TEdit* Hidden = nullptr;
    TKeyKeeper* Keeper = nullptr;
    TButton* Ok = nullptr;
    TButton* Cancel = nullptr;
    std::vector<String> Clicks;
    std::vector<WideChar> EditChars, MemoChars;
};

}  // namespace

TEST_F(FocusNavigationTest, TabWalksTheTabOrderBothWaysAndWraps)
{
    // Showing the form focused its first control in tab order.
    EXPECT_EQ(FindFocusedControl(), Edit);
    Tab();
    EXPECT_EQ(FindFocusedControl(), Memo);  // into the panel, depth first
    EXPECT_TRUE(EditChars.empty());         // the Tab typed nothing
    Memo->SetWantTabs(false);
    Tab();
    EXPECT_EQ(FindFocusedControl(), Keeper);  // past the disabled and the hidden
    Ok->SetFocus();
    Tab();
    EXPECT_EQ(FindFocusedControl(), Cancel);
    Tab();
    EXPECT_EQ(FindFocusedControl(), Edit);  // wrapped
    Tab(true);
    EXPECT_EQ(FindFocusedControl(), Cancel);  // and back
    Tab(true);
    Tab(true);
    EXPECT_EQ(FindFocusedControl(), Keeper);
    Tab(true);  // the keeper keeps its Tab, Shift+Tab as well
    EXPECT_EQ(FindFocusedControl(), Keeper);
    EXPECT_EQ(Keeper->Keys, std::vector<Word>{VK_TAB});
    // The code is asked before every key, with the key.
    Press('A', "a");
    EXPECT_EQ(Keeper->AskedFor, (std::vector<UINT>{VK_TAB, 'A'}));

    // A container of no tab stop and a form without any: nothing to go to.
    TForm* empty = Create<TForm>(nullptr);
    EXPECT_EQ(empty->FindNextControl(nullptr, true, true, false), nullptr);
    delete empty;
    EXPECT_EQ(Panel->FindNextControl(Memo, true, true, false), nullptr);  // the other is disabled
}

TEST_F(FocusNavigationTest, TabOrderIsCreationOrderUntilSet)
{
    EXPECT_EQ(Edit->TabOrder(), 0);
    EXPECT_EQ(Panel->TabOrder(), 1);
    EXPECT_EQ(Memo->TabOrder(), 0);
    EXPECT_EQ(Cancel->TabOrder(), 5);
    EXPECT_EQ(Form->TabOrder(), -1);
    Cancel->SetTabOrder(0);
    EXPECT_EQ(Cancel->TabOrder(), 0);
    EXPECT_EQ(Edit->TabOrder(), 1);
    EXPECT_EQ(Ok->TabOrder(), 5);
    Tab(true);
    EXPECT_EQ(FindFocusedControl(), Cancel);
    Tab(true);
    EXPECT_EQ(FindFocusedControl(), Ok);  // wrapped to the last
    Edit->SetTabOrder(99);                 // past the end: the last
    EXPECT_EQ(Edit->TabOrder(), 5);
    Tab();
    EXPECT_EQ(FindFocusedControl(), Edit);
    // A control taken out leaves the order; put back, it comes last.
    Panel->SetParent(nullptr);
    EXPECT_EQ(Panel->TabOrder(), -1);
    EXPECT_EQ(Keeper->TabOrder(), 2);
    Panel->SetParent(Form);
    EXPECT_EQ(Panel->TabOrder(), 5);
}

TEST_F(FocusNavigationTest, EnterAndEscapeReachTheControlThenTheButtons)
{
    // An edit leaves Enter and Escape to the form's buttons; the key types
    // nothing.
    Press(VK_RETURN, "\r");
    Press(VK_ESCAPE, "\x1b");
    EXPECT_EQ(Clicks, (std::vector<String>{"ok", "cancel"}));
    EXPECT_TRUE(EditChars.empty());
    // A memo keeps Enter (it wants returns) but not Escape.
    Memo->SetFocus();
    Press(VK_RETURN, "\r");
    EXPECT_EQ(Clicks.size(), 2u);
    EXPECT_EQ(MemoChars, std::vector<WideChar>{u'\r'});
    Memo->SetWantReturns(false);
    Press(VK_RETURN, "\r");
    Press(VK_ESCAPE, "\x1b");
    EXPECT_EQ(Clicks, (std::vector<String>{"ok", "cancel", "ok", "cancel"}));
    // A control that wants all keys keeps both; a focused button takes
    // Enter itself.
    Keeper->Wants = DLGC_WANTALLKEYS;
    Keeper->SetFocus();
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    EXPECT_EQ(Keeper->Keys, (std::vector<Word>{VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(Clicks.size(), 4u);
    Cancel->SetFocus();
    Press(VK_RETURN, "\r");
    EXPECT_EQ(Clicks.back(), "cancel");
}

TEST_F(FocusNavigationTest, ModalDialogsTabAndAnswerByKeys)
{
    auto* dialog = Create<TForm>(nullptr);
    dialog->SetBounds(50, 50, 300, 200);
    auto* first = Create<TEdit>(dialog);
    first->SetParent(dialog);
    auto* second = Create<TEdit>(dialog);
    second->SetParent(dialog);
    second->SetTop(30);
    auto* close = Create<TButton>(dialog);
    close->SetParent(dialog);
    close->SetTop(60);
    close->SetCancel(true);
    close->SetModalResult(mrCancel);
    auto* ok = Create<TButton>(dialog);
    ok->SetParent(dialog);
    ok->SetTop(90);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    std::vector<TWinControl*> seen;
    SetModalHook([&](TCustomForm*) {
        seen.push_back(FindFocusedControl());
        KeyDown(FindFocusedControl(), VK_TAB, "\t");
        seen.push_back(FindFocusedControl());
        KeyDown(FindFocusedControl(), VK_TAB, "", {ssShift});
        KeyDown(FindFocusedControl(), VK_TAB, "", {ssShift});
        seen.push_back(FindFocusedControl());
        KeyDown(FindFocusedControl(), VK_ESCAPE, "\x1b");
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(seen, (std::vector<TWinControl*>{first, second, ok}));
    SetModalHook([&](TCustomForm*) {
        second->SetFocus();
        KeyDown(second, VK_RETURN, "\r");
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    SetModalHook(nullptr);
    // Back on the form: its control has the keys again.
    EXPECT_EQ(FindFocusedControl(), Edit);
    delete dialog;
}
