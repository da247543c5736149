#pragma once
// Menus and keyboard shortcuts. A menu is a tree of TMenuItem kept in our
// own fields; the toolkit's menu is made from it only when it must be shown,
// so menus built and cleared at run time work without a window.
#include <functional>
#include <vector>

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/StdCtrls.h"  // the owner-draw states

class TCanvas;
class TImageList;
class TAction;
class TMenu;
class TMenuItem;

// A shortcut packs a virtual key with modifier flags.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Shift+F5"; an empty text for none or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse; 0 for a text that names no key (modifier names are matched
// ignoring case).
TShortCut TextToShortCut(const String& Text);

// Something that follows an action (a menu item, a button). The action calls
// ActionChange whenever one of its properties changes, and ActionGone when it
// is freed.
class TActionClient {
public:
    virtual ~TActionClient();
    TAction* Action() const { return FAction; }
    void SetAction(TAction* Value);

protected:
    friend class TAction;
    // Copies the action's properties into the client.
    virtual void ActionChange(TAction* Sender) = 0;
    void ActionGone() { FAction = nullptr; }

private:
    TAction* FAction = nullptr;
};

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;

enum TMenuAutoFlag { maAutomatic, maManual, maParent };

class TMenuItem : public TComponent, public TActionClient {
    VEK_DECLARE_CLASS(TMenuItem, TComponent)

public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // Sub-items. An item belongs to one parent item at a time; Delete and
    // Remove hand it back without freeing it, Clear frees them.
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    // A sub-item by caption (ignoring ASCII case and "&"); null when none.
    TMenuItem* Find(const String& ACaption) const;

    // The menu whose tree holds the item; null for an item in no menu.
    TMenu* GetParentMenu() const;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    // A radio item being checked unchecks the radio items of its group.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; }
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value) { FGroupIndex = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The default item of its level, shown in bold; setting it clears the
    // mark of the other items there.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
    bool IsLine() const { return FCaption == "-"; }

    // Runs the item as a user's choice: AutoCheck toggles, then OnClick, or
    // else the action. Disabled items do nothing.
    virtual void Click();

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    // True when Item is somewhere below this item.
    bool Contains(const TMenuItem* Item) const;
    // Finds the enabled, visible item with this shortcut in the tree.
    TMenuItem* FindShortCut(TShortCut Value);

protected:
    void ActionChange(TAction* Sender) override;

private:
    friend class TMenu;
    // Tells the menu (and the controls showing it) that the item changed.
    void Changed();
    TMenu* FMenu = nullptr;  // set on a menu's root item only
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    String FCaption;
    String FHint;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    bool FEnabled = true;
    bool FVisible = true;
    bool FAutoCheck = false;
    bool FDefault = false;
    int FImageIndex = -1;
    TMenuAutoFlag FAutoHotkeys = maParent;
};

class TMenu : public TComponent {
    VEK_DECLARE_CLASS(TMenu, TComponent)

public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The root item; its sub-items are the menu's entries.
    TMenuItem* Items() const { return FItems; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
    // Clicks the item with this shortcut; true when one was found.
    bool IsShortCut(TShortCut Value);
    // True when the application lays out right to left: the menu's levels
    // open leftward and its items are mirrored.
    bool IsRightToLeft() const;

    // Fired when an item of the menu changed (Source; null for the whole
    // menu); Rebuild when items came or went.
    std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)> OnChange;
    void Changed(TMenuItem* Source, bool Rebuild);
    // Platform: a control that shows the menu hears of its changes
    // (CM_MENUCHANGED) until it is taken off again.
    void AddViewer(TControl* Control);
    void RemoveViewer(TControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TControl*> FViewers;
    TMenuItem* FItems;
    TImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    TMenuAutoFlag FAutoHotkeys = maAutomatic;
};

class TMainMenu : public TMenu {
    VEK_DECLARE_CLASS(TMainMenu, TMenu)

public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    VEK_DECLARE_CLASS(TPopupMenu, TMenu)

public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    ~TPopupMenu() override;
    // Fires OnPopup and shows the menu at the screen point (kept inside the
    // work area of the screen holding it) until it is closed; then the
    // chosen item, if any, is clicked.
    virtual void Popup(int X, int Y);
    TPoint PopupPoint() const { return FPopupPoint; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    TNotifyEvent OnPopup;

private:
    TPoint FPopupPoint{-1, -1};
    TComponent* FPopupComponent = nullptr;
};

// Tests: called instead of showing a popup menu, after OnPopup ran; it may
// click an item. Pass nothing to show real menus again.
void SetPopupMenuHook(std::function<void(TPopupMenu* Menu)> Hook);
// "&File" -> "File"; "&&" stays one "&".
String StripHotkey(const String& Text);
