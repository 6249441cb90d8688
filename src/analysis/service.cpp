// Elastic states for the serviceability checks: the uncracked homogenised
// section, and the cracked section (concrete linear in compression only,
// steel linear), under N, My, Mz.
//
// The cracked state minimises the convex energy
//   Π(e) = ½·Ec·∫⟨ε⟩₊² dA + Σ ½·k_i·ε_i² − e·F
// over the strain plane e; its gradient is the out-of-balance force, so a
// Newton step with a backtracking line search on Π always makes progress.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "analysis/errors.hpp"
#include "analysis/geometry.hpp"
#include "analysis/section_data.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;

constexpr int kMostIterations = 200;

// The unknowns scaled so that they have the same size: (eps_g, chi_y·R, chi_z·R),
// R the size of the section; the shape functions are (1, z'/R, y'/R).
struct Problem {
    const detail::SectionData& s;
    double R, Ec, Es;
    Vec F;  // (N, My/R, Mz/R) in newtons
    bool cracked;
    mutable Ring clipped;

    Vec shape(double y, double z) const { return {1, z / R, y / R}; }
    double strain(const Vec& e, double y, double z) const { return e[0] + e[1] * z / R + e[2] * y / R; }

    // Second moments of the concrete that works under e (all of it when uncracked).
    Mat concrete(const Vec& e) const {
        detail::AreaMoments m;
        for (const Ring& ring : s.rings) {
            if (cracked) {
                detail::clip_ring(ring, e[0], e[2] / R, e[1] / R, clipped);
                if (clipped.size() >= 3) m += detail::area_moments(clipped);
            } else {
                m += detail::area_moments(ring);
            }
        }
        const double r = 1 / R;
        return Mat{Vec{m.A, m.Sz * r, m.Sy * r}, Vec{m.Sz * r, m.Izz * r * r, m.Iyz * r * r},
                   Vec{m.Sy * r, m.Iyz * r * r, m.Iyy * r * r}};
    }

    double bar_stiffness(std::size_t i, double eps) const {
        const bool concrete_there = !cracked || eps > 0;
        return s.bar_area[i] * (Es - (s.options.deduct_bar_area && concrete_there ? Ec : 0));
    }

    // Energy, gradient (out-of-balance force) and Hessian at e.
    double evaluate(const Vec& e, Vec& g, Mat& H) const {
        const Mat G = concrete(e);
        double energy = 0;
        for (int i = 0; i < 3; ++i) {
            g[i] = -F[i];
            for (int j = 0; j < 3; ++j) H[i][j] = Ec * G[i][j];
        }
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) g[i] += H[i][j] * e[j];
        for (int i = 0; i < 3; ++i) energy += 0.5 * e[i] * (g[i] + F[i]) - e[i] * F[i];
        for (std::size_t b = 0; b < s.bar_at.size(); ++b) {
            const Point p = s.bar_at[b];
            const Vec phi = shape(p.y, p.z);
            const double eps = strain(e, p.y, p.z), k = bar_stiffness(b, eps);
            energy += 0.5 * k * eps * eps;
            for (int i = 0; i < 3; ++i) {
                g[i] += k * eps * phi[i];
                for (int j = 0; j < 3; ++j) H[i][j] += k * phi[i] * phi[j];
            }
        }
        return energy;
    }
};

// Solves H·x = b by elimination with partial pivoting; false when singular.
bool solve(Mat H, Vec b, Vec& x) {
    double biggest = 0;
    for (int i = 0; i < 3; ++i) biggest = std::max(biggest, std::fabs(H[i][i]));
    for (int c = 0; c < 3; ++c) {
        int p = c;
        for (int r = c + 1; r < 3; ++r)
            if (std::fabs(H[r][c]) > std::fabs(H[p][c])) p = r;
        if (!(std::fabs(H[p][c]) > 1e-13 * biggest)) return false;
        std::swap(H[c], H[p]);
        std::swap(b[c], b[p]);
        for (int r = c + 1; r < 3; ++r) {
            const double f = H[r][c] / H[c][c];
            for (int k = c; k < 3; ++k) H[r][k] -= f * H[c][k];
            b[r] -= f * b[c];
        }
    }
    for (int c = 2; c >= 0; --c) {
        double v = b[c];
        for (int k = c + 1; k < 3; ++k) v -= H[c][k] * x[k];
        x[c] = v / H[c][c];
    }
    return true;
}

double norm(const Vec& v) { return std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])}); }

