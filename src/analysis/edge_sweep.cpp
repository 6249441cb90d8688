#include "analysis/edge_sweep.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace ferrolit::analysis::detail {

namespace {

double cross(Point o, Point a, Point b) { return (a.y - o.y) * (b.z - o.z) - (a.z - o.z) * (b.y - o.y); }

int sign(double v) { return (v > 0) - (v < 0); }

bool within(Point p, Point a, Point b) {
    return std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y) && std::min(a.z, b.z) <= p.z &&
           p.z <= std::max(a.z, b.z);
}

bool before(Point a, Point b) { return a.y < b.y || (a.y == b.y && a.z < b.z); }

// An edge with its ends in sweep order (left: smaller y, then smaller z).
struct Edge {
    Point left, right;
    double slope = 0;  // dz/dy; +∞ for an edge along z
    EdgeRef ref;
    std::size_t ring_size = 0;
};

// z of an edge where the sweep line stands (its lower end for an edge along z).
double z_at(const Edge& e, double y) {
    if (y <= e.left.y) return e.left.z;
    if (y >= e.right.y) return e.right.z;
    return e.left.z + (y - e.left.y) * (e.right.z - e.left.z) / (e.right.y - e.left.y);
}

struct Below {
    const double* sweep_y;
    const std::vector<Edge>* edges;
    bool operator()(std::size_t i, std::size_t j) const {
        const Edge &a = (*edges)[i], &b = (*edges)[j];
        const double za = z_at(a, *sweep_y), zb = z_at(b, *sweep_y);
        if (za != zb) return za < zb;
        if (a.slope != b.slope) return a.slope < b.slope;
        return i < j;
    }
};

bool consecutive(const Edge& a, const Edge& b) {
    if (a.ref.ring != b.ref.ring) return false;
    const std::size_t n = a.ring_size, i = a.ref.edge, j = b.ref.edge;
    return (i + 1) % n == j || (j + 1) % n == i;
}

bool meet(const Edge& a, const Edge& b) {
    return !consecutive(a, b) && segments_meet(a.left, a.right, b.left, b.right);
}

std::vector<Edge> edges_of(const std::vector<const Ring*>& rings) {
    std::vector<Edge> edges;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const Ring& ring = *rings[r];
        for (std::size_t i = 0; i < ring.size(); ++i) {
            Point p = ring[i], q = ring[(i + 1) % ring.size()];
            if (before(q, p)) std::swap(p, q);
            const double slope = q.y > p.y ? (q.z - p.z) / (q.y - p.y) : std::numeric_limits<double>::infinity();
            edges.push_back({p, q, slope, {r, i}, ring.size()});
        }
    }
    return edges;
}

}  // namespace

bool segments_meet(Point a, Point b, Point c, Point d) {
    const int o1 = sign(cross(a, b, c)), o2 = sign(cross(a, b, d));
    const int o3 = sign(cross(c, d, a)), o4 = sign(cross(c, d, b));
    if (o1 != o2 && o3 != o4) return true;
    return (o1 == 0 && within(c, a, b)) || (o2 == 0 && within(d, a, b)) || (o3 == 0 && within(a, c, d)) ||
           (o4 == 0 && within(b, c, d));
}

std::optional<MeetingEdges> meeting_edges(const std::vector<const Ring*>& rings) {
    const std::vector<Edge> edges = edges_of(rings);
    // Events: each edge enters at its left end and leaves at its right one.
    // At one point the edges ending there leave before those starting there
    // enter, so the order never holds two edges that only touch at an end;
    // the edges with an end at one point are compared with each other instead.
    struct Event {
        Point at;
        bool enters;
        std::size_t edge;
    };
    std::vector<Event> events;
    events.reserve(2 * edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        events.push_back({edges[i].left, true, i});
        events.push_back({edges[i].right, false, i});
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        if (before(a.at, b.at)) return true;
        if (before(b.at, a.at)) return false;
        return !a.enters && b.enters;
    });
    double sweep_y = 0;
    using Order = std::set<std::size_t, Below>;
    Order order(Below{&sweep_y, &edges});
    std::vector<Order::iterator> where(edges.size(), order.end());
    std::optional<std::pair<std::size_t, std::size_t>> found;
    auto check = [&](Order::iterator a, Order::iterator b) {
        if (!found && a != order.end() && b != order.end() && meet(edges[*a], edges[*b])) found = {{*a, *b}};
    };
    for (std::size_t k = 0; k < events.size() && !found; ++k) {
        const Event& e = events[k];
        // Edges that share only this end, and are not consecutive in one ring.
        for (std::size_t j = k + 1; j < events.size() && !found && !before(e.at, events[j].at); ++j)
            if (!consecutive(edges[e.edge], edges[events[j].edge])) found = {{e.edge, events[j].edge}};
        if (found) break;
        sweep_y = e.at.y;
        if (e.enters) {
            const Order::iterator it = order.insert(e.edge).first;
            where[e.edge] = it;
            if (it != order.begin()) check(std::prev(it), it);
            check(it, std::next(it));
        } else {
            const Order::iterator it = where[e.edge];
            const Order::iterator next = std::next(it);
            const Order::iterator prev = it != order.begin() ? std::prev(it) : order.end();
            order.erase(it);
            check(prev, next);
        }
    }
    if (!found) return std::nullopt;
    EdgeRef a = edges[found->first].ref, b = edges[found->second].ref;
    if (b.ring < a.ring || (b.ring == a.ring && b.edge < a.edge)) std::swap(a, b);
    return MeetingEdges{a, b};
}

}  // namespace ferrolit::analysis::detail
