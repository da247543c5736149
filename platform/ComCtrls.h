#pragma once
// The common controls: page and tab controls, the status bar, tool bars,
// up-down buttons, the report-style list view, the month calendar and the
// date picker.
//
// They draw themselves, so their look and their hit areas are the same with
// and without a window and on every desktop. Every property lives in the
// control's fields; changes made by code fire only the events the class
// library fires for them (selecting a list item does, setting a page or a
// date does not), while the user's clicks and keys fire the whole sequence.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/Menus.h"
#include "platform/StringList.h"

class TImageList;
class TPageControl;

// Text width in pixels in Font (measured without a window).
int MeasureTextWidth(TFont* Font, const String& Text);

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// ---------------------------------------------------------------------------
// Page control: one tab per visible sheet; only the active sheet is shown,
// filling the area under the tabs.

class TTabSheet : public TWinControl {
    VEK_DECLARE_CLASS(TTabSheet, TWinControl)

public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // The same as putting the sheet inside the page control as its parent.
    void SetPageControl(TPageControl* Value);
    void SetParent(TWinControl* AParent) override;
    // Position among the control's sheets; -1 without a control.
    int PageIndex() const;
    void SetPageIndex(int Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // Index among the visible tabs; -1 while hidden.
    int TabIndex() const;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

// What the tab strips of the page and tab controls share.
class TCustomTabControl : public TCustomControl {
    VEK_DECLARE_CLASS(TCustomTabControl, TCustomControl)

public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    // The area under the tabs, where the pages or the client lie.
    TRect DisplayRect();
    // The tab's rectangle (client coordinates); empty for a bad index.
    TRect TabRect(int Index);
    // The tab under (X, Y); -1 when none.
    int IndexOfTabAt(int X, int Y);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    virtual int TabCount() = 0;
    virtual String TabCaption(int Index) = 0;
    virtual int CurrentTab() = 0;
    // Makes tab Index current for a user's action (the events fire).
    virtual void SelectTabByUser(int Index) = 0;
    bool CanChange();
    void Change();
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Paint() override;

private:
    int FTabHeight = 20;
};

class TPageControl : public TCustomTabControl {
    VEK_DECLARE_CLASS(TPageControl, TCustomTabControl)

public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // By code: no OnChanging or OnChange.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The next (or previous) visible sheet after Current, wrapping; null
    // when there is none.
    TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward);
    // As the user's Ctrl+Tab does: the events fire.
    void SelectNextPage(bool GoForward);

protected:
    int TabCount() override;
    String TabCaption(int Index) override;
    int CurrentTab() override;
    void SelectTabByUser(int Index) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowActive();
    TTabSheet* VisiblePage(int TabIndex) const;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// A tab strip over a single client area (the program's group tabs).
class TTabControl : public TCustomTabControl {
    VEK_DECLARE_CLASS(TTabControl, TCustomTabControl)

public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;

    TStringList* Tabs() { return FTabs.get(); }
    int TabIndex() const { return FTabIndex; }
    // By code: no events. Out of range gives -1.
    void SetTabIndex(int Value);

protected:
    int TabCount() override;
    String TabCaption(int Index) override;
    int CurrentTab() override;
    void SelectTabByUser(int Index) override;

private:
    void TabsChanged();
    std::unique_ptr<TStringList> FTabs;
    int FTabIndex = -1;
};

// ---------------------------------------------------------------------------
// Status bar.

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* ABar) : FBar(ABar) {}
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    int Index() const;

private:
    TStatusBar* FBar;
    String FText;
    int FWidth = 50;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* ABar) : FBar(ABar) {}
    TStatusPanel* Add();
    int Count() const { return int(FItems.size()); }
    // EListError for a bad index.
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    void Delete(int Index);
    void Clear();
    int IndexOf(const TStatusPanel* Panel) const;

private:
    TStatusBar* FBar;
    std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

