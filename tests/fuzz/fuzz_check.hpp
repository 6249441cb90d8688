#pragma once

// FUZZ_CHECK: a law a fuzz target checks on every input. A broken law prints
// what failed and aborts, which libFuzzer reports as a crash and keeps the
// input; the replaying build fails its test.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ferrolit::fuzz {

[[noreturn]] inline void check_failed(const char* condition, const char* file, int line, std::string_view context) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    if (!context.empty()) std::fprintf(stderr, "  while: %.*s\n", static_cast<int>(context.size()), context.data());
    std::abort();
}

// Whether a text is well-formed UTF-8 (RFC 3629) without NUL bytes: what
// every output of the program must be. Written here on its own, apart from
// the library's, so that it checks rather than repeats it.
inline bool utf8_without_nul(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0) return false;
        std::size_t n = 1;
        unsigned min = 0;
        if (c >= 0xF0)
            n = 4, min = 0x10000;
        else if (c >= 0xE0)
            n = 3, min = 0x800;
        else if (c >= 0xC0)
            n = 2, min = 0x80;
        else if (c >= 0x80)
            return false;
        if (i + n > s.size()) return false;
        unsigned code = n == 1 ? c : c & (0x7Fu >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

}  // namespace ferrolit::fuzz

#define FUZZ_CHECK(condition, context)                                                               \
    do {                                                                                             \
        if (!(condition)) ::ferrolit::fuzz::check_failed(#condition, __FILE__, __LINE__, (context)); \
    } while (0)
