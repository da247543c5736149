// The preview's two forms: the dialog with the page, its scroll bar and
// the print buttons, and the page shown maximised.
#include <algorithm>
#include <cmath>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "printing/PrintPreview.h"

namespace {

TButton* NewButton(TForm* Form, const String& Caption, int Left, int Width, TModalResult Result, int TabOrder)
{
    auto* b = Create<TButton>(Form);
    b->SetParent(Form);
    b->SetBounds(Left, 368, Width, 25);
    b->SetCaption(Caption);
    b->SetModalResult(Result);
    b->SetTabOrder(TabOrder);
    return b;
}

int Sign(int V) { return V > 0 ? 1 : V < 0 ? -1 : 0; }

// Range 1..Count (1..1 without pages) at Position.
void SetPageRange(TScrollBar* Bar, int Position, int Count)
{
    const int most = std::max(1, Count);
    Bar->SetParams(std::clamp(Position, 1, most), 1, most);
}

}  // namespace

void TPrintPreviewDialog::BuildForm()
{
    PreviewForm = Create<TForm>(this);
    PreviewForm->SetName("PrintPreviewDialog");
    PreviewForm->SetCaption("PrintPreviewDialog");
    PreviewForm->SetPosition(poScreenCenter);
    PreviewForm->SetBorderStyle(bsDialog);
    PreviewForm->SetClientWidth(385);
    PreviewForm->SetClientHeight(401);
    PreviewForm->OnClose = [this](TObject*, TCloseAction&) { FormClose(); };
    PreviewForm->OnMouseWheel = [this](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
        PaintBox1MouseWheel(Delta, Handled);
    };

    PrintAllButton = NewButton(PreviewForm, Tr("alles drucken"), 8, 89, mrOk, 0);
    PrintAllButton->SetName("PrintAllButton");
    PrintAllButton->OnClick = [this](TObject*) { PrintAll(); };
    PrintPageButton = NewButton(PreviewForm, Tr("nur diese Seite drucken"), 104, 137, mrOk, 1);
    PrintPageButton->SetName("PrintPageButton");
    PrintPageButton->OnClick = [this](TObject*) { PrintPage(GetScrollBarPosition()); };
    CancelButton = NewButton(PreviewForm, Tr("Abbrechen"), 304, 75, mrCancel, 2);
    CancelButton->SetName("CancelButton");
    CancelButton->SetCancel(true);

    Panel1 = Create<TPanel>(PreviewForm);
    Panel1->SetParent(PreviewForm);
    Panel1->SetBounds(8, 8, 369, 353);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBorderStyle(bsSingle);
    Panel1->SetTabOrder(3);
    Panel1->SetShowCaption(false);
    Panel1->OnMouseWheel = PreviewForm->OnMouseWheel;

    ScrollBar1 = Create<TScrollBar>(PreviewForm);
    ScrollBar1->SetParent(Panel1);
    ScrollBar1->SetKind(sbVertical);
    ScrollBar1->SetAlign(alRight);
    ScrollBar1->SetPageSize(1);
    ScrollBar1->SetParams(1, 1, 1);
    ScrollBar1->OnChange = [this](TObject*) { ScrollBar1Change(); };

    PaintBox1 = Create<TPaintBox>(PreviewForm);
    PaintBox1->SetParent(Panel1);
    PaintBox1->SetBounds(72, 20, 210, 297);
    PaintBox1->SetColor(clWhite);
    PaintBox1->SetCursor(crZoomIn);
    PaintBox1->OnPaint = [this](TObject*) { PaintBox1Paint(); };
    PaintBox1->OnClick = [this](TObject*) { PaintBox1Click(); };
    PaintBox1->OnMouseWheel = PreviewForm->OnMouseWheel;
}

String TPrintPreviewDialog::FormatCaption(int Position, int Count) const
{
    return Format(Tr("Druckvorschau - Seite %d von %d"), {Position, Count});
}

void TPrintPreviewDialog::SetScrollBarPosition(int Value) { ScrollBar1->SetPosition(Value); }
int TPrintPreviewDialog::GetScrollBarPosition() const { return ScrollBar1->Position(); }

