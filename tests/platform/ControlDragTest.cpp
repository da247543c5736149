// Dragging a label onto other controls: accepted, refused, cancelled, and
// the threshold a press must pass before a drag begins.
#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

// A shown form with a label that begins a drag on a press, a panel that
// takes it and a panel that refuses it, each telling what it heard.
struct TDragForm {
    TForm* Form = Create<TForm>(nullptr);
    TLabel* Label = Create<TLabel>(Form);
    TPanel* Taker = Create<TPanel>(Form);
    TPanel* Refuser = Create<TPanel>(Form);
    TEdit* Edit = Create<TEdit>(Form);
    std::vector<String> Log;
    TObject* DroppedSource = nullptr;
    TPoint DropPoint{-1, -1};
    TObject* EndTarget = reinterpret_cast<TObject*>(1);
    TPoint EndPoint{-1, -1};
    int Starts = 0;
    int Clicks = 0;

    TDragForm()
    {
        EnsureApplication();
        Form->SetBounds(200, 100, 500, 300);
        Label->SetParent(Form);
        Label->SetBounds(10, 10, 80, 20);
        Label->SetCaption("Start");
        Label->SetDragCursor(crHandPoint);
        Label->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            if (B == mbLeft)
                Label->BeginDrag(false);
        };
        Label->OnStartDrag = [this](TObject*, TDragObject*&) { ++Starts; };
        Label->OnEndDrag = [this](TObject*, TObject* Target, int X, int Y) {
            EndTarget = Target;
            EndPoint = {X, Y};
        };
        Label->OnClick = [this](TObject*) { ++Clicks; };
        Taker->SetParent(Form);
        Taker->SetBounds(150, 10, 100, 100);
        Taker->OnDragOver = [this](TObject*, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
            Log.push_back("taker " + std::to_string(int(State)) + " " + std::to_string(X) + "," + std::to_string(Y));
            Accept = Source == Label;
        };
        Taker->OnDragDrop = [this](TObject*, TObject* Source, int X, int Y) {
            DroppedSource = Source;
            DropPoint = {X, Y};
        };
        Refuser->SetParent(Form);
        Refuser->SetBounds(300, 10, 100, 100);
        Refuser->OnDragOver = [this](TObject*, TObject*, int, int, TDragState State, bool& Accept) {
            Log.push_back("refuser " + std::to_string(int(State)));
            Accept = false;
        };
        Refuser->OnDragDrop = [this](TObject*, TObject*, int, int) { Log.push_back("refuser dropped"); };
        Edit->SetParent(Form);
        Edit->SetBounds(10, 200, 100, 21);
        Form->Show();
        Edit->SetFocus();
    }
    TDragForm(const TDragForm&) = delete;
    TDragForm& operator=(const TDragForm&) = delete;
    ~TDragForm() { delete Form; }
};

}  // namespace

TEST(ControlDrag, ALabelDroppedOnAControlThatTakesIt)
{
    TDragForm f;
    DragAndDrop(f.Label, {5, 5}, f.Taker, {30, 40});
    EXPECT_EQ(f.Starts, 1);
    EXPECT_EQ(f.DroppedSource, f.Label);
    EXPECT_EQ(f.DropPoint, TPoint(30, 40));
    EXPECT_EQ(f.EndTarget, f.Taker);
    EXPECT_EQ(f.EndPoint, TPoint(30, 40));
    ASSERT_FALSE(f.Log.empty());
    EXPECT_EQ(f.Log.front().substr(0, 8), "taker 0 ");  // entered
    EXPECT_EQ(f.Log.back().substr(0, 8), "taker 1 ");   // left as it dropped
    EXPECT_FALSE(f.Label->Dragging());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(f.Clicks, 0);
}

