#include "TreeGridTestSupport.h"

namespace {
TTreePtr MultiTree(Cardinal count)
{
    TTreePtr tree = MakeTree();
    tree->SetSelection(toMultiSelect, true);
    tree->SetRootNodeCount(count);
    int id = 0;
    for (TGridNode* n = tree->GetFirst(); n; n = tree->GetNext(n))
        Row(tree.get(), n).Id = id++;
    return tree;
}
}  // namespace

TEST(Selection, SelectingKeepsTheArraySortedAndNotifies)
{
    TTreePtr tree = MultiTree(20);
    int changes = 0;
    tree->OnChange = [&](TBaseTreeGrid*, TGridNode*) { ++changes; };
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    for (int i : {7, 3, 15, 0, 9})
        tree->SetSelected(nodes[std::size_t(i)], true);
    EXPECT_EQ(changes, 5) << "ChangeDelay 0 notifies at once";
    EXPECT_EQ(tree->SelectedCount(), 5);
    ExpectConsistent(tree.get());
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "0 3 7 9 15");
    EXPECT_EQ(tree->GetFirstSelected(), nodes[0]);
    EXPECT_EQ(tree->GetNextSelected(nodes[3]), nodes[7]);
    tree->SetSelected(nodes[3], false);
    EXPECT_EQ(tree->SelectedCount(), 4);
    ExpectConsistent(tree.get());
    // Removing an unselected node changes nothing.
    changes = 0;
    tree->RemoveFromSelection(nodes[2]);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "0 7 9 15");
    ExpectConsistent(tree.get());
}

TEST(Selection, DisabledNodesAndSingleSelection)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    int changes = 0;
    tree->OnChange = [&](TBaseTreeGrid*, TGridNode*) { ++changes; };
    tree->SetDisabled(nodes[0], true);
    tree->SetSelected(nodes[0], true);
    EXPECT_FALSE(tree->Selected(nodes[0]));
    EXPECT_EQ(changes, 0);
    tree->SetSelected(nodes[1], true);
    tree->SetSelected(nodes[2], true);
    EXPECT_FALSE(tree->Selected(nodes[1])) << "without multi-select the first goes";
    EXPECT_TRUE(tree->Selected(nodes[2]));
    EXPECT_EQ(tree->SelectedCount(), 1);
    tree->SelectAll(false);
    EXPECT_EQ(tree->SelectedCount(), 1) << "SelectAll needs multi-select";
    ExpectConsistent(tree.get());
}

TEST(Selection, SelectionAfterDeletes)
{
    TTreePtr tree = MultiTree(10);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    for (int i : {1, 2, 5, 8})
        tree->SetSelected(nodes[std::size_t(i)], true);
    tree->DeleteNode(nodes[2]);
    EXPECT_EQ(tree->SelectedCount(), 3);
    ExpectConsistent(tree.get());
    // Deletions inside an update leave marks that the end of the update packs.
    tree->BeginUpdate();
    tree->DeleteNode(nodes[5]);
    tree->DeleteNode(nodes[0]);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "1 8");
    TGridNode* fresh = tree->AddChild(nullptr);
    Row(tree.get(), fresh).Id = 99;
    tree->SetSelected(fresh, true);
    tree->EndUpdate();
    EXPECT_EQ(tree->SelectedCount(), 3);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "1 8 99");
    ExpectConsistent(tree.get());
    tree->ClearSelection();
    EXPECT_EQ(tree->SelectedCount(), 0);
    EXPECT_EQ(tree->GetFirstSelected(), nullptr);
}

