#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "TreeGridTestSupport.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TCacheTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    using TBaseTreeGrid::DoStateChange;
    using TBaseTreeGrid::FPositionCache;
    // Runs on the worker thread before each walk.
    std::function<void(TCacheTree*)> OnValidating;

protected:
    bool DoValidateCache() override
    {
        if (OnValidating)
            OnValidating(this);
        return TTestTree::DoValidateCache();
    }
};
using TCacheTreePtr = std::unique_ptr<TCacheTree, TTreeDeleter>;

TCacheTreePtr CacheTree(bool Window = false)
{
    EnsureApplication();
    TCacheTreePtr tree(Create<TCacheTree>(nullptr));
    tree->SetNodeDataSize(16);
    if (Window)
        tree->HandleNeeded();
    return tree;
}

struct TStateLog {
    struct TEntry {
        TTreeGridStates Entered;
        TTreeGridStates Left;
    };
    std::vector<TEntry> Entries;
    void Attach(TBaseTreeGrid* Tree)
    {
        Tree->OnStateChange = [this](TBaseTreeGrid*, TTreeGridStates Enter, TTreeGridStates Leave) {
            Entries.push_back({Enter, Leave});
        };
    }
    // The worker's messages: those that enter or leave tsValidating.
    std::vector<TEntry> WorkerMessages() const
    {
        std::vector<TEntry> result;
        for (const TEntry& e : Entries)
            if (e.Entered.Contains(tsValidating) || e.Left.Contains(tsValidating))
                result.push_back(e);
        return result;
    }
    bool Closed() const
    {
        for (const TEntry& e : Entries)
            if (e.Left.Contains(tsValidating))
                return true;
        return false;
    }
};

bool WaitForCache(TBaseTreeGrid* Tree)
{
    return ProcessEventsUntil([Tree] { return Tree->TreeStates().Contains(tsUseCache); }, 20000);
}

TGridNode* Nth(TBaseTreeGrid* tree, int n)
{
    TGridNode* node = tree->GetFirst();
    while (n-- > 0)
        node = tree->GetNextNoInit(node);
    return node;
}

// Spins on the worker thread until the GUI thread asks it to stop.
void WaitForStopRequest(TCacheTree* Tree)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Tree->TreeStates().Contains(tsStopValidation) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

TEST(PositionCache, MoreThan2000VisibleRowsGetACacheWithAnEndEntry)
{
    for (bool window : {false, true}) {
        SCOPED_TRACE(window ? "with a widget" : "without a widget");
        for (Cardinal rows : {2000u, 2001u}) {
            auto tree = CacheTree(window);
            TStateLog log;
            log.Attach(tree.get());
            tree->SetRootNodeCount(rows);
            ASSERT_TRUE(ProcessEventsUntil([&] { return log.Closed(); }, 20000)) << rows;
            const auto messages = log.WorkerMessages();
            ASSERT_EQ(messages.size(), 2u) << rows;
            EXPECT_EQ(messages[0].Entered, TTreeGridStates{tsValidating});
            EXPECT_TRUE(messages[0].Left.Empty());
            if (rows == 2000) {
                EXPECT_TRUE(messages[1].Entered.Empty());
                EXPECT_EQ(messages[1].Left, TTreeGridStates{tsValidating});
                EXPECT_TRUE(tree->TreeStates().Contains(tsValidationNeeded)) << "no cache: still needed";
                EXPECT_TRUE(tree->FPositionCache.empty());
            } else {
                EXPECT_EQ(messages[1].Entered, TTreeGridStates{tsUseCache});
                EXPECT_EQ(messages[1].Left, (TTreeGridStates{tsValidating, tsValidationNeeded}));
                ASSERT_EQ(tree->FPositionCache.size(), 3u) << "node 0, node 2000 and the end";
                EXPECT_EQ(tree->FPositionCache[0].Node, tree->GetFirst());
                EXPECT_EQ(tree->FPositionCache[1].Node, tree->GetLast());
                EXPECT_EQ(tree->FPositionCache[1].AbsoluteTop, 36000u);
                EXPECT_EQ(tree->FPositionCache[2].Node, tree->GetLast());
                EXPECT_EQ(tree->FPositionCache[2].AbsoluteTop, 36018u);
            }
        }
    }
}

