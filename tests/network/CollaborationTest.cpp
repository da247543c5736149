// A served document and its clients on loopback, driven by the event loop.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "platform/Buttons.h"
#include "platform/DateUtils.h"
#include "platform/StdCtrls.h"
#include "tests/network/CollaborationTestSupport.h"

using namespace collab;

namespace {

// Answers each InputQuery in turn: the text to enter, or Cancel when the
// answer is empty. Records caption and prompt of every question.
struct TAnswers {
    explicit TAnswers(std::vector<String> Texts) : Pending(std::move(Texts))
    {
        SetModalHook([this](TCustomForm* F) {
            Asked.push_back(F->Caption() + " / " + static_cast<TControl*>(F->FindComponent("Prompt"))->Caption());
            const String answer = Pending.empty() ? String() : Pending.front();
            if (!Pending.empty())
                Pending.erase(Pending.begin());
            if (answer.empty()) {
                static_cast<TButton*>(F->FindComponent("Cancel"))->Click();
                return;
            }
            static_cast<TEdit*>(F->FindComponent("Edit"))->SetText(answer);
            static_cast<TButton*>(F->FindComponent("OK"))->Click();
        });
    }
    ~TAnswers() { SetModalHook(nullptr); }
    std::vector<String> Pending;
    std::vector<String> Asked;
};

class Collaboration : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartEventLoop(); }

    void SetUp() override
    {
        Server = std::make_unique<TPeer>();
        Base = Date();
        for (int i = 0; i < 6; ++i)
            Server->AddLocalTask(i % 2 ? "A" : "B", Base + i, 1 + i % 3, "Task " + IntToStr(i + 1));
        Server->Doc->UndoRedo().Clear();
        ASSERT_TRUE(ServerListens(*Server));
    }

    TPeer& AddClient()
    {
        Clients.push_back(std::make_unique<TPeer>(std::vector<String>{"X"}));
        TPeer& c = *Clients.back();
        EXPECT_TRUE(Connect(c, *Server));
        return c;
    }

    std::vector<TPeer*> ClientList() const
    {
        std::vector<TPeer*> list;
        for (const auto& c : Clients)
            list.push_back(c.get());
        return list;
    }

    bool Agree(int TimeoutMs = 5000)
    {
        return WaitFor([&] { return AllAgree(*Server, ClientList()); }, TimeoutMs);
    }

    void TearDown() override
    {
        Clients.clear();
        Server.reset();
    }

    std::unique_ptr<TPeer> Server;
    std::vector<std::unique_ptr<TPeer>> Clients;
    TDateTime Base = 0;
};

TEST_F(Collaboration, AClientGetsTheWholeDocumentWithTheServersRowIDs)
{
    // Gaps in the IDs and another order than the IDs' own.
    Server->Doc->DeleteNode(Server->Row(2), cmDefault);
    Server->Doc->DeleteNode(Server->Row(4), cmDefault);
    const int comment = Server->Column(cnTextCenterMiddle);
    Server->Doc->StringTreeGrid1->OnCompareNodes = [&](TBaseTreeGrid*, TGridNode* A, TGridNode* B, TColumnIndex,
                                                       int& Result) {
        Result = -CompareStr(Server->Doc->GetData(Server->Doc->NodeToRow(Server->Doc->StringTreeGrid1, A), comment),
            Server->Doc->GetData(Server->Doc->NodeToRow(Server->Doc->StringTreeGrid1, B), comment));
    };
    Server->Doc->StringTreeGrid1->SortTree(comment, sdAscending);
    ASSERT_EQ(Server->IDs(), (std::vector<int>{6, 5, 3, 1}));

    TPeer& client = AddClient();
    EXPECT_EQ(client.IDs(), Server->IDs());
    EXPECT_EQ(DocumentText(*client.Doc), DocumentText(*Server->Doc));
    for (int id : Server->IDs())
        EXPECT_EQ(client.Cell(id, cnTextCenterMiddle), Server->Cell(id, cnTextCenterMiddle));
    // The positions came with the setup: the client's own list is gone.
    EXPECT_EQ(client.Doc->GetColumnStrings(tbTable, client.Column(cnPosition))->CommaText(),
        Server->Doc->GetColumnStrings(tbTable, Server->Column(cnPosition))->CommaText());

    // An edit by ID lands on the same row everywhere.
    client.Doc->SetData(client.Row(5), comment, "edited on the client");
    ASSERT_TRUE(WaitFor([&] { return client.Cell(5, cnTextCenterMiddle) == "edited on the client"; }));
    ASSERT_TRUE(Agree());
    EXPECT_EQ(Server->Cell(5, cnTextCenterMiddle), "edited on the client");
    EXPECT_EQ(Server->Cell(6, cnTextCenterMiddle), "Task 6");
    EXPECT_EQ(Server->Cell(3, cnTextCenterMiddle), "Task 3");
    EXPECT_TRUE(client.Doc->FReceivedFromServer);
    EXPECT_EQ(client.Net->ServerAddress(), "127.0.0.1:" + IntToStr(Server->Net->Port()));
}

