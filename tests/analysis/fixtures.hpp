#pragma once

// Sections shared by the tests of the code engine.

#include <algorithm>
#include <cmath>
#include <random>
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

// 400×600 with 4f24 at the corners (covers 50), C30/37: symmetric about both axes.
inline fa::Section symmetric_section() {
    std::vector<fa::Bar> bars;
    for (double y : {50.0, 350.0})
        for (double z : {50.0, 550.0}) bars.push_back(fa::bar_of_diameter(y, z, 24));
    return fa::Section(rectangle(400, 600), bars, fa::Concrete::of_class("C30/37"), fa::Steel::of_class("B450C"));
}

// Whether (y, z) lies inside the ring (crossings of a ray towards +y).
inline bool contains(const fa::Ring& ring, double y, double z) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        if ((ring[i].z > z) != (ring[j].z > z) &&
            y < (ring[j].y - ring[i].y) * (z - ring[i].z) / (ring[j].z - ring[i].z) + ring[i].y)
            in = !in;
    return in;
}

// Rectangles, tees, Ls and inverted tees in turn, of random sizes, with 3 to
// 9 bars placed at random near the bottom and the top (45 mm inside the
// outline), C25/30 and B450C: sections of every shape the engine meets.
inline std::vector<fa::Section> assorted_sections(int count) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    const fa::Profile profiles[] = {fa::Profile::Rectangle, fa::Profile::Tee, fa::Profile::Ell,
                                    fa::Profile::InvertedTee};
    std::vector<fa::Section> out;
    for (int k = 0; k < count; ++k) {
        const fa::Dimensions d{500 + 300 * unit(rng), 500 + 400 * unit(rng), 200 + 100 * unit(rng),
                               100 + 100 * unit(rng)};
        const fa::Shape shape = fa::profile_shape(profiles[k % 4], d);
        auto inside = [&](double y, double z) {  // with 45 mm to spare each way
            bool in = true;
            for (double dy : {-45.0, 45.0})
                for (double dz : {-45.0, 45.0}) in = in && contains(shape.outline, y + dy, z + dz);
            return in;
        };
        double width = 0, height = 0;
        for (const fa::Point& p : shape.outline) width = std::max(width, p.y), height = std::max(height, p.z);
        std::vector<fa::Bar> bars;
        for (int tries = 0; bars.size() < 3u + static_cast<unsigned>(k % 7) && tries < 1000; ++tries) {
            const bool top = bars.size() % 2 == 1;
            const double y = width * unit(rng), z = height * (top ? 0.85 + 0.15 * unit(rng) : 0.15 * unit(rng));
            if (inside(y, z)) bars.push_back(fa::bar_of_diameter(y, z, 12 + 4 * (tries % 4)));
        }
        out.emplace_back(shape, bars, fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C"));
    }
    return out;
}

// The distance of p from the segment ab.
inline double segment_distance(std::pair<double, double> p, std::pair<double, double> a, std::pair<double, double> b) {
    const double dx = b.first - a.first, dy = b.second - a.second, len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.first - a.first) * dx + (p.second - a.second) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(p.first - a.first - t * dx, p.second - a.second - t * dy);
}

// Twice the signed area of the triangle abc.
inline double turn(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// How far a closed polyline (first point repeated) falls short of being
// convex: the largest distance of a point from the boundary of the convex
// hull, each coordinate scaled by its extent. 0 for a convex outline.
inline double hull_gap(std::vector<std::pair<double, double>> pts) {
    using P = std::pair<double, double>;
    pts.pop_back();
    double lo_x = pts[0].first, hi_x = lo_x, lo_y = pts[0].second, hi_y = lo_y;
    for (auto [x, y] : pts)
        lo_x = std::min(lo_x, x), hi_x = std::max(hi_x, x), lo_y = std::min(lo_y, y), hi_y = std::max(hi_y, y);
    for (P& p : pts) p = {(p.first - lo_x) / (hi_x - lo_x), (p.second - lo_y) / (hi_y - lo_y)};
    std::vector<P> s = pts, h(2 * pts.size());
    std::sort(s.begin(), s.end());
    auto cross = [](P o, P a, P b) { return turn(o.first, o.second, a.first, a.second, b.first, b.second); };
    std::size_t k = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {  // Andrew's monotone chain
        while (k >= 2 && cross(h[k - 2], h[k - 1], s[i]) <= 0) --k;
        h[k++] = s[i];
    }
    for (std::size_t i = s.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cross(h[k - 2], h[k - 1], s[i - 1]) <= 0) --k;
        h[k++] = s[i - 1];
    }
    h.resize(k - 1);
    double worst = 0;
    for (const P& p : pts) {
        double best = INFINITY;
        for (std::size_t i = 0; i < h.size(); ++i)
            best = std::min(best, segment_distance(p, h[i], h[(i + 1) % h.size()]));
        worst = std::max(worst, best);
    }
    return worst;
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
