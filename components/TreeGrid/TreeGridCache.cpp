// The position cache of TBaseTreeGrid and the one worker thread, shared by
// all trees of the process, that builds it.
//
// Protocol: a tree queues itself (ValidateCache) and signals the worker. The
// worker takes the trees one at a time and changes a tree's states only by
// sending its message window WM_CHANGESTATE, so every state change happens
// on the GUI thread: before the walk (enter validating, leave use-cache) and
// after it (enter use-cache when a cache was built; leave stop, validating
// and, with a cache, validation-needed). The GUI thread uses the cache only
// under tsUseCache, which the first message has left, and every change of
// the structure first calls InterruptValidation, which returns only once the
// worker has let go of the tree.
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {

constexpr UINT WM_CHANGESTATE = WM_APP + 32;
// Posted to itself after a cache of variable-height rows was built.
constexpr UINT WM_MEASURECACHEDROWS = WM_APP + 33;
// Visible nodes per cache entry; trees with no more than this keep no cache.
constexpr Cardinal CacheThreshold = 2000;

TTreeGridStates StatesFromBits(WPARAM Bits)
{
    TTreeGridStates result;
    if (Bits & csStopValidation)
        result.Include(tsStopValidation);
    if (Bits & csUseCache)
        result.Include(tsUseCache);
    if (Bits & csValidating)
        result.Include(tsValidating);
    if (Bits & csValidationNeeded)
        result.Include(tsValidationNeeded);
    return result;
}

}  // namespace

class TWorkerThread {
public:
    TWorkerThread() : FThread([this] { Execute(); }) {}
    ~TWorkerThread()
    {
        FTerminated = true;
        Signal();
        FThread.join();
    }
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    void AddTree(TBaseTreeGrid* Tree)
    {
        TGAssert(Tree != nullptr, "Tree must not be nil.");
        Tree->FStates.Exclude(tsStopValidation);
        std::lock_guard<std::mutex> g(FListLock);
        if (std::find(FWaiterList.begin(), FWaiterList.end(), Tree) == FWaiterList.end())
            FWaiterList.push_back(Tree);
    }

    void RemoveTree(TBaseTreeGrid* Tree)
    {
        TGAssert(Tree != nullptr, "Tree must not be nil.");
        std::lock_guard<std::mutex> g(FListLock);
        FWaiterList.erase(std::remove(FWaiterList.begin(), FWaiterList.end(), Tree), FWaiterList.end());
    }

    // Under the list's lock: true when the worker is on Tree; otherwise Tree
    // is taken out of the waiting list, so the worker cannot start on it.
    bool CurrentOrRemove(TBaseTreeGrid* Tree)
    {
        std::lock_guard<std::mutex> g(FListLock);
        if (FCurrentTree == Tree)
            return true;
        FWaiterList.erase(std::remove(FWaiterList.begin(), FWaiterList.end(), Tree), FWaiterList.end());
        return false;
    }

    bool IsCurrent(const TBaseTreeGrid* Tree)
    {
        std::lock_guard<std::mutex> g(FListLock);
        return FCurrentTree == Tree;
    }

    // The event is auto-reset: one signal lets one pass of the loop run.
    void Signal()
    {
        {
            std::lock_guard<std::mutex> g(FEventLock);
            FSignalled = true;
        }
        FEvent.notify_one();
    }

private:
    void Execute()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> g(FEventLock);
                FEvent.wait(g, [this] { return FSignalled; });
                FSignalled = false;
            }
            if (FTerminated)
                return;
            TBaseTreeGrid* tree = nullptr;
            {
                std::lock_guard<std::mutex> g(FListLock);
                if (!FWaiterList.empty()) {
                    tree = FWaiterList.front();
                    FWaiterList.pop_front();
                    if (!FWaiterList.empty())
                        Signal();
                }
                FCurrentTree = tree;
            }
            if (!tree)
                continue;
            WPARAM result = 0;
            try {
                ChangeTreeStates(tree, csValidating, csUseCache);
                if (!tree->FStates.Contains(tsStopValidation) && tree->DoValidateCache())
                    result = csUseCache;
            } catch (...) {
                result = 0;
            }
            LPARAM leave = csStopValidation | csValidating;
            if (result & csUseCache)
                leave |= csValidationNeeded;
            ChangeTreeStates(tree, result, leave);
            std::lock_guard<std::mutex> g(FListLock);
            FCurrentTree = nullptr;
        }
    }

    static void ChangeTreeStates(TBaseTreeGrid* Tree, WPARAM Enter, LPARAM Leave)
    {
        if (Tree->FMessageWindow)
            SendMessage(Tree->FMessageWindow, WM_CHANGESTATE, Enter, Leave);
    }

    std::mutex FListLock;
    std::deque<TBaseTreeGrid*> FWaiterList;
    TBaseTreeGrid* FCurrentTree = nullptr;  // under FListLock
    std::mutex FEventLock;
    std::condition_variable FEvent;
    bool FSignalled = false;
    std::atomic<bool> FTerminated{false};
    std::thread FThread;  // last: the thread starts once the rest exists
};