TEST_F(Collaboration, AClientsEditAddAndDeleteShowOnlyAfterTheServersBroadcast)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    const int comment = one.Column(cnTextCenterMiddle);

    one.Doc->SetData(one.Row(3), comment, "from one");
    EXPECT_EQ(one.Cell(3, cnTextCenterMiddle), "Task 3") << "a client applies nothing itself";
    ASSERT_TRUE(WaitFor([&] { return two.Cell(3, cnTextCenterMiddle) == "from one"; }));
    EXPECT_EQ(one.Cell(3, cnTextCenterMiddle), "from one");
    EXPECT_EQ(Server->Cell(3, cnTextCenterMiddle), "from one");

    const std::size_t rows = Server->IDs().size();
    EXPECT_EQ(one.Doc->AddNode(one.Doc->GetFreeID(), tbTable, -1, 480, Base + 10, cmDefault), nullptr);
    EXPECT_EQ(one.IDs().size(), rows);
    ASSERT_TRUE(WaitFor([&] { return two.IDs().size() == rows + 1 && one.IDs().size() == rows + 1; }));
    const std::vector<int> ids = Server->IDs();
    EXPECT_NE(ids.back(), 0) << "the server gives the client's row an ID of its own";
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), rows + 1);
    EXPECT_EQ(one.IDs(), Server->IDs());
    EXPECT_EQ(two.IDs(), Server->IDs());

    two.Doc->DeleteNode(two.Row(1), cmDefault);
    EXPECT_NE(two.Row(1), nullptr) << "removed only once the server says so";
    ASSERT_TRUE(WaitFor([&] { return one.Row(1) == nullptr && two.Row(1) == nullptr; }));
    EXPECT_EQ(Server->Row(1), nullptr);
    ASSERT_TRUE(Agree());
}

