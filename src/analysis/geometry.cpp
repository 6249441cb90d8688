#include "analysis/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/edge_sweep.hpp"
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
constexpr std::size_t kMostVertices = 10000;

namespace {

double cross(Point o, Point a, Point b) { return (a.y - o.y) * (b.z - o.z) - (a.z - o.z) * (b.y - o.y); }

double distance_to_segment(Point p, Point a, Point b) {
    const double dy = b.y - a.y, dz = b.z - a.z, len2 = dy * dy + dz * dz;
    double t = len2 > 0 ? ((p.y - a.y) * dy + (p.z - a.z) * dz) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.y - (a.y + t * dy), p.z - (a.z + t * dz));
}

struct Box {
    Point lo, hi;
    bool overlaps(const Box& o) const { return lo.y <= o.hi.y && o.lo.y <= hi.y && lo.z <= o.hi.z && o.lo.z <= hi.z; }
};

Box box_of(const Ring& ring) {
    Box b{ring[0], ring[0]};
    for (const Point& p : ring) {
        b.lo.y = std::min(b.lo.y, p.y), b.hi.y = std::max(b.hi.y, p.y);
        b.lo.z = std::min(b.lo.z, p.z), b.hi.z = std::max(b.hi.z, p.z);
    }
    return b;
}

double extent(const Ring& ring) {
    const Box b = box_of(ring);
    return std::hypot(b.hi.y - b.lo.y, b.hi.z - b.lo.z);
}

// The edge ab lies farther than `tolerance` from p in y or in z.
bool clearly_apart(Point p, Point a, Point b, double tolerance) {
    return p.y + tolerance < std::min(a.y, b.y) || p.y - tolerance > std::max(a.y, b.y) ||
           p.z + tolerance < std::min(a.z, b.z) || p.z - tolerance > std::max(a.z, b.z);
}

// Every vertex within `tolerance` of the line through the first vertex and the one farthest from it.
bool on_one_line(const Ring& ring, double tolerance) {
    Point far = ring[0];
    for (const Point& p : ring)
        if (std::hypot(p.y - ring[0].y, p.z - ring[0].z) > std::hypot(far.y - ring[0].y, far.z - ring[0].z)) far = p;
    const double length = std::hypot(far.y - ring[0].y, far.z - ring[0].z);
    for (const Point& p : ring)
        if (std::fabs(cross(ring[0], far, p)) > tolerance * length) return false;
    return true;
}

std::string sides(std::size_t i, std::size_t j) {
    return ": il poligono si interseca (lati " + std::to_string(i + 1) + " e " + std::to_string(j + 1) + ")";
}

}  // namespace

Location locate(const Ring& ring, Point p, double tolerance) {
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = ring[i], b = ring[j];
        if (!clearly_apart(p, a, b, tolerance) && distance_to_segment(p, a, b) <= tolerance) return Location::Boundary;
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

Ring checked_ring(const Ring& ring, const std::string& what) {
    if (ring.size() > kMostVertices) fail(what + ": troppi vertici (al massimo 10000)");
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
    const bool no_area = std::fabs(area_moments(kept).A) <= 1e-9 * size * size;
    // Vertices on one line have no area; a ring off a line with no area crosses
    // itself (a bow tie), which the checks below name by its edges.
    if (no_area && on_one_line(kept, 1e-9 * size)) fail(what + ": area nulla (vertici allineati)");
    const std::size_t n = kept.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = kept[i], b = kept[(i + 1) % n], c = kept[(i + 2) % n];
        // Two consecutive edges that fold back on each other.
        if (cross(a, b, c) == 0 && (b.y - a.y) * (c.y - b.y) + (b.z - a.z) * (c.z - b.z) < 0)
            fail(what + sides(i, (i + 1) % n));
    }
    if (const std::optional<MeetingEdges> m = meeting_edges({&kept})) fail(what + sides(m->a.edge, m->b.edge));
    if (no_area) fail(what + ": area nulla");
    return kept;
}

}  // namespace detail

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

double area_where(const Ring& ring, double a, double b, double c) {
    Ring clipped;
    detail::clip_ring(ring, a, b, c, clipped);
    return clipped.size() >= 3 ? area_moments(clipped).A : 0.0;
}

Shape normalised(Shape shape) {
    return ferrolit::detail::public_call([&]() -> Shape {
        using detail::Location;
        Shape out;
        out.outline = detail::checked_ring(shape.outline, "contorno");
        if (detail::area_moments(out.outline).A < 0) std::reverse(out.outline.begin(), out.outline.end());
        std::size_t total = out.outline.size();
        for (std::size_t h = 0; h < shape.holes.size(); ++h) {
            Ring hole = detail::checked_ring(shape.holes[h], "foro " + std::to_string(h + 1));
            total += hole.size();
            if (total > detail::kMostVertices) detail::fail("sezione: troppi vertici (al massimo 10000)");
            if (detail::area_moments(hole).A > 0) std::reverse(hole.begin(), hole.end());
            out.holes.push_back(std::move(hole));
        }
        // Edges of two rings may not meet (each ring alone is simple).
        std::vector<const Ring*> rings{&out.outline};
        for (const Ring& hole : out.holes) rings.push_back(&hole);
        auto inside_message = [](std::size_t h) {
            return "foro " + std::to_string(h + 1) + ": non è interno al contorno";
        };
        auto overlap_message = [](std::size_t h, std::size_t k) {
            return "foro " + std::to_string(h + 1) + ": si sovrappone al foro " + std::to_string(k + 1);
        };
        if (const auto m = detail::meeting_edges(rings)) {
            if (m->a.ring == 0) detail::fail(inside_message(m->b.ring - 1));
            detail::fail(overlap_message(m->b.ring - 1, m->a.ring - 1));
        }
        // Without meeting edges, a ring lies inside another exactly when one of its vertices does.
        std::vector<detail::Box> boxes;
        for (const Ring& hole : out.holes) boxes.push_back(detail::box_of(hole));
        for (std::size_t h = 0; h < out.holes.size(); ++h) {
            const Ring& hole = out.holes[h];
            if (detail::locate(out.outline, hole[0], 0) != Location::Inside) detail::fail(inside_message(h));
            for (std::size_t k = 0; k < h; ++k)
                if (boxes[h].overlaps(boxes[k]) && (detail::locate(out.holes[k], hole[0], 0) != Location::Outside ||
                                                    detail::locate(hole, out.holes[k][0], 0) != Location::Outside))
                    detail::fail(overlap_message(h, k));
        }
        return out;
    });
}

}  // namespace ferrolit::analysis
