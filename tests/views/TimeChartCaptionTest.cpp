// The caption rows: band fills, the white line, separators by pixels; the
// labels, their spacing and the weekday beside the day's number from the
// texts written on a recording canvas, widths through its TextWidth.
#include "tests/views/ChartPaintSupport.h"
#include "views/ChartPalette.h"

using namespace chartpaint;

namespace {

const TRGB MonthFill = Rgb(ChartPalette::MonthRow.Fill);
const TRGB WeekFill = Rgb(ChartPalette::WeekRow.Fill);
const TRGB Line = Rgb(ChartPalette::MonthRow.Line);

// The chart's caption panel Width x the caption height, painted whole.
TCanvas* PaintCaption(TTestPlanner& P, int Width)
{
    P.TimeChartCaption->SetAlign(alNone);
    P.TimeChartCaption->SetBounds(0, 0, Width, P.TimeChartFullRowHeight(0));
    TCanvas* c = P.TimeChartCaption->Canvas();
    P.TimeChartCaption->BackBuffer()->SetSize(Width, P.TimeChartFullRowHeight(0));
    c->SelectClipRgn(nullptr);
    P.TimeChartCaptionPaint();
    return c;
}

// A caption row recorded: each label with where its period starts and its
// width, and the small weekday names after the label they belong to.
struct TRecordedLabel {
    String Text;
    int X;
    int Width;
    int FontHeight;
    String Weekday;
    int WeekdayX = 0;
    int WeekdayWidth = 0;
};

std::vector<TRecordedLabel> RecordRow(TTestPlanner& P, int Kind, const std::vector<String>& Tokens, int Width,
    TDateTime VisEnd, TDateTime VisStart)
{
    TRecordingCanvas c(Width, 60);
    P.DrawCaption(&c, 2, 0, 0, 0, 0, clBlack, clWhite, clGray, Kind, Tokens, Width, VisEnd, VisStart);
    std::vector<TRecordedLabel> labels;
    for (const auto& t : c.Texts) {
        c.Font()->SetStyle(t.Bold ? TFontStyles{fsBold} : TFontStyles());
        c.Font()->SetHeight(t.FontHeight);
        const int width = c.TextWidth(t.Text);
        if (!labels.empty() && t.Text[0] != ' ') {
            labels.back().Weekday = t.Text;
            labels.back().WeekdayX = t.Rect.Left;
            labels.back().WeekdayWidth = width;
            continue;
        }
        labels.push_back({t.Text, t.Rect.Left - 1, width, t.FontHeight, String(), 0, 0});
    }
    return labels;
}

}  // namespace

TEST(ChartCaption, BandsLinesAndSeparators)
{
    TPlannerPtr p = MakePlanner();
    SetUpChart(*p);
    TCanvas* c = PaintCaption(*p, 700);
    ASSERT_EQ(p->TimeChartFullRowHeight(0), 52);
    // Three bands of 17 px, each with a white line on its last pixel row.
    for (int x = 0; x < 700; x += 7) {
        EXPECT_EQ(PixelOf(c, x, 0), MonthFill) << x;
        EXPECT_EQ(PixelOf(c, x, 16), White) << x;
        EXPECT_EQ(PixelOf(c, x, 17), WeekFill) << x;
        EXPECT_EQ(PixelOf(c, x, 33), White) << x;
        EXPECT_EQ(PixelOf(c, x, 34), MonthFill) << x;
        EXPECT_EQ(PixelOf(c, x, 50), White) << x;
    }
    // Months at 1 January, 1 February and 1 March; below 25 px a day the
    // day row labels the Mondays.
    for (int x : {0, 310, 600})
        EXPECT_EQ(PixelOf(c, x, 8), Line) << x;
    EXPECT_EQ(PixelOf(c, 300, 8), MonthFill);
    for (int x : {70, 140, 210})
        EXPECT_EQ(PixelOf(c, x, 34 + 8), Line) << x;
    EXPECT_EQ(PixelOf(c, 40, 34 + 8), MonthFill);
    EXPECT_EQ(PixelOf(c, 70, 34 + 1), MonthFill) << "separators keep off the band's top";

    // Separators at the nearest pixel of an uneven scale: 1 February of 65
    // days over 700 px lies at 333.8.
    TBitmap uneven(700, 20);
    p->DrawCaption(uneven.Canvas(), 0, 0, 0, 0, 0, ChartPalette::MonthRow.Line, ChartPalette::MonthRow.Text,
        ChartPalette::MonthRow.Fill, 1, {"%mmm", "%yy"}, 700, D0 + 65, D0);
    EXPECT_EQ(PixelOf(uneven.Canvas(), 334, 8), Line);
    EXPECT_EQ(PixelOf(uneven.Canvas(), 333, 8), MonthFill);
    EXPECT_EQ(PixelOf(uneven.Canvas(), 335, 8), MonthFill);

    // An empty span draws nothing.
    TBitmap empty(100, 20);
    p->DrawCaption(empty.Canvas(), 0, 0, 0, 0, 0, clBlack, clBlack, clBlack, 1, {"%mmm"}, 100, D0, D0);
    EXPECT_EQ(PixelOf(empty.Canvas(), 50, 5), White);
}