TEST(Selection, DeletingASelectedParentWithASelectedChild)
{
    TTreePtr tree = MultiTree(3);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    tree->SetChildCount(nodes[0], 2);
    tree->SetExpanded(nodes[0], true);
    TGridNode* child = tree->GetFirstChild(nodes[0]);
    Row(tree.get(), child).Id = 50;
    std::vector<TGridNode*> freed;
    tree->OnFreeNode = [&](TBaseTreeGrid*, TGridNode* n) { freed.push_back(n); };
    tree->SetSelected(child, true);
    tree->SetSelected(nodes[0], true);
    tree->SetSelected(nodes[2], true);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(true)), "0 2") << "the child is resolved away";
    tree->DeleteSelectedNodes();
    EXPECT_EQ(tree->RootNodeCount(), 1u);
    EXPECT_EQ(tree->GetFirst(), nodes[1]);
    EXPECT_EQ(nodes[1]->Index, 0u);
    EXPECT_EQ(tree->SelectedCount(), 0);
    EXPECT_EQ(std::count(freed.begin(), freed.end(), child), 1) << "the child goes once";
    ExpectConsistent(tree.get());
    tree->OnFreeNode = nullptr;
}

TEST(Selection, RangesToggleAndUnselect)
{
    TTreePtr tree = MultiTree(10);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    tree->SelectNodes(nodes[6], nodes[2], false);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "2 3 4 5 6");
    tree->SelectNodes(nodes[8], nodes[9], true);
    EXPECT_EQ(tree->SelectedCount(), 7);
    tree->UnselectNodes(nodes[3], nodes[4]);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "2 5 6 8 9");
    tree->SelectAll(true);
    EXPECT_EQ(tree->SelectedCount(), 10);
    tree->ClearSelection();
    tree->SetSelected(nodes[0], true);  // becomes the anchor
    tree->SetSelected(nodes[2], true);
    tree->ToggleSelection(nodes[0], nodes[3]);
    EXPECT_EQ(Ids(tree.get(), tree->GetSortedSelection(false)), "0 1 3");
    ExpectConsistent(tree.get());
    EXPECT_THROW(tree->SelectNodes(nodes[0], nullptr, false), EAssertionFailed);
}

TEST(Selection, ConstraintsRefuseOtherLevels)
{
    TTreePtr tree = MultiTree(2);
    TGridNode* top = tree->GetFirst();
    tree->SetChildCount(top, 2);
    tree->SetExpanded(top, true);
    tree->SetSelection(toLevelSelectConstraint, true);
    tree->SetSelected(top->FirstChild, true);
    tree->SetSelected(top->NextSibling, true);
    EXPECT_FALSE(tree->Selected(top->NextSibling));
    tree->SetSelected(top->LastChild, true);
    EXPECT_EQ(tree->SelectedCount(), 2);
}

TEST(Selection, FocusChangesCanBeRefused)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    std::vector<TGridNode*> focused;
    bool allow = true;
    tree->OnFocusChanging = [&](TBaseTreeGrid*, TGridNode*, TGridNode*, TColumnIndex, TColumnIndex, bool& allowed) {
        allowed = allow;
    };
    tree->OnFocusChanged = [&](TBaseTreeGrid*, TGridNode* n, TColumnIndex) { focused.push_back(n); };
    tree->SetFocusedNode(nodes[1]);
    EXPECT_EQ(tree->FocusedNode(), nodes[1]);
    allow = false;
    tree->SetFocusedNode(nodes[2]);
    EXPECT_EQ(tree->FocusedNode(), nodes[1]) << "refused";
    EXPECT_EQ(focused.size(), 1u);
    tree->SetFocusedNode(tree->RootNode());
    EXPECT_EQ(tree->FocusedNode(), nodes[1]) << "the root counts as nil, which is refused too";
    allow = true;
    tree->DeleteNode(nodes[1]);
    EXPECT_EQ(tree->FocusedNode(), nullptr);
    ASSERT_EQ(focused.size(), 2u);
    EXPECT_EQ(focused[1], nullptr) << "losing the focused node reports it";
}

