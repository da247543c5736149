#pragma once
// TSetupPositionsDialog ("Edit resources"): the positions of the plan with
// their names, rows and working weeks, and the smallest time unit. Each
// list item remembers the entry it was made from, so what the user renames,
// moves, deletes or adds is applied to the rows by origin.
//
// List items: caption = name; sub-items 0 = week text (Sunday first),
// 1 = row count, 2 = origin index (-1 for a new position). A week or row
// count the user did not touch stays as read, byte for byte.
#include <array>
#include <vector>

#include "document/PositionLayout.h"
#include "platform/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TListItem;
class TListView;
class TRadioButton;
class TUpDown;

class TSetupPositionsDialog : public TForm {
    VEK_DECLARE_CLASS(TSetupPositionsDialog, TForm)
public:
    explicit TSetupPositionsDialog(TComponent* AOwner);

    // Fills the list and the unit; clears FWasActive.
    void Fill(const TPositionLayout& Layout);
    // What the dialog holds now, in list order.
    TPositionLayout Layout() const;

    // Everything the user can change, to put back after a cancelled visit.
    struct TState {
        std::vector<std::array<String, 4>> Items;  // caption, then the sub-items
        int Selected = -1;
        TMinUnit MinUnit = muDay;
        bool WasActive = false;
    };
    TState SaveState() const;
    void RestoreState(const TState& State);
    // The visit from the column editor: OK only closes; Cancel puts back
    // what the dialog held before. True for OK.
    bool ExecuteNested();

    // The first problem that keeps OK from closing, as shown to the user
    // (the position is selected); empty when there is none.
    String CheckPositions();

    // The dialog was shown since it was filled.
    bool FWasActive = false;

    TListView* ListView1 = nullptr;
    TButton* ButtonNew = nullptr;
    TButton* ButtonDelete = nullptr;
    TUpDown* UpDown1 = nullptr;
    TEdit* EditName = nullptr;
    TEdit* EditRows = nullptr;
    TUpDown* UpDownRows = nullptr;
    // One line per weekday, Monday first: active, start, end, three breaks
    // (start, minutes) and the working minutes left.
    struct TDayControls {
        TCheckBox* Active = nullptr;
        TEdit* Start = nullptr;
        TEdit* End = nullptr;
        std::array<TEdit*, 3> BreakStart{};
        std::array<TEdit*, 3> BreakMinutes{};
        TLabel* Minutes = nullptr;
    };
    std::array<TDayControls, 7> Days;  // Days[0] is Monday
    TGroupBox* GroupBoxUnit = nullptr;
    TRadioButton* RadioDay = nullptr;
    TRadioButton* RadioMinute = nullptr;
    TButton* ButtonOK = nullptr;
    TButton* ButtonCancel = nullptr;

    // The commands of the buttons, also for tests.
    void NewPosition();
    void DeletePosition();
    // Moves the selected position one up (-1) or down (+1).
    void MovePosition(int Direction);

private:
    TListItem* AddItem(const String& Name, const String& Week, const String& Rows, int Origin);
    // The selected position into the edit fields, and back.
    void ShowSelected();
    void NameChanged();
    void RowsChanged();
    void WeekChanged();
    void UpdateMinutes();
    void OKClick();
    void Select(int Index);
    // Set while the fields are filled by code: their change events then
    // change no item.
    bool FFilling = false;
};
