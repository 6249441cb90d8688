// Worked cases of every check family, computed by hand from the clauses of
// the 2018 code (and EN 1992-1-1 §7.3.4 for the crack width); the figures
// are derived in each test, not read back from the library.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include <ferrolit/moment_curvature.hpp>

#include "fixtures.hpp"

namespace {

using namespace ferrolit;
using ferrolit::test::combination;
using ferrolit::test::detail;
using ferrolit::test::find_check;
using ferrolit::test::readme_beam;

constexpr double pi = std::numbers::pi;
constexpr double kFcd = 0.85 * 25 / 1.5;     // C25/30, §4.1.2.1.1.1
constexpr double kFyd = 450 / 1.15;          // B450C, §4.1.2.1.1.3
const double kFctm = 0.30 * std::cbrt(625);  // §11.2.10.2
constexpr double kEs = 200000;
const double k3f20 = 3 * pi * 100, k2f12 = 2 * pi * 36;

VerificationResult run(VerificationInput in, std::initializer_list<Combination> combos) {
    in.combinations = combos;
    return verify(in);
}

// §4.1.2.3.4.2, parabola-rectangle (§4.1.2.1.2.1): with εcu = 3.5 ‰ and
// εc2 = 2 ‰ the block has the mean stress 17/21·fcd and its resultant at
// 99/238·x from the compressed edge. Bottom 3f20 yields; top 2f12 at 40 mm
// stays elastic: 17/21·b·fcd·x + A'·Es·εcu·(x − 40)/x = As·fyd, a quadratic in x.
TEST(VerifyBending, ReadmeBeamByTheParabolaRectangle) {
    const double b = 300, C = 17.0 / 21 * b * kFcd, Ts = k3f20 * kFyd, k = k2f12 * kEs * 0.0035;
    const double qa = C, qb = k - Ts, qc = -40 * k;
    const double x = (-qb + std::sqrt(qb * qb - 4 * qa * qc)) / (2 * qa);  // 83.28 mm
    const double sigma_top = kEs * 0.0035 * (x - 40) / x;                  // 363.8 MPa < fyd
    ASSERT_LT(sigma_top, kFyd);
    const double MRd = (C * x * (250 - 99.0 / 238 * x) + k2f12 * sigma_top * 210 + Ts * 210) / 1e6;  // 156.43
    const auto r = run(readme_beam(), {combination("U", CombinationKind::Ultimate, 0, 100)});
    const CheckResult& c = find_check(r, "bending", "U");
    EXPECT_EQ(c.clause, "§4.1.2.3.4.2");
    EXPECT_EQ(c.unit, "kNm");
    EXPECT_NEAR(*c.capacity, MRd, 1e-4 * MRd);
    EXPECT_NEAR(c.ratio, 100 / MRd, 1e-4);
    EXPECT_TRUE(c.verified);
    EXPECT_NEAR(detail(c, "x"), x, 0.01);
    // Hogging with the layers swapped resists as much (equal covers).
    const auto up = run(readme_beam("2f12", "3f20"), {combination("U", CombinationKind::Ultimate, 0, -100)});
    EXPECT_NEAR(*find_check(up, "bending", "U").capacity, MRd, 1e-4 * MRd);
}

// N_Rd,max = fcd·Ac + ΣAs·σs(εc2) = 14.17·150000 + 1168.7·391.3 = 2582.3 kN;
// N_Rd,min = −ΣAs·fyd = −457.3 kN. Beyond them: the ratio of the forces, not verified.
TEST(VerifyBending, AxialForceOutsideTheDomain) {
    const double N_max = (kFcd * 150000 + (k3f20 + k2f12) * kFyd) / 1e3, N_min = -(k3f20 + k2f12) * kFyd / 1e3;
    const auto r = run(readme_beam(), {combination("C", CombinationKind::Ultimate, 3000, 10),
                                       combination("T", CombinationKind::Seismic, -1000, 10),
                                       combination("N", CombinationKind::Ultimate, 1000, 0)});
    const struct {
        const char* name;
        double demand, capacity;
        bool verified;
    } cases[] = {{"C", 3000, N_max, false}, {"T", 1000, -N_min, false}, {"N", 1000, N_max, true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const CheckResult& c = find_check(r, "bending", k.name);
        EXPECT_EQ(c.unit, "kN");
        EXPECT_NEAR(*c.demand, k.demand, 1e-9);
        EXPECT_NEAR(*c.capacity, k.capacity, 1e-6 * k.capacity);
        EXPECT_NEAR(c.ratio, k.demand / k.capacity, 1e-6);
        EXPECT_EQ(c.verified, k.verified);
    }
    EXPECT_FALSE(r.verified);
}

// §4.1.2.3.4.2 for columns: e ≥ max(0.05·h, 20 mm): 25 mm along the 500 mm
// depth (My), 20 mm across the 300 mm width (Mz). At N = 1000 kN the least
// moments are 25 and 20 kNm; a larger given moment is never reduced, each
// direction is raised alone, and the worse of the cases is reported.
TEST(VerifyBending, ColumnMinimumEccentricity) {
    VerificationInput in = readme_beam("4f16", "4f16");
    in.member = MemberType::Column;
    const auto r = run(in, {combination("A", CombinationKind::Ultimate, 1000, 0),
                            combination("B", CombinationKind::Ultimate, 1000, 40, 5)});
    const analysis::Section s = engine_section(r);
    auto ratio = [&](double My, double Mz) { return *s.resisting_moment(1000, My, Mz).ratio; };
    const double worst_A = std::max({ratio(25, 0), ratio(-25, 0), ratio(0, 20), ratio(0, -20)});
    const double worst_B = std::max(ratio(40, 5), ratio(40, 20));
    EXPECT_NEAR(find_check(r, "bending", "A").ratio, worst_A, 1e-12);
    EXPECT_NEAR(find_check(r, "bending", "B").ratio, worst_B, 1e-12);
    const CheckResult& b = find_check(r, "bending", "B");
    EXPECT_EQ(detail(b, "My_Ed"), 40);  // never lowered
    EXPECT_NEAR(detail(b, "e_min_y"), 25, 1e-12);
    EXPECT_NEAR(detail(b, "e_min_z"), 20, 1e-12);
    EXPECT_GT(detail(b, "ratio_4_1_19"), b.ratio);  // (4.1.19) with α = 1 is the safer bound, kept for comparison
}

// §4.1.2.3.9.2 with the nominal curvature of EN 1992-1-1 §5.8.8: a 300 × 300
// column, 3f16 top and bottom at 40 mm, N = 800 kN, l0 = 5 m in both planes.
// i = 300/√12 = 86.6 mm, λ = 57.7; ν = 800 000/(90 000·14.17) = 0.627;
// rm = 1: C = 0.7, λ_lim = 15.4·0.7/√ν = 13.6; slender. ω = 1206·391.3/(90 000·14.17)
// = 0.370, Kr = (1.370 − ν)/(1.370 − 0.4) = 0.765; d = h/2 + i_s = 150 + 110 in
// the plane of My, 150 + 89.8 in that of Mz; 1/r = Kr·εyd/(0.45·d); c = 8 for
// a constant first-order moment: e2 = 40.0 mm, M2 = 32.0 kNm (My). With rm = −1,
// C = 2.7, λ_lim = 52.5 and c = 10; φef = 1.5 gives Kφ = 1 + (0.35 + 25/200 − λ/150)·1.5 = 1.135; with l0 = 1 m λ = 11.5 stays below λ_lim.
TEST(VerifyBending, SlenderColumnByNominalCurvature) {
    struct Row {
        double l0, rm, phi_ef, lambda_lim, e2;
        bool slender;
    } rows[] = {
        {5000, 1, 0, 13.61, 40.01, true}, {5000, -1, 1.5, 52.49, 32.01 * 1.135, true}, {1000, 1, 0, 13.61, 0, false}};
    VerificationInput in = readme_beam("3f16", "3f16");
    in.shape.dimensions = {300, 300, 0, 0};
    in.member = MemberType::Column;
    const double N = 800, nu = N * 1e3 / (90000 * kFcd), omega = 6 * pi * 64 * kFyd / (90000 * kFcd);
    const double Kr = (1 + omega - nu) / (1 + omega - 0.4);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.l0 * 1000 + row.rm);
        in.effective_length_y = in.effective_length_z = row.l0;
        in.end_moment_ratio = row.rm;
        in.creep_ratio = row.phi_ef;
        const auto r = run(in, {combination("U", CombinationKind::Ultimate, N, 20)});
        const CheckResult& s = find_check(r, "slenderness", "U");
        EXPECT_NEAR(*s.demand, row.l0 / (300 / std::sqrt(12.0)), 1e-9);
        EXPECT_NEAR(*s.capacity, row.lambda_lim, 0.01);
        const CheckResult& b = find_check(r, "bending", "U");
        if (!row.slender) {
            EXPECT_NEAR(s.ratio, *s.demand / *s.capacity, 1e-12);
            EXPECT_EQ(detail(b, "My_Ed"), 20);
            continue;
        }
        const double c = row.rm == 1 ? 8 : 10, K_phi = 1 + row.phi_ef * (0.35 + 25.0 / 200 - *s.demand / 150);
        const double e2_y = Kr * K_phi * kFyd / kEs / (0.45 * 260) * row.l0 * row.l0 / c;
        EXPECT_NEAR(detail(s, "e2"), e2_y, 1e-9);
        EXPECT_NEAR(e2_y, row.e2, 0.02);
        EXPECT_NEAR(detail(s, "M2"), N * e2_y / 1e3, 1e-9);
        // M_Ed = max(M02; M0e + M2; M01 + M2/2) with M02 = |M| + N·e_i, e_i = l0/400, in one plane at a
        // time; the other plane (M = 0) takes M2 alone, in either sign.
        const double e2_z = e2_y * 260 / (150 + 110 * std::sqrt(2.0 / 3)), Ne = N * row.l0 / 400 / 1e3;
        auto design = [&](double M, double e2, bool imperfect) {
            const double M02 = M + (imperfect ? Ne : 0), M01 = row.rm * M + (imperfect ? Ne : 0);
            const double M2 = N * e2 / 1e3;
            return std::max({M02, std::max(0.6 * M02 + 0.4 * M01, 0.4 * M02) + M2, M01 + M2 / 2});
        };
        const analysis::Section sec = engine_section(r);
        double worst = 0;
        for (double sign : {1, -1})
            worst =
                std::max({worst, *sec.resisting_moment(N, design(20, e2_y, true), sign * design(0, e2_z, false)).ratio,
                          *sec.resisting_moment(N, design(20, e2_y, false), sign * design(0, e2_z, true)).ratio});
        EXPECT_NEAR(b.ratio, worst, 1e-9);
        EXPECT_EQ(s.ratio, b.ratio);  // a slender plane stands or falls with the bending check
    }
}

