#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "document/SideFolder.h"
#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

namespace {

String TempFolder() { return vektest::TempDir() + "/"; }

bool Exists(const String& Name) { return ::access(Name.c_str(), F_OK) == 0; }

// A plan whose questions run the change-file poll, as the timer of a real
// window does inside a modal question, and whose status bar is counted.
class TQuestionDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    TOverlapAnswer Answer = oaCancel;
    bool ClearTables = true;
    String Workbook;
    int StatusBarUpdates = 0;
    // What the change file had done by the time the question was answered.
    std::vector<String> SeenDuringQuestion;
    std::function<String()> Probe;

    void Ticks()
    {
        for (int i = 0; i < 3; ++i)
            PushedFilesTimerTimer(nullptr);
        if (Probe)
            SeenDuringQuestion.push_back(Probe());
    }
    TOverlapAnswer AskAddRow(const String&) override
    {
        Ticks();
        return Answer;
    }
    bool AskYesNo(const String&) override
    {
        Ticks();
        return ClearTables;
    }
    bool ExecuteWorkbookOpenDialog(const String&, String& Name) override
    {
        Name = Workbook;
        return true;
    }
    // As the window's: a whole walk over the rows, left out inside a bracket.
    void UpdateStatusBar() override
    {
        if (!IsUpdating())
            ++StatusBarUpdates;
    }
};

// A saved plan with tasks 1 and 2, named "one" and "two"; its change files
// are looked at every 20 ms.
using TPlanPtr = TOwnedDocument<TScheduleDocument>;

template <class T = TScheduleDocument>
TOwnedDocument<T> SavedPlan(const String& FileName)
{
    EnsureApplication();
    TOwnedDocument<T> doc = NewBareDocument<T>();
    doc->ActionNew();
    doc->SetColumnCaption(tbTable, 0, "Name");
    doc->FPushedFilesInterval = 20;
    doc->FPushedFileRetries = 3;
    doc->DoSetData(doc->AddNode(1, tbTable, -1, -1, -1, cmIgnoreNet), 0, "one", cmIgnoreNet);
    doc->DoSetData(doc->AddNode(2, tbTable, -1, -1, -1, cmIgnoreNet), 0, "two", cmIgnoreNet);
    EXPECT_TRUE(doc->Save(FileName));
    EXPECT_FALSE(doc->GetPushDirectory().empty());
    return doc;
}

String NameOf(TScheduleDocument& Doc, int ID)
{
    TNodeData* row = nullptr;
    TWhichTable table = tbTable;
    return Doc.FindNodeAndTable(ID, row, table) ? Doc.GetData(row, 0) : String("<none>");
}

bool WaitApplied(TScheduleDocument& Doc, std::size_t Count)
{
    return ProcessEventsUntil([&] { return Doc.FPushedFiles.size() >= Count; }, 5000);
}

// Gives the file a modification time of its own, Seconds after a fixed one.
void SetModified(const String& Name, int Seconds)
{
    const timespec times[2] = {{1700000000 + Seconds, 0}, {1700000000 + Seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Name.c_str(), times, 0), 0);
}

}  // namespace

TEST(ChangeFiles, ChangesNewRowsDeletesAndUnknownIDs)
{
    const String folder = TempFolder();
    TPlanPtr doc = SavedPlan(folder + "plan.vek");
    const String push = doc->GetPushDirectory();
    WriteBytes(push + "a.diff",
               "<?xml version=\"1.0\"?><data><change id=\"1\"><Name>Tom &amp; Jerry</Name><Nope>x</Nope></change>"
               "<change id=\"99\"><Name>lost</Name></change><new id=\"2\"><Name>fresh</Name></new>"
               "<new id=\"40\"><Name>forty</Name></new><delete id=\"2\"/><delete/><delete id=\"77\"/></data>");
    ASSERT_TRUE(WaitApplied(*doc, 1));
    EXPECT_EQ(NameOf(*doc, 1), "Tom & Jerry");
    EXPECT_EQ(NameOf(*doc, 2), "<none>") << "task 2 was deleted";
    EXPECT_EQ(NameOf(*doc, 40), "forty");
    EXPECT_EQ(NameOf(*doc, 99), "<none>");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3) << "the taken ID 2 got a fresh ID";
    EXPECT_TRUE(doc->GetFileChanged());

    // One undo step reverts the whole file.
    doc->UndoRedo().Undo();
    EXPECT_EQ(NameOf(*doc, 1), "one");
    EXPECT_EQ(NameOf(*doc, 2), "two");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);

    ASSERT_TRUE(Exists(push + "a.diff"));
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_FALSE(Exists(push + "a.diff")) << "a save removes the applied files";
    EXPECT_TRUE(doc->FPushedFiles.empty());
}

