// The absence reasons dialog.
#include "shell/dialogs/SetupAbsentDaysDialog.h"

#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"

TSetupAbsentDaysDialog::TSetupAbsentDaysDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SetupAbsentDaysDialog");
    SetCaption("Edit Table \"Absent days\"");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(330);
    Label1 = Build<TLabel>(this, "Label1").Parent(this).Bounds(12, 10, 300, 17).Caption("Absent reason").Get();
    Memo1 = Build<TMemo>(this, "Memo1").Parent(this).Bounds(12, 30, 306, 160).Get();
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetWordWrap(false);
    Memo1->OnChange = [this](TObject*) { Memo1Change(); };
    Label2 = Build<TLabel>(this, "Label2").Parent(this).Bounds(12, 202, 300, 17).Caption("Default for new Items")
                 .Get();
    ComboBox1 = Build<TComboBox>(this, "ComboBox1").Parent(this).Bounds(12, 222, 306, 23).Get();
    ComboBox1->SetStyle(csDropDownList);
    CheckBox1 = Build<TCheckBox>(this, "CheckBox1").Parent(this).Bounds(12, 256, 306, 21)
                    .Caption("Count Working Days").Get();
    Button1 = Build<TButton>(this, "Button1").Parent(this).Bounds(142, 292, 85, 27).Caption("OK").Get();
    Button1->SetDefault(true);
    Button1->SetModalResult(mrOk);
    Button1->OnClick = [this](TObject* Sender) {
        if (OnOK)
            OnOK(Sender);
    };
    Button2 = Build<TButton>(this, "Button2").Parent(this).Bounds(233, 292, 85, 27).Caption("Cancel").Get();
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
    OnActivate = [this](TObject*) { FWasActive = true; };
}

void TSetupAbsentDaysDialog::SetReasons(const TStrings& Reasons, const String& Default)
{
    Memo1->Lines()->Assign(Reasons);
    Memo1Change();
    ComboBox1->SetItemIndex(ComboBox1->Items()->IndexOf(Default));
}

void TSetupAbsentDaysDialog::Memo1Change()
{
    const int index = ComboBox1->ItemIndex();
    ComboBox1->Items()->Assign(Memo1->Lines());
    ComboBox1->SetItemIndex(index < ComboBox1->Items()->Count() ? index : -1);
}
