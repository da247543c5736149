#include <algorithm>

#include "DocumentTestSupport.h"
#include "platform/DateUtils.h"

namespace {

// A document whose view options and questions the test sets, with real
// undo recording.
class TOverlapDocument : public TRecordingDocument {
public:
    using TRecordingDocument::TRecordingDocument;
    bool AutoArrange = false;
    bool HideEmpty = false;
    bool HideEmptyMulti = false;
    std::vector<TOverlapAnswer> Answers;  // given in turn; Cancel when used up
    std::vector<String> Questions;
    std::vector<String> Notes;

    bool GetAutoArrange() const override { return AutoArrange; }
    bool HideEmptyPositions() const override { return HideEmpty; }
    bool HideEmptyMultiRowPositions() const override { return HideEmptyMulti; }
    void SetHideEmptyPositions(bool Value) override { HideEmpty = Value; }
    void SetHideEmptyMultiRowPositions(bool Value) override { HideEmptyMulti = Value; }
    TOverlapAnswer AskAddRow(const String& Text) override
    {
        Questions.push_back(Text);
        if (Questions.size() > Answers.size())
            return oaCancel;
        return Answers[Questions.size() - 1];
    }
    void ShowInformation(const String& Text) override { Notes.push_back(Text); }
    void RecordUndoSetData(TNodeData* Row, int Column) override { TScheduleDocument::RecordUndoSetData(Row, Column); }
    void RecordUndoAddNode(TNodeData* Row) override { TScheduleDocument::RecordUndoAddNode(Row); }
    void RecordUndoRemoveNode(TNodeData* Row) override { TScheduleDocument::RecordUndoRemoveNode(Row); }
};
using TOverlapPtr = TOwnedDocument<TOverlapDocument>;

TOverlapPtr MakeOverlapDocument(const std::vector<String>& Positions, TMinUnit Unit = muDay)
{
    TOverlapPtr doc = MakeDocumentOf<TOverlapDocument>(Positions);
    doc->FMinUnit = Unit;
    doc->Forget();
    return doc;
}

// A minute-mode task with an explicit end.
TNodeData* AddTimed(TScheduleDocument& Doc, const String& Position, TDateTime Start, int Minutes, TDateTime Ende)
{
    TNodeData* row = Doc.AddNode(Doc.GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbTable, cnPosition), Position, cmIgnoreNet);
    Doc.DoSetStartOf(row, cmIgnoreNet, Start);
    Doc.DoSetLengthOf(row, Minutes, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbTable, cnEnd), Doc.FormatDateTime(Ende), cmIgnoreNet);
    return row;
}

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }
TDateTime At(int y, int m, int d, int h, int n) { return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0); }

bool Listed(TScheduleDocument& Doc, TNodeData* Row) { return Doc.GetNodeIsOverlapping(Row); }
// Which of the rows are listed as overlapping, as a string of 1 and 0.
String Listed(TScheduleDocument& Doc, const std::vector<TNodeData*>& Rows)
{
    String flags;
    for (TNodeData* row : Rows)
        flags += Listed(Doc, row) ? '1' : '0';
    return flags;
}

// The cell texts of every row of both tables, in a fixed order.
std::vector<std::vector<String>> Cells(TScheduleDocument& Doc)
{
    std::vector<std::vector<String>> all;
    Doc.ForEach(feAll, 0, [&](TNodeData* Row, NativeInt) {
        std::vector<String> cells{IntToStr(int(Row->NodeTable))};
        for (int i = 0; i < Row->StringList->Count(); ++i)
            cells.push_back(Row->StringList->Get(i));
        all.push_back(cells);
    });
    std::sort(all.begin(), all.end());
    return all;
}

String Start(TScheduleDocument& Doc, TNodeData* Row) { return Doc.GetData_(Row, cnStart); }
std::vector<String> Starts(TScheduleDocument& Doc, const std::vector<TNodeData*>& Rows)
{
    std::vector<String> starts;
    for (TNodeData* row : Rows)
        starts.push_back(Start(Doc, row));
    return starts;
}
using TTexts = std::vector<String>;

}  // namespace

// ---- detection ----------------------------------------------------------------

