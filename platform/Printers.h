#pragma once
// The printer: one for the program (Printer()), printing either to a
// print queue of the system or into a PDF file, always at 600 dots per inch
// with 5 mm margins on every side. Its canvas draws in device pixels with
// the origin at the printable area's top left; GetDeviceCaps answers the
// page's measures as the printing code reads them.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"

class QPrinter;
class TPainterCanvas;

// The measures GetDeviceCaps answers.
enum TDeviceCap {
    HORZSIZE,         // printable width in millimetres
    VERTSIZE,         // printable height in millimetres
    HORZRES,          // printable width in pixels
    VERTRES,          // printable height in pixels
    LOGPIXELSX,
    LOGPIXELSY,
    PHYSICALWIDTH,    // the paper, in pixels
    PHYSICALHEIGHT,
    PHYSICALOFFSETX,  // the margins, in pixels
    PHYSICALOFFSETY
};

enum TPaperKind { pkA4, pkLetter };

VEK_EXCEPTION_KIND(EPrinter, Exception)

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    static constexpr int Resolution = 600;
    static constexpr double MarginMM = 5.0;

    // Where the output goes. A PDF file name empty: the queue PrinterName.
    bool ToFile() const { return !FFileName.empty() || FQueue.empty(); }
    const String& OutputFileName() const { return FFileName; }
    void SetOutputFileName(const String& Path);
    const String& PrinterName() const { return FQueue; }
    void SetPrinterName(const String& Queue);
    // The system's print queues and its default one (empty: none).
    static std::vector<String> Printers();
    static String DefaultPrinterName();
    // The system's default queue; without one a PDF at the path Fallback
    // gives (the printing layer's choice), asked when a job begins.
    void UseDefault();
    std::function<String()> FallbackFileName;

    TPaperKind Paper() const { return FPaper; }
    void SetPaper(TPaperKind Value);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);

    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }

    // A job: BeginDoc opens it (and creates a PDF file at once), NewPage
    // starts the next page, EndDoc finishes it, Abort drops it (a PDF file
    // begun is removed). EPrinter when the output cannot be opened.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The file the last job wrote to (empty for a queue).
    const String& LastFileName() const { return FLastFile; }

    // The page's canvas; null outside a job.
    TCanvas* Canvas();
    int GetDeviceCaps(TDeviceCap Cap) const;

    // Platform code only.
    QPrinter* Native();

private:
    void Configure();
    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<TPainterCanvas> FCanvas;
    String FFileName;
    String FQueue;
    String FLastFile;
    String FTitle;
    TPaperKind FPaper = pkA4;
    TPrinterOrientation FOrientation = poPortrait;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The program's printer, made on first use with the system's default.
TPrinter* Printer();

// A path shortened to fit Width pixels in Canvas's font: the first that
// fits of the whole path; the first folder, "/.../" and the rest with
// folders dropped from its left; ".../" and the file name; the file name
// cut with "...".
String MinimizeName(const String& FileName, TCanvas* Canvas, int Width);
