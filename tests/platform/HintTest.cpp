// Hints: the pause, the CM_HINTSHOWPAUSE and CM_HINTSHOW protocol, the
// cursor rectangle, OnShowHint, the window class, what hides a hint, and
// the hints of a tool button and of a toolkit edit.
#include <gtest/gtest.h>

#include <climits>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/ComCtrls.h"
#include "platform/ControlsPrivate.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TTestHintWindow : public THintWindow {
    VEK_DECLARE_CREATABLE_CLASS(TTestHintWindow, THintWindow)

public:
    using THintWindow::THintWindow;
};

void FireHintTimer(UINT_PTR Which) { SendMessage(HintTimerWindow(), WM_TIMER, Which); }
UINT HintTimer(UINT_PTR Which) { return TimerInterval(HintTimerWindow(), Which, false); }

// A form with a custom-drawn control that has a hint; what CM_HINTSHOW and
// CM_HINTSHOWPAUSE bring is kept, and Answer may change the hint.
struct THintScene {
    TForm* Form;
    TRecordingControl* Box;
    TRecordingControl* Plain;  // no hint
    std::vector<THintInfo> Asked;
    std::vector<std::pair<WPARAM, int>> Pauses;
    std::function<LRESULT(THintInfo&)> Answer;
    std::function<void(int&)> ChangePause;

    THintScene()
    {
        EnsureApplication();
        Application->CancelHint();
        Form = Create<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(100, 100, 300, 200);
        Box = Build<TRecordingControl>(Form, "Box").Parent(Form).Bounds(10, 10, 100, 50);
        Box->SetHint("Box hint|The long text of the box");
        Box->SetShowHint(true);
        Plain = Build<TRecordingControl>(Form, "Plain").Parent(Form).Bounds(150, 10, 100, 50);
        Box->OnMessage = [this](TMessage& M) {
            if (M.Msg == CM_HINTSHOW) {
                auto* info = reinterpret_cast<THintInfo*>(M.LParam);
                if (Answer)
                    M.Result = Answer(*info);
                Asked.push_back(*info);
                return true;
            }
            if (M.Msg == CM_HINTSHOWPAUSE) {
                int* pause = reinterpret_cast<int*>(M.LParam);
                if (ChangePause)
                    ChangePause(*pause);
                Pauses.emplace_back(M.WParam, *pause);
                return true;
            }
            return false;
        };
        Form->Show();
    }
    THintScene(const THintScene&) = delete;
    THintScene& operator=(const THintScene&) = delete;
    ~THintScene()
    {
        Application->CancelHint();
        Application->OnShowHint = nullptr;
        delete Form;
    }
    // Moves over the box and lets the pause run out.
    void ShowOverBox(TPoint P = {20, 20})
    {
        MouseMove(Box, P);
        FireHintTimer(HintShowTimer);
    }
};

}  // namespace

TEST(Hint, ACustomDrawnControlShowsItsHintAfterThePauseAndNotBefore)
{
    THintScene s;
    MouseMove(s.Box, {20, 20});
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(HintTimer(HintShowTimer), UINT(Application->HintPause()));
    ASSERT_EQ(s.Pauses.size(), 1U);
    EXPECT_EQ(s.Pauses[0], std::make_pair(WPARAM(0), Application->HintPause()));
    // Moving on inside the control does not start the pause again.
    MouseMove(s.Box, {30, 25});
    EXPECT_EQ(s.Pauses.size(), 1U);
    EXPECT_TRUE(s.Asked.empty());

    FireHintTimer(HintShowTimer);
    ASSERT_EQ(s.Asked.size(), 1U);
    const THintInfo& info = s.Asked[0];
    EXPECT_EQ(info.HintControl, s.Box);
    EXPECT_EQ(info.HintStr, "Box hint");
    EXPECT_EQ(info.CursorRect, s.Box->ClientRect());
    EXPECT_EQ(info.CursorPos, TPoint(30, 25));
    EXPECT_EQ(info.HideTimeout, Application->HintHidePause());
    EXPECT_EQ(info.ReshowTimeout, 0);
    EXPECT_EQ(info.HintWindowClass, THintWindow::StaticClassInfo());
    THintWindow* w = Application->ShownHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), "Box hint");
    EXPECT_EQ(w->Color(), clInfoBk);
    // Below the pointer.
    const TPoint pointer = s.Box->ClientToScreen({30, 25});
    EXPECT_EQ(w->Left(), pointer.X);
    EXPECT_GT(w->Top(), pointer.Y);
    EXPECT_EQ(HintTimer(HintHideTimer), UINT(Application->HintHidePause()));
    // The hide pause runs out.
    FireHintTimer(HintHideTimer);
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);

    // A control without ShowHint shows nothing and cancels the pause.
    MouseMove(s.Plain, {5, 5});
    EXPECT_EQ(HintTimer(HintShowTimer), 0U);
}

