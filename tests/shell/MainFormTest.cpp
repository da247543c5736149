// The real main window in the offscreen platform, with a temporary
// configuration folder and working directory: the start, the file commands
// with their questions, caption and status, recent files across a restart,
// settings, the log and the close questions.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "components/KitSplitter.h"
#include "components/KitToolBar.h"
#include "components/ColorPickerPopup.h"
#include "components/DateTimePopup.h"
#include "components/ShadowedHintWindow.h"
#include "components/StyledMenu.h"
#include "document/IniFiles.h"
#include "network/DocumentNetwork.h"
#include "network/SimpleSockets.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/MenuBar.h"
#include "platform/InstanceRegistry.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "platform/Timers.h"
#include "shell/Instances.h"
#include "shell/MainForm.h"
#include "views/CanvasPanel.h"
#include "shell/MessageDialog.h"
#include "shell/Startup.h"
#include "shell/Translation.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"
#include "tests/shell/MainFormFixture.h"

using namespace mainformtest;

TEST_F(MainFormTest, StartsInOrderAndOpensTheOneArgument)
{
    const String doc = MakeDocument("plan.vek");
    std::vector<String> steps;
    SetStartupObserver([&](const String& S) { steps.push_back(S); });
    TMainForm* m = StartProgram({doc});
    EXPECT_EQ(steps, (std::vector<String>{"units", "locale", "title", "splash", "forms", "settings", "splash timer",
                                          "open"}));
    EXPECT_EQ(Application->Title(), "Vekora");
    // The kit's popups are made once, and hints cast a shadow.
    ASSERT_NE(DateTimePopup, nullptr);
    ASSERT_NE(ColorPickerPopup, nullptr);
    EXPECT_EQ(Application->HintWindowClass(), TShadowedHintWindow::StaticClassInfo());
    EXPECT_EQ(m->Caption(), "VEK - " + doc);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
    EXPECT_EQ(Panel(m, 0), "Table total: 1");
    EXPECT_EQ(Panel(m, 3), "");
    StopProgram();
    EXPECT_EQ(DateTimePopup, nullptr);

    // Two arguments open nothing.
    steps.clear();
    m = StartProgram({doc, doc});
    EXPECT_EQ(steps.back(), "splash timer");
    EXPECT_EQ(m->GetTableRowCount(tbTable), 0);
    EXPECT_EQ(m->Caption(), "VEK - New Table.vek");
}

TEST_F(MainFormTest, SaveAsSaveRevertAndNewAskTheirQuestions)
{
    TMainForm* m = StartProgram({});
    // Save is there as soon as something changed, not only after the next idle pass.
    EXPECT_FALSE(m->ActSave->Enabled());
    m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    EXPECT_EQ(Panel(m, 3), "File has changed");
    EXPECT_TRUE(m->ActSave->Enabled());

    // A new document's Save goes to Save As.
    const String path = Work + "/saved.vek";
    Paths = {path};
    m->ActSave->Execute();
    EXPECT_TRUE(Questions.empty());
    ASSERT_EQ(::access(path.c_str(), F_OK), 0);
    EXPECT_EQ(m->Caption(), "VEK - " + path);
    EXPECT_EQ(Panel(m, 3), "");
    EXPECT_EQ(m->LastFiles(), std::vector<String>{path});

    // Save As over an existing file asks first; Cancel writes nothing.
    const String other = Work + "/other.vek";
    WriteFile(other, "keep");
    Paths = {other};
    Answers = {mrCancel};
    m->ActSaveAs->Execute();
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_NE(Questions[0].find("already exists"), String::npos);
    EXPECT_EQ(ReadFile(other), "keep");

    // Revert asks, then reloads what is on disk.
    m->AddNode(0, tbTable, 0, 480, 46001, cmDefault);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 2);
    m->ActionList1->UpdateActions();
    ASSERT_TRUE(m->ActRevert->Enabled());
    Answers = {mrOk};
    m->ActRevert->Execute();
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);

    // New with unsaved changes: the question names the file (its lock is
    // held until New goes ahead); No discards them.
    m->AddNode(0, tbTable, 0, 480, 46002, cmDefault);
    Questions.clear();
    Answers = {mrNo};
    m->ActNew->Execute();
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_EQ(Questions[0], "Do you want to save changes to " + path + "?");
    EXPECT_EQ(m->GetTableRowCount(tbTable), 0);
    EXPECT_EQ(m->Caption(), "VEK - New Table.vek");
}

