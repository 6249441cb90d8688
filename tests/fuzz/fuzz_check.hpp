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

}  // namespace ferrolit::fuzz

#define FUZZ_CHECK(condition, context)                                                               \
    do {                                                                                             \
        if (!(condition)) ::ferrolit::fuzz::check_failed(#condition, __FILE__, __LINE__, (context)); \
    } while (0)
