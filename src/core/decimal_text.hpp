#pragma once

// The fixed, scientific and general forms of a double with a given
// precision, as printf's %.*f, %.*e and %.*g write them: correctly rounded
// from the double's exact binary value, ties to even. Computed in 128-bit
// integers, so they cost a fraction of a C library's printf where that one
// works in software long double (WebAssembly). Magnitudes whose scaled
// digits do not fit in 128 bits are left to the caller, as
// errc::not_supported; the ranges engineers' figures take always fit.

#include <charconv>
#include <system_error>

namespace ferrolit::detail {

std::to_chars_result write_decimal(char* first, char* last, double value, std::chars_format form, int precision);

}  // namespace ferrolit::detail
