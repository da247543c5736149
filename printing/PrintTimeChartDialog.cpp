// The timechart's printout: the range and page choices, the page sketch,
// and the pages with their titles and charts.
#include "printing/PrintTimeChartDialog.h"

#include <algorithm>
#include <cmath>

#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"

namespace {

// Pictures of a low-quality page beyond this many pixels are drawn in
// normal quality instead: a large plan would need gigabytes.
constexpr Int64 MaxLowQualityPixels = 16'000'000;

// The sketch's bar colour (blue-grey), as the chart's bars are drawn.
constexpr TColor SketchColor = 0xE0CA92;

}  // namespace

TPrintTimeChartDialog::TPrintTimeChartDialog(TComponent* AOwner, TPlannerForm* Doc) : TForm(AOwner), FDoc(Doc)
{
    SetName("PrintTimeChartDialog");
    SetCaption(Tr("Print Timechart"));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(530);
    SetClientHeight(300);
    PrintPreviewDialog1 = Create<TPrintPreviewDialog>(this);
    PrintPreviewDialog1->Translator = [this](const String& S) { return Tr(S); };
    PrinterSetupDialog1 = Create<TPrinterSetupDialog>(this);

    auto radio = [&](const String& Name, const String& Caption, int Top) {
        auto* r = Create<TRadioButton>(this);
        r->SetParent(this);
        r->SetName(Name);
        r->SetBounds(8, Top, 200, 17);
        r->SetCaption(Tr(Caption));
        return r;
    };
    RadioSummary = radio("RadioSummary", "Print Summary", 8);
    RadioCurrentView = radio("RadioCurrentView", "Print current view", 28);
    RadioFreeInput = radio("RadioFreeInput", "Free input", 48);
    RadioSummary->SetChecked(true);
    RadioSummary->OnClick = [this](TObject*) { SummaryClick(); };
    RadioCurrentView->OnClick = [this](TObject*) { CurrentViewClick(); };
    RadioFreeInput->OnClick = [this](TObject*) { FreeInputClick(); };

    LabelStart = NewLabel(this, this, Tr("Start Date"), 24, 74);
    startpicker = Create<TDateTimePicker>(this);
    startpicker->SetParent(this);
    startpicker->SetName("startpicker");
    startpicker->SetBounds(110, 70, 110, 21);
    startpicker->OnChange = [this](TObject*) { StartDateChange(); };
    LabelEnd = NewLabel(this, this, Tr("End Date"), 24, 100);
    endepicker = Create<TDateTimePicker>(this);
    endepicker->SetParent(this);
    endepicker->SetName("endepicker");
    endepicker->SetBounds(110, 96, 110, 21);
    endepicker->OnChange = [this](TObject*) { EndDateChange(); };
    LabelDays = NewLabel(this, this, Tr("days"), 24, 126);
    DaysEdit = Create<TEdit>(this);
    DaysEdit->SetParent(this);
    DaysEdit->SetBounds(110, 122, 60, 21);
    tage = Create<TUpDown>(this);
    tage->SetParent(this);
    tage->SetName("tage");
    tage->SetBounds(170, 122, 17, 21);
    tage->SetMin(1);
    tage->SetMax(10000);
    tage->SetAssociate(DaysEdit);
    tage->SetPosition(1);
    DaysEdit->OnChange = [this](TObject*) {
        tage->SetPosition(StrToIntDef(DaysEdit->Text(), tage->Position()));
        DaysChange();
    };
    NewLabel(this, this, Tr("split to"), 8, 152);
    PagesEdit = Create<TEdit>(this);
    PagesEdit->SetParent(this);
    PagesEdit->SetBounds(110, 148, 40, 21);
    pages = Create<TUpDown>(this);
    pages->SetParent(this);
    pages->SetName("pages");
    pages->SetBounds(150, 148, 17, 21);
    pages->SetMin(1);
    pages->SetMax(20);
    pages->SetAssociate(PagesEdit);
    pages->SetPosition(1);
    PagesEdit->OnChange = [this](TObject*) {
        pages->SetPosition(StrToIntDef(PagesEdit->Text(), pages->Position()));
        PagesChange();
    };
    NewLabel(this, this, Tr("Page(s)"), 174, 152);

    Options.Build(this, 8, 178, [this](const String& S) { return Tr(S); });
    heutehervorheben = NewCheckBox(this, this, Tr("Show today as red bar"), 8, 274, 250);
    heutehervorheben->SetName("heutehervorheben");
    heutehervorheben->OnClick = [this](TObject*) { FitSketch(); };

    SketchPanel = Create<TPanel>(this);
    SketchPanel->SetParent(this);
    SketchPanel->SetBounds(288, 8, 233, 233);
    SketchPanel->SetBevelOuter(bvLowered);
    SketchPanel->SetShowCaption(false);
    pb = Create<TCanvasPanel>(this);
    pb->SetParent(SketchPanel);
    pb->SetName("pb");
    pb->Font()->SetName("Arial");
    pb->SetBevelOuter(bvNone);
    pb->SetShowCaption(false);
    pb->OnPaint = [this](TObject*) { pbPaint(); };

    PrinterSetupButton = NewDialogButton(this, Tr("Printer setup..."), 288, 266, 100, mrNone);
    PrinterSetupButton->OnClick = [this](TObject*) { PrinterSetupClick(); };
    OKButton = NewDialogButton(this, Tr("OK"), 394, 266, 60, mrOk);
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TObject*) { OKClick(); };
    CancelButton = NewDialogButton(this, Tr("Cancel"), 460, 266, 60, mrCancel);
    CancelButton->SetCancel(true);
    OnActivate = [this](TObject*) { FormActivate(); };
    SetRangeEnabled(false);
}

