// The main window's small dialogs: archiving, going to a date and the
// field assignment form, made once at start-up and reused.
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Menus.h"
#include "shell/MainForm.h"
#include "shell/dialogs/ArchivDialog.h"
#include "shell/dialogs/GotoDialog.h"
#include "shell/dialogs/ReorderEntriesDialog.h"

void TMainForm::CreateSmallDialogs()
{
    ArchivDialog = Create<TArchivDialog>(this, this);
    GotoDialog = Create<TGotoDialog>(this);
    ReorderEntriesDialog = Create<TReorderEntriesDialog>(this);
    ActionGoto = NewAction("ActionGoto", "Goto Date...", 0, [this] { ActionGotoExecute(); });
    NewItem(Ansicht1, "N10", "-", nullptr);
    NewActionItem(Ansicht1, "GotoDate1", ActionGoto);
}

void TMainForm::ActionGotoExecute()
{
    GotoDialog->DateTimePicker1->SetDateTime(FTimeChartStart);
    if (GotoDialog->ShowModal() != mrOk)
        return;
    const TDateTime day = GotoDialog->DateTimePicker1->Date();
    // The user date keeps the bounds around it: they are computed anew.
    SetUserdate(day);
    UpdateBoundsProc();
    // Outside the data the user date follows the chart's start as it moves
    // and the range shrinks behind it, which would end a smooth run half way
    // there: such a day is shown at once.
    if (day < FDataMinDate || day > FDataMaxDate)
        SetTimeChartStart(day);
    SetTimeChartDestination(TimeChartTopDestination, day);
}

void TMainForm::ShowArchiveDialog(TDateTime First, TDateTime Last, TDateTime ArchiveDate)
{
    ArchivDialog->Execute(First, Last, ArchiveDate);
}
