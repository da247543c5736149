// A plan of 100,000 tasks on 500 positions, six cells each, added inside one
// update bracket with undo recording on, the outermost EndUpdate's
// recalculation included (goal under 600 ms). Then, on that plan: 10,000
// cell edits in undo groups of 10, undoing them all and redoing them all
// (goal for each of the three under 100 ms). Prints the median of several
// runs; the exit code says whether every goal was met and the cells are
// right after each phase.
#include "bench/BenchPlans.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Edits = 10000;
constexpr int GroupSize = 10;
constexpr int Runs = 5;
constexpr double AddGoalMs = 600;
constexpr double PhaseGoalMs = 100;

const std::vector<String>& EditTexts()
{
    static const std::vector<String> texts = [] {
        std::vector<String> t;
        for (int i = 0; i < Edits; ++i)
            t.push_back("Edit " + std::to_string(i));
        return t;
    }();
    return texts;
}

// A plan as a load leaves it: no undo steps yet.
TDocPtr NewUndoPlan()
{
    TDocPtr doc = NewPlan(true);
    doc->UndoRedo().Clear();
    return doc;
}

void AddRows(TScheduleDocument& doc)
{
    doc.BeginUpdate("adding");
    AddPlanRows(doc, cmDefault);
    doc.EndUpdate();
}

// Spread over the plan: edit i goes to row i * 7 mod Rows, comments and
// lengths by turns.
struct TEditTarget {
    std::vector<TNodeData*> rows;
    int comment, length;
};

TEditTarget Targets(TScheduleDocument& doc)
{
    TEditTarget t;
    std::vector<TNodeData*> all;
    doc.ForEach(tbTable, feAll, 0, [&all](TNodeData* Row, NativeInt) { all.push_back(Row); });
    for (int i = 0; i < Edits; ++i)
        t.rows.push_back(all[std::size_t((long(i) * 7) % Rows)]);
    t.comment = doc.GetConnection(tbTable, cnTextCenterMiddle);
    t.length = doc.GetConnection(tbTable, cnLength);
    return t;
}

void EditAll(TScheduleDocument& doc, const TEditTarget& t)
{
    for (int g = 0; g < Edits / GroupSize; ++g) {
        doc.FUndoRedoGroupIndex = doc.UndoRedo().GetGroupIndex();
        for (int k = 0; k < GroupSize; ++k) {
            const int i = g * GroupSize + k;
            if (i % 2 == 0)
                doc.SetData(t.rows[std::size_t(i)], t.comment, EditTexts()[std::size_t(i)]);
            else
                doc.SetData(t.rows[std::size_t(i)], t.length, std::to_string(6 + i % 3));
        }
        doc.FUndoRedoGroupIndex = -1;
    }
}

bool CellsAreEdited(TScheduleDocument& doc, const TEditTarget& t, bool Edited)
{
    for (int i = 0; i < Edits; i += 2) {
        const String& want = Edited ? EditTexts()[std::size_t(i)] : String();
        const String have = doc.GetData(t.rows[std::size_t(i)], t.comment);
        if (Edited ? have != want : have.rfind("Order ", 0) != 0)
            return false;
    }
    return true;
}

void BM_AddRowsInOneBracket(benchmark::State& state)
{
    TimeOnFreshPlans(state, [] { return NewUndoPlan(); }, AddRows);
}
BENCHMARK(BM_AddRowsInOneBracket)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    PlanCells();
    EditTexts();
    std::vector<double> adds;
    bool ok = true;
    for (int run = 0; run < Runs; ++run) {
        TDocPtr doc = NewUndoPlan();
        const auto t0 = std::chrono::steady_clock::now();
        AddRows(*doc);
        adds.push_back(MsSince(t0));
        long valid = 0;
        doc->ForEach(feAll, 0, [&valid](TNodeData* Row, NativeInt) { valid += Row->nodeValid ? 1 : 0; });
        ok = ok && valid == Rows && doc->UndoRedo().GetCanUndo();
    }

    // The edits start from a plan as a load leaves it: no undo steps yet.
    TDocPtr doc = NewUndoPlan();
    AddRows(*doc);
    const TEditTarget targets = Targets(*doc);
    std::vector<double> edits, undos, redos;
    for (int run = 0; run < Runs; ++run) {
        doc->UndoRedo().Clear();
        auto t0 = std::chrono::steady_clock::now();
        EditAll(*doc, targets);
        edits.push_back(MsSince(t0));
        ok = ok && CellsAreEdited(*doc, targets, true) && doc->UndoRedo().UndoList().size() == std::size_t(Edits);

        t0 = std::chrono::steady_clock::now();
        while (doc->UndoRedo().GetCanUndo())
            doc->UndoRedo().Undo();
        undos.push_back(MsSince(t0));
        ok = ok && CellsAreEdited(*doc, targets, false) && doc->UndoRedo().RedoList().size() == std::size_t(Edits);

        t0 = std::chrono::steady_clock::now();
        while (doc->UndoRedo().GetCanRedo())
            doc->UndoRedo().Redo();
        redos.push_back(MsSince(t0));
        ok = ok && CellsAreEdited(*doc, targets, true);
        // Back to the plan as loaded for the next run.
        while (doc->UndoRedo().GetCanUndo())
            doc->UndoRedo().Undo();
    }

    // A whole-document step on that plan with its overlaps listed: undoing it
    // empties the overlap lists before it frees the rows, rather than
    // searching them for every freed row.
    doc->UpdateOverlappingProc();
    const int overlapping = doc->FOverlappingNodes.Count();
    doc->UndoRedo().Clear();
    doc->PushUndoSnapshot();
    const auto whole0 = std::chrono::steady_clock::now();
    doc->UndoRedo().Undo();
    const double whole = MsSince(whole0);
    ok = ok && doc->GetTableRowCount(tbTable) == Rows;

    const double add = Median(adds), edit = Median(edits), undo = Median(undos), redo = Median(redos);
    std::printf("undo of a whole-document step with %d tasks listed as overlapping: %.0f ms\n", overlapping, whole);
    std::printf("%d rows on %d positions, six cells each, in one update bracket, median of %d: %.0f ms (goal %.0f)\n",
        Rows, Positions, Runs, add, AddGoalMs);
    std::printf("%d cell edits in groups of %d on that plan, median of %d: editing %.1f ms, undo all %.1f ms, "
                "redo all %.1f ms (goal %.0f each)\n",
        Edits, GroupSize, Runs, edit, undo, redo, PhaseGoalMs);
    std::printf("cells %s\n", ok ? "right after every phase" : "WRONG");
    const bool met = add < AddGoalMs && edit < PhaseGoalMs && undo < PhaseGoalMs && redo < PhaseGoalMs;
    return ok && met ? 0 : 1;
}
