// Bars on the chart's own back buffer and on a plain bitmap: colours,
// outline, overlaps, absences, transparency, shadow and flash by pixels
// inside the computed rectangles; the text layout by its rectangles; the
// picture cache across paints.
#include "platform/DateUtils.h"
#include "views/BarPictureCache.h"
#include "views/ChartRowIndex.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

// A Sunday: days 1 to 5 after it are Monday to Friday.
const TDateTime D0 = EncodeDate(2023, 12, 31);

// The chart body 800 x 300, its back buffer white.
TCanvas* WhiteChart(TTestPlanner& P)
{
    P.SizeChart(800, 300);
    TCanvas* c = P.TimeChart->Canvas();
    P.TimeChart->BackBuffer()->SetSize(800, 300);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 800, 300));
    return c;
}

void Draw(TTestPlanner& P, TCanvas* C, TNodeData* Row)
{
    P.DrawItem(C, false, 10, P.FFontname, 0, 0, rsTopMiddleBottom, 800, 54, 0, D0 + 100, D0, Row, Row->NodeTable);
}

// A task on C, days 3 to 5, in state Index: its bar is (24, 113)-(48, 157).
TNodeData* StateTask(TTestPlanner& P, int Index, const String& Position = "C", int Day = 3)
{
    TNodeData* row = AddTask(P, Position, D0 + Day, 3);
    P.DoSetDataIndex(row, P.GetConnection(tbTable, cnColor), cmIgnoreNet, Index);
    return row;
}

const TRGB White{255, 255, 255};
const TRGB Green{0, 0xBF, 0};
const TRGB Yellow{255, 255, 0};

}  // namespace

TEST(BarPictures, StateColourOutlineAndOverlaps)
{
    TPlannerPtr p = MakePlanner();
    TCanvas* c = WhiteChart(*p);
    TNodeData* task = StateTask(*p, 2);
    Draw(*p, c, task);
    EXPECT_EQ(PixelOf(c, 30, 130), Green);
    EXPECT_EQ(PixelOf(c, 24, 113), (TRGB{0, 0, 0}));
    EXPECT_EQ(PixelOf(c, 47, 156), (TRGB{0, 0, 0}));
    EXPECT_EQ(PixelOf(c, 23, 130), White);
    EXPECT_EQ(PixelOf(c, 30, 157), White);
    EXPECT_EQ(p->redrawcount, 1);

    // Two tasks overlapping on C turn red, every other task silver.
    TNodeData* other = StateTask(*p, 2, "C", 4);
    TNodeData* apart = StateTask(*p, 2, "A", 3);
    p->UpdateOverlappingProc();
    for (TNodeData* row : {task, other, apart})
        Draw(*p, c, row);
    EXPECT_EQ(PixelOf(c, 30, 130), (TRGB{255, 0, 0}));
    EXPECT_EQ(PixelOf(c, 50, 130), (TRGB{255, 0, 0}));
    EXPECT_EQ(PixelOf(c, 30, 20), (TRGB{0xC0, 0xC0, 0xC0}));

    // An absence: its reason's colour, outlined a quarter darker.
    TNodeData* absence = AddAbsentDay(*p, "B", D0 + 10, 1);
    p->DoSetDataIndex(absence, p->GetConnection(tbExclude, cnColor), cmIgnoreNet, 2);
    Draw(*p, c, absence);
    EXPECT_EQ(PixelOf(c, 84, 80), (TRGB{0x62, 0x87, 0x97}));
    EXPECT_EQ(PixelOf(c, 80, 54), (TRGB{74, 101, 113}));
}

TEST(BarPictures, FilteredBarsAreBlended)
{
    TPlannerPtr p = MakePlanner();
    TNodeData* task = StateTask(*p, 1);
    p->StringTreeGrid1->SetVisible(task->VNode, false);
    struct {
        int Transparency;
        bool Alpha;
        TRGB Inside;
    } cases[] = {{50, true, {255, 255, 127}}, {100, true, White}, {0, true, Yellow}, {50, false, Yellow}};
    for (const auto& k : cases) {
        TCanvas* c = WhiteChart(*p);
        p->FTransparency = k.Transparency;
        p->AllowAlpha = k.Alpha;
        Draw(*p, c, task);
        EXPECT_EQ(PixelOf(c, 30, 130), k.Inside) << k.Transparency << "% " << k.Alpha;
    }
    // On a plain bitmap a filtered bar is opaque.
    p->AllowAlpha = true;
    p->FTransparency = 50;
    TBitmap plain(800, 300);
    Draw(*p, plain.Canvas(), task);
    EXPECT_EQ(PixelOf(plain.Canvas(), 30, 130), Yellow);
}

