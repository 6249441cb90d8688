// Closed N-M domains: the slice Mz = 0 (axis My) or My = 0 (axis Mz) of the
// three-dimensional resistance domain, sampled adaptively.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/errors.hpp"
#include "analysis/outline.hpp"
#include "analysis/roots.hpp"
#include "analysis/slice.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

namespace detail {

namespace {

constexpr double kPi = std::numbers::pi;
// Largest distance of the polygon from the true outline, as a fraction of the
// domain's extent along each axis; the midpoint test is kept at half of it.
constexpr double kOutlineTolerance = 0.5e-3;
constexpr std::size_t kMostSamples = 40000;

// Direction of bending of the positive branch, and the component along the axis.
double positive_angle(Axis axis) { return axis == Axis::My ? 0 : kPi / 2; }
double along(Axis axis, Moment m) { return axis == Axis::My ? m.My : m.Mz; }
double across(Axis axis, Moment m) { return axis == Axis::My ? m.Mz : m.My; }

// Where the cubic on [0, 1] with values v0, v1 and slopes d0 > 0 > d1 at
// its ends peaks: the root between them of its slope d0 + 2·c2·x + 3·c3·x².
double cubic_peak(double v0, double v1, double d0, double d1) {
    const double c2 = 3 * (v1 - v0) - 2 * d0 - d1, c3 = 2 * (v0 - v1) + d0 + d1;
    if (!(std::fabs(c3) > 1e-12 * (std::fabs(c2) + std::fabs(d0)))) return -d0 / (2 * c2);
    const double disc = c2 * c2 - 3 * c3 * d0;
    if (!(disc >= 0)) return 0.5;
    const double x = (-c2 - std::copysign(std::sqrt(disc), c2)) / (3 * c3);
    return x > 0 && x < 1 ? x : d0 / (3 * c3 * x);  // the other root
}

// Whether bending in the direction of the axis never produces the other
// moment: every slab's chord has its centre on the axis, and the bars at each
// level balance about it. Then the branches are the paths at θ and θ + π.
bool balanced(const SectionData& s, const Frame& f) {
    const double tol = 1e-10 * s.size * s.size;
    for (const Slab& sl : f.slabs) {
        const double t = sl.hi - sl.lo;
        for (double x : {0.0, t / 2, t})
            if (std::fabs(sl.s0 + sl.s1 * x + sl.s2 * x * x) > tol) return false;
    }
    std::vector<std::size_t> order(f.bar_u.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return f.bar_u[a] < f.bar_u[b]; });
    const double level_tol = 1e-9 * s.size;
    for (std::size_t i = 0; i < order.size();) {
        double moment = 0, area = 0;
        std::size_t j = i;
        for (; j < order.size() && f.bar_u[order[j]] - f.bar_u[order[i]] <= level_tol; ++j) {
            moment += s.bar_area[order[j]] * f.bar_v[order[j]];
            area += s.bar_area[order[j]];
        }
        if (std::fabs(moment) > 1e-9 * area * s.size) return false;
        i = j;
    }
    return true;
}

// Both branches as one closed curve of t in [0, 2L]: the positive one from the
// tension end to the squash end, then the negative one back.
Domain balanced_domain(const SectionData& s, Axis axis, std::size_t points) {
    Frame up, down;
    up.build(s, positive_angle(axis));
    down.build(s, positive_angle(axis) + kPi);
    const double L = 3 - s.p_start;
    auto eval = [&](double t) {
        const bool first = t <= L;
        const Frame& f = first ? up : down;
        const Plane1D pl = path_plane(s, f, first ? s.p_start + t : 3 - (t - L));
        return hit_of(f, pl, forces(s, f, pl.eps_top, pl.kappa));
    };
    // Start from the ends of the path's regions, each cut in four.
    std::vector<double> ts;
    for (int branch = 0; branch < 2; ++branch)
        for (double p = s.p_start; p < 3; p += 1)
            for (int k = 0; k < 4; ++k) ts.push_back(branch * L + (p - s.p_start) + k / 4.0);
    ts.push_back(2 * L);
    std::vector<Hit> first;
    double lo = 0, hi = 0;
    for (double t : ts) {
        first.push_back(eval(t));
        lo = std::min(lo, along(axis, first.back().M)), hi = std::max(hi, along(axis, first.back().M));
    }
    const double sx = s.N_max - s.N_min, sy = hi - lo > 0 ? hi - lo : s.moment_scale;
    auto deviation = [&](const Hit& a, const Hit& m, const Hit& b) {
        return chord_distance(a.N, along(axis, a.M), m.N, along(axis, m.M), b.N, along(axis, b.M), sx, sy);
    };
    auto same = [&](const Hit& a, const Hit& b) { return a.N == b.N && along(axis, a.M) == along(axis, b.M); };
    // Along pivot A the forces stay those of all steel yielded for a while:
    // repeated points count once, and are dropped. One more point is asked
    // for than needed, as the last point repeats the first.
    const auto samples =
        refine<Hit>(ts, std::move(first), eval, deviation, points + 2, kOutlineTolerance, kMostSamples, same);
    std::vector<const Hit*> kept;
    kept.reserve(samples.size());
    for (std::size_t i = 0; i + 1 < samples.size(); ++i)
        if (kept.empty() || !same(samples[i], *kept.back())) kept.push_back(&samples[i]);
    // The path's end comes back to its start through the same yielded states.
    while (kept.size() > 1 && same(*kept.back(), *kept.front())) kept.pop_back();
    kept.push_back(kept.front());
    Domain d;
    d.axis = axis;
    d.points.reserve(kept.size());
    for (const Hit* h : kept)
        d.points.push_back({h->N / 1e3, along(axis, h->M) / 1e6, state_without_bars(s, h->point())});
    return d;
}

// ---- sections without that balance: the slice found level by level in N ----

// Where a point's path carried N and, when its search gave them, the rates
// of its direction and path parameter with N.
struct Seed {
    PathStart start;
    std::optional<Slice::Drift> drift;
};

// The two points of the slice at N where the other moment vanishes.
struct Level {
    double N = 0;
    Hit up, down;  // larger and smaller moment along the axis
    // The slopes dM/dN of the domain's outline at each point (mm), when the
    // search that found it gave them.
    std::optional<double> up_slope, down_slope;
    Seed up_seed, down_seed;
    // An end of the domain (one point, up and down alike), whose N bounds
    // the whole outline.
    bool end = false;
};

// The branch of a level: its larger (sign +1) or smaller (−1) moment.
const Hit& branch_hit(const Level& l, int sign) { return sign > 0 ? l.up : l.down; }
const Seed& branch_seed(const Level& l, int sign) { return sign > 0 ? l.up_seed : l.down_seed; }
const std::optional<double>& branch_slope(const Level& l, int sign) { return sign > 0 ? l.up_slope : l.down_slope; }

// Whether two points of the outline are one, to 1e-12 of N's range and of
// the section's moment: one branch may stay at a corner of the domain while
// the other moves on.
bool same_point(const SectionData& s, Axis axis, const Hit& a, const Hit& b) {
    return std::fabs(a.N - b.N) <= 1e-12 * (s.N_max - s.N_min) &&
           std::fabs(along(axis, a.M) - along(axis, b.M)) <= 1e-12 * s.moment_scale;
}

// Each new level lies between two levels next to each other in the domain's
// order (or a level and an end), and each of its points between theirs in
// N: the outline's two branches keep their order however far a point lies
// from the N asked for.
class Crossings {
public:
    // A point found on the outline, with where its path carries N, the rates
    // of its direction and path parameter along the outline per newton, and
    // the outline's slope dM/dN.
    struct OutlinePoint {
        Hit hit;
        Seed seed;
        std::optional<double> slope;  // dM/dN of the outline
    };

