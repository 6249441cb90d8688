#include "component/reinforcement/bar_table.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace ferrolit::component {

namespace {

constexpr std::array<std::int16_t, 14> kDiameters = {5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};
static_assert(kDiameters.back() == kLargestDiameter);
static_assert(kDiameters.size() * kMostBars == kBarTableSize);

// Order among entries of exactly equal area: by diameter, except two
// arrangements of 6 mm bars that the table has always listed before their
// 5 mm twins.
int tie_rank(const BarArrangement& e) {
    if (e.diameter == 6 && (e.count == 25 || e.count == 50)) return 4;
    return e.diameter;
}

std::array<BarArrangement, kBarTableSize> build_table() {
    std::array<BarArrangement, kBarTableSize> table{};
    std::size_t i = 0;
    for (std::int16_t n = 1; n <= kMostBars; ++n) {
        for (std::int16_t d : kDiameters) {
            // Evaluated in this order, with the double nearest to π: the
            // order of entries whose areas differ in the last bit depends on it.
            const double area = ((n * std::numbers::pi) * (d * d)) / 4;
            table[i++] = {n, d, area, static_cast<float>(std::round(area))};
        }
    }
    std::sort(table.begin(), table.end(), [](const BarArrangement& a, const BarArrangement& b) {
        if (a.area != b.area) return a.area < b.area;
        return tie_rank(a) < tie_rank(b);
    });
    return table;
}

}  // namespace

std::span<const std::int16_t> bar_table_diameters() { return kDiameters; }

std::span<const BarArrangement, kBarTableSize> bar_table() {
    static const std::array<BarArrangement, kBarTableSize> table = build_table();
    return table;
}

std::size_t next_eligible(std::size_t from, const BarLimits& limits) {
    const auto table = bar_table();
    for (std::size_t i = from; i < table.size(); ++i) {
        const BarArrangement& e = table[i];
        if (e.diameter >= limits.min_diameter && e.diameter <= limits.max_diameter && e.count >= limits.min_count) {
            return i;
        }
    }
    return kBarTableSize;
}

}  // namespace ferrolit::component
