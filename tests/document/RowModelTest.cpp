#include <climits>

#include "DocumentTestSupport.h"
#include "document/Log.h"
#include "platform/Graphics.h"

namespace {

constexpr int PosCol = 0, StartCol = 1, EndCol = 2, LengthCol = 3, StateCol = 4, CommentCol = 5;

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace

// ---- the funnel ----------------------------------------------------------------

TEST(CellFunnel, StepsRunInOrderAndUndoSeesTheOldText)
{
    TDocumentPtr doc = MakeDocument();
    doc->Server = true;
    doc->ActiveControl = true;
    TNodeData* row = AddTask(*doc, "A", Date(), 2, 7);
    doc->Forget();
    const TDateTime before = row->LastChanged;

    doc->SetData(row, StartCol, doc->FormatDateTime(Date() + 1));

    const std::vector<String> expected = {"FileChanged", "BroadcastSet 1 " + doc->FormatDateTime(Date() + 1) + " 7",
        "UndoSet 1", "Invalidate", "Invalidate", "Bounds", "Overlapping", "Invalidate", "Center", "Editor"};
    EXPECT_EQ(doc->Calls, expected);
    ASSERT_EQ(doc->UndoOldTexts.size(), 1u);
    EXPECT_EQ(doc->UndoOldTexts[0], doc->FormatDateTime(Date()));
    EXPECT_EQ(doc->GetData(row, StartCol), doc->FormatDateTime(Date() + 1));
    EXPECT_GE(row->LastChanged, before);
    EXPECT_TRUE(row->RecalcEndOf);
    EXPECT_TRUE(row->RecalcBitmap);
    EXPECT_DOUBLE_EQ(row->nodeStart, Date() + 1);
    EXPECT_TRUE(doc->fDelayedUpdateBounds);
    EXPECT_TRUE(doc->OverlappingTimer->Enabled());
    EXPECT_TRUE(doc->GetFileChanged());
}

TEST(CellFunnel, RolesScheduleOnlyTheirOwnWork)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1);

    doc->Forget();
    doc->SetData(row, PosCol, "B");
    EXPECT_EQ(doc->Count("EmptyRows"), 1);
    EXPECT_EQ(doc->Count("Overlapping"), 1);
    EXPECT_EQ(doc->Count("Bounds"), 0);
    EXPECT_EQ(doc->Count("Center"), 0) << "no control has the focus";
    EXPECT_EQ(row->nodePosition, 1);

    doc->Forget();
    doc->SetDataIndex(row, StateCol, 2);
    EXPECT_EQ(doc->GetData(row, StateCol), "Zustand 3");
    EXPECT_EQ(doc->Count("Flash"), 1);
    EXPECT_EQ(doc->Count("Overlapping"), 0);
    EXPECT_EQ(row->nodeColor, 2);

    // A bar moved keeps its picture; it is stale once a text line shows
    // the start too.
    row->RecalcBitmap = false;
    doc->SetData(row, StartCol, doc->FormatDateTime(Date() + 3));
    EXPECT_FALSE(row->RecalcBitmap);
    doc->SetConnection(tbTable, cnTextLeftTop, StartCol);
    row->RecalcBitmap = false;
    doc->SetData(row, StartCol, doc->FormatDateTime(Date() + 4));
    EXPECT_TRUE(row->RecalcBitmap);
    doc->SetConnection(tbTable, cnTextLeftTop, -1);

    // A column without a role: stored, marked changed, no drawing work.
    doc->Forget();
    doc->SetConnection(tbTable, cnTextCenterMiddle, -1);
    doc->Forget();
    row->RecalcBitmap = false;
    doc->SetData(row, CommentCol, "note");
    EXPECT_EQ(doc->Calls, (std::vector<String>{"FileChanged", "UndoSet 5", "Editor"}));
    EXPECT_FALSE(row->RecalcBitmap);
}

TEST(CellFunnel, SameTextTwiceDoesNothingAtAll)
{
    TDocumentPtr doc = MakeDocument();
    doc->Server = true;
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    doc->SetData(row, CommentCol, "x");
    doc->Forget();
    const TDateTime stamp = row->LastChanged;
    doc->SetData(row, CommentCol, "x");
    doc->DoSetData(row, CommentCol, "x", cmFromServer);
    EXPECT_TRUE(doc->Calls.empty());
    EXPECT_EQ(row->LastChanged, stamp);
}

