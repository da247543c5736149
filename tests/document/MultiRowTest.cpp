#include "DocumentTestSupport.h"
#include "platform/DateUtils.h"

namespace {

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

TStringList* PositionList(TScheduleDocument& Doc)
{
    return Doc.GetColumnStrings(tbTable, Doc.GetConnection(tbTable, cnPosition));
}

}  // namespace

TEST(MultiRow, IndexHelpers)
{
    // Expanded: A 0, B 1, C 2, D 3, E 4..6, F 7
    TDocumentPtr doc = MakeDocument(
        {PositionEntry("A"), PositionEntry("B"), PositionEntry("C"), PositionEntry("D"), PositionEntry("E", 3), "F"});
    for (int i : {4, 5, 6}) {
        EXPECT_EQ(doc->MultiRowIndex(i), 4) << i;
        EXPECT_EQ(doc->FirstRowInMultiRow(i), 5) << i;
        EXPECT_EQ(doc->LastRowInMultiRow(i), 6) << i;
    }
    // A one-row position: the first extra row lies past the last row.
    EXPECT_EQ(doc->MultiRowIndex(3), 3);
    EXPECT_EQ(doc->FirstRowInMultiRow(3), 4);
    EXPECT_EQ(doc->LastRowInMultiRow(3), 3);
    EXPECT_EQ(doc->MultiRowIndex(7), 5) << "an entry without a row count has one row";
    EXPECT_EQ(doc->FirstRowInMultiRow(7), 8);
    EXPECT_EQ(doc->LastRowInMultiRow(7), 7);
    // Outside the list.
    EXPECT_EQ(doc->MultiRowIndex(8), -1);
    EXPECT_EQ(doc->MultiRowIndex(-1), -1);
    EXPECT_EQ(doc->FirstRowInMultiRow(8), 9);
    EXPECT_EQ(doc->LastRowInMultiRow(8), 8);

    EXPECT_EQ(TScheduleDocument::PositionRowCount(PositionEntry("X", 4)), 4);
    EXPECT_EQ(TScheduleDocument::PositionRowCount("X,,abc"), 1);
    EXPECT_EQ(TScheduleDocument::PositionRowCount("X,,-3"), 1);
    EXPECT_EQ(TScheduleDocument::PositionRowCount("X,,99999999999"), 1);
    EXPECT_EQ(TScheduleDocument::PositionRowCount("X,,5000"), TScheduleDocument::MaxRowsPerPosition);
}

TEST(MultiRow, AddMultiRowKeepsEveryPositionText)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("B", 2), PositionEntry("C")});
    // Groups naming B, and one that does not.
    TCommaText withB;
    withB.Add(PositionEntry("B", 2));
    withB.Add(PositionEntry("C"));
    TCommaText withoutB;
    withoutB.Add(PositionEntry("A"));
    doc->FPositionGroup.Add(withB.AsString());
    doc->FPositionGroup.Add(withoutB.AsString());

    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 1);
    TNodeData* b = AddTask(*doc, "B", Day(2027, 3, 1), 1);
    TNodeData* b1 = AddTask(*doc, "B (1)", Day(2027, 3, 1), 1);
    TNodeData* c = AddTask(*doc, "C", Day(2027, 3, 1), 1);
    TNodeData* absent = AddAbsentDay(*doc, "C", Day(2027, 3, 2), 1);
    ASSERT_EQ(c->nodePosition, 3);
    doc->Forget();

    ASSERT_TRUE(doc->AddMultiRow(1, true));

    EXPECT_EQ(PositionList(*doc)->Get(1), PositionEntry("B", 3));
    EXPECT_EQ(PositionList(*doc)->Count(), 3);
    EXPECT_EQ(PositionsOf(*doc, {a, b, b1, c, absent}), (std::vector<String>{"A", "B", "B (1)", "C", "C"}));
    const std::vector<int> indexes = {a->nodePosition, b1->nodePosition, c->nodePosition, absent->nodePosition};
    EXPECT_EQ(indexes, (std::vector<int>{0, 2, 4, 4}));
    EXPECT_EQ(doc->GetPositionOf(c), 4) << "the shown rows follow the longer list";
    // Only the later rows went through the funnel (twice each, from either table).
    EXPECT_EQ(doc->Count("UndoSet " + IntToStr(doc->GetConnection(tbTable, cnPosition))), 4);
    EXPECT_EQ(CommaTextItem(doc->FPositionGroup.Get(1), 0), PositionEntry("B", 3));
    EXPECT_EQ(doc->FPositionGroup.Get(2), withoutB.AsString());

    // A task can go onto the new row.
    doc->SetPositionOf(b1, 3);
    EXPECT_EQ(doc->GetData_(b1, cnPosition), "B (2)");

    EXPECT_FALSE(doc->AddMultiRow(3, true));
    EXPECT_FALSE(doc->AddMultiRow(-1, true));
    PositionList(*doc)->Put(0, PositionEntry("A", TScheduleDocument::MaxRowsPerPosition));
    EXPECT_FALSE(doc->AddMultiRow(0, false)) << "a position at its most rows takes no more";
}

