// The raw socket components on loopback, driven by the event loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include "network/SimpleSockets.h"
#include "tests/network/NetTestSupport.h"

using namespace nettest;

namespace {

class SimpleSocketsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartEventLoop(); }
    void TearDown() override { Owner.DestroyComponents(); }

    // A loopback server on the port, not yet listening.
    TSimpleTCPServer* MakeServer(Word Port)
    {
        auto* s = Create<TSimpleTCPServer>(&Owner);
        s->SetBindAddress("127.0.0.1");
        s->SetPort(Port);
        return s;
    }

    // A listening server on an ephemeral loopback port.
    TSimpleTCPServer* StartServer()
    {
        TSimpleTCPServer* s = MakeServer(0);
        s->SetActive(true);
        EXPECT_TRUE(s->Active());
        EXPECT_NE(s->Port(), 0);
        return s;
    }

    TSimpleTCPClient* MakeClient(Word Port)
    {
        auto* c = Create<TSimpleTCPClient>(&Owner);
        c->SetHost("127.0.0.1");
        c->SetPort(Port);
        return c;
    }

    // A port nothing listens on: one the system just gave out and took back.
    Word FreePort()
    {
        TSimpleTCPServer* s = StartServer();
        const Word port = s->Port();
        delete s;
        return port;
    }

    TComponent Owner{nullptr};
};

// Tells when it is gone.
class TWatchedClient : public TSimpleTCPClient {
public:
    explicit TWatchedClient(bool* AGone) : TSimpleTCPClient(nullptr), FGone(AGone) {}
    ~TWatchedClient() override { *FGone = true; }

private:
    bool* FGone;
};

} // namespace

TEST_F(SimpleSocketsTest, ConnectsAndMovesBytesBothWays)
{
    TSimpleTCPServer* server = StartServer();
    std::string atServer;
    std::string atClient;
    TSimpleTCPClient* peer = nullptr;
    server->OnClientConnect = [&](TObject*, TSimpleTCPClient* C) { peer = C; };
    server->OnRead = [&](TObject*, TSimpleTCPClient*, TStream& S) { atServer += S.ReadBytes(S.Remaining()); };

    TSimpleTCPClient* client = MakeClient(server->Port());
    bool connected = false;
    client->OnConnect = [&](TObject*) { connected = true; };
    client->OnRead = [&](TObject*, TSimpleTCPClient*, TStream& S) { atClient += S.ReadBytes(S.Remaining()); };
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return connected && peer; }));
    EXPECT_TRUE(client->Connected());
    EXPECT_EQ(peer->PeerHost(), "127.0.0.1");
    EXPECT_EQ(peer->Server(), server);

    TMemoryStream hello;
    hello.WriteBytes("hello server");
    EXPECT_EQ(client->SendStream(hello), hello.Size());
    TMemoryStream answer;
    answer.WriteBytes("hello client");
    EXPECT_EQ(server->SendStream(peer, answer), answer.Size());
    ASSERT_TRUE(WaitFor([&] { return atServer.size() == 12 && atClient.size() == 12; }));
    EXPECT_EQ(atServer, "hello server");
    EXPECT_EQ(atClient, "hello client");
}

TEST_F(SimpleSocketsTest, LargeSendIsQueuedAndArrivesWhole)
{
    TSimpleTCPServer* server = StartServer();
    TSimpleTCPClient* peer = nullptr;
    server->OnClientConnect = [&](TObject*, TSimpleTCPClient* C) { peer = C; };
    TSimpleTCPClient* client = MakeClient(server->Port());
    std::string got;
    client->OnRead = [&](TObject*, TSimpleTCPClient*, TStream& S) { got += S.ReadBytes(S.Remaining()); };
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return client->Connected() && peer; }));

    std::string big(24 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char((i * 2654435761u) >> 13);
    ASSERT_EQ(server->SendBufferTo(peer->Socket(), big.data(), Int64(big.size())), Int64(big.size()));
    // The kernel cannot take 24 MB at once: the rest waits in the queue.
    EXPECT_GT(server->QueuedBytes(peer->Socket()), 0);
    ASSERT_TRUE(WaitFor([&] { return got.size() >= big.size(); }, 30000));
    EXPECT_TRUE(got == big);
    EXPECT_EQ(server->QueuedBytes(peer->Socket()), 0);
}

