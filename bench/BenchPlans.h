// The large plan the document benchmarks time: Rows tasks on Positions
// machines, six cells each. The cell texts are made once beforehand, so a
// run times only the document's own work.
#pragma once

#include "document/ScheduleDocument.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

constexpr int Rows = 100000;
constexpr int Positions = 500;

struct TDocDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
using TDocPtr = std::unique_ptr<TScheduleDocument, TDocDeleter>;

struct TPlanCells {
    std::vector<String> positions, starts, ends, lengths, comments;
    TPlanCells()
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
    }
};

inline const TPlanCells& PlanCells()
{
    static const TPlanCells cells;
    return cells;
}

// The Positions machines as the document's position list (its task table
// made before).
inline void SetPlanPositions(TScheduleDocument& Doc)
{
    TStringList* list = Doc.GetColumnStrings(tbTable, Doc.GetConnection(tbTable, cnPosition));
    list->BeginUpdate();
    list->Clear();
    for (const String& p : PlanCells().positions) {
        TCommaText entry;
        entry.Add(p);
        list->Add(entry.AsString());
    }
    list->EndUpdate();
    Doc.ApplyPositionGroup();
}

// An empty plan whose position column offers the Positions machines.
// WithExcludeTable creates the exclusion table first, as a loaded file has it.
inline TDocPtr NewPlan(bool WithExcludeTable = false)
{
    TDocPtr doc(Create<TScheduleDocument>(nullptr));
    if (WithExcludeTable)
        doc->CreateBasicTable(tbExclude);
    doc->CreateBasicTable(tbTable);
    SetPlanPositions(*doc);
    return doc;
}

// Adds the Rows tasks, each cell set (and validated) one by one.
inline void AddPlanRows(TScheduleDocument& doc, TCallingMode Mode)
{
    const TPlanCells& c = PlanCells();
    const int pos = doc.GetConnection(tbTable, cnPosition), start = doc.GetConnection(tbTable, cnStart),
              end = doc.GetConnection(tbTable, cnEnd), length = doc.GetConnection(tbTable, cnLength),
              state = doc.GetConnection(tbTable, cnColor), comment = doc.GetConnection(tbTable, cnTextCenterMiddle);
    for (int i = 0; i < Rows; ++i) {
        TNodeData* row = doc.AddNode(doc.GetFreeID(), tbTable, -1, -1, -1, Mode);
        doc.DoSetData(row, pos, c.positions[std::size_t(i % Positions)], Mode);
        doc.DoSetData(row, start, c.starts[std::size_t(i)], Mode);
        doc.DoSetData(row, end, c.ends[std::size_t(i)], Mode);
        doc.DoSetData(row, length, c.lengths[std::size_t(i)], Mode);
        doc.DoSetDataIndex(row, state, Mode, 1 + i % 2);
        doc.DoSetData(row, comment, c.comments[std::size_t(i)], Mode);
    }
}

// The whole plan in Doc at once: both tables, the machines and the Rows
// tasks, without undo and without the network.
inline void BuildPlan(TScheduleDocument& Doc)
{
    Doc.CreateBasicTable(tbExclude);
    Doc.CreateBasicTable(tbTable);
    SetPlanPositions(Doc);
    Doc.UndoRedo().DontAcceptUndos();
    Doc.BeginUpdate("building");
    AddPlanRows(Doc, cmIgnoreNet);
    Doc.EndUpdate();
}

inline double MsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v)
{
    // A benchmark left out by --benchmark_filter measured nothing.
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One benchmark iteration a plan: Add runs timed on a fresh plan from Make;
// making and freeing the plan are not.
template <typename Make, typename Add>
void TimeOnFreshPlans(benchmark::State& state, Make make, Add add)
{
    for (auto _ : state) {
        state.PauseTiming();
        TDocPtr doc = make();
        state.ResumeTiming();
        add(*doc);
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// A planner form of the benchmarks' own class holding the large plan, laid
// out for DayWidth pixels a day; it is freed as the form, not deleted.
struct TFormFreer {
    template <typename T> void operator()(T* p) const { p->Free(); }
};

template <typename TPlanner> std::unique_ptr<TPlanner, TFormFreer> MakePlannedForm(int DayWidth)
{
    FormatSettings = TFormatSettings::Default();
    std::unique_ptr<TPlanner, TFormFreer> p(Create<TPlanner>(nullptr));
    BuildPlan(*p);
    p->FColWidth = DayWidth;
    p->UpdateBoundsProc();
    return p;
}

// Starts the program's application offscreen unless a display is asked for,
// and runs the benchmarks the command line selects.
inline void RunBenchmarks(int& argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
