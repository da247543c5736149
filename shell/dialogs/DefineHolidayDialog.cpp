// The public holidays dialog.
#include "shell/dialogs/DefineHolidayDialog.h"

#include <algorithm>
#include <cstdlib>

#include "components/TreeGrid/StringTreeGrid.h"
#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "components/TreeGrid/TreeGridOptions.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "shell/Translation.h"

namespace {

const char* const MonthNames[12] = {"January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December"};

// The largest day a month can have (February's in a leap year).
int DaysInAnyYear(int Month)
{
    static const int days[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month >= 1 && Month <= 12 ? days[Month - 1] : 31;
}

struct TGermanHoliday {
    const char* Name;
    bool Easter;
    int Day;    // the offset for Easter
    int Month;
};

// In the order the list gets them.
const TGermanHoliday GermanHolidays[] = {
    {"Neujahr", false, 1, 1},
    {"Heilige 3 Könige", false, 6, 1},
    {"Karfreitag", true, -2, 0},
    {"Ostern", true, 0, 0},
    {"Ostermontag", true, 1, 0},
    {"Himmelfahrt", true, 39, 0},
    {"Pfingsten", true, 49, 0},
    {"Pfingstmontag", true, 50, 0},
    {"Fronleichname", true, 60, 0},
    {"Tag der Arbeit", false, 1, 5},
    {"Maria Himmelfahrt", false, 15, 8},
    {"Tag der deutschen Einheit", false, 3, 10},
    {"Nationalfeiertag", false, 26, 10},
    {"Reformationstag", false, 31, 10},
    {"Allerheiligen", false, 1, 11},
    {"Maria Empfängnis", false, 8, 12},
    {"Heiligabend", false, 24, 12},
    {"1. Weihnachtsfeiertag", false, 25, 12},
    {"2. Weihnachtsfeiertag", false, 26, 12},
    {"Silvester", false, 31, 12},
};

}  // namespace

TDefineHolidayDialog::TDefineHolidayDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("DefineHolidayDialog");
    SetCaption("Setup Holiday");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(580);
    SetClientHeight(420);

    StringTreeGrid1 = Build<TStringTreeGrid>(this, "StringTreeGrid1").Parent(this).Bounds(8, 8, 390, 260).Get();
    StringTreeGrid1->SetNodeDataSize(int(sizeof(THolidayNodeData*)));
    StringTreeGrid1->TreeOptions()->SetMiscOptions(
        TTGMiscOptions{toCheckSupport, toEditable, toReportMode, toFullRepaintOnResize});
    StringTreeGrid1->TreeOptions()->SetPaintOptions(
        TTGPaintOptions{toShowHorzGridLines, toShowVertGridLines, toFullVertGridLines, toThemeAware});
    StringTreeGrid1->TreeOptions()->SetSelectionOptions(TTGSelectionOptions{toFullRowSelect});
    StringTreeGrid1->Header()->SetOptions(TTGHeaderOptions{hoColumnResize, hoVisible});
    for (int width : {230, 140})
        StringTreeGrid1->Header()->Columns()->Add()->SetWidth(width);
    StringTreeGrid1->OnGetText = [this](TBaseTreeGrid*, TGridNode* Node, TColumnIndex Column, TVSTTextType,
                                     String& Text) {
        if (const THolidayNodeData* d = Data(Node))
            Text = Column == 1 ? DateText(*d) : d->name;
    };
    StringTreeGrid1->OnEditing = [](TBaseTreeGrid*, TGridNode*, TColumnIndex Column, bool& Allowed) {
        Allowed = Column <= 0;
    };
    StringTreeGrid1->OnNewText = [this](TBaseTreeGrid*, TGridNode* Node, TColumnIndex Column, const String& Text) {
        if (THolidayNodeData* d = Data(Node); d && Column <= 0) {
            d->name = Text;
            if (Node == SelectedHoliday())
                LoadEditors();
        }
    };
    StringTreeGrid1->OnFreeNode = [this](TBaseTreeGrid*, TGridNode* Node) {
        delete Data(Node);
        *StringTreeGrid1->GetNodeData<THolidayNodeData*>(Node) = nullptr;
    };
    StringTreeGrid1->OnChange = [this](TBaseTreeGrid*, TGridNode*) { LoadEditors(); };

