// The batched sweep against a plain sequential loop written from the rules
// alone, on many random sections: the points, N3 and the outcome must be
// bit-identical.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <random>

#include <ferrolit/ferrolit.hpp>

#include "component/uls/domain_setup.hpp"
#include "component/uls/domain_sweep.hpp"
#include "core/numeric.hpp"

namespace {

using ferrolit::ErrorKind;
using ferrolit::component::Boundaries;
using ferrolit::component::PointLists;
using ferrolit::component::SweepLimits;
using ferrolit::component::SweepSetup;
using ferrolit::detail::FpFaultScope;
using ferrolit::detail::settle;
using ferrolit::detail::single;

struct Outcome {
    PointLists points;
    std::optional<ErrorKind> fault;
};

// The plain sequential loop: one point after the other, one strip after the
// other, flags tested after every point.
Outcome reference_sweep(const SweepSetup& s, const SweepLimits& lim) {
    Outcome r;
    r.points.clear();
    FpFaultScope fp;
    PointLists& p = r.points;
    const Boundaries xb = ferrolit::component::boundaries(s);
    const auto exhausted = [&](int k) -> Outcome& {
        if (auto kind = fp.fault())
            r.fault = kind;
        else if (k < 7 || (s.fcd > 0 && (s.width.inner > 0 || s.width.outer > 0)))
            r.fault = ErrorKind::Overflow;
        return r;
    };
    for (int k = 1; k <= 7; ++k) {
        float x = xb[k - 1];
        bool first = true;
        float previous = 0;
        while (x <= xb[k]) {
            if (!first && x == previous) return exhausted(k);
            first = false;
            if (k >= 6 && x == 0) x = 1.0E-20f;
            if (static_cast<std::int64_t>(p.count()) == lim.max_points) return exhausted(k);

            float n = 0, m = 0;
            std::int64_t count = 0;
            if (k >= 2) {
                const float yr = k <= 3 ? single(double{x} - 0.2 * (double{s.d} - x)) : single(x * 0.015 / 0.035);
                float y = 0;
                while (y <= x) {
                    if (p.strips + count == lim.max_strips || count == lim.max_point_strips) return exhausted(k);
                    float sc = s.fcd;
                    if (!(y <= yr)) {
                        const float eta = k <= 3 ? single(5.0 * (double{x} - y) / (double{s.d} - x))
                                                 : single(1.75 * (double{x} - y) / x);
                        sc = single(double{s.fcd} * eta * (2.0 - eta));
                    }
                    const double b = s.width.at(y);
                    n = single(n + double{sc} * s.strip * b);
                    m = single(m + double{sc} * s.strip * b * (double{s.yG} - y));
                    ++count;
                    if (y + s.strip == y) return exhausted(k);
                    y = y + s.strip;
                }
            }
            const float nc = n, mc = m;

            const float ec = k <= 3 ? single(double{s.eps_ud} * (double{x} - s.cover_c) / (double{s.d} - x))
                                    : single(double{s.eps_cu} * (double{x} - s.cover_c) / x);
            float sc, st;
            if (k == 1 || (k == 2 && ec < 0))
                sc = std::fabs(ec) < s.eps_yd ? single(double{s.Es} * ec) : -s.fyd;
            else
                sc = ec < s.eps_yd ? single(double{s.Es} * ec) : s.fyd;
            if (k <= 4) {
                st = -s.fyd;
            } else if (k <= 6) {
                st = single(double{s.Es} * single(-double{s.eps_cu} * (double{s.d} - x) / x));
            } else {
                const float et = single(double{s.eps_cu} * (double{x} - s.d) / x);
                st = et < s.eps_yd ? single(double{s.Es} * et) : s.fyd;
            }
            n = single(n + double{s.As_c} * sc + double{st} * s.As_t);
            m = single(m + double{s.arm_c} * (double{s.As_c} * sc) - double{s.arm_t} * (double{st} * s.As_t));
            bool stop = k == 7 && m <= 0;
            settle(n);
            settle(m);
            settle(stop);
            if (auto kind = fp.fault()) {
                r.fault = kind;
                return r;
            }
            p.N.push_back(n);
            p.M.push_back(m);
            p.x.push_back(x);
            p.strips += count;
            if (x == xb[3]) p.N3 = n;
            if (stop) return r;
            if (k == 7 && nc == 0 && mc == 0 && sc == s.fyd && st == s.fyd) return r;
            previous = x;
            x = x + s.step;
        }
    }
    if (auto kind = fp.fault()) r.fault = kind;
    return r;
}

Outcome fast_sweep(const SweepSetup& s, const SweepLimits& lim) {
    Outcome r;
    FpFaultScope fp;
    const Boundaries xb = ferrolit::component::boundaries(s);
    r.fault = ferrolit::component::sweep(s, xb, r.points, fp, lim);
    return r;
}

bool same_bits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

void expect_identical(const Outcome& fast, const Outcome& ref, const std::string& what) {
    ASSERT_EQ(fast.fault.has_value(), ref.fault.has_value()) << what;
    if (ref.fault) {
        EXPECT_EQ(*fast.fault, *ref.fault) << what;
        return;
    }
    EXPECT_EQ(fast.points.count(), ref.points.count()) << what;
    EXPECT_TRUE(same_bits(fast.points.N, ref.points.N)) << what;
    EXPECT_TRUE(same_bits(fast.points.M, ref.points.M)) << what;
    EXPECT_TRUE(same_bits(fast.points.x, ref.points.x)) << what;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(fast.points.N3), std::bit_cast<std::uint32_t>(ref.points.N3)) << what;
    EXPECT_EQ(fast.points.strips, ref.points.strips) << what;
}

