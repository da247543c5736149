#include "TreeGridTestSupport.h"

TEST(Update, NoticesWaitForTheOutermostEndUpdate)
{
    TTreePtr tree = MakeTree();
    tree->SetSelection(toMultiSelect, true);
    std::vector<std::pair<TGridNode*, TChangeReason>> structure;
    int changes = 0;
    std::vector<TTGUpdateState> updating;
    tree->OnStructureChange = [&](TBaseTreeGrid*, TGridNode* n, TChangeReason r) { structure.push_back({n, r}); };
    tree->OnChange = [&](TBaseTreeGrid*, TGridNode*) { ++changes; };
    tree->OnUpdating = [&](TBaseTreeGrid*, TTGUpdateState s) { updating.push_back(s); };
    tree->BeginUpdate();
    tree->BeginUpdate();
    for (int i = 0; i < 1000; ++i)
        tree->AddChild(nullptr);
    tree->SetSelected(tree->GetFirst(), true);
    tree->SetSelected(tree->GetLast(), true);
    tree->EndUpdate();
    EXPECT_TRUE(structure.empty());
    tree->EndUpdate();
    ASSERT_EQ(structure.size(), 1u);
    EXPECT_EQ(structure[0].first, nullptr);
    EXPECT_EQ(structure[0].second, crChildAdded);
    EXPECT_EQ(changes, 1);
    ASSERT_GE(updating.size(), 2u);
    EXPECT_EQ(updating.front(), usBegin);
    EXPECT_EQ(updating.back(), usEnd);
    EXPECT_FALSE(tree->TreeStates().Contains(tsUpdating));

    structure.clear();
    tree->BeginUpdate();
    tree->AddChild(nullptr);
    tree->DeleteNode(tree->GetFirst());
    tree->EndUpdate();
    ASSERT_EQ(structure.size(), 1u);
    EXPECT_EQ(structure[0].second, crAccumulated);
    ExpectConsistent(tree.get());
}

TEST(Update, CacheStateFlagsWithoutTheWorker)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(3000);
    EXPECT_TRUE(tree->TreeStates().Contains(tsValidationNeeded));
    EXPECT_FALSE(tree->TreeStates().Contains(tsUseCache));
    std::vector<TTreeGridStates> entered;
    tree->OnStateChange = [&](TBaseTreeGrid*, TTreeGridStates enter, TTreeGridStates) { entered.push_back(enter); };
    tree->ToggleNode(tree->GetFirst());
    for (const TTreeGridStates& s : entered)
        EXPECT_FALSE(s.Contains(tsUseCache)) << "the cache is never used";
}

TEST(Update, OptionSettersRunHeadless)
{
    TTreePtr tree = MakeTree();
    tree->SetSelection(toMultiSelect, true);
    tree->SetRootNodeCount(3);
    tree->SetSelected(tree->GetFirst(), true);
    tree->SetSelected(tree->GetLast(), true);
    tree->SetSelection(toMultiSelect, false);
    EXPECT_EQ(tree->SelectedCount(), 0) << "a change of multi-select clears the selection";
    EXPECT_THROW(tree->ScrollBarOptions()->SetScrollBarStyle(sbmFlat), EAssertionFailed);
    tree->Colors()->SetGridLineColor(clRed);
    EXPECT_EQ(tree->Colors()->GetColor(4), clRed);
}

TEST(StringTree, TextComesFromTheEvents)
{
    TTreePtr tree = MakeTree();
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    EXPECT_EQ(tree->Text(first, NoColumn), "Node");
    tree->OnGetText = [](TBaseTreeGrid* t, TGridNode* n, TColumnIndex c, TVSTTextType, String& s) {
        if (c == 1)
            s = "row " + std::to_string(Row(t, n).Id);
    };
    std::string received;
    tree->OnNewText = [&](TBaseTreeGrid* t, TGridNode* n, TColumnIndex, const String& s) {
        received = s;
        Row(t, n).Id = std::stoi(s);
    };
    tree->SetText(first, 1, "42");
    EXPECT_EQ(received, "42");
    EXPECT_EQ(tree->Text(first, 1), "row 42");
    EXPECT_EQ(tree->Text(first, 0), "Node");
    EXPECT_THROW(tree->Text(nullptr, 0), EAssertionFailed);
    tree->SetCachedTextWidth(first, 77);
    EXPECT_EQ(tree->CachedTextWidth(first), 77u);
    tree->InvalidateNode(first);
    EXPECT_EQ(tree->CachedTextWidth(first), 0u);
    EXPECT_TRUE(Is<TStringTreeOptions>(tree->TreeOptions()));
}
