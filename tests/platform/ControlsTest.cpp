// Controls without and with windows: geometry, alignment, fonts, painting.
#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TPlainPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

class TBox : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TColor Fill = clLime;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }
};

}  // namespace

TEST(Controls, NeverShownNeverMakesAWindow)
{
    // Works before any Qt application exists in a process, and stays cheap.
    auto* form = Create<TForm>(nullptr);
    std::vector<TRecordingControl*> many;
    for (int i = 0; i < 2000; ++i) {
        auto* c = Create<TRecordingControl>(form);
        c->SetParent(form);
        c->SetBounds(i, i, 50, 40);
        c->SetAlign(i % 2 ? alTop : alNone);
        c->Invalidate();
        c->Perform(WM_USER + 1, 1, 2);
        many.push_back(c);
    }
    form->Realign();
    EXPECT_EQ(form->ControlCount(), 2000);
    for (TRecordingControl* c : many)
        ASSERT_FALSE(c->HandleAllocated());
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_EQ(many[3]->ClientRect(), TRect(0, 0, many[3]->Width(), 40));
    delete form;
}

TEST(Controls, BringToFrontPutsAControlAboveItsSiblings)
{
    auto* form = Create<TForm>(nullptr);
    auto* below = Create<TGraphicControl>(form);
    auto* above = Create<TGraphicControl>(form);
    below->SetParent(form);
    above->SetParent(form);
    below->SetBounds(0, 0, 50, 50);
    above->SetBounds(20, 20, 50, 50);
    // Where they overlap the later sibling is hit first...
    EXPECT_EQ(form->ControlAtPos(TPoint{30, 30}), above);
    below->BringToFront();
    // ...until the other one is brought to the front; the rest keep their order.
    EXPECT_EQ(form->ControlAtPos(TPoint{30, 30}), below);
    EXPECT_EQ(form->ControlAtPos(TPoint{60, 60}), above);
    EXPECT_EQ(form->Controls(form->ControlCount() - 1), below);
    delete form;
}

TEST(Controls, AlignFollowsTheLibraryOrder)
{
    auto* parent = Create<TPlainPanel>(nullptr);
    parent->SetBounds(0, 0, 400, 300);
    auto make = [&](TAlign a, int w, int h, int top = 0) {
        auto* c = Create<TPlainPanel>(parent);
        c->SetBounds(0, top, w, h);
        c->SetParent(parent);
        c->SetAlign(a);
        return c;
    };
    TPlainPanel* client = make(alClient, 10, 10);
    TPlainPanel* right = make(alRight, 50, 10);
    TPlainPanel* left = make(alLeft, 40, 10);
    TPlainPanel* bottom = make(alBottom, 10, 30);
    TPlainPanel* top2 = make(alTop, 10, 25, 100);  // below the first top one
    TPlainPanel* top1 = make(alTop, 10, 20, 0);
    TPlainPanel* fixed = make(alNone, 7, 8, 6);  // not aligned: stays where it was put
    EXPECT_EQ(top1->BoundsRect(), TRect(0, 0, 400, 20));
    EXPECT_EQ(top2->BoundsRect(), TRect(0, 20, 400, 45));
    EXPECT_EQ(bottom->BoundsRect(), TRect(0, 270, 400, 300));
    EXPECT_EQ(left->BoundsRect(), TRect(0, 45, 40, 270));
    EXPECT_EQ(right->BoundsRect(), TRect(350, 45, 400, 270));
    EXPECT_EQ(client->BoundsRect(), TRect(40, 45, 350, 270));
    EXPECT_EQ(fixed->BoundsRect(), TRect(0, 6, 7, 14));

    // Resizing the parent realigns; hiding one gives its room to the others.
    parent->SetBounds(0, 0, 500, 300);
    EXPECT_EQ(client->BoundsRect(), TRect(40, 45, 450, 270));
    EXPECT_EQ(right->BoundsRect(), TRect(450, 45, 500, 270));
    EXPECT_EQ(fixed->BoundsRect(), TRect(0, 6, 7, 14));
    left->Hide();
    EXPECT_EQ(client->BoundsRect(), TRect(0, 45, 450, 270));
    top1->Hide();
    EXPECT_EQ(top2->Top(), 0);
    // Too small a parent gives empty, never negative, sizes.
    parent->SetBounds(0, 0, 30, 30);
    EXPECT_GE(client->Width(), 0);
    EXPECT_GE(client->Height(), 0);
    delete parent;
}

