// The readers of a reinforcement string such as 3f16+2f12: one scan, three
// ways of folding its groups.

#include "ferrolit/bar_strings.hpp"

#include <optional>
#include <string>

#include "component/reinforcement/bar_text.hpp"
#include "core/numeric.hpp"

namespace ferrolit {

namespace {

enum class Reading { Smallest, Largest, Area };

// Folds one group (count, diameter) into the running result. Returns false
// when the group cannot be read, which makes the whole string worth 0.
bool take_group(std::string_view count_text, std::optional<std::string_view> diameter_text, Reading what,
                double& result) {
    const auto count = component::parse_int16(count_text);
    const auto diameter = diameter_text ? component::parse_int16(*diameter_text) : std::optional<std::int16_t>(0);
    if (!count || !diameter) return false;
    if (*count == 0 || *diameter == 0) return true;  // describes no bars
    const double d = *diameter;
    switch (what) {
        case Reading::Largest:
            if (result == 0 || d >= result) result = d;
            break;
        case Reading::Smallest:
            if (result == 0 || d <= result) result = d;
            break;
        case Reading::Area:
            result += *count * component::rounded_bar_area(*diameter);
            break;
    }
    return true;
}

// The one scan behind the three readers.
float read_bars(std::string_view text, Reading what) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text) {
        if (c != ' ') cleaned += (c == 'F' ? 'f' : c);
    }
    std::string_view rest = cleaned;
    double result = 0;
    constexpr auto npos = std::string_view::npos;
    for (;;) {
        const std::size_t f = rest.find('f');
        const std::size_t plus = rest.find('+');
        if (f != npos && plus == npos) {  // the last group
            std::optional<std::string_view> diameter;
            if (f + 1 < rest.size()) diameter = rest.substr(f + 1);
            if (!take_group(rest.substr(0, f), diameter, what, result)) return 0;
            break;
        }
        if (f == npos || plus == npos) break;
        std::optional<std::string_view> diameter;
        if (plus > f) diameter = rest.substr(f + 1, plus - f - 1);
        if (!take_group(rest.substr(0, f), diameter, what, result)) return 0;
        if (plus + 1 == rest.size()) break;  // a trailing "+" ends the string
        rest.remove_prefix(plus + 1);
    }
    return detail::single(result);
}

}  // namespace

float smallest_bar_diameter(std::string_view text) {
    return detail::public_call([&] { return read_bars(text, Reading::Smallest); });
}

float largest_bar_diameter(std::string_view text) {
    return detail::public_call([&] { return read_bars(text, Reading::Largest); });
}

float bar_area(std::string_view text) {
    return detail::public_call([&] { return read_bars(text, Reading::Area); });
}

}  // namespace ferrolit