TEST(CellFunnel, ConnectedClientSendsAndChangesNothingLocally)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1, 42);
    doc->Client = true;
    doc->Forget();

    doc->SetData(row, CommentCol, "mine");
    EXPECT_EQ(doc->Calls, (std::vector<String>{"FileChanged", "SendSet 5 mine 42"}));
    EXPECT_EQ(doc->GetData(row, CommentCol), "");

    // The server's echo is applied and not sent again.
    doc->Forget();
    doc->DoSetData(row, CommentCol, "mine", cmFromServer);
    EXPECT_EQ(doc->GetData(row, CommentCol), "mine");
    EXPECT_EQ(doc->IndexOf("SendSet 5 mine 42"), -1);
    EXPECT_EQ(doc->Count("UndoSet 5"), 1) << "undo records in every mode";
}

TEST(CellFunnel, ServerBroadcastsAllButIgnoredChanges)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1, 3);
    doc->Server = true;
    doc->Forget();
    doc->DoSetData(row, CommentCol, "a", cmIgnoreNet);
    EXPECT_EQ(doc->Count("BroadcastSet 5 a 3"), 0);
    doc->DoSetData(row, CommentCol, "b", cmFromServer);
    EXPECT_EQ(doc->Count("BroadcastSet 5 b 3"), 1);
    doc->DoSetData(row, CommentCol, "c", cmDefault);
    EXPECT_EQ(doc->Count("BroadcastSet 5 c 3"), 1);
}

TEST(CellFunnel, EndColumnIsNeitherMarkedSentNorRecorded)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1, 9);
    doc->SetFileChanged(false);
    doc->Client = true;
    doc->Forget();
    const String end = doc->FormatDateTime(Date() + 3);
    doc->SetData(row, EndCol, end);
    EXPECT_EQ(doc->GetData(row, EndCol), end) << "a client computes its ends itself";
    EXPECT_EQ(doc->Count("FileChanged"), 0);
    EXPECT_EQ(doc->Count("SendSet 2 " + end + " 9"), 0);
    EXPECT_EQ(doc->Count("UndoSet 2"), 0);
    EXPECT_FALSE(doc->GetFileChanged());
    EXPECT_TRUE(row->RecalcStartOf);
    EXPECT_DOUBLE_EQ(row->nodeEnd, Date() + 3);

    doc->Client = false;
    doc->Server = true;
    doc->Forget();
    const String later = doc->FormatDateTime(Date() + 4);
    doc->SetData(row, EndCol, later);
    EXPECT_EQ(doc->Count("BroadcastSet 2 " + later + " 9"), 1);
}

TEST(CellFunnel, WritesOutsideTheRowAreDropped)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    doc->Forget();
    doc->SetData(nullptr, 0, "x");
    doc->SetData(row, -1, "x");
    doc->SetData(row, 6, "x");
    doc->SetData(row, 1000, "x");
    EXPECT_TRUE(doc->Calls.empty());
    EXPECT_EQ(row->StringList->Count(), 6);
    EXPECT_EQ(doc->GetData(row, 6), "");
    EXPECT_EQ(doc->GetData(row, -1), "");
}

// ---- validity, lengths, dates ------------------------------------------------------

TEST(RowValidity, NewDocumentMeasuresAgainstToday)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 3);
    EXPECT_TRUE(row->nodeValid) << "valid before any bounds update";
    TNodeData* far = AddTask(*doc, "A", Date() + 7400, 1);
    EXPECT_FALSE(far->nodeValid);
    TNodeData* all = AddTask(*doc, "*", Date(), 1);
    EXPECT_TRUE(all->nodeValid);
    EXPECT_EQ(all->nodePosition, AllPositions);
    EXPECT_EQ(doc->GetPositionOf(all), AllPositions);
}

TEST(RowValidity, LengthsInBothUnits)
{
    TDocumentPtr doc = MakeDocument();
    EXPECT_EQ(doc->calcNodeLength(tbTable, "2"), 960);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "x"), 0);
    doc->FMinUnit = muMinute;
    EXPECT_EQ(doc->calcNodeLength(tbTable, "7"), 420);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "7,30"), 450);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "x,30"), 30);
    EXPECT_EQ(doc->calcNodeLength(tbExclude, "2"), 960) << "absent days count whole days";

    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    doc->SetLengthOf(row, 450);
    EXPECT_EQ(doc->GetData(row, LengthCol), "7,30");
    EXPECT_EQ(doc->GetLengthOf(row), 450);
    doc->SetLengthOf(row, 420);
    EXPECT_EQ(doc->GetData(row, LengthCol), "7");
    doc->FMinUnit = muDay;
    doc->SetLengthOf(row, 1000);
    EXPECT_EQ(doc->GetData(row, LengthCol), "2");
}