TEST(OverlapDetection, DayModeTouchingDaysOverlap)
{
    TOverlapPtr doc = MakeOverlapDocument({"A", "B", "C"});
    // A: Mon..Wed and one starting on Wednesday.
    TNodeData* a1 = AddTask(*doc, "A", Day(2027, 3, 1), 3);
    TNodeData* a2 = AddTask(*doc, "A", Day(2027, 3, 3), 1);
    // B: Mon..Wed and one starting Thursday.
    TNodeData* b1 = AddTask(*doc, "B", Day(2027, 3, 1), 3);
    TNodeData* b2 = AddTask(*doc, "B", Day(2027, 3, 4), 1);
    // C: a long task; the short one inside it does not end the reference,
    // so a third one after the short one still overlaps the long one.
    TNodeData* c1 = AddTask(*doc, "C", Day(2027, 3, 1), 5);
    TNodeData* c2 = AddTask(*doc, "C", Day(2027, 3, 2), 1);
    TNodeData* c3 = AddTask(*doc, "C", Day(2027, 3, 4), 1);
    doc->UpdateOverlappingProc();

    EXPECT_EQ(Listed(*doc, {a1, a2, b1, b2, c1, c2, c3}), "1100111");
    EXPECT_TRUE(doc->ActionSolveOverlappingUpdate());

    // Moving the second task on A one day later ends that overlap.
    doc->SetStartOf(a2, Day(2027, 3, 4));
    doc->DoSetData(a2, doc->GetConnection(tbTable, cnEnd), doc->FormatDateTime(Day(2027, 3, 4)), cmIgnoreNet);
    doc->UpdateOverlappingProc();
    EXPECT_EQ(Listed(*doc, {a1, a2, c1}), "001");
}

TEST(OverlapDetection, ClearingATableForgetsOnlyItsOwnRows)
{
    TOverlapPtr doc = MakeOverlapDocument({"A", "B"});
    TNodeData* a1 = AddTask(*doc, "A", Day(2027, 3, 1), 3);
    TNodeData* a2 = AddTask(*doc, "A", Day(2027, 3, 2), 3);
    TNodeData* absent = doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
    doc->UpdateOverlappingProc();
    doc->AddOverlapping(absent);
    doc->FIgnoreOverlappingNodes.Add(absent);
    doc->FIgnoreOverlappingNodes.Add(a2);

    doc->StringTreeGrid2->Clear();
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 2);
    EXPECT_EQ(Listed(*doc, {a1, a2}), "11");
    EXPECT_EQ(doc->FIgnoreOverlappingNodes.Count(), 1);
    EXPECT_EQ(doc->FIgnoreOverlappingNodes.Items(0), a2);

    doc->StringTreeGrid1->Clear();
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
    EXPECT_EQ(doc->FIgnoreOverlappingNodes.Count(), 0);
}

TEST(OverlapDetection, MinuteModeTouchingTimesDoNotOverlap)
{
    TOverlapPtr doc = MakeOverlapDocument({"A", "B"}, muMinute);
    TNodeData* first = AddTimed(*doc, "A", At(2027, 3, 1, 8, 0), 60, At(2027, 3, 1, 8, 45));
    TNodeData* touching = AddTimed(*doc, "A", At(2027, 3, 1, 8, 45), 60, At(2027, 3, 1, 9, 45));
    TNodeData* b1 = AddTimed(*doc, "B", At(2027, 3, 1, 8, 0), 60, At(2027, 3, 1, 9, 0));
    TNodeData* b2 = AddTimed(*doc, "B", At(2027, 3, 1, 8, 59), 60, At(2027, 3, 1, 10, 0));
    doc->UpdateOverlappingProc();
    // b2 starts one minute into b1's time.
    EXPECT_EQ(Listed(*doc, {first, touching, b1, b2}), "0011");
}

