// The editor panel on the plan of 100,000 tasks on 500 positions, docked and
// shown: its refresh after a change of the shown row (the idle's refresh of
// every field) and when the focus moves to another row. Prints the medians
// against the goal (under 1 ms).
#include "bench/BenchPlans.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "views/EditorPanel.h"
#include "views/PlannerForm.h"

#include <cstdio>
#include <cstdlib>

namespace {

class TBenchPlanner : public TPlannerForm {
public:
    explicit TBenchPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, 1600, 1000);
        CreateViewPanels();
    }
};

std::vector<double> RefreshTimes;
std::vector<double> RowChangeTimes;

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = [] {
        auto p = MakePlannedForm<TBenchPlanner>(20);
        p->Show();
        p->PageControl1Change();
        p->SeteditorVisible(true);
        p->ChangeEditorVisibleTimerTimer(nullptr);
        return p;
    }();
    return planner;
}

std::vector<TGridNode*> SomeNodes(TBenchPlanner& p, int Count)
{
    std::vector<TGridNode*> nodes;
    for (TGridNode* n = p.StringTreeGrid1->GetFirst(); n && int(nodes.size()) < Count; n = p.StringTreeGrid1->GetNext(n))
        nodes.push_back(n);
    return nodes;
}

void BM_EditorRefreshAfterAChange(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    p.StringTreeGrid1->SetFocusedNode(p.StringTreeGrid1->GetFirst());
    p.RefreshEditor();
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        p.UpdateEditor();
        p.ApplicationEvents1Idle();
        RefreshTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_EditorRefreshAfterAChange)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_EditorAnotherRowFocused(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    const std::vector<TGridNode*> nodes = SomeNodes(p, 200);
    std::size_t i = 0;
    for (auto _ : state) {
        p.StringTreeGrid1->SetFocusedNode(nodes[i++ % nodes.size()]);
        const auto t0 = std::chrono::steady_clock::now();
        p.UpdateEditor();
        RowChangeTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_EditorAnotherRowFocused)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv)
{
    RunBenchmarks(argc, argv);
    std::printf("editor refresh after a change of the shown row: median %.3f ms (goal under 1 ms)\n",
        Median(RefreshTimes));
    std::printf("editor refresh for another focused row: median %.3f ms (goal under 1 ms)\n", Median(RowChangeTimes));
    Planner().reset();
    return 0;
}
