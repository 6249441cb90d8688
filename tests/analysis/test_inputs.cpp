// Inputs of the code engine: materials by class (hand values from the
// code's formulas), layer texts and bar placement, unusable inputs with
// their messages, and random sections that must never crash or hang.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

#include "analysis/edge_sweep.hpp"
#include "analysis/geometry.hpp"
#include "fixtures.hpp"

namespace {

namespace fa = ferrolit::analysis;

TEST(AnalysisInputs, ConcreteClassesFollowTheCodesFormulas) {
    // By hand: fctm = 0.30·fck^(2/3) (2.12·ln(1 + fcm/10) above C50/60),
    // Ec = 22000·(fcm/10)^0.3, and the strains of §4.1.2.1.2.1 for C60/75.
    const fa::Concrete c25 = fa::Concrete::of_class("c25/30");
    EXPECT_EQ(c25.name, "C25/30");
    EXPECT_EQ(c25.Rck, 30);
    EXPECT_NEAR(c25.fcd(), 14.166667, 1e-6);
    EXPECT_NEAR(c25.fctm, 2.564964, 1e-6);
    EXPECT_NEAR(c25.Ec, 31475.806, 1e-3);
    EXPECT_EQ(c25.eps_cu, 0.0035);
    EXPECT_EQ(c25.n, 2);
    const fa::Concrete c60 = fa::Concrete::of_class("C60/75");
    EXPECT_NEAR(c60.fctm, 4.354742, 1e-6);
    EXPECT_NEAR(c60.eps_c2, 0.00228802, 1e-8);
    EXPECT_NEAR(c60.eps_cu, 0.0028835, 1e-10);
    EXPECT_NEAR(c60.n, 1.58954, 1e-10);
    EXPECT_NEAR(c60.eps_c3, 0.0018875, 1e-12);
    EXPECT_NEAR(c60.lambda, 0.775, 1e-12);
    EXPECT_NEAR(c60.eta, 0.95, 1e-12);
    // C90/105: the formula puts eps_c2 a hair above eps_cu; both are 2.6 ‰.
    const fa::Concrete c90 = fa::Concrete::of_class("C90/105");
    EXPECT_EQ(c90.eps_c2, c90.eps_cu);
    EXPECT_NEAR(c90.n, 1.4, 1e-12);
    EXPECT_EQ(fa::concrete_class_names().size(), 17u);
    const fa::Steel a = fa::Steel::of_class("B450A"), c = fa::Steel::of_class("b450c");
    EXPECT_NEAR(*a.eps_ud, 0.0225, 1e-15);
    EXPECT_NEAR(*c.eps_ud, 0.0675, 1e-15);
    EXPECT_EQ(a.k, 1.05);
    EXPECT_NEAR(c.fyd(), 391.304348, 1e-6);
}

TEST(AnalysisInputs, LayerTextsGiveSymmetricArrangements) {
    EXPECT_EQ(fa::layer_diameters("3f20+2f16"), (std::vector<double>{20, 16, 20, 16, 20}));
    EXPECT_EQ(fa::layer_diameters(" 2\xC3\x98"
                                  "12 + 1\xC3\xB8"
                                  "10"),
              (std::vector<double>{12, 10, 12}));
    EXPECT_EQ(fa::layer_diameters("4F14"), (std::vector<double>(4, 14)));
    EXPECT_TRUE(fa::layer_diameters("").empty());
    for (const char* bad : {"3x20", "f20", "3f", "3f20+", "0f20", "3f20++2f12", "3f-20"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(fa::layer_diameters(bad), ferrolit::Error);
    }
}

TEST(AnalysisInputs, BarsArePlacedAtTheirCoverAndSpacedEvenly) {
    fa::Reinforcement r;
    r.bottom = {"3f20", 40, {}};
    r.top = {"4f12", 40, 60.0};
    r.left = {"2f14", 45, {}};
    const fa::Dimensions tee{800, 600, 300, 150};
    const auto bars = fa::place_bars(fa::Profile::Tee, tee, r);
    ASSERT_EQ(bars.size(), 9u);
    // Bottom of the web (250..550), top over the flange (0..800) at side cover 60.
    // Top: 680 mm between the end bars in 3 gaps; left: 520 mm between the layers in 3 gaps.
    const double top = 680.0 / 3, side = 520.0 / 3;
    const double expected[][2] = {{290, 40},  {400, 40},        {510, 40},
                                  {60, 560},  {60 + top, 560},  {60 + 2 * top, 560},
                                  {740, 560}, {295, 40 + side}, {295, 40 + 2 * side}};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_NEAR(bars[i].y, expected[i][0], 1e-9);
        EXPECT_NEAR(bars[i].z, expected[i][1], 1e-9);
    }
    EXPECT_NEAR(bars[0].area, std::numbers::pi * 100, 1e-12);
    // Every profile holds its bars strictly inside.
    for (fa::Profile p : {fa::Profile::Rectangle, fa::Profile::Tee, fa::Profile::InvertedTee, fa::Profile::Ell})
        EXPECT_NO_THROW(fa::Section(fa::profile_shape(p, tee), fa::place_bars(p, tee, r),
                                    fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C")));
}

struct BadCase {
    const char* what;
    const char* message;  // part of the Italian message
    fa::Shape shape;
    std::vector<fa::Bar> bars = fixtures::readme_bars();
    fa::Concrete concrete = fa::Concrete::of_class("C25/30");
    fa::Steel steel = fa::Steel::of_class("B450C");
};

TEST(AnalysisInputs, UnusableInputsAreErrorsNamingTheQuantity) {
    const fa::Concrete c = fa::Concrete::of_class("C25/30");
    const fa::Steel st = fa::Steel::of_class("B450C");
    const auto bars = fixtures::readme_bars();
    const fa::Shape rect = fixtures::rectangle(300, 500);
    auto concrete = [&](auto change) {
        fa::Concrete x = c;
        change(x);
        return x;
    };
    auto steel = [&](auto change) {
        fa::Steel x = st;
        change(x);
        return x;
    };
    const double nan = std::nan("");
    auto round_shape = [](int vertices) {
        fa::Shape round;
        for (int i = 0; i < vertices; ++i) {
            const double a = 2 * std::numbers::pi * i / vertices;
            round.outline.push_back({300 * std::cos(a), 300 * std::sin(a)});
        }
        return round;
    };
    const std::vector<fa::Bar> many_bars(10001, fa::bar_of_diameter(150, 250, 10));
    const std::vector<BadCase> cases = {
        {"collinear", "area nulla", {{{0, 0}, {100, 100}, {200, 200}}, {}}},
        {"two vertices", "almeno 3 vertici", {{{0, 0}, {100, 0}, {0, 0}}, {}}},
        {"bow tie", "si interseca", {{{0, 0}, {300, 500}, {300, 0}, {0, 400}}, {}}},
        {"bow tie of no net area", "si interseca", {{{0, 0}, {300, 500}, {300, 0}, {0, 500}}, {}}},
        {"spike", "si interseca", {{{0, 0}, {300, 0}, {300, 500}, {300, 300}, {0, 500}}, {}}},
        {"NaN vertex", "non finite", {{{0, 0}, {nan, 0}, {300, 500}}, {}}},
        {"hole outside", "foro 1", {rect.outline, {{{400, 0}, {500, 0}, {500, 100}}}}},
        {"hole touching the outline", "foro 1: non è interno", {rect.outline, {{{0, 200}, {100, 150}, {100, 250}}}}},
        {"holes crossing",
         "foro 2: si sovrappone al foro 1",
         {rect.outline, {{{100, 100}, {200, 100}, {200, 200}}, {{150, 150}, {250, 150}, {250, 250}}}}},
        {"hole inside a hole",
         "foro 2: si sovrappone al foro 1",
         {rect.outline, {{{50, 100}, {250, 100}, {250, 300}, {50, 300}}, {{100, 150}, {200, 150}, {150, 250}}}}},
        {"10 001 vertices", "troppi vertici", round_shape(10001), {fa::bar_of_diameter(0, 0, 20)}},
        {"10 001 bars", "troppe barre", rect, many_bars},
        {"no bars", "nessuna barra", rect, {}},
        {"bar outside", "barra 1", rect, {fa::bar_of_diameter(-10, 40, 20)}},
        {"bar on the edge", "barra 1", rect, {fa::bar_of_diameter(0, 40, 20)}},
        {"bar without area", "barra 1", rect, {{50, 40, 0}}},
        {"zero fck", "fck", rect, bars, concrete([](fa::Concrete& x) { x.fck = 0; })},
        {"NaN fck", "fck", rect, bars, concrete([&](fa::Concrete& x) { x.fck = nan; })},
        {"zero gamma_c", "gamma_c", rect, bars, concrete([](fa::Concrete& x) { x.gamma_c = 0; })},
        {"eps_c2 beyond eps_cu", "eps_c2", rect, bars, concrete([](fa::Concrete& x) { x.eps_c2 = 0.004; })},
        {"zero fyk", "fyk", rect, bars, c, steel([](fa::Steel& x) { x.fyk = 0; })},
        {"NaN Es", "Es", rect, bars, c, steel([&](fa::Steel& x) { x.Es = nan; })},
        {"hardening without limit", "incrudimento", rect, bars, c, steel([](fa::Steel& x) {
             x.hardening = true;
             x.eps_ud.reset();
         })},
    };
    for (const BadCase& b : cases) {
        SCOPED_TRACE(b.what);
        try {
            [[maybe_unused]] const fa::Section built(b.shape, b.bars, b.concrete, b.steel);
            ADD_FAILURE() << "accepted";
        } catch (const ferrolit::Error& e) {
            EXPECT_EQ(e.kind(), ferrolit::ErrorKind::InvalidOperation);
            EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(fa::Concrete::of_class("C26/31"), ferrolit::Error);
    EXPECT_THROW(fa::Steel::of_class("B500B"), ferrolit::Error);
    EXPECT_THROW(fixtures::readme_beam().resisting_moment(nan, 1, 0), ferrolit::Error);
    EXPECT_THROW(fixtures::readme_beam().domain(fa::Axis::My, 2), ferrolit::Error);
}

// A star-shaped polygon with random radii around the origin.
fa::Shape random_polygon(std::mt19937& rng) {
    std::uniform_int_distribution<int> count(3, 12);
    std::uniform_real_distribution<double> radius(80, 600), jitter(0, 1);
    const int n = count(rng);
    fa::Shape s;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * (i + 0.8 * jitter(rng)) / n, r = radius(rng);
        s.outline.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return s;
}

TEST(AnalysisInputs, RandomSectionsNeverCrashOrHang) {
    std::mt19937 rng(20180117);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto start = std::chrono::steady_clock::now();
    int sections = 0;
    for (int trial = 0; trial < 60; ++trial) {
        const fa::Shape shape = random_polygon(rng);
        std::vector<fa::Bar> bars;
        for (int k = 0; k < 40 && bars.size() < 8; ++k) {
            const fa::Point p{unit(rng) * 1000 - 500, unit(rng) * 1000 - 500};
            if (fa::detail::locate(shape.outline, p, 20) == fa::detail::Location::Inside)
                bars.push_back(fa::bar_of_diameter(p.y, p.z, 10 + 20 * unit(rng)));
        }
        fa::Concrete c = fa::Concrete::of_class(fa::concrete_class_names()[trial % 17]);
        c.law = static_cast<fa::ConcreteLaw>(trial % 3);
        fa::Steel st = fa::Steel::of_class(trial % 4 ? "B450C" : "B450A");
        if (trial % 5 == 0) st.eps_ud.reset();
        if (trial % 7 == 1) st.hardening = true;
        std::optional<fa::Section> s;
        try {
            s.emplace(shape, bars, c, st, fa::Options{trial % 2 == 0});
        } catch (const ferrolit::Error&) {
            continue;  // a bar too close to an edge of this random outline
        }
        ++sections;
        const double lo = s->N_Rd_min(), hi = s->N_Rd_max();
        ASSERT_LT(lo, hi);
        for (int q = 0; q < 6; ++q) {
            const double N = lo - 0.1 * (hi - lo) + 1.2 * (hi - lo) * unit(rng);
            const double a = 2 * std::numbers::pi * unit(rng);
            const fa::MomentCapacity m = s->resisting_moment(N, std::cos(a), std::sin(a));
            if (m.ratio) {
                EXPECT_TRUE(std::isfinite(*m.ratio) && *m.ratio > 0);
            }
            const fa::Contour ct = s->contour(N, 24);
            for (const auto& p : ct.points) EXPECT_TRUE(std::isfinite(p.My) && std::isfinite(p.Mz));
            EXPECT_NO_THROW(s->service(N / 3, 50 * std::cos(a), 50 * std::sin(a)));
        }
        for (fa::Axis axis : {fa::Axis::My, fa::Axis::Mz}) {
            const fa::Domain d = s->domain(axis, 20);
            for (const auto& p : d.points) EXPECT_TRUE(std::isfinite(p.N) && std::isfinite(p.M));
        }
    }
    EXPECT_GT(sections, 30);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 60.0);
}

TEST(AnalysisInputs, LargestSectionsAreAcceptedQuickly) {
    // 10 000 vertices with 8 bars, and 10 000 bars in a 64-gon.
    auto round = [](int n, double r) {
        fa::Ring out;
        for (int i = 0; i < n; ++i)
            out.push_back({r * std::cos(2 * std::numbers::pi * i / n), r * std::sin(2 * std::numbers::pi * i / n)});
        return out;
    };
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [vertices, bars] : {std::pair{10000, 8}, std::pair{64, 10000}}) {
        std::vector<fa::Bar> placed;
        for (const fa::Point& p : round(bars, 240)) placed.push_back(fa::bar_of_diameter(p.y, p.z, 16));
        const fa::Section s({round(vertices, 300), {}}, placed, fa::Concrete::of_class("C25/30"),
                            fa::Steel::of_class("B450C"));
        EXPECT_EQ(s.shape().outline.size(), static_cast<std::size_t>(vertices));
        EXPECT_EQ(s.resisting_moment(0, 1, 0).outcome, fa::Outcome::Found);
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 20.0);
}

// Every pair of edges of the rings that meet, not counting consecutive edges
// of one ring: the reference the sweep is held to.
bool any_pair_meets(const std::vector<fa::Ring>& rings) {
    for (std::size_t r = 0; r < rings.size(); ++r)
        for (std::size_t s = r; s < rings.size(); ++s)
            for (std::size_t i = 0; i < rings[r].size(); ++i)
                for (std::size_t j = r == s ? i + 1 : 0; j < rings[s].size(); ++j) {
                    const std::size_t n = rings[r].size();
                    if (r == s && (j == i + 1 || (i == 0 && j == n - 1))) continue;
                    const fa::Ring &a = rings[r], &b = rings[s];
                    if (fa::detail::segments_meet(a[i], a[(i + 1) % a.size()], b[j], b[(j + 1) % b.size()]))
                        return true;
                }
    return false;
}

// Two consecutive edges run back over each other (refused before the sweep).
bool folds_back(const fa::Ring& r) {
    for (std::size_t i = 0; i < r.size(); ++i) {
        const fa::Point a = r[i], b = r[(i + 1) % r.size()], c = r[(i + 2) % r.size()];
        const double cross = (b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y);
        if (cross == 0 && (b.y - a.y) * (c.y - b.y) + (b.z - a.z) * (c.z - b.z) < 0) return true;
    }
    return false;
}

TEST(AnalysisInputs, SweepFindsMeetingEdgesExactlyWhenAPairwiseSearchDoes) {
    // Vertices on a coarse grid, so that shared vertices, collinear overlaps,
    // edges along y and z and touching corners are common.
    std::mt19937 rng(1701);
    std::uniform_int_distribution<int> coord(0, 5), count(3, 8), ring_count(1, 3);
    int meeting = 0, apart = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        std::vector<fa::Ring> rings(static_cast<std::size_t>(ring_count(rng)));
        for (fa::Ring& ring : rings) {
            const int n = count(rng);
            for (int i = 0; i < n; ++i) {
                const fa::Point p{10.0 * coord(rng), 10.0 * coord(rng)};
                if (ring.empty() || p.y != ring.back().y || p.z != ring.back().z) ring.push_back(p);
            }
            while (ring.size() > 1 && ring.front().y == ring.back().y && ring.front().z == ring.back().z)
                ring.pop_back();
        }
        if (std::any_of(rings.begin(), rings.end(), [](const fa::Ring& r) { return r.size() < 3 || folds_back(r); }))
            continue;
        std::vector<const fa::Ring*> pointers;
        for (const fa::Ring& r : rings) pointers.push_back(&r);
        const bool expected = any_pair_meets(rings);
        const auto found = fa::detail::meeting_edges(pointers);
        ASSERT_EQ(found.has_value(), expected) << "trial " << trial;
        if (found) {
            const fa::Ring &a = rings[found->a.ring], &b = rings[found->b.ring];
            EXPECT_TRUE(fa::detail::segments_meet(a[found->a.edge], a[(found->a.edge + 1) % a.size()], b[found->b.edge],
                                                  b[(found->b.edge + 1) % b.size()]));
        }
        (expected ? meeting : apart)++;
    }
    EXPECT_GT(apart, 1000);
    EXPECT_GT(meeting, 1000);
}

TEST(AnalysisInputs, RandomOutlinesAreAcceptedOrRefusedCleanly) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> coord(-100, 100);
    for (int trial = 0; trial < 2000; ++trial) {
        fa::Shape s;
        const int n = 3 + trial % 6;
        for (int i = 0; i < n; ++i) s.outline.push_back({std::round(coord(rng)), std::round(coord(rng))});
        try {
            const fa::Shape ok = fa::normalised(s);
            EXPECT_GT(fa::detail::area_moments(ok.outline).A, 0);
        } catch (const ferrolit::Error& e) {
            EXPECT_EQ(e.kind(), ferrolit::ErrorKind::InvalidOperation);
        }
    }
}

}  // namespace
