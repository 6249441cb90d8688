#pragma once

// Number renderings of the library's messages.

#include <cstdint>
#include <string>

namespace ferrolit::detail {

// Plain number text: a blank before a value >= 0 (a minus sign before a
// negative one), then the shortest decimal form of the value with at most 7
// significant digits, a point as decimal mark and no zero before it:
// 1500 -> " 1500", 0.5 -> " .5", -2.25 -> "-2.25". Magnitudes of ten million
// or more and below 0.0001 take an exponent (" 1.5E+07", " 2E-05").
std::string plain_number(float value);

// A whole number as its decimal digits, with no blank: 12 -> "12".
std::string digits(std::int32_t value);

// Patterns "0.00" (decimals = 2) and "0.0" (decimals = 1): the value rounded
// half away from zero, at least one integer digit, no grouping, the decimal
// separator of the platform layer. The rounding works on the value's decimal
// form: 7 significant digits for a single-precision value, 15 for a double,
// so both 2.675f and 2.675 give 2.68.
std::string fixed_decimals(float value, int decimals);
std::string fixed_decimals(double value, int decimals);

}  // namespace ferrolit::detail