TEST(PositionCache, LookupsAgreeWithAndWithoutTheCache)
{
    auto tree = CacheTree(true);
    tree->SetRootNodeCount(4001);
    ASSERT_TRUE(WaitForCache(tree.get()));
    ASSERT_EQ(tree->FPositionCache.size(), 4u);
    struct TLookup {
        TGridNode* Node;
        int Top;
    };
    auto lookups = [&] {
        std::vector<TLookup> result;
        for (int y : {0, 35999, 36000, 72017, 72018, 100000}) {
            int top = -1;
            TGridNode* node = tree->GetNodeAt(0, y, false, top);
            result.push_back({node, top});
        }
        return result;
    };
    auto rectangles = [&] {
        std::vector<TRect> result;
        for (int index : {0, 1, 1999, 2000, 2001, 3999, 4000})
            result.push_back(tree->GetDisplayRect(Nth(tree.get(), index), NoColumn, false));
        return result;
    };
    tree->SetOffsetY(-50000);
    const auto cached = lookups();
    const auto cachedRects = rectangles();
    EXPECT_EQ(cached[1].Node, Nth(tree.get(), 1999));
    EXPECT_EQ(cached[2].Node, Nth(tree.get(), 2000));
    EXPECT_EQ(cached[3].Node, tree->GetLast());
    EXPECT_EQ(cached[3].Top, 72000);
    EXPECT_EQ(cached[4].Node, nullptr) << "below the last row";
    EXPECT_EQ(cached[5].Node, nullptr);
    EXPECT_EQ(cachedRects.back(), TRect(0, 72000 - 50000, tree->ClientWidth(), 72018 - 50000));

    tree->DoStateChange({}, {tsUseCache});
    const auto walked = lookups();
    for (std::size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ(walked[i].Node, cached[i].Node) << i;
        EXPECT_EQ(walked[i].Top, cached[i].Top) << i;
    }
    EXPECT_EQ(rectangles(), cachedRects);
}

// Rows are found from the entry above or, when nearer, back from the entry
// below (the last rows from the end entry): nested, collapsed, hidden and
// filtered rows must not lead either walk astray.
TEST(PositionCache, EveryRowOfANestedTreeIsFoundAtItsTop)
{
    auto tree = CacheTree(true);
    tree->SetRootNodeCount(60);
    int n = 0;
    for (TGridNode* top = tree->GetFirst(); top; top = tree->GetNextSibling(top), ++n) {
        for (int i = 0; i < 40; ++i) {
            TGridNode* child = tree->AddChild(top);
            if (i % 7 == 3)
                for (int j = 0; j < 5; ++j)
                    tree->AddChild(child);
            if (i % 11 == 5)
                tree->SetVisible(child, false);
            if (i % 13 == 6)
                tree->SetHidden(child, true);
            if (i % 7 == 3 && i % 2 == 1)
                tree->ToggleNode(child);
        }
        if (n % 5 != 4)
            tree->ToggleNode(top);
    }
    ASSERT_GT(tree->VisibleCount(), 2000u);
    ASSERT_TRUE(WaitForCache(tree.get()));
    ASSERT_GE(tree->FPositionCache.size(), 2u);

    int expectedTop = 0;
    int rows = 0;
    for (TGridNode* row = tree->GetFirstVisible(); row; row = tree->GetNextVisible(row), ++rows) {
        for (int y : {expectedTop, expectedTop + 17}) {
            int top = -1;
            ASSERT_EQ(tree->GetNodeAt(0, y, false, top), row) << "row " << rows << " at " << y;
            ASSERT_EQ(top, expectedTop) << "row " << rows;
        }
        expectedTop += 18;
    }
    ASSERT_EQ(Cardinal(rows), tree->VisibleCount());
    ASSERT_TRUE(tree->TreeStates().Contains(tsUseCache)) << "the lookups used the cache";
    int top = -1;
    EXPECT_EQ(tree->GetNodeAt(0, expectedTop, false, top), nullptr) << "below the last row";
}

