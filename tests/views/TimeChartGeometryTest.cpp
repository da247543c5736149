// The chart's measures: pixels per day, row heights, the rectangles of date
// spans, bars, arrows, labels and the overview's slider, and the date under a
// pixel column in minute mode.
#include "platform/DateUtils.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

// A Sunday: days 1 to 5 after it are Monday to Friday.
const TDateTime D0 = EncodeDate(2023, 12, 31);

}  // namespace

TEST(ChartMeasures, PixelsPerDayFontAndRowHeights)
{
    TPlannerPtr p = MakePlanner();
    struct {
        int Zoom, Base, PerDay;
    } widths[] = {{25, 3, 1}, {100, 8, 8}, {150, 8, 12}, {200, 1, 2}, {50, 1, 1}};
    for (const auto& w : widths) {
        p->FZoom = w.Zoom;
        p->FColWidth = w.Base;
        EXPECT_EQ(p->GetTimeChartColWidth(), w.PerDay) << w.Zoom << "% of " << w.Base;
    }
    // Full row, two thirds, one third: always a multiple of 3.
    struct {
        int Font, Zoom, Rows[3];
    } heights[] = {{8, 100, {42, 27, 15}}, {10, 100, {54, 36, 18}}, {10, 200, {105, 72, 36}}};
    for (const auto& h : heights) {
        p->FFontsize = h.Font;
        p->FZoom = h.Zoom;
        for (int set = 0; set < 3; ++set) {
            p->FRowSetIndex = set;
            EXPECT_EQ(p->TimeChartRowHeight(0), h.Rows[set]) << h.Font << " pt at " << h.Zoom << "%, set " << set;
        }
    }
    p->FRowSetIndex = 0;
    p->FZoom = 100;
    p->FFontsize = 10;
    EXPECT_EQ(p->TimeChartFullRowHeight(0), 52);
    EXPECT_EQ(p->TimeChartFullRowHeight(-100), 1) << "no height is never drawn";
    EXPECT_EQ(p->GetTimeChartFontSize(), 10);
    EXPECT_EQ(p->_TimeChartFontSize(0, 300), 3) << "points at a printer's resolution";
    // Zoom kept at or below 0 counts as 1 %.
    p->FZoom = 0;
    EXPECT_EQ(p->GetZoom(), 1);

    struct {
        int PerDay, Grab;
    } grabs[] = {{8, 2}, {15, 3}, {16, 4}, {60, 4}};
    p->FZoom = 100;
    for (const auto& g : grabs) {
        p->FColWidth = g.PerDay;
        EXPECT_EQ(p->ResizeGrabWidth(), g.Grab) << g.PerDay;
    }
}

TEST(ChartMeasures, DateSpansInDayAndMinuteMode)
{
    TPlannerPtr p = MakePlanner();
    // Day mode: whole days at 8 px; rows of 54 px scrolled by 20.
    EXPECT_EQ(p->TimeChartRect(20, 54, false, false, 1, 800, D0 + 100, D0, D0 + 5, D0 + 2), TRect(16, 34, 40, 88));
    // All positions: every shown row.
    EXPECT_EQ(p->TimeChartRect(20, 54, false, false, AllPositions, 800, D0 + 100, D0, D0 + 5, D0 + 2),
        TRect(16, -20, 40, 3 * 54 - 20));
    // No span: nothing, whatever else is asked.
    EXPECT_EQ(p->TimeChartRect(0, 54, false, false, 1, 800, D0, D0, D0 + 5, D0 + 2), TRect());
    EXPECT_EQ(p->TimeChartRect(0, 54, false, false, 1, 800, D0 + 1, D0, std::nan(""), D0), TRect());

    // Minute mode: only the working window 07:00..15:45 fills a day's column.
    p->FMinUnit = muMinute;
    const TDateTime monday = D0 + 1;
    struct {
        int PerDay, Hour, Minute, X;
    } times[] = {{48, 9, 0, 11}, {48, 12, 0, 27}, {48, 12, 30, 30}, {48, 15, 45, 48}, {20, 12, 0, 11},
        {48, 5, 0, 0}, {48, 20, 0, 48}};
    for (const auto& t : times) {
        const TDateTime at = monday + EncodeTime(t.Hour, t.Minute, 0, 0);
        const TRect r = p->TimeChartRect(0, 54, false, false, 0, t.PerDay * 7, D0 + 7, D0, at, at);
        EXPECT_EQ(r.Left - t.PerDay, t.X) << t.Hour << ":" << t.Minute << " at " << t.PerDay << " px";
        // The same date without the hour map is its share of the whole day.
        const TRect plain = p->TimeChartRect(0, 54, false, true, 0, t.PerDay * 7, D0 + 7, D0, at, at);
        EXPECT_EQ(plain.Left, Nearest((at - D0) * t.PerDay));
    }
}

