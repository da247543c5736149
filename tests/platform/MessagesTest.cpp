// Message order of real input on real controls, posted and sent messages,
// and exceptions at the loop's entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <thread>

#include <QCoreApplication>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

struct FormWithTwo {
    TForm* Form;
    TRecordingControl* A;
    TRecordingControl* B;
    FormWithTwo()
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(50, 40, 400, 300);
        A = Create<TRecordingControl>(Form);
        A->SetParent(Form);
        A->SetBounds(10, 10, 100, 80);
        B = Create<TRecordingControl>(Form);
        B->SetParent(Form);
        B->SetBounds(200, 10, 100, 80);
        Form->Show();
        A->Log.clear();
        B->Log.clear();
    }
    ~FormWithTwo()
    {
        ReleaseCapture();
        delete Form;
    }
};

using Msgs = std::vector<UINT>;

// The messages C got that are among Wanted, in their order.
Msgs Only(const TRecordingControl* C, std::initializer_list<UINT> Wanted)
{
    Msgs out;
    for (UINT m : C->Messages())
        if (std::find(Wanted.begin(), Wanted.end(), m) != Wanted.end())
            out.push_back(m);
    return out;
}

}  // namespace

TEST(Messages, ClickOrder)
{
    FormWithTwo f;
    int clicks = 0;
    f.A->OnClick = [&](TObject*) { ++clicks; };
    Click(f.A, {5, 6});
    // Capture is taken on the press, so the release needs no hit test.
    EXPECT_EQ(f.A->Messages(), (Msgs{WM_NCHITTEST, WM_SETCURSOR, CM_MOUSEENTER, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                     WM_CAPTURECHANGED}));
    EXPECT_EQ(f.A->Log[3].Pos(), TPoint(5, 6));
    EXPECT_EQ(f.A->Log[3].Keys() & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(f.A->Log[4].Keys() & MK_LBUTTON, 0u);
    EXPECT_EQ(f.A->Log[1].CursorHitTest(), HTCLIENT);
    EXPECT_EQ(f.A->Log[1].MouseMsg(), WM_LBUTTONDOWN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(Messages, DoubleClickOrder)
{
    FormWithTwo f;
    int dbl = 0;
    f.A->OnDblClick = [&](TObject*) { ++dbl; };
    DoubleClick(f.A, {5, 6});
    const auto buttons = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    EXPECT_EQ(Only(f.A, buttons), (Msgs{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(dbl, 1);

    // Two presses far apart in time are two clicks.
    f.A->Log.clear();
    Click(f.A, {5, 6});
    Click(f.A, {5, 6});
    EXPECT_EQ(Only(f.A, buttons), (Msgs{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST(Messages, DragWithCaptureStaysWithTheControl)
{
    FormWithTwo f;
    f.A->RecordMoves = true;
    NextClick();
    MouseDown(f.A, {50, 40});
    EXPECT_EQ(GetCaptureControl(), f.A);
    EXPECT_EQ(GetCapture(), f.A->Handle());
    // Over B, outside A: the moves still go to A, in A's coordinates.
    MouseMove(f.B, {10, 10});
    MouseMove(f.A, {-30, 200});
    MouseUp(f.A, {-30, 200});
    EXPECT_TRUE(f.B->Log.empty());
    Msgs after;
    const std::size_t down = 3;
    ASSERT_EQ(f.A->Log[down].Msg, UINT(WM_LBUTTONDOWN));
    for (std::size_t i = down + 1; i < f.A->Log.size(); ++i)
        after.push_back(f.A->Log[i].Msg);
    EXPECT_EQ(after, (Msgs{WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP, WM_CAPTURECHANGED}));
    EXPECT_EQ(f.A->Log[down + 1].Pos(), TPoint(200, 10));  // B's (10,10) seen from A
    EXPECT_EQ(f.A->Log[down + 2].Pos(), TPoint(-30, 200));
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(Messages, WheelGoesToTheControlUnderThePointer)
{
    FormWithTwo f;
    int delta = 0;
    TPoint where;
    f.B->OnMouseWheel = [&](TObject*, TShiftState, int D, TPoint P, bool& Handled) {
        delta += D;
        where = P;
        Handled = true;
    };
    Wheel(f.B, {20, 30}, -120);
    EXPECT_TRUE(f.A->Log.empty());
    ASSERT_EQ(f.B->Messages(), (Msgs{CM_MOUSEWHEEL}));
    EXPECT_EQ(f.B->Log[0].WheelDelta(), -120);
    EXPECT_EQ(delta, -120);
    EXPECT_EQ(where, f.B->ClientToScreen({20, 30}));  // screen coordinates
    // Not handled: the parent is asked next.
    bool formAsked = false;
    f.Form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& Handled) { formAsked = Handled = true; };
    Wheel(f.A, {1, 1}, 240);
    EXPECT_TRUE(formAsked);
}

TEST(Messages, EnterAndLeaveFollowThePointer)
{
    FormWithTwo f;
    MouseMove(f.A, {1, 1});
    MouseMove(f.A, {2, 2});
    MouseMove(f.B, {1, 1});
    EXPECT_EQ(Only(f.A, {CM_MOUSEENTER, CM_MOUSELEAVE}), (Msgs{CM_MOUSEENTER, CM_MOUSELEAVE}));
    EXPECT_EQ(Only(f.B, {CM_MOUSEENTER, CM_MOUSELEAVE}), (Msgs{CM_MOUSEENTER}));
}

TEST(Messages, ContextMenuComesAfterTheRightButtonIsReleased)
{
    FormWithTwo f;
    TPoint popupAt{-1, -1};
    f.A->OnContextPopup = [&](TObject*, TPoint P, bool& Handled) {
        popupAt = P;
        Handled = true;
    };
    Click(f.A, {7, 8}, mbRight);
    EXPECT_EQ(Only(f.A, {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}), (Msgs{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}));
    EXPECT_EQ(popupAt, TPoint(7, 8));
}

TEST(Messages, KeysAndFocus)
{
    FormWithTwo f;
    int enters = 0, exits = 0;
    f.A->OnEnter = [&](TObject*) { ++enters; };
    f.A->OnExit = [&](TObject*) { ++exits; };
    f.A->SetFocus();
    EXPECT_EQ(f.A->Messages(), (Msgs{CM_ENTER, WM_SETFOCUS}));
    EXPECT_EQ(Screen->ActiveControl(), f.A);
    EXPECT_EQ(f.Form->ActiveControl(), f.A);
    f.A->Log.clear();

    Word downKey = 0;
    WideChar typed = 0;
    f.A->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        downKey = Key;
        EXPECT_LT(GetKeyState('A'), 0);
    };
    f.A->OnKeyPress = [&](TObject*, WideChar& Key) { typed = Key; };
    KeyDown(f.A, 'A', "a");
    KeyUp(f.A, 'A');
    EXPECT_EQ(f.A->Messages(), (Msgs{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(downKey, Word('A'));
    EXPECT_EQ(typed, u'a');
    EXPECT_GE(GetKeyState('A'), 0);
    EXPECT_TRUE(f.B->Log.empty());
    // A handler that clears the key stops it.
    f.A->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
    TMessage m(WM_KEYDOWN, VK_DOWN);
    f.A->WndProc(m);
    EXPECT_EQ(m.CharCode(), 0);
    KeyDown(f.A, VK_DOWN);
    EXPECT_EQ(f.A->Log.back().CharCode(), VK_DOWN);
    KeyUp(f.A, VK_DOWN);

    f.A->Log.clear();
    f.B->SetFocus();
    EXPECT_EQ(f.A->Messages(), (Msgs{CM_EXIT, WM_KILLFOCUS}));
    EXPECT_EQ(f.B->Messages(), (Msgs{CM_ENTER, WM_SETFOCUS}));
    EXPECT_EQ(f.A->Log[1].FocusedWnd(), f.B->Handle());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
}

TEST(Messages, PostedMessagesAreQueuedAndDroppedWhenTheWindowWent)
{
    FormWithTwo f;
    const HWND h = f.A->Handle();
    EXPECT_TRUE(PostMessage(h, WM_USER + 1, 1, 2));
    EXPECT_TRUE(PostMessage(h, WM_USER + 2, 3, 4));
    EXPECT_TRUE(f.A->Log.empty());  // queued, not sent
    ProcessEvents();
    ASSERT_EQ(f.A->Messages(), (Msgs{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(f.A->Log[1].LParam, 4);

    EXPECT_TRUE(PostMessage(h, WM_USER + 3));
    f.A->DestroyHandle();
    ProcessEvents();
    EXPECT_EQ(f.A->Log.size(), 2u);
    EXPECT_FALSE(PostMessage(h, WM_USER + 4));
    EXPECT_EQ(SendMessage(h, WM_USER + 5), 0);
}

TEST(Messages, SendFromAnotherThreadWaitsForTheGuiThread)
{
    FormWithTwo f;
    const auto gui = std::this_thread::get_id();
    std::thread::id handledOn;
    f.A->OnMessage = [&](TMessage& M) {
        if (M.Msg != WM_USER + 7)
            return false;
        handledOn = std::this_thread::get_id();
        M.Result = LRESULT(M.WParam * 2);
        return true;
    };
    const HWND h = f.A->Handle();
    std::atomic<bool> done{false};
    LRESULT result = 0;
    std::thread worker([&] {
        result = SendMessage(h, WM_USER + 7, 21);
        done = true;
    });
    EXPECT_TRUE(WaitPumpingSentMessages([&] { return done.load(); }, 5000));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handledOn, gui);
}

TEST(Messages, SendFromAnotherThreadTellsWhetherItWasHandled)
{
    FormWithTwo f;
    const HWND h = f.A->Handle();
    std::atomic<int> state{0};  // 1: handled, 2: refused
    std::thread worker([&] {
        LRESULT r = 0;
        const bool handled = TrySendMessage(h, WM_USER + 8, 0, 0, &r);
        state = handled ? 1 : 2;
    });
    EXPECT_TRUE(WaitPumpingSentMessages([&] { return state.load() != 0; }, 5000));
    worker.join();
    EXPECT_EQ(state.load(), 1);
    EXPECT_EQ(Only(f.A, {WM_USER + 8}), (Msgs{WM_USER + 8}));
    f.A->DestroyHandle();
    std::thread late([&] { state = TrySendMessage(h, WM_USER + 9, 0, 0) ? 1 : 2; });
    late.join();
    EXPECT_EQ(state.load(), 2);
}

// Without a Qt application there is no loop to carry a message to the thread
// that owns the windows: the main thread delivers, any other gets nothing.
TEST(Messages, WithoutAnApplicationOnlyTheMainThreadDelivers)
{
    if (QCoreApplication::instance()) {
        // An earlier test of this process made one: ask a fresh process.
        std::string exe = "/proc/self/exe";
        std::string filter = "--gtest_filter=Messages.WithoutAnApplicationOnlyTheMainThreadDelivers";
        char* argv[] = {exe.data(), filter.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = -1;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return;
    }
    std::atomic<int> handled{0};
    std::thread::id handledOn;
    const HWND h = AllocateHWnd([&](TMessage& M) {
        ++handled;
        handledOn = std::this_thread::get_id();
        M.Result = 7;
    });
    EXPECT_EQ(SendMessage(h, WM_USER + 1), 7);
    LRESULT r = 0;
    EXPECT_TRUE(TrySendMessage(h, WM_USER + 1, 0, 0, &r));
    EXPECT_EQ(r, 7);
    EXPECT_EQ(handled.load(), 2);

    LRESULT fromWorker = -1;
    bool tried = true;
    std::thread worker([&] {
        fromWorker = SendMessage(h, WM_USER + 2);
        tried = TrySendMessage(h, WM_USER + 3, 0, 0, &r);
    });
    worker.join();
    EXPECT_EQ(fromWorker, 0);
    EXPECT_FALSE(tried);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(handled.load(), 2);
    EXPECT_EQ(handledOn, std::this_thread::get_id());

    DeallocateHWnd(h);
    EXPECT_FALSE(TrySendMessage(h, WM_USER + 4, 0, 0));
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

TEST(Messages, ExceptionInAnInputHandlerGoesToOnException)
{
    FormWithTwo f;
    String caught;
    Application->OnException = [&](TObject*, Exception& E) { caught = E.Message; };
    f.A->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw EConvertError("bad press"); };
    EXPECT_NO_THROW(Click(f.A, {1, 1}));
    EXPECT_EQ(caught, "bad press");
    // Posted messages too, and the queue goes on after.
    caught.clear();
    f.A->OnMessage = [](TMessage& M) {
        if (M.Msg == WM_USER + 1)
            throw std::runtime_error("bad post");
        return false;
    };
    PostMessage(f.A->Handle(), WM_USER + 1);
    PostMessage(f.A->Handle(), WM_USER + 2);
    f.A->Log.clear();
    ProcessEvents();
    EXPECT_EQ(caught, "bad post");
    EXPECT_EQ(f.A->Messages(), (Msgs{WM_USER + 1, WM_USER + 2}));
    Application->OnException = nullptr;
}

TEST(Messages, RegisteredMessagesAreStablePerName)
{
    const UINT a = RegisterWindowMessage("VekShowInstance");
    EXPECT_EQ(RegisterWindowMessage("VekShowInstance"), a);
    EXPECT_NE(RegisterWindowMessage("VekOther"), a);
    EXPECT_GE(a, 0xC000u);
}
