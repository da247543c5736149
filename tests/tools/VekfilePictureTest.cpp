// vekfile picture in process: its arguments, and that its pictures are what
// a planner form with the same plan draws for the same span and size.
#include "tests/support/TestData.h"
#include "tests/views/ChartPaintSupport.h"
#include "tools/vekfile/Picture.h"

using namespace chartpaint;

namespace {

// A plan of three positions with a green task on A, a late task on B and
// an absence, saved; P keeps it open with the same switches the tool uses.
String SavePlan(TTestPlanner& P, TNodeData*& Green)
{
    AddHoliday(P, "Holiday", 10, 1);
    Green = StateTask(P, "A", D0 + 1, 3, 2);
    TNodeData* late = StateTask(P, "B", D0 + 8, 5, 1);
    P.DoSetData(late, AddDueColumn(P), P.FormatDateTime(D0 + 6), cmIgnoreNet);
    AddAbsentDay(P, "C", D0 + 3, 2);
    P.DrawLines1->SetChecked(true);
    P.DrawLinesMultiRow1->SetChecked(true);
    P.SmallTimeChart1->SetChecked(true);
    const String file = vektest::TempDir() + "/picture.vek";
    EXPECT_TRUE(P.Save(file));
    return file;
}

TPictureOptions Options(const std::vector<String>& Args)
{
    TPictureOptions options;
    String error;
    EXPECT_TRUE(ParsePictureOptions(Args, options, error)) << error;
    return options;
}

int Differences(TCanvas* A, TCanvas* B, int Width, int Height)
{
    int differ = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (!(PixelOf(A, x, y) == PixelOf(B, x, y)) && ++differ <= 3)
                ADD_FAILURE() << "differs at " << x << "," << y << ": " << PixelOf(A, x, y) << " against "
                              << PixelOf(B, x, y);
    return differ;
}

}  // namespace

