// The modal protocol: results set before OnClick, staying open, OnActivate,
// Enter and Escape, closing, nesting, key preview and shortcuts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "platform/Buttons.h"
#include "platform/Forms.h"
#include "platform/FormBuilder.h"
#include "platform/Menus.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

using THookGuard = TModalHookGuard;

// A dialog with OK (default), Cancel (cancel) and a field; freed with the test.
struct TDialogForm {
    TForm* Form;
    TButton* Ok;
    TButton* Cancel;
    TRecordingControl* Field;

    TDialogForm()
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetName("Dialog");
        Form->SetBounds(0, 0, 300, 200);
        Ok = Build<TButton>(Form, "OK").Parent(Form).Bounds(10, 150, 75, 25).Caption("OK");
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Cancel = Build<TButton>(Form, "CancelButton").Parent(Form).Bounds(100, 150, 75, 25).Caption("Cancel");
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
        Field = Build<TRecordingControl>(Form, "Field").Parent(Form).Bounds(10, 10, 100, 20);
        Field->SetTabStop(true);
    }
    TDialogForm(const TDialogForm&) = delete;
    TDialogForm& operator=(const TDialogForm&) = delete;
    ~TDialogForm() { delete Form; }
};

}  // namespace

TEST(Modal, ResultIsOnTheFormBeforeOnClickAndTheHandlerMayKeepItOpen)
{
    TDialogForm d;
    std::vector<String> order;
    int clicks = 0;
    d.Form->OnActivate = [&](TObject*) { order.push_back("activate"); };
    d.Ok->OnClick = [&](TObject*) {
        order.push_back("click with result " + std::to_string(d.Form->ModalResult()));
        if (++clicks == 1)
            d.Form->SetModalResult(mrNone);  // first click: input not valid yet
    };
    THookGuard hook([&](TCustomForm* F) {
        order.push_back("hook");
        EXPECT_EQ(F, d.Form);
        EXPECT_TRUE(F->Modal());
        // The other windows are blocked while it is open.
        EXPECT_EQ(QApplication::activeModalWidget(), static_cast<QWidget*>(F->Host()));
        d.Ok->Click();
        EXPECT_EQ(F->ModalResult(), mrNone);
        d.Ok->Click();
    });
    EXPECT_EQ(d.Form->ShowModal(), mrOk);
    EXPECT_EQ(order, (std::vector<String>{"activate", "hook", "click with result 1", "click with result 1"}));
    EXPECT_FALSE(d.Form->Visible());
    EXPECT_FALSE(d.Form->Modal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Modal, EnterPressesTheDefaultButtonAndEscapeTheCancelButton)
{
    TDialogForm d;
    for (Word key : {VK_RETURN, VK_ESCAPE}) {
        THookGuard hook([&](TCustomForm*) {
            d.Field->SetFocus();
            KeyDown(d.Field, key);
        });
        EXPECT_EQ(d.Form->ShowModal(), key == VK_RETURN ? mrOk : mrCancel);
    }
    // A disabled default button is not pressed; nothing answers, so the
    // platform cancels the form instead of waiting.
    d.Ok->SetEnabled(false);
    bool clicked = false;
    d.Ok->OnClick = [&](TObject*) { clicked = true; };
    d.Cancel->SetCancel(false);
    THookGuard hook([&](TCustomForm*) { KeyDown(d.Form, VK_RETURN); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    EXPECT_FALSE(clicked);
}

TEST(Modal, CloseCancelsAndCloseQueryCanRefuse)
{
    TDialogForm d;
    int closes = 0;
    d.Form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    {
        THookGuard hook([](TCustomForm* F) { F->Close(); });
        EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    }
    EXPECT_EQ(closes, 1);
    d.Form->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
    {
        THookGuard hook([&](TCustomForm*) { d.Ok->Click(); });
        EXPECT_EQ(d.Form->ShowModal(), mrNone);
    }
    EXPECT_EQ(closes, 1);
    d.Form->OnCloseQuery = nullptr;
    d.Form->OnClose = [](TObject*, TCloseAction& A) { A = caNone; };
    {
        THookGuard hook([&](TCustomForm*) { d.Ok->Click(); });
        EXPECT_EQ(d.Form->ShowModal(), mrNone);
    }
}

TEST(Modal, NestedFormsAreAnsweredInTurnAndAVisibleFormCannotGoModal)
{
    TDialogForm outer;
    TDialogForm inner;
    inner.Form->SetName("Inner");
    int innerResult = -1;
    outer.Ok->OnClick = [&](TObject*) { innerResult = inner.Form->ShowModal(); };
    THookGuard hook([&](TCustomForm* F) {
        if (F == outer.Form)
            outer.Ok->Click();
        else
            inner.Cancel->Click();
    });
    EXPECT_EQ(outer.Form->ShowModal(), mrOk);
    EXPECT_EQ(innerResult, mrCancel);
    outer.Form->Show();
    EXPECT_THROW(outer.Form->ShowModal(), EInvalidOperation);
}

TEST(Modal, KeyPreviewSeesKeysFirstAndShortcutsRunMenuItems)
{
    TDialogForm d;
    std::vector<String> seen;
    d.Form->SetKeyPreview(true);
    d.Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        seen.push_back("form " + std::to_string(Key));
        if (Key == VK_DELETE)
            Key = 0;
    };
    d.Field->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { seen.push_back("field " + std::to_string(Key)); };
    auto* menu = Create<TMainMenu>(d.Form);
    auto* item = Create<TMenuItem>(d.Form);
    item->SetCaption("&New");
    item->SetShortCut(ShortCut('N', TShiftState{ssCtrl}));
    int news = 0;
    item->OnClick = [&](TObject*) { ++news; };
    menu->Items()->Add(item);
    d.Form->SetMenu(menu);
    d.Form->Show();
    d.Field->SetFocus();
    KeyDown(d.Field, VK_LEFT);
    KeyDown(d.Field, VK_DELETE);
    KeyDown(d.Field, 'N', "", TShiftState{ssCtrl});
    EXPECT_EQ(seen, (std::vector<String>{"form 37", "field 37", "form 46", "form 78"}));
    EXPECT_EQ(news, 1);
    item->SetEnabled(false);
    KeyDown(d.Field, 'N', "", TShiftState{ssCtrl});
    EXPECT_EQ(news, 1);
}
