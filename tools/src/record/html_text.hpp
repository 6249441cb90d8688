#pragma once

// Text of the HTML record: escaped, numbers with a decimal comma and their
// unit kept on the same line, ratios and verdicts that read in black and white.

#include <cmath>
#include <optional>
#include <string>

#include "common/markup.hpp"
#include "common/report_numbers.hpp"

namespace ferrolit::cli {

// "14,17 MPa", the unit held to its number by a no-break space.
inline std::string quantity(double value, int places, const std::string& unit) {
    return decimal(value, places) + (unit.empty() ? "" : "&#160;" + escaped(unit));
}

// A utilisation ratio; one that no capacity bounds is written in words.
inline std::string ratio_html(double ratio) { return ratio_words(ratio); }

// The verdict as a coloured badge whose text and symbol say it without colour.
inline std::string verdict_badge(bool ok) {
    return ok ? "<span class=\"verdict ok\">✔ verificata</span>"
              : "<span class=\"verdict fail\">✘ NON verificata</span>";
}

// An anchor name from a section's place in the record: "sezione-3".
inline std::string section_anchor(std::size_t index) { return "sezione-" + std::to_string(index + 1); }

}  // namespace ferrolit::cli
