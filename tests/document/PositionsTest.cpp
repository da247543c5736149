#include "DocumentTestSupport.h"

namespace {

void SetPositions(TRecordingDocument& doc, const std::vector<String>& entries)
{
    TStringList* list = doc.GetColumnStrings(tbTable, 0);
    list->Clear();
    for (const String& e : entries)
        list->Add(e);
}

}  // namespace

TEST(Positions, MultiRowPositionsExpand)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("Anna Berg\nturner", 3), PositionEntry("C")});
    ICommaText all = doc->Positiongroups(true, true);
    ASSERT_EQ(all->Count(), 5);
    EXPECT_EQ(all->Item(1, 0), "Anna Berg\nturner");
    EXPECT_EQ(all->Item(2, 0), "Anna Berg (1)");
    EXPECT_EQ(all->Item(3, 0), "Anna Berg (2)");
    EXPECT_EQ(all->Item(3, 2), "3") << "copies keep the rest of the entry";
    EXPECT_EQ(all->Item(4, 0), "C");
    EXPECT_EQ(doc->Positiongroups(false, true)->Count(), 3);
    EXPECT_EQ(doc->FPositionsInHolidayGroup[3], (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc->FPositionsInHolidayGroup[4], (std::vector<int>{4}));
}

TEST(Positions, DataIndexAndShownRow)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("B", 2), PositionEntry("C")});
    TNodeData* c = AddTask(*doc, "C", Date(), 1);
    TNodeData* extra = AddTask(*doc, "B (1)", Date(), 1);
    TNodeData* star = AddTask(*doc, "*", Date(), 1);
    TNodeData* unknown = AddTask(*doc, "c", Date(), 1);
    EXPECT_EQ(doc->GetDataIndex(c, 0), 3);
    EXPECT_EQ(doc->GetDataIndex(extra, 0), 2);
    EXPECT_EQ(doc->GetDataIndex(star, 0), AllPositions);
    EXPECT_EQ(doc->GetDataIndex(unknown, 0), -1) << "exact comparison";
    EXPECT_EQ(doc->GetPositionOf(c), 3);
    EXPECT_EQ(doc->GetPositionOf(star), AllPositions);
    EXPECT_EQ(doc->GetPositionOf(unknown), -1);

    // Group 1 shows B's rows and C; A falls outside.
    doc->FPositionGroup.Add(String());
    TCommaText group;
    group.Add(PositionEntry("B", 2));
    group.Add(PositionEntry("C"));
    doc->FPositionGroup.Put(1, group.AsString());
    doc->GroupTab = 1;
    doc->ApplyPositionGroup();
    TNodeData* a = AddTask(*doc, "A", Date(), 1);
    doc->CheckAllValid();
    EXPECT_EQ(doc->GetPositionOf(a), OutsideGroup);
    EXPECT_EQ(doc->GetPositionOf(extra), 1);
    EXPECT_EQ(doc->GetPositionOf(c), 2);
    EXPECT_EQ(doc->GetDataIndex(c, 0), 3) << "the index is into the list of all positions";

    // A position index past the shown-row map, e.g. before the map is rebuilt.
    SetPositions(*doc, {PositionEntry("A"), PositionEntry("B", 2), PositionEntry("C"), PositionEntry("D")});
    TNodeData* d = AddTask(*doc, "D", Date(), 1);
    EXPECT_EQ(d->nodePosition, 4);
    EXPECT_EQ(doc->GetPositionOf(d), -1);
    EXPECT_EQ(doc->GetPositionOf(nullptr), -1);
}

TEST(Positions, PositionsAndIndexesAreWrittenByName)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A"), PositionEntry("B", 2)});
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    doc->SetPositionOf(row, 2);
    EXPECT_EQ(doc->GetData(row, 0), "B (1)");
    EXPECT_EQ(doc->GetPositionOf(row), 2);
    doc->SetPositionOf(row, 7);
    EXPECT_EQ(doc->GetData(row, 0), "") << "an index outside the group writes nothing";
    EXPECT_FALSE(row->nodeValid);

    // Without a group filter the index goes into the expanded list.
    doc->FGlobalPositionFilter->Clear();
    doc->SetPositionOf(row, 1);
    EXPECT_EQ(doc->GetData(row, 0), "B");
    doc->SetDataIndex(row, 0, 2);
    EXPECT_EQ(doc->GetData(row, 0), "B (1)");
    doc->SetDataIndex(row, 4, 9);
    EXPECT_EQ(doc->GetData(row, 4), "");
}

TEST(Positions, RowCountsFromFilesAreBounded)
{
    TDocumentPtr doc = MakeDocument({PositionEntry("A", 2000000000), PositionEntry("B", -4)});
    ICommaText all = doc->Positiongroups(true, true);
    EXPECT_EQ(all->Count(), TScheduleDocument::MaxRowsPerPosition + 1);
    EXPECT_EQ(all->Item(all->Count() - 1, 0), "B");
}

TEST(Positions, CacheFollowsChangesOfTheList)
{
    TDocumentPtr doc = MakeDocument({"A", "B"});
    TNodeData* row = AddTask(*doc, "B", Date(), 1);
    EXPECT_EQ(row->nodePosition, 1);
    TStringList* list = doc->GetColumnStrings(tbTable, 0);
    list->Insert(0, "Z");
    doc->CB_CheckValid(row);
    EXPECT_EQ(row->nodePosition, 2);
    list->Put(2, "Q");
    doc->CB_CheckValid(row);
    EXPECT_EQ(row->nodePosition, -1);
    // A rebound position column is another list.
    doc->GetHeader(tbTable, 5)->Strings->SetCommaText("B,Q");
    doc->SetConnection(tbTable, cnTextCenterMiddle, -1);
    doc->SetConnection(tbTable, cnPosition, 5);
    doc->SetData(row, 5, "Q");
    EXPECT_EQ(row->nodePosition, 1);
}
