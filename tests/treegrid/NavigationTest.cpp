#include "TreeGridTestSupport.h"

namespace {
// root: 0 (children 1, 2 (child 3)), 4
TTreePtr SampleTree(TGridNode* nodes[5])
{
    TTreePtr tree = MakeTree();
    nodes[0] = tree->AddChild(nullptr);
    nodes[1] = tree->AddChild(nodes[0]);
    nodes[2] = tree->AddChild(nodes[0]);
    nodes[3] = tree->AddChild(nodes[2]);
    nodes[4] = tree->AddChild(nullptr);
    for (int i = 0; i < 5; ++i)
        Row(tree.get(), nodes[i]).Id = i;
    return tree;
}

std::string Walk(TTestTree* tree, bool visible, bool backwards = false)
{
    std::vector<TGridNode*> order;
    if (!backwards) {
        for (TGridNode* n = visible ? tree->GetFirstVisible() : tree->GetFirst(); n;
             n = visible ? tree->GetNextVisible(n) : tree->GetNext(n))
            order.push_back(n);
    } else {
        for (TGridNode* n = visible ? tree->GetLastVisible() : tree->GetLast(); n;
             n = visible ? tree->GetPreviousVisible(n) : tree->GetPrevious(n))
            order.push_back(n);
    }
    return Ids(tree, order);
}

struct Navigation : ::testing::Test {
    TGridNode* n[5];
    TTreePtr tree = SampleTree(n);
};
}  // namespace

TEST_F(Navigation, TreeOrderBothWays)
{
    EXPECT_EQ(Walk(tree.get(), false), "0 1 2 3 4");
    EXPECT_EQ(Walk(tree.get(), false, true), "4 3 2 1 0");
    EXPECT_EQ(tree->GetNext(n[4]), nullptr);
    EXPECT_EQ(tree->GetPrevious(n[0]), nullptr) << "not the root";
    EXPECT_EQ(tree->GetLast(n[0]), n[3]);
    EXPECT_THROW(tree->GetNext(tree->RootNode()), EAssertionFailed);
    EXPECT_EQ(tree->GetFirstInitialized(), n[0]);
}

TEST_F(Navigation, ChildrenAboveMirrorsTheOrder)
{
    tree->SetPaint(toChildrenAbove, true);
    std::vector<TGridNode*> order;
    for (TGridNode* r = tree->GetFirstNoInit(true); r; r = tree->GetNextNoInit(r, true))
        order.push_back(r);
    EXPECT_EQ(Ids(tree.get(), order), "1 3 2 0 4");
    order.clear();
    for (TGridNode* r = n[4]; r; r = tree->GetPreviousNoInit(r, true))
        order.push_back(r);
    EXPECT_EQ(Ids(tree.get(), order), "4 0 2 3 1");
    EXPECT_LT(tree->CompareNodePositions(n[1], n[0], true), 0);
}

TEST_F(Navigation, VisibleWalkSkipsCollapsedAndInvisible)
{
    EXPECT_EQ(Walk(tree.get(), true), "0 4");
    tree->FullExpand();
    EXPECT_EQ(Walk(tree.get(), true), "0 1 2 3 4");
    EXPECT_EQ(Walk(tree.get(), true, true), "4 3 2 1 0");
    tree->SetVisible(n[2], false);
    EXPECT_EQ(Walk(tree.get(), true), "0 1 4");
    EXPECT_EQ(Walk(tree.get(), true, true), "4 1 0");
    // From a node that is no row the walk continues after its hidden branch.
    EXPECT_EQ(tree->GetNextVisible(n[3]), n[4]);
    EXPECT_EQ(tree->GetPreviousVisible(n[3]), n[1]);
    tree->SetVisible(n[2], true);
    tree->SetHidden(n[1], true);
    EXPECT_EQ(Walk(tree.get(), true), "0 2 3 4");
    tree->SetPaint(toShowHiddenNodes, true);
    EXPECT_EQ(Walk(tree.get(), true), "0 1 2 3 4");
    ExpectConsistent(tree.get());
    tree->SetPaint(toShowHiddenNodes, false);
    EXPECT_EQ(Walk(tree.get(), true), "0 2 3 4");
    ExpectConsistent(tree.get());
}

TEST_F(Navigation, HidingAndShowingKeepsHeightsAndCount)
{
    tree->FullExpand();
    const Cardinal fullHeight = tree->RootNode()->TotalHeight;
    EXPECT_EQ(tree->VisibleCount(), 5u);
    const Cardinal branch = n[2]->TotalHeight;
    tree->SetVisible(n[2], false);
    EXPECT_EQ(tree->RootNode()->TotalHeight, fullHeight - branch);
    EXPECT_EQ(tree->VisibleCount(), 3u);
    ExpectConsistent(tree.get());
    tree->SetVisible(n[1], false);
    EXPECT_TRUE(n[0]->States.Contains(vsAllChildrenHidden));
    ExpectConsistent(tree.get());
    tree->SetVisible(n[2], true);
    EXPECT_FALSE(n[0]->States.Contains(vsAllChildrenHidden));
    tree->SetVisible(n[1], true);
    EXPECT_EQ(tree->RootNode()->TotalHeight, fullHeight);
    EXPECT_EQ(tree->VisibleCount(), 5u);
    ExpectConsistent(tree.get());
    // Hiding inside a collapsed parent changes the parent's total only.
    tree->SetExpanded(n[0], false);
    tree->SetVisible(n[3], false);
    ExpectConsistent(tree.get());
    tree->SetExpanded(n[0], true);
    EXPECT_EQ(tree->VisibleCount(), 4u);
    ExpectConsistent(tree.get());
    EXPECT_THROW(tree->SetVisible(tree->RootNode(), false), EAssertionFailed);
}

