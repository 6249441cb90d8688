#pragma once

// Numbers as the Italian report writes them: a decimal comma, a fixed count
// of decimals, no negative zero, whatever the C locale.

#include <charconv>
#include <cmath>
#include <string>

namespace ferrolit::cli {

inline std::string decimal(double value, int places) {
    if (std::isinf(value)) return value > 0 ? "∞" : "−∞";
    if (std::isnan(value)) return "—";
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, places).ptr;
    std::string s(text, end);
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// A utilisation ratio; an unbounded one (nothing resists) reads "∞".
inline std::string ratio_text(double ratio) { return decimal(ratio, 2); }

// The same in words for the drawings and the HTML record: "illimitato" when unbounded.
inline std::string ratio_words(double ratio) { return std::isfinite(ratio) ? ratio_text(ratio) : "illimitato"; }

inline std::string verdict(bool ok) { return ok ? "verificata" : "NON verificata"; }

}  // namespace ferrolit::cli
