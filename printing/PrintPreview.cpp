// The print run's pages: recording, measures, headers and footers, and the
// printing of the recorded pages.
#include "printing/PrintPreview.h"

#include <algorithm>
#include <cmath>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

TPrintPreviewDialog::TPrintPreviewDialog(TComponent* AOwner) : TComponent(AOwner)
{
    BuildForm();
    ClearHeaders();
}

TPrintPreviewDialog::~TPrintPreviewDialog() = default;

void TPrintPreviewDialog::BeforeDestruction()
{
    if (!FRecordingEnded)
        DonePrinting();
    TPrinter* p = GetPrinter();
    if (FJobOpen && p->Printing())
        p->Abort();
    FJobOpen = false;
    TComponent::BeforeDestruction();
}

TPrinter* TPrintPreviewDialog::GetPrinter() const { return FPrinter ? FPrinter : Printer(); }

// ---------------------------------------------------------------------------
// Recording

void TPrintPreviewDialog::NewJob()
{
    ClearAll();
    FRecordingEnded = false;
    // The printer's side opens when a page is printed, so a run closed
    // without printing leaves nothing behind.
    FJobOpen = true;
}

int TPrintPreviewDialog::NewPage()
{
    if (FRecordingEnded)
        return -1;
    auto page = std::make_unique<TMetafile>();
    page->SetPixelsPerInch(DeviceCaps(LOGPIXELSY));
    page->SetSize(DeviceCaps(HORZRES), DeviceCaps(VERTRES));
    auto canvas = std::make_unique<TMetafileCanvas>(page.get());
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetName("Arial");
    canvas->Font()->SetPixelsPerInch(DeviceCaps(LOGPIXELSY));
    canvas->Font()->SetSize(10);
    FPages.push_back(std::move(page));
    FCanvases.push_back(std::move(canvas));
    FCurrentPage = int(FPages.size());
    return FCurrentPage;
}

void TPrintPreviewDialog::DonePrinting()
{
    if (FRecordingEnded)
        return;
    FCanvases.clear();
    FRecordingEnded = true;
}

void TPrintPreviewDialog::ClearAll()
{
    FCanvases.clear();
    FPages.clear();
    ClearHeaders();
    FCurrentPage = 0;
}

void TPrintPreviewDialog::SetCurrentPage(int N)
{
    if (N >= 1 && N <= GetPageCount())
        FCurrentPage = N;
}

TCanvas* TPrintPreviewDialog::GetCanvas(int N) const
{
    if (N < 1 || N > int(FCanvases.size()))
        return nullptr;
    return FCanvases[std::size_t(N - 1)].get();
}

TMetafile* TPrintPreviewDialog::GetMetafile(int N) const
{
    if (!FRecordingEnded || N < 1 || N > GetPageCount())
        return nullptr;
    return FPages[std::size_t(N - 1)].get();
}

TCanvas* TPrintPreviewDialog::GetCurrentCanvas() const { return FRecordingEnded ? nullptr : GetCanvas(FCurrentPage); }

TFont* TPrintPreviewDialog::GetFont() const
{
    TCanvas* c = GetCurrentCanvas();
    return c ? c->Font() : nullptr;
}

TPen* TPrintPreviewDialog::GetPen() const
{
    TCanvas* c = GetCurrentCanvas();
    return c ? c->Pen() : nullptr;
}

TBrush* TPrintPreviewDialog::GetBrush() const
{
    TCanvas* c = GetCurrentCanvas();
    return c ? c->Brush() : nullptr;
}

bool TPrintPreviewDialog::CanDraw() const { return GetCurrentCanvas() != nullptr; }

// ---------------------------------------------------------------------------
// Measures

int TPrintPreviewDialog::DeviceCaps(int Cap) const { return GetPrinter()->GetDeviceCaps(TDeviceCap(Cap)); }

TSize TPrintPreviewDialog::PhysicalSize() const
{
    return TSize(DeviceCaps(PHYSICALWIDTH), DeviceCaps(PHYSICALHEIGHT));
}

