// The document-change events without sockets: their streams, what Perform
// does with what arrives, the whole-document copy with row IDs, and the
// commands a connected client must not run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <set>

#include "network/EventStream.h"
#include "platform/DateUtils.h"
#include "tests/network/CollaborationTestSupport.h"

using namespace collab;

namespace {

using TEventPtr = std::unique_ptr<TTOOCSEvent, TObjectDeleter>;

TEventPtr RoundTrip(TTOOCSEvent& Event)
{
    TMemoryStream s;
    WriteEventComponent(Event, s);
    s.SetPosition(0);
    return TEventPtr(ReadEventComponent(s));
}

class VEKEvents : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartEventLoop(); }
    void SetUp() override
    {
        Peer = std::make_unique<TPeer>();
        for (int i = 0; i < 4; ++i)
            Peer->AddLocalTask("A", Date() + i, 1, "Task " + IntToStr(i + 1));
        Peer->Doc->UndoRedo().Clear();
    }
    std::unique_ptr<TPeer> Peer;
};

TEST_F(VEKEvents, EveryEventTravelsWithItsPropertiesInOrder)
{
    TNewNodeEvent added;
    added.SetTransaction(7);
    added.SetID(42);
    added.SetinitialStart(46000.5);
    added.SetinitialLength(960);
    added.SetinitialPos(2);
    added.SetTable(tbExclude);
    const TEventPropertyList& props = added.Properties();
    std::vector<String> names;
    for (int i = 0; i < props.Count(); ++i)
        names.push_back(props.Items(i).Name);
    EXPECT_EQ(names, (std::vector<String>{"Transaction", "ID", "initialStart", "initialLength", "initialPos", "Table"}));
    TEventPtr back = RoundTrip(added);
    auto* copy = dynamic_cast<TNewNodeEvent*>(back.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Transaction(), 7);
    EXPECT_EQ(copy->ID(), 42);
    EXPECT_DOUBLE_EQ(copy->initialStart(), 46000.5);
    EXPECT_EQ(copy->initialLength(), 960);
    EXPECT_EQ(copy->initialPos(), 2);
    EXPECT_EQ(copy->Table(), tbExclude);

    TSetNodeDataEvent set;
    set.SetID(3);
    set.SetColumn(4);
    set.SetData("Grüße, \"quoted\"\r\nline");
    back = RoundTrip(set);
    auto* setCopy = dynamic_cast<TSetNodeDataEvent*>(back.get());
    ASSERT_NE(setCopy, nullptr);
    EXPECT_EQ(setCopy->Column(), 4);
    EXPECT_EQ(setCopy->Data(), "Grüße, \"quoted\"\r\nline");

    TVEKGetTableEvent ask;
    back = RoundTrip(ask);
    EXPECT_NE(dynamic_cast<TVEKGetTableEvent*>(back.get()), nullptr);
    TDeleteNodeEvent gone;
    gone.SetID(9);
    back = RoundTrip(gone);
    ASSERT_NE(dynamic_cast<TDeleteNodeEvent*>(back.get()), nullptr);
    EXPECT_EQ(static_cast<TDeleteNodeEvent*>(back.get())->ID(), 9);
}

TEST_F(VEKEvents, RowEventsActOnTheRowOfTheirIDAndIgnoreWhatIsNotThere)
{
    TNetDocument& doc = *Peer->Doc;
    const int comment = Peer->Column(cnTextCenterMiddle);
    TSetNodeDataEvent set;
    set.SetDocument(&doc);
    // Only the low 32 bits name the row.
    set.SetID((Int64(5) << 32) | 3);
    set.SetColumn(comment);
    set.SetData("changed");
    EXPECT_EQ(set.RowID(), 3);
    set.Perform();
    EXPECT_EQ(Peer->Cell(3, cnTextCenterMiddle), "changed");
    EXPECT_EQ(Peer->Cell(2, cnTextCenterMiddle), "Task 2");

    const String before = DocumentText(doc);
    set.SetID(99);
    set.Perform();
    set.SetID(1);
    set.SetColumn(500);
    set.Perform();
    set.SetColumn(-1);
    set.Perform();
    TDeleteNodeEvent gone;
    gone.SetDocument(&doc);
    gone.SetID(77);
    gone.Perform();
    EXPECT_EQ(DocumentText(doc), before);
    TSetNodeDataEvent orphan;  // no document
    orphan.SetID(1);
    orphan.SetData("x");
    orphan.Perform();
    EXPECT_EQ(orphan.Node(), nullptr);

    gone.SetID(2);
    gone.Perform();
    EXPECT_EQ(Peer->Row(2), nullptr);

    TNewNodeEvent added;
    added.SetDocument(&doc);
    added.SetID(50);
    added.SetinitialStart(Date() + 3);
    added.SetinitialLength(480);
    added.SetinitialPos(-1);
    added.Perform();
    ASSERT_NE(Peer->Row(50), nullptr);
    EXPECT_EQ(Peer->Cell(50, cnStart), doc.FormatDateTime(Date() + 3));
    // A start that is no date is left out rather than written.
    for (double bad : {1e300, -1e300, std::nan("")}) {
        added.SetID(51);
        added.SetinitialStart(bad);
        added.Perform();
        ASSERT_NE(Peer->Row(51), nullptr);
        EXPECT_EQ(Peer->Cell(51, cnStart), "");
        doc.DeleteNode(Peer->Row(51), cmIgnoreNet);
    }
}