// A random section with its orientation already applied: a rectangle or
// one of the four T bands, both signs of moment (swapped layers and covers),
// sometimes without concrete strength or with a degenerate depth.
SweepSetup random_setup(std::mt19937& rng, int& case_kind) {
    std::uniform_real_distribution<float> u(0, 1);
    const auto pick = [&](float lo, float hi) { return lo + (hi - lo) * u(rng); };
    SweepSetup s;
    s.fcd = u(rng) < 0.1f ? 0.0f : pick(8, 30);
    s.fyd = pick(300, 450);
    s.Es = 200000;
    s.eps_cu = pick(0.002f, 0.0035f);
    s.eps_yd = single(double{s.fyd} / s.Es);
    s.eps_ud = pick(0.01f, 0.0675f);
    s.H = std::round(pick(150, 700));
    const float c1 = std::round(pick(20, 70)), c2 = std::round(pick(20, 70));
    s.cover_c = c1;
    s.d = single(double{s.H} - c2);
    s.As_c = std::round(pick(0, 2000));
    s.As_t = std::round(pick(0, 3000));
    const float widths[] = {1, 0.5f, 2, 0.7f, 3.3f, 1.25f};
    s.step = widths[rng() % 6];
    s.strip = widths[rng() % 6];

    case_kind = static_cast<int>(rng() % 5);
    const float B = std::round(pick(150, 1000)), b = std::round(pick(100, B)), t = std::round(pick(50, s.H / 2));
    if (case_kind == 0) {  // rectangle
        s.width.inner = s.width.outer = B;
    } else if (case_kind == 1) {  // T, flange compressed
        s.width.hi = t, s.width.inner = B, s.width.outer = b;
    } else if (case_kind == 2) {  // web compressed
        s.width.hi = double{s.H} - t, s.width.inner = b, s.width.outer = B;
    } else {  // T about its other axis
        s.width.lo = single((double{s.H} - b) / 2), s.width.hi = single((double{s.H} + b) / 2);
        s.width.inner = B, s.width.outer = t;
    }
    s.yG = case_kind == 0 || case_kind >= 3 ? single(s.H / 2.0) : std::round(pick(0.3f, 0.7f) * s.H);
    s.arm_c = single(double{s.yG} - s.cover_c);
    s.arm_t = single((double{s.H} - s.yG) - c2);
    return s;
}