namespace {

// Process-wide, touched by the GUI thread only.
TWorkerThread* Worker = nullptr;
int ThreadReferences = 0;

// The worker runs only where another thread can send the GUI thread a
// message; command-line use keeps no cache.
TWorkerThread* EnsureWorker()
{
    if (!Worker && ThreadReferences > 0 && MessageLoopAvailable())
        Worker = new TWorkerThread;
    return Worker;
}

}  // namespace

bool TreeGridWorkerRunning()
{
    return Worker != nullptr;
}

bool TreeGridWorkerBusyWith(const TBaseTreeGrid* Tree)
{
    return Worker && Worker->IsCurrent(Tree);
}

void TBaseTreeGrid::AddThreadReference()
{
    if (!FThreadReferenced) {
        FThreadReferenced = true;
        ++ThreadReferences;
    }
    EnsureWorker();
}

void TBaseTreeGrid::ReleaseThreadReference()
{
    if (FThreadReferenced) {
        FThreadReferenced = false;
        --ThreadReferences;
    }
    InterruptValidation();
    if (ThreadReferences == 0 && Worker) {
        TWorkerThread* worker = Worker;
        Worker = nullptr;
        delete worker;
    }
}

HWND TBaseTreeGrid::TimerWindow()
{
    if (!FMessageWindow && MessageLoopAvailable() && !IsDestroying())
        FMessageWindow = AllocateHWnd([this](TMessage& Message) {
            switch (Message.Msg) {
            case WM_CHANGESTATE: WMChangeState(Message); break;
            case WM_MEASURECACHEDROWS: MeasureAfterValidation(); break;
            default: WndProc(Message);
            }
        });
    return FMessageWindow;
}

// ---- the cache's states ----------------------------------------------------------

void TBaseTreeGrid::DoStateChange(TTreeGridStates Enter, TTreeGridStates Leave)
{
    if (OnStateChange && !IsDestroying()) {
        const TTreeGridStates entered = Enter - FStates;
        const TTreeGridStates left = Leave * FStates;
        if (!entered.Empty() || !left.Empty())
            OnStateChange(this, entered, left);
    }
    FStates = (FStates + Enter) - Leave;
}

void TBaseTreeGrid::WMChangeState(TMessage& Message)
{
    const TTreeGridStates enter = StatesFromBits(Message.WParam);
    const TTreeGridStates leave = StatesFromBits(WPARAM(Message.LParam));
    ++FChangeStateDepth;
    try {
        DoStateChange(enter, leave);
    } catch (...) {
        --FChangeStateDepth;
        throw;
    }
    --FChangeStateDepth;
    if (enter.Contains(tsUseCache) && FOptions->MiscOptions().Contains(toVariableNodeHeight) && FMessageWindow)
        PostMessage(FMessageWindow, WM_MEASURECACHEDROWS);
}

void TBaseTreeGrid::InvalidateCache()
{
    DoStateChange({tsValidationNeeded}, {tsUseCache});
}

