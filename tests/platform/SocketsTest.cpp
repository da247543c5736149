// Non-blocking sockets and their notices as window messages, on loopback.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <netdb.h>
#include <vector>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Sockets.h"

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>

namespace {

constexpr UINT NoticeMsg = WM_USER + 1;

struct TNotice {
    TSocket Socket;
    int Event;
    int Error;
};

// A hidden window that records the notices it gets.
class TNoticeWindow {
public:
    TNoticeWindow()
    {
        Handle = AllocateHWnd([this](TMessage& M) {
            if (M.Msg == NoticeMsg)
                Notices.push_back({TSocket(M.WParam), M.LParamLo(), M.LParamHi()});
        });
    }
    ~TNoticeWindow() { DeallocateHWnd(Handle); }
    int Count(TSocket S, int Event) const
    {
        int n = 0;
        for (const TNotice& x : Notices)
            n += x.Socket == S && x.Event == Event;
        return n;
    }
    const TNotice* Find(TSocket S, int Event) const
    {
        for (const TNotice& x : Notices)
            if (x.Socket == S && x.Event == Event)
                return &x;
        return nullptr;
    }
    HWND Handle;
    std::vector<TNotice> Notices;
};

class SocketsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // An application object of our own that is never destroyed: the
        // notifiers need one, and none is left to tear down at exit.
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "vek_platform_tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
        Application->Initialize();
    }

    void TearDown() override
    {
        for (TSocket s : Open)
            CloseSocket(s);
    }

    TSocket Listener(Word& Port)
    {
        int error = 0;
        TSocketAddress local;
        EXPECT_TRUE(ResolveHost("127.0.0.1", 0, local, error));
        const TSocket s = OpenStreamSocket(local.Family(), error);
        EXPECT_NE(s, INVALID_SOCKET);
        EXPECT_TRUE(ListenSocket(s, local, 5, error)) << error;
        TSocketAddress bound;
        EXPECT_TRUE(LocalAddress(s, bound));
        Port = bound.Port();
        Open.push_back(s);
        return s;
    }

    TSocket Connecting(Word Port, HWND Window)
    {
        int error = 0;
        TSocketAddress remote;
        EXPECT_TRUE(ResolveHost("127.0.0.1", Port, remote, error));
        const TSocket s = OpenStreamSocket(remote.Family(), error);
        AsyncSelect(s, Window, NoticeMsg, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
        EXPECT_TRUE(ConnectSocket(s, remote, error));
        Open.push_back(s);
        return s;
    }

    static bool Run(const std::function<bool()>& Done, int Ms = 5000) { return RunMessagesUntil(Done, Ms); }

    std::vector<TSocket> Open;
};

} // namespace

TEST_F(SocketsTest, ErrorCodesAndTexts)
{
    const std::pair<int, int> fromErrno[] = {
        {ECONNREFUSED, 10061}, {EADDRINUSE, 10048}, {EACCES, 10013}, {EAGAIN, WSAEWOULDBLOCK}, {ECONNRESET, 10054}};
    for (const auto& [e, code] : fromErrno)
        EXPECT_EQ(SocketErrorFromErrno(e), code) << e;
    EXPECT_EQ(SocketErrorFromResolver(EAI_NONAME), 11001);
    EXPECT_EQ(SocketErrorFromResolver(EAI_AGAIN), 11002);
    const std::pair<int, const char*> texts[] = {
        {10061, "Connection refused"}, {10048, "Address already in use"}, {10013, "Permission denied"},
        {11001, "Host not found"},     {11004, "No Data"},                {0, "Not a WinSock error ?"},
        {10090, "Not a WinSock error ?"}};
    for (const auto& [code, text] : texts)
        EXPECT_EQ(SocketErrorText(code), text) << code;
}

TEST_F(SocketsTest, ResolvesNumbersWithoutLookupAndRejectsReservedNamesFast)
{
    TSocketAddress a;
    int error = 0;
    ASSERT_TRUE(ResolveHost("127.0.0.1", 8080, a, error));
    EXPECT_EQ(a.Host(), "127.0.0.1");
    EXPECT_EQ(a.Port(), 8080);
    ASSERT_TRUE(ResolveHost("::1", 9, a, error));
    EXPECT_EQ(a.Host(), "::1");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ResolveHost("nothing-here.invalid", 80, a, error));
    EXPECT_EQ(error, WSAHOST_NOT_FOUND);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(ResolveHost("", 80, a, error));
}

