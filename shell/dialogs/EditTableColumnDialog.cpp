// One column's name, type and pulldown entries.
#include "shell/dialogs/EditTableColumnDialog.h"

#include "document/CommaText.h"
#include "document/DocumentTypes.h"
#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"

TEditTableColumnDialog::TEditTableColumnDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("EditTableColumnDialog");
    SetCaption("Edit Column");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(330);
    Label1 = Build<TLabel>(this, "Label1").Parent(this).Bounds(12, 14, 80, 17).Caption("Name").Get();
    Edit1 = Build<TEdit>(this, "Edit1").Parent(this).Bounds(100, 10, 218, 23).Get();
    Label2 = Build<TLabel>(this, "Label2").Parent(this).Bounds(12, 46, 80, 17).Caption("Type").Get();
    ComboBox1 = Build<TComboBox>(this, "ComboBox1").Parent(this).Bounds(100, 42, 218, 23).Get();
    ComboBox1->SetStyle(csDropDownList);
    for (int t = 0; t <= int(ctLink); ++t)
        ComboBox1->Items()->Add(ColumnType2Name(TColumnType(t)));
    ComboBox1->OnChange = [this](TObject*) { ComboBox1Change(); };
    LabelFormat = Build<TLabel>(this, "LabelFormat").Parent(this).Bounds(12, 78, 80, 17).Caption("Format").Get();
    Memo1 = Build<TMemo>(this, "Memo1").Parent(this).Bounds(100, 76, 218, 200).Get();
    Memo1->SetScrollBars(ssVertical);
    Button3 = Build<TButton>(this, "Button3").Parent(this).Bounds(100, 76, 218, 27).Caption("Edit resources...").Get();
    Button3->OnClick = [this](TObject*) {
        if (OnEditResources)
            OnEditResources();
    };
    ButtonOK = Build<TButton>(this, "ButtonOK").Parent(this).Bounds(142, 292, 85, 27).Caption("OK").Get();
    ButtonOK->SetModalResult(mrOk);
    ButtonOK->SetDefault(true);
    ButtonCancel = Build<TButton>(this, "ButtonCancel").Parent(this).Bounds(233, 292, 85, 27).Caption("Cancel").Get();
    ButtonCancel->SetModalResult(mrCancel);
    ButtonCancel->SetCancel(true);
    // Whatever closed it, the next opening starts in the name.
    ButtonOK->OnClick = ButtonCancel->OnClick = [this](TObject*) { SetActiveControl(Edit1); };
}

void TEditTableColumnDialog::ComboBox1Change()
{
    const bool entries = ComboBox1->ItemIndex() == int(ctPulldown);
    LabelFormat->SetVisible(entries);
    Memo1->SetVisible(entries && !Button3->Visible());
}

std::vector<String> TEditTableColumnDialog::EntryLines(const String& Format)
{
    TStringList entries;
    entries.SetCommaText(Format);
    std::vector<String> lines;
    for (int i = 0; i < entries.Count(); ++i)
        lines.push_back(CommaTextItem(entries.Get(i), 0));
    return lines;
}

String TEditTableColumnDialog::FormatFromLines(const std::vector<String>& Lines, const String& OldFormat)
{
    TStringList old;
    old.SetCommaText(OldFormat);
    TStringList result;
    for (const String& line : Lines) {
        if (line.empty())
            continue;
        String entry;
        for (int i = 0; i < old.Count() && entry.empty(); ++i)
            if (CommaTextItem(old.Get(i), 0) == line)
                entry = old.Get(i);
        if (entry.empty()) {
            // One quoted item; a quote inside it is doubled so that the
            // entry reads back as this one text.
            String quoted = "\"";
            for (char c : line) {
                quoted += c;
                if (c == '"')
                    quoted += '"';
            }
            entry = quoted + "\"";
        }
        result.Add(entry);
    }
    return result.CommaText();
}
