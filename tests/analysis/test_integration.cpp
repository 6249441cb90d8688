// Exact integration over polygons: stresses of known shape integrated by
// slabs against their closed forms, and against a fine fibre sum.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "analysis/geometry.hpp"
#include "analysis/integrate.hpp"
#include "analysis/path.hpp"
#include "fixtures.hpp"

namespace {

namespace fa = ferrolit::analysis;
using fa::detail::Frame;
using fa::detail::StressProfile;
using fa::detail::Zone;

// Second moments about the centroid (mm⁴): ∫y'², ∫z'², ∫y'z'.
struct Inertia {
    double A, Iyy, Izz, Iyz;
};

struct Case {
    const char* name;
    fa::Shape shape;
    Inertia closed_form;
};

// Closed forms: rectangles b·h³/12, the right triangle with legs a, c
// (a·c³/36, −a²c²/72), and a rectangle less an off-centre rectangular hole
// by the parallel-axis theorem.
std::vector<Case> cases() {
    std::vector<Case> out;
    out.push_back({"rectangle 300x500",
                   fixtures::rectangle(300, 500),
                   {150000, 500 * std::pow(300, 3) / 12, 300 * std::pow(500, 3) / 12, 0}});
    const double a = 240, c = 360;
    out.push_back({"right triangle",
                   {{{0, 0}, {a, 0}, {0, c}}, {}},
                   {a * c / 2, c * a * a * a / 36, a * c * c * c / 36, -a * a * c * c / 72}});
    // 400×600 less the hole [50,150]×[100,300].
    const double A1 = 400 * 600, A2 = 100 * 200, A = A1 - A2;
    const double yg = (A1 * 200 - A2 * 100) / A, zg = (A1 * 300 - A2 * 200) / A;
    const double Iyy = 600 * std::pow(400, 3) / 12 + A1 * std::pow(200 - yg, 2) -
                       (200 * std::pow(100, 3) / 12 + A2 * std::pow(100 - yg, 2));
    const double Izz = 400 * std::pow(600, 3) / 12 + A1 * std::pow(300 - zg, 2) -
                       (100 * std::pow(200, 3) / 12 + A2 * std::pow(200 - zg, 2));
    const double Iyz = A1 * (200 - yg) * (300 - zg) - A2 * (100 - yg) * (200 - zg);
    out.push_back({"rectangle with a hole",
                   {{{0, 0}, {400, 0}, {400, 600}, {0, 600}}, {{{50, 100}, {150, 100}, {150, 300}, {50, 300}}}},
                   {A, Iyy, Izz, Iyz}});
    return out;
}

fa::Section section_of(const fa::Shape& shape) {
    // One bar near the centroid: the integrals here concern the concrete only.
    double y = 0, z = 0;
    for (const auto& p : shape.outline) y += p.y / 3, z += p.z / 3;
    if (!shape.holes.empty()) y = 300, z = 450;
    return fa::Section(shape, {fa::bar_of_diameter(y, z, 10)}, fa::Concrete::of_class("C25/30"),
                       fa::Steel::of_class("B450C"));
}

TEST(AnalysisIntegration, LinearStressMatchesClosedFormsInEveryDirection) {
    for (const Case& c : cases()) {
        const fa::Section s = section_of(c.shape);
        for (double deg : {0.0, 1e-9, 17.0, 45.0, 90.0, 133.7, 180.0, 271.3}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(deg) + "°");
            Frame f;
            f.build(s.data(), deg * std::numbers::pi / 180);
            // σ = c0 + g·(u − u_bottom) over the whole section.
            StressProfile p;
            p.count = 1;
            p.zone[0].kind = Zone::Kind::Linear;
            p.zone[0].from = f.u_bottom;
            p.zone[0].c = 7;
            p.zone[0].g = 0.3;
            const auto F = fa::detail::integrate(f, p);
            const Inertia& I = c.closed_form;
            const double Iuu = f.dy * f.dy * I.Iyy + 2 * f.dy * f.dz * I.Iyz + f.dz * f.dz * I.Izz;
            const double Iuv = -f.dy * f.dz * I.Iyy + (f.dy * f.dy - f.dz * f.dz) * I.Iyz + f.dy * f.dz * I.Izz;
            const double N = 7 * I.A - 0.3 * f.u_bottom * I.A;  // ∫u dA = 0 about G
            EXPECT_NEAR(F.N, N, 1e-12 * std::fabs(N));
            EXPECT_NEAR(F.Mu, 0.3 * Iuu, 1e-12 * 0.3 * Iuu);
            EXPECT_NEAR(F.Mv, 0.3 * Iuv, 1e-12 * 0.3 * (std::fabs(Iuv) + Iuu));
        }
    }
}

