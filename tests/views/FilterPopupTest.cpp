// The filter popup: where it opens, its sections and enabling, how each way
// of closing it ends, and what OK writes into the column and the stored
// filters (date filters in both units).
#include <gtest/gtest.h>

#include <cmath>

#include "components/AutocompletingEdit.h"
#include "platform/Buttons.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "tests/views/ViewsTestSupport.h"
#include "views/FilterPopup.h"

namespace {

// Task table: 0 Position, 1 Start, 2 End, 3 Length, 4 State, 5 Comment.
constexpr int StartColumn = 1;
constexpr int LengthColumn = 3;
constexpr int StateColumn = 4;
constexpr int CommentColumn = 5;

TEST(FilterPopupPlace, StaysOnTheScreenHoldingItsAnchor)
{
    const TRect screen(0, 0, 1000, 800);
    EXPECT_EQ(PlaceFilterPopup({100, 200}, 20, 260, 300, screen), TPoint(100, 200));
    // No room below: above the header.
    EXPECT_EQ(PlaceFilterPopup({100, 600}, 20, 260, 300, screen), TPoint(100, 280));
    // No room to the right: against the right edge.
    EXPECT_EQ(PlaceFilterPopup({900, 200}, 20, 260, 300, screen), TPoint(740, 200));
    EXPECT_EQ(PlaceFilterPopup({-50, 200}, 20, 260, 300, screen), TPoint(0, 200));
    // A second screen to the right and lower: its own edges count.
    const TRect second(1000, 100, 2000, 900);
    EXPECT_EQ(PlaceFilterPopup({1900, 700}, 20, 260, 300, second), TPoint(1740, 380));
    EXPECT_EQ(PlaceFilterPopup({1100, 150}, 20, 260, 300, second), TPoint(1100, 150));
}

class FilterPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        p = MakePlanner();
        p->SetActiveTable(tbTable);
        rows = {AddTask(*p, "A", EncodeDate(2024, 1, 8), 2), AddTask(*p, "B", EncodeDate(2024, 1, 10), 4),
            AddTask(*p, "C", EncodeDate(2024, 1, 12), 6)};
        p->DoSetData(rows[0], CommentColumn, "alpha", cmIgnoreNet);
        p->DoSetData(rows[1], CommentColumn, "Beta", cmIgnoreNet);
        p->DoSetData(rows[2], CommentColumn, "alpha", cmIgnoreNet);
        p->CheckAllValid();
        p->SetFileChanged(false);
    }
    void TearDown() override
    {
        if (p->FilterPopup()->Visible())
            p->FilterPopup()->Finish(mrCancel);
    }
    TFilterPopup* Open(int Column)
    {
        p->ShowFilterPopup(Column);
        TFilterPopup* popup = p->FilterPopup();
        EXPECT_TRUE(popup->Visible());
        return popup;
    }
    TFilterParams& FilterOf(int Column) { return p->GetHeader(tbTable, Column)->Filter; }
    std::vector<bool> Hidden()
    {
        std::vector<bool> hidden;
        for (TNodeData* row : rows)
            hidden.push_back(p->GetNodeFiltered(row));
        return hidden;
    }
    TPlannerPtr p;
    std::vector<TNodeData*> rows;
};

TEST_F(FilterPopupTest, SectionsFollowTheColumnType)
{
    struct Case {
        int Column;
        TColumnType Type;
        bool Date, List, Number;
    } cases[] = {
        {StartColumn, ctDate, true, false, false},
        {LengthColumn, ctNumber, false, false, true},
        {CommentColumn, ctText, false, true, false},
        {StateColumn, ctPulldown, false, true, false},
        {CommentColumn, ctLink, false, true, false},
        {CommentColumn, TColumnType::ctCheckBox, false, false, false},
    };
    for (const Case& c : cases) {
        p->SetColumnType(tbTable, c.Column, c.Type);
        TFilterPopup* popup = Open(c.Column);
        EXPECT_EQ(popup->DateSectionShown(), c.Date) << int(c.Type);
        EXPECT_EQ(popup->ListSectionShown(), c.List) << int(c.Type);
        EXPECT_EQ(popup->NumberSectionShown(), c.Number) << int(c.Type);
        EXPECT_TRUE(popup->RadioButton0->Visible() && popup->RadioButton1->Visible());
        EXPECT_TRUE(popup->RadioButton2->Checked());
        EXPECT_EQ(popup->Caption(), "Filter Column " + p->GetColumnCaption(tbTable, c.Column));
        popup->Finish(mrCancel);
    }
    p->SetColumnType(tbTable, CommentColumn, ctText);
    // The list offers each text of the column once; a pulldown its entries.
    TFilterPopup* popup = Open(CommentColumn);
    EXPECT_EQ(popup->ListBox1->Items()->CommaText(), "alpha,Beta");
    popup->Finish(mrCancel);
    popup = Open(StateColumn);
    EXPECT_EQ(popup->ListBox1->Count(), p->GetColumnStrings(tbTable, StateColumn)->Count());
    popup->Finish(mrCancel);
}

