#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "document/SideFolder.h"
#include "platform/DateUtils.h"
#include "platform/TextFile.h"
#include "platform/Version.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

// A document whose questions and messages are answered by the test.
class TFileDocument : public TRecordingDocument {
public:
    using TRecordingDocument::TRecordingDocument;
    bool Confirm = true;
    TDocumentAnswer SaveAnswer = daNo;
    String SaveDialogName;
    std::vector<String> Questions, Messages, Recent;

    bool AskConfirmation(const String& Text) override
    {
        Questions.push_back(Text);
        return Confirm;
    }
    TDocumentAnswer MessageFileNotSaved() override { return SaveAnswer; }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    bool ExecuteSaveDialog(String& FileName) override
    {
        FileName = SaveDialogName;
        return !FileName.empty();
    }
    void AddRecentFile(const String& FileName) override { Recent.push_back(FileName); }
    // Bounds requests seen while loading and outside a load.
    int BoundsInLoad = 0, BoundsOutside = 0;
    void UpdateBounds(bool Deferred) override
    {
        (IsLoading() && IsUpdating() ? BoundsInLoad : BoundsOutside)++;
        TRecordingDocument::UpdateBounds(Deferred);
    }
};

using TFileDocumentPtr = TOwnedDocument<TFileDocument>;

TFileDocumentPtr NewDocument()
{
    TFileDocumentPtr doc = NewBareDocument<TFileDocument>();
    doc->ActionNew();
    return doc;
}

String TempFolder() { return vektest::TempDir() + "/"; }

bool Exists(const String& Name) { return ::access(Name.c_str(), F_OK) == 0; }

void AddRows(TScheduleDocument& Doc)
{
    TNodeData* t = AddTask(Doc, "Position 1", EncodeDate(2026, 3, 2), 3);
    Doc.DoSetData(t, 5, "first, \"quoted\"", cmIgnoreNet);
    t->LastChanged = EncodeDateTime(2026, 3, 1, 10, 20, 30, 0);
    TNodeData* u = AddTask(Doc, "Position 2", EncodeDate(2026, 3, 9), 1);
    u->LastChanged = EncodeDate(2026, 3, 2);
    TNodeData* a = Doc.AddNode(Doc.GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(a, Doc.GetConnection(tbExclude, cnPosition), "Position 1", cmIgnoreNet);
    Doc.DoSetStartOf(a, cmIgnoreNet, EncodeDate(2026, 3, 4));
    Doc.DoSetData(a, Doc.GetConnection(tbExclude, cnLength), "2", cmIgnoreNet);
    Doc.DoSetData(a, Doc.GetConnection(tbExclude, cnEnd), "05.03.2026", cmIgnoreNet);
    a->LastChanged = EncodeDate(2026, 3, 3);
    Doc.AddHoliday("Ostermontag", 1, true, true, 0);
    Doc.AddHoliday("Neujahr", 1, true, false, 1);
}

// The roles of the basic tables, as a file written by hand must give them.
const String Roles = "[tbTableConnections]\r\nPosition=0\r\nStart=1\r\nEnd=2\r\nLength=3\r\n";

// A golden file, with the build number of this build in [VEK].
std::string Golden(const String& Name)
{
    std::string text = ReadBytes(vektest::DataPath(Name));
    const std::size_t at = text.find("Build=0\r\n");
    if (at != std::string::npos)
        text.replace(at, 9, "Build=" + IntToStr(GetBuildInfo().Build) + "\r\n");
    return text;
}

}  // namespace

TEST(DocumentFile, NewDocumentTextIsPinned)
{
    auto doc = NewDocument();
    doc->FKomprimiert = false;
    const String dir = TempFolder();
    doc->SaveTo(dir + "new.vek");
    const std::string golden = Golden("new-document.vek");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(ReadBytes(dir + "new.vek"), golden) << "written: " << dir << "new.vek";
}

