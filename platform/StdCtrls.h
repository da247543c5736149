#pragma once
// The simple standard controls: label, edit, memo, check box, radio button,
// group box, combo box, list box and scroll bar.
//
// Every property lives in the control; the toolkit widget (where there is
// one) is filled from it when the window is made. Events follow the class
// library: setting Text of an edit or Checked of a check box by code fires
// OnChange / OnClick as the user's change would; setting ItemIndex of a
// combo or list box by code fires nothing.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/NativeControl.h"
#include "platform/StringList.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

enum TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// ---------------------------------------------------------------------------

// A text painted by its parent.
class TLabel : public TGraphicControl {
    VEK_DECLARE_CLASS(TLabel, TGraphicControl)

public:
    explicit TLabel(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // With AutoSize the bounds follow the text (the width only while WordWrap
    // is off).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The control that an accelerator of the caption focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value) { FFocusControl = Value; }
    // With ShowAccelChar an "&" marks the next character as accelerator.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

    // Fits the bounds to the text now.
    void AdjustBounds();

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    unsigned TextFlags() const;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

// ---------------------------------------------------------------------------

// A one-line text field.
class TEdit : public TNativeControl {
    VEK_DECLARE_CLASS(TEdit, TNativeControl)

public:
    explicit TEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    // 0: no limit. Text set by code is cut to it as well.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // 0: the text shows; else every character shows as this one.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // The selection, in characters (UTF-16 units, as the widget counts).
    int SelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int Value);
    String SelText() const;
    void SelectAll();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;
    void DoEnter() override;
    // While the text changes: true when the user typed it, false when code
    // set it.
    bool TextFromUser() const { return FFromUser; }

private:
    String Constrained(const String& Value) const;
    // Copy, cut and paste sent as messages (the edit commands of a form).
    void ClipboardMessage(UINT Msg);
    int FMaxLength = 0;
    bool FReadOnly = false;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
    bool FModified = false;
    int FSelStart = 0;
    int FSelLength = 0;
    bool FFromUser = false;
};

// ---------------------------------------------------------------------------

// A text field of several lines.
class TMemo : public TNativeControl {
    VEK_DECLARE_CLASS(TMemo, TNativeControl)

public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    void Dispatch(TMessage& Message) override;

    // The lines; Text is them joined with line breaks. Changing either
    // changes the other.
    TStringList* Lines() { return FLines.get(); }
    void SetLines(TStrings* Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value < 0 ? 0 : Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;

private:
    void LinesChanged();
    std::unique_ptr<TStringList> FLines;
    bool FReadOnly = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    int FMaxLength = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FFromLines = false;
    bool FFromText = false;
    bool FFromUser = false;
};

// ---------------------------------------------------------------------------

// A box with a caption that toggles when clicked.
class TCheckBox : public TNativeControl {
    VEK_DECLARE_CLASS(TCheckBox, TNativeControl)

public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    // Setting the state by code clicks the box as the user would (OnClick).
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }

    // What a click of the user does: the next state, then OnClick.
    void Toggle();

protected:
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

// One of a set: checking it unchecks the other radio buttons of its parent.
class TRadioButton : public TNativeControl {
    VEK_DECLARE_CLASS(TRadioButton, TNativeControl)

public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    // Checking fires OnClick; unchecking fires nothing.
    void SetChecked(bool Value);

protected:
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;

private:
    bool FChecked = false;
};

// A frame with a caption around other controls.
class TGroupBox : public TNativeControl {
    VEK_DECLARE_CLASS(TGroupBox, TNativeControl)

public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;
    // Children are laid out below the caption.
    void AlignControls(TControl* AControl, TRect& Rect) override;
};

// ---------------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TNativeControl {
    VEK_DECLARE_CLASS(TComboBox, TNativeControl)

public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    void Dispatch(TMessage& Message) override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStringList* Items() { return FItems.get(); }
    void SetItems(TStrings* Value);
    // -1: none. Out of range values select none. Selecting an item sets Text
    // to it; nothing is fired.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value < 0 ? 0 : Value; }
    bool DroppedDown() const;
    // Opens or closes the list (needs the window; nothing without one).
    void SetDroppedDown(bool Value);
    void Clear();

