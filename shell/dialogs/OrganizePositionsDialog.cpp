// The position groups dialog.
#include "shell/dialogs/OrganizePositionsDialog.h"

#include "components/TreeGrid/StringTreeGrid.h"
#include "components/TreeGrid/TreeGridOptions.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"
#include "shell/Translation.h"

#include <algorithm>

namespace {

template <class T>
T* FindOwnControl(TWinControl* Parent)
{
    if (!Parent)
        return nullptr;
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (auto* c = dynamic_cast<T*>(Parent->Controls(i)))
            return c;
    return nullptr;
}

}  // namespace

TOrganizePositionsDialog::TOrganizePositionsDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("OrganizePositionsDialog");
    SetCaption("Group resources...");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(460);
    SetClientHeight(430);
    PageControl1 = Build<TPageControl>(this, "PageControl1").Parent(this).Bounds(8, 8, 444, 370).Get();
    PageControl1->OnChange = [this](TObject*) { UpdateButtons(); };
    SpeedButton1 = Build<TSpeedButton>(this, "SpeedButton1").Parent(this).Bounds(8, 392, 100, 27)
                       .Caption("new Group").OnClick([this](TObject*) { NewGroupClick(); }).Get();
    SpeedButton2 = Build<TSpeedButton>(this, "SpeedButton2").Parent(this).Bounds(114, 392, 100, 27)
                       .Caption("delete Group").OnClick([this](TObject*) { DeleteGroupClick(); }).Get();
    Button3 = Build<TButton>(this, "Button3").Parent(this).Bounds(276, 392, 85, 27).Caption("OK").Get();
    Button3->SetDefault(true);
    Button3->SetModalResult(mrOk);
    Button3->OnClick = [this](TObject* Sender) {
        if (OnOK)
            OnOK(Sender);
    };
    Button4 = Build<TButton>(this, "Button4").Parent(this).Bounds(367, 392, 85, 27).Caption("Cancel").Get();
    Button4->SetCancel(true);
    Button4->SetModalResult(mrCancel);
    OnActivate = [this](TObject*) {
        FWasActive = true;
        UpdateButtons();
    };
    UpdateButtons();
}

TTabSheet* TOrganizePositionsDialog::AddGroup(const String& Name, int Origin)
{
    // Pages and their controls are nameless: the form translation leaves
    // the group names alone, and no name of a deleted page comes back.
    auto* sheet = Create<TTabSheet>(this);
    sheet->SetPageControl(PageControl1);
    sheet->SetCaption(Name);
    sheet->SetTag(Origin);
    const bool fixed = PageControl1->PageCount() == 1;
    const TRect area = PageControl1->DisplayRect();
    const int width = std::max(area.Width(), 100), height = std::max(area.Height(), 100);

    auto* label = Build<TLabel>(sheet, "").Parent(sheet).Bounds(16, 16, 90, 17).Get();
    label->SetTransparent(true);
    label->SetCaption(Translate("Name of Group"));
    auto* edit = Build<TEdit>(sheet, "").Parent(sheet).Bounds(112, 16, 200, 21).Get();
    edit->SetText(Name);
    edit->SetEnabled(!fixed);
    edit->OnChange = [sheet, edit](TObject*) { sheet->SetCaption(edit->Text()); };

    auto* tree = Build<TStringTreeGrid>(sheet, "").Parent(sheet).Bounds(16, 48, width - 32, height - 64).Get();
    tree->SetEnabled(!fixed);
    tree->TreeOptions()->SetMiscOptions(TTGMiscOptions{toCheckSupport, toReportMode, toFullRepaintOnResize});
    tree->TreeOptions()->SetPaintOptions(TTGPaintOptions{toThemeAware, toHideFocusRect});
    tree->TreeOptions()->SetSelectionOptions(TTGSelectionOptions{toFullRowSelect});
    tree->OnGetText = [this](TBaseTreeGrid*, TGridNode* Node, TColumnIndex, TVSTTextType, String& Text) {
        Text = Node && int(Node->Index) < FStringList.Count() ? FStringList.Get(int(Node->Index)) : String();
    };
    for (int i = 0; i < FStringList.Count(); ++i) {
        TGridNode* node = tree->AddChild(nullptr);
        tree->SetCheckType(node, ctCheckBox);
        if (fixed)
            tree->SetCheckState(node, csCheckedNormal);
    }
    PageControl1->SetActivePage(sheet);
    UpdateButtons();
    return sheet;
}

void TOrganizePositionsDialog::ClearGroups()
{
    while (PageControl1->PageCount() > 0)
        delete PageControl1->Pages(PageControl1->PageCount() - 1);
    UpdateButtons();
}

int TOrganizePositionsDialog::GroupCount() const { return PageControl1->PageCount(); }

String TOrganizePositionsDialog::GetGroupName(int Page) const
{
    return Page >= 0 && Page < GroupCount() ? PageControl1->Pages(Page)->Caption() : String();
}

int TOrganizePositionsDialog::GetOrigin(int Page) const
{
    return Page >= 0 && Page < GroupCount() ? int(PageControl1->Pages(Page)->Tag()) : -1;
}

TStringTreeGrid* TOrganizePositionsDialog::GetTree(int Page) const
{
    return Page >= 0 && Page < GroupCount() ? FindOwnControl<TStringTreeGrid>(PageControl1->Pages(Page)) : nullptr;
}

TEdit* TOrganizePositionsDialog::GetNameEdit(int Page) const
{
    return Page >= 0 && Page < GroupCount() ? FindOwnControl<TEdit>(PageControl1->Pages(Page)) : nullptr;
}

TGridNode* TOrganizePositionsDialog::FindNode(int Page, int Position) const
{
    TStringTreeGrid* tree = GetTree(Page);
    if (!tree || Position < 0)
        return nullptr;
    for (TGridNode* node = tree->GetFirst(); node; node = tree->GetNext(node))
        if (int(node->Index) == Position)
            return node;
    return nullptr;
}

bool TOrganizePositionsDialog::GetChecked(int Page, int Position) const
{
    TGridNode* node = FindNode(Page, Position);
    return node && node->CheckState == csCheckedNormal;
}

void TOrganizePositionsDialog::SetChecked(int Page, int Position, bool Value)
{
    if (TGridNode* node = FindNode(Page, Position))
        GetTree(Page)->SetCheckState(node, Value ? csCheckedNormal : csUncheckedNormal);
}

void TOrganizePositionsDialog::NewGroupClick() { AddGroup(Translate("new Group")); }

void TOrganizePositionsDialog::DeleteGroupClick()
{
    if (PageControl1->ActivePageIndex() <= 0)
        return;
    delete PageControl1->ActivePage();
    UpdateButtons();
}

void TOrganizePositionsDialog::UpdateButtons()
{
    SpeedButton2->SetEnabled(PageControl1->ActivePageIndex() > 0);
}
