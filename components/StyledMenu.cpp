// The styled menus' component: properties, the working palette, hooking the
// menus' items, and the manager that lends the look to other forms.
#include "components/StyledMenu.h"

#include <algorithm>
#include <cmath>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/MenuBar.h"

namespace {

TStyledMenuManager* gManager = nullptr;
std::vector<const TStyledMenu*> gLive;

// The manager's own message: style what is pending.
constexpr UINT WM_STYLE_PENDING = WM_USER + 0x731;

// The handlers put on items. Being types of their own, they tell ours from
// handlers others put there.
struct TStyledDrawHandler {
    TStyledMenu* Owner;
    void operator()(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State) const
    {
        Owner->DrawItem(static_cast<TMenuItem*>(Sender), Canvas, Rect, State);
    }
};

struct TStyledMeasureHandler {
    TStyledMenu* Owner;
    void operator()(TObject* Sender, TCanvas* Canvas, int& Width, int& Height) const
    {
        Owner->MeasureItem(static_cast<TMenuItem*>(Sender), Canvas, Width, Height);
    }
};

constexpr TStyledContainers AllContainers{xccForm,    xccFrame,     xccToolbar,  xccCoolbar,  xccControlbar,
                                          xccPanel,   xccScrollBox, xccGroupBox, xccTabSheet, xccPageScroller};

TStyledControls AllControls()
{
    TStyledControls s;
    for (int i = xcMainMenu; i <= xcHotKey; ++i)
        s.Include(TStyledControl(i));
    return s;
}

bool HasOwnStyledMenu(TComponent* Form)
{
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (Is<TStyledMenu>(Form->Components(i)))
            return true;
    return false;
}

template <class T>
void Erase(std::vector<T*>& List, const TObject* Item)
{
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

template <class T>
bool Holds(const std::vector<T*>& List, const TObject* Item)
{
    return std::find(List.begin(), List.end(), Item) != List.end();
}

}  // namespace

// ---------------------------------------------------------------------------
// Colour arithmetic.

TColor NewColor(TColor C, int P)
{
    C = ColorToRGB(C);
    P = std::clamp(P, 0, 100);
    // Whole numbers throughout: a half rounds up, exactly.
    auto ch = [P](int V) { return Byte(V + ((255 - V) * P * 2 + 100) / 200); };
    return RGB(ch(GetRValue(C)), ch(GetGValue(C)), ch(GetBValue(C)));
}

TColor GetShadeColor(TColor C, int D)
{
    C = ColorToRGB(C);
    auto ch = [](int V) { return Byte(std::clamp(V, 0, 255)); };
    return RGB(ch(GetRValue(C) - D), ch(GetGValue(C) - D + 2), ch(GetBValue(C) - D));
}

TColor GrayColor(TColor C, int Level)
{
    C = ColorToRGB(C);
    const int g = std::min(240, (GetRValue(C) + GetGValue(C) + GetBValue(C)) / 3 + Level);
    return RGB(Byte(g), Byte(g), Byte(g));
}

TColor TopMenuFontColor(TColor C, TColor FontColor)
{
    const TColor rgb = ColorToRGB(C);
    if ((GetRValue(rgb) + GetBValue(rgb)) / 2 > 150 || GetGValue(rgb) > 200)
        return FontColor;
    return NewColor(C, 90);
}

// ---------------------------------------------------------------------------
// TStyledMenu

TStyledMenu::TStyledMenu(TComponent* AOwner)
    : TComponent(AOwner), FForm(AOwner), FFont(std::make_unique<TFont>())
{
    if (Screen)
        FFont->Assign(Screen->MenuFont());
    FFont->SetColor(clMenuText);
    FSelectFontColor = FFont->Color();
    FStyledContainers = AllContainers;
    FStyledControls = AllControls();
    if (!ComponentState().Contains(csDesigning) && !gManager)
        gManager = new TStyledMenuManager();
    SetGlobalColor(ScreenBitsPerPixel);
    gLive.push_back(this);
}

TStyledMenu::~TStyledMenu() { Erase(gLive, this); }

bool TStyledMenu::IsLive(const TStyledMenu* Menu) { return Holds(gLive, Menu); }

void TStyledMenu::BeforeDestruction()
{
    Erase(gLive, this);
    // Our handlers must not outlive us on any item.
    if (FActive && FForm)
        InitItems(FForm, false, true);
    if (gManager) {
        gManager->Unregister(this);
        if (gManager->StyledMenuCount() == 0) {
            delete gManager;
            gManager = nullptr;
        }
    }
    TComponent::BeforeDestruction();
}

void TStyledMenu::Loaded()
{
    TComponent::Loaded();
    // The form has all its components now.
    if (FActive && FForm)
        InitItems(FForm, true, true);
    if (gManager)
        gManager->Register(this);
}

void TStyledMenu::SetActive(bool Value)
{
    FActive = Value;
    if (FForm)
        InitItems(FForm, Value, true);
    RedrawMenuBars();
}

void TStyledMenu::SetFont(TFont* Value)
{
    FFont->Assign(Value);
    FColorsChanged = true;
    RedrawMenuBars();
}

void TStyledMenu::SetMenuBarColor(TColor Value)
{
    SetColour(FMenuBarColor, Value);
    RedrawMenuBars();
}

void TStyledMenu::SetUseSystemColors(bool Value)
{
    SetColourFlag(FUseSystemColors, Value);
    RedrawMenuBars();
}

void TStyledMenu::SetDrawMenuBar(bool Value)
{
    SetColourFlag(FDrawMenuBar, Value);
    RedrawMenuBars();
}

void TStyledMenu::SetOverrideOwnerDraw(bool Value)
{
    FOverrideOwnerDraw = Value;
    if (FActive)
        SetActive(true);
}

void TStyledMenu::SetStyledContainers(TStyledContainers Value)
{
    const bool active = FActive;
    if (active)
        SetActive(false);
    FStyledContainers = Value;
    if (active)
        SetActive(true);
}

void TStyledMenu::SetStyledControls(TStyledControls Value)
{
    const bool active = FActive;
    if (active)
        SetActive(false);
    FStyledControls = Value;
    if (active)
        SetActive(true);
}

void TStyledMenu::SetGlobalColor(int BitsPerPixel)
{
    FColorsChanged = false;
    FIs16Bit = BitsPerPixel > 15;
    TStyledMenuPalette& p = FPalette;
    p.Color = ColorToRGB(FColor);
    p.IconBackColor = ColorToRGB(FIconBackColor);
    if (FIs16Bit) {
        p.SelectColor = FUseDimColor ? NewColor(FSelectColor, 68) : ColorToRGB(FSelectColor);
        p.CheckedAreaColor = FUseDimColor ? NewColor(FSelectColor, 80) : ColorToRGB(FSelectColor);
        p.CheckedAreaSelectColor = FUseDimColor ? NewColor(FSelectColor, 50) : ColorToRGB(FSelectColor);
        p.MenuBorderColor = GetShadeColor(clBtnFace, 90);
        p.MenuShadowColor = GetShadeColor(clBtnFace, 76);
    } else {
        p.SelectColor = ColorToRGB(FSelectColor);
        p.CheckedAreaColor = clWhite;
        p.CheckedAreaSelectColor = clSilver;
        p.MenuBorderColor = ColorToRGB(clBtnShadow);
        p.MenuShadowColor = ColorToRGB(clBtnShadow);
    }
    p.SelectBorderColor = ColorToRGB(FSelectBorderColor);
    p.SelectFontColor = ColorToRGB(FSelectFontColor);
    p.MenuBarColor = ColorToRGB(FMenuBarColor);
    p.DisabledColor = ColorToRGB(FDisabledColor);
    p.CheckedColor = ColorToRGB(FCheckedColor);
    p.SeparatorColor = ColorToRGB(FSeparatorColor);
    if (!FUseSystemColors)
        return;
    const TColor font = ColorToRGB(FFont->Color());
    p.SelectFontColor = font;
    p.SelectBorderColor = ColorToRGB(clHighlight);
    p.MenuBarColor = ColorToRGB(clBtnFace);
    p.CheckedColor = ColorToRGB(clHighlight);
    if (FIs16Bit) {
        p.Color = NewColor(clBtnFace, 86);
        p.IconBackColor = NewColor(clBtnFace, 16);
        p.SelectColor = NewColor(clHighlight, 68);
        p.DisabledColor = NewColor(clBtnShadow, 10);
        p.SeparatorColor = NewColor(clBtnShadow, 25);
        p.CheckedAreaColor = NewColor(clHighlight, 80);
        p.CheckedAreaSelectColor = NewColor(clHighlight, 50);
    } else {
        p.Color = clWhite;
        p.IconBackColor = ColorToRGB(clBtnFace);
        p.SelectColor = clWhite;
        p.DisabledColor = ColorToRGB(clBtnShadow);
        p.SeparatorColor = ColorToRGB(clBtnShadow);
        p.CheckedAreaColor = clWhite;
        p.CheckedAreaSelectColor = clWhite;
    }
}

void TStyledMenu::HookItem(TMenuItem* Item, bool Enable, bool Recursive)
{
    if (Item->Tag() != 999) {
        if (Enable) {
            if (!Item->OnAdvancedDrawItem || FOverrideOwnerDraw)
                Item->OnAdvancedDrawItem = TStyledDrawHandler{this};
            if (!Item->OnMeasureItem || FOverrideOwnerDraw)
                Item->OnMeasureItem = TStyledMeasureHandler{this};
        } else {
            // Only what we put there goes.
            if (auto* d = Item->OnAdvancedDrawItem.target<TStyledDrawHandler>(); d && d->Owner == this)
                Item->OnAdvancedDrawItem = nullptr;
            if (auto* m = Item->OnMeasureItem.target<TStyledMeasureHandler>(); m && m->Owner == this)
                Item->OnMeasureItem = nullptr;
        }
    }
    if (Recursive)
        for (int i = 0; i < Item->Count(); ++i)
            HookItem(Item->Items(i), Enable, true);
}

void TStyledMenu::InitItem(TComponent* Component, bool Enable, bool Update)
{
    if (!Component || Component->Tag() == 999)
        return;
    if (auto* main = dynamic_cast<TMainMenu*>(Component)) {
        if (!FStyledControls.Contains(xcMainMenu))
            return;
        HookItem(main->Items(), Enable, true);
        if (Update)
            RedrawMenuBars(main);
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(Component)) {
        if (FStyledControls.Contains(xcPopupMenu))
            HookItem(popup->Items(), Enable, true);
    } else if (auto* item = dynamic_cast<TMenuItem*>(Component)) {
        // An item of a styled menu's kind, made later.
        TMenu* menu = item->GetParentMenu();
        if (menu && FStyledControls.Contains(Is<TMainMenu>(menu) ? xcMainMenu : xcPopupMenu))
            HookItem(item, Enable, false);
    }
    // The control painters are not part of this kit: other kinds stay as
    // they are.
}

void TStyledMenu::InitItems(TComponent* Container, bool Enable, bool Update)
{
    if (!Container || Container->Tag() == 999)
        return;
    for (int i = 0; i < Container->ComponentCount(); ++i)
        InitItem(Container->Components(i), Enable, Update);
}

void TStyledMenu::ForceComponent(TComponent* Menu)
{
    const TStyledControls saved = FStyledControls;
    FStyledControls = AllControls();
    InitItem(Menu, true, true);
    FStyledControls = saved;
}

void TStyledMenu::ActivateMenuItem(TMenuItem* Item, bool Recursive)
{
    if (FActive && Item)
        HookItem(Item, true, Recursive);
}

void TStyledMenu::RedrawMenuBars(TMenu* Menu)
{
    // The bars lay their entries out again with the new measures.
    TComponent* owner = Menu ? Menu->Owner() : nullptr;
    if (!owner)
        return;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<TMenuBar*>(owner->Components(i)); bar && bar->Menu() == Menu) {
            bar->AdjustHeight();
            bar->Invalidate();
        }
}