TEST(DocumentFile, DocumentWithRowsTextIsPinnedAndRoundTrips)
{
    auto doc = NewDocument();
    doc->FKomprimiert = false;
    AddRows(*doc);
    const String dir = TempFolder();
    doc->SaveTo(dir + "rows.vek");
    const std::string bytes = ReadBytes(dir + "rows.vek");
    EXPECT_EQ(bytes, Golden("rows-document.vek")) << "written: " << dir << "rows.vek";

    // Load and save again: the same bytes, plain and compressed.
    auto again = NewDocument();
    ASSERT_TRUE(again->Load(dir + "rows.vek"));
    again->SaveTo(dir + "rows2.vek");
    EXPECT_EQ(ReadBytes(dir + "rows2.vek"), bytes);

    again->FKomprimiert = true;
    again->SaveTo(dir + "packed.vek");
    const std::string packed = ReadBytes(dir + "packed.vek");
    EXPECT_NE(packed, bytes);
    // The same bytes again: rows, holidays and the compression came back.
    auto third = NewDocument();
    ASSERT_TRUE(third->Load(dir + "packed.vek"));
    third->SaveTo(dir + "packed2.vek");
    EXPECT_EQ(ReadBytes(dir + "packed2.vek"), packed);
}

TEST(DocumentFile, LoadRunsInsideOneLoadingBracket)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    AddRows(*doc);
    doc->SaveTo(dir + "l.vek");
    auto other = NewDocument();
    other->BoundsInLoad = other->BoundsOutside = 0;
    other->Calls.clear();
    ASSERT_TRUE(other->Load(dir + "l.vek"));
    EXPECT_GT(other->BoundsInLoad, 0);
    EXPECT_FALSE(other->IsLoading());
    EXPECT_FALSE(other->IsUpdating());
    // Nothing of the load can be undone.
    EXPECT_FALSE(other->UndoRedo().GetCanUndo());
    EXPECT_TRUE(other->UndoRedo().DoesAcceptUndo());
}

TEST(DocumentFile, VersionQuestion)
{
    const String dir = TempFolder();
    const TBuildInfo build = GetBuildInfo();
    auto check = [&](const String& Vek, bool Asks) {
        WriteBytes(dir + "v.vek", Vek + "[Setup]\r\nZoom=77\r\n");
        auto doc = NewDocument();
        doc->Confirm = false;
        const bool loaded = doc->Load(dir + "v.vek");
        EXPECT_EQ(doc->Questions.size(), Asks ? 1u : 0u) << Vek;
        // Refused: the document stays as it was.
        EXPECT_EQ(loaded, !Asks) << Vek;
        EXPECT_EQ(doc->FZoom, Asks ? 100 : 77) << Vek;
    };
    check("", true);
    const String major = IntToStr(build.Major);
    check("[VEK]\r\nVersion=" + major + "\r\nSubVersion=" + IntToStr(build.Minor + 1) + "\r\n", true);
    check("[VEK]\r\nVersion=" + major + "\r\nSubVersion=" + IntToStr(build.Minor - 1) + "\r\n", false);
    check("[VEK]\r\nVersion=" + IntToStr(build.Major + 1) + "\r\nSubVersion=0\r\n", true);

    auto doc = NewDocument();
    WriteBytes(dir + "v.vek", "[Setup]\r\n");
    ASSERT_TRUE(doc->Load(dir + "v.vek"));
    EXPECT_NE(doc->Questions.at(0).find("File-version: -1.-1"), String::npos);
    EXPECT_NE(doc->Questions.at(0).find('\n'), String::npos);
}

