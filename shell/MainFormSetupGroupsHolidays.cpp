// The main window's side of the position groups, absence reasons and
// public holidays dialogs: filling them from the document and applying
// what the user changed.
#include <unordered_set>

#include "components/TreeGrid/StringTreeGrid.h"
#include "document/CommaText.h"
#include "platform/ComCtrls.h"
#include "platform/StdCtrls.h"
#include "shell/MainForm.h"
#include "shell/dialogs/DefineHolidayDialog.h"
#include "shell/dialogs/OrganizePositionsDialog.h"
#include "shell/dialogs/SetupAbsentDaysDialog.h"

namespace {

// A pulldown entry of one item, quoted whatever it holds.
String QuotedEntry(const String& Text)
{
    String quoted = "\"";
    for (char c : Text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

// The first item of each entry.
void FirstItems(const TStrings& Entries, TStrings& Names)
{
    Names.Clear();
    for (int i = 0; i < Entries.Count(); ++i)
        Names.Add(CommaTextItem(Entries.Get(i), 0));
}

}  // namespace

void TMainForm::CreateGroupAndHolidayDialogs()
{
    auto applyOnOK = [this](TObject*) { ApplySetupDialogs(); };
    OrganizePositionsDialog = Create<TOrganizePositionsDialog>(this);
    OrganizePositionsDialog->OnOK = applyOnOK;
    SetupAbsentDaysDialog = Create<TSetupAbsentDaysDialog>(this);
    SetupAbsentDaysDialog->OnOK = applyOnOK;
    DefineHolidayDialog = Create<TDefineHolidayDialog>(this);
    DefineHolidayDialog->OnOK = applyOnOK;
}

// ---- position groups ----------------------------------------------------------------

void TMainForm::FillPositionGroupsSetup()
{
    TOrganizePositionsDialog* d = OrganizePositionsDialog;
    d->FWasActive = false;
    d->ClearGroups();
    const TStringList* entries = GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition));
    FirstItems(*entries, *d->GetItems());
    d->FEntries.Assign(*entries);
    UpdatePositionGroupTabs();
    TStringList* tabs = TabControl1->Tabs();
    for (int i = 0; i < tabs->Count(); ++i) {
        d->AddGroup(tabs->Get(i), i);
        if (i == 0 || i >= FPositionGroup.Count())
            continue;
        // Whole entries only: "Position 1" is no member of a group holding "Position 10".
        const TCommaText group(FPositionGroup.Get(i));
        std::unordered_set<String> members;
        for (int k = 0; k < group.Count(); ++k)
            members.insert(group.Item(k));
        for (int j = 0; j < entries->Count(); ++j)
            if (members.count(entries->Get(j)))
                d->SetChecked(i, j, true);
    }
    d->PageControl1->SetActivePageIndex(0);
}

void TMainForm::ApplyPositionGroupsSetup()
{
    TOrganizePositionsDialog* d = OrganizePositionsDialog;
    if (!d->FWasActive)
        return;
    TStringList oldNames;
    oldNames.Assign(FPositionGroupNames);
    std::vector<int> origins{0};
    ResetPositionGroups();
    for (int i = 1; i < d->GroupCount(); ++i) {
        String members;
        for (int j = 0; j < d->FEntries.Count(); ++j)
            if (d->GetChecked(i, j))
                members = AddToCommaText(members, d->FEntries.Get(j));
        AddPositionGroup(d->GetGroupName(i), members);
        origins.push_back(d->GetOrigin(i));
    }
    FollowGroupFilters(oldNames, origins);
}

// ---- absence reasons ----------------------------------------------------------------

void TMainForm::FillAbsentDaysSetup()
{
    TSetupAbsentDaysDialog* d = SetupAbsentDaysDialog;
    d->FWasActive = false;
    TStringList reasons;
    FirstItems(*GetColumnStrings(tbExclude, GetConnection(tbExclude, cnColor)), reasons);
    d->SetReasons(reasons, FDefaultHolidayReason);
    d->CheckBox1->SetChecked(FDefaultCalcWorkdays);
}

void TMainForm::ApplyAbsentDaysSetup()
{
    TSetupAbsentDaysDialog* d = SetupAbsentDaysDialog;
    if (!d->FWasActive)
        return;
    TStringList* strings = GetColumnStrings(tbExclude, GetConnection(tbExclude, cnColor));
    TStringList oldReasons, newReasons;
    FirstItems(*strings, oldReasons);
    strings->Clear();
    for (int i = 0; i < d->Memo1->Lines()->Count(); ++i) {
        const String line = d->Memo1->Lines()->Get(i);
        if (line.empty())
            continue;
        strings->Add(QuotedEntry(line));
        newReasons.Add(line);
    }
    FDefaultHolidayReason = d->ComboBox1->Text();
    FDefaultCalcWorkdays = d->CheckBox1->Checked();
    // Each reason keeps its colour wherever it moved to.
    FHolidayColors = ColorsFollowTexts(FHolidayColors, oldReasons, newReasons);
    UpdateColorPanels();
}

// ---- public holidays ----------------------------------------------------------------

void TMainForm::FillHolidaySetup()
{
    TDefineHolidayDialog* d = DefineHolidayDialog;
    d->FWasActive = false;
    d->ClearHolidays();
    for (const THolidayData& h : FHolidayList) {
        if (h.easter)
            d->AddHoliday(h.name, h.day, h.enabled);
        else
            d->AddHoliday(h.name, h.day, h.enabled, h.month);
    }
}

void TMainForm::ApplyHolidaySetup()
{
    TDefineHolidayDialog* d = DefineHolidayDialog;
    if (!d->FWasActive)
        return;
    ClearHoliday();
    for (int i = 0; i < d->Count(); ++i) {
        const THolidayNodeData h = d->GetItem(i);
        AddHoliday(h.name, h.day, d->GetChecked(i), h.easter, h.month);
    }
    ForEach(feAll, 0, [this](TNodeData* Row, NativeInt) { CB_SetRecalcEndOf(Row); });
}

// ---- openers ----------------------------------------------------------------------------

void TMainForm::Fehltagebearbeiten1Click()
{
    MainFormToSetupDialog();
    SetupAbsentDaysDialog->ShowModal();
}

void TMainForm::ositionengruppieren1Click()
{
    MainFormToSetupDialog();
    OrganizePositionsDialog->ShowModal();
}

void TMainForm::EditHoliday1Click()
{
    MainFormToSetupDialog();
    DefineHolidayDialog->ShowModal();
}
