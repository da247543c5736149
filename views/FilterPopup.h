#pragma once
// TFilterPopup: the small tool window in which the user chooses the filter
// of one table column. It only holds the choice; the planner form fills it
// from the column's filter as it opens it and reads it back as it closes.
//
// The text section is always there; below it lies one of the date, list and
// number sections, chosen by the column's type. All radio buttons are one
// group. OK, Enter, Cancel and Escape close the popup with that result; a
// click elsewhere closes it with the result it was opened with (none).
#include <functional>

#include "platform/Forms.h"

class TAutocompletingEdit;
class TButton;
class TDateTimePicker;
class TEdit;
class TLabel;
class TListBox;
class TRadioButton;

class TFilterPopup : public TForm {
    VEK_DECLARE_CLASS(TFilterPopup, TForm)
public:
    explicit TFilterPopup(TComponent* AOwner);

    // No filter.
    TRadioButton* RadioButton2 = nullptr;
    // Text section.
    TLabel* Label7 = nullptr;
    TRadioButton* RadioButton1 = nullptr;  // only empty fields
    TRadioButton* RadioButton0 = nullptr;  // equal to (pattern)
    TAutocompletingEdit* AutocompletingEdit1 = nullptr;
    // Number section.
    TLabel* Label1 = nullptr;
    TRadioButton* RadioButton4 = nullptr;  // smaller than
    TRadioButton* RadioButton5 = nullptr;  // bigger than
    TRadioButton* RadioButton6 = nullptr;  // equal to
    TEdit* Edit4 = nullptr;                // the value of those three
    TRadioButton* RadioButton7 = nullptr;  // from
    TEdit* Edit2 = nullptr;
    TLabel* Label5 = nullptr;  // to
    TEdit* Edit3 = nullptr;
    // List section.
    TRadioButton* RadioButton8 = nullptr;
    TListBox* ListBox1 = nullptr;
    // Date section.
    TRadioButton* RadioButton3 = nullptr;
    TLabel* Label2 = nullptr;  // from
    TDateTimePicker* DateTimePicker1 = nullptr;
    TLabel* Label3 = nullptr;  // till
    TDateTimePicker* DateTimePicker2 = nullptr;
    TButton* Button1 = nullptr;  // OK
    TButton* Button2 = nullptr;  // Cancel

    // Shows the sections of a column type; the text section is always there.
    void SetPageControlTabs(bool Date, bool List, bool Number);
    bool DateSectionShown() const;
    bool ListSectionShown() const;
    bool NumberSectionShown() const;
    // Enables each input only while its radio button is checked.
    void UpdateEnabling();
    // Shows the popup at the screen point, its result cleared: a close that
    // is neither OK nor Cancel then changes nothing.
    void Open(int Left, int Top);
    // OK, Enter, Cancel and Escape: the result, then the popup closes.
    void Finish(TModalResult Result);
    // Runs once per opening as the popup closes, whatever closed it.
    std::function<void()> OnClosed;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void RadioClick(TRadioButton* Radio);
    void Closing();
    bool FOpen = false;
};

// Where the popup goes: its top-left at Anchor (the column's left just below
// the header); up by its own height and the header's when its bottom would
// pass the screen's, and left onto the screen when its right edge would
// pass it.
TPoint PlaceFilterPopup(const TPoint& Anchor, int HeaderHeight, int Width, int Height, const TRect& Screen);
