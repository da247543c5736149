// The task table's columns and their roles.
#include "shell/dialogs/SetupTableDialog.h"

#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"
#include "shell/dialogs/EditTableColumnDialog.h"

namespace {

// The bar on the picture, and the nine text slots on it (3 x 3).
const TRect BarBox{430, 110, 700, 200};
constexpr int SlotWidth = 90;
constexpr int SlotHeight = 30;

}  // namespace

TLabel* TSetupTableDialog::NewRoleLabel(const char* Name, TConnection Role, TRect Box, bool Slot)
{
    const String name = Name;
    auto* shape = Build<TShape>(this, "Shape" + name.substr(5)).Parent(this).Bounds(Box.Left, Box.Top, Box.Width(),
        Box.Height()).Get();
    shape->SetShape(Slot ? stRectangle : stRoundRect);
    shape->Pen()->SetColor(Slot ? NormalColor : clGray);
    auto* label = Build<TLabel>(this, name).Parent(this).Bounds(Box.Left + 3, Box.Top + 3, Box.Width() - 6,
        Box.Height() - 6).Caption("").Get();
    label->SetTransparent(true);
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetDragMode(dmAutomatic);
    label->SetDragCursor(crDrag);
    // A label shows the name of the column bound to it: data, no wording.
    LeaveUntranslated(label, "caption");
    label->OnStartDrag = [this, label](TObject*, TDragObject*&) { LabelStartDrag(label); };
    label->OnDragOver = [this, label](TObject*, TObject*, int, int, TDragState, bool& Accept) {
        LabelDragOver(label, Accept);
    };
    label->OnDragDrop = [this, label](TObject*, TObject*, int, int) { LabelDragDrop(label); };
    label->OnEndDrag = [this, label](TObject*, TObject*, int, int) { LabelEndDrag(label); };
    label->OnMouseMove = [this, label](TObject*, TShiftState, int, int) { FActiveLabel = label; };
    label->OnContextPopup = [this, label](TObject*, TPoint P, bool& Handled) {
        FActiveLabel = label;
        const TPoint screen = label->ClientToScreen(P.X < 0 ? TPoint{0, 0} : P);
        PopupMenu2->Popup(screen.X, screen.Y);
        Handled = true;
    };
    FLabels.push_back({label, shape, Role});
    return label;
}

