#pragma once
// A tree for tests, the structural invariants every test checks, and small
// helpers to build trees quickly.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/TreeGrid/StringTreeGrid.h"

// Exposes the protected members the tests look at.
class TTestTree : public TStringTreeGrid {
public:
    using TStringTreeGrid::TStringTreeGrid;
    using TBaseTreeGrid::FCheckNode;
    using TBaseTreeGrid::FCurrentHotNode;
    using TBaseTreeGrid::FDropTargetNode;
    using TBaseTreeGrid::FHeightTrackNode;
    using TBaseTreeGrid::FLastChangedNode;
    using TBaseTreeGrid::FLastSearchNode;
    using TBaseTreeGrid::FLastSelected;
    using TBaseTreeGrid::FLastStructureChangeNode;
    using TBaseTreeGrid::FLastVCLDragTarget;
    using TBaseTreeGrid::FSelection;
    using TBaseTreeGrid::FTotalInternalDataSize;
    using TBaseTreeGrid::AllocateInternalDataArea;
    void SetMisc(TTGMiscOption o, bool on) { TreeOptions()->SetMiscOptions(With(TreeOptions()->MiscOptions(), o, on)); }
    void SetAuto(TTGAutoOption o, bool on) { TreeOptions()->SetAutoOptions(With(TreeOptions()->AutoOptions(), o, on)); }
    void SetSelection(TTGSelectionOption o, bool on)
    {
        TreeOptions()->SetSelectionOptions(With(TreeOptions()->SelectionOptions(), o, on));
    }
    void SetPaint(TTGPaintOption o, bool on)
    {
        TreeOptions()->SetPaintOptions(With(TreeOptions()->PaintOptions(), o, on));
    }

private:
    template <class TSetOf, class TOption> static TSetOf With(TSetOf m, TOption o, bool on)
    {
        on ? m.Include(o) : m.Exclude(o);
        return m;
    }
};

struct TTreeDeleter {
    void operator()(TObject* o) const { o->Free(); }
};
using TTreePtr = std::unique_ptr<TTestTree, TTreeDeleter>;

inline TTreePtr MakeTree(int dataSize = 16)
{
    TTreePtr tree(Create<TTestTree>(nullptr));
    tree->SetNodeDataSize(dataSize);
    return tree;
}

// The record tests keep in a node.
struct TRow {
    int Key;
    int Id;
};
inline TRow& Row(TBaseTreeGrid* tree, TGridNode* node)
{
    return *tree->GetNodeData<TRow>(node);
}

// Checks links, indexes, counts and heights of the whole subtree, the
// visible count and the selection count; reports the first failure.
void ExpectConsistent(TTestTree* tree);

// Labels of the nodes in tree order as "id" strings, for readable checks.
std::string Ids(TTestTree* tree, const std::vector<TGridNode*>& nodes);
std::vector<TGridNode*> ChildrenOf(TTestTree* tree, TGridNode* parent);

// The message of the E that f raises; another exception goes on to the test.
template <class E, class F> String MessageOf(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message;
    }
    return "(nothing raised)";
}
