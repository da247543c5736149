// Tables printed from a string grid: the font and width passes, the
// centring or scaling, hidden columns, and long tables over several pages.
#include <algorithm>

#include "platform/Grids.h"
#include "tests/printing/PrintTestSupport.h"

namespace {

struct TGridRun {
    std::unique_ptr<TPrintPreviewDialog, void (*)(TPrintPreviewDialog*)> P{
        Create<TPrintPreviewDialog>(nullptr), [](TPrintPreviewDialog* D) { D->Free(); }};
    std::unique_ptr<TStringGrid, void (*)(TStringGrid*)> Grid{
        Create<TStringGrid>(nullptr), [](TStringGrid* G) { G->Free(); }};
    TRect Out;
    int H = 0, G = 0;
    TSize Body;
    TPoint Offset;

    // Rows of Cols cells each; row 0 is the captions.
    explicit TGridRun(const std::vector<std::vector<String>>& Rows)
    {
        Grid->SetFixedCols(0);
        Grid->SetFixedRows(0);
        Grid->SetColCount(int(Rows[0].size()));
        Grid->SetRowCount(int(Rows.size()));
        for (std::size_t r = 0; r < Rows.size(); ++r)
            for (std::size_t c = 0; c < Rows[r].size(); ++c)
                Grid->SetCells(int(c), int(r), Rows[r][c]);
        for (int c = 0; c < Grid->ColCount(); ++c)
            Grid->SetColWidths(c, 1);
        P->NewJob();
        P->NewPage();
    }
    void Print(int StartY = 0, const String& Caption = "")
    {
        H = P->TextHeight();
        G = H / 5;
        Body = P->PrintableSize();
        Offset = P->PrintableOffset();
        P->PrintStringGrid(Grid.get(), Caption, true, true, 1, Grid->RowCount() - 1, StartY, Out);
        P->DonePrinting();
    }
    std::vector<TMetaText> Texts(int Page) const { return P->GetMetafile(Page)->Texts(); }
};

std::vector<std::vector<String>> Table(int Rows, int Cols, const String& Cell)
{
    std::vector<std::vector<String>> t;
    for (int r = 0; r <= Rows; ++r) {
        std::vector<String> row;
        for (int c = 0; c < Cols; ++c)
            row.push_back(r == 0 ? "Col" + std::to_string(c) : Cell + std::to_string(r));
        t.push_back(row);
    }
    return t;
}

}  // namespace

using PrintStringGridTest = TPrintTest;

TEST_F(PrintStringGridTest, AFittingTableKeepsItsFontAndIsCentred)
{
    TGridRun run(Table(3, 3, "cell "));
    run.Print();
    for (const TMetaText& t : run.Texts(1))
        EXPECT_EQ(t.FontHeight, 83) << t.Text;
    EXPECT_GT(run.Out.Left, 0);
    EXPECT_NEAR(run.Out.Left, run.Body.cx - run.Out.Right, 1);
    EXPECT_EQ(run.P->GetMetafile(1)->Texts().size(), 12u);
}

TEST_F(PrintStringGridTest, ATableThatNeverFitsStopsAtSeventyPercentAndIsScaledToTheBody)
{
    TGridRun run(Table(4, 12, "a rather long cell text number "));
    run.Print();
    for (const TMetaText& t : run.Texts(1))
        EXPECT_EQ(t.FontHeight, 58) << t.Text;  // 7 pt at 600 dpi
    EXPECT_EQ(run.Out.Left, 0);
    EXPECT_LE(run.Out.Right, run.Body.cx);
    EXPECT_GE(run.Out.Right, run.Body.cx - 12);
}

TEST_F(PrintStringGridTest, AHiddenColumnIsNeitherPrintedNorLeavesAGap)
{
    TGridRun hidden({{"A", "Hidden", "C"}, {"a1", "a much wider hidden text", "c1"}});
    hidden.Grid->SetColWidths(1, 0);
    hidden.Print();
    TGridRun two({{"A", "C"}, {"a1", "c1"}});
    two.Print();
    EXPECT_EQ(hidden.Out, two.Out);
    std::vector<String> texts;
    for (const TMetaText& t : hidden.Texts(1))
        texts.push_back(t.Text);
    EXPECT_EQ(texts, (std::vector<String>{"A", "C", "a1", "c1"}));
    std::vector<int> x1, x2;
    for (const TMetaText& t : hidden.Texts(1))
        x1.push_back(t.X);
    for (const TMetaText& t : two.Texts(1))
        x2.push_back(t.X);
    EXPECT_EQ(x1, x2);
}

TEST_F(PrintStringGridTest, LongTablesBreakBeforeARowWouldCrossTheBodysBottom)
{
    TGridRun run(Table(400, 3, "row "));
    run.Print();
    const int pages = run.P->GetPageCount();
    ASSERT_GT(pages, 3);
    const int bottom = run.Offset.Y + run.Body.cy;
    int rowsSeen = 0;
    for (int page = 1; page <= pages; ++page) {
        const auto texts = run.Texts(page);
        ASSERT_FALSE(texts.empty());
        // The caption block opens every page.
        EXPECT_EQ(texts[0].Text, "Col0") << page;
        int last = 0;
        for (const TMetaText& t : texts) {
            EXPECT_LE(t.Y + run.H, bottom) << t.Text << " on page " << page;
            if (t.Text.rfind("row ", 0) == 0) {
                ++rowsSeen;
                last = std::max(last, t.Y + run.H);
            }
        }
        // The boundary's frame closes the page at its last row: its bottom
        // edge runs across the whole table there.
        bool closed = false;
        for (const TMetaShape& s : run.P->GetMetafile(page)->Shapes())
            closed |= s.Bounds.Left == run.Offset.X + run.Out.Left &&
                      s.Bounds.Right == run.Offset.X + run.Out.Right && std::abs(s.Bounds.Bottom - last) <= 1 &&
                      s.Bounds.Height() <= 2;
        EXPECT_TRUE(closed) << page;
        // The page is used: the next row would not have fitted.
        if (page < pages) {
            EXPECT_GT(last + run.G + run.H, bottom) << page;
        }
    }
    EXPECT_EQ(rowsSeen, 400 * 3);
}

TEST_F(PrintStringGridTest, TheOutRectangleSpansTheLastPartOfTheTable)
{
    TGridRun run(Table(2, 2, "x"));
    run.Print(100);
    const int h = run.H, g = run.G;
    EXPECT_EQ(run.Out.Top, 100);
    EXPECT_EQ(run.Out.Bottom, 100 + h + 4 * g + 2 * h + g);
    TGridRun caption(Table(2, 2, "x"));
    caption.Print(0, "Title");
    EXPECT_EQ(caption.Out.Bottom, run.Out.Bottom - 100 + h + g);
    EXPECT_TRUE(caption.Texts(1)[0].Bold);
}
