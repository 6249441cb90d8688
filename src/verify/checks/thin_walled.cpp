#include "verify/checks/thin_walled.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "verify/checks/section_geometry.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

fa::Point at(const fa::Ring& ring, std::size_t i) { return ring[i % ring.size()]; }

double length(fa::Point a, fa::Point b) { return std::hypot(b.y - a.y, b.z - a.z); }

double perimeter(const fa::Ring& ring) {
    double u = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) u += length(ring[i], at(ring, i + 1));
    return u;
}

// Unit normal to the left of a → b: inwards for a counterclockwise ring.
fa::Point left_normal(fa::Point a, fa::Point b) {
    const double l = length(a, b);
    return {-(b.z - a.z) / l, (b.y - a.y) / l};
}

// The least distance between two rings that do not cross: from a vertex of one to an edge of the other.
double rings_apart(const fa::Ring& a, const fa::Ring& b) {
    double least = INFINITY;
    for (const auto& [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}})
        for (const fa::Point& p : *from) least = std::min(least, distance_to_edge(fa::Shape{*to, {}}, p));
    return least;
}

// The ring offset inwards by δ with mitred corners; empty when an edge turns over.
fa::Ring offset_inwards(const fa::Ring& ring, double delta) {
    const std::size_t n = ring.size();
    fa::Ring out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const fa::Point prev = at(ring, i + n - 1), p = ring[i], next = at(ring, i + 1);
        const fa::Point n1 = left_normal(prev, p), n2 = left_normal(p, next);
        const double cosine = 1 + n1.y * n2.y + n1.z * n2.z;
        if (cosine < 1e-9) return {};
        out[i] = {p.y + delta * (n1.y + n2.y) / cosine, p.z + delta * (n1.z + n2.z) / cosine};
    }
    for (std::size_t i = 0; i < n; ++i) {
        const fa::Point a = ring[i], b = at(ring, i + 1), c = out[i], d = at(out, i + 1);
        if ((b.y - a.y) * (d.y - c.y) + (b.z - a.z) * (d.z - c.z) <= 0) return {};
    }
    return out;
}

}  // namespace

double distance_to_line(fa::Point p, fa::Point a, fa::Point b) {
    return std::fabs((b.y - a.y) * (p.z - a.z) - (b.z - a.z) * (p.y - a.y)) / length(a, b);
}

ThinWalled thin_walled(const fa::Shape& shape, double bar_depth) {
    ThinWalled w;
    w.u = perimeter(shape.outline);
    w.A_whole = fa::area_moments(shape.outline).A;
    w.bar_depth = bar_depth;
    // The mid-line runs through the bars, not outside them.
    w.t = std::max(w.A_whole / w.u, 2 * bar_depth);
    for (const fa::Ring& hole : shape.holes) {
        const double apart = rings_apart(shape.outline, hole);
        w.wall = w.wall > 0 ? std::min(w.wall, apart) : apart;
    }
    if (w.wall > 0) w.t = std::min(w.t, w.wall);
    const fa::Ring mid = offset_inwards(shape.outline, w.t / 2);
    w.defined = !mid.empty();
    if (!w.defined) return w;
    w.A = fa::area_moments(mid).A;
    w.uk = perimeter(mid);
    return w;
}

std::vector<std::size_t> outline_corners(const fa::Ring& outline) {
    std::vector<std::size_t> corners;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const fa::Point prev = at(outline, i + n - 1), p = outline[i], next = at(outline, i + 1);
        const double ay = p.y - prev.y, az = p.z - prev.z, by = next.y - p.y, bz = next.z - p.z;
        const double turn = std::atan2(ay * bz - az * by, ay * by + az * bz);  // left turn positive
        if (turn >= std::numbers::pi / 4 - 1e-9) corners.push_back(i);
    }
    return corners;
}

}  // namespace ferrolit::verification