void TPrintPreviewDialog::ScrollBar1Change()
{
    PreviewForm->SetCaption(FormatCaption(ScrollBar1->Position(), GetPageCount()));
    PaintBox1->Invalidate();
}

int TPrintPreviewDialog::Preview()
{
    if (!FRecordingEnded)
        DonePrinting();
    if (PrintWithoutPreview) {
        PrintAll();
        return mrOk;
    }
    SetPageRange(ScrollBar1, 1, GetPageCount());
    PreviewForm->SetCaption(FormatCaption(ScrollBar1->Position(), GetPageCount()));
    PrintAllButton->SetEnabled(GetPageCount() > 0);
    PrintPageButton->SetEnabled(GetPageCount() > 0);
    const int result = PreviewForm->ShowModal();
    FormClose();
    return result == mrOk ? mrOk : mrCancel;
}

void TPrintPreviewDialog::FormClose()
{
    if (!FRecordingEnded)
        DonePrinting();
    // No print button ran: the job ends here and nothing is printed.
    if (FJobOpen) {
        TPrinter* p = GetPrinter();
        if (p->Printing())
            p->Abort();
        FJobOpen = false;
    }
}

void TPrintPreviewDialog::PositionPaintBox(TControl* Box)
{
    TWinControl* parent = Box ? Box->Parent() : nullptr;
    if (!parent)
        return;
    int w = parent->ClientWidth();
    const int h = parent->ClientHeight();
    // The page keeps clear of a scroll bar beside it.
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c != Box && c->Visible() && c->Align() == alRight)
            w -= c->Width();
    }
    const TSize page = PhysicalSize();
    if (w <= 0 || h <= 0 || page.cx <= 0 || page.cy <= 0)
        return;
    int bw, bh;
    if (double(w) / h > double(page.cx) / page.cy) {
        bh = h;
        bw = int(std::lround(double(h) * page.cx / page.cy));
    } else {
        bw = w;
        bh = int(std::lround(double(w) * page.cy / page.cx));
    }
    Box->SetBounds((w - bw) / 2, (h - bh) / 2, bw, bh);
}

void TPrintPreviewDialog::DisplayPage(int N, TPaintBox* Box)
{
    if (!Box || N < 1 || N > GetPageCount())
        return;
    TCanvas* c = Box->Canvas();
    const int w = Box->Width();
    const int h = Box->Height();
    const TSize phys = PhysicalSize();
    if (phys.cx <= 0 || phys.cy <= 0)
        return;
    const double sx = double(w) / phys.cx;
    const double sy = double(h) / phys.cy;
    auto X = [&](double V) { return int(std::lround(V * sx)); };
    auto Y = [&](double V) { return int(std::lround(V * sy)); };

    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(0, 0, w, h);

    const TPoint off = PhysicalOffset();
    const TSize printable = PrintableSize(false, false);
    const TSize body = PrintableSize(true, true);
    const TPoint bodyOff = PrintableOffset();
    c->Pen()->SetStyle(psDashDot);
    c->Pen()->SetColor(TColor(0xF0F0F0));
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(X(off.X), Y(off.Y), X(off.X + printable.cx), Y(off.Y + printable.cy));
    c->Rectangle(X(off.X + bodyOff.X), Y(off.Y + bodyOff.Y), X(off.X + bodyOff.X + body.cx),
        Y(off.Y + bodyOff.Y + body.cy));
    const TPoint ppi = PixelsPerInch();
    if (ppi.X > 0)
        for (int i = 1; i <= phys.cx / ppi.X; ++i) {
            c->MoveTo(X(i * ppi.X), 0);
            c->LineTo(X(i * ppi.X), h);
        }
    if (ppi.Y > 0)
        for (int i = 1; i <= phys.cy / ppi.Y; ++i) {
            c->MoveTo(0, Y(i * ppi.Y));
            c->LineTo(w, Y(i * ppi.Y));
        }

    if (FPunchMargin) {
        const int mmW = DeviceCaps(HORZSIZE);
        const int mmH = DeviceCaps(VERTSIZE);
        if (mmW > 0 && mmH > 0) {
            const double hs = double(w) / mmW;
            const double vs = double(h) / mmH;
            c->Pen()->SetStyle(psSolid);
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(TColor(0xF0F0F0));
            for (const double dy : {-39.5, 39.5}) {
                const double cx = 10.5, cy = mmH / 2.0 + dy, r = 3.0;
                c->Ellipse(int(std::lround((cx - r) * hs)), int(std::lround((cy - r) * vs)),
                    int(std::lround((cx + r) * hs)), int(std::lround((cy + r) * vs)));
            }
        }
    }

    TMetafile* page = GetMetafile(N);
    if (page)
        c->StretchDraw(TRect(X(off.X), Y(off.Y), X(off.X + printable.cx), Y(off.Y + printable.cy)), page);
}

