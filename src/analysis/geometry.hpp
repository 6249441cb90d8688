#pragma once

// Plane geometry of the section's rings: area moments by Green's theorem,
// point location, clipping by a half-plane, and the checks of a shape.

#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis::detail {

// Area integrals of a ring: the public helpers (ferrolit/analysis.hpp).
using analysis::area_moments;
using analysis::AreaMoments;

// Where a point lies with respect to a ring, with a tolerance on the distance
// to its edges.
enum class Location { Outside, Boundary, Inside };
Location locate(const Ring& ring, Point p, double tolerance);

// The part of a ring where a + b·y + c·z ≥ 0 (Sutherland-Hodgman). For a
// concave ring the result may run back and forth along the cut line; its area
// integrals are still those of the clipped region.
void clip_ring(const Ring& ring, double a, double b, double c, Ring& out);

// Checks one ring and drops repeated consecutive vertices (and a repeated
// closing vertex). `what` names it in messages ("contorno", "foro 2").
Ring checked_ring(const Ring& ring, const std::string& what);

}  // namespace ferrolit::analysis::detail
