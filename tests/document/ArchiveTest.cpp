#include <sys/stat.h>

#include <cmath>

#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

// Undo is recorded for real; questions and messages are kept by the test.
class TArchiveDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    bool Client = false;
    std::vector<String> Questions, Messages;
    int Dialogs = 0;

    bool AskConfirmation(const String& Text) override
    {
        Questions.push_back(Text);
        return true;
    }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    bool IsConnectedClient() const override { return Client; }
    void ShowArchiveDialog(TDateTime, TDateTime, TDateTime) override { ++Dialogs; }
};

const TDateTime March2 = EncodeDate(2026, 3, 2);

// Tasks ending March 4 and March 9, one without dates, and an absent day
// ending March 5 on the undated task's position; the plan saved (plain text) at Name.
TOwnedDocument<TArchiveDocument> SavedPlan(const String& Name)
{
    auto doc = NewBareDocument<TArchiveDocument>();
    doc->ActionNew();
    doc->FKomprimiert = false;
    AddTask(*doc, "Position 1", March2, 3);
    AddTask(*doc, "Position 2", March2 + 7, 1);
    TNodeData* undated = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
    doc->DoSetData(undated, doc->GetConnection(tbTable, cnPosition), "Position 3", cmIgnoreNet);
    AddAbsentDay(*doc, "Position 3", March2 + 2, 2);
    EXPECT_TRUE(doc->Save(Name));
    return doc;
}

std::vector<String> ArchivedPositions(const TMemIniFile& File, TScheduleDocument& Doc)
{
    std::vector<String> texts;
    const int count = File.ReadInteger("Archiv", "count", 0);
    for (int n = 0; n < count; ++n) {
        const String section = "ArchivItem" + IntToStr(n);
        const String table = File.ReadString(section, "__table", "?");
        const TWhichTable t = table == "tbTable" ? tbTable : tbExclude;
        // Every column by its caption.
        for (int c = 0; c < Doc.GetTableColCount(t); ++c)
            EXPECT_TRUE(File.ValueExists(section, Doc.GetColumnCaption(t, c))) << section << " " << c;
        texts.push_back(table + ":" + File.ReadString(section, Doc.GetColumnCaption(t, 0), "?"));
    }
    return texts;
}

}  // namespace

TEST(Archive, CountsRowsEndingOnOrBeforeTheDay)
{
    auto doc = SavedPlan(vektest::TempDir() + "/plan.vek");
    int count = -1, total = -1;
    doc->CountArchivable(March2 + 1, count, total);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(total, 4);  // the undated row counts in the total only
    doc->CountArchivable(March2 + 3, count, total);
    EXPECT_EQ(count, 2);
    doc->CountArchivable(March2 + 365, count, total);
    EXPECT_EQ(count, 3);

    // The day of the end decides: a task ending at 10:15 goes with that day.
    auto minutes = NewBareDocument<TArchiveDocument>();
    minutes->ActionNew();
    minutes->FMinUnit = muMinute;
    TNodeData* row = minutes->AddNode(minutes->GetFreeID(), tbTable, 0, 120, March2 + 8.0 / 24, cmIgnoreNet);
    ASSERT_EQ(std::floor(minutes->GetEndOf(row)), March2);
    ASSERT_GT(minutes->GetEndOf(row), March2 + 10.0 / 24);
    EXPECT_TRUE(minutes->IsArchivable(row, March2));
    EXPECT_FALSE(minutes->IsArchivable(row, March2 - 1.0 / 24));
}

TEST(Archive, ArchivedRowsLeaveTheTablesForTheFileArchive)
{
    const String name = vektest::TempDir() + "/plan.vek";
    auto doc = SavedPlan(name);
    doc->DoSetData(TableRows(*doc, tbTable)[1], 5, "changed", cmDefault);
    ASSERT_TRUE(doc->UndoRedo().GetCanUndo());

    ASSERT_TRUE(doc->ArchiveRows(March2 + 3));
    {
        const TMemIniFile file(name);
        EXPECT_EQ(ArchivedPositions(file, *doc), (std::vector<String>{"tbTable:Position 1", "tbExclude:Position 3"}));
        EXPECT_EQ(file.ReadInteger("tbTable", "RowCount", -1), 2);
        EXPECT_EQ(file.ReadInteger("tbExclude", "RowCount", -1), 0);
        EXPECT_EQ(file.ReadString("tbTableItem0", "5", ""), "changed");
    }
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_FALSE(doc->GetFileChanged());
    EXPECT_TRUE(doc->Messages.empty());

    // A second run numbers on; the undated row stays in every run.
    ASSERT_TRUE(doc->ArchiveRows(March2 + 3650));
    EXPECT_EQ(ArchivedPositions(TMemIniFile(name), *doc), (std::vector<String>{"tbTable:Position 1", "tbExclude:Position 3", "tbTable:Position 2"}));
    ASSERT_EQ(doc->GetTableRowCount(tbTable), 1);
    EXPECT_EQ(doc->GetData_(TableRows(*doc, tbTable)[0], cnPosition), "Position 3");

    // An ordinary save keeps the archive, and so does reopening.
    doc->SetFileChanged(true);
    ASSERT_TRUE(doc->ActionSave());
    const String saved = ReadBytes(name);
    auto reopened = NewBareDocument<TArchiveDocument>();
    reopened->ActionNew();
    reopened->FKomprimiert = false;
    ASSERT_TRUE(reopened->Load(name));
    EXPECT_EQ(TableCells(*reopened, tbTable), TableCells(*doc, tbTable));
    reopened->SaveTo(name + ".again");
    EXPECT_EQ(ReadBytes(name + ".again"), saved);
}

TEST(Archive, FailingFirstSaveArchivesNothing)
{
    const String dir = vektest::TempDir() + "/";
    auto doc = SavedPlan(dir + "plan.vek");
    const String before = ReadBytes(dir + "plan.vek");
    doc->SetFileChanged(true);
    // The new file cannot be written: a folder stands where it would go.
    ASSERT_EQ(::mkdir((dir + ".plan.vek.saving~").c_str(), 0777), 0);
    EXPECT_FALSE(doc->ArchiveRows(March2 + 3650));
    EXPECT_EQ(doc->Questions, std::vector<String>{"File could not be saved. The selected tasks were not archieved."});
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3);
    EXPECT_EQ(doc->GetTableRowCount(tbExclude), 1);
    EXPECT_TRUE(doc->FArchiveSections.empty());
    EXPECT_EQ(ReadBytes(dir + "plan.vek"), before);
}

TEST(Archive, RefusedOnAConnectedClient)
{
    const String name = vektest::TempDir() + "/plan.vek";
    auto doc = SavedPlan(name);
    const String before = ReadBytes(name);
    doc->Client = true;
    doc->Auftrgearchivieren1Click();
    EXPECT_EQ(doc->Dialogs, 0);
    EXPECT_FALSE(doc->ArchiveRows(March2 + 3650));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3);
    EXPECT_EQ(ReadBytes(name), before);
}
