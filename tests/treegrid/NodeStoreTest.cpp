#include <algorithm>
#include <cstdint>
#include <iterator>

#include "TreeGridTestSupport.h"

namespace {
// Every node pointer the tree remembers between calls.
TGridNode* TTestTree::* const Remembered[] = {&TTestTree::FLastSelected, &TTestTree::FCheckNode,
    &TTestTree::FLastVCLDragTarget, &TTestTree::FLastSearchNode, &TTestTree::FHeightTrackNode,
    &TTestTree::FCurrentHotNode, &TTestTree::FDropTargetNode, &TTestTree::FLastChangedNode,
    &TTestTree::FLastStructureChangeNode};

void Remember(TTestTree* tree, TGridNode* node)
{
    for (auto member : Remembered)
        tree->*member = node;
}

void ExpectNothingRemembered(TTestTree* tree)
{
    for (std::size_t i = 0; i < std::size(Remembered); ++i)
        EXPECT_EQ(tree->*Remembered[i], nullptr) << "remembered pointer " << i;
}
}  // namespace

TEST(NodeStore, EmptyTreeHasOnlyTheHiddenRootAndNoWidgetThenGrows)
{
    TTreePtr tree = MakeTree();
    EXPECT_FALSE(tree->HandleAllocated());
    EXPECT_EQ(tree->GetFirst(), nullptr);
    EXPECT_EQ(tree->RootNode()->TotalHeight, tree->DefaultNodeHeight());
    EXPECT_EQ(TreeFromNode(tree->RootNode()), tree.get());
    TGridNode* node = tree->AddChild(nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Index, 0u);
    EXPECT_EQ(tree->RootNode()->TotalCount, 2u);
    EXPECT_EQ(tree->TotalCount(), 1u);
    EXPECT_EQ(TreeFromNode(node), tree.get());
    ExpectConsistent(tree.get());
}

TEST(NodeStore, SetChildCountUpAndDown)
{
    TTreePtr tree = MakeTree();
    int structureNotices = 0;
    tree->OnStructureChange = [&](TBaseTreeGrid*, TGridNode*, TChangeReason) { ++structureNotices; };
    tree->SetRootNodeCount(10);
    TGridNode* parent = tree->GetFirst();
    tree->SetChildCount(parent, 5);
    // Children of a collapsed node are no rows.
    EXPECT_EQ(tree->VisibleCount(), 10u);
    EXPECT_EQ(parent->TotalHeight, parent->NodeHeight);
    ExpectConsistent(tree.get());
    tree->SetExpanded(parent, true);
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->VisibleCount(), 15u);
    EXPECT_EQ(tree->RootNode()->TotalHeight, 18u + 15u * 18u);

    const int before = structureNotices;
    tree->SetChildCount(parent, 5);
    EXPECT_EQ(structureNotices, before) << "same count: no notice";

    tree->SetChildCount(parent, 2);
    EXPECT_EQ(parent->ChildCount, 2u);
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->VisibleCount(), 12u);

    tree->SetChildCount(parent, 7);
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->GetLastChildNoInit(parent)->Index, 6u);

    tree->SetChildCount(parent, 0);
    EXPECT_EQ(parent->FirstChild, nullptr);
    EXPECT_FALSE(parent->States.Contains(vsExpanded));
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->VisibleCount(), 10u);

    tree->SetRootNodeCount(3);
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->VisibleCount(), 3u);
}

TEST(NodeStore, DeleteMiddleSiblingWithAndWithoutReindex)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    tree->DeleteNode(nodes[1]);
    EXPECT_EQ(nodes[0]->Index, 0u);
    EXPECT_EQ(nodes[2]->Index, 1u);
    ExpectConsistent(tree.get());

    tree->SetRootNodeCount(3);
    nodes = ChildrenOf(tree.get(), nullptr);
    tree->DeleteNode(nodes[1], false);
    EXPECT_EQ(nodes[2]->Index, 2u) << "without reindex the last keeps its index";
}

TEST(NodeStore, DeletingTheLastChildCollapsesTheParent)
{
    TTreePtr tree = MakeTree();
    TGridNode* parent = tree->AddChild(nullptr);
    TGridNode* child = tree->AddChild(parent);
    tree->SetExpanded(parent, true);
    ASSERT_TRUE(parent->States.Contains(vsExpanded));
    tree->DeleteNode(child);
    EXPECT_FALSE(parent->States.Contains(vsExpanded));
    EXPECT_FALSE(parent->States.Contains(vsHasChildren));
    ExpectConsistent(tree.get());
}

