// The print dialogs' shared controls.
#include "printing/PrintDialogControls.h"

TLabel* NewLabel(TForm* Form, TWinControl* Parent, const String& Caption, int Left, int Top)
{
    auto* l = Create<TLabel>(Form);
    l->SetParent(Parent);
    l->SetCaption(Caption);
    l->SetLeft(Left);
    l->SetTop(Top);
    return l;
}

TCheckBox* NewCheckBox(TForm* Form, TWinControl* Parent, const String& Caption, int Left, int Top, int Width)
{
    auto* b = Create<TCheckBox>(Form);
    b->SetParent(Parent);
    b->SetBounds(Left, Top, Width, 17);
    b->SetCaption(Caption);
    return b;
}

TButton* NewDialogButton(TForm* Form, const String& Caption, int Left, int Top, int Width, TModalResult Result)
{
    auto* b = Create<TButton>(Form);
    b->SetParent(Form);
    b->SetBounds(Left, Top, Width, 25);
    b->SetCaption(Caption);
    b->SetModalResult(Result);
    return b;
}

void TPrintOptionBoxes::Build(TForm* Form, int Left, int Top, const std::function<String(const String&)>& Tr)
{
    Fusszeile = NewCheckBox(Form, Form, Tr("Print Footer:"), Left, Top, 110);
    Fusszeile->SetName("Fusszeile");
    Tagline = Create<TEdit>(Form);
    Tagline->SetParent(Form);
    Tagline->SetName("Tagline");
    Tagline->SetBounds(Left + 115, Top - 2, 155, 21);
    Header = NewCheckBox(Form, Form, Tr("Print Header:"), Left, Top + 26, 110);
    Header->SetName("Header");
    HeaderText = Create<TEdit>(Form);
    HeaderText->SetParent(Form);
    HeaderText->SetName("HeaderText");
    HeaderText->SetBounds(Left + 115, Top + 24, 155, 21);
    PrintFilename = NewCheckBox(Form, Form, Tr("Print Filename"), Left, Top + 52, 200);
    PrintFilename->SetName("PrintFilename");
    Lochrand = NewCheckBox(Form, Form, Tr("leave border"), Left, Top + 74, 200);
    Lochrand->SetName("Lochrand");
}

void TPrintOptionBoxes::Load(const TPrintSettings& S)
{
    Fusszeile->SetChecked(S.PrintFooter);
    Tagline->SetText(S.Footer);
    Header->SetChecked(S.PrintHeader);
    HeaderText->SetText(S.Header);
    PrintFilename->SetChecked(S.PrintFilename);
    Lochrand->SetChecked(S.Lochrand);
}

void TPrintOptionBoxes::Store(TPrintSettings& S) const
{
    S.PrintFooter = Fusszeile->Checked();
    S.Footer = Tagline->Text();
    S.PrintHeader = Header->Checked();
    S.Header = HeaderText->Text();
    S.PrintFilename = PrintFilename->Checked();
    S.Lochrand = Lochrand->Checked();
}

String TPrintOptionBoxes::FooterText() const { return Fusszeile->Checked() ? Tagline->Text() : String(); }
String TPrintOptionBoxes::HeaderTextToPrint() const { return Header->Checked() ? HeaderText->Text() : String(); }