TEST(DocumentFile, MissingSectionsAndFontSizeDefaults)
{
    const String dir = TempFolder();
    const String vek = "[VEK]\r\nVersion=2\r\nSubVersion=9\r\n";
    auto doc = NewDocument();
    WriteBytes(dir + "a.vek", vek + "[Setup]\r\nRowHeight=60\r\n");
    ASSERT_TRUE(doc->Load(dir + "a.vek"));
    EXPECT_EQ(doc->FFontsize, 60 / 4 * 72 / 92);
    WriteBytes(dir + "a.vek", vek + "[Setup]\r\nRowHeight=60\r\nFontsize=14\r\n");
    ASSERT_TRUE(doc->Load(dir + "a.vek"));
    EXPECT_EQ(doc->FFontsize, 14);
    WriteBytes(dir + "a.vek", vek);
    doc->FFontsize = 20;
    ASSERT_TRUE(doc->Load(dir + "a.vek"));
    EXPECT_EQ(doc->FFontsize, 10);
    // No [Color]: the colours of a new document; no ColCount: the columns stay.
    EXPECT_EQ(doc->FStateColors, (std::vector<TColor>{0xFFFFFF, 0x00FFFF, 0x00BF00}));
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);
    EXPECT_TRUE(doc->FKomprimiert);
    EXPECT_EQ(doc->FColWidth, 8);
}

TEST(DocumentFile, CountsAndOrdinalsFromTheFileAreBounded)
{
    const String dir = TempFolder();
    WriteBytes(dir + "b.vek",
               "[VEK]\r\nVersion=2\r\nSubVersion=9\r\n[Setup]\r\nMinUnit=7\r\nColWidth=0\r\nZoom=-5\r\nFontsize=0\r\n"
               "Filters=2000000000\r\nRowSetCount=2000000000\r\n[Filter0]\r\nType=99\r\nTable=5\r\n"
               "[tbTable]\r\nColCount=-3\r\nRowCount=1000000000\r\n[tbTableItem0]\r\n0=x\r\n"
               "[Color]\r\nCount=1000000000\r\n[Public Holiday]\r\nCount=2000000000\r\n[PositionGroup]\r\nCount=99999999\r\n");
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Load(dir + "b.vek"));
    EXPECT_EQ(doc->FMinUnit, muDay);
    EXPECT_EQ(doc->FColWidth, 1);
    EXPECT_EQ(doc->FZoom, 1);
    EXPECT_EQ(doc->FFontsize, 1);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);
    EXPECT_LE(doc->GetTableRowCount(tbTable), 20);
    EXPECT_LE(doc->FFilters.size(), 1000u);
    EXPECT_EQ(doc->FFilters.at(0).Type, ftNone);
    EXPECT_EQ(doc->FFilters.at(0).Table, tbTable);
    EXPECT_LE(doc->FStateColors.size(), 1000u);
}

TEST(DocumentFile, OffsetShiftsEveryRowByWholeDays)
{
    const String dir = TempFolder();
    const TDateTime today = Date();
    const String offset = DateToStr(today - 10);
    WriteBytes(dir + "o.vek", "[VEK]\r\nVersion=2\r\nSubVersion=9\r\nOffset=" + offset +
                                  "\r\n" + Roles + "[tbTable]\r\nRowCount=1\r\n[tbTableItem0]\r\n0=Position 1\r\n1=" +
                                  DateToStr(today) + "\r\n3=2\r\n[tbExclude]\r\nRowCount=1\r\n[tbExcludeItem0]\r\n0=Position 1\r\n1=" +
                                  DateToStr(today + 1) + "\r\n3=1\r\n");
    auto doc = NewDocument();
    doc->Open(dir + "o.vek");
    const auto tasks = TableRows(*doc, tbTable), absent = TableRows(*doc, tbExclude);
    ASSERT_TRUE(tasks.size() == 1 && absent.size() == 1);
    EXPECT_EQ(doc->GetData_(tasks[0], cnStart), DateToStr(today + 10));
    EXPECT_EQ(doc->GetData_(absent[0], cnStart), DateToStr(today + 11));
    EXPECT_FALSE(doc->FInitialDeOverlap);
    EXPECT_FALSE(doc->GetFileChanged());
}

