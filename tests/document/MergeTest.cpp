#include "document/DocumentHelpers.h"
#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

// Undo is recorded for real here; questions, messages and network events
// are answered and kept by the test.
class TMergeDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    bool Confirm = true;
    bool Client = false;
    bool Server = false;
    String DialogName;
    int Dialogs = 0;
    std::vector<String> Questions, Messages, Events;
    TDateTime ArchiveFirst = 0, ArchiveLast = 0, ArchiveDate = 0;
    int Unarchive = 0;

    bool AskConfirmation(const String& Text) override
    {
        Questions.push_back(Text);
        return Confirm;
    }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    bool ExecuteOpenDialog(String& FileName) override
    {
        ++Dialogs;
        FileName = DialogName;
        return !FileName.empty();
    }
    bool IsConnectedClient() const override { return Client; }
    bool IsActiveServer() const override { return Server; }
    void SendNewNodeEvent(TWhichTable, int, int, TDateTime, int ID) override { Events.push_back("SendNew " + IntToStr(ID)); }
    void SendSetNodeDataEvent(int Column, const String&, int ID) override
    {
        Events.push_back("SendSet " + IntToStr(Column) + " " + IntToStr(ID));
    }
    void BroadcastNewNodeEvent(TWhichTable, int, int, TDateTime, int ID) override
    {
        Events.push_back("BroadcastNew " + IntToStr(ID));
    }
    void BroadcastSetNodeDataEvent(int Column, const String&, int ID) override
    {
        Events.push_back("BroadcastSet " + IntToStr(Column) + " " + IntToStr(ID));
    }
    void ShowArchiveDialog(TDateTime First, TDateTime Last, TDateTime Date) override
    {
        ArchiveFirst = First, ArchiveLast = Last, ArchiveDate = Date;
    }
    void ShowUnarchiveDialog() override { ++Unarchive; }
};

TOwnedDocument<TMergeDocument> NewDocument()
{
    auto doc = NewBareDocument<TMergeDocument>();
    doc->ActionNew();
    return doc;
}

// Columns of the basic task table.
constexpr int StateColumn = 4;
constexpr int CommentColumn = 5;

TNodeData* Task(TScheduleDocument& Doc, const String& Position, TDateTime Start, int Days, const String& Comment,
                const String& State = "State 1")
{
    TNodeData* row = AddTask(Doc, Position, Start, Days);
    Doc.DoSetData(row, StateColumn, State, cmIgnoreNet);
    Doc.DoSetData(row, CommentColumn, Comment, cmIgnoreNet);
    return row;
}

TNodeData* AbsentDay(TScheduleDocument& Doc, const String& Position, TDateTime Start, const String& Comment)
{
    TNodeData* row = Doc.AddNode(Doc.GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(row, 0, Position, cmIgnoreNet);
    Doc.DoSetStartOf(row, cmIgnoreNet, Start);
    Doc.DoSetData(row, 3, "1", cmIgnoreNet);
    Doc.DoSetData(row, 6, Comment, cmIgnoreNet);
    return row;
}

// Every cell of every row of both tables, in tree order.
std::vector<std::vector<String>> Texts(TScheduleDocument& Doc)
{
    std::vector<std::vector<String>> all;
    for (TWhichTable t : {tbTable, tbExclude})
        Doc.ForEach(t, feAll, 0, [&](TNodeData* Row, NativeInt) {
            Doc.GetEndOf(Row);  // the end text follows its start and length
            all.push_back(Doc.RowCells(Row));
            all.back().insert(all.back().begin(), IntToStr(int(t)));
        });
    return all;
}

std::vector<int> IDs(TScheduleDocument& Doc, TWhichTable Table)
{
    std::vector<int> ids;
    Doc.ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) { ids.push_back(Row->ID); });
    return ids;
}

String Saved(TScheduleDocument& Doc, const String& Name)
{
    const String path = vektest::TempDir() + "/" + Name;
    Doc.SaveTo(path);
    return path;
}

const TDateTime March2 = EncodeDate(2026, 3, 2);

// A plan of two tasks and one absent day.
void Plan(TScheduleDocument& Doc)
{
    Task(Doc, "Position 1", March2, 3, "milling");
    Task(Doc, "Position 2", March2 + 7, 1, "turning, \"fine\"");
    AbsentDay(Doc, "Position 1", March2 + 2, "service");
}

}  // namespace

