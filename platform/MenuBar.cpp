#include "platform/MenuBar.h"

#include <QGuiApplication>

#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"
#include "platform/MenuWindow.h"
#include "platform/Menus.h"

namespace {

std::function<void(TMenuItem*)>& DropDownHook()
{
    static std::function<void(TMenuItem*)> hook;
    return hook;
}

constexpr int BarMargin = 2;  // before the first entry

bool CanMeasure() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

void SetMenuDropDownHook(std::function<void(TMenuItem* Parent)> Hook) { DropDownHook() = std::move(Hook); }

TMenuBar::TMenuBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 200, 22);
    SetColor(clBtnFace);
}

TMenuBar::~TMenuBar()
{
    if (FMenu)
        FMenu->RemoveViewer(this);
}

void TMenuBar::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu)
        FMenu->RemoveViewer(this);
    FMenu = Value;
    FHot = FDropped = nullptr;
    if (Value) {
        Value->FreeNotification(this);
        Value->AddViewer(this);
    }
    AdjustHeight();
    Invalidate();
}

void TMenuBar::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMenu) {
        FMenu = nullptr;
        FHot = FDropped = nullptr;
    }
    TCustomControl::Notification(AComponent, Operation);
}

void TMenuBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MENUCHANGED:
        // An item that went may have been the hot one.
        FHot = nullptr;
        AdjustHeight();
        Invalidate();
        return;
    case CM_FONTCHANGED:
        AdjustHeight();
        break;
    case CM_MOUSELEAVE:
        SetHot(nullptr);
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

std::vector<std::pair<TMenuItem*, int>> TMenuBar::Entries() const
{
    std::vector<std::pair<TMenuItem*, int>> list;
    if (!FMenu || !CanMeasure())
        return list;
    TMenuItem* root = FMenu->Items();
    TCanvas* c = MenuMeasureCanvas();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (item->Visible() && !item->IsLine())
            list.emplace_back(item, MeasureMenuItem(item, c, true).cx);
    }
    return list;
}

void TMenuBar::AdjustHeight()
{
    if (!FMenu || !CanMeasure())
        return;
    TCanvas* c = MenuMeasureCanvas();
    int height = 0;
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (item->Visible() && !item->IsLine())
            height = std::max(height, MeasureMenuItem(item, c, true).cy);
    }
    if (height > 0 && height != Height())
        SetHeight(height);
}

TRect TMenuBar::ItemRect(TMenuItem* Item)
{
    if (!Item)
        return TRect{};
    int x = BarMargin;
    for (const auto& [item, width] : Entries()) {
        if (item == Item)
            return TRect{x, 0, x + width, Height()};
        x += width;
    }
    return TRect{};
}

TMenuItem* TMenuBar::ItemAt(int X)
{
    int x = BarMargin;
    for (const auto& [item, width] : Entries()) {
        if (X >= x && X < x + width)
            return item;
        x += width;
    }
    return nullptr;
}

bool TMenuBar::CanDropDown(TMenuItem* Item) const
{
    if (!FMenu || !Item || !Item->Enabled() || !Item->Visible() || Item->Parent() != FMenu->Items())
        return false;
    for (int i = 0; i < Item->Count(); ++i)
        if (Item->Items(i)->Visible())
            return true;
    return false;
}

TMenuItem* TMenuBar::NeighbourEntry(TMenuItem* Item, int Step) const
{
    if (!FMenu)
        return nullptr;
    TMenuItem* root = FMenu->Items();
    const int n = root->Count();
    const int start = root->IndexOf(Item);
    if (start < 0 || n == 0)
        return nullptr;
    for (int k = 1; k < n; ++k) {
        TMenuItem* next = root->Items(((start + k * Step) % n + n) % n);
        if (CanDropDown(next))
            return next;
    }
    return nullptr;
}

bool TMenuBar::MenuKey(char32_t Key)
{
    if (!FMenu || !Showing() || !Enabled())
        return false;
    const char32_t want = MenuKeyChar(Key);
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible() || item->IsLine() || MenuAccelerator(item->Caption()) != want)
            continue;
        if (item->Count() == 0) {
            if (item->Enabled())
                item->Click();
        } else {
            DropDown(item);
        }
        return true;
    }
    return false;
}

void TMenuBar::DropDown(TMenuItem* Item)
{
    if (!FMenu || !Item || !Item->Enabled() || !FMenu->Items()->Contains(Item))
        return;
    if (Item->Count() == 0) {
        Item->Click();
        return;
    }
    if (DropDownHook()) {
        DropDownHook()(Item);
        return;
    }
    if (FDropped)
        return;  // a menu of this bar is open already
    TControlWatch watch(this);
    TMainMenu* menu = FMenu;
    TMenuItem* chosen = nullptr;
    TMenuItem* next = Item;
    bool gone = false;
    while (next && watch && FMenu == menu) {
        FDropped = next;
        SetHot(nullptr);
        Invalidate();
        Update();
        TRect entry = ItemRect(next);
        entry = {ClientToScreen(entry.TopLeft()), ClientToScreen(entry.BottomRight())};
        TMenuTrackResult r;
        try {
            r = TrackMenu(menu, next, entry.TopLeft(), this, entry);
        } catch (...) {
            if (watch)
                FDropped = nullptr;
            throw;
        }
        gone = r.MenuGone;
        chosen = r.Chosen;
        next = gone ? nullptr : r.SwitchTo;
    }
    if (!watch)
        return;
    FDropped = nullptr;
    Invalidate();
    if (!gone && chosen && FMenu == menu && menu->Items()->Contains(chosen))
        chosen->Click();
}

void TMenuBar::SetHot(TMenuItem* Item)
{
    if (FHot == Item)
        return;
    if (FHot)
        InvalidateRect(ItemRect(FHot));
    FHot = Item;
    if (FHot)
        InvalidateRect(ItemRect(FHot));
}

void TMenuBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    bool ownerDrawn = false;
    int x = BarMargin;
    for (const auto& [item, width] : Entries()) {
        const TRect r{x, 0, x + width, Height()};
        x += width;
        ownerDrawn = ownerDrawn || bool(item->OnAdvancedDrawItem);
        if (!c->RectVisible(r) && !item->OnAdvancedDrawItem)
            continue;
        const int saved = c->SaveDC();
        DrawMenuItem(item, c, r, MenuItemState(item, item == FDropped, item == FHot && !FDropped), true);
        c->RestoreDC(saved);
    }
    if (!ownerDrawn) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(0, Height() - 1);
        c->LineTo(Width(), Height() - 1);
    }
}

void TMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        DropDown(ItemAt(X));
}

void TMenuBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    SetHot(ItemAt(X));
}
