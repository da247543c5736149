#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

class TListDocument : public TRecordingDocument {
public:
    using TRecordingDocument::TRecordingDocument;
    std::vector<String> Messages, Recent;
    String SaveDialogName;
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    void AddRecentFile(const String& FileName) override { Recent.push_back(FileName); }
    bool ExecuteSaveDialog(String& FileName) override
    {
        FileName = SaveDialogName;
        return !FileName.empty();
    }
};

TOwnedDocument<TListDocument> NewDocument()
{
    auto doc = NewBareDocument<TListDocument>();
    doc->ActionNew();
    doc->Forget();
    return doc;
}

// Writes the lines as a list (CR LF line ends) in a fresh folder.
String WriteList(const std::vector<String>& Lines, const String& SideFile = String(), bool WithSideFile = false)
{
    const String name = vektest::TempDir() + "/plan.lst";
    std::ofstream out(name, std::ios::binary);
    for (const String& line : Lines)
        out << line << "\r\n";
    if (WithSideFile)
        std::ofstream(name + ".ini", std::ios::binary) << SideFile;
    return name;
}

// A list of three columns (position pulldown, start date, length) with the
// given lines after its header.
std::vector<String> ThreeColumnList(const std::vector<String>& Body)
{
    std::vector<String> lines = {"skip", "3", "1", "2", "3", "0", "0", "0", "0", "0", "0", "0", "0",
                                 "\"A\",\"B\",\"C\"", "##DATUM", "##ZAHL", "Wer", "Ab", "Tage"};
    lines.insert(lines.end(), Body.begin(), Body.end());
    return lines;
}

// The cells of the row that have the roles.
std::vector<String> ByRole(TScheduleDocument& Doc, TNodeData* Row, const std::vector<TConnection>& Roles)
{
    std::vector<String> cells;
    for (TConnection role : Roles)
        cells.push_back(Doc.GetData_(Row, role));
    return cells;
}
using TTexts = std::vector<String>;

bool Mentions(const std::vector<String>& Messages, const String& Text)
{
    for (const String& m : Messages)
        if (m.find(Text) != String::npos)
            return true;
    return false;
}

}  // namespace