TPoint TPrintPreviewDialog::PhysicalOffset() const
{
    return TPoint(DeviceCaps(PHYSICALOFFSETX), DeviceCaps(PHYSICALOFFSETY));
}

TPoint TPrintPreviewDialog::PixelsPerInch() const { return TPoint(DeviceCaps(LOGPIXELSX), DeviceCaps(LOGPIXELSY)); }

int TPrintPreviewDialog::PunchMarginPixels() const
{
    if (!FPunchMargin)
        return 0;
    const int mm = DeviceCaps(HORZSIZE);
    return mm > 0 ? int(std::lround(12.0 * DeviceCaps(HORZRES) / mm)) : 0;
}

int TPrintPreviewDialog::LineHeight(int Line) const
{
    return Line >= -10 && Line <= 10 ? FLineHeights[Line + 10] : 0;
}

int TPrintPreviewDialog::HeaderSize() const
{
    int sum = 0;
    for (int k = 1; k <= 10; ++k)
        sum += LineHeight(k);
    return sum;
}

int TPrintPreviewDialog::FooterSize() const
{
    int sum = 0;
    for (int k = 1; k <= 10; ++k)
        sum += LineHeight(-k);
    return sum;
}

TSize TPrintPreviewDialog::PrintableSize(bool LessHeaders, bool LessPunchMargin) const
{
    TSize s(DeviceCaps(HORZRES), DeviceCaps(VERTRES));
    if (LessHeaders)
        s.cy -= HeaderSize() + FooterSize();
    if (LessPunchMargin)
        s.cx -= PunchMarginPixels();
    return s;
}

TPoint TPrintPreviewDialog::PrintableOffset() const { return TPoint(PunchMarginPixels(), HeaderSize()); }

// ---------------------------------------------------------------------------
// Drawing

void TPrintPreviewDialog::TextOut(int X, int Y, int Alignment, const String& Text)
{
    TCanvas* c = GetCurrentCanvas();
    if (!c)
        return;
    const TPoint off = PrintableOffset();
    switch (Alignment) {
    case 0:
        break;
    case 1:
        X -= c->TextWidth(Text);
        break;
    case 2:
        X -= c->TextWidth(Text) / 2;
        break;
    default:
        return;
    }
    c->TextOut(X + off.X, Y + off.Y, Text);
}

void TPrintPreviewDialog::DrawText(const TRect& R, const String& Text, unsigned Format)
{
    TCanvas* c = GetCurrentCanvas();
    if (!c)
        return;
    const TPoint off = PrintableOffset();
    TRect r(R.Left + off.X, R.Top + off.Y, R.Right + off.X, R.Bottom + off.Y);
    c->DrawText(Text, r, Format);
}

void TPrintPreviewDialog::Line(const TPoint& From, const TPoint& To)
{
    TCanvas* c = GetCurrentCanvas();
    if (!c)
        return;
    const TPoint off = PrintableOffset();
    c->MoveTo(From.X + off.X, From.Y + off.Y);
    c->LineTo(To.X + off.X, To.Y + off.Y);
}

void TPrintPreviewDialog::Rectangle(const TRect& R)
{
    TCanvas* c = GetCurrentCanvas();
    if (!c)
        return;
    const TPoint off = PrintableOffset();
    c->Rectangle(R.Left + off.X, R.Top + off.Y, R.Right + off.X, R.Bottom + off.Y);
}

int TPrintPreviewDialog::TextWidth(const String& Text) const
{
    TCanvas* c = GetCurrentCanvas();
    return c ? c->TextWidth(Text) : -1;
}

int TPrintPreviewDialog::TextHeight() const
{
    TCanvas* c = GetCurrentCanvas();
    return c ? c->TextHeight("X") : -1;
}

// ---------------------------------------------------------------------------
// Headers and footers