TEST_F(Navigation, ExpandCollapseAndEvents)
{
    std::vector<std::string> events;
    tree->OnExpanding = [&](TBaseTreeGrid*, TGridNode* node, bool& allowed) {
        events.push_back("expanding " + std::to_string(Row(tree.get(), node).Id));
        allowed = node != n[2];
    };
    tree->OnCollapsed = [&](TBaseTreeGrid*, TGridNode* node) {
        events.push_back("collapsed " + std::to_string(Row(tree.get(), node).Id));
    };
    tree->ToggleNode(n[0]);
    tree->ToggleNode(n[2]);
    EXPECT_FALSE(tree->Expanded(n[2])) << "refused";
    EXPECT_EQ(tree->VisibleCount(), 4u);
    ExpectConsistent(tree.get());
    tree->ToggleNode(n[0]);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2], "collapsed 0");
    EXPECT_EQ(tree->VisibleCount(), 2u);
    ExpectConsistent(tree.get());
    EXPECT_THROW(tree->ToggleNode(nullptr), EAssertionFailed);
}

TEST_F(Navigation, FullExpandAndCollapse)
{
    TTreePtr empty = MakeTree();
    int changes = 0;
    empty->OnStateChange = [&](TBaseTreeGrid*, TTreeGridStates, TTreeGridStates) { ++changes; };
    empty->FullExpand();
    EXPECT_EQ(changes, 0) << "an empty tree does nothing";

    tree->FullExpand();
    EXPECT_TRUE(tree->Expanded(n[0]) && tree->Expanded(n[2]));
    ExpectConsistent(tree.get());
    tree->FullCollapse(n[0]);
    EXPECT_FALSE(tree->Expanded(n[0]));
    EXPECT_FALSE(tree->Expanded(n[2]));
    EXPECT_EQ(tree->VisibleCount(), 2u);
    ExpectConsistent(tree.get());
    tree->FullExpand();
    tree->FullCollapse();
    EXPECT_EQ(tree->VisibleCount(), 2u);
    ExpectConsistent(tree.get());
}

// Children shown above their parents change the painting order only: a
// collapse of one subtree leaves the nodes before it alone.
TEST_F(Navigation, FullCollapseWithChildrenAboveStaysInTheSubtree)
{
    TGridNode* child = tree->AddChild(n[4]);
    tree->SetChildCount(child, 1);
    tree->SetPaint(toChildrenAbove, true);
    tree->FullExpand();
    tree->FullCollapse(n[4]);
    EXPECT_FALSE(tree->Expanded(n[4]));
    EXPECT_FALSE(tree->Expanded(child));
    EXPECT_TRUE(tree->Expanded(n[0]));
    EXPECT_TRUE(tree->Expanded(n[2]));
    ExpectConsistent(tree.get());
    tree->FullCollapse(n[0]);
    EXPECT_FALSE(tree->Expanded(n[0]));
    EXPECT_FALSE(tree->Expanded(n[2]));
    ExpectConsistent(tree.get());
}

TEST_F(Navigation, AutoFreeOnCollapseRecreatesChildren)
{
    int initChildren = 0;
    int freed = 0;
    // Its own tree: the handlers use this body's counters.
    TTreePtr lazy = MakeTree();
    lazy->OnInitNode = [](TBaseTreeGrid*, TGridNode* parent, TGridNode*, TGridNodeInitStates& s) {
        if (!parent)
            s.Include(ivsHasChildren);
    };
    lazy->OnInitChildren = [&](TBaseTreeGrid*, TGridNode*, Cardinal& count) {
        ++initChildren;
        count = 2;
    };
    lazy->OnFreeNode = [&](TBaseTreeGrid*, TGridNode*) { ++freed; };
    lazy->SetAuto(toAutoFreeOnCollapse, true);
    lazy->SetRootNodeCount(1);
    TGridNode* top = lazy->GetFirst();
    lazy->ToggleNode(top);
    EXPECT_EQ(initChildren, 1);
    lazy->GetNext(top);  // initialises one child
    lazy->ToggleNode(top);
    EXPECT_EQ(freed, 1) << "only the initialised child";
    EXPECT_EQ(top->ChildCount, 0u);
    EXPECT_TRUE(top->States.Contains(vsHasChildren));
    lazy->ToggleNode(top);
    EXPECT_EQ(initChildren, 2);
    EXPECT_EQ(top->ChildCount, 2u);
    ExpectConsistent(lazy.get());
}