TEST(LegacyListImport, SampleListGivesColumnsRolesRowsAbsencesAndColours)
{
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(vektest::DataPath("legacy/plan.lst")));
    EXPECT_TRUE(doc->Messages.empty());
    EXPECT_EQ(doc->FMinUnit, muDay);

    ASSERT_EQ(doc->GetTableColCount(tbTable), 6);
    const std::vector<String> captions = {"Mitarbeiter", "Beginn", "Dauer", "Termin", "Status", "Ende"};
    const std::vector<TColumnType> types = {ctPulldown, ctDate, ctNumber, ctDate, ctPulldown, ctDate};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(doc->GetColumnCaption(tbTable, c), captions[std::size_t(c)]) << c;
        EXPECT_EQ(doc->GetColumnType(tbTable, c), types[std::size_t(c)]) << c;
    }
    EXPECT_EQ(doc->GetColumnFormat(tbTable, 1), "dd.mm.yyyy");
    EXPECT_EQ(doc->GetColumnFormat(tbTable, 2), "0");
    EXPECT_EQ(doc->GetColumnFormat(tbTable, 3), "");
    TStringList* states = doc->GetColumnStrings(tbTable, 4);
    ASSERT_EQ(states->Count(), 3);
    EXPECT_EQ(TCommaText(states->Get(1)).Item(0), "in Arbeit");

    const TConnection bound[] = {cnPosition, cnStart, cnLength, cnTermin, cnColor, cnEnd};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(doc->GetConnection(tbTable, bound[c]), c) << c;
    // Roles the list names as 0, and those it cannot name, stay unbound.
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextLeftTop), -1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), -1);

    const auto tasks = TableRows(*doc, tbTable);
    ASSERT_EQ(tasks.size(), 3u);
    // The end cell stays empty until the import is settled.
    EXPECT_EQ(doc->RowCells(tasks[0]), (TTexts{"Anna", "01.01.2024", "5", "15.01.2024", "in Arbeit", ""}));
    EXPECT_EQ(doc->RowCells(tasks[1])[3], "");
    EXPECT_EQ(doc->RowCells(tasks[1])[4], "fertig");
    // Cells that do not convert keep what the new row had; the next line is
    // still the next column.
    EXPECT_EQ(doc->RowCells(tasks[2]), (TTexts{"Bernd", "", "1", "10.01.2024", "offen", ""}));
    // Then it is computed from start and length.
    EXPECT_TRUE(doc->GetRecalcEndOf(tasks[0]));
    EXPECT_GE(doc->GetEndOf(tasks[0]), 45292.0 + 4);
    EXPECT_FALSE(doc->GetData_(tasks[0], cnEnd).empty());

    const auto absent = TableRows(*doc, tbExclude);
    ASSERT_EQ(absent.size(), 2u);
    EXPECT_EQ(ByRole(*doc, absent[0], {cnPosition, cnStart, cnLength, cnColor, cnLengthWithWeekend, cnTextCenterMiddle}),
        (TTexts{"Bernd", "02.01.2024", "5", "Urlaub", "Nein", "Erholung"}));
    EXPECT_EQ(ByRole(*doc, absent[1], {cnPosition, cnStart, cnLength, cnTextCenterMiddle}),
        (TTexts{"Clara", "05.03.2024", "3", "Kur"}));

    EXPECT_EQ(doc->FColWidth, 12);
    EXPECT_EQ(doc->FFontsize, 9);
    // One colour per state entry, from the side file and its defaults.
    EXPECT_EQ(doc->FStateColors, (std::vector<TColor>{128, 65535, 48896}));

    // Nothing of the import can be undone, and every row has its own ID.
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_TRUE(doc->UndoRedo().DoesAcceptUndo());
    std::vector<int> ids;
    for (TNodeData* r : tasks)
        ids.push_back(r->ID);
    for (TNodeData* r : absent)
        ids.push_back(r->ID);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(LegacyListImport, EveryRoleNumberBindsItsRole)
{
    std::vector<String> lines = {"x", "12"};
    for (int i = 12; i >= 2; --i)
        lines.push_back(IntToStr(i));
    for (int c = 0; c < 12; ++c)
        lines.push_back("Spalte");
    for (int c = 0; c < 12; ++c)
        lines.push_back("S" + IntToStr(c));
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(lines)));
    const TConnection roles[] = {cnPosition,       cnStart,        cnLength,          cnTermin,
                                 cnColor,          cnTextLeftTop,  cnTextLeftMiddle,  cnTextLeftBottom,
                                 cnTextRightTop,   cnTextRightMiddle, cnTextRightBottom};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(doc->GetConnection(tbTable, roles[i]), 11 - i) << i;
    EXPECT_EQ(doc->GetConnection(tbTable, cnEnd), 12);
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 12), "Ende");
    // Column 0 is bound to no role, and no state column means no state colours.
    EXPECT_EQ(doc->GetColumnConnection(tbTable, 0), cnNone);
    EXPECT_EQ(doc->GetColumnType(tbTable, 0), ctText);
    EXPECT_TRUE(doc->FStateColors.empty());
    EXPECT_TRUE(TableRows(*doc, tbTable).empty());
}

TEST(LegacyListImport, DayNumbersPulldownNumbersAndWholeRows)
{
    // Two whole rows and nothing left: both are imported.
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList({"2", "693594", "1", "3", "738886", "2"}))));
    EXPECT_TRUE(doc->Messages.empty());
    const auto rows = TableRows(*doc, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(doc->RowCells(rows[0]), (std::vector<String>{"B", "30.12.1899", "1", ""}));
    EXPECT_EQ(doc->RowCells(rows[1]), (std::vector<String>{"C", "01.01.2024", "2", ""}));
    EXPECT_TRUE(TableRows(*doc, tbExclude).empty());

    // Numbers that name no item or no day leave their cells; the row's
    // lines are consumed all the same.
    doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList({"0", "-5", "x", "4", "99999999999", "7", "1", "738887", "3"}))));
    const auto more = TableRows(*doc, tbTable);
    ASSERT_EQ(more.size(), 3u);
    EXPECT_EQ(doc->RowCells(more[0]), (std::vector<String>{"", "", "x", ""}));
    EXPECT_EQ(doc->RowCells(more[1]), (std::vector<String>{"", "", "7", ""}));
    EXPECT_EQ(doc->RowCells(more[2]), (std::vector<String>{"A", "02.01.2024", "3", ""}));
}