    Crossings(const SectionData& s, Axis axis) : s_(s), axis_(axis), slice_(s, s.N_min) {}

    // The slice at N, its storage reused from one level to the next.
    Slice& slice_at(double N) {
        slice_.reset(N);
        return slice_;
    }

    // The level at N between the levels `before` and `after`, next to each
    // other in the outline's order, or the first level when there are none.
    // Empty when the slice at N does not reach the axis.
    std::optional<Level> at(double N, const Level* before = nullptr, const Level* after = nullptr) {
        if (before && after)
            if (std::optional<Level> level = continued(N, *before, *after)) return level;
        if (std::optional<Level> level = before && after ? bracketed(N, *before, *after) : from_centre(N)) return level;
        Slice& slice = slice_at(N);
        auto f = [&](double th) { return across(axis_, slice.at(th).M); };
        // The other moment is largest a quarter turn after the positive branch.
        double th_max = positive_angle(axis_) + (axis_ == Axis::My ? kPi / 2 : -kPi / 2);
        double th_min = th_max + kPi;
        double f_max = f(th_max), f_min = f(th_min);
        if (f_max <= 0) std::tie(th_max, f_max) = extreme(slice, th_max, +1);
        if (f_min >= 0) std::tie(th_min, f_min) = extreme(slice, th_min, -1);
        if (f_max < 0 || f_min > 0) return std::nullopt;
        const double xtol = 1e-13, ftol = 1e-13 * s_.moment_scale;
        double a = th_min, b = th_max;
        while (b < a) b += 2 * kPi;
        while (b - a > 2 * kPi) b -= 2 * kPi;
        const double r1 = brent_root(f, a, b, f_min, f_max, xtol, ftol);
        double c = th_min;
        while (c < b) c += 2 * kPi;
        while (c - b > 2 * kPi) c -= 2 * kPi;
        const double r2 = brent_root(f, b, c, f_max, f_min, xtol, ftol);
        return from_directions(slice, r1, r2);
    }

    // The crossings at N where the rays do not settle (the slice only just
    // reaches the axis and the rays meet it at a grazing angle): each a
    // change of sign of the other moment along the slice, within a bracket
    // of directions around the one predicted from the levels found, widened
    // until it holds one. Empty when the two brackets do not give two
    // distinct crossings.
    std::optional<Level> bracketed(double N, const Level& a, const Level& b) {
        if (a.end && b.end) return std::nullopt;
        Slice& slice = slice_at(N);
        auto f = [&](double th) { return across(axis_, slice.at(th).M); };
        const double xtol = 1e-13, ftol = 1e-13 * s_.moment_scale;
        auto near = [&](double theta) -> std::optional<double> {
            for (double half = 0.05; half < kPi / 2; half *= 2) {
                const double a = theta - half, b = theta + half, fa = f(a), fb = f(b);
                if ((fa < 0) != (fb < 0)) return brent_root(f, a, b, fa, fb, xtol, ftol);
            }
            return std::nullopt;
        };
        const std::optional<double> r1 = near(predict(a, b, +1, N).first);
        if (!r1) return std::nullopt;
        const std::optional<double> r2 = near(predict(a, b, -1, N).first);
        if (!r2 || !(std::fabs(std::remainder(*r1 - *r2, 2 * kPi)) > 1e-9)) return std::nullopt;
        const Level l = from_directions(slice, *r1, *r2);
        if (!(along(axis_, l.up.M) > along(axis_, l.down.M))) return std::nullopt;
        return l;
    }

    // The crossings at N found from a point inside the slice on the axis:
    // the foot on the axis of the slice's centre, inside when the ray from
    // the centre towards the axis reaches it (the slice is convex); then the
    // rays along the axis either way. Empty when the foot lies outside or a
    // search does not settle.
    std::optional<Level> from_centre(double N) {
        Slice& slice = slice_at(N);
        const Moment centre = slice.centre();
        const double off = across(axis_, centre);
        const Moment foot = axis_ == Axis::My ? Moment{centre.My, 0} : Moment{0, centre.Mz};
        if (std::fabs(off) > 1e-9 * s_.moment_scale) {
            const Moment towards =
                axis_ == Axis::My ? Moment{0, off > 0 ? -1.0 : 1.0} : Moment{off > 0 ? -1.0 : 1.0, 0};
            const std::optional<Hit> edge = slice.ray(centre, towards, std::atan2(towards.Mz, towards.My));
            if (!edge || !(std::fabs(across(axis_, edge->M) - off) > std::fabs(off))) return std::nullopt;
        }
        const Moment t = axis_ == Axis::My ? Moment{1, 0} : Moment{0, 1};
        Level l;
        l.N = N;
        const std::optional<Hit> up = slice.ray(foot, t, positive_angle(axis_));
        if (!up) return std::nullopt;
        l.up = *up;
        keep_ray(slice, l.up_seed, l.up_slope, +1);
        const std::optional<Hit> down = slice.ray(foot, {-t.My, -t.Mz}, positive_angle(axis_) + kPi);
        if (!down) return std::nullopt;
        l.down = *down;
        keep_ray(slice, l.down_seed, l.down_slope, -1);
        return l;
    }

