// The planner window the timechart benchmarks drive: the large plan on a
// chart body of 1920 x 1080 at 20 px a day, with an overview strip of one
// pixel a position, scrolled to 40 days before today with every end worked
// out and every bar picture drawn once.
#pragma once

#include "bench/BenchPlans.h"
#include "platform/Menus.h"
#include "views/CanvasPanel.h"
#include "views/PlannerForm.h"

#include <cmath>
#include <memory>

constexpr int ChartWidth = 1920;
constexpr int ChartHeight = 1080;
constexpr int OverviewHeight = 500;
constexpr int DayWidth = 20;

class TBenchPlanner : public TPlannerForm {
public:
    explicit TBenchPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, ChartWidth + 40, ChartHeight + 400);
        CreateViewPanels();
        TMenuItem* menu = Create<TMenuItem>(this);
        for (TMenuItem** item : {&SmallTimeChart1, &HideEmptyRows1, &HideEmptyMultiRows1, &DrawLines1,
                 &DrawLinesMultiRow1, &AutoScroll1}) {
            *item = Create<TMenuItem>(this);
            menu->Add(*item);
        }
        for (TMenuItem* item : {SmallTimeChart1, DrawLines1, DrawLinesMultiRow1})
            item->SetChecked(true);
        TimeChart->SetAlign(alNone);
        TimeChart->SetBounds(0, 0, ChartWidth, ChartHeight);
        SmallTimeChart->SetAlign(alNone);
        SmallTimeChart->SetBounds(0, 0, ChartWidth, OverviewHeight);
    }
};

// The planner, made once for all runs. Undo recording is on when the
// benchmark times edits as they happen in use.
inline std::unique_ptr<TBenchPlanner, TFormFreer> MakeBenchPlanner(bool RecordUndo)
{
    auto p = MakePlannedForm<TBenchPlanner>(DayWidth);
    if (RecordUndo)
        p->UndoRedo().AcceptUndos();
    p->HandleNeeded();
    p->FTimeChartStart = p->TimeChartStartDestination = std::trunc(Date()) - 40;
    p->FTimeChartTop = p->TimeChartTopDestination = 0;
    p->UpdateScrollBars(3);
    p->UpdateAutoEntries(p->FMinDate, p->FMaxDate);
    p->RowIndex();
    p->SetTimeChartColWidth(DayWidth);
    for (int i = 0; i < 2; ++i) {
        p->TimeChart->Invalidate();
        p->TimeChart->Update();
    }
    return p;
}
