// The event transport on loopback: a real server and clients in one process,
// driven by the event loop.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "network/NetLog.h"
#include "tests/network/NetTestSupport.h"

using namespace nettest;

namespace {

struct TReceived {
    std::vector<int> Numbers;
    std::vector<Int64> Transactions;
    std::vector<String> Texts;
};

void Record(TReceived& R, TTOOCSEvent* E)
{
    auto* p = dynamic_cast<TProbeEvent*>(E);
    ASSERT_NE(p, nullptr);
    R.Numbers.push_back(p->Number());
    R.Transactions.push_back(p->Transaction());
    R.Texts.push_back(p->Text());
}

// Hands all the bytes to the socket (it queues what the kernel cannot take yet).
void SendAll(TSimpleCustomSocket* S, TSocket To, const std::string& Bytes)
{
    ASSERT_EQ(S->SendBufferTo(To, Bytes.data(), Int64(Bytes.size())), Int64(Bytes.size()));
}

TProbeEvent* Probe(int Number, const String& Text = "")
{
    auto* e = new TProbeEvent();
    e->SetNumber(Number);
    e->SetText(Text);
    return e;
}

class TOOCSTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterProbeClasses();
        StartEventLoop();
    }

    void SetUp() override
    {
        Server = Create<TTOOCSServer>(&Owner);
        Server->Server()->SetBindAddress("127.0.0.1");
        Server->SetPort(0);
        Server->OnReceiveEvent = [this](TObject*, TSimpleTCPClient* C, TTOOCSEvent* E) {
            LastSender = C;
            Record(AtServer, E);
        };
        Server->OnError = [this](TObject*, TSocket, const String& Msg, int) { ServerErrors.push_back(Msg); };
        Server->OnClientConnection = [this](TObject*, TSimpleTCPClient*) { ++Connections; };
        Server->OnClientDisconnection = [this](TObject*, TSimpleTCPClient*) { ++Disconnections; };
        Server->SetActive(true);
        ASSERT_TRUE(Server->Active());
    }

    // Before the members the handlers write to go.
    void TearDown() override { Owner.DestroyComponents(); }

    // Activates a client of the server and waits until the server has it.
    template <class TClientOf> TClientOf* Join(TClientOf* C)
    {
        C->SetHost("127.0.0.1");
        C->SetPort(Server->Port());
        const int before = Connections;
        C->SetActive(true);
        EXPECT_TRUE(WaitFor([&] { return C->Connected() && Connections > before; }));
        return C;
    }

    TTOOCSClient* Connect(TReceived& Into)
    {
        auto* c = Create<TTOOCSClient>(&Owner);
        c->OnReceiveEvent = [&Into](TObject*, TTOOCSEvent* E) { Record(Into, E); };
        return Join(c);
    }

    // A raw connection to the server, for bytes no well-behaved peer sends.
    TSimpleTCPClient* RawConnect() { return Join(Create<TSimpleTCPClient>(&Owner)); }

    TComponent Owner{nullptr};
    TTOOCSServer* Server = nullptr;
    TReceived AtServer;
    TSimpleTCPClient* LastSender = nullptr;
    std::vector<String> ServerErrors;
    int Connections = 0;
    int Disconnections = 0;
};

// A raw server for bytes towards a client.
struct TRawServer {
    explicit TRawServer(TComponent* Owner)
    {
        Socket = Create<TSimpleTCPServer>(Owner);
        Socket->SetBindAddress("127.0.0.1");
        Socket->SetPort(0);
        Socket->OnClientConnect = [this](TObject*, TSimpleTCPClient* C) { Peer = C; };
        Socket->SetActive(true);
    }
    void Send(const std::string& Bytes) { SendAll(Socket, Peer->Socket(), Bytes); }
    // A transport client connected to this server, recording what it receives.
    TTOOCSClient* Connect(TComponent* Owner, TReceived& Into)
    {
        auto* c = Create<TTOOCSClient>(Owner);
        c->SetHost("127.0.0.1");
        c->SetPort(Socket->Port());
        c->OnReceiveEvent = [&Into](TObject*, TTOOCSEvent* E) { Record(Into, E); };
        c->SetActive(true);
        EXPECT_TRUE(WaitFor([&] { return c->Connected() && Peer; }));
        return c;
    }
    TSimpleTCPServer* Socket;
    TSimpleTCPClient* Peer = nullptr;
};

} // namespace