TEST_F(FilterPopupTest, EachInputIsEnabledOnlyWithItsRadio)
{
    TFilterPopup* popup = Open(LengthColumn);
    EXPECT_FALSE(popup->Edit4->Enabled());
    EXPECT_FALSE(popup->AutocompletingEdit1->Enabled());
    popup->RadioButton5->SetChecked(true);
    EXPECT_TRUE(popup->Edit4->Enabled());
    EXPECT_EQ(popup->Edit4->Top(), popup->RadioButton5->Top() - 3);
    EXPECT_FALSE(popup->Edit2->Enabled() || popup->Edit3->Enabled());
    popup->RadioButton7->SetChecked(true);
    EXPECT_FALSE(popup->RadioButton5->Checked());
    EXPECT_FALSE(popup->Edit4->Enabled());
    EXPECT_TRUE(popup->Edit2->Enabled() && popup->Edit3->Enabled());
    popup->RadioButton0->SetChecked(true);
    EXPECT_TRUE(popup->AutocompletingEdit1->Enabled());
    EXPECT_FALSE(popup->Edit2->Enabled());
    popup->RadioButton8->SetChecked(true);
    EXPECT_TRUE(popup->ListBox1->Enabled());
    EXPECT_FALSE(popup->DateTimePicker1->Enabled());
    popup->RadioButton3->SetChecked(true);
    EXPECT_TRUE(popup->DateTimePicker1->Enabled() && popup->DateTimePicker2->Enabled());
    EXPECT_FALSE(popup->ListBox1->Enabled());
}

TEST_F(FilterPopupTest, OkWritesTheColumnAndOneStoredFilterPerTabAndColumn)
{
    TFilterPopup* popup = Open(LengthColumn);
    popup->RadioButton7->SetChecked(true);
    popup->Edit2->SetText("3");
    popup->Edit3->SetText("7");
    popup->Button1->Click();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(FilterOf(LengthColumn).FilterType, ftNumber);
    EXPECT_EQ(FilterOf(LengthColumn).FilterSubType, fsFromTo);
    EXPECT_EQ(FilterOf(LengthColumn).Text1, "3");
    EXPECT_EQ(FilterOf(LengthColumn).text2, "7");
    EXPECT_EQ(Hidden(), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(p->GetFileChanged());
    ASSERT_EQ(p->FFilters.size(), 1u);
    EXPECT_EQ(p->FFilters[0].Group, "General View");
    EXPECT_EQ(p->FFilters[0].Header, "Length");
    EXPECT_EQ(p->FFilters[0].Text2, "7");

    // Reopened, it shows the filter; the same column's stored filter is reused.
    popup = Open(LengthColumn);
    EXPECT_TRUE(popup->RadioButton7->Checked());
    EXPECT_EQ(popup->Edit2->Text(), "3");
    popup->RadioButton4->SetChecked(true);
    popup->Edit4->SetText("5");
    popup->Button1->Click();
    ASSERT_EQ(p->FFilters.size(), 1u);
    EXPECT_EQ(p->FFilters[0].SubType, fsSmaller);
    EXPECT_EQ(p->FFilters[0].Text1, "5");
    EXPECT_EQ(p->FFilters[0].Text2, "");
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, true}));

    popup = Open(CommentColumn);
    popup->RadioButton0->SetChecked(true);
    popup->AutocompletingEdit1->SetText("AL*");
    popup->Button1->Click();
    EXPECT_EQ(p->FFilters.size(), 2u);
    EXPECT_EQ(Hidden(), (std::vector<bool>{false, true, true}));
}

TEST_F(FilterPopupTest, OnlyOkOrEnterApplyTheChoice)
{
    auto choose = [&] {
        TFilterPopup* popup = Open(CommentColumn);
        popup->RadioButton1->SetChecked(true);
        return popup;
    };
    auto unchanged = [&] {
        EXPECT_EQ(FilterOf(CommentColumn).FilterType, ftNone);
        EXPECT_TRUE(p->FFilters.empty());
        EXPECT_FALSE(p->GetFileChanged());
    };
    choose()->Button2->Click();
    unchanged();
    // Escape, wherever the focus is.
    TFilterPopup* popup = choose();
    Word key = VK_ESCAPE;
    popup->KeyBeforeControl(popup->AutocompletingEdit1, key, TShiftState());
    EXPECT_FALSE(popup->Visible());
    unchanged();
    // A click elsewhere deactivates it.
    choose()->Deactivate();
    EXPECT_FALSE(p->FilterPopup()->Visible());
    unchanged();

    popup = choose();
    key = VK_RETURN;
    popup->KeyBeforeControl(popup->Edit4, key, TShiftState());
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(FilterOf(CommentColumn).FilterType, ftText);
    EXPECT_EQ(FilterOf(CommentColumn).FilterSubType, fsEmpty);

    // After an OK a click elsewhere still cancels: the result is cleared at
    // each opening.
    p->SetFileChanged(false);
    popup = Open(CommentColumn);
    popup->RadioButton2->SetChecked(true);
    popup->Deactivate();
    EXPECT_EQ(FilterOf(CommentColumn).FilterType, ftText);
    EXPECT_FALSE(p->GetFileChanged());
}

