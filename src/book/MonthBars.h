// The three bars above the calendar that pick the month shown: the month
// slider (months from the current one, up to December 30 years on), the year
// bar (0..35 years on) and the month bar (January..December), with the year
// and month labels that follow them while the user drags. Plain values, so
// every coupling rule is tested without a window.
#pragma once

namespace tamber {

class TMonthBars {
public:
    static constexpr int kYearBarMax = 35;
    static constexpr int kMonthBarMax = 11;
    static constexpr int kSliderPageStep = 12;

    // Bars at the current month: slider 0, year bar 0, month bar on CurrentMonth.
    TMonthBars(int currentYear, int currentMonth);

    int CurrentYear() const noexcept { return CurrentYear_; }
    int CurrentMonth() const noexcept { return CurrentMonth_; }
    int CurrentMonthIndex() const noexcept { return CurrentYear_ * 12 + CurrentMonth_ - 1; }
    int SliderMax() const noexcept { return 12 - CurrentMonth_ + 360; }

    int Slider() const noexcept { return Slider_; }
    int YearBar() const noexcept { return YearBar_; }
    int MonthBar() const noexcept { return MonthBar_; }
    int YearLabel() const noexcept { return YearLabel_; }
    int MonthLabel() const noexcept { return MonthLabel_; }

    // The month the bars point at, shown when a scroll gesture ends.
    int ShownYear() const noexcept { return CurrentYear_ + YearBar_; }
    int ShownMonth() const noexcept { return MonthBar_ + 1; }

    // The slider moved to P (a page step moves by 12 instead, from the
    // position it stood at, in the step's direction: +1 or -1).
    void SliderMoved(int p);
    void SliderPaged(int direction);
    // The month bar moved to P: before the current month while the slider
    // stands at 0 it snaps back to the current month.
    void MonthBarMoved(int p);
    // The year bar moved to P: back at 0 it puts the month bar on the current month.
    void YearBarMoved(int p);

    // Labels from the bars, as activation shows them.
    void LabelsFromBars();

private:
    static int Clamp(int v, int lo, int hi) noexcept { return v < lo ? lo : v > hi ? hi : v; }
    void SetSlider(int p) noexcept { Slider_ = Clamp(p, 0, SliderMax()); }

    int CurrentYear_;
    int CurrentMonth_;
    int Slider_ = 0;
    int YearBar_ = 0;
    int MonthBar_ = 0;
    int YearLabel_ = 0;
    int MonthLabel_ = 0;
};

}  // namespace tamber
