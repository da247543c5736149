// The editor panel on a planner form: which row it shows, how its fields
// write to the row, and where it lives (docked or in its window).
#include <gtest/gtest.h>

#include "components/AutocompletingEdit.h"
#include "components/CompletingComboBox.h"
#include "platform/StdCtrls.h"
#include "tests/views/ViewsTestSupport.h"
#include "views/EditorForm.h"
#include "views/EditorPanel.h"

namespace {

class TEditorPlanner : public TTestPlanner {
public:
    using TTestPlanner::TTestPlanner;
    bool Client = false;
    std::vector<String> Sent;
    std::vector<int> UndoColumns;
    std::vector<String> Messages;
    bool IsConnectedClient() const override { return Client; }
    void SendSetNodeDataEvent(int Column, const String& Text, int ID) override
    {
        Sent.push_back(IntToStr(Column) + " " + Text + " " + IntToStr(ID));
    }
    void RecordUndoSetData(TNodeData* Row, int Column) override
    {
        UndoColumns.push_back(Column);
        TTestPlanner::RecordUndoSetData(Row, Column);
    }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
};

constexpr int cPosition = 0, cStart = 1, cLength = 3, cState = 4, cComment = 5;

class EditorPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        planner = MakeDocumentOf<TEditorPlanner>({"A", "B", "C"});
        planner->SetFileChanged(false);
        day = EncodeDate(2026, 3, 2);
        row1 = AddTask(*planner, "A", day, 2);
        row2 = AddTask(*planner, "B", day + 7, 3);
        planner->DoSetData(row1, cComment, "first", cmIgnoreNet);
        planner->DoSetData(row2, cComment, "second", cmIgnoreNet);
        planner->PageControl1Change();
        panel = planner->EditorPanel;
        planner->SetFileChanged(false);
        planner->UndoColumns.clear();
    }
    void Focus(TNodeData* Row)
    {
        planner->StringTreeGrid1->SetFocusedNode(Row ? Row->VNode : nullptr);
        planner->UpdateEditor();
    }
    // The editor docked and shown, the form on the screen, the field focused.
    void ShowEditor()
    {
        planner->Show();
        planner->SeteditorVisible(true);
        planner->ChangeEditorVisibleTimerTimer(nullptr);
    }
    TEdit* EditOf(int Column) { return dynamic_cast<TEdit*>(panel->Field(Column)); }

    TOwnedDocument<TEditorPlanner> planner;
    TEditorPanel* panel = nullptr;
    TDateTime day = 0;
    TNodeData* row1 = nullptr;
    TNodeData* row2 = nullptr;
};

TEST_F(EditorPanelTest, OneLinePerColumnByTypeAndTheFocusedRowShown)
{
    ASSERT_EQ(panel->LineCount(), 6);
    EXPECT_TRUE(dynamic_cast<TCompletingComboBox*>(panel->FindComponent("__edit0")));
    EXPECT_TRUE(dynamic_cast<TEdit*>(panel->FindComponent("__edit1")));
    EXPECT_TRUE(panel->FindComponent("__date1"));
    EXPECT_TRUE(dynamic_cast<TAutocompletingEdit*>(panel->FindComponent("__edit5")));
    EXPECT_EQ(panel->CaptionLabel(cComment)->Caption(), "Comment");
    // Captions and fields line up, in column order.
    EXPECT_LT(panel->Field(cStart)->Top(), panel->Field(cLength)->Top());
    EXPECT_EQ(panel->CaptionLabel(cLength)->Top(), panel->Field(cLength)->Top());

    // No focused row: empty and disabled.
    EXPECT_FALSE(panel->Enabled());
    EXPECT_EQ(panel->Field(cComment)->Text(), "");
    EXPECT_FALSE(panel->Field(cComment)->Enabled());

    Focus(row2);
    EXPECT_TRUE(panel->Enabled());
    EXPECT_EQ(panel->Field(cComment)->Text(), "second");
    EXPECT_EQ(panel->Field(cPosition)->Text(), "B");
    EXPECT_EQ(panel->Field(cStart)->Text(), planner->FormatDateTime(day + 7));
    Focus(row1);
    EXPECT_EQ(panel->Field(cComment)->Text(), "first");

    // The absent days' page brings that table's lines: a check box for the
    // working days column.
    planner->SetActivePageIndex(1);
    planner->PageControl1Change();
    ASSERT_EQ(panel->LineCount(), 7);
    auto* check = dynamic_cast<TCheckBox*>(panel->Field(4));
    ASSERT_TRUE(check);
    TNodeData* absent = AddAbsentDay(*planner, "A", day, 1);
    planner->DoSetData(absent, 4, "Ja", cmIgnoreNet);
    planner->StringTreeGrid2->SetFocusedNode(absent->VNode);
    planner->UpdateEditor();
    EXPECT_TRUE(check->Checked());
    // Deleting the shown row empties the panel.
    planner->DeleteNode(absent, cmIgnoreNet);
    EXPECT_EQ(panel->Row(), nullptr);
    EXPECT_FALSE(check->Checked());
}