TEST(VekfilePicture, ArgumentsAreCheckedWhateverTheLocale)
{
    const TPictureOptions o = Options({"plan.vek", "--from", "2024-01-01", "--days", "21", "--day-width", "12",
        "--zoom", "150", "--font-size", "9", "--now", "2024-01-17 08:30", "--select", "3,1,12", "--screen",
        "700x300", "--overview", "640x40", "out.png"});
    EXPECT_EQ(o.File, "plan.vek");
    EXPECT_EQ(o.Out, "out.png");
    EXPECT_TRUE(o.HasFrom);
    EXPECT_EQ(o.From, D0);
    EXPECT_EQ(o.Days, 21);
    EXPECT_EQ(o.DayWidth, 12);
    EXPECT_EQ(o.Zoom, 150);
    EXPECT_EQ(o.FontSize, 9);
    EXPECT_NEAR(o.Now, D0 + 16 + 8.5 / 24, 1e-9);
    EXPECT_EQ(o.Select, (std::vector<int>{3, 1, 12}));
    EXPECT_EQ(std::vector<int>({o.ScreenWidth, o.ScreenHeight, o.OverviewWidth, o.OverviewHeight}),
        std::vector<int>({700, 300, 640, 40}));
    const TPictureOptions plain = Options({"a.vek", "b.png"});
    EXPECT_FALSE(plain.HasFrom);
    EXPECT_FALSE(plain.HasNow);
    EXPECT_EQ(plain.Days, 14);
    EXPECT_EQ(plain.DayWidth + plain.Zoom + plain.FontSize + plain.ScreenWidth, 0);

    const std::vector<std::vector<String>> bad = {{"a.vek"}, {"a.vek", "b.png", "c.png"}, {"a.vek", "b.png", "--days"},
        {"a.vek", "b.png", "--days", "0"}, {"a.vek", "b.png", "--days", "1e3"}, {"a.vek", "b.png", "--zoom", "-5"},
        {"a.vek", "b.png", "--from", "01.01.2024"}, {"a.vek", "b.png", "--from", "2024-02-30"},
        {"a.vek", "b.png", "--now", "2024-01-17"}, {"a.vek", "b.png", "--now", "2024-01-17 25:00"},
        {"a.vek", "b.png", "--select", "1,,2"}, {"a.vek", "b.png", "--select", "x"},
        {"a.vek", "b.png", "--screen", "700"}, {"a.vek", "b.png", "--screen", "0x300"},
        {"a.vek", "b.png", "--overview", "700x30"}, {"a.vek", "b.png", "--colour", "red"}};
    for (const std::vector<String>& args : bad) {
        TPictureOptions o2;
        String error;
        EXPECT_FALSE(ParsePictureOptions(args, o2, error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
}

TEST(VekfilePicture, ASpanAndTheWindowsPanelsAsTheFormDrawsThem)
{
    EnsureApplication();
    TPlannerPtr p = MakePlanner();
    String file;
    TNodeData* green = nullptr;
    {
        TPinnedClock clock(Today);
        SetUpChart(*p, 700, 300);
        file = SavePlan(*p, green);
        p->UpdateAutoEntries(D0 - 7, D0 + 120);
    }
    const std::vector<String> common = {
        file, "out.png", "--from", "2024-01-01", "--day-width", "10", "--zoom", "100", "--font-size", "10",
        "--now", "2024-01-17 12:00"};
    auto with = [&](std::vector<String> More) {
        std::vector<String> args = common;
        args.insert(args.end(), More.begin(), More.end());
        return Options(args);
    };

    // The span: captions 52 px high, then three rows of 54.
    String error;
    std::unique_ptr<TBitmap> span = MakePicture(with({"--days", "21"}), error);
    ASSERT_TRUE(span) << error;
    ASSERT_EQ(span->Width(), 210);
    ASSERT_EQ(span->Height(), 52 + 3 * 54);
    {
        TPinnedClock clock(Today);
        TBitmap expected(210, 52 + 3 * 54);
        p->DrawBitmap(expected.Canvas(), 0, 0, 210, 52 + 3 * 54, 0, 0, true, 0, D0 + 21, D0);
        EXPECT_EQ(Differences(span->Canvas(), expected.Canvas(), 210, 52 + 3 * 54), 0);
    }
    const TRect bar = p->ItemRect(green, 0, false, 700, 54, D0 + 70, D0);
    ASSERT_FALSE(bar.IsEmpty());
    EXPECT_EQ(PixelOf(span->Canvas(), bar.Left + 3, 52 + bar.Bottom - 3), Green);

    // The chart body as the window paints it at that size.
    std::unique_ptr<TBitmap> screen = MakePicture(with({"--screen", "700x300"}), error);
    ASSERT_TRUE(screen) << error;
    ASSERT_EQ(screen->Width(), 700);
    ASSERT_EQ(screen->Height(), 300);
    {
        TPinnedClock clock(Today);
        TCanvas* c = PaintChart(*p);
        EXPECT_EQ(Differences(screen->Canvas(), c, 700, 300), 0);
    }

    // A selected bar is drawn on top with its shadow.
    std::unique_ptr<TBitmap> selected = MakePicture(with({"--screen", "700x300", "--select", "1"}), error);
    ASSERT_TRUE(selected) << error;
    const TRGB under = PixelOf(selected->Canvas(), bar.Left + 12, bar.Bottom + 1);
    EXPECT_LT(under.R + under.G + under.B, 3 * 255) << "shadow below the bar";
    EXPECT_EQ(PixelOf(screen->Canvas(), bar.Left + 12, bar.Bottom + 1), White);

    // The overview strip alone at its size.
    std::unique_ptr<TBitmap> overview = MakePicture(with({"--screen", "700x300", "--overview", "640x30"}), error);
    ASSERT_TRUE(overview) << error;
    EXPECT_EQ(overview->Width(), 640);
    EXPECT_EQ(overview->Height(), 30);
    bool framed = false;
    for (int x = 0; x < 640 && !framed; ++x)
        framed = PixelOf(overview->Canvas(), x, 0) == Divider;
    EXPECT_TRUE(framed) << "the slider's frame";
}

TEST(VekfilePicture, UnreadablePlansAndUnknownRowsGiveNoPicture)
{
    EnsureApplication();
    String error;
    EXPECT_FALSE(MakePicture(Options({vektest::TempDir() + "/missing.vek", "out.png"}), error));
    EXPECT_NE(error.find("missing.vek"), String::npos);

    TPlannerPtr p = MakePlanner();
    AddTask(*p, "A", D0, 2);
    const String file = vektest::TempDir() + "/one.vek";
    ASSERT_TRUE(p->Save(file));
    error.clear();
    EXPECT_TRUE(MakePicture(Options({file, "out.png", "--select", "1"}), error)) << error;
    EXPECT_FALSE(MakePicture(Options({file, "out.png", "--select", "1,7"}), error));
    EXPECT_NE(error.find("7"), String::npos);
}

TEST(VekfilePicture, BarsFailingAStoredFilterAreBlended)
{
    EnsureApplication();
    TPlannerPtr p = MakePlanner();
    TNodeData* shown = nullptr;
    TNodeData* failing = nullptr;
    {
        TPinnedClock clock(Today);
        SetUpChart(*p, 700, 300);
        shown = StateTask(*p, "A", D0 + 1, 3, 1);
        failing = StateTask(*p, "B", D0 + 8, 3, 1);
    }
    // The plan keeps a list filter on the position for the first tab.
    TFilter filter;
    filter.Table = tbTable;
    filter.Group = "General View";
    filter.Header = "Position";
    filter.Type = ftList;
    filter.SubType = fsEquals;
    filter.Text1 = "A,C";
    p->FFilters.push_back(filter);
    const TRect shownBar = p->ItemRect(shown, 0, false, 700, 54, D0 + 70, D0);
    const TRect failingBar = p->ItemRect(failing, 0, false, 700, 54, D0 + 70, D0);
    ASSERT_FALSE(shownBar.IsEmpty() || failingBar.IsEmpty());

    for (const int transparency : {50, 100}) {
        SCOPED_TRACE(transparency);
        p->FTransparency = transparency;
        const String file = vektest::TempDir() + "/filtered.vek";
        ASSERT_TRUE(p->Save(file));
        String error;
        std::unique_ptr<TBitmap> picture = MakePicture(Options({file, "out.png", "--from", "2024-01-01", "--days",
            "21", "--day-width", "10", "--zoom", "100", "--font-size", "10", "--now", "2024-01-17 12:00"}), error);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(PixelOf(picture->Canvas(), shownBar.Left + 3, 52 + shownBar.Bottom - 3), Yellow);
        const TRGB blended = transparency == 50 ? TRGB{255, 255, 127} : White;
        EXPECT_EQ(PixelOf(picture->Canvas(), failingBar.Left + 3, 52 + failingBar.Bottom - 3), blended);
    }
}
