// The colours and fonts of the windows, named after what they paint: a colour
// or a face changed here changes it everywhere it is shown.
#pragma once

#include <QColor>
#include <QFont>

#include "book/CalendarMonth.h"

namespace tamber::ui {

// A calendar colour (0xRRGGBB) as a Qt colour.
constexpr QColor ToQColor(TColor color) noexcept {
    return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

// The month calendar of the main window.
inline constexpr TColor kCalendarGridLine = 0xC0C0C0;     // the lines between the cells
inline constexpr TColor kCalendarSelection = 0xFFFF80;    // the selected day's cell
inline constexpr TColor kCalendarFirstColumn = 0xFFFFE0;  // the week rows of the first column
inline constexpr TColor kCalendarHeadings = clBlack;      // the weekday names
inline constexpr TColor kCalendarAmounts = clBlack;       // the amount lines of a day
inline constexpr TColor kCalendarDayNumbers = clPurple;   // the day numbers

// The main window's top band and the figures beside it.
inline constexpr QColor kBandBackground{0, 64, 128};
inline constexpr QColor kBandText{255, 255, 255};
inline constexpr QColor kBandYearMonth{255, 255, 0};                   // the shown year and month
inline constexpr QColor kMonthTotals = ToQColor(kCalendarDayNumbers);  // the month's income and expense
inline constexpr QColor kWarningText{255, 0, 0};                       // a balance below zero ahead

// The chart window.
inline constexpr QColor kChartBackgroundTop{255, 255, 255};  // a gradient from top to bottom
inline constexpr QColor kChartBackgroundBottom{176, 196, 222};
inline constexpr QColor kChartWall{255, 255, 128};   // the wall left of the plot
inline constexpr QColor kChartFloor{255, 255, 255};  // the floor under it
inline constexpr QColor kChartGrid{160, 160, 160};
inline constexpr QColor kChartZeroLine{96, 96, 96};
inline constexpr QColor kChartLowest{128, 0, 0};  // the ring and value of the lowest point
inline constexpr QColor kChartLowestBack{255, 255, 255, 200};
inline constexpr QColor kChartLegendBack{255, 255, 255, 220};
inline constexpr QColor kChartReadout{0, 0, 128};  // the date, amount and series under the mouse
inline constexpr QColor kChartBalanceLine{255, 0, 0};
inline constexpr QColor kChartTemplateBars{0, 255, 0};  // the series every plan's bars start from
// The plans' bars, in turn; red and green belong to the balance line and the template.
inline constexpr QColor kChartPlanColours[] = {
    {0, 0, 255},   {255, 0, 255}, {0, 128, 128},   {255, 128, 0}, {128, 0, 0}, {0, 0, 128},    {128, 128, 0}, {128, 0, 128},
    {0, 176, 176}, {96, 192, 0},  {128, 128, 128}, {200, 160, 0}, {0, 0, 0},   {255, 96, 160}, {96, 64, 0},   {96, 96, 255},
};

// The splash window: a sky from top to bottom and the balance line over it.
inline constexpr QColor kSplashSkyTop{0, 64, 128};
inline constexpr QColor kSplashSkyBottom{0, 128, 160};
inline constexpr QColor kSplashLine{255, 255, 0};

// The plan editor's calculator button.
inline constexpr QColor kCalculatorCase{224, 224, 224};
inline constexpr QColor kCalculatorDisplay{160, 200, 160};
inline constexpr QColor kCalculatorKeys{64, 64, 64};  // and the case's outline

// The customary Ming face of Traditional Chinese with the Ming face shipped for
// this system behind it, and a serif face ("Times New Roman" resolves through
// the font configuration's metric-compatible serif), PixelSize pixels high.
QFont MingFont(int pixelSize);
QFont SerifFont(int pixelSize);
// The Ming face in points, for printing: its size is the same on any printer.
QFont PrintMingFont(double points, bool bold = false);

}  // namespace tamber::ui
