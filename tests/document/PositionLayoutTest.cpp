#include "document/WorkingTime.h"
#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

String Entry(const String& Name, const String& Week, int Rows)
{
    TCommaText e;
    e.Add(Name);
    e.Add(Week);
    e.Add(IntToStr(Rows));
    return e.AsString();
}

TStringList& Positions(TScheduleDocument& Doc) { return *Doc.GetHeader(tbTable, Doc.GetConnection(tbTable, cnPosition))->Strings; }

std::vector<String> Names(TScheduleDocument& Doc)
{
    std::vector<String> names;
    for (int i = 0; i < Positions(Doc).Count(); ++i)
        names.push_back(CommaTextItem(Positions(Doc).Get(i), 0));
    return names;
}

const String Week = WeekInfo2String(String2WeekInfo(""));

}  // namespace

// Renames, a swap of two names, a move, a deletion, an addition and a
// position losing a row, all in one go.
TEST(PositionLayout, EverythingFollowsItsPositionByOrigin)
{
    TDocumentPtr doc = MakeDocument({Entry("A", Week, 1), "B", Entry("Press", Week, 3), "C", "D"});
    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 1);
    TNodeData* b = AddTask(*doc, "B", Day(2027, 3, 1), 1);
    TNodeData* press = AddTask(*doc, "Press", Day(2027, 3, 1), 1);
    TNodeData* press1 = AddTask(*doc, "Press (1)", Day(2027, 3, 1), 1);
    TNodeData* press2 = AddTask(*doc, "Press (2)", Day(2027, 3, 1), 1);
    TNodeData* c = AddTask(*doc, "C", Day(2027, 3, 1), 1);
    TNodeData* d = AddTask(*doc, "D", Day(2027, 3, 1), 1);
    TNodeData* all = AddTask(*doc, "*", Day(2027, 3, 1), 1);
    TNodeData* ghost = AddTask(*doc, "Ghost", Day(2027, 3, 1), 1);
    TNodeData* absent = AddAbsentDay(*doc, "Press (2)", Day(2027, 3, 1), 1);
    TNodeData* absentB = AddAbsentDay(*doc, "B", Day(2027, 3, 1), 1);

    // Group 1 holds A as a whole entry, C by name only (an older week) and D.
    TCommaText group1;
    group1.Add("D");
    group1.Add(Entry("C", "stale", 1));
    group1.Add(Positions(*doc).Get(0));
    group1.Add("Nobody");
    doc->FPositionGroup.Add(group1.AsString());
    const int taskColumn = doc->GetConnection(tbTable, cnPosition);
    const int absentColumn = doc->GetConnection(tbExclude, cnPosition);
    TCommaText picked;
    for (const char* item : {"A", "D", "Press (2)", "Other"})
        picked.Add(item);
    doc->GetHeader(tbTable, taskColumn)->Filter = {ftList, fsEquals, picked.AsString(), ""};
    doc->FFilters.push_back({ftList, fsEquals, "B,C", "", tbExclude, "General View", doc->GetColumnCaption(tbExclude, absentColumn)});
    doc->FFilters.push_back({ftList, fsEquals, "A,B", "", tbTable, "General View", doc->GetColumnCaption(tbTable, 5)});

    TPositionLayout layout = doc->PositionLayoutOf(taskColumn);
    ASSERT_EQ(layout.Positions.size(), 5u);
    EXPECT_EQ(layout.Positions[2].RowCount, 3);
    const TPositionDescription oldA = layout.Positions[0], oldB = layout.Positions[1], oldPress = layout.Positions[2],
                               oldC = layout.Positions[3];
    layout.Positions = {oldC, oldB, oldPress, oldA, {"E", Week, 1, -1}};
    layout.Positions[0].Name = "B";  // old C and old B swap names
    layout.Positions[1].Name = "C";
    layout.Positions[2].Name = "Machine";
    layout.Positions[2].RowCount = 2;
    layout.Positions[3].Name = "Alpha";
    doc->ApplyPositionLayout(layout, taskColumn);

    EXPECT_EQ(Names(*doc), (std::vector<String>{"B", "C", "Machine", "Alpha", "E"}));
    EXPECT_EQ(Positions(*doc).Get(3), Entry("Alpha", Week, 1)) << "a changed entry keeps its other items";
    EXPECT_EQ(Positions(*doc).Get(1), "C");
    EXPECT_EQ(PositionsOf(*doc, {a, b, press, press1, press2, c, d, all, ghost}),
        (std::vector<String>{"Alpha", "C", "Machine", "Machine (1)", "Machine", "B", "D", "*", "Ghost"}));
    EXPECT_EQ(PositionsOf(*doc, {absent, absentB}), (std::vector<String>{"Machine", "C"}));
    // Expanded: B 0, C 1, Machine 2, Machine (1) 3, Alpha 4, E 5.
    EXPECT_EQ(a->nodePosition, 4);
    EXPECT_EQ(b->nodePosition, 1);
    EXPECT_EQ(c->nodePosition, 0);
    EXPECT_EQ(press1->nodePosition, 3);
    EXPECT_EQ(d->nodePosition, -1) << "a deleted position's rows keep their text, unknown now";

    TCommaText group(doc->FPositionGroup.Get(1));
    EXPECT_EQ(group.Count(), 3);
    EXPECT_EQ(group.Item(0), "B") << "old C, in the new order";
    EXPECT_EQ(group.Item(1), Entry("Alpha", Week, 1));
    EXPECT_EQ(group.Item(2), "Nobody");
    EXPECT_EQ(doc->FPositionGroup.Get(0), "");

    EXPECT_EQ(doc->GetHeader(tbTable, taskColumn)->Filter.Text1, "Alpha,Machine,Other");
    EXPECT_EQ(doc->FFilters[0].Text1, "C,B");
    EXPECT_EQ(doc->FFilters[1].Text1, "A,B") << "another column's list filter is no position list";

    // The saved file reads back the same.
    const String file = vektest::TempDir() + "/positions.vek";
    doc->SaveTo(file);
    TDocumentPtr again = MakeDocument();
    ASSERT_TRUE(again->Load(file));
    EXPECT_EQ(Names(*again), Names(*doc));
    EXPECT_EQ(TableCells(*again, tbTable), TableCells(*doc, tbTable));
    EXPECT_EQ(again->FPositionGroup.Get(1), doc->FPositionGroup.Get(1));
}