TEST_F(MainFormTest, RecentFilesSurviveARestartWithoutDuplicates)
{
    std::vector<String> docs;
    for (int i = 0; i < 9; ++i)
        docs.push_back(MakeDocument("doc" + std::to_string(i) + ".vek"));
    TMainForm* m = StartProgram({});
    for (const String& d : docs)
        m->Open(d);
    // The ninth distinct file pushed out the first.
    std::vector<String> expected(docs.rbegin(), docs.rbegin() + 8);
    EXPECT_EQ(m->LastFiles(), expected);
    // Opening a listed file again moves it up, never lists it twice.
    m->Open(docs[3]);
    expected.erase(std::find(expected.begin(), expected.end(), docs[3]));
    expected.insert(expected.begin(), docs[3]);
    EXPECT_EQ(m->LastFiles(), expected);
    EXPECT_EQ(m->ActLastFile[0]->Caption(), "1. " + docs[3]);
    // Names differing only in case are different files here.
    m->AddToLastFiles(Work + "/DOC0.vek");
    EXPECT_EQ(m->LastFiles()[0], Work + "/DOC0.vek");
    const std::vector<String> before = m->LastFiles();
    m->Close();
    StopProgram();

    m = StartProgram({});
    EXPECT_EQ(m->LastFiles(), before);
    // A recent-file action opens its file.
    m->ActLastFile[1]->Execute();
    EXPECT_EQ(m->Caption(), "VEK - " + before[1]);
}

TEST_F(MainFormTest, AMovedWindowComesBackWhereItWas)
{
    TMainForm* m = StartProgram({});
    ProcessEvents();
    const TRect area = Screen->WorkAreaRect();
    // Further from the edges than the window's screen docker snaps.
    const TPoint place{area.Left + 131, area.Top + 117};
    ASSERT_NE(TPoint(m->Left(), m->Top()), place);
    // Small enough to lie inside the work area where it is put.
    m->SetBounds(m->Left(), m->Top(), area.Width() / 2, area.Height() / 2);
    MoveWindowFromOutside(m, place);
    EXPECT_EQ(TPoint(m->Left(), m->Top()), place);
    m->Close();
    StopProgram();

    m = StartProgram({});
    ProcessEvents();
    EXPECT_EQ(TPoint(m->Left(), m->Top()), place);
    // Shown there, it stays there: the frame's corner is the place.
    m->Close();
    StopProgram();
    m = StartProgram({});
    ProcessEvents();
    EXPECT_EQ(TPoint(m->Left(), m->Top()), place);
}

TEST_F(MainFormTest, SettingsFileKeysAndDefaults)
{
    // Missing file: the form's switches, auto-scroll on, 80 history files.
    TMainForm* m = StartProgram({});
    EXPECT_TRUE(m->Statuszeileanzeigen1->Checked());
    EXPECT_TRUE(m->Tabelleanzeigen1->Checked());
    EXPECT_FALSE(m->HideEmptyRows1->Checked());
    EXPECT_TRUE(m->AutoScroll1->Checked());
    EXPECT_EQ(m->FMaxHistoryFiles, 80);
    m->Statuszeileanzeigen1->Click();
    EXPECT_FALSE(m->StatusBar1->Visible());
    m->EditorAsWindow1->Click();
    ASSERT_TRUE(m->SaveIni());
    StopProgram();

    TMemIniFile ini(TMainForm::SettingsFileName());
    EXPECT_EQ(TMainForm::SettingsFileName(), Config + "/Vek/Vek.ini");
    EXPECT_FALSE(ini.ReadBool("view", "statusbar", true));
    EXPECT_TRUE(ini.ReadBool("view", "editorasform", false));
    EXPECT_FALSE(ini.ValueExists("history", "maxfiles"));
    EXPECT_FALSE(ini.ValueExists("setup", "editorasform"));

    m = StartProgram({});
    EXPECT_FALSE(m->Statuszeileanzeigen1->Checked());
    EXPECT_FALSE(m->StatusBar1->Visible());
    EXPECT_TRUE(m->EditorAsWindow1->Checked());
    StopProgram();

    // An older file has the editor switch in [setup] only; bounds far off
    // the screen come back inside it; a bad port number keeps the default.
    WriteFile(TMainForm::SettingsFileName(),
              "[setup]\r\neditorasform=1\r\nleft=-5000\r\ntop=90000\r\nwidth=640\r\nheight=480\r\n"
              "[internet]\r\nport=abc\r\n[history]\r\nmaxfiles=12\r\n");
    m = StartProgram({});
    EXPECT_TRUE(m->EditorAsWindow1->Checked());
    const TRect area = Screen->WorkAreaRect();
    EXPECT_GE(m->Left(), area.Left);
    EXPECT_LE(m->Top() + m->Height(), area.Bottom);
    EXPECT_EQ(m->Width(), 640);
    EXPECT_EQ(m->FClientPort, 8080);
    EXPECT_EQ(m->FMaxHistoryFiles, 12);
}

