#pragma once
// TNewEntryDialog ("new Task"): asked after a bar is drawn on the chart,
// which table the new row goes to. The caller fills the three labels with
// the drawn begin, end and position; "Tasks" and "Absent Days" choose the
// table (the button of the table preselected is the default), "Cancel"
// chooses nothing.
#include "document/DocumentTypes.h"
#include "platform/Forms.h"

class TButton;
class TLabel;

class TNewEntryDialog : public TForm {
    VEK_DECLARE_CLASS(TNewEntryDialog, TForm)
public:
    explicit TNewEntryDialog(TComponent* AOwner);

    TWhichTable table = tbTable;
    TLabel* Label1 = nullptr;
    TLabel* LabelBegin = nullptr;
    TLabel* LabelEnd = nullptr;
    TLabel* LabelPos = nullptr;
    TButton* ButtonTasks = nullptr;
    TButton* ButtonAbsentDays = nullptr;
    TButton* ButtonCancel = nullptr;

    // Fills the labels, preselects Table and shows the dialog; true with
    // the table chosen, false when cancelled.
    bool Execute(const String& Begin, const String& End, const String& Position, TWhichTable& Table);
};
