#pragma once
// TPrintListDialog ("Print Table"): chosen columns of the active table, for
// all, the filtered or the selected rows, printed as a table.
#include <vector>

#include "printing/PrintDialogControls.h"

class TRadioButton;
class TPrinterSetupDialog;
class TStringGrid;
class TStringTreeGrid;
struct TGridNode;

class TPrintListDialog : public TForm {
    VEK_DECLARE_CLASS(TPrintListDialog, TForm)
public:
    TPrintListDialog(TComponent* AOwner, TPlannerForm* Doc);

    TPrintPreviewDialog* PrintPreviewDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
    // "Columns to print": one checked line per column of the active table,
    // in table order.
    TStringTreeGrid* ColumnList = nullptr;
    TRadioButton* AllTasks = nullptr;
    TRadioButton* FilteredTasks = nullptr;
    TRadioButton* SelectedTasks = nullptr;
    TEdit* EditCount = nullptr;
    TPrintOptionBoxes Options;
    TButton* PrinterSetupButton = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;

    // Filled from the document's print settings, shown, and after OK the
    // settings written back; true when OK printed.
    bool Execute();
    void Load(const TPrintSettings& S);
    TPrintSettings Settings() const;
    // The active table's columns, every box checked; the count shown.
    void FillColumns();
    int ColumnCount() const;
    bool ColumnChecked(int Column) const;
    void SetColumnChecked(int Column, bool Checked);
    // The rows the row buttons choose, in table order.
    TForEachType RowChoice() const;
    std::vector<TNodeData*> ChosenRows();
    // "No. of tasks " and whether OK may print.
    void UpdateCount();
    void PrinterSetupClick();
    // The printout and its preview; the preview's result (2: the dialog
    // stays open).
    int Print();
    // The printout's pages recorded, headers and footers added, nothing
    // shown or printed yet.
    void Record();
    void OKClick();

private:
    String Tr(const String& Text) const { return FDoc->Translate(Text); }
    TGridNode* ColumnNode(int Column) const;
    TPlannerForm* FDoc;
    std::vector<String> FColumnCaptions;
};