TEST(Merge, ADocumentMergedIntoItselfChangesNothing)
{
    auto doc = NewDocument();
    Plan(*doc);
    const auto before = Texts(*doc);
    const String file = Saved(*doc, "self.vek");
    doc->SetFileChanged(false);
    doc->UndoRedo().Clear();

    ASSERT_TRUE(doc->MergeFile(file));
    EXPECT_EQ(Texts(*doc), before);
    EXPECT_TRUE(doc->Questions.empty());  // same setup: no question
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_FALSE(doc->GetFileChanged());
}

TEST(Merge, RowsDifferingInScheduleFieldsOnlyAreUpdatedInPlace)
{
    auto doc = NewDocument();
    Plan(*doc);
    const auto ids = IDs(*doc, tbTable);

    // The same plan with other dates, length, position and state.
    auto other = NewDocument();
    Task(*other, "Position 3", March2 + 14, 5, "milling", "State 2");
    Task(*other, "Position 2", March2 + 1, 2, "turning, \"fine\"");
    AbsentDay(*other, "Position 2", March2 + 20, "service");
    const String file = Saved(*other, "moved.vek");
    const auto wanted = Texts(*other);

    ASSERT_TRUE(doc->MergeFile(file));
    EXPECT_EQ(Texts(*doc), wanted);
    EXPECT_EQ(IDs(*doc, tbTable), ids);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0],
              "Tasks: 0 newly added, 2 updated, 0 could not be assigned\n"
              "Absent days: 0 newly added, 1 updated, 0 could not be assigned");
    EXPECT_EQ(doc->Messages[0].find('\r'), String::npos);
    EXPECT_TRUE(doc->GetFileChanged());
}

TEST(Merge, AmbiguousRowsAreCountedAndLeftOut)
{
    auto doc = NewDocument();
    Task(*doc, "Position 1", March2, 3, "twin");
    Task(*doc, "Position 1", March2, 3, "twin");
    Task(*doc, "Position 1", March2, 1, "");
    Task(*doc, "Position 2", March2, 1, "");
    const auto before = Texts(*doc);

    auto other = NewDocument();
    Task(*other, "Position 1", March2, 3, "twin");      // two complete matches
    Task(*other, "Position 3", March2 + 9, 2, "twin");  // two partial matches
    Task(*other, "Position 3", March2 + 9, 2, "");      // empty free cells match both empty rows
    ASSERT_TRUE(doc->MergeFile(Saved(*other, "twins.vek")));

    EXPECT_EQ(Texts(*doc), before);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "Tasks: 0 newly added, 0 updated, 3 could not be assigned");
}

TEST(Merge, NewRowsAreAddedWithFreshIDsAndCountOnce)
{
    auto doc = NewDocument();
    Plan(*doc);
    const auto oldIDs = IDs(*doc, tbTable);

    auto other = NewDocument();
    Task(*other, "Position 3", March2, 2, "drilling");
    Task(*other, "Position 3", March2, 2, "drilling");  // present once the first is added
    AbsentDay(*other, "Position 3", March2, "fair");
    ASSERT_TRUE(doc->MergeFile(Saved(*other, "new.vek")));

    const auto ids = IDs(*doc, tbTable);
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 2), oldIDs);
    EXPECT_TRUE(std::find(oldIDs.begin(), oldIDs.end(), ids[2]) == oldIDs.end());
    EXPECT_NE(ids[2], IDs(*doc, tbExclude).back());
    EXPECT_EQ(doc->GetTableRowCount(tbExclude), 2);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0],
              "Tasks: 1 newly added, 0 updated, 0 could not be assigned\n"
              "Absent days: 1 newly added, 0 updated, 0 could not be assigned");
}

