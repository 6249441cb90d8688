// Fuzz target: the readers of bar texts (EstraiFmin, EstraiFmax, EstraiAs)
// and the number reader behind them. The input is the text. Besides never
// failing, the readings obey the laws of the format:
//  - the diameters are whole 16-bit numbers, Fmin <= Fmax, and both are 0
//    together (no bars, or an unreadable text);
//  - without a minus sign anywhere, nothing is negative and the area is
//    positive exactly when there are bars;
//  - spaces are ignored and "F" reads as "f";
//  - "A+B", with A one group, reads as A and B together: the area is the sum
//    and the diameters the extremes, when both describe bars;
//  - a count or diameter read as a number lies within 0.5 of what strtod
//    reads, and a plain integer in range reads as itself.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "component/reinforcement/bar_text.hpp"
#include "ferrolit/registry.hpp"
#include "fuzz_check.hpp"

namespace {

struct Reading {
    float fmin, fmax, area;
    bool operator==(const Reading&) const = default;
};

Reading read(const std::string& text) {
    static const ferrolit::clsGenVerSez registry;
    return {registry.EstraiFmin(text), registry.EstraiFmax(text), registry.EstraiAs(text)};
}

bool whole_int16(float x) { return x == std::trunc(x) && x >= -32768 && x <= 32767; }

void check_reading(const std::string& text, const Reading& r) {
    FUZZ_CHECK(whole_int16(r.fmin) && whole_int16(r.fmax), text);
    FUZZ_CHECK(r.fmin <= r.fmax, text);
    FUZZ_CHECK((r.fmin == 0) == (r.fmax == 0), text);
    FUZZ_CHECK(std::isfinite(r.area), text);
    if (text.find('-') == std::string::npos) {
        FUZZ_CHECK(r.fmin >= 0 && r.area >= 0, text);
        FUZZ_CHECK((r.area > 0) == (r.fmax > 0), text);
    }
}

std::string canonical(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c == 'F' ? 'f' : c;
    return out;
}

// Splits at the first "+" a text whose first group is complete.
void check_groups_add_up(const std::string& text, const Reading& whole) {
    const std::size_t plus = text.find('+');
    if (plus == std::string::npos || text.find('f') > plus || plus + 1 == text.size()) return;
    const Reading head = read(text.substr(0, plus));
    const Reading tail = read(text.substr(plus + 1));
    if (head.fmax == 0 || tail.fmax == 0) return;  // one side has no bars or cannot be read
    FUZZ_CHECK(whole.fmax == std::max(head.fmax, tail.fmax), text);
    FUZZ_CHECK(whole.fmin == std::min(head.fmin, tail.fmin), text);
    // Whole mm² below 2^24 are exact in single precision, so the sum is too.
    constexpr float kExact = 1 << 24;
    if (std::fabs(head.area) < kExact && std::fabs(tail.area) < kExact && std::fabs(head.area + tail.area) < kExact)
        FUZZ_CHECK(whole.area == head.area + tail.area, text);
}

bool plain_integer(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

void check_number_reader(const std::string& text) {
    if (text.size() > 64 || text.find('\0') != std::string::npos) return;
    const auto value = ferrolit::component::parse_int16(text);
    if (plain_integer(text)) {
        const long expected = std::strtol(text.c_str(), nullptr, 10);
        FUZZ_CHECK(value.has_value() == (expected >= -32768 && expected <= 32767), text);
        FUZZ_CHECK(!value || *value == expected, text);
    }
    if (!value) return;
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    FUZZ_CHECK(end == text.c_str() + text.size(), text);
    FUZZ_CHECK(std::fabs(x - *value) <= 0.5, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading r = read(text);
    check_reading(text, r);
    const std::string plain = canonical(text);
    FUZZ_CHECK(read(plain) == r, text);
    check_groups_add_up(plain, r);
    check_number_reader(text);
    return 0;
}
