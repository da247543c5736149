// The calendar caption rows over the chart (months, weeks, days) and over
// the overview (months): bands with a separator and a label per period,
// labels thinned out so that none runs into the next.
#include <algorithm>
#include <cmath>

#include "document/DocumentHelpers.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "views/CanvasPanel.h"
#include "views/ChartPalette.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

namespace {

const char* const ShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonths[12] = {"January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December"};
// Sunday first, as DayOfWeek counts.
const char* const ShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thur", "Fri", "Sat"};
const char* const LongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Longer spans are not captioned (no chart shows them).
constexpr double MaxCaptionDays = 1e6;

enum TPeriodKind { pkMonths = 1, pkWeeks = 2, pkDays = 3 };

TDateTime NextPeriod(TDateTime D, int Kind)
{
    switch (Kind) {
    case pkMonths: return IncMonth(D, 1);
    case pkWeeks: return D + 7;
    default: return D + 1;
    }
}

int WeekdayIndex(TDateTime D) { return std::clamp(DayOfWeek(D), 1, 7) - 1; }

}  // namespace

void TPlannerForm::DrawCaption(TCanvas* Canvas, int RowIndex, int Dpi, int ZoomDelta, int DY, int DX,
    TColor LineColour, TColor TextColour, TColor FillColour, int PeriodKind, const std::vector<String>& Tokens,
    int Width, TDateTime VisEnd, TDateTime VisStart)
{
    if (!Canvas || VisEnd == VisStart || !std::isfinite(VisEnd) || !std::isfinite(VisStart) || VisEnd < VisStart ||
        VisEnd - VisStart > MaxCaptionDays || Width <= 0)
        return;
    TFont* font = Canvas->Font();
    font->SetName(FFontname);
    font->SetOrientation(0);
    int h = 0;
    const bool overview =
        SmallTimeChartCaption && (Canvas == SmallTimeChartCaption->Canvas() ||
                                     (Canvas->Bitmap() && Canvas->Bitmap() == SmallTimeChartCaption->BackBuffer()));
    if (overview) {
        h = SmallTimeChartCaption->Height();
        font->SetHeight(std::max(1, h - 3));
        font->SetStyle(TFontStyles());
    } else {
        h = TimeChartFullRowHeight(ZoomDelta) / 3;
        font->SetSize(std::max(1, _TimeChartFontSize(ZoomDelta, Dpi)));
        font->SetStyle(TFontStyles{fsBold});
    }
    font->SetColor(TextColour);
    const int pen = Canvas->Pen()->Width();
    const int top = DY + RowIndex * h;
    const int bottom = top + h;

    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FillColour);
    Canvas->FillRect(TRect(DX, top, DX + Width, bottom));
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetMode(pmCopy);
    Canvas->Pen()->SetColor(clWhite);
    Canvas->MoveTo(DX, bottom - pen);
    Canvas->LineTo(DX + Width, bottom - pen);

    const double scale = Width / (VisEnd - VisStart);
    auto xOf = [&](TDateTime D) { return Nearest((D - VisStart) * scale); };
    auto labelOf = [&](TDateTime D) {
        int year = 0, month = 0, day = 0;
        DecodeDate(D, year, month, day);
        month = std::clamp(month, 1, 12);
        String label;
        for (const String& token : Tokens) {
            String part = token;
            if (token == "%m")
                part = IntToStr(month);
            else if (token == "%mm")
                part = Translate(ShortMonths[month - 1]);
            else if (token == "%mmm")
                part = Translate(LongMonths[month - 1]);
            else if (token == "%d" || token == "%d+")
                part = IntToStr(day);
            else if (token == "%dd")
                part = Translate(ShortDays[WeekdayIndex(D)]);
            else if (token == "%ddd")
                part = Translate(LongDays[WeekdayIndex(D)]);
            else if (token == "%yy")
                part = ::FormatDateTime("yy", D);
            else if (token == "%yyyy")
                part = IntToStr(year);
            else if (token == "%w")
                part = IntToStr(Date2ISOWeekNo(D));
            label += " " + part;
        }
        return label;
    };
    const bool weekdays = std::find(Tokens.begin(), Tokens.end(), String("%d+")) != Tokens.end();

    // The first period begins before the visible start; weeks begin on
    // Mondays, and the days count from the Sunday before the start's week.
    const TDateTime start = std::trunc(VisStart);
    TDateTime d = PeriodKind == pkMonths ? GetFirstDayOfMonth(IncMonth(start, -1))
                  : PeriodKind == pkWeeks ? StartOfISOWeek(start) - 7
                                          : StartOfISOWeek(start) - 1;
    const TRect clip = Canvas->ClipRect();
    while (d < VisEnd) {
        const String label = labelOf(d);
        const int labelWidth = Canvas->TextWidth(label);
        const int room = labelWidth + 10;
        const int x = xOf(d);
        // The next period far enough away for this label gets the next one.
        TDateTime next = NextPeriod(d, PeriodKind);
        while (xOf(next) - x <= room)
            next = NextPeriod(next, PeriodKind);
        const int distance = xOf(next) - x;
        if (DX + x >= clip.Right)
            break;
        if (DX + x + distance >= clip.Left) {
            Canvas->Pen()->SetColor(LineColour);
            Canvas->MoveTo(DX + x, top + 2 * pen);
            Canvas->LineTo(DX + x, bottom - 3 * pen);
            Canvas->Brush()->SetStyle(bsClear);
            TRect r(DX + x + pen, top, DX + x + distance, bottom);
            Canvas->DrawText(label, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (weekdays && next == d + 1) {
                // The weekday in small letters beside the day's number.
                const int height = font->Height();
                font->SetHeight(height / 2);
                const String name = ShortDays[WeekdayIndex(d)];
                const int nameWidth = Canvas->TextWidth(name);
                if (labelWidth + nameWidth <= distance) {
                    const int left = DX + x + room + (distance - room - nameWidth) / 2;
                    TRect n(left, top, left + nameWidth, bottom);
                    for (const String& token : Tokens)
                        if (token == "%d+")
                            Canvas->DrawText(name, n, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                }
                font->SetHeight(height);
            }
            Canvas->Brush()->SetStyle(bsSolid);
        }
        d = next;
    }
}

void TPlannerForm::TimeChartCaptionPaint()
{
    TCanvas* c = WhiteCanvas(TimeChartCaption);
    // The bands reach over the whole caption at the chart's scale.
    const int width = TimeChartCaption->Width();
    const TDateTime end = FTimeChartStart + double(width) / GetTimeChartColWidth();
    using namespace ChartPalette;
    DrawCaption(c, 0, 0, 0, 0, 0, MonthRow.Line, MonthRow.Text, MonthRow.Fill, pkMonths, {"%mmm", "%yy"}, width, end,
        FTimeChartStart);
    DrawCaption(c, 1, 0, 0, 0, 0, WeekRow.Line, WeekRow.Text, WeekRow.Fill, pkWeeks, {Translate("cw"), "%w"}, width,
        end, FTimeChartStart);
    DrawCaption(c, 2, 0, 0, 0, 0, DayRow.Line, DayRow.Text, DayRow.Fill, GetTimeChartColWidth() >= 25 ? pkDays : pkWeeks,
        {"%d+"}, width, end, FTimeChartStart);
}

void TPlannerForm::SmallTimeChartCaptionPaint()
{
    TCanvas* c = WhiteCanvas(SmallTimeChartCaption);
    using namespace ChartPalette;
    DrawCaption(c, 0, 0, 0, 0, 0, OverviewCaption.Line, OverviewCaption.Text, OverviewCaption.Fill, pkMonths,
        {"%mmm", "%yy"}, SmallTimeChartCaption->Width(), FMaxDate, FMinDate);
}
