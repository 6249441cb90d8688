#include "ferrolit/format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "core/real_text.hpp"

namespace ferrolit::format {

namespace {

// Beyond this magnitude a fixed form is unreadable: scientific form instead.
constexpr double kLargestFixed = 1e15;
constexpr int kMostDigits = 17;

const char* not_finite(double value) {
    if (std::isnan(value)) return "—";
    return value > 0 ? "∞" : "−∞";
}

// One checked conversion. A double never needs more than 24 characters in
// scientific or general form, nor more than 16 + 1 + 17 in the fixed forms
// asked for here (|value| < 1e15); the buffer is larger still, and a failed
// conversion yields "—" rather than whatever the buffer held.
std::string convert(double value, std::chars_format form, int precision) {
    char text[96];
    const auto [end, error] = detail::write_real(text, text + sizeof text, value, form, precision);
    if (error != std::errc{}) return "—";
    return std::string(text, end);
}

// "-0.00" and "-0" are zero: no sign.
void drop_negative_zero(std::string& s) {
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
}

std::string with_comma(std::string s) {
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// The fixed or, for huge magnitudes, the scientific form with a point.
std::string point_form(double value, int places) {
    places = std::clamp(places, 0, kMostDigits);
    std::string s = std::fabs(value) < kLargestFixed ? convert(value, std::chars_format::fixed, places)
                                                     : convert(value, std::chars_format::scientific, places);
    drop_negative_zero(s);
    return s;
}

// The length of the well-formed UTF-8 sequence at the start of `s` (RFC 3629:
// no overlong forms, no surrogates, nothing above U+10FFFF); 0 when there is none.
std::size_t sequence_length(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    const std::size_t n = c < 0x80                 ? 1
                          : c >= 0xC2 && c <= 0xDF ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
    if (n == 0 || n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(s[k]);
        unsigned low = 0x80, high = 0xBF;
        if (k == 1) {
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
            if (c == 0xF0) low = 0x90;   // overlong
            if (c == 0xF4) high = 0x8F;  // above U+10FFFF
        }
        if (d < low || d > high) return 0;
    }
    return n;
}

}  // namespace

std::string decimal(double value, int places) {
    if (!std::isfinite(value)) return not_finite(value);
    return with_comma(point_form(value, places));
}

std::string significant(double value, int digits) {
    if (!std::isfinite(value)) return not_finite(value);
    std::string s = convert(value, std::chars_format::general, std::clamp(digits, 1, kMostDigits));
    drop_negative_zero(s);
    return with_comma(std::move(s));
}

std::string ratio(double value) { return decimal(value, kRatioPlaces); }

std::string ratio_words(double value) { return std::isfinite(value) ? ratio(value) : "illimitato"; }

std::string coordinate(double value, int places) {
    if (!std::isfinite(value)) return "0";
    return point_form(value, places);
}

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t n = text[0] == '\0' ? 0 : sequence_length(text);
        out.append(n > 0 ? text.substr(0, n) : std::string_view("\xEF\xBF\xBD"));
        text.remove_prefix(n > 0 ? n : 1);
    }
    return out;
}

}  // namespace ferrolit::format
