// The chart body's paint by pixels inside rectangles from the geometry:
// background, weekends and holidays, the grid at each day width, month
// dividers, bars, the today marker, due-date arrows, row lines, minute-mode
// shading, labels and the fade-out line.
#include "tests/views/ChartPaintSupport.h"

using namespace chartpaint;

namespace {

// Three positions A, B, C: a green task on A (2 to 4 January), a yellow one
// on C (22 and 23 January), a late one on B (23 to 25 January, due on the
// 19th), an absence for a holiday on B (17 January), and a public holiday on
// 10 January.
struct TScene {
    TPlannerPtr P = MakePlanner();
    TNodeData* GreenTask = nullptr;
    TNodeData* YellowTask = nullptr;
    TNodeData* LateTask = nullptr;
    TNodeData* Absence = nullptr;
    TScene()
    {
        AddHoliday(*P, "Holiday", 10, 1);
        SetUpChart(*P);
        GreenTask = StateTask(*P, "A", D0 + 1, 3, 2);
        YellowTask = StateTask(*P, "C", D0 + 21, 2, 1);
        LateTask = StateTask(*P, "B", D0 + 22, 3, 1);
        P->DoSetData(LateTask, AddDueColumn(*P), P->FormatDateTime(D0 + 18), cmIgnoreNet);
        Absence = AddAbsentDay(*P, "B", D0 + 16, 1);
        P->DoSetDataIndex(Absence, P->GetConnection(tbExclude, cnColor), cmIgnoreNet, 0);
    }
    TRect Bar(TNodeData* Row) { return P->ItemRect(Row, 0, false, 700, 54, D0 + 70, D0); }
    // The middle of the bar's inside.
    TRGB Inside(TCanvas* C, TNodeData* Row)
    {
        const TRect r = Bar(Row);
        return PixelOf(C, (r.Left + r.Right) / 2 + 3, (r.Top + r.Bottom) / 2);
    }
};

}  // namespace

TEST(ChartPaint, BackgroundHolidaysGridDividersAndBars)
{
    TPinnedClock clock(Today);
    TScene s;
    TCanvas* c = PaintChart(*s.P);

    // Weekdays white between day lines every 10 px; below the rows the
    // panel's own colour.
    EXPECT_EQ(PixelOf(c, 35, 80), White);
    EXPECT_EQ(PixelOf(c, 125 + 30, 30), White);
    for (int x = 20; x <= 50; x += 10)
        EXPECT_EQ(PixelOf(c, x, 80), Grid) << x;
    EXPECT_EQ(PixelOf(c, 35, 200), Rgb(clBtnShadow));

    // Saturdays and Sundays of every row, and the holiday over all rows,
    // between grid lines.
    for (int y : {10, 80, 140}) {
        for (int x : {55, 65, 125, 135})
            EXPECT_EQ(PixelOf(c, x, y), NonWorking) << x << "," << y;
        EXPECT_EQ(PixelOf(c, 60, y), Grid);
        EXPECT_EQ(PixelOf(c, 50, y), Grid);
    }
    for (int y : {70, 100, 130, 160})
        EXPECT_EQ(PixelOf(c, 95, y), NonWorking) << y;
    EXPECT_EQ(PixelOf(c, 90, 130), Grid);
    EXPECT_EQ(PixelOf(c, 100, 130), Grid);
    // The holiday's name runs down its column from the top.
    bool written = false;
    for (int y = 2; y < 40 && !written; ++y)
        for (int x = 91; x < 100; ++x)
            written = written || !(PixelOf(c, x, y) == NonWorking);
    EXPECT_TRUE(written);

    // Two-pixel month dividers at 1 January and 1 February.
    for (int x : {0, 1, 310, 311})
        EXPECT_EQ(PixelOf(c, x, 100), Divider) << x;
    EXPECT_EQ(PixelOf(c, 312, 100), White);

    // Bars in their states' colours.
    EXPECT_EQ(s.Inside(c, s.GreenTask), Green);
    EXPECT_EQ(s.Inside(c, s.YellowTask), Yellow);
    const TRect green = s.Bar(s.GreenTask);
    EXPECT_EQ(PixelOf(c, green.Left + 5, green.Top - 1), White) << "the bar keeps 80 % of its row";

    // An overlap: the two bars red, every other one silver.
    TNodeData* other = StateTask(*s.P, "C", D0 + 22, 1, 2);
    s.P->UpdateOverlappingProc();
    c = PaintChart(*s.P);
    EXPECT_EQ(PixelOf(c, s.Bar(s.YellowTask).Left + 4, 130), (TRGB{255, 0, 0}));
    EXPECT_EQ(s.Inside(c, other), (TRGB{255, 0, 0}));
    EXPECT_EQ(s.Inside(c, s.GreenTask), (TRGB{0xC0, 0xC0, 0xC0}));
    EXPECT_EQ(s.Inside(c, s.LateTask), (TRGB{0xC0, 0xC0, 0xC0}));
}

