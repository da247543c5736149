// Zoom, transparency, column width, font size and row sets through their
// setters, boxes and menus; a loaded document's settings shown; the view
// switches that hide empty rows.
#include <unistd.h>

#include "components/KitSplitter.h"
#include "components/KitToolBar.h"
#include "components/FontNameComboBox.h"
#include "components/FontSizeComboBox.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestData.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

TMenuItem* CheckedItem(TMenuItem* Menu)
{
    TMenuItem* checked = nullptr;
    for (int i = 0; i < Menu->Count(); ++i)
        if (Menu->Items(i)->Checked()) {
            EXPECT_EQ(checked, nullptr) << "one item ticked";
            checked = Menu->Items(i);
        }
    return checked;
}

}  // namespace

TEST(ChartSettings, ZoomAndTransparency)
{
    TPlannerPtr p = MakePlanner();
    for (int bad : {0, -5}) {
        p->SetZoom(bad);
        EXPECT_EQ(p->FZoom, 100);
        EXPECT_FALSE(p->GetFileChanged()) << bad;
    }
    p->SetZoom(200);
    EXPECT_TRUE(p->GetFileChanged());
    EXPECT_EQ(p->FZoom, 200);
    EXPECT_EQ(p->ZoomComboBox->Text(), "200");
    ASSERT_NE(CheckedItem(p->KalendarZoom1), nullptr);
    EXPECT_EQ(CheckedItem(p->KalendarZoom1)->Caption(), "200 %");
    EXPECT_EQ(p->KalendarZoom1->Caption(), "Timechart zoom (200 %)");
    EXPECT_EQ(p->ZoomComboBox->Hint(), "Timechart zoom (200 %)");
    EXPECT_EQ(p->TimeChartCaption->Height(), 104) << "the caption rows follow the font";
    EXPECT_EQ(p->TimeChart->Font()->Size(), 20);
    // A zoom the box does not list is still shown, and no item is ticked.
    p->SetZoom(130);
    EXPECT_EQ(p->ZoomComboBox->Text(), "130");
    EXPECT_EQ(CheckedItem(p->KalendarZoom1), nullptr);
    // Menu and box choose as the user does.
    p->KalendarZoom1->Items(0)->Click();
    EXPECT_EQ(p->FZoom, 25);
    p->ZoomComboBox->SelectByUser(3);
    EXPECT_EQ(p->FZoom, 100);

    p->SetFileChanged(false);
    p->SetTransparency(70);
    EXPECT_FALSE(p->GetFileChanged()) << "a view setting only";
    EXPECT_EQ(p->FTransparency, 70);
    EXPECT_EQ(p->Transparenz1->Caption(), "Transparency for filtered Tasks (70 %)");
    EXPECT_EQ(CheckedItem(p->Transparenz1)->Tag(), 70);
    EXPECT_EQ(p->Transparenz1->Items(0)->Caption(), "100 % (invisible)");
    p->TransparenceComboBox->EditByUser("much");
    EXPECT_EQ(p->FTransparency, 50) << "not a number";
}

TEST(ChartSettings, ColumnWidthFitsTheChosenSpanAtAnyZoom)
{
    TPlannerPtr p = MakePlanner();
    p->SizeChart(700, 300);
    const int week = 3;
    ASSERT_EQ(p->ColumnWidthComboBox->Items()->Get(week), "1 week");
    for (int zoom : {100, 200, 50}) {
        p->FZoom = zoom;
        p->ColumnWidthComboBox->SelectByUser(week);
        EXPECT_EQ(p->GetTimeChartColWidth() * 7, 700) << "a week fills the chart at " << zoom << "%";
    }
    p->FZoom = 100;
    p->ColumnWidthComboBox->SelectByUser(10);
    EXPECT_EQ(p->FColWidth, 1) << "a year at 700 px: at least 1";
    p->ColumnWidthUpDownClick(true);
    p->ColumnWidthUpDownClick(true);
    EXPECT_EQ(p->FColWidth, 3);
    EXPECT_EQ(p->ColumnWidthComboBox->Text(), "");
    p->SetTimeChartColWidth(-4);
    EXPECT_EQ(p->FColWidth, 1);
}