TEST(OverlapDetection, UnplacedRowsAndIgnoredRows)
{
    TOverlapPtr doc = MakeOverlapDocument({"A", "B", "C"});
    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 3);
    TNodeData* star1 = AddTask(*doc, "*", Day(2027, 3, 1), 3);
    TNodeData* star2 = AddTask(*doc, "*", Day(2027, 3, 1), 3);
    TNodeData* none1 = AddTask(*doc, "", Day(2027, 3, 1), 3);
    TNodeData* none2 = AddTask(*doc, "Z", Day(2027, 3, 1), 3);
    doc->UpdateOverlappingProc();
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
    EXPECT_EQ(Listed(*doc, {a, star1, star2, none1, none2}), "00000");
    EXPECT_FALSE(doc->ActionSolveOverlappingUpdate());

    // An ignored row is left out; its partner is still listed.
    TNodeData* b1 = AddTask(*doc, "B", Day(2027, 3, 1), 3);
    TNodeData* b2 = AddTask(*doc, "B", Day(2027, 3, 2), 3);
    doc->FIgnoreOverlappingNodes.Add(b2);
    doc->UpdateOverlappingProc();
    EXPECT_EQ(Listed(*doc, {b1, b2}), "10");

    // Rows of a position outside the current group are not scanned.
    doc->FPositionGroup.Add(PositionEntry("A"));
    doc->GroupTab = 1;
    doc->ApplyPositionGroup();
    doc->CheckAllValid();
    doc->UpdateOverlappingProc();
    EXPECT_FALSE(Listed(*doc, b1));
}

TEST(OverlapDetection, InvalidTasksAreNeverListedOrMoved)
{
    TOverlapPtr doc = MakeOverlapDocument({"A"});
    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 3);
    TNodeData* noEnd = AddTask(*doc, "A", Day(2027, 3, 2), 2);
    doc->DoSetData(noEnd, doc->GetConnection(tbTable, cnEnd), "", cmIgnoreNet);
    noEnd->RecalcEndOf = false;  // stays without an end
    TNodeData* badLength = AddTask(*doc, "A", Day(2027, 3, 2), 2);
    doc->DoSetData(badLength, doc->GetConnection(tbTable, cnLength), "zwei", cmIgnoreNet);
    TNodeData* d = AddTask(*doc, "A", Day(2027, 3, 2), 2);
    ASSERT_FALSE(noEnd->nodeValid || badLength->nodeValid);
    doc->UpdateOverlappingProc();
    EXPECT_EQ(Listed(*doc, {a, noEnd, badLength, d}), "1001");

    doc->ActionSolveOverlappingExecute();
    EXPECT_EQ(Starts(*doc, {noEnd, badLength}), (TTexts{"02.03.2027", "02.03.2027"}));
    EXPECT_EQ(Start(*doc, d), "04.03.2027") << "the valid one moved behind the first";
    EXPECT_EQ(Listed(*doc, {a, noEnd, badLength, d}), "0000");
}

TEST(OverlapDetection, NoSolverOnNetworkPeersOrWithoutOverlaps)
{
    TOverlapPtr doc = MakeOverlapDocument({"A"});
    doc->AutoArrange = true;
    AddTask(*doc, "A", Day(2027, 3, 1), 1);
    doc->UndoRedo().Clear();
    doc->UpdateOverlappingProc();
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo()) << "nothing to solve records no undo step";

    TNodeData* a = AddTask(*doc, "A", Day(2027, 3, 1), 2);
    doc->UndoRedo().Clear();
    doc->Server = true;
    doc->UpdateOverlappingProc();
    EXPECT_TRUE(Listed(*doc, a));
    EXPECT_FALSE(doc->ActionSolveOverlappingUpdate());
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo()) << "an active server does not solve";
    doc->Server = false;
    doc->Client = true;
    EXPECT_FALSE(doc->ActionSolveOverlappingUpdate());
}

// ---- the solver ------------------------------------------------------------------