void TBaseTreeGrid::ValidateCache()
{
    InterruptValidation();
    FStartIndex = 0;
    if (IsDestroying() || !FStates.Contains(tsValidationNeeded))
        return;
    // The worker reports through the message window; make it now.
    if (TimerWindow() && EnsureWorker()) {
        Worker->AddTree(this);
        Worker->Signal();
    }
}

void TBaseTreeGrid::InterruptValidation()
{
    // Every change of the structure passes here.
    DropSelectionOrder();
    const bool hadCache = FStates.Contains(tsUseCache);
    DoStateChange({tsStopValidation}, {tsUseCache});
    if (Worker) {
        if (!Worker->CurrentOrRemove(this) && !FStates.Contains(tsValidating)) {
            // A cache that was in use is stale now: the next ValidateCache
            // must build it again.
            if (hadCache)
                DoStateChange({tsValidationNeeded});
            return;
        }
        // Inside this tree's own change-state message the worker waits for
        // the handler: it has not begun the walk (and will see the stop
        // request) or has finished it. Waiting here would wait for itself.
        if (FChangeStateDepth == 0) {
            // The stop request ends the walk within one node; the closing
            // message always comes, also while the application shuts down.
            TWorkerThread* worker = Worker;
            WaitPumpingSentMessages(
                [this, worker] { return !FStates.Contains(tsValidating) && !worker->IsCurrent(this); });
        }
    }
    DoStateChange({tsValidationNeeded});
}

// ---- building and reading the cache ---------------------------------------------

Cardinal TBaseTreeGrid::CalculateCacheEntryCount() const
{
    if (FVisibleCount < 2)
        return 0;
    // One entry per CacheThreshold nodes and one at the end of the covered area.
    return (FVisibleCount + CacheThreshold - 1) / CacheThreshold + 1;
}

// Runs on the worker thread while the GUI thread leaves the structure alone.
// It reads links and stored heights only: measuring a row would call the
// application from this thread.
bool TBaseTreeGrid::DoValidateCache()
{
    if (FStates.Contains(tsStopValidation))
        return false;
    if (FStartIndex == 0)
        FPositionCache.clear();
    if (FVisibleCount <= CacheThreshold)
        return false;
    const Cardinal count = CalculateCacheEntryCount();
    FPositionCache.resize(count);
    if (FStartIndex > count)
        FStartIndex = count;
    Cardinal index = 0;
    TGridNode* run = nullptr;
    Cardinal top = 0;
    if (FStartIndex > 0 && FPositionCache[FStartIndex - 1].Node) {
        index = FStartIndex - 1;
        run = FPositionCache[index].Node;
        top = FPositionCache[index].AbsoluteTop;
    } else {
        run = GetFirstVisibleNoInit(nullptr, true);
    }
    TGridNode* last = nullptr;
    Cardinal counted = 0;
    bool stopped = false;
    bool full = false;
    while (run) {
        if (FStates.Contains(tsStopValidation)) {
            stopped = true;
            break;
        }
        if (counted % CacheThreshold == 0) {
            // The last slot belongs to the end entry.
            if (index + 1 >= count) {
                full = true;
                break;
            }
            FPositionCache[index++] = {run, top};
        }
        ++counted;
        top += run->NodeHeight;
        last = run;
        run = GetNextVisibleNoInit(run, true);
    }
    if (stopped || full || !last)
        return false;
    FPositionCache.resize(index + 1);
    FPositionCache[index] = {last, top};
    return true;
}

// Both searches look at the entries before the end entry only: it marks
// where the covered area ends and belongs to no row.
int TBaseTreeGrid::CacheIndexAt(Cardinal Position) const
{
    if (FPositionCache.size() < 2 || Position >= FPositionCache.back().AbsoluteTop)
        return -1;
    const auto end = FPositionCache.end() - 1;
    const auto it = std::upper_bound(FPositionCache.begin(), end, Position,
        [](Cardinal p, const TCacheEntry& e) { return p < e.AbsoluteTop; });
    return int(it - FPositionCache.begin()) - 1;
}

TGridNode* TBaseTreeGrid::FindInPositionCache(Cardinal Position, Cardinal& Top) const
{
    const int index = CacheIndexAt(Position);
    Top = index < 0 ? 0 : FPositionCache[std::size_t(index)].AbsoluteTop;
    return index < 0 ? nullptr : FPositionCache[std::size_t(index)].Node;
}

