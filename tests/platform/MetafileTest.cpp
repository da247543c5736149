// The metafile's recording read back, its replay scaled into a bitmap, the
// printer's page measures, its set-up dialog, and the path shortening.
#include <gtest/gtest.h>

#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "tests/support/PlatformFixture.h"

namespace {

std::unique_ptr<TMetafile> Page(int W, int H, int Dpi)
{
    auto m = std::make_unique<TMetafile>();
    m->SetPixelsPerInch(Dpi);
    m->SetSize(W, H);
    return m;
}

}  // namespace

TEST(MetafileTest, RecordsTextsShapesAndImagesOnce)
{
    EnsureApplication();
    auto m = Page(1000, 800, 600);
    {
        TMetafileCanvas c(m.get());
        EXPECT_EQ(c.Font()->PixelsPerInch(), 600);
        c.Font()->SetName("Arial");
        c.Font()->SetSize(10);
        c.Font()->SetColor(clRed);
        c.Font()->SetStyle(TFontStyles{fsBold});
        c.Brush()->SetStyle(bsClear);
        c.TextOut(100, 50, "Stand:");
        c.Pen()->SetColor(clBlue);
        c.MoveTo(10, 20);
        c.LineTo(300, 20);
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(clLime);
        c.Rectangle(400, 400, 500, 450);
        TBitmap b(10, 10);
        c.StretchDraw(TRect(0, 600, 100, 700), &b);
        c.StretchDraw(TRect(200, 600, 300, 700), &b);
    }
    const auto texts = m->Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "Stand:");
    EXPECT_EQ(texts[0].X, 100);
    EXPECT_EQ(texts[0].Y, 50);
    EXPECT_EQ(texts[0].FontHeight, 83);  // 10 pt at 600 dpi
    EXPECT_TRUE(texts[0].Bold);
    EXPECT_EQ(texts[0].Color, clRed);
    bool line = false, rect = false;
    int images = 0;
    for (const TMetaShape& s : m->Shapes()) {
        // A one-pixel line may reach the device as a filled span.
        line |= (s.PenColor == clBlue || (!s.BrushClear && s.BrushColor == clBlue)) && s.Bounds.Top == 20 &&
                s.Bounds.Left == 10 && s.Bounds.Right >= 299;
        rect |= s.Kind == mkRectangle && !s.BrushClear && s.BrushColor == clLime && s.Bounds.Left >= 400 &&
                s.Bounds.Right <= 500;
        images += s.Kind == mkImage;
    }
    EXPECT_TRUE(line);
    EXPECT_TRUE(rect);
    EXPECT_EQ(images, 2);
    EXPECT_EQ(m->ImageCount(), 1);
}

TEST(MetafileTest, ReplaysScaledAndClippedToItsTarget)
{
    EnsureApplication();
    auto m = Page(1000, 1000, 600);
    {
        TMetafileCanvas c(m.get());
        c.Brush()->SetColor(clRed);
        c.FillRect(TRect(500, 500, 1000, 1000));
        // Reaches past the page: the replay keeps it inside the target.
        c.Brush()->SetColor(clBlue);
        c.FillRect(TRect(-5000, 0, 100, 100));
    }
    TBitmap b(300, 300);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 300, 300));
    c->StretchDraw(TRect(100, 100, 200, 200), m.get());
    EXPECT_EQ(c->Pixels(175, 175), clRed);
    EXPECT_EQ(c->Pixels(140, 140), clWhite);
    EXPECT_EQ(c->Pixels(105, 105), clBlue);
    EXPECT_EQ(c->Pixels(95, 105), clWhite);
    EXPECT_EQ(c->Pixels(205, 205), clWhite);
}

TEST(MetafileTest, PrinterMeasuresFollowPaperAndOrientation)
{
    EnsureApplication();
    TPrinter p;
    p.SetOutputFileName("/nonexistent-folder/x.pdf");
    EXPECT_EQ(p.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_NEAR(p.GetDeviceCaps(PHYSICALWIDTH), 4961, 4);  // A4 in whole points
    EXPECT_NEAR(p.GetDeviceCaps(PHYSICALHEIGHT), 7016, 4);
    EXPECT_EQ(p.GetDeviceCaps(HORZSIZE), 200);
    EXPECT_EQ(p.GetDeviceCaps(VERTSIZE), 287);
    EXPECT_EQ(p.GetDeviceCaps(PHYSICALOFFSETX), p.GetDeviceCaps(PHYSICALOFFSETY));
    EXPECT_NEAR(p.GetDeviceCaps(PHYSICALWIDTH) - p.GetDeviceCaps(HORZRES), 2 * p.GetDeviceCaps(PHYSICALOFFSETX), 1);
    p.SetOrientation(poLandscape);
    EXPECT_NEAR(p.GetDeviceCaps(PHYSICALWIDTH), 7016, 4);
    EXPECT_EQ(p.GetDeviceCaps(HORZSIZE), 287);
    p.SetPaper(pkLetter);
    EXPECT_NEAR(p.GetDeviceCaps(PHYSICALHEIGHT), 5100, 1);
    // A file that cannot be made fails the job's start and leaves no job.
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
}

TEST(MetafileTest, SetupDialogSetsThePrinter)
{
    EnsureApplication();
    TPrinter* p = Printer();
    p->SetOutputFileName("/tmp/a.pdf");
    p->SetOrientation(poPortrait);
    p->SetPaper(pkA4);
    TPrinterSetupDialog d(nullptr);
    SetDialogHook([](TCommonDialog* D) {
        auto* s = dynamic_cast<TPrinterSetupDialog*>(D);
        EXPECT_EQ(s->FileName(), "/tmp/a.pdf");
        EXPECT_TRUE(s->PrinterName().empty());
        s->SetFileName("/tmp/b.pdf");
        s->SetPaper(1);
        s->SetOrientation(poLandscape);
        return true;
    });
    EXPECT_TRUE(d.Execute());
    SetDialogHook(nullptr);
    EXPECT_EQ(p->OutputFileName(), "/tmp/b.pdf");
    EXPECT_TRUE(p->ToFile());
    EXPECT_EQ(p->Paper(), pkLetter);
    EXPECT_EQ(p->Orientation(), poLandscape);
    p->SetPaper(pkA4);
    p->SetOrientation(poPortrait);
}

TEST(MetafileTest, MinimizeNameTakesTheFirstFormThatFits)
{
    EnsureApplication();
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    const String path = "/home/planner/projects/2025/plan.vek";
    auto width = [&](const String& S) { return c->TextWidth(S); };
    EXPECT_EQ(MinimizeName(path, c, width(path)), path);
    EXPECT_EQ(MinimizeName(path, c, width(path) - 1), "/home/.../projects/2025/plan.vek");
    EXPECT_EQ(MinimizeName(path, c, width("/home/.../2025/plan.vek")), "/home/.../2025/plan.vek");
    EXPECT_EQ(MinimizeName(path, c, width("/home/.../plan.vek")), "/home/.../plan.vek");
    EXPECT_EQ(MinimizeName(path, c, width("/home/.../plan.vek") - 1), ".../plan.vek");
    EXPECT_EQ(MinimizeName(path, c, width("plan...")), "plan...");
    EXPECT_EQ(MinimizeName(path, c, 1), "...");
}