TEST(OverlapSolver, MovesLaterTasksBehindAndOneUndoRevertsIt)
{
    TOverlapPtr doc = MakeOverlapDocument({"A", "B"});
    TNodeData* a1 = AddTask(*doc, "A", Day(2027, 3, 1), 2);  // Mon..Tue
    TNodeData* a2 = AddTask(*doc, "A", Day(2027, 3, 2), 1);  // Tue
    TNodeData* a3 = AddTask(*doc, "A", Day(2027, 3, 3), 1);  // Wed: pushed by a2
    TNodeData* a4 = AddTask(*doc, "A", Day(2027, 3, 9), 1);  // later, with a gap
    TNodeData* b1 = AddTask(*doc, "B", Day(2027, 3, 1), 1);
    TNodeData* b2 = AddTask(*doc, "B", Day(2027, 3, 1), 1);
    doc->UpdateOverlappingProc();
    const auto before = Cells(*doc);
    doc->UndoRedo().Clear();

    doc->ActionSolveOverlappingExecute();

    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
    // a4 overlaps nothing and stays.
    EXPECT_EQ(Starts(*doc, {a1, a2, a3, a4}), (TTexts{"01.03.2027", "03.03.2027", "04.03.2027", "09.03.2027"}));
    const String bStarts = Start(*doc, b1) + "/" + Start(*doc, b2);
    EXPECT_TRUE(bStarts == "01.03.2027/02.03.2027" || bStarts == "02.03.2027/01.03.2027") << bStarts;
    ASSERT_EQ(doc->UndoRedo().UndoList().size(), 1u) << "the whole run is one undo step";
    EXPECT_TRUE(doc->UndoRedo().DoesAcceptUndo());

    doc->UndoRedo().Undo();
    EXPECT_EQ(Cells(*doc), before);
}

TEST(OverlapSolver, MinuteModeEndsFollowTheWorkingDay)
{
    TOverlapPtr doc = MakeOverlapDocument({"A"}, muMinute);
    // 08:00 + 60 working minutes: the 09:00 break follows, so the next task
    // may start at 09:00.
    TNodeData* first = AddTimed(*doc, "A", At(2027, 3, 1, 8, 0), 60, At(2027, 3, 1, 9, 0));
    TNodeData* second = AddTimed(*doc, "A", At(2027, 3, 1, 8, 30), 30, At(2027, 3, 1, 9, 0));
    doc->UpdateOverlappingProc();
    ASSERT_TRUE(Listed(*doc, second));
    doc->ActionSolveOverlappingExecute();
    EXPECT_EQ(Start(*doc, first), "01.03.2027 08:00");
    EXPECT_EQ(Start(*doc, second), doc->FormatDateTime(doc->GetEndOf(first)));
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
}

TEST(OverlapSolver, StopsWhenAMoveChangesNothing)
{
    TOverlapPtr doc = MakeOverlapDocument({"A"}, muMinute);
    TNodeData* first = AddTimed(*doc, "A", At(2027, 3, 1, 8, 0), 60, At(2027, 3, 1, 9, 0));
    TNodeData* second = AddTimed(*doc, "A", At(2027, 3, 1, 9, 0), 60, At(2027, 3, 1, 10, 0));
    // An end half a minute past the start of the next task: the start the
    // solver writes rounds back to 09:00, so the overlap cannot go away.
    doc->DoSetData(first, doc->GetConnection(tbTable, cnEnd), "01.03.2027 09:00:30", cmIgnoreNet);
    first->RecalcEndOf = false;
    doc->UpdateOverlappingProc();
    ASSERT_TRUE(Listed(*doc, second));

    doc->ActionSolveOverlappingExecute();  // must return
    EXPECT_EQ(Start(*doc, second), "01.03.2027 09:00");
    EXPECT_TRUE(Listed(*doc, second));
    EXPECT_FALSE(doc->FSolvingOverlaps);
    EXPECT_TRUE(doc->UndoRedo().DoesAcceptUndo());
}

