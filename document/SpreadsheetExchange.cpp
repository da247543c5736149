// The spreadsheet exchange: both tables out to a new workbook and back in
// from a workbook file, one worksheet per table, row 1 the column captions.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

namespace {

const char* const TableSheetName = "VEK Table";
const char* const ExcludeSheetName = "VEK Table (Absent days)";
const char* const InfoSheetName = "Dateiinformation";

bool IsFolder(const String& Path)
{
    struct stat info {};
    return !Path.empty() && stat(Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const String& Path)
{
    struct stat info {};
    return stat(Path.c_str(), &info) == 0;
}

// The file name without its folder and its extension.
String BaseName(const String& Path)
{
    String name = Path.substr(Path.find_last_of('/') == String::npos ? 0 : Path.find_last_of('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != String::npos && dot > 0)
        name.resize(dot);
    return name;
}

// The user's documents folder as the desktop names it.
String XdgDocumentsFolder()
{
    const char* home = std::getenv("HOME");
    const String homeDir = home ? home : "";
    if (const char* env = std::getenv("XDG_DOCUMENTS_DIR"); env && IsFolder(env))
        return env;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const String dirs = (config && *config ? String(config) : homeDir + "/.config") + "/user-dirs.dirs";
    std::ifstream in(dirs);
    String line;
    int lines = 0;
    while (in && std::getline(in, line) && ++lines < 1000) {
        const String key = "XDG_DOCUMENTS_DIR=\"";
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"')
            continue;
        String value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0)
            value = homeDir + value.substr(5);
        if (IsFolder(value))
            return value;
    }
    if (IsFolder(homeDir + "/Documents"))
        return homeDir + "/Documents";
    return IsFolder(homeDir) ? homeDir : String("/tmp");
}

}  // namespace

std::unique_ptr<TWorkbookApplication> TScheduleDocument::CreateWorkbookApplication(const String& ExportPath)
{
    return std::make_unique<TWorkbookFile>(ExportPath);
}

String TScheduleDocument::GetDocumentsFolder() { return XdgDocumentsFolder(); }

String TScheduleDocument::GetDocumentFileName() const
{
    // The file the plan came from, whether or not this instance holds its
    // lock; a new document has none yet.
    if (FOpenFileName.empty() && FFileIsNewAndUnsaved)
        return String();
    return FSaveFileName.empty() ? FOpenFileName : FSaveFileName;
}

String TScheduleDocument::WorkbookExportPath(TDateTime When)
{
    String folder = GetDocumentsFolder();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    String name = BaseName(GetDocumentFileName());
    if (name.empty())
        name = "VEK";
    return FreeFileName(folder + "/" + name + " " + ::FormatDateTime("yyyy-mm-dd hh.nn.ss", When), ".xlsx");
}

String FreeFileName(const String& Stem, const String& Extension)
{
    String path = Stem + Extension;
    for (int i = 2; Exists(path) && i < 1000; ++i)
        path = Stem + " (" + IntToStr(i) + ")" + Extension;
    return path;
}

String TScheduleDocument::PrintFileName()
{
    String folder = GetDocumentsFolder();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    String name = BaseName(FOpenFileName);
    if (name.empty())
        name = "VEK";
    return FreeFileName(folder + "/" + name, ".pdf");
}

void TScheduleDocument::SetBusyCursor(bool Busy)
{
    if (Screen)
        Screen->SetCursor(Busy ? crHourGlass : crDefault);
}

void TScheduleDocument::Exportieren1Click()
{
    const TDateTime now = Now();
    std::unique_ptr<TWorkbookApplication> excel;
    try {
        excel = CreateWorkbookApplication(WorkbookExportPath(now));
    } catch (const std::exception&) {
        excel.reset();
    }
    if (!excel) {
        ShowMessage(dmWarning, FillText(Translate("Error during export:\\nUnable to open Excel."), {}));
        return;
    }

    auto putTable = [&](int Sheet, TWhichTable Table) {
        excel->Activate(Sheet);
        const int columns = GetTableColCount(Table);
        for (int c = 0; c < columns; ++c)
            excel->SetCell(1, c + 1, GetColumnCaption(Table, c));
        TStringTreeGrid* tree = GetTable(Table);
        int r = 2;
        for (TGridNode* node = tree ? tree->GetFirstNoInit() : nullptr; node; node = tree->GetNextNoInit(node)) {
            const TNodeData* row = NodeToRow(tree, node);
            if (!row)
                continue;
            for (int c = 0; c < columns; ++c) {
                String text = GetData(row, c);
                // A leading "=" would make the spreadsheet take the text for a formula.
                if (!text.empty() && text[0] == '=')
                    text = " " + text;
                excel->SetCell(r, c + 1, text);
            }
            ++r;
        }
    };

    SetBusyCursor(true);
    try {
        excel->Add();
        excel->SetName(1, Translate(TableSheetName));
        putTable(1, tbTable);
        excel->SetName(2, Translate(ExcludeSheetName));
        putTable(2, tbExclude);
        excel->SetName(3, Translate(InfoSheetName));
        excel->Activate(3);
        excel->SetCell(1, 1, Translate("Made by VEK, the planning board."));
        excel->SetCell(2, 1, FillText(Translate("exportiert am: %s"), {DateTimeToStr(now)}));
        excel->SetCell(3, 1, FillText(Translate("Dateiname: %s"), {GetDocumentFileName()}));
        excel->Activate(1);
        const bool shown = excel->SetVisible(true);
        SetBusyCursor(false);
        if (!shown)
            ShowMessage(dmInformation,
                FillText(Translate("No application could show the workbook.\\nIt was saved as %s."),
                    {excel->WorkbookPath()}));
    } catch (const std::exception& e) {
        SetBusyCursor(false);
        ShowMessage(dmWarning, FillText(Translate("Error during export:\\n%s"), {e.what()}));
    }
}

void TScheduleDocument::ExcelImport1Click()
{
    if (!CanImportWorkbook())
        return;
    String fileName;
    if (!ExecuteWorkbookOpenDialog("Excel Tabellen|*.xlsx;*.ods|alle Dateien|*.*", fileName))
        return;
    std::unique_ptr<TWorkbookApplication> excel;
    try {
        excel = CreateWorkbookApplication(String());
    } catch (const std::exception&) {
        excel.reset();
    }
    if (!excel) {
        ShowMessage(dmWarning, FillText(Translate("Error during import:\\nUnable to open Excel."), {}));
        return;
    }

    // The workbook is read and checked before anything is asked or changed:
    // a workbook that cannot be read, or holds nothing to import, leaves the
    // document as it is.
    struct TSheetToImport {
        int Sheet;
        TWhichTable Table;
    };
    std::vector<TSheetToImport> sheets;
    SetBusyCursor(true);
    try {
        excel->SetVisible(false);
        excel->Open(fileName);
        const std::pair<const char*, TWhichTable> names[] = {{TableSheetName, tbTable}, {ExcludeSheetName, tbExclude}};
        for (const auto& [name, table] : names) {
            const String sheetName = Translate(name);
            const int sheet = excel->Worksheet(sheetName);
            if (sheet == 0) {
                SetBusyCursor(false);
                ShowMessage(dmWarning, FillText(Translate("Sheet %s not found."), {sheetName}));
                continue;
            }
            if (WorksheetFits(*excel, sheet, table))
                sheets.push_back({sheet, table});
        }
    } catch (const std::exception& e) {
        SetBusyCursor(false);
        ShowMessage(dmWarning, FillText(Translate("Error during import:\\n%s"), {e.what()}));
        excel->Quit();
        return;
    }
    SetBusyCursor(false);
    if (sheets.empty()) {
        excel->Quit();
        return;
    }

    {
        // One undo step, from the question on: nothing else joins it.
        TUndoGroupScope group(*this);
        const bool clear = AskYesNo(FillText(
            Translate("Clear table before import?\\nOtherwise all imported tasks will be added to the current list."), {}));
        TUpdateScope update(*this, Translate("Excel Import..."));
        if (clear) {
            auto deleteRow = [this](TNodeData* Row, NativeInt Mode) { CB_DeleteNode(Row, Mode); };
            ForEach(tbTable, feAll, NativeInt(cmDefault), deleteRow);
            ForEach(tbExclude, feAll, NativeInt(cmDefault), deleteRow);
        }
        try {
            for (const TSheetToImport& s : sheets) {
                excel->Activate(s.Sheet);
                const int lastRow = excel->LastUsedCell().Row;
                const int columns = GetTableColCount(s.Table);
                for (int i = 2; i <= lastRow; ++i) {
                    TNodeData* row = AddNode(GetFreeID(), s.Table, -1, -1, -1, cmDefault);
                    if (!row)
                        continue;
                    for (int c = 0; c < columns; ++c)
                        SetData(row, c, excel->Cell(i, c + 1));
                }
            }
        } catch (const std::exception& e) {
            // What came in so far stays, as one undo step.
            ShowMessage(dmWarning, FillText(Translate("Error during import:\\n%s"), {e.what()}));
        }
    }
    excel->Quit();
}

bool TScheduleDocument::WorksheetFits(TWorkbookApplication& Excel, int Sheet, TWhichTable Table)
{
    Excel.Activate(Sheet);
    const int columns = GetTableColCount(Table);
    for (int c = 0; c < columns; ++c) {
        String text;
        try {
            text = Excel.Cell(1, c + 1);
        } catch (const std::exception&) {
            text.clear();
        }
        const String caption = GetColumnCaption(Table, c);
        if (!AnsiSameText(text, caption)) {
            SetBusyCursor(false);
            ShowMessage(dmInformation,
                FillText(Translate("Caution, table setup differs.\\nTable: %s\\nexpected column %s\\nwas column "
                                   "%s\\nHint: Export the current table, insert your data to that table and "
                                   "reimport it."),
                    {Excel.Name(Sheet), caption, text}));
            return false;
        }
    }
    return true;
}
