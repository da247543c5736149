#include "document/Workbook.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "WorkbookTestSupport.h"
#include "document/WorkbookReader.h"
#include "platform/FormatSettings.h"
#include "platform/SysUtils.h"
#include "tests/support/TestData.h"

namespace {

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = TFormatSettings::Default(); }
};

TWorkbookFile Read(const std::string& Bytes)
{
    TWorkbookFile book;
    book.OpenFromMemory(Bytes.data(), Bytes.size());
    return book;
}

// The message of the error reading the bytes raises; "" when none is raised.
std::string ReadError(const std::string& Bytes)
{
    try {
        Read(Bytes);
    } catch (const EWorkbookError& e) {
        return e.Message;
    }
    return {};
}

// The texts of cells 1..Columns of a row of the active sheet.
std::vector<String> RowTexts(TWorkbookFile& Book, int Row, int Columns)
{
    std::vector<String> texts;
    for (int c = 1; c <= Columns; ++c)
        texts.push_back(Book.Cell(Row, c));
    return texts;
}
using TTexts = std::vector<String>;

}  // namespace

TEST_F(WorkbookTest, NewWorkbookRoundTripsThroughXlsx)
{
    const std::string path = vektest::TempDir() + "/book.xlsx";
    TWorkbookFile out(path, [](const String&) { return true; });
    out.Add();
    ASSERT_GE(out.WorksheetCount(), 3);
    out.SetName(1, "Tasks");
    out.SetName(2, "Bad:[name]/with*chars?and a tail much longer than allowed");
    out.Activate(1);
    out.SetCell(1, 1, "Position");
    out.SetCell(1, 3, "  leading and trailing  ");
    out.SetCell(2, 1, "Müller & Söhne <GmbH>");
    out.SetCell(2, 2, "line one\nline two\ttab");
    out.SetCell(5, 4, "_x0041_ stays literal");
    out.SetCell(3, 2, "12");  // a number-like text stays text
    out.SetCell(4, 1, "cr\r\nlf \x01 bell\x07 _x005F_ _xZZZZ_");
    out.Activate(2);
    out.SetCell(1, 1, "other");
    ASSERT_TRUE(out.SetVisible(true));
    ASSERT_TRUE(std::filesystem::exists(path));

    TWorkbookFile in;
    in.Open(path);
    ASSERT_EQ(in.WorksheetCount(), 3);
    EXPECT_EQ(in.Name(1), "Tasks");
    EXPECT_EQ(in.Name(2), out.Name(2));
    EXPECT_EQ(Length(in.Name(2)), 31);
    EXPECT_EQ(in.Name(2).find_first_of("[]:*?/\\"), String::npos);
    EXPECT_EQ(in.Worksheet("TASKS"), 1);
    EXPECT_EQ(in.Worksheet("missing"), 0);
    in.Activate(1);
    EXPECT_EQ(RowTexts(in, 1, 3), (TTexts{"Position", "", "  leading and trailing  "}));
    EXPECT_EQ(RowTexts(in, 2, 2), (TTexts{"Müller & Söhne <GmbH>", "line one\nline two\ttab"}));
    EXPECT_EQ(in.Cell(5, 4), "_x0041_ stays literal");
    EXPECT_EQ(in.Cell(3, 2), "12");
    EXPECT_EQ(in.Cell(4, 1), "cr\r\nlf \x01 bell\x07 _x005F_ _xZZZZ_");
    EXPECT_EQ(in.LastUsedCell().Row, 5);
    EXPECT_EQ(in.LastUsedCell().Column, 4);
    in.Activate(3);
    EXPECT_EQ(in.LastUsedCell().Row, 1);
    EXPECT_EQ(in.Cell(1, 1), "");
}