TEST(RowValidity, ZeroAndOverlongLengthsMakeTheRowInvalid)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    ASSERT_TRUE(row->nodeValid);
    doc->SetData(row, LengthCol, "0");
    EXPECT_FALSE(row->nodeValid);

    // 4473924 days still fit in 32 bits of minutes; one more does not.
    doc->SetData(row, LengthCol, "4473924");
    EXPECT_TRUE(row->nodeValid);
    EXPECT_EQ(row->nodeLength, 4473924 * 480);
    doc->SetData(row, LengthCol, "4473925");
    EXPECT_EQ(doc->calcNodeLength(tbTable, "4473925"), Int64(4473925) * 480);
    EXPECT_FALSE(row->nodeValid);
    EXPECT_EQ(doc->GetLengthOf(row), 0);

    doc->FMinUnit = muMinute;
    doc->SetData(row, LengthCol, "35791394,8");  // 2147483648 minutes
    EXPECT_FALSE(row->nodeValid);
    doc->SetData(row, LengthCol, "35791394,7");
    EXPECT_TRUE(row->nodeValid);
}

TEST(RowValidity, DatesFollowTheUnit)
{
    TDocumentPtr doc = MakeDocument();
    const TDateTime noon = Day(2024, 3, 5) + 0.5;
    EXPECT_EQ(doc->FormatDateTime(noon), "05.03.2024");
    EXPECT_DOUBLE_EQ(doc->StrToDateTime("05.03.2024"), Day(2024, 3, 5));
    EXPECT_EQ(doc->StrToDateTime("nonsense"), 0);
    doc->FMinUnit = muMinute;
    EXPECT_EQ(doc->FormatDateTime(noon), "05.03.2024 12:00");
    EXPECT_EQ(doc->FormatDateTime(Day(2024, 3, 5)), "05.03.2024");
    EXPECT_NEAR(doc->StrToDateTime("05.03.2024 12:00"), noon, 1e-9);

    // Absent days start on whole days.
    doc->FDefaultHolidayReason = "Sick";
    TNodeData* absent = doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, noon, cmIgnoreNet);
    EXPECT_EQ(doc->GetData(absent, 1), "05.03.2024");
}

TEST(RowValidity, DueDateNeedsItsColumnAndAUsableDate)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    EXPECT_EQ(doc->GetTerminOf(row), 0);
    doc->SetConnection(tbTable, cnTermin, CommentCol);
    doc->SetTerminOf(row, Date() + 2);
    EXPECT_DOUBLE_EQ(doc->GetTerminOf(row), Date() + 2);
    doc->SetData(row, CommentCol, doc->FormatDateTime(Date() + 9000));
    EXPECT_EQ(doc->GetTerminOf(row), 0) << "outside the accepted range";
}

TEST(RowValidity, EndsToRecomputeAreWrittenBack)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Day(2024, 1, 8), 3);
    doc->SetStartOf(row, Day(2024, 1, 10));
    ASSERT_TRUE(row->RecalcEndOf);
    EXPECT_DOUBLE_EQ(doc->GetEndOf(row), Day(2024, 1, 12));
    EXPECT_EQ(doc->GetData(row, EndCol), "12.01.2024");
    EXPECT_FALSE(row->RecalcEndOf);
}

// ---- rows -------------------------------------------------------------------------------

TEST(Rows, AddNodeFillsTheRecordAndTellsTheNetwork)
{
    TDocumentPtr doc = MakeDocument();
    doc->Server = true;
    TNodeData* row = doc->AddNode(17, tbTable, 1, 960, Day(2024, 5, 6), cmDefault);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(doc->Calls.front(), "BroadcastNew 0 17");
    EXPECT_EQ(doc->Calls[doc->Calls.size() - 2], "UndoAdd 17");
    EXPECT_EQ(doc->Calls.back(), "StatusBar");
    EXPECT_EQ(row->ID, 17);
    EXPECT_EQ(row->NodeTable, tbTable);
    EXPECT_EQ(row->VNodeTable, doc->StringTreeGrid1);
    EXPECT_EQ(doc->NodeToRow(doc->StringTreeGrid1, row->VNode), row);
    EXPECT_TRUE(row->VNode->States.Contains(vsInitialized));
    ASSERT_NE(row->Bitmap, nullptr);
    EXPECT_EQ(row->Bitmap->PixelFormat(), pf32bit);
    EXPECT_EQ(row->StringList->Count(), 6);
    EXPECT_EQ(doc->GetData(row, StateCol), "Zustand 1");
    EXPECT_EQ(doc->GetData(row, StartCol), "06.05.2024");
    EXPECT_EQ(doc->GetData(row, LengthCol), "2");
    EXPECT_EQ(doc->GetData(row, PosCol), "B");
    EXPECT_EQ(doc->StringTreeGrid1->Text(row->VNode, PosCol), "B") << "the tree shows the cells";

    doc->Forget();
    doc->AddNode(18, tbTable, -1, -1, -1, cmIgnoreNet);
    EXPECT_EQ(doc->Count("BroadcastNew 0 18"), 0);
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
}

