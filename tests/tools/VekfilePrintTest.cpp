// vekfile print-table and print-chart in process: the PDF they write read
// back, their choices of paper, rows and columns, and what they refuse.
#include <filesystem>

#include "platform/DateUtils.h"
#include "platform/Printers.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"
#include "tools/vekfile/Print.h"

namespace {

const TDateTime March1 = EncodeDate(2025, 3, 1);

struct TPlanFile {
    String Folder = vektest::TempDir();
    String Plan = Folder + "/plan.vek";
    String Out = Folder + "/out.pdf";
    TPlanFile()
    {
        EnsureApplication();
        TDocumentPtr doc = MakeDocument({"Anna", "Bert", "Carl"});
        for (int i = 0; i < 60; ++i)
            AddTask(*doc, i % 2 ? "Anna" : "Carl", March1 + i % 10, 1 + i % 3);
        doc->SaveTo(Plan);
    }
    ~TPlanFile() { Printer()->SetOutputFileName(""); }
    TPdfDocument Pdf() const { return ReadPdf(Out); }
};

bool Has(const TPdfPage& Page, const String& Text) { return Page.Text.find(Text) != std::string::npos; }

}  // namespace

TEST(VekfilePrintTest, ChartPagesShareTheDays)
{
    TPlanFile f;
    ASSERT_EQ(PrintChartCommand({f.Plan, f.Out, "--from", "01.03.2025", "--days", "10", "--pages", "3"}), 0);
    TPdfDocument pdf = f.Pdf();
    ASSERT_EQ(pdf.Pages.size(), 3u);
    EXPECT_TRUE(Has(pdf.Pages[0], "VEK (01.03.2025 bis 04.03.2025)")) << pdf.Pages[0].Text;
    EXPECT_TRUE(Has(pdf.Pages[1], "VEK (04.03.2025 bis 07.03.2025)"));
    EXPECT_TRUE(Has(pdf.Pages[2], "VEK (07.03.2025 bis 10.03.2025)"));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(Has(pdf.Pages[i], "Stand:"));
        EXPECT_TRUE(Has(pdf.Pages[i], "Page " + std::to_string(i + 1) + "/3"));
        EXPECT_TRUE(Has(pdf.Pages[i], f.Plan)) << pdf.Pages[i].Text;
        EXPECT_NEAR(pdf.Pages[i].MediaBox[2], 595.28, 1);
    }
    ASSERT_EQ(PrintChartCommand({f.Plan, f.Out, "--from", "01.03.2025", "--days", "10", "--pages", "4"}), 0);
    EXPECT_EQ(f.Pdf().Pages.size(), 5u);
    ASSERT_EQ(PrintChartCommand({f.Plan, f.Out, "--from", "01.03.2025", "--days", "10", "--pages", "20",
                  "--low-quality"}),
        0);
    pdf = f.Pdf();
    ASSERT_EQ(pdf.Pages.size(), 10u);
    EXPECT_TRUE(Has(pdf.Pages[9], "VEK (10.03.2025 bis 11.03.2025)"));
}

TEST(VekfilePrintTest, ChartRefusesBadArguments)
{
    TPlanFile f;
    for (const std::vector<String>& args : std::vector<std::vector<String>>{
             {f.Plan, f.Out, "--days", "10", "--pages", "3"},
             {f.Plan, f.Out, "--from", "2025-03-01", "--days", "10", "--pages", "3"},
             {f.Plan, f.Out, "--from", "01.03.2025", "--days", "0", "--pages", "3"},
             {f.Plan, f.Out, "--from", "01.03.2025", "--days", "10001", "--pages", "3"},
             {f.Plan, f.Out, "--from", "01.03.2025", "--days", "10", "--pages", "21"},
             {f.Plan, "--from", "01.03.2025", "--days", "10", "--pages", "3"}})
        EXPECT_EQ(PrintChartCommand(args), 2) << args.size();
    EXPECT_FALSE(std::filesystem::exists(f.Out));
    EXPECT_EQ(PrintChartCommand({f.Folder + "/missing.vek", f.Out, "--from", "01.03.2025", "--days", "10",
                  "--pages", "3"}),
        1);
    EXPECT_EQ(PrintChartCommand({f.Plan, f.Folder + "/no/such/folder/out.pdf", "--from", "01.03.2025", "--days",
                  "10", "--pages", "3"}),
        1);
    EXPECT_FALSE(std::filesystem::exists(f.Out));
}

TEST(VekfilePrintTest, TablePaperRowsAndColumns)
{
    TPlanFile f;
    ASSERT_EQ(PrintTableCommand({f.Plan, f.Out}), 0);
    TPdfDocument pdf = f.Pdf();
    ASSERT_GE(pdf.Pages.size(), 1u);
    EXPECT_GT(pdf.EmbeddedFonts, 0);
    const String n = std::to_string(pdf.Pages.size());
    EXPECT_TRUE(Has(pdf.Pages[0], "Stand:"));
    EXPECT_TRUE(Has(pdf.Pages[0], "Page 1/" + n));
    EXPECT_TRUE(Has(pdf.Pages[0], "Anna"));
    EXPECT_NEAR(pdf.Pages[0].MediaBox[3], 841.89, 1);

    ASSERT_EQ(PrintTableCommand({f.Plan, f.Out, "--paper", "Letter", "--landscape"}), 0);
    pdf = f.Pdf();
    EXPECT_NEAR(pdf.Pages[0].MediaBox[2], 792, 1);
    EXPECT_NEAR(pdf.Pages[0].MediaBox[3], 612, 1);
    EXPECT_FALSE(pdf.Pages[0].Rotated);

    // Only the listed columns, by caption or by number from 1.
    TDocumentPtr doc = MakeDocument();
    const String first = doc->GetColumnCaption(tbTable, 0);
    const String second = doc->GetColumnCaption(tbTable, 1);
    const String third = doc->GetColumnCaption(tbTable, 2);
    ASSERT_EQ(PrintTableCommand({f.Plan, f.Out, "--columns", second + ",1"}), 0);
    pdf = f.Pdf();
    EXPECT_TRUE(Has(pdf.Pages[0], first + "\n"));
    EXPECT_TRUE(Has(pdf.Pages[0], second + "\n"));
    EXPECT_FALSE(Has(pdf.Pages[0], third + "\n"));
    // An empty list prints no column at all.
    ASSERT_EQ(PrintTableCommand({f.Plan, f.Out, "--columns", ""}), 0);
    EXPECT_FALSE(Has(f.Pdf().Pages[0], "Anna"));

    ASSERT_EQ(PrintTableCommand({f.Plan, f.Out, "--rows", "filtered"}), 0);
    EXPECT_TRUE(Has(f.Pdf().Pages[0], "Anna"));
    std::filesystem::remove(f.Out);
    // Nothing is selected after a load: nothing to print.
    EXPECT_EQ(PrintTableCommand({f.Plan, f.Out, "--rows", "selected"}), 1);
    EXPECT_FALSE(std::filesystem::exists(f.Out));
    EXPECT_EQ(PrintTableCommand({f.Plan, f.Out, "--columns", "No such column"}), 2);
    EXPECT_EQ(PrintTableCommand({f.Plan, f.Out, "--columns", "1,"}), 2);
    EXPECT_EQ(PrintTableCommand({f.Plan, f.Out, "--columns", "99"}), 2);
    EXPECT_EQ(PrintTableCommand({f.Plan, f.Out, "--paper", "A3"}), 2);
    EXPECT_EQ(PrintTableCommand({f.Plan}), 2);
    EXPECT_FALSE(std::filesystem::exists(f.Out));
}