TEST(PositionCache, VariableHeightsAreMeasuredOnTheGuiThreadOnly)
{
    auto tree = CacheTree();
    tree->SetMisc(toVariableNodeHeight, true);
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<int> foreign{0};
    tree->OnMeasureItem = [&](TBaseTreeGrid*, TCanvas*, TGridNode*, int& Height) {
        if (std::this_thread::get_id() != gui)
            ++foreign;
        Height = 20;
    };
    tree->SetRootNodeCount(3000);
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return tree->TreeStates().Contains(tsUseCache) && tree->RangeY() == 3000u * 20; }, 20000));
    EXPECT_EQ(foreign.load(), 0) << "the worker must not call the application";
    int top = 0;
    EXPECT_EQ(tree->GetNodeAt(0, 2500 * 20 + 5, false, top), Nth(tree.get(), 2500));
    EXPECT_EQ(top, 2500 * 20);
    EXPECT_EQ(tree->FPositionCache.back().AbsoluteTop, 3000u * 20);
}

TEST(PositionCache, ADeletionDuringTheWalkWaitsForTheWorker)
{
    auto tree = CacheTree();
    std::atomic<bool> walking{false};
    tree->OnValidating = [&](TCacheTree* t) {
        walking = true;
        WaitForStopRequest(t);
    };
    TStateLog log;
    log.Attach(tree.get());
    tree->SetRootNodeCount(3000);
    ASSERT_TRUE(ProcessEventsUntil([&] { return walking.load(); }, 20000));
    tree->OnValidating = nullptr;
    tree->DeleteNode(tree->GetLast());
    // Nothing was handled since: a report in the log came before the return.
    EXPECT_TRUE(log.Closed()) << "the worker reported before the deletion went on";
    ASSERT_TRUE(WaitForCache(tree.get())) << "validated again afterwards";
    EXPECT_EQ(tree->FPositionCache.back().AbsoluteTop, 2999u * 18);
}

TEST(PositionCache, ADeletionRightAfterTheWorkerTookTheTreeWaitsToo)
{
    auto tree = CacheTree();
    TStateLog log;
    log.Attach(tree.get());
    tree->SetRootNodeCount(3000);
    // No events handled: the worker takes the tree and waits for the GUI
    // thread to take its first message, so tsValidating is not set yet.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!TreeGridWorkerBusyWith(tree.get()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(TreeGridWorkerBusyWith(tree.get()));
    ASSERT_FALSE(tree->TreeStates().Contains(tsValidating));
    tree->DeleteNode(tree->GetLast());
    EXPECT_TRUE(log.Closed()) << "the worker reported before the deletion went on";
    ExpectConsistent(tree.get());
}

