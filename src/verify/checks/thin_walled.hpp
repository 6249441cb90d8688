#pragma once

// The equivalent thin-walled section of §4.1.2.3.6.1 on any outline: the
// wall thickness t = A_c/u (A_c the area within the outer perimeter u,
// holes included), not less than twice the distance from the edge to the
// centres of the longitudinal bars, and not more than the least wall of a
// hollow section; the mid-line of the wall is the outline offset inwards by
// t/2 (corners mitred), A the area it encloses and u_k its length.

#include <vector>

#include "ferrolit/analysis.hpp"

namespace ferrolit::verification {

struct ThinWalled {
    double u = 0;          // mm, outer perimeter
    double A_whole = 0;    // mm², area within the outer perimeter, holes included
    double wall = 0;       // mm, least wall of a hollow section; 0 for a solid one
    double bar_depth = 0;  // mm, from the edge to the centres of the outermost bars
    double t = 0;          // mm
    double A = 0;          // mm², enclosed by the mid-line
    double uk = 0;         // mm, length of the mid-line
    bool defined = true;   // false: offsetting the outline by t/2 turns an edge over (A and u_k then 0)
};

// bar_depth: the least distance from the outline to a bar's centre (0 without bars).
ThinWalled thin_walled(const analysis::Shape& shape, double bar_depth);

// The outline's corners for the bars torsion needs: the vertices where a
// counterclockwise outline turns left by at least 45° (interior angle ≤ 135°).
std::vector<std::size_t> outline_corners(const analysis::Ring& outline);

// Distance from a point to the line through a and b (mm).
double distance_to_line(analysis::Point p, analysis::Point a, analysis::Point b);

}  // namespace ferrolit::verification