TEST(ChartPaint, TodayIsMaskedAndLateArrowsAreAmber)
{
    TPinnedClock clock(Today);
    TScene s;
    TCanvas* c = PaintChart(*s.P);
    // Wednesday's column over all rows: masked over white, over the
    // absence's holiday colour and over the day line at its left.
    EXPECT_EQ(PixelOf(c, 165, 30), (TRGB{0xD6, 0x62, 0x73}));
    EXPECT_EQ(PixelOf(c, 165, 150), (TRGB{0xD6, 0x62, 0x73}));
    EXPECT_EQ(PixelOf(c, 165, 80), (TRGB{0xC4, 0x60, 0x70}));
    EXPECT_EQ(PixelOf(c, 160, 30), (TRGB{0x92, 0x42, 0x60}));
    EXPECT_EQ(PixelOf(c, 175, 30), White);

    // The late arrow runs back from the end to the due date in the lower
    // half of B; its head lies over Friday's white.
    const TRect arrow = s.P->ArrowRect(s.LateTask, 0, 700, 54, D0 + 70, D0);
    ASSERT_EQ(arrow, TRect(250, 81, 180, 108));
    EXPECT_EQ(PixelOf(c, 185, 94), (TRGB{0xFF, 0xCC, 0x11}));
    EXPECT_EQ(PixelOf(c, 185, 70), White) << "the upper half stays clear";
    EXPECT_EQ(PixelOf(c, 178, 94), White) << "nothing beyond the due date";

    // Wider than 23 px a day, only the tenth of a day from now is marked.
    s.P->FColWidth = 30;
    c = PaintChart(*s.P);
    for (int x : {495, 497})
        EXPECT_EQ(PixelOf(c, x, 30), (TRGB{0xD6, 0x62, 0x73})) << x;
    for (int x : {494, 498, 485})
        EXPECT_EQ(PixelOf(c, x, 30), White) << x;
}

TEST(ChartPaint, GridShowsDaysWeeksOrMonthsByTheDayWidth)
{
    TPinnedClock clock(Today);
    // Z works every day: no weekend edges in its row.
    TPlannerPtr p = MakePlanner({SevenDayPosition("Z"), "A"});
    struct {
        int DayWidth;
        std::vector<int> Lines, Clear;
    } cases[] = {
        // Days from 7 px on.
        {7, {7, 14, 21, 28}, {3, 10, 17}},
        // Weeks: Mondays 8, 22 and 29 January only.
        {5, {35, 105, 140}, {40, 45, 110, 115, 120, 125, 130, 135}},
        // Months: nothing but the dividers.
        {2, {}, {2, 6, 14, 20, 28, 30, 34, 40, 50, 60}},
    };
    for (const auto& k : cases) {
        SetUpChart(*p, 700, 300, k.DayWidth);
        TCanvas* c = PaintChart(*p);
        for (int x : k.Lines)
            EXPECT_EQ(PixelOf(c, x, 45), Grid) << k.DayWidth << " px, x " << x;
        for (int x : k.Clear)
            EXPECT_EQ(PixelOf(c, x, 45), White) << k.DayWidth << " px, x " << x;
        // 1 February.
        const int february = 31 * k.DayWidth;
        EXPECT_EQ(PixelOf(c, february + 1, 45), Divider) << k.DayWidth;
    }
}