TEST(OverlapSolver, AutoArrangePacksOnlyFutureTasks)
{
    for (const bool arrange : {false, true}) {
        TOverlapPtr doc = MakeOverlapDocument({"A"});
        TNodeData* p1 = AddTask(*doc, "A", Day(2025, 3, 3), 2);   // past, Mon..Tue
        TNodeData* p2 = AddTask(*doc, "A", Day(2025, 3, 4), 1);   // past, overlaps p1
        TNodeData* p3 = AddTask(*doc, "A", Day(2025, 3, 12), 1);  // past, with a gap
        TNodeData* f1 = AddTask(*doc, "A", Day(2027, 3, 3), 1);   // future, with a gap
        TNodeData* f2 = AddTask(*doc, "A", Day(2027, 3, 8), 1);   // future, with a gap
        doc->AutoArrange = arrange;
        doc->UndoRedo().Clear();
        doc->UpdateOverlappingProc();  // runs the solver when arranging
        if (!arrange)
            doc->ActionSolveOverlappingExecute();
        // A past task moves only to resolve an overlap.
        EXPECT_EQ(Starts(*doc, {p1, p2, p3}), (TTexts{"03.03.2025", "05.03.2025", "12.03.2025"}));
        EXPECT_EQ(Starts(*doc, {f1, f2}), arrange ? (TTexts{"13.03.2025", "14.03.2025"})
                                                  : (TTexts{"03.03.2027", "08.03.2027"}));
        EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
        EXPECT_EQ(doc->UndoRedo().UndoList().size(), 1u);
    }
}

// ---- the single-row solver -----------------------------------------------------------

TEST(OverlapSingleSolver, MovesTasksBetweenRowsOfTheirPosition)
{
    // A = 0, B = 1, B (1) = 2, B (2) = 3, C = 4, D = 5, D (1) = 6, D (2) = 7
    TOverlapPtr doc = MakeOverlapDocument(
        {PositionEntry("A"), PositionEntry("B", 3), PositionEntry("C"), PositionEntry("D", 3)});
    doc->HideEmpty = true;
    // Down: B (1) to B (2), whose task comes later.
    TNodeData* t1 = AddTask(*doc, "B (1)", Day(2027, 3, 1), 2);
    TNodeData* t2 = AddTask(*doc, "B (1)", Day(2027, 3, 2), 2);
    TNodeData* t3 = AddTask(*doc, "B (2)", Day(2027, 3, 4), 1);
    // Up: D (2) to D (1), but never onto D itself.
    TNodeData* u1 = AddTask(*doc, "D (2)", Day(2027, 3, 1), 2);
    TNodeData* u2 = AddTask(*doc, "D (2)", Day(2027, 3, 2), 1);
    TNodeData* d = AddTask(*doc, "D", Day(2027, 3, 8), 1);
    doc->UpdateOverlappingProc();
    ASSERT_EQ(doc->FOverlappingNodes.Count(), 4);
    doc->UndoRedo().Clear();

    doc->ActionSolveOverlappingSingleExecute();

    EXPECT_TRUE(doc->Questions.empty());
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
    EXPECT_EQ(PositionsOf(*doc, {t1, t2, t3, u1, u2, d}), (TTexts{"B (2)", "B (1)", "B (2)", "D (1)", "D (2)", "D"}));
    EXPECT_EQ(Start(*doc, t1), "01.03.2027") << "tasks change rows, not dates";
    EXPECT_EQ(Start(*doc, u2), "02.03.2027");
    EXPECT_TRUE(doc->HideEmpty) << "the view options come back";
    EXPECT_EQ(doc->FIgnoreOverlappingNodes.Count(), 0);
    EXPECT_EQ(doc->UndoRedo().UndoList().size(), 1u);
}

TEST(OverlapSingleSolver, AddsRowsAfterTheQuestion)
{
    TOverlapPtr doc = MakeOverlapDocument({PositionEntry("A"), PositionEntry("Anna Berg"), PositionEntry("C")});
    TNodeData* t1 = AddTask(*doc, "Anna Berg", Day(2027, 3, 1), 2);
    TNodeData* t2 = AddTask(*doc, "Anna Berg", Day(2027, 3, 2), 2);
    TNodeData* t3 = AddTask(*doc, "Anna Berg", Day(2027, 3, 3), 1);
    TNodeData* c = AddTask(*doc, "C", Day(2027, 3, 1), 1);
    doc->UpdateOverlappingProc();
    const auto before = Cells(*doc);
    doc->UndoRedo().Clear();
    doc->Answers = {TScheduleDocument::oaYesToAll};

    doc->ActionSolveOverlappingSingleExecute();

    ASSERT_EQ(doc->Questions.size(), 1u) << "Yes to All asks once";
    EXPECT_EQ(doc->Questions[0], "Need to add a Row to \"Anna Berg\". Proceed?");
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 0);
    TStringList* list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    EXPECT_EQ(CommaTextItem(list->Get(1), 2), "3");
    EXPECT_EQ(PositionsOf(*doc, {t1, t2, t3, c}),
        (TTexts{"Anna Berg (1)", "Anna Berg (2)", "Anna Berg", "C"}));
    EXPECT_EQ(c->nodePosition, 4);

    // One undo step takes back the rows and the added position rows.
    ASSERT_EQ(doc->UndoRedo().UndoList().size(), 1u);
    doc->UndoRedo().Undo();
    EXPECT_EQ(Cells(*doc), before);
    list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    EXPECT_EQ(doc->PositionRowCount(list->Get(1)), 1);
}

