#pragma once

// The tool's texts write numbers through the library's one formatter
// (ferrolit/format.hpp); these are the names the record and the drawings use.

#include <string>

#include "ferrolit/format.hpp"

namespace ferrolit::cli {

using format::decimal;

// A utilisation ratio; an unbounded one (nothing resists) reads "∞".
inline std::string ratio_text(double ratio) { return format::ratio(ratio); }

// The same in words for the drawings and the HTML record: "illimitato" when unbounded.
inline std::string ratio_words(double ratio) { return format::ratio_words(ratio); }

inline std::string verdict(bool ok) { return ok ? "verificata" : "NON verificata"; }

}  // namespace ferrolit::cli