TEST(ChangeFiles, EncodingsAndTwoFilesInArrivalOrder)
{
    const String folder = TempFolder();
    TPlanPtr doc = SavedPlan(folder + "plan.vek");
    const String push = doc->GetPushDirectory();
    doc->StopPushedFilesTimer();
    WriteBytes(push + "z.diff", "<data><change id=\"1\"><Name>caf\xC3\xA9</Name></change></data>");
    WriteBytes(push + "a.diff", "<data><change id=\"1\"><Name>na\xEFve</Name></change>"
                                "<change id=\"2\"><Name>\xE4</Name></change></data>");
    SetModified(push + "z.diff", 0);
    SetModified(push + "a.diff", 1);
    doc->PushedFilesTimer->SetEnabled(true);
    ASSERT_TRUE(WaitApplied(*doc, 2));
    ASSERT_EQ(doc->FPushedFiles.size(), 2u);
    EXPECT_EQ(doc->FPushedFiles[0], push + "z.diff");
    EXPECT_EQ(NameOf(*doc, 1), "na\xC3\xAFve") << "the later file wins";
    EXPECT_EQ(NameOf(*doc, 2), "\xC3\xA4");
}

TEST(ChangeFiles, GrowingAndBrokenFilesWait)
{
    const String folder = TempFolder();
    TPlanPtr doc = SavedPlan(folder + "plan.vek");
    const String push = doc->GetPushDirectory();
    doc->FPushedFileRetries = 1000;
    WriteBytes(push + "grow.diff", "<data><change id=\"1\"><Name>half");
    WriteBytes(push + "junk.diff", std::string("\x00\xFF<<>\x01</x>", 10));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !doc->FPendingPushedFiles.empty(); }, 3000));
    ProcessEventsUntil([] { return false; }, 150);
    EXPECT_EQ(NameOf(*doc, 1), "one") << "an unfinished file is not applied";
    {
        std::ofstream(push + "grow.diff", std::ios::app) << " done</Name></change></data>";
    }
    ASSERT_TRUE(WaitApplied(*doc, 1));
    EXPECT_EQ(NameOf(*doc, 1), "half done");
    doc->FPushedFileRetries = 3;
    ASSERT_TRUE(ProcessEventsUntil([&] { return doc->FPendingPushedFiles.empty(); }, 3000));
    EXPECT_EQ(doc->FPushedFiles.size(), 1u) << "junk is given up, not applied";
    EXPECT_TRUE(Exists(push + "junk.diff"));
    EXPECT_TRUE(doc->PushedFilesTimer->Enabled()) << "the folder is still watched";
}

TEST(ChangeFiles, OnlyTheLockHolderAppliesThem)
{
    const String folder = TempFolder();
    TPlanPtr owner = SavedPlan(folder + "plan.vek");
    owner->StopPushedFilesTimer();
    TDocumentPtr other = MakeDocument();
    other->FPushedFilesInterval = 20;
    other->SetCurrentFile(folder + "plan.vek");
    EXPECT_TRUE(other->FCurrentFile.empty());
    ASSERT_TRUE(other->Load(folder + "plan.vek"));
    WriteBytes(owner->GetPushDirectory() + "a.diff", "<data><change id=\"1\"><Name>x</Name></change></data>");
    other->OnFileCreate(owner->GetPushDirectory() + "a.diff");
    ProcessEventsUntil([] { return false; }, 150);
    EXPECT_EQ(NameOf(*other, 1), "one");
    EXPECT_TRUE(other->FPendingPushedFiles.empty());
    EXPECT_EQ(other->PushedFilesTimer, nullptr);
    TStringList none;
    TScheduleDocument::ListFileDir("", "*", none);
    EXPECT_EQ(none.Count(), 0) << "an empty folder never lists the working directory";
}

TEST(ChangeFiles, NoneIsAppliedWhileTheOverlapSolverAsks)
{
    const String folder = TempFolder();
    auto doc = SavedPlan<TQuestionDocument>(folder + "plan.vek");
    doc->StopPushedFilesTimer();
    // Two tasks on one single-row position: the solver must ask.
    TStringList* positions = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    positions->Clear();
    positions->Add("A");
    doc->ApplyPositionGroup();
    AddTask(*doc, "A", EncodeDate(2027, 3, 1), 2, 10);
    AddTask(*doc, "A", EncodeDate(2027, 3, 2), 2, 11);
    doc->UpdateOverlappingProc();
    ASSERT_TRUE(doc->ActionSolveOverlappingUpdate()) << doc->FOverlappingNodes.Count();
    doc->UndoRedo().Clear();
    WriteBytes(doc->GetPushDirectory() + "a.diff",
               "<data><change id=\"1\"><Name>changed</Name></change><new><Name>made</Name></new></data>");
    doc->Probe = [&] { return NameOf(*doc, 1); };

    for (auto answer : {TScheduleDocument::oaCancel, TScheduleDocument::oaIgnore}) {
        doc->Answer = answer;
        doc->SeenDuringQuestion.clear();
        doc->UpdateOverlappingProc();
        doc->ActionSolveOverlappingSingleExecute();
        ASSERT_FALSE(doc->SeenDuringQuestion.empty());
        EXPECT_EQ(doc->SeenDuringQuestion[0], "one") << "the file waits for the answer";
        EXPECT_EQ(NameOf(*doc, 1), "one");
        EXPECT_EQ(doc->GetTableRowCount(tbTable), 4);
    }
    // Once the command is over, the next ticks apply it, as a step of its own.
    doc->Ticks();
    EXPECT_EQ(NameOf(*doc, 1), "changed");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 5);
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_FALSE(Exists(doc->GetPushDirectory() + "a.diff"));
    auto saved = NewBareDocument<TScheduleDocument>();
    ASSERT_TRUE(saved->Load(folder + "plan.vek"));
    EXPECT_EQ(NameOf(*saved, 1), "changed") << "the saved plan has what the deleted file held";
}

