#include "core/numeric.hpp"

#include <cmath>

namespace ferrolit::detail {

namespace {
constexpr int kWatched = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;
}

std::int16_t to_int16(double value) {
    // Quiet comparisons: NaN and infinities fail here without touching the
    // caller's floating-point flags.
    if (!(std::isgreaterequal(value, -32768.5) && std::isless(value, 32767.5))) throw Error(ErrorKind::Overflow);
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (!(whole >= -32768.0 && whole <= 32767.0)) throw Error(ErrorKind::Overflow);
    return static_cast<std::int16_t>(whole);
}

FpFaultScope::FpFaultScope() noexcept {
    std::fegetexceptflag(&saved_, kWatched);
    std::feclearexcept(kWatched);
}

FpFaultScope::~FpFaultScope() { std::fesetexceptflag(&saved_, kWatched); }

std::optional<ErrorKind> FpFaultScope::fault() const noexcept {
    const int raised = std::fetestexcept(kWatched);
    if (raised & FE_DIVBYZERO) return ErrorKind::DivisionByZero;
    if (raised & FE_OVERFLOW) return ErrorKind::Overflow;
    if (raised & FE_INVALID) return ErrorKind::InvalidOperation;
    return std::nullopt;
}

void FpFaultScope::clear() noexcept { std::feclearexcept(kWatched); }

void FpFaultScope::check() const {
    if (auto kind = fault()) throw Error(*kind);
}

}  // namespace ferrolit::detail
