#pragma once

// Real numbers to and from text with a decimal point, whatever the C locale
// of the host says: std::to_chars and std::from_chars where the C++ library
// has them for floating point; otherwise (the libc++ Emscripten ships has
// them for integers only) nlohmann-json's Grisu2 for the shortest form, the
// exact 128-bit conversion of decimal_text.hpp for the precision forms, and
// strtod, which reads the same text there because that C library has no
// locale but "C". Callers check a text's form before reading it; like
// from_chars, neither a leading "+" nor white space is read.

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#if !defined(__cpp_lib_to_chars)
#include <nlohmann/json.hpp>  // its Grisu2, for write_real below

#include "core/decimal_text.hpp"
#endif

namespace ferrolit::detail {

#if defined(__cpp_lib_to_chars)

template <class Real>
std::from_chars_result read_real(const char* first, const char* last, Real& value) {
    return std::from_chars(first, last, value);
}

// The shortest text that reads back as the same double.
inline std::to_chars_result write_real(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}

// The fixed, scientific or general form with that precision, as printf's %f, %e and %g.
inline std::to_chars_result write_real(char* first, char* last, double value, std::chars_format form, int precision) {
    return std::to_chars(first, last, value, form, precision);
}

#else

template <class Real>
std::from_chars_result read_real(const char* first, const char* last, Real& value) {
    if (first == last || *first == '+' || *first == ' ' || *first == '\t' || *first == '\n')
        return {first, std::errc::invalid_argument};
    const std::string text(first, last);
    char* end = nullptr;
    errno = 0;
    const Real read = sizeof(Real) == sizeof(float) ? std::strtof(text.c_str(), &end) : std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return {first, std::errc::invalid_argument};
    const char* const stop = first + (end - text.c_str());
    if (errno == ERANGE) return {stop, std::errc::result_out_of_range};
    value = read;
    return {stop, std::errc{}};
}

// snprintf into [first, last), as a to_chars result.
inline std::to_chars_result print_real(char* first, char* last, const char* format, int precision, double value) {
    const int n = std::snprintf(first, static_cast<std::size_t>(last - first), format, precision, value);
    if (n < 0 || n >= last - first) return {last, std::errc::value_too_large};
    return {first + n, std::errc{}};
}

// The shortest text that reads back as the same double, by nlohmann-json's
// Grisu2 (a loop of snprintf and strtod would cost microseconds a number);
// its ".0" after a whole number dropped, as to_chars writes none. Whole
// numbers below 1e15, which Grisu2 writes as their digits, are most of a
// result's numbers: written as integers, at a fraction of the cost.
inline std::to_chars_result write_real(char* first, char* last, double value) {
    if (last - first < 32) return {last, std::errc::value_too_large};
    if (value == std::trunc(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value)))
        return std::to_chars(first, last, static_cast<long long>(value));
    char* end = nlohmann::detail::to_chars(first, last, value);
    if (end - first > 2 && end[-1] == '0' && end[-2] == '.') end -= 2;
    return {end, std::errc{}};
}

// Exactly in 128-bit integers (printf's own conversion works in software
// long double there, at some microseconds a number); printf only for
// magnitudes beyond them.
inline std::to_chars_result write_real(char* first, char* last, double value, std::chars_format form, int precision) {
    const auto written = write_decimal(first, last, value, form, precision);
    if (written.ec != std::errc::not_supported) return written;
    const char* format = form == std::chars_format::fixed        ? "%.*f"
                         : form == std::chars_format::scientific ? "%.*e"
                                                                 : "%.*g";
    return print_real(first, last, format, precision, value);
}

#endif

}  // namespace ferrolit::detail