    // The crossings at N continued from the levels a and b on either side
    // (one of them may be an end). Each is sought first on the outline
    // itself, from the point predicted from those levels (direction and path
    // parameter), with N left free; failing that, by the ray along the axis
    // from the slice's middle, started from the prediction and then from the
    // nearest level's own point. Each point lies between the same branch's
    // points of a and b in N. Empty when a ray does not settle or a crossing
    // lies on the wrong side of the middle.
    std::optional<Level> continued(double N, const Level& a, const Level& b) {
        if (a.end && b.end) return std::nullopt;
        Level l;
        for (const int sign : {+1, -1}) {
            Hit& hit = sign > 0 ? l.up : l.down;
            Seed& seed = sign > 0 ? l.up_seed : l.down_seed;
            std::optional<double>& slope = sign > 0 ? l.up_slope : l.down_slope;
            const Hit &lower = branch_hit(a, sign), &upper = branch_hit(b, sign);
            // The branch stays at one point between a and b: so does this level.
            if (same_point(s_, axis_, lower, upper)) {
                const Level& from = a.end ? b : a;
                hit = lower, seed = branch_seed(from, sign), slope = branch_slope(from, sign);
                continue;
            }
            // The branch's own points of the levels on either side may lie
            // off the levels' N, even beyond N: this one is asked for at N
            // kept within the middle of the way between them.
            const double near_a = lower.N + 0.1 * (upper.N - lower.N), near_b = upper.N - 0.1 * (upper.N - lower.N);
            const double N_branch = std::clamp(N, std::min(near_a, near_b), std::max(near_a, near_b));
            const auto [theta, start] = predict(a, b, sign, N_branch);
            if (const std::optional<OutlinePoint> o = towards(N_branch, theta, start.p, lower.N, upper.N);
                o && sign * (along(axis_, o->hit.M) - middle(o->hit.N, a, b)) > 0) {
                hit = o->hit, seed = o->seed, slope = o->slope;
                continue;
            }
            // A prediction that overshoots (near the domain's ends, where the
            // crossings move fast with N) is retried from the nearest level's
            // own point.
            const double m = middle(N_branch, a, b);
            const Moment c = axis_ == Axis::My ? Moment{m, 0} : Moment{0, m};
            const Moment t = axis_ == Axis::My ? Moment{1.0 * sign, 0} : Moment{0, 1.0 * sign};
            const Level& nearest = b.end || (!a.end && N - a.N <= b.N - N) ? a : b;
            Slice& slice = slice_at(N_branch);
            std::optional<Hit> h = slice.ray_from(c, t, theta, start);
            if (!h) h = slice.ray_from(c, t, branch_hit(nearest, sign).theta, branch_seed(nearest, sign).start);
            if (!h || !(sign * (along(axis_, h->M) - m) > 0)) return std::nullopt;
            hit = *h;
            keep_ray(slice, seed, slope, sign);
        }
        l.N = (l.up.N + l.down.N) / 2;  // where the level lies, for the samples' order
        return l;
    }

    // The middle of the slice at N along the axis, on the line between the
    // middles of the levels a and b (an end's being its point).
    double middle(double N, const Level& a, const Level& b) const {
        auto mid = [&](const Level& l) { return (along(axis_, l.up.M) + along(axis_, l.down.M)) / 2; };
        return b.N != a.N ? mid(a) + (N - a.N) * (mid(b) - mid(a)) / (b.N - a.N) : mid(a);
    }

    // A point of the outline near N, from the predicted direction and path
    // parameter: the outline's nearest point, and when that lies more than
    // halfway towards a bound of N (lo, hi), a step on along the outline's
    // tangent to N and back onto it. Taken when it lies short of either bound
    // by a tenth of the way from N: the samples stay in order and apart.
    std::optional<OutlinePoint> towards(double N, double theta, double p, double lo, double hi) {
        auto within = [&](const Hit& h, double share) {
            return h.N > N - share * (N - lo) && h.N < N + share * (hi - N);
        };
        std::optional<OutlinePoint> o = on_outline(theta, p);
        if (o && !within(o->hit, 0.5) && o->seed.drift) {
            const double dN = N - o->hit.N;
            o = on_outline(o->hit.theta + o->seed.drift->theta * dN, o->seed.start.p + o->seed.drift->p * dN);
        }
        if (o && !within(o->hit, 0.9)) return std::nullopt;
        return o;
    }