TEST_F(WorkbookTest, NamesCellsAndVisibility)
{
    TWorkbookFile book;
    EXPECT_THROW(book.SetCell(1, 1, "x"), EWorkbookError);  // no workbook yet
    book.Add();
    book.SetName(1, "Plan");
    EXPECT_THROW(book.SetName(2, "plan"), EWorkbookError);  // names differ by more than case
    EXPECT_THROW(book.Activate(4), EWorkbookError);
    EXPECT_THROW(book.SetCell(0, 1, "x"), EWorkbookError);
    EXPECT_THROW(book.Cell(1, TWorkbookFile::MaxColumns + 1), EWorkbookError);
    EXPECT_EQ(WorksheetSafeName(""), "Sheet");
    EXPECT_EQ(WorksheetSafeName("'quoted'"), " quoted ");

    // A text longer than a cell holds is cut at a character, not inside one.
    book.SetCell(1, 1, std::string(TWorkbookFile::MaxCellText - 1, 'a') + "ää");
    EXPECT_EQ(Length(book.Cell(1, 1)), TWorkbookFile::MaxCellText);

    // Nothing to show it with: the file is still written, and its place known.
    const std::string path = vektest::TempDir() + "/shown.xlsx";
    std::vector<String> opened;
    TWorkbookFile shown(path, [&](const String& p) { opened.push_back(p); return false; });
    shown.Add();
    EXPECT_EQ(shown.WorkbookPath(), path);
    EXPECT_FALSE(shown.SetVisible(true));
    EXPECT_EQ(opened, std::vector<String>{path});
    EXPECT_TRUE(std::filesystem::exists(path));

    // A new workbook with nowhere to go is an error, not silent success.
    TWorkbookFile nowhere;
    nowhere.Add();
    EXPECT_THROW(nowhere.SetVisible(true), EWorkbookError);
    TWorkbookFile unwritable("/nonexistent-folder/x.xlsx", [](const String&) { return true; });
    unwritable.Add();
    EXPECT_THROW(unwritable.SetVisible(true), EWorkbookError);
}

TEST_F(WorkbookTest, XlsxCellKindsReadAsTheUserSeesThem)
{
    const std::string styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"3\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"#,##0.000 &quot;kg&quot;\"/>"
        "<numFmt numFmtId=\"166\" formatCode=\"[$-407]d/m/yy h:mm;@\"/></numFmts>"
        "<cellXfs count=\"8\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"20\"/>"
        "<xf numFmtId=\"164\"/><xf numFmtId=\"2\"/><xf numFmtId=\"165\"/><xf numFmtId=\"166\"/>"
        "<xf numFmtId=\"10\"/></cellXfs></styleSheet>";
    const std::string shared = "<si><t>shared</t></si><si><r><t>rich </t></r><r><rPr/><t>text</t></r>"
                               "<rPh><t>hint</t></rPh></si><si><t>a_x000D_b</t></si>";
    const std::string data =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"inlineStr\"><is><t>inline</t></is></c><c r=\"D1\" t=\"s\"><v>2</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>45355</v></c><c r=\"B2\" s=\"2\"><v>0.5</v></c>"
        "<c r=\"C2\" s=\"3\"><v>45355.75</v></c><c r=\"D2\" s=\"6\"><v>45355.75</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>3.5</v></c><c r=\"B3\" s=\"4\"><v>2</v></c>"
        "<c r=\"C3\" s=\"5\"><v>1234567.5</v></c><c r=\"D3\" s=\"7\"><v>0.125</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"b\"><v>1</v></c><c r=\"B4\" t=\"b\"><v>0</v></c>"
        "<c r=\"C4\" t=\"str\"><f>A1</f><v>formula text</v></c><c r=\"D4\" t=\"e\"><v>#DIV/0!</v></c></row>"
        // Cells and rows without a reference follow the previous ones.
        "<row><c t=\"inlineStr\"><is><t>first</t></is></c><c t=\"inlineStr\"><is><t>second</t></is></c></row>"
        "<row r=\"9\"><c r=\"B9\" s=\"99\"><v>7</v></c><c r=\"C9\" t=\"d\"><v>2024-03-04T00:00:00</v></c>"
        "<c r=\"D9\" s=\"1\"/></row>";
    TWorkbookFile book = Read(MakeXlsx({{"Data", data}}, shared, styles));
    ASSERT_EQ(book.WorksheetCount(), 1);
    EXPECT_EQ(book.Name(1), "Data");
    book.Activate(1);
    EXPECT_EQ(RowTexts(book, 1, 4), (TTexts{"shared", "rich text", "inline", "a\rb"}));
    // C2's format shows no time.
    EXPECT_EQ(RowTexts(book, 2, 4), (TTexts{"04.03.2024", "12:00", "04.03.2024", "04.03.2024 18:00"}));
    EXPECT_EQ(RowTexts(book, 3, 4), (TTexts{"3,5", "2,00", "1.234.567,500", "12,50%"}));
    EXPECT_EQ(RowTexts(book, 4, 4), (TTexts{"TRUE", "FALSE", "formula text", "#DIV/0!"}));
    EXPECT_EQ(RowTexts(book, 5, 2), (TTexts{"first", "second"}));
    // B9: an unknown style is the general format.
    EXPECT_EQ(RowTexts(book, 9, 3), (TTexts{"", "7", "04.03.2024"}));
    EXPECT_EQ(book.LastUsedCell().Row, 9);  // the empty styled D9 does not count as used
    EXPECT_EQ(book.LastUsedCell().Column, 4);
}

