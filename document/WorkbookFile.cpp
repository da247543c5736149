// TWorkbookFile: the workbook held in memory, written as .xlsx with
// libxlsxwriter and shown with the desktop's default application.
#include "document/Workbook.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "document/WorkbookReader.h"
#include "platform/SysUtils.h"

extern char** environ;

namespace {

// Cuts a text to at most Count characters without splitting a UTF-8 sequence.
String CutCharacters(const String& Text, int Count)
{
    int chars = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80) {
            if (chars == Count)
                return Text.substr(0, i);
            ++chars;
        }
    }
    return Text;
}

bool IsHex(char Ch) { return std::isxdigit(static_cast<unsigned char>(Ch)) != 0; }

// Cell text as the file keeps it: characters XML cannot hold (and a carriage
// return, which XML would read back as a line feed) as "_xHHHH_", and a text
// that already looks like such an escape guarded by an escaped "_".
String EscapeCellText(const String& Text)
{
    String out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(Text[i]);
        if ((ch < 0x20 && ch != '\t' && ch != '\n') || ch == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "_x%04X_", unsigned(ch));
            out += code;
        } else if (ch == '_' && i + 6 < Text.size() && Text[i + 1] == 'x' && IsHex(Text[i + 2]) &&
                   IsHex(Text[i + 3]) && IsHex(Text[i + 4]) && IsHex(Text[i + 5]) && Text[i + 6] == '_') {
            out += "_x005F_";
        } else {
            out += char(ch);
        }
    }
    return out;
}

void CheckCell(int Row, int Column)
{
    if (Row < 1 || Row > TWorkbookFile::MaxRows || Column < 1 || Column > TWorkbookFile::MaxColumns)
        throw EWorkbookError("Cell (" + IntToStr(Row) + ", " + IntToStr(Column) + ") lies outside a worksheet.");
}

}  // namespace

String WorksheetSafeName(const String& Name)
{
    String safe = Name;
    for (char& ch : safe)
        if (ch == '[' || ch == ']' || ch == ':' || ch == '*' || ch == '?' || ch == '/' || ch == '\\' ||
            static_cast<unsigned char>(ch) < 0x20)
            ch = ' ';
    safe = CutCharacters(safe, 31);
    // A spreadsheet refuses a name that begins or ends with an apostrophe.
    if (!safe.empty() && safe.front() == '\'')
        safe.front() = ' ';
    if (!safe.empty() && safe.back() == '\'')
        safe.back() = ' ';
    return safe.empty() ? String("Sheet") : safe;
}

void TWorkbookFile::TSheet::Put(int Row, int Column, const String& Text)
{
    if (Text.empty()) {
        Cells.erase(Key(Row, Column));
        return;
    }
    Cells[Key(Row, Column)] = Text;
    if (Row > LastRow)
        LastRow = Row;
    if (Column > LastColumn)
        LastColumn = Column;
}

