// Circular and annular sections: their outline as a regular polygon and the
// bars of stringaAs_circ evenly on one circle.
//
// The outline is the polygon inscribed in the circle, and a hole the polygon
// circumscribed about it, so that the polygon never holds concrete the
// circle lacks; with kCircleSides sides the area is short of the circle's by
// 1 − n·sin(2π/n)/(2π) = 0.02 %, a hole's exceeds it by tan(π/n)·n/π − 1 =
// 0.01 %, and the resisting moment is short of the true shape's by about as
// much (test_verify_checks measures it).

#include <cmath>
#include <numbers>

#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

constexpr double kPi = std::numbers::pi;

// A regular polygon of kCircleSides vertices at `radius` about (c, c), the
// first vertex at the bottom; counterclockwise.
analysis::Ring regular_polygon(double c, double radius) {
    analysis::Ring ring;
    for (int k = 0; k < kCircleSides; ++k) {
        const double angle = -kPi / 2 + 2 * kPi * k / kCircleSides;
        ring.push_back({c + radius * std::cos(angle), c + radius * std::sin(angle)});
    }
    return ring;
}

}  // namespace

analysis::Shape circular_shape(double diameter, double inner_diameter) {
    const double R = diameter / 2;
    analysis::Shape shape;
    shape.outline = regular_polygon(R, R);
    if (inner_diameter > 0) {
        analysis::Ring hole = regular_polygon(R, inner_diameter / 2 / std::cos(kPi / kCircleSides));
        shape.holes.push_back(analysis::Ring(hole.rbegin(), hole.rend()));
    }
    return shape;
}

// Measured from the polygon's edges (its apothem R·cos(π/n)), so that the
// cover the checks find is the cover given, never less.
double circle_bar_radius(const VerificationInput& in, double stirrup, double phi) {
    return in.shape.diameter / 2 * std::cos(kPi / kCircleSides) - centre_cover(in.circle, stirrup, phi);
}

std::vector<PlacedBar> place_circle(const VerificationInput& in, const std::vector<double>& diameters, double stirrup) {
    const double R = in.shape.diameter / 2, n = static_cast<double>(diameters.size());
    std::vector<PlacedBar> bars;
    for (std::size_t k = 0; k < diameters.size(); ++k) {
        const double angle = -kPi / 2 + 2 * kPi * static_cast<double>(k) / n;
        const double r = circle_bar_radius(in, stirrup, diameters[k]);
        bars.push_back({R + r * std::cos(angle), R + r * std::sin(angle), diameters[k], 0, kCircleLayerName});
    }
    return bars;
}

}  // namespace ferrolit::verification
