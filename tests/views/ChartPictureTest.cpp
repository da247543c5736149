// The chart as a picture: on a bitmap it shows what the screen shows for the
// same span, and each timed backup writes one as a JPEG of the stated size.
#include <cstdio>

#include "document/SideFolder.h"
#include "tests/support/TestData.h"
#include "tests/views/ChartPaintSupport.h"

using namespace chartpaint;

namespace {

// Width and height from a JPEG's frame header; false when there is none.
bool JpegSize(const std::string& Bytes, int& Width, int& Height)
{
    if (Bytes.size() < 4 || Byte(Bytes[0]) != 0xFF || Byte(Bytes[1]) != 0xD8)
        return false;
    std::size_t i = 2;
    while (i + 9 < Bytes.size()) {
        if (Byte(Bytes[i]) != 0xFF)
            return false;
        const Byte marker = Byte(Bytes[i + 1]);
        const std::size_t length = std::size_t(Byte(Bytes[i + 2])) << 8 | Byte(Bytes[i + 3]);
        if (marker >= 0xC0 && marker <= 0xC3) {
            Height = Byte(Bytes[i + 5]) << 8 | Byte(Bytes[i + 6]);
            Width = Byte(Bytes[i + 7]) << 8 | Byte(Bytes[i + 8]);
            return true;
        }
        i += 2 + length;
    }
    return false;
}

}  // namespace

TEST(ChartPicture, ABitmapShowsWhatTheScreenShows)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner();
    AddHoliday(*p, "Holiday", 10, 1);
    SetUpChart(*p, 700, 300);
    StateTask(*p, "A", D0 + 1, 3, 2);
    StateTask(*p, "C", D0 + 21, 2, 1);
    TNodeData* late = StateTask(*p, "B", D0 + 22, 3, 1);
    p->DoSetData(late, AddDueColumn(*p), p->FormatDateTime(D0 + 18), cmIgnoreNet);
    AddAbsentDay(*p, "B", D0 + 16, 1);
    p->DrawLines1->SetChecked(true);

    TCanvas* screen = PaintChart(*p);
    p->TimeChartCaption->SetAlign(alNone);
    p->TimeChartCaption->SetBounds(0, 0, 700, 52);
    TCanvas* caption = p->TimeChartCaption->Canvas();
    p->TimeChartCaption->BackBuffer()->SetSize(700, 52);
    caption->SelectClipRgn(nullptr);
    p->TimeChartCaptionPaint();

    // The picture at an offset on a larger bitmap, its rows below the
    // caption rows.
    const int rows = 3 * 54;
    TBitmap picture(720, 52 + rows + 30);
    TCanvas* c = picture.Canvas();
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 720, 52 + rows + 30));
    p->DrawBitmap(c, 10, 5, 700, 52 + rows, 0, 0, true, 0, D0 + 70, D0);
    int differ = 0;
    for (int y = 0; y < 52 && differ < 5; ++y)
        for (int x = 0; x < 700; ++x)
            if (!(PixelOf(c, x + 10, y + 5) == PixelOf(caption, x, y)) && ++differ <= 5)
                ADD_FAILURE() << "caption differs at " << x << "," << y;
    for (int y = 0; y < rows && differ < 5; ++y)
        for (int x = 0; x < 700; ++x)
            if (!(PixelOf(c, x + 10, y + 57) == PixelOf(screen, x, y)) && ++differ <= 5)
                ADD_FAILURE() << "body differs at " << x << "," << y;
    // Nothing beyond its rectangle.
    EXPECT_EQ(PixelOf(c, 5, 100), (TRGB{255, 0, 0}));
    EXPECT_EQ(PixelOf(c, 100, 2), (TRGB{255, 0, 0}));
    EXPECT_EQ(PixelOf(c, 100, 57 + rows + 2), (TRGB{255, 0, 0}));
}

TEST(ChartPicture, TimedBackupWritesAJpegOfTwoWeeksAndAllRows)
{
    EnsureApplication();
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner();
    const String file = vektest::TempDir() + "/plan.vek";
    ASSERT_TRUE(p->Save(file));
    p->FColWidth = 60;
    p->UpdateFont();
    AddTask(*p, "B", Today, 2);
    p->BackupTimerTimer(nullptr);
    const String picture = p->GetBackupPath() + "plan.~1~.jpg";
    int width = 0, height = 0;
    ASSERT_TRUE(JpegSize(ReadBytes(picture), width, height)) << picture;
    EXPECT_EQ(width, 14 * 60);
    EXPECT_EQ(height, 52 + 3 * 54);
    p->SetCurrentFile(String());
}
