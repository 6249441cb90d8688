#include "analysis/integrate.hpp"

#include <algorithm>
#include <cmath>

namespace ferrolit::analysis::detail {

namespace {

// Below this ratio of piece length to distance from the apex, the power law
// is integrated by its binomial series (a few terms), which avoids the
// cancellation of the closed form's differences of nearly equal powers.
constexpr double kSeriesBelow = 0.05;

// R_i = ∫_0^L r^n τ^i dτ, i < M, r = r1 − τ/delta ≥ 0.
template <int M>
void power_moments(double r1, double L, double delta, double n, bool square, double R[M]) {
    const double rho = L / delta;
    if (square) {
        // r² = r1² − 2·r1·τ/δ + τ²/δ²
        double Lk = L;
        for (int i = 0; i < M; ++i, Lk *= L)
            R[i] = Lk * (r1 * r1 / (i + 1) - 2 * r1 * rho / (i + 2) + rho * rho / (i + 3));
        return;
    }
    const double x = rho / r1;
    if (x >= kSeriesBelow) {
        // ∫ r^n·τ^i with τ = δ·(r1 − r): the binomial expansion of (r1 − r)^i.
        const double r2 = std::max(r1 - rho, 0.0);
        const double a1 = std::pow(r1, n + 1), a2 = r2 > 0 ? std::pow(r2, n + 1) : 0.0;
        double P[M];  // ∫_r2^r1 r^(n+k) dr
        double b1 = a1, b2 = a2;
        for (int k = 0; k < M; ++k, b1 *= r1, b2 *= r2) P[k] = (b1 - b2) / (n + 1 + k);
        double r1_power[M] = {1};
        for (int k = 1; k < M; ++k) r1_power[k] = r1_power[k - 1] * r1;
        double dk = delta;
        for (int i = 0; i < M; ++i, dk *= delta) {
            double sum = 0, binomial = 1;  // C(i, j)
            for (int j = 0; j <= i; ++j) {
                sum += (j % 2 ? -binomial : binomial) * r1_power[i - j] * P[j];
                binomial = binomial * (i - j) / (j + 1);
            }
            R[i] = dk * sum;
        }
        return;
    }
    // r^n = r1^n·(1 − x·τ/L)^n = r1^n·Σ C(n,k)·(−x·τ/L)^k
    const double lead = std::pow(r1, n);
    double Lk = L;
    for (int i = 0; i < M; ++i, Lk *= L) {
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

// K_i = ∫_0^L σ(ua + τ)·τ^i dτ, i < M, for one piece of a zone.
template <int M>
void piece_moments(const Zone& z, double ua, double L, double K[M]) {
    double Lk[M + 1];  // L^(i+1)/(i+1)
    double power = L;
    for (int i = 0; i <= M; ++i, power *= L) Lk[i] = power / (i + 1);
    switch (z.kind) {
        case Zone::Kind::Constant:
            for (int i = 0; i < M; ++i) K[i] = z.c * Lk[i];
            return;
        case Zone::Kind::Linear: {
            const double sa = z.c + z.g * (ua - z.from);
            for (int i = 0; i < M; ++i) K[i] = sa * Lk[i] + z.g * Lk[i + 1];
            return;
        }
        case Zone::Kind::Power:
        case Zone::Kind::Monomial: {
            const double r1 = (z.apex - ua) / z.delta;
            double R[M] = {};
            power_moments<M>(r1, L, z.delta, z.n, z.square, R);
            for (int i = 0; i < M; ++i) K[i] = z.c * (z.kind == Zone::Kind::Power ? Lk[i] - R[i] : R[i]);
            return;
        }
    }
}

// Calls visit(slab, I) for each slab the profile reaches, with
// I_j = ∫σ·t^j over the slab's span of u, t = u − lo, j < M.
template <int M, class Visit>
void for_each_slab(const Frame& f, const StressProfile& p, Visit&& visit) {
    if (p.count == 0) return;
    const double start = p.zone[0].from;
    for (auto it = f.slabs.rbegin(); it != f.slabs.rend() && it->hi > start; ++it) {
        const Slab& sl = *it;
        double I[M] = {};
        for (int k = 0; k < p.count; ++k) {
            const Zone& z = p.zone[k];
            const double a = std::max(sl.lo, z.from), b = std::min(sl.hi, z.to);
            if (!(b > a)) continue;
            double K[M] = {};
            piece_moments<M>(z, a, b - a, K);
            // Shifted from τ = u − a to t = u − lo: t^j = Σ C(j,i)·t1^(j−i)·τ^i.
            const double t1 = a - sl.lo;
            for (int j = M - 1; j >= 0; --j) {
                double sum = 0, binomial = 1, t1_power = 1;
                for (int i = j; i >= 0; --i) {
                    sum += binomial * t1_power * K[i];
                    binomial = binomial * i / (j - i + 1);
                    t1_power *= t1;
                }
                I[j] += sum;
            }
        }
        visit(sl, I);
    }
}

}  // namespace

Forces integrate(const Frame& f, const StressProfile& p) {
    Forces out;
    for_each_slab<3>(f, p, [&](const Slab& sl, const double I[3]) {
        const double n = sl.w0 * I[0] + sl.w1 * I[1];
        out.N += n;
        out.Mu += sl.lo * n + sl.w0 * I[1] + sl.w1 * I[2];
        out.Mv += sl.s0 * I[0] + sl.s1 * I[1] + sl.s2 * I[2];
    });
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

namespace {

// The bars' forces added to the concrete's, and their stiffness when asked.
Forces add_bars(const SectionData& s, const Frame& f, double eps_top, double kappa, Forces out, Stiffness* k) {
    const ConcreteModel& law = s.concrete_law;
    const bool deduct = s.options.deduct_bar_area;
    for (std::size_t i = 0; i < f.bar_u.size(); ++i) {
        const double eps = eps_top - kappa * (f.u_top - f.bar_u[i]);
        double sigma = s.steel_law.stress(eps);
        if (deduct) sigma -= law.stress(eps, eps_top);
        const double F = s.bar_area[i] * sigma;
        const double u = f.bar_u[i], v = f.bar_v[i];
        out.N += F;
        out.Mu += F * u;
        out.Mv += F * v;
        if (!k) continue;
        double Et = s.steel_law.tangent(eps);
        if (deduct) Et -= law.tangent(eps);
        const double E = s.bar_area[i] * Et;
        k->k00 += E, k->k0u += E * u, k->k0v += E * v;
        k->kuu += E * u * u, k->kuv += E * u * v, k->kvv += E * v * v;
    }
    return out;
}

// The concrete's tangent modulus along u under a plane (kappa > 0): the
// parabola's derivative (linear for the square law), the bilinear law's
// constant slope, nothing for the stress block.
StressProfile tangent_profile(const ConcreteModel& law, const Frame& f, double eps_top, double kappa) {
    StressProfile p;
    if (eps_top <= 0 || law.law == ConcreteLaw::StressBlock) return p;
    Zone& z = p.zone[p.count++];
    z.from = f.u_top - eps_top / kappa;
    z.to = f.u_top - (eps_top - law.eps_c2) / kappa;
    const double E0 = law.fcd * (law.law == ConcreteLaw::Bilinear ? 1 : law.n) / law.eps_c2;
    if (law.law == ConcreteLaw::Bilinear) {
        z.c = E0;
    } else if (law.square) {
        z.kind = Zone::Kind::Linear;
        z.c = E0;
        z.g = -E0 * kappa / law.eps_c2;
    } else {
        z.kind = Zone::Kind::Monomial;
        z.c = E0;
        z.apex = z.to;
        z.delta = law.eps_c2 / kappa;
        z.n = law.n - 1;
        z.square = false;
    }
    return p;
}

void add_concrete_stiffness(const Frame& f, const StressProfile& p, Stiffness& k) {
    for_each_slab<4>(f, p, [&](const Slab& sl, const double I[4]) {
        const double lo = sl.lo;
        const double w[3] = {sl.w0 * I[0] + sl.w1 * I[1], sl.w0 * I[1] + sl.w1 * I[2], sl.w0 * I[2] + sl.w1 * I[3]};
        const double sv[2] = {sl.s0 * I[0] + sl.s1 * I[1] + sl.s2 * I[2], sl.s0 * I[1] + sl.s1 * I[2] + sl.s2 * I[3]};
        k.k00 += w[0];
        k.k0u += lo * w[0] + w[1];
        k.kuu += lo * lo * w[0] + 2 * lo * w[1] + w[2];
        k.k0v += sv[0];
        k.kuv += lo * sv[0] + sv[1];
        k.kvv += sl.q0 * I[0] + sl.q1 * I[1] + sl.q2 * I[2] + sl.q3 * I[3];
    });
}

// The stress block's edge at u_b moves as the strains change: its stress
// η·fcd over the chord there, per unit of u (the strain grows by kappa per
// unit of u), is the modulus of a line at u_b; and the edge follows the top
// fibre's strain by −(1 − λ) of it.
void add_block_edge(const ConcreteModel& law, const Frame& f, double eps_top, double kappa, Stiffness& k) {
    if (eps_top <= 0 || !(kappa > 0)) return;
    const double u = f.u_top - law.lambda * eps_top / kappa;
    for (const Slab& sl : f.slabs) {
        if (!(u >= sl.lo && u < sl.hi)) continue;
        const double t = u - sl.lo, m = law.eta * law.fcd / kappa;
        const double w = m * (sl.w0 + sl.w1 * t), sv = m * (sl.s0 + t * (sl.s1 + t * sl.s2));
        const double q = m * (sl.q0 + t * (sl.q1 + t * (sl.q2 + t * sl.q3)));
        k.k00 += w, k.k0u += u * w, k.kuu += u * u * w;
        k.k0v += sv, k.kuv += u * sv, k.kvv += q;
        const double follow = -(1 - law.lambda);
        k.e0 += follow * w, k.eu += follow * u * w, k.ev += follow * sv;
        return;
    }
}

}  // namespace

Forces forces(const SectionData& s, const Frame& f, double eps_top, double kappa) {
    ++integrations_on_this_thread();
    const ConcreteModel& law = s.concrete_law;
    Forces out;
    if (kappa > 0) {
        out = integrate(f, concrete_profile(law, f, eps_top, kappa));
    } else {
        out.N = law.stress(eps_top, eps_top) * s.area;  // uniform: no moment about G
    }
    return add_bars(s, f, eps_top, kappa, out, nullptr);
}

Forces forces(const SectionData& s, const Frame& f, double eps_top, double kappa, Stiffness& k) {
    ++integrations_on_this_thread();
    const ConcreteModel& law = s.concrete_law;
    k = {};
    Forces out;
    if (kappa > 0) {
        out = integrate(f, concrete_profile(law, f, eps_top, kappa));
        add_concrete_stiffness(f, tangent_profile(law, f, eps_top, kappa), k);
        if (law.law == ConcreteLaw::StressBlock) add_block_edge(law, f, eps_top, kappa, k);
    } else {
        out.N = law.stress(eps_top, eps_top) * s.area;
        // A uniform modulus: the area's moments about G in the frame.
        StressProfile whole;
        whole.count = 1;
        whole.zone[0].from = f.u_bottom;
        whole.zone[0].c = law.tangent(eps_top);
        if (whole.zone[0].c != 0) add_concrete_stiffness(f, whole, k);
    }
    return add_bars(s, f, eps_top, kappa, out, &k);
}

}  // namespace ferrolit::analysis::detail
