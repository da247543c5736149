#pragma once
// TEditTableColumnDialog ("Edit Column"): one column's name, type and, for
// a pulldown column, its entries one per line. The table setup fills it and
// takes its answer; the column bound to the positions shows the button that
// opens the positions' own dialog instead of the entries.
#include <functional>
#include <vector>

#include "platform/Forms.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TMemo;

class TEditTableColumnDialog : public TForm {
    VEK_DECLARE_CLASS(TEditTableColumnDialog, TForm)
public:
    explicit TEditTableColumnDialog(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TLabel* Label2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TLabel* LabelFormat = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* Button3 = nullptr;
    TButton* ButtonOK = nullptr;
    TButton* ButtonCancel = nullptr;

    // "Edit resources...": the positions' dialog (the main window sets it).
    std::function<void()> OnEditResources;

    // The type box changed: the entries show for a pulldown column (not
    // while the positions' button shows).
    void ComboBox1Change();

    // The memo's lines for a column's strings: each entry's first item.
    static std::vector<String> EntryLines(const String& Format);
    // The strings from the memo's lines: a line naming an entry keeps that
    // whole entry (its colour and the rest); another becomes a new entry
    // of that one text. Empty lines are left out.
    static String FormatFromLines(const std::vector<String>& Lines, const String& OldFormat);
};