TEST(BarPictures, SelectedBarsCastAShadowAndFlash)
{
    TPlannerPtr p = MakePlanner();
    TNodeData* task = StateTask(*p, 2);
    p->StringTreeGrid1->SetSelected(task->VNode, true);
    TCanvas* c = WhiteChart(*p);
    Draw(*p, c, task);
    EXPECT_EQ(PixelOf(c, 30, 130), Green) << "step 0: the plain colour";
    const int below[] = {152, 152, 152, 152, 190, 221, 240, 250, 255};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(PixelOf(c, 40, 157 + i).R, below[i]) << "row " << i << " below the bar";
        EXPECT_EQ(PixelOf(c, 48 + i, 140).G, below[i]) << "column " << i << " right of the bar";
    }
    // Under the darkest part, other colours than white: each step keeps
    // 256 - alpha of 256 of every channel, rounded down.
    c = WhiteChart(*p);
    auto* row = static_cast<std::uint32_t*>(p->TimeChart->BackBuffer()->ScanLine(157));
    for (int x = 36; x < 52; ++x)
        row[x] = std::uint32_t(x * 0x0B0705 + 0x0F0301) & 0x00FFFFFFu;
    Draw(*p, c, task);
    for (int x = 36; x < 52; ++x) {
        int expected[3];
        for (int k = 0; k < 3; ++k) {
            int v = int(((std::uint32_t(x * 0x0B0705 + 0x0F0301) & 0x00FFFFFFu) >> (16 - 8 * k)) & 0xFF);
            for (int alpha : {5, 10, 20, 35, 50})
                v = v * (256 - alpha) / 256;
            expected[k] = v;
        }
        EXPECT_EQ(PixelOf(c, x, 157), (TRGB{expected[0], expected[1], expected[2]})) << "x " << x;
    }
    TBitmap plain(800, 300);
    Draw(*p, plain.Canvas(), task);
    EXPECT_EQ(PixelOf(plain.Canvas(), 40, 158), White) << "no shadow on a plain bitmap";

    // The flash: six ticks fade towards the contrast colour and back.
    p->ResetFlashSelectedTimer();
    EXPECT_TRUE(p->FlashSelectedTimer->Enabled());
    const TRGB steps[] = {{0x80, 0xDF, 0x80}, {0x8C, 0xE2, 0x8C}, {0xC4, 0xF0, 0xC4}, White, {0xC4, 0xF0, 0xC4},
        {0x80, 0xDF, 0x80}, Green};
    for (int tick = 0; tick < 7; ++tick) {
        p->FlashSelectedTimerTimer(nullptr);
        Draw(*p, c, task);
        EXPECT_EQ(PixelOf(c, 30, 130), steps[tick]) << "tick " << tick + 1;
        EXPECT_EQ(p->FlashSelectedTimer->Enabled(), tick < 6) << "tick " << tick + 1;
    }
}

TEST(BarPictures, SampleBarFillsItsClip)
{
    TPlannerPtr p = MakePlanner();
    TBitmap sample(100, 60);
    p->DrawItem(sample.Canvas(), false, 10, p->FFontname, 0, 0, rsTopMiddleBottom, 100, 20, 0, D0 + 1, D0, nullptr,
        tbTable);
    EXPECT_EQ(PixelOf(sample.Canvas(), 50, 5), (TRGB{0, 0x80, 0}));
    EXPECT_EQ(PixelOf(sample.Canvas(), 5, 30), White);
    EXPECT_EQ(PixelOf(sample.Canvas(), 50, 20), (TRGB{0, 0, 0}));
}

TEST(BarPictures, TextLinesFitByTheirWidths)
{
    const TRect r(0, 0, 200, 10);
    // Room for all: left, right and the centre between them.
    TFittedLine line = TPlannerForm::FitTextLine(20, 30, 20, r, false);
    EXPECT_EQ(line.Rect[0], r);
    EXPECT_EQ(line.Align[0], unsigned(DT_LEFT));
    EXPECT_EQ(line.Rect[2], TRect(24, 0, 200, 10));
    EXPECT_EQ(line.Align[2], unsigned(DT_RIGHT));
    EXPECT_EQ(line.Rect[1], TRect(24, 0, 184, 10));
    EXPECT_EQ(line.Align[1], unsigned(DT_CENTER));
    // Too little room: the centre text first, the others beside it.
    line = TPlannerForm::FitTextLine(50, 60, 50, TRect(0, 0, 100, 10), false);
    EXPECT_EQ(line.Rect[1], TRect(0, 0, 100, 10));
    EXPECT_EQ(line.Rect[0], TRect(0, 0, 16, 10));
    EXPECT_EQ(line.Rect[2], TRect(84, 0, 100, 10));
    line = TPlannerForm::FitTextLine(50, 150, 50, TRect(0, 0, 100, 10), false);
    EXPECT_TRUE(line.Drawn[1]);
    EXPECT_EQ(line.Align[1], unsigned(DT_LEFT));
    EXPECT_FALSE(line.Drawn[0] || line.Drawn[2]) << "a centre wider than the bar alone";
    // No centre: the shorter text at its side, the other after it.
    line = TPlannerForm::FitTextLine(30, 0, 60, TRect(0, 0, 80, 10), false);
    EXPECT_EQ(line.Rect[0], TRect(0, 0, 80, 10));
    EXPECT_EQ(line.Rect[2], TRect(34, 0, 80, 10));
    line = TPlannerForm::FitTextLine(60, 0, 30, TRect(0, 0, 80, 10), false);
    EXPECT_EQ(line.Rect[2], TRect(0, 0, 80, 10));
    EXPECT_EQ(line.Align[2], unsigned(DT_RIGHT));
    EXPECT_EQ(line.Rect[0], TRect(0, 0, 46, 10));
    line = TPlannerForm::FitTextLine(50, 0, 60, TRect(0, 0, 80, 10), false);
    EXPECT_EQ(line.Rect[0], TRect(0, 0, 38, 10));
    EXPECT_EQ(line.Rect[2], TRect(42, 0, 80, 10));
    // Full texts widen the line.
    line = TPlannerForm::FitTextLine(0, 100, 0, TRect(0, 0, 50, 10), true);
    EXPECT_EQ(line.Rect[1], TRect(0, 0, 108, 10));
}

