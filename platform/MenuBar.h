#pragma once
// The bar along a form's top edge that shows its main menu: one entry per
// visible top item; pressing an entry drops its sub-items down below it as
// our own menu, an entry without sub-items is clicked at once. The menu's
// tree stays the truth: the bar reads it each time it paints or drops down,
// so items changed, translated or rebuilt at run time show as they are.
// Entries are measured and drawn through the top items' OnMeasureItem and
// OnAdvancedDrawItem when they have them (odSelected while dropped down,
// odHotLight under the pointer), and the bar's height follows the tallest.
// While a menu is down, Left and Right (and the pointer) go to the
// neighbouring entries; Alt and an entry's accelerator drop it down.
#include "platform/Controls.h"

class TMainMenu;
class TMenuItem;

class TMenuBar : public TCustomControl {
    VEK_DECLARE_CLASS(TMenuBar, TCustomControl)

public:
    explicit TMenuBar(TComponent* AOwner);
    ~TMenuBar() override;

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // The top item whose entry covers X (client coordinates); null when none.
    TMenuItem* ItemAt(int X);
    // The entry's rectangle of a top item; empty when it is not shown.
    TRect ItemRect(TMenuItem* Item);
    // As a press on the item's entry: returns once its menu is closed.
    void DropDown(TMenuItem* Item);
    // True when the entry opens a menu (enabled, with visible sub-items).
    bool CanDropDown(TMenuItem* Item) const;
    // The next entry that opens a menu, Step entries on (wrapping); null
    // when there is none.
    TMenuItem* NeighbourEntry(TMenuItem* Item, int Step) const;
    // Alt with Key (a typed character): the entry with that accelerator
    // drops down or is clicked; false when no entry has it.
    bool MenuKey(char32_t Key);
    // The entry dropped down now, and the one under the pointer.
    TMenuItem* DroppedItem() const { return FDropped; }
    TMenuItem* HotItem() const { return FHot; }
    // Measures the entries again and takes the height of the tallest.
    void AdjustHeight();

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetHot(TMenuItem* Item);
    // The visible top items with their widths, as laid out.
    std::vector<std::pair<TMenuItem*, int>> Entries() const;
    TMainMenu* FMenu = nullptr;
    TMenuItem* FDropped = nullptr;
    TMenuItem* FHot = nullptr;
};

// Tests: called instead of showing a dropped-down item list.
void SetMenuDropDownHook(std::function<void(TMenuItem* Parent)> Hook);
