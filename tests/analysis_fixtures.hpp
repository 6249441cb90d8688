#pragma once

// Sections shared by the tests of the code engine.

#include <cmath>
#include <vector>

#include "ferrolit/analysis.hpp"

namespace fixtures {

namespace fa = ferrolit::analysis;

inline fa::Shape rectangle(double b, double h, double y0 = 0, double z0 = 0) {
    return {{{y0, z0}, {y0 + b, z0}, {y0 + b, z0 + h}, {y0, z0 + h}}, {}};
}

// The README's beam: 300×500, 3f20 at 40 from the bottom, 2f12 at 40 from the top, C25/30, B450C.
inline std::vector<fa::Bar> readme_bars(double dy = 0, double dz = 0) {
    return {fa::bar_of_diameter(50 + dy, 40 + dz, 20), fa::bar_of_diameter(150 + dy, 40 + dz, 20),
            fa::bar_of_diameter(250 + dy, 40 + dz, 20), fa::bar_of_diameter(50 + dy, 460 + dz, 12),
            fa::bar_of_diameter(250 + dy, 460 + dz, 12)};
}

inline fa::Section readme_beam(fa::Options options = {}) {
    return fa::Section(rectangle(300, 500), readme_bars(), fa::Concrete::of_class("C25/30"),
                       fa::Steel::of_class("B450C"), options);
}

// An L section 600 wide, web 250, 700 high, flange 150, with bars of several sizes.
inline fa::Section ell_section() {
    const fa::Dimensions d{600, 700, 250, 150};
    fa::Reinforcement r;
    r.bottom = {"3f20", 40, {}};
    r.top = {"4f16+1f12", 40, {}};
    r.left = {"2f14", 40, {}};
    return fa::Section(fa::profile_shape(fa::Profile::Ell, d), fa::place_bars(fa::Profile::Ell, d, r),
                       fa::Concrete::of_class("C30/37"), fa::Steel::of_class("B450C"));
}

// Twice the signed area of the triangle abc.
inline double turn(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Whether a closed polyline (first point repeated) is convex, each coordinate
// scaled by its extent; collinear runs are allowed within `slack`.
inline bool convex(const std::vector<std::pair<double, double>>& pts, double slack = 1e-9) {
    double lo_x = pts[0].first, hi_x = lo_x, lo_y = pts[0].second, hi_y = lo_y;
    for (auto [x, y] : pts)
        lo_x = std::min(lo_x, x), hi_x = std::max(hi_x, x), lo_y = std::min(lo_y, y), hi_y = std::max(hi_y, y);
    const double sx = hi_x - lo_x > 0 ? hi_x - lo_x : 1, sy = hi_y - lo_y > 0 ? hi_y - lo_y : 1;
    int sign = 0;
    const std::size_t n = pts.size() - 1;
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = pts[i], b = pts[(i + 1) % n], c = pts[(i + 2) % n];
        const double t = turn(a.first / sx, a.second / sy, b.first / sx, b.second / sy, c.first / sx, c.second / sy);
        if (std::fabs(t) <= slack) continue;
        const int s = t > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return true;
}

inline std::vector<std::pair<double, double>> outline(const fa::Domain& d) {
    std::vector<std::pair<double, double>> out;
    for (const auto& p : d.points) out.emplace_back(p.N, p.M);
    return out;
}

inline std::vector<std::pair<double, double>> outline(const fa::Contour& c) {
    std::vector<std::pair<double, double>> out;
    for (const auto& p : c.points) out.emplace_back(p.My, p.Mz);
    return out;
}

}  // namespace fixtures
