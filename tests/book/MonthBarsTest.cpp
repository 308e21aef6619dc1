#include "book/MonthBars.h"

#include <gtest/gtest.h>

#include <array>

namespace tamber {
namespace {

// Slider, year bar, month bar, year label, month label.
using Bars = std::array<int, 5>;
Bars Of(const TMonthBars& b) { return {b.Slider(), b.YearBar(), b.MonthBar(), b.YearLabel(), b.MonthLabel()}; }

TEST(MonthBars, CouplingRulesFromAStartInMarch) {
    EXPECT_EQ(TMonthBars(2026, 12).SliderMax(), 360);  // December 30 years on
    struct Step { const char* what; void (*act)(TMonthBars&); Bars after; };
    const Step steps[] = {
        {"year bar to 2 moves the slider two years", [](TMonthBars& b) { b.YearBarMoved(2); }, {24, 2, 2, 2028, 3}},
        {"month bar to July in that year", [](TMonthBars& b) { b.MonthBarMoved(6); }, {28, 2, 6, 2028, 7}},
        {"year bar back to 0 returns to the current month", [](TMonthBars& b) { b.YearBarMoved(0); }, {0, 0, 2, 2026, 3}},
        {"month bar before the current month snaps back", [](TMonthBars& b) { b.MonthBarMoved(0); }, {0, 0, 2, 2026, 3}},
        {"month bar to a later month", [](TMonthBars& b) { b.MonthBarMoved(7); }, {5, 0, 7, 2026, 8}},
        {"page back from 5 stops at 0", [](TMonthBars& b) { b.SliderPaged(-1); }, {0, 0, 2, 2026, 3}},
        {"slider to 20", [](TMonthBars& b) { b.SliderMoved(20); }, {20, 1, 10, 2027, 11}},
        {"page back from 20 gives 8", [](TMonthBars& b) { b.SliderPaged(-1); }, {8, 0, 10, 2026, 11}},
        {"page forward", [](TMonthBars& b) { b.SliderPaged(1); }, {20, 1, 10, 2027, 11}},
        {"slider to its end", [](TMonthBars& b) { b.SliderMoved(10000); }, {369, 30, 11, 2056, 12}},
        {"year bar beyond the slider's end holds the slider there", [](TMonthBars& b) { b.YearBarMoved(35); },
         {369, 35, 11, 2061, 12}},
    };
    TMonthBars bars(2026, 3);
    EXPECT_EQ(bars.SliderMax(), 369);
    EXPECT_EQ(Of(bars), (Bars{0, 0, 2, 2026, 3}));
    for (const Step& s : steps) {
        s.act(bars);
        EXPECT_EQ(Of(bars), s.after) << s.what;
    }
    EXPECT_EQ(bars.ShownYear(), 2061);
    EXPECT_EQ(bars.ShownMonth(), 12);
}

}  // namespace
}  // namespace tamber