void TPrintPreviewDialog::PaintBox1Paint()
{
    PositionPaintBox(PaintBox1);
    DisplayPage(ScrollBar1->Position(), PaintBox1);
}

void TPrintPreviewDialog::PaintBox1Click()
{
    if (GetPageCount() == 0)
        return;
    auto* view = Create<TPrintPreviewFullScreenDialog>(this, this);
    FullScreen = view;
    try {
        view->ShowModal();
    } catch (...) {
        FullScreen = nullptr;
        view->Free();
        throw;
    }
    SetScrollBarPosition(view->ScrollBar1->Position());
    FullScreen = nullptr;
    view->Free();
}

void TPrintPreviewDialog::PaintBox1MouseWheel(int WheelDelta, bool& Handled)
{
    SetScrollBarPosition(ScrollBar1->Position() - Sign(WheelDelta));
    Handled = true;
}

// ---------------------------------------------------------------------------
// TPrintPreviewFullScreenDialog

TPrintPreviewFullScreenDialog::TPrintPreviewFullScreenDialog(TComponent* AOwner, TPrintPreviewDialog* Preview)
    : TForm(AOwner), FPreview(Preview)
{
    SetName("PrintPreviewFullScreenDialog");
    SetBorderStyle(bsDialog);
    SetColor(clWhite);
    // The work area also where the window manager does not maximise.
    if (Screen)
        SetBoundsRect(Screen->WorkAreaRect());
    SetWindowState(wsMaximized);
    OnMouseWheel = [this](TObject*, TShiftState, int Delta, TPoint, bool& Handled) { MouseWheel(Delta, Handled); };
    OnClose = [this](TObject*, TCloseAction&) { FPreview->SetScrollBarPosition(ScrollBar1->Position()); };

    ScrollBar1 = Create<TScrollBar>(this);
    ScrollBar1->SetParent(this);
    ScrollBar1->SetKind(sbVertical);
    ScrollBar1->SetAlign(alRight);
    ScrollBar1->SetPageSize(1);
    SetPageRange(ScrollBar1, Preview->GetScrollBarPosition(), Preview->GetPageCount());
    ScrollBar1->OnChange = [this](TObject*) { ScrollBar1Change(); };

    PaintBox1 = Create<TPaintBox>(this);
    PaintBox1->SetParent(this);
    PaintBox1->SetColor(clWhite);
    PaintBox1->SetCursor(crZoomOut);
    PaintBox1->OnPaint = [this](TObject*) {
        FPreview->PositionPaintBox(PaintBox1);
        FPreview->DisplayPage(ScrollBar1->Position(), PaintBox1);
    };
    PaintBox1->OnClick = [this](TObject*) { PaintBox1Click(); };
    PaintBox1->OnMouseWheel = OnMouseWheel;
    SetCaption(Preview->FormatCaption(ScrollBar1->Position(), Preview->GetPageCount()));
}

void TPrintPreviewFullScreenDialog::ScrollBar1Change()
{
    SetCaption(FPreview->FormatCaption(ScrollBar1->Position(), FPreview->GetPageCount()));
    PaintBox1->Invalidate();
}

void TPrintPreviewFullScreenDialog::PaintBox1Click()
{
    FPreview->SetScrollBarPosition(ScrollBar1->Position());
    SetModalResult(mrCancel);
}

void TPrintPreviewFullScreenDialog::MouseWheel(int WheelDelta, bool& Handled)
{
    ScrollBar1->SetPosition(ScrollBar1->Position() - Sign(WheelDelta));
    Handled = true;
}
