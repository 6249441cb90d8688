#pragma once

// Text for XML and HTML documents: escaped characters, and coordinates
// with a decimal point whatever the locale.

#include <string>

#include "common/report_numbers.hpp"

namespace ferrolit::cli {

inline std::string escaped(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A drawing coordinate: two decimals and a decimal point.
inline std::string coord(double v) { return format::coordinate(v, 2); }

}  // namespace ferrolit::cli
