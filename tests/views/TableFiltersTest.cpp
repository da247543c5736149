// Column filters on real trees: what each filter lets through, the rows
// hidden and deselected, the group rule, hints and header images, the
// filters kept per group tab, and clearing.
#include <gtest/gtest.h>

#include "platform/ImgList.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

// Task table: 0 Position, 1 Start, 2 End, 3 Length, 4 State, 5 Comment.
constexpr int StartColumn = 1;
constexpr int LengthColumn = 3;
constexpr int CommentColumn = 5;

TFilterParams Filter(TFilterType Type, TFilterSubType Sub, const String& Text1 = String(), const String& Text2 = String())
{
    TFilterParams p;
    p.FilterType = Type;
    TPlannerForm::setfilter(p, Sub, Text1, Text2);
    return p;
}

void SetColumnFilter(TPlannerForm& P, TWhichTable Table, int Column, const TFilterParams& F)
{
    P.GetHeader(Table, Column)->Filter = F;
}

std::vector<bool> Hidden(TPlannerForm& P, TWhichTable Table = tbTable)
{
    std::vector<bool> hidden;
    for (TNodeData* row : TableRows(P, Table))
        hidden.push_back(P.GetNodeFiltered(row));
    return hidden;
}

TEST(FilterTests, DatesCompareInclusivelyAndFailUnreadableCells)
{
    TPlannerPtr p = MakePlanner();
    const TFilterParams smaller = Filter(ftDate, fsSmaller, "10.01.2024");
    EXPECT_TRUE(p->FilterDate(smaller, "10.01.2024"));
    EXPECT_TRUE(p->FilterDate(smaller, "09.01.2024"));
    EXPECT_FALSE(p->FilterDate(smaller, "11.01.2024"));
    const TFilterParams greater = Filter(ftDate, fsGreater, "10.01.2024");
    EXPECT_TRUE(p->FilterDate(greater, "10.01.2024"));
    EXPECT_FALSE(p->FilterDate(greater, "09.01.2024"));
    EXPECT_TRUE(p->FilterDate(Filter(ftDate, fsEquals, "10.01.2024"), "10.01.2024"));
    EXPECT_FALSE(p->FilterDate(Filter(ftDate, fsEquals, "10.01.2024"), "11.01.2024"));
    const TFilterParams range = Filter(ftDate, fsFromTo, "10.01.2024", "12.01.2024");
    EXPECT_TRUE(p->FilterDate(range, "10.01.2024"));
    EXPECT_TRUE(p->FilterDate(range, "12.01.2024"));
    EXPECT_FALSE(p->FilterDate(range, "13.01.2024"));
    EXPECT_FALSE(p->FilterDate(range, "09.01.2024"));
    // An empty or unreadable cell is no date: not even "before" passes it.
    EXPECT_FALSE(p->FilterDate(smaller, ""));
    EXPECT_FALSE(p->FilterDate(smaller, "soon"));
    EXPECT_FALSE(p->FilterDate(Filter(ftDate, fsSmaller, "sometime"), "01.01.2024"));
    EXPECT_FALSE(p->FilterDate(Filter(ftDate, fsText, "10.01.2024"), "10.01.2024"));
}

TEST(FilterTests, NumbersAreWholeAndStrictAtBothEnds)
{
    TPlannerPtr p = MakePlanner();
    const TFilterParams range = Filter(ftNumber, fsFromTo, "3", "5");
    EXPECT_FALSE(p->FilterNumber(range, "3"));
    EXPECT_TRUE(p->FilterNumber(range, "4"));
    EXPECT_FALSE(p->FilterNumber(range, "5"));
    EXPECT_TRUE(p->FilterNumber(Filter(ftNumber, fsSmaller, "3"), "2"));
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsSmaller, "3"), "3"));
    EXPECT_TRUE(p->FilterNumber(Filter(ftNumber, fsGreater, "3"), "4"));
    EXPECT_TRUE(p->FilterNumber(Filter(ftNumber, fsEquals, "3"), "3"));
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsEquals, "3"), ""));
    // A length in hours and minutes is no whole number.
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsGreater, "3"), "7,30"));
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsGreater, "x"), "7"));
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsFromTo, "3", ""), "4"));
    EXPECT_FALSE(p->FilterNumber(Filter(ftNumber, fsEmpty, "3"), "3"));
}