TEST_F(MainFormTest, LogLinesAndAnUnwritableLog)
{
    const String doc = MakeDocument("logged.vek");
    TMainForm* m = StartProgram({doc});
    // An exception out of a handler the event loop called reaches the log
    // and nothing else.
    auto* timer = Create<TTimer>(m);
    timer->SetInterval(1);
    timer->OnTimer = [timer](TObject*) {
        timer->SetEnabled(false);
        throw Exception("boom");
    };
    timer->SetEnabled(true);
    ASSERT_TRUE(ProcessEventsUntil([&] { return ReadFile(Work + "/vek.log").find("boom") != String::npos; }, 3000));
    const String log = ReadFile(Work + "/vek.log");
    EXPECT_NE(log.find(" - file " + doc + ": Exception: boom\r\n"), String::npos) << log;
    EXPECT_TRUE(Questions.empty());

    // A log that cannot be opened is skipped without a sound.
    const String blocked = Root + "/blocked";
    ::mkdir(blocked.c_str(), 0700);
    ::mkdir((blocked + "/vek.log").c_str(), 0700);
    ASSERT_EQ(::chdir(blocked.c_str()), 0);
    EXPECT_NO_THROW(m->Log("nowhere"));
    ASSERT_EQ(::chdir(Work.c_str()), 0);
}

TEST_F(MainFormTest, CloseAsksForUnsavedChanges)
{
    TMainForm* m = StartProgram({});
    m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);

    // Cancel keeps the window and the changes.
    Answers = {mrCancel};
    m->Close();
    EXPECT_TRUE(m->Visible());
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_EQ(Questions[0], "Do you want to save changes?");

    // Yes with a save that fails keeps it too.
    Answers = {mrYes, mrOk};
    Paths = {Root + "/no/such/folder/x.vek"};
    m->Close();
    EXPECT_TRUE(m->Visible());
    EXPECT_TRUE(m->GetFileChanged());

    // No closes without saving; the settings are written.
    Answers = {mrNo};
    m->Close();
    EXPECT_FALSE(m->Visible());
    EXPECT_EQ(::access(TMainForm::SettingsFileName().c_str(), F_OK), 0);
}

TEST_F(MainFormTest, LanguageSwitchKeepsActionItemsAndRecentFiles)
{
    ::mkdir((Root + "/languages").c_str(), 0700);
    WriteFile(Root + "/languages/Test.lng",
              "[translated]\r\nOpen...=Oeffnen...\r\nFile has changed=Datei geaendert\r\nRecent Files=Zuletzt\r\n");
    const String doc = MakeDocument("translated.vek");
    TMainForm* m = StartProgram({doc});
    ASSERT_EQ(m->Sprache1->Count(), 1);
    EXPECT_EQ(m->Sprache1->Items(0)->Caption(), "Test");
    m->Sprache1->Items(0)->Click();
    EXPECT_EQ(m->FLanguage, "Test");
    EXPECT_TRUE(m->Sprache1->Items(0)->Checked());
    TMenuItem* open = m->Datei1->Find("Oeffnen...");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->Action(), m->ActOpen);
    // The item keeps following its action when that changes later.
    m->ActOpen->SetEnabled(false);
    EXPECT_EQ(open->Caption(), "Oeffnen...");
    EXPECT_FALSE(open->Enabled());
    EXPECT_EQ(m->zuletztgeffneteDateien1->Caption(), "Zuletzt");
    m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    EXPECT_EQ(Panel(m, 3), "Datei geaendert");

    // Recent files opened after the first switch survive the next one.
    const String second = Work + "/second.vek";
    m->AddToLastFiles(second);
    m->SetLanguage("Test");
    EXPECT_EQ(m->LastFiles(), (std::vector<String>{second, doc}));
    EXPECT_EQ(m->ActLastFile[0]->Caption(), "1. " + second);
    EXPECT_EQ(m->zuletztgeffneteDateien1->Items(0)->Caption(), "1. " + second);
    // A language that is not there: nothing checked, texts as written.
    m->SetLanguage("Missing");
    EXPECT_EQ(m->FLanguage, "");
    EXPECT_FALSE(m->Sprache1->Items(0)->Checked());
    EXPECT_EQ(open->Caption(), "Open...");
}