    // The selection in the edit part, in characters (UTF-16 units, as the
    // widget counts). A list-only box has none: 0, 0 and "", and setting
    // does nothing. SetSelText replaces the selection and puts the caret
    // after the new text.
    int SelStart() const { return HasEdit() ? FSelStart : 0; }
    void SetSelStart(int Value);
    int SelLength() const { return HasEdit() ? FSelLength : 0; }
    void SetSelLength(int Value);
    String SelText() const;
    void SetSelText(const String& Value);

    // The canvas owner-drawn items paint on (while OnDrawItem runs).
    TCanvas* Canvas() const { return FCanvas; }
    // The height of an item: ItemHeight, or OnMeasureItem's answer for a
    // variable owner-drawn style.
    int MeasureItem(int Index);
    // Paints item Index into Rect of ACanvas: OnDrawItem for the owner-drawn
    // styles (when assigned), else the item's text. An owner-drawn box also
    // paints its selection field this way, with odComboBoxEdit in State.
    virtual void DrawItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState State);

    // What the user does: picks item Index from the list / types Value.
    void SelectByUser(int Index);
    void EditByUser(const String& Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void Change();
    virtual void Select();
    // The list opens (OnDropDown) and closes (OnCloseUp). An item the user
    // picked in the list is the selected one by the time CloseUp runs.
    virtual void DropDown();
    virtual void CloseUp();
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;

private:
    friend class TComboDelegate;
    friend class TComboWidget;
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    void ItemsChanged();
    std::unique_ptr<TStringList> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FSelStart = 0;
    int FSelLength = 0;
    int FItemIndex = -1;
    int FItemHeight = 16;
    int FDropDownCount = 8;
    bool FSorted = false;
    int FMaxLength = 0;
    TCanvas* FCanvas = nullptr;
    bool FKeepIndex = false;  // Text set from ItemIndex: no search
    bool FNoPush = false;     // Text typed in the widget: it shows it already
};

// ---------------------------------------------------------------------------

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// A list box's items; each keeps a selection mark that moves with it as
// items come, go and move (a sort clears the marks).
class TListBoxItems : public TStringList {
public:
    std::vector<bool> Marks;  // one per item

    int AddObject(const String& s, TObject* object) override;
    void InsertObject(int index, const String& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    void Sort() override;
};

// A list of items, drawn by the control itself (or by OnDrawItem), with a
// vertical scroll bar when the items do not fit.
class TListBox : public TCustomControl {
    VEK_DECLARE_CLASS(TListBox, TCustomControl)

public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    void Dispatch(TMessage& Message) override;

    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    TStringList* Items() { return FItems.get(); }
    const TStringList* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int Count() const { return FItems->Count(); }
    void Clear();

    // With MultiSelect each item has its own selected mark (a click selects
    // one, Ctrl toggles, Shift extends from the anchor) and ItemIndex is the
    // item with the focus; without, the selected item is ItemIndex.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // EListError for an index out of range.
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;

    // Item Index's rectangle in client coordinates (empty above the top).
    TRect ItemRect(int Index);
    // The item at P (client coordinates); -1 when none (or, with Existing
    // false, Count() below the last item).
    int ItemAtPos(TPoint P, bool Existing);
    int MeasureItem(int Index);

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    void ItemsChanged();
    void UpdateScrollBar();
    void MakeVisible(int Index);
    int VisibleCount();
    // Moves the focus to Index: Ctrl toggles it, Shift selects from the
    // anchor to it, neither selects it alone.
    void SelectTo(int Index, TShiftState Shift);
    std::unique_ptr<TListBoxItems> FItems;
    TListBoxStyle FStyle = lbStandard;
    int FItemIndex = -1;
    bool FMultiSelect = false;
    int FAnchor = -1;
    int FItemHeight = 16;
    int FTopIndex = 0;
    bool FSorted = false;
};

// ---------------------------------------------------------------------------

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TNativeControl {
    VEK_DECLARE_CLASS(TScrollBar, TNativeControl)

public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    // Positions are kept within Min .. Max - PageSize + 1 (Min when the page
    // is larger than the range). A change of position fires OnChange.
    void SetPosition(int Value);
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    // Raises EInvalidOperation when AMax < AMin.
    void SetParams(int APosition, int AMin, int AMax);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value < 1 ? 1 : Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value < 1 ? 1 : Value; }

    // What the user's scrolling does: OnScroll may change the position, which
    // is then taken.
    void Scroll(TScrollCode Code, int Pos);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    virtual void Change();
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;

private:
    int Clamped(int Value) const;
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FPageSize = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
};
