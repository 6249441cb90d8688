#include "analysis/slice.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/roots.hpp"

namespace ferrolit::analysis::detail {

namespace {

constexpr double kPi = std::numbers::pi;
// Angular accuracy of a ray search (radians).
constexpr double kAngleTolerance = 1e-13;

double cross(Moment a, Moment b) { return a.My * b.Mz - a.Mz * b.My; }

}  // namespace

Hit hit_of(const Frame& f, Plane1D plane, const Forces& F) {
    return {f.theta, plane, {f.My(F.Mu, F.Mv), f.Mz(F.Mu, F.Mv)}, F.N, f.u_top, f.u_bottom};
}

Slice::Slice(const SectionData& s, double N) : s_(s), N_(N) {}

Hit Slice::at(double theta) {
    frame_.build(s_, theta);
    const double p = path_at_N(s_, frame_, N_);
    const Plane1D pl = path_plane(s_, frame_, p);
    return hit_of(frame_, pl, forces(s_, frame_, pl.eps_top, pl.kappa));
}

SectionState Slice::state(const Hit& h) {
    if (frame_.theta != h.theta) frame_.build(s_, h.theta);
    return state_of(s_, frame_, h.plane);
}

Moment Slice::on_ray(const Hit& h, Moment c, Moment t) {
    const double along = (h.M.My - c.My) * t.My + (h.M.Mz - c.Mz) * t.Mz;
    return {c.My + along * t.My, c.Mz + along * t.Mz};
}

// Signed angle from the ray's direction to M(θ) − c.
double Slice::deviation(double theta, Moment c, Moment t, Hit& h) {
    h = at(theta);
    const Moment d{h.M.My - c.My, h.M.Mz - c.Mz};
    return std::atan2(cross(t, d), t.My * d.My + t.Mz * d.Mz);
}

std::optional<Hit> Slice::ray(Moment c, Moment t, double guess) {
    Hit h0, h1, hr;
    auto solve = [&](double a, double b, double ga, double gb) {
        const double root =
            brent_root([&](double th) { return deviation(th, c, t, hr); }, a, b, ga, gb, kAngleTolerance, 0);
        return at(root);
    };
    auto straddle = [](double ga, double gb) {
        return (ga < 0) != (gb < 0) && std::fabs(ga) < kPi / 2 && std::fabs(gb) < kPi / 2;
    };
    double th0 = guess, g0;
    if (first_ && first_->theta == guess) {
        h0 = *first_;
        const Moment d{h0.M.My - c.My, h0.M.Mz - c.Mz};
        g0 = std::atan2(cross(t, d), t.My * d.My + t.Mz * d.Mz);
    } else {
        g0 = deviation(th0, c, t, h0);
    }
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
    // Slow turning (a very flat or eccentric slice): look all around.
    constexpr int kSamples = 72;
    double prev_th = guess, prev_g = deviation(prev_th, c, t, h0);
    for (int k = 1; k <= kSamples; ++k) {
        const double th = guess + 2 * kPi * k / kSamples;
        const double g = deviation(th, c, t, h1);
        if (std::fabs(g) <= kAngleTolerance) return h1;
        if (straddle(prev_g, g)) return solve(prev_th, th, prev_g, g);
        prev_th = th, prev_g = g;
    }
    return std::nullopt;
}

const Slice::Origin& Slice::origin(double guess) {
    if (origin_) return *origin_;
    Origin o;
    // Three points of the slice around M = 0 prove it inside; otherwise the
    // exact test below. The first one starts a ray search in the same direction.
    Moment p[3];
    for (int k = 0; k < 3; ++k) {
        const Hit h = at(guess + k * 2 * kPi / 3);
        if (k == 0) first_ = h;
        p[k] = h.M;
    }
    bool around = true;
    for (int k = 0; k < 3; ++k) around = around && cross(p[k], p[(k + 1) % 3]) > 0;
    o.centre = {(p[0].My + p[1].My + p[2].My) / 3, (p[0].Mz + p[1].Mz + p[2].Mz) / 3};
    double spread = 0;
    for (int k = 0; k < 3; ++k) spread = std::max(spread, std::hypot(p[k].My - o.centre.My, p[k].Mz - o.centre.Mz));
    const double tiny = 1e-9 * s_.moment_scale;
    if (around) {
        o.inside = true;
    } else if (spread <= tiny) {
        o.degenerate = true;
        o.inside = std::hypot(o.centre.My, o.centre.Mz) <= tiny;
    } else {
        // From the centre of the three points (inside the slice) towards M = 0.
        const double dist = std::hypot(o.centre.My, o.centre.Mz);
        if (dist <= tiny) {
            o.inside = true;
        } else {
            const Moment t{-o.centre.My / dist, -o.centre.Mz / dist};
            const std::optional<Hit> h = ray(o.centre, t, std::atan2(t.Mz, t.My));
            o.inside = h && dist <= std::hypot(h->M.My - o.centre.My, h->M.Mz - o.centre.Mz) * (1 + 1e-12);
        }
    }
    origin_ = o;
    return *origin_;
}

}  // namespace ferrolit::analysis::detail