TEST(LegacyListImport, SideFileDefaultsAndBadValues)
{
    auto doc = NewDocument();
    const std::vector<String> lines = {"x", "1", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0",
                                       "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\",\"j\",\"k\",\"l\"",
                                       "Spalte"};
    // The state role bound to the pulldown column of twelve entries.
    std::vector<String> withState = lines;
    withState[6] = "1";
    ASSERT_TRUE(doc->Import(WriteList(withState)));
    EXPECT_EQ(doc->FColWidth, 8);
    EXPECT_EQ(doc->FFontsize, 10);
    ASSERT_EQ(doc->FStateColors.size(), 12u);
    const std::vector<TColor> defaults = {255,      65535,   48896, 16777215, 12632256,
                                          16711680, 8421376, 32768, 8421504,  8388608};
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), doc->FStateColors.begin()));

    doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(
        withState,
        "[DESKTOP]\r\nTCresolution=abc\r\nTCFontHeight=-4\r\n[FARBEN]\r\nFarbe 0=-5\r\nFarbe 1=$0000FF\r\nFarbe 2=99999999999\r\n",
        true)));
    EXPECT_EQ(doc->FColWidth, 8);
    EXPECT_EQ(doc->FFontsize, 10);
    ASSERT_GE(doc->FStateColors.size(), 3u);
    EXPECT_EQ(std::vector<TColor>(doc->FStateColors.begin(), doc->FStateColors.begin() + 3),
        (std::vector<TColor>{255, 0xFF, 48896}));
}

TEST(LegacyListImport, UnusableColumnCountOrMissingListFails)
{
    for (const String count : {"0", "-3", "drei", "", "1001", "99999999999999999999"}) {
        auto doc = NewDocument();
        EXPECT_FALSE(doc->Import(WriteList({"x", count, "1", "2"}))) << count;
        // What is left is the empty new document.
        EXPECT_EQ(doc->GetTableColCount(tbTable), 6) << count;
        EXPECT_EQ(doc->GetTableRowCount(tbTable), 0) << count;
        EXPECT_FALSE(doc->GetFileChanged());
    }
    auto doc = NewDocument();
    EXPECT_FALSE(doc->Import(WriteList({"nur eine Zeile"})));
    EXPECT_FALSE(doc->Import(vektest::TempDir() + "/missing.lst"));
    EXPECT_FALSE(doc->Import(vektest::TempDir()));
}

TEST(LegacyListImport, TruncatedListsImportWhatIsWholeAndSaySo)
{
    // Cut inside the roles: columns exist, no rows, one report.
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList({"x", "4", "1", "2"})));
    EXPECT_EQ(doc->GetTableColCount(tbTable), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnEnd), 4);
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_TRUE(Mentions(doc->Messages, "header"));

    // Cut inside the captions: what came is kept, no rows.
    doc = NewDocument();
    std::vector<String> head = ThreeColumnList({});
    head.pop_back();
    ASSERT_TRUE(doc->Import(WriteList(head)));
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 1), "Ab");
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_TRUE(Mentions(doc->Messages, "header"));

    // Half a task row.
    doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList({"1", "738886", "1", "2", "738887"}))));
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    EXPECT_TRUE(Mentions(doc->Messages, "2 lines"));

    // Half an absence record after a whole one.
    doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList(
        {"1", "738886", "1", "@@@ URLAUB @@@", "h", "h", "h", "h", "3", "738886", "738888", "Kur", "1", "738890"}))));
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    const auto absent = TableRows(*doc, tbExclude);
    ASSERT_EQ(absent.size(), 1u);
    EXPECT_EQ(doc->GetData_(absent[0], cnPosition), "C");
    EXPECT_EQ(doc->GetData_(absent[0], cnLength), "3");
    EXPECT_TRUE(Mentions(doc->Messages, "2 lines"));

    // A marker with too few lines after it: never read as task rows.
    doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList({"1", "738886", "1", "@@@ URLAUB @@@", "h", "h"}))));
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    EXPECT_TRUE(TableRows(*doc, tbExclude).empty());
    EXPECT_TRUE(Mentions(doc->Messages, "absent days"));
}

