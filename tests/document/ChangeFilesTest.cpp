#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "document/SideFolder.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

namespace {

String TempFolder() { return vektest::TempDir() + "/"; }

bool Exists(const String& Name) { return ::access(Name.c_str(), F_OK) == 0; }

// A saved plan with tasks 1 and 2, named "one" and "two"; its change files
// are looked at every 20 ms.
using TPlanPtr = TOwnedDocument<TScheduleDocument>;

TPlanPtr SavedPlan(const String& FileName)
{
    EnsureApplication();
    TPlanPtr doc = NewBareDocument<TScheduleDocument>();
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
    WriteBytes(push + "z.diff", "<data><change id=\"1\"><Name>caf\xC3\xA9</Name></change></data>");
    usleep(20000);
    WriteBytes(push + "a.diff", "<data><change id=\"1\"><Name>na\xEFve</Name></change>"
                                "<change id=\"2\"><Name>\xE4</Name></change></data>");
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
