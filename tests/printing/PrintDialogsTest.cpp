// The timechart and table print dialogs on a planner: the range and page
// rules, the chart's place on its pages, low quality, the standard header
// and footer, the settings, the table's choices and the fallback file.
#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "printing/PrintListDialog.h"
#include "printing/PrintTimeChartDialog.h"
#include "tests/printing/PrintTestSupport.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

class TPrintPlanner : public TTestPlanner {
public:
    using TTestPlanner::TTestPlanner;
    bool LowQuality = false;
    int Questions = 0;
    String FileName = "/plans/plan.vek";
    String Documents;
    bool AskYesNo(const String&) override
    {
        ++Questions;
        return LowQuality;
    }
    String GetDocumentFileName() const override { return FileName; }
    String GetDocumentsFolder() override { return Documents; }
};

using TPrintPlannerPtr = TOwnedDocument<TPrintPlanner>;

TPrintPlannerPtr MakePrintPlanner(int Positions = 3)
{
    EnsureApplication();
    std::vector<String> names;
    for (int i = 0; i < Positions; ++i)
        names.push_back("P" + std::to_string(i));
    TPrintPlannerPtr p = MakeDocumentOf<TPrintPlanner>(names);
    p->SetFileChanged(false);
    return p;
}

template <class T>
std::unique_ptr<T, void (*)(T*)> MakeDialog(TPrintPlanner& P)
{
    auto d = std::unique_ptr<T, void (*)(T*)>(Create<T>(nullptr, &P), [](T* D) { D->Free(); });
    d->PrintPreviewDialog1->PrintWithoutPreview = true;
    return d;
}

const TDateTime March1 = EncodeDate(2025, 3, 1);

// Free input from March 1st over Days days on Pages pages.
void FreeRange(TPrintTimeChartDialog& D, int Days, int Pages)
{
    D.RadioFreeInput->SetChecked(true);
    D.FreeInputClick();
    D.startpicker->SetDate(March1);
    D.endepicker->SetDate(March1 + Days);
    D.EndDateChange();
    D.pages->SetPosition(Pages);
}

const TMetaText* Find(const std::vector<TMetaText>& Texts, const String& Prefix)
{
    for (const TMetaText& t : Texts)
        if (t.Text.rfind(Prefix, 0) == 0)
            return &t;
    return nullptr;
}

}  // namespace

using PrintDialogsTest = TPrintTest;

TEST_F(PrintDialogsTest, RangeButtonsAndTheDateRules)
{
    auto p = MakePrintPlanner();
    p->SetTimeChartBounds(March1 - 20, March1 + 40);
    auto d = MakeDialog<TPrintTimeChartDialog>(*p);
    d->SummaryClick();
    EXPECT_EQ(d->startpicker->Date(), p->FMinDate);
    EXPECT_EQ(d->endepicker->Date(), p->FMaxDate);
    EXPECT_EQ(d->Days(), int(p->FMaxDate - p->FMinDate));
    EXPECT_FALSE(d->startpicker->Enabled());
    d->CurrentViewClick();
    EXPECT_EQ(d->startpicker->Date(), std::trunc(p->FTimeChartStart));
    EXPECT_EQ(d->endepicker->Date(), std::trunc(p->GetTimeChartEnd()));
    d->FreeInputClick();
    EXPECT_TRUE(d->startpicker->Enabled());
    d->startpicker->SetDate(March1);
    d->endepicker->SetDate(March1 - 5);
    d->StartDateChange();
    EXPECT_EQ(d->endepicker->Date(), March1 + 1);
    EXPECT_EQ(d->Days(), 1);
    d->endepicker->SetDate(March1 - 5);
    d->EndDateChange();
    EXPECT_EQ(d->startpicker->Date(), March1 - 6);
    EXPECT_EQ(d->Days(), 1);
}

