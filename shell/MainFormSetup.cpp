// The setup dialogs and the main window: the Setup menu, filling every
// dialog from the document and applying back those the user went through.
//
// Slots for each dialog: Fill<Dialog>Setup fills it (and clears its
// FWasActive), Apply<Dialog>Setup applies it when its FWasActive is set:
//   table            TSetupTableDialog         FillTableSetup / ApplyTableSetup
//   positions        TSetupPositionsDialog     FillPositionsSetup / ApplyPositionsSetup
//   absent days      TSetupAbsentDaysDialog    FillAbsentDaysSetup / ApplyAbsentDaysSetup
//   position groups  TOrganizePositionsDialog  FillPositionGroupsSetup / ApplyPositionGroupsSetup
//   holidays         TDefineHolidayDialog      FillHolidaySetup / ApplyHolidaySetup
#include "document/ColumnLayout.h"
#include "network/DocumentNetwork.h"
#include "platform/ComCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "shell/MainForm.h"
#include "shell/Translation.h"
#include "shell/dialogs/EditTableColumnDialog.h"
#include "shell/dialogs/SetupPositionsDialog.h"
#include "shell/dialogs/SetupTableDialog.h"

void TMainForm::CreateSetupMenu()
{
    Setup1 = NewItem(MainMenu1->Items(), "Setup1", "&Setup", nullptr);
    Tabellebearbeiten1 = NewItem(Setup1, "Tabellebearbeiten1", "Edit Table \"Tasks\"...", [this] {
        Tabellebearbeiten1Click();
    });
    Fehltagebearbeiten1 = NewItem(Setup1, "Fehltagebearbeiten1", "Edit Table \"Days absent\"...", [this] {
        Fehltagebearbeiten1Click();
    });
    ositionengruppieren1 = NewItem(Setup1, "ositionengruppieren1", "Group resources...", [this] {
        ositionengruppieren1Click();
    });
    Arbeitspltzebearbeiten1 = NewItem(Setup1, "Arbeitspltzebearbeiten1", "Edit resources...", [this] {
        Arbeitspltzebearbeiten1Click();
    });
    EditHoliday1 = NewItem(Setup1, "EditHoliday1", "Edit Holiday...", [this] { EditHoliday1Click(); });
}

void TMainForm::CreateSetupDialogs()
{
    EditTableColumnDialog = Create<TEditTableColumnDialog>(this);
    SetupTableDialog = Create<TSetupTableDialog>(this);
    SetupTableDialog->EditColumnDialog = EditTableColumnDialog;
    SetupTableDialog->OnApply = [this] { ApplySetupDialogs(); };
    SetupPositionsDialog = Create<TSetupPositionsDialog>(this);
    // From the column editor the positions are part of the table's edit:
    // its OK applies them, and a cancelled visit leaves nothing behind.
    EditTableColumnDialog->OnEditResources = [this] { SetupPositionsDialog->ExecuteNested(); };
    Arbeitspltzebearbeiten1->SetVisible(SetupPositionsDialog != nullptr);
}

void TMainForm::Tabellebearbeiten1Click()
{
    MainFormToSetupDialog();
    SetupTableDialog->ShowModal();
}

void TMainForm::Arbeitspltzebearbeiten1Click()
{
    MainFormToSetupDialog();
    if (SetupPositionsDialog->ShowModal() == mrOk)
        ApplySetupDialogs();
}

void TMainForm::ApplySetupDialogs()
{
    PushUndoSnapshot();
    SetupDialogToMainForm();
}

void TMainForm::MainFormToSetupDialog()
{
    FSetupPositionColumn = GetConnection(tbTable, cnPosition);
    FillTableSetup();
    FillPositionsSetup();
    FillAbsentDaysSetup();
    FillPositionGroupsSetup();
    FillHolidaySetup();
}

void TMainForm::SetupDialogToMainForm()
{
    BeginUpdate(Translate("setting up..."));
    const TDateTime start = FTimeChartStart;
    const int top = FTimeChartTop;
    ApplyAbsentDaysSetup();
    int positionColumn = FSetupPositionColumn;
    if (SetupTableDialog && SetupTableDialog->FWasActive)
        positionColumn = ApplyTableSetup();
    ApplyPositionsSetup(positionColumn);
    ApplyPositionGroupsSetup();
    ApplyHolidaySetup();
    EndUpdate();
    SetFileChanged(true);
    SetTimeChartStart(start);
    SetTimeChartTop(top);
}

// ---- the table ------------------------------------------------------------------------------

void TMainForm::FillTableSetup()
{
    TSetupTableDialog* d = SetupTableDialog;
    if (!d)
        return;
    d->Clear();
    d->ListView1->Items()->BeginUpdate();
    for (int i = 0; i < GetTableColCount(tbTable); ++i)
        d->AddNode(i, GetColumnCaption(tbTable, i), GetHeader(tbTable, i)->Strings->CommaText(),
            ColumnType2Name(GetColumnType(tbTable, i)));
    d->ListView1->Items()->EndUpdate();
    for (const TSetupTableDialog::TRoleLabel& l : d->RoleLabels()) {
        const int column = GetConnection(tbTable, l.Role);
        if (column >= 0 && column < GetTableColCount(tbTable))
            d->Bind(l.Label, GetColumnCaption(tbTable, column), GetColumnType(tbTable, column));
    }
    d->FWasActive = false;
    d->UpdateColors();
}

int TMainForm::ApplyTableSetup()
{
    TSetupTableDialog* d = SetupTableDialog;
    TColumnLayout layout;
    int positionColumn = -1;
    for (int i = 0; i < d->ListView1->Items()->Count(); ++i) {
        TListItem* item = d->ListView1->Items()->Item(i);
        TColumnLayout::TColumn c;
        c.Name = item->Caption();
        c.Type = ColumnTypeName2Type(item->SubItems()->Get(0));
        c.Format = item->SubItems()->Get(1);
        c.Origin = StrToIntDef(item->SubItems()->Get(2), -1);
        if (c.Origin >= 0 && c.Origin == FSetupPositionColumn)
            positionColumn = i;
        layout.Columns.push_back(c);
    }
    for (const TSetupTableDialog::TRoleLabel& l : d->RoleLabels()) {
        TListItem* item = l.Label->Caption().empty() ? nullptr : d->FindNode(l.Label->Caption());
        layout.Roles[std::size_t(l.Role)] = item ? item->Index() : -1;
    }
    ApplyColumnLayout(tbTable, layout);
    UpdateColorPanels();
    return positionColumn;
}

// ---- the positions --------------------------------------------------------------------------

void TMainForm::FillPositionsSetup()
{
    if (SetupPositionsDialog)
        SetupPositionsDialog->Fill(PositionLayoutOf(FSetupPositionColumn));
}

void TMainForm::ApplyPositionsSetup(int PositionColumn)
{
    // The positions edited belong to the column that held them; a deleted
    // column takes them with it.
    if (SetupPositionsDialog && SetupPositionsDialog->FWasActive && PositionColumn >= 0)
        ApplyPositionLayout(SetupPositionsDialog->Layout(), PositionColumn);
}
