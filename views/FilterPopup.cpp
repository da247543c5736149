// The filter popup: its controls, their sections and enabling, and how it
// opens and closes.
#include "views/FilterPopup.h"

#include <algorithm>

#include "components/AutocompletingEdit.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"

namespace {

// Where the sections below the text section begin.
constexpr int SectionTop = 104;
constexpr int Indent = 16;

}  // namespace

TFilterPopup::TFilterPopup(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FilterPopup");
    SetCaption("Set Filter");
    SetBorderStyle(bsToolWindow);
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetShowHint(true);
    SetClientWidth(258);
    SetClientHeight(281);

    auto radio = [this](const String& Name, const String& Caption, int Left, int Top, int Width) {
        TRadioButton* r =
            Build<TRadioButton>(this, Name).Parent(this).Bounds(Left, Top, Width, 17).Caption(Caption).Get();
        r->OnClick = [this, r](TObject*) { RadioClick(r); };
        return r;
    };
    auto label = [this](const String& Name, const String& Caption, int Left, int Top) {
        return Build<TLabel>(this, Name).Parent(this).Bounds(Left, Top, 60, 13).Caption(Caption).Get();
    };
    auto edit = [this](const String& Name, int Left, int Top, int Width) {
        return Build<TEdit>(this, Name).Parent(this).Bounds(Left, Top, Width, 21).Get();
    };

    RadioButton2 = radio("RadioButton2", "no Filter", 8, 8, 240);
    RadioButton2->SetHint("Do not filter this column");

    Label7 = label("Label7", "Text", 8, 34);
    RadioButton1 = radio("RadioButton1", "only empty fields", Indent, 52, 230);
    RadioButton0 = radio("RadioButton0", "equal to", Indent, 76, 84);
    AutocompletingEdit1 =
        Build<TAutocompletingEdit>(this, "AutocompletingEdit1").Parent(this).Bounds(104, 73, 146, 21).Get();
    AutocompletingEdit1->SetHint("(you can use wildcards * and ?)");

    Label1 = label("Label1", "Number", 8, SectionTop);
    RadioButton4 = radio("RadioButton4", "smaller than", Indent, SectionTop + 20, 100);
    RadioButton5 = radio("RadioButton5", "bigger than", Indent, SectionTop + 44, 100);
    RadioButton6 = radio("RadioButton6", "equal to", Indent, SectionTop + 68, 100);
    Edit4 = edit("Edit4", 124, SectionTop + 17, 126);
    RadioButton7 = radio("RadioButton7", "from", Indent, SectionTop + 98, 56);
    Edit2 = edit("Edit2", 76, SectionTop + 95, 72);
    Label5 = label("Label5", "to", 156, SectionTop + 98);
    Label5->SetWidth(20);
    Edit3 = edit("Edit3", 178, SectionTop + 95, 72);

    // The list and date sections share the room of the number section, their
    // radio buttons in line with the text section's heading.
    RadioButton8 = radio("RadioButton8", "List", Label7->Left(), SectionTop, 240);
    RadioButton8->SetHint("Select with left Mouseclick (+Shift/Ctrl)");
    ListBox1 = Build<TListBox>(this, "ListBox1").Parent(this).Bounds(Indent, SectionTop + 22, 234, 120).Get();
    ListBox1->SetMultiSelect(true);

    RadioButton3 = radio("RadioButton3", "Date", Label7->Left(), SectionTop, 240);
    Label2 = label("Label2", "from", Indent, SectionTop + 28);
    DateTimePicker1 =
        Build<TDateTimePicker>(this, "DateTimePicker1").Parent(this).Bounds(64, SectionTop + 24, 186, 21).Get();
    Label3 = label("Label3", "till", Indent, SectionTop + 58);
    DateTimePicker2 =
        Build<TDateTimePicker>(this, "DateTimePicker2").Parent(this).Bounds(64, SectionTop + 54, 186, 21).Get();

    Button1 = Build<TButton>(this, "Button1").Parent(this).Bounds(92, 250, 75, 25).Caption("OK").Get();
    Button1->SetDefault(true);
    Button1->SetModalResult(mrOk);
    Button1->OnClick = [this](TObject*) { Finish(mrOk); };
    Button2 = Build<TButton>(this, "Button2").Parent(this).Bounds(175, 250, 75, 25).Caption("Cancel").Get();
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
    Button2->OnClick = [this](TObject*) { Finish(mrCancel); };

    RadioButton2->SetChecked(true);
    OnDeactivate = [this](TObject*) { Closing(); };
    OnHide = [this](TObject*) { Closing(); };
    SetPageControlTabs(false, false, false);
}