TEST(ChartMeasures, AWindowOfNoLengthGivesNoRectangle)
{
    // Mondays of position A start and end at 10:00.
    tWeekInfo week = String2WeekInfo(String());
    week[1].start = week[1].ende = EncodeTime(10, 0, 0, 0);
    TCommaText entry;
    entry.SetItem(0, "A");
    entry.SetItem(1, WeekInfo2String(week));
    TPlannerPtr p = MakePlanner({entry.AsString(), "B"});
    p->FMinUnit = muMinute;
    p->FColWidth = 20;
    const TDateTime at = D0 + 1 + EncodeTime(11, 0, 0, 0);
    EXPECT_EQ(p->TimeChartRect(0, 54, false, false, 0, 140, D0 + 7, D0, at, at), TRect());
    EXPECT_NE(p->TimeChartRect(0, 54, false, false, 1, 140, D0 + 7, D0, at + 1, at), TRect());
    // No minute of that Monday reaches a pixel column: its last minute.
    p->FTimeChartStart = D0;
    EXPECT_DOUBLE_EQ(p->GetExactDate(25, 0), D0 + 1 + 1439.0 / 1440);
}

TEST(ChartMeasures, BarsArrowsAndAbsences)
{
    TPlannerPtr p = MakePlanner({"A", "B", "C", PositionEntry("D", 3), "E"});
    TNodeData* task = AddTask(*p, "C", D0 + 3, 3);
    EXPECT_EQ(p->ItemRect(task, 0, false, 800, 54, D0 + 100, D0), TRect(24, 113, 48, 157));
    EXPECT_EQ(p->ItemRect(task, 0, true, 800, 54, D0 + 100, D0), TRect(24, 108, 48, 162));
    // An absence on the same days: its end day included, one pixel wider,
    // the row's full height.
    TNodeData* absence = AddAbsentDay(*p, "E", D0 + 3, 3);
    EXPECT_EQ(p->ItemRect(absence, 0, false, 800, 54, D0 + 100, D0), TRect(24, 6 * 54, 49, 7 * 54));
    // On a position of three rows it covers all three.
    TNodeData* wide = AddAbsentDay(*p, "D", D0 + 3, 1);
    EXPECT_EQ(p->ItemRect(wide, 10, false, 800, 54, D0 + 100, D0), TRect(24, 3 * 54 - 10, 33, 6 * 54 - 10));
    // A task for all positions spans every row.
    TNodeData* all = AddTask(*p, "*", D0 + 1, 1);
    EXPECT_EQ(p->ItemRect(all, 0, false, 800, 54, D0 + 100, D0), TRect(8, 0, 16, 7 * 54));
    // A row outside the shown positions has no bar.
    TNodeData* lost = AddTask(*p, "nowhere", D0 + 1, 1);
    EXPECT_EQ(p->ItemRect(lost, 0, false, 800, 54, D0 + 100, D0), TRect());

    // Due dates: a late task's arrow runs back from its end, in the lower
    // half of the row; one in time has none unless selected.
    const int due = p->GetTableColCount(tbTable);
    p->InsertColumn(tbTable, due);
    p->SetConnection(tbTable, cnTermin, due);
    p->DoSetData(task, due, p->FormatDateTime(D0 + 4), cmIgnoreNet);
    const TRect late = p->ArrowRect(task, 0, 800, 54, D0 + 100, D0);
    EXPECT_EQ(late, TRect(48, 135, 32, 162));
    EXPECT_LT(late.Right, late.Left);
    p->DoSetData(task, due, p->FormatDateTime(D0 + 9), cmIgnoreNet);
    EXPECT_EQ(p->ArrowRect(task, 0, 800, 54, D0 + 100, D0), TRect());
    p->StringTreeGrid1->SetSelected(task->VNode, true);
    EXPECT_EQ(p->ArrowRect(task, 0, 800, 54, D0 + 100, D0), TRect(48, 135, 72, 162));
    EXPECT_EQ(p->ArrowRect(task, 0, 800, 54, D0, D0), TRect());
}

