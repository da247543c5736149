#include "platform/MenuBar.h"

#include "platform/Graphics.h"
#include "platform/Menus.h"

TMenuBar::TMenuBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 200, 22);
    SetColor(clBtnFace);
}

void TMenuBar::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TMenuBar::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMenu)
        FMenu = nullptr;
    TCustomControl::Notification(AComponent, Operation);
}

TRect TMenuBar::ItemRect(TMenuItem* Item)
{
    if (!FMenu || !Item)
        return TRect{};
    TMenuItem* root = FMenu->Items();
    int x = 2;
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible() || item->IsLine())
            continue;
        const int width = Canvas()->TextWidth(StripHotkey(item->Caption())) + 2 * EntryPadding;
        if (item == Item)
            return TRect{x, 0, x + width, Height()};
        x += width;
    }
    return TRect{};
}

TMenuItem* TMenuBar::ItemAt(int X)
{
    if (!FMenu)
        return nullptr;
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        const TRect r = ItemRect(item);
        if (!r.IsEmpty() && X >= r.Left && X < r.Right)
            return item;
    }
    return nullptr;
}

void TMenuBar::DropDown(TMenuItem* Item)
{
    if (!FMenu || !Item || !Item->Enabled() || !FMenu->Items()->Contains(Item))
        return;
    if (Item->Count() == 0) {
        Item->Click();
        return;
    }
    const TRect r = ItemRect(Item);
    PopupMenuItems(FMenu->Items(), Item, ClientToScreen(TPoint{r.Left, r.Bottom}));
}

void TMenuBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    if (!FMenu)
        return;
    c->Brush()->SetStyle(bsClear);
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        TRect r = ItemRect(item);
        if (r.IsEmpty())
            continue;
        c->Font()->SetColor(item->Enabled() ? clMenuText : clGrayText);
        c->DrawText(StripHotkey(item->Caption()), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(0, Height() - 1);
    c->LineTo(Width(), Height() - 1);
}

void TMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        DropDown(ItemAt(X));
}