TEST_F(Collaboration, EachConnectionCountsItsOwnNumbersSoNoClientAsksAgain)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    TPeer& three = AddClient();
    for (TPeer* c : {&one, &two, &three})
        EXPECT_EQ(c->Net->FDocumentRequests, 1);

    const int comment = Server->Column(cnTextCenterMiddle);
    for (int i = 0; i < 10; ++i)
        Server->Doc->SetData(Server->Row(1 + i % 6), comment, "round " + IntToStr(i));
    two.Doc->SetData(two.Row(2), comment, "from two");
    ASSERT_TRUE(Agree());
    EXPECT_EQ(one.Cell(2, cnTextCenterMiddle), "from two");
    for (TPeer* c : {&one, &two, &three}) {
        EXPECT_EQ(c->Net->FDocumentRequests, 1) << "no gap: no second whole document";
        EXPECT_EQ(c->Net->FDocumentsLoaded, 1);
    }
    // Every connection got the same events, numbered 1, 2, ... of its own.
    TSimpleTCPServer* sockets = Server->Net->Server()->Server();
    ASSERT_EQ(sockets->ClientCount(), 3);
    const Int64 first = Server->Net->ServerTransaction(sockets->Clients(0));
    EXPECT_GT(first, 11);
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(Server->Net->ServerTransaction(sockets->Clients(i)), first);
    EXPECT_EQ(one.Net->FClientTransaction, first);
    EXPECT_EQ(Server->Net->FServerTransaction, 3 * first);

    // A new connection starts at 1 again, on both sides.
    one.Net->StopClient();
    ASSERT_TRUE(WaitFor([&] { return sockets->ClientCount() == 2; }));
    ASSERT_TRUE(Connect(one, *Server));
    EXPECT_EQ(one.Net->FClientTransaction, 1);
    EXPECT_EQ(one.Net->FDocumentRequests, 2);
    Server->Doc->SetData(Server->Row(3), comment, "after reconnecting");
    ASSERT_TRUE(Agree());
    EXPECT_EQ(one.Net->FDocumentRequests, 2);
}

TEST_F(Collaboration, WithChangesFromClientsRefusedTheClientKeepsTheServersValues)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    Server->Net->SetAllowChanges(false);
    const std::size_t rows = Server->IDs().size();
    const int comment = one.Column(cnTextCenterMiddle);

    one.Doc->SetData(one.Row(2), comment, "refused");
    one.Doc->AddNode(0, tbTable, -1, 480, Base, cmDefault);
    two.Doc->DeleteNode(two.Row(4), cmDefault);
    // A change of the server's own goes through after those: once it has
    // arrived, the refused ones would have too.
    Server->Doc->SetData(Server->Row(1), comment, "marker");
    ASSERT_TRUE(WaitFor([&] {
        return one.Cell(1, cnTextCenterMiddle) == "marker" && two.Cell(1, cnTextCenterMiddle) == "marker";
    }));
    EXPECT_EQ(Server->Cell(2, cnTextCenterMiddle), "Task 2");
    EXPECT_EQ(one.Cell(2, cnTextCenterMiddle), "Task 2");
    EXPECT_EQ(Server->IDs().size(), rows);
    EXPECT_NE(two.Row(4), nullptr);
    EXPECT_TRUE(AllAgree(*Server, ClientList()));

    Server->Net->SetAllowChanges(true);
    one.Doc->SetData(one.Row(2), comment, "allowed");
    ASSERT_TRUE(WaitFor([&] { return two.Cell(2, cnTextCenterMiddle) == "allowed"; }));
}

TEST_F(Collaboration, AClientThatMissesANumberAsksForTheDocumentAndAgreesAgain)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    TSimpleTCPClient* toOne = Server->Net->Server()->Server()->Clients(0);
    // From now on one message to the first client is missing: its numbers
    // run one ahead, as after a lost message.
    bool lost = false;
    auto stamp = Server->Net->Server()->OnSendEvent;
    Server->Net->Server()->OnSendEvent = [&, stamp](TObject* S, TSimpleTCPClient* C, TTOOCSEvent* E) {
        stamp(S, C, E);
        if (lost && C == toOne)
            static_cast<TVEKEvent*>(E)->SetTransaction(static_cast<TVEKEvent*>(E)->Transaction() + 1);
    };
    // What the lost message said: a change that only reaches the others.
    const int comment = Server->Column(cnTextCenterMiddle);
    Server->Doc->DoSetData(Server->Row(4), comment, "never heard of", cmIgnoreNet);
    lost = true;
    Server->Doc->SetData(Server->Row(5), comment, "after the gap");
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentRequests == 2 && one.Net->FDocumentsLoaded == 2; }));
    ASSERT_TRUE(WaitFor([&] { return AllAgree(*Server, {&one}); }));
    EXPECT_EQ(one.Cell(4, cnTextCenterMiddle), "never heard of");
    EXPECT_EQ(one.Cell(5, cnTextCenterMiddle), "after the gap");
    // Numbers follow on from the gap: no further request.
    Server->Doc->SetData(Server->Row(6), comment, "later");
    ASSERT_TRUE(WaitFor([&] { return one.Cell(6, cnTextCenterMiddle) == "later"; }));
    EXPECT_EQ(one.Net->FDocumentRequests, 2);
    EXPECT_EQ(two.Net->FDocumentRequests, 1);
    Server->Net->Server()->OnSendEvent = stamp;
}

