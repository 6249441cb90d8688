#pragma once

// Elastic analysis of a cracked rectangular section with two bar layers,
// homogenised with a fixed modular ratio of 15: tension bars at depth
// h − c, compression bars at depth c. Units: mm, mm², N·mm, N/mm².
// The functions are plain arithmetic; the caller watches the
// floating-point flags.

#include <cmath>

namespace ferrolit::component {

inline constexpr double kModularRatio = 15;

struct CrackedSection {
    double width;             // b
    double height;            // h
    double cover;             // c, the same for both layers
    double tension_bars;      // As
    double compression_bars;  // A's
};

// Depth x of the neutral axis from the compressed edge.
inline double neutral_axis_depth(const CrackedSection& s) {
    const double bars = s.tension_bars + s.compression_bars;
    const double a = kModularRatio * bars / s.width;
    const double beta = 2 * s.width * ((s.height - s.cover) * s.tension_bars + s.compression_bars * s.cover) /
                        (kModularRatio * bars * bars);
    return a * (std::sqrt(1 + beta) - 1);
}

// Second moment of area of the cracked section about its neutral axis.
inline double cracked_inertia(const CrackedSection& s, double x) {
    const double to_top_bars = x - s.cover;
    const double to_bottom_bars = s.height - s.cover - x;
    return s.width * x * x * x / 3 + kModularRatio * s.compression_bars * to_top_bars * to_top_bars +
           kModularRatio * s.tension_bars * to_bottom_bars * to_bottom_bars;
}

// Concrete stress at the compressed edge under the moment M.
inline double edge_concrete_stress(double moment, double x, double inertia) { return moment * x / inertia; }

// Stress in the tension bars for a concrete edge stress sigma_c.
inline double tension_bar_stress(const CrackedSection& s, double sigma_c, double x) {
    return kModularRatio * sigma_c * (s.height - s.cover - x) / x;
}

}  // namespace ferrolit::component