TEST(Merge, EqualHashesAloneNeverMatch)
{
    // "ab" and "bR" share their hash, and so do keys whose cells only run
    // together differently.
    ASSERT_EQ(ElfHash("ab"), ElfHash("bR"));
    auto doc = NewDocument();
    doc->SetTableColCount(tbTable, 7);  // a second free column
    TNodeData* ab = Task(*doc, "Position 1", March2, 3, "ab");
    TNodeData* split = Task(*doc, "Position 1", March2, 3, "ab");
    doc->DoSetData(split, 6, "c", cmIgnoreNet);
    const std::vector<String> abCells = doc->RowCells(ab);

    auto other = NewDocument();
    other->SetTableColCount(tbTable, 7);
    Task(*other, "Position 2", March2, 1, "bR");
    TNodeData* joined = Task(*other, "Position 2", March2, 1, "a");
    other->DoSetData(joined, 6, "bc", cmIgnoreNet);
    ASSERT_TRUE(doc->MergeFile(Saved(*other, "collide.vek")));

    EXPECT_EQ(doc->RowCells(ab), abCells);
    EXPECT_EQ(doc->GetData(split, 6), "c");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 4);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "Tasks: 2 newly added, 0 updated, 0 could not be assigned");

    // The lookups confirm on their own too, outside a merge.
    std::vector<String> cells = abCells;
    cells[CommentColumn] = "cB";
    ASSERT_EQ(ElfHash("cB"), ElfHash("ab"));
    EXPECT_EQ(doc->HashCount(tbTable, doc->PartialKey(tbTable, cells), cells), 0);
    EXPECT_EQ(doc->FindHash(tbTable, doc->PartialKey(tbTable, abCells), abCells), ab);
}

TEST(Merge, DifferentSetupsAskFirst)
{
    auto doc = NewDocument();
    Plan(*doc);
    auto other = NewDocument();
    Task(*other, "Position 3", March2, 2, "drilling");
    other->SetColumnCaption(tbTable, CommentColumn, "Note");
    const String captions = Saved(*other, "captions.vek");
    other->SetColumnCaption(tbTable, CommentColumn, doc->GetColumnCaption(tbTable, CommentColumn));
    other->FStateColors[1] = 0x123456;
    const String colours = Saved(*other, "colours.vek");
    other->FStateColors[1] = doc->FStateColors[1];
    other->SetConnection(tbTable, cnTextLeftTop, CommentColumn);
    const String roles = Saved(*other, "roles.vek");

    for (const String& file : {captions, colours, roles}) {
        TMemIniFile ini(file);
        EXPECT_FALSE(doc->CompareSetup(ini)) << file;
    }
    TMemIniFile same(Saved(*doc, "same.vek"));
    EXPECT_TRUE(doc->CompareSetup(same));

    const auto before = Texts(*doc);
    doc->Confirm = false;
    EXPECT_FALSE(doc->MergeFile(captions));
    ASSERT_EQ(doc->Questions.size(), 1u);
    EXPECT_EQ(doc->Questions[0], "File setups are different.\nMerge Files anyway?");
    EXPECT_EQ(Texts(*doc), before);
    EXPECT_TRUE(doc->Messages.empty());

    doc->Confirm = true;
    EXPECT_TRUE(doc->MergeFile(captions));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3);
}

TEST(Merge, OneUndoTakesTheWholeMergeBack)
{
    auto doc = NewDocument();
    Plan(*doc);
    doc->UndoRedo().Clear();
    const auto before = Texts(*doc);

    auto other = NewDocument();
    Task(*other, "Position 3", March2 + 3, 4, "milling", "State 3");  // updates
    Task(*other, "Position 1", March2, 2, "new one");                 // added
    AbsentDay(*other, "Position 2", March2, "fair");                  // added
    ASSERT_TRUE(doc->MergeFile(Saved(*other, "undo.vek")));
    ASSERT_NE(Texts(*doc), before);
    const auto merged = Texts(*doc);

    ASSERT_TRUE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().Undo();
    EXPECT_EQ(Texts(*doc), before);
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().Redo();
    EXPECT_EQ(Texts(*doc), merged);
}

TEST(Merge, RefusedOnAConnectedClientAndSentByAServer)
{
    auto doc = NewDocument();
    auto other = NewDocument();
    Task(*other, "Position 3", March2, 2, "drilling");
    const String file = Saved(*other, "net.vek");

    doc->Client = true;
    doc->DialogName = file;
    EXPECT_FALSE(doc->CanMergeFiles());
    doc->Zusammenfhren1Click();
    EXPECT_EQ(doc->Dialogs, 0);
    EXPECT_FALSE(doc->MergeFile(file));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_TRUE(doc->Events.empty());

    // A server sends the new row and its cells to its clients.
    doc->Client = false;
    doc->Server = true;
    doc->Zusammenfhren1Click();
    EXPECT_EQ(doc->Dialogs, 1);
    ASSERT_EQ(doc->GetTableRowCount(tbTable), 1);
    const int id = IDs(*doc, tbTable)[0];
    ASSERT_FALSE(doc->Events.empty());
    EXPECT_EQ(doc->Events[0], "BroadcastNew " + IntToStr(id));
    EXPECT_NE(std::find(doc->Events.begin(), doc->Events.end(), "BroadcastSet 5 " + IntToStr(id)), doc->Events.end());
}

