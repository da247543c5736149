#pragma once
// Our own menus: each open level is a popup window listing a parent item's
// visible sub-items. Items are measured and drawn through their
// OnMeasureItem and OnAdvancedDrawItem events when they have them, else in
// the plain look. The arrow keys, Enter, Esc and the items' accelerators
// work the menu; the pointer selects, opens sub-menus and chooses; a press
// outside every level closes them all and reaches nothing beneath. Menus are
// placed inside the work area of the screen that holds them.
//
// TPopupMenu::Popup and the menu bar's drop-downs run them through
// TrackMenu, which returns once the menu is closed; the chosen item is
// clicked after that.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Forms.h"
#include "platform/Menus.h"

class TMenuBar;
class TMenuTracker;

// The plain look's measures.
struct TMenuMetrics {
    static constexpr int Frame = 2;           // border and padding round the entries
    static constexpr int SeparatorHeight = 7;
    static constexpr int ShortCutGap = 24;    // between the caption and the shortcut text
    static constexpr int ArrowColumn = 20;    // the sub-menu arrow, and the right margin
    static constexpr int SubMenuOverlap = 3;  // a sub-menu covers its parent's edge
};

// The size of an item in the plain look with Canvas's font (the menu font):
// a top item of a menu bar when TopLevel, else an entry of a popup level.
TSize PlainMenuItemSize(TMenuItem* Item, TCanvas* Canvas, bool TopLevel);
// The plain size, then OnMeasureItem's answer when the item has one.
TSize MeasureMenuItem(TMenuItem* Item, TCanvas* Canvas, bool TopLevel);
// A canvas for measuring menu items.
TCanvas* MenuMeasureCanvas();
// The owner-draw state of an item drawn selected and/or hot.
TOwnerDrawState MenuItemState(TMenuItem* Item, bool Selected, bool HotLight);
// Draws the item into Rect: through OnAdvancedDrawItem when it has one
// (the canvas set up with the menu font and the state's colours), else in
// the plain look.
void DrawMenuItem(TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, TOwnerDrawState State, bool TopLevel);
// The accelerator of a caption: the character after a single "&",
// upper-cased; 0 when it has none.
char32_t MenuAccelerator(const String& Caption);
// Upper case of a typed character, as accelerators are compared.
char32_t MenuKeyChar(char32_t Char);

class TMenuWindow;

// How a level is framed: the room round its entries and who paints it. The
// plain frame is the level's own. A painter paints over the room after the
// entries are drawn; it draws any shadow itself, so the toolkit's band is
// left off, and the CornerCut squares at the top-right and bottom-left
// corners are no part of the window.
struct TMenuFrame {
    int Left = TMenuMetrics::Frame;
    int Top = TMenuMetrics::Frame;
    int Right = TMenuMetrics::Frame;
    int Bottom = TMenuMetrics::Frame;
    int CornerCut = 0;
    std::function<void(TMenuWindow* Window, TCanvas* Canvas)> Paint;
};

// The level whose items are being measured, while it is filled: an item's
// measure event may give it a frame. Null otherwise.
TMenuWindow* MenuWindowMeasuring();

// One level of an open menu.
class TMenuWindow : public TCustomForm {
    VEK_DECLARE_CLASS(TMenuWindow, TCustomForm)

public:
    explicit TMenuWindow(TComponent* AOwner);
    ~TMenuWindow() override;

    // The item whose sub-items are listed, and the level that opened this
    // one (null for the first).
    TMenuItem* ParentItem() const { return FParentItem; }
    TMenuWindow* ParentWindow() const { return FParentWindow; }
    // The entries shown: the visible sub-items, separators folded as the
    // plain look folds them (none first, last or twice in a row).
    int EntryCount() const { return int(FEntries.size()); }
    TMenuItem* Entry(int Index) const;
    // The entry's rectangle in client coordinates: what its draw event gets.
    TRect EntryRect(int Index) const;
    int EntryAt(const TPoint& ClientPos) const;
    // The highlighted entry; -1 when none.
    int Selected() const { return FSelected; }
    void Select(int Index);
    // The open sub-menu's level; null when none.
    TMenuWindow* SubMenu() const;

    // The level's frame, plain again for each menu it shows.
    const TMenuFrame& Frame() const { return FFrame; }
    void SetFrame(TMenuFrame Value);

    // Platform code: fills the level with Parent's sub-items of the open
    // menu and measures them.
    void Fill(TMenuTracker* Tracker, TMenuItem* Parent, TMenuWindow* ParentWindow);
    // Goes back to the windows kept for the next menu: hidden, empty.
    void Retire();
    // An item is going: it is dropped from the entries.
    void ForgetItem(TMenuItem* Item);
    bool Shows(const TMenuItem* Item) const;

protected:
    void Dispatch(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(WideChar& Key) override;
    bool PopupOutsidePress(TMouseButton Button, const TPoint& ScreenPos) override;
    void PopupDismissed() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    struct TEntry {
        TMenuItem* Item;
        int Top;
        int Height;
    };
    void Paint(TCanvas* Canvas);
    // The window's shape and shadow band as the frame wants them.
    void ApplyShape();
    void PointerMoved(const TPoint& ClientPos);
    void ButtonUp(const TPoint& ClientPos);
    void MoveSelection(int Step);
    // Enter, a click or an accelerator on the entry: opens its sub-menu or
    // chooses it.
    void Activate(int Index, bool SelectFirst);
    void OpenSubMenu(bool SelectFirst);
    void CloseSubMenu();
    bool Opens(int Index) const;
    void Accelerator(char32_t Key);

    TMenuTracker* FTracker = nullptr;
    TMenuItem* FParentItem = nullptr;
    TMenuWindow* FParentWindow = nullptr;
    std::vector<TEntry> FEntries;
    int FSelected = -1;
    int FSubIndex = -1;  // the entry whose sub-menu is open
    TPoint FLastPointer{-1, -1};
    TMenuFrame FFrame;
};

struct TMenuTrackResult {
    TMenuItem* Chosen = nullptr;
    // The menu was freed while it was open: nothing of it may be touched.
    bool MenuGone = false;
    // A menu bar's other entry the user went to (Left, Right, the pointer).
    TMenuItem* SwitchTo = nullptr;
};

// Shows Parent's sub-items as a menu and returns when it is closed. A popup
// menu opens at ScreenPos (its top-left corner; its top-right one in a
// right-to-left application); a drop-down of Bar opens below Entry, the
// dropped entry's screen rectangle, or above it where there is no room.
// Menu is the menu the items belong to.
TMenuTrackResult TrackMenu(TMenu* Menu, TMenuItem* Parent, TPoint ScreenPos, TMenuBar* Bar = nullptr,
                           const TRect& Entry = {});
// The level showing items now, the first one; null when no menu is open.
TMenuWindow* OpenMenuWindow();
// An item is being freed: an open menu showing it (or its sub-items) closes.
void MenuItemGone(TMenuItem* Item);
// Frees the menu windows kept for reuse (before the toolkit goes).
void FreeMenuWindows();
