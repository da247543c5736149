#pragma once
// TArchivDialog ("Archiv Table"): rows that ended on or before a day go
// from both tables into the document file's archive. The dialog shows how
// many rows that day takes of all; OK archives them (asking first when it
// would take every row), Cancel nothing.
#include "platform/Forms.h"

class TButton;
class TDateTimePicker;
class TEdit;
class TLabel;
class TScheduleDocument;

class TArchivDialog : public TForm {
    VEK_DECLARE_CLASS(TArchivDialog, TForm)
public:
    TArchivDialog(TComponent* AOwner, TScheduleDocument* Document);

    // The day whose rows, and those before it, are archived.
    TDateTimePicker* DateTimePicker1 = nullptr;
    // The range the plan's rows cover (for the eye only).
    TDateTimePicker* DateTimePickerFrom = nullptr;
    TDateTimePicker* DateTimePickerTo = nullptr;
    // "<count> von <total>".
    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;  // OK
    TButton* Button2 = nullptr;  // Cancel
    // Rows the chosen day would archive, and all rows of both tables.
    int Fcount = 0;
    int FTotal = 0;

    // Counts again for the chosen day; OK only when it takes a row.
    void DateTimePicker1Change();
    void Button1Click();
    // Shows the range and the day, counts, and runs the dialog.
    int Execute(TDateTime First, TDateTime Last, TDateTime ArchiveDate);

private:
    TScheduleDocument* FDocument;
};
