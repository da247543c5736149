#pragma once
// TPrintTimeChartDialog ("Print Timechart"): the timechart over a date range
// split into pages, each page its share of the days across the chart's
// width, the chart centred in the page's body under its title.
#include <vector>

#include "printing/PrintDialogControls.h"

class TRadioButton;
class TDateTimePicker;
class TUpDown;
class TPanel;
class TCanvasPanel;
class TPrinterSetupDialog;

class TPrintTimeChartDialog : public TForm {
    VEK_DECLARE_CLASS(TPrintTimeChartDialog, TForm)
public:
    TPrintTimeChartDialog(TComponent* AOwner, TPlannerForm* Doc);

    TPrintPreviewDialog* PrintPreviewDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
    TRadioButton* RadioSummary = nullptr;
    TRadioButton* RadioCurrentView = nullptr;
    TRadioButton* RadioFreeInput = nullptr;
    TLabel* LabelStart = nullptr;
    TLabel* LabelEnd = nullptr;
    TLabel* LabelDays = nullptr;
    TDateTimePicker* startpicker = nullptr;
    TDateTimePicker* endepicker = nullptr;
    TEdit* DaysEdit = nullptr;
    TUpDown* tage = nullptr;
    TEdit* PagesEdit = nullptr;
    TUpDown* pages = nullptr;
    TPrintOptionBoxes Options;
    TCheckBox* heutehervorheben = nullptr;  // "Show today as red bar"
    TButton* PrinterSetupButton = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
    TPanel* SketchPanel = nullptr;
    TCanvasPanel* pb = nullptr;

    // Filled from the document's print settings, shown, and after OK the
    // settings written back; true when OK printed.
    bool Execute();
    void Load(const TPrintSettings& S);
    TPrintSettings Settings() const;

    // The range buttons and the date, days and pages rules.
    void FormActivate();
    void SummaryClick();
    void CurrentViewClick();
    void FreeInputClick();
    void StartDateChange();
    void EndDateChange();
    void DaysChange();
    void PagesChange();
    int Days() const;
    int Pages() const;
    // The page sketch.
    void FitSketch();
    void pbPaint();
    // The chart's size at a zoom offset over the whole range.
    TSize ChartSize(int ZoomDelta) const;
    void PrinterSetupClick();
    // The printout and its preview; the preview's result (2: the dialog
    // stays open).
    int Print();
    // The printout's pages recorded, headers and footers added, nothing
    // shown or printed yet.
    void Record();
    void OKClick();

    // What the last printout did, for tests: the zoom offset, the chart's
    // rectangle and each page's span (body coordinates), and the pages
    // drawn in normal quality although low quality was asked.
    int FZoomDelta = 0;
    TRect FChartRect;
    std::vector<std::pair<TDateTime, TDateTime>> FSpans;
    int FLowQualityFallbacks = 0;

private:
    String Tr(const String& Text) const { return FDoc->Translate(Text); }
    void SetRangeEnabled(bool Value);
    void DrawChart(TCanvas* Canvas, const TRect& Body, TDateTime Start, TDateTime End, bool LowQuality);
    TPlannerForm* FDoc;
};