    // A point of the outline (the other moment A = 0 on the surface of
    // ultimate states) near the direction theta and path parameter p:
    // Newton's steps on A alone, each the shortest that A's linear model asks
    // for in (θ, p), so that N is left free and the steps stay well
    // conditioned where the outline runs along a slice (near the domain's
    // ends). The last step is taken without integrating when a linear model,
    // or the cubics along the last two points' line, give the point to 1e-11.
    // With the point: where its path carries N, the rates of θ and p along
    // the outline per newton, and the outline's slope. Empty when the steps
    // do not settle.
    std::optional<OutlinePoint> on_outline(double theta, double p) {
        constexpr int kSteps = 6;
        const double scale = s_.moment_scale;
        const Moment normal = axis_ == Axis::My ? Moment{1, 0} : Moment{0, -1};  // cross(normal, M) = A
        double previous = 0;
        Evaluated last, now;
        for (int step = 0; step < kSteps; ++step) {
            if (!(p >= s_.p_start && p <= 3) || !std::isfinite(theta)) return std::nullopt;
            if (frame_.slabs.empty() || frame_.theta != theta) frame_.build(s_, theta);
            const PathForces pf = path_forces(s_, frame_, p);
            now = {theta, p, pf, hit_of(frame_, pf.plane, pf.F), mark(frame_)};
            const double A = across(axis_, now.hit.M) / scale;
            const double A_theta = across(axis_, {pf.My_theta, pf.Mz_theta}) / scale;
            const double A_p = across(axis_, {pf.My_p, pf.Mz_p}) / scale;
            const double g2 = A_theta * A_theta + A_p * A_p;
            if (!(g2 > 0) || !std::isfinite(g2)) return std::nullopt;
            double d_theta = -A * A_theta / g2, d_p = -A * A_p / g2;
            OutlinePoint out{now.hit, {}, {}};
            bool settled = std::fabs(A) <= 1e-13;
            if (!settled) {
                settled =
                    land(s_, frame_, pf, theta, p, {d_theta, d_p, std::fabs(A), previous}, kOutlineLanding, out.hit);
                if (!settled && step > 0)
                    if (const std::optional<Landing> l = land_on_line(s_, frame_, last, now, normal, kOutlineLanding))
                        out.hit = l->hit, d_theta = l->hit.theta - theta, d_p = l->p - p, settled = true;
            } else {
                d_theta = d_p = 0;
            }
            if (settled) {
                // Along the outline (θ, p) moves as (A_p, −A_θ), and N at the rate D.
                const double D = pf.N_theta * A_p - pf.N_p * A_theta;
                out.seed.start = {p + d_p, pf.N_p};
                if (std::fabs(D) > 0 && std::isfinite(D)) {
                    const double M_rate =
                        along(axis_, {pf.My_theta, pf.Mz_theta}) * A_p - along(axis_, {pf.My_p, pf.Mz_p}) * A_theta;
                    out.seed.drift = Slice::Drift{A_p / D, -A_theta / D, 0};  // no ray: the slope apart
                    out.slope = M_rate / D;
                }
                return out;
            }
            previous = std::max(std::fabs(d_theta), std::fabs(d_p));
            theta += d_theta, p += d_p;
            last = now;
        }
        return std::nullopt;
    }

    // The largest (sign +1) or smallest (−1) other moment of the slice at N, near a direction.
    std::pair<double, double> extreme(Slice& slice, double around, int sign) {
        auto g = [&](double th) { return -sign * across(axis_, slice.at(th).M); };
        const auto [th, v] = brent_min(g, around - kPi / 2, around + kPi / 2, 1e-10);
        return {th, -sign * v};
    }

    // The tangent point at the end of the slice nearer a pole whose other
    // moment is `pole_other` ≠ 0: where the slice at N first touches the axis,
    // searched between N_pole and the level `in`.
    Hit tangent(double N_pole, const Level& in, double pole_other) {
        const double N_in = in.N;
        const int sign = pole_other < 0 ? +1 : -1;
        const double guess = positive_angle(axis_) + (axis_ == Axis::My ? kPi / 2 : -kPi / 2) + (sign > 0 ? 0 : kPi);
        if (std::optional<Hit> h = extreme_over_directions(N_pole, N_in, guess)) return *h;
        if (std::optional<Hit> h = marched(N_pole, in)) return *h;
        auto F = [&](double N) { return extreme(slice_at(N), guess, sign).second * sign; };
        const double a = std::min(N_pole, N_in), b = std::max(N_pole, N_in);
        const double Fa = N_pole < N_in ? pole_other * sign : F(a), Fb = N_pole < N_in ? F(b) : pole_other * sign;
        const double N = brent_root(F, a, b, Fa, Fb, 1e-12 * (s_.N_max - s_.N_min), 0);
        Slice& slice = slice_at(N);
        return slice.at(extreme(slice, guess, sign).first);
    }

private:
    // A direction in (θ, p).
    struct Vec {
        double theta, p;
    };
    static double dot(Vec a, Vec b) { return a.theta * b.theta + a.p * b.p; }

    // The unit direction along the outline at o in which N grows; empty at
    // an extreme of N.
    static std::optional<Vec> growing(const OutlinePoint& o) {
        if (!o.seed.drift) return std::nullopt;
        const double n = std::hypot(o.seed.drift->theta, o.seed.drift->p);
        if (!(n > 0) || !std::isfinite(n)) return std::nullopt;
        return Vec{o.seed.drift->theta / n, o.seed.drift->p / n};
    }

    // The tangent end found by following the outline from the level `from`
    // towards N_pole: steps along its tangent in (θ, p), each brought back
    // onto it, until N stops moving towards the pole; then the point between
    // the last two where N's rate along the outline changes sign, by regula
    // falsi (Illinois) along the chord between them, each point brought back
    // onto the outline. An end at a kink, where that rate jumps across zero,
    // is the limit of the bracket. Empty when a step does not settle.
    std::optional<Hit> marched(double N_pole, const Level& from) {
        const double toward = N_pole < from.N ? -1 : 1;
        std::optional<OutlinePoint> a = on_outline(from.up.theta, from.up_seed.start.p);
        if (!a) return std::nullopt;
        std::optional<Vec> grow = growing(*a);
        if (!grow) return a->hit;
        Vec travel{toward * grow->theta, toward * grow->p};
        double h = 0.05;
        constexpr int kSteps = 80;
        for (int step = 0; step < kSteps; ++step) {
            const std::optional<OutlinePoint> b =
                on_outline(a->hit.theta + h * travel.theta, a->seed.start.p + h * travel.p);
            const Vec moved{b ? b->hit.theta - a->hit.theta : 0, b ? b->seed.start.p - a->seed.start.p : 0};
            if (!b || !(dot(moved, travel) > 0)) {
                if ((h /= 2) < 1e-9) return std::nullopt;
                continue;
            }
            grow = growing(*b);
            if (!grow) return b->hit;
            const double along_travel = dot(*grow, travel);
            const Vec next{along_travel > 0 ? grow->theta : -grow->theta, along_travel > 0 ? grow->p : -grow->p};
            // Still moving towards the pole: N grows along the travel as `toward`.
            if (toward * along_travel > 0 && toward * (b->hit.N - a->hit.N) > 0) {
                a = b, travel = next, h = std::min(2 * h, 0.2);
                continue;
            }
            return extreme_between(*a, *b, toward);
        }
        return std::nullopt;
    }

