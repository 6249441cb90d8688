#pragma once

// The bar table: every arrangement of 1 to 100 bars of the 14 diameters from
// 5 to 30 mm, ordered by area. Built once on first use, read-only afterwards,
// so any number of threads may read it at once.

#include <cstdint>
#include <span>

namespace ferrolit::component {

struct BarArrangement {
    std::int16_t count;     // bars
    std::int16_t diameter;  // mm
    double area;            // n·π·d²/4, mm²
    float rounded_area;     // area rounded to a whole mm², the value searches compare
};

// The table's extent: 1 to kMostBars bars of diameters up to kLargestDiameter.
// Its last entry, the largest arrangement it holds, is 100 bars of 30 mm
// (100f30), which the design procedures name when nothing smaller will do.
inline constexpr std::int16_t kMostBars = 100;
inline constexpr std::int16_t kLargestDiameter = 30;
inline constexpr std::size_t kBarTableSize = 1400;

// The 14 diameters of the table, mm, ascending.
std::span<const std::int16_t> bar_table_diameters();

// The arrangements in table order: ascending area; equal areas by ascending
// diameter, except that 25 bars of 6 precede 36 bars of 5 and 50 bars of 6
// precede 72 bars of 5.
std::span<const BarArrangement, kBarTableSize> bar_table();

// The last entry, kMostBars bars of kLargestDiameter.
inline const BarArrangement& largest_arrangement() { return bar_table().back(); }

// Limits an arrangement must meet to be chosen by the design procedures.
struct BarLimits {
    std::int32_t min_diameter;
    std::int32_t max_diameter;
    std::int32_t min_count;
};

// Position of the first entry at or after `from` with a diameter within the
// limits and at least the least count; kBarTableSize when there is none.
std::size_t next_eligible(std::size_t from, const BarLimits& limits);

}  // namespace ferrolit::component