TEST(ChartPaint, MinuteModeShadesBreaksAndWholeWeekends)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner();
    SetUpChart(*p, 48 * 14, 300, 48);
    p->FMinUnit = muMinute;
    p->UpdateInternalVariables();
    ASSERT_NEAR(p->FMinDayStart, 7.0 / 24, 1e-9);
    ASSERT_NEAR(p->FMaxDayEnd, 15.75 / 24, 1e-9);
    TCanvas* c = PaintChart(*p);
    for (int day = 0; day < 14; ++day) {
        const int x0 = 48 * day;
        const bool weekend = day % 7 >= 5;
        for (int y : {8, 45, 100, 150}) {
            // Lunch from 12:00 to 12:30 of the working window 07:00 to 15:45.
            for (int dx : {28, 29})
                EXPECT_EQ(PixelOf(c, x0 + dx, y), NonWorking) << "day " << day << " x " << x0 + dx;
            for (int dx : {5, 20, 26, 31, 40})
                EXPECT_EQ(PixelOf(c, x0 + dx, y), weekend ? NonWorking : White) << "day " << day << " x " << x0 + dx;
        }
    }
}

TEST(ChartPaint, RowLinesFollowTheirSwitches)
{
    TPinnedClock clock(Today);
    // M has two rows: shown rows A, M, M's extra row, B.
    TPlannerPtr p = MakePlanner({"A", PositionEntry("M", 2), "B"});
    SetUpChart(*p);
    ASSERT_EQ(p->GetRowCount(), 4);
    ASSERT_TRUE(p->isMultiRow(2));
    struct {
        bool Lines, MultiRowLines;
        TRGB AtA, AtExtra, AtB;
    } cases[] = {{false, false, White, White, White}, {true, false, Grid, White, Grid}, {true, true, Grid, Grid, Grid},
        {false, true, White, White, White}};
    for (const auto& k : cases) {
        p->DrawLines1->SetChecked(k.Lines);
        p->DrawLinesMultiRow1->SetChecked(k.MultiRowLines);
        TCanvas* c = PaintChart(*p);
        EXPECT_EQ(PixelOf(c, 35, 54), k.AtA) << k.Lines << k.MultiRowLines;
        EXPECT_EQ(PixelOf(c, 35, 108), k.AtExtra) << k.Lines << k.MultiRowLines;
        EXPECT_EQ(PixelOf(c, 35, 162), k.AtB) << k.Lines << k.MultiRowLines;
        EXPECT_EQ(PixelOf(c, 35, 216), Rgb(clBtnShadow)) << "no line below the last row";
    }
}

