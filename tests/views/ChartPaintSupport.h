#pragma once
// The plan the painting tests look at, a canvas that records the texts drawn
// on it, and the panels painted into their back buffers.
#include <random>

#include "document/WorkingTime.h"
#include "tests/views/ViewsTestSupport.h"

namespace chartpaint {

// Monday 1 January 2024; today is Wednesday 17 January, noon.
inline const TDateTime D0 = EncodeDate(2024, 1, 1);
inline const TDateTime Today = D0 + 16.5;

inline const TRGB White{255, 255, 255};
inline const TRGB NonWorking{0xCC, 0xE5, 0xF0};
inline const TRGB Grid{0x92, 0xCA, 0xE0};
inline const TRGB Divider{0x49, 0x64, 0x70};
inline const TRGB Green{0, 0xBF, 0};
inline const TRGB Yellow{255, 255, 0};

inline TRGB Rgb(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// A column for due dates.
inline int AddDueColumn(TPlannerForm& P)
{
    const int due = P.GetTableColCount(tbTable);
    P.InsertColumn(tbTable, due);
    P.SetColumnType(tbTable, due, ctDate);
    P.SetConnection(tbTable, cnTermin, due);
    return due;
}

inline TNodeData* StateTask(TPlannerForm& P, const String& Position, TDateTime Start, int Days, int State)
{
    TNodeData* row = AddTask(P, Position, Start, Days);
    P.DoSetDataIndex(row, P.GetConnection(tbTable, cnColor), cmIgnoreNet, State);
    return row;
}

// A public holiday on a fixed day of the year.
inline void AddHoliday(TPlannerForm& P, const String& Name, int Day, int Month)
{
    THolidayData holiday;
    holiday.name = Name;
    holiday.day = Day;
    holiday.month = Month;
    holiday.enabled = true;
    holiday.easter = false;
    P.FHolidayList.push_back(holiday);
}

// A position entry whose week works every day.
inline String SevenDayPosition(const String& Name)
{
    tWeekInfo week = DefaultWeekInfo();
    for (TDayInfo& day : week)
        day = week[1];
    TCommaText entry;
    entry.SetItem(0, Name);
    entry.SetItem(1, WeekInfo2String(week));
    return entry.AsString();
}

// Day width 10 px at zoom 100, font 10 (rows 54); the chart Width x Height
// from D0, its back buffer that size; the automatic entries over a quarter.
inline void SetUpChart(TTestPlanner& P, int Width = 700, int Height = 300, int DayWidth = 10)
{
    P.FColWidth = DayWidth;
    P.FZoom = 100;
    P.FFontsize = 10;
    P.UpdateFont();
    P.SizeChart(Width, Height);
    P.FTimeChartStart = D0;
    P.FTimeChartTop = 0;
    P.UpdateAutoEntries(D0 - 7, D0 + 120);
}

// The chart body painted whole into a back buffer of its size.
inline TCanvas* PaintChart(TTestPlanner& P)
{
    TCanvas* c = P.TimeChart->Canvas();
    P.TimeChart->BackBuffer()->SetSize(P.TimeChart->Width(), P.TimeChart->Height());
    c->SelectClipRgn(nullptr);
    P.TimeChartPaint();
    return c;
}

// A canvas of a size without pixels: what is written on it, where and in
// which font.
class TRecordingCanvas : public TCanvas {
public:
    TRecordingCanvas(int Width, int Height) : FSize(Width, Height) {}
    struct TText {
        String Text;
        TRect Rect;
        int FontHeight;
        bool Bold;
    };
    std::vector<TText> Texts;
    TSize DeviceSize() const override { return FSize; }
    int DrawText(const String& Text, TRect& R, unsigned Format) override
    {
        Texts.push_back({Text, R, Font()->Height(), Font()->Style().Contains(fsBold)});
        return TCanvas::DrawText(Text, R, Format);
    }
    void TextOut(int X, int Y, const String& Text) override
    {
        Texts.push_back({Text, TRect(X, Y, X, Y), Font()->Height(), Font()->Style().Contains(fsBold)});
        TCanvas::TextOut(X, Y, Text);
    }

private:
    TSize FSize;
};

}  // namespace chartpaint