void TFilterPopup::SetPageControlTabs(bool Date, bool List, bool Number)
{
    for (TControl* c : {static_cast<TControl*>(RadioButton3), static_cast<TControl*>(Label2),
             static_cast<TControl*>(DateTimePicker1), static_cast<TControl*>(Label3),
             static_cast<TControl*>(DateTimePicker2)})
        c->SetVisible(Date);
    RadioButton8->SetVisible(List);
    ListBox1->SetVisible(List);
    for (TControl* c : {static_cast<TControl*>(Label1), static_cast<TControl*>(RadioButton4),
             static_cast<TControl*>(RadioButton5), static_cast<TControl*>(RadioButton6),
             static_cast<TControl*>(Edit4), static_cast<TControl*>(RadioButton7), static_cast<TControl*>(Edit2),
             static_cast<TControl*>(Label5), static_cast<TControl*>(Edit3)})
        c->SetVisible(Number);
}

bool TFilterPopup::DateSectionShown() const { return RadioButton3->Visible(); }
bool TFilterPopup::ListSectionShown() const { return RadioButton8->Visible(); }
bool TFilterPopup::NumberSectionShown() const { return RadioButton4->Visible(); }

void TFilterPopup::UpdateEnabling()
{
    ListBox1->SetEnabled(RadioButton8->Checked());
    DateTimePicker1->SetEnabled(RadioButton3->Checked());
    DateTimePicker2->SetEnabled(RadioButton3->Checked());
    AutocompletingEdit1->SetEnabled(RadioButton0->Checked());
    Edit2->SetEnabled(RadioButton7->Checked());
    Edit3->SetEnabled(RadioButton7->Checked());
    Edit4->SetEnabled(RadioButton4->Checked() || RadioButton5->Checked() || RadioButton6->Checked());
}

void TFilterPopup::RadioClick(TRadioButton* Radio)
{
    // One group across the sections: the platform groups radio buttons by
    // parent, and all of them share the form, but a checked button of a
    // hidden section must not stay checked beside the new one either.
    for (TRadioButton* r : {RadioButton0, RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5,
             RadioButton6, RadioButton7, RadioButton8})
        if (r != Radio && r->Checked())
            r->SetChecked(false);
    if (Radio == RadioButton4 || Radio == RadioButton5 || Radio == RadioButton6)
        Edit4->SetTop(Radio->Top() - 3);
    UpdateEnabling();
}

void TFilterPopup::Open(int Left, int Top)
{
    SetModalResult(mrNone);
    SetBounds(Left, Top, Width(), Height());
    FOpen = true;
    UpdateEnabling();
    Show();
}

void TFilterPopup::Finish(TModalResult Result)
{
    SetModalResult(Result);
    Hide();
    // Hidden while not the active window (no deactivation came): it still
    // closes once.
    Closing();
}

void TFilterPopup::Closing()
{
    if (!FOpen)
        return;
    FOpen = false;
    if (Visible())
        Hide();
    if (OnClosed)
        OnClosed();
}

void TFilterPopup::KeyDown(Word& Key, TShiftState Shift)
{
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) {
        TForm::KeyDown(Key, Shift);
        return;
    }
    // The focused Cancel button answers Enter itself.
    if (Key == VK_RETURN && ActiveControl() != Button2) {
        Key = 0;
        Finish(mrOk);
        return;
    }
    if (Key == VK_ESCAPE) {
        Key = 0;
        Finish(mrCancel);
        return;
    }
    TForm::KeyDown(Key, Shift);
}

TPoint PlaceFilterPopup(const TPoint& Anchor, int HeaderHeight, int Width, int Height, const TRect& Screen)
{
    TPoint p = Anchor;
    if (p.Y + Height > Screen.Bottom)
        p.Y -= Height + HeaderHeight;
    if (p.X + Width > Screen.Right)
        p.X = Screen.Right - Width;
    // A column scrolled partly off the screen's left still opens on it.
    p.X = std::max(p.X, Screen.Left);
    p.Y = std::max(p.Y, Screen.Top);
    return p;
}
