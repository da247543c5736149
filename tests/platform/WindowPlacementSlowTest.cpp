// Window moves and activation on an X server of the test's own, bare and
// with a reparenting window manager (twm) when one is installed: the frame
// is where the program put it, a move from outside (xdotool) is the form's
// new place, focus given by the system activates and deactivates, and a
// dialog is framed where its Position puts it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <vector>

#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "tests/platform/XServer.h"
#include "tests/support/PlatformFixture.h"

namespace {

bool Exposed(TCustomForm* F) { return F->Host()->windowHandle() && F->Host()->windowHandle()->isExposed(); }

// Runs xdotool with Args on the peer's display and waits for it.
bool XdoTool(const QStringList& Args)
{
    QProcess p;
    p.start("xdotool", Args);
    return p.waitForFinished(20000) && p.exitCode() == 0;
}

QString WindowId(TCustomForm* F) { return QString::number(F->Host()->winId()); }

void RunPeer(const QString& WindowManager)
{
    const TXServer server;
    if (!server.Running())
        GTEST_SKIP() << "no X server";
    QProcess manager;
    QTemporaryFile settings;
    if (!WindowManager.isEmpty()) {
        // Windows placed where the program asks, dialogs framed as desktop
        // window managers frame them, in the one font every X server has.
        ASSERT_TRUE(settings.open());
        settings.write("UsePPosition \"on\"\nRandomPlacement\nNoGrabServer\nDecorateTransients\n"
                       "TitleFont \"fixed\"\nMenuFont \"fixed\"\nIconFont \"fixed\"\n"
                       "ResizeFont \"fixed\"\nIconManagerFont \"fixed\"\n");
        settings.flush();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", server.Display());
        env.insert("LC_ALL", "C");
        manager.setProcessEnvironment(env);
        manager.setProcessChannelMode(QProcess::MergedChannels);
        manager.start(WindowManager, {"-f", settings.fileName()});
        ASSERT_TRUE(manager.waitForStarted(10000));
    }
    QProcessEnvironment extra;
    extra.insert("VEK_MOVE_PEER", WindowManager.isEmpty() ? "bare" : "managed");
    QProcess peer;
    server.StartPeer(peer, "WindowMovePeer.MovesAndActivations", extra);
    ASSERT_TRUE(peer.waitForFinished(120000));
    const QByteArray output = peer.readAll();
    EXPECT_EQ(peer.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    if (!WindowManager.isEmpty()) {
        EXPECT_EQ(manager.state(), QProcess::Running) << manager.readAll().toStdString();
        manager.terminate();
        manager.waitForFinished(10000);
    }
}

}  // namespace

TEST(WindowMovePeer, MovesAndActivations)
{
    const char* mode = std::getenv("VEK_MOVE_PEER");
    if (!mode)
        GTEST_SKIP() << "runs inside WindowPlacementOnAServer";
    const bool managed = std::string(mode) == "managed";
    EnsureApplication();
    std::vector<String> log;
    auto* a = Create<TForm>(nullptr);
    auto* b = Create<TForm>(nullptr);
    for (auto [form, name] : {std::pair{a, String("a")}, std::pair{b, String("b")}}) {
        form->OnActivate = [&log, name](TObject*) { log.push_back(name + "+"); };
        form->OnDeactivate = [&log, name](TObject*) { log.push_back(name + "-"); };
    }
    a->SetBounds(100, 100, 200, 120);
    b->SetBounds(420, 100, 200, 120);
    a->Show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Exposed(a) && (!managed || a->FrameOffset() != TPoint()); }, 20000))
        << Exposed(a) << " " << a->Host()->frameGeometry().x() << "," << a->Host()->frameGeometry().y() << " "
        << a->Host()->geometry().x() << "," << a->Host()->geometry().y();
    // Let the window manager's placement settle.
    ASSERT_TRUE(ProcessEventsUntil([&] { return a->Host()->frameGeometry().topLeft() == QPoint(100, 100); }, 20000))
        << a->Host()->frameGeometry().x() << "," << a->Host()->frameGeometry().y();
    EXPECT_EQ(TPoint(a->Left(), a->Top()), TPoint(100, 100));
    const TPoint offset = a->FrameOffset();
    if (managed)
        EXPECT_GT(offset.Y, 0);  // a title bar
    else
        EXPECT_EQ(offset, TPoint());
    EXPECT_EQ(a->ClientOrigin(), TPoint(100, 100) + offset + a->ClientOffset());

    // Moved from outside: the frame's corner becomes Left and Top.
    ASSERT_TRUE(XdoTool({"windowmove", WindowId(a), "400", "300"}));
    ASSERT_TRUE(ProcessEventsUntil([&] { return a->Left() != 100 || a->Top() != 100; }, 20000));
    const QPoint frame = a->Host()->frameGeometry().topLeft();
    EXPECT_EQ(TPoint(a->Left(), a->Top()), TPoint(frame.x(), frame.y()));
    const TPoint client = TPoint(frame.x(), frame.y()) + a->FrameOffset() + a->ClientOffset();
    EXPECT_EQ(a->ClientOrigin(), client);
    EXPECT_EQ(a->ClientToScreen(TPoint{5, 7}), client + TPoint(5, 7));
    // The pointer put on the form is read back where it was put.
    EXPECT_TRUE(SetCursorPos(client.X + 20, client.Y + 10));
    EXPECT_EQ(GetCursorPos(), client + TPoint(20, 10));

    // The system gives the focus to the other form and back.
    b->Show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Exposed(b); }, 20000));
    ASSERT_TRUE(XdoTool({"windowfocus", "--sync", WindowId(b)}));
    ASSERT_TRUE(ProcessEventsUntil([&] { return b->Active(); }, 20000));
    EXPECT_EQ(Screen->ActiveForm(), b);
    log.clear();
    ASSERT_TRUE(XdoTool({"windowfocus", "--sync", WindowId(a)}));
    ASSERT_TRUE(ProcessEventsUntil([&] { return a->Active(); }, 20000));
    ProcessEvents();
    EXPECT_EQ(log, (std::vector<String>{"b-", "a+"}));
    EXPECT_FALSE(b->Active());
    EXPECT_EQ(Screen->ActiveForm(), a);

    // A dialog shown modally gets a frame of its own and sits where its
    // Position says.
    auto* d = Create<TForm>(nullptr);
    d->SetBorderStyle(bsDialog);
    d->SetPosition(poScreenCenter);
    d->SetBounds(0, 0, 240, 160);
    // Made at start-up and shown later, as the program's dialogs are.
    d->HandleNeeded();
    const TRect work = Screen->WorkAreaRect();
    const QPoint centred(work.Left + (work.Width() - 240) / 2, work.Top + (work.Height() - 160) / 2);
    bool answered = false;
    TModalHookGuard hook([&](TCustomForm*) {
        answered = true;
        ASSERT_TRUE(ProcessEventsUntil([&] { return Exposed(d) && d->FrameOffset() == offset; }, 20000))
            << "frame offset " << d->FrameOffset().X << "," << d->FrameOffset().Y;
        ASSERT_TRUE(ProcessEventsUntil([&] { return d->Host()->frameGeometry().topLeft() == centred; }, 20000))
            << d->Host()->frameGeometry().x() << "," << d->Host()->frameGeometry().y();
        EXPECT_EQ(TPoint(d->Left(), d->Top()), TPoint(centred.x(), centred.y()));
    });
    d->ShowModal();
    EXPECT_TRUE(answered);
    delete d;
    delete a;
    delete b;
}

TEST(WindowPlacementOnAServer, WithoutAWindowManager)
{
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "no xdotool to move windows";
    RunPeer("");
}

TEST(WindowPlacementOnAServer, WithAReparentingWindowManager)
{
    if (QStandardPaths::findExecutable("xdotool").isEmpty() || QStandardPaths::findExecutable("twm").isEmpty())
        GTEST_SKIP() << "no xdotool or twm";
    RunPeer("twm");
}