TEST(ControlDrag, ARefusingControlGetsNoDropAndTheCursorSaysSo)
{
    TDragForm f;
    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, f.Label->ScreenToClient(f.Taker->ClientToScreen({20, 20})), {ssLeft});
    EXPECT_EQ(Screen->Cursor(), crHandPoint);
    MouseMove(f.Label, f.Label->ScreenToClient(f.Refuser->ClientToScreen({20, 20})), {ssLeft});
    EXPECT_EQ(Screen->Cursor(), crNoDrop);
    MouseUp(f.Label, f.Label->ScreenToClient(f.Refuser->ClientToScreen({25, 25})));
    EXPECT_EQ(f.DroppedSource, nullptr);
    EXPECT_EQ(f.EndTarget, nullptr);
    EXPECT_EQ(f.EndPoint, TPoint(0, 0));
    // Leaving is told where the pointer is now, in the left control's terms.
    EXPECT_EQ(f.Log, (std::vector<String>{"taker 0 20,20", "taker 1 170,20", "refuser 0", "refuser 2", "refuser 1"}));
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(ControlDrag, EscCancelsAndTheReleaseIsOrdinary)
{
    TDragForm f;
    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, f.Label->ScreenToClient(f.Taker->ClientToScreen({20, 20})), {ssLeft});
    ASSERT_TRUE(f.Label->Dragging());
    KeyDown(f.Edit, VK_ESCAPE);
    KeyUp(f.Edit, VK_ESCAPE);
    EXPECT_FALSE(f.Label->Dragging());
    EXPECT_EQ(f.EndTarget, nullptr);
    EXPECT_EQ(f.Log.back(), "taker 1 20,20");
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_TRUE(f.Edit->Focused());
    MouseUp(f.Label, f.Label->ScreenToClient(f.Taker->ClientToScreen({20, 20})));
    EXPECT_EQ(f.DroppedSource, nullptr);

    // CancelDrag does the same from code.
    f.EndTarget = reinterpret_cast<TObject*>(1);
    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, {40, 40}, {ssLeft});
    CancelDrag();
    EXPECT_EQ(f.EndTarget, nullptr);
    MouseUp(f.Label, {40, 40});
    EXPECT_EQ(f.DroppedSource, nullptr);
}

TEST(ControlDrag, FourPixelsDoNotBeginADrag)
{
    TDragForm f;
    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, {9, 9}, {ssLeft});
    MouseMove(f.Label, {1, 1}, {ssLeft});
    EXPECT_EQ(f.Starts, 0);
    MouseUp(f.Label, {1, 1});
    // Still a click.
    EXPECT_EQ(f.Clicks, 1);
    EXPECT_EQ(f.EndTarget, reinterpret_cast<TObject*>(1));
    EXPECT_FALSE(f.Label->Dragging());

    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, {10, 5}, {ssLeft});
    EXPECT_EQ(f.Starts, 1);
    MouseUp(f.Label, {10, 5});
    EXPECT_EQ(f.Clicks, 1);
}

TEST(ControlDrag, AutomaticModeNeedsNoCode)
{
    TDragForm f;
    f.Label->OnMouseDown = nullptr;
    f.Label->SetDragMode(dmAutomatic);
    DragAndDrop(f.Label, {5, 5}, f.Taker, {50, 50});
    EXPECT_EQ(f.DroppedSource, f.Label);
    EXPECT_EQ(f.DropPoint, TPoint(50, 50));
}

TEST(ControlDrag, ADragObjectTravelsInsteadOfTheSource)
{
    TDragForm f;
    TDragObject object;
    f.Label->OnStartDrag = [&](TObject*, TDragObject*& D) { D = &object; };
    f.Taker->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = true; };
    DragAndDrop(f.Label, {5, 5}, f.Taker, {10, 10});
    EXPECT_EQ(f.DroppedSource, &object);
}

TEST(ControlDrag, ATargetFreedWhileDraggedOverIsForgotten)
{
    TDragForm f;
    NextClick();
    MouseDown(f.Label, {5, 5});
    MouseMove(f.Label, f.Label->ScreenToClient(f.Taker->ClientToScreen({20, 20})), {ssLeft});
    delete f.Taker;
    f.Taker = nullptr;
    MouseMove(f.Label, {30, 30}, {ssLeft});
    MouseUp(f.Label, {30, 30});
    EXPECT_EQ(f.DroppedSource, nullptr);
    EXPECT_EQ(f.EndTarget, nullptr);
}