TEST(DocumentFile, LocaleFormatsConvertDatesOfAForeignFile)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    AddRows(*doc);
    doc->FFilters.push_back(TFilter{ftDate, fsSmaller, "05.03.2026", "", tbTable, "", "Start"});
    doc->FKomprimiert = false;
    doc->SaveTo(dir + "de.vek");

    // Read on a machine writing month first.
    TFormatSettings us = TFormatSettings::Default();
    us.ShortDateFormat = "mm/dd/yyyy";
    us.DateSeparator = "/";
    auto other = NewDocument();
    FormatSettings = us;
    ASSERT_TRUE(other->Load(dir + "de.vek"));
    auto rows = TableRows(*other, tbTable);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(other->GetData_(rows[0], cnStart), "03/02/2026");
    EXPECT_EQ(other->FFilters.at(0).Text1, "03/05/2026");
    EXPECT_DOUBLE_EQ(rows[0]->LastChanged, EncodeDateTime(2026, 3, 1, 10, 20, 30, 0));

    // A file without the keys is read with the running formats.
    WriteBytes(dir + "old.vek", "[VEK]\r\nVersion=2\r\nSubVersion=9\r\n" + Roles + "[tbTable]\r\nRowCount=1\r\n[tbTableItem0]\r\n1=04/05/2026\r\n");
    ASSERT_TRUE(other->Load(dir + "old.vek"));
    rows = TableRows(*other, tbTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(other->GetData_(rows[0], cnStart), "04/05/2026");
    FormatSettings = TFormatSettings::Default();
}

TEST(DocumentFile, FailedOpenLeavesAnUnnamedNewDocument)
{
    const String dir = TempFolder();
    // A file that exists and cannot be read, whatever the rights of the test.
    const String name = dir + "broken.vek";
    ASSERT_EQ(::symlink("/proc/self/mem", name.c_str()), 0);
    auto doc = NewDocument();
    AddRows(*doc);
    doc->SetFileChanged(false);
    doc->Open(name);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "File " + name + " could not be loaded.");
    EXPECT_TRUE(doc->FFileIsNewAndUnsaved);
    EXPECT_EQ(doc->FCurrentFile, "");
    EXPECT_EQ(doc->FSaveFileName, "New Table.vek");
    EXPECT_TRUE(doc->Recent.empty());
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_FALSE(Exists(LockFileOf(name)));
    EXPECT_FALSE(doc->Load(name));
}

TEST(DocumentFile, SaveKeepsHistoryAndRotates)
{
    const String dir = TempFolder();
    const String name = dir + "plan.vek";
    auto doc = NewDocument();
    doc->FMaxHistoryFiles = 3;
    for (int i = 0; i < 6; ++i) {
        doc->FZoom = 100 + i;
        ASSERT_TRUE(doc->Save(name));
    }
    const String history = HistoryFolderOf(name);
    int count = 0, highest = 0, lowest = 0;
    HistoryInfoIn(history, name, count, highest, lowest);
    EXPECT_EQ(highest, 5);
    EXPECT_EQ(count, 4);  // settles at FMaxHistoryFiles + 1
    EXPECT_EQ(lowest, 2);
    // The newest copy is the save before the last.
    auto back = NewDocument();
    ASSERT_TRUE(back->Load(history + "plan.vek.~5~"));
    EXPECT_EQ(back->FZoom, 104);
    ASSERT_TRUE(back->Load(name));
    EXPECT_EQ(back->FZoom, 105);
    EXPECT_EQ(doc->FCurrentFile, name);
    EXPECT_FALSE(Exists(dir + ".plan.vek.saving~"));
}

TEST(DocumentFile, FailingSaveChangesNothingOnDisk)
{
    const String dir = TempFolder();
    const String name = dir + "plan.vek";
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Save(name));
    const std::string before = ReadBytes(name);
    doc->FZoom = 55;
    doc->SetFileChanged(true);
    // The new file cannot be written: a folder stands where it would go.
    ASSERT_EQ(::mkdir((dir + ".plan.vek.saving~").c_str(), 0777), 0);
    EXPECT_FALSE(doc->Save(name));
    EXPECT_EQ(ReadBytes(name), before);
    int count = 0, highest = 0, lowest = 0;
    HistoryInfoIn(HistoryFolderOf(name), name, count, highest, lowest);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(doc->GetFileChanged());
    EXPECT_EQ(doc->Messages.back(), "File could not be saved, please try saving with a different filename");
}

