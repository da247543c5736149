#pragma once
// A planner form with its chart controls and tools, on a document with
// three positions; the chart body sized exactly as a test needs it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "views/CanvasPanel.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

class TTestPlanner : public TPlannerForm {
public:
    explicit TTestPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, 1000, 700);
        ToolBar = Create<TToolBar>(this);
        ToolBar->SetParent(this);
        ToolBar->SetAlign(alTop);
        ViewMenu = Create<TMenuItem>(this);
        CreateViewPanels();
        for (auto* item : {&SmallTimeChart1, &HideEmptyRows1, &HideEmptyMultiRows1, &DrawLines1, &DrawLinesMultiRow1,
                 &AutoScroll1}) {
            *item = Create<TMenuItem>(this);
            ViewMenu->Add(*item);
        }
        SmallTimeChart1->SetChecked(true);
        CreateTimeChartTools(ToolBar, ViewMenu);
    }
    int GroupTab = 0;
    int GetPositionGroupIndex() const override { return GroupTab; }
    bool Active = false;
    bool HasActiveControl() override { return Active; }

    // The chart body Width x Height px, and the overview strip.
    void SizeChart(int Width, int Height)
    {
        TimeChart->SetAlign(alNone);
        TimeChart->SetBounds(0, 0, Width, Height);
    }
    void SizeOverview(int Width, int Height)
    {
        SmallTimeChart->SetAlign(alNone);
        SmallTimeChart->SetBounds(0, 0, Width, Height);
    }

    TToolBar* ToolBar = nullptr;
    TMenuItem* ViewMenu = nullptr;
};

using TPlannerPtr = TOwnedDocument<TTestPlanner>;

inline TPlannerPtr MakePlanner(const std::vector<String>& Positions = {"A", "B", "C"})
{
    EnsureApplication();
    TPlannerPtr p = MakeDocumentOf<TTestPlanner>(Positions);
    p->SetFileChanged(false);
    return p;
}

// The clock stands at a moment for the life of the object.
struct TPinnedClock {
    explicit TPinnedClock(TDateTime At) { PinClock(At); }
    ~TPinnedClock() { UnpinClock(); }
    TPinnedClock(const TPinnedClock&) = delete;
    TPinnedClock& operator=(const TPinnedClock&) = delete;
};

// A colour read back from a canvas, as red, green, blue.
struct TRGB {
    int R, G, B;
    friend bool operator==(const TRGB&, const TRGB&) = default;
};
inline std::ostream& operator<<(std::ostream& Out, const TRGB& C)
{
    return Out << '(' << C.R << ", " << C.G << ", " << C.B << ')';
}
inline TRGB PixelOf(TCanvas* Canvas, int X, int Y)
{
    const TColor c = Canvas->Pixels(X, Y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