// A plain fibre sum of the same profile over an n×n grid of the bounding box.
fa::detail::Forces fibres(const fa::Section& s, const Frame& f, const StressProfile& p, int n) {
    const auto& d = s.data();
    double lo_y = 1e300, hi_y = -1e300, lo_z = 1e300, hi_z = -1e300;
    for (const auto& q : d.rings[0])
        lo_y = std::min(lo_y, q.y), hi_y = std::max(hi_y, q.y), lo_z = std::min(lo_z, q.z), hi_z = std::max(hi_z, q.z);
    const double hy = (hi_y - lo_y) / n, hz = (hi_z - lo_z) / n;
    fa::detail::Forces out;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const fa::Point q{lo_y + (i + 0.5) * hy, lo_z + (j + 0.5) * hz};
            bool in = fa::detail::locate(d.rings[0], q, 0) != fa::detail::Location::Outside;
            for (std::size_t h = 1; h < d.rings.size(); ++h)
                in = in && fa::detail::locate(d.rings[h], q, 0) == fa::detail::Location::Outside;
            if (!in) continue;
            const double u = f.dy * q.y + f.dz * q.z, v = -f.dz * q.y + f.dy * q.z;
            double sigma = 0;
            for (int k = 0; k < p.count; ++k) {
                const Zone& z = p.zone[k];
                if (u < z.from || u > z.to) continue;
                sigma = z.kind == Zone::Kind::Constant ? z.c : z.c * (1 - std::pow((z.apex - u) / z.delta, z.n));
            }
            out.N += sigma * hy * hz, out.Mu += sigma * u * hy * hz, out.Mv += sigma * v * hy * hz;
        }
    return out;
}

TEST(AnalysisIntegration, PowerLawOfNonIntegerDegreeAgreesWithFineFibreSums) {
    for (const Case& c : cases()) {
        const fa::Section s = section_of(c.shape);
        for (double n : {1.4, 1.75, 2.0}) {
            SCOPED_TRACE(std::string(c.name) + ", n = " + std::to_string(n));
            Frame f;
            f.build(s.data(), 0.6);
            const double h = f.u_top - f.u_bottom;
            StressProfile p;
            p.count = 2;
            const double apex = f.u_bottom + 0.7 * h;
            p.zone[0] = {Zone::Kind::Power, f.u_bottom + 0.2 * h, apex, 10, 0, apex, 0.5 * h, n, false};
            p.zone[1].from = apex;
            p.zone[1].c = 10;
            const auto exact = fa::detail::integrate(f, p);
            const auto coarse = fibres(s, f, p, 200), fine = fibres(s, f, p, 800);
            // The fibre sums converge on the exact value (slowly: cells cut by a
            // slanting edge count whole or not at all).
            for (auto [c_err, f_err] : {std::pair{coarse.N - exact.N, fine.N - exact.N},
                                        std::pair{(coarse.Mu - exact.Mu) / h, (fine.Mu - exact.Mu) / h},
                                        std::pair{(coarse.Mv - exact.Mv) / h, (fine.Mv - exact.Mv) / h}}) {
                EXPECT_TRUE(std::fabs(f_err) < 0.6 * std::fabs(c_err) || std::fabs(f_err) < 1e-6 * exact.N);
                EXPECT_LT(std::fabs(f_err), 5e-4 * exact.N);
            }
            // n = 2 by the general formula equals the polynomial one.
            if (n == 2.0) {
                p.zone[0].square = true;
                const auto square = fa::detail::integrate(f, p);
                EXPECT_NEAR(square.N, exact.N, 1e-12 * exact.N);
                EXPECT_NEAR(square.Mu, exact.Mu, 1e-12 * exact.N * h);
                EXPECT_NEAR(square.Mv, exact.Mv, 1e-12 * exact.N * h);
            }
        }
    }
}

TEST(AnalysisIntegration, PowerLawOverARectangleMatchesItsOneDimensionalClosedForm) {
    // Rectangle b×h bent about y: ∫ c·(1 − ((a − u)/δ)^n)·b du from a − δ to a
    // is c·b·δ·(1 − 1/(n + 1)).
    const fa::Section s = section_of(fixtures::rectangle(300, 500));
    Frame f;
    f.build(s.data(), 0);
    for (double n : {1.4, 1.5, 2.0, 3.0}) {
        for (double theta_nudge : {0.0, 1e-12}) {
            SCOPED_TRACE("n = " + std::to_string(n));
            Frame g;
            g.build(s.data(), theta_nudge);
            const double delta = 180, apex = g.u_top - 60;
            StressProfile p;
            p.count = 1;
            p.zone[0] = {Zone::Kind::Power, apex - delta, apex, 12, 0, apex, delta, n, n == 2.0};
            const auto F = fa::detail::integrate(g, p);
            const double N = 12 * 300 * delta * (1 - 1 / (n + 1));
            EXPECT_NEAR(F.N, N, 1e-11 * N);
            // About G: ∫σ·u = c·b·[δ²/2·(…)] computed from u = apex − ρ.
            const double moment = 12 * 300 * (apex * delta * (1 - 1 / (n + 1)) - delta * delta * (0.5 - 1 / (n + 2)));
            EXPECT_NEAR(F.Mu, moment, 1e-11 * std::fabs(N * 250));
        }
    }
}

