#pragma once

// Slender members (§4.1.2.3.9.2): the slenderness λ = l0/i of each plane
// against λ_lim = 15.4·C/√ν, and beyond it the second-order moment by the
// nominal-curvature method to which the commentary refers (EN 1992-1-1
// §5.8.8), with the geometric imperfection of §5.2.

#include <optional>
#include <string>

#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

// One plane of one combination. The plane of My is Coordinate::Z (the member
// deflects along z, l0_y, i about the y axis); that of Mz is Coordinate::Y.
struct Slenderness {
    Coordinate plane = Coordinate::Z;
    double l0 = 0;                     // mm, effective length
    double i = 0;                      // mm, radius of gyration of the gross concrete section
    double lambda = 0;                 // l0/i
    double nu = 0;                     // N_Ed/(Ac·fcd)
    double C = 0;                      // 1.7 − rm, within 0.7…2.7
    std::optional<double> lambda_lim;  // 15.4·C/√ν; empty when N_Ed ≤ 0 (no second-order effect)
    bool slender() const { return lambda_lim && lambda > *lambda_lim; }

    // The nominal curvature (EN 1992-1-1 §5.8.8.3), when slender.
    double e_i = 0;        // mm, imperfection l0/400 (§5.2(7))
    double d = 0;          // mm, h/2 + i_s, i_s the radius of gyration of the bars
    double omega = 0;      // As·fyd/(Ac·fcd)
    double K_r = 0;        // (1 + ω − ν)/(1 + ω − 0.4), 0…1
    double beta = 0;       // 0.35 + fck/200 − λ/150
    double K_phi = 0;      // 1 + β·φef ≥ 1
    double curvature = 0;  // 1/mm, K_r·K_φ·εyd/(0.45·d)
    double c = 0;          // 8 for a constant first-order moment (rm = 1), 10 otherwise
    double e2 = 0;         // mm, (1/r)·l0²/c
    double M2 = 0;         // kNm, N_Ed·e2
};

// The slenderness of a plane for an ultimate combination; empty when the
// plane has no effective length.
std::optional<Slenderness> slenderness_of(const Context& ctx, const Combination& c, Coordinate plane);

// The design moment of a slender plane (kNm, in the sign `sign` ±1) from its
// first-order moment M (kNm, its magnitude is used) at the larger end:
// M02 = |M| + N·e_i, M01 = rm·|M| + N·e_i (e_i only where the imperfection
// is taken), M0e = max(0.6·M02 + 0.4·M01, 0.4·M02) and
// M_Ed = max(M02, M0e + M2, M01 + M2/2). `note` receives every term.
double second_order_moment(const Context& ctx, const Slenderness& s, double N, double M, bool imperfection, double sign,
                           std::string* note);

}  // namespace ferrolit::verification
