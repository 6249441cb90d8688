#include "analysis/slice.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/roots.hpp"

namespace ferrolit::analysis::detail {

namespace {

constexpr double kPi = std::numbers::pi;
// Angular accuracy of a ray search (radians).
constexpr double kAngleTolerance = 1e-13;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// A ray search steps in θ once N is within this share of its range and
// correcting N would move the point across the ray by no more than its miss
// (or N is within kCloseN): before, it corrects N alone, since on a small
// slice (near N_Rd,min) a point off the slice's N says little about the
// direction to take.
constexpr double kNearN = 2e-2;
constexpr double kCloseN = 3e-3;
// The first largest step in θ (radians).
constexpr double kStepCap = 0.3;
// A point bounds θ when its miss across the ray exceeds this multiple of the
// change that correcting N alone would make to it.
constexpr double kBoundShare = 2;
// A point this close to N (share of its range) overrides a bound set by one
// kMisjudged times farther off.
constexpr double kOnSlice = 1e-6;
constexpr double kMisjudged = 100;
// How far beyond the tabled arc a ray's direction of bending may lie: the
// table's points at N are interpolated along chords (radians).
constexpr double kArcMargin = 0.1;
// A crossing of the tabled quadrilateral within this share of an edge's end
// is taken as possibly beyond it.
constexpr double kArcEnd = 0.2;

double cross(Moment a, Moment b) { return a.My * b.Mz - a.Mz * b.My; }

// How far inside the tabled chords M = 0 must lie, as a share of their
// polygon's size, to count as inside the slice without a search.
constexpr double kChordMargin = 0.02;
// The tabled directions of bending, evenly spaced around the turn.
constexpr int kTabled = static_cast<int>(SectionData::kTabledDirections);
constexpr double kTabledStep = 2 * kPi / kTabled;

}  // namespace

Slice::Slice(const SectionData& s, double N) : s_(s), N_(N) {}

void Slice::reset(double N) {
    N_ = N;
    origin_.reset();
    tabled_known_ = false;
    last_.reset();
    last_start_ = {};
    seed_.reset();
    drift_.reset();
    last_ray_.reset();
    frame_.region_ends_known = false;
}

namespace {

// Where the path of one tabled direction carries N: p(N) through three
// tabled points of one region of the path (N is smooth there), or linear
// between two when that leaves their interval.
std::optional<PathStart> direction_start(const SectionData& s, std::size_t direction, double N) {
    const std::vector<double>& table = s.paths[direction % kTabled].N;
    const std::vector<double>& params = s.paths[direction % kTabled].p;
    for (std::size_t k = 0; k + 1 < table.size(); ++k) {
        const double lo = table[k], hi = table[k + 1];
        if (!(N >= lo && N <= hi && hi > lo)) continue;
        const double slope = (hi - lo) / (params[k + 1] - params[k]);
        PathStart linear{params[k] + (N - lo) / slope, slope};
        const double region = std::floor(params[k]);
        std::size_t j;  // the third point, in the same region
        if (k + 2 < table.size() && params[k + 2] <= region + 1)
            j = k + 2;
        else if (k > 0 && params[k - 1] >= region)
            j = k - 1;
        else
            return linear;
        const std::size_t i[3] = {k, k + 1, j};
        double p = 0, dp = 0;
        for (int a = 0; a < 3; ++a) {
            const double Na = table[i[a]];
            double L = 1, dL = 0;
            for (int b = 0; b < 3; ++b) {
                if (b == a) continue;
                const double Nb = table[i[b]], den = Na - Nb;
                dL = dL * (N - Nb) / den + L / den;
                L *= (N - Nb) / den;
            }
            p += params[i[a]] * L;
            dp += params[i[a]] * dL;
        }
        if (p >= params[k] && p <= params[k + 1] && dp > 0 && std::isfinite(dp)) return PathStart{p, 1 / dp};
        return linear;
    }
    return std::nullopt;
}

}  // namespace

// Where the path at θ carries N, blended between the two tabled directions
// on either side by the angle from each.
std::optional<PathStart> tabled_start(const SectionData& s, double theta, double N) {
    double steps = std::fmod(theta / kTabledStep, static_cast<double>(kTabled));
    if (!std::isfinite(steps)) return std::nullopt;  // a search gone astray: no start
    if (steps < 0) steps += kTabled;
    const auto first = static_cast<std::size_t>(std::floor(steps)) % kTabled;
    const double w = steps - std::floor(steps);
    const std::optional<PathStart> a = direction_start(s, first, N), b = direction_start(s, first + 1, N);
    if (!a || !b) return a ? a : b;
    return PathStart{a->p + w * (b->p - a->p), a->slope + w * (b->slope - a->slope)};
}

namespace {

// The points of the tabled paths at N, each interpolated along its chord;
// false when a path does not carry N.
bool tabled_points(const SectionData& s, double N, Slice::TabledPoints& q) {
    for (std::size_t d = 0; d < kTabled; ++d) {
        const SectionData::PathTable& t = s.paths[d];
        bool found = false;
        for (std::size_t k = 0; k + 1 < t.N.size() && !found; ++k) {
            if (!(N >= t.N[k] && N <= t.N[k + 1] && t.N[k + 1] > t.N[k])) continue;
            const double w = (N - t.N[k]) / (t.N[k + 1] - t.N[k]);
            q[d] = {t.My[k] + w * (t.My[k + 1] - t.My[k]), t.Mz[k] + w * (t.Mz[k + 1] - t.Mz[k])};
            found = true;
        }
        if (!found) return false;
    }
    return true;
}

// Whether c lies inside the polygon of the tabled points, on the inner side
// of every edge (counterclockwise) by more than `margin` (N·mm).
bool inside_tabled(const Slice::TabledPoints& q, Moment c, double margin) {
    for (std::size_t i = 0; i < q.size(); ++i) {
        const Moment a = q[i], b = q[(i + 1) % q.size()], edge{b.My - a.My, b.Mz - a.Mz};
        // The distance inside / |edge| against the margin, squared.
        const double inside = cross(edge, {c.My - a.My, c.Mz - a.Mz});
        if (!(inside > 0 && inside * inside > margin * margin * (edge.My * edge.My + edge.Mz * edge.Mz))) return false;
    }
    return true;
}

// Whether M = 0 lies well inside the polygon of the tabled paths' chords at
// N. Each chord joins two points of the domain, so the polygon would lie in
// the slice if the domain were convex; it is only nearly so (the strain
// limits' pivots move with the direction of bending: over assorted sections
// a slice sags inwards by up to 1 % of its size between points a quarter
// turn apart, most near N_max). So M = 0 must lie on the inner side of every
// edge (counterclockwise) by a share of the polygon's size beyond that sag.
bool inside_tabled_chords(const Slice::TabledPoints& q) {
    double y0 = q[0].My, y1 = y0, z0 = q[0].Mz, z1 = z0;
    for (const Moment& m : q)
        y0 = std::min(y0, m.My), y1 = std::max(y1, m.My), z0 = std::min(z0, m.Mz), z1 = std::max(z1, m.Mz);
    return inside_tabled(q, {0, 0}, kChordMargin * std::hypot(y1 - y0, z1 - z0));
}

// A direction of bending whose point of the slice lies near the ray from c
// along t: the slice drawn through its tabled quarter points as the ellipse
// M(θ) ≈ m + a·cos θ + b·sin θ, and the θ where the ellipse meets the ray.
// Anisotropic sections bend far from the direction of the moment, and this
// start saves the search most of its steps.
std::optional<double> tabled_direction(const Slice::TabledPoints& all, Moment c, Moment t) {
    constexpr int kQuarter = kTabled / 4;
    const Moment q[4] = {all[0], all[kQuarter], all[2 * kQuarter], all[3 * kQuarter]};
    const Moment m{(q[0].My + q[1].My + q[2].My + q[3].My) / 4, (q[0].Mz + q[1].Mz + q[2].Mz + q[3].Mz) / 4};
    const Moment a{(q[0].My - q[2].My) / 2, (q[0].Mz - q[2].Mz) / 2};
    const Moment b{(q[1].My - q[3].My) / 2, (q[1].Mz - q[3].Mz) / 2};
    const double A = cross(t, a), B = cross(t, b), C = cross(t, {m.My - c.My, m.Mz - c.Mz});
    const double R = std::hypot(A, B);
    if (!(R > 0) || !(std::fabs(C) <= R)) return std::nullopt;
    const double base = std::atan2(B, A), spread = std::acos(-C / R);
    for (const double theta : {base + spread, base - spread}) {
        const double ct = std::cos(theta), st = std::sin(theta);
        const Moment d{m.My + a.My * ct + b.My * st - c.My, m.Mz + a.Mz * ct + b.Mz * st - c.Mz};
        if (t.My * d.My + t.Mz * d.Mz > 0) return theta;
    }
    return std::nullopt;
}

// The directions of bending between which the ray from c along t leaves the
// slice, from the tabled points at N: when c lies inside their polygon, the
// ray crosses one of its edges, and the slice (nearly convex, and holding
// the polygon but for its small sag) turns the ray's direction between that
// edge's two directions, give or take kArcMargin. Along that arc the
// deviation of M(θ) − c from the ray grows with θ from `dev_lo` < 0 to
// `dev_hi` > 0: a deviation measured there is read on the turn that agrees
// with that growth, which settles the sign of one found behind c. Unwrapped
// to lie around `near`.
struct TabledArc {
    double lo = 0, hi = 0, dev_lo = 0, dev_hi = 0;
    double unwrap(double theta, double dev) const {
        const double expected = dev_lo + (theta - lo) / (hi - lo) * (dev_hi - dev_lo);
        return dev + 2 * kPi * std::round((expected - dev) / (2 * kPi));
    }
};

std::optional<TabledArc> tabled_arc(const Slice::TabledPoints& q, Moment c, Moment t, double near) {
    if (!inside_tabled(q, c, 0)) return std::nullopt;
    auto vertex = [&](int i) { return q[static_cast<std::size_t>((i + kTabled) % kTabled)]; };
    auto side = [&](int i) { return cross(t, {vertex(i).My - c.My, vertex(i).Mz - c.Mz}); };
    auto deviation = [&](int i) {
        const Moment d{vertex(i).My - c.My, vertex(i).Mz - c.Mz};
        return std::atan2(cross(t, d), t.My * d.My + t.Mz * d.Mz);
    };
    for (int i = 0; i < kTabled; ++i) {
        // The edge the ray leaves by: from the right of its line to the left
        // (counterclockwise), ahead of c.
        const double right = side(i), left = side(i + 1);
        if (!(right <= 0 && left > 0)) continue;
        const Moment a = vertex(i), b = vertex(i + 1);
        const double along = right / (right - left);
        if (!(t.My * (a.My + along * (b.My - a.My) - c.My) + t.Mz * (a.Mz + along * (b.Mz - a.Mz) - c.Mz) > 0))
            continue;
        // A crossing near either end may, on the true slice, lie beyond it:
        // the arc then takes in the next point on that side, its deviation
        // read on the same turn.
        const int first = along < kArcEnd ? i - 1 : i, last = along > 1 - kArcEnd ? i + 2 : i + 1;
        double dev_lo = deviation(first), dev_hi = deviation(last);
        if (first < i && dev_lo > deviation(i)) dev_lo -= 2 * kPi;
        if (last > i + 1 && dev_hi < deviation(i + 1)) dev_hi += 2 * kPi;
        const double turns = std::round((near - (first + last) * kTabledStep / 2) / (2 * kPi));
        return TabledArc{first * kTabledStep + 2 * kPi * turns, last * kTabledStep + 2 * kPi * turns, dev_lo, dev_hi};
    }
    return std::nullopt;
}

}  // namespace

const std::optional<Slice::TabledPoints>& Slice::tabled() {
    if (!tabled_known_) {
        TabledPoints q;
        tabled_ = tabled_points(s_, N_, q) ? std::optional<TabledPoints>(q) : std::nullopt;
        tabled_known_ = true;
    }
    return tabled_;
}

// A nearby direction's solution starts a search; otherwise the table.
std::optional<PathStart> Slice::start_near(double theta) const {
    if (last_ && std::fabs(std::remainder(theta - last_->theta, 2 * kPi)) < kPi / 8 && last_start_.slope > 0)
        return last_start_;
    if (seed_ && std::fabs(std::remainder(theta - seed_->theta, 2 * kPi)) < kPi / 8 && seed_->start.slope > 0)
        return seed_->start;
    return tabled_start(s_, theta, N_);
}

Hit Slice::at(double theta) {
    if (last_ && last_->theta == theta) return *last_;
    const std::optional<PathStart> start = start_near(theta);
    frame_.build(s_, theta);
    const PathSolution sol = solve_at_N(s_, frame_, N_, start ? &*start : nullptr);
    last_ = hit_of(frame_, sol.plane, sol.F);
    last_start_ = {sol.p, sol.slope};
    return *last_;
}

SectionState Slice::state(const Hit& h) {
    if (frame_.theta != h.theta) frame_.build(s_, h.theta);
    SectionState st = state_without_bars(s_, h.point());
    add_bars(s_, frame_, h.plane, st);
    return st;
}

Moment Slice::on_ray(const Hit& h, Moment c, Moment t) {
    // A hit found at the rounding level behind c (c on the slice's edge, as
    // one ulp below N_Rd,max) projects to c itself, never to a resisting
    // moment against the action.
    const double along = std::max(0.0, (h.M.My - c.My) * t.My + (h.M.Mz - c.Mz) * t.Mz);
    return {c.My + along * t.My, c.Mz + along * t.Mz};
}

// Signed angle from the ray's direction to M(θ) − c.
double Slice::deviation(double theta, Moment c, Moment t, Hit& h) {
    h = at(theta);
    const Moment d{h.M.My - c.My, h.M.Mz - c.Mz};
    return std::atan2(cross(t, d), t.My * d.My + t.Mz * d.Mz);
}

// The direction of bending θ and the path's parameter p solved together:
// Newton's steps on the two equations N(θ, p) = N and "M(θ, p) − c lies on
// the ray", with their exact Jacobian from the same integration as the
// forces, so each step costs one integration and the steps settle
// quadratically. Empty when the steps do not settle; the nested search (θ
// outside, p inside) then takes over from the best direction found.
std::optional<Hit> Slice::joint_ray(Moment c, Moment t, double& guess) {
    constexpr int kSteps = 24;
    const double range = s_.N_max - s_.N_min;
    if (!(range > 0)) return std::nullopt;
    const double ftol = 1e-12;  // of the range of N, as the nested search
    // The second equation as the distance of M from the ray's line, in units
    // of the section's moment: unlike the angle it stays smooth when the
    // slice passes close to c (a small slice, or c near its edge).
    const double scale = s_.moment_scale;
    auto deviation_of = [&](const Hit& hit) {
        const Moment d{hit.M.My - c.My, hit.M.Mz - c.Mz};
        return std::atan2(cross(t, d), t.My * d.My + t.Mz * d.Mz);
    };
    Hit h;
    PathForces pf;
    double r[2], J[2][2], det = 0;
    bool solvable = false;  // J's determinant is a non-zero number
    auto evaluate = [&](double theta, double p) {
        if (frame_.slabs.empty() || frame_.theta != theta) frame_.build(s_, theta);
        pf = path_forces(s_, frame_, p);
        h = hit_of(frame_, pf.plane, pf.F);
        r[0] = (pf.F.N - N_) / range;
        r[1] = cross(t, {h.M.My - c.My, h.M.Mz - c.Mz}) / scale;
        J[0][0] = pf.N_theta / range, J[0][1] = pf.N_p / range;
        J[1][0] = cross(t, {pf.My_theta, pf.Mz_theta}) / scale, J[1][1] = cross(t, {pf.My_p, pf.Mz_p}) / scale;
        det = J[0][0] * J[1][1] - J[0][1] * J[1][0];
        solvable = std::fabs(det) > 0 && std::isfinite(det);
    };
    // The first point from the last ray from the same c in a nearby
    // direction, else from the table or a nearby direction, else from the
    // middle of the path.
    std::optional<PathStart> start = start_near(guess);
    if (last_ray_ && last_ray_->c.My == c.My && last_ray_->c.Mz == c.Mz && std::fabs(cross(last_ray_->t, t)) < 0.1 &&
        last_ray_->t.My * t.My + last_ray_->t.Mz * t.Mz > 0) {
        guess = last_ray_->theta;
        start = last_ray_->start;
    }
    double theta = guess;
    double p = start && start->slope > 0 ? std::clamp(start->p, s_.p_start, 3.0) : (s_.p_start + 3) / 2;
    // Along p at one θ, N grows: where it was found below and above the
    // target bound the steps in p (bisection when a step leaves them). The
    // flat start of pivot A (every bar yielded, no concrete compressed: N =
    // N_min whatever θ and p) gives no direction and counts as below.
    double p_low = s_.p_start, p_high = 3;
    // On the slice the angle of M − c grows with θ through one turn: the
    // directions found on either side of the ray (near N) bound θ's steps.
    double theta_below = -kInfinity, theta_above = kInfinity;
    const std::optional<TabledArc> arc = tabled() ? tabled_arc(*tabled(), c, t, theta) : std::nullopt;
    if (arc) theta_below = arc->lo - kArcMargin, theta_above = arc->hi + kArcMargin;
    const double first_below = theta_below, first_above = theta_above;
    // How far off N the points that set the bounds were.
    double below_miss = 0, above_miss = 0;
    // The largest step in θ: widened while capped steps keep gaining,
    // narrowed when one overshoots.
    double cap = kStepCap, last_dev = 0;
    struct {
        double theta = 0, p = 0, r0 = 0;
    } previous;
    bool capped = false;
    double best = kPi, last_step = 0;
    auto found = [&](double theta_found, double p_found) {
        // Along the line: N_θ·θ' + N_p·p' = 1, (its normal)·(M_θ·θ' + M_p·p') = 0.
        if (solvable) {
            const double d_theta = J[1][1] / (det * range), d_p = -J[1][0] / (det * range);
            const double rate =
                (t.My * pf.My_theta + t.Mz * pf.Mz_theta) * d_theta + (t.My * pf.My_p + t.Mz * pf.Mz_p) * d_p;
            drift_ = Drift{d_theta, d_p, rate};
        }
        last_ = h;
        last_start_ = {p_found, J[0][1] * range};
        last_ray_ = LastRay{c, t, theta_found, last_start_};
        return h;
    };
    for (int step = 0; step < kSteps; ++step) {
        evaluate(theta, p);
        const double dev = arc ? arc->unwrap(theta, deviation_of(h)) : deviation_of(h);
        if (std::fabs(r[0]) <= ftol && std::fabs(dev) <= kAngleTolerance) return found(theta, p);
        // Close enough for the last Newton step's linear model to be exact
        // beyond the tolerances: its point, without integrating there.
        if (step > 0 && solvable && std::fabs(r[0]) <= kNearN && std::fabs(dev) < kPi / 2) {
            const double d_theta = (J[0][1] * r[1] - J[1][1] * r[0]) / det;
            const double d_p = -(r[0] + J[0][0] * d_theta) / J[0][1];
            const double miss = std::max(std::fabs(r[0]), std::fabs(dev));
            if (land(s_, frame_, pf, theta, p, {d_theta, d_p, miss, last_step}, kExactLanding, h))
                return found(theta + d_theta, p + d_p);
        }
        if (std::fabs(dev) < best) best = std::fabs(dev), guess = theta;
        (r[0] < 0 ? p_low : p_high) = p;
        // Across a change of N's rate (bars yielding, the concrete starting
        // to work) a step overshoots: when the last two points lie on either
        // side of N, their secant along p (the turn's share taken off) is
        // the steeper and safer rate.
        double N_rate = J[0][1];
        if (step > 0 && (r[0] < 0) != (previous.r0 < 0) && p != previous.p) {
            const double secant = (r[0] - previous.r0 - J[0][0] * (theta - previous.theta)) / (p - previous.p);
            if (secant > N_rate) N_rate = secant;
        }
        previous = {theta, p, r[0]};
        // What correcting N alone would change the miss across the ray by.
        const double correction = J[0][1] > 0 ? J[1][1] * r[0] / J[0][1] : kInfinity;
        const bool near_N =
            std::fabs(r[0]) <= kNearN && (std::fabs(correction) <= std::fabs(r[1]) || std::fabs(r[0]) <= kCloseN);
        const bool far_side = !(std::fabs(dev) < kPi / 2);
        // A bound on θ from a point near N whose side of the ray stays that
        // of the slice's point at this direction: the miss across the ray
        // exceeds that change. A point found behind c counts once its side
        // is settled: by the tabled arc, or by a bound on the other side
        // (M − c turns by less than half a turn between the two).
        if (std::fabs(r[1]) > kBoundShare * std::fabs(correction) && std::fabs(dev) > kAngleTolerance &&
            (!far_side || arc || std::isfinite(dev < 0 ? theta_above : theta_below)) && std::fabs(r[0]) <= kNearN) {
            (dev < 0 ? theta_below : theta_above) = theta;
            (dev < 0 ? below_miss : above_miss) = std::fabs(r[0]);
            // Bounds from different turns: the latest one alone.
            if (!(theta_above - theta_below > 0 && theta_above - theta_below < 2 * kPi))
                (dev < 0 ? theta_above : theta_below) = dev < 0 ? kInfinity : -kInfinity;
        }
        if (capped)
            cap = (dev < 0) == (last_dev < 0) && std::fabs(dev) < std::fabs(last_dev) ? std::min(2 * cap, kPi / 2)
                                                                                      : cap / 2;
        capped = false;
        last_dev = dev;
        double d_theta = 0;
        if (near_N) {
            if (far_side || !solvable)
                d_theta = -std::clamp(dev, -kPi / 2, kPi / 2);  // back towards the ray, turning about c
            else
                d_theta = (J[0][1] * r[1] - J[1][1] * r[0]) / det;
            capped = std::fabs(d_theta) > cap;
            d_theta = std::clamp(d_theta, -cap, cap);
            // A bound set by a point far off N, which the linear correction
            // misjudged, gives way to a Newton step from a point on the slice.
            if (!far_side && solvable && std::fabs(r[0]) <= kOnSlice) {
                if (theta + d_theta <= theta_below && below_miss > kMisjudged * std::fabs(r[0]))
                    theta_below = first_below;
                if (theta + d_theta >= theta_above && above_miss > kMisjudged * std::fabs(r[0]))
                    theta_above = first_above;
            }
            if (!(theta + d_theta > theta_below && theta + d_theta < theta_above))
                d_theta = std::isfinite(theta_below) && std::isfinite(theta_above)
                              ? (theta_below + theta_above) / 2 - theta
                              : -std::clamp(dev, -0.5, 0.5);
        }
        // p from the linear model at the new direction, stopping at the ends
        // of the path's regions (N's rate with p jumps there); bisection
        // inside the bounds at this direction when the model has no slope
        // (the flat start) or leaves them.
        double p_next = N_rate > 0 ? p - (r[0] + J[0][0] * d_theta) / N_rate : kInfinity;
        for (const double end : {1.0, 2.0})
            if ((p < end && p_next > end) || (p > end && p_next < end)) p_next = end;
        if (d_theta != 0) {
            p_low = s_.p_start, p_high = 3;  // a new direction: N's bounds along p no longer hold
            if (!(p_next >= p_low && p_next <= p_high)) p_next = p;
        } else if (!(p_next > p_low && p_next < p_high)) {
            p_next = (p_low + p_high) / 2;
        }
        last_step = std::max(std::fabs(d_theta), std::fabs(p_next - p));
        theta += d_theta, p = p_next;
    }
    return std::nullopt;
}

std::optional<Hit> Slice::ray_from(Moment c, Moment t, double theta, PathStart start) {
    seed_ = Seed{theta, start};
    drift_.reset();
    std::optional<Hit> h = joint_ray(c, t, theta);
    seed_.reset();
    return h;
}

std::optional<Hit> Slice::ray(Moment c, Moment t, double guess) {
    drift_.reset();
    if (const std::optional<double> direction = tabled() ? tabled_direction(*tabled(), c, t) : std::nullopt)
        guess = *direction;
    if (std::optional<Hit> h = joint_ray(c, t, guess)) return h;
    Hit h0, h1, hr;
    auto solve = [&](double a, double b, double ga, double gb) {
        const double root =
            brent_root([&](double th) { return deviation(th, c, t, hr); }, a, b, ga, gb, kAngleTolerance, 0);
        if (hr.theta == root) return hr;
        if (h0.theta == root) return h0;
        if (h1.theta == root) return h1;
        return at(root);
    };
    auto straddle = [](double ga, double gb) {
        return (ga < 0) != (gb < 0) && std::fabs(ga) < kPi / 2 && std::fabs(gb) < kPi / 2;
    };
    double th0 = guess, g0 = deviation(th0, c, t, h0);
    if (std::fabs(g0) <= kAngleTolerance) return h0;
    // M(θ) turns with θ at about the same rate: secant steps from the guess.
    double th1 = th0 - std::clamp(g0, -kPi / 2, kPi / 2), g1 = deviation(th1, c, t, h1);
    for (int iter = 0; iter < 12; ++iter) {
        if (std::fabs(g1) <= kAngleTolerance) return h1;
        if (straddle(g0, g1)) return th0 < th1 ? solve(th0, th1, g0, g1) : solve(th1, th0, g1, g0);
        double slope = (g1 - g0) / (th1 - th0);
        if (!(slope > 0.05 && slope < 20)) slope = 1;
        const double th2 = th1 - std::clamp(g1 / slope, -kPi / 2, kPi / 2);
        th0 = th1, g0 = g1;
        th1 = th2, g1 = deviation(th1, c, t, h1);
    }
    // Slow turning (a very flat or eccentric slice): look all around. Near
    // an eccentric start M(θ) − c may turn by more than a right angle from
    // one sample to the next; a change of sign is a crossing unless the
    // deviation jumps by more than π (passing the direction opposite the ray).
    auto crossing = [](double ga, double gb) { return (ga < 0) != (gb < 0) && std::fabs(ga - gb) < kPi; };
    constexpr int kSamples = 72;
    double prev_th = guess, prev_g = deviation(prev_th, c, t, h0);
    for (int k = 1; k <= kSamples; ++k) {
        const double th = guess + 2 * kPi * k / kSamples;
        const double g = deviation(th, c, t, h1);
        if (std::fabs(g) <= kAngleTolerance) return h1;
        if (crossing(prev_g, g)) return solve(prev_th, th, prev_g, g);
        prev_th = th, prev_g = g;
    }
    return std::nullopt;
}

Moment Slice::centre() const {
    const double w = (N_ - s_.N_min) / (s_.N_max - s_.N_min);
    return {s_.My_min + w * (s_.My_max - s_.My_min), s_.Mz_min + w * (s_.Mz_max - s_.Mz_min)};
}

const Slice::Origin& Slice::origin() {
    if (origin_) return *origin_;
    Origin o;
    o.centre = centre();
    const double tiny = 1e-9 * s_.moment_scale;
    const double dist = std::hypot(o.centre.My, o.centre.Mz);
    if (N_ <= s_.N_min || N_ >= s_.N_max) {
        o.degenerate = true;
        o.inside = dist <= tiny;
    } else if (dist <= tiny || (tabled() && inside_tabled_chords(*tabled()))) {
        o.inside = true;
    } else {
        // From the centre towards M = 0: inside when the slice reaches it.
        const Moment t{-o.centre.My / dist, -o.centre.Mz / dist};
        const std::optional<Hit> h = ray(o.centre, t, std::atan2(t.Mz, t.My));
        o.inside = h && dist <= std::hypot(h->M.My - o.centre.My, h->M.Mz - o.centre.Mz) * (1 + 1e-12);
    }
    origin_ = o;
    return *origin_;
}

}  // namespace ferrolit::analysis::detail