TEST(NodeStore, DeletingDuringAWalkThatFetchesTheNextNodeFirst)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(6);
    int id = 0;
    for (TGridNode* n = tree->GetFirst(); n; n = tree->GetNext(n))
        Row(tree.get(), n).Id = id++;
    // Deleting every node with an odd id while walking.
    for (TGridNode* n = tree->GetFirst(); n;) {
        TGridNode* next = tree->GetNextSibling(n);
        if (Row(tree.get(), n).Id % 2)
            tree->DeleteNode(n);
        n = next;
    }
    EXPECT_EQ(Ids(tree.get(), ChildrenOf(tree.get(), nullptr)), "0 2 4");
    ExpectConsistent(tree.get());
    // A parent deleted during the walk takes its children with it.
    TGridNode* first = tree->GetFirst();
    tree->SetChildCount(first, 3);
    tree->SetExpanded(first, true);
    TGridNode* next = tree->GetNextSibling(first);
    tree->DeleteNode(first);
    EXPECT_EQ(tree->GetFirst(), next);
    ExpectConsistent(tree.get());
}

TEST(NodeStore, ClearKeepsTheHeightInvariantAndForgetsEveryNode)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(5);
    TGridNode* first = tree->GetFirst();
    tree->SetFocusedNode(first);
    Remember(tree.get(), first);
    tree->Clear();
    EXPECT_EQ(tree->FocusedNode(), nullptr);
    EXPECT_EQ(tree->RangeAnchor(), nullptr);
    ExpectNothingRemembered(tree.get());
    EXPECT_EQ(tree->OffsetX(), 0);
    EXPECT_EQ(tree->OffsetY(), 0);
    // No empty strip above the rows after a reload.
    EXPECT_EQ(tree->RootNode()->TotalHeight, tree->RootNode()->NodeHeight);
    tree->SetRootNodeCount(2);
    ExpectConsistent(tree.get());
    EXPECT_EQ(tree->RootNode()->TotalHeight, tree->RootNode()->NodeHeight + 2u * 18u);
}

// With levels, every child is reported while its parent still exists, so a
// handler may read the parent's row; a flat tree keeps its quick path.
TEST(NodeStore, ClearFreesChildrenBeforeTheirParents)
{
    for (bool levels : {true, false}) {
        SCOPED_TRACE(levels ? "levels" : "flat");
        TTreePtr tree = MakeTree();
        tree->SetRootNodeCount(3);
        if (levels)
            for (TGridNode* top : ChildrenOf(tree.get(), nullptr)) {
                tree->SetChildCount(top, 2);
                tree->SetChildCount(tree->GetFirstChild(top), 1);
            }
        int id = 0;
        for (TGridNode* n = tree->GetFirst(); n; n = tree->GetNext(n))
            Row(tree.get(), n).Id = id++;
        std::vector<TGridNode*> gone;
        int freed = 0;
        tree->OnFreeNode = [&](TBaseTreeGrid* sender, TGridNode* n) {
            ++freed;
            EXPECT_EQ(TreeFromNode(n), sender);
            EXPECT_EQ(std::find(gone.begin(), gone.end(), n->Parent), gone.end()) << "parent freed first";
            if (n->Parent != tree->RootNode()) {
                EXPECT_LT(Row(tree.get(), n->Parent).Id, Row(tree.get(), n).Id);
            }
            gone.push_back(n);
        };
        tree->Clear();
        EXPECT_EQ(freed, levels ? 3 * 4 : 3);
        EXPECT_EQ(tree->RootNodeCount(), 0u);
        ExpectConsistent(tree.get());
    }
}

TEST(NodeStore, FreeingANodeClearsEveryRememberedPointer)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(2);
    Remember(tree.get(), tree->GetFirst());
    tree->DeleteNode(tree->GetFirst());
    ExpectNothingRemembered(tree.get());
}

TEST(NodeStore, InitialUserDataIsAWholePointer)
{
    TTreePtr tree = MakeTree(int(sizeof(void*)));
    int payload = 0;
    TGridNode* node = tree->AddChild(nullptr, &payload);
    EXPECT_TRUE(node->States.Contains(vsInitialUserData));
    EXPECT_EQ(*tree->GetNodeData<int*>(node), &payload);

    TTreePtr small = MakeTree(4);
    EXPECT_EQ(MessageOf<ETreeGridError>([&] { small->AddChild(nullptr, &payload); }),
        "Cannot set initial user data because there is not enough user data space allocated.");
    EXPECT_EQ(small->RootNodeCount(), 0u) << "a refused add leaves no node";
}