// The resisting moment of a true circle or annulus (kNm, about its centre, at
// N in kN) by 100 000 strips of the parabola-rectangle block with εcu at the
// top, and `bars` bars of φ evenly on the radius rb from the bottom; the
// neutral axis by bisection on the axial force.
double strip_resistance(double D, double Di, double rb, int bars, double phi, double N) {
    const double R = D / 2, Ri = Di / 2, As = pi * phi * phi / 4;
    auto forces = [&](double x, double& M) {
        double F = 0;
        M = 0;
        const int n = 100000;
        const double h = D / n;
        for (int i = 0; i < n; ++i) {
            const double u = R - (i + 0.5) * h, eps = 0.0035 * (x - (R - u)) / x;  // u above the centre
            if (eps <= 0) break;
            const double w = 2 * std::sqrt(R * R - u * u) - (std::fabs(u) < Ri ? 2 * std::sqrt(Ri * Ri - u * u) : 0);
            const double sigma = eps < 0.002 ? kFcd * (1 - (1 - eps / 0.002) * (1 - eps / 0.002)) : kFcd;
            F += sigma * w * h, M += sigma * w * h * u;
        }
        for (int k = 0; k < bars; ++k) {
            const double u = rb * std::sin(-pi / 2 + 2 * pi * k / bars), eps = 0.0035 * (x - (R - u)) / x;
            const double sigma = std::clamp(kEs * eps, -kFyd, kFyd);
            F += sigma * As, M += sigma * As * u;
        }
        return F / 1e3;
    };
    double lo = 1, hi = D, M = 0;
    for (int i = 0; i < 60; ++i) {
        const double x = (lo + hi) / 2;
        (forces(x, M) < N ? lo : hi) = x;
    }
    forces((lo + hi) / 2, M);
    return M / 1e6;
}

// Circular and annular sections: the polygon and the bars on a circle at clear
// cover + stirrup + φ/2 (300 − 30 − 8 − 10 = 252 mm) resist within 0.05 % of
// the true shape; shear takes d = D/2 + Dr/π and bw = D (− Di) of AASHTO LRFD
// §5.7.2.8.
TEST(VerifyBending, CircularSectionsAgainstFineStrips) {
    const struct {
        const char* shape;
        double Di;
    } rows[] = {{"circolare", 0}, {"anulare", 300}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shape);
        const std::string text = std::string("{\"forma\": \"") + row.shape + "\", \"diametro\": 600, " +
                                 (row.Di > 0 ? "\"diametro_interno\": 300, " : "") +
                                 "\"copriferro\": 30, \"stringaAs_circ\": \"12f20\", \"fStaffe\": 8, \"ClasseCls\": "
                                 "\"C25/30\", \"ClasseAcciaio\": \"B450C\", "
                                 "\"nBracciaStaffe\": 2, \"passoStaffe\": 200, \"combinazioni\": [{\"nome\": \"U\", "
                                 "\"tipo\": \"SLU\", \"N\": 1500, \"My\": 100, \"Vz\": 100}]}";
        const auto r = verify(read_verification_input(text));
        ASSERT_EQ(r.bars.size(), 12u);
        const double rb = 300 - r.bars[0].z;  // the first bar at the bottom, its cover from the polygon's edge
        EXPECT_NEAR(rb, 252, 0.05);
        const double exact = strip_resistance(600, row.Di, rb, 12, 20, 1500);
        EXPECT_NEAR(*find_check(r, "bending", "U").capacity / exact, 1, 5e-4);
        const CheckResult& v = find_check(r, "shear_z", "U");
        EXPECT_NEAR(detail(v, "d"), 300 + 2 * rb / pi, 1e-6);
        EXPECT_NEAR(detail(v, "bw"), 600 - row.Di, 1e-9);
    }
}

