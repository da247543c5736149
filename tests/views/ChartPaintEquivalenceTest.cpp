// On random plans and edits the chart painted through the row index equals,
// pixel for pixel, the chart painted from a walk over every row; and a chart
// moved by shifting its pixels equals one painted afresh.
#include "platform/Messages.h"
#include "tests/views/ChartPaintSupport.h"

using namespace chartpaint;

namespace {

// Finds bars and arrows by looking at every row, in tree order, when asked.
class TWalkingPlanner : public TTestPlanner {
public:
    using TTestPlanner::TTestPlanner;
    bool Walk = false;

    void FindBars(TWhichTable Table, const TRect& Window, int Top, bool KeepFullHeight, int Width, int RowHeight,
        TDateTime VisEnd, TDateTime VisStart, std::vector<TNodeData*>& Rows, std::vector<TRect>* Rects) override
    {
        if (!Walk) {
            TTestPlanner::FindBars(Table, Window, Top, KeepFullHeight, Width, RowHeight, VisEnd, VisStart, Rows, Rects);
            return;
        }
        Rows.clear();
        if (Rects)
            Rects->clear();
        for (TNodeData* row : TableRows(*this, Table)) {
            const TRect r = ItemRect(row, Top, KeepFullHeight, Width, RowHeight, VisEnd, VisStart);
            TRect common;
            if (GetNodeValid(row) && IntersectRect(common, r, Window)) {
                Rows.push_back(row);
                if (Rects)
                    Rects->push_back(r);
            }
        }
    }
    void FindArrows(const TRect& Window, int Top, int Width, int RowHeight, TDateTime VisEnd, TDateTime VisStart,
        std::vector<TNodeData*>& Rows) override
    {
        if (!Walk) {
            TTestPlanner::FindArrows(Window, Top, Width, RowHeight, VisEnd, VisStart, Rows);
            return;
        }
        Rows.clear();
        for (TNodeData* row : TableRows(*this, tbTable))
            if (GetTerminOf(row) != 0)
                Rows.push_back(row);
    }
};

using TWalkingPtr = TOwnedDocument<TWalkingPlanner>;

// A plan of positions (one with three rows), a due-date column, holidays
// and weekends, and a random editor of it.
struct TRandomPlan {
    TWalkingPtr P;
    std::mt19937 Random;
    int Due = -1;
    std::vector<String> Positions{"A", "B", "C", "D", "M", "M (1)", "M (2)", "E", "F", "*", "nowhere"};

    explicit TRandomPlan(unsigned Seed) : Random(Seed)
    {
        EnsureApplication();
        P = MakeDocumentOf<TWalkingPlanner>({"A", "B", PositionEntry("M", 3), "C", "D", "E", "F"});
        AddHoliday(*P, "Holiday", 10, 1);
        AddHoliday(*P, "Feast", 2, 2);
        SetUpChart(*P, 600, 400);
        Due = AddDueColumn(*P);
        P->DrawLines1->SetChecked(true);
        for (int i = 0; i < 60; ++i)
            Edit();
    }
    int Pick(int N) { return int(Random() % unsigned(N)); }
    TNodeData* AnyRow()
    {
        std::vector<TNodeData*> rows = TableRows(*P, Pick(3) ? tbTable : tbExclude);
        return rows.empty() ? nullptr : rows[std::size_t(Pick(int(rows.size())))];
    }
    void Edit()
    {
        const TDateTime start = D0 - 10 + Pick(90);
        TNodeData* row = AnyRow();
        switch (Pick(10)) {
        case 0:
        case 1: {
            TNodeData* task = StateTask(*P, Positions[std::size_t(Pick(int(Positions.size())))], start, 1 + Pick(6),
                Pick(3));
            if (Pick(2))
                P->DoSetData(task, Due, P->FormatDateTime(start + Pick(12) - 4), cmIgnoreNet);
            break;
        }
        case 2: {
            TNodeData* absence = AddAbsentDay(*P, Positions[std::size_t(Pick(6))], start, 1 + Pick(3));
            P->DoSetDataIndex(absence, P->GetConnection(tbExclude, cnColor), cmIgnoreNet, Pick(3));
            break;
        }
        case 3:
            if (row)
                P->DoSetStartOf(row, cmIgnoreNet, start);
            break;
        case 4:
            if (row)
                P->DoSetData(row, P->GetConnection(row->NodeTable, cnPosition),
                    Positions[std::size_t(Pick(int(Positions.size())))], cmIgnoreNet);
            break;
        case 5:
            if (row)
                P->DeleteNode(row, cmIgnoreNet);
            break;
        case 6:
            if (row && row->NodeTable == tbTable)
                P->DoSetData(row, Due, Pick(3) ? P->FormatDateTime(start) : String(), cmIgnoreNet);
            break;
        case 7:
            if (row)
                row->VNodeTable->SetSelected(row->VNode, !row->VNodeTable->Selected(row->VNode));
            break;
        case 8:
            if (row)
                row->VNodeTable->SetVisible(row->VNode, !row->VNodeTable->IsVisible(row->VNode));
            break;
        default:
            if (row)
                P->DoSetLengthOf(row, (1 + Pick(8)) * 240, cmIgnoreNet);
            break;
        }
        if (Pick(4) == 0)
            P->UpdateOverlappingProc();
    }
};

// The chart body painted into the part Clip of a back buffer holding
// something else before.
std::vector<TColor> Painted(TWalkingPlanner& P, const TRect& Clip)
{
    TCanvas* c = P.TimeChart->Canvas();
    TBitmap* buffer = P.TimeChart->BackBuffer();
    buffer->SetSize(P.TimeChart->Width(), P.TimeChart->Height());
    c->SelectClipRgn(nullptr);
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, buffer->Width(), buffer->Height()));
    const TRegion clip = TRegion::FromRect(Clip);
    c->SelectClipRgn(&clip);
    P.TimeChartPaint();
    c->SelectClipRgn(nullptr);
    std::vector<TColor> pixels;
    for (int y = 0; y < buffer->Height(); ++y)
        for (int x = 0; x < buffer->Width(); ++x)
            pixels.push_back(c->Pixels(x, y));
    return pixels;
}

}  // namespace