class TStatusBar : public TCustomControl {
    VEK_DECLARE_CLASS(TStatusBar, TCustomControl)

public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() { return &FPanels; }
    // One text over the whole bar instead of the panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const String& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // Panel Index's rectangle: panels follow each other by width, the last
    // one reaches to the right end. Empty for a bad index.
    TRect PanelRect(int Index);
    // How often the bar was asked to repaint (texts written that changed).
    int ChangeCount() const { return FChangeCount; }

protected:
    void Paint() override;

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    void PanelChanged();
    TStatusPanels FPanels;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    String FSimpleText;
    int FChangeCount = 0;
};

// ---------------------------------------------------------------------------
// Tool bar and its buttons.

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button with an action follows the action's caption, hint, enabled,
// visible, checked and image; clicking it runs the action unless it has an
// OnClick of its own.
class TToolButton : public TGraphicControl, public TActionClient {
    VEK_DECLARE_CLASS(TToolButton, TGraphicControl)

public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;

    void SetParent(TWinControl* AParent) override;
    TToolBar* ToolBar() const;
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    // A check button stays down; grouped check buttons with neighbours in
    // the same group act as radio buttons.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value) { FGrouped = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Index among the bar's buttons; -1 without a bar.
    int Index() const;
    // As a user's click: toggles a check button, then OnClick (or the
    // action).
    void Click() override;

protected:
    void ActionChange(TAction* Sender) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    TToolButtonStyle FStyle = tbsButton;
    bool FDown = false;
    bool FGrouped = false;
    bool FAllowAllUp = false;
    bool FPressed = false;
    int FImageIndex = -1;
};

class TToolBar : public TCustomControl {
    VEK_DECLARE_CLASS(TToolBar, TCustomControl)

public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    int ButtonCount();
    TToolButton* Buttons(int Index);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }
    // Not owned.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; Invalidate(); }
    // Width a separator or divider takes.
    static constexpr int SeparatorWidth = 8;

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;

private:
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FShowCaptions = false;
    bool FFlat = true;
    TImageList* FImages = nullptr;
};

// ---------------------------------------------------------------------------
// Up-down buttons.

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udVertical, udHorizontal };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TUpDown : public TCustomControl {
    VEK_DECLARE_CLASS(TUpDown, TCustomControl)

public:
    explicit TUpDown(TComponent* AOwner);
    ~TUpDown() override;

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // By code: clamped to Min..Max, no events.
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { FWrap = Value; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value) { FOrientation = Value; Invalidate(); }
    // A control whose text shows the position. Not owned.
    TControl* Associate() const { return FAssociate; }
    void SetAssociate(TControl* Value);
    // A press of one button as the user's: the new position is worked out
    // (wrapping or stopping at the ends), OnChanging may refuse it, then
    // OnClick fires with the button.
    void ClickButton(TUDBtnType Button);

    TTabChangingEvent OnChanging;
    TUDClickEvent OnClick;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;

private:
    void UpdateAssociate();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    bool FWrap = false;
    TUDOrientation FOrientation = udVertical;
    TControl* FAssociate = nullptr;
};

// ---------------------------------------------------------------------------
// List view, report style.

class TListView;
class TListItems;

class TListColumn {
public:
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    // 0 hides the column.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value < 0 ? 0 : Value; }

private:
    String FCaption;
    int FWidth = 50;
};

