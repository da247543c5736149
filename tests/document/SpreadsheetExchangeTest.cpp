#include <cstdio>
#include <filesystem>
#include <map>
#include <pugixml.hpp>

#include "DocumentTestSupport.h"
#include "WorkbookTestSupport.h"
#include "platform/DateUtils.h"
#include "tests/support/TestData.h"

namespace {

// A document whose user answers from the test and whose spreadsheet writes
// into a folder of the test.
class TExchangeDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;

    std::string Folder;
    std::string FileName;         // the document's own file
    std::string PickedFile;       // the open dialog's answer; "" cancels
    bool ClearAnswer = false;
    bool HasSpreadsheet = true;
    bool CanShow = true;
    bool Client = false;
    std::vector<String> Messages;  // "W: ..." warnings, "I: ..." information
    std::vector<String> Questions;
    std::vector<String> Opened;
    String Filter;

    std::unique_ptr<TWorkbookApplication> CreateWorkbookApplication(const String& ExportPath) override
    {
        if (!HasSpreadsheet)
            return nullptr;
        return std::make_unique<TWorkbookFile>(ExportPath, [this](const String& Path) {
            Opened.push_back(Path);
            return CanShow;
        });
    }
    String GetDocumentsFolder() override { return Folder; }
    String GetDocumentFileName() const override { return FileName; }
    bool AskYesNo(const String& Text) override
    {
        Questions.push_back(Text);
        return ClearAnswer;
    }
    bool ExecuteWorkbookOpenDialog(const String& AFilter, String& Name) override
    {
        Filter = AFilter;
        Name = PickedFile;
        return !PickedFile.empty();
    }
    void ShowMessage(TDocumentMessageKind Kind, const String& Text) override
    {
        Messages.push_back((Kind == dmInformation ? "I: " : "W: ") + Text);
    }
    bool IsConnectedClient() const override { return Client; }
};

using TExchangePtr = TOwnedDocument<TExchangeDocument>;

TExchangePtr MakeExchangeDocument()
{
    TExchangePtr doc = NewBareDocument<TExchangeDocument>();
    doc->CreateBasicTable(tbExclude);
    doc->CreateBasicTable(tbTable);
    doc->Folder = vektest::TempDir();
    doc->UndoRedo().Clear();
    return doc;
}

std::vector<String> Captions(TScheduleDocument& Doc, TWhichTable Table)
{
    std::vector<String> captions;
    for (int c = 0; c < Doc.GetTableColCount(Table); ++c)
        captions.push_back(Doc.GetColumnCaption(Table, c));
    return captions;
}

TNodeData* AddRow(TScheduleDocument& Doc, TWhichTable Table, const std::vector<String>& Cells)
{
    TNodeData* row = Doc.AddNode(Doc.GetFreeID(), Table, -1, -1, -1, cmIgnoreNet);
    for (std::size_t c = 0; c < Cells.size(); ++c)
        Doc.DoSetData(row, int(c), Cells[c], cmIgnoreNet);
    return row;
}

void FillSample(TScheduleDocument& Doc)
{
    AddRow(Doc, tbTable, {"Position 1", "04.03.2024", "05.03.2024", "2", "State 1", "=SUM(A1)"});
    AddRow(Doc, tbTable, {"Position 2", "", "", "", "", ""});
    AddRow(Doc, tbTable, {"Position 3", "06.03.2024", "06.03.2024", "1", "State 2", "Müller & Co <x>\nzwei"});
    AddRow(Doc, tbExclude, {"Position 1", "11.03.2024", "15.03.2024", "5", "1", "Holiday", "= not a formula"});
}