TEST_F(VEKEvents, TheWholeDocumentCarriesRowIDsThatTheFileAndUndoLeaveOut)
{
    TNetDocument& doc = *Peer->Doc;
    doc.DeleteNode(Peer->Row(2), cmIgnoreNet);
    doc.AddNode(1000, tbExclude, -1, 480, Date(), cmIgnoreNet);
    TEventPtr event(TUpdateTableEvent::CreateInitialized(doc));
    auto* update = static_cast<TUpdateTableEvent*>(event.get());
    const String lines = update->Storage()->Text();
    EXPECT_NE(lines.find("__id__=3"), String::npos);
    EXPECT_NE(lines.find("__id__=1000"), String::npos);
    EXPECT_EQ(lines.find("[VEK]"), String::npos) << "everything but the version section";
    EXPECT_NE(lines.find("[Setup]"), String::npos);

    TMemIniFile file;
    doc.SaveToIni(file, true);
    EXPECT_EQ(file.GetText().find("__id__"), String::npos);
    TMemIniFile snapshot;
    doc.SaveTable(tbTable, snapshot);
    EXPECT_EQ(snapshot.GetText().find("__id__"), String::npos);

    TPeer other({"Z"});
    other.AddLocalTask("Z", Date(), 1, "mine");
    TEventPtr back = RoundTrip(*update);
    auto* received = static_cast<TUpdateTableEvent*>(back.get());
    received->SetDocument(other.Doc);
    const int outsideBefore = other.Doc->AddsOutsideLoading;
    received->Perform();
    EXPECT_EQ(other.IDs(tbTable), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(other.IDs(tbExclude), (std::vector<int>{1000}));
    EXPECT_EQ(DocumentText(*other.Doc), DocumentText(doc));
    EXPECT_TRUE(other.Doc->FReceivedFromServer);
    EXPECT_FALSE(other.Doc->GetFileChanged());
    EXPECT_FALSE(other.Doc->IsLoading());
    EXPECT_FALSE(other.Doc->IsUpdating());
    EXPECT_FALSE(other.Doc->UndoRedo().GetCanUndo());
    EXPECT_EQ(other.Doc->AddsOutsideLoading, outsideBefore) << "every row of the load came in the loading state";
    EXPECT_EQ(other.Doc->AddsWhileLoading, 4);
}

TEST_F(VEKEvents, RowsWithoutAUsableIDTakeFreshOnes)
{
    TMemIniFile ini;
    Peer->Doc->SaveSetup(ini);
    ini.WriteInteger("tbTable", "ColCount", Peer->Doc->GetTableColCount(tbTable));
    ini.WriteInteger("tbTable", "RowCount", 5);
    const char* ids[] = {"7", "7", "not a number", "", "-4"};
    for (int i = 0; i < 5; ++i) {
        const String section = "tbTableItem" + IntToStr(i);
        ini.WriteString(section, IntToStr(Peer->Column(cnTextCenterMiddle)), "row " + IntToStr(i));
        if (*ids[i])
            ini.WriteString(section, "__id__", ids[i]);
    }
    TEventPtr event(new TUpdateTableEvent());
    auto* update = static_cast<TUpdateTableEvent*>(event.get());
    ini.GetStrings(*update->Storage());
    update->SetDocument(Peer->Doc);
    update->Perform();
    const std::vector<int> got = Peer->IDs();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], 7);
    std::set<int> distinct(got.begin(), got.end());
    EXPECT_EQ(distinct.size(), 5u);
    for (int id : got)
        EXPECT_GE(id, 0);
    EXPECT_EQ(Peer->Cell(7, cnTextCenterMiddle), "row 0");
}

