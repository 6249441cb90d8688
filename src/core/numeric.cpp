#include "core/numeric.hpp"

#include <cmath>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace ferrolit::detail {

namespace {

// WebAssembly has no floating-point status flags, and Emscripten's C library
// names none of them: there no fault is ever read (README, "Nel browser").
#if defined(FE_DIVBYZERO)
constexpr int kDivisionByZero = FE_DIVBYZERO, kOverflow = FE_OVERFLOW, kInvalid = FE_INVALID;
#else
constexpr int kDivisionByZero = 0, kOverflow = 0, kInvalid = 0;
#endif
constexpr int kWatched = kDivisionByZero | kOverflow | kInvalid;

// Per thread: how deep the public calls are nested, and the environment the
// host had when the outermost one began.
struct PublicCalls {
    int depth = 0;
    std::fenv_t host{};
};

PublicCalls& public_calls() noexcept {
    thread_local PublicCalls calls;
    return calls;
}

// Saves the host's environment in `host` and makes the default one current:
// flags clear, every trap masked (feholdexcept), rounding to nearest, and on
// x86 neither flush to zero nor denormals read as zero (which a host built
// with -ffast-math turns on). Cheaper than fegetenv and fesetenv(FE_DFL_ENV),
// which reload the whole x87 environment twice.
void enter_default_environment(std::fenv_t& host) noexcept {
    std::feholdexcept(&host);
    if (std::fegetround() != FE_TONEAREST) std::fesetround(FE_TONEAREST);
#if defined(__SSE__)
    constexpr unsigned kFlushToZero = 0x8000, kDenormalsAreZero = 0x0040;
    const unsigned csr = _mm_getcsr();
    if ((csr & (kFlushToZero | kDenormalsAreZero)) != 0) _mm_setcsr(csr & ~(kFlushToZero | kDenormalsAreZero));
#endif
}

}  // namespace

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

#if defined(_WIN32) && defined(__SSE__)
// MinGW-w64's fesetexceptflag also clears the trap masks of the exceptions it
// sets, so a later division by zero would stop the program: on Windows the
// saved flags go back into MXCSR directly (x86-64 computes doubles in SSE;
// the FE_* flags are MXCSR's flag bits).
FpFaultScope::~FpFaultScope() {
    const unsigned watched = kWatched;
    _mm_setcsr((_mm_getcsr() & ~watched) | (static_cast<unsigned>(saved_) & watched));
}
#else
FpFaultScope::~FpFaultScope() { std::fesetexceptflag(&saved_, kWatched); }
#endif

std::optional<ErrorKind> FpFaultScope::fault() const noexcept {
    const int raised = std::fetestexcept(kWatched);
    if (raised & kDivisionByZero) return ErrorKind::DivisionByZero;
    if (raised & kOverflow) return ErrorKind::Overflow;
    if (raised & kInvalid) return ErrorKind::InvalidOperation;
    return std::nullopt;
}

void FpFaultScope::clear() noexcept { std::feclearexcept(kWatched); }

void FpFaultScope::check() const {
    if (auto kind = fault()) throw Error(*kind);
}

LibraryFpEnvironment::LibraryFpEnvironment() noexcept {
    PublicCalls& calls = public_calls();
    if (calls.depth++ == 0) enter_default_environment(calls.host);
}

LibraryFpEnvironment::~LibraryFpEnvironment() {
    PublicCalls& calls = public_calls();
    if (--calls.depth == 0) std::fesetenv(&calls.host);
}

HostFpEnvironment::HostFpEnvironment() noexcept : depth_(public_calls().depth) {
    PublicCalls& calls = public_calls();
    if (depth_ == 0) return;  // not inside a public call: the environment is the host's already
    host_ = calls.host;
    std::fegetenv(&library_);
    std::fesetenv(&host_);
    calls.depth = 0;
}

HostFpEnvironment::~HostFpEnvironment() {
    if (depth_ == 0) return;
    PublicCalls& calls = public_calls();
    calls.host = host_;
    calls.depth = depth_;
    std::fesetenv(&library_);
}

}  // namespace ferrolit::detail