    // The point of the outline between a and b (N moving towards the pole
    // at a, away from it at b) where N is extreme.
    std::optional<Hit> extreme_between(OutlinePoint a, OutlinePoint b, double toward) {
        const double d_theta = b.hit.theta - a.hit.theta, d_p = b.seed.start.p - a.seed.start.p;
        // N's rate along the chord, positive towards the pole (0 at an extreme).
        auto rate = [&](const OutlinePoint& o) {
            const std::optional<Vec> grow = growing(o);
            return grow ? toward * dot(*grow, {d_theta, d_p}) : 0.0;
        };
        double la = 0, lb = 1, ga = rate(a), gb = rate(b);
        int same_side = 0;
        for (int k = 0; k < 40; ++k) {
            if (!(ga > 0) || !(gb < 0)) break;
            if ((lb - la) * std::hypot(d_theta, d_p) <= 1e-10) break;
            double l = la + ga * (lb - la) / (ga - gb);
            if (!(l > la && l < lb)) l = (la + lb) / 2;
            const std::optional<OutlinePoint> o = on_outline(a.hit.theta + l * d_theta, a.seed.start.p + l * d_p);
            if (!o) break;
            const double g = rate(*o);
            if (g == 0) return o->hit;
            if (g > 0) {
                la = l, ga = g, a = *o;
                if (++same_side >= 2) gb /= 2, same_side = 0;
            } else {
                lb = l, gb = g, b = *o;
                if (--same_side <= -2) ga /= 2, same_side = 0;
            }
        }
        return toward * (a.hit.N - b.hit.N) > 0 ? a.hit : b.hit;
    }

    // A point of the ultimate surface with the other moment A (in units of
    // the section's moment), its rates, and S = A_θ·N_p − A_p·N_θ.
    struct Point {
        double A = 0, S = 0, A_theta = 0, A_p = 0;
        Hit hit;
        Frame::Fibres fibres;
        PathForces pf;
    };
    Point surface_point(double theta, double p) {
        if (frame_.slabs.empty() || frame_.theta != theta) frame_.build(s_, theta);
        const PathForces pf = path_forces(s_, frame_, p);
        const double range = s_.N_max - s_.N_min, scale = s_.moment_scale;
        Point out;
        out.hit = hit_of(frame_, pf.plane, pf.F);
        out.A = across(axis_, out.hit.M) / scale;
        out.A_theta = across(axis_, {pf.My_theta, pf.Mz_theta}) / scale;
        out.A_p = across(axis_, {pf.My_p, pf.Mz_p}) / scale;
        out.S = out.A_theta * pf.N_p / range - out.A_p * pf.N_theta / range;
        out.fibres = frame_.fibres();
        out.pf = pf;
        return out;
    }

    // The crossing of the axis (A = 0) by the path at theta, with the rate
    // at which its N moves as θ turns, N_θ − N_p·A_θ/A_p (newtons per
    // radian), from the exact rates of the same integration.
    struct Crossing {
        double theta = 0, p = 0, rate = 0;
        Point x;
        double estimated = 0;  // the step along p an estimate took (0 when exact)
    };
    Crossing crossing_of(double theta, double p, const Point& x, double estimated = 0) const {
        return {theta, p, -x.S * (s_.N_max - s_.N_min) / x.A_p, x, estimated};
    }
    // Where A changes sign along a path: A < 0 at lo when rising.
    struct Bracket {
        double lo = 0, hi = 0;
        bool rising = true;
    };

    // The crossing of the path at theta near p: Newton's steps in p with A's
    // exact rate, the last one taken from its linear model when that is
    // exact enough (`previous`: the size of the step that led to p, for the
    // model's curvature). Within a bracket when one is known, bisecting when
    // a step leaves it. Empty when the steps do not settle.
    std::optional<Crossing> crossing_at(double theta, double p, double previous, std::optional<Bracket> b = {}) {
        Point x = surface_point(theta, p);
        for (int step = 0; std::fabs(x.A) > 1e-12; ++step) {
            if (step == (b ? 60 : 8)) return std::nullopt;
            double d_p = -x.A / x.A_p;
            if (b) {
                ((x.A < 0) == b->rising ? b->lo : b->hi) = p;
                if (!(p + d_p > b->lo && p + d_p < b->hi)) d_p = (b->lo + b->hi) / 2 - p;
                if (b->hi - b->lo <= 1e-15) break;
            } else if (!std::isfinite(d_p)) {
                return std::nullopt;
            }
            if (land(s_, frame_, x.pf, theta, p, {0, d_p, std::fabs(x.A), previous}, kOutlineLanding, x.hit)) {
                p += d_p;
                break;
            }
            previous = std::fabs(d_p);
            p = std::clamp(p + d_p, s_.p_start, 3.0);
            x = surface_point(theta, p);
        }
        if (!(x.A_p != 0) || !std::isfinite(x.A_p)) return std::nullopt;
        return crossing_of(theta, p, x);
    }

    // The crossing at theta from a known one, p moved along the outline's
    // tangent; estimated from one integration when the step that A's linear
    // model then asks for is small: N and the moments moved along it, their
    // error of the step's square. Otherwise Newton's steps from there, or
    // from the known p itself (the tangent may reach into the flat start of
    // the path).
    std::optional<Crossing> crossing_near(const Crossing& from, double theta) {
        const double p = std::clamp(from.p - from.x.A_theta / from.x.A_p * (theta - from.theta), s_.p_start, 3.0);
        Point x = surface_point(theta, p);
        const double d_p = -x.A / x.A_p;
        if (std::fabs(d_p) <= 1e-4 && p + d_p >= s_.p_start && p + d_p <= 3) {
            x.hit.N += x.pf.N_p * d_p;
            x.hit.M.My += x.pf.My_p * d_p, x.hit.M.Mz += x.pf.Mz_p * d_p;
            x.A = 0;
            return crossing_of(theta, p + d_p, x, std::fabs(d_p));
        }
        const double moved = std::fabs(theta - from.theta);
        if (std::isfinite(d_p))
            if (std::optional<Crossing> c = crossing_at(theta, std::clamp(p + d_p, s_.p_start, 3.0), moved)) return c;
        return crossing_at(theta, from.p, moved);
    }

