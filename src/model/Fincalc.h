// Financial routines of the compound deposits and loans. Amounts and rates
// enter as 6-byte reals (an amount is exact in one), intermediates are
// computed in extended precision, and every result is a 6-byte real again.
#pragma once

#include <cstdint>

namespace tamber {

// A month's share of Yearly percent: Yearly x 0.01 x 1/12, multiplied in that
// order in extended precision (a simple deposit's monthly interest on
// Yearly = rate x amount).
long double MonthlyShareOfPercent(long double yearly);

// Monthly rate of an annual rate r as typed: r is a percentage when above 1
// (12 gives 0.01) and a fraction up to 1 (0.12 gives 0.01; exactly 1 gives
// 1/12). The result is held in a 6-byte real.
long double MonthlyRate(double annualRate);

// Base raised to Exponent, rounded through a 6-byte real. 1 for a zero
// exponent, 0 for a zero base. Throws EFloatOverflow when
// |Exponent x ln |Base|| > 87.498, EFloatInvalid for a negative base with a
// fractional exponent.
double RealPower(double base, double exponent);

// A x (1 + i)^n: a lump sum left at compound interest for n months.
double CompoundValue(int32_t n, double amount, double annualRate);

// A x ((1 + i)^n - 1) / i: n equal deposits just after the last one.
// EFloatInvalid for a zero monthly rate.
double AnnuityValue(int32_t n, double amount, double annualRate);

// A / ((1 - (1 + i)^-n) / i): the equal payment that pays off A in n months.
// EFloatInvalid for a zero monthly rate.
double AnnuityPayment(int32_t n, double amount, double annualRate);

// Nearest whole amount, ties to the even neighbour (2.5 gives 2, 3.5 gives 4).
// EAmountRange outside the signed 32-bit range, EFloatInvalid for NaN.
int32_t RoundAmount(long double value);

}  // namespace tamber