TEST_F(EditorPanelTest, ACommitIsOneLocalChangeAndTypingAloneWritesNothing)
{
    Focus(row1);
    ShowEditor();
    TEdit* comment = EditOf(cComment);
    comment->SetFocus();
    comment->SetText("typed");
    // Typing: nothing written, nothing recorded.
    EXPECT_EQ(planner->GetData(row1, cComment), "first");
    EXPECT_TRUE(planner->UndoColumns.empty());
    EXPECT_FALSE(planner->GetFileChanged());

    KeyDown(comment, VK_RETURN);
    EXPECT_EQ(planner->GetData(row1, cComment), "typed");
    EXPECT_EQ(planner->UndoColumns, std::vector<int>{cComment});
    EXPECT_TRUE(planner->GetFileChanged());
    // Leaving after the commit writes nothing more.
    planner->TimeChart->SetFocus();
    EXPECT_EQ(planner->UndoColumns.size(), 1u);

    // Escape puts the cell's text back; leaving then writes nothing.
    comment->SetFocus();
    comment->SetText("dropped");
    KeyDown(comment, VK_ESCAPE);
    EXPECT_EQ(comment->Text(), "typed");
    planner->TimeChart->SetFocus();
    EXPECT_EQ(planner->GetData(row1, cComment), "typed");
    EXPECT_EQ(planner->UndoColumns.size(), 1u);

    // Leaving a changed field commits it.
    TEdit* length = EditOf(cLength);
    length->SetFocus();
    length->SetText("5");
    planner->TimeChart->SetFocus();
    EXPECT_EQ(planner->GetData(row1, cLength), "5");
    EXPECT_EQ(planner->UndoColumns, (std::vector<int>{cComment, cLength}));
    // Each commit is one step of its own.
    planner->UndoRedo().Undo();
    EXPECT_EQ(planner->GetData(row1, cLength), "2");
    EXPECT_EQ(planner->GetData(row1, cComment), "typed");
}

TEST_F(EditorPanelTest, PicksAndCheckBoxClicksCommit)
{
    Focus(row1);
    auto* state = dynamic_cast<TComboBox*>(panel->Field(cState));
    ASSERT_TRUE(state);
    ASSERT_GE(state->Items()->Count(), 2);
    state->SetItemIndex(1);
    state->OnSelect(state);
    EXPECT_EQ(planner->GetData(row1, cState), (*state->Items())[1]);
    EXPECT_EQ(planner->UndoColumns, std::vector<int>{cState});

    planner->SetActivePageIndex(1);
    planner->PageControl1Change();
    TNodeData* absent = AddAbsentDay(*planner, "A", day, 1);
    planner->DoSetData(absent, 4, "Nein", cmIgnoreNet);
    planner->StringTreeGrid2->SetFocusedNode(absent->VNode);
    planner->UpdateEditor();
    auto* check = dynamic_cast<TCheckBox*>(panel->Field(4));
    check->Toggle();
    EXPECT_EQ(planner->GetData(absent, 4), "Ja");
    // Showing another row sets the box without writing anything.
    TNodeData* other = AddAbsentDay(*planner, "B", day, 1);
    planner->DoSetData(other, 4, "Nein", cmIgnoreNet);
    planner->UndoColumns.clear();
    planner->StringTreeGrid2->SetFocusedNode(other->VNode);
    planner->UpdateEditor();
    EXPECT_FALSE(check->Checked());
    EXPECT_TRUE(planner->UndoColumns.empty());
    EXPECT_EQ(planner->GetData(absent, 4), "Ja");
}

