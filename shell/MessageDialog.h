#pragma once
// The program's own message box: an icon, the message and a row of
// buttons, its caption and buttons translated, its content copied by Ctrl+C.
// Callers pass a translated message.
#include <functional>

#include "platform/Forms.h"

class TLabel;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = TSet<TMsgDlgBtn, 12>;

class TMessageForm : public TForm {
    VEK_DECLARE_CLASS(TMessageForm, TForm)

public:
    explicit TMessageForm(TComponent* AOwner);

    TLabel* Message = nullptr;
    int FHelpContext = 0;
    String HelpFile;

    // Ctrl+C (Ctrl alone) copies GetFormText to the clipboard.
    void CustomKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    String GetFormText();
    // Raises "Cannot open clipboard" when the text cannot be placed.
    void WriteToClipBoard(const String& Text);
    void HelpButtonClick(TObject* Sender);
};

// Places text on the clipboard; false when it cannot. The program installs
// the platform's clipboard here; tests install their own.
using TClipboardTextWriter = std::function<bool(const String& Text)>;
void SetClipboardTextWriter(TClipboardTextWriter Writer);

TMessageForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
int MessageDlgPosHelp(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y,
    const String& HelpFileName);
// "2.9.0", with " prerelease" for a pre-release build.
String GetFileVersion();
