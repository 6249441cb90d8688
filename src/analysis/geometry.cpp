#include "analysis/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/errors.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

namespace detail {

namespace {

// Coordinates beyond this (mm) are taken for a unit mistake.
constexpr double kLargestCoordinate = 1e7;
}  // namespace

// A section may not have more vertices than this (outline and holes
// together), so that every search stays quick: each direction of bending
// cuts the polygon into as many slabs.
constexpr std::size_t kMostVertices = 1000;

namespace {

double cross(Point o, Point a, Point b) { return (a.y - o.y) * (b.z - o.z) - (a.z - o.z) * (b.y - o.y); }

int sign(double v) { return (v > 0) - (v < 0); }

bool within(Point p, Point a, Point b) {
    return std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y) && std::min(a.z, b.z) <= p.z &&
           p.z <= std::max(a.z, b.z);
}

// Closed segments ab and cd share at least one point.
bool segments_meet(Point a, Point b, Point c, Point d) {
    const int o1 = sign(cross(a, b, c)), o2 = sign(cross(a, b, d));
    const int o3 = sign(cross(c, d, a)), o4 = sign(cross(c, d, b));
    if (o1 != o2 && o3 != o4) return true;
    return (o1 == 0 && within(c, a, b)) || (o2 == 0 && within(d, a, b)) || (o3 == 0 && within(a, c, d)) ||
           (o4 == 0 && within(b, c, d));
}

double distance_to_segment(Point p, Point a, Point b) {
    const double dy = b.y - a.y, dz = b.z - a.z, len2 = dy * dy + dz * dz;
    double t = len2 > 0 ? ((p.y - a.y) * dy + (p.z - a.z) * dz) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.y - (a.y + t * dy), p.z - (a.z + t * dz));
}

double extent(const Ring& ring) {
    double lo_y = ring[0].y, hi_y = lo_y, lo_z = ring[0].z, hi_z = lo_z;
    for (const Point& p : ring) {
        lo_y = std::min(lo_y, p.y), hi_y = std::max(hi_y, p.y);
        lo_z = std::min(lo_z, p.z), hi_z = std::max(hi_z, p.z);
    }
    return std::hypot(hi_y - lo_y, hi_z - lo_z);
}

}  // namespace

AreaMoments& AreaMoments::operator+=(const AreaMoments& o) {
    A += o.A, Sy += o.Sy, Sz += o.Sz, Iyy += o.Iyy, Izz += o.Izz, Iyz += o.Iyz;
    return *this;
}

AreaMoments area_moments(const Ring& ring) {
    AreaMoments m;
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point p = ring[i], q = ring[(i + 1) % n];
        const double c = p.y * q.z - q.y * p.z;
        m.A += c;
        m.Sy += (p.y + q.y) * c;
        m.Sz += (p.z + q.z) * c;
        m.Iyy += (p.y * p.y + p.y * q.y + q.y * q.y) * c;
        m.Izz += (p.z * p.z + p.z * q.z + q.z * q.z) * c;
        m.Iyz += (p.y * q.z + 2 * p.y * p.z + 2 * q.y * q.z + q.y * p.z) * c;
    }
    m.A /= 2, m.Sy /= 6, m.Sz /= 6, m.Iyy /= 12, m.Izz /= 12, m.Iyz /= 24;
    return m;
}

Location locate(const Ring& ring, Point p, double tolerance) {
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = ring[i], b = ring[j];
        if (distance_to_segment(p, a, b) <= tolerance) return Location::Boundary;
        if ((a.z > p.z) != (b.z > p.z) && p.y < (b.y - a.y) * (p.z - a.z) / (b.z - a.z) + a.y) inside = !inside;
    }
    return inside ? Location::Inside : Location::Outside;
}

