#pragma once
// The fixed colours of the timechart, its caption rows and the overview
// strip. They never follow the system's colours, so a chart looks the same
// on every desktop and in every picture made of it.
#include "platform/Colors.h"

namespace ChartPalette {

constexpr TColor Background = RGB(0xFF, 0xFF, 0xFF);
// Non-working time inside a day (minute unit), non-working days and public
// holidays.
constexpr TColor NonWorking = RGB(0xCC, 0xE5, 0xF0);
constexpr TColor Holiday = RGB(0xCC, 0xE5, 0xF0);
// Grid lines, holiday edges and row lines.
constexpr TColor Grid = RGB(0x92, 0xCA, 0xE0);
constexpr TColor LabelText = RGB(0, 0, 0);
constexpr TColor Today = RGB(0xD6, 0x62, 0x73);
// Month dividers and the overview slider's frame.
constexpr TColor Divider = RGB(0x49, 0x64, 0x70);
constexpr TColor SliderTint = RGB(0x62, 0x87, 0x97);
// Due-date arrows: the task ends after its due date, or in time.
constexpr TColor ArrowLate = RGB(0xFF, 0xCC, 0x11);
constexpr TColor ArrowInTime = RGB(0xC0, 0xC0, 0xC0);

// A caption band: its fill, its texts and its separators.
struct TCaptionColors {
    TColor Fill;
    TColor Text;
    TColor Line;
};
constexpr TCaptionColors OverviewCaption{RGB(0xFF, 0xFF, 0xFF), RGB(0x49, 0x64, 0x70), RGB(0xCC, 0xE5, 0xF0)};
constexpr TCaptionColors MonthRow{RGB(0x62, 0x87, 0x97), RGB(0xFF, 0xFF, 0xFF), RGB(0x49, 0x64, 0x70)};
constexpr TCaptionColors WeekRow{RGB(0x49, 0x64, 0x70), RGB(0xFF, 0xFF, 0xFF), RGB(0x49, 0x64, 0x70)};
constexpr TCaptionColors DayRow{RGB(0x62, 0x87, 0x97), RGB(0xFF, 0xFF, 0xFF), RGB(0x49, 0x64, 0x70)};

}  // namespace ChartPalette
