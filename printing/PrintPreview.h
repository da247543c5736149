#pragma once
// TPrintPreviewDialog: a print run as pages recorded in metafiles, drawn in
// the printer's pixels; headers and footers added to every page once the
// page count is known; a preview that shows the pages and prints all or
// one of them by stretching each page over the printable area; and a
// string grid laid out and printed as a table.
//
// Callers draw in body coordinates: every drawing call adds
// PrintableOffset, so (0, 0) is the body's top left below the headers and
// right of the punch margin.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Metafile.h"

class TButton;
class TPanel;
class TPaintBox;
class TScrollBar;
class TStringGrid;
class TPrinter;
class TPrintPreviewDialog;

// The screen cursors of the preview's page: zoom in, and out again.
constexpr int crZoomIn = 98;
constexpr int crZoomOut = 99;

// One header or footer text: line 1..10 above the body (1 nearest), -1..-10
// below it (-1 nearest); alignment 0 left, 1 right, 2 centred.
class THeader {
public:
    String Text;
    int Line = 0;
    int Alignment = 0;
    std::unique_ptr<TFont> Font;
};

// The page shown maximised; a click closes it.
class TPrintPreviewFullScreenDialog : public TForm {
    VEK_DECLARE_CLASS(TPrintPreviewFullScreenDialog, TForm)
public:
    TPrintPreviewFullScreenDialog(TComponent* AOwner, TPrintPreviewDialog* Preview);
    TPaintBox* PaintBox1 = nullptr;
    TScrollBar* ScrollBar1 = nullptr;
    void PaintBox1Click();
    void MouseWheel(int WheelDelta, bool& Handled);

private:
    TPrintPreviewDialog* FPreview;
    void ScrollBar1Change();
};

class TPrintPreviewDialog : public TComponent {
    VEK_DECLARE_CLASS(TPrintPreviewDialog, TComponent)
public:
    explicit TPrintPreviewDialog(TComponent* AOwner);
    ~TPrintPreviewDialog() override;
    void BeforeDestruction() override;

    // The printer the pages go to (Printer() unless set).
    TPrinter* GetPrinter() const;
    void SetPrinter(TPrinter* Value) { FPrinter = Value; }
    // Texts the preview shows pass through it.
    std::function<String(const String&)> Translator;

    // ---- recording ----
    void NewJob();
    // The new page's number; -1 once recording has ended.
    int NewPage();
    void DonePrinting();
    void ClearAll();
    int GetPageCount() const { return int(FPages.size()); }
    int GetCurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(int N);
    TCanvas* GetCanvas(int N) const;
    TMetafile* GetMetafile(int N) const;
    TCanvas* GetCurrentCanvas() const;
    TFont* GetFont() const;
    TPen* GetPen() const;
    TBrush* GetBrush() const;
    bool RecordingEnded() const { return FRecordingEnded; }
    bool JobOpen() const { return FJobOpen; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    bool PunchMargin() const { return FPunchMargin; }
    void SetPunchMargin(bool Value) { FPunchMargin = Value; }

    // ---- measures (printer pixels) ----
    int DeviceCaps(int Cap) const;
    TSize PhysicalSize() const;
    TPoint PhysicalOffset() const;
    TPoint PixelsPerInch() const;
    int PunchMarginPixels() const;
    int HeaderSize() const;
    int FooterSize() const;
    int LineHeight(int Line) const;
    TSize PrintableSize(bool LessHeaders = true, bool LessPunchMargin = true) const;
    TPoint PrintableOffset() const;

    // ---- drawing in body coordinates ----
    void TextOut(int X, int Y, int Alignment, const String& Text);
    void DrawText(const TRect& R, const String& Text, unsigned Format);
    void Line(const TPoint& From, const TPoint& To);
    void Rectangle(const TRect& R);
    int TextWidth(const String& Text) const;
    int TextHeight() const;

    // ---- headers and footers ----
    // EInvalidArgument for line 0.
    void AddHeader(const String& Text, int Line, int Alignment);
    void ClearHeaders();
    const std::vector<std::unique_ptr<THeader>>& Headers() const { return FHeaders; }
    void PrintHeaderAndFooter();

    // ---- output ----
    void PrintAll();
    void PrintPage(int N);
    // 1 after either print button, 2 after "Abbrechen" or closing.
    int Preview();
    // Without a screen to show the preview on: Preview prints every page at
    // once, as "alles drucken" would.
    bool PrintWithoutPreview = false;
    // Rows First..Last of Grid as a table from body y StartY; OutRect gets
    // the table's left and right and the top and bottom of its last part.
    void PrintStringGrid(TStringGrid* Grid, const String& Caption, bool HeaderRow, bool GridLines, int FirstRow,
        int LastRow, int StartY, TRect& OutRect);

    void SetScrollBarPosition(int Value);
    int GetScrollBarPosition() const;
    void SetOnChange(std::function<void(const String&)> Handler) { FOnChange = std::move(Handler); }

    // ---- the preview's form ----
    TForm* PreviewForm = nullptr;
    TButton* PrintAllButton = nullptr;
    TButton* PrintPageButton = nullptr;
    TButton* CancelButton = nullptr;
    TPanel* Panel1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    TScrollBar* ScrollBar1 = nullptr;
    // The full-screen view while it is shown.
    TPrintPreviewFullScreenDialog* FullScreen = nullptr;

    // Fits Box into its parent at the page's proportions, centred.
    void PositionPaintBox(TControl* Box);
    // Page N scaled into Box's canvas.
    void DisplayPage(int N, TPaintBox* Box);
    void PaintBox1Paint();
    void PaintBox1Click();
    void PaintBox1MouseWheel(int WheelDelta, bool& Handled);
    void FormClose();
    String FormatCaption(int Position, int Count) const;

private:
    friend class TPrintPreviewFullScreenDialog;
    String Tr(const String& Text) const { return Translator ? Translator(Text) : Text; }
    void Change(const String& Text);
    void DoPrintPage(int N);
    void PrintPages(int First, int Last);
    void BuildForm();
    void ScrollBar1Change();
    bool CanDraw() const;

    TPrinter* FPrinter = nullptr;
    std::vector<std::unique_ptr<TMetafile>> FPages;
    std::vector<std::unique_ptr<TMetafileCanvas>> FCanvases;
    std::vector<std::unique_ptr<THeader>> FHeaders;
    int FLineHeights[21] = {};
    int FCurrentPage = 0;
    bool FRecordingEnded = false;
    bool FJobOpen = false;
    bool FPunchMargin = false;
    String FTitle;
    std::function<void(const String&)> FOnChange;
};