TEST(FilterTests, TextsAndListsIgnoreCase)
{
    TPlannerPtr p = MakePlanner();
    const TFilterParams starts = Filter(ftText, fsText, "ab*");
    EXPECT_TRUE(p->FilterText(starts, "Abc"));
    EXPECT_TRUE(p->FilterText(starts, "abX"));
    EXPECT_TRUE(p->FilterText(starts, "AB"));
    EXPECT_FALSE(p->FilterText(starts, "xab"));
    EXPECT_TRUE(p->FilterText(Filter(ftText, fsText, "ä?"), "ÄB"));
    EXPECT_TRUE(p->FilterText(Filter(ftText, fsEmpty, "ignored"), ""));
    EXPECT_FALSE(p->FilterText(Filter(ftText, fsEmpty), " "));
    EXPECT_FALSE(p->FilterText(Filter(ftText, fsEquals, "a"), "a"));

    const TFilterParams list = Filter(ftList, fsEquals, "Alpha,\"Beta Gamma\",Über");
    EXPECT_TRUE(p->FilterList(list, "alpha"));
    EXPECT_TRUE(p->FilterList(list, "BETA GAMMA"));
    EXPECT_TRUE(p->FilterList(list, "über"));
    EXPECT_FALSE(p->FilterList(list, "Beta"));
    EXPECT_FALSE(p->FilterList(list, ""));
    EXPECT_FALSE(p->FilterList(Filter(ftList, fsEquals, ""), ""));
    EXPECT_TRUE(TPlannerForm::WildcardMatch("Abc", "a*", false));
    EXPECT_FALSE(TPlannerForm::WildcardMatch("Abc", "a*", true));
}

