#include "model/Fincalc.h"

#include <cmath>

#include "model/Errors.h"
#include "model/SixByteReal.h"

namespace tamber {
namespace {

// One hundredth and one twelfth as extended-precision constants, multiplied
// in rather than divided: a double constant moves results that fall on a tie.
constexpr long double kHundredth = 0.01L;
constexpr long double kTwelfth = 1.0L / 12;

// A result as the 6-byte real it is stored in; a NaN (zero divided by zero)
// is an invalid operation, a value beyond range an overflow.
double AsSixByteReal(long double value) {
    return RoundThroughSixByteReal(value);
}

long double PowerOfOnePlusRate(long double i, int32_t n) {
    // The base is handed over as a double, as the power routine takes it.
    return RealPower(static_cast<double>(1.0L + i), n);
}

}  // namespace

long double MonthlyShareOfPercent(long double yearly) {
    return yearly * kHundredth * kTwelfth;
}

long double MonthlyRate(double annualRate) {
    const long double r = annualRate;
    const long double i = r > 1 ? MonthlyShareOfPercent(r) : r * kTwelfth;
    return RoundThroughSixByteReal(i);
}

double RealPower(double base, double exponent) {
    if (exponent == 0) return 1.0;
    if (base == 0) return 0.0;
    const long double product = static_cast<long double>(exponent) * std::log(std::fabs(static_cast<long double>(base)));
    if (std::isnan(product)) throw EFloatInvalid();
    if (std::fabs(product) > 87.498L) throw EFloatOverflow();
    if (base > 0) return AsSixByteReal(std::exp(product));
    if (std::trunc(exponent) != exponent) throw EFloatInvalid();
    const double magnitude = RealPower(-base, exponent);
    return std::fmod(std::fabs(exponent), 2.0) == 1.0 ? -magnitude : magnitude;
}

double CompoundValue(int32_t n, double amount, double annualRate) {
    const long double i = MonthlyRate(annualRate);
    return AsSixByteReal(static_cast<long double>(amount) * PowerOfOnePlusRate(i, n));
}

double AnnuityValue(int32_t n, double amount, double annualRate) {
    const long double i = MonthlyRate(annualRate);
    if (i == 0) throw EFloatInvalid();  // zero divided by zero
    return AsSixByteReal(static_cast<long double>(amount) * (PowerOfOnePlusRate(i, n) - 1) / i);
}

double AnnuityPayment(int32_t n, double amount, double annualRate) {
    const long double i = MonthlyRate(annualRate);
    if (i == 0) throw EFloatInvalid();  // zero divided by zero
    const long double divisor = (1 - PowerOfOnePlusRate(i, -n)) / i;
    if (divisor == 0) throw EFloatInvalid();  // no periods to pay in
    return AsSixByteReal(static_cast<long double>(amount) / divisor);
}

int32_t RoundAmount(long double value) {
    if (std::isnan(value)) throw EFloatInvalid();
    // The default rounding mode rounds ties to even. rint rounds as nearbyint
    // does without keeping the floating-point status flags, which nothing
    // reads, and is many times faster: a loan's amounts are rounded per period.
    const long double rounded = std::rint(value);
    if (rounded < -2147483648.0L || rounded > 2147483647.0L) throw EAmountRange();
    return static_cast<int32_t>(rounded);
}

}  // namespace tamber
