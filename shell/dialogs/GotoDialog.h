#pragma once
// TGotoDialog ("goto Date"): one date and OK or Cancel; the main window's
// "Goto Date..." fills it and acts on OK.
#include "platform/Forms.h"

class TButton;
class TDateTimePicker;

class TGotoDialog : public TForm {
    VEK_DECLARE_CLASS(TGotoDialog, TForm)
public:
    explicit TGotoDialog(TComponent* AOwner);

    TDateTimePicker* DateTimePicker1 = nullptr;
    TButton* Button1 = nullptr;  // OK
    TButton* Button2 = nullptr;  // Cancel
};
