#include <gtest/gtest.h>

#include <unistd.h>

#include "document/SideFolder.h"
#include "platform/TextFile.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

TEST(Backup, TimerWritesDocumentAndTableCopies)
{
    EnsureApplication();
    const String folder = vektest::TempDir() + "/";
    TDocumentPtr doc = MakeDocument();
    doc->ActionNew();
    doc->FBackupInterval = 30;
    doc->SetColumnCaption(tbTable, 0, "Name");
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_TRUE(doc->BackupTimer == nullptr || !doc->BackupTimer->Enabled());

    TNodeData* row = doc->AddNode(1, tbTable, -1, -1, -1, cmDefault);
    doc->SetData(row, 0, "a;b\r\nc \"q\"");
    ASSERT_NE(doc->BackupTimer, nullptr);
    EXPECT_TRUE(doc->BackupTimer->Enabled());
    const String backup = doc->GetBackupPath();
    ASSERT_TRUE(ProcessEventsUntil([&] { return ::access((backup + "plan.~1~.csv").c_str(), F_OK) == 0; }, 5000));
    EXPECT_FALSE(doc->BackupTimer->Enabled()) << "it fires once";
    EXPECT_EQ(::access((backup + "plan.vek.~1~").c_str(), F_OK), 0);

    std::vector<String> lines;
    SplitLines(LoadTextFile(backup + "plan.~1~.csv"), lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 5), "Name;");
    EXPECT_EQ(lines[1], "\"a;b");
    EXPECT_EQ(lines[2].substr(0, 9), "c \"\"q\"\"\";");
    EXPECT_EQ(lines[2].back(), ';');

    // The copy is a whole document.
    TDocumentPtr copy = MakeDocument();
    ASSERT_TRUE(copy->Load(backup + "plan.vek.~1~"));
    EXPECT_EQ(copy->GetTableRowCount(tbTable), 1);

    // A save disarms it; the next change arms it again.
    ASSERT_TRUE(doc->Save(folder + "plan.vek"));
    EXPECT_FALSE(doc->BackupTimer->Enabled());
    doc->FMaxHistoryFiles = 0;
    doc->SetData(row, 0, "x");
    EXPECT_TRUE(doc->BackupTimer->Enabled());
    ASSERT_TRUE(ProcessEventsUntil([&] { return ::access((backup + "plan.~2~.csv").c_str(), F_OK) == 0; }, 5000));
    EXPECT_NE(::access((backup + "plan.~1~.csv").c_str(), F_OK), 0) << "beyond the most kept, the lowest goes";
}
