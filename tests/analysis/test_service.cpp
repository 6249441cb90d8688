// Elastic states of the code engine for the serviceability checks: the
// cracked section against the classic closed forms, the uncracked
// homogenised section, equilibrium under biaxial actions, pure tension.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "fixtures.hpp"

namespace {

namespace fa = ferrolit::analysis;

TEST(AnalysisService, CrackedRectangleMatchesTheClassicClosedForm) {
    // N = 0, modular ratio 15: b·x²/2 + n·As'·(x − d') = n·As·(d − x) gives x;
    // σc = M·x/I, σs = n·σc·(d − x)/x with I = b·x³/3 + n·As'·(x − d')² + n·As·(d − x)².
    const fa::Section s = fixtures::readme_beam();
    const double n = 15, b = 300, d = 460, dp = 40;
    const double As = 3 * std::numbers::pi * 100, Asp = 2 * std::numbers::pi * 36;
    const double B = n * (As + Asp), C = -n * (As * d + Asp * dp);
    const double x = (-B + std::sqrt(B * B - 4 * (b / 2) * C)) / b;
    const double I = b * x * x * x / 3 + n * Asp * (x - dp) * (x - dp) + n * As * (d - x) * (d - x);
    for (double M : {50.0, 100.0, -80.0}) {
        SCOPED_TRACE(M);
        const fa::ServiceState st = s.service(0, M, 0);
        ASSERT_TRUE(st.cracked);
        const double depth = M > 0 ? x : 0;  // the negative moment compresses the bottom: checked below
        if (M < 0) {
            EXPECT_GT(st.bars[0].stress, 0);  // bottom bars compressed
            EXPECT_LT(st.bars[3].stress, 0);
            continue;
        }
        EXPECT_NEAR(*st.neutral_axis_depth, depth, 1e-7 * x);
        EXPECT_NEAR(st.sigma_c_max, M * 1e6 * x / I, 1e-7 * st.sigma_c_max);
        EXPECT_NEAR(st.bars[0].stress, -n * M * 1e6 * (d - x) / I, 1e-6);
        EXPECT_NEAR(st.My, M, 1e-8 * std::fabs(M));
        EXPECT_NEAR(st.N, 0, 1e-8 * std::fabs(M));
    }
}

TEST(AnalysisService, SmallMomentLeavesTheSectionUncracked) {
    // Homogenised section (concrete plus n·As, bars not deducted) about its own
    // centroid: σ at the bottom fibre = −M·z_id/I_id.
    const fa::Section s = fixtures::readme_beam();
    const double n = 15, As = 3 * std::numbers::pi * 100, Asp = 2 * std::numbers::pi * 36;
    const double A = 300.0 * 500 + n * (As + Asp);
    const double zc = (300.0 * 500 * 250 + n * (As * 40 + Asp * 460)) / A;
    const double I = 300 * std::pow(500.0, 3) / 12 + 300.0 * 500 * std::pow(250 - zc, 2) +
                     n * (As * std::pow(zc - 40, 2) + Asp * std::pow(460 - zc, 2));
    const double M = 20;
    const fa::ServiceState st = s.service(0, M, 0);
    EXPECT_FALSE(st.cracked);
    EXPECT_NEAR(st.sigma_ct_max, M * 1e6 * zc / I, 1e-9 * st.sigma_ct_max);
    EXPECT_NEAR(st.sigma_c_max, M * 1e6 * (500 - zc) / I, 1e-9 * st.sigma_c_max);
    EXPECT_LT(st.sigma_ct_max, s.concrete().fctm);
    // The same moment is cracked when asked so.
    fa::ServiceOptions cracked;
    cracked.allow_uncracked = false;
    EXPECT_TRUE(s.service(0, M, 0, cracked).cracked);
}

TEST(AnalysisService, BiaxialActionsAreInEquilibrium) {
    for (const fa::Section& s : {fixtures::readme_beam(), fixtures::ell_section()})
        for (auto [N, My, Mz] : {std::tuple{0.0, 120.0, 40.0}, std::tuple{800.0, -60.0, 90.0},
                                 std::tuple{-150.0, 30.0, -10.0}, std::tuple{2000.0, 5.0, 5.0}}) {
            const fa::ServiceState st = s.service(N, My, Mz);
            const double scale = std::fabs(N) * 500 / 1e3 + std::hypot(My, Mz);
            EXPECT_NEAR(st.N * 500 / 1e3, N * 500 / 1e3, 1e-8 * scale);
            EXPECT_NEAR(st.My, My, 1e-8 * scale);
            EXPECT_NEAR(st.Mz, Mz, 1e-8 * scale);
            EXPECT_GE(st.sigma_c_max, 0);
        }
}

TEST(AnalysisService, PureTensionIsCarriedByTheBarsAlone) {
    // Bars symmetric about both axes: a uniform strain N/(Es·ΣAs).
    std::vector<fa::Bar> bars;
    for (double y : {50.0, 250.0})
        for (double z : {50.0, 450.0}) bars.push_back(fa::bar_of_diameter(y, z, 16));
    const fa::Section s(fixtures::rectangle(300, 500), bars, fa::Concrete::of_class("C25/30"),
                        fa::Steel::of_class("B450C"));
    // 600 kN over the homogenised area gives 3.7 MPa > fctm: cracked.
    const fa::ServiceState st = s.service(-600, 0, 0);
    EXPECT_TRUE(st.cracked);
    EXPECT_EQ(st.sigma_c_max, 0);
    for (const auto& b : st.bars) EXPECT_NEAR(b.stress, -600e3 / (4 * b.area), 1e-9);
}

TEST(AnalysisService, OneLayerUnderTensionAndBendingConvergesOrSaysSo) {
    // A single layer cannot take a moment about its own line without concrete:
    // the solver either finds the compressed zone or fails with an Error.
    const fa::Section s(fixtures::rectangle(300, 500),
                        {fa::bar_of_diameter(150, 40, 20), fa::bar_of_diameter(100, 40, 20)},
                        fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C"));
    for (auto [N, My, Mz] : {std::tuple{-100.0, 0.0, 5.0}, std::tuple{-50.0, -20.0, 0.0}, std::tuple{0.0, 0.0, 30.0}}) {
        try {
            const fa::ServiceState st = s.service(N, My, Mz);
            EXPECT_NEAR(st.Mz, Mz, 1e-6 * (std::fabs(Mz) + std::fabs(My) + 1));
        } catch (const ferrolit::Error& e) {
            EXPECT_EQ(e.kind(), ferrolit::ErrorKind::InvalidOperation);
        }
    }
}

}  // namespace