double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Newton steps with an exact line search on the energy; the number of
// iterations, or −1. Along a step the energy is convex, so its slope
// g(e + t·step)·step grows with t: the search looks for where it vanishes,
// which needs no difference of nearly equal energies.
int minimise(const Problem& P, Vec& e) {
    const double tol = 1e-10 * norm(P.F);
    Vec g;
    Mat H;
    P.evaluate(e, g, H);
    for (int it = 0; it < kMostIterations; ++it) {
        if (norm(g) <= tol) return it;
        Vec step{};
        Mat K = H;
        double damping = 0;
        const double trace = K[0][0] + K[1][1] + K[2][2];
        while (!solve(K, {-g[0], -g[1], -g[2]}, step)) {
            damping = damping == 0 ? 1e-12 * trace : damping * 100;
            if (!(damping < trace)) return -1;
            for (int i = 0; i < 3; ++i) K[i][i] = H[i][i] + damping;
        }
        const double slope0 = dot(g, step);
        if (!(slope0 < 0)) return -1;
        auto at = [&](double t, Vec& gt, Mat& Ht) {
            const Vec trial{e[0] + t * step[0], e[1] + t * step[1], e[2] + t * step[2]};
            P.evaluate(trial, gt, Ht);
            return trial;
        };
        Vec g1;
        Mat H1;
        Vec next = at(1, g1, H1);
        double slope1 = dot(g1, step);
        if (slope1 > 0) {
            // Illinois regula falsi on the slope between t = 0 and t = 1.
            double a = 0, fa = slope0, b = 1, fb = slope1;
            int side = 0;
            for (int k = 0; k < 60 && std::fabs(fb) > 1e-6 * -slope0; ++k) {
                const double t = (a * fb - b * fa) / (fb - fa);
                next = at(t, g1, H1);
                const double ft = dot(g1, step);
                if (ft > 0) {
                    b = t, fb = ft;
                    if (side == -1) fa /= 2;
                    side = -1;
                } else {
                    a = t, fa = ft;
                    if (side == +1) fb /= 2;
                    side = +1;
                }
                if (std::fabs(ft) <= 1e-6 * -slope0) break;
            }
        }
        if (next == e) return norm(g) <= 1e3 * tol ? it : -1;  // no further progress in double
        e = next, g = g1, H = H1;
    }
    return norm(g) <= tol ? kMostIterations : -1;
}

}  // namespace

ServiceState Section::service(double N, double My, double Mz, const ServiceOptions& options) const {
    return ferrolit::detail::public_call([&]() -> ServiceState {
        for (double v : {N, My, Mz})
            detail::require(std::isfinite(v), "stato di servizio: N, My e Mz devono essere finiti");
        detail::require(std::isfinite(options.alpha_e) && options.alpha_e > 0,
                        "stato di servizio: alpha_e deve essere un numero positivo");
        if (options.f_ct)
            detail::require(std::isfinite(*options.f_ct) && *options.f_ct >= 0,
                            "stato di servizio: f_ct deve essere un numero non negativo");
        const detail::SectionData& s = *data_;
        const double R = s.size;
        Problem P{s, R, s.steel.Es / options.alpha_e, s.steel.Es, {N * 1e3, My * 1e6 / R, Mz * 1e6 / R}, false, {}};
        ServiceState out;
        Vec e{};
        int iterations = 0;
        if (norm(P.F) > 0) {
            iterations = minimise(P, e);
            if (iterations < 0) detail::fail("stato di servizio: il calcolo della sezione omogeneizzata non converge");
        }
        double eps_min = INFINITY, eps_max = -INFINITY;
        auto extremes = [&](const Vec& v) {
            eps_min = INFINITY, eps_max = -INFINITY;
            for (const Ring& ring : s.rings)
                for (const Point& p : ring) {
                    const double eps = P.strain(v, p.y, p.z);
                    eps_min = std::min(eps_min, eps), eps_max = std::max(eps_max, eps);
                }
        };
        extremes(e);
        const double f_ct = options.f_ct.value_or(s.concrete.fctm);
        out.cracked = !options.allow_uncracked || -P.Ec * eps_min > f_ct;
        if (out.cracked) {
            P.cracked = true;
            if (norm(P.F) > 0) {
                const int more = minimise(P, e);
                if (more < 0) detail::fail("stato di servizio: il calcolo della sezione fessurata non converge");
                iterations += more;
            }
            extremes(e);
        } else {
            out.sigma_ct_max = std::max(0.0, -P.Ec * eps_min);
        }
        out.iterations = iterations;
        out.plane = {e[0], e[1] / R, e[2] / R};
        const double kappa = std::hypot(out.plane.chi_y, out.plane.chi_z);
        const double theta = kappa > 0 ? std::atan2(out.plane.chi_z, out.plane.chi_y) : 0.0;
        out.angle = std::fmod(theta * 180 / std::numbers::pi + 360, 360.0);
        if (kappa > 0) out.neutral_axis_depth = eps_max / kappa;
        out.sigma_c_max = std::max(0.0, P.Ec * eps_max);
        Vec g;
        Mat H;
        P.evaluate(e, g, H);
        out.N = (g[0] + P.F[0]) / 1e3, out.My = (g[1] + P.F[1]) * R / 1e6, out.Mz = (g[2] + P.F[2]) * R / 1e6;
        for (std::size_t i = 0; i < s.bars.size(); ++i) {
            const double eps = P.strain(e, s.bar_at[i].y, s.bar_at[i].z);
            out.bars.push_back({s.bars[i].y, s.bars[i].z, s.bars[i].area, eps, s.steel.Es * eps});
        }
        return out;
    });
}

}  // namespace ferrolit::analysis
