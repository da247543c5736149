#pragma once
// The bar along a form's top edge that shows its main menu: one entry per
// visible top item; pressing an entry drops its sub-items down below it, an
// entry without sub-items is clicked at once. The menu's tree stays the
// truth: the bar reads it each time it paints or drops down, so items
// changed, translated or rebuilt at run time show as they are.
#include "platform/Controls.h"

class TMainMenu;
class TMenuItem;

class TMenuBar : public TCustomControl {
    VEK_DECLARE_CLASS(TMenuBar, TCustomControl)

public:
    explicit TMenuBar(TComponent* AOwner);

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // The top item whose entry covers X (client coordinates); null when none.
    TMenuItem* ItemAt(int X);
    // The entry's rectangle of a top item; empty when it is not shown.
    TRect ItemRect(TMenuItem* Item);
    // As a press on the item's entry.
    void DropDown(TMenuItem* Item);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    static constexpr int EntryPadding = 8;
    TMainMenu* FMenu = nullptr;
};

// Drops down Parent's sub-items at the screen point, as a popup menu shows
// them; a chosen item is clicked. Root is the tree the items belong to: an
// item taken out of it while the menu is open is not clicked. Returns at
// once. Tests see the drop-down through the popup-menu hook's twin below.
void PopupMenuItems(TMenuItem* Root, TMenuItem* Parent, TPoint ScreenPos);
// Tests: called instead of showing a dropped-down item list.
void SetMenuDropDownHook(std::function<void(TMenuItem* Parent)> Hook);