void TPrintTimeChartDialog::Load(const TPrintSettings& S)
{
    Options.Load(S);
    heutehervorheben->SetChecked(S.PrintToday);
}

TPrintSettings TPrintTimeChartDialog::Settings() const
{
    TPrintSettings s;
    Options.Store(s);
    s.PrintToday = heutehervorheben->Checked();
    return s;
}

int TPrintTimeChartDialog::Days() const { return tage->Position(); }
int TPrintTimeChartDialog::Pages() const { return pages->Position(); }

void TPrintTimeChartDialog::SetRangeEnabled(bool Value)
{
    for (TControl* c : std::initializer_list<TControl*>{LabelStart, startpicker, LabelEnd, endepicker, LabelDays,
             DaysEdit, tage})
        c->SetEnabled(Value);
}

void TPrintTimeChartDialog::FormActivate()
{
    FitSketch();
    if (RadioCurrentView->Checked())
        CurrentViewClick();
    else if (RadioFreeInput->Checked())
        FreeInputClick();
    else
        SummaryClick();
}

void TPrintTimeChartDialog::SummaryClick()
{
    SetRangeEnabled(false);
    startpicker->SetDate(FDoc->FMinDate);
    endepicker->SetDate(FDoc->FMaxDate);
    EndDateChange();
}

void TPrintTimeChartDialog::CurrentViewClick()
{
    SetRangeEnabled(false);
    startpicker->SetDate(FDoc->FTimeChartStart);
    endepicker->SetDate(FDoc->GetTimeChartEnd());
    EndDateChange();
}

void TPrintTimeChartDialog::FreeInputClick() { SetRangeEnabled(true); }

void TPrintTimeChartDialog::StartDateChange()
{
    if (endepicker->Date() < startpicker->Date())
        endepicker->SetDate(startpicker->Date() + 1);
    tage->SetPosition(int(std::min<Int64>(Trunc(endepicker->Date() - startpicker->Date()), 10000)));
}