void TStyledMenu::RedrawMenuBars()
{
    if (!FForm)
        return;
    for (int i = 0; i < FForm->ComponentCount(); ++i)
        if (auto* main = dynamic_cast<TMainMenu*>(FForm->Components(i)); main && main->Tag() != 999)
            RedrawMenuBars(main);
}

void TStyledMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (!gManager)
        return;
    if (Operation == opRemove)
        gManager->FormGone(AComponent);
}

void TStyledMenu::Inserted(TComponent* AComponent)
{
    TComponent::Inserted(AComponent);
    if (ComponentState().Contains(csDestroying))
        return;
    if (gManager && AComponent != FForm && Is<TCustomForm>(AComponent))
        gManager->PostStyling();
    // Hooked before it joins a menu: which menu it will join is not known
    // yet, so either kind being styled is enough.
    auto* item = dynamic_cast<TMenuItem*>(AComponent);
    if (item && FActive && FAutoDetect && item->Owner() == FForm &&
        (FStyledControls.Contains(xcMainMenu) || FStyledControls.Contains(xcPopupMenu)))
        HookItem(item, true, false);
}

// ---------------------------------------------------------------------------
// TStyledMenuManager

TStyledMenuManager* StyledMenuManager() { return gManager; }

TStyledMenuManager::TStyledMenuManager()
{
    FWindow = AllocateHWnd([this](TMessage& M) {
        if (M.Msg == WM_STYLE_PENDING) {
            FPosted = false;
            StylePendingForms();
        }
    });
}