TSetupTableDialog::TSetupTableDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SetupTableDialog");
    SetCaption("Edit Table \"Tasks\"");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(760);
    SetClientHeight(420);

    ListView1 = Build<TListView>(this, "ListView1").Parent(this).Bounds(10, 10, 250, 330).Get();
    ListView1->SetViewStyle(vsReport);
    ListView1->SetReadOnly(true);
    ListView1->SetRowSelect(true);
    ListView1->SetHideSelection(false);
    for (int width : {140, 100, 0, 0})
        ListView1->Columns()->Add()->SetWidth(width);
    ListView1->SetDragMode(dmAutomatic);
    ListView1->OnStartDrag = [this](TObject*, TDragObject*&) {
        TListItem* item = ListView1->Selected();
        FDragCaption = item ? item->Caption() : String();
        FDragColumnType = item ? ColumnTypeName2Type(item->SubItems()->Get(0)) : ctText;
    };
    ListView1->OnSelectItem = [this](TObject*, TListItem*, bool) { ListView1SelectItem(); };
    ListView1->OnDblClick = [this](TObject*) { EditColumnClick(); };
    ListView1->OnContextPopup = [this](TObject*, TPoint P, bool& Handled) {
        const TPoint screen = ListView1->ClientToScreen(P.X < 0 ? TPoint{0, 0} : P);
        PopupMenu1->Popup(screen.X, screen.Y);
        Handled = true;
    };
    UpDown1 = Build<TUpDown>(this, "UpDown1").Parent(this).Bounds(264, 150, 19, 40).Get();
    UpDown1->SetWrap(true);
    // Limits around the position before each step: the up-down never
    // stops at an end, and each click moves the column one place.
    UpDown1->OnChanging = [this](TObject*, bool&) {
        UpDown1->SetMin(UpDown1->Position() - 2);
        UpDown1->SetMax(UpDown1->Position() + 2);
    };
    UpDown1->OnClick = [this](TObject*, TUDBtnType Button) { UpDown1Click(Button == btNext); };

    auto button = [this](const char* Name, const char* Caption, int Left, int Top, int Width) {
        return Build<TButton>(this, Name).Parent(this).Bounds(Left, Top, Width, 27).Caption(Caption).Get();
    };
    ButtonNewColumn = button("ButtonNewColumn", "new Column", 10, 350, 122);
    ButtonDeleteColumn = button("ButtonDeleteColumn", "delete Column", 138, 350, 122);
    ButtonEditColumn = button("ButtonEditColumn", "Edit Column", 10, 382, 122);
    ButtonNewColumn->OnClick = [this](TObject*) { NewColumnClick(); };
    ButtonDeleteColumn->OnClick = [this](TObject*) { DeleteColumnClick(); };
    ButtonEditColumn->OnClick = [this](TObject*) { EditColumnClick(); };
    ButtonOK = button("ButtonOK", "OK", 574, 382, 85);
    ButtonOK->SetDefault(true);
    ButtonOK->OnClick = [this](TObject*) { OKClick(); };
    ButtonCancel = button("ButtonCancel", "Cancel", 665, 382, 85);
    ButtonCancel->SetModalResult(mrCancel);
    ButtonCancel->SetCancel(true);

    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->SetName("PopupMenu1");
    auto menuItem = [this](TPopupMenu* Menu, const char* Name, const char* Caption, std::function<void()> Click) {
        auto* item = Create<TMenuItem>(this);
        item->SetName(Name);
        item->SetCaption(Caption);
        if (Click)
            item->OnClick = [Click = std::move(Click)](TObject*) { Click(); };
        Menu->Items()->Add(item);
        return item;
    };
    NewColumn1 = menuItem(PopupMenu1, "NewColumn1", "new Column", [this] { NewColumnClick(); });
    DeleteColumn1 = menuItem(PopupMenu1, "DeleteColumn1", "delete Column", [this] { DeleteColumnClick(); });
    EditColumn1 = menuItem(PopupMenu1, "EditColumn1", "Edit Column", [this] { EditColumnClick(); });
    PopupMenu2 = Create<TPopupMenu>(this);
    PopupMenu2->SetName("PopupMenu2");
    DeleteConnection1 = menuItem(PopupMenu2, "DeleteConnection1", "Delete Connection", [this] {
        if (FActiveLabel)
            Bind(FActiveLabel, String(), ctText);
        UpdateColors();
    });
    menuItem(PopupMenu2, "N1", "-", nullptr);
    PopupMenu2->OnPopup = [this](TObject*) { PopupMenu2Popup(); };

    // The picture: a plain bar on a day grid, the roles' boxes around it.
    Image1 = Build<TPaintBox>(this, "Image1").Parent(this).Bounds(290, 10, 460, 340).Get();
    Image1->OnPaint = [this](TObject*) { PaintBar(); };
    Shape1 = Build<TShape>(this, "Shape1").Parent(this).Bounds(BarBox.Left, BarBox.Top, BarBox.Width(),
        BarBox.Height()).Get();
    Shape1->Brush()->SetColor(NormalColor);
    Shape1->Pen()->SetColor(clBlack);
    auto caption = [this](const char* Name, const char* Text, int Left, int Top) {
        Build<TLabel>(this, Name).Parent(this).Bounds(Left, Top, 110, 15).Caption(Text).Get()->SetTransparent(true);
    };
    caption("CaptionColor", "State", 500, 52);
    caption("CaptionPosition", "Position", 300, 126);
    caption("CaptionStart", "Start", 380, 212);
    caption("CaptionDauer", "Length", 510, 212);
    caption("CaptionEnde", "End", 630, 212);
    caption("CaptionTermin", "Due date", 630, 272);
    LabelColor = NewRoleLabel("LabelColor", cnColor, {500, 68, 610, 94}, false);
    LabelPosition = NewRoleLabel("LabelPosition", cnPosition, {300, 142, 415, 168}, false);
    LabelStart = NewRoleLabel("LabelStart", cnStart, {380, 228, 490, 254}, false);
    LabelDauer = NewRoleLabel("LabelDauer", cnLength, {510, 228, 620, 254}, false);
    LabelEnde = NewRoleLabel("LabelEnde", cnEnd, {630, 228, 740, 254}, false);
    LabelTermin = NewRoleLabel("LabelTermin", cnTermin, {630, 288, 740, 314}, false);
    const char* const slots[9] = {"LabelTopLeft", "LabelCenterLeft", "LabelBottomLeft", "LabelTopMiddle",
        "LabelCenterMiddle", "LabelBottomMiddle", "LabelTopRight", "LabelCenterRight", "LabelBottomRight"};
    TLabel** slotLabels[9] = {&LabelTopLeft, &LabelCenterLeft, &LabelBottomLeft, &LabelTopMiddle, &LabelCenterMiddle,
        &LabelBottomMiddle, &LabelTopRight, &LabelCenterRight, &LabelBottomRight};
    for (int i = 0; i < 9; ++i) {
        const int left = BarBox.Left + (i / 3) * SlotWidth, top = BarBox.Top + (i % 3) * SlotHeight;
        *slotLabels[i] = NewRoleLabel(slots[i], TConnection(cnTextLeftTop + i),
            {left + 2, top + 2, left + SlotWidth - 2, top + SlotHeight - 2}, true);
    }
    OnActivate = [this](TObject*) {
        FWasActive = true;
        UpdateColors();
        ListView1->Columns()->Items(0)->SetCaption(::Translate("Name"));
        ListView1->Columns()->Items(1)->SetCaption(::Translate("Type"));
    };
    ListView1SelectItem();
}

