// The screen docker: snapping, holding and freeing at each edge.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "components/ScreenDocker.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

class ScreenDocker : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        docker = Create<TScreenDocker>(form);
        docker->OnDocked = [this](TObject*, TDockEdge E) { edges.push_back(E); };
    }
    void TearDown() override { delete form; }
    // The form, 200 x 100, about to lie at X, Y: where it ends up.
    TPoint Move(int X, int Y)
    {
        TRect r(X, Y, X + 200, Y + 100);
        docker->Dock(r, bounds);
        EXPECT_EQ(r.Width(), 200);
        EXPECT_EQ(r.Height(), 100);
        return {r.Left, r.Top};
    }
    // A work area below a 30 px panel.
    TRect bounds{0, 30, 1000, 800};
    TForm* form = nullptr;
    TScreenDocker* docker = nullptr;
    std::vector<TDockEdge> edges;
};

}  // namespace

TEST_F(ScreenDocker, SnapsHoldsAndFreesAtTheLeftEdge)
{
    EXPECT_EQ(Move(300, 300), TPoint(300, 300));
    EXPECT_TRUE(edges.empty());
    // Within the distance (10): snapped, the 6 px swallowed.
    EXPECT_EQ(Move(6, 300), TPoint(0, 300));
    EXPECT_EQ(edges, (std::vector<TDockEdge>{deLeft}));
    EXPECT_EQ(docker->Delta(), TPoint(6, 0));
    // The pointer goes on 3 px: 9 from the edge, still held.
    EXPECT_EQ(Move(3, 300), TPoint(0, 300));
    // 3 more: 12 px, free, where the pointer has it.
    EXPECT_EQ(Move(3, 300), TPoint(12, 300));
    EXPECT_EQ(docker->Delta(), TPoint(0, 0));
    // Beyond the edge counts as near too.
    EXPECT_EQ(Move(-10, 300), TPoint(0, 300));
    EXPECT_EQ(docker->Delta(), TPoint(-10, 0));
}

TEST_F(ScreenDocker, EachEdgeSnapsToTheBoundsNotToTheScreensCorner)
{
    // Far from every edge: nothing held any more.
    auto free = [this] {
        Move(400, 400);
        ASSERT_EQ(docker->Delta(), TPoint(0, 0));
    };
    // The top snaps to the panel's edge at 30; near 0 is nowhere near it.
    EXPECT_EQ(Move(300, 38), TPoint(300, 30));
    free();
    EXPECT_EQ(Move(300, 5), TPoint(300, 5));
    EXPECT_EQ(Move(795, 300), TPoint(800, 300));
    free();
    EXPECT_EQ(Move(300, 708), TPoint(300, 700));
    free();
    // A corner: both axes at once.
    EXPECT_EQ(Move(805, 695), TPoint(800, 700));
    EXPECT_EQ(edges, (std::vector<TDockEdge>{deTop, deRight, deBottom, deRight, deBottom}));
    EXPECT_EQ(int(deLeft), 0);
    EXPECT_EQ(int(deTop), 1);
    EXPECT_EQ(int(deRight), 2);
    EXPECT_EQ(int(deBottom), 3);
}

TEST_F(ScreenDocker, OnlyTheEdgesAskedForSnap)
{
    docker->SetDockableTo(TDockEdges{deRight});
    docker->SetDockDistance(20);
    EXPECT_EQ(Move(5, 35), TPoint(5, 35));
    EXPECT_EQ(Move(782, 35), TPoint(800, 35));
    EXPECT_TRUE(docker->Active());
}

TEST_F(ScreenDocker, BoundsAreTheWorkAreaOrTheScreen)
{
    const TRect r(100, 100, 300, 200);
    EXPECT_EQ(docker->DockBounds(r), Screen->MonitorWorkAreaRect({200, 150}));
    docker->SetDockArea(daScreen);
    EXPECT_EQ(docker->DockBounds(r), Screen->MonitorRect({200, 150}));
}

TEST_F(ScreenDocker, TheFormsMovesSnapWhileActive)
{
    const TRect area = docker->DockBounds(TRect(100, 100, 300, 200));
    const auto moving = [this](TRect R) {
        const LRESULT changed = form->Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
        return std::make_pair(R, changed);
    };
    const TRect nearLeft(area.Left + 4, area.Top + 100, area.Left + 204, area.Top + 200);
    auto [r, changed] = moving(nearLeft);
    EXPECT_EQ(r, TRect(area.Left, area.Top + 100, area.Left + 200, area.Top + 200));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(edges, (std::vector<TDockEdge>{deLeft}));
    docker->SetActive(false);
    std::tie(r, changed) = moving(nearLeft);
    EXPECT_EQ(r, nearLeft);
    EXPECT_EQ(changed, 0);
    // Gone with the docker, the hook leaves the form's moves alone.
    docker->SetActive(true);
    delete docker;
    std::tie(r, changed) = moving(nearLeft);
    EXPECT_EQ(r, nearLeft);
}

TEST_F(ScreenDocker, OnlyOneOnAFormAndOnlyOnAForm)
{
    try {
        Create<TScreenDocker>(form);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Only one instance of TScreenDocker is allowed per form.");
    }
    auto* owner = Create<TComponent>(nullptr);
    try {
        Create<TScreenDocker>(owner);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "TScreenDocker can only be placed on a TForm.");
    }
    EXPECT_EQ(owner->ComponentCount(), 0);
    delete owner;
    EXPECT_EQ(form->ComponentCount(), 1);
}