TStyledMenuManager::~TStyledMenuManager()
{
    if (FWatched && FWatchHook)
        RemoveWndProcHook(FWatched, FWatchHook);
    DeallocateHWnd(FWindow);
}

bool TStyledMenuManager::IsStyled(TCustomForm* Form) const { return Holds(FFormList, Form); }

TStyledMenu* TStyledMenuManager::NextActive(TStyledMenu* Except) const
{
    for (TStyledMenu* m : FStyledMenuList)
        if (m != Except && m->Active() && !m->DisableSubclassing())
            return m;
    return nullptr;
}

void TStyledMenuManager::Register(TStyledMenu* Menu)
{
    if (!Holds(FStyledMenuList, Menu))
        FStyledMenuList.push_back(Menu);
    if (Menu->FForm && !Holds(FFormList, Menu->FForm))
        FFormList.push_back(Menu->FForm);
    if (!FActiveStyledMenu)
        SetActiveStyledMenu(NextActive(nullptr));
    CollectForms();
    PostStyling();
}

void TStyledMenuManager::SetActiveStyledMenu(TStyledMenu* Menu)
{
    FActiveStyledMenu = Menu;
    WatchMainWindow();
}

void TStyledMenuManager::Unregister(TStyledMenu* Menu)
{
    Erase(FStyledMenuList, Menu);
    // Its own form may be going with it.
    Erase(FFormList, Menu->FForm);
    if (FActiveStyledMenu == Menu) {
        TStyledMenu* next = NextActive(Menu);
        // The forms that borrowed the look give it back, or take the next.
        for (TComponent* form : FFormList) {
            if (HasOwnStyledMenu(form))
                continue;
            Menu->InitItems(form, false, true);
            if (next)
                next->InitItems(form, true, true);
            form->RemoveFreeNotification(Menu);
            if (next)
                form->FreeNotification(next);
        }
        SetActiveStyledMenu(next);
    }
}