TEST_F(SimpleSocketsTest, ASecondLargeSendWhileTheFirstIsHalfQueuedArrivesBehindIt)
{
    // Two whole documents sent back to back: the second joins a queue whose
    // front has partly gone out. The test reads the peer's end itself, so it
    // decides how far the first one has gone.
    TSimpleTCPServer* server = StartServer();
    TSimpleTCPClient* peer = nullptr;
    server->OnClientConnect = [&](TObject*, TSimpleTCPClient* C) { peer = C; };
    const int fd = UnreadPeer(server->Port(), 0);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WaitFor([&] { return peer != nullptr; }));
    std::string got;
    auto readSome = [&] {
        char buffer[65536];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT)) > 0)
            got.append(buffer, std::size_t(n));
    };

    auto pattern = [](std::size_t Size, unsigned Seed) {
        std::string s(Size, '\0');
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = char(((i + Seed) * 2654435761u) >> 13);
        return s;
    };
    const std::string first = pattern(16 * 1024 * 1024, 1), second = pattern(16 * 1024 * 1024, 99);
    ASSERT_EQ(server->SendBufferTo(peer->Socket(), first.data(), Int64(first.size())), Int64(first.size()));
    const Int64 mark = server->OutputMark(peer->Socket());
    ASSERT_TRUE(WaitFor([&] {
        readSome();
        return got.size() > first.size() * 6 / 10;
    }, 30000));
    ASSERT_GT(server->QueuedBytes(peer->Socket()), 0);
    EXPECT_FALSE(server->OutputPassed(peer->Socket(), mark));
    ASSERT_EQ(server->SendBufferTo(peer->Socket(), second.data(), Int64(second.size())), Int64(second.size()));
    ASSERT_TRUE(WaitFor([&] {
        readSome();
        return got.size() >= first.size() + second.size();
    }, 30000));
    EXPECT_EQ(got.size(), first.size() + second.size());
    EXPECT_TRUE(got.compare(0, first.size(), first) == 0);
    EXPECT_TRUE(got.compare(first.size(), second.size(), second) == 0);
    EXPECT_TRUE(server->OutputPassed(peer->Socket(), server->OutputMark(peer->Socket())));
    ::close(fd);
}

TEST_F(SimpleSocketsTest, ServerNoticesClosedClientsAndFreesAllOnDeactivation)
{
    TSimpleTCPServer* server = StartServer();
    int connects = 0;
    int disconnects = 0;
    server->OnClientConnect = [&](TObject*, TSimpleTCPClient*) { ++connects; };
    server->OnClientDisconnect = [&](TObject*, TSimpleTCPClient*) { ++disconnects; };
    std::vector<TSimpleTCPClient*> clients;
    int lost = 0;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(MakeClient(server->Port()));
        clients.back()->OnConnectionLost = [&](TObject*) { ++lost; };
        clients.back()->SetActive(true);
    }
    ASSERT_TRUE(WaitFor([&] { return connects == 3; }));
    EXPECT_EQ(server->ClientCount(), 3);

    clients[0]->SetActive(false);
    ASSERT_TRUE(WaitFor([&] { return disconnects == 1; }));
    EXPECT_EQ(server->ClientCount(), 2);
    EXPECT_EQ(lost, 0);  // closing it ourselves is no loss

    server->SetActive(false);
    EXPECT_EQ(server->ClientCount(), 0);
    ASSERT_TRUE(WaitFor([&] { return lost == 2; }));
    EXPECT_FALSE(clients[1]->Active());
    EXPECT_FALSE(clients[2]->Connected());

    // The same port binds again at once, although connections were open.
    const Word port = server->Port();
    server->SetActive(true);
    EXPECT_TRUE(server->Active());
    EXPECT_EQ(server->Port(), port);
}