void TPrintTimeChartDialog::EndDateChange()
{
    if (endepicker->Date() < startpicker->Date())
        startpicker->SetDate(endepicker->Date() - 1);
    tage->SetPosition(int(std::min<Int64>(Trunc(endepicker->Date() - startpicker->Date()), 10000)));
}

void TPrintTimeChartDialog::DaysChange()
{
    if (!Visible())
        return;
    endepicker->SetDate(startpicker->Date() + Days());
    pb->Invalidate();
}

void TPrintTimeChartDialog::PagesChange() { FitSketch(); }

TSize TPrintTimeChartDialog::ChartSize(int ZoomDelta) const
{
    return TSize(FDoc->_TimeChartColWidth(ZoomDelta) * Days(),
        FDoc->TimeChartRowHeight(ZoomDelta) * FDoc->GetRowCount() + FDoc->TimeChartFullRowHeight(ZoomDelta));
}

void TPrintTimeChartDialog::FitSketch()
{
    const TSize page = PrintPreviewDialog1->PhysicalSize();
    const int w = SketchPanel->ClientWidth(), h = SketchPanel->ClientHeight();
    if (page.cx <= 0 || page.cy <= 0)
        return;
    if (page.cx > page.cy) {
        const int ph = int(std::lround(double(page.cy) / page.cx * h)) - 2;
        pb->SetBounds(1, (h - ph) / 2, w - 2, ph);
    } else {
        const int pw = int(std::lround(double(page.cx) / page.cy * w)) - 2;
        pb->SetBounds((w - pw) / 2, 1, pw, h - 2);
    }
    pb->Invalidate();
}

void TPrintTimeChartDialog::pbPaint()
{
    TCanvas* c = TPlannerForm::WhiteCanvas(pb);
    const int w = pb->ClientWidth(), h = pb->ClientHeight();
    const TSize chart = ChartSize(0);
    const TSize body = PrintPreviewDialog1->PrintableSize();
    if (chart.cx <= 0 || chart.cy <= 0 || body.cx <= 0 || body.cy <= 0 || w <= 0 || h <= 0)
        return;
    double fw, fh;
    if (chart.cx > chart.cy) {
        fw = body.cx;
        fh = double(body.cy) * chart.cy / chart.cx;
    } else {
        fw = double(body.cx) * chart.cx / chart.cy;
        fh = body.cy;
    }
    fw /= std::max(1, Pages());
    double rw = w, rh = h;
    if (fw / fh > double(w) / h)
        rh = w * fh / fw;
    else
        rw = h * fw / fh;
    const int left = int(std::lround((w - rw) / 2)), top = int(std::lround((h - rh) / 2));
    TRect r(left + 2, top + 2, left + int(std::lround(rw)) - 2, top + int(std::lround(rh)) - 2);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(SketchColor);
    c->FillRect(r);
}

void TPrintTimeChartDialog::PrinterSetupClick()
{
    if (PrinterSetupDialog1->Execute())
        FitSketch();
}

void TPrintTimeChartDialog::DrawChart(TCanvas* Canvas, const TRect& Body, TDateTime Start, TDateTime End,
    bool LowQuality)
{
    if (!Canvas)
        return;
    const TPoint off = PrintPreviewDialog1->PrintableOffset();
    const int x = off.X + FChartRect.Left, y = off.Y + FChartRect.Top;
    const int w = FChartRect.Width(), h = FChartRect.Height();
    const bool today = heutehervorheben->Checked();
    const int saved = Canvas->SaveDC();
    Canvas->IntersectClipRect(Body);
    bool drawn = false;
    if (LowQuality) {
        const Int64 bw = Int64(FDoc->GetTimeChartColWidth()) * Trunc(End - Start);
        const Int64 bh = Int64(FDoc->TimeChartRowHeight(0)) * FDoc->GetRowCount() + FDoc->TimeChartFullRowHeight(0);
        if (bw > 0 && bh > 0 && bw * bh <= MaxLowQualityPixels) {
            try {
                TBitmap picture;
                picture.SetSize(int(bw), int(bh));
                FDoc->DrawBitmap(picture.Canvas(), 0, 0, int(bw), int(bh), 0, 0, today, 0, End, Start);
                BltTBitmapAsDib(Canvas, x, y, &picture, w, h);
                drawn = true;
            } catch (const EOutOfResources&) {
            } catch (const std::bad_alloc&) {
            }
        }
        if (!drawn)
            ++FLowQualityFallbacks;
    }
    if (!drawn)
        FDoc->DrawBitmap(Canvas, x, y, w, h, PrintPreviewDialog1->DeviceCaps(LOGPIXELSX), FZoomDelta, today, 0, End,
            Start);
    Canvas->RestoreDC(saved);
}

