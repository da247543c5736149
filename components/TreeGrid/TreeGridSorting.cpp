// Sorting of TBaseTreeGrid: a stable merge sort over the sibling chains that
// relinks the nodes in place and allocates nothing.
#include <algorithm>
#include <vector>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {
// Up to this many siblings the chain merge, which needs no memory, is as fast.
constexpr Cardinal ChainSortLimit = 4096;
}  // namespace

// Takes Count nodes from the head of the NextSibling chain (advancing Head)
// and returns them sorted, as a nil-terminated chain. A node of the second
// run goes first only when it must, so equal nodes keep their order.
static TGridNode* MergeSortChain(TBaseTreeGrid* Tree, TGridNode*& Head, Cardinal Count, TColumnIndex Column,
    bool Descending, int (*Compare)(TBaseTreeGrid*, TGridNode*, TGridNode*, TColumnIndex))
{
    if (Count == 1) {
        TGridNode* node = Head;
        Head = Head->NextSibling;
        node->NextSibling = nullptr;
        return node;
    }
    TGridNode* a = MergeSortChain(Tree, Head, Count / 2, Column, Descending, Compare);
    TGridNode* b = MergeSortChain(Tree, Head, (Count + 1) / 2, Column, Descending, Compare);
    TGridNode* result = nullptr;
    TGridNode** tail = &result;
    while (a && b) {
        const int c = Compare(Tree, a, b, Column);
        if (Descending ? c < 0 : c > 0) {
            *tail = b;
            b = b->NextSibling;
        } else {
            *tail = a;
            a = a->NextSibling;
        }
        tail = &(*tail)->NextSibling;
    }
    *tail = a ? a : b;
    return result;
}

// Long sibling lists are sorted through an array of their nodes: the same
// stable merge (ties keep their order, the right run goes first only when it
// must), but the runs are arrays, so the nodes a merge will compare next are
// known ahead and fetched from memory while the current pair is compared. A
// chain merge has to follow each link before it can load the next node.
static void MergeSortArray(TBaseTreeGrid* Tree, std::vector<TGridNode*>& Items, TColumnIndex Column, bool Descending,
    std::size_t DataOffset, int (*Compare)(TBaseTreeGrid*, TGridNode*, TGridNode*, TColumnIndex))
{
    const std::size_t n = Items.size();
    auto before = [&](TGridNode* right, TGridNode* left) {
        const int c = Compare(Tree, left, right, Column);
        return Descending ? c < 0 : c > 0;
    };
    auto fetch = [DataOffset](TGridNode* node) {
        const char* p = reinterpret_cast<const char*>(node);
        __builtin_prefetch(p + DataOffset);
        __builtin_prefetch(p + DataOffset + 63);
    };
    constexpr std::size_t RunLength = 16;
    for (std::size_t start = 0; start < n; start += RunLength) {
        const std::size_t end = std::min(n, start + RunLength);
        for (std::size_t i = start + 1; i < end; ++i) {
            TGridNode* item = Items[i];
            std::size_t j = i;
            while (j > start && before(item, Items[j - 1])) {
                Items[j] = Items[j - 1];
                --j;
            }
            Items[j] = item;
        }
    }
    constexpr std::size_t Ahead = 8;
    std::vector<TGridNode*> buffer(n);
    std::vector<TGridNode*>* from = &Items;
    std::vector<TGridNode*>* to = &buffer;
    for (std::size_t width = RunLength; width < n; width *= 2) {
        for (std::size_t low = 0; low < n; low += 2 * width) {
            const std::size_t middle = std::min(n, low + width);
            const std::size_t high = std::min(n, low + 2 * width);
            std::size_t i = low;
            std::size_t j = middle;
            std::size_t k = low;
            const std::vector<TGridNode*>& src = *from;
            std::vector<TGridNode*>& dst = *to;
            while (i < middle && j < high) {
                if (i + Ahead < middle)
                    fetch(src[i + Ahead]);
                if (j + Ahead < high)
                    fetch(src[j + Ahead]);
                if (before(src[j], src[i]))
                    dst[k++] = src[j++];
                else
                    dst[k++] = src[i++];
            }
            while (i < middle)
                dst[k++] = src[i++];
            while (j < high)
                dst[k++] = src[j++];
        }
        std::swap(from, to);
    }
    if (from != &Items)
        Items.swap(buffer);
}

int TBaseTreeGrid::DoCompare(TGridNode* Node1, TGridNode* Node2, TColumnIndex Column)
{
    int result = 0;
    if (OnCompareNodes)
        OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

void TBaseTreeGrid::Sort(TGridNode* Node, TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    InterruptValidation();
    if (FStates.Contains(tsEditPending)) {
        StopTimer(2);
        FStates.Exclude(tsEditPending);
    }
    if (FStates.Contains(tsEditing) && !EndEditNode())
        return;
    if (!Node)
        Node = FRoot;
    if (!Node->States.Contains(vsHasChildren))
        return;
    if (DoInit) {
        if (Node->ChildCount == 0)
            InitChildren(Node);
        ValidateChildren(Node, false);
    }
    if (Node->ChildCount > 1) {
        auto compare = [](TBaseTreeGrid* tree, TGridNode* a, TGridNode* b, TColumnIndex column) {
            return tree->DoCompare(a, b, column);
        };
        const bool descending = Direction == sdDescending;
        if (Node->ChildCount <= ChainSortLimit) {
            TGridNode* head = Node->FirstChild;
            Node->FirstChild = MergeSortChain(this, head, Node->ChildCount, Column, descending, compare);
            TGridNode* previous = nullptr;
            Cardinal index = 0;
            for (TGridNode* run = Node->FirstChild; run; run = run->NextSibling) {
                run->PrevSibling = previous;
                run->Index = index++;
                previous = run;
            }
            Node->LastChild = previous;
        } else {
            std::vector<TGridNode*> items;
            items.reserve(Node->ChildCount);
            for (TGridNode* run = Node->FirstChild; run; run = run->NextSibling)
                items.push_back(run);
            MergeSortArray(this, items, Column, descending, TreeNodeSize + FTotalInternalDataSize, compare);
            const std::size_t count = items.size();
            for (std::size_t i = 0; i < count; ++i) {
                if (i + 8 < count)
                    __builtin_prefetch(items[i + 8], 1);
                TGridNode* run = items[i];
                run->Index = Cardinal(i);
                run->PrevSibling = i > 0 ? items[i - 1] : nullptr;
                run->NextSibling = i + 1 < count ? items[i + 1] : nullptr;
            }
            Node->FirstChild = items.front();
            Node->LastChild = items.back();
        }
        InvalidateCache();
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        RepaintTree();
    }
}

void TBaseTreeGrid::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    if (Column <= InvalidColumn)
        return;
    struct TSorter {
        TBaseTreeGrid* Tree;
        TColumnIndex Column;
        TSortDirection Direction;
        bool DoInit;
        void Subtree(TGridNode* Node)
        {
            Tree->Sort(Node, Column, Direction, DoInit);
            for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling) {
                if (DoInit && !child->States.Contains(vsInitialized))
                    Tree->InitNode(child);
                if (child->States.Contains(vsInitialized) && child->States.Contains(vsHasChildren))
                    Subtree(child);
            }
        }
    } sorter{this, Column, Direction, DoInit};
    ++FUpdateCount;
    try {
        sorter.Subtree(FRoot);
    } catch (...) {
        --FUpdateCount;
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            RepaintTree();
        }
        throw;
    }
    --FUpdateCount;
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        RepaintTree();
    }
}
