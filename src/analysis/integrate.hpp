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
struct Zone {
    enum class Kind { Constant, Linear, Power } kind = Kind::Constant;
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

// How many times `forces` has run on this thread: the unit of work that the
// searches are measured in (tests and benchmarks read its growth).
std::uint64_t& integrations_on_this_thread();

}  // namespace ferrolit::analysis::detail