TEST(DocumentFile, NewAndOpenKeepThePlanWhenItsSaveFails)
{
    const String dir = TempFolder();
    auto other = NewDocument();
    ASSERT_TRUE(other->Save(dir + "other.vek"));
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Save(dir + "plan.vek"));
    AddRows(*doc);
    doc->SetFileChanged(true);
    doc->SaveAnswer = daYes;
    ASSERT_EQ(::mkdir((dir + ".plan.vek.saving~").c_str(), 0777), 0);
    EXPECT_FALSE(doc->ActionSave());
    doc->ActionNew();
    doc->Open(dir + "other.vek");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
    EXPECT_EQ(doc->FSaveFileName, dir + "plan.vek");
    EXPECT_TRUE(doc->GetFileChanged());
    // A new plan whose save dialog is cancelled: the same.
    auto fresh = NewDocument();
    AddRows(*fresh);
    fresh->SetFileChanged(true);
    fresh->SaveAnswer = daYes;
    fresh->Open(dir + "other.vek");
    EXPECT_EQ(fresh->GetTableRowCount(tbTable), 2);
}

TEST(DocumentFile, SaveIntoAMissingFolderMakesNoFolders)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    doc->SetFileChanged(true);
    EXPECT_FALSE(doc->Save(dir + "typo/plan.vek"));
    struct stat st {};
    EXPECT_NE(::stat((dir + "typo").c_str(), &st), 0);
    EXPECT_TRUE(doc->GetFileChanged());
    EXPECT_EQ(doc->Messages.back(), "File could not be saved, please try saving with a different filename");
}

TEST(DocumentFile, SaveAsToALockedNameKeepsTheOldLock)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Save(dir + "mine.vek"));
    auto other = NewDocument();
    ASSERT_TRUE(other->Save(dir + "theirs.vek"));
    EXPECT_FALSE(doc->Save(dir + "theirs.vek"));
    EXPECT_EQ(doc->FCurrentFile, dir + "mine.vek");
    EXPECT_NE(doc->Messages.back().find("is used by"), String::npos);
    // Our lock is still held: the other document cannot take it.
    EXPECT_FALSE(other->Save(dir + "mine.vek"));
    // Save As to a free name moves the lock.
    ASSERT_TRUE(doc->Save(dir + "new.vek"));
    EXPECT_TRUE(other->Save(dir + "mine.vek"));
}

TEST(DocumentFile, OpenOfALockedFileLoadsWithoutTheLock)
{
    const String dir = TempFolder();
    auto owner = NewDocument();
    AddRows(*owner);
    ASSERT_TRUE(owner->Save(dir + "p.vek"));
    auto reader = NewDocument();
    reader->Open(dir + "p.vek");
    EXPECT_EQ(reader->GetTableRowCount(tbTable), 2);
    EXPECT_EQ(reader->FCurrentFile, "");
    ASSERT_FALSE(reader->Messages.empty());
    EXPECT_NE(reader->Messages[0].find(CurrentUserName() + " (" + CurrentMachineName() + ")"), String::npos);
    EXPECT_FALSE(reader->Save(dir + "p.vek"));
}

TEST(DocumentFile, BackupNamesAndUnknownTypes)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    AddRows(*doc);
    ASSERT_TRUE(doc->Save(dir + "p.vek"));
    ASSERT_EQ(::rename((dir + "p.vek").c_str(), (dir + "p.vek.backup").c_str()), 0);
    doc->ActionNew();
    auto opener = NewDocument();
    opener->Open(dir + "p.vek.backup");
    EXPECT_EQ(opener->GetTableRowCount(tbTable), 2);
    EXPECT_EQ(opener->FSaveFileName, "");
    ASSERT_EQ(opener->Recent.size(), 1u);
    EXPECT_EQ(opener->Recent[0], dir + "p.vek");
    EXPECT_TRUE(opener->FFileIsNewAndUnsaved);

    WriteBytes(dir + "p.txt", "x");
    opener->Open(dir + "p.txt");
    EXPECT_EQ(opener->Messages.back(), "File cannot be loaded. The Filetype is unknown.");
    opener->Open(dir + "none.vek");
    EXPECT_NE(opener->Messages.back().find("does not exist"), String::npos);
}