    Label1 = Build<TLabel>(this, "Label1").Parent(this).Bounds(8, 282, 90, 17).Caption("Name").Get();
    Edit3 = Build<TEdit>(this, "Edit3").Parent(this).Bounds(110, 280, 288, 23).Get();
    Edit3->OnChange = [this](TObject*) { NameChange(); };
    RadioButton4 = Build<TRadioButton>(this, "RadioButton4").Parent(this).Bounds(8, 314, 100, 21).Caption("Date")
                       .Get();
    RadioButton4->OnClick = [this](TObject*) { KindClick(false); };
    Edit2 = Build<TEdit>(this, "Edit2").Parent(this).Bounds(110, 313, 40, 23).Get();
    UpDown2 = Build<TUpDown>(this, "UpDown2").Parent(this).Bounds(150, 313, 17, 23).Get();
    UpDown2->SetMin(1);
    UpDown2->SetMax(31);
    UpDown2->SetAssociate(Edit2);
    UpDown2->SetPosition(1);
    Edit2->SetText("1");
    Edit2->OnChange = [this](TObject*) { DayChange(); };
    ComboBox2 = Build<TComboBox>(this, "ComboBox2").Parent(this).Bounds(176, 313, 150, 23).Get();
    ComboBox2->SetStyle(csDropDownList);
    ComboBox2->OnChange = [this](TObject*) { MonthChange(); };
    RadioButton3 = Build<TRadioButton>(this, "RadioButton3").Parent(this).Bounds(8, 346, 100, 21)
                       .Caption("special Day").Get();
    RadioButton3->OnClick = [this](TObject*) { KindClick(true); };
    Label2 = Build<TLabel>(this, "Label2").Parent(this).Bounds(110, 348, 60, 17).Caption("Easter +").Get();
    Edit1 = Build<TEdit>(this, "Edit1").Parent(this).Bounds(176, 345, 50, 23).Get();
    UpDown1 = Build<TUpDown>(this, "UpDown1").Parent(this).Bounds(226, 345, 17, 23).Get();
    UpDown1->SetMin(-366);
    UpDown1->SetMax(366);
    UpDown1->SetAssociate(Edit1);
    Edit1->SetText("0");
    Edit1->OnChange = [this](TObject*) { OffsetChange(); };
    Label3 = Build<TLabel>(this, "Label3").Parent(this).Bounds(250, 348, 60, 17).Caption("days").Get();

    auto button = [this](const char* Name, const char* Caption, int Top) {
        return Build<TButton>(this, Name).Parent(this).Bounds(408, Top, 164, 27).Caption(Caption).Get();
    };
    ButtonNew = button("ButtonNew", "new Holiday", 8);
    ButtonNew->OnClick = [this](TObject*) { NewHolidayClick(); };
    ButtonDelete = button("ButtonDelete", "delete Holiday", 40);
    ButtonDelete->OnClick = [this](TObject*) { DeleteHolidayClick(); };
    ButtonEnableAll = button("ButtonEnableAll", "enable all", 84);
    ButtonEnableAll->OnClick = [this](TObject*) { CheckAll(true); };
    ButtonDisableAll = button("ButtonDisableAll", "disable all", 116);
    ButtonDisableAll->OnClick = [this](TObject*) { CheckAll(false); };
    ButtonGerman = button("ButtonGerman", "add german public Holiday", 160);
    ButtonGerman->OnClick = [this](TObject*) { AddGermanHolidaysClick(); };
    ButtonOK = Build<TButton>(this, "ButtonOK").Parent(this).Bounds(396, 384, 85, 27).Caption("OK").Get();
    ButtonOK->SetDefault(true);
    ButtonOK->SetModalResult(mrOk);
    ButtonOK->OnClick = [this](TObject* Sender) {
        if (OnOK)
            OnOK(Sender);
    };
    ButtonCancel = Build<TButton>(this, "ButtonCancel").Parent(this).Bounds(487, 384, 85, 27).Caption("Cancel")
                       .Get();
    ButtonCancel->SetCancel(true);
    ButtonCancel->SetModalResult(mrCancel);
    // The up-downs write their numbers into the edits.
    LeaveUntranslated(Edit1);
    LeaveUntranslated(Edit2);
    OnActivate = [this](TObject*) { FormActivate(); };
    FillMonths();
    LoadEditors();
}

THolidayNodeData* TDefineHolidayDialog::Data(TGridNode* Node) const
{
    if (!Node)
        return nullptr;
    THolidayNodeData** data = StringTreeGrid1->GetNodeData<THolidayNodeData*>(Node);
    return data ? *data : nullptr;
}

TGridNode* TDefineHolidayDialog::NodeAt(int Index) const
{
    if (Index < 0)
        return nullptr;
    int i = 0;
    for (TGridNode* node = StringTreeGrid1->GetFirst(); node; node = StringTreeGrid1->GetNext(node), ++i)
        if (i == Index)
            return node;
    return nullptr;
}