TEST_F(EditorPanelTest, APickedDayKeepsTheTimeOnlyInMinuteUnit)
{
    Focus(row1);
    planner->UndoColumns.clear();
    panel->PickDate(cStart, day + 3.75);
    EXPECT_EQ(planner->GetData(row1, cStart), planner->FormatDateTime(day + 3));
    EXPECT_EQ(planner->GetData(row1, cStart).find(':'), String::npos);

    planner->FMinUnit = muMinute;
    planner->DoSetData(row1, cStart, planner->FormatDateTime(day + 0.5), cmIgnoreNet);
    planner->RefreshEditor();
    panel->PickDate(cStart, day + 10);
    EXPECT_EQ(planner->GetData(row1, cStart), planner->FormatDateTime(day + 10.5));
    EXPECT_NE(planner->GetData(row1, cStart).find("12:00"), String::npos);
}

TEST_F(EditorPanelTest, OnAConnectedClientTheCellWaitsForTheEcho)
{
    planner->Client = true;
    Focus(row1);
    TEdit* comment = EditOf(cComment);
    comment->SetText("remote");
    panel->CommitField(cComment);
    EXPECT_EQ(planner->Sent, std::vector<String>{IntToStr(cComment) + " remote " + IntToStr(row1->ID)});
    EXPECT_EQ(planner->GetData(row1, cComment), "first");
    EXPECT_EQ(comment->Text(), "remote");
    // Committing again before the echo sends nothing more.
    panel->CommitField(cComment);
    EXPECT_EQ(planner->Sent.size(), 1u);
    planner->DoSetData(row1, cComment, "remote", cmFromServer);
    planner->ApplicationEvents1Idle();
    EXPECT_EQ(comment->Text(), "remote");
    EXPECT_FALSE(panel->IsTyping(cComment));
}

TEST_F(EditorPanelTest, ARefreshKeepsTheFieldBeingTypedIn)
{
    Focus(row1);
    TEdit* comment = EditOf(cComment);
    comment->SetText("half typ");
    ASSERT_TRUE(panel->IsTyping(cComment));
    // A change from the network: the refresh waits for the idle, then
    // shows the other fields anew and leaves the typed text alone.
    planner->DoSetData(row1, cLength, "9", cmFromServer);
    EXPECT_EQ(EditOf(cLength)->Text(), "2");
    planner->ApplicationEvents1Idle();
    EXPECT_EQ(EditOf(cLength)->Text(), "9");
    EXPECT_EQ(comment->Text(), "half typ");
    // Another row is shown at once and drops what was typed.
    Focus(row2);
    EXPECT_EQ(comment->Text(), "second");
    EXPECT_EQ(planner->GetData(row1, cComment), "first");
}

TEST_F(EditorPanelTest, TheTextListIsGatheredOnFocusAndThePositionListFollowsTheGroup)
{
    Focus(row1);
    ShowEditor();
    planner->DoSetData(row2, cComment, "firmly", cmIgnoreNet);
    auto* comment = dynamic_cast<TAutocompletingEdit*>(panel->Field(cComment));
    comment->SetFocus();
    EXPECT_EQ(comment->Items()->Count(), 2);
    EXPECT_NE(comment->Items()->IndexOf("firmly"), -1);

    auto* position = dynamic_cast<TComboBox*>(panel->Field(cPosition));
    ASSERT_EQ(position->Items()->Count(), 3);
    // A group of only B and C.
    planner->FGlobalPositionFilter = NewCommaText();
    planner->FGlobalPositionFilter->Add("B");
    planner->FGlobalPositionFilter->Add("C");
    planner->RefreshEditor();
    ASSERT_EQ(position->Items()->Count(), 2);
    EXPECT_EQ((*position->Items())[0], "B");
    // The row's own position stays shown even outside the group.
    EXPECT_EQ(position->Text(), "A");
}

