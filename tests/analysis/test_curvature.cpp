// Moment–curvature and confined concrete, against a fine-fibre computation
// written here from the code's laws alone (§4.1.2.1.2.1: parabola-rectangle,
// elastic-plastic steel, the confined core's fck,c, εc2,c, εcu2,c), and the
// confined parameters of a stirrup layout worked out by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "analysis/fixtures.hpp"
#include "ferrolit/moment_curvature.hpp"

namespace {

namespace fa = ferrolit::analysis;

// A 400×400 column, C25/30, B450C, 8f16 at the corners and mid-sides, bar
// centres 46 mm from the faces (30 cover + ø8 stirrup + ø16/2).
fa::Section column() {
    std::vector<fa::Bar> bars;
    for (double y : {46.0, 200.0, 354.0})
        for (double z : {46.0, 200.0, 354.0})
            if (y != 200 || z != 200) bars.push_back(fa::bar_of_diameter(y, z, 16));
    return fa::Section(fixtures::rectangle(400, 400), bars, fa::Concrete::of_class("C25/30"),
                       fa::Steel::of_class("B450C"));
}

// Bending about y with the top compressed, by 2000 layers of concrete.
struct Fibres {
    double b, h;
    std::vector<fa::Bar> bars;
    double fc, fcc = 0, ec2 = 0.002, ecu = 0.0035, ec2c = 0, ecuc = 0;
    double z0 = 0, z1 = 0, b0 = 0;  // the confined core (none when b0 is 0)
    double fy = 450 / 1.15, Es = 200000, eud = 0.0675;