TEST(Hint, CmHintShowChangesTheHintOrRefusesIt)
{
    THintScene s;
    s.Answer = [](THintInfo& I) {
        I.HintStr = "Cell 1";
        I.CursorRect = {0, 0, 50, 50};
        I.HintPos = {400, 300};
        I.HintColor = clYellow;
        I.HintWindowClass = TTestHintWindow::StaticClassInfo();
        return LRESULT(0);
    };
    s.ShowOverBox({20, 20});
    THintWindow* w = Application->ShownHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(Is<TTestHintWindow>(w));
    EXPECT_EQ(w->Caption(), "Cell 1");
    EXPECT_EQ(w->BoundsRect().TopLeft(), TPoint(400, 300));
    EXPECT_EQ(w->Color(), clYellow);

    // Inside the cursor rectangle nothing changes; leaving it hides the hint
    // and asks again after the short pause.
    MouseMove(s.Box, {45, 45});
    EXPECT_EQ(s.Pauses.size(), 1U);
    MouseMove(s.Box, {60, 20});
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    ASSERT_EQ(s.Pauses.size(), 2U);
    EXPECT_EQ(s.Pauses[1], std::make_pair(WPARAM(1), Application->HintShortPause()));
    EXPECT_EQ(HintTimer(HintShowTimer), UINT(Application->HintShortPause()));
    s.Answer = [](THintInfo& I) {
        I.HintStr = "Cell 2";
        return LRESULT(0);
    };
    FireHintTimer(HintShowTimer);
    EXPECT_EQ(s.Asked.size(), 2U);
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(Application->ShownHintWindow()->Caption(), "Cell 2");
    // Back to the plain class.
    EXPECT_FALSE(Is<TTestHintWindow>(Application->ShownHintWindow()));

    // A refusal shows nothing.
    Application->CancelHint();
    s.Answer = [](THintInfo&) { return LRESULT(1); };
    s.ShowOverBox();
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    // A pause of 0 (CM_HINTSHOWPAUSE) asks at once.
    Application->CancelHint();
    s.Answer = nullptr;
    s.ChangePause = [](int& P) { P = 0; };
    MouseMove(s.Box, {20, 20});
    EXPECT_NE(Application->ShownHintWindow(), nullptr);
}

TEST(Hint, APressAKeyAndCancelHintHideIt)
{
    THintScene s;
    s.ShowOverBox();
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    Click(s.Box, {20, 20});
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(HintTimer(HintShowTimer), 0U);

    NextClick();
    s.ShowOverBox({21, 20});
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    KeyDown(s.Form, 'A', "a");
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);

    s.ShowOverBox({22, 20});
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    Application->CancelHint();
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    // The pause is not running again by itself.
    EXPECT_EQ(HintTimer(HintShowTimer), 0U);
}

TEST(Hint, OnShowHintMayChangeTheHintOrRefuseIt)
{
    THintScene s;
    Application->OnShowHint = [](String& Str, bool&, THintInfo& Info) {
        Str = "From the application";
        Info.ReshowTimeout = INT_MAX;
    };
    s.ShowOverBox();
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(Application->ShownHintWindow()->Caption(), "From the application");
    // Not re-shown, and so not hidden, by time.
    EXPECT_EQ(HintTimer(HintReshowTimer), UINT(INT_MAX));
    EXPECT_EQ(HintTimer(HintHideTimer), 0U);

    Application->CancelHint();
    Application->OnShowHint = [](String&, bool& CanShow, THintInfo&) { CanShow = false; };
    s.ShowOverBox();
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
}

TEST(Hint, AToolButtonAndAToolkitEditShowTheirHints)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(50, 50, 300, 200);
    auto* bar = Build<TToolBar>(form, "Bar").Parent(form).Align(alTop).Get();
    auto* button = Build<TToolButton>(form, "Button").Parent(bar).Get();
    button->SetHint("Open a plan");
    button->SetShowHint(true);
    auto* edit = Build<TEdit>(form, "Edit").Parent(form).Bounds(10, 100, 120, 22).Get();
    edit->SetHint("Type a name");
    edit->SetShowHint(true);
    form->Show();

    MouseMove(button, {3, 3});
    FireHintTimer(HintShowTimer);
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(Application->ShownHintWindow()->Caption(), "Open a plan");
    Application->CancelHint();

    // The edit's hint comes through the same protocol, not the toolkit's
    // tool tip.
    QWidget* native = edit->NativeWidget();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(native->toolTip().isEmpty());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(native, &enter);
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &move);
    FireHintTimer(HintShowTimer);
    ASSERT_NE(Application->ShownHintWindow(), nullptr);
    EXPECT_EQ(Application->ShownHintWindow()->Caption(), "Type a name");
    Application->CancelHint();
    delete form;
}

TEST(Hint, AHintUnderThePointerPassesThePointerOnAndStays)
{
    // Some window systems give the pointer to the hint window that appears
    // under it, though it takes no input, and tell the control it left.
    THintScene s;
    s.Box->RecordMoves = true;
    s.Answer = [&s](THintInfo& I) {
        I.HintPos = s.Box->ClientToScreen({15, 15});
        I.HintStr = "A hint long enough to reach well past the box";
        return LRESULT(0);
    };
    s.ShowOverBox();
    THintWindow* w = Application->ShownHintWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->HandleAllocated());
    const TPoint at = s.Box->ClientToScreen({22, 20});
    ASSERT_TRUE(w->BoundsRect().Contains(at));
    const auto moveOnHint = [w](TPoint Screen) {
        const QPointF global(Screen.X, Screen.Y);
        QMouseEvent move(QEvent::MouseMove, w->Host()->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(w->Host(), &move);
    };
    s.Box->Log.clear();
    moveOnHint(at);
    EXPECT_EQ(Application->ShownHintWindow(), w);
    ASSERT_FALSE(s.Box->Log.empty());
    EXPECT_EQ(s.Box->Log.back().Msg, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(TPoint(s.Box->Log.back().XPos(), s.Box->Log.back().YPos()), TPoint(22, 20));
    EXPECT_EQ(HoverControl(), s.Box);

    // Off the box, still over the hint: the hint goes.
    const TPoint outside = s.Box->ClientToScreen({105, 20});
    ASSERT_TRUE(w->BoundsRect().Contains(outside));
    moveOnHint(outside);
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
}
