#include "component/reinforcement/bar_text.hpp"

#include <charconv>
#include <cmath>

#include "core/numeric.hpp"
#include "core/real_text.hpp"
#include "ferrolit/enums.hpp"

namespace ferrolit::component {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips a run of digits starting at i; returns how many there were.
std::size_t skip_digits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && is_digit(text[i])) ++i;
    return i - start;
}

// Whether the whole text is [+-]digits[.digits][(e|E)[+-]digits], with at
// least one digit before the exponent.
bool is_decimal_number(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = skip_digits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += skip_digits(text, i);
    }
    if (mantissa == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (skip_digits(text, i) == 0) return false;
    }
    return i == text.size();
}

}  // namespace

std::optional<std::int16_t> parse_int16(std::string_view text) {
    if (!is_decimal_number(text)) return std::nullopt;
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = detail::read_real(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    try {
        return detail::to_int16(negative ? -value : value);
    } catch (const Error&) {
        return std::nullopt;
    }
}

double rounded_bar_area(std::int32_t diameter) {
    const double d = diameter;
    return std::floor(double{PiGreco} * (d * d) / 4 + 0.5);
}

std::string arrangement_text(std::int32_t count, std::int32_t diameter, const char* separator) {
    return std::to_string(count) + separator + std::to_string(diameter);
}

}  // namespace ferrolit::component