std::string RunCommand(const std::string& Command)
{
    std::string out;
    if (FILE* pipe = popen(Command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

std::string OnlyFile(const std::string& Folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        files.push_back(entry.path().string());
    return files.size() == 1 ? files[0] : std::string();
}

}  // namespace

TEST(SpreadsheetExport, WritesBothTablesAndTheFileInformation)
{
    TExchangePtr doc = MakeExchangeDocument();
    doc->FileName = "/plans/Werk Nord.vek";
    FillSample(*doc);
    const TDateTime before = Now();
    doc->Exportieren1Click();

    const std::string path = OnlyFile(doc->Folder);
    ASSERT_FALSE(path.empty());
    const std::string name = std::filesystem::path(path).filename().string();
    EXPECT_EQ(name.rfind("Werk Nord " + FormatDateTime("yyyy-mm-dd", before), 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 5), ".xlsx");
    EXPECT_EQ(doc->Opened, std::vector<String>{path});
    EXPECT_TRUE(doc->Messages.empty());

    TWorkbookFile book;
    book.Open(path);
    ASSERT_EQ(book.WorksheetCount(), 3);
    EXPECT_EQ(book.Name(1), "VEK Table");
    EXPECT_EQ(book.Name(2), "VEK Table (Absent days)");
    EXPECT_EQ(book.Name(3), "Dateiinformation");
    for (const auto& [sheet, table] : {std::pair{1, tbTable}, std::pair{2, tbExclude}}) {
        book.Activate(sheet);
        const auto captions = Captions(*doc, table);
        const auto rows = TableCells(*doc, table);
        EXPECT_EQ(book.LastUsedCell().Row, int(rows.size()) + 1);
        EXPECT_EQ(book.LastUsedCell().Column, int(captions.size()));
        for (std::size_t c = 0; c < captions.size(); ++c)
            EXPECT_EQ(book.Cell(1, int(c) + 1), captions[c]);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < captions.size(); ++c) {
                const String& text = rows[r][c];
                EXPECT_EQ(book.Cell(int(r) + 2, int(c) + 1), !text.empty() && text[0] == '=' ? " " + text : text);
            }
    }
    book.Activate(1);
    EXPECT_EQ(book.Cell(2, 6), " =SUM(A1)");
    EXPECT_EQ(book.Cell(3, 2), "");
    book.Activate(3);
    EXPECT_FALSE(book.Cell(1, 1).empty());
    EXPECT_EQ(book.Cell(2, 1).rfind("exportiert am: " + DateToStr(before), 0), 0u) << book.Cell(2, 1);
    EXPECT_EQ(book.Cell(3, 1), "Dateiname: /plans/Werk Nord.vek");

    // Read independently: the sheet's XML holds only text cells, no formula.
    const std::string sheet = RunCommand("unzip -p '" + path + "' xl/worksheets/sheet1.xml");
    const std::string strings = RunCommand("unzip -p '" + path + "' xl/sharedStrings.xml");
    ASSERT_FALSE(sheet.empty());
    pugi::xml_document sheetXml, stringsXml;
    ASSERT_TRUE(sheetXml.load_string(sheet.c_str()));
    ASSERT_TRUE(stringsXml.load_string(strings.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single));
    std::vector<std::string> shared;
    for (pugi::xml_node si : stringsXml.child("sst").children("si"))
        shared.push_back(si.child("t").text().get());
    std::map<std::string, std::string> cells;
    for (pugi::xml_node row : sheetXml.child("worksheet").child("sheetData").children("row"))
        for (pugi::xml_node c : row.children("c")) {
            EXPECT_STREQ(c.attribute("t").value(), "s");
            EXPECT_FALSE(c.child("f"));
            const std::size_t index = c.child("v").text().as_uint();
            ASSERT_LT(index, shared.size());
            cells[c.attribute("r").value()] = shared[index];
        }
    EXPECT_EQ(cells["A1"], "Position");
    EXPECT_EQ(cells["F2"], " =SUM(A1)");
    EXPECT_EQ(cells["F4"], "Müller & Co <x>\nzwei");
    EXPECT_EQ(cells.count("B3"), 0u);  // an empty cell stays empty
    EXPECT_NE(strings.find("Dateiname: /plans/Werk Nord.vek"), std::string::npos);
}

TEST(SpreadsheetExport, WithoutSpreadsheetOrViewer)
{
    TExchangePtr doc = MakeExchangeDocument();
    doc->HasSpreadsheet = false;
    doc->Exportieren1Click();
    EXPECT_EQ(doc->Messages, std::vector<String>{"W: Error during export:\nUnable to open Excel."});
    EXPECT_TRUE(OnlyFile(doc->Folder).empty());

    // Nothing could show the workbook: it is on disk and the user is told where.
    TExchangePtr doc2 = MakeExchangeDocument();
    doc2->CanShow = false;
    doc2->Exportieren1Click();
    const std::string path = OnlyFile(doc2->Folder);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(std::filesystem::path(path).filename().string().rfind("VEK ", 0), 0u);  // a new document's name
    ASSERT_EQ(doc2->Messages.size(), 1u);
    EXPECT_NE(doc2->Messages[0].find(path), String::npos) << doc2->Messages[0];

    // A second export in the same second never overwrites the first.
    const TDateTime when = Now();
    const String first = doc2->WorkbookExportPath(when);
    WriteFile(first, "taken");
    EXPECT_NE(doc2->WorkbookExportPath(when), first);

    // An unwritable folder is reported, not taken for success.
    TExchangePtr doc3 = MakeExchangeDocument();
    doc3->Folder = "/nonexistent-folder";
    doc3->Exportieren1Click();
    ASSERT_EQ(doc3->Messages.size(), 1u);
    EXPECT_EQ(doc3->Messages[0].rfind("W: Error during export:\n", 0), 0u);
    EXPECT_TRUE(doc3->Opened.empty());
}

TEST(SpreadsheetImport, ExportedWorkbookComesBackWhole)
{
    TExchangePtr source = MakeExchangeDocument();
    FillSample(*source);
    source->Exportieren1Click();
    const std::string path = OnlyFile(source->Folder);
    ASSERT_FALSE(path.empty());

    TExchangePtr doc = MakeExchangeDocument();
    doc->PickedFile = path;
    doc->ExcelImport1Click();
    EXPECT_TRUE(doc->Messages.empty()) << doc->Messages[0];
    EXPECT_EQ(doc->Filter, "Excel Tabellen|*.xlsx;*.ods|alle Dateien|*.*");
    EXPECT_EQ(doc->Questions,
        std::vector<String>{"Clear table before import?\nOtherwise all imported tasks will be added to the current list."});
    for (TWhichTable table : {tbTable, tbExclude}) {
        auto expected = TableCells(*source, table);
        // The formula guard stays on the text: the spreadsheet showed it so.
        for (auto& row : expected)
            for (auto& cell : row)
                if (!cell.empty() && cell[0] == '=')
                    cell = " " + cell;
        EXPECT_EQ(TableCells(*doc, table), expected);
    }
    EXPECT_EQ(doc->FUndoRedoGroupIndex, -1);

    // One undo takes the whole import back.
    ASSERT_TRUE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().Undo();
    EXPECT_TRUE(TableCells(*doc, tbTable).empty());
    EXPECT_TRUE(TableCells(*doc, tbExclude).empty());
}

TEST(SpreadsheetImport, ClearingQuestionDecidesBetweenReplaceAndAppend)
{
    const std::string folder = vektest::TempDir();
    TExchangePtr doc = MakeExchangeDocument();
    const auto captions = Captions(*doc, tbTable);
    std::string header = "<table:table-row>";
    for (const String& caption : captions)
        header += OdsText(UpperCase(caption));  // letter case does not matter
    header += "</table:table-row>";
    const std::string file = folder + "/tasks.ods";
    WriteFile(file, MakeOds({{"VEK Table", header + "<table:table-row>" + OdsText("Position 2") +
                                               "</table:table-row>"}}));

    TNodeData* kept = AddRow(*doc, tbTable, {"Position 1", "", "", "", "", "old"});
    AddRow(*doc, tbExclude, {"Position 1"});
    const int keptID = kept->ID;
    doc->PickedFile = file;
    doc->ExcelImport1Click();
    // The absent-days sheet is missing: reported, the task sheet still read.
    EXPECT_EQ(doc->Messages, std::vector<String>{"W: Sheet VEK Table (Absent days) not found."});
    auto rows = TableCells(*doc, tbTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][5], "old");
    EXPECT_EQ(rows[1][0], "Position 2");
    std::vector<int> ids;
    doc->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { ids.push_back(Row->ID); });
    EXPECT_EQ(ids[0], keptID);
    EXPECT_NE(ids[1], keptID);
    EXPECT_EQ(TableCells(*doc, tbExclude).size(), 1u);

    doc->Messages.clear();
    doc->ClearAnswer = true;
    doc->ExcelImport1Click();
    rows = TableCells(*doc, tbTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "Position 2");
    EXPECT_TRUE(TableCells(*doc, tbExclude).empty());
    // Deletions and additions undo as one step.
    doc->UndoRedo().Undo();
    EXPECT_EQ(TableCells(*doc, tbTable).size(), 2u);
    EXPECT_EQ(TableCells(*doc, tbExclude).size(), 1u);
}

