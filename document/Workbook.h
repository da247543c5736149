#pragma once
// The spreadsheet application the exchange commands drive: a workbook of
// worksheets with text cells, addressed from 1 as a spreadsheet user counts
// rows and columns. TWorkbookFile plays that role on workbook files: a new
// workbook is written as .xlsx when it is made visible, and .xlsx and .ods
// files are read.
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Types.h"

// A workbook could not be read or written; Message says why.
VEK_EXCEPTION_KIND(EWorkbookError, Exception)

struct TWorkbookCell {
    int Row = 0;
    int Column = 0;
};

class TWorkbookApplication {
public:
    virtual ~TWorkbookApplication() = default;

    // A new, empty workbook with at least three worksheets; the first is active.
    virtual void Add() = 0;
    virtual int WorksheetCount() const = 0;
    // Worksheets by number from 1. Names are kept as a spreadsheet keeps
    // them (at most 31 characters, none of []:*?/\).
    virtual String Name(int Sheet) const = 0;
    virtual void SetName(int Sheet, const String& Name) = 0;
    // The worksheet of that name, letter case aside; 0 when there is none.
    virtual int Worksheet(const String& Name) const = 0;
    virtual void Activate(int Sheet) = 0;
    // Cells of the active worksheet. Reading outside the used range gives "".
    virtual void SetCell(int Row, int Column, const String& Text) = 0;
    virtual String Cell(int Row, int Column) const = 0;
    // The last used cell of the active worksheet: the highest row and the
    // highest column holding anything; (1, 1) for an empty worksheet.
    virtual TWorkbookCell LastUsedCell() const = 0;
    // Shows the workbook to the user (or hides it). Showing a new workbook
    // puts it on disk first, at WorkbookPath(). False when nothing could
    // show it; the file stays where WorkbookPath() says.
    virtual bool SetVisible(bool Value) = 0;
    virtual String WorkbookPath() const = 0;
    // Reads a workbook file; EWorkbookError when it cannot be read.
    virtual void Open(const String& Path) = 0;
    virtual void Quit() = 0;
};

// Opens a file with the desktop's default application; false when none could.
using TDesktopOpener = std::function<bool(const String& Path)>;
bool OpenWithDesktopApplication(const String& Path);

class TWorkbookFile : public TWorkbookApplication {
public:
    // ExportPath: where a new workbook is written when it is shown.
    explicit TWorkbookFile(const String& ExportPath = String(), TDesktopOpener Opener = OpenWithDesktopApplication);
    ~TWorkbookFile() override;
    TWorkbookFile(TWorkbookFile&&) = default;
    TWorkbookFile& operator=(TWorkbookFile&&) = default;

    void Add() override;
    int WorksheetCount() const override;
    String Name(int Sheet) const override;
    void SetName(int Sheet, const String& Name) override;
    int Worksheet(const String& Name) const override;
    void Activate(int Sheet) override;
    void SetCell(int Row, int Column, const String& Text) override;
    String Cell(int Row, int Column) const override;
    TWorkbookCell LastUsedCell() const override;
    bool SetVisible(bool Value) override;
    String WorkbookPath() const override;
    void Open(const String& Path) override;
    void Quit() override;

    // Reads a workbook from bytes (.xlsx or .ods, told apart by content).
    void OpenFromMemory(const void* Data, std::size_t Size);
    // Writes the workbook as .xlsx, every value as a text cell.
    void SaveAs(const String& Path) const;

    // Bounds on untrusted workbooks.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr std::size_t MaxCells = 2000000;
    static constexpr std::size_t MaxFileSize = 256u << 20;
    static constexpr std::size_t MaxPartSize = 64u << 20;
    static constexpr std::size_t MaxTotalUnpacked = 256u << 20;
    static constexpr int MaxCellText = 32767;

    // One worksheet: its name and its non-empty cells.
    struct TSheet {
        String Name;
        std::unordered_map<Int64, String> Cells;  // key: row * (MaxColumns + 1) + column
        int LastRow = 0;
        int LastColumn = 0;
        static Int64 Key(int Row, int Column) { return Int64(Row) * (MaxColumns + 1) + Column; }
        // Stores a text (an empty one removes the cell).
        void Put(int Row, int Column, const String& Text);
    };

private:
    std::vector<std::unique_ptr<TSheet>> FSheets;
    int FActive = 0;
    String FExportPath;
    String FPath;
    TDesktopOpener FOpener;
    bool FVisible = false;
    bool FNew = false;

    TSheet* ActiveSheet() const;
};

// A worksheet name as a spreadsheet accepts it: forbidden characters become
// blanks, at most 31 characters, never empty.
String WorksheetSafeName(const String& Name);
