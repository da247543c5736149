#include "TreeGridTestSupport.h"

namespace {
struct TKeys {
    int A;
    int B;
    int Id;
};

void AddKeys(TTestTree* tree, TGridNode* parent, const TKeys& keys)
{
    *tree->GetNodeData<TKeys>(tree->AddChild(parent)) = keys;
}

TTreePtr KeyTree(const std::vector<std::pair<int, int>>& keys)
{
    TTreePtr tree = MakeTree(sizeof(TKeys));
    for (std::size_t i = 0; i < keys.size(); ++i)
        AddKeys(tree.get(), nullptr, TKeys{keys[i].first, keys[i].second, int(i)});
    tree->OnCompareNodes = [](TBaseTreeGrid* t, TGridNode* a, TGridNode* b, TColumnIndex column, int& result) {
        const TKeys* x = t->GetNodeData<TKeys>(a);
        const TKeys* y = t->GetNodeData<TKeys>(b);
        result = column == 0 ? x->A - y->A : (column == 1 ? x->B - y->B : 0);
    };
    return tree;
}

std::string Order(TTestTree* tree, TGridNode* parent = nullptr)
{
    std::string s;
    for (TGridNode* n = tree->GetFirstChildNoInit(parent); n; n = n->NextSibling)
        s += (s.empty() ? "" : " ") + std::to_string(tree->GetNodeData<TKeys>(n)->Id);
    return s;
}
}  // namespace

TEST(Sorting, EqualKeysAndTiesKeepTheirOrder)
{
    TTreePtr tree = KeyTree({{3, 1}, {1, 2}, {2, 1}, {1, 1}, {3, 2}, {2, 2}, {0, 1}});
    // Column 5 compares all equal: nothing moves, either way.
    tree->Sort(nullptr, 5, sdAscending);
    EXPECT_EQ(Order(tree.get()), "0 1 2 3 4 5 6");
    tree->Sort(nullptr, 5, sdDescending);
    EXPECT_EQ(Order(tree.get()), "0 1 2 3 4 5 6");
    tree->Sort(nullptr, 0, sdAscending);
    EXPECT_EQ(Order(tree.get()), "6 1 3 2 5 0 4");
    tree->Sort(nullptr, 1, sdAscending);
    EXPECT_EQ(Order(tree.get()), "6 3 2 0 1 5 4");
    tree->Sort(nullptr, 0, sdDescending);
    EXPECT_EQ(Order(tree.get()), "0 4 2 5 3 1 6");
    ExpectConsistent(tree.get());
}

TEST(Sorting, SortTreeColumnRules)
{
    TTreePtr tree = KeyTree({{2, 0}, {1, 0}});
    std::vector<TColumnIndex> seen;
    auto compare = tree->OnCompareNodes;
    tree->OnCompareNodes = [&](TBaseTreeGrid* t, TGridNode* a, TGridNode* b, TColumnIndex c, int& r) {
        seen.push_back(c);
        compare(t, a, b, 0, r);
    };
    tree->SortTree(InvalidColumn, sdAscending);
    EXPECT_TRUE(seen.empty()) << "-2 sorts nothing";
    tree->SortTree(NoColumn, sdAscending);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], NoColumn);
    EXPECT_EQ(Order(tree.get()), "1 0");
}

TEST(Sorting, SortTreeSortsEveryLevel)
{
    TTreePtr tree = KeyTree({{2, 0}, {1, 0}});
    TGridNode* first = tree->GetFirst();
    for (int k : {5, 4, 6})
        AddKeys(tree.get(), first, TKeys{k, 0, 10 + k});
    tree->ValidateNode(nullptr, true);
    tree->SortTree(0, sdAscending);
    EXPECT_EQ(Order(tree.get()), "1 0");
    EXPECT_EQ(Order(tree.get(), first), "14 15 16");
    ExpectConsistent(tree.get());
}

TEST(Sorting, AutoSortOnAddAndAtTheEndOfAnUpdate)
{
    TTreePtr tree = KeyTree({});
    tree->Header()->Columns()->Add();
    tree->Header()->SetSortColumn(0);
    tree->SetAuto(toAutoSort, true);
    int sorts = 0;
    auto compare = tree->OnCompareNodes;
    tree->OnCompareNodes = [&](TBaseTreeGrid* t, TGridNode* a, TGridNode* b, TColumnIndex c, int& r) {
        ++sorts;
        compare(t, a, b, c, r);
    };
    for (int k : {3, 1, 2}) {
        AddKeys(tree.get(), nullptr, TKeys{k, 0, k});
        tree->Sort(nullptr, 0, sdAscending);
    }
    EXPECT_EQ(Order(tree.get()), "1 2 3");
    tree->BeginUpdate();
    for (int k : {0, 9})
        AddKeys(tree.get(), nullptr, TKeys{k, 0, k});
    sorts = 0;
    tree->EndUpdate();
    EXPECT_GT(sorts, 0);
    EXPECT_EQ(Order(tree.get()), "0 1 2 3 9");
    tree->Header()->SetSortDirection(sdDescending);
    EXPECT_EQ(Order(tree.get()), "9 3 2 1 0");
}

TEST(Sorting, LongSiblingListsSortStablyToo)
{
    std::vector<std::pair<int, int>> keys;
    for (int i = 0; i < 20000; ++i)
        keys.push_back({(i * 7919) % 13, 0});
    TTreePtr tree = KeyTree(keys);
    tree->Sort(nullptr, 0, sdDescending);
    int lastKey = 1 << 30;
    int lastId = -1;
    Cardinal index = 0;
    for (TGridNode* n = tree->GetFirstNoInit(); n; n = n->NextSibling) {
        const TKeys* k = tree->GetNodeData<TKeys>(n);
        ASSERT_LE(k->A, lastKey);
        if (k->A == lastKey) {
            ASSERT_GT(k->Id, lastId) << "equal keys keep their order";
        }
        lastKey = k->A;
        lastId = k->Id;
        ASSERT_EQ(n->Index, index++);
    }
    ExpectConsistent(tree.get());
}