TGridNode* TDefineHolidayDialog::Append(THolidayNodeData Data, bool Enabled)
{
    if (FindHoliday(Data.name))
        return nullptr;
    TGridNode* node = StringTreeGrid1->AddChild(nullptr, new THolidayNodeData(std::move(Data)));
    StringTreeGrid1->SetCheckType(node, ctCheckBox);
    StringTreeGrid1->SetCheckState(node, Enabled ? csCheckedNormal : csUncheckedNormal);
    return node;
}

TGridNode* TDefineHolidayDialog::AddHoliday(const String& Name, int Offset, bool Enabled)
{
    return Append(THolidayNodeData{Name, Offset, 0, true}, Enabled);
}

TGridNode* TDefineHolidayDialog::AddHoliday(const String& Name, int Day, bool Enabled, int Month)
{
    return Append(THolidayNodeData{Name, Day, Month, false}, Enabled);
}

TGridNode* TDefineHolidayDialog::FindHoliday(const String& Name) const
{
    for (TGridNode* node = StringTreeGrid1->GetFirst(); node; node = StringTreeGrid1->GetNext(node))
        if (const THolidayNodeData* d = Data(node); d && d->name == Name)
            return node;
    return nullptr;
}

void TDefineHolidayDialog::ClearHolidays()
{
    StringTreeGrid1->Clear();
    LoadEditors();
}

int TDefineHolidayDialog::Count() const { return int(StringTreeGrid1->RootNodeCount()); }

THolidayNodeData TDefineHolidayDialog::GetItem(int Index) const
{
    const THolidayNodeData* d = Data(NodeAt(Index));
    return d ? *d : THolidayNodeData();
}

bool TDefineHolidayDialog::GetChecked(int Index) const
{
    TGridNode* node = NodeAt(Index);
    return node && node->CheckState == csCheckedNormal;
}

String TDefineHolidayDialog::DateText(const THolidayNodeData& D) const
{
    if (D.easter)
        return Translate("Easter") + (D.day > 0 ? " + " : " - ") + IntToStr(std::abs(D.day));
    // A month no list has (a file may hold one) leaves the day alone.
    if (D.month < 1 || D.month > 12)
        return IntToStr(D.day);
    return IntToStr(D.day) + ". " + Translate(MonthNames[D.month - 1]);
}

TGridNode* TDefineHolidayDialog::SelectedHoliday() const { return StringTreeGrid1->GetFirstSelected(); }

void TDefineHolidayDialog::SelectHoliday(TGridNode* Node)
{
    StringTreeGrid1->ClearSelection();
    if (Node) {
        StringTreeGrid1->SetSelected(Node, true);
        StringTreeGrid1->SetFocusedNode(Node);
        StringTreeGrid1->ScrollIntoView(Node, false);
    }
    LoadEditors();
}

void TDefineHolidayDialog::LoadEditors()
{
    const THolidayNodeData* d = Data(SelectedHoliday());
    FLoading = true;
    if (d) {
        Edit3->SetText(d->name);
        (d->easter ? RadioButton3 : RadioButton4)->SetChecked(true);
        (d->easter ? RadioButton4 : RadioButton3)->SetChecked(false);
        UpDown1->SetPosition(d->day);
        Edit1->SetText(IntToStr(UpDown1->Position()));
        UpDown2->SetPosition(d->day);
        Edit2->SetText(IntToStr(UpDown2->Position()));
        ComboBox2->SetItemIndex(d->month - 1);
    } else {
        Edit3->SetText(String());
        UpDown1->SetPosition(0);
        Edit1->SetText("0");
        UpDown2->SetPosition(1);
        Edit2->SetText("1");
        ComboBox2->SetItemIndex(1);
    }
    FLoading = false;
    EnableEditors();
}

void TDefineHolidayDialog::EnableEditors()
{
    const bool selected = SelectedHoliday() != nullptr;
    const bool easter = RadioButton3->Checked();
    ButtonDelete->SetEnabled(selected);
    for (TControl* c : std::initializer_list<TControl*>{Edit3, Label1, RadioButton3, RadioButton4})
        c->SetEnabled(selected);
    for (TControl* c : std::initializer_list<TControl*>{Edit1, UpDown1, Label2, Label3})
        c->SetEnabled(selected && easter);
    for (TControl* c : std::initializer_list<TControl*>{Edit2, UpDown2, ComboBox2})
        c->SetEnabled(selected && !easter);
}