TEST(DomainSweep, BatchedSweepIsBitIdenticalToThePlainLoop) {
    std::mt19937 rng(20240611);
    int kinds[5]{}, without_concrete = 0;
    for (int i = 0; i < 160; ++i) {
        int kind = 0;
        const SweepSetup s = random_setup(rng, kind);
        ++kinds[kind];
        if (s.fcd == 0) ++without_concrete;
        const SweepLimits lim;
        const std::string what = "case " + std::to_string(i) + " kind " + std::to_string(kind) + " H " +
                                 std::to_string(s.H) + " step " + std::to_string(s.step) + " strip " +
                                 std::to_string(s.strip);
        const Outcome ref = reference_sweep(s, lim);
        ASSERT_FALSE(ref.fault) << what;
        expect_identical(fast_sweep(s, lim), ref, what);
    }
    for (int k : kinds) EXPECT_GT(k, 10);
    EXPECT_GT(without_concrete, 5);
}

// Faults and work limits go through the same per-point rules in both forms.
TEST(DomainSweep, FaultsAndLimitsStopAtTheSamePoint) {
    SweepSetup base;
    base.fcd = 14.17f, base.fyd = 391.3f, base.Es = 200000, base.eps_cu = 0.0035f, base.eps_yd = 0.0019565f;
    base.eps_ud = 0.0675f, base.H = 500, base.d = 460, base.cover_c = 40, base.As_c = 226, base.As_t = 942;
    base.yG = 250, base.arm_c = 210, base.arm_t = 210, base.width.inner = base.width.outer = 300;

    struct Case {
        const char* name;
        void (*tweak)(SweepSetup&, SweepLimits&);
        std::optional<ErrorKind> expected;
    };
    const Case cases[] = {
        {"x0 of equal steel strains", [](SweepSetup& s, SweepLimits&) { s.eps_ud = s.eps_yd; },
         ErrorKind::DivisionByZero},
        {"zero effective depth", [](SweepSetup& s, SweepLimits&) { s.d = 0; }, ErrorKind::DivisionByZero},
        {"overflowing concrete", [](SweepSetup& s, SweepLimits&) { s.fcd = 3e38f; }, ErrorKind::Overflow},
        {"NaN width", [](SweepSetup& s, SweepLimits&) { s.width.outer = s.width.inner = NAN; },
         ErrorKind::InvalidOperation},
        {"point limit before region 7", [](SweepSetup&, SweepLimits& l) { l.max_points = 100; }, ErrorKind::Overflow},
        {"strip limit before region 7", [](SweepSetup&, SweepLimits& l) { l.max_strips = 20000; }, ErrorKind::Overflow},
        {"strip limit in region 7", [](SweepSetup&, SweepLimits& l) { l.max_strips = 150000; }, ErrorKind::Overflow},
        {"point limit in region 7", [](SweepSetup&, SweepLimits& l) { l.max_points = 560; }, ErrorKind::Overflow},
        {"strips of one point before region 7", [](SweepSetup&, SweepLimits& l) { l.max_point_strips = 300; },
         ErrorKind::Overflow},
        {"strips of one point in region 7", [](SweepSetup&, SweepLimits& l) { l.max_point_strips = 505; },
         ErrorKind::Overflow},
        // region 6 alone, from a negative d: its second point needs more strips
        // than float depths can count
        {"depths that stop advancing", [](SweepSetup& s, SweepLimits&) { s.d = -3, s.step = 400, s.strip = 1e-5f; },
         ErrorKind::Overflow},
        {"step that stops advancing", [](SweepSetup& s, SweepLimits&) { s.step = 1e-30f; }, ErrorKind::Overflow},
    };
    for (const Case& c : cases) {
        SweepSetup s = base;
        SweepLimits lim;
        c.tweak(s, lim);
        const Outcome ref = reference_sweep(s, lim);
        EXPECT_EQ(ref.fault, c.expected) << c.name;
        expect_identical(fast_sweep(s, lim), ref, c.name);
    }
}

}  // namespace