TEST_F(WorkbookTest, NumberTextFollowsTheFormat)
{
    EXPECT_EQ(WorkbookNumberText(45355, 14, "", false), "04.03.2024");
    EXPECT_EQ(WorkbookNumberText(43893, 14, "", true), "04.03.2024");  // days counted from 1904
    EXPECT_EQ(WorkbookNumberText(0.75, 0, "h:mm AM/PM", false), "18:00");
    EXPECT_EQ(WorkbookNumberText(0.5 + 1.0 / 86400 * 5, 0, "[h]:mm:ss", false), "12:00:05");
    EXPECT_EQ(WorkbookNumberText(-3.25, 1, "", false), "-3");
    EXPECT_EQ(WorkbookNumberText(-0.001, 2, "", false), "0,00");
    EXPECT_EQ(WorkbookNumberText(1e20, 4, "", false), "1E20");
    EXPECT_EQ(WorkbookNumberText(12.6, 0, "\"Day\" 0", false), "13");  // literal letters are no date
    EXPECT_EQ(WorkbookNumberText(-5, 14, "", false), "-5");  // no date before the first day
}

TEST_F(WorkbookTest, OdsCellsAndRepeats)
{
    const std::string rows =
        "<table:table-row>" + OdsText("Name") +
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-04\"><text:p>04.03.24</text:p>"
        "</table:table-cell>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-04T13:30:00\"/>"
        "<table:table-cell office:value-type=\"time\" office:time-value=\"PT08H15M00S\"><text:p>08:15 AM</text:p>"
        "</table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"3.5\"/>"
        "<table:table-cell office:value-type=\"float\" office:value=\"2\"><text:p>2,00</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"><text:p>WAHR</text:p>"
        "</table:table-cell>"
        "<table:table-cell><text:p>a<text:s text:c=\"3\"/>b<text:tab/>c<text:span>d<text:line-break/>e</text:span>"
        "</text:p><text:p>second</text:p><office:annotation><text:p>note</text:p></office:annotation>"
        "</table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell table:number-columns-repeated=\"2\"/>" +
        OdsText("rep") + "</table:table-row>"
        "<table:table-row-group><table:table-row><table:covered-table-cell/>" + OdsText("grouped") +
        "</table:table-row></table:table-row-group>"
        // What a spreadsheet writes after the last row: empty rows to the sheet's end.
        "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row>";
    TWorkbookFile book = Read(MakeOds({{"First", rows}, {"Second", "<table:table-row>" + OdsText("x") +
                                                                   "</table:table-row>"}}));
    ASSERT_EQ(book.WorksheetCount(), 2);
    EXPECT_EQ(book.Worksheet("second"), 2);
    book.Activate(1);
    EXPECT_EQ(RowTexts(book, 1, 4), (TTexts{"Name", "04.03.2024", "04.03.2024 13:30", "08:15"}));
    EXPECT_EQ(RowTexts(book, 2, 4), (TTexts{"3,5", "2,00", "TRUE", "a   b\tcd\ne\nsecond"}));
    EXPECT_EQ(RowTexts(book, 3, 3), (TTexts{"", "", "rep"}));
    EXPECT_EQ(RowTexts(book, 4, 3), (TTexts{"", "", "rep"}));
    EXPECT_EQ(RowTexts(book, 5, 2), (TTexts{"", "grouped"}));
    EXPECT_EQ(book.LastUsedCell().Row, 5);
    EXPECT_EQ(book.LastUsedCell().Column, 4);
}