// §4.1.2.3.5.1, (4.1.23): d = 460, bw = 300, k = 1 + √(200/460) = 1.659,
// v_min = 0.035·k^1.5·√fck = 0.374 MPa. Sagging: ρl = 942.5/(300·460) =
// 0.00683, V_Rd = 0.18·k·(100·ρl·fck)^(1/3)/γc·bw·d = 70.77 kN; with
// N = −100 kN σcp = −0.667 MPa lowers it by 0.15·σcp·bw·d. Hogging: ρl of
// 2f12 = 0.00164 and v_min governs: 51.62 kN; M = 0 takes that smaller side.
TEST(VerifyShear, WithoutStirrups) {
    VerificationInput in = readme_beam();
    in.stirrups = StirrupsInput{0, 0, 0};
    const double d = 460, bw = 300, k = 1 + std::sqrt(200 / d), v_min = 0.035 * std::pow(k, 1.5) * 5;
    auto v_rd = [&](double As, double sigma_cp) {
        const double rho = As / (bw * d);
        return std::max(0.18 * k * std::cbrt(100 * rho * 25) / 1.5 + 0.15 * sigma_cp, v_min + 0.15 * sigma_cp) * bw *
               d / 1e3;
    };
    const auto r = run(in, {combination("S", CombinationKind::Ultimate, 0, 50, 0, 0, 60),
                            combination("T", CombinationKind::Ultimate, -100, 50, 0, 0, 60),
                            combination("H", CombinationKind::Ultimate, 0, -50, 0, 0, 60),
                            combination("Z", CombinationKind::Ultimate, 0, 0, 0, 0, 60)});
    const struct {
        const char* name;
        double VRd;
    } cases[] = {
        {"S", v_rd(k3f20, 0)}, {"T", v_rd(k3f20, -100e3 / 150000)}, {"H", v_rd(k2f12, 0)}, {"Z", v_rd(k2f12, 0)}};
    EXPECT_NEAR(cases[0].VRd, 70.76, 0.005);
    EXPECT_NEAR(cases[2].VRd, v_min * bw * d / 1e3, 1e-9);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CheckResult& s = find_check(r, "shear_z", c.name);
        EXPECT_EQ(s.clause, "§4.1.2.3.5.1");
        EXPECT_NEAR(*s.capacity, c.VRd, 1e-6 * c.VRd);
        EXPECT_NEAR(s.ratio, 60 / c.VRd, 1e-6);
        EXPECT_EQ(s.verified, 60 <= c.VRd);
    }
}

// §4.1.2.3.5.2, (4.1.27) and (4.1.28) with α = 90°, ν = 0.5:
// V_Rsd = 0.9·d·Asw/s·fyd·cot θ, V_Rcd = 0.9·d·bw·αc·ν·fcd·cot θ/(1 + cot²θ).
TEST(VerifyShear, WithStirrupsTheStrutAngleMaximisesTheResistance) {
    // ø8/200: V_Rsd(2.5) = 203.6 kN < V_Rcd(2.5) = 303.4 kN, so cot θ = 2.5.
    {
        const auto r = run(readme_beam(), {combination("U", CombinationKind::Ultimate, 0, 100, 0, 0, 80)});
        const CheckResult& c = find_check(r, "shear_z", "U");
        const double VRsd = 0.9 * 460 * (2 * pi * 16 / 200) * kFyd * 2.5 / 1e3;
        EXPECT_EQ(c.clause, "§4.1.2.3.5.2");
        EXPECT_NEAR(*c.capacity, VRsd, 1e-6 * VRsd);
        EXPECT_NEAR(detail(c, "cot_theta"), 2.5, 1e-12);
        EXPECT_NEAR(detail(c, "V_Rcd"), 0.9 * 460 * 300 * 0.5 * kFcd * 2.5 / 7.25 / 1e3, 1e-6);
    }
    // ø10/100: the two meet where 1 + cot²θ = V_Rcd/V_Rsd per unit cot θ.
    {
        VerificationInput in = readme_beam();
        in.stirrups = StirrupsInput{10, 2, 100};
        const auto r = run(in, {combination("U", CombinationKind::Ultimate, 0, 100, 0, 0, 300)});
        const double s = 0.9 * 460 * (2 * pi * 25 / 100) * kFyd / 1e3, c = 0.9 * 460 * 300 * 0.5 * kFcd / 1e3;
        const double t = std::sqrt(c / s - 1);  // 1.567
        const CheckResult& v = find_check(r, "shear_z", "U");
        EXPECT_NEAR(detail(v, "cot_theta"), t, 1e-9);
        EXPECT_NEAR(*v.capacity, s * t, 1e-6 * s * t);
        // Given: cot θ = 1 (θ = 45°).
        in.cot_theta = 1;
        const auto given = run(in, {combination("U", CombinationKind::Ultimate, 0, 100, 0, 0, 300)});
        EXPECT_NEAR(*find_check(given, "shear_z", "U").capacity, s, 1e-6 * s);
    }
}

// A heavily compressed column: 300 × 300, 3f16 each side (d = 260), ø8/150,
// N = 1000 kN: σcp = 11.1 MPa > 0.5·fcd, αc = 2.5·(1 − σcp/fcd) = 0.539;
// V_Rcd(t) = 268.1·t/(1 + t²), V_Rsd(t) = 61.37·t kN, equal at t = 1.836:
// V_Rd ≈ 112.6 kN (without αc the struts alone would read 497 kN at cot θ = 1).
TEST(VerifyShear, AlphaCOfACompressedColumn) {
    VerificationInput in = readme_beam("3f16", "3f16");
    in.member = MemberType::Column;
    in.shape.dimensions = {300, 300, 0, 0};
    in.stirrups = StirrupsInput{8, 2, 150};
    const auto r = run(in, {combination("U", CombinationKind::Ultimate, 1000, 0, 0, 0, 100)});
    const double sigma = 1000e3 / 90000, alpha_c = 2.5 * (1 - sigma / kFcd);
    const double c = 0.9 * 260 * 300 * alpha_c * 0.5 * kFcd / 1e3, s = 0.9 * 260 * (2 * pi * 16 / 150) * kFyd / 1e3;
    const double t = std::sqrt(c / s - 1);
    const CheckResult& v = find_check(r, "shear_z", "U");
    EXPECT_NEAR(detail(v, "alpha_c"), alpha_c, 1e-12);
    EXPECT_NEAR(*v.capacity, s * t, 1e-6 * s * t);
    EXPECT_NEAR(*v.capacity, 112.6, 0.1);
}