TEST_F(Collaboration, ConcurrentAddsFromTwoClientsEndAsDistinctRowsWithTheSameIDsEverywhere)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    TPeer& three = AddClient();
    const std::size_t rows = Server->IDs().size();
    // Both before either hears of the other's: both send ID 0.
    for (int i = 0; i < 5; ++i) {
        one.Doc->AddNode(one.Doc->GetFreeID(), tbTable, -1, 480, Base + i, cmDefault);
        two.Doc->AddNode(two.Doc->GetFreeID(), tbExclude, -1, 480, Base + i, cmDefault);
    }
    ASSERT_TRUE(WaitFor([&] {
        return three.IDs(tbTable).size() == rows + 5 && three.IDs(tbExclude).size() == 5 &&
               one.IDs(tbExclude).size() == 5 && two.IDs(tbTable).size() == rows + 5;
    }));
    std::vector<int> all = Server->IDs(tbTable);
    const std::vector<int> absent = Server->IDs(tbExclude);
    all.insert(all.end(), absent.begin(), absent.end());
    EXPECT_EQ(std::set<int>(all.begin(), all.end()).size(), all.size()) << "every row has its own ID";
    EXPECT_EQ(std::count(all.begin(), all.end(), 0), 0);
    for (TPeer* c : {&one, &two, &three}) {
        EXPECT_EQ(c->IDs(tbTable), Server->IDs(tbTable));
        EXPECT_EQ(c->IDs(tbExclude), Server->IDs(tbExclude));
    }
    // Each added row is addressed by its ID from any client.
    const int last = Server->IDs(tbExclude).back();
    one.Doc->SetData(one.Row(last), one.Column(cnTextCenterMiddle, tbExclude), "the last absent day");
    ASSERT_TRUE(WaitFor([&] { return three.Cell(last, cnTextCenterMiddle) == "the last absent day"; }));
    ASSERT_TRUE(Agree());
}

TEST_F(Collaboration, AServerTakesNoWholeDocumentFromAClient)
{
    TPeer& one = AddClient();
    const String before = DocumentText(*Server->Doc);
    TPeer other({"Q"});
    other.AddLocalTask("Q", Base, 1, "not the server's");
    ASSERT_TRUE(one.Net->Client()->Send(TUpdateTableEvent::CreateInitialized(*other.Doc), true));
    // Something the server does answer, sent after it: once its answer is
    // here the document was dealt with.
    const int requests = one.Net->FDocumentsLoaded;
    ASSERT_TRUE(one.Net->Client()->Send(new TVEKGetTableEvent(), true));
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentsLoaded > requests; }));
    EXPECT_EQ(DocumentText(*Server->Doc), before);
    EXPECT_EQ(Server->RowWithComment("not the server's"), nullptr);
}

