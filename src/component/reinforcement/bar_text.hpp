#pragma once

// Internal helpers for reinforcement strings shared by the parsers and the
// bar chooser.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrolit::component {

// A count or a diameter read as a 16-bit whole number by the usual
// text-to-number rules: optional sign, digits, optional fraction and
// exponent, rounded half to even. Empty when the text is no number or the
// value is beyond 16 bits.
std::optional<std::int16_t> parse_int16(std::string_view text);

// Area of one bar of diameter d, pi*d^2/4 with the single-precision pi,
// rounded to a whole mm².
double rounded_bar_area(std::int32_t diameter);

// "n" "f" "d" as the design procedures write an arrangement, e.g. 4f12.
std::string arrangement_text(std::int32_t count, std::int32_t diameter, const char* separator = "f");

}  // namespace ferrolit::component