TEST(PositionCache, StoppingWaitsForTheWorkerAlsoWhileTheApplicationEnds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto tree = CacheTree();
            std::atomic<bool> walking{false};
            tree->OnValidating = [&](TCacheTree* t) {
                walking = true;
                WaitForStopRequest(t);
            };
            TStateLog log;
            log.Attach(tree.get());
            tree->SetRootNodeCount(3000);
            if (!ProcessEventsUntil([&] { return walking.load(); }, 20000))
                std::exit(2);
            Application->Terminate();
            tree->DeleteNode(tree->GetLast());
            std::exit(log.Closed() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(PositionCache, TheWorkerLivesWhileTreesDo)
{
    EnsureApplication();
    ASSERT_FALSE(TreeGridWorkerRunning()) << "no tree is left from another test";
    {
        auto first = CacheTree();
        auto second = CacheTree();
        EXPECT_TRUE(TreeGridWorkerRunning());
        // Two trees queued at once are validated one after the other.
        TStateLog firstLog;
        TStateLog secondLog;
        firstLog.Attach(first.get());
        secondLog.Attach(second.get());
        first->SetRootNodeCount(2500);
        second->SetRootNodeCount(2500);
        ASSERT_TRUE(WaitForCache(first.get()));
        ASSERT_TRUE(WaitForCache(second.get()));
        EXPECT_EQ(firstLog.WorkerMessages().size(), 2u);
        EXPECT_EQ(secondLog.WorkerMessages().size(), 2u);
        first.reset();
        EXPECT_TRUE(TreeGridWorkerRunning());
    }
    EXPECT_FALSE(TreeGridWorkerRunning()) << "ended with the last tree";
    auto later = CacheTree();
    EXPECT_TRUE(TreeGridWorkerRunning()) << "and started again for a new one";
}

TEST(PositionCache, WithoutAnApplicationNoWorkerStarts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TTreePtr tree = MakeTree();
            tree->SetRootNodeCount(3000);
            int top = 0;
            const bool found = tree->GetNodeAt(0, 2500 * 18, false, top) != nullptr && top == 2500 * 18;
            std::exit(!TreeGridWorkerRunning() && !tree->TreeStates().Contains(tsUseCache) && found ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Structure changes, filters, expansion and scrolling while the worker
// builds the cache again and again; also run under the thread sanitizer.
TEST(PositionCache, ChangesWhileTheWorkerRuns)
{
    auto tree = CacheTree(true);
    tree->SetRootNodeCount(5000);
    std::mt19937 random(29);
    auto pick = [&] {
        TGridNode* node = tree->GetFirst();
        const int steps = int(random() % 400);
        for (int i = 0; i < steps && node; ++i)
            node = tree->GetNextNoInit(node);
        return node ? node : tree->GetFirst();
    };
    for (int step = 0; step < 1500; ++step) {
        switch (random() % 8) {
        case 0: tree->AddChild(random() % 2 ? nullptr : pick()); break;
        case 1:
            if (tree->RootNodeCount() > 100)
                tree->DeleteNode(pick());
            break;
        case 2: tree->SetVisible(pick(), random() % 3 != 0); break;
        case 3: tree->ToggleNode(pick()); break;
        case 4: tree->SetOffsetY(-int(random() % 100000)); break;
        case 5: {
            int top = 0;
            tree->GetNodeAt(0, int(random() % 100000), false, top);
            break;
        }
        case 6: tree->ScrollIntoView(pick(), random() % 2 != 0); break;
        default: ProcessEvents(); break;
        }
    }
    ExpectConsistent(tree.get());
    ASSERT_TRUE(WaitForCache(tree.get()));
    std::vector<TGridNode*> cached;
    for (int y = 0; y < int(tree->RangeY()); y += 997) {
        int top = 0;
        cached.push_back(tree->GetNodeAt(0, y, false, top));
    }
    tree->DoStateChange({}, {tsUseCache});
    for (int y = 0, i = 0; y < int(tree->RangeY()); y += 997, ++i) {
        int top = 0;
        ASSERT_EQ(tree->GetNodeAt(0, y, false, top), cached[std::size_t(i)]) << y;
    }
}

// Without the cache a long tree repaints its client area for any row, so a
// change that touches every row stays linear; with it, only the row's place.
TEST(PositionCache, AnInvalidatedRowIsRepaintedWithOrWithoutTheCache)
{
    auto tree = CacheTree(true);
    tree->SetBounds(0, 0, 200, 120);
    tree->SetRootNodeCount(3000);
    ASSERT_FALSE(tree->TreeStates().Contains(tsUseCache));
    auto dirty = [&](TGridNode* Node) {
        ValidateRect(tree->Handle(), nullptr);
        tree->InvalidateNode(Node);
        TRect r;
        GetUpdateRect(tree->Handle(), &r, false);
        return r;
    };
    TRect r = dirty(Nth(tree.get(), 2));
    EXPECT_TRUE(r.Top <= 36 && r.Bottom >= 54 && r.Left == 0 && r.Right >= tree->ClientWidth())
        << "covers the row: " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    ASSERT_TRUE(WaitForCache(tree.get()));
    EXPECT_EQ(dirty(Nth(tree.get(), 2)), TRect(0, 36, tree->ClientWidth(), 54));
    EXPECT_TRUE(dirty(Nth(tree.get(), 2500)).IsEmpty()) << "far below the client area";
}
