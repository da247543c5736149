#include <gtest/gtest.h>

#include <fstream>

#include "platform/DateUtils.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

namespace {

TDocumentPtr Loaded(const String& Name, bool Client = false, bool Server = false)
{
    TDocumentPtr doc = MakeDocument();
    doc->ActionNew();
    doc->Client = Client;
    doc->Server = Server;
    doc->Forget();
    EXPECT_TRUE(doc->Load(vektest::DataPath("older/" + Name)));
    return doc;
}

// The holidays as "name day.month enabled easter".
std::vector<String> Holidays(const TScheduleDocument& Doc)
{
    std::vector<String> list;
    for (int i = 0; const THolidayData* h = Doc.GetHolidayData(i); ++i)
        list.push_back(h->name + " " + IntToStr(h->day) + "." + IntToStr(h->month) + " " + IntToStr(h->enabled) +
                       " " + IntToStr(h->easter));
    return list;
}

const std::vector<std::vector<String>> Tasks = {
    {"Fräse", "02.03.2026", "04.03.2026", "3", "offen", "Größe prüfen", ""},
    {"Drehbank", "09.03.2026", "", "1", "", "Übergabe an Jürgen", ""},
};

}  // namespace

TEST(OlderVersions, FileWithoutVersionIsReadByNames)
{
    auto doc = Loaded("no-version.vek");
    EXPECT_EQ(TableCells(*doc, tbTable), Tasks);
    EXPECT_EQ(doc->FFileVersion, -1);
    // 2.0 and 2.1 knew no reasons nor working days: the defaults replace them.
    EXPECT_EQ(TableCells(*doc, tbExclude), (std::vector<std::vector<String>>{
                                         {"Fräse", "05.03.2026", "06.03.2026", "2", "Nein", "Holiday", "Müller"},
                                         {"Drehbank", "16.03.2026", "16.03.2026", "1", "Nein", "Holiday", ""},
                                     }));
    const auto rows = TableRows(*doc, tbTable);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0]->LastChanged, EncodeDateTime(2026, 3, 1, 10, 20, 30, 0));

    const std::vector<String> expected = {
        "Neujahr 1.1 0 0", "Heilige Drei Könige 6.1 1 0", "Ostern 0.0 1 1", "Karfreitag -2.0 1 1",
        "Ostermontag 1.0 1 1", "Himmelfahrt 39.0 1 1", "Pfingsten 49.0 1 1", "Pfingstmontag 50.0 1 1",
        "Fronleichnam 60.0 1 1", "Tag der Arbeit 1.5 1 0", "Maria Himmelfahrt 15.8 0 0",
        "Tag der Deutschen Einheit 3.10 1 0", "Nationalfeiertag 26.10 0 0", "Reformationstag 31.10 0 0",
        "Allerheiligen 1.11 0 0", "Maria Empfängnis 8.12 1 0", "Heiligabend 24.12 1 0",
        "erster Weihnachtsfeiertag 25.12 1 0", "zweiter Weihnachtsfeiertag 26.12 1 0", "Silvester 31.12 1 0"};
    EXPECT_EQ(Holidays(*doc), expected);
}

TEST(OlderVersions, Version21GetsDefaultsAndHolidayOverrides)
{
    auto doc = Loaded("version-2.1.vek");
    EXPECT_EQ(TableCells(*doc, tbTable), Tasks);
    for (const auto& row : TableCells(*doc, tbExclude)) {
        EXPECT_EQ(row[4], "Nein");
        EXPECT_EQ(row[5], "Holiday");
    }
    const auto list = Holidays(*doc);
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list[3], "Karfreitag -2.0 0 1");
    EXPECT_EQ(list[13], "Reformationstag 31.10 1 0");
    EXPECT_EQ(list[0], "Neujahr 1.1 1 0");
}

TEST(OlderVersions, Version22KeepsReasonsButTakesFixedHolidays)
{
    auto doc = Loaded("version-2.2.vek");
    const auto absent = TableCells(*doc, tbExclude);
    ASSERT_EQ(absent.size(), 2u);
    EXPECT_EQ(absent[0], (std::vector<String>{"Fräse", "05.03.2026", "06.03.2026", "2", "Ja", "Krank", "Müller"}));
    EXPECT_EQ(absent[1][5], "");
    // [Public Holiday] gives way to the fixed list.
    const auto list = Holidays(*doc);
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list[19], "Silvester 31.12 0 0");
    EXPECT_EQ(list[1], "Heilige Drei Könige 6.1 0 0");
}

TEST(OlderVersions, LegacyRowsAreNeitherSentNorLostOnTheNetwork)
{
    for (bool client : {true, false}) {
        auto doc = Loaded("no-version.vek", client, !client);
        EXPECT_EQ(doc->GetTableRowCount(tbTable), 2);
        EXPECT_EQ(doc->GetTableRowCount(tbExclude), 2);
        for (const String& call : doc->Calls)
            EXPECT_TRUE(call.rfind("Send", 0) != 0 && call.rfind("Broadcast", 0) != 0) << call;
    }
}

TEST(OlderVersions, NewerFilesIgnoreTheLegacyKeys)
{
    const String file = vektest::TempDir() + "/v23.vek";
    std::ofstream(file, std::ios::binary) << "[VEK]\r\nVersion=2\r\nSubVersion=3\r\n[tbTable]\r\nRowCount=1\r\n"
                                             "[tbTableItem0]\r\n0=P\r\nPosition=Q\r\n[Holiday]\r\nNeujahr=1\r\n";
    TDocumentPtr doc = MakeDocument();
    doc->ActionNew();
    ASSERT_TRUE(doc->Load(file));
    const auto rows = TableCells(*doc, tbTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "P");
    EXPECT_EQ(doc->GetHolidayData(0), nullptr);

    // An index outside the fixed list adds nothing.
    doc->addholiday(20, true);
    doc->addholiday(-1, true);
    EXPECT_EQ(doc->GetHolidayData(0), nullptr);
}
