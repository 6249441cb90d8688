#pragma once

// Exact integration over the concrete of a stress that depends on u alone,
// and the forces of a strain plane of the ultimate laws.

#include <cstdint>
#include <limits>

#include "analysis/frame.hpp"

namespace ferrolit::analysis::detail {

// Resultants in a frame: N (N) and moments (N·mm) about the axes v (Mu = ∫σ·u)
// and u (Mv = ∫σ·v) through G.
struct Forces {
    double N = 0, Mu = 0, Mv = 0;
};

// One piece of a stress profile along u, over [from, to]:
//   Constant  σ = c
//   Linear    σ = c + g·(u − from)
//   Power     σ = c·(1 − ((apex − u)/delta)^n), for u ≤ apex (the parabola of
//             the code's law: apex where the strain reaches eps_c2)
//   Monomial  σ = c·((apex − u)/delta)^n, for u ≤ apex (the parabola's tangent modulus)
struct Zone {
    enum class Kind { Constant, Linear, Power, Monomial } kind = Kind::Constant;
    double from = 0, to = std::numeric_limits<double>::infinity();
    double c = 0, g = 0, apex = 0, delta = 1, n = 2;
    bool square = true;  // n == 2: integrated as a polynomial
};

// At most two zones, ascending and not overlapping.
struct StressProfile {
    Zone zone[2];
    int count = 0;
};

// ∫σ dA, ∫σ·u dA, ∫σ·v dA over the concrete, exactly.
Forces integrate(const Frame& f, const StressProfile& p);

// The concrete's stress profile under the plane eps(u) = eps_top − kappa·(u_top − u), kappa > 0.
StressProfile concrete_profile(const ConcreteModel& law, const Frame& f, double eps_top, double kappa);

// Concrete plus bars under that plane (kappa ≥ 0).
Forces forces(const SectionData& s, const Frame& f, double eps_top, double kappa);

// The section's tangent stiffness under a plane, in a frame: the integrals of
// the tangent modulus Et = dσ/dε times 1, u, v, u², u·v, v² over the concrete
// and the bars; and, for the stress block, whose depth follows the top
// fibre's strain, the forces' rates with that strain alone. A rate of the
// strains dε = a + b·u + c·v with the top fibre's strain changing by e gives
//   dN  = k00·a + k0u·b + k0v·c + e0·e
//   dMu = k0u·a + kuu·b + kuv·c + eu·e
//   dMv = k0v·a + kuv·b + kvv·c + ev·e
struct Stiffness {
    double k00 = 0, k0u = 0, k0v = 0, kuu = 0, kuv = 0, kvv = 0;
    double e0 = 0, eu = 0, ev = 0;
    Forces rates(double a, double b, double c, double e) const {
        return {k00 * a + k0u * b + k0v * c + e0 * e, k0u * a + kuu * b + kuv * c + eu * e,
                k0v * a + kuv * b + kvv * c + ev * e};
    }
};

// The forces and the stiffness together, counted as one integration: the
// searches take exact Newton steps from them.
Forces forces(const SectionData& s, const Frame& f, double eps_top, double kappa, Stiffness& k);

// How many times `forces` has run on this thread: the unit of work that the
// searches are measured in (tests and benchmarks read its growth).
std::uint64_t& integrations_on_this_thread();

}  // namespace ferrolit::analysis::detail