// Torsion on the equivalent thin-walled section (§4.1.2.3.6.1), f'cd = 0.5·fcd.
// 300 × 600, 3f20 top and bottom: t = A_c/u = 180000/1800 = 100 mm, mid-line
// 200 × 500: A = 100000 mm², u_k = 1400 mm. Box 500 × 800 with a centred
// 260 × 560 hole: A_c/u = 400000/2600 = 153.8 mm > the wall, t = 120 mm,
// mid-line 380 × 680; eight ø20 in the walls, ø10/150 closed stirrups.
// T_Rcd = 2·A·t·f'cd·cot θ/(1 + cot²θ), T_Rsd = 2·A·(As/s)·fyd·cot θ (one
// leg), T_Rld = 2·A·(ΣAl/u_k)·fyd/cot θ; each governs once.
TEST(VerifyTorsion, ThinWalledResistancesByHand) {
    struct Case {
        const char* what;
        bool box;
        double stirrup, spacing, cot;
        const char* governs;
        double A, t, uk, Al;
    };
    const double box_bars = 8 * pi * 100;
    const Case cases[] = {
        {"struts", false, 12, 100, 1, "T_Rcd", 100000, 100, 1400, 2 * k3f20},
        {"stirrups", false, 8, 200, 1, "T_Rsd", 100000, 100, 1400, 2 * k3f20},
        {"longitudinal bars", false, 12, 100, 2.5, "T_Rld", 100000, 100, 1400, 2 * k3f20},
        {"box, its own wall", true, 10, 150, 1, "T_Rsd", 380 * 680, 120, 2 * (380 + 680), box_bars},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        VerificationInput in = readme_beam("3f20", "3f20");
        in.shape.dimensions = {300, 600, 0, 0};
        if (k.box) {
            in.shape.kind = ShapeKind::Polygon;
            in.shape.polygon = {{{0, 0}, {500, 0}, {500, 800}, {0, 800}},
                                {{{120, 120}, {380, 120}, {380, 680}, {120, 680}}}};
            in.bars.clear();
            for (double y : {50.0, 250.0, 450.0})
                for (double z : {50.0, 400.0, 750.0})
                    if (y != 250 || z != 400) in.bars.push_back({y, z, 20});
        }
        in.stirrups = StirrupsInput{k.stirrup, 2, k.spacing};
        in.cot_theta = k.cot;
        Combination c = combination("U", CombinationKind::Ultimate, 0, 0, 0, 0, 50);
        c.T = 30;
        const auto r = run(in, {c});
        const CheckResult& t = find_check(r, "torsion", "U");
        const double cot = k.cot, leg = pi * k.stirrup * k.stirrup / 4;
        const double TRcd = 2 * k.A * k.t * 0.5 * kFcd * cot / (1 + cot * cot) / 1e6;
        const double TRsd = 2 * k.A * leg / k.spacing * kFyd * cot / 1e6;
        const double TRld = 2 * k.A * k.Al / k.uk * kFyd / cot / 1e6;
        EXPECT_NEAR(detail(t, "T_Rcd"), TRcd, 1e-9 * TRcd);
        EXPECT_NEAR(detail(t, "T_Rsd"), TRsd, 1e-9 * TRsd);
        EXPECT_NEAR(detail(t, "T_Rld"), TRld, 1e-9 * TRld);
        EXPECT_NEAR(*t.capacity, std::min({TRcd, TRsd, TRld}), 1e-9 * TRsd);
        EXPECT_EQ(*t.capacity, detail(t, k.governs));
        // With the same θ: the struts, T_Ed/T_Rcd + V_Ed/V_Rcd (§4.1.2.3.6.3, V_Rcd by
        // (4.1.28)), and the stirrups both need, T_Ed/T_Rsd + V_Ed/V_Rsd (4.1.27): the larger.
        const CheckResult& i = find_check(r, "torsion_shear", "U");
        if (!k.box) {
            EXPECT_NEAR(detail(i, "V_Rsd"), 0.9 * 560 * 2 * leg / k.spacing * kFyd * cot / 1e3, 1e-9);
        }
        EXPECT_NEAR(i.ratio, std::max(30 / TRcd + 50 / detail(i, "V_Rcd"), 30 / TRsd + 50 / detail(i, "V_Rsd")), 1e-12);
        EXPECT_NEAR(detail(find_check(r, "shear_z", "U"), "cot_theta"), cot, 1e-12);
        EXPECT_TRUE(find_check(r, "torsion").verified);  // a bar at each corner
    }
    // Bars deep in a small section: t is twice their distance from the edge,
    // 2·55 = 110 mm, not A_c/u = 62,5 mm, so the mid-line runs through them.
    VerificationInput in = readme_beam("2f20", "2f20");
    in.shape.dimensions = {250, 250, 0, 0};
    in.bottom.cover = in.top.cover = 55;
    in.stirrups = StirrupsInput{6, 2, 120};
    Combination c = combination("U", CombinationKind::Ultimate, 0, 0, 0, 0, 0);
    c.T = 5;
    const auto r = run(in, {c});
    const CheckResult& t = find_check(r, "torsion", "U");
    EXPECT_NEAR(detail(t, "t"), 110, 1e-9);
    EXPECT_NEAR(detail(t, "A"), 140 * 140, 1e-6);
    EXPECT_NEAR(detail(t, "u_k"), 4 * 140, 1e-9);
}

// Torsion needs closed stirrups: open ones (or a missing corner bar) fail.
// Without torsion the two families do not run, and say why.
TEST(VerifyTorsion, OpenStirrupsMissingCornersAndNoTorsion) {
    VerificationInput in = readme_beam("3f20", "3f20");
    in.closed_stirrups = false;
    Combination c = combination("U", CombinationKind::Ultimate, 0, 50, 0, 0, 50);
    c.T = 10;
    auto r = run(in, {c});
    EXPECT_FALSE(find_check(r, "torsion", "U").verified);
    EXPECT_EQ(detail(find_check(r, "torsion", "U"), "T_Rsd"), 0);
    in.closed_stirrups = true;
    in.top = {"1f20", std::nullopt, 40, std::nullopt};  // one bar in the middle of the top: two corners without a bar
    r = run(in, {c});
    EXPECT_EQ(*find_check(r, "torsion").demand, 150);  // the top bar, 150 mm from the side faces (t = 93.75)
    EXPECT_FALSE(find_check(r, "torsion").verified);
    r = run(in, {combination("U", CombinationKind::Ultimate, 0, 50, 0, 0, 50)});
    int said = 0;
    for (const NotRun& n : r.not_run) said += n.id == "torsion" || n.id == "torsion_shear";
    EXPECT_EQ(said, 2);
}

// The tension chord (§4.1.2.3.5.2, §4.1.2.3.6.2) of 300 × 600 with 3f20 top
// and bottom, cot θ = 2.5: under N = −200 kN every bar is stretched and
// carries 200 kN in all; Vz = 100 kN adds V·cot θ/2 = 125 kN; T = 20 kNm adds
// T·u_k·cot θ/(2·A) = 20e6·1400·2.5/200000 = 350 kN, all of it on this chord
// (every bar is in it); against 6·π·100·fyd = 737.6 kN.
TEST(VerifyTensionChord, AxialShearAndTorsionByHand) {
    VerificationInput in = readme_beam("3f20", "3f20");
    in.shape.dimensions = {300, 600, 0, 0};
    in.cot_theta = 2.5;
    Combination c = combination("U", CombinationKind::Ultimate, -200, 0, 0, 0, 100);
    c.T = 20;
    const auto r = run(in, {c});
    const CheckResult& chord = find_check(r, "tension_chord", "U");
    EXPECT_NEAR(detail(chord, "F_s"), 200, 1e-4);
    EXPECT_NEAR(detail(chord, "Delta_F_V"), 125, 1e-9);
    EXPECT_NEAR(detail(chord, "Delta_F_T"), 350, 1e-9);
    EXPECT_NEAR(*chord.capacity, 2 * k3f20 * kFyd / 1e3, 1e-9);
    EXPECT_NEAR(*chord.demand, 675, 1e-4);
    // Without a given θ the one chosen for torsion is the shear check's too.
    in.cot_theta.reset();
    const auto chosen = run(in, {c});
    EXPECT_EQ(detail(find_check(chosen, "shear_z", "U"), "cot_theta"),
              detail(find_check(chosen, "torsion", "U"), "cot_theta"));
}

// Cracked section under My (§4.1.2.2.5, αe = 15): b·x²/2 + αe·A'·(x − 40) =
// αe·As·(d − x) gives x = 159.9 mm; I = b·x³/3 + αe·A'·(x − 40)² + αe·As·(d − x)²;
// σc = M·x/I, σs = αe·M·(d − x)/I.
TEST(VerifyStresses, CrackedSectionByHand) {
    const double b = 300, d = 460, ae = 15;
    const double qa = b / 2, qb = ae * (k2f12 + k3f20), qc = -ae * (k2f12 * 40 + k3f20 * d);
    const double x = (-qb + std::sqrt(qb * qb - 4 * qa * qc)) / (2 * qa);
    const double I = b * x * x * x / 3 + ae * k2f12 * (x - 40) * (x - 40) + ae * k3f20 * (d - x) * (d - x);
    const auto r = run(readme_beam(), {combination("QP", CombinationKind::QuasiPermanent, 0, 60),
                                       combination("R", CombinationKind::Characteristic, 0, 150)});
    const CheckResult& qp = find_check(r, "stress_concrete", "QP");
    EXPECT_NEAR(*qp.demand, 60e6 * x / I, 1e-6);
    EXPECT_NEAR(*qp.capacity, 0.45 * 25, 1e-12);
    const CheckResult& rc = find_check(r, "stress_concrete", "R");
    EXPECT_NEAR(*rc.demand, 150e6 * x / I, 1e-6);
    EXPECT_NEAR(*rc.capacity, 0.60 * 25, 1e-12);
    const CheckResult& rs = find_check(r, "stress_steel", "R");
    EXPECT_NEAR(*rs.demand, ae * 150e6 * (d - x) / I, 1e-5);  // 390 MPa
    EXPECT_NEAR(*rs.capacity, 360, 1e-12);
    EXPECT_FALSE(rs.verified);
    EXPECT_EQ(&r.checks[*r.governing("stress_steel")], &rs);
}