TEST(SpreadsheetImport, HeaderCheckEmptyRowsDatesAndNumbers)
{
    TExchangePtr doc = MakeExchangeDocument();
    const auto task = Captions(*doc, tbTable);
    const auto absent = Captions(*doc, tbExclude);
    auto headerRow = [](const std::vector<String>& Captions, std::size_t Wrong) {
        std::string row = "<row r=\"1\">";
        for (std::size_t c = 0; c < Captions.size(); ++c)
            row += "<c t=\"inlineStr\"><is><t>" + (c == Wrong ? std::string("Other") : Captions[c]) + "</t></is></c>";
        return row + "<c t=\"inlineStr\"><is><t>extra columns are not examined</t></is></c></row>";
    };
    const std::string styles =
        "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    const std::string tasks = headerRow(task, 99) +
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>Position 1</t></is></c><c r=\"B2\" s=\"1\"><v>45355</v></c>"
        "<c r=\"D2\"><v>2.5</v></c><c r=\"F2\" t=\"inlineStr\"><is><t>tail</t></is></c>"
        "<c r=\"H2\" t=\"inlineStr\"><is><t>beyond the table</t></is></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t>Position 3</t></is></c></row>";
    const std::string file = vektest::TempDir() + "/hand.xlsx";
    WriteFile(file, MakeXlsx({{"vek table", tasks}, {"VEK Table (Absent days)", headerRow(absent, 5)}}, "", styles));

    doc->PickedFile = file;
    doc->ExcelImport1Click();
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_EQ(doc->Messages[0], "I: Caution, table setup differs.\nTable: VEK Table (Absent days)\nexpected column " +
                                    absent[5] + "\nwas column Other\nHint: Export the current table, insert your "
                                                "data to that table and reimport it.");
    const auto rows = TableCells(*doc, tbTable);
    ASSERT_EQ(rows.size(), 3u);  // row 3 is empty inside the range and becomes an empty row
    EXPECT_EQ(rows[0][0], "Position 1");
    EXPECT_EQ(rows[0][1], "04.03.2024");
    EXPECT_EQ(rows[0][3], "2,5");
    EXPECT_EQ(rows[0][5], "tail");
    for (const String& cell : rows[1])
        EXPECT_EQ(cell, "");
    EXPECT_EQ(rows[2][0], "Position 3");
    EXPECT_TRUE(TableCells(*doc, tbExclude).empty());

    // A worksheet whose used range ends at row 1 adds nothing.
    const std::string headerOnly = vektest::TempDir() + "/header.xlsx";
    WriteFile(headerOnly, MakeXlsx({{"VEK Table", headerRow(task, 99)}}));
    TExchangePtr empty = MakeExchangeDocument();
    empty->PickedFile = headerOnly;
    empty->ExcelImport1Click();
    EXPECT_TRUE(TableCells(*empty, tbTable).empty());
}

