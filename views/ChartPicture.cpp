// The chart as one picture of a span on any canvas (a bitmap, a printer
// page): caption rows, body and position labels as the screen draws them;
// and the picture each timed backup writes beside its copy.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "platform/Version.h"
#include "views/ChartPalette.h"
#include "views/PlannerForm.h"

namespace {

// Captions over the backup picture's body: two weeks from today.
constexpr int BackupDays = 14;

}  // namespace

void TPlannerForm::DrawBitmap(TCanvas* Canvas, int Left, int Top, int Width, int Height, int Dpi, int ZoomDelta,
    bool ShowToday, int TopPixel, TDateTime VisEnd, TDateTime VisStart)
{
    if (!Canvas || Width <= 0 || Height <= 0)
        return;
    const int saved = Canvas->SaveDC();
    try {
        Canvas->IntersectClipRect(TRect(Left, Top, Left + Width, Top + Height));
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(ChartPalette::Background);
        Canvas->FillRect(TRect(Left, Top, Left + Width, Top + Height));
        using namespace ChartPalette;
        const int dayWidth = _TimeChartColWidth(ZoomDelta);
        DrawCaption(Canvas, 0, Dpi, ZoomDelta, Top, Left, MonthRow.Line, MonthRow.Text, MonthRow.Fill, 1,
            {"%mmm", "%yy"}, Width, VisEnd, VisStart);
        DrawCaption(Canvas, 1, Dpi, ZoomDelta, Top, Left, WeekRow.Line, WeekRow.Text, WeekRow.Fill, 2,
            {Translate("cw"), "%w"}, Width, VisEnd, VisStart);
        DrawCaption(Canvas, 2, Dpi, ZoomDelta, Top, Left, DayRow.Line, DayRow.Text, DayRow.Fill, dayWidth >= 25 ? 3 : 2,
            {"%d+"}, Width, VisEnd, VisStart);
        // The body keeps below the captions, its grid lines included.
        const int body = Top + TimeChartFullRowHeight(ZoomDelta);
        Canvas->IntersectClipRect(TRect(Left, body, Left + Width, Top + Height));
        DrawTimeChart(Canvas, false, Dpi, ZoomDelta, ShowToday, body, Left, Width, TopPixel, VisEnd, VisStart);
        DrawTimeChartPositions(Canvas, TopPixel, Dpi, ZoomDelta, body, Left, Width);
    } catch (...) {
        Canvas->RestoreDC(saved);
        throw;
    }
    Canvas->RestoreDC(saved);
}

void TPlannerForm::SaveBackupPicture(const String& FileName)
{
    // The picture shows every position, whatever group the user looks at.
    const int tab = GetPositionGroupIndex();
    if (tab != 0)
        SelectPositionGroupTab(0);
    try {
        const TBuildInfo build = GetBuildInfo();
        std::error_code error;
        const String path = FCurrentFile.empty() ? String() : std::filesystem::absolute(FCurrentFile, error).string();
        const String text = Translate("Created with") + " VEK " + IntToStr(build.Major) + "." + IntToStr(build.Minor) +
                            "." + IntToStr(build.Release) + " " + path + " (" + DateTimeToStr(Now()) + ")";
        TBitmap picture;
        TCanvas* c = picture.Canvas();
        c->SetFont(Font());
        const TSize textSize = c->TextExtent(text);
        const int dayWidth = GetTimeChartColWidth();
        const int width = std::max(BackupDays * dayWidth, textSize.cx + 30);
        const int captions = TimeChartFullRowHeight(0);
        const int height = std::max(captions + GetRowCount() * TimeChartRowHeight(0), captions + textSize.cy + 4);
        picture.SetSize(width, height);
        const TDateTime start = std::trunc(Date());
        DrawBitmap(c, 0, 0, width, height, 0, 0, true, 0, start + double(width) / dayWidth, start);
        c->SetFont(Font());
        c->Font()->SetColor(clBlack);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(ChartPalette::Background);
        c->TextOut(width - textSize.cx - 15, height - textSize.cy - 2, text);
        picture.SaveToJPEGFile(FileName);
    } catch (...) {
        if (tab != 0)
            SelectPositionGroupTab(tab);
        throw;
    }
    if (tab != 0)
        SelectPositionGroupTab(tab);
}