    // The crossings on either side of a kink at theta, each from a known
    // crossing on its side: a billionth of a radian away, far enough for
    // each side's extreme fibres to win. Empty when one is not found.
    struct Sides {
        Crossing below, above;
    };
    std::optional<Sides> beside_kink(double theta, const Crossing& from_below, const Crossing& from_above) {
        constexpr double kSide = 1e-9;
        const std::optional<Crossing> below = crossing_near(from_below, theta - kSide);
        const std::optional<Crossing> above = crossing_near(from_above, theta + kSide);
        if (!below || !above) return std::nullopt;
        return Sides{*below, *above};
    }

    // The tangent end as the extreme of N over the directions of bending:
    // near the end each direction's path crosses the axis once, and that
    // crossing's N, a function of θ, is extreme at the end. The search starts
    // at the direction of the extreme, its crossing bracketed by the tabled
    // path's points (first from the pole). That direction is often a kink of
    // the surface (edges parallel to the axis change the extreme fibre), and
    // there the slice may turn inwards a little (the domain is only nearly
    // convex): N can then grow towards the pole on both sides, and both are
    // searched. Empty when a crossing is not found or the end lies outside
    // [N_pole, N_in].
    std::optional<Hit> extreme_over_directions(double N_pole, double N_in, double guess) {
        const double toward = N_pole < N_in ? -1 : 1;
        const auto d = static_cast<std::size_t>(std::lround(guess / (kPi / 2))) % SectionData::kTabledDirections;
        const SectionData::PathTable& t = s_.paths[d];
        auto A_at = [&](std::size_t k) { return across(axis_, {t.My[k], t.Mz[k]}) / s_.moment_scale; };
        std::optional<Bracket> start;
        double p0 = 0;
        for (std::size_t j = 1; j < t.N.size() && !start; ++j) {
            const std::size_t k = toward < 0 ? j : t.N.size() - 1 - j, prev = toward < 0 ? k - 1 : k + 1;
            const std::size_t low = std::min(k, prev), high = std::max(k, prev);
            const double a = A_at(low), b = A_at(high);
            if ((a < 0) == (b < 0)) continue;
            start = Bracket{t.p[low], t.p[high], a < 0};
            p0 = t.p[low] + a / (a - b) * (t.p[high] - t.p[low]);
        }
        if (!start) return std::nullopt;
        const std::optional<Crossing> first = crossing_at(guess, p0, 0, start);
        if (!first) return std::nullopt;
        std::optional<Crossing> best;
        auto keep = [&](const std::optional<Crossing>& c) {
            if (c && (!best || toward * (c->x.hit.N - best->x.hit.N) > 0)) best = c;
        };
        constexpr double kNear = 1e-9;  // radians
        frame_.build(s_, guess - kNear);
        const Frame::Fibres before = frame_.fibres();
        frame_.build(s_, guess + kNear);
        if (fibre_change(guess - kNear, before, guess + kNear, frame_.fibres(), 1e-9 * s_.size)) {
            const std::optional<Sides> sides = beside_kink(guess, *first, *first);
            if (!sides) return std::nullopt;
            keep(sides->below), keep(sides->above);
            if (toward * sides->below.rate < 0) keep(extreme_from(sides->below, -1, toward));
            if (toward * sides->above.rate > 0) keep(extreme_from(sides->above, 1, toward));
        } else {
            keep(first);
            keep(extreme_from(*first, toward * first->rate > 0 ? 1 : -1, toward));
        }
        const std::optional<Crossing> end =
            best->estimated == 0 ? best : crossing_at(best->theta, best->p, best->estimated);
        if (!end || !(end->x.hit.N >= std::min(N_pole, N_in) && end->x.hit.N <= std::max(N_pole, N_in)))
            return std::nullopt;
        return end->x.hit;
    }