TEST(ChartPaintEquivalence, IndexPaintEqualsAWalkOverEveryRow)
{
    TPinnedClock clock(Today);
    for (unsigned seed : {1u, 2u, 3u}) {
        TRandomPlan plan(seed);
        TWalkingPlanner& p = *plan.P;
        const int maxTop = std::max(0, p.GetRowCount() * 54 - 400);
        for (int step = 0; step < 25; ++step) {
            plan.Edit();
            p.FTimeChartStart = D0 - 5 + plan.Pick(30);
            p.FTimeChartTop = plan.Pick(maxTop + 1);
            const int x = plan.Pick(600), y = plan.Pick(400);
            const TRect clip = step % 3 == 0 ? TRect(0, 0, 600, 400)
                                             : TRect(x, y, x + 1 + plan.Pick(600 - x), y + 1 + plan.Pick(400 - y));
            p.Walk = false;
            const std::vector<TColor> indexed = Painted(p, clip);
            p.Walk = true;
            const std::vector<TColor> walked = Painted(p, clip);
            std::size_t first = 0;
            while (first < indexed.size() && indexed[first] == walked[first])
                ++first;
            ASSERT_EQ(first, indexed.size()) << "seed " << seed << " step " << step << ": differs at "
                                             << first % 600 << "," << first / 600 << " painting " << clip;
        }
    }
}

namespace {

// The planner's chart on screen, still: no glide, no flash.
void ShowStill(TWalkingPlanner& P)
{
    P.HandleNeeded();
    P.SizeChart(600, 400);
    P.SetTimeChartBounds(D0 - 20, D0 + 120);
    P.SetTimeChartStart(D0);
    P.TimeChartStartDestination = D0;
    // The plan's selection changes asked the chart to glide to their rows
    // and started the selected bars' flash; both would move on while the
    // chart is compared.
    P.SliderTimer->SetEnabled(false);
    P.TimeChartTopDestination = P.FTimeChartTop;
    P.FlashSelectedTimer->SetEnabled(false);
    P.FlashSelectedTimer->SetTag(0);
    P.UpdateScrollBars(3);
    P.TimeChart->Invalidate();
    P.TimeChart->Update();
}

// What the chart shows after painting only what was invalidated equals a
// paint of the whole chart.
void ExpectSameAsFreshPaint(TWalkingPlanner& P, const std::string& After)
{
    P.TimeChart->Update();
    TBitmap partly;
    partly.Assign(P.TimeChart->BackBuffer());
    P.TimeChart->Invalidate();
    P.TimeChart->Update();
    int differ = 0;
    TRect box(600, 400, -1, -1);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            if (partly.Canvas()->Pixels(x, y) != P.TimeChart->BackBuffer()->Canvas()->Pixels(x, y)) {
                ++differ;
                box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                    std::max(box.Bottom, y + 1));
            }
    EXPECT_EQ(differ, 0) << "pixels differ within " << box << " after " << After;
}

}  // namespace