TEST_F(TOOCSTest, SendsBothWays)
{
    TReceived atClient;
    TTOOCSClient* client = Connect(atClient);
    ASSERT_TRUE(client->Send(Probe(7, "to the server"), true));
    ASSERT_TRUE(WaitFor([&] { return AtServer.Numbers.size() == 1; }));
    EXPECT_EQ(AtServer.Texts[0], "to the server");
    ASSERT_NE(LastSender, nullptr);

    TProbeEvent reply;
    reply.SetNumber(8);
    reply.Lines()->Add("x");
    EXPECT_TRUE(Server->Send(LastSender, &reply, false));
    ASSERT_TRUE(WaitFor([&] { return atClient.Numbers.size() == 1; }));
    EXPECT_EQ(atClient.Numbers[0], 8);
    EXPECT_TRUE(ServerErrors.empty());
}

TEST_F(TOOCSTest, BroadcastStampsEachClientsCopy)
{
    TReceived r[3];
    for (TReceived& into : r)
        Connect(into);
    int counter = 0;
    Server->OnSendEvent = [&](TObject*, TSimpleTCPClient*, TTOOCSEvent* E) {
        static_cast<TProbeEvent*>(E)->SetTransaction(++counter);
    };
    Server->Broadcast(Probe(1), true);
    ASSERT_TRUE(WaitFor([&] { return r[0].Numbers.size() + r[1].Numbers.size() + r[2].Numbers.size() == 3; }));
    // Clients in accept order, one number each.
    EXPECT_EQ(r[0].Transactions, std::vector<Int64>{1});
    EXPECT_EQ(r[1].Transactions, std::vector<Int64>{2});
    EXPECT_EQ(r[2].Transactions, std::vector<Int64>{3});
}

TEST_F(TOOCSTest, SendWithoutConnectionAndUnknownHostReportTheirTexts)
{
    auto* client = Create<TTOOCSClient>(&Owner);
    String error;
    int code = 0;
    client->OnError = [&](TObject*, TSocket, const String& Msg, int Code) {
        error = Msg;
        code = Code;
    };
    EXPECT_FALSE(client->Send(Probe(1), true));
    EXPECT_EQ(error, "TCP Object sending error:\r\nCan't send message without a connection to client");
    EXPECT_EQ(code, -1);
    client->SetHost("vek-test.invalid");
    client->SetActive(true);
    EXPECT_EQ(error, "Host not found");
    EXPECT_EQ(code, 11001);
    EXPECT_FALSE(client->Active());
    // Without a handler it is quiet, and still false.
    client->OnError = nullptr;
    EXPECT_FALSE(client->Send(Probe(1), true));
}

TEST_F(TOOCSTest, MessageSplitIntoOneByteReadsArrivesOnce)
{
    // Towards the server.
    TSimpleTCPClient* raw = RawConnect();
    int reads = 0;
    Server->Server()->OnDataAvailable = [&](TObject*, TSimpleTCPClient*, Int64, bool&) { ++reads; };
    const std::string wire = ProbeWire(42, "split");
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const int before = reads;
        SendAll(raw, raw->Socket(), wire.substr(i, 1));
        ASSERT_TRUE(WaitFor([&] { return reads > before; }));
        EXPECT_EQ(AtServer.Numbers.size(), i + 1 == wire.size() ? 1u : 0u);
    }
    EXPECT_EQ(AtServer.Numbers, std::vector<int>{42});

    // Towards a client.
    TRawServer rawServer(&Owner);
    TReceived atClient;
    TTOOCSClient* client = rawServer.Connect(&Owner, atClient);
    int clientReads = 0;
    client->Client()->OnDataAvailable = [&](TObject*, TSimpleTCPClient*, Int64, bool&) { ++clientReads; };
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const int before = clientReads;
        rawServer.Send(wire.substr(i, 1));
        ASSERT_TRUE(WaitFor([&] { return clientReads > before; }));
    }
    EXPECT_EQ(atClient.Numbers, std::vector<int>{42});
    EXPECT_EQ(atClient.Texts, std::vector<String>{"split"});
}