void TPrintTimeChartDialog::Record()
{
    struct TPrintingState {
        TPlannerForm* Doc;
        explicit TPrintingState(TPlannerForm* D) : Doc(D) { Doc->FPrinting = true; }
        ~TPrintingState() { Doc->FPrinting = false; }
    } printing(FDoc);
    FSpans.clear();
    FLowQualityFallbacks = 0;
    const bool low = FDoc->AskYesNo(Tr("Print in low quality to improve printing performance?"));
    TPrintPreviewDialog& e = *PrintPreviewDialog1;
    e.SetPunchMargin(Options.Lochrand->Checked());
    e.SetTitle("VEK");
    e.NewJob();
    e.NewPage();
    AddDefaultHeaderAndFooter(*FDoc, e, Options.FooterText(), Options.PrintFilename->Checked(),
        Options.HeaderTextToPrint());

    // At least a day a page, or the pages would never get on.
    const int perPage = std::max(1, Days() / std::max(1, Pages()));
    const TSize body = e.PrintableSize();
    const int th = e.TextHeight();
    // The largest zoom at which the chart and the two lines of its title
    // fit the body; one below the current zoom at the least.
    int z = 0;
    for (; z < 100; ++z) {
        const TSize s = ChartSize(z);
        if (s.cx > body.cx || s.cy + 2 * th > body.cy)
            break;
    }
    FZoomDelta = z - 1;
    const TSize chart = ChartSize(FZoomDelta);
    // Centred in the body under its title; one that even so is too large
    // keeps its title and its top-left corner (captions and position labels)
    // in the body and is cut at the body's right and bottom.
    const int left = std::max(0, (body.cx - chart.cx) / 2);
    const int top = 2 * th + std::max(0, (body.cy - 2 * th - chart.cy) / 2);
    FChartRect = TRect(left, top, left + chart.cx, top + chart.cy);
    const TPoint off = e.PrintableOffset();
    const TRect bodyRect(off.X, off.Y, off.X + body.cx, off.Y + body.cy);

    const TDateTime start = startpicker->Date();
    const TDateTime end = std::min(endepicker->Date(), start + Days());
    TDateTime s = start, t = start + perPage;
    for (bool first = true; t <= end; first = false) {
        if (!first)
            e.NewPage();
        e.TextOut(left + chart.cx / 2, top - 2 * th, 2, "VEK (" + DateToStr(s) + " bis " + DateToStr(t) + ")");
        DrawChart(e.GetCurrentCanvas(), bodyRect, s, t, low);
        FSpans.emplace_back(s, t);
        s += perPage;
        t += perPage;
    }
    e.PrintHeaderAndFooter();
}

int TPrintTimeChartDialog::Print()
{
    Record();
    return PreviewAndReport(*FDoc, *PrintPreviewDialog1);
}

void TPrintTimeChartDialog::OKClick()
{
    if (Print() == mrCancel)
        SetModalResult(mrNone);
}

bool TPrintTimeChartDialog::Execute()
{
    Load(TPrintSettings::From(*FDoc));
    if (ShowModal() != mrOk)
        return false;
    Settings().WriteTo(*FDoc, true);
    return true;
}
