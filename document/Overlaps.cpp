// Overlapping tasks: finding them, and the two solvers that move later
// tasks behind earlier ones or onto other rows of their position.
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "document/UndoRedo.h"
#include "platform/SysUtils.h"

namespace {

struct TOverlapEntry {
    double start;
    double ende;
    int row;    // shown row
    int order;  // tree order, so equal dates keep a fixed order
    TNodeData* node;
};

// Calls Visit for every task row in tree order.
template <class F>
void ForEachTask(TScheduleDocument& Doc, F&& Visit)
{
    auto* tree = dynamic_cast<TRowTree*>(Doc.StringTreeGrid1);
    if (!tree)
        return;
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node))
        if (TNodeData* row = tree->Row(node))
            Visit(row);
}

String FirstLine(const String& Text)
{
    const std::size_t end = Text.find_first_of("\r\n");
    return end == String::npos ? Text : Text.substr(0, end);
}

}  // namespace

void TScheduleDocument::UpdateOverlappingProc()
{
    if (IsUpdating())
        return;
    std::vector<TOverlapEntry> entries;
    entries.reserve(std::size_t(GetTableRowCount(tbTable)));
    int order = 0;
    ForEachTask(*this, [&](TNodeData* row) {
        if (!row->nodeValid || row->nodePosition < 0)
            return;
        const int shown = GetPositionOf(row);
        // Only shown rows are scanned.
        if (shown >= 0)
            entries.push_back({row->nodeStart, row->nodeEnd, shown, order++, row});
    });

    for (int i = 0; i < FOverlappingNodes.Count(); ++i)
        CB_SetRecalcBitmap(static_cast<TNodeData*>(FOverlappingNodes.Items(i)));
    const int oldCount = FOverlappingNodes.Count();
    ClearOverlapping();

    // One sort by row, then start and end, serves the scan of every row.
    std::sort(entries.begin(), entries.end(), [](const TOverlapEntry& a, const TOverlapEntry& b) {
        if (a.row != b.row)
            return a.row > b.row;  // the last row is scanned first
        if (a.start != b.start)
            return a.start < b.start;
        if (a.ende != b.ende)
            return a.ende < b.ende;
        return a.order < b.order;
    });

    std::unordered_set<const TNodeData*> ignored;
    for (int i = 0; i < FIgnoreOverlappingNodes.Count(); ++i)
        ignored.insert(static_cast<const TNodeData*>(FIgnoreOverlappingNodes.Items(i)));
    auto add = [&](TNodeData* row) {
        if (ignored.empty() || ignored.find(row) == ignored.end())
            AddOverlapping(row);
    };
    const double gap = FMinUnit == muMinute ? 0 : 1;
    if (entries.size() > 1) {
        std::size_t first = 0;
        while (first < entries.size()) {
            std::size_t last = first + 1;
            while (last < entries.size() && entries[last].row == entries[first].row)
                ++last;
            const TOverlapEntry* reference = &entries[first];
            for (std::size_t i = first + 1; i < last; ++i) {
                const TOverlapEntry& e = entries[i];
                if (e.start < reference->ende + gap) {
                    add(reference->node);
                    add(e.node);
                    if (e.ende > reference->ende)
                        reference = &e;
                } else {
                    reference = &e;
                }
            }
            first = last;
        }
    }

    if ((oldCount == 0) != (FOverlappingNodes.Count() == 0))
        ForEachTask(*this, [&](TNodeData* row) { CB_SetRecalcBitmap(row); });
    else
        for (int i = 0; i < FOverlappingNodes.Count(); ++i)
            CB_SetRecalcBitmap(static_cast<TNodeData*>(FOverlappingNodes.Items(i)));

    // With nothing overlapping the solver would only record an empty undo
    // step (and drop the redo list) at every recomputation.
    if (GetAutoArrange() && FOverlappingNodes.Count() > 0 && !FSolvingOverlaps)
        ActionSolveOverlappingExecute();
}

bool TScheduleDocument::ActionSolveOverlappingUpdate() const
{
    return FOverlappingNodes.Count() > 0 && !IsConnectedClient() && !IsActiveServer();
}

