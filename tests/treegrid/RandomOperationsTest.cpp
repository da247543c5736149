// Random sequences of the structural operations, with the full consistency
// check after every step: links, indexes, counts, heights, the visible count
// and the selection must agree whatever the order of operations.
#include <random>

#include "TreeGridTestSupport.h"

namespace {
class TRandomRun {
public:
    explicit TRandomRun(unsigned Seed) : FRandom(Seed)
    {
        FTree = MakeTree();
        FTree->SetSelection(toMultiSelect, true);
        FTree->OnCompareNodes = [](TBaseTreeGrid* t, TGridNode* a, TGridNode* b, TColumnIndex, int& result) {
            result = t->GetNodeData<TRow>(a)->Key - t->GetNodeData<TRow>(b)->Key;
        };
        FTree->OnInitNode = [this](TBaseTreeGrid* t, TGridNode*, TGridNode* n, TGridNodeInitStates&) {
            t->GetNodeData<TRow>(n)->Key = int(Below(50));
            t->GetNodeData<TRow>(n)->Id = FNextId++;
        };
    }

    // Runs Steps operations; stops at the first broken invariant and names it.
    void Run(int Steps)
    {
        for (int step = 0; step < Steps; ++step) {
            const std::string what = Step();
            ExpectConsistent(FTree.get());
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "after step " << step << ": " << what;
                return;
            }
        }
        while (FTree->UpdateCount() > 0)
            FTree->EndUpdate();
        ExpectConsistent(FTree.get());
    }

private:
    unsigned Below(unsigned n) { return n == 0 ? 0 : unsigned(FRandom() % n); }

    // A random node (initialized through the walk), or nil for the root.
    TGridNode* AnyNode(bool allowRoot)
    {
        std::vector<TGridNode*> nodes;
        for (TGridNode* n = FTree->GetFirstNoInit(); n; n = FTree->GetNextNoInit(n))
            nodes.push_back(n);
        const unsigned pick = Below(unsigned(nodes.size()) + (allowRoot ? 1 : 0));
        if (pick >= nodes.size())
            return nullptr;
        FTree->ValidateNode(nodes[pick], false);
        return nodes[pick];
    }

    std::string Step()
    {
        // Adds outweigh deletes until the tree is crowded, then stop.
        const bool crowded = FTree->RootNode()->TotalCount > 300;
        switch (Below(crowded ? 18 : 30)) {
        case 0:
        case 1: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->DeleteNode(n);
            return "DeleteNode";
        }
        case 2: {
            TGridNode* n = AnyNode(true);
            FTree->DeleteChildren(n, Below(2) == 0);
            return "DeleteChildren";
        }
        case 3: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->SetVisible(n, !FTree->IsVisible(n));
            return "SetVisible";
        }
        case 4: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->SetHidden(n, !FTree->IsHidden(n));
            return "SetHidden";
        }
        case 5:
        case 6: {
            TGridNode* n = AnyNode(false);
            if (n && (n->ChildCount > 0 || FTree->HasChildren(n)))
                FTree->ToggleNode(n);
            return "ToggleNode";
        }
        case 7: {
            TGridNode* n = AnyNode(true);
            Below(2) ? FTree->FullExpand(n) : FTree->FullCollapse(n);
            return "FullExpand/FullCollapse";
        }
        case 8: {
            TGridNode* source = AnyNode(false);
            TGridNode* target = AnyNode(true);
            if (!source || (target && (target == source || FTree->HasAsParent(target, source))))
                return "MoveTo (skipped)";
            const TTGNodeAttachMode mode = TTGNodeAttachMode(1 + Below(4));
            const bool childrenOnly = Below(3) == 0;
            try {
                FTree->MoveTo(source, target, mode, childrenOnly);
            } catch (const ETreeGridError&) {
                // Moving the children below one of them is refused.
            }
            return "MoveTo";
        }
        case 9: {
            TGridNode* n = AnyNode(true);
            if (Below(4) == 0)
                FTree->SortTree(0, Below(2) ? sdAscending : sdDescending);
            else
                FTree->Sort(n, 0, Below(2) ? sdAscending : sdDescending);
            return "Sort";
        }
        case 10: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->SetSelected(n, !FTree->Selected(n));
            return "SetSelected";
        }
        case 11: {
            TGridNode* a = AnyNode(false);
            TGridNode* b = AnyNode(false);
            if (!b)
                return "range (skipped)";
            switch (Below(3)) {
            case 0:
                FTree->SelectNodes(a, b, Below(2) == 0);
                break;
            case 1:
                FTree->ToggleSelection(a, b);
                break;
            default:
                FTree->UnselectNodes(a, b);
            }
            return "range selection";
        }
        case 12:
            Below(3) ? FTree->DeleteSelectedNodes() : FTree->ClearSelection();
            return "DeleteSelectedNodes/ClearSelection";
        case 13:
            if (FTree->UpdateCount() < 3 && Below(2))
                FTree->BeginUpdate();
            else if (FTree->UpdateCount() > 0)
                FTree->EndUpdate();
            return "bracket";
        case 14: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->SetNodeHeight(n, 10 + Below(30));
            return "SetNodeHeight";
        }
        case 15: {
            TGridNode* n = AnyNode(false);
            FTree->SetFocusedNode(n);
            return "SetFocusedNode";
        }
        case 16:
            if (Below(40) == 0)
                FTree->Clear();
            else
                FTree->SetPaint(toChildrenAbove, Below(2) == 0);
            return "Clear/children above";
        case 17: {
            TGridNode* n = AnyNode(false);
            if (n)
                FTree->ResetNode(n);
            return "ResetNode";
        }
        case 18: {
            TGridNode* n = AnyNode(true);
            FTree->SetChildCount(n, Below(8));
            return "SetChildCount";
        }
        default:
            FTree->AddChild(AnyNode(true));
            return "AddChild";
        }
    }

    std::mt19937 FRandom;
    TTreePtr FTree;
    int FNextId = 0;
};
}  // namespace

TEST(RandomOperations, EveryStepKeepsTheTreeConsistent)
{
    TRandomRun(20240611).Run(4000);
}
