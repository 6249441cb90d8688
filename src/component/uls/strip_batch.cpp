#include "component/uls/strip_batch.hpp"

#include "core/numeric.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ferrolit::component {

StrainZone strain_zone(const SweepSetup& s, int region, float x) {
    StrainZone z;
    if (region <= 3) {
        // pivot on the steel: the tension-side layer at 5 times the strain of the parabola's top
        z.k = 5.0;
        z.den = double{s.d} - x;
        z.yr = detail::single(double{x} - 0.2 * (double{s.d} - x));
    } else {
        // pivot on the concrete: the compressed edge at 1.75 times that strain
        z.k = 1.75;
        z.den = x;
        z.yr = detail::single(double{x} * 0.015 / 0.035);
    }
    return z;
}

namespace {

// Two points side by side, in double. Every operation is the IEEE operation
// of the scalar code; only the packing differs.
#if defined(__SSE2__)
struct V2 {
    __m128d v;
};
using Mask2 = __m128d;
inline V2 splat(double a) { return {_mm_set1_pd(a)}; }
inline V2 pair(double a, double b) { return {_mm_set_pd(b, a)}; }
inline V2 operator+(V2 a, V2 b) { return {_mm_add_pd(a.v, b.v)}; }
inline V2 operator-(V2 a, V2 b) { return {_mm_sub_pd(a.v, b.v)}; }
inline V2 operator*(V2 a, V2 b) { return {_mm_mul_pd(a.v, b.v)}; }
inline V2 operator/(V2 a, V2 b) { return {_mm_div_pd(a.v, b.v)}; }
// Rounds both values to float, as storing them does, and widens them back.
inline V2 stored(V2 a) { return {_mm_cvtps_pd(_mm_cvtpd_ps(a.v))}; }
inline Mask2 less_equal(V2 a, V2 b) { return _mm_cmple_pd(a.v, b.v); }
inline V2 choose(Mask2 m, V2 a, V2 b) { return {_mm_or_pd(_mm_and_pd(m, a.v), _mm_andnot_pd(m, b.v))}; }
inline V2 ones_where(Mask2 m) { return {_mm_and_pd(m, _mm_set1_pd(1.0))}; }
inline double lane(V2 a, int i) {
    alignas(16) double out[2];
    _mm_store_pd(out, a.v);
    return out[i];
}
#else
struct V2 {
    double v[2];
};
struct Mask2 {
    bool m[2];
};
inline V2 splat(double a) { return {{a, a}}; }
inline V2 pair(double a, double b) { return {{a, b}}; }
inline V2 operator+(V2 a, V2 b) { return {{a.v[0] + b.v[0], a.v[1] + b.v[1]}}; }
inline V2 operator-(V2 a, V2 b) { return {{a.v[0] - b.v[0], a.v[1] - b.v[1]}}; }
inline V2 operator*(V2 a, V2 b) { return {{a.v[0] * b.v[0], a.v[1] * b.v[1]}}; }
inline V2 operator/(V2 a, V2 b) { return {{a.v[0] / b.v[0], a.v[1] / b.v[1]}}; }
inline V2 stored(V2 a) { return {{double{detail::single(a.v[0])}, double{detail::single(a.v[1])}}}; }
inline Mask2 less_equal(V2 a, V2 b) { return {{a.v[0] <= b.v[0], a.v[1] <= b.v[1]}}; }
inline V2 choose(Mask2 m, V2 a, V2 b) { return {{m.m[0] ? a.v[0] : b.v[0], m.m[1] ? a.v[1] : b.v[1]}}; }
inline V2 ones_where(Mask2 m) { return {{m.m[0] ? 1.0 : 0.0, m.m[1] ? 1.0 : 0.0}}; }
inline double lane(V2 a, int i) { return a.v[i]; }
#endif

constexpr int kPairs = kBatchLanes / 2;

// Per-point constants of the strain law, read from memory in the loop.
struct LaneLaw {
    V2 x[kPairs], k[kPairs], den[kPairs], yr[kPairs];
};

// Running sums, kept in registers while the strips run.
struct Sums {
    V2 n[kPairs], m[kPairs], count[kPairs];
};

// One strip at depth y for every point of the batch (see concrete_scalar
// in domain_sweep.cpp for the sequential form). `Select` applies the
// rectangle stress fcd where y <= y_r; without it every point is known to
// be past its y_r. With `Masked`, a point whose depth is above y keeps its
// sums.
template <bool Select, bool Masked>
inline void strip_step(const LaneLaw& law, Sums& sum, V2 y, V2 width, V2 arm, V2 fcd, V2 strip) {
    const V2 two = splat(2.0);
    for (int p = 0; p < kPairs; ++p) {
        const V2 eta = stored(law.k[p] * (law.x[p] - y) / law.den[p]);
        V2 stress = stored(fcd * eta * (two - eta));
        if constexpr (Select) stress = choose(less_equal(y, law.yr[p]), fcd, stress);
        const V2 force = stress * strip * width;
        const V2 n = stored(sum.n[p] + force);
        const V2 m = stored(sum.m[p] + force * arm);
        if constexpr (Masked) {
            const Mask2 active = less_equal(y, law.x[p]);
            sum.n[p] = choose(active, n, sum.n[p]);
            sum.m[p] = choose(active, m, sum.m[p]);
            sum.count[p] = sum.count[p] + ones_where(active);
        } else {
            sum.n[p] = n;
            sum.m[p] = m;
        }
    }
}

struct StripWalk {
    std::int64_t index;
    float y;
    bool stopped = false;
};

// Strips y <= limit for all lanes. Stops (walk.stopped) on the strip limit
// or when y no longer advances.
template <bool Select, bool Masked>
void walk_strips(const SweepSetup& s, const LaneLaw& law, Sums& sums, StripWalk& w, float limit,
                 std::int64_t remaining) {
    Sums sum = sums;  // a local copy stays in registers
    const V2 fcd = splat(s.fcd);
    const V2 strip = splat(s.strip);
    const double yG = s.yG;
    while (w.y <= limit) {
        if (w.index == remaining) {
            w.stopped = true;
            break;
        }
        const double y = w.y;
        strip_step<Select, Masked>(law, sum, splat(y), splat(s.width.at(w.y)), splat(yG - y), fcd, strip);
        ++w.index;
        const float next = w.y + s.strip;
        if (next == w.y) {
            w.stopped = true;
            break;
        }
        w.y = next;
    }
    sums = sum;
}

// Extends the shared prefix to every strip at depth <= limit.
bool advance_prefix(const SweepSetup& s, PlateauPrefix& p, float limit, std::int64_t remaining) {
    if (p.last_y > limit) p = PlateauPrefix{};  // the depths went back: start again
    const double fcd_strip = double{s.fcd} * s.strip;
    while (p.y <= limit) {
        if (p.count == remaining) return false;
        const double force = fcd_strip * s.width.at(p.y);
        p.N = detail::single(p.N + force);
        p.M = detail::single(p.M + force * (double{s.yG} - p.y));
        ++p.count;
        p.last_y = p.y;
        const float next = p.y + s.strip;
        if (next == p.y) return false;
        p.y = next;
    }
    return true;
}

}  // namespace

