#include "ferrolit/format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

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

// Where the next byte beyond ASCII is, from `from`, or the text's size.
std::size_t next_beyond_ascii(std::string_view text, std::size_t from) {
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & 0x8080808080808080u) != 0) break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

// The code point of the UTF-8 sequence at the start of `text` and its length
// in bytes; U+FFFD and 1 for a malformed one.
std::pair<char32_t, std::size_t> decode_utf8(std::string_view text) {
    const std::size_t length = sequence_length(text);
    if (length == 0) return {0xFFFD, 1};
    const auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[k])); };
    const char32_t lead = byte(0);
    if (length == 2) return {((lead & 0x1F) << 6) | (byte(1) & 0x3F), 2};
    if (length == 3) return {((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F), 3};
    return {((lead & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F), 4};
}

void put_unit_escape(std::string& out, char32_t unit) {
    const char* hex = "0123456789abcdef";
    const char escape[6] = {
        '\\', 'u', hex[(unit >> 12) & 0xF], hex[(unit >> 8) & 0xF], hex[(unit >> 4) & 0xF], hex[unit & 0xF]};
    out.append(escape, 6);
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

std::string ascii_json(std::string_view json) {
    std::string out;
    out.reserve(json.size() + json.size() / 16);
    std::size_t run = 0;
    for (std::size_t i = next_beyond_ascii(json, 0); i < json.size(); i = next_beyond_ascii(json, run)) {
        out.append(json.substr(run, i - run));
        const auto [point, length] = decode_utf8(json.substr(i));
        if (point < 0x10000) {
            put_unit_escape(out, point);
        } else {
            put_unit_escape(out, 0xD800 + ((point - 0x10000) >> 10));
            put_unit_escape(out, 0xDC00 + ((point - 0x10000) & 0x3FF));
        }
        run = i + length;
    }
    out.append(json.substr(run));
    return out;
}

}  // namespace ferrolit::format