TEST(ChangeFiles, NoneJoinsTheUndoStepOfAnImport)
{
    const String folder = TempFolder();
    auto doc = SavedPlan<TQuestionDocument>(folder + "plan.vek");
    doc->StopPushedFilesTimer();
    doc->UndoRedo().Clear();
    TWorkbookFile book;
    book.Add();
    book.SetName(1, "VEK Table");
    book.Activate(1);
    for (int c = 0; c < doc->GetTableColCount(tbTable); ++c)
        book.SetCell(1, c + 1, doc->GetColumnCaption(tbTable, c));
    for (int r = 2; r <= 4; ++r)
        book.SetCell(r, 6, "imported " + IntToStr(r));
    doc->Workbook = folder + "book.xlsx";
    book.SaveAs(doc->Workbook);
    WriteBytes(doc->GetPushDirectory() + "a.diff", "<data><new><Name>x</Name></new><new><Name>y</Name></new></data>");
    doc->Probe = [&] { return IntToStr(doc->GetTableRowCount(tbTable)); };

    doc->ExcelImport1Click();
    ASSERT_EQ(doc->SeenDuringQuestion, std::vector<String>{"2"});
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3) << "cleared, then three rows in";
    EXPECT_EQ(doc->FUndoRedoGroupIndex, -1);
    doc->Ticks();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 5);

    // Two steps: the change file, then the whole import.
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3);
    doc->UndoRedo().Undo();
    EXPECT_EQ(NameOf(*doc, 1), "one");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
}

TEST(ChangeFiles, OneFileIsOneBracketAndKeepsTheCallersGroup)
{
    const String folder = TempFolder();
    auto doc = SavedPlan<TQuestionDocument>(folder + "plan.vek");
    doc->StopPushedFilesTimer();
    std::string rows = "<data>";
    for (int i = 0; i < 200; ++i)
        rows += "<new><Name>row " + std::to_string(i) + "</Name></new>";
    rows += "</data>";
    WriteBytes(folder + "many.diff", rows);
    doc->StatusBarUpdates = 0;
    doc->FUndoRedoGroupIndex = 7;
    ASSERT_TRUE(doc->LoadDiff(folder + "many.diff"));
    EXPECT_EQ(doc->FUndoRedoGroupIndex, 7) << "the group it found";
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 202);
    EXPECT_LE(doc->StatusBarUpdates, 1) << "the window is refreshed once, not per row";
    doc->FUndoRedoGroupIndex = -1;
}

TEST(ChangeFiles, AFileRewrittenAfterItWasAppliedSurvivesTheSave)
{
    const String folder = TempFolder();
    TPlanPtr doc = SavedPlan(folder + "plan.vek");
    doc->StopPushedFilesTimer();
    const String file = doc->GetPushDirectory() + "a.diff";
    WriteBytes(file, "<data><change id=\"1\"><Name>first</Name></change></data>");
    SetModified(file, 0);
    for (int i = 0; i < 3; ++i)
        doc->PushedFilesTimerTimer(nullptr);
    ASSERT_EQ(NameOf(*doc, 1), "first");
    // The writer puts a new change under the same name.
    WriteBytes(file, "<data><change id=\"1\"><Name>second</Name></change></data>");
    SetModified(file, 5);
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_TRUE(Exists(file)) << "it holds a change not yet applied";
    for (int i = 0; i < 3; ++i)
        doc->PushedFilesTimerTimer(nullptr);
    EXPECT_EQ(NameOf(*doc, 1), "second");
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_FALSE(Exists(file));
}

TEST(ChangeFiles, CharacterDataReachesTheCellAsText)
{
    const String folder = TempFolder();
    TPlanPtr doc = SavedPlan(folder + "plan.vek");
    WriteBytes(folder + "c.diff", "<data><change id=\"1\"><Name><![CDATA[ line1\r\n line2\t x\ny ]]></Name></change>"
                                  "<change id=\"2\"><Name><![CDATA[a\\n b]]></Name></change></data>");
    ASSERT_TRUE(doc->LoadDiff(folder + "c.diff"));
    EXPECT_EQ(NameOf(*doc, 1), "line1  line2  x y");
    EXPECT_EQ(NameOf(*doc, 2), "a\\n b") << "a backslash the text holds stays";
}