TEST(SpreadsheetImport, RefusedCasesLeaveTheDocumentAlone)
{
    TExchangePtr doc = MakeExchangeDocument();
    AddRow(*doc, tbTable, {"Position 1"});
    const auto before = TableCells(*doc, tbTable);

    // Cancelled dialog: no question, no message.
    doc->ExcelImport1Click();
    EXPECT_TRUE(doc->Questions.empty());
    EXPECT_TRUE(doc->Messages.empty());

    // A connected client does not import at all.
    const std::string folder = vektest::TempDir();
    doc->PickedFile = folder + "/x.xlsx";
    doc->Client = true;
    EXPECT_FALSE(doc->CanImportWorkbook());
    doc->ExcelImport1Click();
    EXPECT_TRUE(doc->Questions.empty());
    doc->Client = false;

    doc->HasSpreadsheet = false;
    doc->ExcelImport1Click();
    EXPECT_EQ(doc->Messages, std::vector<String>{"W: Error during import:\nUnable to open Excel."});
    doc->HasSpreadsheet = true;

    // Corrupt and missing files: a clear error, nothing added.
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"garbage.xlsx", "PK\x03\x04 broken zip"},
        {"bad.xlsx", MakeXlsx({{"VEK Table", "<row><c><v>1</row>"}})},
    };
    // Answered Yes to the clearing question, were it asked: the workbook is
    // read first, so the tables stay as they are.
    AddRow(*doc, tbExclude, {"Position 1"});
    const auto absentBefore = TableCells(*doc, tbExclude);
    doc->ClearAnswer = true;
    for (const auto& [name, bytes] : broken) {
        doc->Messages.clear();
        doc->Questions.clear();
        doc->PickedFile = folder + "/" + name;
        WriteFile(doc->PickedFile, bytes);
        doc->ExcelImport1Click();
        ASSERT_EQ(doc->Messages.size(), 1u) << name;
        EXPECT_EQ(doc->Messages[0].rfind("W: Error during import:\nThe workbook cannot be read: ", 0), 0u)
            << doc->Messages[0];
        EXPECT_TRUE(doc->Questions.empty()) << name;
        EXPECT_EQ(TableCells(*doc, tbTable), before) << name;
        EXPECT_EQ(TableCells(*doc, tbExclude), absentBefore) << name;
    }
    // Nor does a workbook that holds nothing to import ask.
    doc->Messages.clear();
    doc->PickedFile = folder + "/other.xlsx";
    WriteFile(doc->PickedFile,
              MakeXlsx({{"Something else", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>"}}));
    doc->ExcelImport1Click();
    EXPECT_TRUE(doc->Questions.empty());
    EXPECT_EQ(doc->Messages.size(), 2u) << "both worksheets are missing";
    EXPECT_EQ(TableCells(*doc, tbTable), before);
    EXPECT_EQ(TableCells(*doc, tbExclude), absentBefore);
    doc->ClearAnswer = false;
    doc->Messages.clear();
    doc->PickedFile = folder + "/does-not-exist.xlsx";
    doc->ExcelImport1Click();
    ASSERT_EQ(doc->Messages.size(), 1u);
    EXPECT_NE(doc->Messages[0].find("cannot be opened"), String::npos);
    EXPECT_EQ(doc->FUndoRedoGroupIndex, -1);
}
