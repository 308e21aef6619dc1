// Error classes of the plan model. Every failure is an exception carrying the
// message the user sees; callers abandon the command that met it.
#pragma once

#include <stdexcept>
#include <string>

namespace tamber {

// Root of the project's own errors; the top-level handler shows what().
class ETamberError : public std::runtime_error {
public:
    explicit ETamberError(const std::string& message) : std::runtime_error(message) {}
};

// A date outside years 1..9999, a month or day that does not exist, or a
// value that is not a finite number.
class EInvalidDate : public ETamberError {
public:
    explicit EInvalidDate(const std::string& message = "日期無效") : ETamberError(message) {}
};

// A floating-point result too large to hold (a power or a 6-byte real beyond range).
class EFloatOverflow : public ETamberError {
public:
    explicit EFloatOverflow(const std::string& message = "浮點運算溢位") : ETamberError(message) {}
};

// A floating-point operation without a defined result (zero divided by zero,
// a fractional power of a negative number, a NaN handed in).
class EFloatInvalid : public ETamberError {
public:
    explicit EFloatInvalid(const std::string& message = "無效的浮點運算") : ETamberError(message) {}
};

// An amount or a sum of amounts that leaves the signed 32-bit range.
class EAmountRange : public ETamberError {
public:
    explicit EAmountRange(const std::string& message = "金額超出範圍") : ETamberError(message) {}
};

// A plan record that breaks the rules every plan relies on (from a damaged
// file); the message says which rule.
class EInvalidPlan : public ETamberError {
public:
    explicit EInvalidPlan(const std::string& message) : ETamberError(message) {}
};

}  // namespace tamber
