#include "TreeGridTestSupport.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

// A shown window of Rows rows whose client area is Width x Height; its back
// buffer exists, and the test marks pixels in it to see them move.
TTreePtr WindowTree(int Rows, int Width = 200, int Height = 200)
{
    EnsureApplication();
    TTreePtr tree = MakeTree();
    tree->SetBounds(0, 0, Width + 4, Height + 4);
    tree->HandleNeeded();
    tree->SetRootNodeCount(Rows);
    tree->Update();
    return tree;
}

// Back-buffer pixels in client coordinates.
TColor Pixel(TTestTree* tree, int X, int Y)
{
    const TPoint o = tree->ClientOffset();
    return tree->BackBuffer()->Canvas()->Pixels(o.X + X, o.Y + Y);
}
void Mark(TTestTree* tree, int X, int Y, TColor Color)
{
    const TPoint o = tree->ClientOffset();
    tree->BackBuffer()->Canvas()->SetPixels(o.X + X, o.Y + Y, Color);
}

TGridNode* Nth(TTestTree* tree, int n)
{
    TGridNode* node = tree->GetFirst();
    while (n-- > 0)
        node = tree->GetNext(node);
    return node;
}

class TAnimatingTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    using TBaseTreeGrid::Animate;
};

}  // namespace

TEST(Animation, StepsEndWithAFinalCall)
{
    std::unique_ptr<TAnimatingTree, TTreeDeleter> tree(Create<TAnimatingTree>(nullptr));
    std::vector<std::pair<Cardinal, Cardinal>> calls;
    auto record = [&](Cardinal Step, Cardinal Size, void*) {
        calls.emplace_back(Step, Size);
        return true;
    };
    // The calls use up the time; the last step leaves no call to share it.
    tree->Animate(12, 24, record, nullptr);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front().first, 0u);
    EXPECT_EQ(calls.back(), std::make_pair(Cardinal(0), Cardinal(0)));
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
        EXPECT_GE(calls[i].second, 1u);
        if (i > 0) {
            EXPECT_GT(calls[i].first, calls[i - 1].first) << "steps done grow";
        }
    }
    EXPECT_FALSE(tree->TreeStates().Contains(tsInAnimation));

    // More steps than milliseconds: several per call.
    calls.clear();
    tree->Animate(400, 8, record, nullptr);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_GE(calls.front().second, 50u);

    // A callback that refuses ends it at once; no time, no animation.
    calls.clear();
    tree->Animate(100, 1000, [&](Cardinal Step, Cardinal Size, void* Data) { record(Step, Size, Data); return false; },
        nullptr);
    EXPECT_EQ(calls.size(), 2u) << "the refused step and the final call";
    calls.clear();
    tree->Animate(10, 0, record, nullptr);
    EXPECT_TRUE(calls.empty());
}

TEST(Animation, RowsSlideWhenANodeOpensAndCloses)
{
    TTreePtr tree = WindowTree(10);
    TGridNode* third = Nth(tree.get(), 2);
    for (int i = 0; i < 3; ++i)
        tree->AddChild(third);
    tree->SetAnimationDuration(20);
    EXPECT_TRUE(tree->TreeOptions()->AnimationOptions().Contains(toAnimatedToggle));
    tree->Update();
    const TColor background = ColorToRGB(tree->Color());
    Mark(tree.get(), 10, 60, clRed);  // the fourth row, below the third's bottom at 54
    tree->ToggleNode(third);
    EXPECT_EQ(Pixel(tree.get(), 10, 60 + 54), clRed) << "moved down by the children's height";
    EXPECT_EQ(Pixel(tree.get(), 10, 60), background) << "the opened gap is erased";
    tree->ToggleNode(third);
    EXPECT_EQ(Pixel(tree.get(), 10, 60), clRed) << "and back up";

    // Without the option the picture stands until the repaint.
    tree->SetAnimationDuration(0);
    Mark(tree.get(), 10, 60, clBlue);
    tree->ToggleNode(third);
    EXPECT_EQ(Pixel(tree.get(), 10, 60), clBlue);
}

TEST(Animation, ColumnsRightOfAResizedOneSlideAlong)
{
    TTreePtr tree = WindowTree(3);
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add()->SetWidth(60);
    columns->Add()->SetWidth(60);
    tree->Update();
    Mark(tree.get(), 70, 20, clRed);
    columns->AnimatedResize(0, 60 + 64);
    EXPECT_EQ(columns->Items(0)->Width(), 124);
    EXPECT_EQ(Pixel(tree.get(), 70 + 64, 20), clRed) << "32 steps of 2";
    EXPECT_EQ(Pixel(tree.get(), 70, 20), ColorToRGB(tree->Color())) << "the gap takes the tree's colour";

    // Less than 32 pixels: a step of 0, nothing moves; the width changes.
    tree->Update();
    Mark(tree.get(), 150, 20, clBlue);
    columns->AnimatedResize(0, 124 - 31);
    EXPECT_EQ(columns->Items(0)->Width(), 93);
    EXPECT_EQ(Pixel(tree.get(), 150, 20), clBlue);

    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoDisableAnimatedResize});
    tree->Update();
    Mark(tree.get(), 150, 20, clBlue);
    columns->AnimatedResize(0, 60);
    EXPECT_EQ(Pixel(tree.get(), 150, 20), clBlue) << "animation switched off";
    EXPECT_EQ(columns->Items(0)->Width(), 60);
}