TEST_F(TOOCSTest, TwentyMegabyteMessage)
{
    TReceived atClient;
    TTOOCSClient* client = Connect(atClient);
    String text(20 * 1000 * 1000, ' ');
    std::uint32_t x = 12345;
    for (char& c : text) {
        x = x * 1103515245u + 12345u;
        c = char('a' + (x >> 16) % 26);
    }
    ASSERT_TRUE(client->Send(Probe(1, text), true));
    ASSERT_TRUE(WaitFor([&] { return AtServer.Numbers.size() == 1; }, 60000));
    EXPECT_TRUE(AtServer.Texts[0] == text);

    ASSERT_TRUE(Server->Send(LastSender, Probe(2, text), true));
    EXPECT_GT(Server->Server()->QueuedBytes(LastSender->Socket()), 0);
    ASSERT_TRUE(WaitFor([&] { return atClient.Numbers.size() == 1; }, 60000));
    EXPECT_TRUE(atClient.Texts[0] == text);
    EXPECT_TRUE(ServerErrors.empty());
}

TEST_F(TOOCSTest, PeerClosingMidMessageDeliversNothing)
{
    TSimpleTCPClient* raw = RawConnect();
    const std::string wire = ProbeWire(5, "half of me");
    SendAll(raw, raw->Socket(), wire.substr(0, wire.size() / 2));
    raw->SetActive(false);
    ASSERT_TRUE(WaitFor([&] { return Disconnections == 1; }));
    EXPECT_TRUE(AtServer.Numbers.empty());
    EXPECT_TRUE(ServerErrors.empty());
    EXPECT_EQ(Server->Server()->ClientCount(), 0);

    // And the other way: the client loses the connection and no event.
    TRawServer rawServer(&Owner);
    TReceived atClient;
    TTOOCSClient* client = rawServer.Connect(&Owner, atClient);
    bool lost = false;
    client->OnConnectionLost = [&](TObject*) { lost = true; };
    rawServer.Send(wire.substr(0, wire.size() - 1));
    rawServer.Socket->CloseConnection(rawServer.Peer);
    ASSERT_TRUE(WaitFor([&] { return lost; }));
    EXPECT_TRUE(atClient.Numbers.empty());
    EXPECT_FALSE(client->Active());
}

// Two messages in one read are both delivered, and the garbage behind them
// closes that connection only.
TEST_F(TOOCSTest, GarbageClosesThatConnectionAfterTheMessagesBeforeIt)
{
    TReceived atGood;
    TTOOCSClient* good = Connect(atGood);
    TSimpleTCPClient* raw = RawConnect();
    bool rawLost = false;
    raw->OnConnectionLost = [&](TObject*) { rawLost = true; };

    SendAll(raw, raw->Socket(), ProbeWire(1) + ProbeWire(2) + std::string("\xFF\xFF\xFF\x7Fgarbage", 11));
    ASSERT_TRUE(WaitFor([&] { return rawLost; }));
    EXPECT_EQ(AtServer.Numbers, (std::vector<int>{1, 2}));
    ASSERT_EQ(ServerErrors.size(), 1u);
    EXPECT_EQ(ServerErrors[0].rfind("TCP Object receiving error:\r\n", 0), 0u);
    EXPECT_EQ(Server->Server()->ClientCount(), 1);

    // The server keeps serving the others.
    ASSERT_TRUE(good->Send(Probe(3), true));
    ASSERT_TRUE(WaitFor([&] { return AtServer.Numbers.size() == 3; }));
    EXPECT_EQ(AtServer.Numbers.back(), 3);
}

