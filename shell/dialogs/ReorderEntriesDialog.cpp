// The field assignment form.
#include "shell/dialogs/ReorderEntriesDialog.h"

#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "views/CanvasPanel.h"

namespace {

// The vertical middle of the list's selected row, counted from the list's
// top (its first visible row).
int SelectedMiddle(TListBox* List)
{
    return (List->ItemIndex() - List->TopIndex()) * List->ItemHeight() + List->ItemHeight() / 2;
}

}  // namespace

TReorderEntriesDialog::TReorderEntriesDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("ReorderEntriesDialog");
    SetCaption("Einträge zuordnen");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(420);
    SetClientHeight(250);
    auto list = [this](const char* Name, int Left) {
        auto* l = Build<TListBox>(this, Name).Parent(this).Bounds(Left, 12, 150, 190).Get();
        l->SetStyle(lbOwnerDrawFixed);
        l->OnDrawItem = [l](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
            l->Canvas()->FillRect(Rect);
            l->Canvas()->TextOut(Rect.Left + 2, Rect.Top, l->Items()->Get(Index));
        };
        l->OnClick = [this](TObject*) { CanvasPanel1->Invalidate(); };
        return l;
    };
    connection = list("connection", 12);
    for (const char* item : {"Position", "Starttermin", "Länge", "Termin", "Farbe", "Text links oben",
                             "Text links mitte", "Text links unten", "Text rechts oben", "Text rechts mitte",
                             "Text rechts unten"})
        connection->Items()->Add(item);
    selectedconnection = list("selectedconnection", 258);
    // Level with the lists, so a row's middle is the same height on it.
    CanvasPanel1 = Build<TCanvasPanel>(this, "CanvasPanel1").Parent(this).Bounds(162, 12, 96, 190).Get();
    CanvasPanel1->SetBevelOuter(bvNone);
    CanvasPanel1->SetShowCaption(false);
    CanvasPanel1->OnPaint = [this](TObject*) { CanvasPanel1Paint(); };
    Button1 = Build<TButton>(this, "Button1").Parent(this).Bounds(323, 214, 85, 27).Caption("Abbrechen").Get();
    Button1->SetModalResult(mrCancel);
    Button1->SetCancel(true);
    OnActivate = [this](TObject*) { FormActivate(); };
}

void TReorderEntriesDialog::FormActivate() { connection->SetItemIndex(0); }

void TReorderEntriesDialog::CanvasPanel1Paint()
{
    TCanvas* c = CanvasPanel1->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(CanvasPanel1->ClientRect());
    // Without a row chosen on both sides there is nothing to join.
    if (connection->ItemIndex() < 0 || selectedconnection->ItemIndex() < 0)
        return;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clHighlight);
    c->Pen()->SetWidth(3);
    c->MoveTo(0, SelectedMiddle(connection));
    c->LineTo(CanvasPanel1->ClientWidth(), SelectedMiddle(selectedconnection));
}
