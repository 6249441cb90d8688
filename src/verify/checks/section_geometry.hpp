#pragma once

// Plane geometry the checks need on the section's normalised shape (outline
// counterclockwise, holes clockwise): extents, widths across a level, areas
// of bands and half-planes, and distances to the concrete's edge.

#include "ferrolit/analysis.hpp"

namespace ferrolit::verification {

// The coordinate a level is measured along: z for bending about y (the
// widths then run along y), y for bending about z.
enum class Coordinate { Y, Z };

inline double coordinate_of(analysis::Point p, Coordinate c) { return c == Coordinate::Z ? p.z : p.y; }

struct Extent {
    double lo = 0, hi = 0;
};
Extent extent(const analysis::Shape& shape, Coordinate c);

// Total length of concrete along the line where the coordinate equals `level`.
double width_at(const analysis::Shape& shape, Coordinate c, double level);
// The least such width for levels within [lo, hi].
double least_width(const analysis::Shape& shape, Coordinate c, double lo, double hi);
// Concrete area with the coordinate within [lo, hi].
double area_between(const analysis::Shape& shape, Coordinate c, double lo, double hi);

// Concrete area where a + b·y + c·z ≥ 0.
double area_where(const analysis::Shape& shape, double a, double b, double c);

// Distance from a point inside the concrete to its nearest edge (outline or hole).
double distance_to_edge(const analysis::Shape& shape, analysis::Point p);
// Distance from a point to the nearest edge of one ring.
double distance_to_ring(const analysis::Ring& ring, analysis::Point p);
// Whether a point lies inside a ring (even-odd rule; a point on an edge may go either way).
bool inside_ring(const analysis::Ring& ring, analysis::Point p);

}  // namespace ferrolit::verification