TEST_F(TOOCSTest, UnreadableMessagesAreFramingErrors)
{
    // Each of these is complete as far as the block lengths go, but is not
    // an event: a class nobody registered, a class that is no event, a
    // property the class does not have, bytes that do not decompress.
    auto wireOf = [](const std::string& Plain) {
        TMemoryStream s;
        s.WriteBytes(Plain);
        return CompressMessage(s);
    };
    auto stream = [](const std::string& Cls, const std::string& Props) {
        return "TPF0" + std::string(1, char(Cls.size())) + Cls + std::string(1, '\0') + Props + std::string(2, '\0');
    };
    std::string badDecompress = ProbeWire(9);
    badDecompress[0] = char(Byte(badDecompress[0]) + 1);
    const std::string cases[] = {
        wireOf(stream("TNoSuchEvent", "")),
        wireOf(stream("TNotAnEvent", "")),
        wireOf(stream("TProbeEvent", std::string("\x05" "Bogus\x02\x01", 8))),
        wireOf(stream("TProbeEvent", "") + "x"),  // bytes after the event
        badDecompress,
    };
    for (const std::string& bad : cases) {
        ServerErrors.clear();
        AtServer.Numbers.clear();
        TSimpleTCPClient* raw = RawConnect();
        bool lost = false;
        raw->OnConnectionLost = [&](TObject*) { lost = true; };
        SendAll(raw, raw->Socket(), bad + ProbeWire(9));
        ASSERT_TRUE(WaitFor([&] { return lost; }));
        EXPECT_EQ(ServerErrors.size(), 1u);
        EXPECT_TRUE(AtServer.Numbers.empty());  // nothing after the bad one either
    }
}

TEST_F(TOOCSTest, ClientDecodingErrorsGoToTheLogWithoutHandler)
{
    std::vector<String> log;
    SetNetLogHook([&](const String& Line) { log.push_back(Line); });
    TRawServer rawServer(&Owner);
    TReceived atClient;
    TTOOCSClient* client = rawServer.Connect(&Owner, atClient);
    bool lost = false;
    client->OnConnectionLost = [&](TObject*) { lost = true; };
    rawServer.Send(ProbeWire(11) + std::string("\x00\x00\x00\x80", 4));
    ASSERT_TRUE(WaitFor([&] { return lost; }));
    SetNetLogHook(nullptr);
    EXPECT_EQ(atClient.Numbers, std::vector<int>{11});
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("TCP Object receiving error: Bad message length"), String::npos);
}

TEST_F(TOOCSTest, ClientReconnectsAutomatically)
{
    const Word port = Server->Port();
    TReceived atClient;
    TTOOCSClient* client = Connect(atClient);
    client->SetAutoReconnect(true);
    client->SetAutoReconnectInterval(30);
    int connections = 0;
    bool lost = false;
    client->OnConnection = [&](TObject*) { ++connections; };
    client->OnConnectionLost = [&](TObject*) { lost = true; };
    std::vector<String> clientErrors;
    client->OnError = [&](TObject*, TSocket, const String& Msg, int) { clientErrors.push_back(Msg); };

    Server->SetActive(false);
    ASSERT_TRUE(WaitFor([&] { return lost; }));
    ASSERT_TRUE(WaitFor([&] { return !clientErrors.empty(); }));  // refused while the server is down
    EXPECT_EQ(clientErrors[0], "Connection refused");
    Server->SetPort(port);
    Server->SetActive(true);
    ASSERT_TRUE(Server->Active());
    ASSERT_TRUE(WaitFor([&] { return connections == 1 && client->Connected(); }));
    ASSERT_TRUE(client->Send(Probe(77), true));
    ASSERT_TRUE(WaitFor([&] { return AtServer.Numbers.size() == 1; }));
}

TEST_F(TOOCSTest, ClientFreedInItsOwnConnectionLostHandler)
{
    auto* client = Join(Create<TTOOCSClient>(nullptr));
    ASSERT_TRUE(WaitFor([&] { return Server->Server()->ClientCount() == 1; }));
    bool freed = false;
    // The handler goes with the client: it keeps what it needs on its stack.
    client->OnConnectionLost = [&](TObject*) {
        bool* flag = &freed;
        delete client;
        *flag = true;
    };
    Server->Server()->CloseConnection(Server->Server()->Clients(0));
    ASSERT_TRUE(WaitFor([&] { return freed; }));
    // The socket underneath goes once the notice has returned; run the loop
    // on so that the sanitizer build sees any late use.
    RunMessagesUntil([] { return false; }, 20);

    // Freed while delivering an event, with more messages behind it.
    auto* second = Join(Create<TTOOCSClient>(nullptr));
    ASSERT_TRUE(WaitFor([&] { return Server->Server()->ClientCount() == 1; }));
    int delivered = 0;
    second->OnReceiveEvent = [&](TObject*, TTOOCSEvent*) {
        ++delivered;
        delete second;
    };
    TSimpleTCPClient* peer = Server->Server()->Clients(0);
    const std::string two = ProbeWire(1) + ProbeWire(1);
    SendAll(Server->Server(), peer->Socket(), two);
    ASSERT_TRUE(WaitFor([&] { return delivered > 0; }));
    RunMessagesUntil([] { return false; }, 20);
    EXPECT_EQ(delivered, 1);
}

