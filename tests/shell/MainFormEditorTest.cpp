// The main window's editor: its place and sizes across a restart, and the
// window's keys left to a field of the editor that has the focus.
#include "document/IniFiles.h"
#include "platform/ActnList.h"
#include "tests/shell/MainFormFixture.h"
#include "views/EditorForm.h"
#include "views/EditorPanel.h"

using namespace mainformtest;

TEST_F(MainFormTest, TheEditorWindowsPlaceAndEachTablesSizeSurviveARestart)
{
    TMainForm* m = StartProgram({});
    m->EditorAsWindow1->Click();
    ASSERT_TRUE(m->EditorAsWindow());
    m->EditorForm->SetLeft(140);
    m->EditorForm->SetTop(110);
    m->EditorForm->SetClientWidth(330);
    m->EditorForm->SetClientHeight(210);
    m->SetActiveTable(tbExclude);
    m->EditorForm->SetClientWidth(270);
    ASSERT_TRUE(m->SaveIni());
    StopProgram();

    TMemIniFile ini(TMainForm::SettingsFileName());
    EXPECT_EQ(ini.ReadInteger("setup", "editorwidth", 0), 330);
    EXPECT_EQ(ini.ReadInteger("setup", "editorheight", 0), 210);
    EXPECT_EQ(ini.ReadInteger("setup", "editorwidthExclude", 0), 270);
    EXPECT_EQ(ini.ReadInteger("setup", "editorleft", 0), 140);

    m = StartProgram({});
    ASSERT_TRUE(m->EditorAsWindow());
    EXPECT_EQ(m->EditorForm->ClientWidth(), 330);
    EXPECT_EQ(m->EditorForm->ClientHeight(), 210);
    EXPECT_EQ(m->EditorForm->Left(), 140);
    // Docked again, the table's width is the dock's.
    m->EditorAsWindow1->Click();
    EXPECT_FALSE(m->EditorAsWindow());
    EXPECT_EQ(m->EditorDock->Width(), 330);
}

TEST_F(MainFormTest, DeleteAndArrowKeysLeaveRowsAndChartWhileAnEditorFieldHasTheFocus)
{
    TMainForm* m = StartProgram({});
    TNodeData* row = m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    m->UpdateBoundsProc();
    m->SelectOnly(row);
    m->UpdateEditor();
    m->SeteditorVisible(true);
    m->ChangeEditorVisibleTimerTimer(nullptr);
    ASSERT_EQ(m->EditorPanel->Row(), row);
    TWinControl* field = m->EditorPanel->Field(5);
    m->SetActiveControl(field);
    const TDateTime start = m->TimeChartStartDestination;
    for (Word k : {Word(VK_DELETE), Word(VK_LEFT), Word(VK_RIGHT), Word(VK_UP), Word(VK_DOWN)}) {
        Word key = k;
        m->FormKeyDown(key, {});
        EXPECT_EQ(key, k);
    }
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start);
    EXPECT_TRUE(Questions.empty());
}

TEST_F(MainFormTest, SwitchingTheLanguageLeavesTheEditorsTextsAlone)
{
    ::mkdir((Root + "/languages").c_str(), 0700);
    WriteFile(Root + "/languages/Deutsch.lng",
              ReadFile(vektest::DataPath("../../resources/languages/Deutsch.lng")));
    TMainForm* m = StartProgram({});
    TNodeData* row = m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    m->SetData(row, 5, "Open");
    m->SelectOnly(row);
    m->RefreshEditor();
    ASSERT_EQ(m->EditorPanel->CaptionLabel(5)->Caption(), "Comment");
    m->SetLanguage("Deutsch");
    ASSERT_EQ(m->ActOpen->Caption(), "\xC3\x96" "ffnen...");
    // The captions are the columns' own, as the table header shows them,
    // and the fields hold the row's texts.
    EXPECT_EQ(m->EditorPanel->CaptionLabel(5)->Caption(), m->GetColumnCaption(tbTable, 5));
    EXPECT_EQ(m->EditorPanel->Field(5)->Text(), "Open");
}
