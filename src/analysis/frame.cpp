#include "analysis/frame.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace ferrolit::analysis::detail {

void Frame::build(const SectionData& s, double angle) {
    theta = angle;
    dy = std::sin(angle);
    dz = std::cos(angle);
    region_ends_known = false;

    levels_.clear();
    for (const Ring& ring : s.rings)
        for (const Point& p : ring) {
            const double u = dy * p.y + dz * p.z, v = -dz * p.y + dy * p.z;
            if (levels_.empty() || u > u_top) u_top = u, v_top = v;
            if (levels_.empty() || u < u_bottom) u_bottom = u, v_bottom = v;
            levels_.push_back(u);
        }
    std::sort(levels_.begin(), levels_.end());
    levels_.erase(std::unique(levels_.begin(), levels_.end()), levels_.end());

    slabs.assign(levels_.size() - 1, Slab{});
    for (std::size_t k = 0; k + 1 < levels_.size(); ++k) slabs[k].lo = levels_[k], slabs[k].hi = levels_[k + 1];

    for (const Ring& ring : s.rings) {
        const std::size_t n = ring.size();
        // Each vertex's u, v and level are found once and carried to the
        // next edge. A ring's consecutive vertices lie at nearby levels: each
        // level's index is searched from the previous vertex's, in steps that
        // grow, so that a frame costs time in proportion to the vertices.
        double ua = dy * ring[0].y + dz * ring[0].z, va = -dz * ring[0].y + dy * ring[0].z;
        std::size_t at_a = level_index(ua, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const Point q = ring[(i + 1) % n];
            const double ub = dy * q.y + dz * q.z, vb = -dz * q.y + dy * q.z;
            const std::size_t at_b = level_index(ub, at_a);
            const std::size_t first = std::min(at_a, at_b), last = std::max(at_a, at_b);
            const double u_from = ua, v_from = va;
            ua = ub, va = vb, at_a = at_b;
            if (u_from == ub) continue;  // parallel to the neutral axis: no width
            // Edges running towards smaller u bound the chord from above (+v).
            const double sign = ub < u_from ? 1.0 : -1.0;
            const double m = (vb - v_from) / (ub - u_from);
            for (std::size_t k = first; k < last; ++k) {
                Slab& sl = slabs[k];
                const double v = v_from + m * (sl.lo - u_from);
                sl.w0 += sign * v;
                sl.w1 += sign * m;
                sl.s0 += sign * v * v / 2;
                sl.s1 += sign * v * m;
                sl.s2 += sign * m * m / 2;
                sl.q0 += sign * v * v * v / 3;
                sl.q1 += sign * v * v * m;
                sl.q2 += sign * v * m * m;
                sl.q3 += sign * m * m * m / 3;
            }
        }
    }

    bar_u.resize(s.bar_at.size());
    bar_v.resize(s.bar_at.size());
    u_bar_min = u_top;
    v_bar_min = v_top;
    for (std::size_t i = 0; i < s.bar_at.size(); ++i) {
        const Point p = s.bar_at[i];
        bar_u[i] = dy * p.y + dz * p.z;
        bar_v[i] = -dz * p.y + dy * p.z;
        if (bar_u[i] < u_bar_min) u_bar_min = bar_u[i], v_bar_min = bar_v[i];
    }
}

// The index of a level (one of levels_, which are sorted and distinct),
// searched from a nearby index: steps of 1, 2, 4, … away from it bracket the
// level, then halving finds it.
std::size_t Frame::level_index(double u, std::size_t from) const {
    const std::size_t size = levels_.size();
    std::size_t lo = from, hi = from;  // the index lies in [lo, hi]
    if (levels_[from] < u) {
        lo = hi = from + 1;
        for (std::size_t step = 1; hi < size && levels_[hi] < u; step *= 2) lo = hi + 1, hi = std::min(size, hi + step);
    } else {
        for (std::size_t step = 1; lo > 0 && !(levels_[lo - 1] < u); step *= 2)
            hi = lo - 1, lo = hi > step ? hi - step : 0;
    }
    const auto first = levels_.begin();
    return static_cast<std::size_t>(
        std::lower_bound(first + static_cast<std::ptrdiff_t>(lo), first + static_cast<std::ptrdiff_t>(hi), u) - first);
}

Frame::Fibres Frame::fibres() const {
    // y' = sin θ·u − cos θ·v, z' = cos θ·u + sin θ·v: the frame's rotation undone.
    auto point = [&](double u, double v) { return Point{dy * u - dz * v, dz * u + dy * v}; };
    return {point(u_top, v_top), point(u_bottom, v_bottom), point(u_bar_min, v_bar_min)};
}

std::optional<double> fibre_change(double theta_a, const Frame::Fibres& a, double theta_b, const Frame::Fibres& b,
                                   double tol) {
    // Either end may be the change itself (a direction along an edge), to rounding.
    const double slack = 1e-12 * (1 + std::fabs(theta_a));
    const double lo = std::min(theta_a, theta_b) - slack, hi = std::max(theta_a, theta_b) + slack;
    for (const auto& [p, q] : {std::pair{a.top, b.top}, std::pair{a.bottom, b.bottom}, std::pair{a.bar, b.bar}}) {
        const double ey = p.y - q.y, ez = p.z - q.z;
        if (std::hypot(ey, ez) <= tol) continue;
        // u_p = u_q where sin θ·ey + cos θ·ez = 0: θ0 and θ0 + kπ.
        const double theta0 = std::atan2(-ez, ey);
        const double theta = theta0 + std::ceil((lo - theta0) / std::numbers::pi) * std::numbers::pi;
        if (theta <= hi) return theta;
    }
    return std::nullopt;
}

}  // namespace ferrolit::analysis::detail
