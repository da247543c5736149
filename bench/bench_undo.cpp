// A plan of 100,000 tasks on 500 positions, six cells each, added inside one
// update bracket with undo recording on, the outermost EndUpdate's
// recalculation included (goal under 600 ms). Then, on that plan: 10,000
// cell edits in undo groups of 10, undoing them all and redoing them all
// (goal for each of the three under 100 ms). Prints the median of several
// runs; the exit code says whether every goal was met and the cells are
// right after each phase.
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Positions = 500;
constexpr int Edits = 10000;
constexpr int GroupSize = 10;
constexpr int Runs = 5;
constexpr double AddGoalMs = 600;
constexpr double PhaseGoalMs = 100;

struct TDocDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
using TDocPtr = std::unique_ptr<TScheduleDocument, TDocDeleter>;

struct TCells {
    std::vector<String> positions, starts, ends, lengths, comments, edits;
    TCells()
    {
        const TDateTime base = Date();
        for (int i = 0; i < Positions; ++i)
            positions.push_back("Machine " + std::to_string(i));
        for (int i = 0; i < Rows; ++i) {
            const TDateTime start = base + (i % 300) - 150;
            const int days = 1 + i % 5;
            starts.push_back(FormatDateTime("ddddd", start));
            ends.push_back(FormatDateTime("ddddd", start + days - 1));
            lengths.push_back(std::to_string(days));
            comments.push_back("Order " + std::to_string(i));
        }
        for (int i = 0; i < Edits; ++i)
            edits.push_back("Edit " + std::to_string(i));
    }
};

const TCells& Cells()
{
    static const TCells cells;
    return cells;
}

TDocPtr NewPlan()
{
    TDocPtr doc(Create<TScheduleDocument>(nullptr));
    doc->CreateBasicTable(tbExclude);
    doc->CreateBasicTable(tbTable);
    TStringList* list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    list->BeginUpdate();
    list->Clear();
    for (const String& p : Cells().positions) {
        TCommaText entry;
        entry.Add(p);
        list->Add(entry.AsString());
    }
    list->EndUpdate();
    doc->ApplyPositionGroup();
    doc->UndoRedo().Clear();
    return doc;
}

void AddRows(TScheduleDocument& doc)
{
    const TCells& c = Cells();
    const int pos = doc.GetConnection(tbTable, cnPosition), start = doc.GetConnection(tbTable, cnStart),
              end = doc.GetConnection(tbTable, cnEnd), length = doc.GetConnection(tbTable, cnLength),
              state = doc.GetConnection(tbTable, cnColor), comment = doc.GetConnection(tbTable, cnTextCenterMiddle);
    doc.BeginUpdate("adding");
    for (int i = 0; i < Rows; ++i) {
        TNodeData* row = doc.AddNode(doc.GetFreeID(), tbTable, -1, -1, -1, cmDefault);
        doc.DoSetData(row, pos, c.positions[std::size_t(i % Positions)], cmDefault);
        doc.DoSetData(row, start, c.starts[std::size_t(i)], cmDefault);
        doc.DoSetData(row, end, c.ends[std::size_t(i)], cmDefault);
        doc.DoSetData(row, length, c.lengths[std::size_t(i)], cmDefault);
        doc.DoSetDataIndex(row, state, cmDefault, 1 + i % 2);
        doc.DoSetData(row, comment, c.comments[std::size_t(i)], cmDefault);
    }
    doc.EndUpdate();
}

double Ms(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
                doc.SetData(t.rows[std::size_t(i)], t.comment, Cells().edits[std::size_t(i)]);
            else
                doc.SetData(t.rows[std::size_t(i)], t.length, std::to_string(6 + i % 3));
        }
        doc.FUndoRedoGroupIndex = -1;
    }
}

bool CellsAreEdited(TScheduleDocument& doc, const TEditTarget& t, bool Edited)
{
    for (int i = 0; i < Edits; i += 2) {
        const String& want = Edited ? Cells().edits[std::size_t(i)] : String();
        const String have = doc.GetData(t.rows[std::size_t(i)], t.comment);
        if (Edited ? have != want : have.rfind("Order ", 0) != 0)
            return false;
    }
    return true;
}

void BM_AddRowsInOneBracket(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TDocPtr doc = NewPlan();
        state.ResumeTiming();
        AddRows(*doc);
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddRowsInOneBracket)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    Cells();
    std::vector<double> adds;
    bool ok = true;
    for (int run = 0; run < Runs; ++run) {
        TDocPtr doc = NewPlan();
        const auto t0 = std::chrono::steady_clock::now();
        AddRows(*doc);
        adds.push_back(Ms(t0));
        long valid = 0;
        doc->ForEach(feAll, 0, [&valid](TNodeData* Row, NativeInt) { valid += Row->nodeValid ? 1 : 0; });
        ok = ok && valid == Rows && doc->UndoRedo().GetCanUndo();
    }

    // The edits start from a plan as a load leaves it: no undo steps yet.
    TDocPtr doc = NewPlan();
    AddRows(*doc);
    const TEditTarget targets = Targets(*doc);
    std::vector<double> edits, undos, redos;
    for (int run = 0; run < Runs; ++run) {
        doc->UndoRedo().Clear();
        auto t0 = std::chrono::steady_clock::now();
        EditAll(*doc, targets);
        edits.push_back(Ms(t0));
        ok = ok && CellsAreEdited(*doc, targets, true) && doc->UndoRedo().UndoList().size() == std::size_t(Edits);

        t0 = std::chrono::steady_clock::now();
        while (doc->UndoRedo().GetCanUndo())
            doc->UndoRedo().Undo();
        undos.push_back(Ms(t0));
        ok = ok && CellsAreEdited(*doc, targets, false) && doc->UndoRedo().RedoList().size() == std::size_t(Edits);

        t0 = std::chrono::steady_clock::now();
        while (doc->UndoRedo().GetCanRedo())
            doc->UndoRedo().Redo();
        redos.push_back(Ms(t0));
        ok = ok && CellsAreEdited(*doc, targets, true);
        // Back to the plan as loaded for the next run.
        while (doc->UndoRedo().GetCanUndo())
            doc->UndoRedo().Undo();
    }

    const double add = Median(adds), edit = Median(edits), undo = Median(undos), redo = Median(redos);
    std::printf("%d rows on %d positions, six cells each, in one update bracket, median of %d: %.0f ms (goal %.0f)\n",
        Rows, Positions, Runs, add, AddGoalMs);
    std::printf("%d cell edits in groups of %d on that plan, median of %d: editing %.1f ms, undo all %.1f ms, "
                "redo all %.1f ms (goal %.0f each)\n",
        Edits, GroupSize, Runs, edit, undo, redo, PhaseGoalMs);
    std::printf("cells %s\n", ok ? "right after every phase" : "WRONG");
    const bool met = add < AddGoalMs && edit < PhaseGoalMs && undo < PhaseGoalMs && redo < PhaseGoalMs;
    return ok && met ? 0 : 1;
}