class TListColumns {
public:
    TListColumn* Add();
    int Count() const { return int(FItems.size()); }
    // EListError for a bad index.
    TListColumn* Items(int Index) const;
    TListColumn* operator[](int Index) const { return Items(Index); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TListColumn>> FItems;
};

class TListItem {
public:
    explicit TListItem(TListItems* AOwner);
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TStringList* SubItems() { return FSubItems.get(); }
    bool Selected() const { return FSelected; }
    // Fires the view's OnSelectItem when the state changes.
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    int Index() const;
    TListView* ListView() const;
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // Deletes the item from its list (and frees it).
    void Delete();

private:
    friend class TListItems;
    friend class TListView;
    TListItems* FOwner;
    String FCaption;
    std::unique_ptr<TStringList> FSubItems;
    bool FSelected = false;
    void* FData = nullptr;
    int FImageIndex = -1;
};

class TListItems {
public:
    explicit TListItems(TListView* AOwner) : FOwner(AOwner) {}
    TListItem* Add();
    TListItem* Insert(int Index);
    // EListError for a bad index.
    void Delete(int Index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    // EListError for a bad index.
    TListItem* Item(int Index) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    int IndexOf(const TListItem* Item) const;
    void BeginUpdate();
    void EndUpdate();
    TListView* Owner() const { return FOwner; }

private:
    TListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
    int FUpdateCount = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;

class TListView : public TCustomControl {
    VEK_DECLARE_CLASS(TListView, TCustomControl)

public:
    explicit TListView(TComponent* AOwner);
    ~TListView() override;

    TListColumns* Columns() { return &FColumns; }
    TListItems* Items() { return &FItems; }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value) { FViewStyle = Value; Invalidate(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value) { FRowSelect = Value; Invalidate(); }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value) { FShowColumnHeaders = Value; Invalidate(); }

    // The first selected item; null when none. Setting it selects only it
    // (null clears the selection) and focuses it.
    TListItem* Selected() const;
    void SetSelected(TListItem* Item);
    int SelCount() const;
    // Index of the first selected item; -1 when none.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TListItem* ItemFocused() const { return FFocused; }
    void SetItemFocused(TListItem* Item) { FFocused = Item; Invalidate(); }
    void ClearSelection();

    int RowHeight() const { return FRowHeight; }
    int HeaderHeight() const { return FShowColumnHeaders ? FRowHeight + 2 : 0; }
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    // The item under (X, Y) in client coordinates; null when none.
    TListItem* GetItemAt(int X, int Y);
    // The item's row (client coordinates); empty for null.
    TRect ItemRect(const TListItem* Item);
    // Scrolls so that the item is in view.
    void MakeVisible(TListItem* Item);

    TLVSelectItemEvent OnSelectItem;
    TLVDeletedEvent OnDeletion;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Paint() override;

private:
    friend class TListItem;
    friend class TListItems;
    void ItemSelectionChanged(TListItem* Item, bool Selected);
    void ItemRemoving(TListItem* Item);
    void ItemsChanged();
    TListColumns FColumns;
    TListItems FItems;
    TListItem* FFocused = nullptr;
    TViewStyle FViewStyle = vsReport;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FMultiSelect = false;
    bool FHideSelection = true;
    bool FShowColumnHeaders = true;
    int FRowHeight = 17;
    int FTopIndex = 0;
    int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// Month calendar and date picker.

// A mouse click picks the day under it (within the limits); OnClick fires
// for every click, as for any control. Arrow keys move the day.
class TMonthCalendar : public TCustomControl {
    VEK_DECLARE_CLASS(TMonthCalendar, TCustomControl)

public:
    explicit TMonthCalendar(TComponent* AOwner);
    ~TMonthCalendar() override;

    // The chosen day (whole days; a time part is dropped). By code: kept
    // within MinDate..MaxDate where they are set, OnClick does not fire.
    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime Value);
    // 0: no limit.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    // The month shown (its first day).
    TDateTime VisibleMonth() const { return FMonth; }
    // Moves the shown month by Months, as the arrow buttons do.
    void ShowMonth(int Months);
    // 0 Monday .. 6 Sunday: the column of the week's first day.
    int FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(int Value);
    // The day drawn at (X, Y) in client coordinates; 0 when none.
    TDateTime DayAt(int X, int Y);
    // The cell of Day when it is in the shown month's page; empty else.
    TRect DayRect(TDateTime Day);

    // A day was picked: pressed, or Return on the chosen day. Paging and
    // the arrow keys only move the choice.
    TNotifyEvent OnPick;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Paint() override;

private:
    TDateTime Clamp(TDateTime Value) const;
    TDateTime PageStart() const;
    // Moves the choice to Day; false when Day lies outside the limits.
    bool UserMove(TDateTime Day);
    TDateTime FDate = 0;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TDateTime FMonth = 0;
    int FFirstDayOfWeek = 0;
};

enum TDateTimeKind { dtkDate, dtkTime };
// The parts of a picker's text that the keys change.
enum TDateTimePart { dtpNone, dtpDay, dtpMonth, dtpYear, dtpHour, dtpMinute, dtpSecond, dtpAmPm };

// Shows its value in the fields of its format (day, month, year; hour,
// minute, second; the am/pm marker). One field is selected: a click, Left
// and Right, or typing the separator that follows it move the selection.
// Digits type into the field and move on once no further digit fits; Up
// and Down step the field, wrapping within it without carrying into the
// next; Home and End go to its first and last value. A value is committed
// when its field is complete or left (a day past the month's end is cut to
// the month's last day then); each commit that changes the value fires
// OnChange once. Space toggles the check box. Values from code are silent.
class TDateTimePicker : public TCustomControl {
    VEK_DECLARE_CLASS(TDateTimePicker, TCustomControl)

public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    void Dispatch(TMessage& Message) override;