namespace {

// A planner with a window whose chart paints into its back buffer.
TPlannerPtr PaintedPlanner(int Positions, int Tasks)
{
    std::vector<String> names;
    for (int i = 0; i < Positions; ++i)
        names.push_back("P" + IntToStr(i));
    TPlannerPtr p = MakePlanner(names);
    for (int i = 0; i < Tasks; ++i)
        StateTask(*p, i % 3, names[std::size_t(i % Positions)], 1 + (i * 7) % 200);
    p->HandleNeeded();
    p->SizeChart(800, 540);
    p->SetTimeChartBounds(D0 - 10, D0 + 400);
    p->FTimeChartStart = D0;
    return p;
}

void Paint(TTestPlanner& P)
{
    P.TimeChart->Invalidate();
    P.TimeChart->Update();
}

}  // namespace

TEST(BarPictures, PicturesAreReusedUntilTheirRowChanges)
{
    TPlannerPtr p = PaintedPlanner(5, 60);
    Paint(*p);
    const int first = p->redrawcount;
    EXPECT_GT(first, 5);
    EXPECT_EQ(int(p->PictureCache().Count()), first);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 0) << "a second paint draws from the pictures";

    TNodeData* row = TableRows(*p, tbTable)[0];
    p->DoSetData(row, p->GetConnection(tbTable, cnTextCenterMiddle), "changed", cmIgnoreNet);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 1) << "only the changed row";

    // A deleted row is gone from the index and the cache.
    p->DeleteNode(row, cmIgnoreNet);
    EXPECT_FALSE(p->PictureCache().Holds(row));
    EXPECT_FALSE(p->RowIndex().Holds(row));
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 0);
}

// The cache alone, over rows of its own: the least recently used picture
// goes first, and a slot given up by a forgotten row serves the next.
TEST(BarPictures, TheCacheFreesTheLeastRecentlyUsedAndReusesSlots)
{
    std::vector<TNodeData> rows(5, TNodeData{});
    std::vector<std::unique_ptr<TBitmap>> bitmaps;
    const TPictureKey key{10, 10, TRect(0, 0, 10, 10), 0};
    for (TNodeData& r : rows) {
        bitmaps.push_back(std::make_unique<TBitmap>(10, 10));
        r.Bitmap = bitmaps.back().get();
    }
    TBarPictureCache cache(3 * 400);
    for (int i = 0; i < 3; ++i)
        cache.Drawn(&rows[std::size_t(i)], key);
    EXPECT_TRUE(cache.Reuse(&rows[0], key));
    EXPECT_FALSE(cache.Reuse(&rows[1], TPictureKey{10, 10, TRect(0, 0, 10, 10), 40})) << "another look";
    cache.Drawn(&rows[3], key);
    EXPECT_FALSE(cache.Holds(&rows[1])) << "the least recently used";
    EXPECT_EQ(rows[1].Bitmap->Width(), 0) << "its pixels freed";
    EXPECT_TRUE(cache.Holds(&rows[0]));
    EXPECT_TRUE(cache.Holds(&rows[2]));
    EXPECT_EQ(cache.Count(), 3u);

    cache.Forget(&rows[2]);
    cache.Drawn(&rows[4], key);
    EXPECT_FALSE(cache.Holds(&rows[2]));
    EXPECT_TRUE(cache.Holds(&rows[4]));
    EXPECT_EQ(cache.Bytes(), 3u * 400);
    // Many uses leave no more than the kept pictures behind.
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(cache.Reuse(&rows[std::size_t(i % 2 == 0 ? 0 : 4)], key));
    cache.Drawn(&rows[1], key);
    EXPECT_FALSE(cache.Holds(&rows[3])) << "not used since it was drawn";
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_EQ(cache.Bytes(), 0u);
    for (TNodeData& r : rows)
        EXPECT_FALSE(cache.Holds(&r));
}