TEST_F(FilterPopupTest, ListWithNothingSelectedKeepsItsOperands)
{
    TFilterPopup* popup = Open(CommentColumn);
    popup->RadioButton8->SetChecked(true);
    popup->ListBox1->SetSelected(1, true);
    popup->Button1->Click();
    EXPECT_EQ(FilterOf(CommentColumn).FilterType, ftList);
    EXPECT_EQ(FilterOf(CommentColumn).Text1, "Beta");
    EXPECT_EQ(Hidden(), (std::vector<bool>{true, false, true}));

    popup = Open(CommentColumn);
    EXPECT_TRUE(popup->RadioButton8->Checked());
    EXPECT_TRUE(popup->ListBox1->Selected(1));
    popup->ListBox1->SetSelected(1, false);
    popup->Button1->Click();
    EXPECT_EQ(FilterOf(CommentColumn).FilterType, ftList);
    EXPECT_EQ(FilterOf(CommentColumn).FilterSubType, fsEquals);
    EXPECT_EQ(FilterOf(CommentColumn).Text1, "Beta");
}

TEST_F(FilterPopupTest, DateRangeIncludesBothDaysInEitherUnit)
{
    TPinnedClock clock(EncodeDate(2024, 1, 11) + 0.75);
    for (const bool minutes : {false, true}) {
        SCOPED_TRACE(minutes ? "minute unit" : "day unit");
        p->FMinUnit = minutes ? muMinute : muDay;
        if (minutes) {
            // Tasks on the first and last day, later than midnight.
            p->DoSetData(rows[0], StartColumn, "10.01.2024 08:00", cmIgnoreNet);
            p->DoSetData(rows[1], StartColumn, "12.01.2024 16:30", cmIgnoreNet);
            p->DoSetData(rows[2], StartColumn, "13.01.2024 07:00", cmIgnoreNet);
        } else {
            p->DoSetData(rows[0], StartColumn, "10.01.2024", cmIgnoreNet);
            p->DoSetData(rows[1], StartColumn, "12.01.2024", cmIgnoreNet);
            p->DoSetData(rows[2], StartColumn, "13.01.2024", cmIgnoreNet);
        }
        p->CheckAllValid();
        FilterOf(StartColumn) = TFilterParams();
        TFilterPopup* popup = Open(StartColumn);
        // Nothing stored: "from" is today, a day without its time.
        EXPECT_EQ(popup->DateTimePicker1->DateTime(), EncodeDate(2024, 1, 11));
        popup->RadioButton3->SetChecked(true);
        popup->DateTimePicker1->SetDateTime(EncodeDate(2024, 1, 10));
        popup->DateTimePicker2->SetDateTime(EncodeDate(2024, 1, 12));
        popup->Button1->Click();
        EXPECT_EQ(FilterOf(StartColumn).FilterType, ftDate);
        EXPECT_EQ(FilterOf(StartColumn).FilterSubType, fsFromTo);
        EXPECT_EQ(FilterOf(StartColumn).Text1, "10.01.2024");
        EXPECT_EQ(FilterOf(StartColumn).text2, minutes ? "12.01.2024 23:59" : "12.01.2024");
        EXPECT_EQ(Hidden(), (std::vector<bool>{false, false, true}));

        // Reopened, the pickers show the stored days.
        popup = Open(StartColumn);
        EXPECT_TRUE(popup->RadioButton3->Checked());
        EXPECT_EQ(popup->DateTimePicker1->DateTime(), EncodeDate(2024, 1, 10));
        EXPECT_EQ(popup->DateTimePicker2->DateTime(), EncodeDate(2024, 1, 12));
        popup->Finish(mrCancel);
    }
}

TEST_F(FilterPopupTest, OpensBelowTheColumnOnItsScreen)
{
    TFilterPopup* popup = Open(LengthColumn);
    TStringTreeGrid* tree = p->StringTreeGrid1;
    const TPoint anchor =
        tree->ClientToScreen(TPoint(tree->Header()->Columns()->Items(LengthColumn)->GetLeft(), 0));
    const TRect screen = Screen->MonitorRect(anchor);
    EXPECT_EQ(TPoint(popup->Left(), popup->Top()),
        PlaceFilterPopup(anchor, tree->Header()->Height(), popup->Width(), popup->Height(), screen));
    EXPECT_LE(popup->Left() + popup->Width(), screen.Right);
    EXPECT_LE(popup->Top() + popup->Height(), screen.Bottom);
}

}  // namespace