void TSetupTableDialog::PaintBar()
{
    TCanvas* c = Image1->Canvas();
    const int w = Image1->Width(), h = Image1->Height();
    c->Brush()->SetColor(clWhite);
    c->FillRect({0, 0, w, h});
    // A day grid behind the bar, and the lines from the bar's ends and its
    // middle to the dates and the length below it.
    c->Pen()->SetColor(0xE8E8E8);
    for (int x = 10; x < w; x += 30) {
        c->MoveTo(x, 0);
        c->LineTo(x, h);
    }
    const int left = BarBox.Left - Image1->Left(), right = BarBox.Right - Image1->Left();
    const int bottom = BarBox.Bottom - Image1->Top();
    c->Pen()->SetColor(clGray);
    for (int x : {left, right - 1}) {
        c->MoveTo(x, bottom);
        c->LineTo(x, 218);
    }
    c->MoveTo((left + right) / 2, bottom);
    c->LineTo((left + right) / 2, 218);
}

TLabel* TSetupTableDialog::LabelOf(TConnection Role) const
{
    for (const TRoleLabel& l : FLabels)
        if (l.Role == Role)
            return l.Label;
    return nullptr;
}

TShape* TSetupTableDialog::ShapeOf(const TLabel* Label) const
{
    for (const TRoleLabel& l : FLabels)
        if (l.Label == Label)
            return l.Shape;
    return nullptr;
}

void TSetupTableDialog::Bind(TLabel* Label, const String& Name, TColumnType Type)
{
    Label->SetCaption(Name);
    Label->SetTag(NativeInt(Type));
}

TColumnType TSetupTableDialog::LabelType(const TLabel* Label) const { return TColumnType(Label->Tag()); }

TListItem* TSetupTableDialog::AddNode(int Origin, const String& Name, const String& Format, const String& TypeName)
{
    TListItem* item = ListView1->Items()->Add();
    item->SetCaption(Name);
    item->SubItems()->Add(TypeName);
    item->SubItems()->Add(Format);
    item->SubItems()->Add(IntToStr(Origin));
    return item;
}

String TSetupTableDialog::CheckCaption(const String& Name, const TListItem* Except)
{
    String candidate = Name;
    int n = 0;
    for (int i = 0; i < ListView1->Items()->Count(); ++i) {
        TListItem* item = ListView1->Items()->Item(i);
        if (item != Except && item->Caption() == candidate) {
            candidate = Name + " " + IntToStr(++n);
            i = -1;
        }
    }
    return candidate;
}