TEST(DocumentFile, RevertReopensTheStoredFile)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    AddRows(*doc);
    ASSERT_TRUE(doc->Save(dir + "r.vek"));
    EXPECT_FALSE(doc->ActionRevertEnabled());
    AddTask(*doc, "Position 3", EncodeDate(2026, 4, 1), 2);
    doc->SetFileChanged(true);
    EXPECT_TRUE(doc->ActionRevertEnabled());
    doc->Confirm = false;
    doc->ActionRevert();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 3);
    doc->Confirm = true;
    doc->ActionRevert();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
    EXPECT_FALSE(doc->GetFileChanged());
    EXPECT_EQ(doc->FCurrentFile, dir + "r.vek");
}

TEST(DocumentFile, NewResetsTheSettings)
{
    auto doc = NewDocument();
    AddRows(*doc);
    doc->ClearHoliday();  // public holidays outlive a new document
    doc->FKomprimiert = false;
    doc->FMinUnit = muMinute;
    doc->FColWidth = 30;
    doc->FFontsize = 22;
    doc->FStateColors = {1};
    doc->FHolidayColors = {2, 3};
    doc->FRowSetIndex = 2;
    doc->FDefaultCalcWorkdays = false;
    doc->FDefaultHolidayReason = "x";
    doc->FPositionGroup.Add("A");
    doc->FLastFreeID = 40;
    doc->ActionNew();
    EXPECT_TRUE(doc->FKomprimiert);
    EXPECT_EQ(doc->FLastFreeID, 0);
    EXPECT_EQ(doc->FSaveFileName, "New Table.vek");
    EXPECT_TRUE(doc->FFileIsNewAndUnsaved);
    EXPECT_FALSE(doc->GetFileChanged());
    // Everything else a file holds is as in a new document's file.
    doc->FKomprimiert = false;
    const String dir = TempFolder();
    doc->SaveTo(dir + "reset.vek");
    EXPECT_EQ(ReadBytes(dir + "reset.vek"), Golden("new-document.vek")) << "written: " << dir << "reset.vek";
}

TEST(DocumentFile, ArchiveSectionsSurviveASave)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    doc->FKomprimiert = false;
    doc->SaveTo(dir + "a.vek");
    std::string text = ReadBytes(dir + "a.vek");
    text += "[Archiv]\r\nCount=1\r\n\r\n[ArchivItem0]\r\n0=old task\r\n\r\n";
    WriteBytes(dir + "a.vek", text);
    ASSERT_TRUE(doc->Load(dir + "a.vek"));
    doc->SaveTo(dir + "b.vek");
    EXPECT_EQ(ReadBytes(dir + "b.vek"), text);
    // A snapshot never carries them.
    TMemIniFile snapshot;
    doc->SaveToIni(snapshot, false);
    EXPECT_FALSE(snapshot.ValueExists("ArchivItem0", "0"));
}

