#include "analysis/integrate.hpp"

#include <algorithm>
#include <cmath>

namespace ferrolit::analysis::detail {

namespace {

// Below this ratio of piece length to distance from the apex, the power law
// is integrated by its binomial series (a few terms), which avoids the
// cancellation of the closed form's differences of nearly equal powers.
constexpr double kSeriesBelow = 0.05;

// R_i = ∫_0^L r^n τ^i dτ, i = 0..2, r = r1 − τ/delta ≥ 0.
void power_moments(double r1, double L, double delta, double n, bool square, double R[3]) {
    const double rho = L / delta;
    if (square) {
        // r² = r1² − 2·r1·τ/δ + τ²/δ²
        double Lk = L;
        for (int i = 0; i < 3; ++i, Lk *= L)
            R[i] = Lk * (r1 * r1 / (i + 1) - 2 * r1 * rho / (i + 2) + rho * rho / (i + 3));
        return;
    }
    const double x = rho / r1;
    if (x >= kSeriesBelow) {
        const double r2 = std::max(r1 - rho, 0.0);
        const double a1 = std::pow(r1, n + 1), a2 = r2 > 0 ? std::pow(r2, n + 1) : 0.0;
        const double P0 = (a1 - a2) / (n + 1);
        const double P1 = (a1 * r1 - a2 * r2) / (n + 2);
        const double P2 = (a1 * r1 * r1 - a2 * r2 * r2) / (n + 3);
        R[0] = delta * P0;
        R[1] = delta * delta * (r1 * P0 - P1);
        R[2] = delta * delta * delta * (r1 * r1 * P0 - 2 * r1 * P1 + P2);
        return;
    }
    // r^n = r1^n·(1 − x·τ/L)^n = r1^n·Σ C(n,k)·(−x·τ/L)^k
    const double lead = std::pow(r1, n);
    double Lk = L;
    for (int i = 0; i < 3; ++i, Lk *= L) {
        double sum = 0, term = 1;  // C(n,k)·(−x)^k
        for (int k = 0; k < 40; ++k) {
            const double add = term / (k + i + 1);
            sum += add;
            if (std::fabs(add) <= 1e-17 * std::fabs(sum)) break;
            term *= -x * (n - k) / (k + 1);
        }
        R[i] = lead * Lk * sum;
    }
}

// K_i = ∫_0^L σ(ua + τ)·τ^i dτ for one piece of a zone.
void piece_moments(const Zone& z, double ua, double L, double K[3]) {
    const double L1 = L, L2 = L * L, L3 = L2 * L;
    switch (z.kind) {
        case Zone::Kind::Constant:
            K[0] = z.c * L1, K[1] = z.c * L2 / 2, K[2] = z.c * L3 / 3;
            return;
        case Zone::Kind::Linear: {
            const double sa = z.c + z.g * (ua - z.from);
            K[0] = sa * L1 + z.g * L2 / 2;
            K[1] = sa * L2 / 2 + z.g * L3 / 3;
            K[2] = sa * L3 / 3 + z.g * L3 * L / 4;
            return;
        }
        case Zone::Kind::Power: {
            const double r1 = (z.apex - ua) / z.delta;
            double R[3] = {0, 0, 0};
            power_moments(r1, L, z.delta, z.n, z.square, R);
            K[0] = z.c * (L1 - R[0]), K[1] = z.c * (L2 / 2 - R[1]), K[2] = z.c * (L3 / 3 - R[2]);
            return;
        }
    }
}

}  // namespace

Forces integrate(const Frame& f, const StressProfile& p) {
    Forces out;
    if (p.count == 0) return out;
    const double start = p.zone[0].from;
    for (auto it = f.slabs.rbegin(); it != f.slabs.rend() && it->hi > start; ++it) {
        const Slab& sl = *it;
        double I0 = 0, I1 = 0, I2 = 0;  // ∫σ·t^j over the slab, t = u − lo
        for (int k = 0; k < p.count; ++k) {
            const Zone& z = p.zone[k];
            const double a = std::max(sl.lo, z.from), b = std::min(sl.hi, z.to);
            if (!(b > a)) continue;
            double K[3] = {0, 0, 0};
            piece_moments(z, a, b - a, K);
            const double t1 = a - sl.lo;
            I0 += K[0];
            I1 += t1 * K[0] + K[1];
            I2 += t1 * t1 * K[0] + 2 * t1 * K[1] + K[2];
        }
        const double n = sl.w0 * I0 + sl.w1 * I1;
        out.N += n;
        out.Mu += sl.lo * n + sl.w0 * I1 + sl.w1 * I2;
        out.Mv += sl.s0 * I0 + sl.s1 * I1 + sl.s2 * I2;
    }
    return out;
}

StressProfile concrete_profile(const ConcreteModel& law, const Frame& f, double eps_top, double kappa) {
    StressProfile p;
    if (eps_top <= 0) return p;
    const double u_zero = f.u_top - eps_top / kappa;
    if (law.law == ConcreteLaw::StressBlock) {
        Zone& z = p.zone[p.count++];
        z.from = f.u_top - law.lambda * eps_top / kappa;
        z.c = law.eta * law.fcd;
        return p;
    }
    // Where the strain reaches the end of the curved (or linear) branch.
    const double u_end = f.u_top - (eps_top - law.eps_c2) / kappa;
    Zone& rising = p.zone[p.count++];
    rising.from = u_zero;
    rising.to = u_end;
    if (law.law == ConcreteLaw::Bilinear) {
        rising.kind = Zone::Kind::Linear;
        rising.g = law.fcd * kappa / law.eps_c2;
    } else {
        rising.kind = Zone::Kind::Power;
        rising.c = law.fcd;
        rising.apex = u_end;
        rising.delta = law.eps_c2 / kappa;
        rising.n = law.n;
        rising.square = law.square;
    }
    if (u_end < f.u_top) {
        Zone& flat = p.zone[p.count++];
        flat.from = u_end;
        flat.c = law.fcd;
    }
    return p;
}

std::uint64_t& integrations_on_this_thread() {
    thread_local std::uint64_t count = 0;
    return count;
}

Forces forces(const SectionData& s, const Frame& f, double eps_top, double kappa) {
    ++integrations_on_this_thread();
    Forces out;
    const ConcreteModel& law = s.concrete_law;
    if (kappa > 0) {
        out = integrate(f, concrete_profile(law, f, eps_top, kappa));
    } else {
        out.N = law.stress(eps_top, eps_top) * s.area;  // uniform: no moment about G
    }
    const bool deduct = s.options.deduct_bar_area;
    for (std::size_t i = 0; i < f.bar_u.size(); ++i) {
        const double eps = eps_top - kappa * (f.u_top - f.bar_u[i]);
        double sigma = s.steel_law.stress(eps);
        if (deduct) sigma -= law.stress(eps, eps_top);
        const double F = s.bar_area[i] * sigma;
        out.N += F;
        out.Mu += F * f.bar_u[i];
        out.Mv += F * f.bar_v[i];
    }
    return out;
}

}  // namespace ferrolit::analysis::detail