TEST(LegacyListImport, AbsenceRecordThatDoesNotConvertStopsWhereItFails)
{
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList({"@@@ URLAUB @@@", "h", "h", "h", "h",
                                                       "2", "gestern", "738890", "Grund 1",
                                                       "3", "738890", "738880", "Grund 2",
                                                       "9", "738890", "738891", "Grund 3",
                                                       "1", "738890", "738890", "Grund 4"}))));
    const auto absent = TableRows(*doc, tbExclude);
    ASSERT_EQ(absent.size(), 4u);
    EXPECT_EQ(ByRole(*doc, absent[0], {cnPosition, cnStart, cnTextCenterMiddle}), (TTexts{"B", "", ""}));
    // An end before the start gives no length.
    EXPECT_EQ(ByRole(*doc, absent[1], {cnStart, cnLength}), (TTexts{"05.01.2024", ""}));
    EXPECT_EQ(doc->GetData_(absent[2], cnPosition), "");
    // The end is the absence's last day: from a day to the same day is one day.
    EXPECT_EQ(ByRole(*doc, absent[3], {cnLength, cnTextCenterMiddle}), (TTexts{"1", "Grund 4"}));
    for (TNodeData* row : absent)
        EXPECT_EQ(ByRole(*doc, row, {cnColor, cnLengthWithWeekend}), (TTexts{"Urlaub", "Nein"}));
    EXPECT_TRUE(TableRows(*doc, tbTable).empty());
}

TEST(LegacyListImport, RefusedOnAConnectedClient)
{
    auto doc = NewDocument();
    doc->Client = true;
    EXPECT_FALSE(doc->CanImportList());
    EXPECT_FALSE(doc->Import(vektest::DataPath("legacy/plan.lst")));
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    for (const String& call : doc->Calls)
        EXPECT_NE(call.rfind("Send", 0), 0u) << call;
}

TEST(LegacyListImport, OpenTakesNoFileNameAndNeverWritesTheList)
{
    // A failed import is reported like a failed load.
    auto doc = NewDocument();
    const String bad = WriteList({"x", "0", "1"});
    const std::string badBytes = ReadBytes(bad);
    doc->Open(bad);
    EXPECT_TRUE(Mentions(doc->Messages, "could not be loaded"));
    EXPECT_EQ(doc->FSaveFileName, "New Table.vek");
    EXPECT_TRUE(doc->FOpenFileName.empty());
    EXPECT_TRUE(doc->FFileIsNewAndUnsaved);
    EXPECT_TRUE(doc->Recent.empty());
    doc->ActionSave();  // the save dialog is cancelled
    EXPECT_EQ(ReadBytes(bad), badBytes);

    // A good one: the plan is there, and saving asks for a document name.
    doc = NewDocument();
    const String good = WriteList(ThreeColumnList({"1", "738886", "2"}));
    const std::string goodBytes = ReadBytes(good);
    doc->Open(good);
    EXPECT_TRUE(doc->Messages.empty());
    EXPECT_EQ(TableRows(*doc, tbTable).size(), 1u);
    EXPECT_TRUE(doc->FFileIsNewAndUnsaved);
    EXPECT_EQ(doc->FSaveFileName, good.substr(0, good.size() - 4) + ".vek");
    EXPECT_EQ(doc->Recent, (std::vector<String>{good}));
    doc->SaveDialogName = doc->FSaveFileName;
    doc->ActionSave();
    EXPECT_EQ(ReadBytes(good), goodBytes);
    EXPECT_FALSE(ReadBytes(doc->FSaveFileName).empty());

    // A connected client keeps its document.
    doc = NewDocument();
    AddTask(*doc, "Position 1", 45292, 2);
    doc->Client = true;
    doc->Open(good);
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 1);
    EXPECT_TRUE(Mentions(doc->Messages, "could not be loaded"));
}

TEST(LegacyListImport, AOneDayAbsenceMovesATaskOnItsPosition)
{
    // Tuesday 2 January 2024, two days, on A; A is away on Wednesday only.
    auto doc = NewDocument();
    ASSERT_TRUE(doc->Import(WriteList(ThreeColumnList(
        {"1", "738887", "2", "@@@ URLAUB @@@", "h", "h", "h", "h", "1", "738888", "738888", "Arzt"}))));
    const auto absent = TableRows(*doc, tbExclude);
    ASSERT_EQ(absent.size(), 1u);
    EXPECT_EQ(doc->GetData_(absent[0], cnLength), "1");
    doc->SettleDeferredUpdates();
    EXPECT_TRUE(absent[0]->nodeValid);
    const auto tasks = TableRows(*doc, tbTable);
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_DOUBLE_EQ(doc->GetEndOf(tasks[0]), EncodeDate(2024, 1, 4)) << "the task works on around the absence";
}
