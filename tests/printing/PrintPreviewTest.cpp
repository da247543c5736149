// The preview engine on the PDF printer (A4 portrait, 600 dpi, 5 mm
// margins): pages, measures, headers and footers, the preview's buttons,
// scrolling and full-screen view, and what reaches the PDF.
#include <cmath>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "tests/printing/PrintTestSupport.h"

namespace {

using TPreviewPtr = std::unique_ptr<TPrintPreviewDialog, void (*)(TPrintPreviewDialog*)>;
TPreviewPtr MakePreview()
{
    return TPreviewPtr(Create<TPrintPreviewDialog>(nullptr), [](TPrintPreviewDialog* P) { P->Free(); });
}

// Three pages with "page k" in their bodies.
void ThreePages(TPrintPreviewDialog& P)
{
    P.NewJob();
    for (int i = 1; i <= 3; ++i) {
        P.NewPage();
        P.TextOut(0, 100, 0, "page " + std::to_string(i));
    }
}

const TMetaText* Find(const std::vector<TMetaText>& Texts, const String& Text)
{
    for (const TMetaText& t : Texts)
        if (t.Text == Text)
            return &t;
    return nullptr;
}

}  // namespace

using PrintPreviewTest = TPrintTest;

TEST_F(PrintPreviewTest, PagesAreNumberedAndRecordingEndsOnce)
{
    auto p = MakePreview();
    p->NewJob();
    EXPECT_EQ(p->NewPage(), 1);
    EXPECT_EQ(p->NewPage(), 2);
    EXPECT_GT(p->TextWidth("abc"), 0);
    EXPECT_EQ(p->GetMetafile(1), nullptr);  // still recording
    p->DonePrinting();
    EXPECT_EQ(p->NewPage(), -1);
    EXPECT_EQ(p->GetPageCount(), 2);
    EXPECT_EQ(p->TextWidth("abc"), -1);
    EXPECT_EQ(p->TextHeight(), -1);
    p->TextOut(0, 0, 0, "late");  // nothing happens
    ASSERT_NE(p->GetMetafile(2), nullptr);
    EXPECT_TRUE(TextsOf(p->GetMetafile(2)).empty());
    EXPECT_EQ(p->GetMetafile(3), nullptr);
    // The new page's font: Arial 10 pt at the printer's 600 dpi.
    p->NewJob();
    p->NewPage();
    EXPECT_EQ(p->GetFont()->Height(), -83);
}

TEST_F(PrintPreviewTest, PrintableSizeAndOffsetFollowHeadersFootersAndPunchMargin)
{
    auto p = MakePreview();
    const int w = Printer()->GetDeviceCaps(HORZRES), h = Printer()->GetDeviceCaps(VERTRES);
    EXPECT_NEAR(w, 4724, 4);  // 200 mm at 600 dpi
    EXPECT_NEAR(h, 6780, 4);  // 287 mm
    EXPECT_NEAR(Printer()->GetDeviceCaps(PHYSICALOFFSETX), 118, 1);
    p->NewJob();
    p->NewPage();
    EXPECT_EQ(p->PrintableSize(), TSize(w, h));
    EXPECT_EQ(p->PrintableOffset(), TPoint(0, 0));
    p->AddHeader("head", 1, 0);
    const int line = p->TextHeight();
    p->AddHeader("foot", -1, 0);
    p->AddHeader("foot 2", -2, 0);
    EXPECT_EQ(p->PrintableSize(), TSize(w, h - 3 * line));
    EXPECT_EQ(p->PrintableSize(false, true), TSize(w, h));
    EXPECT_EQ(p->PrintableOffset(), TPoint(0, line));
    p->SetPunchMargin(true);
    EXPECT_EQ(p->PunchMarginPixels(), 283);
    EXPECT_EQ(p->PrintableSize(), TSize(w - 283, h - 3 * line));
    EXPECT_EQ(p->PrintableSize(true, false), TSize(w, h - 3 * line));
    EXPECT_EQ(p->PrintableOffset(), TPoint(283, line));
    // Text at body x = 0 starts 12 mm from the printable area's left.
    p->TextOut(0, 0, 0, "punched");
    p->DonePrinting();
    const std::vector<TMetaText> texts = p->GetMetafile(1)->Texts();
    const TMetaText* t = Find(texts, "punched");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->X, 283);
    EXPECT_EQ(t->Y, line);
}

