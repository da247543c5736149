#include <gtest/gtest.h>

#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"

namespace {

TDocumentPtr NewDocument()
{
    TDocumentPtr doc = NewBareDocument<TRecordingDocument>();
    doc->ActionNew();
    return doc;
}

}  // namespace

TEST(DocumentSections, SetupRoundTripsThroughAnIni)
{
    auto doc = NewDocument();
    doc->FFooter = "Seite, \"eins\"";
    doc->FPrintToday = true;
    doc->FColWidth = 17;
    doc->FZoom = 150;
    doc->FRowSet = {1, 0, 2};
    doc->FTransparency = 30;
    doc->FFontname = "Serif";
    doc->FFontsize = 12;
    doc->FStateColors = {1, 2, 3, 4};
    doc->FHolidayColors = {9};
    doc->FFilters.push_back(TFilter{ftText, fsEquals, "a", "b", tbExclude, "Team", "Comment"});
    doc->FPositionGroup.Add("A,B");
    doc->FPositionGroupNames.Add("Team");
    doc->SetColumnFormat(tbTable, 1, "dd.mm.");

    TMemIniFile ini;
    doc->WriteSetupSection(ini);
    auto other = NewDocument();
    other->ReadSetupSection(ini);
    EXPECT_EQ(other->FFooter, doc->FFooter);
    EXPECT_TRUE(other->FPrintToday);
    EXPECT_EQ(other->FColWidth, 17);
    EXPECT_EQ(other->FZoom, 150);
    EXPECT_EQ(other->FRowSet, (std::vector<Byte>{1, 0, 2}));
    EXPECT_EQ(other->FTransparency, 30);
    EXPECT_EQ(other->FFontname, "Serif");
    EXPECT_EQ(other->FFontsize, 12);
    EXPECT_EQ(other->FStateColors, (std::vector<TColor>{1, 2, 3, 4}));
    EXPECT_EQ(other->FHolidayColors, (std::vector<TColor>{9}));
    ASSERT_EQ(other->FFilters.size(), 1u);
    EXPECT_EQ(other->FFilters[0].SubType, fsEquals);
    EXPECT_EQ(other->FFilters[0].Table, tbExclude);
    EXPECT_EQ(other->FFilters[0].Header, "Comment");
    ASSERT_EQ(other->FPositionGroup.Count(), 2);
    EXPECT_EQ(other->FPositionGroup.Get(1), "A,B");
    EXPECT_EQ(other->FPositionGroupNames.Get(1), "Team");
    EXPECT_EQ(other->GetColumnFormat(tbTable, 1), "dd.mm.");
    EXPECT_EQ(other->GetColumnCaption(tbTable, 4), doc->GetColumnCaption(tbTable, 4));
    EXPECT_EQ(other->GetConnection(tbTable, cnColor), 4);
    EXPECT_EQ(other->GetColumnStrings(tbTable, 0)->CommaText(), doc->GetColumnStrings(tbTable, 0)->CommaText());
}

TEST(DocumentSections, RowHeightIsScaledByTheRowSet)
{
    auto doc = NewDocument();
    const int base = doc->GetTimeChartRowHeight();
    for (int set = 0; set < 3; ++set) {
        doc->FRowSetIndex = set;
        TMemIniFile ini;
        doc->WriteSetupSection(ini);
        const int expected = set == 0 ? base : set == 1 ? base * 3 / 2 : base * 3;
        EXPECT_EQ(ini.ReadInteger("Setup", "RowHeight", 0), expected) << set;
    }
}

TEST(DocumentSections, HolidayReasonsDefaultToThreeQuotedItems)
{
    auto doc = NewDocument();
    TMemIniFile ini;
    doc->ReadSetupSection(ini);
    TStringList* reasons = doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor));
    ASSERT_EQ(reasons->Count(), 3);
    EXPECT_EQ(reasons->Get(0), "\"Holiday\"");
    EXPECT_EQ(reasons->Get(2), "\"Other\"");
    TMemIniFile out;
    doc->WriteSetupSection(out);
    EXPECT_EQ(out.ReadString("Header", "HolidayReason", ""), "\"\"\"Holiday\"\"\",\"\"\"Sick\"\"\",\"\"\"Other\"\"\"");
}

TEST(DocumentSections, ColumnCountIsCappedAndRolesOutsideTheTableDropped)
{
    auto doc = NewDocument();
    TMemIniFile ini;
    ini.WriteInteger("tbTable", "ColCount", 5000000);
    ini.WriteInteger("tbTableConnections", "Position", 4000);
    ini.WriteInteger("tbTableConnections", "Start", 2);
    ini.WriteInteger("tbTableHeader", "Type2", 200);
    doc->ReadSetupSection(ini);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 1000);
    EXPECT_EQ(doc->GetConnection(tbTable, cnPosition), -1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnStart), 2);
    EXPECT_EQ(doc->GetColumnType(tbTable, 2), ctText);
}

TEST(DocumentSections, TablesWriteRowsInTreeOrderAndEmptyTablesNoItems)
{
    auto doc = NewDocument();
    TMemIniFile empty;
    doc->WriteTableSections(tbTable, empty);
    EXPECT_EQ(empty.ReadInteger("tbTable", "RowCount", -1), 0);
    EXPECT_EQ(empty.SectionCount(), 1);

    AddTask(*doc, "Position 1", EncodeDate(2026, 5, 4), 2);
    AddTask(*doc, "Position 2", EncodeDate(2026, 5, 11), 1);
    TMemIniFile ini;
    doc->WriteTableSections(tbTable, ini);
    EXPECT_EQ(ini.ReadInteger("tbTable", "RowCount", 0), 2);
    EXPECT_EQ(ini.ReadString("tbTableItem0", "0", ""), "Position 1");
    EXPECT_EQ(ini.ReadString("tbTableItem1", "1", ""), "11.05.2026");

    // A row count beyond the sections present makes no empty rows.
    ini.WriteInteger("tbTable", "RowCount", 1000000000);
    auto other = NewDocument();
    other->ReadTableSections(tbTable, ini);
    EXPECT_LE(other->GetTableRowCount(tbTable), ini.SectionCount());
    const auto rows = TableRows(*other, tbTable);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(other->GetData_(rows[0], cnStart), "04.05.2026");
}

TEST(DocumentSections, PublicHolidaysRoundTrip)
{
    auto doc = NewDocument();
    doc->AddHoliday("Karfreitag", -2, true, true, 0);
    doc->AddHoliday("Neujahr", 1, false, false, 1);
    TMemIniFile ini;
    doc->WritePublicHolidays(ini);
    auto other = NewDocument();
    other->AddHoliday("stale", 1, true, false, 1);
    other->ReadPublicHolidays(ini);
    ASSERT_EQ(other->FHolidayList.size(), 2u);
    EXPECT_EQ(other->GetHolidayData(0)->day, -2);
    EXPECT_TRUE(other->GetHolidayData(0)->easter);
    EXPECT_FALSE(other->GetHolidayData(1)->enabled);
    EXPECT_EQ(other->GetHolidayData(1)->month, 1);
    EXPECT_EQ(other->GetHolidayData(2), nullptr);
}