TEST(ChartSettings, FontSizeStepsAndFallBackOnTheBaseSize)
{
    TPlannerPtr p = MakePlanner();
    p->SetZoom(200);
    ASSERT_EQ(p->FFontsize, 10);
    p->RowHeightUpDownClick(false);
    EXPECT_EQ(p->FFontsize, 11) << "one point more, not the zoomed size";
    p->RowHeightUpDownClick(true);
    EXPECT_EQ(p->FFontsize, 10);
    p->FontSizeComboBox1->EditByUser("big");
    EXPECT_EQ(p->FFontsize, 10) << "text that is no number keeps the size";
    p->FontSizeComboBox1->EditByUser("12");
    EXPECT_EQ(p->FFontsize, 12);
    EXPECT_EQ(p->TimeChart->Font()->Size(), 24);

    p->SetFileChanged(false);
    p->SetTimeChartFontName(p->FFontname);
    EXPECT_FALSE(p->GetFileChanged()) << "unchanged: nothing";
    // A face picked in the font box is the chart's; the size box lists its
    // sizes and keeps the size.
    TFontNameComboBox* names = p->ScFontComboBox1;
    ASSERT_GT(names->Items()->Count(), 0);
    const int serif = names->Items()->IndexOf("DejaVu Serif=TA");
    ASSERT_GE(serif, 0);
    names->SelectByUser(serif);
    EXPECT_EQ(p->FFontname, "DejaVu Serif");
    EXPECT_EQ(p->TimeChart->Font()->Name(), "DejaVu Serif");
    EXPECT_TRUE(p->GetFileChanged());
    EXPECT_EQ(p->FontSizeComboBox1->FontName(), "DejaVu Serif");
    EXPECT_EQ(p->FontSizeComboBox1->Items()->Count(), 16);
    EXPECT_EQ(p->FontSizeComboBox1->Text(), "12");
}

TEST(ChartSettings, MinuteUnitAcceptsOnlyItsTwoValues)
{
    TPlannerPtr p = MakePlanner();
    p->SetMinUnit(5);
    EXPECT_EQ(p->FMinUnit, muDay);
    p->SetMinUnit(1);
    EXPECT_EQ(p->FMinUnit, muMinute);
    p->SetMinUnit(0);
    EXPECT_EQ(p->FMinUnit, muDay);
}

TEST(ChartSettings, RowSetsPerGroupTab)
{
    TPlannerPtr p = MakePlanner();
    p->GroupTab = 2;
    p->ItemStruct3->Click();
    EXPECT_EQ(p->FRowSetIndex, 2);
    EXPECT_EQ(p->FRowSet, (std::vector<Byte>{0, 0, 2}));
    EXPECT_EQ(p->ToolButton12->ImageIndex(), 2);
    EXPECT_EQ(p->TimeChartRowHeight(0), 18);
}

TEST(ChartSettings, ALoadedDocumentShowsItsSettingsUnchanged)
{
    const String file = vektest::TempDir() + "/settings.vek";
    {
        TPlannerPtr source = MakePlanner();
        source->FZoom = 150;
        source->FColWidth = 12;
        source->FFontsize = 9;
        source->FFontname = "DejaVu Serif";
        source->FRowSet = {1};
        source->FTransparency = 80;
        source->SaveTo(file);
    }
    TPlannerPtr p = MakePlanner();
    ASSERT_TRUE(p->Load(file));
    EXPECT_FALSE(p->GetFileChanged());
    EXPECT_EQ(p->ZoomComboBox->Text(), "150");
    EXPECT_EQ(CheckedItem(p->KalendarZoom1)->Tag(), 150);
    EXPECT_EQ(p->KalendarZoom1->Caption(), "Timechart zoom (150 %)");
    EXPECT_EQ(p->TransparenceComboBox->Text(), "80");
    EXPECT_EQ(p->FontSizeComboBox1->Text(), "9");
    EXPECT_EQ(p->ScFontComboBox1->FontName(), "DejaVu Serif");
    EXPECT_EQ(p->ScFontComboBox1->Items()->Get(0), "DejaVu Serif=TA");
    EXPECT_EQ(p->FRowSetIndex, 1);
    EXPECT_EQ(p->GetTimeChartColWidth(), 18);
    EXPECT_EQ(p->TimeChart->Font()->Size(), 13);
    EXPECT_EQ(p->TimeChartCaption->Height(), p->TimeChartFullRowHeight(0));
    ::unlink(file.c_str());
}