TEST_F(Collaboration, TheServersOpenReachesEveryClient)
{
    TPeer& one = AddClient();
    TPeer& two = AddClient();
    char pattern[] = "/tmp/vek-collab-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const String file = String(pattern) + "/plan.vek";
    Server->Doc->SaveTo(file);
    // Changes the file does not have, made everywhere.
    const int comment = Server->Column(cnTextCenterMiddle);
    Server->Doc->SetData(Server->Row(1), comment, "not in the file");
    Server->Doc->DeleteNode(Server->Row(2), cmDefault);
    ASSERT_TRUE(WaitFor([&] { return two.Row(2) == nullptr; }));
    Server->Doc->SetFileChanged(false);

    Server->Doc->Open(file);
    EXPECT_EQ(Server->Cell(1, cnTextCenterMiddle), "Task 1");
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentsLoaded == 2 && two.Net->FDocumentsLoaded == 2; }));
    ASSERT_TRUE(Agree());
    EXPECT_EQ(one.Cell(1, cnTextCenterMiddle), "Task 1");
    EXPECT_NE(two.Row(2), nullptr);
    // The rows' IDs came with it: edits still land on the right rows.
    two.Doc->SetData(two.Row(Server->IDs().back()), comment, "after open");
    ASSERT_TRUE(WaitFor([&] { return one.RowWithComment("after open") != nullptr; }));
    ASSERT_TRUE(Agree());
    EXPECT_EQ(Server->Doc->GetData(Server->Doc->NodeToRow(Server->Doc->StringTreeGrid1,
                                       Server->Doc->StringTreeGrid1->GetLast()),
                  comment),
        "after open");
    Server->Doc->ActionNew();
    std::system(("rm -rf '" + String(pattern) + "'").c_str());
}

TEST_F(Collaboration, AWholeDocumentUndoOrRedoOnTheServerReachesTheClients)
{
    TPeer& one = AddClient();
    const int comment = Server->Column(cnTextCenterMiddle);
    Server->Doc->PushUndoSnapshot();
    // Seen by the clients, but only the snapshot can take it back.
    Server->Doc->UndoRedo().DontAcceptUndos();
    Server->Doc->SetData(Server->Row(2), comment, "changed");
    Server->Doc->DeleteNode(Server->Row(3), cmDefault);
    Server->Doc->UndoRedo().AcceptUndos();
    ASSERT_TRUE(WaitFor([&] { return one.Cell(2, cnTextCenterMiddle) == "changed" && one.Row(3) == nullptr; }));

    Server->Doc->UndoRedo().Undo();
    ASSERT_NE(Server->RowWithComment("Task 2"), nullptr);
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentsLoaded == 2; }));
    EXPECT_TRUE(AllAgree(*Server, {&one}));
    EXPECT_NE(one.RowWithComment("Task 2"), nullptr);
    EXPECT_NE(one.RowWithComment("Task 3"), nullptr);
    EXPECT_EQ(one.RowWithComment("changed"), nullptr);
    EXPECT_EQ(one.IDs(), Server->IDs());

    Server->Doc->UndoRedo().Redo();
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentsLoaded == 3; }));
    EXPECT_TRUE(AllAgree(*Server, {&one}));
    EXPECT_NE(one.RowWithComment("changed"), nullptr);
    EXPECT_EQ(one.RowWithComment("Task 3"), nullptr);
}

TEST_F(Collaboration, FiveHundredRandomEditsFromAllSidesEndWithEveryClientEqualToTheServer)
{
    AddClient();
    AddClient();
    AddClient();
    std::vector<TPeer*> sides = {Server.get()};
    for (TPeer* c : ClientList())
        sides.push_back(c);
    std::mt19937 random(20261209);
    const std::vector<String> positions = {"A", "B", "C"};
    for (int edit = 0; edit < 500; ++edit) {
        TPeer& side = *sides[random() % sides.size()];
        const TWhichTable table = random() % 5 == 0 ? tbExclude : tbTable;
        const std::vector<int> ids = side.IDs(table);
        const unsigned what = random() % 10;
        if (what == 0 || ids.empty()) {
            side.Doc->AddNode(side.Doc->GetFreeID(), table, -1, 480 * int(1 + random() % 3),
                Base + int(random() % 20), cmDefault);
        } else if (what == 1 && ids.size() > 3) {
            side.Doc->DeleteNode(side.Row(ids[random() % ids.size()]), cmDefault);
        } else {
            TNodeData* row = side.Row(ids[random() % ids.size()]);
            switch (random() % 4) {
            case 0:
                side.Doc->SetData(row, side.Column(cnTextCenterMiddle, table), "edit " + IntToStr(edit));
                break;
            case 1:
                side.Doc->SetStartOf(row, Base + int(random() % 30));
                break;
            case 2:
                side.Doc->SetLengthOf(row, 480 * int(1 + random() % 5));
                break;
            default:
                if (table == tbTable)
                    side.Doc->SetData(row, side.Column(cnPosition), positions[random() % positions.size()]);
                else
                    side.Doc->SetData(row, side.Column(cnTextCenterMiddle, table), "absent " + IntToStr(edit));
                break;
            }
        }
        // Now and then the loop runs, so edits cross each other on the wire.
        if (random() % 8 == 0)
            RunMessagesUntil([] { return false; }, 1);
    }
    ASSERT_TRUE(Agree(20000));
    EXPECT_GT(Server->IDs().size(), 6u);
    for (TPeer* c : ClientList())
        EXPECT_EQ(c->Net->FDocumentRequests, 1);
}