TEST_F(TOOCSTest, ServerFreedWhileDeliveringAnEvent)
{
    auto* server = Create<TTOOCSServer>(nullptr);
    server->Server()->SetBindAddress("127.0.0.1");
    server->SetPort(0);
    server->SetActive(true);
    ASSERT_TRUE(server->Active());
    int delivered = 0;
    server->OnReceiveEvent = [&](TObject*, TSimpleTCPClient*, TTOOCSEvent*) {
        int* count = &delivered;
        delete server;
        ++*count;
    };
    TSimpleTCPClient* raw = Create<TSimpleTCPClient>(&Owner);
    raw->SetHost("127.0.0.1");
    raw->SetPort(server->Port());
    bool lost = false;
    raw->OnConnectionLost = [&](TObject*) { lost = true; };
    raw->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return raw->Connected(); }));
    SendAll(raw, raw->Socket(), ProbeWire(0) + ProbeWire(0) + ProbeWire(0));
    // The connection goes with the server, once the notice has returned.
    ASSERT_TRUE(WaitFor([&] { return lost; }));
    EXPECT_EQ(delivered, 1);
}

TEST_F(TOOCSTest, APeerThatDoesNotReadIsDroppedWhenItsQueueIsFull)
{
    const int fd = UnreadPeer(Server->Port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WaitFor([&] { return Connections == 1; }));
    TSimpleTCPClient* peer = Server->Server()->Clients(0);
    int stamped = 0;
    Server->OnSendEvent = [&](TObject*, TSimpleTCPClient*, TTOOCSEvent*) { ++stamped; };

    // The queue holds as much as it may.
    TSimpleTCPServer* sockets = Server->Server();
    sockets->SetQueueLimit(256 * 1024);
    const std::string filler(64 * 1024, 'x');
    for (int i = 0; i < 1000 && sockets->QueuedBytes(peer->Socket()) < sockets->QueueLimit(); ++i) {
        const Int64 room = sockets->QueueLimit() - sockets->QueuedBytes(peer->Socket());
        SendAll(sockets, peer->Socket(), filler.substr(0, std::size_t(std::min<Int64>(room, Int64(filler.size())))));
    }
    ASSERT_TRUE(sockets->QueueFull(peer->Socket()));

    // Refused before it is numbered or encoded, and the peer goes.
    EXPECT_FALSE(Server->Send(peer, Probe(1, "late"), true));
    EXPECT_EQ(stamped, 0);
    ASSERT_EQ(ServerErrors.size(), 1U);
    EXPECT_EQ(ServerErrors[0], "TCP Object sending error:\r\nNo buffer space available");
    ASSERT_TRUE(WaitFor([&] { return Disconnections == 1; }));
    EXPECT_EQ(sockets->ClientCount(), 0);
    ::close(fd);
}

TEST_F(TOOCSTest, AnEventTheQueueCannotTakeDropsThePeer)
{
    const int fd = UnreadPeer(Server->Port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WaitFor([&] { return Connections == 1; }));
    TSimpleTCPClient* peer = Server->Server()->Clients(0);
    Server->Server()->SetQueueLimit(512 * 1024);
    // Text that does not compress: each event stays about as large.
    String text(100 * 1000, ' ');
    std::uint32_t x = 777;
    for (char& c : text) {
        x = x * 1103515245u + 12345u;
        c = char('a' + (x >> 16) % 26);
    }
    int sent = 0;
    while (sent < 100 && Server->Send(peer, Probe(sent, text), true))
        ++sent;
    EXPECT_LT(sent, 100);
    ASSERT_TRUE(WaitFor([&] { return Disconnections == 1; }));
    EXPECT_EQ(Server->Server()->ClientCount(), 0);
    ::close(fd);
}