TListItem* TSetupTableDialog::FindNode(const String& Name)
{
    for (int i = 0; i < ListView1->Items()->Count(); ++i)
        if (ListView1->Items()->Item(i)->Caption() == Name)
            return ListView1->Items()->Item(i);
    return nullptr;
}

bool TSetupTableDialog::AllowDrag(TLabel* Label, TColumnType Type) const
{
    if (Label == LabelDauer)
        return Type == ctNumber;
    if (Label == LabelPosition || Label == LabelColor)
        return Type == ctPulldown;
    if (Label == LabelStart || Label == LabelEnde || Label == LabelTermin)
        return Type == ctDate;
    return true;
}

bool TSetupTableDialog::IsConnected(const String& Name) const
{
    for (TLabel* l : {LabelPosition, LabelTermin, LabelColor, LabelDauer, LabelEnde, LabelStart})
        if (l->Caption() == Name)
            return true;
    return false;
}

void TSetupTableDialog::UpdateColors()
{
    FValidConfiguration = true;
    for (const TRoleLabel& l : FLabels)
        if (l.Role >= cnTextLeftTop && l.Role <= cnTextRightBottom)
            l.Shape->SetVisible(false);
    TListItem* selected = ListView1->Selected();
    for (const TRoleLabel& l : FLabels) {
        TColor color = selected && l.Label->Caption() == selected->Caption() ? SelectedColor : NormalColor;
        const bool needed = l.Role == cnPosition || l.Role == cnStart || l.Role == cnEnd || l.Role == cnColor ||
                            l.Role == cnLength;
        if (l.Label->Caption().empty() && needed) {
            color = MissingColor;
            FValidConfiguration = false;
        }
        if (color == SelectedColor)
            l.Shape->SetVisible(true);
        l.Shape->Brush()->SetColor(color);
    }
}

void TSetupTableDialog::Clear()
{
    ListView1->Items()->Clear();
    for (const TRoleLabel& l : FLabels)
        Bind(l.Label, String(), ctText);
    FActiveLabel = nullptr;
    FDragCaption.clear();
    ListView1SelectItem();
}

// ---- binding by drag and by menu -------------------------------------------------------

void TSetupTableDialog::LabelStartDrag(TLabel* Label)
{
    FDragCaption = Label->Caption();
    FDragColumnType = LabelType(Label);
}

void TSetupTableDialog::LabelDragOver(TLabel* Label, bool& Accept)
{
    FActiveLabel = Label;
    Accept = AllowDrag(Label, FDragColumnType) && !FDragCaption.empty();
}

void TSetupTableDialog::LabelDragDrop(TLabel* Label)
{
    const String caption = Label->Caption();
    const TColumnType type = LabelType(Label);
    Bind(Label, FDragCaption, FDragColumnType);
    FDragCaption = caption;
    FDragColumnType = type;
    UpdateColors();
}

void TSetupTableDialog::LabelEndDrag(TLabel* Label)
{
    if (AllowDrag(Label, FDragColumnType) || FDragCaption.empty())
        Bind(Label, FDragCaption, FDragColumnType);
    else
        Bind(Label, String(), ctText);
    UpdateColors();
}

void TSetupTableDialog::PopupMenu2Popup()
{
    TMenuItem* root = PopupMenu2->Items();
    while (root->Count() > 2)
        delete root->Items(root->Count() - 1);
    for (int i = 0; i < ListView1->Items()->Count(); ++i) {
        TListItem* column = ListView1->Items()->Item(i);
        const TColumnType type = ColumnTypeName2Type(column->SubItems()->Get(0));
        auto* item = Create<TMenuItem>(this);
        item->SetCaption(column->Caption());
        item->SetTag(NativeInt(type));
        item->SetEnabled(FActiveLabel && AllowDrag(FActiveLabel, type));
        // Column names are data, no wording.
        LeaveUntranslated(item, "caption");
        item->OnClick = [this, item](TObject*) {
            if (FActiveLabel)
                Bind(FActiveLabel, StripHotkey(item->Caption()), TColumnType(item->Tag()));
            UpdateColors();
        };
        root->Add(item);
    }
}

// ---- the column list -------------------------------------------------------------------------