    // By code: no OnChange; kept within MinDate..MaxDate.
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value);
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    // The earliest and latest day the value may have; 0: no limit.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    // A FormatDateTime pattern; empty: the short date or long time format.
    const String& Format() const { return FFormat; }
    void SetFormat(const String& Value);
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // The text shown, with digits typed but not yet committed.
    String DisplayText() const;
    // The selected field (dtpNone when the format has none).
    TDateTimePart SelectedPart() const;
    // Where a field is drawn, in client coordinates; empty when the format
    // has no such field.
    TRect PartRect(TDateTimePart Part);
    // A day (dtkDate) or a minute (dtkTime) up or down, then OnChange.
    void Step(int Count);
    // A date picker's calendar drops down below it (above it where the
    // screen has no room) as a popup, as its button, Alt+Down and F4 do,
    // and returns when it is closed. A picked day becomes the date (the
    // time stays) and fires OnChange; Esc and a press outside change
    // nothing.
    void DropDown();
    bool DroppedDown() const { return FDroppedDown; }
    // The drop-down button's rectangle; empty for a time picker.
    TRect ButtonRect();

    TNotifyEvent OnChange;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(WideChar& Key) override;
    void Paint() override;

private:
    struct TSegment;
    std::vector<TSegment> Segments() const;
    int FirstField(const std::vector<TSegment>& List) const;
    int SelectedIndex(const std::vector<TSegment>& List) const;
    static bool TwelveHours(const std::vector<TSegment>& List);
    String SegmentText(const TSegment& Segment, bool Selected, bool Twelve) const;
    std::vector<TRect> Layout(const std::vector<TSegment>& List);
    void Select(int Index);
    void MoveSelection(int Direction);
    bool CommitTyped();
    void TypeDigit(int Digit);
    void StepPart(int Delta);
    void SetPartLimit(bool Last);
    bool Commit(TDateTime Value);
    TDateTime Clamped(TDateTime Value) const;
    void ToggleChecked();
    TDateTime FDateTime = 0;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TDateTimeKind FKind = dtkDate;
    String FFormat;
    bool FShowCheckbox = false;
    bool FChecked = true;
    int FSelected = -1;         // segment index of the selected field
    String FTyped;              // digits typed into it, not yet committed
    bool FJustAdvanced = false; // the last digit completed a field
    bool FSpaceToggled = false; // the Space key's character is not typed
    bool FDroppedDown = false;
};