TEST(NodeStore, UserDataIsAlignedAfterTheInternalAreas)
{
    TTreePtr tree = MakeTree(104);
    tree->SetRootNodeCount(50);
    for (TGridNode* n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n)) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(tree->GetNodeData(n)) % 16, 0u);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(n) % 16, 0u);
    }
    EXPECT_EQ(tree->GetNodeData(tree->RootNode()), nullptr);
    EXPECT_EQ(tree->GetNodeData(nullptr), nullptr);
}

TEST(NodeStore, DataAreasMisusedAssert)
{
    TTreePtr tree = MakeTree(0);
    tree->SetRootNodeCount(1);
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { tree->GetNodeData(tree->GetFirst()); }),
        "NodeDataSize not initialized. (TreeGrid)");
    // Internal areas only before the first node.
    EXPECT_THROW(tree->AllocateInternalDataArea(8), EAssertionFailed);
}

TEST(NodeStore, NodeDataSizeChangeRebuildsTheNodes)
{
    TTreePtr tree = MakeTree(8);
    tree->SetRootNodeCount(4);
    tree->SetNodeDataSize(64);
    EXPECT_EQ(tree->RootNodeCount(), 4u);
    for (TGridNode* n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n)) {
        auto* bytes = static_cast<unsigned char*>(tree->GetNodeData(n));
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(bytes[i], 0) << "fresh data areas are zero";
    }
    ExpectConsistent(tree.get());
}

TEST(NodeStore, OnFreeNodeOnlyForInitialisedNodesOrInitialData)
{
    std::vector<TGridNode*> freed;
    TTreePtr tree = MakeTree(16);
    tree->OnFreeNode = [&](TBaseTreeGrid*, TGridNode* n) { freed.push_back(n); };
    tree->SetRootNodeCount(3);
    TGridNode* initialised = tree->GetFirst();  // initialises the first only
    int payload = 0;
    TGridNode* withData = tree->AddChild(nullptr, &payload);
    tree->Clear();
    ASSERT_EQ(freed.size(), 2u);
    EXPECT_EQ(std::count(freed.begin(), freed.end(), withData), 1);
    EXPECT_EQ(std::count(freed.begin(), freed.end(), initialised), 1);
    // Deleting a subtree reports its nodes alike.
    freed.clear();
    TGridNode* parent = tree->AddChild(nullptr);
    tree->SetChildCount(parent, 3);
    tree->GetFirstChild(parent);  // initialises the first child, not the parent
    tree->DeleteNode(parent);
    EXPECT_EQ(freed.size(), 1u) << "only the initialised child";
    freed.clear();
    parent = tree->AddChild(nullptr);
    ASSERT_EQ(tree->GetFirst(), parent);  // a walk initialises the parent
    tree->SetChildCount(parent, 3);
    tree->GetFirstChild(parent);
    tree->DeleteNode(parent);
    EXPECT_EQ(freed.size(), 2u) << "the parent and its one initialised child";
}

TEST(NodeStore, DestroyingTheTreeFreesInitialisedNodes)
{
    int freed = 0;
    {
        TTreePtr tree = MakeTree();
        tree->OnFreeNode = [&](TBaseTreeGrid*, TGridNode*) { ++freed; };
        tree->SetRootNodeCount(4);
        tree->SetMisc(toReadOnly, true);
        tree->ValidateNode(nullptr, true);
    }
    EXPECT_EQ(freed, 4);
}

TEST(NodeStore, ReadOnlyRefusesChanges)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3);
    TGridNode* first = tree->GetFirst();
    tree->SetMisc(toReadOnly, true);
    EXPECT_EQ(tree->AddChild(nullptr), nullptr);
    tree->SetChildCount(nullptr, 10);
    tree->DeleteNode(first);
    tree->DeleteChildren(nullptr);
    tree->SetSelected(first, true);
    tree->DeleteSelectedNodes();
    tree->Clear();
    tree->SetNodeHeight(first, 40);
    tree->MoveTo(first, nullptr, amAddChildLast, false);
    tree->SetNodeDataSize(200);
    EXPECT_EQ(tree->RootNodeCount(), 3u);
    EXPECT_EQ(tree->GetFirst(), first);
    EXPECT_EQ(first->NodeHeight, 18u);
    EXPECT_EQ(tree->NodeDataSize(), 16);
    ExpectConsistent(tree.get());
}