TEST(ChartSettings, HidingEmptyResourcesTakesEffectAtOnce)
{
    TPlannerPtr p = MakePlanner({"A", "B", "C"});
    AddTask(*p, "B", EncodeDate(2024, 1, 2), 1);
    ASSERT_EQ(p->GetRowCount(), 3);
    p->HideRowsClick(p->HideEmptyRows1);
    EXPECT_EQ(p->GetRowCount(), 1);
    EXPECT_FALSE(p->HideEmptyMultiRows1->Enabled());
    p->HideRowsClick(p->HideEmptyRows1);
    EXPECT_EQ(p->GetRowCount(), 3);
    EXPECT_TRUE(p->HideEmptyMultiRows1->Enabled());

    p->DrawLines1->SetChecked(true);
    p->DrawLinesClick(p->DrawLines1);
    EXPECT_FALSE(p->DrawLinesMultiRow1->Enabled());
}

TEST(ChartSettings, OverviewKeepsWholeRows)
{
    TPlannerPtr p = MakePlanner({"A", "B", "C"});
    p->SetSmallTimeChartRowHeight(20);
    EXPECT_EQ(p->FSmallTimeChartRowheight, 8);
    EXPECT_EQ(p->dfsToolBar1->Height(), 3 * 8 + 17);
    int size = 50;
    bool accept = true;
    p->Splitter3CanResize(size, accept);
    EXPECT_EQ(size, 3 * 11 + 17);
    // With no shown rows the snap counts one row.
    TPlannerPtr empty = MakePlanner({});
    ASSERT_EQ(empty->GetRowCount(), 0);
    size = 50;
    empty->Splitter3CanResize(size, accept);
    EXPECT_EQ(size, 50);
    p->SmallTimeChartClick();
    EXPECT_FALSE(p->dfsToolBar1->Visible());
    EXPECT_FALSE(p->Splitter3->Visible());
    p->SmallTimeChartClick();
    EXPECT_TRUE(p->dfsToolBar1->Visible());
    EXPECT_EQ(p->dfsToolBar1->Height(), 3 * 8 + 17);
    EXPECT_EQ(p->dfsToolBar1->TabSizeMinimized(), 3 * 8 + 17);

    // Folded while hidden, as the settings may leave it: shown again, its
    // tab is still there to unfold it by, and unfolded it has its rows.
    p->SmallTimeChartClick();
    p->dfsToolBar1->SetMaximized(false);
    p->SmallTimeChartClick();
    EXPECT_EQ(p->dfsToolBar1->Height(), p->dfsToolBar1->TabSizeMaximized());
    EXPECT_EQ(p->dfsToolBar1->TabSizeMinimized(), 3 * 8 + 17);
    EXPECT_FALSE(p->Splitter3->Visible());
    p->dfsToolBar1->SetMaximized(true);
    EXPECT_EQ(p->dfsToolBar1->Height(), 3 * 8 + 17);
    EXPECT_TRUE(p->Splitter3->Visible());
}

TEST(ChartSettings, ManyPositionsLeaveTheChartItsRoom)
{
    std::vector<String> positions;
    for (int i = 0; i < 40; ++i)
        positions.push_back("P" + IntToStr(i));
    TPlannerPtr p = MakePlanner(positions);
    const int caption = p->SmallTimeChartCaption->Height();
    ASSERT_EQ(p->TimeChartCaption->Height() + p->Splitter3->Height() + p->Splitter1->MinSize(), 102);
    // 40 rows of 8 px want 337 px: the chart keeps 40 px below its captions
    // (62 px), the overview's rows get lower, and below one pixel the strip
    // is cut.
    struct {
        int Panel, Strip;
    } panels[] = {{800, 40 * 8}, {300, 40 * 4}, {200, 40 * 2}, {140, 21}, {100, 0}};
    for (const auto& k : panels) {
        p->TimeChartPanel->SetHeight(k.Panel);
        p->SetSmallTimeChartRowHeight(8);
        EXPECT_EQ(p->dfsToolBar1->Height(), k.Strip + caption) << "panel " << k.Panel;
        // The chart gets the rest: 40 px or more where the panel has them.
        EXPECT_EQ(p->TimeChartScrollBarBox->Height(), k.Panel - 62 - k.Strip - caption) << "panel " << k.Panel;
        EXPECT_EQ(p->FSmallTimeChartRowheight, 8) << "the stored height stays";
    }
    // The panel grows: the overview takes its stored rows again.
    p->TimeChartPanel->SetHeight(800);
    EXPECT_EQ(p->dfsToolBar1->Height(), 40 * 8 + caption);
    // The splitter is not dragged into the chart's room either.
    p->TimeChartPanel->SetHeight(300);
    int size = 290;
    bool accept = true;
    p->Splitter3CanResize(size, accept);
    EXPECT_EQ(size, 40 * 4 + caption);
}
