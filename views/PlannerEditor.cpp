// The planner form's editor: where the editor panel lives (docked beside the
// tables or in its own window), when it is shown and which row it shows.
#include <algorithm>

#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Menus.h"
#include "views/EditorForm.h"
#include "views/EditorPanel.h"
#include "views/PlannerForm.h"

void TPlannerForm::CreateEditorPanel()
{
    EditorDock = Build<TPanel>(this, "EditorDock").Parent(Panel1).Align(alRight).Caption("").Visible(false).Get();
    EditorDock->SetBevelOuter(bvNone);
    EditorDock->SetWidth(FEditorSize[tbTable].X);
    // Unnamed: the form's translation walks named components only, and the
    // fields hold the row's texts, which no language may change.
    EditorPanel = Build<TEditorPanel>(this, "").Parent(EditorDock).Align(alClient).Get();
    EditorPanel->SetDocument(this);
    ChangeEditorVisibleTimer = Create<TTimer>(this);
    ChangeEditorVisibleTimer->SetName("ChangeEditorVisibleTimer");
    ChangeEditorVisibleTimer->SetInterval(500);
    ChangeEditorVisibleTimer->SetEnabled(false);
    ChangeEditorVisibleTimer->OnTimer = [this](TObject* Sender) { ChangeEditorVisibleTimerTimer(Sender); };
}

TNodeData* TPlannerForm::EditorRow()
{
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    return tree && tree->FocusedNode() ? NodeToRow(tree, tree->FocusedNode()) : nullptr;
}

void TPlannerForm::UpdateEditor()
{
    if (!EditorPanel)
        return;
    // Many changes may come before the next idle; one refresh serves them.
    // Another row is shown at once, so that no edit lands on the old one.
    if (EditorPanel->Table() != GetActiveTable() || EditorRow() != EditorPanel->Row())
        RefreshEditor();
    else
        FEditorRefreshPending = true;
}

void TPlannerForm::RefreshEditor()
{
    if (!EditorPanel)
        return;
    FEditorRefreshPending = false;
    const TWhichTable table = GetActiveTable();
    // Columns added, removed or retyped by the setup: the lines follow.
    bool stale = EditorPanel->Table() != table || EditorPanel->LineCount() != GetTableColCount(table);
    for (int column = 0; !stale && column < EditorPanel->LineCount(); ++column)
        stale = !EditorPanel->LineFits(column);
    if (stale)
        EditorPanel->Rebuild(table);
    EditorPanel->ShowRow(EditorRow());
}

void TPlannerForm::ApplicationEvents1Idle()
{
    TScheduleDocument::ApplicationEvents1Idle();
    if (FEditorRefreshPending)
        RefreshEditor();
}

void TPlannerForm::PageControl1Change()
{
    TablesPageChanged();
    if (!EditorPanel)
        return;
    StoreEditorPlace();
    EditorPanel->Rebuild(GetActiveTable());
    ApplyEditorSize();
    RefreshEditor();
}

// ---- shown or hidden -----------------------------------------------------------------

void TPlannerForm::SeteditorVisible(bool Value)
{
    FEditorVisibleWanted = Value;
    if (!ChangeEditorVisibleTimer)
        return;
    ChangeEditorVisibleTimer->SetEnabled(false);
    ChangeEditorVisibleTimer->SetEnabled(true);
}

void TPlannerForm::ChangeEditorVisibleTimerTimer(TObject*)
{
    if (ChangeEditorVisibleTimer)
        ChangeEditorVisibleTimer->SetEnabled(false);
    if (!EditorPanel)
        return;
    if (EditorAsWindow())
        EditorForm->SetVisible(FEditorVisibleWanted);
    else
        EditorDock->SetVisible(FEditorVisibleWanted);
    ShowEditorSplitter();
    if (FEditorVisibleWanted)
        RefreshEditor();
}

// ---- docked or a window --------------------------------------------------------------

bool TPlannerForm::EditorAsWindow() const { return EditorForm && EditorPanel && EditorPanel->Parent() == EditorForm; }

TPoint TPlannerForm::GetEditorPos()
{
    const TRect screen = Screen->MonitorWorkAreaRect(FEditorPos);
    // A window whose title bar no screen shows could not be dragged back.
    if (FEditorPos.X >= screen.Left && FEditorPos.X < screen.Right - 40 && FEditorPos.Y >= screen.Top &&
        FEditorPos.Y < screen.Bottom - 20)
        return FEditorPos;
    return {std::max(screen.Left, Left() + 100), std::max(screen.Top, Top() + 100)};
}

void TPlannerForm::StoreEditorPlace()
{
    if (!EditorPanel)
        return;
    TPoint& size = FEditorSize[EditorPanel->Table() == tbExclude ? tbExclude : tbTable];
    if (EditorAsWindow()) {
        size = {EditorForm->ClientWidth(), EditorForm->ClientHeight()};
        FEditorPos = {EditorForm->Left(), EditorForm->Top()};
    } else if (EditorDock->Width() > 0)
        size.X = EditorDock->Width();
}

void TPlannerForm::ApplyEditorSize()
{
    const TPoint size = FEditorSize[EditorPanel->Table() == tbExclude ? tbExclude : tbTable];
    if (EditorAsWindow()) {
        EditorForm->SetClientWidth(std::max(size.X, 100));
        EditorForm->SetClientHeight(std::max(size.Y, 60));
    } else
        EditorDock->SetWidth(std::max(size.X, 40));
}

void TPlannerForm::ApplyEditorPlace()
{
    if (!EditorPanel)
        return;
    if (EditorAsWindow()) {
        const TPoint pos = GetEditorPos();
        EditorForm->SetLeft(pos.X);
        EditorForm->SetTop(pos.Y);
    }
    ApplyEditorSize();
}

void TPlannerForm::EditorAsWindowClick()
{
    if (!EditorPanel)
        return;
    StoreEditorPlace();
    // The switch's tick says where the editor is going (the settings set it
    // to the opposite of what they want and click it).
    const bool window = EditorAsWindow1 ? !EditorAsWindow1->Checked() : !EditorAsWindow();
    if (EditorAsWindow1)
        EditorAsWindow1->SetChecked(window);
    // The field being typed in is written before its field moves.
    if (TWinControl* focused = Screen->ActiveControl(); focused && focused->Parent() == EditorPanel)
        if (focused->OnExit)
            focused->OnExit(focused);
    if (window) {
        if (!EditorForm) {
            EditorForm = Create<TEditorForm>(this);
            EditorForm->SetCaption(Translate("Editor"));
        }
        EditorPanel->SetParent(EditorForm);
        EditorDock->SetVisible(false);
        ApplyEditorPlace();
        EditorForm->SetVisible(FEditorVisibleWanted);
    } else {
        EditorPanel->SetParent(EditorDock);
        if (EditorForm)
            EditorForm->SetVisible(false);
        ApplyEditorSize();
        EditorDock->SetVisible(FEditorVisibleWanted);
    }
    ShowEditorSplitter();
}