TEST_F(MainFormTest, AnotherInstanceIsListedAndShowsItsOwnFile)
{
    const String doc = MakeDocument("shared.vek");
    // The other instance, as its registry entry shows it.
    auto* other = Create<TInstanceRegistry>(nullptr);
    int activated = 0;
    other->OnActivate = [&](TObject*) { ++activated; };
    other->SetCaption("VEK - " + doc, doc);
    ASSERT_TRUE(other->Start()) << other->LastError();

    TMainForm* m = StartProgram({});
    ASSERT_TRUE(ProcessEventsUntil([&] { return m->Fenster1->Count() == 2; }, 3000));
    // Numbered from the last entry; this window's own item is checked.
    std::vector<String> captions;
    int checked = 0;
    for (int i = 0; i < m->Fenster1->Count(); ++i) {
        captions.push_back(m->Fenster1->Items(i)->Caption());
        checked += m->Fenster1->Items(i)->Checked();
    }
    EXPECT_EQ(checked, 1);
    // The registry lists in the order the instances started: the other first.
    EXPECT_EQ(captions, (std::vector<String>{"1 New Table.vek", "2 " + doc}));

    // Its window menu item brings it forward.
    m->Fenster1->Items(1)->Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return activated == 1; }, 3000));
    // So does opening the file it shows, which then is not opened here.
    m->Open(doc);
    ASSERT_TRUE(ProcessEventsUntil([&] { return activated == 2; }, 3000));
    EXPECT_EQ(m->GetTableRowCount(tbTable), 0);
    EXPECT_EQ(m->Caption(), "VEK - New Table.vek");

    // Once it is gone it leaves the list, and the file opens here.
    other->Stop();
    delete other;
    ASSERT_TRUE(ProcessEventsUntil([&] { return m->Fenster1->Count() == 1; }, 3000));
    m->Open(doc);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
}

TEST_F(MainFormTest, TerminationSignalTakesTheClosePath)
{
    TMainForm* m = StartProgram({});
    InstallCloseOnSignals(m);
    m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    // With unsaved changes the question comes first; Cancel keeps running.
    Answers = {mrCancel};
    std::raise(SIGTERM);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !Questions.empty(); }, 3000));
    EXPECT_EQ(Questions[0], "Do you want to save changes?");
    EXPECT_TRUE(m->Visible());
    Answers = {mrNo};
    std::raise(SIGHUP);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !m->Visible(); }, 3000));
    RemoveCloseOnSignals();
}

TEST_F(MainFormTest, NetworkStateShowsInMenusCaptionAndCommands)
{
    TMainForm* server = StartProgram({});
    server->Network()->Server()->Server()->SetBindAddress("127.0.0.1");
    ASSERT_TRUE(server->Network()->StartServer(0));
    EXPECT_TRUE(server->Server1->Checked());
    EXPECT_TRUE(server->Servername->Visible());
    EXPECT_FALSE(server->Client1->Enabled());
    EXPECT_FALSE(server->Tabellebearbeiten1->Enabled());

    auto* client = Create<TMainForm>(nullptr);
    ASSERT_TRUE(client->Network()->StartClient("127.0.0.1", server->Network()->Port()));
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return server->ConnectedClientCount() == 1 && client->Network()->FDocumentsLoaded > 0; }, 5000));
    EXPECT_EQ(server->Clients1->Count(), 1);
    EXPECT_TRUE(client->Client1->Checked());
    // A client mirrors the server's plan: no file commands of its own.
    for (TAction* a : {client->ActNew, client->ActOpen, client->ActSave, client->ActSaveAs})
        EXPECT_FALSE(a->Enabled()) << a->Name();
    EXPECT_FALSE(client->Zusammenfhren1->Enabled());
    EXPECT_FALSE(client->ExcelImport1->Enabled());
    EXPECT_FALSE(client->Auftrgearchivieren1->Enabled());
    EXPECT_FALSE(client->Tabellebearbeiten1->Enabled());
    const String address = "127.0.0.1:" + std::to_string(server->Network()->Port());
    EXPECT_EQ(client->StatusBar1->Panels()->Items(3)->Text(), "Connected to " + address);
    EXPECT_EQ(client->Caption(), "VEK - " + address);

    // Closing a server with clients asks first; Cancel keeps it serving.
    Answers = {mrCancel};
    server->Close();
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_EQ(Questions[0], "1 clients are connected to this Server?\nClose VEK anyway?");
    EXPECT_TRUE(server->Visible());
    EXPECT_TRUE(server->IsActiveServer());

    client->Network()->StopClient();
    ASSERT_TRUE(ProcessEventsUntil([&] { return server->ConnectedClientCount() == 0; }, 5000));
    EXPECT_TRUE(client->ActNew->Enabled());
    EXPECT_TRUE(client->Auftrgearchivieren1->Enabled());
    EXPECT_TRUE(client->Tabellebearbeiten1->Enabled());
    delete client;
}