TGridNode* TBaseTreeGrid::FindInPositionCache(TGridNode* Node, Cardinal& Top) const
{
    Top = 0;
    if (FPositionCache.size() < 2 || !Node)
        return nullptr;
    const auto end = FPositionCache.end() - 1;
    auto it = std::upper_bound(FPositionCache.begin(), end, Node,
        [this](TGridNode* n, const TCacheEntry& e) { return CompareNodePositions(n, e.Node, true) < 0; });
    if (it == FPositionCache.begin())
        return nullptr;
    --it;
    Top = it->AbsoluteTop;
    return it->Node;
}

// ---- walking rows by position -----------------------------------------------------

namespace {

// Steps over visible rows by the stored totals: a subtree that ends before
// the place looked for is passed by its total height in one step. Without
// children above their parents and without measuring, this gives what a
// walk from row to row gives.
struct TRowSkipper {
    TGridNode* Root;
    bool ShowHidden;
    bool Shown(const TGridNode* Node) const
    {
        return Node->States.Contains(vsVisible) && (ShowHidden || !Node->States.Contains(vsHidden));
    }
    TGridNode* FirstShownChild(TGridNode* Node) const
    {
        for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling)
            if (Shown(child))
                return child;
        return nullptr;
    }
    TGridNode* LastShownChild(TGridNode* Node) const
    {
        for (TGridNode* child = Node->LastChild; child; child = child->PrevSibling)
            if (Shown(child))
                return child;
        return nullptr;
    }
    TGridNode* PreviousShownSibling(TGridNode* Node) const
    {
        for (TGridNode* sibling = Node->PrevSibling; sibling; sibling = sibling->PrevSibling)
            if (Shown(sibling))
                return sibling;
        return nullptr;
    }
    // The next row after Node and everything below it.
    TGridNode* AfterSubtree(TGridNode* Node) const
    {
        for (TGridNode* run = Node; run != Root; run = run->Parent)
            for (TGridNode* sibling = run->NextSibling; sibling; sibling = sibling->NextSibling)
                if (Shown(sibling))
                    return sibling;
        return nullptr;
    }
};

}  // namespace

bool TBaseTreeGrid::CanSkipSubtrees() const
{
    return !FOptions->PaintOptions().Contains(toChildrenAbove) &&
        !FOptions->MiscOptions().Contains(toVariableNodeHeight);
}

TGridNode* TBaseTreeGrid::WalkToPosition(TGridNode* Run, Int64& Top, Int64 Y)
{
    if (!CanSkipSubtrees()) {
        while (Run) {
            const Int64 height = NodeHeight(Run);
            if (Y < Top + height)
                return Run;
            Top += height;
            Run = GetNextVisibleNoInit(Run, true);
        }
        return nullptr;
    }
    const TRowSkipper rows{FRoot, FOptions->PaintOptions().Contains(toShowHiddenNodes)};
    while (Run) {
        if (Y < Top + Run->NodeHeight)
            return Run;
        if (Y < Top + Run->TotalHeight && Run->States.Contains(vsExpanded))
            if (TGridNode* child = rows.FirstShownChild(Run)) {
                Top += Run->NodeHeight;
                Run = child;
                continue;
            }
        Top += Run->TotalHeight;
        Run = rows.AfterSubtree(Run);
    }
    return nullptr;
}

