// The main window's print commands: the timechart and the table through
// their dialogs, and the printer's set-up.
#include "platform/ActnList.h"
#include "platform/Dialogs.h"
#include "platform/Menus.h"
#include "platform/Printers.h"
#include "printing/PrintListDialog.h"
#include "printing/PrintSupport.h"
#include "printing/PrintTimeChartDialog.h"
#include "shell/MainForm.h"

void TMainForm::CreatePrintActions()
{
    ActPrintTimechart = NewAction("ActionPrintTimechart", "Print Timechart...", 0,
        [this] { ActionPrintTimechartExecute(); });
    ActPrintList = NewAction("ActionPrintList", "Print Table...", 0, [this] { ActionPrintListExecute(); });
    ActPrintTimechart->OnUpdate = [this](TObject*) { ActionPrintUpdate(); };
    ActPrintList->OnUpdate = [this](TObject*) { ActionPrintUpdate(); };
    ActPrinterSetup = NewAction("ActionPrinterSetup", "Printer Setup...", 0, [this] { ActionPrinterSetupExecute(); });

    // After the exchange commands of the File menu.
    int at = Datei1->IndexOf(ExcelImport1) + 1;
    for (TMenuItem* item : {NewItem(Datei1, "NDrucken1", "-", nullptr), NewActionItem(Datei1, "Drucken1", ActPrintTimechart),
             NewActionItem(Datei1, "TabelleDrucken1", ActPrintList),
             NewActionItem(Datei1, "Druckereinrichtung1", ActPrinterSetup)}) {
        Datei1->Remove(item);
        Datei1->Insert(at++, item);
    }

    PrintTimeChartDialog1 = Create<TPrintTimeChartDialog>(this, this);
    PrintListDialog1 = Create<TPrintListDialog>(this, this);
    PrinterSetupDialog1 = Create<TPrinterSetupDialog>(this);
    UseDocumentForPrinterFallback(*this);
}

void TMainForm::ActionPrintTimechartExecute()
{
    PrintTimeChartDialog1->Execute();
    InvalidateTimeChart();
}

void TMainForm::ActionPrintListExecute() { PrintListDialog1->Execute(); }

void TMainForm::ActionPrintUpdate()
{
    const bool rows = GetTableRowCount(tbTable) > 0;
    ActPrintTimechart->SetEnabled(rows);
    ActPrintList->SetEnabled(rows);
}

void TMainForm::ActionPrinterSetupExecute()
{
    if (PrinterSetupDialog1->Execute())
        FPrinterOrientation = Printer()->Orientation();
}

void TMainForm::AddDefaultHeaderAndFooter(TPrintPreviewDialog* Engine, const String& FooterText, bool PrintFilename,
    const String& HeaderText)
{
    if (Engine)
        ::AddDefaultHeaderAndFooter(*this, *Engine, FooterText, PrintFilename, HeaderText);
}