void TSetupTableDialog::ListView1SelectItem()
{
    const bool selected = ListView1->Selected() != nullptr;
    ButtonDeleteColumn->SetEnabled(selected);
    ButtonEditColumn->SetEnabled(selected);
    DeleteColumn1->SetEnabled(selected);
    EditColumn1->SetEnabled(selected);
    UpDown1->SetEnabled(selected);
    UpdateColors();
}

void TSetupTableDialog::NewColumnClick()
{
    TListItem* item = AddNode(-1, CheckCaption(::Translate("New Column")), String(), ColumnType2Name(ctText));
    ListView1->SetSelected(item);
    ListView1SelectItem();
    EditColumnClick();
}

void TSetupTableDialog::DeleteColumnClick()
{
    TListItem* item = ListView1->Selected();
    if (!item)
        return;
    for (const TRoleLabel& l : FLabels)
        if (l.Label->Caption() == item->Caption())
            Bind(l.Label, String(), ctText);
    item->Delete();
    ListView1SelectItem();
}

void TSetupTableDialog::UpDown1Click(bool Up)
{
    TListItem* item = ListView1->Selected();
    if (!item)
        return;
    const int index = item->Index();
    const int other = Up ? index - 1 : index + 1;
    if (other < 0 || other >= ListView1->Items()->Count())
        return;
    TListItem* neighbour = ListView1->Items()->Item(other);
    const String caption = item->Caption();
    TStringList sub;
    sub.Assign(item->SubItems());
    item->SetCaption(neighbour->Caption());
    item->SubItems()->Assign(neighbour->SubItems());
    neighbour->SetCaption(caption);
    neighbour->SubItems()->Assign(&sub);
    ListView1->SetSelected(neighbour);
    ListView1->MakeVisible(neighbour);
    ListView1SelectItem();
}

void TSetupTableDialog::EditColumnClick()
{
    TListItem* item = ListView1->Selected();
    if (!item || !EditColumnDialog)
        return;
    TEditTableColumnDialog* d = EditColumnDialog;
    const String oldName = item->Caption();
    const String oldFormat = item->SubItems()->Get(1);
    d->Edit1->SetText(oldName);
    d->Edit1->SelectAll();
    d->Memo1->Lines()->Clear();
    for (const String& line : TEditTableColumnDialog::EntryLines(oldFormat))
        d->Memo1->Lines()->Add(line);
    d->ComboBox1->SetItemIndex(int(ColumnTypeName2Type(item->SubItems()->Get(0))));
    d->ComboBox1->SetEnabled(!IsConnected(oldName));
    d->Button3->SetVisible(LabelPosition->Caption() == oldName);
    d->ComboBox1Change();
    if (d->ShowModal() != mrOk)
        return;

    // An empty name would unbind every label bound to the column.
    String name = d->Edit1->Text();
    if (name.empty())
        name = oldName;
    else if (name != oldName)
        name = CheckCaption(name, item);
    const TColumnType type = d->ComboBox1->ItemIndex() >= 0 ? TColumnType(d->ComboBox1->ItemIndex()) : ctText;
    for (const TRoleLabel& l : FLabels)
        if (l.Label->Caption() == oldName)
            Bind(l.Label, name, type);
    item->SetCaption(name);
    item->SubItems()->Put(0, ColumnType2Name(type));
    // Only a pulldown's entries are edited here: the position list has its
    // own dialog, and other columns keep their format.
    if (type == ctPulldown && !d->Button3->Visible()) {
        std::vector<String> lines;
        for (int i = 0; i < d->Memo1->Lines()->Count(); ++i)
            lines.push_back(d->Memo1->Lines()->Get(i));
        item->SubItems()->Put(1, TEditTableColumnDialog::FormatFromLines(lines, oldFormat));
    }
    UpdateColors();
}

void TSetupTableDialog::OKClick()
{
    UpdateColors();
    if (!FValidConfiguration) {
        MessageDlg(::Translate("The current configuration is invalid.\\nPlease connect the remaining red fields with a "
                               "column of the table."),
            mtInformation, TMsgDlgButtons{mbOK});
        return;
    }
    if (OnApply)
        OnApply();
    SetModalResult(mrOk);
}