// Each pass takes, on every shown row with overlaps, the overlapping task
// that starts first and packs the tasks after it: the rows do not affect
// each other, so this is the one-row-at-a-time walk done for all rows at
// once. A pass that moves nothing ends the run (a start can round back onto
// the same text), and there are never more passes than task rows.
void TScheduleDocument::ActionSolveOverlappingExecute()
{
    if (!ActionSolveOverlappingUpdate() || FSolvingOverlaps)
        return;
    PushUndoSnapshot();
    TUndoBlock noUndo(UndoRedo());
    FSolvingOverlaps = true;
    BeginCalendarPass();
    TScopeExit guard([this] {
        EndCalendarPass();
        FSolvingOverlaps = false;
    });

    const double gap = FMinUnit == muMinute ? 0 : 1;
    const bool autoArrange = GetAutoArrange();
    const int passes = GetTableRowCount(tbTable);
    for (int pass = 0; pass < passes && FOverlappingNodes.Count() > 0; ++pass) {
        const TDateTime now = Now();
        // The first-starting overlapping task of every shown row.
        std::unordered_map<int, TNodeData*> heads;
        for (int i = 0; i < FOverlappingNodes.Count(); ++i) {
            auto* row = static_cast<TNodeData*>(FOverlappingNodes.Items(i));
            const int shown = GetPositionOf(row);
            if (shown < 0)
                continue;
            auto [it, added] = heads.emplace(shown, row);
            if (!added && GetStartOf(row) < GetStartOf(it->second))
                it->second = row;
        }
        std::unordered_map<int, std::vector<TNodeData*>> chains;
        for (const auto& [shown, head] : heads)
            chains[shown].push_back(head);
        ForEachTask(*this, [&](TNodeData* row) {
            if (!row->nodeValid)
                return;
            auto it = heads.find(GetPositionOf(row));
            if (it != heads.end() && row != it->second && GetStartOf(row) >= GetStartOf(it->second))
                chains[it->first].push_back(row);
        });
        std::vector<std::vector<TNodeData*>*> ordered;
        for (auto& [shown, chain] : chains) {
            std::stable_sort(chain.begin() + 1, chain.end(),
                [this](const TNodeData* a, const TNodeData* b) { return GetStartOf(a) < GetStartOf(b); });
            ordered.push_back(&chain);
        }
        std::sort(ordered.begin(), ordered.end(), [this](const auto* a, const auto* b) {
            if (GetStartOf(a->front()) != GetStartOf(b->front()))
                return GetStartOf(a->front()) < GetStartOf(b->front());
            return GetPositionOf(a->front()) < GetPositionOf(b->front());
        });

        bool moved = false;
        for (std::vector<TNodeData*>* chain : ordered) {
            TDateTime previousEnd = GetEndOf(chain->front());
            for (std::size_t i = 1; i < chain->size(); ++i) {
                TNodeData* member = (*chain)[i];
                const TDateTime start = GetStartOf(member);
                if ((autoArrange && start > now) || start < previousEnd + gap) {
                    const String before = GetData_(member, cnStart);
                    SetStartOf(member, previousEnd + gap);
                    moved = moved || GetData_(member, cnStart) != before;
                }
                previousEnd = GetEndOf(member);
            }
        }
        if (!moved)
            break;
        UpdateOverlapping(false);
    }
}