// EN 1992-1-1 §7.3.4 (C4.1.2.2.4), quasi-permanent My = 60 kNm: σs from the
// cracked section above; hc,eff = min(2.5·40, (500 − x)/3, 250) = 100 mm,
// Ac,eff = 30000 mm², ρp,eff = 0.0314; c = 40 − 10 = 30 mm, s = 110 mm <
// 5·(c + φ/2) = 200 mm; sr,max = 3.4·30 + 0.8·0.5·0.425·20/ρp,eff = 210.2 mm;
// εsm − εcm = [σs − 0.4·fctm/ρ·(1 + αe·ρ)]/Es with αe = Es/Ecm; wk ≈ 0.123 mm
// against w2 = 0.3 mm (ordinary environment, quasi-permanent, ordinary bars).
TEST(VerifyCracks, WidthByTheCommentarysMethod) {
    const double b = 300, d = 460, ae = 15;
    const double qa = b / 2, qb = ae * (k2f12 + k3f20), qc = -ae * (k2f12 * 40 + k3f20 * d);
    const double x = (-qb + std::sqrt(qb * qb - 4 * qa * qc)) / (2 * qa);
    const double I = b * x * x * x / 3 + ae * k2f12 * (x - 40) * (x - 40) + ae * k3f20 * (d - x) * (d - x);
    const double sigma_s = ae * 60e6 * (d - x) / I;
    const double rho = k3f20 / (b * 100), Ecm = 22000 * std::pow(3.3, 0.3), alpha = kEs / Ecm;
    const double strain = std::max((sigma_s - 0.4 * kFctm / rho * (1 + alpha * rho)) / kEs, 0.6 * sigma_s / kEs);
    const double sr = 3.4 * 30 + 0.8 * 0.5 * 0.425 * 20 / rho;
    // The corner bars nearer the side faces (a clear cover of 7 mm there):
    // c is still the bottom face's, where the crack opens.
    for (const std::optional<double> side : {std::optional<double>{}, std::optional<double>{7.0}}) {
        SCOPED_TRACE(side.value_or(0));
        VerificationInput in = readme_beam();
        in.left.clear_cover = in.right.clear_cover = side;
        const auto r = run(in, {combination("QP", CombinationKind::QuasiPermanent, 0, 60)});
        const CheckResult& c = find_check(r, "crack_width", "QP");
        EXPECT_NEAR(detail(c, "hc_eff"), 100, 1e-9);
        EXPECT_NEAR(detail(c, "c"), 30, 1e-9);
        EXPECT_NEAR(detail(c, "sr_max"), sr, 1e-9);
        EXPECT_NEAR(*c.demand, sr * strain, 1e-9);
        EXPECT_NEAR(*c.demand, 0.123, 0.001);
        EXPECT_NEAR(*c.capacity, 0.3, 1e-12);
        EXPECT_TRUE(c.verified);
    }
}

// Table 4.1.IV and §4.1.2.2.4: the limit state by environment, combination
// and bars; an uncracked section (tension ≤ fctm) has wk = 0, and
// decompression or crack formation are checked as stresses.
TEST(VerifyCracks, LimitStatesOfTable4_1_IV) {
    const struct {
        Environment environment;
        bool sensitive;
        CombinationKind kind;
        double My;
        const char* unit;
        double capacity;
        bool verified;
    } cases[] = {
        {Environment::Ordinary, false, CombinationKind::Frequent, 60, "mm", 0.4, true},
        {Environment::Ordinary, true, CombinationKind::Frequent, 60, "mm", 0.3, true},
        {Environment::Ordinary, true, CombinationKind::QuasiPermanent, 60, "mm", 0.2, true},
        {Environment::Aggressive, false, CombinationKind::QuasiPermanent, 60, "mm", 0.2, true},
        {Environment::VeryAggressive, false, CombinationKind::Frequent, 60, "mm", 0.2, true},
        {Environment::Aggressive, true, CombinationKind::QuasiPermanent, 60, "MPa", 0, false},          // decompression
        {Environment::VeryAggressive, true, CombinationKind::Frequent, 60, "MPa", kFctm / 1.2, false},  // formation
        {Environment::VeryAggressive, true, CombinationKind::Frequent, 5, "MPa", kFctm / 1.2, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(&k - cases));
        VerificationInput in = readme_beam();
        in.environment = k.environment;
        in.sensitive_bars = k.sensitive;
        const auto r = run(in, {combination("S", k.kind, 0, k.My)});
        const CheckResult& c = find_check(r, "crack_width", "S");
        EXPECT_EQ(c.unit, k.unit);
        EXPECT_NEAR(*c.capacity, k.capacity, 1e-12);
        EXPECT_EQ(c.verified, k.verified);
        if (!k.verified) {
            EXPECT_GT(c.ratio, 1);
        }
    }
    // 5 kNm: the uncracked section's tension, M·(h − yG)/I of the section
    // homogenised with the concrete's own modulus, αe = Es/Ecm, stays below fctm.
    const auto r = run(readme_beam(), {combination("F", CombinationKind::Frequent, 0, 5)});
    const CheckResult& c = find_check(r, "crack_width", "F");
    EXPECT_EQ(*c.demand, 0);
    EXPECT_EQ(c.ratio, 0);
    EXPECT_NE(c.note.find("sezione non fessurata"), std::string::npos);
    const double ae = kEs / (22000 * std::pow(3.3, 0.3)), bh = 300.0 * 500;
    const double A = bh + ae * (k3f20 + k2f12), yG = (bh * 250 + ae * (k3f20 * 460 + k2f12 * 40)) / A;
    const double I = bh * 500 * 500 / 12 + bh * (250 - yG) * (250 - yG) +
                     ae * (k3f20 * (460 - yG) * (460 - yG) + k2f12 * (40 - yG) * (40 - yG));
    EXPECT_NEAR(detail(c, "sigma_t"), 5e6 * (500 - yG) / I, 1e-9);
}

