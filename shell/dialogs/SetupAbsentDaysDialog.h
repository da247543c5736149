#pragma once
// TSetupAbsentDaysDialog ('Edit Table "Absent days"'): the absence reasons,
// one per line, the reason new absences start with, and whether absences
// count working days. The main window fills it and applies it back; OK
// calls OnOK before the dialog closes.
#include "platform/Forms.h"
#include "platform/StringList.h"

class TButton;
class TCheckBox;
class TComboBox;
class TLabel;
class TMemo;

class TSetupAbsentDaysDialog : public TForm {
    VEK_DECLARE_CLASS(TSetupAbsentDaysDialog, TForm)
public:
    explicit TSetupAbsentDaysDialog(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TMemo* Memo1 = nullptr;
    TLabel* Label2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* Button1 = nullptr;  // OK
    TButton* Button2 = nullptr;  // Cancel
    bool FWasActive = false;
    TNotifyEvent OnOK;

    // The memo's lines and the default among them (none when it is not one
    // of them).
    void SetReasons(const TStrings& Reasons, const String& Default);

private:
    // The default box lists the memo's lines, keeping its selected index.
    void Memo1Change();
};