    // The extreme of the crossings' N from one of them, turning θ in the
    // direction `dir` (±1) in which N moves towards the pole (`toward`, the
    // sign of that move in N). Growing steps bracket it; then the secant on
    // N's rate closes in, or the cubic through the bracket's N and rates
    // when the secant leaves it, or where the tangents meet once the steps
    // keep landing on one side (the rate jumps there: a bar yielding). A
    // kink (an extreme fibre changing) inside the bracket is the extreme
    // when the rate changes sign across it. The search stops when what N
    // could still gain within the bracket is below 1e-8 of its range. Empty
    // when no bracket is found.
    std::optional<Crossing> extreme_from(const Crossing& from, double dir, double toward) {
        const double range = s_.N_max - s_.N_min;
        // g > 0: N moves towards the pole as θ grows.
        auto g = [&](const Crossing& c) { return toward * c.rate; };
        auto towards_pole = [&](const Crossing& c) { return toward * c.x.hit.N; };
        // Bracketing: lo below hi in θ, g(lo) > 0 > g(hi).
        Crossing lo = from, hi = from;
        double h = 0.02;
        bool bracketed = false;
        for (int step = 0; step < 16 && !bracketed; ++step) {
            const std::optional<Crossing> next = crossing_near(lo, lo.theta + dir * h);
            if (!next) {
                h /= 4;
                continue;
            }
            if (dir * g(*next) < 0 || towards_pole(*next) <= towards_pole(lo))
                hi = *next, bracketed = true;
            else
                lo = *next, h = std::min(2 * h, 0.5);
        }
        if (!bracketed) return std::nullopt;
        // The last two directions evaluated, for the secant.
        Crossing recent = hi, earlier = lo;
        if (dir < 0) std::swap(lo, hi);
        int same_side = 0;
        for (int step = 0; step < 40; ++step) {
            if (const std::optional<double> kink =
                    fibre_change(lo.theta, lo.x.fibres, hi.theta, hi.x.fibres, 1e-9 * s_.size)) {
                const std::optional<Sides> sides = beside_kink(*kink, lo, hi);
                if (!sides) break;
                const Crossing &below = sides->below, &above = sides->above;
                if (g(below) > 0 && g(above) < 0) {
                    lo = below, hi = above;
                    break;
                }
                if (g(below) <= 0)
                    hi = below;  // the extreme lies before the kink
                else
                    lo = above;  // or after it
                earlier = below, recent = above, same_side = 0;
                continue;
            }
            const double width = hi.theta - lo.theta, g_lo = g(lo), g_hi = g(hi);
            if (!(g_lo > 0) || !(g_hi < 0)) break;
            // Along the tangents at either end N meets above the extreme:
            // what N could still gain within the bracket.
            const double n_lo = towards_pole(lo), n_hi = towards_pole(hi);
            const double meet = (n_hi - n_lo + g_lo * lo.theta - g_hi * hi.theta) / (g_lo - g_hi);
            if (n_lo + g_lo * (meet - lo.theta) - std::max(n_lo, n_hi) <= 1e-8 * range) break;
            const double secant = recent.theta - g(recent) * (recent.theta - earlier.theta) / (g(recent) - g(earlier));
            double theta = std::abs(same_side) >= 3 ? meet
                           : secant > lo.theta && secant < hi.theta
                               ? secant
                               : lo.theta + cubic_peak(n_lo, n_hi, g_lo * width, g_hi * width) * width;
            theta = std::isfinite(theta) ? std::clamp(theta, lo.theta + 0.01 * width, hi.theta - 0.01 * width)
                                         : lo.theta + width / 2;
            const std::optional<Crossing> c = crossing_near(theta - lo.theta < hi.theta - theta ? lo : hi, theta);
            if (!c) break;
            earlier = recent, recent = *c;
            const int side = g(*c) > 0 ? 1 : -1;
            same_side = same_side != 0 && (same_side > 0) == (side > 0) ? same_side + side : side;
            (side > 0 ? lo : hi) = *c;
        }
        return towards_pole(lo) > towards_pole(hi) ? lo : hi;
    }

    // The direction and path start of a branch's point at N from those of
    // the same branch's points of the levels a and b: between two levels
    // with rates the cubic through both values and rates, else the straight
    // line; next to an end the level's tangent.
    static std::pair<double, PathStart> predict(const Level& a, const Level& b, int sign, double N) {
        const Hit& ha = branch_hit(a.end ? b : a, sign);
        const Hit& hb = branch_hit(b.end ? a : b, sign);
        const Seed& sa = branch_seed(a.end ? b : a, sign);
        const Seed& sb = branch_seed(b.end ? a : b, sign);
        const double Na = ha.N, Nb = hb.N;
        const double slope = (N - Na <= Nb - N ? sa : sb).start.slope;
        const double h = Nb - Na;
        if (!(h > 0)) {
            const double d = N - Na;
            if (!sa.drift) return {ha.theta, {sa.start.p, slope}};
            return {ha.theta + sa.drift->theta * d, {sa.start.p + sa.drift->p * d, slope}};
        }
        const double theta_b = ha.theta + std::remainder(hb.theta - ha.theta, 2 * kPi);
        const double s = (N - Na) / h;
        if (!sa.drift || !sb.drift)
            return {ha.theta + s * (theta_b - ha.theta), {sa.start.p + s * (sb.start.p - sa.start.p), slope}};
        const double h00 = (1 + 2 * s) * (1 - s) * (1 - s), h10 = s * (1 - s) * (1 - s);
        const double h01 = s * s * (3 - 2 * s), h11 = s * s * (s - 1);
        auto cubic = [&](double ya, double ra, double yb, double rb) {
            return h00 * ya + h10 * h * ra + h01 * yb + h11 * h * rb;
        };
        return {cubic(ha.theta, sa.drift->theta, theta_b, sb.drift->theta),
                {cubic(sa.start.p, sa.drift->p, sb.start.p, sb.drift->p), slope}};
    }

    // What the ray just solved on the slice leaves for the levels after it:
    // where its path carried N, its rates, and the outline's slope dM/dN
    // there (its rate along the ray, whose direction along the axis is
    // `sign`).
    static void keep_ray(const Slice& slice, Seed& seed, std::optional<double>& slope, double sign) {
        seed = {slice.path_start(), slice.drift()};
        if (seed.drift) slope = sign * seed.drift->along;
    }

    // The level of the slice from the directions of bending of its two
    // crossings, the larger moment along the axis first.
    Level from_directions(Slice& slice, double theta_1, double theta_2) {
        Level l;
        l.N = slice.N();
        l.up = slice.at(theta_1);
        l.up_seed = {slice.path_start(), {}};
        l.down = slice.at(theta_2);
        l.down_seed = {slice.path_start(), {}};
        if (along(axis_, l.up.M) < along(axis_, l.down.M)) {
            std::swap(l.up, l.down);
            std::swap(l.up_seed, l.down_seed);
        }
        return l;
    }