TEST_F(Navigation, GetNodeAtByRows)
{
    tree->FullExpand();
    tree->SetNodeHeight(n[1], 30);
    int top = -1;
    EXPECT_EQ(tree->GetNodeAt(0, -5, true, top), n[0]);
    EXPECT_EQ(tree->GetNodeAt(0, 17), n[0]);
    EXPECT_EQ(tree->GetNodeAt(0, 18, true, top), n[1]);
    EXPECT_EQ(top, 18);
    EXPECT_EQ(tree->GetNodeAt(0, 47), n[1]);
    EXPECT_EQ(tree->GetNodeAt(0, 48), n[2]);
    EXPECT_EQ(tree->GetNodeAt(0, 18 + 30 + 3 * 18 - 1), n[4]);
    EXPECT_EQ(tree->GetNodeAt(0, 18 + 30 + 3 * 18), nullptr) << "below the last row";
}

TEST_F(Navigation, CompareNodePositionsIsNegativeWhenTheFirstComesFirst)
{
    EXPECT_LT(tree->CompareNodePositions(n[1], n[3]), 0);
    EXPECT_GT(tree->CompareNodePositions(n[4], n[3]), 0);
    EXPECT_LT(tree->CompareNodePositions(n[0], n[3]), 0) << "ancestor first";
    EXPECT_GT(tree->CompareNodePositions(n[3], n[2]), 0);
    EXPECT_EQ(tree->CompareNodePositions(n[2], n[2]), 0);
    EXPECT_THROW(tree->CompareNodePositions(nullptr, n[2]), EAssertionFailed);
    EXPECT_EQ(tree->CountLevelDifference(n[0], n[3]), 2);
    EXPECT_EQ(tree->GetNodeLevel(n[3]), 2u);
    EXPECT_TRUE(tree->HasAsParent(n[3], n[0]));
    EXPECT_FALSE(tree->HasAsParent(n[0], n[3]));
}

TEST_F(Navigation, VisibleParentAndSiblings)
{
    EXPECT_EQ(tree->GetVisibleParent(n[3]), n[0]) << "n[2] is collapsed";
    tree->FullExpand();
    EXPECT_EQ(tree->GetVisibleParent(n[3]), n[2]);
    EXPECT_EQ(tree->GetVisibleParent(n[0]), tree->RootNode());
    tree->SetVisible(n[2], false);
    EXPECT_EQ(tree->GetVisibleParent(n[3]), n[0]);
    EXPECT_FALSE(tree->HasVisibleNextSibling(n[1]));
    EXPECT_TRUE(tree->IsLastVisibleChild(n[0], n[1]));
    EXPECT_THROW(tree->GetVisibleParent(nullptr), EAssertionFailed);
}

TEST_F(Navigation, VisibleChildAndSiblingWalksBothWaysWithAndWithoutHiddenNodes)
{
    tree = MakeTree();
    for (int i = 0; i < 4; ++i) {
        n[i] = tree->AddChild(nullptr);
        Row(tree.get(), n[i]).Id = i;
    }
    tree->SetVisible(n[1], false);
    tree->SetHidden(n[3], true);
    TGridNode* root = tree->RootNode();
    for (bool noInit : {false, true}) {
        auto first = [&](bool all) {
            return noInit ? tree->GetFirstVisibleChildNoInit(root, all) : tree->GetFirstVisibleChild(root, all);
        };
        auto last = [&](bool all) {
            return noInit ? tree->GetLastVisibleChildNoInit(root, all) : tree->GetLastVisibleChild(root, all);
        };
        auto next = [&](TGridNode* x, bool all) {
            return noInit ? tree->GetNextVisibleSiblingNoInit(x, all) : tree->GetNextVisibleSibling(x, all);
        };
        auto previous = [&](TGridNode* x, bool all) {
            return noInit ? tree->GetPreviousVisibleSiblingNoInit(x, all) : tree->GetPreviousVisibleSibling(x, all);
        };
        EXPECT_EQ(first(false), n[0]) << noInit;
        // The hidden node counts only when asked for; the invisible one never.
        EXPECT_EQ(last(false), n[2]) << noInit;
        EXPECT_EQ(last(true), n[3]) << noInit;
        EXPECT_EQ(next(n[0], false), n[2]) << noInit;
        EXPECT_EQ(next(n[2], false), nullptr) << noInit;
        EXPECT_EQ(next(n[2], true), n[3]) << noInit;
        EXPECT_EQ(previous(n[3], true), n[2]) << noInit;
        EXPECT_EQ(previous(n[2], false), n[0]) << noInit;
        EXPECT_EQ(previous(n[0], false), nullptr) << noInit;
    }
    // The walks over the whole tree agree with the sibling steps.
    EXPECT_EQ(tree->GetFirstVisible(), n[0]);
    EXPECT_EQ(tree->GetLastVisible(), n[2]);
    EXPECT_EQ(tree->GetLastVisible(nullptr, true, true), n[3]);
}