TEST_F(PrintPreviewTest, HeaderAndFooterLinesStackAwayFromTheBody)
{
    auto p = MakePreview();
    p->NewJob();
    p->NewPage();
    const int small = p->TextHeight();
    for (int k : {1, 2, 3, -1, -2, -3})
        p->AddHeader("line " + std::to_string(k), k, 0);
    // A larger text on line 2 makes the whole line as high as it.
    p->GetFont()->SetSize(20);
    const int large = p->TextHeight();
    p->AddHeader("big", 2, 1);
    ASSERT_GT(large, small);
    EXPECT_EQ(p->LineHeight(2), large);
    EXPECT_EQ(p->HeaderSize(), 2 * small + large);
    const int body = p->PrintableSize().cy;
    const int top = p->PrintableOffset().Y;
    const int bigWidth = p->TextWidth("big");
    p->PrintHeaderAndFooter();
    p->DonePrinting();
    const auto texts = p->GetMetafile(1)->Texts();
    auto y = [&](const String& S) {
        const TMetaText* t = Find(texts, S);
        return t ? t->Y : -1;
    };
    EXPECT_EQ(y("line 1"), top - small);
    EXPECT_EQ(y("line 2"), top - small - large);
    EXPECT_EQ(y("big"), top - small - large);
    EXPECT_EQ(y("line 3"), top - 2 * small - large);
    EXPECT_EQ(y("line -1"), top + body);
    EXPECT_EQ(y("line -2"), top + body + small);
    EXPECT_EQ(y("line -3"), top + body + 2 * small);
    // Right-aligned at the body's width.
    const TMetaText* big = Find(texts, "big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->X, p->PrintableSize().cx - bigWidth);
    EXPECT_EQ(big->FontHeight, 167);
}

TEST_F(PrintPreviewTest, PageMacrosAreFilledPerPageAndLineZeroIsRefused)
{
    auto p = MakePreview();
    ThreePages(*p);
    p->SetCurrentPage(1);
    p->AddHeader("$PAGE_NO$/$PAGE_COUNT$", -1, 2);
    try {
        p->AddHeader("nowhere", 0, 0);
        FAIL() << "line 0 was taken";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "line muss grösser oder kleiner 0 sein");
    }
    EXPECT_EQ(p->Headers().size(), 1u);
    p->PrintHeaderAndFooter();
    EXPECT_EQ(p->Headers()[0]->Text, "$PAGE_NO$/$PAGE_COUNT$");
    p->DonePrinting();
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(Find(p->GetMetafile(i)->Texts(), std::to_string(i) + "/3"), nullptr) << i;
}

TEST_F(PrintPreviewTest, PrintAllAndPrintPageReplayThePagesIntoThePdf)
{
    auto p = MakePreview();
    ThreePages(*p);
    p->PrintAll();
    TPdfDocument pdf = ReadPdf(Pdf);
    ASSERT_TRUE(pdf.Valid);
    ASSERT_EQ(pdf.Pages.size(), 3u);
    EXPECT_GT(pdf.EmbeddedFonts, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pdf.Pages[std::size_t(i)].Text, "page " + std::to_string(i + 1) + "\n");
        EXPECT_NEAR(pdf.Pages[std::size_t(i)].MediaBox[2], 595.28, 1);
        EXPECT_NEAR(pdf.Pages[std::size_t(i)].MediaBox[3], 841.89, 1);
        EXPECT_FALSE(pdf.Pages[std::size_t(i)].Rotated);
    }
    std::vector<String> status;
    p->SetOnChange([&](const String& S) { status.push_back(S); });
    p->PrintPage(2);
    pdf = ReadPdf(Pdf);
    ASSERT_EQ(pdf.Pages.size(), 1u);
    EXPECT_EQ(pdf.Pages[0].Text, "page 2\n");
    EXPECT_EQ(status, (std::vector<String>{"Drucke Seite 2 von 3", "Seite 2 von 3 gedruckt"}));
}