void TScheduleDocument::ActionSolveOverlappingSingleExecute()
{
    if (!ActionSolveOverlappingUpdate())
        return;
    if (GetPositionGroupIndex() != 0) {
        ShowInformation(Translate("Please call this function from Summary view."));
        return;
    }
    const bool hideEmpty = HideEmptyPositions();
    const bool hideEmptyMulti = HideEmptyMultiRowPositions();
    SetHideEmptyPositions(false);
    SetHideEmptyMultiRowPositions(false);
    // Every row of every position shown: a shown row is an expanded index.
    UpdateEmptyRowsProc();
    PushUndoSnapshot();
    std::optional<TUndoBlock> noUndo(std::in_place, UndoRedo());
    auto restoreOptions = [&] {
        SetHideEmptyPositions(hideEmpty);
        SetHideEmptyMultiRowPositions(hideEmptyMulti);
        UpdateEmptyRows(true);
    };

    bool yesToAll = false;
    // Every step settles, adds a row for or ignores one task; the bound only
    // guards against a document that keeps changing under the solver.
    const int steps = 4 * GetTableRowCount(tbTable) + 16;
    for (int step = 0; step < steps && FOverlappingNodes.Count() > 0; ++step) {
        TNodeData* q = nullptr;
        for (int i = 0; i < FOverlappingNodes.Count(); ++i) {
            auto* row = static_cast<TNodeData*>(FOverlappingNodes.Items(i));
            if (!q || GetStartOf(row) < GetStartOf(q))
                q = row;
        }
        const int home = q->nodePosition;
        auto moveTo = [&](int shown) {
            const int before = q->nodePosition;
            SetPositionOf(q, shown);
            UpdateOverlapping(false);
            return q->nodePosition != before;
        };
        while (FirstRowInMultiRow(q->nodePosition) < q->nodePosition) {
            if (!moveTo(GetPositionOf(q) - 1) || !GetNodeIsOverlapping(q))
                break;
        }
        if (GetNodeIsOverlapping(q))
            while (LastRowInMultiRow(q->nodePosition) > q->nodePosition) {
                if (!moveTo(GetPositionOf(q) + 1) || !GetNodeIsOverlapping(q))
                    break;
            }
        if (!GetNodeIsOverlapping(q))
            continue;

        const int entry = MultiRowIndex(q->nodePosition);
        TOverlapAnswer answer = oaYesToAll;
        if (!yesToAll) {
            TStringList* list = GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition));
            const String name = entry >= 0 ? FirstLine(CommaTextItem(list->Get(entry), 0)) : String();
            answer = AskAddRow(FillText(Translate("Need to add a Row to \"%s\". Proceed?"), {name}));
            yesToAll = answer == oaYesToAll;
        }
        if (answer == oaCancel) {
            FIgnoreOverlappingNodes.Clear();
            UpdateOverlapping(true);
            noUndo.reset();
            UndoRedo().Pop();
            // The restored position list may have fewer rows than the shown
            // ones still name.
            ApplyPositionGroup();
            restoreOptions();
            return;
        }
        // A position at its most rows cannot take another: its task stays.
        if (answer != oaIgnore && AddMultiRow(entry, true)) {
            SetPositionOf(q, LastRowInMultiRow(q->nodePosition));
        } else {
            SetPositionOf(q, home);
            FIgnoreOverlappingNodes.Add(q);
        }
        UpdateOverlapping(false);
    }
    FIgnoreOverlappingNodes.Clear();
    UpdateOverlapping(true);
    noUndo.reset();
    restoreOptions();
}

void TScheduleDocument::recalcoverlapping(TNodeData* AbsentDay)
{
    // Reached again through the end that GetEndOf writes back.
    static bool running = false;
    // Inside an update bracket the outermost EndUpdate marks every end for
    // recalculation anyway; walking all tasks for each absent day a load
    // sets would cost minutes on a large plan.
    if (!AbsentDay || AbsentDay->NodeTable != tbExclude || running || IsUpdating())
        return;
    running = true;
    struct TReset {
        ~TReset() { running = false; }
    } reset;
    const TDateTime start = GetStartOf(AbsentDay);
    const TDateTime ende = GetEndOf(AbsentDay);
    std::vector<char> inSpan;
    for (int shown : GetMultipleRowSpan(tbExclude, AbsentDay)) {
        if (shown < 0)
            continue;
        if (std::size_t(shown) >= inSpan.size())
            inSpan.resize(std::size_t(shown) + 1, 0);
        inSpan[std::size_t(shown)] = 1;
    }
    ForEachTask(*this, [&](TNodeData* task) {
        if (task->nodePosition != AllPositions) {
            const int shown = GetPositionOf(task);
            if (shown < 0 || std::size_t(shown) >= inSpan.size() || !inSpan[std::size_t(shown)])
                return;
        }
        const double s = task->nodeStart;
        const double e = task->nodeEnd;
        const bool touches = (s >= start && s <= ende) || (e >= start && e <= ende) || (s <= start && e >= ende);
        if (touches)
            task->RecalcEndOf = true;
    });
}