bool OpenWithDesktopApplication(const String& Path)
{
    pid_t pid = 0;
    char program[] = "xdg-open";
    String path = Path;
    char* argv[] = {program, path.data(), nullptr};
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // The opener usually hands the file on and ends at once, telling by its
    // exit code whether anything could open it. One that stays (it runs the
    // application itself) has shown the file; it is reaped in the background.
    for (int i = 0; i < 50; ++i) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

TWorkbookFile::TWorkbookFile(const String& ExportPath, TDesktopOpener Opener)
    : FExportPath(ExportPath), FOpener(std::move(Opener))
{
}

TWorkbookFile::~TWorkbookFile() = default;

void TWorkbookFile::Add()
{
    FSheets.clear();
    for (int i = 1; i <= 3; ++i) {
        FSheets.push_back(std::make_unique<TSheet>());
        FSheets.back()->Name = "Sheet" + IntToStr(i);
    }
    FActive = 0;
    FNew = true;
    FPath.clear();
}

int TWorkbookFile::WorksheetCount() const { return int(FSheets.size()); }

String TWorkbookFile::Name(int Sheet) const
{
    if (Sheet < 1 || Sheet > WorksheetCount())
        throw EWorkbookError("There is no worksheet " + IntToStr(Sheet) + ".");
    return FSheets[Sheet - 1]->Name;
}

void TWorkbookFile::SetName(int Sheet, const String& Name)
{
    if (Sheet < 1 || Sheet > WorksheetCount())
        throw EWorkbookError("There is no worksheet " + IntToStr(Sheet) + ".");
    const String safe = WorksheetSafeName(Name);
    for (int i = 1; i <= WorksheetCount(); ++i)
        if (i != Sheet && AnsiSameText(FSheets[i - 1]->Name, safe))
            throw EWorkbookError("A worksheet named \"" + safe + "\" exists already.");
    FSheets[Sheet - 1]->Name = safe;
}

int TWorkbookFile::Worksheet(const String& Name) const
{
    const String safe = WorksheetSafeName(Name);
    for (int i = 1; i <= WorksheetCount(); ++i)
        if (AnsiSameText(FSheets[i - 1]->Name, safe))
            return i;
    return 0;
}

void TWorkbookFile::Activate(int Sheet)
{
    if (Sheet < 1 || Sheet > WorksheetCount())
        throw EWorkbookError("There is no worksheet " + IntToStr(Sheet) + ".");
    FActive = Sheet - 1;
}

TWorkbookFile::TSheet* TWorkbookFile::ActiveSheet() const
{
    if (FSheets.empty())
        throw EWorkbookError("No workbook is open.");
    return FSheets[FActive].get();
}

void TWorkbookFile::SetCell(int Row, int Column, const String& Text)
{
    CheckCell(Row, Column);
    ActiveSheet()->Put(Row, Column, CutCharacters(Text, MaxCellText));
}

String TWorkbookFile::Cell(int Row, int Column) const
{
    CheckCell(Row, Column);
    const TSheet* sheet = ActiveSheet();
    auto it = sheet->Cells.find(TSheet::Key(Row, Column));
    return it == sheet->Cells.end() ? String() : it->second;
}

TWorkbookCell TWorkbookFile::LastUsedCell() const
{
    const TSheet* sheet = ActiveSheet();
    return {sheet->LastRow < 1 ? 1 : sheet->LastRow, sheet->LastColumn < 1 ? 1 : sheet->LastColumn};
}

bool TWorkbookFile::SetVisible(bool Value)
{
    FVisible = Value;
    if (!Value)
        return true;
    if (FNew) {
        if (FExportPath.empty())
            throw EWorkbookError("The workbook has no place to be written to.");
        SaveAs(FExportPath);
        FPath = FExportPath;
        FNew = false;
    }
    if (FPath.empty())
        return false;
    return FOpener && FOpener(FPath);
}

String TWorkbookFile::WorkbookPath() const { return FNew ? FExportPath : FPath; }

void TWorkbookFile::Open(const String& Path)
{
    struct stat info {};
    if (stat(Path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EWorkbookError("The file \"" + Path + "\" cannot be opened.");
    if (std::size_t(info.st_size) > MaxFileSize)
        throw EWorkbookError("The file \"" + Path + "\" is too large for a workbook.");
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        throw EWorkbookError("The file \"" + Path + "\" cannot be opened.");
    String bytes(std::size_t(info.st_size), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (std::size_t(in.gcount()) != bytes.size())
        throw EWorkbookError("The file \"" + Path + "\" cannot be read.");
    OpenFromMemory(bytes.data(), bytes.size());
    FPath = Path;
}

void TWorkbookFile::OpenFromMemory(const void* Data, std::size_t Size)
{
    std::vector<std::unique_ptr<TSheet>> sheets;
    ReadWorkbook(Data, Size, sheets);
    if (sheets.empty())
        throw EWorkbookError("The workbook holds no worksheet.");
    FSheets = std::move(sheets);
    FActive = 0;
    FNew = false;
    FPath.clear();
}

void TWorkbookFile::Quit()
{
    FSheets.clear();
    FActive = 0;
    FNew = false;
    FVisible = false;
}

void TWorkbookFile::SaveAs(const String& Path) const
{
    if (FSheets.empty())
        throw EWorkbookError("No workbook is open.");
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = nullptr;
    options.use_zip64 = LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(Path.c_str(), &options);
    if (!book)
        throw EWorkbookError("The workbook \"" + Path + "\" cannot be created.");
    bool ok = true;
    for (const auto& sheet : FSheets) {
        lxw_worksheet* ws = workbook_add_worksheet(book, sheet->Name.c_str());
        if (!ws) {
            ok = false;
            break;
        }
        for (const auto& [key, text] : sheet->Cells) {
            const int row = int(key / (MaxColumns + 1));
            const int column = int(key % (MaxColumns + 1));
            if (worksheet_write_string(ws, lxw_row_t(row - 1), lxw_col_t(column - 1),
                    EscapeCellText(text).c_str(), nullptr) !=
                LXW_NO_ERROR)
                ok = false;
        }
    }
    const lxw_error closed = workbook_close(book);
    if (!ok || closed != LXW_NO_ERROR) {
        std::remove(Path.c_str());
        throw EWorkbookError("The workbook \"" + Path + "\" cannot be written: " +
                             (closed != LXW_NO_ERROR ? String(lxw_strerror(closed)) : String("a cell was refused")));
    }
}