TEST_F(Collaboration, ALostConnectionAsksWhetherToReconnect)
{
    TPeer& one = AddClient();
    const Word port = Server->Net->Port();
    const String question = "Connection to 127.0.0.1 was Lost.\nTry to reconnect?";
    int changes = 0;
    one.Net->OnChange = [&] { ++changes; };

    // OK with the server back: connected again, with the document.
    one.Doc->BeforeAnswer = [&] { ASSERT_TRUE(Server->Net->StartServer(port)); };
    Server->Net->StopServer();
    ASSERT_TRUE(WaitFor([&] { return one.Doc->Questions.size() == 1; }));
    EXPECT_EQ(one.Doc->Questions[0], question);
    ASSERT_TRUE(WaitFor([&] { return one.Net->FDocumentsLoaded == 2; }));
    EXPECT_TRUE(one.Net->IsConnectedClient());
    EXPECT_TRUE(one.Doc->Messages.empty());
    EXPECT_GT(changes, 0);

    // OK with no server: the error, unchecked, and the mirrored plan kept
    // as a new document.
    one.Doc->BeforeAnswer = nullptr;
    Server->Net->StopServer();
    ASSERT_TRUE(WaitFor([&] { return !one.Doc->Messages.empty(); }));
    EXPECT_EQ(one.Doc->Questions.size(), 2u);
    EXPECT_EQ(one.Doc->Messages[0], "Cannot establish connection to server 127.0.0.1");
    EXPECT_FALSE(one.Net->ClientChecked());
    EXPECT_FALSE(one.Doc->IsConnectedClient());
    EXPECT_TRUE(one.Doc->FFileIsNewAndUnsaved);
    EXPECT_EQ(one.Doc->FSaveFileName, "New Table.vek");
    EXPECT_EQ(one.IDs(), Server->IDs());
    // Local again: edits apply here.
    one.Doc->SetData(one.Row(1), one.Column(cnTextCenterMiddle), "mine now");
    EXPECT_EQ(one.Cell(1, cnTextCenterMiddle), "mine now");

    // Cancel: no attempt, no error.
    ASSERT_TRUE(Server->Net->StartServer(port));
    ASSERT_TRUE(Connect(one, *Server));
    one.Doc->ConfirmAnswer = false;
    Server->Net->StopServer();
    ASSERT_TRUE(WaitFor([&] { return one.Doc->Questions.size() == 3; }));
    Settle();
    EXPECT_EQ(one.Doc->Messages.size(), 1u);
    EXPECT_FALSE(one.Net->ClientChecked());
}