TEST(OverlapSingleSolver, CancelRevertsEverythingAndIgnoreKeepsTheTask)
{
    TOverlapPtr doc = MakeOverlapDocument({PositionEntry("A"), PositionEntry("B", 2)});
    doc->HideEmptyMulti = true;
    AddTask(*doc, "A", Day(2027, 3, 1), 2);
    AddTask(*doc, "A", Day(2027, 3, 2), 2);
    AddTask(*doc, "A", Day(2027, 3, 3), 1);
    AddTask(*doc, "B", Day(2027, 3, 1), 2);
    AddTask(*doc, "B (1)", Day(2027, 3, 1), 2);
    doc->UpdateOverlappingProc();
    const auto before = Cells(*doc);
    doc->UndoRedo().Clear();
    doc->Answers = {TScheduleDocument::oaYes, TScheduleDocument::oaCancel};

    doc->ActionSolveOverlappingSingleExecute();

    EXPECT_EQ(doc->Questions.size(), 2u);
    EXPECT_EQ(Cells(*doc), before) << "the rows added before Cancel are gone too";
    TStringList* list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    EXPECT_EQ(list->Get(0), PositionEntry("A"));
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo()) << "Cancel leaves no undo step";
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
    EXPECT_TRUE(doc->UndoRedo().DoesAcceptUndo());
    EXPECT_TRUE(doc->HideEmptyMulti);

    // Ignore: the task goes back home and is listed again afterwards.
    doc->UpdateOverlappingProc();
    doc->Questions.clear();
    doc->Answers = {TScheduleDocument::oaIgnore, TScheduleDocument::oaIgnore, TScheduleDocument::oaIgnore};
    doc->ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(doc->Questions.size(), 3u) << "an ignored task's partner is still asked about";
    EXPECT_EQ(Cells(*doc), before);
    EXPECT_EQ(doc->FIgnoreOverlappingNodes.Count(), 0);
    doc->UpdateOverlappingProc();
    EXPECT_GT(doc->FOverlappingNodes.Count(), 0);
}

TEST(OverlapSingleSolver, TheQuestionNamesThePosition)
{
    TOverlapPtr doc = MakeOverlapDocument({PositionEntry("A"), PositionEntry("Anna Berg\nturner")});
    AddTask(*doc, "Anna Berg\nturner", Day(2027, 3, 1), 2);
    AddTask(*doc, "Anna Berg\nturner", Day(2027, 3, 2), 2);
    doc->UpdateOverlappingProc();
    doc->Answers = {TScheduleDocument::oaIgnore, TScheduleDocument::oaIgnore};
    doc->ActionSolveOverlappingSingleExecute();
    ASSERT_EQ(doc->Questions.size(), 2u);
    EXPECT_EQ(doc->Questions[0], "Need to add a Row to \"Anna Berg\". Proceed?");
}

TEST(OverlapSingleSolver, OnlyFromTheSummaryTab)
{
    TOverlapPtr doc = MakeOverlapDocument({"A"});
    AddTask(*doc, "A", Day(2027, 3, 1), 2);
    AddTask(*doc, "A", Day(2027, 3, 2), 2);
    doc->UpdateOverlappingProc();
    doc->FPositionGroup.Add(PositionEntry("A"));
    doc->GroupTab = 1;
    doc->UndoRedo().Clear();
    doc->ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(doc->Notes, (std::vector<String>{"Please call this function from Summary view."}));
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
}
