#pragma once

// Adaptive sampling of a curve: segments are split at their parameter
// midpoint, the one that strays most from its chord first, until every
// segment lies within the tolerance of its chord and there are enough points.
// How far a segment strays is its midpoint's distance from the chord, or,
// where the curve's tangents at both ends give one, a bound on the whole
// segment's distance: then the midpoint is computed only if the segment is
// split, and every sample computed is returned.

#include <algorithm>
#include <cmath>
#include <optional>
#include <queue>
#include <type_traits>
#include <vector>

namespace ferrolit::analysis::detail {

// Distance of m from the chord ab, each coordinate divided by its scale.
inline double chord_distance(double ax, double ay, double mx, double my, double bx, double by, double sx, double sy) {
    const double cx = (bx - ax) / sx, cy = (by - ay) / sy, px = (mx - ax) / sx, py = (my - ay) / sy;
    const double len = std::hypot(cx, cy);
    return len > 0 ? std::fabs(cx * py - cy * px) / len : std::hypot(px, py);
}

// How far the arc through a, m and b strays from its chord at its middle,
// taken as a parabola's: m's distance from the chord over 4f(1 − f), where
// f is how far along the chord m lies (kept within 0.1…0.9), for a curve
// sampled where its points happen to lie rather than at its middle.
inline double arc_height(double ax, double ay, double mx, double my, double bx, double by, double sx, double sy) {
    const double cx = (bx - ax) / sx, cy = (by - ay) / sy, px = (mx - ax) / sx, py = (my - ay) / sy;
    const double len2 = cx * cx + cy * cy;
    const double f = len2 > 0 ? std::clamp((cx * px + cy * py) / len2, 0.1, 0.9) : 0.5;
    return chord_distance(ax, ay, mx, my, bx, by, sx, sy) / (4 * f * (1 - f));
}

// Samples never repeat one another.
struct AllDistinct {
    template <class Sample>
    bool operator()(const Sample&, const Sample&) const {
        return false;
    }
};

// No bound is known: every segment's midpoint is computed.
struct NoBound {
    template <class Sample>
    std::optional<double> operator()(const Sample&, const Sample&) const {
        return std::nullopt;
    }
};

// Each sample holds one point, new unless `same` says it repeats the one
// before.
struct FromSame {};

// Samples lie where they were asked for.
struct AsAsked {
    template <class Sample>
    std::optional<double> operator()(const Sample&) const {
        return std::nullopt;
    }
};

// A bound on how far a convex arc from a to b strays from its chord, from the
// slopes dy/dx of its tangents at both ends (coordinates divided by their
// scales): the arc lies in the triangle of the chord and the two tangents,
// whose apex is the bound. Empty when the slopes do not bend the same way
// (the arc is not convex there, to rounding) or the arc is not a graph over x.
inline std::optional<double> tangent_bound(double ax, double ay, double ka, double bx, double by, double kb, double sx,
                                           double sy) {
    const double h = (bx - ax) / sx;
    if (!(h > 0)) return std::nullopt;
    const double chord = (by - ay) / sy / h;
    const double alpha = ka * sx / sy - chord, beta = chord - kb * sx / sy;
    if (alpha == 0 || beta == 0) return 0.0;
    if ((alpha < 0) != (beta < 0) || !std::isfinite(alpha) || !std::isfinite(beta)) return std::nullopt;
    const double height = alpha * beta * h / (alpha + beta);  // above the chord, along y
    return std::fabs(height) / std::hypot(1.0, chord);
}

// The same bound for an arc from an end of a convex curve to a point b, at
// an end whose line x = ex bounds the whole curve (the curve's extreme in
// x): the arc lies in the triangle of the chord, that line and b's tangent
// (slope kb). `side` is +1 for an arc above its chord, −1 below. Empty when
// the tangent passes on the wrong side of the end (the curve is not convex
// there, to rounding).
inline std::optional<double> end_bound(double ex, double ey, double bx, double by, double kb, int side, double sx,
                                       double sy) {
    const double apex = by + kb * (ex - bx);
    if (!(side * (apex - ey) >= 0) || !std::isfinite(apex)) return std::nullopt;
    return chord_distance(ex, ey, ex, apex, bx, by, sx, sy);
}

// eval(t) gives a sample, or eval(t, a, b) with the samples a and b on either
// side; `first` holds those of the initial parameters;
// deviation(a, m, b) how far the midpoint sample m strays from the chord of
// a and b; same(a, b) whether two samples repeat one point (a run of them
// counts once towards min_samples, and is not split); bound(a, b), when not
// empty, a bound on the distance of the whole arc from a to b from its chord,
// halved to compare with the midpoint's (a parabola's midpoint lies at half
// the height of its tangents' triangle); place(s), when not empty, the
// parameter at which a sample actually lies when eval may return one near
// the parameter asked for (taken when it stays between its neighbours, so
// that later splits fall between the samples as they are); fresh(a, b), for
// samples that hold several points, how many of b's are new after a's (the
// count that min_samples asks for). Returns the samples in order of t.
template <class Sample, class Eval, class Deviation, class Same = AllDistinct, class Bound = NoBound,
          class Place = AsAsked, class Fresh = FromSame>
std::vector<Sample> refine(const std::vector<double>& initial, std::vector<Sample> first, Eval&& eval,
                           Deviation&& deviation, std::size_t min_samples, double tolerance, std::size_t max_samples,
                           Same&& same = {}, Bound&& bound = {}, Place&& place = {}, Fresh&& fresh = {}) {
    auto new_points = [&](const Sample& a, const Sample& b) -> std::size_t {
        if constexpr (std::is_same_v<std::decay_t<Fresh>, FromSame>)
            return same(a, b) ? 0 : 1;
        else
            return fresh(a, b);
    };
    struct Node {
        double t;
        Sample s;
        int next;
        double mid_t;
        Sample mid;
        double dev;
        bool mid_known;
    };
    std::vector<Node> nodes;
    nodes.reserve(std::max(min_samples, initial.size()) * 2);
    for (std::size_t i = 0; i < initial.size(); ++i) {
        double t = initial[i];
        if (const std::optional<double> at = place(first[i]);
            at && i > 0 && i + 1 < initial.size() && *at > nodes.back().t && *at < initial[i + 1])
            t = *at;
        nodes.push_back({t, std::move(first[i]), -1, 0, Sample{}, 0, false});
    }
    const double span = initial.back() - initial.front();
    // The points that differ from the one before them, the first included.
    std::size_t distinct = 1;
    for (std::size_t i = 1; i < nodes.size(); ++i) distinct += new_points(nodes[i - 1].s, nodes[i].s);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry> heap;
    // The sample at t between the samples a and b, when eval takes them.
    auto sample = [&](double t, const Sample& a, const Sample& b) {
        if constexpr (std::is_invocable_v<Eval&, double, const Sample&, const Sample&>)
            return eval(t, a, b);
        else
            return eval(t);
    };
    auto prepare = [&](int i) {
        Node& a = nodes[static_cast<std::size_t>(i)];
        const Node& b = nodes[static_cast<std::size_t>(a.next)];
        a.mid_t = (a.t + b.t) / 2;
        const bool long_enough = (b.t - a.t) > 1e-12 * span;
        if (const std::optional<double> arc = bound(a.s, b.s)) {
            a.mid_known = false;
            a.dev = long_enough ? *arc / 2 : 0.0;
            heap.push({a.dev, i});
            return;
        }
        a.mid = sample(a.mid_t, a.s, b.s);
        a.mid_known = true;
        // A segment too short to split further counts as straight; one whose
        // ends and midpoint are the same point is left alone.
        if (same(a.s, a.mid) && same(a.mid, b.s)) {
            a.dev = -1;
            return;
        }
        a.dev = long_enough ? deviation(a.s, a.mid, b.s) : 0.0;
        heap.push({a.dev, i});
    };
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) nodes[i].next = static_cast<int>(i + 1);
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) prepare(static_cast<int>(i));
    while (!heap.empty() && nodes.size() < max_samples) {
        const auto [dev, i] = heap.top();
        if (dev <= tolerance && distinct >= min_samples) break;
        heap.pop();
        Node& a = nodes[static_cast<std::size_t>(i)];
        if (dev != a.dev || a.dev < 0) continue;  // replaced by a later split
        if (a.dev == 0 && (nodes[static_cast<std::size_t>(a.next)].t - a.t) <= 1e-12 * span) continue;
        if (!a.mid_known) a.mid = sample(a.mid_t, a.s, nodes[static_cast<std::size_t>(a.next)].s), a.mid_known = true;
        const int k = static_cast<int>(nodes.size());
        const Sample& b = nodes[static_cast<std::size_t>(a.next)].s;
        distinct = distinct + new_points(a.s, a.mid) + new_points(a.mid, b) - new_points(a.s, b);
        double t = a.mid_t;
        if (const std::optional<double> at = place(a.mid);
            at && *at > a.t && *at < nodes[static_cast<std::size_t>(a.next)].t)
            t = *at;
        Node m{t, a.mid, a.next, 0, Sample{}, 0, false};
        a.next = k;
        a.dev = -1;
        nodes.push_back(std::move(m));
        prepare(i);
        prepare(k);
    }
    std::vector<Sample> out;
    out.reserve(nodes.size());
    for (int i = 0; i >= 0; i = nodes[static_cast<std::size_t>(i)].next)
        out.push_back(nodes[static_cast<std::size_t>(i)].s);
    return out;
}

}  // namespace ferrolit::analysis::detail