TEST_F(SocketsTest, NoticesComeInTheOrderOfTheConnectionsLife)
{
    TNoticeWindow w;
    Word port = 0;
    const TSocket listener = Listener(port);
    AsyncSelect(listener, w.Handle, NoticeMsg, FD_READ | FD_ACCEPT | FD_CLOSE);
    const TSocket client = Connecting(port, w.Handle);

    ASSERT_TRUE(Run([&] { return w.Count(listener, FD_ACCEPT) && w.Count(client, FD_CONNECT); }));
    EXPECT_EQ(w.Find(client, FD_CONNECT)->Error, 0);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_WRITE) > 0; }));
    int error = 0;
    const TSocket server = AcceptSocket(listener, nullptr, error);
    ASSERT_NE(server, INVALID_SOCKET);
    Open.push_back(server);
    EXPECT_EQ(AcceptSocket(listener, nullptr, error), INVALID_SOCKET);
    EXPECT_EQ(error, WSAEWOULDBLOCK);

    // Data: one notice until it is read, not one per turn of the loop.
    ASSERT_EQ(SendSocket(server, "abcdef", 6, error), 6);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_READ) == 1; }));
    Run([] { return false; }, 30);
    EXPECT_EQ(w.Count(client, FD_READ), 1);
    char buf[16];
    EXPECT_EQ(ReceiveSocket(client, buf, 2, error), 2);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_READ) == 2; }));  // the rest is still there
    EXPECT_EQ(PendingBytes(client), 4);
    EXPECT_EQ(ReceiveSocket(client, buf, sizeof(buf), error), 4);

    // The peer closes: one close notice, after the data.
    ASSERT_EQ(SendSocket(server, "xy", 2, error), 2);
    CloseSocket(server);
    Open.pop_back();
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_READ) == 3; }));
    EXPECT_EQ(w.Count(client, FD_CLOSE), 0);
    EXPECT_EQ(ReceiveSocket(client, buf, sizeof(buf), error), 2);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_CLOSE) == 1; }));
    Run([] { return false; }, 30);
    EXPECT_EQ(w.Count(client, FD_CLOSE), 1);
    EXPECT_EQ(ReceiveSocket(client, buf, sizeof(buf), error), 0);

    // Sending to a closed peer fails with an error code, not a signal.
    Int64 sent = 0;
    for (int i = 0; i < 100 && sent >= 0; ++i)
        sent = SendSocket(client, buf, sizeof(buf), error);
    EXPECT_EQ(sent, -1);
    EXPECT_TRUE(error == 10058 || error == 10054) << error;
}

TEST_F(SocketsTest, RefusedConnectArrivesAsConnectNoticeWithTheError)
{
    TNoticeWindow w;
    Word port = 0;
    const TSocket listener = Listener(port);
    CloseSocket(listener);
    Open.clear();
    const TSocket client = Connecting(port, w.Handle);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_CONNECT) == 1; }));
    EXPECT_EQ(w.Find(client, FD_CONNECT)->Error, WSAECONNREFUSED);
    Run([] { return false; }, 30);
    EXPECT_EQ(w.Count(client, FD_CLOSE), 0);
    EXPECT_EQ(w.Notices.size(), 1u);
}

TEST_F(SocketsTest, NoticesOfAClosedSocketAreDropped)
{
    TNoticeWindow w;
    Word port = 0;
    const TSocket listener = Listener(port);
    AsyncSelect(listener, w.Handle, NoticeMsg, FD_ACCEPT);
    const TSocket client = Connecting(port, w.Handle);
    ASSERT_TRUE(Run([&] { return w.Count(listener, FD_ACCEPT) == 1; }));
    int error = 0;
    const TSocket server = AcceptSocket(listener, nullptr, error);
    Open.push_back(server);
    ASSERT_TRUE(Run([&] { return w.Count(client, FD_CONNECT) == 1; }));
    ASSERT_EQ(SendSocket(server, "z", 1, error), 1);
    // One turn of the loop: the readiness becomes a queued notice, not yet
    // handled. Closing now must drop it: a socket opened next may get the
    // same number and must not hear the old one's news.
    QCoreApplication::processEvents();
    ASSERT_EQ(w.Count(client, FD_READ), 0);
    CloseSocket(client);
    Open.erase(std::find(Open.begin(), Open.end(), client));
    Run([] { return false; }, 30);
    EXPECT_EQ(w.Count(client, FD_READ), 0);

    // The same steps without the close do deliver it.
    const TSocket second = Connecting(port, w.Handle);
    ASSERT_TRUE(Run([&] { return w.Count(listener, FD_ACCEPT) == 2; }));
    const TSocket server2 = AcceptSocket(listener, nullptr, error);
    Open.push_back(server2);
    ASSERT_TRUE(Run([&] { return w.Count(second, FD_CONNECT) >= 1; }));
    ASSERT_EQ(SendSocket(server2, "z", 1, error), 1);
    QCoreApplication::processEvents();
    const int early = w.Count(second, FD_READ);
    ASSERT_TRUE(Run([&] { return w.Count(second, FD_READ) == 1; }));
    EXPECT_EQ(early, 0);
}
