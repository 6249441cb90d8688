#pragma once

// Numbers as the Italian report writes them: a decimal comma, a fixed count
// of decimals, no negative zero.

#include <cmath>
#include <cstdio>
#include <string>

namespace ferrolit::cli {

inline std::string decimal(double value, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    std::string s = text;
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// A utilisation ratio; an unbounded one (no resistance at all) reads "∞".
inline std::string ratio_text(double ratio) { return std::isfinite(ratio) ? decimal(ratio, 2) : "∞"; }

inline std::string verdict(bool ok) { return ok ? "verificata" : "NON verificata"; }

}  // namespace ferrolit::cli
