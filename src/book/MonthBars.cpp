#include "book/MonthBars.h"

namespace tamber {

TMonthBars::TMonthBars(int currentYear, int currentMonth)
    : CurrentYear_(currentYear), CurrentMonth_(currentMonth), MonthBar_(currentMonth - 1) {
    LabelsFromBars();
}

void TMonthBars::LabelsFromBars() {
    YearLabel_ = CurrentYear_ + YearBar_;
    MonthLabel_ = MonthBar_ + 1;
}

void TMonthBars::SliderMoved(int p) {
    SetSlider(p);
    const int m = CurrentMonthIndex() + Slider_;
    YearLabel_ = m / 12;
    MonthLabel_ = m % 12 + 1;
    MonthBar_ = m % 12;
    YearBar_ = Clamp(m / 12 - CurrentYear_, 0, kYearBarMax);
}

void TMonthBars::SliderPaged(int direction) {
    SliderMoved(Slider_ + (direction < 0 ? -kSliderPageStep : kSliderPageStep));
}

void TMonthBars::MonthBarMoved(int p) {
    p = Clamp(p, 0, kMonthBarMax);
    if (Slider_ == 0 && p < CurrentMonth_ - 1) {
        p = CurrentMonth_ - 1;  // the month label stays as it is
    } else {
        MonthLabel_ = p + 1;
    }
    MonthBar_ = p;
    SetSlider(YearBar_ * 12 + p + 1 - CurrentMonth_);
}

void TMonthBars::YearBarMoved(int p) {
    YearBar_ = Clamp(p, 0, kYearBarMax);
    if (YearBar_ == 0) {
        MonthBar_ = CurrentMonth_ - 1;
        MonthLabel_ = CurrentMonth_;
    }
    YearLabel_ = CurrentYear_ + YearBar_;
    SetSlider(YearBar_ * 12 + MonthBar_ + 1 - CurrentMonth_);
}

}  // namespace tamber
