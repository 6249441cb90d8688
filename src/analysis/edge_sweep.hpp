#pragma once

// Whether any two edges of a set of rings meet, in O(n log n): a sweep line
// across y (Shamos and Hoey) keeps the edges it crosses ordered by z, and
// only neighbours in that order are compared. The first pair of edges that
// meet (closed segments) is found whenever there is one. Consecutive edges
// of a ring share their vertex and are not compared; the caller rules out
// consecutive edges that fold back on each other.

#include <cstddef>
#include <optional>
#include <vector>

#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis::detail {

struct EdgeRef {
    std::size_t ring = 0;  // index in the list given
    std::size_t edge = 0;  // from vertex `edge` to the next
};

struct MeetingEdges {
    EdgeRef a, b;  // a before b in (ring, edge) order
};

std::optional<MeetingEdges> meeting_edges(const std::vector<const Ring*>& rings);

// Closed segments ab and cd share at least one point.
bool segments_meet(Point a, Point b, Point c, Point d);

}  // namespace ferrolit::analysis::detail
