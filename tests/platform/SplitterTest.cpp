// A splitter resizing the control it is aligned against.
#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Parent 400 x 300 with a side panel of 100 aligned to A, the splitter next
// to it and a client panel for the rest; freed with the layout.
struct TSplitLayout {
    TPanel* Parent = Create<TPanel>(nullptr);
    TPanel* Side = Create<TPanel>(Parent);
    TSplitter* Splitter = Create<TSplitter>(Parent);
    TPanel* Rest = Create<TPanel>(Parent);

    explicit TSplitLayout(TAlign A)
    {
        Parent->SetBevelOuter(bvNone);
        Parent->SetBounds(0, 0, 400, 300);
        Side->SetParent(Parent);
        Side->SetBounds(0, 0, 100, 100);
        Side->SetAlign(A);
        Splitter->SetAlign(A);
        // Placed just past the panel, as a designer drops it.
        if (A == alLeft)
            Splitter->SetBounds(100, 0, 3, 300);
        else if (A == alRight)
            Splitter->SetBounds(Side->Left() - 3, 0, 3, 300);
        else if (A == alTop)
            Splitter->SetBounds(0, 100, 400, 3);
        else
            Splitter->SetBounds(0, Side->Top() - 3, 400, 3);
        Splitter->SetParent(Parent);
        Rest->SetParent(Parent);
        Rest->SetAlign(alClient);
    }
    TSplitLayout(const TSplitLayout&) = delete;
    TSplitLayout& operator=(const TSplitLayout&) = delete;
    ~TSplitLayout() { delete Parent; }
};

}  // namespace

TEST(Splitter, FindsItsNeighbourOnEverySide)
{
    for (TAlign a : {alLeft, alRight, alTop, alBottom}) {
        TSplitLayout l(a);
        EXPECT_EQ(l.Splitter->FindControl(), l.Side) << int(a);
        // Moving towards the rest grows a left or top panel, shrinks the others.
        ASSERT_TRUE(l.Splitter->MoveBy(20));
        const int size = a == alLeft || a == alRight ? l.Side->Width() : l.Side->Height();
        EXPECT_EQ(size, a == alLeft || a == alTop ? 120 : 80) << int(a);
        // The splitter stays against its panel.
        EXPECT_EQ(l.Splitter->FindControl(), l.Side) << int(a);
    }
}

TEST(Splitter, DragStaysWithinMinSizeOnBothSides)
{
    EnsureApplication();
    TSplitLayout l(alLeft);
    l.Splitter->SetMinSize(50);
    l.Splitter->SetAutoSnap(false);
    int moved = 0;
    l.Splitter->OnMoved = [&](TObject*) { ++moved; };
    // Dragged by the mouse: 100 -> 160.
    MouseDown(l.Splitter, {1, 10});
    MouseMove(l.Splitter, {61, 10}, TShiftState{ssLeft});
    EXPECT_EQ(l.Side->Width(), 160);
    EXPECT_EQ(l.Rest->Left(), 163);
    EXPECT_EQ(moved, 1);
    // Far to the left: stops at MinSize.
    MouseMove(l.Splitter, {-500, 10}, TShiftState{ssLeft});
    EXPECT_EQ(l.Side->Width(), 50);
    // Far to the right: the rest keeps MinSize (400 - 3 - 50).
    MouseMove(l.Splitter, {1000, 10}, TShiftState{ssLeft});
    MouseUp(l.Splitter, {1000, 10});
    EXPECT_EQ(l.Side->Width(), 347);
    EXPECT_EQ(l.Rest->Width(), 50);
    EXPECT_EQ(moved, 3);
}

TEST(Splitter, AutoSnapClosesOnlyBelowMinSize)
{
    TSplitLayout l(alTop);
    l.Splitter->SetMinSize(40);
    ASSERT_TRUE(l.Splitter->MoveBy(-60));  // exactly MinSize: stays open
    EXPECT_EQ(l.Side->Height(), 40);
    ASSERT_TRUE(l.Splitter->MoveBy(-1));
    EXPECT_EQ(l.Side->Height(), 0);
}

TEST(Splitter, OnCanResizeMayRefuseOrChangeTheSize)
{
    TSplitLayout l(alRight);
    int moved = 0;
    l.Splitter->OnMoved = [&](TObject*) { ++moved; };
    l.Splitter->OnCanResize = [](TObject*, int& NewSize, bool& Accept) {
        if (NewSize > 150)
            Accept = false;
        else
            NewSize = NewSize / 10 * 10;
    };
    EXPECT_FALSE(l.Splitter->MoveBy(-100));  // 200: refused
    EXPECT_EQ(l.Side->Width(), 100);
    EXPECT_TRUE(l.Splitter->MoveBy(-37));  // 137 -> 130
    EXPECT_EQ(l.Side->Width(), 130);
    EXPECT_EQ(l.Side->Left() + l.Side->Width(), 400);  // still at the right
    // A handler asking for more than there is gets what there is.
    l.Splitter->OnCanResize = [](TObject*, int& NewSize, bool&) { NewSize = 100000; };
    EXPECT_TRUE(l.Splitter->MoveBy(-1));
    EXPECT_EQ(l.Side->Width(), 400 - 3 - l.Splitter->MinSize());
    EXPECT_EQ(moved, 2);
}

TEST(Splitter, AnOverriddenNeighbourIsWhatMovesAndDragsResize)
{
    // Resizes the control named as its neighbour, whatever touches it.
    class TPickingSplitter : public TSplitter {
    public:
        explicit TPickingSplitter(TComponent* AOwner) : TSplitter(AOwner) {}
        TControl* Picked = nullptr;
        TControl* FindControl() override { return Picked; }
    };
    EnsureApplication();
    TSplitLayout l(alLeft);
    auto* other = Create<TPanel>(l.Parent);
    other->SetParent(l.Parent);
    other->SetBounds(250, 0, 60, 100);
    auto* s = Create<TPickingSplitter>(l.Parent);
    s->SetBounds(l.Splitter->Left() + 3, 0, 3, 300);
    s->SetParent(l.Parent);
    s->Picked = other;
    ASSERT_TRUE(s->MoveBy(15));
    EXPECT_EQ(other->Width(), 75);
    EXPECT_EQ(l.Side->Width(), 100);
    MouseDown(s, {1, 10});
    MouseMove(s, {11, 10}, TShiftState{ssLeft});
    MouseUp(s, {11, 10});
    EXPECT_EQ(other->Width(), 85);
    EXPECT_EQ(l.Side->Width(), 100);
    s->Picked = nullptr;
    EXPECT_FALSE(s->MoveBy(15));
}
