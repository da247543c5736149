// The main window's language switch: what it renews and what it must keep,
// language files as Linux editors write them, and the texts that follow the
// state of the window rather than its first wording.
#include <gtest/gtest.h>

#include <filesystem>

#include "network/DocumentNetwork.h"
#include "platform/ActnList.h"
#include "platform/Menus.h"
#include "tests/shell/MainFormFixture.h"

using namespace mainformtest;

namespace {

void CopyFile(const String& From, const String& To)
{
    std::filesystem::copy_file(From, To, std::filesystem::copy_options::overwrite_existing);
}

String StartCaption(TMainForm* M) { return M->GetColumnCaption(tbTable, M->GetConnection(tbTable, cnStart)); }

}  // namespace

class LanguageSwitchTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        ::mkdir((Root + "/languages").c_str(), 0700);
        WriteFile(Root + "/languages/Test.lng",
                  "[translated]\r\nStart=Beginn\r\nnew task=neue Aufgabe\r\nset value (%s)=Wert setzen (%s)\r\n"
                  "File has changed=Ge\xE4ndert\r\nConnected to %s=Verbunden mit %s\r\n");
    }
};

TEST_F(LanguageSwitchTest, RenewsAnUntouchedNewDocumentOnly)
{
    const String doc = MakeDocument("plan.vek");
    const String backup = Work + "/plan.vek.BACKUP";
    CopyFile(doc, backup);
    const String list = Work + "/plan.lst";
    CopyFile(vektest::DataPath("legacy/plan.lst"), list);
    CopyFile(vektest::DataPath("legacy/plan.lst.ini"), list + ".ini");

    // The empty document New made takes the new language's column captions.
    TMainForm* m = StartProgram({});
    m->SetLanguage("Test");
    EXPECT_EQ(StartCaption(m), "Beginn");
    m->SetLanguage("Missing");
    EXPECT_EQ(StartCaption(m), "Start");

    // An opened backup and an imported list are new and unsaved too, but
    // they are the user's plans.
    m->Open(backup);
    ASSERT_TRUE(m->FFileIsNewAndUnsaved);
    ASSERT_EQ(m->GetTableRowCount(tbTable), 1);
    m->SetLanguage("Test");
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
    m->Open(list);
    ASSERT_TRUE(m->FFileIsNewAndUnsaved);
    const int listed = m->GetTableRowCount(tbTable);
    ASSERT_GT(listed, 0);
    m->SetLanguage("Missing");
    EXPECT_EQ(m->GetTableRowCount(tbTable), listed);

    // A client's copy of the served plan, while connected and after the
    // connection is lost for good.
    m->Open(doc);
    m->Network()->Server()->Server()->SetBindAddress("127.0.0.1");
    ASSERT_TRUE(m->Network()->StartServer(0));
    auto* client = Create<TMainForm>(nullptr);
    ASSERT_TRUE(client->Network()->StartClient("127.0.0.1", m->Network()->Port()));
    ASSERT_TRUE(ProcessEventsUntil([&] { return client->Network()->FDocumentsLoaded > 0; }, 5000));
    ASSERT_EQ(client->GetTableRowCount(tbTable), 1);
    client->SetLanguage("Test");
    EXPECT_EQ(client->GetTableRowCount(tbTable), 1);
    EXPECT_TRUE(client->IsConnectedClient());

    Questions.clear();
    Answers = {mrOk, mrOk};  // try to reconnect; then the failure
    m->Network()->StopServer();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Questions.size() == 2; }, 5000));
    ASSERT_FALSE(client->Network()->ClientChecked());
    ASSERT_TRUE(client->FFileIsNewAndUnsaved);
    client->SetLanguage("Missing");
    EXPECT_EQ(client->GetTableRowCount(tbTable), 1);
    delete client;
}

TEST_F(LanguageSwitchTest, FilesAsLinuxEditorsWriteThemAndAsTheMenuListsThem)
{
    WriteFile(Root + "/languages/Utf8.lng", "[translated]\nOpen...=\xC3\x96" "ffnen...\n");
    WriteFile(Root + "/languages/Ansi.lng", "[translated]\r\nOpen...=\xD6" "ffnen...\r\n");
    WriteFile(Root + "/languages/Upper.LNG", "[translated]\r\nOpen...=Auf...\r\n");
    TMainForm* m = StartProgram({});
    for (const char* language : {"Utf8", "Ansi"}) {
        m->SetLanguage(language);
        EXPECT_EQ(m->FLanguage, language);
        EXPECT_EQ(m->ActOpen->Caption(), "\xC3\x96" "ffnen...") << language;
    }
    TMenuItem* upper = nullptr;
    for (int i = 0; i < m->Sprache1->Count(); ++i)
        if (m->Sprache1->Items(i)->Caption() == "Upper")
            upper = m->Sprache1->Items(i);
    ASSERT_NE(upper, nullptr);
    upper->Click();
    EXPECT_EQ(m->FLanguage, "Upper");
    EXPECT_TRUE(upper->Checked());
    EXPECT_EQ(m->ActOpen->Caption(), "Auf...");
}

TEST_F(LanguageSwitchTest, UndoHintsFollowTheUndoListAfterASwitch)
{
    TMainForm* m = StartProgram({});
    TNodeData* row = m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    m->SetLanguage("Test");
    EXPECT_EQ(m->ActUndo->Hint(), "neue Aufgabe");
    m->SetData(row, m->GetConnection(tbTable, cnTextCenterMiddle), "x");
    const String hint = m->ActUndo->Hint();
    ASSERT_NE(hint, "neue Aufgabe");
    m->SetLanguage("Test");
    EXPECT_EQ(m->ActUndo->Hint(), hint);
    m->UndoRedo().Undo();
    const String undo = m->ActUndo->Hint(), redo = m->ActRedo->Hint();
    m->SetLanguage("Test");
    EXPECT_EQ(m->ActUndo->Hint(), undo);
    EXPECT_EQ(m->ActRedo->Hint(), redo);
}

TEST_F(LanguageSwitchTest, AClientsStatusNamesChangesAndConnectionApart)
{
    TMainForm* server = StartProgram({});
    TNodeData* row = server->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    server->Network()->Server()->Server()->SetBindAddress("127.0.0.1");
    ASSERT_TRUE(server->Network()->StartServer(0));
    server->SetLanguage("Test");
    auto* client = Create<TMainForm>(nullptr);
    ASSERT_TRUE(client->Network()->StartClient("127.0.0.1", server->Network()->Port()));
    ASSERT_TRUE(ProcessEventsUntil([&] { return client->Network()->FDocumentsLoaded > 0; }, 5000));
    const String connected = "Verbunden mit 127.0.0.1:" + std::to_string(server->Network()->Port());
    EXPECT_EQ(Panel(client, 3), connected);
    server->SetData(row, server->GetConnection(tbTable, cnTextCenterMiddle), "changed");
    ASSERT_TRUE(ProcessEventsUntil([&] { return client->GetFileChanged(); }, 5000));
    EXPECT_EQ(Panel(client, 3), "Ge\xC3\xA4ndert - " + connected);
    delete client;
}