TEST_F(PrintDialogsTest, PagesShareTheDaysAndKeepAtLeastOneDayEach)
{
    auto p = MakePrintPlanner();
    AddTask(*p, "P1", March1 + 2, 3);
    auto d = MakeDialog<TPrintTimeChartDialog>(*p);
    auto spans = [&](int Pages) {
        FreeRange(*d, 10, Pages);
        EXPECT_EQ(d->Print(), 1);
        std::vector<std::pair<int, int>> r;
        for (const auto& [s, e] : d->FSpans)
            r.emplace_back(int(s - March1), int(e - March1));
        return r;
    };
    EXPECT_EQ(spans(3), (std::vector<std::pair<int, int>>{{0, 3}, {3, 6}, {6, 9}}));
    const TPdfDocument pdf = ReadPdf(Pdf);
    ASSERT_EQ(pdf.Pages.size(), 3u);
    EXPECT_NE(pdf.Pages[0].Text.find("VEK (01.03.2025 bis 04.03.2025)"), std::string::npos);
    EXPECT_NE(pdf.Pages[2].Text.find("Page 3/3"), std::string::npos);
    EXPECT_NE(pdf.Pages[1].Text.find("Stand:"), std::string::npos);
    EXPECT_EQ(spans(4).size(), 5u);
    // More pages than days: a day a page, not an endless run.
    const auto daily = spans(20);
    ASSERT_EQ(daily.size(), 10u);
    EXPECT_EQ(daily.back(), (std::pair<int, int>{9, 10}));
}

TEST_F(PrintDialogsTest, ChartAndTitleStayInsideTheBodyOnEveryPage)
{
    // A chart that fits the printable area but not the body with its
    // title: headers and footers would cover it if it were fitted to the
    // whole printable area. It keeps its title in the body and is cut at
    // the body's bottom.
    int tall = 0;
    {
        auto probe = MakePrintPlanner();
        auto d = MakeDialog<TPrintTimeChartDialog>(*probe);
        d->Options.Header->SetChecked(true);
        d->Options.HeaderText->SetText("Plan");
        d->Options.Fusszeile->SetChecked(true);
        d->Options.Tagline->SetText("footer");
        FreeRange(*d, 30, 2);
        d->Record();
        TPrintPreviewDialog& e = *d->PrintPreviewDialog1;
        const int body = e.PrintableSize().cy, printable = e.PrintableSize(false, false).cy;
        const int title = 2 * e.TextHeight() + 10;
        for (int n = 1; n < 3000 && tall == 0; ++n) {
            const int h0 = probe->TimeChartFullRowHeight(0) + n * probe->TimeChartRowHeight(0);
            if (h0 <= printable && h0 + title > body)
                tall = n;
        }
        e.DonePrinting();
    }
    ASSERT_GT(tall, 0);
    for (const int positions : {3, tall}) {
        auto p = MakePrintPlanner(positions);
        auto d = MakeDialog<TPrintTimeChartDialog>(*p);
        d->Options.Header->SetChecked(true);
        d->Options.HeaderText->SetText("Plan");
        d->Options.Fusszeile->SetChecked(true);
        d->Options.Tagline->SetText("footer");
        FreeRange(*d, 30, 2);
        d->Print();
        TPrintPreviewDialog& e = *d->PrintPreviewDialog1;
        const TSize body = e.PrintableSize();
        const TPoint off = e.PrintableOffset();
        const TRect chart = d->FChartRect;
        EXPECT_GE(chart.Left, 0);
        EXPECT_GE(chart.Top, 0);
        EXPECT_LE(chart.Right, body.cx);
        if (positions == 3) {
            EXPECT_LE(chart.Bottom, body.cy);
        }
        ASSERT_EQ(e.GetPageCount(), 2);
        for (int page = 1; page <= 2; ++page) {
            // Texts() hands out a copy: keep it while pointing into it.
            const std::vector<TMetaText> texts = e.GetMetafile(page)->Texts();
            const TMetaText* title = Find(texts, "VEK (");
            ASSERT_NE(title, nullptr);
            EXPECT_GE(title->Y, off.Y) << positions;
            EXPECT_LE(title->Y, off.Y + chart.Top) << positions;
            // Centred over the chart.
            EXPECT_NEAR(title->X + title->Width / 2, off.X + (chart.Left + chart.Right) / 2, 2);
        }
    }
}

TEST_F(PrintDialogsTest, LowQualityDrawsAPictureUnlessItWouldBeHuge)
{
    auto p = MakePrintPlanner();
    p->LowQuality = true;
    auto d = MakeDialog<TPrintTimeChartDialog>(*p);
    FreeRange(*d, 20, 1);
    d->Print();
    EXPECT_EQ(p->Questions, 1);
    EXPECT_EQ(d->FLowQualityFallbacks, 0);
    EXPECT_EQ(d->PrintPreviewDialog1->GetMetafile(1)->ImageCount(), 1);

    // 300 rows over 400 days: more than 16 megapixels on the screen's scale.
    auto big = MakePrintPlanner(300);
    big->LowQuality = true;
    auto bd = MakeDialog<TPrintTimeChartDialog>(*big);
    FreeRange(*bd, 400, 1);
    const Int64 pixels = Int64(big->GetTimeChartColWidth()) * 400 *
                         (big->TimeChartRowHeight(0) * big->GetRowCount() + big->TimeChartFullRowHeight(0));
    ASSERT_GT(pixels, 16'000'000);
    TBitmap::ResetLargestSize();
    bd->Print();
    EXPECT_EQ(bd->FLowQualityFallbacks, 1);
    EXPECT_EQ(bd->PrintPreviewDialog1->GetMetafile(1)->ImageCount(), 0);
    const TSize largest = TBitmap::LargestSize();
    EXPECT_LE(Int64(largest.cx) * largest.cy, 16'000'000);
}