TEST_F(SimpleSocketsTest, RefusedConnectionAndUnknownHostReportTheSocketLayersText)
{
    const Word port = FreePort();
    TSimpleTCPClient* client = MakeClient(port);
    String text;
    int code = 0;
    client->OnError = [&](TObject*, TSocket, const String& Msg, int Code) {
        text = Msg;
        code = Code;
    };
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return code != 0; }));
    EXPECT_EQ(code, 10061);
    EXPECT_EQ(text, "Connection refused");
    EXPECT_FALSE(client->Active());
    EXPECT_FALSE(client->MonitorActive());  // no reconnect unless asked

    code = 0;
    client->SetHost("no-such-host.invalid");
    client->SetActive(true);
    EXPECT_EQ(code, 11001);
    EXPECT_EQ(text, "Host not found");
    EXPECT_FALSE(client->Active());

    // Without a handler the error is raised.
    client->OnError = nullptr;
    try {
        client->SetActive(true);
        FAIL() << "no exception";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Message, "Host not found");
    }
}

TEST_F(SimpleSocketsTest, ServerRefusalShowsTheSocketLayersText)
{
    TSimpleTCPServer* first = StartServer();
    // A second listener on a port that is taken (reuse does not allow two
    // listeners at once).
    TSimpleTCPServer* second = MakeServer(first->Port());
    String text;
    second->OnError = [&](TObject*, TSocket, const String& Msg, int) { text = Msg; };
    second->SetActive(true);
    EXPECT_FALSE(second->Active());
    EXPECT_EQ(text, "Address already in use");
}

TEST_F(SimpleSocketsTest, ClientReconnectsByItsTimer)
{
    const Word port = FreePort();
    TSimpleTCPClient* client = MakeClient(port);
    int refused = 0;
    client->OnError = [&](TObject*, TSocket, const String&, int Code) {
        if (Code == 10061)
            ++refused;
    };
    bool connected = false;
    client->OnConnect = [&](TObject*) { connected = true; };
    client->SetAutoReconnect(true);
    client->SetReconnectInterval(30);
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return refused >= 2; }));  // it keeps trying
    EXPECT_FALSE(connected);

    TSimpleTCPServer* server = MakeServer(port);
    server->SetActive(true);
    ASSERT_TRUE(server->Active());
    ASSERT_TRUE(WaitFor([&] { return connected; }));
    EXPECT_FALSE(client->MonitorActive());

    // Losing the server starts the timer again, and it finds the server back.
    connected = false;
    server->SetActive(false);
    ASSERT_TRUE(WaitFor([&] { return !client->Active(); }));
    EXPECT_TRUE(client->MonitorActive());
    server->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return connected; }));
}

TEST_F(SimpleSocketsTest, ClientFreedInsideItsOwnNotificationGoesWhenItReturns)
{
    TSimpleTCPServer* server = StartServer();
    TSimpleTCPClient* peer = nullptr;
    server->OnClientConnect = [&](TObject*, TSimpleTCPClient* C) { peer = C; };
    bool gone = false;
    auto* client = Create<TWatchedClient>(&gone);
    client->SetHost("127.0.0.1");
    client->SetPort(server->Port());
    bool goneInside = true;
    bool released = false;
    client->OnConnectionLost = [&](TObject*) {
        client->Release();
        goneInside = gone;
        released = true;
    };
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return peer && client->Connected(); }));
    server->CloseConnection(peer);
    ASSERT_TRUE(WaitFor([&] { return released; }));
    EXPECT_FALSE(goneInside);
    EXPECT_TRUE(gone);

    // Outside a notification it goes at once.
    bool gone2 = false;
    auto* other = Create<TWatchedClient>(&gone2);
    other->Release();
    EXPECT_TRUE(gone2);
}
