#include "TreeGridTestSupport.h"

#include <cstdint>

namespace {
struct TTotals {
    Cardinal Count;
    Cardinal Height;
};

// Reports only the first broken invariant: later ones usually follow from it.
TTotals CheckNode(TTestTree* tree, TGridNode* node, bool& ok)
{
    auto check = [&ok](bool good, const std::string& what) {
        if (!good && ok) {
            ADD_FAILURE() << what;
            ok = false;
        }
    };
    Cardinal count = 1;
    Cardinal height = node->NodeHeight;
    Cardinal index = 0;
    TGridNode* previous = nullptr;
    for (TGridNode* child = node->FirstChild; child; child = child->NextSibling, ++index) {
        check(child->Parent == node, "parent link broken");
        check(child->PrevSibling == previous, "previous-sibling link broken");
        check(child->Index == index,
            "index " + std::to_string(child->Index) + " where " + std::to_string(index) + " belongs");
        count += CheckNode(tree, child, ok).Count;
        if (node->States.Contains(vsExpanded) && tree->IsEffectivelyVisible(child))
            height += child->TotalHeight;
        previous = child;
    }
    check(node->LastChild == previous, "last-child link broken");
    check(node->ChildCount == index,
        "ChildCount " + std::to_string(node->ChildCount) + " but " + std::to_string(index) + " children");
    check(node->TotalCount == count,
        "TotalCount " + std::to_string(node->TotalCount) + " but " + std::to_string(count) + " nodes");
    check(node->TotalHeight == height,
        "TotalHeight " + std::to_string(node->TotalHeight) + " but " + std::to_string(height));
    return {count, height};
}

Cardinal CountRows(TTestTree* tree, TGridNode* node)
{
    if (!node->States.Contains(vsExpanded))
        return 0;
    Cardinal rows = 0;
    for (TGridNode* child = node->FirstChild; child; child = child->NextSibling)
        if (tree->IsEffectivelyVisible(child))
            rows += 1 + CountRows(tree, child);
    return rows;
}
}  // namespace

void ExpectConsistent(TTestTree* tree)
{
    bool ok = true;
    CheckNode(tree, tree->RootNode(), ok);
    const Cardinal rows = CountRows(tree, tree->RootNode());
    EXPECT_EQ(tree->VisibleCount(), rows) << "visible count";
    Cardinal walked = 0;
    for (TGridNode* run = tree->GetFirstVisibleNoInit(); run; run = tree->GetNextVisibleNoInit(run))
        ++walked;
    EXPECT_EQ(walked, rows) << "visible walk";
    std::vector<TGridNode*> selected;
    bool initialized = true;
    for (TGridNode* run = tree->GetFirstNoInit(); run; run = tree->GetNextNoInit(run))
        if (run->States.Contains(vsSelected)) {
            selected.push_back(run);
            initialized = initialized && run->States.Contains(vsInitialized);
        }
    EXPECT_EQ(tree->SelectedCount(), int(selected.size())) << "selection count";
    // Walks over the selection meet it in tree order, the repeated one too
    // (it goes by the order the first one left). Only where walking
    // initialises nothing, so the check changes no state.
    if (initialized)
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<TGridNode*> walked;
            for (TGridNode* n = tree->GetFirstSelected(); n && walked.size() <= selected.size();
                 n = tree->GetNextSelected(n))
                walked.push_back(n);
            EXPECT_EQ(walked, selected) << "selection walk " << pass;
        }
    // Sorted by address; only entries marked for removal (lowest bit set) may
    // repeat, when a freed block came back as a node that went again.
    for (std::size_t i = 1; i < tree->FSelection.size(); ++i) {
        const auto before = reinterpret_cast<std::uintptr_t>(tree->FSelection[i - 1]);
        const auto after = reinterpret_cast<std::uintptr_t>(tree->FSelection[i]);
        EXPECT_TRUE(before < after || (before == after && (after & 1) != 0)) << "selection order";
    }
}

std::string Ids(TTestTree* tree, const std::vector<TGridNode*>& nodes)
{
    std::string result;
    for (TGridNode* n : nodes) {
        if (!result.empty())
            result += ' ';
        result += std::to_string(Row(tree, n).Id);
    }
    return result;
}

std::vector<TGridNode*> ChildrenOf(TTestTree* tree, TGridNode* parent)
{
    std::vector<TGridNode*> result;
    for (TGridNode* c = tree->GetFirstChildNoInit(parent); c; c = c->NextSibling)
        result.push_back(c);
    return result;
}