TEST(ChartCaption, LabelsAreBuiltFromTheTokensAndNeverOverlap)
{
    TPlannerPtr p = MakePlanner();
    SetUpChart(*p);
    // Tokens: numbers, names, years, ISO weeks and plain words.
    const std::vector<TRecordedLabel> tokens =
        RecordRow(*p, 1, {"%m", "%mm", "%mmm", "%yy", "%yyyy", "x"}, 2000, D0 + 50, D0);
    ASSERT_GE(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].Text, " 12 Dec December 23 2023 x") << "the period before the start comes first";
    EXPECT_EQ(tokens[0].X, -31 * 40);
    EXPECT_EQ(tokens[1].Text, " 1 Jan January 24 2024 x");
    const std::vector<TRecordedLabel> days = RecordRow(*p, 3, {"%d", "%dd", "%ddd", "%w"}, 4000, D0 + 7, D0);
    ASSERT_FALSE(days.empty());
    EXPECT_EQ(days[0].Text, " 31 Sun Sunday 52") << "days count from the Sunday before the start's week";

    // Weeks at 35 px: a label takes the first following week farther than
    // its width + 10 px.
    const std::vector<TRecordedLabel> weeks = RecordRow(*p, 2, {"cw", "%w"}, 700, D0 + 140, D0);
    ASSERT_GE(weeks.size(), 3u);
    EXPECT_EQ(weeks[0].Text, " cw 52");
    EXPECT_EQ(weeks[0].X, -35);
    EXPECT_LT(weeks.size(), 21u) << "some weeks go without a label";
    for (std::size_t i = 0; i + 1 < weeks.size(); ++i) {
        const int room = weeks[i].Width + 10;
        const int distance = weeks[i + 1].X - weeks[i].X;
        EXPECT_GT(distance, room) << weeks[i].Text;
        EXPECT_LE(distance - 35, room) << weeks[i].Text << ": an earlier week had room";
        EXPECT_EQ((weeks[i].X + 35) % 35, 0);
    }
}

TEST(ChartCaption, WeekdaysStandBesideDayNumbersThatLeaveRoom)
{
    TPlannerPtr p = MakePlanner();
    SetUpChart(*p);
    const char* const names[] = {"Mon", "Tue", "Wed", "Thur", "Fri", "Sat", "Sun"};
    const std::vector<TRecordedLabel> days = RecordRow(*p, 3, {"%d+"}, 30 * 20, D0 + 20, D0);
    ASSERT_GE(days.size(), 10u);
    EXPECT_EQ(days[0].X, -30) << "from the Sunday before";
    TRecordingCanvas measure(100, 100);
    measure.Font()->SetName(p->FFontname);
    measure.Font()->SetStyle(TFontStyles{fsBold});
    int named = 0, unnamed = 0;
    for (std::size_t i = 0; i + 1 < days.size(); ++i) {
        const TRecordedLabel& d = days[i];
        ASSERT_EQ(d.X % 30, 0);
        const String name = names[std::size_t((d.X / 30 + 7) % 7)];
        measure.Font()->SetHeight(d.FontHeight / 2);
        const int nameWidth = measure.TextWidth(name);
        const int distance = days[i + 1].X - d.X;
        const bool room = distance == 30 && d.Width + nameWidth <= 30;
        EXPECT_EQ(!d.Weekday.empty(), room) << d.Text << " " << name << " " << distance;
        if (d.Weekday.empty()) {
            ++unnamed;
            continue;
        }
        ++named;
        EXPECT_EQ(d.Weekday, name) << d.Text;
        EXPECT_EQ(d.WeekdayWidth, nameWidth);
        const int w = d.Width + 10;
        EXPECT_EQ(d.WeekdayX, d.X + w + (30 - w - d.WeekdayWidth) / 2) << d.Text;
    }
    EXPECT_GT(named, 0);
    EXPECT_GT(unnamed, 0) << "two digits leave no room at this size";
    EXPECT_LT(days.size(), 21u) << "some two-digit days go without a label";

    // Below 25 px a day the chart's day row labels weeks.
    p->FColWidth = 20;
    TRecordingCanvas c(700, 60);
    p->DrawCaption(&c, 2, 0, 0, 0, 0, clBlack, clWhite, clGray, p->GetTimeChartColWidth() >= 25 ? 3 : 2, {"%d+"}, 700,
        D0 + 35, D0);
    ASSERT_FALSE(c.Texts.empty());
    for (const auto& t : c.Texts)
        EXPECT_EQ((t.Rect.Left - 1 + 140) % 140, 0) << t.Text << " at " << t.Rect.Left;
}

TEST(ChartCaption, OverviewCaptionShowsTheMonthsOfTheRange)
{
    TPlannerPtr p = MakePlanner();
    SetUpChart(*p);
    p->SetTimeChartBounds(D0, D0 + 70);
    p->SmallTimeChartCaption->SetAlign(alNone);
    p->SmallTimeChartCaption->SetBounds(0, 0, 700, 17);
    TCanvas* c = p->SmallTimeChartCaption->Canvas();
    p->SmallTimeChartCaption->BackBuffer()->SetSize(700, 17);
    c->SelectClipRgn(nullptr);
    p->SmallTimeChartCaptionPaint();
    for (int x = 0; x < 700; x += 7)
        EXPECT_EQ(PixelOf(c, x, 0), White) << x;
    const TRGB line = Rgb(ChartPalette::OverviewCaption.Line);
    for (int x : {0, 310, 600})
        EXPECT_EQ(PixelOf(c, x, 6), line) << x;
    EXPECT_EQ(c->Font()->Height(), 14);
    EXPECT_FALSE(c->Font()->Style().Contains(fsBold));
}