TEST(ChartPaintEquivalence, AMovedChartEqualsAFreshPaint)
{
    TPinnedClock clock(Today);
    TRandomPlan plan(7);
    TWalkingPlanner& p = *plan.P;
    ShowStill(p);
    const struct {
        int Days, Top;
    } moves[] = {{3, 0}, {-1, 0}, {0, 54}, {5, 20}, {-7, 0}, {2, -30}, {0, -44}};
    for (const auto& m : moves) {
        p.SetTimeChartStart(p.FTimeChartStart + m.Days);
        p.SetTimeChartTop(p.FTimeChartTop + m.Top);
        ExpectSameAsFreshPaint(p, "moving " + std::to_string(m.Days) + " days, " + std::to_string(m.Top) + " px");
    }
}

// Gestures repaint only what they change: the frame's outlines, the bars
// whose selection or place changed, their shadows and labels.
TEST(ChartPaintEquivalence, AGesturePaintedInPartsEqualsAFreshPaint)
{
    TPinnedClock clock(Today);
    TRandomPlan plan(11);
    TWalkingPlanner& p = *plan.P;
    for (int i = 0; i < 40; ++i)
        StateTask(p, plan.Positions[std::size_t(i % 7)], D0 + (i * 7) % 50, 2 + i % 4, i % 3);
    p.SetActiveTable(tbTable);
    ShowStill(p);
    const TShiftState band{ssShift, ssLeft};
    // The band starts where no bar is.
    TPoint from{3, 1};
    for (p.TimeChartMouseMove(TShiftState{}, from.X, from.Y); p.FGrabbedNode && from.X < 600; from.X += 7)
        p.TimeChartMouseMove(TShiftState{}, from.X + 7, from.Y);
    p.TimeChartMouseDown(mbLeft, band, from.X, from.Y);
    ASSERT_EQ(p.FTimeChartMouseState, msSelectItem);
    const TPoint path[] = {{200, 100}, {420, 260}, {430, 390}, {150, 300}, {300, 120}, {590, 395}};
    for (const TPoint& to : path) {
        p.TimeChartMouseMove(band, to.X, to.Y);
        ExpectSameAsFreshPaint(p, "the band to " + std::to_string(to.X) + "," + std::to_string(to.Y));
    }
    p.TimeChartMouseUp(mbLeft, TShiftState{ssShift}, 590, 395);
    ExpectSameAsFreshPaint(p, "letting the band go");
    ASSERT_GT(p.StringTreeGrid1->SelectedCount(), 10);

    // The selection dragged over days and rows.
    std::vector<TRect> rects;
    std::vector<TNodeData*> bars;
    p.FindBars(tbTable, TRect(0, 0, 600, 400), p.FTimeChartTop, false, 600, p.TimeChartRowHeight(0),
        p.GetTimeChartEnd(), p.FTimeChartStart, bars, &rects);
    std::size_t grab = 0;
    while (grab < bars.size() && !(p.StringTreeGrid1->Selected(bars[grab]->VNode) && rects[grab].Width() > 12))
        ++grab;
    ASSERT_LT(grab, bars.size());
    const TPoint at{(rects[grab].Left + rects[grab].Right) / 2, (rects[grab].Top + rects[grab].Bottom) / 2};
    p.TimeChartMouseMove(TShiftState{}, at.X, at.Y);
    p.TimeChartMouseDown(mbLeft, TShiftState{ssLeft}, at.X, at.Y);
    ASSERT_EQ(p.FTimeChartMouseState, msMoveItem);
    for (const TPoint& by : {TPoint{25, 0}, TPoint{60, 54}, TPoint{-30, 54}, TPoint{-45, -20}}) {
        p.TimeChartMouseMove(TShiftState{ssLeft}, at.X + by.X, at.Y + by.Y);
        ExpectSameAsFreshPaint(p, "dragging by " + std::to_string(by.X) + "," + std::to_string(by.Y));
    }
    p.TimeChartMouseUp(mbLeft, TShiftState{}, at.X - 45, at.Y - 20);
    ExpectSameAsFreshPaint(p, "dropping");
    p.StringTreeGrid1->ClearSelection();
    ExpectSameAsFreshPaint(p, "clearing the selection");
}