void TDefineHolidayDialog::NameChange()
{
    TGridNode* node = SelectedHoliday();
    if (FLoading || !node)
        return;
    Data(node)->name = Edit3->Text();
    StringTreeGrid1->InvalidateNode(node);
}

void TDefineHolidayDialog::KindClick(bool Easter)
{
    TGridNode* node = SelectedHoliday();
    if (FLoading || !node)
        return;
    // Each kind takes the value its editors show, so the row always has a
    // date of its kind (an Easter row keeps no day as a month's).
    THolidayNodeData* d = Data(node);
    d->easter = Easter;
    if (Easter) {
        d->day = UpDown1->Position();
        d->month = 0;
    } else {
        FLoading = true;
        if (ComboBox2->ItemIndex() < 0)
            ComboBox2->SetItemIndex(0);
        d->month = ComboBox2->ItemIndex() + 1;
        UpDown2->SetPosition(std::min(UpDown2->Position(), DaysInAnyYear(d->month)));
        Edit2->SetText(IntToStr(UpDown2->Position()));
        FLoading = false;
        d->day = UpDown2->Position();
    }
    EnableEditors();
    StringTreeGrid1->InvalidateNode(node);
}

void TDefineHolidayDialog::DayChange()
{
    TGridNode* node = SelectedHoliday();
    if (FLoading || !node || !RadioButton4->Checked())
        return;
    const int day = std::clamp(StrToIntDef(Edit2->Text(), UpDown2->Position()), 1, 31);
    FLoading = true;
    UpDown2->SetPosition(day);
    UpDown1->SetPosition(day);
    FLoading = false;
    Data(node)->day = day;
    StringTreeGrid1->InvalidateNode(node);
}

void TDefineHolidayDialog::OffsetChange()
{
    TGridNode* node = SelectedHoliday();
    if (FLoading || !node || !RadioButton3->Checked())
        return;
    const int offset = std::clamp(StrToIntDef(Edit1->Text(), UpDown1->Position()), UpDown1->Min(), UpDown1->Max());
    FLoading = true;
    UpDown1->SetPosition(offset);
    UpDown2->SetPosition(offset);
    FLoading = false;
    Data(node)->day = offset;
    StringTreeGrid1->InvalidateNode(node);
}

void TDefineHolidayDialog::MonthChange()
{
    TGridNode* node = SelectedHoliday();
    if (FLoading || !node || ComboBox2->ItemIndex() < 0)
        return;
    Data(node)->month = ComboBox2->ItemIndex() + 1;
    StringTreeGrid1->InvalidateNode(node);
}

void TDefineHolidayDialog::NewHolidayClick()
{
    TGridNode* node = AddHoliday(Translate("new Holiday"), 1, false, 1);
    if (!node)
        return;
    SelectHoliday(node);
    StringTreeGrid1->EditNode(node, 0);
}

void TDefineHolidayDialog::DeleteHolidayClick()
{
    TGridNode* node = SelectedHoliday();
    if (!node)
        return;
    StringTreeGrid1->DeleteNode(node);
    LoadEditors();
}

void TDefineHolidayDialog::CheckAll(bool Checked)
{
    for (TGridNode* node = StringTreeGrid1->GetFirst(); node; node = StringTreeGrid1->GetNext(node))
        StringTreeGrid1->SetCheckState(node, Checked ? csCheckedNormal : csUncheckedNormal);
}

void TDefineHolidayDialog::AddGermanHolidaysClick()
{
    for (const TGermanHoliday& h : GermanHolidays) {
        if (h.Easter)
            AddHoliday(h.Name, h.Day, false);
        else
            AddHoliday(h.Name, h.Day, false, h.Month);
    }
}

void TDefineHolidayDialog::FillMonths()
{
    const int index = ComboBox2->ItemIndex();
    ComboBox2->Items()->BeginUpdate();
    ComboBox2->Items()->Clear();
    for (const char* month : MonthNames)
        ComboBox2->Items()->Add(Translate(month));
    ComboBox2->Items()->EndUpdate();
    FLoading = true;
    ComboBox2->SetItemIndex(index);
    FLoading = false;
}

void TDefineHolidayDialog::FormActivate()
{
    FillMonths();
    FWasActive = true;
    SelectHoliday(StringTreeGrid1->GetFirst());
    StringTreeGrid1->Header()->Columns()->Items(0)->SetText(Translate("Name"));
    StringTreeGrid1->Header()->Columns()->Items(1)->SetText(Translate("Date"));
}
