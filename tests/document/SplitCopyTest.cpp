#include "DocumentTestSupport.h"
#include "platform/DateUtils.h"

namespace {

class TSplitDocument : public TRecordingDocument {
public:
    using TRecordingDocument::TRecordingDocument;
    bool Confirm = true;
    std::vector<String> Questions;
    std::vector<String> Notes;
    bool AskSplit(const String& Text) override
    {
        Questions.push_back(Text);
        return Confirm;
    }
    void ShowInformation(const String& Text) override { Notes.push_back(Text); }
    void RecordUndoSetData(TNodeData* Row, int Column) override { TScheduleDocument::RecordUndoSetData(Row, Column); }
    void RecordUndoAddNode(TNodeData* Row) override { TScheduleDocument::RecordUndoAddNode(Row); }
    void RecordUndoRemoveNode(TNodeData* Row) override { TScheduleDocument::RecordUndoRemoveNode(Row); }
};
using TSplitPtr = TOwnedDocument<TSplitDocument>;

TSplitPtr MakeSplitDocument(TMinUnit Unit = muDay)
{
    TSplitPtr doc = MakeDocumentOf<TSplitDocument>({"A", "B"});
    doc->FMinUnit = Unit;
    return doc;
}

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace

TEST(Split, DateAndRowOfAPoint)
{
    TSplitPtr doc = MakeSplitDocument();
    const TDateTime start = Day(2027, 3, 1);
    // Inside the third day of the chart.
    EXPECT_EQ(doc->SplitDateAt(start, 2 * 24 + 5, 24), start + 2);
    EXPECT_EQ(doc->SplitDateAt(start, 0, 24), start);
    // A width of 0 from a file counts as 1.
    EXPECT_EQ(doc->SplitDateAt(start, 3, 0), start + 3);
    EXPECT_EQ(doc->SplitDateAt(start, 3, -5), start + 3);
    EXPECT_EQ(TScheduleDocument::ShownRowAt(40, 25, 20), 3);
    EXPECT_EQ(TScheduleDocument::ShownRowAt(0, 7, 0), 7);

    doc->FMinUnit = muMinute;
    EXPECT_DOUBLE_EQ(doc->SplitDateAt(start, 30, 24), start + 1.25) << "a time of day in minute mode";
    doc->SetActivePageIndex(1);
    EXPECT_EQ(doc->SplitDateAt(start, 30, 24), start + 1) << "absent days split on whole days";
}

TEST(Split, DayModeMakesTwoCopiesUndoneAsOne)
{
    TSplitPtr doc = MakeSplitDocument();
    TNodeData* task = AddTask(*doc, "B", Day(2027, 3, 1), 5, 42);  // Mon..Fri
    doc->SetData_(task, cnTextCenterMiddle, "weld frame");
    doc->SelectOnly(task);
    ASSERT_TRUE(doc->ActionSplitUpdate());
    doc->UndoRedo().Clear();

    ASSERT_TRUE(doc->ActionSplitExecute(Day(2027, 3, 3), 1));

    EXPECT_EQ(doc->Questions, (std::vector<String>{"Split task at this position (03.03.2027)?"}));
    std::vector<TNodeData*> rows = TableRows(*doc, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    TNodeData* first = rows[0];
    TNodeData* second = rows[1];
    EXPECT_EQ(doc->GetData_(first, cnStart), "01.03.2027");
    EXPECT_EQ(doc->GetData_(first, cnLength), "2");
    EXPECT_EQ(doc->GetData_(second, cnStart), "03.03.2027");
    EXPECT_EQ(doc->GetData_(second, cnLength), "3") << "through the last day";
    EXPECT_EQ(doc->GetEndOf(first), Day(2027, 3, 2));
    EXPECT_EQ(doc->GetEndOf(second), Day(2027, 3, 5));
    for (TNodeData* row : rows) {
        EXPECT_EQ(doc->GetData_(row, cnPosition), "B");
        EXPECT_EQ(doc->GetData_(row, cnTextCenterMiddle), "weld frame");
        EXPECT_NE(row->ID, 42);
    }
    EXPECT_EQ(doc->FUndoRedoGroupIndex, -1);

    doc->UndoRedo().Undo();
    rows = TableRows(*doc, tbTable);
    ASSERT_EQ(rows.size(), 1u) << "one undo step";
    EXPECT_EQ(rows[0]->ID, 42);
    EXPECT_EQ(doc->GetData_(rows[0], cnStart), "01.03.2027");
    EXPECT_EQ(doc->GetData_(rows[0], cnLength), "5");
}

TEST(Split, MinuteModeSplitsTheWorkingTime)
{
    TSplitPtr doc = MakeSplitDocument(muMinute);
    TNodeData* task = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
    doc->SetData_(task, cnPosition, "A");
    doc->SetStartOf(task, Day(2027, 3, 2) + EncodeTime(8, 0, 0, 0));  // Tuesday
    doc->SetLengthOf(task, 6 * 60);
    const TDateTime ende = doc->GetEndOf(task);
    doc->SelectOnly(task);
    const TDateTime at = Day(2027, 3, 2) + EncodeTime(10, 0, 0, 0);

    ASSERT_TRUE(doc->ActionSplitExecute(at, 0));

    std::vector<TNodeData*> rows = TableRows(*doc, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(doc->GetData_(rows[0], cnStart), "02.03.2027 08:00");
    EXPECT_EQ(doc->GetData_(rows[1], cnStart), "02.03.2027 10:00");
    EXPECT_EQ(doc->GetEndOf(rows[0]), at) << "the first part ends where the second starts";
    EXPECT_NEAR(doc->GetEndOf(rows[1]), ende, 1e-6);
    EXPECT_EQ(doc->GetLengthOf(rows[0]) + doc->GetLengthOf(rows[1]), 6 * 60);
}

TEST(Split, RefusedOutsideTheTaskAndOnAClient)
{
    TSplitPtr doc = MakeSplitDocument();
    TNodeData* task = AddTask(*doc, "A", Day(2027, 3, 1), 3);  // Mon..Wed
    doc->SelectOnly(task);
    for (TDateTime at : {Day(2027, 3, 1), Day(2027, 2, 20), Day(2027, 3, 4), Day(2027, 3, 10)}) {
        EXPECT_FALSE(doc->ActionSplitExecute(at, 0)) << at;
        EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    }
    doc->Confirm = false;
    EXPECT_FALSE(doc->ActionSplitExecute(Day(2027, 3, 3), 0)) << "the question was declined";
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);

    doc->Client = true;
    doc->Forget();
    EXPECT_FALSE(doc->ActionSplitUpdate());
    doc->Confirm = true;
    EXPECT_FALSE(doc->ActionSplitExecute(Day(2027, 3, 2), 0));
    EXPECT_EQ(doc->CopyNode(), nullptr);
    for (const String& call : doc->Calls)
        EXPECT_NE(call.rfind("SendNew", 0), 0u) << "no empty row asked of the server";
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    doc->Client = false;

    // Overlaps to solve first, or no selected row: disabled.
    TNodeData* other = AddTask(*doc, "A", Day(2027, 3, 2), 1);
    doc->UpdateOverlappingProc();
    ASSERT_TRUE(doc->GetNodeIsOverlapping(other));
    EXPECT_FALSE(doc->ActionSplitUpdate());
    doc->ClearOverlapping();
    EXPECT_TRUE(doc->ActionSplitUpdate());
    doc->StringTreeGrid1->ClearSelection();
    EXPECT_FALSE(doc->ActionSplitUpdate());

    // The last day of a whole-day task may start the second part.
    doc->SelectOnly(task);
    ASSERT_TRUE(doc->ActionSplitExecute(Day(2027, 3, 3), 0));
    std::vector<TNodeData*> rows = TableRows(*doc, tbTable);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(doc->GetData_(rows[1], cnLength), "2");
    EXPECT_EQ(doc->GetData_(rows[2], cnLength), "1");
}

TEST(CopyNode, CopiesEveryCellButTheDates)
{
    TSplitPtr doc = MakeSplitDocument();
    EXPECT_EQ(doc->CopyNode(), nullptr);
    EXPECT_EQ(doc->Notes, (std::vector<String>{"A task must be selected to copy from."}));

    TNodeData* task = AddTask(*doc, "B", Day(2027, 3, 1), 4);
    const int columns = doc->GetTableColCount(tbTable);
    for (int c = 0; c < columns; ++c) {
        const TConnection role = doc->GetColumnConnection(tbTable, c);
        if (role == cnNone || role == cnTextCenterMiddle)
            doc->SetData(task, c, "cell " + IntToStr(c));
    }
    doc->SelectOnly(task);

    TNodeData* copy = doc->CopyNode();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->ID, task->ID);
    for (int c = 0; c < columns; ++c) {
        const TConnection role = doc->GetColumnConnection(tbTable, c);
        if (role == cnStart || role == cnEnd)
            EXPECT_EQ(doc->GetData(copy, c), "") << c;
        else
            EXPECT_EQ(doc->GetData(copy, c), doc->GetData(task, c)) << c;
    }
    EXPECT_TRUE(doc->StringTreeGrid1->Selected(copy->VNode));
    EXPECT_FALSE(doc->StringTreeGrid1->Selected(task->VNode));
    EXPECT_EQ(doc->StringTreeGrid1->FocusedNode(), copy->VNode);
}
