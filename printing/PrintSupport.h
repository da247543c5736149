#pragma once
// What both print dialogs share: the standard header and footer of every
// page, the printer's fallback file, and a bitmap stretched onto a page.
#include "printing/PrintPreview.h"
#include "views/PlannerForm.h"

// The standard lines, added after the first page is started: the header
// text (20 pt, centred, with a spacer below it), "Stand: <now>" at the
// right, the footer text, the document's file name and "Page k/n".
void AddDefaultHeaderAndFooter(TPlannerForm& Doc, TPrintPreviewDialog& Engine, const String& FooterText,
    bool PrintFilename, const String& HeaderText);

// Without a printer queue Printer() writes a PDF named after the document.
void UseDocumentForPrinterFallback(TScheduleDocument& Doc);

// The engine's preview; after a printout into a file the status bar names
// the file. The preview's result.
int PreviewAndReport(TPlannerForm& Doc, TPrintPreviewDialog& Engine);

// The bitmap stretched over (X, Y, Width, Height) of Canvas.
void BltTBitmapAsDib(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, int Width, int Height);

// The print settings of the document's dialogs, read from and written back
// to the document; written values that differ mark it changed.
struct TPrintSettings {
    bool PrintFooter = false;
    String Footer;
    bool PrintHeader = false;
    String Header;
    bool PrintFilename = true;
    bool Lochrand = false;
    bool PrintToday = false;
    static TPrintSettings From(const TScheduleDocument& Doc);
    // WithToday: the timechart's dialog carries PrintToday, the table's not.
    void WriteTo(TScheduleDocument& Doc, bool WithToday) const;
};