TEST_F(MainFormTest, ConnectingAsClientKeepsUnsavedWorkUnlessAllowed)
{
    TMainForm* m = StartProgram({});
    m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
    // Cancel: no connection is tried and the row stays.
    Answers = {mrCancel};
    m->Client1->Click();
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_EQ(Questions[0], "Do you want to save changes?");
    EXPECT_FALSE(m->Network()->ClientChecked());
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
    EXPECT_TRUE(m->GetFileChanged());
}

TEST_F(MainFormTest, ExactlyOneDroppedFileIsOpened)
{
    const String first = MakeDocument("first.vek");
    const String second = MakeDocument("second.vek");
    TMainForm* m = StartProgram({});
    EXPECT_TRUE(m->AcceptsFiles());
    m->DropFiles({first, second});
    EXPECT_EQ(m->Caption(), "VEK - New Table.vek");
    m->DropFiles({second});
    EXPECT_EQ(m->Caption(), "VEK - " + second);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
}

TEST_F(MainFormTest, BarsAndAreasStackDownTheWindow)
{
    TMainForm* m = StartProgram({});
    const std::vector<TControl*> order{m->MenuBar1, m->dfsToolBar2, m->TimeChartPanel, m->Splitter1, m->Panel1};
    int top = 0;
    for (TControl* c : order) {
        EXPECT_EQ(c->Top(), top) << c->Name();
        EXPECT_GT(c->Height(), 0) << c->Name();
        EXPECT_EQ(c->Width(), m->ClientWidth()) << c->Name();
        top += c->Height();
    }
    EXPECT_EQ(m->Splitter1->Height(), 10);
    EXPECT_EQ(top, m->StatusBar1->Top());
    EXPECT_EQ(m->StatusBar1->Top() + m->StatusBar1->Height(), m->ClientHeight());
    // Without the table the chart takes its place.
    m->Tabelleanzeigen1->Click();
    EXPECT_FALSE(m->Panel1->Visible());
    EXPECT_EQ(m->TimeChartPanel->Top() + m->TimeChartPanel->Height(), m->StatusBar1->Top());
    EXPECT_FALSE(m->EditorAsWindow1->Enabled());
}

TEST_F(MainFormTest, PageKeysMoveASingleSelectionAlongTheTable)
{
    TMainForm* m = StartProgram({});
    TNodeData* rows[3];
    for (int i = 0; i < 3; ++i)
        rows[i] = m->AddNode(0, tbTable, 0, 480, 46000 + i, cmDefault);
    m->SetActiveTable(tbTable);
    TStringTreeGrid* tree = m->GetTable(tbTable);
    m->SelectOnly(rows[0]);
    Word key = VK_NEXT;
    m->FormKeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(tree->Selected(rows[1]->VNode));
    EXPECT_EQ(tree->SelectedCount(), 1);
    key = VK_PRIOR;
    m->FormKeyDown(key, {});
    EXPECT_TRUE(tree->Selected(rows[0]->VNode));
    // Keys typed into an edit field are left to it.
    auto* edit = Create<TEdit>(m);
    edit->SetParent(m);
    m->SetActiveControl(edit);
    key = VK_NEXT;
    m->FormKeyDown(key, {});
    EXPECT_EQ(key, VK_NEXT);
    EXPECT_TRUE(tree->Selected(rows[0]->VNode));
}

TEST_F(MainFormTest, ArrowKeysScrollTheChartUnlessAnEditHasTheFocus)
{
    PinClock(EncodeDateTime(2024, 3, 5, 10, 0, 0, 0));
    TMainForm* m = StartProgram({});
    m->UpdateBoundsProc();
    m->SetTimeChartStart(m->FMinDate + 3);
    m->TimeChartStartDestination = m->FTimeChartStart;
    const TDateTime start = m->FTimeChartStart;
    m->SetActiveControl(m->TimeChart);
    Word key = VK_RIGHT;
    m->FormKeyDown(key, {});
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start + 1);
    key = VK_RIGHT;
    m->FormKeyDown(key, TShiftState{ssShift});
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start + 8);
    key = VK_LEFT;
    m->FormKeyDown(key, {});
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start + 7);
    // A table keeps its own arrows and the chart moves as well.
    m->SetActiveControl(m->GetTable(tbTable));
    key = VK_LEFT;
    m->FormKeyDown(key, {});
    EXPECT_EQ(key, VK_LEFT);
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start + 6);
    auto* edit = Create<TEdit>(m);
    edit->SetParent(m);
    m->SetActiveControl(edit);
    key = VK_RIGHT;
    m->FormKeyDown(key, {});
    EXPECT_DOUBLE_EQ(m->TimeChartStartDestination, start + 6) << "typing in an edit field";

    // One switch scrolls the chart while a task moves, kept as [edit] autoscroll.
    EXPECT_EQ(m->AutoScroll1->Caption(), "Scroll Timechart while moving Task (invert with shift)");
    EXPECT_EQ(m->FindComponent("ScrollWhileMoving1"), nullptr);
    m->AutoScroll1->Click();
    EXPECT_FALSE(m->AutoScroll1->Checked());
    ASSERT_TRUE(m->SaveIni());
    StopProgram();
    UnpinClock();
    EXPECT_FALSE(TMemIniFile(TMainForm::SettingsFileName()).ReadBool("edit", "autoscroll", true));
}