TGridNode* TBaseTreeGrid::WalkBackToPosition(TGridNode* Run, Int64& Top, Int64 Y)
{
    const TRowSkipper rows{FRoot, FOptions->PaintOptions().Contains(toShowHiddenNodes)};
    while (Y < Top) {
        TGridNode* sibling = rows.PreviousShownSibling(Run);
        if (!sibling) {
            // The first child's row follows its parent's.
            Run = Run->Parent;
            if (Run == FRoot)
                return nullptr;
            Top -= Run->NodeHeight;
            continue;
        }
        Int64 end = Top;
        Top -= sibling->TotalHeight;
        Run = sibling;
        if (Y < Top)
            continue;
        // Y lies in the sibling's subtree, which ends at end: down through
        // the children whose subtrees hold it, each found from the back.
        while (Y >= Top + Run->NodeHeight) {
            TGridNode* child = Run->States.Contains(vsExpanded) ? rows.LastShownChild(Run) : nullptr;
            while (child && Y < end - Int64(child->TotalHeight)) {
                end -= child->TotalHeight;
                child = rows.PreviousShownSibling(child);
            }
            if (!child)
                return nullptr;
            Run = child;
            Top = end - child->TotalHeight;
        }
        return Run;
    }
    return Run;
}

TGridNode* TBaseTreeGrid::CachedNodeAt(Int64 Y, Int64& Top)
{
    // Below the end of the cached area there is no row.
    const int index = CacheIndexAt(Cardinal(std::min<Int64>(Y, 0xFFFFFFFF)));
    Top = 0;
    if (index < 0)
        return nullptr;
    const TCacheEntry& entry = FPositionCache[std::size_t(index)];
    Top = entry.AbsoluteTop;
    if (CanSkipSubtrees()) {
        // The next entry's node, or the last row, whose bottom the end entry holds.
        const std::size_t next = std::size_t(index) + 1;
        TGridNode* after = FPositionCache[next].Node;
        Int64 afterTop = FPositionCache[next].AbsoluteTop;
        if (next + 1 == FPositionCache.size())
            afterTop -= after->NodeHeight;
        if (Y >= afterTop) {
            Top = afterTop;
            return after;
        }
        if (afterTop - Y < Y - Top) {
            Int64 top = afterTop;
            if (TGridNode* run = WalkBackToPosition(after, top, Y)) {
                Top = top;
                return run;
            }
        }
    }
    return WalkToPosition(entry.Node, Top, Y);
}

Int64 TBaseTreeGrid::WalkToNode(TGridNode* Run, Int64 Top, TGridNode* Node)
{
    if (!CanSkipSubtrees()) {
        while (Run && Run != Node) {
            Top += NodeHeight(Run);
            Run = GetNextVisibleNoInit(Run, true);
        }
        return Top;
    }
    const TRowSkipper rows{FRoot, FOptions->PaintOptions().Contains(toShowHiddenNodes)};
    // The rows on Node's way down are entered, all others passed whole.
    std::vector<TGridNode*> ancestors;
    for (TGridNode* run = Node->Parent; run != FRoot; run = run->Parent)
        ancestors.push_back(run);
    while (Run && Run != Node) {
        if (std::find(ancestors.begin(), ancestors.end(), Run) != ancestors.end()) {
            Top += Run->NodeHeight;
            Run = rows.FirstShownChild(Run);
        } else {
            Top += Run->TotalHeight;
            Run = rows.AfterSubtree(Run);
        }
    }
    return Top;
}

Int64 TBaseTreeGrid::NodeTop(TGridNode* Node)
{
    TGridNode* run = nullptr;
    Cardinal cached = 0;
    if (FStates.Contains(tsUseCache))
        run = FindInPositionCache(Node, cached);
    if (!run) {
        run = GetFirstVisibleNoInit(nullptr, true);
        cached = 0;
    }
    return WalkToNode(run, cached, Node);
}

bool TBaseTreeGrid::NodeTopIsCheap() const
{
    return FStates.Contains(tsUseCache) || FVisibleCount <= CacheThreshold;
}

void TBaseTreeGrid::MeasureAfterValidation()
{
    if (IsDestroying() || !FOptions->MiscOptions().Contains(toVariableNodeHeight))
        return;
    // Each changed height leaves tsUseCache; validation starts once, after.
    ++FUpdateCount;
    try {
        for (TGridNode* run = GetFirstVisibleNoInit(nullptr, true); run; run = GetNextVisibleNoInit(run, true))
            NodeHeight(run);
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    if (FUpdateCount > 0)
        return;
    if (!FStates.Contains(tsUseCache))
        ValidateCache();
    UpdateScrollBars(true);
    if (HandleAllocated())
        Invalidate();
}
