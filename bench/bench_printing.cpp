// Printing the plan of 100,000 tasks on 500 positions into a PDF: the task
// table laid out and every page recorded, then the pages replayed into the
// PDF one by one, with no page drawn into an image; and the timechart over
// 90 days on 3 pages in normal quality. Prints the medians, page counts and
// memory peaks against the goals (3 s, 15 s, 250 MB; 5 s, 500 MB).
#include "bench/BenchPlans.h"
#include "platform/ComCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "printing/PrintListDialog.h"
#include "printing/PrintTimeChartDialog.h"
#include "views/PlannerForm.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class TBenchPlanner : public TPlannerForm {
public:
    explicit TBenchPlanner(TComponent* AOwner) : TPlannerForm(AOwner) { SetBounds(0, 0, 1200, 800); }
};

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = [] {
        auto p = MakePlannedForm<TBenchPlanner>(8);
        p->SetActiveTable(tbTable);
        p->SettleDeferredUpdates();
        return p;
    }();
    return planner;
}

// Resident memory now and its peak since the last reset, in MB.
double StatusMB(const char* Key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Key, 0) == 0)
            return std::stod(line.substr(std::string(Key).size())) / 1024.0;
    return 0;
}
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::string Pdf() { return "/tmp/vek-bench-print-" + std::to_string(::getpid()) + ".pdf"; }

std::vector<double> LayoutTimes, ReplayTimes, TablePeaks, ChartTimes, ChartPeaks;
int TablePages = 0, ChartPages = 0;
Int64 LargestImage = 0;

void BM_TablePrint(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    for (auto _ : state) {
        std::unique_ptr<TPrintListDialog, TFormFreer> d(Create<TPrintListDialog>(nullptr, &p));
        d->FillColumns();
        Printer()->SetOutputFileName(Pdf());
        const double base = StatusMB("VmRSS:");
        ResetPeak();
        TBitmap::ResetLargestSize();
        auto t0 = std::chrono::steady_clock::now();
        d->Record();
        LayoutTimes.push_back(MsSince(t0));
        t0 = std::chrono::steady_clock::now();
        d->PrintPreviewDialog1->PrintAll();
        ReplayTimes.push_back(MsSince(t0));
        TablePeaks.push_back(StatusMB("VmHWM:") - base);
        TablePages = d->PrintPreviewDialog1->GetPageCount();
        const TSize largest = TBitmap::LargestSize();
        LargestImage = std::max(LargestImage, Int64(largest.cx) * largest.cy);
        d.reset();
        std::remove(Pdf().c_str());
    }
}
BENCHMARK(BM_TablePrint)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

void BM_ChartPrint(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    for (auto _ : state) {
        std::unique_ptr<TPrintTimeChartDialog, TFormFreer> d(Create<TPrintTimeChartDialog>(nullptr, &p));
        d->RadioFreeInput->SetChecked(true);
        d->FreeInputClick();
        const TDateTime start = std::trunc(Date()) - 45;
        d->startpicker->SetDate(start);
        d->endepicker->SetDate(start + 90);
        d->EndDateChange();
        d->pages->SetPosition(3);
        Printer()->SetOutputFileName(Pdf());
        const double base = StatusMB("VmRSS:");
        ResetPeak();
        auto t0 = std::chrono::steady_clock::now();
        d->Record();
        ChartTimes.push_back(MsSince(t0));
        ChartPeaks.push_back(StatusMB("VmHWM:") - base);
        ChartPages = d->PrintPreviewDialog1->GetPageCount();
        d.reset();
    }
}
BENCHMARK(BM_ChartPrint)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    Application->Initialize();
    Planner();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("task table of %d rows, %d pages: layout and recording median %.0f ms (goal under 3000 ms); "
                "replay into the PDF median %.0f ms (goal under 15000 ms); peak %.0f MB above the loaded plan "
                "(goal under 250 MB); largest image %lld pixels\n",
        Rows, TablePages, Median(LayoutTimes), Median(ReplayTimes), Median(TablePeaks), (long long)LargestImage);
    std::printf("timechart over 90 days, %d pages in normal quality: recording median %.0f ms (goal under 5000 ms); "
                "peak %.0f MB above the loaded plan (goal under 500 MB)\n",
        ChartPages, Median(ChartTimes), Median(ChartPeaks));
    Planner().reset();
    return 0;
}
