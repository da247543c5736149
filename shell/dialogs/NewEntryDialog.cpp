// The question after a bar is drawn: a task or an absent day?
#include "shell/dialogs/NewEntryDialog.h"

#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"
#include "shell/Translation.h"

TNewEntryDialog::TNewEntryDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("NewEntryDialog");
    SetCaption("new Task");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(150);
    Label1 = Build<TLabel>(this, "Label1").Parent(this).Bounds(16, 12, 300, 17).Caption("Where should the Task be placed?")
                 .Get();
    LabelBegin = Build<TLabel>(this, "LabelBegin").Parent(this).Bounds(16, 38, 300, 17).Caption("").Get();
    LabelEnd = Build<TLabel>(this, "LabelEnd").Parent(this).Bounds(16, 58, 300, 17).Caption("").Get();
    LabelPos = Build<TLabel>(this, "LabelPos").Parent(this).Bounds(16, 78, 300, 17).Caption("").Get();
    // The labels show the drawn bar's data, no wording.
    for (TLabel* label : {LabelBegin, LabelEnd, LabelPos})
        LeaveUntranslated(label, "caption");
    auto button = [this](const char* Name, const char* Caption, int Left) {
        return Build<TButton>(this, Name).Parent(this).Bounds(Left, 110, 95, 27).Caption(Caption).Get();
    };
    ButtonTasks = button("ButtonTasks", "Tasks", 16);
    ButtonAbsentDays = button("ButtonAbsentDays", "Absent Days", 117);
    ButtonCancel = button("ButtonCancel", "Cancel", 218);
    ButtonTasks->SetModalResult(mrOk);
    ButtonTasks->OnClick = [this](TObject*) { table = tbTable; };
    ButtonAbsentDays->SetModalResult(mrOk);
    ButtonAbsentDays->OnClick = [this](TObject*) { table = tbExclude; };
    ButtonCancel->SetModalResult(mrCancel);
    ButtonCancel->SetCancel(true);
}

bool TNewEntryDialog::Execute(const String& Begin, const String& End, const String& Position, TWhichTable& Table)
{
    LabelBegin->SetCaption(Begin);
    LabelEnd->SetCaption(End);
    LabelPos->SetCaption(Position);
    table = Table;
    ButtonTasks->SetDefault(Table == tbTable);
    ButtonAbsentDays->SetDefault(Table == tbExclude);
    if (ShowModal() != mrOk)
        return false;
    Table = table;
    return true;
}