TEST(ChartMeasures, ArrowsMoveWithTheirRowsAboveTheCanvasToo)
{
    TPlannerPtr p = MakePlanner();
    const int due = p->GetTableColCount(tbTable);
    p->InsertColumn(tbTable, due);
    p->SetConnection(tbTable, cnTermin, due);
    TNodeData* task = AddTask(*p, "A", D0 + 3, 3);
    p->DoSetData(task, due, p->FormatDateTime(D0 + 1), cmIgnoreNet);
    for (int rowHeight : {54, 57}) {
        const TRect still = p->ArrowRect(task, 0, 800, rowHeight, D0 + 100, D0);
        TPoint from, to;
        TPlannerForm::ArrowPoints(still, from, to);
        for (int top : {13, 44, 45, rowHeight + 1}) {
            TRect moved = p->ArrowRect(task, top, 800, rowHeight, D0 + 100, D0);
            OffsetRect(moved, 0, top);
            EXPECT_EQ(moved, still) << rowHeight << " scrolled by " << top;
            TPoint a, b;
            TPlannerForm::ArrowPoints(p->ArrowRect(task, top, 800, rowHeight, D0 + 100, D0), a, b);
            EXPECT_EQ(a.Y + top, from.Y) << rowHeight << " scrolled by " << top;
        }
    }
}

TEST(ChartMeasures, LabelBoxAndSlider)
{
    TPlannerPtr p = MakePlanner({"A", PositionEntry("A position with a caption far too long for the label box")});
    TCanvas* c = p->TimeChart->Canvas();
    const int font = std::abs(c->Font()->Height());
    const TRect label = p->PositionRect(c, 5, 1, 120, 54);
    EXPECT_EQ(label.Width(), 20) << "at most a sixth of the chart";
    EXPECT_EQ(label.Top, 54 + (54 - font - 4) / 2 - 5);
    EXPECT_EQ(label.Height(), font + 4);
    const int wide = p->PositionRect(c, 0, 0, 6000, 54).Width();
    EXPECT_GT(wide, 20);
    EXPECT_LT(wide, 1000) << "the widest caption and a margin";

    std::vector<String> positions;
    for (int i = 0; i < 20; ++i)
        positions.push_back("P" + IntToStr(i));
    TPlannerPtr q = MakePlanner(positions);
    q->FFontsize = 8;
    q->SizeChart(400, 420);
    q->SizeOverview(300, 40);
    q->FTimeChartTop = 210;
    q->FMinDate = q->FTimeChartStart = D0;
    q->FMaxDate = D0 + 100;
    // Rows of 42 px: ten of twenty shown, half way down; 50 of 100 days.
    EXPECT_EQ(q->SliderRect(), TRect(0, 10, 150, 30));
    q->FTimeChartStart = D0 + 50;
    EXPECT_EQ(q->SliderRect(), TRect(150, 10, 300, 30));
    q->FMaxDate = D0 + 20;
    q->SizeChart(400, 2000);
    EXPECT_EQ(q->SliderRect(), TRect(0, 0, 300, 40)) << "all of it visible";
}

TEST(ChartMeasures, ExactDateInvertsTheHourMapToTheMinute)
{
    TPlannerPtr p = MakePlanner();
    p->FMinUnit = muMinute;
    p->FColWidth = 48;
    p->FTimeChartStart = D0;
    const TDateTime monday = D0 + 1;
    // 08:55 is the first minute drawn at x 11 of Monday's column.
    EXPECT_NEAR(p->GetExactDate(48 + 11, 0), monday + EncodeTime(8, 55, 0, 0), 1e-9);
    EXPECT_NEAR(p->GetExactDate(48, 0), monday, 1e-9) << "the day's start column";
    EXPECT_NEAR(p->GetExactDate(96, 0), monday + 1, 1e-9) << "the next day";
    for (int x = 48; x < 96; x += 7) {
        const TDateTime date = p->GetExactDate(x, 0);
        int at = 0, before = 0;
        ASSERT_TRUE(p->HourMap(date, 0, 48, D0, at));
        EXPECT_GE(at, x);
        if (date - monday > 7.0 / 24 + 1e-9) {
            ASSERT_TRUE(p->HourMap(date - 1.0 / 1440, 0, 48, D0, before));
            EXPECT_LT(before, x) << "the first minute that gets there";
        }
    }
    EXPECT_NEAR(p->TimeChartXToDate(60), D0 + 60.0 / 48, 1e-12);
}