TEST_F(EditorPanelTest, ALinkOpensItsTargetAndSaysWhenItCannot)
{
    planner->SetColumnType(tbTable, cComment, ctLink);
    planner->DoSetData(row1, cComment, "/tmp/plan notes.txt", cmIgnoreNet);
    Focus(row1);
    ShowEditor();
    ASSERT_TRUE(panel->LinkField(cComment));
    std::vector<String> opened;
    bool works = true;
    panel->Opener = [&](const String& Path) {
        opened.push_back(Path);
        return works;
    };
    Click(panel->LinkField(cComment), TPoint{5, 5});
    EXPECT_EQ(opened, std::vector<String>{"/tmp/plan notes.txt"});
    EXPECT_TRUE(planner->Messages.empty());
    works = false;
    panel->OpenLink(cComment);
    ASSERT_EQ(planner->Messages.size(), 1u);
    EXPECT_NE(planner->Messages[0].find("/tmp/plan notes.txt"), String::npos);
}

TEST_F(EditorPanelTest, ShownAfterTheTimerAndAsWindowKeepingValuesAndSizes)
{
    planner->Show();
    planner->SeteditorVisible(true);
    planner->SeteditorVisible(false);
    planner->SeteditorVisible(true);
    EXPECT_TRUE(planner->ChangeEditorVisibleTimer->Enabled());
    EXPECT_FALSE(planner->EditorDock->Visible());
    planner->ChangeEditorVisibleTimerTimer(nullptr);
    EXPECT_FALSE(planner->ChangeEditorVisibleTimer->Enabled());
    EXPECT_TRUE(planner->EditorDock->Visible());

    Focus(row1);
    planner->FEditorSize[tbTable] = {300, 200};
    planner->FEditorSize[tbExclude] = {250, 180};
    planner->FEditorPos = {120, 90};
    planner->ApplyEditorPlace();
    EXPECT_EQ(planner->EditorDock->Width(), 300);

    planner->EditorAsWindowClick();
    ASSERT_TRUE(planner->EditorForm);
    EXPECT_TRUE(planner->EditorAsWindow());
    EXPECT_EQ(planner->EditorForm->FormStyle(), fsStayOnTop);
    EXPECT_TRUE(planner->EditorForm->Visible());
    EXPECT_FALSE(planner->EditorDock->Visible());
    EXPECT_EQ(planner->EditorForm->Left(), 120);
    EXPECT_EQ(planner->EditorForm->ClientWidth(), 300);
    EXPECT_EQ(planner->EditorForm->ClientHeight(), 200);
    EXPECT_EQ(panel->Field(cComment)->Text(), "first");

    // Each table keeps its own size.
    planner->EditorForm->SetClientWidth(340);
    planner->SetActivePageIndex(1);
    planner->PageControl1Change();
    EXPECT_EQ(planner->FEditorSize[tbTable].X, 340);
    EXPECT_EQ(planner->EditorForm->ClientWidth(), 250);
    planner->SetActivePageIndex(0);
    planner->PageControl1Change();
    EXPECT_EQ(planner->EditorForm->ClientWidth(), 340);
    planner->UpdateEditor();
    EXPECT_EQ(panel->Field(cComment)->Text(), "first");

    // Back beside the tables, with the same row and the table's width.
    planner->EditorAsWindowClick();
    EXPECT_FALSE(planner->EditorAsWindow());
    EXPECT_FALSE(planner->EditorForm->Visible());
    EXPECT_TRUE(planner->EditorDock->Visible());
    EXPECT_EQ(planner->EditorDock->Width(), 340);
    EXPECT_EQ(panel->Field(cComment)->Text(), "first");
    EXPECT_EQ(planner->FEditorPos.X, 120);
}

TEST_F(EditorPanelTest, AStoredPlaceOffEveryScreenOpensNearTheMainWindow)
{
    planner->SetBounds(50, 60, 800, 600);
    planner->FEditorPos = {-30000, -30000};
    const TPoint pos = planner->GetEditorPos();
    const TRect screen = Screen->MonitorWorkAreaRect(pos);
    EXPECT_TRUE(pos.X >= screen.Left && pos.X < screen.Right && pos.Y >= screen.Top && pos.Y < screen.Bottom);
}

TEST_F(EditorPanelTest, ARetypedColumnGetsANewLine)
{
    Focus(row1);
    planner->SetColumnType(tbTable, cComment, ctNumber);
    planner->RefreshEditor();
    EXPECT_FALSE(dynamic_cast<TAutocompletingEdit*>(panel->Field(cComment)));
    EXPECT_EQ(panel->Field(cComment)->Text(), "first");
    planner->InsertColumn(tbTable, 6);
    EXPECT_EQ(panel->LineCount(), 7);
}

}  // namespace