TEST_F(PrintPreviewTest, PaperAndOrientationReachThePdfUnrotated)
{
    for (const auto& [paper, orientation, w, h] :
        std::vector<std::tuple<TPaperKind, TPrinterOrientation, double, double>>{
            {pkA4, poLandscape, 841.89, 595.28}, {pkLetter, poPortrait, 612, 792}}) {
        Printer()->SetPaper(paper);
        Printer()->SetOrientation(orientation);
        auto p = MakePreview();
        p->NewJob();
        p->NewPage();
        p->TextOut(0, 0, 0, "x");
        p->PrintAll();
        const TPdfDocument pdf = ReadPdf(Pdf);
        ASSERT_EQ(pdf.Pages.size(), 1u);
        EXPECT_NEAR(pdf.Pages[0].MediaBox[2], w, 1);
        EXPECT_NEAR(pdf.Pages[0].MediaBox[3], h, 1);
        EXPECT_FALSE(pdf.Pages[0].Rotated);
    }
}

TEST_F(PrintPreviewTest, PreviewButtonsGiveTheirResultsAndCancelLeavesNoFile)
{
    auto p = MakePreview();
    ThreePages(*p);
    {
        TModalHookGuard hook([&](TCustomForm* F) {
            EXPECT_EQ(F->Caption(), "Druckvorschau - Seite 1 von 3");
            p->CancelButton->Click();
        });
        EXPECT_EQ(p->Preview(), 2);
    }
    EXPECT_FALSE(std::filesystem::exists(Pdf));
    EXPECT_FALSE(p->JobOpen());

    ThreePages(*p);
    {
        TModalHookGuard hook([](TCustomForm* F) { F->Close(); });
        EXPECT_EQ(p->Preview(), 2);
    }
    EXPECT_FALSE(std::filesystem::exists(Pdf));

    ThreePages(*p);
    {
        TModalHookGuard hook([&](TCustomForm*) {
            p->SetScrollBarPosition(3);
            p->PrintPageButton->Click();
        });
        EXPECT_EQ(p->Preview(), 1);
    }
    TPdfDocument pdf = ReadPdf(Pdf);
    ASSERT_EQ(pdf.Pages.size(), 1u);
    EXPECT_EQ(pdf.Pages[0].Text, "page 3\n");

    ThreePages(*p);
    {
        TModalHookGuard hook([&](TCustomForm*) { p->PrintAllButton->Click(); });
        EXPECT_EQ(p->Preview(), 1);
    }
    EXPECT_EQ(ReadPdf(Pdf).Pages.size(), 3u);
}

TEST_F(PrintPreviewTest, AnEmptyPreviewShowsPageOneOfOne)
{
    auto p = MakePreview();
    p->NewJob();
    TModalHookGuard hook([&](TCustomForm*) {
        EXPECT_EQ(p->ScrollBar1->Min(), 1);
        EXPECT_EQ(p->ScrollBar1->Max(), 1);
        EXPECT_EQ(p->ScrollBar1->Position(), 1);
        p->PaintBox1->Repaint();
        p->PrintAllButton->Click();
    });
    EXPECT_NO_THROW(p->Preview());
    EXPECT_FALSE(std::filesystem::exists(Pdf));
}