TEST(FilterData, HidesFailingRowsKeepsInvalidOnesAndDeselects)
{
    TPlannerPtr p = MakePlanner();
    TNodeData* a = AddTask(*p, "A", EncodeDate(2024, 1, 8), 2);
    TNodeData* b = AddTask(*p, "B", EncodeDate(2024, 1, 9), 4);
    TNodeData* invalid = p->AddNode(p->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
    p->CheckAllValid();
    ASSERT_TRUE(p->GetNodeValid(a) && p->GetNodeValid(b));
    ASSERT_FALSE(p->GetNodeValid(invalid));
    TStringTreeGrid* tree = p->StringTreeGrid1;
    TTGSelectionOptions selection = tree->TreeOptions()->SelectionOptions();
    selection.Include(toMultiSelect);
    tree->TreeOptions()->SetSelectionOptions(selection);
    tree->SetSelected(b->VNode, true);
    tree->SetSelected(a->VNode, true);
    int changes = 0;
    tree->OnChange = [&](TBaseTreeGrid*, TGridNode*) { ++changes; };

    SetColumnFilter(*p, tbTable, LengthColumn, Filter(ftNumber, fsSmaller, "3"));
    p->FilterData(tbTable);
    EXPECT_EQ(Hidden(*p), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(p->IsNodeFiltered(b));
    EXPECT_FALSE(tree->Selected(b->VNode));
    EXPECT_TRUE(tree->Selected(a->VNode));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p->TotalCount(tbTable), 3);
    EXPECT_EQ(p->FilteredCount(tbTable), 2);
    EXPECT_EQ(p->SelectedCount(tbTable), 1);

    // Clearing shows all again; inside an update bracket nothing is decided.
    p->ActionClearAllFiltersExecute();
    EXPECT_EQ(Hidden(*p), (std::vector<bool>{false, false, false}));
    SetColumnFilter(*p, tbTable, LengthColumn, Filter(ftNumber, fsSmaller, "3"));
    p->BeginUpdate("");
    p->FilterData(tbTable);
    EXPECT_EQ(Hidden(*p), (std::vector<bool>{false, false, false}));
    p->EndUpdate();
}

TEST(FilterData, GroupRuleHidesRowsOutsideTheGroupButNotAllPositions)
{
    TPlannerPtr p = MakePlanner();
    p->FPositionGroup.Clear();
    p->FPositionGroup.Add("");
    p->FPositionGroup.Add("A");
    p->FPositionGroupNames.Clear();
    p->FPositionGroupNames.Add("");
    p->FPositionGroupNames.Add("Only A");
    AddTask(*p, "A", EncodeDate(2024, 1, 8), 1);
    AddTask(*p, "B", EncodeDate(2024, 1, 8), 1);
    AddAbsentDay(*p, "*", EncodeDate(2024, 1, 8), 1);
    AddAbsentDay(*p, "B", EncodeDate(2024, 1, 8), 1);
    p->GroupTab = 1;
    p->ApplyPositionGroup();
    p->CheckAllValid();
    // A passing column filter does not bring a row outside the group back.
    SetColumnFilter(*p, tbTable, 0, Filter(ftText, fsText, "*"));
    p->FilterData(tbTable);
    p->FilterData(tbExclude);
    EXPECT_EQ(Hidden(*p), (std::vector<bool>{false, true}));
    EXPECT_EQ(Hidden(*p, tbExclude), (std::vector<bool>{false, true}));
    EXPECT_EQ(p->GroupCount(tbTable), 1);
    EXPECT_EQ(p->GroupCount(tbExclude), 1);
    EXPECT_EQ(p->GetPositionGroupCaption(), "Only A");
}

TEST(FilterData, HintsAndHeaderImages)
{
    TPlannerPtr p = MakePlanner();
    struct Case {
        TFilterParams F;
        String Hint;
    } cases[] = {
        {Filter(ftDate, fsSmaller, "1.1.24"), "[before 1.1.24]"},
        {Filter(ftDate, fsGreater, "1.1.24"), "[after 1.1.24]"},
        {Filter(ftDate, fsFromTo, "1.1.24", "2.1.24"), "[from 1.1.24 till 2.1.24]"},
        {Filter(ftDate, fsEquals, "1.1.24"), "[= 1.1.24]"},
        {Filter(ftList, fsEquals, "A,\"B C\""), "[= A,B C]"},
        {Filter(ftList, fsEquals, ""), "[= ]"},
        {Filter(ftText, fsText, "ab*"), "[contains ab*]"},
        {Filter(ftText, fsEmpty), "[empty fields]"},
        {Filter(ftNumber, fsSmaller, "3"), "[smaller than 3]"},
        {Filter(ftNumber, fsGreater, "3"), "[bigger than 3]"},
        {Filter(ftNumber, fsEquals, "3"), "[= 3]"},
        {Filter(ftNumber, fsFromTo, "3", "5"), "[from 3 to 5]"},
        {Filter(ftNone, fsFromTo, "3", "5"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p->FilterHint(c.F), c.Hint);

    SetColumnFilter(*p, tbTable, CommentColumn, Filter(ftText, fsText, "x*"));
    p->FilterData(tbTable);
    TTreeGridColumns* columns = p->StringTreeGrid1->Header()->Columns();
    EXPECT_EQ(columns->Items(CommentColumn)->Hint(), "[contains x*]");
    EXPECT_EQ(columns->Items(CommentColumn)->ImageIndex(), 22);
    EXPECT_EQ(columns->Items(0)->Hint(), "");
    EXPECT_EQ(columns->Items(0)->ImageIndex(), 23);
    ASSERT_EQ(p->StringTreeGrid1->Header()->Images(), p->FilterImages());
    EXPECT_GE(p->FilterImages()->Count(), 24);
}

TEST(FilterData, ATabRestoresOnlyItsOwnStoredFilters)
{
    TPlannerPtr p = MakePlanner();
    auto stored = [](TWhichTable Table, const String& Group, const String& Header, const TFilterParams& F) {
        TFilter f;
        f.Table = Table;
        f.Group = Group;
        f.Header = Header;
        f.Type = F.FilterType;
        f.SubType = F.FilterSubType;
        f.Text1 = F.Text1;
        f.Text2 = F.text2;
        return f;
    };
    p->FFilters.push_back(stored(tbTable, "General View", "Position", Filter(ftList, fsEquals, "A")));
    p->FFilters.push_back(stored(tbExclude, "General View", "Comment", Filter(ftText, fsEmpty)));
    p->FFilters.push_back(stored(tbTable, "Other", "Length", Filter(ftNumber, fsGreater, "2")));
    p->FFilters.push_back(stored(tbTable, "General View", "No such column", Filter(ftNumber, fsGreater, "2")));
    SetColumnFilter(*p, tbTable, LengthColumn, Filter(ftNumber, fsSmaller, "9"));

    p->RestoreGroupFilters("General View");
    EXPECT_EQ(p->GetHeader(tbTable, 0)->Filter.FilterType, ftList);
    EXPECT_EQ(p->GetHeader(tbTable, 0)->Filter.Text1, "A");
    EXPECT_EQ(p->GetHeader(tbTable, LengthColumn)->Filter.FilterType, ftNone);
    EXPECT_EQ(p->GetHeader(tbExclude, 6)->Filter.FilterType, ftText);
    EXPECT_EQ(p->GetHeader(tbExclude, 6)->Filter.FilterSubType, fsEmpty);

    p->RestoreGroupFilters("Other");
    EXPECT_EQ(p->GetHeader(tbTable, 0)->Filter.FilterType, ftNone);
    EXPECT_EQ(p->GetHeader(tbExclude, 6)->Filter.FilterType, ftNone);
    EXPECT_EQ(p->GetHeader(tbTable, LengthColumn)->Filter.FilterType, ftNumber);
    EXPECT_EQ(p->GetHeader(tbTable, LengthColumn)->Filter.Text1, "2");
}

TEST(FilterData, ClearingLeavesStoredFiltersAndTheChangedFlag)
{
    TPlannerPtr p = MakePlanner();
    AddTask(*p, "A", EncodeDate(2024, 1, 8), 1);
    p->SetActiveTable(tbTable);
    TFilter f;
    f.Group = "General View";
    f.Header = "Comment";
    f.Type = ftText;
    f.SubType = fsText;
    f.Text1 = "zzz";
    p->FFilters.push_back(f);
    p->RestoreGroupFilters("General View");
    p->FilterData(tbTable);
    p->SetFileChanged(false);
    EXPECT_TRUE(p->ActionClearAllFiltersUpdate());
    EXPECT_EQ(Hidden(*p), std::vector<bool>{true});

    p->FActiveColumn = CommentColumn;
    p->ActionClearFilterExecute();
    EXPECT_EQ(Hidden(*p), std::vector<bool>{false});
    EXPECT_FALSE(p->ActionClearAllFiltersUpdate());
    ASSERT_EQ(p->FFilters.size(), 1u);
    EXPECT_EQ(p->FFilters[0].Text1, "zzz");
    EXPECT_FALSE(p->GetFileChanged());

    p->RestoreGroupFilters("General View");
    p->ActionClearAllFiltersExecute();
    EXPECT_EQ(p->FFilters.size(), 1u);
    EXPECT_FALSE(p->GetFileChanged());
}

}  // namespace
