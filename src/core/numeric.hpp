#pragma once

// The number rules of the library, in one place:
//  - every real quantity is kept as a float; expressions are evaluated in
//    double and rounded to float where a value is stored or compared after
//    rounding (`single`);
//  - conversions to 16-bit integers round half to even and fail with
//    Overflow outside -32768..32767 (`to_int16`);
//  - floating-point faults (division by zero, overflow, invalid operation)
//    are read from the floating-point status flags (`FpFaultScope`, and
//    `checked` for a computation that raises them as errors).

#include <cfenv>
#include <cstdint>
#include <optional>
#include <utility>

#include "ferrolit/error.hpp"

namespace ferrolit::detail {

// Rounds to single precision, the way every real quantity is stored.
inline float single(double value) noexcept { return static_cast<float>(value); }

// Nearest 16-bit integer, halves to the even neighbour; Overflow outside the
// range and for NaN.
std::int16_t to_int16(double value);

// Watches the floating-point status flags over a stretch of computation.
// Construction saves the caller's flags and clears them; destruction puts
// the caller's flags back, so a host never sees the library's faults.
class FpFaultScope {
public:
    FpFaultScope() noexcept;
    ~FpFaultScope();
    FpFaultScope(const FpFaultScope&) = delete;
    FpFaultScope& operator=(const FpFaultScope&) = delete;

    // The fault raised since construction or the last clear(), if any.
    // When several were raised, division by zero wins over overflow, and
    // overflow over an invalid operation: the earlier cause is reported.
    std::optional<ErrorKind> fault() const noexcept;
    void clear() noexcept;
    // Throws Error of the fault's kind, if there is one.
    void check() const;

private:
    std::fexcept_t saved_{};
};

// g++ does not honour FENV_ACCESS: it may move floating-point arithmetic
// across the calls that clear and read the status flags, so a fault could be
// raised before the flags are cleared or after they are read. Running the
// arithmetic through a call the optimiser cannot look into keeps it in place:
// an opaque call stays ordered with the flag calls around it.
template <class Computation>
[[gnu::noipa]] auto fp_isolated(Computation&& computation) {
    return std::forward<Computation>(computation)();
}

// Makes the floating-point operations that produced `value` complete here,
// before a following test of the status flags, for code that cannot wrap its
// arithmetic in one call (a hot loop testing the flags once per point).
template <class T>
inline void settle(T& value) {
    asm volatile("" : "+m"(value) : : "memory");
}

// Runs a computation with the flags watched and raises the fault it caused,
// if any, as an Error of its kind.
template <class Computation>
auto checked(Computation&& computation) {
    FpFaultScope faults;
    auto result = fp_isolated(std::forward<Computation>(computation));
    faults.check();
    return result;
}

}  // namespace ferrolit::detail
