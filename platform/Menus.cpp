// Menu trees, shortcuts and the action link of menu items. Popup menus are
// our own menu windows (MenuWindow.cpp).
#include "platform/Menus.h"
#include "platform/MenuBar.h"

#include <algorithm>
#include <cctype>

#include "platform/ActnList.h"
#include "platform/ControlsPrivate.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/MenuWindow.h"

namespace {

struct TKeyName {
    Word Key;
    const char* Name;
};

constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},   {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},   {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_ADD, "Num +"},  {VK_SUBTRACT, "Num -"}, {VK_MULTIPLY, "Num *"}, {VK_DIVIDE, "Num /"},
    {VK_OEM_PLUS, "+"}, {VK_OEM_MINUS, "-"}, {VK_OEM_COMMA, ","}, {VK_OEM_PERIOD, "."},
};

String KeyName(Word Key)
{
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return String(1, char(Key));
    if (Key >= VK_F1 && Key <= VK_F24)
        return "F" + std::to_string(Key - VK_F1 + 1);
    for (const auto& k : KeyNames)
        if (k.Key == Key)
            return k.Name;
    return {};
}

bool SameText(const String& A, const String& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::function<void(TPopupMenu*)>& PopupHook()
{
    static std::function<void(TPopupMenu*)> hook;
    return hook;
}

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return 0;
    TShortCut s = Key;
    if (Shift.Contains(ssShift)) s |= scShift;
    if (Shift.Contains(ssCtrl)) s |= scCtrl;
    if (Shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift)
{
    Key = Value & 0xFF;
    Shift = {};
    if (Value & scShift) Shift.Include(ssShift);
    if (Value & scCtrl) Shift.Include(ssCtrl);
    if (Value & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut Value)
{
    const String name = KeyName(Value & 0xFF);
    if (name.empty())
        return {};
    String s;
    if (Value & scShift) s += "Shift+";
    if (Value & scCtrl) s += "Ctrl+";
    if (Value & scAlt) s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const String& Text)
{
    // Bounded: nothing longer than any real shortcut text is looked at.
    if (Text.empty() || Text.size() > 64)
        return 0;
    TShortCut mods = 0;
    String rest = Text;
    for (bool found = true; found;) {
        found = false;
        for (auto [word, flag] : {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            const String w = word;
            if (rest.size() > w.size() && SameText(rest.substr(0, w.size()), w)) {
                mods |= flag;
                rest = rest.substr(w.size());
                found = true;
            }
        }
    }
    for (int key = 1; key < 256; ++key) {
        const String name = KeyName(Word(key));
        if (!name.empty() && SameText(name, rest))
            return TShortCut(key) | mods;
    }
    return 0;
}

String StripHotkey(const String& Text)
{
    String s;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&')
                s += '&', ++i;
            continue;
        }
        s += Text[i];
    }
    return s;
}

// ---------------------------------------------------------------------------

TActionClient::~TActionClient() { SetAction(nullptr); }

void TActionClient::SetAction(TAction* Value)
{
    if (FAction == Value)
        return;
    if (FAction) {
        auto& c = FAction->FClients;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    FAction = Value;
    if (FAction) {
        FAction->FClients.push_back(this);
        ActionChange(FAction);
    }
}

// ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    MenuItemGone(this);
    SetAction(nullptr);
    // Sub-items owned by nobody go with their parent; owned ones are only
    // let go of (their owner frees them).
    auto items = FItems;
    FItems.clear();
    for (TMenuItem* i : items) {
        i->FParent = nullptr;
        if (!i->Owner())
            delete i;
    }
    if (FParent)
        FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    return FItems[std::size_t(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw EInvalidOperation("Menu inserted twice");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EInvalidOperation("A menu item cannot contain itself");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Delete(int Index)
{
    TMenuItem* i = Items(Index);
    FItems.erase(FItems.begin() + Index);
    i->FParent = nullptr;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
}

void TMenuItem::Clear()
{
    if (FItems.empty())
        return;
    while (Count() > 0) {
        TMenuItem* i = FItems.back();
        FItems.pop_back();
        i->FParent = nullptr;
        delete i;
    }
    Changed();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const
{
    const String want = StripHotkey(ACaption);
    for (TMenuItem* i : FItems)
        if (SameText(StripHotkey(i->FCaption), want))
            return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->FParent)
        i = i->FParent;
    return i->FMenu;
}

void TMenuItem::Changed()
{
    if (TMenu* m = GetParentMenu())
        m->Changed(this, false);
}

void TMenuItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    Changed();
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Changed();
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Changed();
}

void TMenuItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    if (Value && FParent)
        for (TMenuItem* i : FParent->FItems)
            i->FDefault = false;
    FDefault = Value;
    Changed();
}

void TMenuItem::SetChecked(bool Value)
{
    FChecked = Value;
    if (Value && FRadioItem && FParent)
        for (TMenuItem* i : FParent->FItems)
            if (i != this && i->FRadioItem && i->FGroupIndex == FGroupIndex)
                i->FChecked = false;
    Changed();
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (FAutoCheck && !(Action() && Action()->AutoCheck()))
        SetChecked(!FChecked);
    if (OnClick)
        OnClick(this);
    else if (Action())
        Action()->Execute();
}

bool TMenuItem::Contains(const TMenuItem* Item) const
{
    for (const TMenuItem* i : FItems)
        if (i == Item || i->Contains(Item))
            return true;
    return false;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Value)
{
    if (!Value)
        return nullptr;
    for (TMenuItem* i : FItems) {
        if (!i->FVisible)
            continue;
        if (i->FShortCut == Value && i->FEnabled)
            return i;
        if (TMenuItem* sub = i->FindShortCut(Value))
            return sub;
    }
    return nullptr;
}

void TMenuItem::ActionChange(TAction* Sender)
{
    const bool same = FCaption == Sender->Caption() && FShortCut == Sender->ShortCut() &&
                      FEnabled == Sender->Enabled() && FChecked == Sender->Checked() &&
                      FVisible == Sender->Visible() && FImageIndex == Sender->ImageIndex();
    FCaption = Sender->Caption();
    FHint = Sender->Hint();
    FShortCut = Sender->ShortCut();
    FEnabled = Sender->Enabled();
    FChecked = Sender->Checked();
    FVisible = Sender->Visible();
    FImageIndex = Sender->ImageIndex();
    if (!same)
        Changed();
}

// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu()
{
    FItems->FMenu = nullptr;
    delete FItems;
}

bool TMenu::IsRightToLeft() const { return Application->BiDiMode() != bdLeftToRight; }

void TMenu::Changed(TMenuItem* Source, bool Rebuild)
{
    if (OnChange)
        OnChange(this, Source, Rebuild);
    for (TControl* c : std::vector<TControl*>(FViewers))
        c->Perform(CM_MENUCHANGED);
}

void TMenu::AddViewer(TControl* Control)
{
    if (std::find(FViewers.begin(), FViewers.end(), Control) == FViewers.end())
        FViewers.push_back(Control);
}

void TMenu::RemoveViewer(TControl* Control)
{
    FViewers.erase(std::remove(FViewers.begin(), FViewers.end(), Control), FViewers.end());
}

bool TMenu::IsShortCut(TShortCut Value)
{
    TMenuItem* i = FItems->FindShortCut(Value);
    if (!i)
        return false;
    i->Click();
    return true;
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
    TComponent::Notification(AComponent, Operation);
}

TPopupMenu::~TPopupMenu() = default;

void SetPopupMenuHook(std::function<void(TPopupMenu* Menu)> Hook) { PopupHook() = std::move(Hook); }

void TPopupMenu::Popup(int X, int Y)
{
    FPopupPoint = {X, Y};
    if (OnPopup)
        OnPopup(this);
    if (PopupHook()) {
        PopupHook()(this);
        return;
    }
    const TMenuTrackResult r = TrackMenu(this, Items(), TPoint{X, Y});
    // The item may have been taken out while the menu was open.
    if (!r.MenuGone && r.Chosen && Items()->Contains(r.Chosen))
        r.Chosen->Click();
}

void TMenu::SetImages(TImageList* Value)
{
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
}