TEST(Controls, ParentFontFollowsUntilChanged)
{
    auto* parent = Create<TPlainPanel>(nullptr);
    auto* child = Create<TPlainPanel>(parent);
    auto* grandChild = Create<TBox>(parent);
    child->SetParent(parent);
    grandChild->SetParent(child);
    parent->Font()->SetSize(14);
    EXPECT_EQ(child->Font()->Size(), 14);
    EXPECT_EQ(grandChild->Font()->Size(), 14);
    EXPECT_TRUE(child->ParentFont());
    child->Font()->SetSize(9);
    EXPECT_FALSE(child->ParentFont());
    EXPECT_EQ(grandChild->Font()->Size(), 9);
    parent->Font()->SetSize(20);
    EXPECT_EQ(child->Font()->Size(), 9);
    child->SetParentFont(true);
    EXPECT_EQ(child->Font()->Size(), 20);

    // Colour: the same rule, opt-in.
    grandChild->SetParentColor(true);
    child->SetColor(clYellow);
    EXPECT_EQ(grandChild->Color(), clYellow);
    grandChild->SetColor(clNavy);
    EXPECT_FALSE(grandChild->ParentColor());
    child->SetColor(clRed);
    EXPECT_EQ(grandChild->Color(), clNavy);
    delete parent;
}

TEST(Controls, PaintToDrawsClientBorderAndWindowlessChildrenWithoutAWindow)
{
    EnsureApplication();
    auto* c = Create<TRecordingControl>(nullptr);
    c->SetBounds(0, 0, 60, 40);
    c->SetBorderStyle(bsSingle);
    c->PaintColor = clRed;
    auto* box = Create<TBox>(c);
    box->SetParent(c);
    box->SetBounds(10, 5, 8, 6);
    EXPECT_EQ(c->ClientRect(), TRect(0, 0, 56, 36));  // a 2-pixel edge

    TBitmap bmp;
    c->PaintTo(&bmp);
    EXPECT_FALSE(c->HandleAllocated());
    ASSERT_EQ(bmp.Width(), 60);
    TCanvas* cv = bmp.Canvas();
    EXPECT_EQ(cv->Pixels(2, 2), clRed);          // client corner
    EXPECT_EQ(cv->Pixels(57, 37), clRed);        // last client pixel
    EXPECT_NE(cv->Pixels(0, 0), clRed);          // the edge
    EXPECT_EQ(cv->Pixels(2 + 10, 2 + 5), clLime);  // child, at client + its position
    EXPECT_EQ(cv->Pixels(2 + 17, 2 + 10), clLime);
    EXPECT_EQ(cv->Pixels(2 + 18, 2 + 5), clRed);   // just past the child
    delete c;
}

TEST(Controls, ShownControlPaintsIntoItsBackBuffer)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(10, 10, 200, 150);
    auto* c = Create<TRecordingControl>(form);
    c->SetParent(form);
    c->SetBounds(5, 5, 50, 30);
    c->PaintColor = clBlue;
    EXPECT_FALSE(c->HandleAllocated());
    form->Show();
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_TRUE(c->HandleAllocated());
    c->Update();
    ASSERT_NE(c->BackBuffer(), nullptr);
    EXPECT_EQ(c->BackBuffer()->Width(), 50);
    EXPECT_EQ(c->BackBuffer()->Canvas()->Pixels(49, 29), clBlue);

    // Destroying the window keeps the control; a new one comes on demand.
    c->DestroyHandle();
    EXPECT_FALSE(c->HandleAllocated());
    EXPECT_EQ(c->Width(), 50);
    c->HandleNeeded();
    EXPECT_TRUE(c->HandleAllocated());
    const HWND h = c->Handle();
    c->RecreateWnd();
    EXPECT_NE(c->Handle(), h);  // handles are never reused
    EXPECT_EQ(FindControl(h), nullptr);
    delete form;
}

TEST(Controls, SizeMessageIsSynchronousAndCoordinatesMap)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(100, 50, 300, 200);
    auto* c = Create<TRecordingControl>(form);
    c->SetParent(form);
    c->SetBounds(10, 20, 80, 60);
    c->Log.clear();
    c->SetBounds(10, 20, 90, 60);
    ASSERT_EQ(c->Messages(), (std::vector<UINT>{WM_SIZE}));
    EXPECT_EQ(c->Log[0].Width(), 90);
    EXPECT_EQ(c->Log[0].Height(), 60);
    c->Log.clear();
    c->SetBounds(15, 20, 90, 60);  // a move alone is no size change
    EXPECT_TRUE(c->Log.empty());
    const TPoint origin = form->ClientToScreen({15, 20});
    EXPECT_EQ(c->ClientToScreen({1, 2}), origin + TPoint(1, 2));
    EXPECT_EQ(c->ScreenToClient(origin), TPoint(0, 0));
    delete form;
}