TEST(DocumentFile, DamagedFilesAreRefusedAndNeverBecomeThePlan)
{
    const String dir = TempFolder();
    auto source = NewDocument();
    AddRows(*source);
    source->FKomprimiert = true;
    source->SaveTo(dir + "good.vek");
    const std::string good = ReadBytes(dir + "good.vek");
    ASSERT_GT(good.size(), 20u);

    std::string truncated = good.substr(0, good.size() - 1);
    std::string lyingTotal = good;
    lyingTotal[0] = char(lyingTotal[0] ^ 0x04);
    std::string flippedLength = good;
    flippedLength[5] = char(flippedLength[5] ^ 0x01);
    const char withNul[] = "[VEK]\r\nVersion=2\r\n\0\0\0[tbTable]\r\n";
    std::string garbage;
    for (int i = 0; i < 300; ++i)
        garbage.push_back(char((i * 37 + 11) % 256));
    const std::pair<const char*, std::string> damaged[] = {
        {"truncated", truncated},
        {"lying total", lyingTotal},
        {"bits flipped in a block length", flippedLength},
        {"empty", std::string()},
        {"garbage", garbage},
        {"text without a section", "just some words\r\nand more\r\n"},
        {"text with NUL bytes", std::string(withNul, sizeof withNul - 1)},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        const String name = dir + "damaged.vek";
        WriteBytes(name, bytes);
        auto doc = NewDocument();
        EXPECT_FALSE(doc->Load(name));
        EXPECT_FALSE(doc->FLoadError.empty());

        // Through the open command: no version question, no name, no lock,
        // and a save that follows cannot write over the file.
        auto opener = NewDocument();
        AddRows(*opener);
        opener->SetFileChanged(false);
        opener->Open(name);
        EXPECT_TRUE(opener->Questions.empty());
        ASSERT_FALSE(opener->Messages.empty());
        EXPECT_EQ(opener->Messages.back(), "File " + name + " could not be loaded.");
        EXPECT_EQ(opener->FCurrentFile, "");
        EXPECT_TRUE(opener->FFileIsNewAndUnsaved);
        EXPECT_EQ(opener->GetTableRowCount(tbTable), 0);
        EXPECT_FALSE(Exists(LockFileOf(name)));
        opener->SaveDialogName.clear();
        opener->SetFileChanged(true);
        opener->ActionSave();
        EXPECT_EQ(ReadBytes(name), bytes);
    }

    // The same file whole still loads, and so does a plain text one.
    auto doc = NewDocument();
    WriteBytes(dir + "whole.vek", good);
    EXPECT_TRUE(doc->Load(dir + "whole.vek"));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
    EXPECT_TRUE(doc->FLoadError.empty());
}

TEST(DocumentFile, RowCountsNeverMakeRowsWithoutSections)
{
    const String dir = TempFolder();
    const String head = "[VEK]\r\nVersion=2\r\nSubVersion=9\r\n" + Roles;
    auto load = [&](const String& Text) {
        WriteBytes(dir + "rows.vek", head + Text);
        auto doc = NewDocument();
        EXPECT_TRUE(doc->Load(dir + "rows.vek"));
        return std::pair<int, int>(doc->GetTableRowCount(tbTable), doc->GetTableRowCount(tbExclude));
    };
    const String twoEach = "[tbTableItem0]\r\n0=a\r\n[tbTableItem1]\r\n0=b\r\n"
                           "[tbExcludeItem0]\r\n0=a\r\n[tbExcludeItem1]\r\n0=b\r\n"
                           "[Filler0]\r\n[Filler1]\r\n[Filler2]\r\n[Filler3]\r\n";
    EXPECT_EQ(load("[tbTable]\r\nRowCount=999999999\r\n[tbExclude]\r\nRowCount=999999999\r\n" + twoEach),
              std::make_pair(2, 2));
    EXPECT_EQ(load("[tbTable]\r\nRowCount=-5\r\n[tbExclude]\r\nRowCount=-1\r\n" + twoEach), std::make_pair(0, 0));
    // A gap in the numbering reads as the rows the count names.
    EXPECT_EQ(load("[tbTable]\r\nRowCount=3\r\n[tbExclude]\r\nRowCount=9\r\n[tbTableItem2]\r\n0=c\r\n"
                   "[tbExcludeItem0]\r\n0=a\r\n[tbExcludeItem05]\r\n0=x\r\n[tbExcludeItem3]\r\n0=d\r\n"),
              std::make_pair(3, 4));
    // One table's sections do not count for the other.
    EXPECT_EQ(load("[tbTable]\r\nRowCount=50\r\n[tbExclude]\r\nRowCount=50\r\n[tbExcludeItem7]\r\n0=a\r\n"),
              std::make_pair(0, 8));
}

