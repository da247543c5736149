// The message box: buttons in order with default and cancel, sizes within
// the screen, line breaks, Ctrl+C, answers through the modal hook.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Buttons.h"
#include "platform/StdCtrls.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

namespace {

std::vector<TButton*> ButtonsOf(TMessageForm* F)
{
    std::vector<TButton*> r;
    for (int i = 0; i < F->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(F->Components(i)))
            r.push_back(b);
    return r;
}

String Names(TMessageForm* F, bool (TButton::*Role)() const)
{
    String r;
    for (TButton* b : ButtonsOf(F))
        if ((b->*Role)())
            r += b->Name();
    return r;
}

}  // namespace

TEST(MessageDlg, ButtonOrderDefaultAndCancelForEachSet)
{
    EnsureApplication();
    SetLanguagefile("/nonexistent/none.lng");
    struct TCase {
        TMsgDlgButtons Buttons;
        const char* Order;
        const char* Default;
        const char* Cancel;
    };
    const TCase cases[] = {
        {{mbCancel, mbNo, mbYes}, "Yes No Cancel ", "Yes", "Cancel"},
        {{mbYes, mbNo}, "Yes No ", "Yes", "No"},
        {{mbAbort, mbRetry, mbIgnore}, "Abort Retry Ignore ", "Retry", ""},
        {{mbOK}, "OK ", "OK", "OK"},
        {{mbOK, mbCancel, mbHelp}, "OK Cancel Help ", "OK", "Cancel"},
        {{mbYesToAll, mbNoToAll, mbAll, mbClose}, "All NoToAll YesToAll Close ", "", ""},
    };
    for (const TCase& c : cases) {
        TMessageForm* f = CreateMessageDialog("Question?", mtConfirmation, c.Buttons);
        String order;
        int lastLeft = -1;
        for (TButton* b : ButtonsOf(f)) {
            order += b->Name() + " ";
            EXPECT_GT(b->Left(), lastLeft);
            lastLeft = b->Left();
        }
        EXPECT_EQ(order, c.Order);
        EXPECT_EQ(Names(f, &TButton::Default), c.Default) << order;
        EXPECT_EQ(Names(f, &TButton::Cancel), c.Cancel) << order;
        EXPECT_EQ(f->Caption(), "Confirm");
        delete f;
    }
}

TEST(MessageDlg, ResultsComeThroughTheModalHookAndEscapeCancels)
{
    EnsureApplication();
    SetModalHook([](TCustomForm* F) {
        EXPECT_TRUE(F->Modal());
        static_cast<TButton*>(F->FindComponent("No"))->Click();
    });
    EXPECT_EQ(MessageDlg("Save?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrNo);
    SetModalHook([](TCustomForm* F) { KeyDown(F, VK_ESCAPE); });
    EXPECT_EQ(MessageDlg("Save?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrCancel);
    SetModalHook([](TCustomForm* F) { KeyDown(F, VK_RETURN); });
    EXPECT_EQ(MessageDlg("Failed", mtError, {mbAbort, mbRetry, mbIgnore}), mrRetry);
    SetModalHook(nullptr);
}

TEST(MessageDlg, SizeFollowsTextAndButtonsAndStaysOnTheScreen)
{
    EnsureApplication();
    TMessageForm* shortBox = CreateMessageDialog("Hi", mtCustom, {mbYes, mbNo, mbOK, mbCancel, mbAbort});
    const auto buttons = ButtonsOf(shortBox);
    ASSERT_EQ(buttons.size(), 5u);
    const int row = buttons.back()->Left() + buttons.back()->Width() - buttons.front()->Left();
    // The row is centred with the margins on both sides.
    EXPECT_EQ(buttons.front()->Left(), shortBox->ClientWidth() - (buttons.back()->Left() + buttons.back()->Width()));
    EXPECT_LT(row, shortBox->ClientWidth());
    EXPECT_EQ(shortBox->FindComponent("Image"), nullptr);

    String longText;
    for (int i = 0; i < 400; ++i)
        longText += "word ";
    TMessageForm* longBox = CreateMessageDialog(longText, mtWarning, {mbOK});
    EXPECT_LE(longBox->Message->Width(), Screen->Width() / 2);
    EXPECT_GT(longBox->Message->Height(), longBox->Message->Width() / 20);
    EXPECT_NE(longBox->FindComponent("Image"), nullptr);

    String tall;
    for (int i = 0; i < 3000; ++i)
        tall += "line\r\n";
    TMessageForm* tallBox = CreateMessageDialog(tall, mtInformation, {mbOK});
    const TRect work = Screen->WorkAreaRect();
    EXPECT_LE(tallBox->Height(), work.Height());
    EXPECT_GE(tallBox->Top(), work.Top);
    auto* ok = static_cast<TButton*>(tallBox->FindComponent("OK"));
    EXPECT_LE(ok->Top() + ok->Height(), tallBox->ClientHeight());
    delete shortBox;
    delete longBox;
    delete tallBox;
}

TEST(MessageDlg, LineBreaksAndCtrlCCopy)
{
    EnsureApplication();
    TMessageForm* f = CreateMessageDialog("one\rtwo\nthree\r\nfour", mtWarning, {mbOK, mbCancel});
    EXPECT_EQ(f->Message->Caption(), "one\ntwo\nthree\nfour");
    String copied;
    int copies = 0;
    SetClipboardTextWriter([&](const String& T) {
        copied = T;
        ++copies;
        return true;
    });
    Word key = 'C';
    f->CustomKeyDown(f, key, TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(copies, 0);
    f->CustomKeyDown(f, key, TShiftState{ssCtrl});
    const String d = String(27, '-') + "\r\n";
    EXPECT_EQ(copied, d + "Warning\r\n" + d + "one\r\ntwo\r\nthree\r\nfour\r\n" + d + "OK   Cancel   \r\n" + d);
    SetClipboardTextWriter([](const String&) { return false; });
    EXPECT_THROW(f->CustomKeyDown(f, key, TShiftState{ssCtrl}), Exception);
    SetClipboardTextWriter(nullptr);
    delete f;
}

TEST(MessageDlg, GermanCaptionsFromTheShippedFileWhileWidthsStayAsFirstMeasured)
{
    EnsureApplication();
    const String data = vektest::DataPath("");
    TMessageForm* before = CreateMessageDialog("x", mtConfirmation, {mbYesToAll, mbNoToAll});
    const int width = before->FindComponent("YesToAll") ? static_cast<TButton*>(before->FindComponent("YesToAll"))->Width() : 0;
    delete before;
    SetProgramFolder(data + "/../../resources");
    SetLanguagefile(LanguageFileName("Deutsch"));
    ASSERT_TRUE(LanguageFileLoaded());
    TMessageForm* f = CreateMessageDialog("x", mtConfirmation, {mbYes, mbNo, mbCancel, mbYesToAll, mbNoToAll});
    EXPECT_EQ(f->Caption(), "Bestätigen");
    EXPECT_EQ(static_cast<TButton*>(f->FindComponent("No"))->Caption(), "&Nein");
    EXPECT_EQ(static_cast<TButton*>(f->FindComponent("Cancel"))->Caption(), "Abbrechen");
    EXPECT_EQ(static_cast<TButton*>(f->FindComponent("YesToAll"))->Width(), width);
    EXPECT_EQ(Translate("Version %s", {GetFileVersion()}), "Version " + GetFileVersion());
    delete f;
    SetLanguagefile("/nonexistent/none.lng");
    SetProgramFolder(String());
}