void integrate_batch(const SweepSetup& s, PlateauPrefix& prefix, LaneBatch& b, std::int64_t remaining) {
    // Unused lanes repeat the first point; their results are not read.
    for (int i = b.lanes; i < kBatchLanes; ++i) {
        b.x[i] = b.x[0];
        b.zone[i] = b.zone[0];
    }
    float shared_limit = b.zone[0].yr < b.x[0] ? b.zone[0].yr : b.x[0];
    float lowest = b.x[0], highest = b.x[0];
    for (int i = 1; i < kBatchLanes; ++i) {
        if (b.zone[i].yr < shared_limit) shared_limit = b.zone[i].yr;
        if (b.x[i] < shared_limit) shared_limit = b.x[i];
        if (b.x[i] < lowest) lowest = b.x[i];
        if (b.x[i] > highest) highest = b.x[i];
    }

    if (!advance_prefix(s, prefix, shared_limit, remaining)) {
        for (int i = 0; i < kBatchLanes; ++i) b.complete[i] = false;
        return;
    }

    LaneLaw law;
    Sums sum;
    float highest_yr = b.zone[0].yr;
    for (int i = 1; i < kBatchLanes; ++i)
        if (b.zone[i].yr > highest_yr) highest_yr = b.zone[i].yr;
    for (int p = 0; p < kPairs; ++p) {
        const int a = 2 * p, c = 2 * p + 1;
        law.x[p] = pair(b.x[a], b.x[c]);
        law.k[p] = pair(b.zone[a].k, b.zone[c].k);
        law.den[p] = pair(b.zone[a].den, b.zone[c].den);
        law.yr[p] = pair(b.zone[a].yr, b.zone[c].yr);
        sum.n[p] = splat(prefix.N);
        sum.m[p] = splat(prefix.M);
        sum.count[p] = splat(0.0);
    }

    // Every point still below y: first where some point may still carry
    // fcd, then where all are on the parabola; then the depths of the
    // points themselves, one after the other.
    StripWalk w{prefix.count, prefix.y};
    walk_strips<true, false>(s, law, sum, w, highest_yr < lowest ? highest_yr : lowest, remaining);
    if (!w.stopped) walk_strips<false, false>(s, law, sum, w, lowest, remaining);
    const std::int64_t shared_count = w.index;
    if (!w.stopped) walk_strips<true, true>(s, law, sum, w, highest, remaining);

    for (int i = 0; i < kBatchLanes; ++i) {
        const int p = i / 2, h = i % 2;
        b.N[i] = static_cast<float>(lane(sum.n[p], h));
        b.M[i] = static_cast<float>(lane(sum.m[p], h));
        b.strips[i] = shared_count + static_cast<std::int64_t>(lane(sum.count[p], h));
        b.complete[i] = !(w.stopped && b.x[i] >= w.y);
    }
}

}  // namespace ferrolit::component
