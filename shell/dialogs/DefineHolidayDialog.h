#pragma once
// TDefineHolidayDialog ("Setup Holiday"): the public holidays, each on a
// day of a month or at an offset from Easter Sunday, each enabled by its
// check box. The editors below the list change the selected holiday at
// once. The main window fills it and applies it back; OK calls OnOK
// before the dialog closes.
#include "platform/Forms.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TRadioButton;
class TStringTreeGrid;
class TUpDown;
struct TGridNode;

struct THolidayNodeData {
    String name;
    int day = 0;
    int month = 0;  // 0 for a holiday relative to Easter
    bool easter = false;
};

class TDefineHolidayDialog : public TForm {
    VEK_DECLARE_CLASS(TDefineHolidayDialog, TForm)
public:
    explicit TDefineHolidayDialog(TComponent* AOwner);

    TStringTreeGrid* StringTreeGrid1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit3 = nullptr;            // name
    TRadioButton* RadioButton4 = nullptr;  // "Date"
    TRadioButton* RadioButton3 = nullptr;  // "special Day"
    TEdit* Edit2 = nullptr;            // day of month
    TUpDown* UpDown2 = nullptr;
    TComboBox* ComboBox2 = nullptr;    // month
    TEdit* Edit1 = nullptr;            // offset from Easter Sunday
    TUpDown* UpDown1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TButton* ButtonNew = nullptr;
    TButton* ButtonDelete = nullptr;
    TButton* ButtonEnableAll = nullptr;
    TButton* ButtonDisableAll = nullptr;
    TButton* ButtonGerman = nullptr;
    TButton* ButtonOK = nullptr;
    TButton* ButtonCancel = nullptr;
    bool FWasActive = false;
    TNotifyEvent OnOK;

    // Append a holiday relative to Easter (month 0) / on a fixed date;
    // null, and nothing added, when one of that exact name exists.
    TGridNode* AddHoliday(const String& Name, int Offset, bool Enabled);
    TGridNode* AddHoliday(const String& Name, int Day, bool Enabled, int Month);
    TGridNode* FindHoliday(const String& Name) const;
    void ClearHolidays();
    int Count() const;
    THolidayNodeData GetItem(int Index) const;
    bool GetChecked(int Index) const;
    // The text of the date column.
    String DateText(const THolidayNodeData& Data) const;
    // Makes Node the selected one and loads the editors from it.
    void SelectHoliday(TGridNode* Node);
    TGridNode* SelectedHoliday() const;

    void NewHolidayClick();
    void DeleteHolidayClick();
    void CheckAll(bool Checked);
    void AddGermanHolidaysClick();

private:
    THolidayNodeData* Data(TGridNode* Node) const;
    TGridNode* NodeAt(int Index) const;
    TGridNode* Append(THolidayNodeData Data, bool Enabled);
    void FormActivate();
    // Loads the editors from the selected holiday (resets them without one).
    void LoadEditors();
    void EnableEditors();
    void KindClick(bool Easter);
    void DayChange();
    void OffsetChange();
    void MonthChange();
    void NameChange();
    void FillMonths();
    // While the editors are loaded from a holiday they write nothing back.
    bool FLoading = false;
};
