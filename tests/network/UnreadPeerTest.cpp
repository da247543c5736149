// A peer that asks for the whole document again and again and never reads
// what it is sent, while two well-behaved clients work on the plan.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/DateUtils.h"
#include "tests/network/CollaborationTestSupport.h"
#include "tests/network/NetTestSupport.h"

using namespace collab;

TEST(UnreadPeer, AskingForTheDocumentWithoutReadingHoldsUpNobody)
{
    StartEventLoop();
    TPeer server;
    const TDateTime base = Date();
    for (int i = 0; i < 2000; ++i)
        server.AddLocalTask(i % 2 ? "A" : "B", base + i % 200, 1 + i % 3, "Task " + IntToStr(i));
    ASSERT_TRUE(ServerListens(server));
    TPeer one({"X"}), two({"X"});
    ASSERT_TRUE(Connect(one, server));
    ASSERT_TRUE(Connect(two, server));

    const int fd = nettest::UnreadPeer(server.Net->Port());
    ASSERT_GE(fd, 0);
    TSimpleTCPServer* sockets = server.Net->Server()->Server();
    ASSERT_TRUE(WaitFor([&] { return sockets->ClientCount() == 3; }));
    TSimpleTCPClient* unread = sockets->Clients(2);
    // The kernel keeps little for it: a document mostly waits in the queue.
    int small = 4096;
    ::setsockopt(unread->Socket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));

    // Three hundred requests, then a change of its own that the server
    // performs after all of them.
    TVEKGetTableEvent request;
    std::string burst;
    for (int i = 0; i < 300; ++i)
        burst += nettest::WireMessage(request);
    TSetNodeDataEvent change;
    change.SetID(1);
    change.SetColumn(server.Column(cnTextCenterMiddle));
    change.SetData("after the requests");
    burst += nettest::WireMessage(change);
    ASSERT_TRUE(WriteAllToFd(fd, burst));

    // The two others edit meanwhile; each sees the other's edit.
    one.Doc->SetData(one.Row(2), one.Column(cnTextCenterMiddle), "from one");
    two.Doc->SetData(two.Row(3), two.Column(cnTextCenterMiddle), "from two");
    EXPECT_TRUE(WaitFor([&] {
        return one.Cell(3, cnTextCenterMiddle) == "from two" && two.Cell(2, cnTextCenterMiddle) == "from one";
    }));
    ASSERT_TRUE(WaitFor([&] { return server.Cell(1, cnTextCenterMiddle) == "after the requests"; }));
    EXPECT_TRUE(WaitFor([&] { return one.Cell(1, cnTextCenterMiddle) == "after the requests"; }));

    // One document went its way and waits; the other requests were not
    // answered with one each. What waits for the peer is about one document.
    ASSERT_TRUE(sockets->HasClient(unread));
    TUpdateTableEvent* document = TUpdateTableEvent::CreateInitialized(*server.Doc);
    const Int64 documentSize = Int64(nettest::WireMessage(*document).size());
    delete document;
    const Int64 waiting = sockets->QueuedBytes(unread->Socket());
    EXPECT_GT(waiting, 0);
    EXPECT_LT(waiting, documentSize + 64 * 1024);
    // The document, the two edits and its own change: four numbered events.
    EXPECT_LE(server.Net->ServerTransaction(unread), 4);
    ::close(fd);
}
