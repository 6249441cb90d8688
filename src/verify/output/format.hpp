#pragma once

// Numbers in the Italian texts of the verification (notes, warnings,
// messages): a decimal comma, independent of the C locale.

#include <charconv>
#include <cmath>
#include <string>

namespace ferrolit::verification {

// Up to `digits` significant digits, trailing zeros dropped: 14,1667; 0,0675; 1e+06.
inline std::string it_number(double v, int digits = 6) {
    if (!std::isfinite(v)) return v > 0 ? "∞" : (v < 0 ? "-∞" : "NaN");
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits).ptr;
    std::string s(text, end);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// A fixed number of decimals: 14,17; no negative zero.
inline std::string it_fixed(double v, int places) {
    if (!std::isfinite(v)) return it_number(v);
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, places).ptr;
    std::string s(text, end);
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

}  // namespace ferrolit::verification