// Resetting a node, dropping its has-children mark or an init that finds no
// children would keep the children but lose the flags under read-only.
TEST(NodeStore, ReadOnlyKeepsChildrenAndTheirFlags)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(2);
    TGridNode* parent = tree->GetFirst();
    tree->SetChildCount(parent, 3);
    tree->SetExpanded(parent, true);
    int resets = 0;
    tree->OnResetNode = [&](TBaseTreeGrid*, TGridNode*) { ++resets; };
    tree->OnInitChildren = [](TBaseTreeGrid*, TGridNode*, Cardinal& count) { count = 0; };
    tree->SetMisc(toReadOnly, true);
    tree->ResetNode(parent);
    tree->SetHasChildren(parent, false);
    tree->ReinitChildren(parent, false);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(parent->ChildCount, 3u);
    EXPECT_TRUE(tree->Expanded(parent));
    EXPECT_TRUE(tree->HasChildren(parent));
    EXPECT_EQ(tree->VisibleCount(), 5u);
    ExpectConsistent(tree.get());
}

TEST(NodeStore, InitEventsRunWhenANodeIsFirstReached)
{
    TTreePtr tree = MakeTree();
    int inits = 0;
    tree->OnInitNode = [&](TBaseTreeGrid*, TGridNode* parent, TGridNode* node, TGridNodeInitStates& states) {
        ++inits;
        if (!parent && node->Index == 0)
            states.Include(ivsHasChildren);
        if (parent)
            states.Include(ivsDisabled);
    };
    tree->OnInitChildren = [](TBaseTreeGrid*, TGridNode*, Cardinal& count) { count = 3; };
    tree->SetRootNodeCount(2);
    EXPECT_EQ(inits, 0) << "creating by count calls nothing";
    TGridNode* first = tree->GetFirst();
    EXPECT_EQ(inits, 1);
    TGridNode* child = tree->GetNext(first);  // creates the children
    EXPECT_EQ(first->ChildCount, 3u);
    EXPECT_EQ(child->Parent, first);
    EXPECT_TRUE(child->States.Contains(vsDisabled));
    EXPECT_EQ(tree->TotalCount(), 5u);
    EXPECT_EQ(inits, 5);
    ExpectConsistent(tree.get());
}

TEST(NodeStore, NodeHeightChangesMoveTheTotals)
{
    TTreePtr tree = MakeTree();
    TGridNode* parent = tree->AddChild(nullptr);
    TGridNode* child = tree->AddChild(parent);
    tree->SetExpanded(parent, true);
    tree->SetNodeHeight(child, 30);
    EXPECT_EQ(parent->TotalHeight, 18u + 30u);
    tree->SetVisible(parent, false);
    tree->SetNodeHeight(child, 40);
    // A hidden node's own total still follows its children.
    EXPECT_EQ(parent->TotalHeight, 18u + 40u);
    tree->SetVisible(parent, true);
    ExpectConsistent(tree.get());
    tree->SetDefaultNodeHeight(25);
    ExpectConsistent(tree.get());
}

TEST(NodeStore, MoveWithinTheTree)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(4);
    std::vector<TGridNode*> n = ChildrenOf(tree.get(), nullptr);
    for (int i = 0; i < 4; ++i)
        Row(tree.get(), n[std::size_t(i)]).Id = i;
    tree->MoveTo(n[0], n[3], amInsertAfter, false);
    EXPECT_EQ(Ids(tree.get(), ChildrenOf(tree.get(), nullptr)), "1 2 3 0");
    tree->MoveTo(n[1], n[2], amAddChildLast, false);
    EXPECT_EQ(Ids(tree.get(), ChildrenOf(tree.get(), nullptr)), "2 3 0");
    EXPECT_EQ(n[1]->Parent, n[2]);
    ExpectConsistent(tree.get());
    EXPECT_THROW(tree->MoveTo(n[2], n[1], amAddChildLast, false), ETreeGridError);
    tree->SetChildCount(n[3], 2);
    Row(tree.get(), n[3]->FirstChild).Id = 10;
    Row(tree.get(), n[3]->LastChild).Id = 11;
    // The children keep their order after the target, also when inserted
    // after it (taken from the last, each goes right after the target).
    tree->MoveTo(n[3], n[0], amInsertAfter, true);
    EXPECT_EQ(Ids(tree.get(), ChildrenOf(tree.get(), nullptr)), "2 3 0 10 11");
    ExpectConsistent(tree.get());
}
