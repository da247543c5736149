// The archive dialog.
#include "shell/dialogs/ArchivDialog.h"

#include "document/ScheduleDocument.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "shell/Translation.h"

TArchivDialog::TArchivDialog(TComponent* AOwner, TScheduleDocument* Document) : TForm(AOwner), FDocument(Document)
{
    SetName("ArchivDialog");
    SetCaption("Archiv Table");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(424);
    SetClientHeight(160);
    auto label = [this](const char* Name, const char* Caption, int Left, int Top, int Width) {
        return Build<TLabel>(this, Name).Parent(this).Bounds(Left, Top, Width, 17).Caption(Caption).Get();
    };
    auto picker = [this](const char* Name, int Left, int Top) {
        return Build<TDateTimePicker>(this, Name).Parent(this).Bounds(Left, Top, 110, 23).Get();
    };
    label("Label1", "Tasks available from", 12, 16, 140);
    DateTimePickerFrom = picker("DateTimePickerFrom", 156, 12);
    label("Label2", "till", 274, 16, 30);
    DateTimePickerTo = picker("DateTimePickerTo", 304, 12);
    // The range is shown, not chosen.
    DateTimePickerFrom->SetEnabled(false);
    DateTimePickerTo->SetEnabled(false);
    label("Label3", "all Tasks before ", 12, 52, 140);
    DateTimePicker1 = picker("DateTimePicker1", 156, 48);
    DateTimePicker1->OnChange = [this](TObject*) { DateTimePicker1Change(); };
    label("Label4", "archiv.", 274, 52, 100);
    label("Label5", "No. of selected Tasks: ", 12, 88, 140);
    Edit1 = Build<TEdit>(this, "Edit1").Parent(this).Bounds(156, 84, 110, 23).Get();
    Edit1->SetReadOnly(true);
    Button1 = Build<TButton>(this, "Button1").Parent(this).Bounds(238, 124, 85, 27).Caption("OK").Get();
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = Build<TButton>(this, "Button2").Parent(this).Bounds(329, 124, 85, 27).Caption("Cancel").Get();
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);
}

void TArchivDialog::DateTimePicker1Change()
{
    FDocument->CountArchivable(DateTimePicker1->Date(), Fcount, FTotal);
    Edit1->SetText(IntToStr(Fcount) + " von " + IntToStr(FTotal));
    Button1->SetEnabled(Fcount > 0);
}

void TArchivDialog::Button1Click()
{
    if (Fcount == FTotal &&
        !FDocument->AskConfirmation(::Translate("Alle %s Einträge archivieren?", {IntToStr(Fcount)})))
        return;
    FDocument->ArchiveRows(DateTimePicker1->Date());
    SetModalResult(mrOk);
}

int TArchivDialog::Execute(TDateTime First, TDateTime Last, TDateTime ArchiveDate)
{
    DateTimePickerFrom->SetDateTime(First);
    DateTimePickerTo->SetDateTime(Last);
    DateTimePicker1->SetDateTime(ArchiveDate);
    DateTimePicker1Change();
    return ShowModal();
}