TEST_F(WorkbookTest, BrokenFilesGiveClearErrors)
{
    const auto contains = [](const std::string& message, const std::string& part) {
        return message.find(part) != std::string::npos;
    };
    EXPECT_TRUE(contains(ReadError(""), "too short"));
    EXPECT_TRUE(contains(ReadError("this is not a zip archive at all"), "not a zip archive"));
    EXPECT_TRUE(contains(ReadError(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(500, '\0')),
        "older binary format"));
    EXPECT_TRUE(contains(ReadError(MakeZip({{"readme.txt", "hello"}})), "no workbook"));

    // Cut short: the archive's directory is gone.
    const std::string good = MakeXlsx({{"S", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>"}});
    ASSERT_EQ(ReadError(good), "");
    EXPECT_TRUE(contains(ReadError(good.substr(0, good.size() / 2)), "not a zip archive"));
    // A flipped byte in the packed data fails the checksum.
    std::string flipped = good;
    const std::size_t at = flipped.find("xl/worksheets/sheet1.xml") + 40;
    flipped[at] = char(flipped[at] ^ 0x5A);
    EXPECT_NE(ReadError(flipped), "");

    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row><c><v>1</v></row>"}})), "not well-formed"));
    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>"}},
                             "<si><t>only</t></si>")),
        "shared string 5"));
    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>"}},
                             "<si><t>only</t></si>")),
        "does not exist"));
    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row r=\"1\"><c r=\"AAAAA1\"><v>1</v></c></row>"}})),
        "beyond the last column"));
    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row r=\"99999999\"><c><v>1</v></c></row>"}})),
        "row number out of range"));
    EXPECT_TRUE(contains(ReadError(MakeXlsx({{"S", "<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>"}})),
        "bad cell reference"));
    // A million columns of text in one row of an .ods.
    EXPECT_TRUE(contains(ReadError(MakeOds({{"T", "<table:table-row><table:table-cell "
                                                   "table:number-columns-repeated=\"1000000\" "
                                                   "office:value-type=\"string\"><text:p>x</text:p>"
                                                   "</table:table-cell></table:table-row>"}})),
        "beyond the last column"));
    // Repeats that multiply into more cells than a workbook may hold.
    EXPECT_TRUE(contains(ReadError(MakeOds({{"T", "<table:table-row table:number-rows-repeated=\"1000000\">"
                                                   "<table:table-cell table:number-columns-repeated=\"100\" "
                                                   "office:value-type=\"string\"><text:p>x</text:p>"
                                                   "</table:table-cell></table:table-row>"}})),
        "cells"));
    EXPECT_TRUE(contains(ReadError(MakeZip({{"content.xml", "<office:document-content><office:body>"
                                                            "<office:text/></office:body></office:document-content>"}})),
        "no spreadsheet"));
}

TEST_F(WorkbookTest, UnpackingStopsAtTheBound)
{
    // A small archive whose part unpacks to more than a workbook part may be.
    std::string huge = "<worksheet><sheetData>";
    huge.resize(TWorkbookFile::MaxPartSize + 1024, ' ');
    huge += "</sheetData></worksheet>";
    const std::string bomb = MakeXlsx({{"S", ""}});
    TZipParts parts = {{"xl/workbook.xml", "<workbook><sheets><sheet name=\"S\"/></sheets></workbook>"},
        {"xl/worksheets/sheet1.xml", huge}};
    const std::string packed = MakeZip(parts);
    ASSERT_LT(packed.size(), huge.size() / 100);
    const std::string message = ReadError(packed);
    EXPECT_NE(message.find("xl/worksheets/sheet1.xml"), std::string::npos) << message;
    EXPECT_NE(message.find("more than"), std::string::npos) << message;
    EXPECT_EQ(ReadError(bomb), "");
}