// §4.1.6.1.1 and §4.1.6.1.2: minimums read required/provided, maximums
// provided/limit, so that a ratio above 1 fails.
TEST(VerifyDetailing, BeamRules) {
    // 2f10 below: As,min = max(0.26·fctm/fyk, 0.0013)·bt·d = 0.001482·300·460 = 204.5 > 157.1 mm².
    VerificationInput in = readme_beam("2f10", "2f12");
    in.stirrups = StirrupsInput{6, 2, 300};  // 188.5 mm²/m against 1.5·300 = 450 mm²/m
    const auto r = run(in, {combination("U", CombinationKind::Ultimate, 0, 20)});
    const double as_min = std::max(0.26 * kFctm / 450, 0.0013) * 300 * 460, provided = 2 * pi * 25;
    const CheckResult& a = find_check(r, "as_min");
    EXPECT_FALSE(a.combination.has_value());
    EXPECT_NEAR(*a.demand, as_min, 1e-9);
    EXPECT_NEAR(a.ratio, as_min / provided, 1e-9);
    EXPECT_FALSE(a.verified);
    const CheckResult& s = find_check(r, "stirrups");
    EXPECT_NEAR(s.ratio, 450 / (2 * pi * 9 * 1000 / 300), 1e-9);
    EXPECT_FALSE(s.verified);
    EXPECT_NEAR(*find_check(r, "stirrup_spacing").capacity, 1000.0 / 3, 1e-9);  // three a metre < 0.8·460
    EXPECT_FALSE(r.verified);
    // 10f28 below: 6158 mm² > 0.04·Ac = 6000 mm². Ten in one row of a 300 mm beam would overlap (an input
    // error): 5f28 at the cover and five more ø28 on the same verticals 60 mm higher.
    VerificationInput two_rows = readme_beam("5f28", "2f12");
    for (int k = 0; k < 5; ++k) two_rows.bars.push_back({40.0 + 55 * k, 100, 28});
    const auto big = run(two_rows, {combination("U", CombinationKind::Ultimate, 0, 20)});
    EXPECT_NEAR(find_check(big, "as_max").ratio, 10 * pi * 196 / 6000, 1e-9);
    // No stirrups at all: nothing provided, an infinite ratio, and no spacing to check.
    in.stirrups = StirrupsInput{0, 0, 0};
    const auto none = run(in, {combination("U", CombinationKind::Ultimate, 0, 20)});
    EXPECT_TRUE(std::isinf(find_check(none, "stirrups").ratio));
    EXPECT_TRUE(std::isinf(none.max_ratio));
}

TEST(VerifyDetailing, ColumnRules) {
    VerificationInput in = readme_beam("4f10", "4f28");
    in.member = MemberType::Column;
    in.stirrups = StirrupsInput{6, 2, 150};
    const auto r = run(in, {combination("U", CombinationKind::Ultimate, 3000, 0)});
    EXPECT_NEAR(find_check(r, "bar_diameter").ratio, 12.0 / 10, 1e-12);
    EXPECT_NEAR(*find_check(r, "bar_spacing").demand, 420, 1e-9);  // corner to corner over the 500 mm side
    // As,min = max(0.003·Ac, 0.10·N_Ed/fyd) = max(450, 766.7) mm².
    EXPECT_NEAR(*find_check(r, "as_min").demand, 0.10 * 3000e3 / kFyd, 1e-9);
    EXPECT_NEAR(*find_check(r, "stirrups").demand, 28.0 / 4, 1e-12);
    EXPECT_NEAR(*find_check(r, "stirrup_spacing").capacity, 12 * 10, 1e-12);
    EXPECT_FALSE(find_check(r, "stirrup_spacing").verified);
    // A 500 × 500 column with bars 200 mm apart round three faces, the
    // right face's corner bars 400 mm apart and one bar 100 mm inside that
    // face: it does not split the face's gap.
    in = readme_beam();
    in.member = MemberType::Column;
    in.shape.dimensions = {500, 500, 0, 0};
    in.bottom = in.top = LayerInput{};
    in.bars = {{50, 50, 20},   {250, 50, 20}, {450, 50, 20}, {450, 450, 20},
               {250, 450, 20}, {50, 450, 20}, {50, 250, 20}, {350, 250, 20}};
    const auto inner = run(in, {combination("U", CombinationKind::Ultimate, 1000, 0)});
    EXPECT_NEAR(*find_check(inner, "bar_spacing").demand, 400, 1e-9);
    EXPECT_FALSE(find_check(inner, "bar_spacing").verified);
}

// A 300 × 500 beam with explicit bars, so that the figures hold whatever
// places a layer's bars: rows of n bars with centres from y0 to y1 at height z.
struct BarRow {
    int n;
    double phi, y0, y1, z;
};
VerificationInput beam_with_rows(const std::vector<BarRow>& rows) {
    VerificationInput in = readme_beam();
    in.bottom = in.top = LayerInput{};
    for (const BarRow& row : rows)
        for (int k = 0; k < row.n; ++k)
            in.bars.push_back({row.y0 + (row.y1 - row.y0) * k / std::max(1, row.n - 1), row.z, row.phi});
    return in;
}

// EN 1992-1-1 §8.2: clear distance ≥ max(φ, dg + 5 mm, 20 mm), dg 20 mm unless given. In a 300 mm beam
// with ø8 stirrups at 30 mm of clear cover the centres of ø20 bars lie 30 + 8 + 10 = 48 mm from the sides,
// 204 mm apart end to end: 3f20 every 102 mm (clear 82), 4f20 every 68 (48), 5f20 every 51 (31), against
// 25 mm. 8f25 between centres 40 mm from the sides: 220/7 = 31.4 mm apart, 6.4 mm clear. Two rows 40 mm
// apart: 20 mm clear, enough only with dg ≤ 15 mm. Two ø32 62 mm apart: 30 mm clear, φ governs.
TEST(VerifyDetailing, BarClearSpacing) {
    const struct {
        std::vector<BarRow> rows;
        std::optional<double> dg;
        double required, clear;
        bool verified;
    } cases[] = {
        {{{3, 20, 48, 252, 48}}, std::nullopt, 25, 82, true},
        {{{4, 20, 48, 252, 48}}, std::nullopt, 25, 48, true},
        {{{5, 20, 48, 252, 48}}, std::nullopt, 25, 31, true},
        {{{8, 25, 40, 260, 40}}, std::nullopt, 25, 220.0 / 7 - 25, false},
        {{{3, 20, 48, 252, 48}, {3, 20, 48, 252, 88}}, std::nullopt, 25, 20, false},
        {{{3, 20, 48, 252, 48}, {3, 20, 48, 252, 88}}, 10, 20, 20, true},
        {{{2, 32, 50, 112, 50}}, std::nullopt, 32, 30, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(&k - cases));
        VerificationInput in = beam_with_rows(k.rows);
        in.aggregate_size = k.dg;
        const CheckResult c = find_check(verify(in), "bar_clear_spacing");
        EXPECT_NEAR(*c.demand, k.required, 1e-9);
        EXPECT_NEAR(*c.capacity, k.clear, 1e-9);
        EXPECT_EQ(c.verified, k.verified);
        EXPECT_NE(c.note.find("barre["), c.note.rfind("barre[")) << c.note;  // the two bars are named
    }
}

// Tab. C4.1.IV (commentary to §4.1.6.1.3, nominal life 50 years) plus the tolerance, 10 mm unless given:
// ø20 bars at 50 mm from the bottom and the sides have 40 mm of clear cover, 32 mm outside ø8 stirrups.
// Each c_min is read off the table: its row by environment, its column by element, bars or tendons and
// the class against C0 (≥ C0, or Cmin ≤ C < C0; below Cmin that column + 5 mm).
TEST(VerifyDetailing, CoverAndConcreteClassByTableC4_1_IV) {
    const struct {
        Environment environment;
        const char* concrete;
        MemberType member;
        bool sensitive, stirrups;
        std::optional<double> tolerance;
        double c_min;
        bool class_verified;
    } cases[] = {
        {Environment::Ordinary, "C25/30", MemberType::Beam, false, true, std::nullopt, 25, true},
        {Environment::Ordinary, "C35/45", MemberType::Beam, false, true, std::nullopt, 20, true},
        {Environment::Ordinary, "C20/25", MemberType::Beam, false, true, std::nullopt, 25 + 5, false},
        {Environment::Aggressive, "C30/37", MemberType::Beam, false, true, std::nullopt, 35, true},
        {Environment::Aggressive, "C25/30", MemberType::Slab, false, true, std::nullopt, 30 + 5, false},
        {Environment::VeryAggressive, "C45/55", MemberType::Slab, false, true, std::nullopt, 35, true},
        {Environment::VeryAggressive, "C40/50", MemberType::Beam, true, true, std::nullopt, 50, true},
        {Environment::Ordinary, "C25/30", MemberType::Slab, false, false, 5, 20, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(&k - cases));
        VerificationInput in = beam_with_rows({{2, 20, 50, 250, 50}, {2, 20, 50, 250, 450}});
        in.environment = k.environment;
        in.concrete = analysis::Concrete::of_class(k.concrete);
        in.member = k.member;
        in.sensitive_bars = k.sensitive;
        if (!k.stirrups) in.stirrups = StirrupsInput{0, 0, 0};
        in.cover_tolerance = k.tolerance;
        const auto r = verify(in);
        const CheckResult& c = find_check(r, "cover");
        const double required = k.c_min + k.tolerance.value_or(10), provided = k.stirrups ? 32 : 40;
        EXPECT_NEAR(*c.demand, required, 1e-9);
        EXPECT_NEAR(*c.capacity, provided, 1e-9);
        EXPECT_EQ(c.verified, provided >= required);
        EXPECT_EQ(find_check(r, "concrete_class").verified, k.class_verified);
    }
    // §4.1.6.1.3: a ø32 whose centre is 45 mm from the bottom has 29 mm of clear cover, less than φ.
    const CheckResult bar = find_check(verify(beam_with_rows({{2, 32, 60, 240, 45}})), "cover", "", 1);
    EXPECT_EQ(bar.clause, "§4.1.6.1.3");
    EXPECT_NEAR(*bar.demand, 32, 1e-9);
    EXPECT_NEAR(*bar.capacity, 29, 1e-9);
    EXPECT_FALSE(bar.verified);
}

