#include "analysis/landing.hpp"

#include <algorithm>
#include <cmath>

namespace ferrolit::analysis::detail {

namespace {

// Whether the rates keep their form from the point (its frame's mark, plane
// and path parameter) to the frame's present direction, plane and
// parameter: the same region of the path, the same extreme fibres and no
// bar's strain crossing its yield.
bool same_form(const SectionData& s, const FrameMark& was, const Plane1D& was_plane, double was_p, const Frame& frame,
               const Plane1D& plane, double p) {
    auto region = [](double q) { return q <= 1 ? 0 : q <= 2 ? 1 : 2; };
    if (!(p >= s.p_start && p <= 3) || region(was_p) != region(p)) return false;
    const Frame::Fibres now = frame.fibres();
    const double tol = 1e-9 * s.size;
    auto same = [&](const Point& a, const Point& b) { return std::hypot(a.y - b.y, a.z - b.z) <= tol; };
    if (!same(was.fibres.top, now.top) || !same(was.fibres.bottom, now.bottom) || !same(was.fibres.bar, now.bar))
        return false;
    const double eps_yd = s.steel_law.eps_yd;
    auto branch = [&](double eps) { return eps < -eps_yd ? -1 : eps > eps_yd ? 1 : 0; };
    for (std::size_t i = 0; i < s.bar_at.size(); ++i) {
        const Point b = s.bar_at[i];
        const double before = was_plane.eps_top - was_plane.kappa * (was.u_top - (was.dy * b.y + was.dz * b.z));
        const double after = plane.eps_top - plane.kappa * (frame.u_top - frame.bar_u[i]);
        if (branch(before) != branch(after)) return false;
    }
    return true;
}

}  // namespace

// The point of one exact Newton step from an evaluated one (its forces and
// rates pf at theta, p), with the forces of the step's linear model instead
// of a further integration. Taken only when the model's error lies below
// `accuracy` (in the residuals' units): the miss left after the previous
// step shows the curvature, and the square of this step times it must stay
// below it; and when no rate jumps within the step (the path's regions, the
// frame's extreme fibres, a bar's yield). h receives the point, and the
// frame is left at its direction.
bool land(const SectionData& s, Frame& frame, const PathForces& pf, double theta, double p, NewtonStep newton,
          double accuracy, Hit& h) {
    constexpr double kLeast = 10;  // the least curvature assumed, in the residuals' units
    const double d_theta = newton.d_theta, d_p = newton.d_p, previous = newton.previous;
    const double step = std::max(std::fabs(d_theta), std::fabs(d_p));
    if (!(previous > 0) || !(step <= 1e-6)) return false;
    if (!(std::max(kLeast, newton.miss / (previous * previous)) * step * step <= accuracy)) return false;
    if (!(p + d_p >= s.p_start && p + d_p <= 3)) return false;
    const FrameMark was = mark(frame);
    if (d_theta != 0) frame.build(s, theta + d_theta);  // a step in p alone keeps the frame
    const Plane1D plane = path_plane(s, frame, p + d_p);
    if (!same_form(s, was, pf.plane, p, frame, plane, p + d_p)) return false;
    const Moment M{h.M.My + pf.My_theta * d_theta + pf.My_p * d_p, h.M.Mz + pf.Mz_theta * d_theta + pf.Mz_p * d_p};
    h = {frame.theta, plane, M, h.N + pf.N_theta * d_theta + pf.N_p * d_p, frame.u_top, frame.u_bottom};
    return true;
}

FrameMark mark(const Frame& f) { return {f.fibres(), f.dy, f.dz, f.u_top}; }

std::optional<Landing> land_on_line(const SectionData& s, Frame& frame, const Evaluated& a, const Evaluated& b,
                                    Moment t, double accuracy) {
    const double dt = b.theta - a.theta, dp = b.p - a.p;
    // A force's values and rates along the line, per unit of x (0 at a, 1 at b).
    struct Along {
        double v0, r0, v1, r1;
        double cubic(double x) const {
            const double x2 = x * x, x3 = x2 * x;
            return (2 * x3 - 3 * x2 + 1) * v0 + (x3 - 2 * x2 + x) * r0 + (3 * x2 - 2 * x3) * v1 + (x3 - x2) * r1;
        }
        double cubic_rate(double x) const {
            const double x2 = x * x;
            return (6 * x2 - 6 * x) * v0 + (3 * x2 - 4 * x + 1) * r0 + (6 * x - 6 * x2) * v1 + (3 * x2 - 2 * x) * r1;
        }
        // From b's value and rate, the change of the rates as the curvature.
        double quadratic(double x) const { return v1 + r1 * (x - 1) + (r1 - r0) * (x - 1) * (x - 1) / 2; }
    };
    auto line = [&](double va, double ta, double pa, double vb, double tb, double pb) {
        return Along{va, ta * dt + pa * dp, vb, tb * dt + pb * dp};
    };
    const PathForces &fa = a.pf, &fb = b.pf;
    const Along N = line(a.hit.N, fa.N_theta, fa.N_p, b.hit.N, fb.N_theta, fb.N_p);
    const Along My = line(a.hit.M.My, fa.My_theta, fa.My_p, b.hit.M.My, fb.My_theta, fb.My_p);
    const Along Mz = line(a.hit.M.Mz, fa.Mz_theta, fa.Mz_p, b.hit.M.Mz, fb.Mz_theta, fb.Mz_p);
    const double scale = s.moment_scale, range = s.N_max - s.N_min;
    auto combine = [&](const Along& y, const Along& z) {
        auto f = [&](double vy, double vz) { return (t.My * vz - t.Mz * vy) / scale; };
        return Along{f(y.v0, z.v0), f(y.r0, z.r0), f(y.v1, z.v1), f(y.r1, z.r1)};
    };
    const Along A = combine(My, Mz);
    double x = 1;
    for (int k = 0; k < 4; ++k) x -= A.cubic(x) / A.cubic_rate(x);
    if (!(std::fabs(x - 1) <= 0.25)) return std::nullopt;
    // The cubic's error lies far below its difference from the quadratic,
    // whose terms of third order it adds: that difference must stay within
    // the accuracy.
    auto within = [&](const Along& f, double unit) {
        return std::fabs(f.cubic(x) - f.quadratic(x)) <= accuracy * unit;
    };
    if (!within(N, range) || !within(My, scale) || !within(Mz, scale) || !within(A, 1)) return std::nullopt;
    const double theta = a.theta + x * dt, p = a.p + x * dp;
    if (!(p >= s.p_start && p <= 3)) return std::nullopt;
    frame.build(s, theta);
    const Plane1D plane = path_plane(s, frame, p);
    if (!same_form(s, a.mark, a.pf.plane, a.p, frame, plane, p) ||
        !same_form(s, b.mark, b.pf.plane, b.p, frame, plane, p))
        return std::nullopt;
    return Landing{Hit{theta, plane, {My.cubic(x), Mz.cubic(x)}, N.cubic(x), frame.u_top, frame.u_bottom}, p};
}

}  // namespace ferrolit::analysis::detail
