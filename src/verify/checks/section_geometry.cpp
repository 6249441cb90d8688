#include "verify/checks/section_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ferrolit/analysis.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

template <class F>
void for_each_ring(const fa::Shape& shape, F&& f) {
    f(shape.outline);
    for (const fa::Ring& hole : shape.holes) f(hole);
}

double segment_distance(fa::Point p, fa::Point a, fa::Point b) {
    const double dy = b.y - a.y, dz = b.z - a.z;
    const double length2 = dy * dy + dz * dz;
    const double t = length2 > 0 ? std::clamp(((p.y - a.y) * dy + (p.z - a.z) * dz) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.y - (a.y + t * dy), p.z - (a.z + t * dz));
}

}  // namespace

Extent extent(const fa::Shape& shape, Coordinate c) {
    Extent e{INFINITY, -INFINITY};
    for (const fa::Point& p : shape.outline) {
        e.lo = std::min(e.lo, coordinate_of(p, c));
        e.hi = std::max(e.hi, coordinate_of(p, c));
    }
    return e;
}

double width_at(const fa::Shape& shape, Coordinate c, double level) {
    // Crossings of the line with every edge (half-open in the level, so a
    // vertex on the line counts once), paired in order along the line.
    std::vector<double> across;
    for_each_ring(shape, [&](const fa::Ring& ring) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const fa::Point p = ring[i], q = ring[(i + 1) % ring.size()];
            const double lp = coordinate_of(p, c), lq = coordinate_of(q, c);
            if ((lp <= level) == (lq <= level)) continue;
            const double t = (level - lp) / (lq - lp);
            const double ap = c == Coordinate::Z ? p.y : p.z, aq = c == Coordinate::Z ? q.y : q.z;
            across.push_back(ap + t * (aq - ap));
        }
    });
    std::sort(across.begin(), across.end());
    double width = 0;
    for (std::size_t i = 0; i + 1 < across.size(); i += 2) width += across[i + 1] - across[i];
    return width;
}

double least_width(const fa::Shape& shape, Coordinate c, double lo, double hi) {
    if (hi < lo) std::swap(lo, hi);
    const Extent e = extent(shape, c);
    const double nudge = 1e-7 * (e.hi - e.lo);
    // The width is linear between the levels of the vertices: its least value
    // lies at a vertex level or an end, taken just inside each side of it.
    std::vector<double> levels = {lo, hi};
    for_each_ring(shape, [&](const fa::Ring& ring) {
        for (const fa::Point& p : ring)
            if (coordinate_of(p, c) > lo && coordinate_of(p, c) < hi) levels.push_back(coordinate_of(p, c));
    });
    double least = INFINITY;
    for (double level : levels)
        for (double at : {level - nudge, level + nudge})
            if (at >= std::max(lo, e.lo + nudge) && at <= std::min(hi, e.hi - nudge))
                least = std::min(least, width_at(shape, c, at));
    return std::isfinite(least) ? least : width_at(shape, c, (lo + hi) / 2);
}

double area_where(const fa::Shape& shape, double a, double b, double c) {
    double area = 0;
    for_each_ring(shape, [&](const fa::Ring& ring) { area += fa::area_where(ring, a, b, c); });
    return area;
}

double area_between(const fa::Shape& shape, Coordinate c, double lo, double hi) {
    // Above lo, less above hi.
    const double by = c == Coordinate::Y ? 1 : 0, bz = c == Coordinate::Z ? 1 : 0;
    return area_where(shape, -lo, by, bz) - area_where(shape, -hi, by, bz);
}

double distance_to_ring(const fa::Ring& ring, fa::Point p) {
    double nearest = INFINITY;
    for (std::size_t i = 0; i < ring.size(); ++i)
        nearest = std::min(nearest, segment_distance(p, ring[i], ring[(i + 1) % ring.size()]));
    return nearest;
}

double distance_to_edge(const fa::Shape& shape, fa::Point p) {
    double nearest = INFINITY;
    for_each_ring(shape, [&](const fa::Ring& ring) { nearest = std::min(nearest, distance_to_ring(ring, p)); });
    return nearest;
}

bool inside_ring(const fa::Ring& ring, fa::Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const fa::Point a = ring[i], b = ring[j];
        if ((a.z > p.z) != (b.z > p.z) && p.y < (b.y - a.y) * (p.z - a.z) / (b.z - a.z) + a.y) inside = !inside;
    }
    return inside;
}

}  // namespace ferrolit::verification