void TPrintPreviewDialog::AddHeader(const String& Text, int Line, int Alignment)
{
    if (Line == 0)
        throw EInvalidOperation("line muss grösser oder kleiner 0 sein");
    if (Line < -10 || Line > 10)
        throw EInvalidOperation("line muss zwischen -10 und 10 liegen");
    TCanvas* c = GetCurrentCanvas();
    if (!c)
        return;
    int& height = FLineHeights[Line + 10];
    height = std::max(height, c->TextHeight("X"));
    auto h = std::make_unique<THeader>();
    h->Text = Text;
    h->Line = Line;
    h->Alignment = Alignment;
    h->Font = std::make_unique<TFont>();
    h->Font->Assign(c->Font());
    FHeaders.push_back(std::move(h));
    std::stable_sort(FHeaders.begin(), FHeaders.end(),
        [](const std::unique_ptr<THeader>& A, const std::unique_ptr<THeader>& B) { return A->Line < B->Line; });
}

void TPrintPreviewDialog::ClearHeaders()
{
    FHeaders.clear();
    std::fill(std::begin(FLineHeights), std::end(FLineHeights), 0);
}

void TPrintPreviewDialog::PrintHeaderAndFooter()
{
    const int count = GetPageCount();
    const TSize body = PrintableSize(true, true);
    for (int page = 1; page <= count; ++page) {
        SetCurrentPage(page);
        TCanvas* c = GetCurrentCanvas();
        if (!c)
            return;
        c->Brush()->SetStyle(bsClear);
        for (const auto& h : FHeaders) {
            c->SetFont(h->Font.get());
            // Each page gets its own copy of the text; the stored one keeps
            // its macros for the next page.
            String text = StringReplace(h->Text, "$PAGE_COUNT$", IntToStr(count), {});
            text = StringReplace(text, "$PAGE_NO$", IntToStr(page), {});
            int y = 0;
            if (h->Line > 0) {
                for (int k = 1; k <= h->Line; ++k)
                    y -= LineHeight(k);
            } else {
                y = body.cy;
                for (int k = 1; k < -h->Line; ++k)
                    y += LineHeight(-k);
            }
            const int x = h->Alignment == 1 ? body.cx : h->Alignment == 2 ? body.cx / 2 : 0;
            TextOut(x, y, h->Alignment, text);
        }
    }
}

// ---------------------------------------------------------------------------
// Printing

void TPrintPreviewDialog::Change(const String& Text)
{
    if (FOnChange)
        FOnChange(Text);
}

void TPrintPreviewDialog::DoPrintPage(int N)
{
    TPrinter* p = GetPrinter();
    TMetafile* page = GetMetafile(N);
    TCanvas* c = p->Canvas();
    if (!page || !c)
        return;
    c->StretchDraw(TRect(0, 0, DeviceCaps(HORZRES), DeviceCaps(VERTRES)), page);
}

// One job for the pages First..Last; a failure aborts the job, so no
// half-printed document stays behind.
void TPrintPreviewDialog::PrintPages(int First, int Last)
{
    const int count = GetPageCount();
    TPrinter* p = GetPrinter();
    p->SetTitle(FTitle);
    if (!p->Printing())
        p->BeginDoc();
    try {
        for (int i = First; i <= Last; ++i) {
            if (i > First)
                p->NewPage();
            Change(Format(Tr("Drucke Seite %d von %d"), {i, count}));
            DoPrintPage(i);
        }
    } catch (...) {
        Change(Tr("Druckauftrag wird abgebrochen"));
        p->Abort();
        Change(Tr("Druckauftrag ist abgebrochen"));
        throw;
    }
    p->EndDoc();
}

void TPrintPreviewDialog::PrintAll()
{
    FJobOpen = false;
    if (PreviewForm && PreviewForm->Visible() && !PreviewForm->Modal())
        PreviewForm->Hide();
    if (!FRecordingEnded)
        DonePrinting();
    const int count = GetPageCount();
    if (count == 0)
        return;
    PrintPages(1, count);
}

void TPrintPreviewDialog::PrintPage(int N)
{
    FJobOpen = false;
    if (!FRecordingEnded)
        DonePrinting();
    const int count = GetPageCount();
    if (N < 1 || N > count)
        return;
    PrintPages(N, N);
    Change(Format(Tr("Seite %d von %d gedruckt"), {N, count}));
}