TEST_F(Collaboration, ServerAndClientListTheirStateForTheMenu)
{
    EXPECT_TRUE(Server->Net->ServerChecked());
    EXPECT_EQ(Server->Net->ServerName(),
        "Servername: " + Server->Net->Server()->Server()->GetLocalHostName() + ":" + IntToStr(Server->Net->Port()));
    EXPECT_TRUE(Server->Net->ClientNames().empty());
    int changes = 0;
    Server->Net->OnChange = [&] { ++changes; };
    AddClient();
    AddClient();
    EXPECT_EQ(Server->Net->ClientNames(), (std::vector<String>{"127.0.0.1", "127.0.0.1"}));
    EXPECT_GE(changes, 2);
    Clients[0]->Net->StopClient();
    ASSERT_TRUE(WaitFor([&] { return Server->Net->ClientNames().size() == 1; }));

    // The commands follow each side's state (the table itself is tested
    // with NetworkControls).
    EXPECT_FALSE(Server->Net->Controls().SetupDialogs);
    EXPECT_TRUE(Server->Net->Controls().Open);
    EXPECT_FALSE(Clients[1]->Net->Controls().Open);
    EXPECT_TRUE(Clients[0]->Net->Controls().Open && Clients[0]->Net->Controls().SetupDialogs);

    Server->Net->StopServer();
    EXPECT_FALSE(Server->Net->ServerChecked());
    EXPECT_TRUE(Server->Net->Controls().SetupDialogs);
}

TEST_F(Collaboration, TheMenuItemsAskForPortAndHost)
{
    const Word port = Server->Net->Port();
    Server->Net->ToggleServer();
    EXPECT_FALSE(Server->Net->ServerChecked()) << "on: off again, without a question";

    {
        // Not a number: the current port.
        TAnswers answers({"no port"});
        Server->Net->ToggleServer();
        EXPECT_EQ(answers.Asked, (std::vector<String>{"Server port number / Please enter a port for the Server"}));
    }
    EXPECT_TRUE(Server->Net->ServerChecked());
    EXPECT_EQ(Server->Net->Port(), port);

    TPeer client;
    {
        TAnswers answers({"127.0.0.1", IntToStr(port)});
        client.Net->ToggleClient();
        EXPECT_EQ(answers.Asked, (std::vector<String>{"Server address / Please enter the IP-address",
                                     "Server port number / Please enter the Server's port number"}));
    }
    ASSERT_TRUE(WaitFor([&] { return client.Net->FDocumentsLoaded == 1; }));
    EXPECT_TRUE(client.Net->ClientChecked());
    EXPECT_EQ(client.IDs(), Server->IDs());
    client.Net->ToggleClient();
    EXPECT_FALSE(client.Net->ClientChecked());

    {
        // Cancel at the second question: nothing happens.
        TAnswers answers({"127.0.0.1", ""});
        client.Net->ToggleClient();
        EXPECT_EQ(answers.Asked.size(), 2u);
    }
    EXPECT_FALSE(client.Net->ClientChecked());

    // A port someone else holds: the error.
    TPeer second;
    second.Net->Server()->Server()->SetBindAddress("127.0.0.1");
    {
        TAnswers answers({IntToStr(port)});
        second.Net->ToggleServer();
    }
    EXPECT_FALSE(second.Net->ServerChecked());
    EXPECT_EQ(second.Doc->Messages, (std::vector<String>{"Cannot establish server at port " + IntToStr(port)}));
    {
        TAnswers answers({""});
        second.Net->ToggleServer();
    }
    EXPECT_EQ(second.Doc->Messages.size(), 1u);
}

TEST_F(Collaboration, AClientThatCannotConnectSaysSo)
{
    TPeer lonely;
    const Word port = Server->Net->Port();
    Server->Net->StopServer();
    lonely.Net->StartClient("127.0.0.1", port);
    ASSERT_TRUE(WaitFor([&] { return !lonely.Doc->Messages.empty(); }));
    EXPECT_EQ(lonely.Doc->Messages[0], "Cannot establish connection to server 127.0.0.1");
    EXPECT_FALSE(lonely.Net->ClientChecked());
    EXPECT_TRUE(lonely.Doc->Questions.empty());
}

}  // namespace