TEST(Merge, MissingAndForeignFiles)
{
    auto doc = NewDocument();
    Plan(*doc);
    const auto before = Texts(*doc);
    const String dir = vektest::TempDir();

    EXPECT_FALSE(doc->MergeFile(dir + "/absent.vek"));
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "File " + dir + "/absent.vek does not exist.");

    // No document: no rows, an empty result.
    doc->Messages.clear();
    const String junk = dir + "/junk.vek";
    static const char bytes[] = "\x01\x02garbage\xff\xfe[tbTable]\nRowCount=99999999\n";
    WriteBytes(junk, std::string(bytes, sizeof bytes - 1));
    doc->Confirm = true;
    EXPECT_TRUE(doc->MergeFile(junk));
    EXPECT_EQ(Texts(*doc), before);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "");
}

TEST(Merge, ArchiveOpenersPresetTheDialog)
{
    auto doc = NewDocument();
    Plan(*doc);
    doc->Auftrgearchivieren1Click();
    EXPECT_EQ(doc->ArchiveFirst, March2);
    EXPECT_EQ(doc->ArchiveLast, March2 + 7);
    EXPECT_EQ(doc->ArchiveDate, Date());
    doc->Archivierungrckgngigmachen1Click();
    doc->Archivlschen1Click();
    EXPECT_EQ(doc->Unarchive, 1);
}

TEST(Merge, DatesOfAnotherFormatAreReadAsTheLoadReadsThem)
{
    // Written on a machine with year-first dates.
    auto writer = NewDocument();
    TFormatSettings iso = TFormatSettings::Default();
    iso.ShortDateFormat = "yyyy-mm-dd";
    iso.DateSeparator = "-";
    FormatSettings = iso;
    Plan(*writer);
    writer->FKomprimiert = false;
    const String file = Saved(*writer, "iso.vek");
    FormatSettings = TFormatSettings::Default();
    ASSERT_NE(ReadBytes(file).find("2026-03-02"), std::string::npos);

    auto doc = NewDocument();
    ASSERT_TRUE(doc->Load(file));
    // As loaded, before any end is computed again: the file's own rows.
    const auto before = TableCells(*doc, tbTable);
    ASSERT_EQ(before.at(0).at(1), "02.03.2026");
    doc->UndoRedo().Clear();
    ASSERT_TRUE(doc->MergeFile(file));
    EXPECT_EQ(doc->Messages.back(), "") << "equal plans: nothing updated";
    EXPECT_EQ(TableCells(*doc, tbTable), before);
    for (TNodeData* row : TableRows(*doc, tbTable))
        EXPECT_TRUE(row->nodeValid);
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
}

TEST(Merge, AnOlderFileIsReadByItsNamesAndEmptyRowsChangeNothing)
{
    const String file = vektest::DataPath("older/version-2.2.vek");
    auto fresh = NewDocument();
    ASSERT_TRUE(fresh->Load(file));
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Load(file));
    doc->UndoRedo().Clear();
    ASSERT_TRUE(doc->MergeFile(file));
    EXPECT_EQ(doc->Messages.back(), "") << "every row is found as it is";
    const auto loaded = Texts(*fresh);
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(Texts(*doc), loaded);

    // Into a plan that has only the setup, the rows come in as the load
    // gives them.
    auto empty = NewDocument();
    ASSERT_TRUE(empty->Load(file));
    empty->ClearRows();
    ASSERT_TRUE(empty->MergeFile(file));
    EXPECT_EQ(empty->Messages.back(), "Tasks: 2 newly added, 0 updated, 0 could not be assigned\n"
                                      "Absent days: 2 newly added, 0 updated, 0 could not be assigned");
    EXPECT_EQ(Texts(*empty), loaded);

    // A row section of nothing (a gap in the numbering) neither updates
    // nor adds a row.
    auto plan = NewDocument();
    Plan(*plan);
    AddTask(*plan, "Position 3", March2 + 20, 1);
    const auto before = Texts(*plan);
    const String gap = Saved(*plan, "gap.vek");
    {
        TMemIniFile ini(gap);
        ini.EraseSection("tbTableItem1");
        ini.UpdateFile(false);
    }
    plan->Messages.clear();
    ASSERT_TRUE(plan->MergeFile(gap));
    EXPECT_EQ(plan->Messages.back(), "");
    EXPECT_EQ(Texts(*plan), before);
}