TEST(Rows, AddNodeOnAClientOnlyAsksTheServer)
{
    TDocumentPtr doc = MakeDocument();
    doc->Client = true;
    EXPECT_EQ(doc->AddNode(5, tbTable, 2, 480, Date(), cmDefault), nullptr);
    EXPECT_EQ(doc->Calls, (std::vector<String>{"SendNew 0 2 480 0"}));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_NE(doc->AddNode(5, tbTable, 2, 480, Date(), cmFromServer), nullptr);
}

TEST(Rows, AbsentDaysGetTheDefaults)
{
    TDocumentPtr doc = MakeDocument();
    doc->FDefaultHolidayReason = "Holiday";
    doc->FDefaultCalcWorkdays = true;
    TNodeData* a = doc->AddNode(1, tbExclude, -1, -1, -1, cmIgnoreNet);
    EXPECT_EQ(doc->GetData(a, 5), "Holiday");
    EXPECT_EQ(doc->GetData(a, 4), "Ja");
    EXPECT_EQ(doc->Count("FileChanged"), 0) << "defaults bypass the funnel";
    doc->FDefaultCalcWorkdays = false;
    TNodeData* b = doc->AddNode(2, tbExclude, -1, -1, -1, cmIgnoreNet);
    EXPECT_EQ(doc->GetData(b, 4), "Nein");
}

TEST(Rows, DeleteNodeByModeAndItsEvents)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1, 11);
    TNodeData* other = AddTask(*doc, "B", Date(), 1, 12);
    doc->AddOverlapping(row);
    doc->AddOverlapping(other);

    doc->Client = true;
    doc->Forget();
    doc->DeleteNode(row, cmDefault);
    EXPECT_EQ(doc->Calls, (std::vector<String>{"SendDelete 11"}));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);

    doc->Client = false;
    doc->Server = true;
    doc->Forget();
    doc->DeleteNode(row, cmFromServer);
    const std::vector<String> expected = {"BroadcastDelete 11", "UndoRemove 11 A", "Invalidate", "Overlapping",
        "FileChanged"};
    EXPECT_EQ(doc->Calls, expected);
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 1);
    TNodeData* found = nullptr;
    TWhichTable table = tbExclude;
    EXPECT_FALSE(doc->FindNodeAndTable(11, found, table));
    EXPECT_EQ(doc->FOverlappingNodes.Count(), 1) << "a freed row leaves the overlap list";
    EXPECT_TRUE(doc->FindNodeAndTable(12, found, table));
    EXPECT_EQ(found, other);
    EXPECT_EQ(table, tbTable);

    doc->Forget();
    doc->DeleteNode(other, cmIgnoreNet);
    EXPECT_EQ(doc->Count("BroadcastDelete 12"), 0);
}

TEST(Rows, IDsStayFreeAndFindable)
{
    TDocumentPtr doc = MakeDocument();
    doc->AddNode(6, tbTable, -1, -1, -1, cmIgnoreNet);
    doc->AddNode(7, tbExclude, -1, -1, -1, cmIgnoreNet);
    doc->FLastFreeID = 5;
    EXPECT_EQ(doc->GetFreeID(), 8);
    EXPECT_EQ(doc->FLastFreeID, 8);

    doc->AddNode(INT_MAX, tbTable, -1, -1, -1, cmIgnoreNet);
    doc->AddNode(0, tbTable, -1, -1, -1, cmIgnoreNet);
    doc->FLastFreeID = INT_MAX - 1;
    EXPECT_EQ(doc->GetFreeID(), 1) << "wraps past the largest ID and skips 0";

    TNodeData* row = nullptr;
    TWhichTable table = tbTable;
    ASSERT_TRUE(doc->FindNodeAndTable(7, row, table));
    EXPECT_EQ(table, tbExclude);

    // Nodes deleted by the tree itself and cleared tables leave the index too.
    doc->StringTreeGrid2->DeleteNode(row->VNode);
    EXPECT_FALSE(doc->FindNodeAndTable(7, row, table));
    doc->FLastFreeID = 5;
    EXPECT_EQ(doc->GetFreeID(), 7);
    doc->ClearTable(tbTable);
    doc->FLastFreeID = 5;
    EXPECT_EQ(doc->GetFreeID(), 6);
}

