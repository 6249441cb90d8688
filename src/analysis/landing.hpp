#pragma once

// Points of the surface of ultimate states (the forces of the strain planes
// along each direction's path, parameters θ and p) and the last step of a
// search taken from a model of the forces instead of a further integration.

#include <optional>

#include "analysis/path.hpp"

namespace ferrolit::analysis::detail {

struct Moment {
    double My = 0, Mz = 0;  // N·mm
};

struct Hit {
    double theta = 0;  // radians
    Plane1D plane;
    Moment M;
    double N = 0;                    // newtons, the plane's (the slice's N, to the search's accuracy)
    double u_top = 0, u_bottom = 0;  // the frame's extreme fibres
    PathPoint point() const { return {theta, plane, N, M.My, M.Mz, u_top, u_bottom}; }
};
// Inline: the searches call it once per integration.
inline Hit hit_of(const Frame& f, Plane1D plane, const Forces& F) {
    return {f.theta, plane, {f.My(F.Mu, F.Mv), f.Mz(F.Mu, F.Mv)}, F.N, f.u_top, f.u_bottom};
}

// One Newton step on the surface of ultimate states: its change of the
// direction of bending and of the path parameter, the residual it corrects,
// and the size of the step before it.
struct NewtonStep {
    double d_theta = 0, d_p = 0, miss = 0, previous = 0;
};
// The error a point taken from a step's linear model may carry, in the
// residuals' units: exact to rounding for resisting moments; for the
// outlines of domains, vertices of a polygon within 0.5e-3 of the true
// curve, 1e-11.
constexpr double kExactLanding = 1e-14;
constexpr double kOutlineLanding = 1e-11;
bool land(const SectionData& s, Frame& frame, const PathForces& pf, double theta, double p, NewtonStep step,
          double accuracy, Hit& h);

// What the rates of the forces at a direction of bending depend on: the
// frame's extreme fibres and where it measures from.
struct FrameMark {
    Frame::Fibres fibres;
    double dy = 0, dz = 0, u_top = 0;
};
FrameMark mark(const Frame& f);

// A point of the surface evaluated at (theta, p): its forces and rates, its
// hit and its frame's mark.
struct Evaluated {
    double theta = 0, p = 0;
    PathForces pf;
    Hit hit;
    FrameMark mark;
};
struct Landing {
    Hit hit;
    double p = 0;
};
// The point just beyond b on the line from a through b (two evaluated
// points) where the moment across the direction t, cross(t, M), vanishes,
// without a further integration: each force the cubic through its values
// and rates along the line at both points. Taken when the cubic differs
// from the quadratic about b (b's value and rate, the rates' change as the
// curvature) by no more than `accuracy` (of N's range and of the section's
// moment) and no rate jumps between the points. The frame is left at the
// point's direction.
std::optional<Landing> land_on_line(const SectionData& s, Frame& frame, const Evaluated& a, const Evaluated& b,
                                    Moment t, double accuracy);

}  // namespace ferrolit::analysis::detail