TEST_F(PrintDialogsTest, StandardHeaderAndFooter)
{
    TPinnedClock clock(EncodeDate(2025, 3, 4) + EncodeTime(9, 30, 15, 0));
    auto p = MakePrintPlanner();
    auto e = std::unique_ptr<TPrintPreviewDialog, void (*)(TPrintPreviewDialog*)>(
        Create<TPrintPreviewDialog>(nullptr), [](TPrintPreviewDialog* D) { D->Free(); });
    auto run = [&](const String& Footer, const String& Header) {
        e->NewJob();
        e->NewPage();
        AddDefaultHeaderAndFooter(*p, *e, Footer, true, Header);
    };
    auto lineOf = [&](const String& Text) {
        for (const auto& h : e->Headers())
            if (h->Text == Text)
                return h->Line;
        return 0;
    };
    run("my footer", "My Header");
    ASSERT_EQ(e->Headers().size(), 6u);
    EXPECT_EQ(lineOf("My Header"), 2);
    EXPECT_EQ(lineOf(""), 1);
    EXPECT_EQ(lineOf("Stand: 04.03.2025 09:30:15"), 2);
    EXPECT_EQ(lineOf("my footer"), -1);
    EXPECT_EQ(lineOf("/plans/plan.vek"), -2);
    EXPECT_EQ(lineOf("Page $PAGE_NO$/$PAGE_COUNT$"), -2);
    for (const auto& h : e->Headers()) {
        if (h->Text == "My Header") {
            EXPECT_EQ(h->Font->Size(), 20);
        }
        if (h->Text.rfind("Stand:", 0) == 0) {
            EXPECT_EQ(h->Alignment, 1);
            EXPECT_EQ(h->Font->Color(), TColor(0x808080));
        }
        if (h->Line < 0) {
            EXPECT_EQ(h->Font->Size(), 11);
        }
    }
    e->PrintHeaderAndFooter();
    e->DonePrinting();
    const std::vector<TMetaText> texts = e->GetMetafile(1)->Texts();
    const TMetaText* stand = Find(texts, "Stand:");
    ASSERT_NE(stand, nullptr);
    EXPECT_NEAR(stand->X + stand->Width, e->PrintableSize().cx, 2);

    // Without texts the first lines take "Stand:" and the file name; a name
    // wider than 45 % of the body pushes the page line one line down.
    p->FileName = "/plans/" + String(120, 'x') + "/" + String(80, 'y') + ".vek";
    run("", "");
    EXPECT_EQ(lineOf("Stand: 04.03.2025 09:30:15"), 1);
    EXPECT_EQ(lineOf("Page $PAGE_NO$/$PAGE_COUNT$"), -2);
    String shortened;
    for (const auto& h : e->Headers())
        if (h->Line == -1)
            shortened = h->Text;
    EXPECT_NE(shortened, p->FileName);
    EXPECT_LE(e->TextWidth(shortened), e->PrintableSize().cx);
}

TEST_F(PrintDialogsTest, SettingsAreWrittenBackOnlyWhenTheyDiffer)
{
    auto p = MakePrintPlanner();
    AddTask(*p, "P1", March1, 2);
    p->SetFileChanged(false);
    auto d = MakeDialog<TPrintTimeChartDialog>(*p);
    {
        TModalHookGuard hook([&](TCustomForm*) {
            EXPECT_TRUE(d->Options.PrintFilename->Checked());
            d->OKButton->Click();
        });
        EXPECT_TRUE(d->Execute());
    }
    EXPECT_FALSE(p->GetFileChanged());
    {
        TModalHookGuard hook([&](TCustomForm*) {
            d->Options.Tagline->SetText("new footer");
            d->heutehervorheben->SetChecked(true);
            d->OKButton->Click();
        });
        EXPECT_TRUE(d->Execute());
    }
    EXPECT_TRUE(p->GetFileChanged());
    EXPECT_EQ(p->FFooter, "new footer");
    EXPECT_TRUE(p->FPrintToday);
    p->SetFileChanged(false);
    {
        TModalHookGuard hook([&](TCustomForm*) {
            d->Options.Tagline->SetText("cancelled");
            d->CancelButton->Click();
        });
        EXPECT_FALSE(d->Execute());
    }
    EXPECT_FALSE(p->GetFileChanged());
    EXPECT_EQ(p->FFooter, "new footer");
}

