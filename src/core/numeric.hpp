#pragma once

// The number rules of the library, in one place:
//  - every real quantity is kept as a float; expressions are evaluated in
//    double and rounded to float where a value is stored or compared after
//    rounding (`single`);
//  - conversions to 16-bit integers round half to even and fail with
//    Overflow outside -32768..32767 (`to_int16`);
//  - floating-point faults (division by zero, overflow, invalid operation)
//    are read from the floating-point status flags (`FpFaultScope`, and
//    `checked` for a computation that raises them as errors);
//  - the library computes in its own floating-point environment, and the
//    host's is left exactly as it was (`public_call`).

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

// The floating-point environment of the library's public calls. The
// outermost public call on a thread saves the host's environment and
// computes in the default one: round to nearest, no flush to zero, every
// trap masked and every flag clear, so that a fault only raises a flag,
// which the library reads (a host that enables traps would otherwise die of
// SIGFPE where the library means to raise an Error). When that call ends,
// by a return or an exception, the host's environment is put back as it
// was: its flags, its traps, its rounding. Calls made from inside the
// library only count their depth.
class LibraryFpEnvironment {
public:
    LibraryFpEnvironment() noexcept;
    ~LibraryFpEnvironment();
    LibraryFpEnvironment(const LibraryFpEnvironment&) = delete;
    LibraryFpEnvironment& operator=(const LibraryFpEnvironment&) = delete;
};

// The body of a public member, run in the library's environment. The body
// is an opaque call, so that none of its arithmetic moves before the
// environment is set or after it is restored.
template <class Body>
auto public_call(Body&& body) {
    LibraryFpEnvironment environment;
    return fp_isolated(std::forward<Body>(body));
}

// The host's environment again, for the duration of a call into the host
// (a message box or beep handler) made from inside a public call; the
// library's, with its flags, afterwards. A public call the handler makes
// saves and restores the handler's environment in turn.
class HostFpEnvironment {
public:
    HostFpEnvironment() noexcept;
    ~HostFpEnvironment();
    HostFpEnvironment(const HostFpEnvironment&) = delete;
    HostFpEnvironment& operator=(const HostFpEnvironment&) = delete;

private:
    int depth_;
    std::fenv_t host_{};
    std::fenv_t library_{};
};

}  // namespace ferrolit::detail