TEST(Rows, RecordsOfNodesNobodyInitialisedAreFreed)
{
    // Rows freed by clearing, by deleting through the tree and with the
    // document: the sanitizer build reports any string list or bitmap left.
    TDocumentPtr doc = MakeDocument();
    for (int i = 0; i < 20; ++i)
        AddTask(*doc, "A", Date(), 1);
    doc->StringTreeGrid1->DeleteNode(doc->StringTreeGrid1->GetFirstNoInit());
    doc->StringTreeGrid1->Clear();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    for (int i = 0; i < 5; ++i)
        AddTask(*doc, "B", Date(), 1);
    // A node the tree made without AddNode has no record and is left alone.
    TGridNode* bare = doc->StringTreeGrid1->AddChild(nullptr);
    EXPECT_EQ(doc->NodeToRow(doc->StringTreeGrid1, bare), nullptr);
    int visited = 0;
    doc->ForEach(feAll, 0, [&](TNodeData*, NativeInt) { ++visited; });
    EXPECT_EQ(visited, 5);
}

TEST(ForEach, CallbackMayDeleteItsRowAndExceptionsAreLogged)
{
    TDocumentPtr doc = MakeDocument();
    for (int i = 0; i < 4; ++i)
        AddTask(*doc, "A", Date(), 1);
    doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);

    std::vector<String> log;
    TLogSink old = SetLogSink([&](const String& line) { log.push_back(line); });
    int calls = 0;
    doc->ForEach(feAll, cmIgnoreNet, [&](TNodeData* row, NativeInt mode) {
        ++calls;
        doc->CB_DeleteNode(row, mode);
        if (calls == 2)
            throw EConvertError("boom");
    });
    SetLogSink(old);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_EQ(doc->GetTableRowCount(tbExclude), 0);
    EXPECT_EQ(log, (std::vector<String>{"Exception: boom"}));
}

TEST(ForEach, WhichRowsQualify)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* a = AddTask(*doc, "A", Date(), 1);
    TNodeData* star = AddTask(*doc, "*", Date(), 1);
    TNodeData* unknown = AddTask(*doc, "nowhere", Date(), 1);
    TNodeData* b = AddTask(*doc, "B", Date(), 1);
    doc->StringTreeGrid1->SetSelected(b->VNode, true);
    doc->StringTreeGrid1->SetVisible(a->VNode, false);
    doc->AddOverlapping(unknown);
    unknown->reference = star->VNode;

    auto collect = [&](TForEachType which) {
        std::vector<TNodeData*> rows;
        doc->ForEach(tbTable, which, 0, [&](TNodeData* r, NativeInt) { rows.push_back(r); });
        return rows;
    };
    EXPECT_EQ(collect(feAll), (std::vector<TNodeData*>{a, star, unknown, b}));
    EXPECT_EQ(collect(feGroupAll), (std::vector<TNodeData*>{a, b}));
    EXPECT_EQ(collect(feGroupFiltered), (std::vector<TNodeData*>{b}));
    EXPECT_EQ(collect(feOverlapping), (std::vector<TNodeData*>{unknown}));
    EXPECT_EQ(collect(feSelected), (std::vector<TNodeData*>{b}));
    EXPECT_EQ(collect(feFiltered), (std::vector<TNodeData*>{unknown}));
}

TEST(ForEach, CheckAllValidRechecksEveryRow)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 1);
    TNodeData* absent = doc->AddNode(doc->GetFreeID(), tbExclude, 0, 480, Date(), cmIgnoreNet);
    row->nodeValid = false;
    absent->nodePosition = 99;
    doc->Forget();
    doc->CheckAllValid();
    EXPECT_TRUE(row->nodeValid);
    EXPECT_EQ(absent->nodePosition, 0);
    EXPECT_EQ(doc->Calls.back(), "TimeChart");
}