// ---- file names ----------------------------------------------------------------------

TEST_F(MainFormTest, NamesAreAbsoluteWhereverTheyEnter)
{
    const String doc = MakeDocument("plan.vek");
    // A relative argument, as "make run" passes it.
    TMainForm* m = StartProgram({"plan.vek"});
    EXPECT_EQ(m->Caption(), "VEK - " + doc);
    EXPECT_EQ(m->FCurrentFile, doc);
    EXPECT_EQ(m->LastFiles(), std::vector<String>{doc});
    // "./x" and "x" are one file: listed once.
    m->AddToLastFiles("./plan.vek");
    m->AddToLastFiles(Work + "/../work/plan.vek");
    EXPECT_EQ(m->LastFiles(), std::vector<String>{doc});

    // Another instance started in another folder finds this one by the
    // file's full name.
    ASSERT_EQ(::chdir(Root.c_str()), 0);
    auto* other = Create<TInstanceRegistry>(nullptr);
    ASSERT_TRUE(other->Start()) << other->LastError();
    TInstanceEntry entry;
    EXPECT_TRUE(other->FindInstanceShowing(doc, entry));
    delete other;

    // Save As onto the open file by its full name is no other user's file.
    m->AddNode(0, tbTable, 0, 480, 46001, cmDefault);
    Paths = {doc};
    Answers = {mrOk};
    m->ActSaveAs->Execute();
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_NE(Questions[0].find("already exists"), String::npos) << Questions[0];
    EXPECT_FALSE(m->GetFileChanged());
    m->Close();
    StopProgram();

    // Started from another folder, the recent file still opens.
    m = StartProgram({});
    ASSERT_EQ(m->LastFiles(), std::vector<String>{doc});
    m->ActLastFile[0]->Execute();
    EXPECT_EQ(m->Caption(), "VEK - " + doc);
    EXPECT_EQ(m->GetTableRowCount(tbTable), 2);
    EXPECT_EQ(Questions.size(), 1U);
}

TEST_F(MainFormTest, ClosingAPlanOpenedWithoutItsLockOffersSaveAs)
{
    const String doc = MakeDocument("locked.vek");
    // Someone else holds the file.
    auto* holder = Create<TMainForm>(nullptr);
    holder->Open(doc);
    ASSERT_EQ(holder->FCurrentFile, doc);

    TMainForm* m = StartProgram({doc});
    ASSERT_EQ(Questions.size(), 1U);
    EXPECT_NE(Questions[0].find("is used by"), String::npos);
    EXPECT_EQ(m->FCurrentFile, "");
    m->AddNode(0, tbTable, 0, 480, 46001, cmDefault);
    const String copy = Work + "/mine.vek";
    Paths = {copy};
    Answers = {mrYes};
    m->Close();
    EXPECT_FALSE(m->Visible());
    ASSERT_EQ(::access(copy.c_str(), F_OK), 0);
    EXPECT_EQ(Questions.size(), 2U);
    delete holder;
}

