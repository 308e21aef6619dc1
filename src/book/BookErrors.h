// Error classes of the plan book, the plan file and the catch-up list. Each
// carries the message the user sees.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "model/Errors.h"
#include "model/Numbers.h"  // FitsAmount and CheckedAmount, which every sum of the book uses

namespace tamber {

// A plan file that cannot be opened or read, or that holds a damaged record.
class EReadError : public ETamberError {
public:
    explicit EReadError(const std::string& message = "讀檔錯誤") : ETamberError(message) {}
};

// A plan file that cannot be created, written or replaced; the message names
// the file and the system's reason.
class EWriteError : public ETamberError {
public:
    explicit EWriteError(const std::string& message) : ETamberError(message) {}
};

// An amount text of the catch-up list that is not a signed 32-bit integer.
class EInvalid : public ETamberError {
public:
    explicit EInvalid(const std::string& message) : ETamberError(message) {}
};

// The plan book already holds the most plans the day list can address.
class EPlanBookFull : public ETamberError {
public:
    explicit EPlanBookFull(const std::string& message = "計劃數已達 9999 項, 無法再加入") : ETamberError(message) {}
};

// A plan's date or amount that cannot be computed. what() is the plan
// model's own message; PlanIndex says which plan of the book failed. Thrown
// through std::throw_with_nested, so std::rethrow_if_nested gives back the
// model's error with its own class.
class EPlanError : public ETamberError {
public:
    EPlanError(int planIndex, const std::string& message) : ETamberError(message), PlanIndex_(planIndex) {}
    int PlanIndex() const noexcept { return PlanIndex_; }

private:
    int PlanIndex_;
};

// Runs Work for plan PlanIndex and turns a model error it throws into an
// EPlanError naming the plan (an EPlanError passes through unchanged).
template <class F>
decltype(auto) ForPlan(int planIndex, F&& work) {
    try {
        return work();
    } catch (const EPlanError&) {
        throw;
    } catch (const ETamberError& e) {
        std::throw_with_nested(EPlanError(planIndex, e.what()));
    }
}

}  // namespace tamber
