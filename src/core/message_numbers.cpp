#include "core/message_numbers.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/platform.hpp"
#include "core/real_text.hpp"

namespace ferrolit::detail {

// Every conversion between numbers and text goes through <charconv>, which
// ignores the C locale: a host that sets an Italian locale still gets a
// point inside the decimal forms read here, and its own separator only
// where the patterns put it.

namespace {

// A finite non-zero value as significant digits and a decimal exponent:
// value = 0.d1d2d3... * 10^(exponent + 1), i.e. d1 is the 10^exponent digit.
struct DecimalForm {
    bool negative = false;
    std::string digits;  // at least one digit, the first one not 0
    int exponent = 0;
};

// The value rounded to `significant` digits in scientific notation, such as
// "-1.2345e+03"; its end in `buffer`.
char* scientific_text(char (&buffer)[64], double value, int significant) {
    return write_real(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1).ptr;
}

DecimalForm decimal_form(double value, int significant) {
    char buffer[64];
    const char* const end = scientific_text(buffer, value, significant);
    DecimalForm form;
    const char* p = buffer;
    if (*p == '-') {
        form.negative = true;
        ++p;
    }
    for (; *p != 'e'; ++p) {
        if (*p != '.') form.digits += *p;
    }
    ++p;
    if (*p == '+') ++p;  // from_chars reads a minus sign only
    std::from_chars(p, end, form.exponent);
    while (form.digits.size() > 1 && form.digits.back() == '0') form.digits.pop_back();
    return form;
}

// Whether the text reads back as exactly this float.
bool reads_back_as(const char* begin, const char* end, float value) {
    float back = 0;
    const auto [ptr, ec] = read_real(begin, end, back);
    return ec == std::errc{} && ptr == end && back == value;
}

// The shortest form, up to 7 digits, that reads back as the same float.
DecimalForm shortest_single_form(float value) {
    int significant = 1;
    for (; significant < 7; ++significant) {
        char buffer[64];
        const char* const end = scientific_text(buffer, value, significant);
        if (reads_back_as(buffer, end, value)) break;
    }
    return decimal_form(value, significant);
}

std::string non_finite_text(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Inf" : "Inf";
}

// Adds one unit to the last digit of a string of decimal digits; "99" -> "100".
void increment(std::string& number) {
    for (auto it = number.rbegin(); it != number.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    number.insert(number.begin(), '1');
}

// Rounds a decimal form to `decimals` places, half away from zero, and lays it
// out with at least one integer digit.
std::string layout_fixed(const DecimalForm& form, int decimals) {
    // Digits kept: those of weight 10^-decimals and above.
    const int kept = form.exponent + 1 + decimals;
    std::string scaled;  // the rounded value times 10^decimals
    if (kept < 0) {
        scaled = "0";
    } else {
        const auto available = static_cast<int>(form.digits.size());
        scaled = form.digits.substr(0, static_cast<std::size_t>(std::min(kept, available)));
        if (kept > available) scaled.append(static_cast<std::size_t>(kept - available), '0');
        const bool round_up = kept < available && form.digits[static_cast<std::size_t>(kept)] >= '5';
        if (scaled.empty()) scaled.push_back('0');
        if (round_up) increment(scaled);
    }
    if (scaled.size() <= static_cast<std::size_t>(decimals)) {
        scaled.insert(0, static_cast<std::size_t>(decimals) + 1 - scaled.size(), '0');
    }
    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    std::string text;
    if (form.negative && !zero) text.push_back('-');
    const std::size_t integer_digits = scaled.size() - static_cast<std::size_t>(decimals);
    text.append(scaled, 0, integer_digits);
    if (decimals > 0) {
        text.push_back(decimal_separator());
        text.append(scaled, integer_digits, std::string::npos);
    }
    return text;
}

std::string fixed_from_form(double value, int decimals, int significant) {
    if (!std::isfinite(value)) return non_finite_text(value);
    if (value == 0) return layout_fixed(DecimalForm{false, "0", 0}, decimals);
    return layout_fixed(decimal_form(value, significant), decimals);
}

// "E+07", "E-05": the exponent of the plain number text, at least two digits.
std::string exponent_text(int exponent) {
    std::string text = exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) text.push_back('0');
    text += std::to_string(magnitude);
    return text;
}

}  // namespace

std::string plain_number(float value) {
    std::string text;
    if (!std::isfinite(value)) {
        if (!std::signbit(value)) text.push_back(' ');
        return text + non_finite_text(value);
    }
    if (value == 0) return " 0";
    const DecimalForm form = shortest_single_form(value);
    text.push_back(form.negative ? '-' : ' ');
    const int e = form.exponent;
    const auto count = static_cast<int>(form.digits.size());
    if (e >= 7 || e < -4) {
        text.push_back(form.digits[0]);
        if (count > 1) {
            text.push_back('.');
            text.append(form.digits, 1, std::string::npos);
        }
        return text + exponent_text(e);
    }
    if (e < 0) {
        text.push_back('.');
        text.append(static_cast<std::size_t>(-e - 1), '0');
        return text + form.digits;
    }
    const std::size_t integer_digits = static_cast<std::size_t>(e) + 1;
    if (form.digits.size() <= integer_digits) {
        text += form.digits;
        text.append(integer_digits - form.digits.size(), '0');
        return text;
    }
    text.append(form.digits, 0, integer_digits);
    text.push_back('.');
    text.append(form.digits, integer_digits, std::string::npos);
    return text;
}

std::string digits(std::int32_t value) { return std::to_string(value); }

std::string fixed_decimals(float value, int decimals) { return fixed_from_form(value, decimals, 7); }

std::string fixed_decimals(double value, int decimals) { return fixed_from_form(value, decimals, 15); }

}  // namespace ferrolit::detail