// A 1000 × 200 slab strip: 5ø12 every 200 mm at z = 40, 3ø10 every 400 mm at z = 160, no stirrups given.
// (4.1.23): d = 160, k = min(1 + √(200/160), 2) = 2, ρl = 565.5/160000, 0.18·k·(100·ρl·fck)^(1/3)/γc =
// 0.496 MPa → V_Rd,c = 79.4 kN. At V_Ed 50 kN no stirrup rule runs (not_run says why); at 150 kN the
// beam's minimum applies. Spacing (EN 1992-1-1 §9.3.1.1(3)), the strip repeating every 1000 mm: principal
// (stretched) bars 200 mm ≤ min(3·h, 400 mm) = 400 mm; secondary 400 mm ≤ min(3.5·h, 450 mm) = 450 mm.
TEST(VerifyDetailing, SlabRules) {
    VerificationInput in = beam_with_rows({{5, 12, 100, 900, 40}, {3, 10, 100, 900, 160}});
    in.member = MemberType::Slab;
    in.shape.dimensions = {1000, 200, 0, 0};
    in.stirrups.reset();  // none given: a slab takes none from the code
    const auto r = run(in, {combination("U", CombinationKind::Ultimate, 0, 20, 0, 0, 50)});
    EXPECT_FALSE(r.stirrups.has_value());
    const double rho = 5 * pi * 36 / 160000, VRd_c = 0.18 * 2 * std::cbrt(100 * rho * 25) / 1.5 * 160000 / 1e3;
    EXPECT_NEAR(*find_check(r, "shear_z", "U").capacity, VRd_c, 1e-6);
    for (const CheckResult& c : r.checks) EXPECT_NE(c.id, "stirrups");
    const auto said =
        std::find_if(r.not_run.begin(), r.not_run.end(), [](const NotRun& n) { return n.id == "stirrups"; });
    ASSERT_NE(said, r.not_run.end());
    EXPECT_NE(said->reason.find("V_Ed ≤ V_Rd,c"), std::string::npos);
    const CheckResult &principal = find_check(r, "bar_spacing"), &secondary = find_check(r, "bar_spacing", "", 1);
    EXPECT_NEAR(*principal.demand, 200, 1e-9);
    EXPECT_NEAR(*principal.capacity, 400, 1e-9);
    EXPECT_NEAR(*secondary.demand, 400, 1e-9);
    EXPECT_NEAR(*secondary.capacity, 450, 1e-9);
    EXPECT_TRUE(r.verified);
    const auto heavy = run(in, {combination("U", CombinationKind::Ultimate, 0, 20, 0, 0, 150)});
    EXPECT_FALSE(find_check(heavy, "stirrups").verified);
}

// Without service combinations the service checks are not run, and say so.
// A 400 × 400 column, 8f16 with centres 46 mm from the faces (30 mm clear
// cover, stirrups ø8/100 with 3 legs each way), in the seismic combination
// N = 1000 kN, My = 100 kNm. By hand: ν_d = 10⁶/(160000·14,1667) = 0,44118;
// ρ = 8·201,06/160000 = 1,0053 %; perimeter bars 154 mm apart; core
// b0 = 332 mm; α = αn·αs = 0,713118·0,721476, ω_wd = 0,250917 (the engine's
// test works them out); [7.4.3] with T1 ≥ Tc: μφ = 1,2·(2·3,9 − 1) = 8,16.
VerificationInput seismic_column(DuctilityClass cd) {
    VerificationInput in;
    in.member = MemberType::Column;
    in.shape.dimensions = {400, 400, 0, 0};
    for (double y : {46.0, 200.0, 354.0})
        for (double z : {46.0, 200.0, 354.0})
            if (y != 200 || z != 200) in.bars.push_back({y, z, 16});
    in.stirrups = StirrupsInput{8, 3, 100};
    in.seismic = SeismicInput{cd, MemberType::Column, true, 3.9, 0.5, 0.4, {}, 3000, {}};
    return in;
}