    const SectionData& s_;
    Axis axis_;
    Slice slice_;
    Frame frame_;  // for the tangent points' own searches
};

Domain general_domain(const SectionData& s, Axis axis, std::size_t points) {
    Domain d;
    d.axis = axis;
    Crossings crossings(s, axis);
    // A level whose slice reaches the axis: the middle one, else a scan.
    std::optional<Level> inner;
    for (int k = 0; k < 17 && !inner; ++k) {
        const double frac = k == 0 ? 0.5 : k / 17.0;
        inner = crossings.at(s.N_min + frac * (s.N_max - s.N_min));
    }
    if (!inner) {
        d.outcome = Outcome::NoCrossing;
        return d;
    }
    // The ends: a pole on the axis, or the tangent point of the slice nearest it.
    const double tiny = 1e-9 * s.moment_scale;
    auto end = [&](double N_pole) {
        const Hit pole = crossings.slice_at(N_pole).at(0);
        const double other = across(axis, pole.M);
        if (std::fabs(other) <= tiny) return std::make_pair(N_pole, pole);
        const Hit h = crossings.tangent(N_pole, *inner, other);
        return std::make_pair(h.N, h);
    };
    // Plain variables rather than structured bindings: clang 14 (the fuzz
    // build) cannot capture bindings in the lambda below.
    const std::pair<double, Hit> lower = end(s.N_min), upper = end(s.N_max);
    const double N_lo = lower.first, N_hi = upper.first;
    auto end_level = [](double N, const Hit& h) { return Level{N, h, h, {}, {}, {}, {}, true}; };
    // The level at t between its neighbours a and b in the domain's order.
    auto eval = [&](double t, const Level& a, const Level& b) {
        const double N = N_lo + t * (N_hi - N_lo);
        if (std::optional<Level> level = crossings.at(N, &a, &b)) return *level;
        // Numerically at a tangent point: the slice's extreme there.
        const Hit h = crossings.slice_at(N).at(positive_angle(axis));
        return Level{N, h, h, {}, {}, {}, {}, false};
    };
    // The first levels, 16 steps apart in N: the level found first takes
    // the place of the nearest, and the others are found outwards from it,
    // each between the one before it and the end beyond, so that each is
    // predicted from a neighbour one step away.
    std::vector<double> ts;
    for (int k = 0; k <= 16; ++k) ts.push_back(k / 16.0);
    std::vector<Level> first(ts.size());
    first.front() = end_level(N_lo, lower.second), first.back() = end_level(N_hi, upper.second);
    const double t_inner = (inner->N - N_lo) / (N_hi - N_lo);
    const long k_inner = std::isfinite(t_inner) ? std::lround(t_inner * 16) : 0;
    std::size_t from = 8;
    if (k_inner > 0 && k_inner < 16) {
        from = static_cast<std::size_t>(k_inner), ts[from] = t_inner, first[from] = *inner;
    } else {
        first[from] = eval(ts[from], first.front(), first.back());
    }
    for (std::size_t k = from; k-- > 1;) first[k] = eval(ts[k], first.front(), first[k + 1]);
    for (std::size_t k = from + 1; k + 1 < ts.size(); ++k) first[k] = eval(ts[k], first[k - 1], first.back());
    double lo = 0, hi = 0;
    for (const Level& l : first) lo = std::min({lo, along(axis, l.down.M)}), hi = std::max({hi, along(axis, l.up.M)});
    const double sx = s.N_max - s.N_min, sy = hi - lo > 0 ? hi - lo : s.moment_scale;
    auto deviation = [&](const Level& a, const Level& m, const Level& b) {
        return std::max(
            arc_height(a.up.N, along(axis, a.up.M), m.up.N, along(axis, m.up.M), b.up.N, along(axis, b.up.M), sx, sy),
            arc_height(a.down.N, along(axis, a.down.M), m.down.N, along(axis, m.down.M), b.down.N,
                       along(axis, b.down.M), sx, sy));
    };
    // Between two levels whose rays gave the outline's slopes, the tangents
    // bound both arcs (the domain is convex), and a level is computed only
    // where one is needed. Next to an end, whose N bounds the whole outline,
    // the line of that N takes the place of the end's tangent.
    auto arc_bound = [&](const Hit& a, std::optional<double> ka, bool a_end, const Hit& b, std::optional<double> kb,
                         bool b_end, int side) -> std::optional<double> {
        const double ya = along(axis, a.M), yb = along(axis, b.M);
        if (ka && kb) return tangent_bound(a.N, ya, *ka, b.N, yb, *kb, sx, sy);
        if (a_end && kb) return end_bound(a.N, ya, b.N, yb, *kb, side, sx, sy);
        if (b_end && ka) return end_bound(b.N, yb, a.N, ya, *ka, side, sx, sy);
        return std::nullopt;
    };
    auto bound = [&](const Level& a, const Level& b) -> std::optional<double> {
        const std::optional<double> up = arc_bound(a.up, a.up_slope, a.end, b.up, b.up_slope, b.end, +1);
        if (!up) return std::nullopt;
        const std::optional<double> down = arc_bound(a.down, a.down_slope, a.end, b.down, b.down_slope, b.end, -1);
        if (!down) return std::nullopt;
        return std::max(*up, *down);
    };
    // The points a level adds to the outline: a branch that stays at a
    // corner adds none.
    auto fresh = [&](const Level& a, const Level& b) {
        return std::size_t{!same_point(s, axis, a.up, b.up)} + std::size_t{!same_point(s, axis, a.down, b.down)};
    };
    // As many distinct points as asked for: the first level and two points
    // for each level after it (the last, an end, adding one and the closing
    // point).
    const std::size_t wanted = 2 * ((points + 1) / 2 + 1) - 1;
    const auto levels = refine<Level>(
        ts, std::move(first), eval, deviation, wanted, kOutlineTolerance, kMostSamples, AllDistinct{}, bound,
        [&](const Level& l) { return (l.N - N_lo) / (N_hi - N_lo); }, fresh);
    d.points.reserve(2 * levels.size());
    const Hit* last = nullptr;
    auto add = [&](const Hit& h) {
        if (last && same_point(s, axis, *last, h)) return;
        d.points.push_back({h.N / 1e3, along(axis, h.M) / 1e6, state_without_bars(s, h.point())});
        last = &h;
    };
    for (const Level& l : levels) add(l.up);
    for (std::size_t i = levels.size() - 1; i-- > 1;) add(levels[i].down);
    d.points.push_back(d.points.front());
    return d;
}

}  // namespace

}  // namespace detail

Domain Section::domain(Axis axis, int points) const {
    return ferrolit::detail::public_call([&]() -> Domain {
        detail::require(points >= 4 && points <= 10000, "dominio: il numero di punti deve essere tra 4 e 10000");
        const std::size_t n = static_cast<std::size_t>(points);
        detail::Frame f;
        f.build(*data_, detail::positive_angle(axis));
        return detail::balanced(*data_, f) ? detail::balanced_domain(*data_, axis, n)
                                           : detail::general_domain(*data_, axis, n);
    });
}

}  // namespace ferrolit::analysis
