#pragma once
// TReorderEntriesDialog ("Einträge zuordnen"): the bar's fields on the
// left, the chosen assignment on the right, and between them a line from
// the selected field to the selected place. Made at start-up; nothing in
// the program opens it yet.
#include "platform/Forms.h"

class TButton;
class TCanvasPanel;
class TListBox;

class TReorderEntriesDialog : public TForm {
    VEK_DECLARE_CLASS(TReorderEntriesDialog, TForm)
public:
    explicit TReorderEntriesDialog(TComponent* AOwner);

    TListBox* connection = nullptr;
    TListBox* selectedconnection = nullptr;
    TCanvasPanel* CanvasPanel1 = nullptr;
    TButton* Button1 = nullptr;  // "Abbrechen"

    void FormActivate();
    void CanvasPanel1Paint();
};