TEST(DocumentFile, NewRefusedKeepsTheLockAndTheWatch)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    AddRows(*doc);
    ASSERT_TRUE(doc->Save(dir + "p.vek"));
    doc->SetFileChanged(true);
    doc->SaveAnswer = daCancel;
    doc->ActionNew();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2) << "the plan stays open";
    EXPECT_EQ(doc->FCurrentFile, dir + "p.vek");
    ASSERT_NE(doc->PushedFilesTimer, nullptr);
    EXPECT_TRUE(doc->PushedFilesTimer->Enabled()) << "its push folder is still watched";
    auto other = NewDocument();
    EXPECT_FALSE(other->Save(dir + "p.vek")) << "nobody else can take the lock";
    // Going ahead releases it.
    doc->SaveAnswer = daNo;
    doc->ActionNew();
    EXPECT_EQ(doc->FCurrentFile, "");
    EXPECT_TRUE(other->Save(dir + "p.vek"));
}

TEST(DocumentFile, ALockThatCannotBeMadeIsNoHolder)
{
    const String dir = TempFolder();
    auto writer = NewDocument();
    AddRows(*writer);
    writer->SaveTo(dir + "p.vek");
    // The side folder cannot be made: a file stands in its place.
    WriteBytes(dir + "__vek", "x");
    auto doc = NewDocument();
    doc->Open(dir + "p.vek");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 2) << "opened without the lock";
    EXPECT_EQ(doc->FCurrentFile, "");
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0].find("is used by"), String::npos) << doc->Messages[0];
    EXPECT_EQ(doc->Messages[0], "File " + dir + "p.vek cannot be locked (" + std::strerror(ENOTDIR) +
                                    ").\nChanges must be saved with a different name.");
    EXPECT_FALSE(doc->Save(dir + "p.vek"));
    EXPECT_EQ(doc->Messages.back(), doc->Messages[0]);
}

TEST(DocumentFile, ACurrentFileHidesItsSideFolder)
{
    const String dir = TempFolder();
    WriteBytes(dir + ".hidden", "mine\n");
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Save(dir + "a.vek"));
    ASSERT_TRUE(doc->Save(dir + "b.vek"));
    EXPECT_EQ(ReadBytes(dir + ".hidden"), "mine\n__vek\n");
}

TEST(DocumentFile, ASaveClearsTheLeftoversOfAKilledSave)
{
    const String dir = TempFolder();
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Save(dir + "plan.vek"));
    const String mine = dir + "..plan.vek.saving~.Ab3xY9";
    const String other = dir + "..other.vek.saving~.Ab3xY9";
    const String unlike = dir + "..plan.vek.saving~.five5";
    for (const String& name : {mine, other, unlike})
        WriteBytes(name, std::string(1000, 'x'));
    ASSERT_TRUE(doc->Save(dir + "plan.vek"));
    EXPECT_FALSE(Exists(mine));
    EXPECT_TRUE(Exists(other)) << "another file's are its own business";
    EXPECT_TRUE(Exists(unlike));
}

TEST(DocumentFile, AFileOpenedWithoutItsLockKeepsItsName)
{
    const String dir = TempFolder();
    auto owner = NewDocument();
    AddRows(*owner);
    ASSERT_TRUE(owner->Save(dir + "plan.vek"));
    EXPECT_EQ(owner->GetDocumentFileName(), dir + "plan.vek");
    const TDateTime when = EncodeDateTime(2026, 5, 4, 3, 2, 1, 0);
    auto reader = NewDocument();
    EXPECT_EQ(reader->GetDocumentFileName(), "") << "a new document has none";
    reader->Open(dir + "plan.vek");
    ASSERT_EQ(reader->FCurrentFile, "");
    EXPECT_EQ(reader->GetDocumentFileName(), dir + "plan.vek");
    const String path = reader->WorkbookExportPath(when);
    EXPECT_NE(path.find("/plan 2026-05-04 03.02.01.xlsx"), String::npos) << path;
}