TEST_F(PrintDialogsTest, TableDialogChoosesColumnsAndRows)
{
    auto p = MakePrintPlanner();
    TNodeData* first = AddTask(*p, "P0", March1, 2);
    AddTask(*p, "P1", March1 + 1, 2);
    AddTask(*p, "P2", March1 + 2, 2);
    auto d = MakeDialog<TPrintListDialog>(*p);
    d->FillColumns();
    ASSERT_EQ(d->ColumnCount(), p->GetTableColCount(tbTable));
    // The list shows each column's caption, checked.
    TGridNode* line = d->ColumnList->GetFirst();
    for (int c = 0; c < d->ColumnCount(); ++c, line = d->ColumnList->GetNext(line)) {
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(d->ColumnList->Text(line, NoColumn), p->GetColumnCaption(tbTable, c));
        EXPECT_TRUE(d->ColumnChecked(c));
    }
    EXPECT_EQ(d->EditCount->Text(), "3");
    EXPECT_TRUE(d->OKButton->Enabled());
    d->SelectedTasks->SetChecked(true);
    EXPECT_EQ(d->EditCount->Text(), "0");
    EXPECT_FALSE(d->OKButton->Enabled());
    p->SelectOnly(first);
    d->UpdateCount();
    EXPECT_EQ(d->EditCount->Text(), "1");
    d->FilteredTasks->SetChecked(true);
    EXPECT_EQ(d->EditCount->Text(), "3");

    d->AllTasks->SetChecked(true);
    EXPECT_EQ(d->Print(), 1);
    const std::vector<String> texts = TextsOf(d->PrintPreviewDialog1->GetMetafile(1));
    EXPECT_NE(std::find(texts.begin(), texts.end(), p->GetColumnCaption(tbTable, 0)), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "P2"), texts.end());

    // Nothing checked: no cell is printed, only the table's empty frame at
    // the body's middle.
    for (int c = 0; c < d->ColumnCount(); ++c)
        d->SetColumnChecked(c, false);
    d->Print();
    TPrintPreviewDialog& e = *d->PrintPreviewDialog1;
    ASSERT_EQ(e.GetPageCount(), 1);
    for (const String& t : TextsOf(e.GetMetafile(1)))
        EXPECT_TRUE(t.rfind("Stand:", 0) == 0 || t.rfind("Page ", 0) == 0 || t == "/plans/plan.vek") << t;
    const int middle = e.PrintableOffset().X + e.PrintableSize().cx / 2;
    for (const TMetaShape& s : e.GetMetafile(1)->Shapes())
        EXPECT_LE(std::abs(s.Bounds.Left - middle), 1);
}

TEST_F(PrintDialogsTest, WithoutAPrinterThePdfGoesToTheDocumentsFolderNumbered)
{
    auto p = MakePrintPlanner();
    AddTask(*p, "P1", March1, 2);
    p->Documents = Folder.string();
    p->FOpenFileName = "/somewhere/plan.vek";
    EXPECT_EQ(p->PrintFileName(), (Folder / "plan.pdf").string());
    WriteBytes((Folder / "plan.pdf").string(), "taken");
    EXPECT_EQ(p->PrintFileName(), (Folder / "plan (2).pdf").string());
    p->FOpenFileName.clear();
    EXPECT_EQ(p->PrintFileName(), (Folder / "VEK.pdf").string());

    p->FOpenFileName = "/somewhere/plan.vek";
    Printer()->SetOutputFileName("");
    Printer()->SetPrinterName("");
    UseDocumentForPrinterFallback(*p);
    auto d = MakeDialog<TPrintListDialog>(*p);
    d->FillColumns();
    EXPECT_EQ(d->Print(), 1);
    EXPECT_EQ(ReadPdf((Folder / "plan (2).pdf").string()).Pages.size(), 1u);
    EXPECT_EQ(p->GetStatusText(), "Printed to " + (Folder / "plan (2).pdf").string());
    Printer()->FallbackFileName = nullptr;
}
