#include "core/message_numbers.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/platform.hpp"

namespace ferrolit::detail {

namespace {

// A finite non-zero value as significant digits and a decimal exponent:
// value = 0.d1d2d3... * 10^(exponent + 1), i.e. d1 is the 10^exponent digit.
struct DecimalForm {
    bool negative = false;
    std::string digits;  // at least one digit, the first one not 0
    int exponent = 0;
};

DecimalForm decimal_form(double value, int significant) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
    DecimalForm form;
    const char* p = buffer;
    if (*p == '-') {
        form.negative = true;
        ++p;
    }
    for (; *p != 'e'; ++p) {
        if (*p != '.') form.digits += *p;
    }
    form.exponent = std::atoi(p + 1);
    while (form.digits.size() > 1 && form.digits.back() == '0') form.digits.pop_back();
    return form;
}

// The shortest form, up to 7 digits, that reads back as the same float.
DecimalForm shortest_single_form(float value) {
    int significant = 1;
    for (; significant < 7; ++significant) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, double{value});
        if (std::strtof(buffer, nullptr) == value) break;
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
        if (scaled.empty()) scaled = "0";
        if (round_up) increment(scaled);
    }
    if (scaled.size() <= static_cast<std::size_t>(decimals)) {
        scaled.insert(0, static_cast<std::size_t>(decimals) + 1 - scaled.size(), '0');
    }
    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    std::string text = form.negative && !zero ? "-" : "";
    const std::size_t integer_digits = scaled.size() - static_cast<std::size_t>(decimals);
    text.append(scaled, 0, integer_digits);
    if (decimals > 0) {
        text += decimal_separator();
        text.append(scaled, integer_digits, std::string::npos);
    }
    return text;
}

std::string fixed_from_form(double value, int decimals, int significant) {
    if (!std::isfinite(value)) return non_finite_text(value);
    if (value == 0) return layout_fixed(DecimalForm{false, "0", 0}, decimals);
    return layout_fixed(decimal_form(value, significant), decimals);
}

}  // namespace

std::string plain_number(float value) {
    if (!std::isfinite(value)) return (std::signbit(value) ? "" : " ") + non_finite_text(value);
    if (value == 0) return " 0";
    const DecimalForm form = shortest_single_form(value);
    std::string text = form.negative ? "-" : " ";
    const int e = form.exponent;
    const auto count = static_cast<int>(form.digits.size());
    if (e >= 7 || e < -4) {
        text += form.digits[0];
        if (count > 1) text += "." + form.digits.substr(1);
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
        return text + exponent;
    }
    if (e < 0) return text + "." + std::string(static_cast<std::size_t>(-e - 1), '0') + form.digits;
    if (count <= e + 1) return text + form.digits + std::string(static_cast<std::size_t>(e + 1 - count), '0');
    const std::size_t integer_digits = static_cast<std::size_t>(e) + 1;
    return text + form.digits.substr(0, integer_digits) + "." + form.digits.substr(integer_digits);
}

std::string digits(std::int32_t value) { return std::to_string(value); }

std::string fixed_decimals(float value, int decimals) { return fixed_from_form(value, decimals, 7); }

std::string fixed_decimals(double value, int decimals) { return fixed_from_form(value, decimals, 15); }

}  // namespace ferrolit::detail
