#pragma once
// The controls both print dialogs share: the option boxes (footer, header,
// file name, punch margin) with their texts, and the small builders that
// place labels, boxes and buttons.
#include "platform/Buttons.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "printing/PrintSupport.h"

class TPrintOptionBoxes {
public:
    TCheckBox* Fusszeile = nullptr;  // "Print Footer:"
    TEdit* Tagline = nullptr;
    TCheckBox* Header = nullptr;  // "Print Header:"
    TEdit* HeaderText = nullptr;
    TCheckBox* PrintFilename = nullptr;
    TCheckBox* Lochrand = nullptr;  // "leave border"

    // Builds the boxes on Form from (Left, Top) downwards; Tr translates.
    void Build(TForm* Form, int Left, int Top, const std::function<String(const String&)>& Tr);
    void Load(const TPrintSettings& S);
    void Store(TPrintSettings& S) const;
    // The texts a printout uses: empty unless their box is checked.
    String FooterText() const;
    String HeaderTextToPrint() const;
};

TLabel* NewLabel(TForm* Form, TWinControl* Parent, const String& Caption, int Left, int Top);
TCheckBox* NewCheckBox(TForm* Form, TWinControl* Parent, const String& Caption, int Left, int Top, int Width);
TButton* NewDialogButton(TForm* Form, const String& Caption, int Left, int Top, int Width, TModalResult Result);