TEST(BarPictures, PicturesStayWithinTheirBudget)
{
    TPlannerPtr p = PaintedPlanner(10, 400);
    const std::size_t budget = 64 * 1024;
    p->PictureCache().SetBudget(budget);
    for (int day = 0; day < 300; day += 25) {
        p->FTimeChartStart = D0 + day;
        Paint(*p);
        EXPECT_LE(p->PictureCache().Bytes(), budget) << "day " << day;
        EXPECT_GT(p->PictureCache().Count(), 0u);
    }
    // A picture covers a bar only as far as a canvas width beyond each side
    // of the canvas, however long the bar.
    TNodeData* task = StateTask(*p, 1, "P0", 0);
    p->DoSetLengthOf(task, 480 * 400, cmIgnoreNet);
    p->FTimeChartStart = D0 + 100;
    Paint(*p);
    EXPECT_LE(task->Bitmap->Width(), 3 * 800);
    EXPECT_LE(p->PictureCache().Bytes(), budget + std::size_t(3 * 800 * 54 * 4));
}

TEST(BarPictures, AChangedRowIsPaintedAgainWhereItStands)
{
    TPlannerPtr p = PaintedPlanner(5, 0);
    TNodeData* task = StateTask(*p, 2, "P2");
    Paint(*p);
    Paint(*p);
    auto validated = [&] {
        for (TWinControl* c : {static_cast<TWinControl*>(p->TimeChart), static_cast<TWinControl*>(p->SmallTimeChart)})
            ValidateRect(c->Handle(), nullptr);
    };
    auto waiting = [](TWinControl* C) {
        TRect r;
        return GetUpdateRect(C->Handle(), &r, false) ? r : TRect();
    };
    validated();
    p->DoSetData(task, p->GetConnection(tbTable, cnTextCenterMiddle), "text", cmIgnoreNet);
    EXPECT_EQ(waiting(p->TimeChart), TRect(24, 113, 48, 157));
    const int rows = p->GetRowCount();
    EXPECT_EQ(waiting(p->SmallTimeChart), p->ItemRect(task, 0, true, p->SmallTimeChart->Width(),
                                              p->SmallTimeChart->Height() / rows, p->FMaxDate, p->FMinDate));
    // A large invalidation takes 8 pixels more to the right and below, for
    // the shadow.
    validated();
    p->InvalidateNode(task, true);
    EXPECT_EQ(waiting(p->TimeChart), TRect(24, 113, 56, 165));
    // Changing the state starts the flash.
    p->FlashSelectedTimer->SetEnabled(false);
    p->DoSetDataIndex(task, p->GetConnection(tbTable, cnColor), cmIgnoreNet, 1);
    EXPECT_TRUE(p->FlashSelectedTimer->Enabled());
}

// A selection change restarts the flash at its first step, which fades by
// nothing: bars that already look so keep their pictures, bars caught in
// the middle of a flash are drawn again, and a bar let go loses its shadow.
TEST(BarPictures, SelectingRedrawsOnlyPicturesWhoseLookChanged)
{
    TPlannerPtr p = PaintedPlanner(5, 60);
    Paint(*p);
    const auto rows = TableRows(*p, tbTable);
    TStringTreeGrid* tree = p->StringTreeGrid1;
    tree->SetSelected(rows[0]->VNode, true);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 1) << "the row just selected";
    tree->SetSelected(rows[1]->VNode, true);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 1) << "not the one selected before";
    p->FlashSelectedTimerTimer(nullptr);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 2) << "a flash step changes both";
    tree->SetSelected(rows[2]->VNode, true);
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 3) << "the flash starts again: all three";

    const TRect bar = p->ItemRect(rows[1], p->FTimeChartTop, false, p->TimeChart->Width(), p->TimeChartRowHeight(0),
        p->GetTimeChartEnd(), p->FTimeChartStart);
    TCanvas* c = p->TimeChart->Canvas();
    const TPoint shadow{(bar.Left + bar.Right) / 2, bar.Bottom + 1};
    EXPECT_LT(PixelOf(c, shadow.X, shadow.Y).R, 255) << "the shadow under a selected bar";
    tree->ClearSelection();
    p->TimeChart->Update();
    EXPECT_EQ(PixelOf(c, shadow.X, shadow.Y), White) << "no shadow left once the bar is let go";
    Paint(*p);
    EXPECT_EQ(p->redrawcount, 0) << "the pictures still show the bars";
}
