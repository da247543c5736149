// Windows the toolkit or the window manager moves and activates: Left and
// Top follow the frame, the client origin adds the frame offset, activation
// goes from form to form once per change; the pointer placed by the program.
#include <gtest/gtest.h>

#include <vector>

#include <QCursor>
#include <QWidget>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {}
    std::vector<TPoint> Moves;  // WM_MOVE's client origins
    std::vector<TRect> Proposed;
    TPoint SnapTo{-1, -1};

    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_MOVE)
            Moves.push_back(TPoint{Message.XPos(), Message.YPos()});
        if (Message.Msg == WM_MOVING) {
            auto* r = reinterpret_cast<TRect*>(Message.LParam);
            Proposed.push_back(*r);
            if (SnapTo.X >= 0) {
                OffsetRect(*r, SnapTo.X - r->Left, SnapTo.Y - r->Top);
                Message.Result = 1;
            }
            return;
        }
        TForm::Dispatch(Message);
    }
};

TProbeForm* ShownAt(int Left, int Top)
{
    auto* f = Create<TProbeForm>(nullptr);
    f->SetBounds(Left, Top, 200, 120);
    f->Show();
    ProcessEvents();
    return f;
}

}  // namespace

TEST(WindowPlacement, AMoveByTheToolkitIsTheFormsNewPlace)
{
    EnsureApplication();
    TProbeForm* f = ShownAt(100, 100);
    // The frame went where it was asked for, the client a frame offset in.
    EXPECT_EQ(f->Left(), 100);
    EXPECT_EQ(f->Top(), 100);
    EXPECT_EQ(f->Host()->frameGeometry().topLeft(), QPoint(100, 100));
    const TPoint offset = f->FrameOffset();
    EXPECT_EQ(f->Host()->geometry().topLeft(), QPoint(100 + offset.X, 100 + offset.Y));
    EXPECT_TRUE(f->Moves.empty());

    f->Host()->move(400, 300);
    ProcessEvents();
    EXPECT_EQ(f->Left(), 400);
    EXPECT_EQ(f->Top(), 300);
    const TPoint client = TPoint{400, 300} + offset + f->ClientOffset();
    EXPECT_EQ(f->ClientOrigin(), client);
    EXPECT_EQ(f->ClientToScreen(TPoint{5, 7}), client + TPoint(5, 7));
    ASSERT_EQ(f->Moves.size(), 1u);
    EXPECT_EQ(f->Moves[0], client);
    ASSERT_EQ(f->Proposed.size(), 1u);
    EXPECT_EQ(f->Proposed[0].TopLeft(), TPoint(400, 300));
    // The pointer over the moved window reads in screen coordinates.
    MouseMove(f, {20, 10});
    EXPECT_EQ(GetCursorPos(), client + TPoint(20, 10));

    // A move the program makes itself reports nothing back as a move.
    f->SetBounds(50, 60, 200, 120);
    ProcessEvents();
    EXPECT_EQ(f->Left(), 50);
    EXPECT_EQ(f->Host()->frameGeometry().topLeft(), QPoint(50, 60));
    EXPECT_EQ(f->Moves.size(), 1u);
    delete f;
}

TEST(WindowPlacement, TheMovingHandlerMayPutTheWindowElsewhere)
{
    EnsureApplication();
    TProbeForm* f = ShownAt(100, 100);
    f->SnapTo = {0, 0};
    f->Host()->move(8, 5);
    ProcessEvents();
    EXPECT_EQ(f->Left(), 0);
    EXPECT_EQ(f->Top(), 0);
    EXPECT_EQ(f->Host()->frameGeometry().topLeft(), QPoint(0, 0));
    ASSERT_EQ(f->Proposed.size(), 1u);  // the snap itself is not a move again
    EXPECT_EQ(f->Proposed[0], TRect(8, 5, 8 + f->Host()->frameGeometry().width(),
                                    5 + f->Host()->frameGeometry().height()));
    delete f;
}

TEST(WindowPlacement, ActivationGoesFromFormToFormOncePerChange)
{
    EnsureApplication();
    std::vector<String> log;
    auto watch = [&log](TForm* F, const String& Name) {
        F->OnActivate = [&log, Name](TObject*) { log.push_back(Name + "+"); };
        F->OnDeactivate = [&log, Name](TObject*) { log.push_back(Name + "-"); };
    };
    auto* a = Create<TForm>(nullptr);
    auto* b = Create<TForm>(nullptr);
    watch(a, "a");
    watch(b, "b");
    a->SetBounds(0, 0, 100, 100);
    b->SetBounds(150, 0, 100, 100);
    a->Show();
    ProcessEvents();
    EXPECT_EQ(Screen->ActiveForm(), a);
    b->Show();
    ProcessEvents();
    EXPECT_EQ(log, (std::vector<String>{"a+", "a-", "b+"}));
    EXPECT_TRUE(b->Active());
    EXPECT_FALSE(a->Active());
    // The window manager activates the other one.
    log.clear();
    a->Host()->activateWindow();
    ProcessEvents();
    EXPECT_EQ(log, (std::vector<String>{"b-", "a+"}));
    EXPECT_EQ(Screen->ActiveForm(), a);
    // The same activation told twice changes nothing.
    log.clear();
    ActivateForm(a);
    EXPECT_TRUE(log.empty());
    // A modal form takes the activation and gives it back.
    auto* dialog = Create<TForm>(nullptr);
    watch(dialog, "d");
    SetModalHook([&](TCustomForm* F) {
        EXPECT_EQ(Screen->ActiveForm(), F);
        F->SetModalResult(mrOk);
    });
    dialog->ShowModal();
    SetModalHook(nullptr);
    EXPECT_EQ(log, (std::vector<String>{"a-", "d+", "d-", "a+"}));
    // Hiding the active form leaves none of them active.
    log.clear();
    a->Hide();
    EXPECT_EQ(log, std::vector<String>{"a-"});
    EXPECT_FALSE(a->Active());
    delete dialog;
    delete a;
    delete b;
}

TEST(WindowPlacement, SetCursorPosMovesThePointer)
{
    EnsureApplication();
    EXPECT_TRUE(SetCursorPos(123, 45));
    EXPECT_EQ(GetCursorPos(), TPoint(123, 45));
    EXPECT_EQ(QCursor::pos(), QPoint(123, 45));
    EXPECT_TRUE(SetCursorPos(-5, 7000));
    EXPECT_EQ(GetCursorPos(), TPoint(-5, 7000));
}