TEST(Selection, FocusedColumnNeedsAllowFocus)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add();
    TTreeGridColumn* second = columns->Add();
    second->SetOptions(second->Options() - TTGColumnOptions{coAllowFocus});
    tree->SetFocusedColumn(1);
    EXPECT_EQ(tree->FocusedColumn(), NoColumn) << "column 1 may not take the focus";
    tree->SetFocusedColumn(0);
    EXPECT_EQ(tree->FocusedColumn(), 0);
    tree->SetRootNodeCount(1);
    tree->SetSelected(tree->GetFirst(), true);
    EXPECT_EQ(tree->FocusedColumn(), 0);
}

// A single-selection tree keeps what it has when the new node is refused:
// a disabled one, or one the sibling constraint turns away.
TEST(Selection, RefusedNodeLeavesASingleSelectionAlone)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    tree->SetChildCount(nodes[2], 1);
    tree->SetExpanded(nodes[2], true);
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add();
    columns->Add();
    tree->SetSelection(toSiblingSelectConstraint, true);
    tree->SetFocusedNode(nodes[0]);
    tree->SetSelected(nodes[0], true);
    tree->SetFocusedColumn(1);
    tree->SetDisabled(nodes[1], true);
    int changes = 0;
    tree->OnChange = [&](TBaseTreeGrid*, TGridNode*) { ++changes; };
    tree->SetSelected(nodes[1], true);
    EXPECT_TRUE(tree->Selected(nodes[0]));
    EXPECT_FALSE(tree->Selected(nodes[1]));
    EXPECT_EQ(tree->RangeAnchor(), nodes[0]);
    tree->SetSelected(nodes[2]->FirstChild, true);
    EXPECT_TRUE(tree->Selected(nodes[0])) << "another parent than the anchor's";
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(tree->FocusedColumn(), 1);
    ExpectConsistent(tree.get());
    tree->SetSelected(nodes[2], true);  // a sibling is taken
    EXPECT_TRUE(tree->Selected(nodes[2]));
    EXPECT_FALSE(tree->Selected(nodes[0]));
}

// Inside a bracket a deleted selected node leaves a marked entry until the
// bracket ends; it no longer counts, and deleting the selection copes.
TEST(Selection, DeletedSelectedNodeInsideABracket)
{
    TTreePtr tree = MultiTree(4);
    std::vector<TGridNode*> nodes = ChildrenOf(tree.get(), nullptr);
    tree->SetSelected(nodes[1], true);
    tree->BeginUpdate();
    tree->DeleteNode(nodes[1]);
    EXPECT_EQ(tree->SelectedCount(), 0);
    tree->DeleteSelectedNodes();
    EXPECT_EQ(tree->RootNodeCount(), 3u);
    tree->SetSelected(nodes[2], true);
    tree->SetSelected(nodes[3], true);
    tree->DeleteNode(nodes[3]);
    EXPECT_EQ(tree->SelectedCount(), 1);
    ExpectConsistent(tree.get());
    tree->DeleteSelectedNodes();
    EXPECT_EQ(Ids(tree.get(), ChildrenOf(tree.get(), nullptr)), "0");
    tree->EndUpdate();
    EXPECT_EQ(tree->SelectedCount(), 0);
    ExpectConsistent(tree.get());
}

// Focusing expands the collapsed ancestors whether or not the tree has a window.
TEST(Selection, FocusingExpandsTheAncestorsWithoutAWindow)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(1);
    TGridNode* top = tree->GetFirst();
    tree->SetChildCount(top, 1);
    TGridNode* middle = tree->GetFirstChild(top);
    tree->SetChildCount(middle, 1);
    TGridNode* leaf = tree->GetFirstChild(middle);
    ASSERT_FALSE(tree->HandleAllocated());
    tree->SetFocusedNode(leaf);
    EXPECT_TRUE(tree->Expanded(top));
    EXPECT_TRUE(tree->Expanded(middle));
    EXPECT_EQ(tree->VisibleCount(), 3u);
    ExpectConsistent(tree.get());
}