void clip_ring(const Ring& ring, double a, double b, double c, Ring& out) {
    out.clear();
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point p = ring[i], q = ring[(i + 1) % n];
        const double fp = a + b * p.y + c * p.z, fq = a + b * q.y + c * q.z;
        if (fp >= 0) out.push_back(p);
        if ((fp >= 0) != (fq >= 0)) {
            const double t = fp / (fp - fq);
            out.push_back({p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)});
        }
    }
}

Ring checked_ring(Ring ring, const std::string& what) {
    if (ring.size() > kMostVertices) fail(what + ": troppi vertici (al massimo 1000)");
    for (const Point& p : ring)
        if (!std::isfinite(p.y) || !std::isfinite(p.z) || std::fabs(p.y) > kLargestCoordinate ||
            std::fabs(p.z) > kLargestCoordinate)
            fail(what + ": coordinate non finite o oltre 1e7 mm");
    Ring kept;
    for (const Point& p : ring)
        if (kept.empty() || p.y != kept.back().y || p.z != kept.back().z) kept.push_back(p);
    while (kept.size() > 1 && kept.front().y == kept.back().y && kept.front().z == kept.back().z) kept.pop_back();
    if (kept.size() < 3) fail(what + ": servono almeno 3 vertici distinti");
    const double size = extent(kept);
    if (std::fabs(area_moments(kept).A) <= 1e-9 * size * size) fail(what + ": area nulla (vertici allineati)");
    const std::size_t n = kept.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = kept[i], b = kept[(i + 1) % n], c = kept[(i + 2) % n];
        // Two consecutive edges that fold back on each other.
        if (cross(a, b, c) == 0 && (b.y - a.y) * (c.y - b.y) + (b.z - a.z) * (c.z - b.z) < 0)
            fail(what + ": il poligono si interseca (lati " + std::to_string(i + 1) + " e " +
                 std::to_string((i + 1) % n + 1) + ")");
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;  // adjacent through the closing vertex
            if (segments_meet(a, b, kept[j], kept[(j + 1) % n]))
                fail(what + ": il poligono si interseca (lati " + std::to_string(i + 1) + " e " +
                     std::to_string(j + 1) + ")");
        }
    }
    return kept;
}

bool rings_meet(const Ring& r, const Ring& s) {
    for (std::size_t i = 0; i < r.size(); ++i)
        for (std::size_t j = 0; j < s.size(); ++j)
            if (segments_meet(r[i], r[(i + 1) % r.size()], s[j], s[(j + 1) % s.size()])) return true;
    return false;
}

}  // namespace detail

Shape normalised(Shape shape) {
    return ferrolit::detail::public_call([&]() -> Shape {
        using detail::Location;
        Shape out;
        out.outline = detail::checked_ring(std::move(shape.outline), "contorno");
        if (detail::area_moments(out.outline).A < 0) std::reverse(out.outline.begin(), out.outline.end());
        std::size_t total = out.outline.size();
        for (std::size_t h = 0; h < shape.holes.size(); ++h) {
            const std::string what = "foro " + std::to_string(h + 1);
            Ring hole = detail::checked_ring(std::move(shape.holes[h]), what);
            total += hole.size();
            if (total > detail::kMostVertices) detail::fail("sezione: troppi vertici (al massimo 1000)");
            if (detail::area_moments(hole).A > 0) std::reverse(hole.begin(), hole.end());
            if (detail::rings_meet(hole, out.outline) || detail::locate(out.outline, hole[0], 0) != Location::Inside)
                detail::fail(what + ": non è interno al contorno");
            for (std::size_t k = 0; k < out.holes.size(); ++k)
                if (detail::rings_meet(hole, out.holes[k]) ||
                    detail::locate(out.holes[k], hole[0], 0) != Location::Outside ||
                    detail::locate(hole, out.holes[k][0], 0) != Location::Outside)
                    detail::fail(what + ": si sovrappone al foro " + std::to_string(k + 1));
            out.holes.push_back(std::move(hole));
        }
        return out;
    });
}

}  // namespace ferrolit::analysis
