// The go-to-date dialog.
#include "shell/dialogs/GotoDialog.h"

#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"

TGotoDialog::TGotoDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("GotoDialog");
    SetCaption("goto Date");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(220);
    SetClientHeight(90);
    DateTimePicker1 = Build<TDateTimePicker>(this, "DateTimePicker1").Parent(this).Bounds(12, 12, 196, 23).Get();
    Button1 = Build<TButton>(this, "Button1").Parent(this).Bounds(32, 52, 85, 27).Caption("OK").Get();
    Button1->SetModalResult(mrOk);
    Button1->SetDefault(true);
    Button2 = Build<TButton>(this, "Button2").Parent(this).Bounds(123, 52, 85, 27).Caption("Cancel").Get();
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);
}