TEST_F(VEKEvents, AConnectedClientRunsNoCommandThatAddsARowAndFillsIt)
{
    TNetDocument& doc = *Peer->Doc;
    doc.SelectOnly(Peer->Row(1));
    // Removed while working alone: its undo would add the row back.
    doc.FUndoRedoGroupIndex = -1;
    doc.DeleteNode(Peer->Row(4), cmDefault);
    ASSERT_TRUE(doc.UndoRedo().GetCanUndo());

    doc.PretendClient = true;
    EXPECT_FALSE(doc.ActionSplitUpdate());
    EXPECT_EQ(doc.CopyNode(), nullptr);
    EXPECT_FALSE(doc.CanMergeFiles());
    EXPECT_FALSE(doc.CanImportWorkbook());
    EXPECT_FALSE(doc.CanImportList());
    EXPECT_FALSE(doc.CanLoadChangeFiles());
    char diff[] = "/tmp/vek-diff-XXXXXX";
    const int fd = ::mkstemp(diff);
    ASSERT_GE(fd, 0);
    const String change = "<data><new><Comment>from a change file</Comment></new></data>";
    ASSERT_EQ(::write(fd, change.data(), change.size()), ssize_t(change.size()));
    ::close(fd);
    EXPECT_FALSE(doc.LoadDiff(diff));
    EXPECT_FALSE(doc.UndoRedo().GetCanUndo()) << "undoing the removal is blocked";
    doc.UndoRedo().Undo();
    EXPECT_EQ(doc.Sent, 0) << "no empty row went to the server";
    EXPECT_EQ(Peer->Row(4), nullptr);
    EXPECT_EQ(Peer->IDs().size(), 3u);

    // The step waits: alone again, it works.
    doc.PretendClient = false;
    EXPECT_TRUE(doc.UndoRedo().GetCanUndo());
    doc.UndoRedo().Undo();
    ASSERT_NE(Peer->Row(4), nullptr);
    EXPECT_EQ(Peer->Cell(4, cnTextCenterMiddle), "Task 4");
    EXPECT_TRUE(doc.LoadDiff(diff));
    EXPECT_EQ(Peer->Cell(Peer->IDs().back(), cnTextCenterMiddle), "from a change file");
    std::remove(diff);

    // A step of several entries is held whole: none of it runs, not even
    // the cell it could send.
    doc.FUndoRedoGroupIndex = doc.UndoRedo().GetGroupIndex();
    doc.SetData(Peer->Row(1), Peer->Column(cnTextCenterMiddle), "in the group");
    doc.DeleteNode(Peer->Row(3), cmDefault);
    doc.FUndoRedoGroupIndex = -1;
    doc.PretendClient = true;
    EXPECT_FALSE(doc.UndoRedo().GetCanUndo());
    doc.UndoRedo().Undo();
    EXPECT_EQ(doc.Sent, 0);
    doc.PretendClient = false;
    doc.UndoRedo().Undo();
    EXPECT_EQ(Peer->Cell(1, cnTextCenterMiddle), "Task 1");
    EXPECT_NE(Peer->RowWithComment("Task 3"), nullptr);

    // A whole-document step is blocked too, on the client only.
    doc.PushUndoSnapshot();
    doc.PretendClient = true;
    EXPECT_FALSE(doc.UndoRedo().GetCanUndo());
    doc.PretendClient = false;
    EXPECT_TRUE(doc.UndoRedo().GetCanUndo());
}

TEST(NetworkControls, FollowTheStateOfServerAndClient)
{
    const TNetworkControls alone = NetworkControls(false, false, true);
    EXPECT_TRUE(alone.SetupDialogs && alone.CopyTask && alone.New && alone.Open && alone.Revert && alone.Save &&
                alone.SaveAs && alone.RecentFiles && alone.ExcelImport && alone.SplitTask && alone.MergeFiles &&
                alone.ListImport && alone.ArchiveTable);
    EXPECT_FALSE(NetworkControls(false, false, false).Save) << "nothing to save";

    const TNetworkControls server = NetworkControls(true, false, true);
    EXPECT_FALSE(server.SetupDialogs);
    EXPECT_FALSE(server.CopyTask);
    EXPECT_TRUE(server.New && server.Open && server.Save && server.ExcelImport && server.SplitTask);

    const TNetworkControls client = NetworkControls(false, true, true);
    EXPECT_FALSE(client.SetupDialogs || client.CopyTask || client.New || client.Open || client.Revert ||
                 client.Save || client.SaveAs || client.RecentFiles || client.ExcelImport || client.SplitTask ||
                 client.MergeFiles || client.ListImport || client.ArchiveTable);
}

}  // namespace
