// The row commands of the tables: add, delete, copy and paste a task,
// select all, fit the columns, and the edit commands that go to the
// focused control.
#include <algorithm>

#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "document/DocumentHelpers.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/ImgList.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"
#include "views/EditorPanel.h"
#include "views/PlannerForm.h"

namespace {

// One user action, one undo step.
class TUndoGroup {
public:
    explicit TUndoGroup(TPlannerForm& Form) : FForm(Form) { FForm.FUndoRedoGroupIndex = FForm.UndoRedo().GetGroupIndex(); }
    ~TUndoGroup() { FForm.FUndoRedoGroupIndex = -1; }
    TUndoGroup(const TUndoGroup&) = delete;
    TUndoGroup& operator=(const TUndoGroup&) = delete;

private:
    TPlannerForm& FForm;
};

}  // namespace

bool TPlannerForm::EditFieldFocused()
{
    TWinControl* active = ActiveControl();
    return dynamic_cast<TEdit*>(active) || dynamic_cast<TComboBox*>(active) || dynamic_cast<TCheckBox*>(active) ||
        dynamic_cast<TMemo*>(active);
}

void TPlannerForm::focusselectednode(TWhichTable Table)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (TGridNode* node = tree ? tree->GetFirstSelected() : nullptr)
        tree->SetFocusedNode(node);
}

void TPlannerForm::ActionAddNodeExecute()
{
    const TWhichTable table = GetActiveTable();
    TStringTreeGrid* tree = GetTable(table);
    TNodeData* row = nullptr;
    {
        TUndoGroup group(*this);
        row = AddNode(GetFreeID(), table, -1, -1, -1, cmDefault);
        // On a connected client the row comes with the server's echo; there
        // is nothing to fill or select yet.
        if (!row)
            return;
        TGridNode* first = tree->GetFirstVisible();
        if (first == row->VNode)
            first = tree->GetNextVisible(first);
        if (TNodeData* model = NodeToRow(tree, first)) {
            const int count = GetTableColCount(table);
            for (int i = 0; i < count; ++i)
                if (THeaderData* header = GetHeader(table, i); header && header->IsFiltered())
                    SetData(row, i, GetData(model, i));
        }
    }
    if (!row->VNode)
        return;
    tree->ClearSelection();
    tree->SetSelected(row->VNode, true);
    tree->SetFocusedNode(row->VNode);
    ChangeEditorVisibleTimerTimer(nullptr);
    if (!EditorAsWindow() && EditorPanel)
        if (TWinControl* field = EditorPanel->FirstField(); field && field->CanFocus())
            field->SetFocus();
}

void TPlannerForm::ActionDeleteNodeExecute()
{
    if (EditFieldFocused())
        return;
    const TWhichTable table = GetActiveTable();
    TStringTreeGrid* tree = GetTable(table);
    const int n = tree ? tree->SelectedCount() : 0;
    if (n < 1)
        return;
    const String question = n == 1 ? Translate("Delete selected task?")
                                   : FillText(Translate("Delete all %s selected tasks?"), {IntToStr(n)});
    if (AskConfirmation(question)) {
        TUndoGroup group(*this);
        tree->BeginUpdate();
        try {
            ForEach(table, feSelected, cmDefault, [this](TNodeData* Row, NativeInt Mode) { CB_DeleteNode(Row, Mode); });
        } catch (...) {
            tree->EndUpdate();
            throw;
        }
        tree->EndUpdate();
    }
    UpdateStatusBar();
}

void TPlannerForm::ActionSelectAllExecute()
{
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    if (!tree)
        return;
    tree->BeginUpdate();
    try {
        tree->SelectAll(true);
    } catch (...) {
        tree->EndUpdate();
        throw;
    }
    tree->EndUpdate();
}

void TPlannerForm::ActionAutoSizeExecute()
{
    if (TStringTreeGrid* tree = GetTable(GetActiveTable()))
        tree->Header()->AutoFitColumns(false);
}

void TPlannerForm::AutoFitColumns()
{
    for (TWhichTable table : {tbTable, tbExclude})
        if (TStringTreeGrid* tree = GetTable(table))
            tree->Header()->AutoFitColumns(false);
}

void TPlannerForm::FitColumnsToContents()
{
    for (TWhichTable table : {tbTable, tbExclude}) {
        TStringTreeGrid* tree = GetTable(table);
        if (!tree)
            continue;
        // The ends of the rows in sight are worked out when first shown:
        // their cells must hold them before they are measured.
        int inSight = 0;
        for (TGridNode* n = tree->TopNode(); n && inSight < 200; n = tree->GetNextVisible(n), ++inSight)
            if (TNodeData* row = NodeToRow(tree, n))
                GetEndOf(row);
        TTGHeader* header = tree->Header();
        TTreeGridColumns* columns = header->Columns();
        const int image = header->Images() ? header->Images()->Width() : 0;
        for (int i = 0; i < columns->Count(); ++i) {
            TTreeGridColumn* column = columns->Items(i);
            // Margins on both sides, the filter mark, the gap and the text.
            const int caption = 3 * column->Margin() + image + column->Spacing() +
                                MeasureTextWidth(header->Font(), column->Text()) + 4;
            column->SetWidth(std::max(caption, tree->GetMaxColumnWidth(i, true)));
        }
    }
}

void TPlannerForm::DocumentOpened() { FitColumnsToContents(); }

void TPlannerForm::ActionCutExecute()
{
    if (TWinControl* focused = ActiveControl())
        focused->Perform(WM_CUT, 0, 0);
}

void TPlannerForm::ActionCopyExecute()
{
    if (TWinControl* focused = ActiveControl())
        focused->Perform(WM_COPY, 0, 0);
}

void TPlannerForm::ActionPasteExecute()
{
    if (TWinControl* focused = ActiveControl())
        focused->Perform(WM_PASTE, 0, 0);
}