    static double parabola(double e, double f, double e2) {
        return e <= 0 ? 0 : e >= e2 ? f : f * (1 - (1 - e / e2) * (1 - e / e2));
    }
    // N (N) and M about mid-height (N·mm) for top strain et and curvature k (1/mm).
    std::pair<double, double> forces(double et, double k) const {
        const int layers = 2000;
        double N = 0, M = 0;
        for (int i = 0; i < layers; ++i) {
            const double z = (i + 0.5) * h / layers, e = et - k * (h - z);
            const double cover = e > ecu && b0 > 0 ? 0 : parabola(e, fc, ec2);
            double s = cover * b;
            if (b0 > 0 && z > z0 && z < z1) s += (parabola(e, fcc, ec2c) - cover) * b0;
            N += s * h / layers, M += s * h / layers * (z - h / 2);
        }
        for (const fa::Bar& bar : bars) {
            const double e = et - k * (h - bar.z);
            const double s = std::clamp(Es * e, -fy, fy) * bar.area;
            N += s, M += s * (bar.z - h / 2);
        }
        return {N, M};
    }
    static double bisect(const std::function<double(double)>& f, double lo, double hi) {
        for (int i = 0; i < 64; ++i) ((f((lo + hi) / 2) > 0) == (f(hi) > 0) ? hi : lo) = (lo + hi) / 2;
        return (lo + hi) / 2;
    }
    double top_strain(double N, double k) const {
        return bisect([&](double et) { return forces(et, k).first - N; }, -0.1, 0.1);
    }
    double moment(double N, double k) const { return forces(top_strain(N, k), k).second / 1e6; }
    double bottom_bar() const {
        double z = h;
        for (const fa::Bar& bar : bars) z = std::min(z, bar.z);
        return z;
    }
    // The curvature at which `limit(et, k)` first reaches 1 while N is carried.
    double curvature_at(double N, const std::function<double(double, double)>& limit) const {
        return bisect([&](double k) { return limit(top_strain(N, k), k) - 1; }, 1e-9, 1e-3);
    }
    double first_yield(double N) const {
        const double zb = bottom_bar();
        return curvature_at(N,
                            [&](double et, double k) { return std::max(et / ec2, -(et - k * (h - zb)) / (fy / Es)); });
    }
    double ultimate(double N, bool confined) const {
        const double zb = bottom_bar();
        return curvature_at(N, [&](double et, double k) {
            const double concrete = confined ? (et - k * (h - z1)) / ecuc : et / ecu;
            return std::max(concrete, -(et - k * (h - zb)) / eud);
        });
    }
};

TEST(MomentCurvature, ConfinedParametersOfTheStirrupLayoutByHand) {
    // ø8/100, 3 legs each way, cover 30: b0 = h0 = 400 − 2·34 = 332; all 8 bars
    // held, 8 gaps of 154: αn = 1 − 8·154²/(6·332²) = 0,713118;
    // αs = (1 − 100/664)² = 0,721476; σl = 3·50,2655·450/(100·332) = 2,043928;
    // σ2 = α·σl = 1,051595 ≤ 0,05·25: fck,c = 25 + 5·σ2 = 30,25798;
    // εc2,c = 0,002·(fck,c/25)² = 2,929745 ‰; εcu2,c = 3,5 ‰ + 0,2·σ2/25 = 11,91276 ‰;
    // ωwd = 50,2655·6·332/(332²·100)·391,30/14,167 = 0,250917.
    const fa::ConfinedConcrete c = fa::confined_concrete(column(), {8, 100, 3, 3, 30});
    const std::vector<std::pair<double, double>> rows = {{c.b0, 332},
                                                         {c.h0, 332},
                                                         {c.sum_bi2, 8 * 154.0 * 154},
                                                         {c.alpha_n, 0.713118},
                                                         {c.alpha_s, 0.721476},
                                                         {c.sigma_l, 2.043928},
                                                         {c.sigma_2, 1.051595},
                                                         {c.fc_c, 30.25798},
                                                         {c.eps_c2_c, 2.929745e-3},
                                                         {c.eps_cu_c, 11.91276e-3},
                                                         {c.omega_wd, 0.250917}};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NEAR(rows[i].first, rows[i].second, 2e-6 * rows[i].second) << i;
    EXPECT_EQ(c.restrained_bars, 8);
    // Two legs each way hold the corners only: the mid-side bars are free.
    const fa::ConfinedConcrete two = fa::confined_concrete(column(), {8, 100, 2, 2, 30});
    EXPECT_EQ(two.restrained_bars, 4);
    EXPECT_NEAR(two.alpha_n, 1 - 4 * 308.0 * 308 / (6 * 332.0 * 332), 1e-9);
}

TEST(MomentCurvature, AgreesWithAFineFibreComputation) {
    const fa::Section beam = fixtures::readme_beam(), col = column();
    const fa::ConfinedConcrete cc = fa::confined_concrete(col, {8, 100, 3, 3, 30});
    Fibres plain_beam{300, 500, fixtures::readme_bars(), 0.85 * 25 / 1.5};
    Fibres plain_col{400, 400, col.bars(), 0.85 * 25 / 1.5};
    Fibres confined_col = plain_col;
    confined_col.fcc = 0.85 * cc.fc_c / 1.5, confined_col.ec2c = cc.eps_c2_c, confined_col.ecuc = cc.eps_cu_c;
    confined_col.z0 = 34, confined_col.z1 = 366, confined_col.b0 = 332;
    struct Row {
        const fa::Section* section;
        const Fibres* fibres;
        const Fibres* plain;
        double N;
        std::optional<fa::Stirrups> stirrups;
    } rows[] = {{&beam, &plain_beam, &plain_beam, 0, {}},
                {&beam, &plain_beam, &plain_beam, 300, {}},
                {&col, &plain_col, &plain_col, 800, {}},
                {&col, &confined_col, &plain_col, 500, fa::Stirrups{8, 100, 3, 3, 30}},
                {&col, &confined_col, &plain_col, 200, fa::Stirrups{8, 100, 3, 3, 30}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "N " << r.N << (r.stirrups ? " confined" : ""));
        const fa::MomentCurvature m = fa::moment_curvature(*r.section, r.N, {fa::Axis::My, r.stirrups});
        const double N = r.N * 1e3;
        const double k1 = r.fibres->first_yield(N), m1 = r.fibres->moment(N, k1);
        const double kr = r.plain->ultimate(N, false), M_Rd = r.plain->moment(N, kr);
        const double ku = r.fibres->ultimate(N, r.stirrups.has_value()), Mu = r.fibres->moment(N, ku);
        ASSERT_NE(m.end, fa::CurvatureEnd::MomentDrop);
        EXPECT_NEAR(m.yield.kappa, k1 * M_Rd / m1 * 1e3, 5e-3 * m.yield.kappa);
        EXPECT_NEAR(m.yield.M, M_Rd, 5e-3 * M_Rd);
        EXPECT_NEAR(m.ultimate.kappa, ku * 1e3, 5e-3 * m.ultimate.kappa);
        EXPECT_NEAR(m.ultimate.M, Mu, 5e-3 * Mu);
        EXPECT_EQ(m.points.size(), 100u);
        EXPECT_DOUBLE_EQ(m.points.back().kappa, m.ultimate.kappa);
    }
}

// A heavily loaded 400×400 column, C30/37, 8f20 with centres 52 mm from the
// faces, stirrups ø12/50 with 3 legs: the moment peaks as the cover starts
// to spall (its top fibre at εcu) and falls below 85 % of that peak within
// a hundredth of the strain-limited curvature, then recovers on the core.
TEST(MomentCurvature, ANarrowDropAfterThePeakEndsTheCurve) {
    std::vector<fa::Bar> bars;
    for (double y : {52.0, 200.0, 348.0})
        for (double z : {52.0, 200.0, 348.0})
            if (y != 200 || z != 200) bars.push_back(fa::bar_of_diameter(y, z, 20));
    const fa::Section col(fixtures::rectangle(400, 400), bars, fa::Concrete::of_class("C30/37"),
                          fa::Steel::of_class("B450C"));
    const fa::Stirrups stirrups{12, 50, 3, 3, 30};
    const fa::ConfinedConcrete cc = fa::confined_concrete(col, stirrups);
    Fibres f{400, 400, bars, 0.85 * 30 / 1.5};
    f.fcc = 0.85 * cc.fc_c / 1.5, f.ec2c = cc.eps_c2_c, f.ecuc = cc.eps_cu_c;
    f.z0 = 36, f.z1 = 364, f.b0 = 328;
    const double N = 1600e3;
    const double spall = Fibres::bisect([&](double k) { return f.top_strain(N, k) / f.ecu - 1; }, 1e-9, 1e-4);
    const fa::MomentCurvature m = fa::moment_curvature(col, 1600, {fa::Axis::My, stirrups});
    ASSERT_EQ(m.end, fa::CurvatureEnd::MomentDrop);
    EXPECT_GT(m.ultimate.kappa, spall * 1e3);
    EXPECT_LT(m.ultimate.kappa, 1.2 * spall * 1e3);
    EXPECT_NEAR(f.moment(N, m.ultimate.kappa / 1e3), 0.85 * f.moment(N, spall), 5e-3 * m.ultimate.M);
    EXPECT_LT(m.mu_phi, 2);
}

TEST(MomentCurvature, DuctilityGrowsWithStirrupsAndFallsWithAxialLoad) {
    const fa::Section col = column();
    const auto mu = [&](double N, double spacing) {
        return fa::moment_curvature(col, N, {fa::Axis::My, fa::Stirrups{8, spacing, 3, 3, 30}}).mu_phi;
    };
    double previous = 0;
    for (double spacing : {200.0, 150.0, 100.0, 75.0, 50.0}) {
        const double now = mu(1000, spacing);
        EXPECT_GE(now, previous) << "passo " << spacing;
        previous = now;
    }
    // Up to the balanced load, where the concrete's εc2 takes over the first
    // yield from the steel's εyd (beyond it κy shrinks with N as well).
    previous = 1e9;
    for (double N : {-200.0, 0.0, 200.0, 500.0, 800.0}) {
        const double now = mu(N, 100);
        EXPECT_LE(now, previous) << "N " << N;
        previous = now;
    }
    // Confinement never lowers the ductility of the unconfined section.
    EXPECT_GT(mu(1000, 100), fa::moment_curvature(col, 1000, {}).mu_phi);
}

TEST(MomentCurvature, UnusableRequestsAreErrors) {
    const fa::Section col = column();
    const std::vector<std::pair<std::function<void()>, const char*>> rows = {
        {[&] { fa::moment_curvature(col, 1e6, {}); }, "N fuori"},
        {[&] { fa::moment_curvature(col, NAN, {}); }, "N deve essere"},
        {[&] {
             fa::moment_curvature(col, 0, {fa::Axis::My, {}, fa::MaterialValues::Design, 1});
         },
         "punti"},
        {[&] {
             fa::confined_concrete(col, {8, 100, 2, 2, 200});
         },
         "nucleo"},
        {[&] {
             fa::confined_concrete(col, {8, 0, 2, 2, 30});
         },
         "passo"},
        {[&] {
             fa::confined_concrete(col, {8, 100, 1, 2, 30});
         },
         "bracci"},
        {[&] {
             fa::confined_concrete(fa::Section(fixtures::ell_section()), {8, 100, 2, 2, 30});
         },
         "rettangolari"}};
    for (const auto& [call, text] : rows) {
        try {
            call();
            ADD_FAILURE() << text;
        } catch (const ferrolit::Error& e) {
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
    }
}

}  // namespace