TEST(ChartPaint, PositionLabelsAndTheFadeOutLine)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner({"A", PositionEntry("M", 2), "B", "C"});
    SetUpChart(*p);
    AddTask(*p, "A", D0 + 2, 1);
    AddTask(*p, "B", D0 + 2, 1);
    TCanvas* c = PaintChart(*p);
    // A raised label for each position, none for M's extra row.
    for (int row : {0, 1, 3, 4}) {
        const TRect r = p->PositionRect(c, 0, row, 700, 54);
        ASSERT_FALSE(r.IsEmpty());
        EXPECT_EQ(PixelOf(c, r.Left + 2, r.Top + 2), Rgb(clBtnFace)) << row;
        EXPECT_NE(PixelOf(c, r.Right + 2, r.Top + 2), Rgb(clBtnFace)) << row;
    }
    const TRect extra = p->PositionRect(c, 0, 2, 700, 54);
    EXPECT_NE(PixelOf(c, extra.Left + 2, extra.Top + 2), Rgb(clBtnFace));

    // The fade-out line names the rows hidden for being empty.
    EXPECT_EQ(p->FadeOutText(), "");
    p->HideEmptyRows1->SetChecked(true);
    p->UpdateEmptyRowsProc();
    ASSERT_EQ(p->GetRowCount(), 2);
    EXPECT_EQ(p->FadeOutText(), "automatically fade-out: M,M (1),C");
    c = PaintChart(*p);
    // Written on the chart's background below the last row.
    EXPECT_EQ(PixelOf(c, 1, 2 * 54 + 5), Rgb(clBtnShadow));
    EXPECT_EQ(PixelOf(c, 3, 2 * 54 + 5), White);
    AddTask(*p, "M", D0 + 2, 1);
    AddTask(*p, "M (1)", D0 + 2, 1);
    AddTask(*p, "C", D0 + 2, 1);
    p->UpdateEmptyRowsProc();
    EXPECT_EQ(p->FadeOutText(), "automatically fade-out suppressed");
}

TEST(ChartPaint, MovingBarsShowTheirStartOnTheChartOnly)
{
    TPinnedClock clock(Today);
    TScene s;
    TTestPlanner& p = *s.P;
    p.StringTreeGrid1->SetSelected(s.YellowTask->VNode, true);
    const TRect bar = s.Bar(s.YellowTask);
    const TPoint corner{bar.Left, bar.Bottom};
    // The first black pixel from (X, Y) in the direction (DX, DY), or -1.
    auto blackFrom = [](TCanvas* C, int X, int Y, int DX, int DY) {
        for (int i = 1; i < 40; ++i)
            if (PixelOf(C, X + i * DX, Y + i * DY) == (TRGB{0, 0, 0}))
                return DX ? X + i * DX : Y + i * DY;
        return -1;
    };

    // Not moving: no box.
    TCanvas* c = PaintChart(p);
    EXPECT_EQ(blackFrom(c, corner.X + 1, corner.Y, -1, 0), -1);

    // Moving: the start in a framed box on the info colour, centred on the
    // bar's bottom-left corner.
    p.FTimeChartMouseState = msMoveItem;
    c = PaintChart(p);
    const int left = blackFrom(c, corner.X + 1, corner.Y, -1, 0);
    ASSERT_GT(left, corner.X - 40);
    const int top = blackFrom(c, left + 1, corner.Y, 0, -1);
    ASSERT_GT(top, corner.Y - 20);
    EXPECT_EQ(PixelOf(c, left + 1, top + 1), Rgb(clInfoBk));
    const int right = blackFrom(c, corner.X - 1, corner.Y, 1, 0);
    EXPECT_LE(std::abs((left + right) / 2 - corner.X), 1) << left << " to " << right;

    // A picture of the same span shows no box.
    TBitmap picture(700, 52 + 3 * 54);
    p.DrawBitmap(picture.Canvas(), 0, 0, 700, 52 + 3 * 54, 0, 0, true, 0, D0 + 70, D0);
    EXPECT_EQ(blackFrom(picture.Canvas(), corner.X + 1, 52 + corner.Y, -1, 0), -1);

    // In minutes a task shows a white clock face there instead, its hands
    // from the corner.
    p.FMinUnit = muMinute;
    p.UpdateInternalVariables();
    const TRect minuteBar = s.Bar(s.YellowTask);
    const TPoint at{minuteBar.Left, minuteBar.Bottom};
    c = PaintChart(p);
    int white = 0;
    for (int y = at.Y - 8; y <= at.Y + 8; ++y)
        for (int x = at.X - 8; x <= at.X + 8; ++x)
            white += PixelOf(c, x, y) == White;
    EXPECT_GT(white, 90);
    EXPECT_EQ(PixelOf(c, at.X, at.Y), (TRGB{0, 0, 0}));
    EXPECT_NE(PixelOf(c, at.X - 12, at.Y + 2), Rgb(clInfoBk));
}