TEST_F(PrintPreviewTest, PaintBoxKeepsThePageProportions)
{
    auto p = MakePreview();
    auto* parent = Create<TPanel>(p->PreviewForm);
    parent->SetParent(p->PreviewForm);
    parent->SetBorderStyle(bsNone);
    parent->SetBevelOuter(bvNone);
    auto* box = Create<TPaintBox>(p->PreviewForm);
    box->SetParent(parent);
    const TSize page = p->PhysicalSize();
    // Wide: the height limits.
    parent->SetBounds(0, 0, 400, 200);
    p->PositionPaintBox(box);
    const int wideW = int(std::lround(200.0 * page.cx / page.cy));
    EXPECT_EQ(box->BoundsRect(), TRect((400 - wideW) / 2, 0, (400 - wideW) / 2 + wideW, 200));
    // Tall: the width limits.
    parent->SetBounds(0, 0, 200, 400);
    p->PositionPaintBox(box);
    const int tallH = int(std::lround(200.0 * page.cy / page.cx));
    EXPECT_EQ(box->BoundsRect(), TRect(0, (400 - tallH) / 2, 200, (400 - tallH) / 2 + tallH));
}

TEST_F(PrintPreviewTest, WheelTurnsOnePagePerNotchAndFullScreenKeepsThePage)
{
    auto p = MakePreview();
    ThreePages(*p);
    int fullScreens = 0;
    TModalHookGuard hook([&](TCustomForm* F) {
        if (auto* full = dynamic_cast<TPrintPreviewFullScreenDialog*>(F)) {
            ++fullScreens;
            EXPECT_EQ(full->ScrollBar1->Position(), 2);
            EXPECT_EQ(full->ScrollBar1->Max(), 3);
            EXPECT_EQ(full->WindowState(), wsMaximized);
            bool handled = false;
            full->MouseWheel(-120, handled);
            EXPECT_TRUE(handled);
            EXPECT_EQ(full->Caption(), "Druckvorschau - Seite 3 von 3");
            full->PaintBox1Click();
            return;
        }
        bool handled = false;
        p->PaintBox1MouseWheel(-120, handled);  // towards the user: the next page
        EXPECT_TRUE(handled);
        EXPECT_EQ(p->GetScrollBarPosition(), 2);
        p->PaintBox1MouseWheel(-240, handled);
        p->PaintBox1MouseWheel(120, handled);
        EXPECT_EQ(p->GetScrollBarPosition(), 2);
        p->PaintBox1Click();
        EXPECT_EQ(p->GetScrollBarPosition(), 3);
        EXPECT_EQ(F->Caption(), "Druckvorschau - Seite 3 von 3");
        p->CancelButton->Click();
    });
    p->Preview();
    EXPECT_EQ(fullScreens, 1);
}

TEST_F(PrintPreviewTest, PaintingThePreviewAllocatesNoImageLargerThanTheBox)
{
    auto p = MakePreview();
    ThreePages(*p);
    p->SetPunchMargin(true);
    TModalHookGuard hook([&](TCustomForm* F) {
        // The windows' own back buffers are made at their first paint; what
        // counts is what painting a page takes.
        if (auto* full = dynamic_cast<TPrintPreviewFullScreenDialog*>(F)) {
            full->PaintBox1->Repaint();
            TBitmap::ResetLargestSize();
            full->PaintBox1->Invalidate();
            full->PaintBox1->Repaint();
            const TSize largest = TBitmap::LargestSize();
            EXPECT_LE(Int64(largest.cx) * largest.cy, Int64(full->ClientWidth()) * full->ClientHeight());
            full->PaintBox1Click();
            return;
        }
        p->PaintBox1->Repaint();
        TBitmap::ResetLargestSize();
        p->PaintBox1->Repaint();
        const TSize largest = TBitmap::LargestSize();
        EXPECT_LE(Int64(largest.cx) * largest.cy, Int64(p->PaintBox1->Width()) * p->PaintBox1->Height());
        p->PaintBox1Click();
        p->CancelButton->Click();
    });
    p->Preview();
}