TEST(AnalysisIntegration, AreaOnOneSideOfALineIsExact) {
    // The public polygon helpers: a 300×500 rectangle and a clockwise
    // 100×100 hole in it, cut by lines a + b·y + c·z ≥ 0.
    const fa::Ring rect = fixtures::rectangle(300, 500).outline;
    const fa::Ring hole = {{100, 100}, {100, 200}, {200, 200}, {200, 100}};
    struct Cut {
        const char* what;
        const fa::Ring& ring;
        double a, b, c, area;
    } cuts[] = {
        {"above z = 100", rect, -100, 0, 1, 300 * 400},
        {"left of y = 30", rect, 30, -1, 0, 30 * 500},
        {"below the diagonal", rect, 0, 500, -300, 300 * 500 / 2.0},
        {"nothing", rect, -1000, 0, 1, 0},
        {"everything", rect, 1, 0, 0, 300 * 500},
        {"hole above z = 150", hole, -150, 0, 1, -100 * 50},
    };
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(fa::area_where(c.ring, c.a, c.b, c.c), c.area, 1e-9 * 300 * 500);
    }
    const fa::AreaMoments m = fa::area_moments(rect);
    EXPECT_DOUBLE_EQ(m.A, 150000);
    EXPECT_DOUBLE_EQ(m.Sz / m.A, 250);
    EXPECT_DOUBLE_EQ(m.Izz, 300 * std::pow(500, 3) / 3);
}

TEST(AnalysisIntegration, PathRatesAgreeWithDifferencesForEveryLaw) {
    // The searches' Newton steps rest on these rates: the stiffness's exact
    // integrals (the parabola's tangent of integer and non-integer degree,
    // the bilinear slope, the stress block's moving edge, the bars' yielding
    // and hardening) against central differences of the forces.
    using namespace fa::detail;
    fa::Steel hardening = fa::Steel::of_class("B450C");
    hardening.hardening = true;
    const auto concrete = [](const char* cls, fa::ConcreteLaw law) {
        fa::Concrete c = fa::Concrete::of_class(cls);
        c.law = law;
        return c;
    };
    const fa::Section sections[] = {
        fixtures::ell_section(),
        fa::Section(fixtures::rectangle(300, 500), fixtures::readme_bars(),
                    concrete("C70/85", fa::ConcreteLaw::ParabolaRectangle), hardening),
        fa::Section(fixtures::rectangle(300, 500), fixtures::readme_bars(),
                    concrete("C25/30", fa::ConcreteLaw::Bilinear), fa::Steel::of_class("B450C")),
        fa::Section(fixtures::rectangle(300, 500), fixtures::readme_bars(),
                    concrete("C25/30", fa::ConcreteLaw::StressBlock), fa::Steel::of_class("B450C"))};
    for (const fa::Section& section : sections) {
        const SectionData& s = section.data();
        const auto at = [&](double theta, double p) {
            Frame f;
            f.build(s, theta);
            const Plane1D pl = path_plane(s, f, p);
            const Forces F = forces(s, f, pl.eps_top, pl.kappa);
            return std::array<double, 3>{F.N, f.My(F.Mu, F.Mv), f.Mz(F.Mu, F.Mv)};
        };
        for (double theta : {0.1, 1.9, 4.4})
            for (double p : {0.3, 0.8, 1.2, 1.9, 2.4}) {
                Frame f;
                f.build(s, theta);
                const PathForces r = path_forces(s, f, p);
                const double h = 1e-6;
                const auto p_up = at(theta, p + h), p_down = at(theta, p - h);
                const auto t_up = at(theta + h, p), t_down = at(theta - h, p);
                const double exact[2][3] = {{r.N_p, r.My_p, r.Mz_p}, {r.N_theta, r.My_theta, r.Mz_theta}};
                for (int i = 0; i < 3; ++i) {
                    const double scale = i == 0 ? s.N_max - s.N_min : s.moment_scale;
                    EXPECT_NEAR(exact[0][i], (p_up[i] - p_down[i]) / (2 * h), 1e-7 * scale) << theta << " " << p;
                    EXPECT_NEAR(exact[1][i], (t_up[i] - t_down[i]) / (2 * h), 1e-7 * scale) << theta << " " << p;
                }
            }
    }
}

}  // namespace