TEST(PositionLayout, RowsGoingUpAndDown)
{
    TDocumentPtr doc = MakeDocument({Entry("Press", Week, 2), "B"});
    TNodeData* p1 = AddTask(*doc, "Press (1)", Day(2027, 3, 1), 1);
    TNodeData* b = AddTask(*doc, "B", Day(2027, 3, 1), 1);
    TPositionLayout layout = doc->PositionLayoutOf(0);
    layout.Positions[0].RowCount = 4;
    doc->ApplyPositionLayout(layout, 0);
    TNodeData* p3 = AddTask(*doc, "Press (3)", Day(2027, 3, 1), 1);
    EXPECT_EQ(p3->nodePosition, 3);
    EXPECT_EQ(b->nodePosition, 4);

    layout.Positions[0].RowCount = 2;
    doc->ApplyPositionLayout(layout, 0);
    EXPECT_EQ(PositionsOf(*doc, {p1, p3, b}), (std::vector<String>{"Press (1)", "Press", "B"}));
    EXPECT_EQ(p3->nodePosition, 0);
    EXPECT_EQ(b->nodePosition, 2);
}

// Nothing edited changes no byte; and one Undo takes a whole apply back.
TEST(PositionLayout, UnchangedLayoutKeepsEveryByteAndUndoRestores)
{
    TDocumentPtr doc = MakeDocument({"\"A, first\"", "B,,", Entry("C", Week, 120)});
    AddTask(*doc, "A, first", Day(2027, 3, 1), 2);
    AddTask(*doc, "C (100)", Day(2027, 3, 2), 1);
    doc->FPositionGroup.Add("\"\"\"A, first\"\"\",B");
    doc->FKomprimiert = false;
    const std::string before = doc->DocumentBytes();

    doc->ApplyPositionLayout(doc->PositionLayoutOf(0), 0);
    EXPECT_EQ(doc->DocumentBytes(), before);

    doc->PushUndoSnapshot();
    TPositionLayout layout = doc->PositionLayoutOf(0);
    std::swap(layout.Positions[0], layout.Positions[2]);
    layout.Positions[1].Name = "Bee";
    layout.Positions.pop_back();
    layout.MinUnit = muMinute;
    doc->ApplyPositionLayout(layout, 0);
    ASSERT_NE(doc->DocumentBytes(), before);
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->DocumentBytes(), before);
}

TEST(PositionLayout, UnitChangesKeepWorkingLengthsAndStartDays)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* two = AddTask(*doc, "A", Day(2027, 3, 1), 2);
    TNodeData* absent = AddAbsentDay(*doc, "A", Day(2027, 3, 1), 3);
    const int length = doc->GetConnection(tbTable, cnLength);
    const int start = doc->GetConnection(tbTable, cnStart);

    TPositionLayout layout = doc->PositionLayoutOf(0);
    layout.MinUnit = muMinute;
    doc->ApplyPositionLayout(layout, 0);
    EXPECT_EQ(doc->FMinUnit, muMinute);
    EXPECT_EQ(doc->GetData(two, length), "16");
    EXPECT_EQ(two->nodeLength, 960);
    EXPECT_EQ(doc->GetData_(absent, cnLength), "3") << "absent days count days in either unit";

    TNodeData* brief = AddTask(*doc, "A", Day(2027, 3, 1), 1);
    doc->DoSetData(brief, length, "7,30", cmIgnoreNet);
    doc->DoSetData(brief, start, "02.03.2027 10:30", cmIgnoreNet);
    TNodeData* odd = AddTask(*doc, "A", Day(2027, 3, 1), 1);
    doc->DoSetData(odd, length, "some", cmIgnoreNet);
    layout.MinUnit = muDay;
    doc->ApplyPositionLayout(layout, 0);
    EXPECT_EQ(doc->FMinUnit, muDay);
    EXPECT_EQ(doc->GetData(two, length), "2");
    EXPECT_EQ(doc->GetData(brief, length), "1");
    EXPECT_EQ(doc->GetData(brief, start), "02.03.2027");
    EXPECT_EQ(brief->nodeStart, Day(2027, 3, 2));
    EXPECT_EQ(doc->GetData(odd, length), "some");
    EXPECT_EQ(doc->GetData(two, start), "01.03.2027");
}