TEST_F(MainFormTest, LogEntriesWithLineBreaksStayOneLine)
{
    TMainForm* m = StartProgram({});
    m->Log("first\r\nsecond\nthird\rfourth");
    const String log = ReadFile(Work + "/vek.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\r'), 1) << log;
    EXPECT_NE(log.find("first second third fourth\r\n"), String::npos) << log;
}

// ---- the document's switches ---------------------------------------------------------

TEST_F(MainFormTest, DocumentSwitchesFollowTheDocument)
{
    const String plain = MakeDocument("plain.vek");
    const String both = Work + "/both.vek";
    {
        TMainForm* m = StartProgram({});
        m->FDenyMoveBeforeNow = true;
        m->FAutoArrange = true;
        m->SaveTo(both);
        StopProgram();
    }
    TMainForm* m = StartProgram({both});
    EXPECT_TRUE(m->DenyMoveIntoPast1->Checked());
    EXPECT_TRUE(m->AutoArrange1->Checked());
    EXPECT_TRUE(m->GetAutoArrange());

    // A click changes its own setting only, and the file.
    m->DenyMoveIntoPast1->Click();
    EXPECT_FALSE(m->FDenyMoveBeforeNow);
    EXPECT_TRUE(m->FAutoArrange);
    EXPECT_FALSE(m->DenyMoveIntoPast1->Checked());
    EXPECT_TRUE(m->GetFileChanged());

    // Revert brings the file's settings back, ticks included.
    Answers = {mrOk};
    m->ActRevert->Execute();
    EXPECT_TRUE(m->FDenyMoveBeforeNow);
    EXPECT_TRUE(m->DenyMoveIntoPast1->Checked());

    // An undo step of the whole document takes the settings with it.
    m->PushUndoSnapshot();
    m->AutoArrange1->Click();
    EXPECT_FALSE(m->AutoArrange1->Checked());
    m->UndoRedo().Undo();
    EXPECT_TRUE(m->FAutoArrange);
    EXPECT_TRUE(m->AutoArrange1->Checked());

    // A file without them shows both unticked.
    StopProgram();
    m = StartProgram({});
    m->AutoArrange1->Click();
    ASSERT_TRUE(m->AutoArrange1->Checked());
    Answers = {mrNo};
    m->Open(plain);
    EXPECT_FALSE(m->FAutoArrange);
    EXPECT_FALSE(m->AutoArrange1->Checked());
}

TEST_F(MainFormTest, AutomaticArrangingSolvesOverlapsAfterTheDeferredUpdate)
{
    TMainForm* m = StartProgram({});
    TStringList* positions = m->GetColumnStrings(tbTable, m->GetConnection(tbTable, cnPosition));
    positions->Clear();
    positions->Add("A");
    m->ApplyPositionGroup();
    m->AutoArrange1->Click();
    ASSERT_TRUE(m->FAutoArrange);
    const TDateTime start = Date() + 30;
    TNodeData* first = m->AddNode(0, tbTable, 0, 480, start, cmDefault);
    TNodeData* second = m->AddNode(0, tbTable, 0, 480, start, cmDefault);
    ASSERT_EQ(m->GetPositionOf(first), m->GetPositionOf(second));
    // Nothing draws here: the ends the chart's drawing would compute first.
    m->GetEndOf(first);
    m->GetEndOf(second);
    // The deferred update, as the timers run it.
    m->OverlappingTimerTimer(nullptr);
    m->IdleTimerTimer(nullptr);
    EXPECT_NE(m->GetStartOf(first), m->GetStartOf(second));
    EXPECT_FALSE(m->GetNodeIsOverlapping(first));
    EXPECT_FALSE(m->GetNodeIsOverlapping(second));
}

// ---- the network's default port ------------------------------------------------------

TEST_F(MainFormTest, AFreshSetupOffersPort8080ToServerAndClient)
{
    TMainForm* m = StartProgram({});
    // Whether an ordinary user could serve on the port just now: another
    // program may hold it.
    auto* probe = Create<TSimpleTCPServer>(nullptr);
    probe->SetPort(8080);
    probe->SetActive(true);
    const bool free = probe->Active();
    delete probe;

    Inputs = {"8080"};
    m->Server1->Click();
    ASSERT_EQ(Offered.size(), 1U);
    EXPECT_EQ(Offered[0], "Please enter a port for the Server=8080");
    if (free) {
        EXPECT_TRUE(m->IsActiveServer());
        EXPECT_TRUE(Questions.empty()) << Questions[0];
    }
    m->Server1->Click();
    EXPECT_FALSE(m->IsActiveServer());

    Offered.clear();
    Inputs = {"127.0.0.1", ""};
    m->Client1->Click();
    EXPECT_EQ(Offered, (std::vector<String>{"Please enter the IP-address=localhost",
                                            "Please enter the Server's port number=8080"}));
    EXPECT_FALSE(m->Network()->ClientChecked());
}

TEST_F(MainFormTest, TheFoldedOverviewComesBackFoldedAfterARestart)
{
    TMainForm* m = StartProgram({});
    ProcessEvents();
    TKitToolBar* bar = m->dfsToolBar1;
    ASSERT_TRUE(bar->Maximized());
    ASSERT_TRUE(m->Splitter3->Visible());
    const int height = bar->Height();
    // A click on the bar's tab, left of its client area.
    NextClick();
    Click(bar, TPoint{3, height / 2} - bar->ClientOffset());
    EXPECT_FALSE(bar->Maximized());
    EXPECT_EQ(bar->Height(), bar->TabSizeMaximized());
    EXPECT_FALSE(m->Splitter3->Visible());
    m->Close();
    StopProgram();

    m = StartProgram({});
    ProcessEvents();
    bar = m->dfsToolBar1;
    EXPECT_FALSE(bar->Maximized());
    EXPECT_EQ(bar->Height(), bar->TabSizeMaximized());
    EXPECT_FALSE(m->Splitter3->Visible());
    bar->SetMaximized(true);
    EXPECT_EQ(bar->Height(), height);
    EXPECT_TRUE(m->Splitter3->Visible());
    EXPECT_EQ(m->Splitter3->Top(), bar->Top() + bar->Height());
    m->Close();
    StopProgram();
    EXPECT_TRUE(TMemIniFile(TMainForm::SettingsFileName()).ReadBool("setup", "SmallTimeChart", false));
}

TEST_F(MainFormTest, TheToolBarFoldsByItsTab)
{
    TMainForm* m = StartProgram({});
    ProcessEvents();
    TKitToolBar* bar = m->dfsToolBar2;
    EXPECT_EQ(bar->Height(), 46);
    EXPECT_EQ(m->ToolBar1->Parent(), bar);
    EXPECT_EQ(m->ToolBar1->Height(), 26);
    const int below = m->TimeChartPanel->Top();
    NextClick();
    Click(bar, TPoint{3, 20} - bar->ClientOffset());
    EXPECT_EQ(bar->Height(), 10);
    EXPECT_EQ(m->TimeChartPanel->Top(), below - 36);
    NextClick();
    Click(bar, TPoint{20, 5} - bar->ClientOffset());
    EXPECT_EQ(bar->Height(), 46);
    EXPECT_EQ(m->TimeChartPanel->Top(), below);
}

TEST_F(MainFormTest, EveryMenuIsStyledRebuiltItemsToo)
{
    TMainForm* m = StartProgram({});
    ProcessEvents();
    ASSERT_NE(m->StyledMenu1, nullptr);
    EXPECT_TRUE(m->StyledMenu1->Active());
    // Every item of the main menu, the view menu's tools included.
    std::vector<TMenuItem*> bare;
    std::function<void(TMenuItem*)> walk = [&](TMenuItem* Item) {
        for (int i = 0; i < Item->Count(); ++i) {
            TMenuItem* c = Item->Items(i);
            if (!c->OnAdvancedDrawItem || !c->OnMeasureItem)
                bare.push_back(c);
            walk(c);
        }
    };
    walk(m->MainMenu1->Items());
    EXPECT_TRUE(bare.empty()) << bare.front()->Name() << " " << bare.front()->Caption();
    // The language items, made again, and the window list.
    ::mkdir((Root + "/languages").c_str(), 0700);
    WriteFile(Root + "/languages/Test.lng", "[translated]\r\nOpen...=Auf...\r\n");
    m->UpdateLanguageFiles();
    ASSERT_GT(m->Sprache1->Count(), 0);
    EXPECT_TRUE(m->Sprache1->Items(0)->OnAdvancedDrawItem);
    m->LookupOtherWindows();
    for (int i = 0; i < m->Fenster1->Count(); ++i) {
        EXPECT_TRUE(m->Fenster1->Items(i)->OnAdvancedDrawItem) << i;
    }
    // The popup menus of the window.
    for (int i = 0; i < m->ComponentCount(); ++i) {
        auto* popup = dynamic_cast<TPopupMenu*>(m->Components(i));
        for (int k = 0; popup && k < popup->Items()->Count(); ++k) {
            EXPECT_TRUE(popup->Items()->Items(k)->OnAdvancedDrawItem) << popup->Name();
        }
    }
}

TEST_F(MainFormTest, DeleteKeyDeletesTheSelectedTasksAfterAsking)
{
    TMainForm* m = StartProgram({});
    for (int i = 0; i < 4; ++i)
        m->AddNode(0, tbTable, 0, 480, 46000 + i, cmDefault);
    m->SetActiveTable(tbTable);
    TStringTreeGrid* tree = m->GetTable(tbTable);
    for (TGridNode* n = tree->GetFirst(); n && tree->SelectedCount() < 3; n = tree->GetNext(n))
        tree->SetSelected(n, true);
    m->SetActiveControl(tree);
    Answers = {mrCancel, mrOk};
    Word key = VK_DELETE;
    m->FormKeyDown(key, {});
    EXPECT_EQ(key, 0);
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], "Delete all 3 selected tasks?");
    EXPECT_EQ(m->GetTableRowCount(tbTable), 4);
    // Delete in an edit field is the field's.
    auto* edit = Create<TEdit>(m);
    edit->SetParent(m);
    m->SetActiveControl(edit);
    key = VK_DELETE;
    m->FormKeyDown(key, {});
    EXPECT_EQ(key, VK_DELETE);
    EXPECT_EQ(Questions.size(), 1u);
    m->SetActiveControl(tree);
    key = VK_DELETE;
    m->FormKeyDown(key, {});
    EXPECT_EQ(m->GetTableRowCount(tbTable), 1);
    m->ActUndo->Execute();
    EXPECT_EQ(m->GetTableRowCount(tbTable), 4);
}