TEST(VerifySeismic, ColumnsOfBothClassesByHand) {
    const double nu = 1e6 / (160000 * kFcd), rho = 8 * pi * 64 / 160000, mu = 1.2 * (2 * 3.9 - 1);
    const double alpha = 0.713118 * 0.721476, omega = 0.250917, eps = kFyd / kEs;
    const struct {
        DuctilityClass cd;
        double nu_max, spacing_limit, omega_min, gamma_Rd;
    } rows[] = {{DuctilityClass::A, 0.55, 16 * 6, 0.12, 1.3}, {DuctilityClass::B, 0.65, 16 * 8, 0.08, 1.1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cd == DuctilityClass::A ? "CD A" : "CD B");
        const auto r = run(seismic_column(row.cd), {combination("E", CombinationKind::Seismic, 1000, 100)});
        EXPECT_NEAR(find_check(r, "seismic_axial_load", "E").ratio, nu / row.nu_max, 1e-9);
        EXPECT_NEAR(find_check(r, "seismic_longitudinal_steel").ratio, 0.01 / rho, 1e-9);
        EXPECT_NEAR(*find_check(r, "seismic_longitudinal_steel", "", 2).demand, 154, 1e-9);
        EXPECT_TRUE(find_check(r, "seismic_longitudinal_steel", "", 3).verified);  // B450C (§7.4.2.2)
        const CheckResult& spacing = find_check(r, "seismic_stirrups");
        EXPECT_NEAR(*spacing.capacity, row.spacing_limit, 1e-9);  // 6·φl (⅓·332 = 110,7; 125) or 8·φl (166; 175)
        EXPECT_EQ(spacing.verified, row.cd == DuctilityClass::B);
        const CheckResult& confinement = find_check(r, "seismic_confinement", "E");
        EXPECT_NEAR(*confinement.demand, 30 * mu * nu * eps * 400 / 332 - 0.035, 1e-6);
        EXPECT_NEAR(*confinement.capacity, alpha * omega, 2e-6);
        EXPECT_NEAR(find_check(r, "seismic_confinement", "", 0).ratio, row.omega_min / omega, 1e-5);
        EXPECT_NEAR(*find_check(r, "seismic_geometry").capacity, 400, 1e-9);
        // The ductility is the confined curve's; the capacity shear 2·γRd·M_Rd/3 m at N.
        const CheckResult& ductility = find_check(r, "ductility", "E");
        EXPECT_NEAR(*ductility.demand, mu, 1e-9);
        std::vector<analysis::Bar> bars;
        for (const PointBar& b : seismic_column(row.cd).bars) bars.push_back(analysis::bar_of_diameter(b.y, b.z, 16));
        const analysis::Section s(analysis::profile_shape(analysis::Profile::Rectangle, {400, 400, 0, 0}), bars,
                                  analysis::Concrete::of_class("C25/30"), analysis::Steel::of_class("B450C"));
        const analysis::CurvatureOptions o{analysis::Axis::My, analysis::Stirrups{8, 100, 3, 3, 30}};
        EXPECT_NEAR(*ductility.capacity, analysis::moment_curvature(s, 1000, o).mu_phi, 1e-9);
        EXPECT_NEAR(detail(find_check(r, "capacity_shear", "E"), "M_Rd_pos"), *s.resisting_moment(1000, 1, 0).My_Rd,
                    1e-9);
        const CheckResult& shear = find_check(r, "capacity_shear", "E");
        EXPECT_NEAR(*shear.demand, row.gamma_Rd * 2 * detail(shear, "M_Rd_pos") / 3.0, 1e-9);
        EXPECT_NEAR(detail(shear, "M_Rd_pos"), detail(shear, "M_Rd_neg"), 1e-6);
        // A column in both planes: the second entry with Mz_Rd and Vy.
        EXPECT_NEAR(detail(find_check(r, "capacity_shear", "E", 1), "M_Rd_pos"), *s.resisting_moment(1000, 0, 1).Mz_Rd,
                    1e-9);
        // Open stirrups do not confine: α·ω_wd = 0, and the ductility is the
        // unconfined section's. Without stirrups the critical zone fails.
        VerificationInput open = seismic_column(row.cd);
        open.closed_stirrups = false;
        const auto unconfined = run(open, {combination("E", CombinationKind::Seismic, 1000, 100)});
        EXPECT_EQ(*find_check(unconfined, "seismic_confinement", "E").capacity, 0);
        EXPECT_FALSE(find_check(unconfined, "seismic_confinement", "E").verified);
        EXPECT_FALSE(find_check(unconfined, "seismic_confinement").verified);
        EXPECT_NEAR(*find_check(unconfined, "ductility", "E").capacity,
                    analysis::moment_curvature(s, 1000, {analysis::Axis::My, {}}).mu_phi, 1e-9);
        open.stirrups.reset();
        open.steel = analysis::Steel::of_class("B450A");
        const auto none = run(open, {combination("E", CombinationKind::Seismic, 1000, 100)});
        EXPECT_FALSE(find_check(none, "seismic_stirrups").verified);
        const CheckResult& steel = find_check(none, "seismic_longitudinal_steel", "", 3);
        EXPECT_NEAR(steel.ratio, 0.075 / 0.025, 1e-12);  // εuk 2,5 % against 7,5 %
        EXPECT_FALSE(steel.verified);
    }
}

// The README's beam with 2f14 on top and stirrups ø8/100, a CD"B" beam in
// its critical zone, clear span 5 m, gravity shear 50 kN. By hand:
// ρ = As/(b·h): 942,5/150000 = 0,6283 % below, 307,9/150000 = 0,2053 % above,
// under 1,4/450 = 0,3111 %, and under ½·0,6283 % as compression steel; stirrups
// s ≤ min(460/4; 225; 8·14; 24·8) = 112 mm; V_Ed = 1,10·(M⁺ + M⁻)/5 + 50 kN.
TEST(VerifySeismic, BeamOfClassBWithCapacityShear) {
    VerificationInput in = readme_beam("3f20", "2f14");
    in.stirrups = StirrupsInput{8, 2, 100};
    in.seismic = SeismicInput{DuctilityClass::B, MemberType::Beam, true, {}, {}, {}, {}, 5000, 50};
    const auto r = run(in, {combination("E", CombinationKind::Seismic, 0, 120, 0, 0, 90)});
    const double bottom = k3f20 / 150000, top = 2 * pi * 49 / 150000;
    EXPECT_NEAR(find_check(r, "seismic_longitudinal_steel", "", 4).ratio, 1.4 / 450 / top, 1e-9);
    EXPECT_FALSE(find_check(r, "seismic_longitudinal_steel", "", 4).verified);
    EXPECT_NEAR(find_check(r, "seismic_longitudinal_steel", "", 6).ratio, 0.5 * bottom / top, 1e-9);
    EXPECT_NEAR(find_check(r, "seismic_longitudinal_steel", "", 1).ratio, bottom / (top + 3.5 / 450), 1e-9);
    EXPECT_NEAR(*find_check(r, "seismic_stirrups").capacity, 112, 1e-9);
    EXPECT_NEAR(find_check(r, "seismic_geometry", "", 1).ratio, 0.25 / 0.6, 1e-12);
    const CheckResult& shear = find_check(r, "capacity_shear", "E");
    const double M = detail(shear, "M_Rd_pos") + detail(shear, "M_Rd_neg");
    EXPECT_NEAR(*shear.demand, 1.1 * M / 5 + 50, 1e-9);
    EXPECT_GT(detail(shear, "M_Rd_pos"), 1.5 * detail(shear, "M_Rd_neg"));  // 3f20 stretched against 2f14
    // No ductility demand given, and the column rules: said, not run.
    std::vector<std::string> ids;
    for (const NotRun& n : r.not_run)
        if (n.id.rfind("seismic", 0) == 0 || n.id == "ductility") ids.push_back(n.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"seismic_axial_load", "seismic_confinement", "ductility"}));
    // CD"A": θ = 45° and the truss alone, V_Rd = min(V_Rsd, V_Rcd) at cot θ = 1
    // (z = 0,9·460 mm), even where the input fixes cot θ for the other checks.
    in.seismic->ductility = DuctilityClass::A;
    in.cot_theta = 2.5;
    const auto a = run(in, {combination("E", CombinationKind::Seismic, 0, 120, 0, 0, 90)});
    const double z = 0.9 * 460, VRsd = z * (2 * pi * 16 / 100) * kFyd / 1e3, VRcd = z * 300 * 0.5 * kFcd / 2 / 1e3;
    EXPECT_NEAR(detail(find_check(a, "capacity_shear", "E"), "cot_theta"), 1, 1e-12);
    EXPECT_NEAR(*find_check(a, "capacity_shear", "E").capacity, std::min(VRsd, VRcd), 1e-9);
    EXPECT_NEAR(detail(find_check(a, "shear_z", "E"), "cot_theta"), 2.5, 1e-12);
}

TEST(VerifyResult, ChecksNotRunAreSaid) {
    const auto r = run(readme_beam(), {combination("U", CombinationKind::Ultimate, 0, 100, 0, 0, 80)});
    EXPECT_TRUE(r.ultimate_checks_run);
    EXPECT_FALSE(r.service_checks_run);
    bool said = false;
    for (const std::string& w : r.warnings) said = said || w.find("nessuna combinazione SLE") != std::string::npos;
    EXPECT_TRUE(said);
    for (const CheckResult& c : r.checks) EXPECT_NE(c.id, "crack_width");
    // The result lists each family that did not run: the three service families (σc for both its kinds,
    // wk for both), and the column rules on a beam.
    std::vector<std::string> ids;
    for (const NotRun& n : r.not_run) ids.push_back(n.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"stress_concrete", "stress_concrete", "stress_steel", "crack_width",
                                             "crack_width", "slenderness", "torsion", "torsion_shear", "bar_spacing",
                                             "bar_diameter"}));
}

}  // namespace