void TStyledMenuManager::WatchMainWindow()
{
    // New forms are looked for as messages reach the active one's window.
    auto* form = FActiveStyledMenu ? dynamic_cast<TCustomForm*>(FActiveStyledMenu->FForm) : nullptr;
    if (form == FWatched)
        return;
    if (FWatched && FWatchHook)
        RemoveWndProcHook(FWatched, FWatchHook);
    FWatched = form;
    FWatchHook = 0;
    if (form)
        FWatchHook = AddWndProcHook(form, [this](TMessage& M, const TWndMethod& Next) {
            if ((Application && Application->FormCount() != FKnownFormCount) ||
                (FWatched && FWatched->ComponentCount() != FKnownComponentCount))
                PostStyling();
            Next(M);
        });
}

void TStyledMenuManager::CollectForms()
{
    auto consider = [this](TComponent* C) {
        auto* f = dynamic_cast<TCustomForm*>(C);
        if (f && f->Tag() != 999 && !HasOwnStyledMenu(f) && !Holds(FPendingFormsList, f) && !Holds(FFormList, f))
            FPendingFormsList.push_back(f);
    };
    if (Application) {
        FKnownFormCount = Application->FormCount();
        for (int i = 0; i < Application->FormCount(); ++i)
            consider(Application->Forms(i));
    }
    // Dialogs a styled form owns.
    if (FWatched)
        FKnownComponentCount = FWatched->ComponentCount();
    const std::vector<TComponent*> styled = FFormList;
    for (TComponent* form : styled)
        for (int i = 0; i < form->ComponentCount(); ++i)
            consider(form->Components(i));
}

void TStyledMenuManager::PostStyling()
{
    if (FPosted)
        return;
    FPosted = PostMessage(FWindow, WM_STYLE_PENDING);
}

void TStyledMenuManager::StylePendingForms()
{
    // Only forms alive now: one collected earlier may have gone since.
    FPendingFormsList.clear();
    CollectForms();
    if (!FActiveStyledMenu || FDisableSubclassing)
        return;
    std::vector<TCustomForm*> pending;
    pending.swap(FPendingFormsList);
    for (TCustomForm* f : pending) {
        FFormList.push_back(f);
        FActiveStyledMenu->InitItems(f, true, true);
        // When it goes, the list forgets it.
        f->FreeNotification(FActiveStyledMenu);
    }
}

void TStyledMenuManager::FormGone(TComponent* Form)
{
    Erase(FPendingFormsList, Form);
    Erase(FFormList, Form);
}