TEST(MultiRow, GroupsSelectTheShownRows)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("Bea Kern\nwelder", 3), PositionEntry("C")});
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(doc->isMultiRow(i), i == 2 || i == 3) << i;

    // Group 1: C and the multi-row position, in that order.
    TCommaText group;
    group.Add(PositionEntry("C"));
    group.Add(PositionEntry("Bea Kern\nwelder", 3));
    doc->FPositionGroup.Add(group.AsString());
    doc->GroupTab = 1;
    doc->ApplyPositionGroup();
    ICommaText shown = doc->Positiongroups(true, false);
    ASSERT_EQ(shown->Count(), 4);
    EXPECT_EQ(shown->Item(0, 0), "C");
    EXPECT_EQ(shown->Item(3, 0), "Bea Kern (2)");
    EXPECT_EQ(doc->Positiongroups(true, true)->Count(), 5) << "all positions whatever the tab";
    EXPECT_EQ(doc->FPositionInPositionGroup, (std::vector<int>{OutsideGroup, 1, 2, 3, 0}));
    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 1);
    TNodeData* extra = AddTask(*doc, "Bea Kern (2)", Day(2027, 3, 1), 1);
    EXPECT_EQ(doc->GetPositionOf(a), OutsideGroup);
    EXPECT_EQ(doc->GetPositionOf(extra), 3);

    // An empty group shows every position.
    doc->FPositionGroup.Add(String());
    doc->GroupTab = 2;
    doc->ApplyPositionGroup();
    EXPECT_EQ(doc->GetPositionOf(a), 0);
}

TEST(MultiRow, SpansAndPositionsInUse)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("B", 3), PositionEntry("C")});
    TNodeData* task = AddTask(*doc, "B (1)", Day(2027, 3, 1), 1);
    TNodeData* absentB = AddAbsentDay(*doc, "B (2)", Day(2027, 3, 1), 1);
    TNodeData* absentAll = AddAbsentDay(*doc, "*", Day(2027, 3, 1), 1);
    TNodeData* absentNone = AddAbsentDay(*doc, "Z", Day(2027, 3, 1), 1);
    EXPECT_EQ(doc->GetMultipleRowSpan(tbTable, task), (std::vector<int>{2}));
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, absentB), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, absentAll), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, absentNone), (std::vector<int>{-1}));
    EXPECT_TRUE(doc->GetMultipleRowSpan(tbTable, nullptr).empty());

    EXPECT_TRUE(doc->findNodeWithPosition(tbTable, "B (1)"));
    EXPECT_FALSE(doc->findNodeWithPosition(tbTable, "b (1)")) << "case matters";
    EXPECT_FALSE(doc->findNodeWithPosition(tbTable, "B (2)"));
    EXPECT_TRUE(doc->findNodeWithPosition(tbExclude, "B (2)"));
    EXPECT_FALSE(doc->findNodeWithPosition(tbExclude, "C"));
}

TEST(MultiRow, AbsentDaysMarkTheTasksTheyTouch)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A", 2), PositionEntry("B")});
    TNodeData* inside = AddTask(*doc, "A (1)", Day(2027, 3, 2), 1);
    TNodeData* covering = AddTask(*doc, "A", Day(2027, 3, 1), 5);
    TNodeData* endingOnIt = AddTask(*doc, "A", Day(2027, 2, 26), 2);  // Fri..Mon
    TNodeData* before = AddTask(*doc, "A", Day(2027, 2, 22), 1);
    TNodeData* star = AddTask(*doc, "*", Day(2027, 3, 2), 1);
    TNodeData* other = AddTask(*doc, "B", Day(2027, 3, 2), 1);
    // The end is written as Monday.
    doc->DoSetData(endingOnIt, doc->GetConnection(tbTable, cnEnd), doc->FormatDateTime(Day(2027, 3, 1)), cmIgnoreNet);
    TNodeData* absent = AddAbsentDay(*doc, "A", Day(2027, 3, 1), 2);
    // Settle every end, then change the absent day.
    doc->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { Row->RecalcEndOf = false; });
    absent->RecalcEndOf = false;
    doc->recalcoverlapping(absent);
    EXPECT_TRUE(inside->RecalcEndOf);
    EXPECT_TRUE(covering->RecalcEndOf);
    EXPECT_TRUE(endingOnIt->RecalcEndOf) << "bounds are inclusive";
    EXPECT_FALSE(before->RecalcEndOf);
    EXPECT_TRUE(star->RecalcEndOf);
    EXPECT_FALSE(other->RecalcEndOf);

    // Changing the absent day's drawing marks them too.
    doc->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { Row->RecalcEndOf = false; });
    doc->SetStartOf(absent, Day(2027, 3, 2));
    EXPECT_TRUE(inside->RecalcEndOf);
    EXPECT_FALSE(other->RecalcEndOf);
}
