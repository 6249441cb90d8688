#pragma once

// The least clear distance between two parallel bars, the one rule that the
// checks and the design search share: max(φ, dg + 5 mm, 20 mm), φ the larger
// of the two bars and dg the largest aggregate size (EN 1992-1-1 §8.2(2),
// the rule the commentary to §4.1.6.1.3 refers to for the spacing of bars).

#include <algorithm>

namespace ferrolit::verification {

inline double least_clear_distance(double phi, double aggregate_size) {
    return std::max({phi, aggregate_size + 5, 20.0});
}

}  // namespace ferrolit::verification
