// Moment–curvature at a given N: for each curvature the strain plane that
// carries N, integrated exactly over the polygon (the cover and the confined
// core each with its own parabola-rectangle law), and the curve's ends:
// first yield, the conventional yield of §7.4.4 and the ultimate state.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "analysis/errors.hpp"
#include "analysis/integrate.hpp"
#include "analysis/roots.hpp"
#include "ferrolit/moment_curvature.hpp"

namespace ferrolit::analysis {

namespace {

using detail::Forces;
using detail::Frame;
using detail::StressProfile;
using detail::Zone;

// A parabola-rectangle law; beyond `cap` the concrete carries nothing (the
// cover, once spalled, in a confined section).
struct Law {
    double fc = 0, eps_c2 = 0, n = 2;
    double cap = INFINITY;
};

StressProfile profile(const Law& law, const Frame& f, double eps_top, double kappa) {
    StressProfile p;
    if (eps_top <= 0) return p;
    const double u_end = f.u_top - (eps_top - law.eps_c2) / kappa;
    Zone& rising = p.zone[p.count++];
    rising.kind = Zone::Kind::Power;
    rising.from = f.u_top - eps_top / kappa;
    rising.to = u_end;
    rising.c = law.fc;
    rising.apex = u_end;
    rising.delta = law.eps_c2 / kappa;
    rising.n = law.n;
    rising.square = law.n == 2;
    if (u_end < f.u_top) {
        Zone& flat = p.zone[p.count++];
        flat.from = u_end;
        flat.to = f.u_top - (eps_top - law.cap) / kappa;
        flat.c = law.fc;
    }
    return p;
}

double uniform_stress(const Law& law, double eps) {
    if (eps <= 0 || eps > law.cap) return 0;
    if (eps >= law.eps_c2) return law.fc;
    const double r = 1 - eps / law.eps_c2;
    return law.fc * (1 - std::pow(r, law.n));
}

// The section along one direction, with the laws of one curve.
struct Model {
    const detail::SectionData* data = nullptr;
    Frame full, core;
    bool confined = false;
    Law cover_law, core_law;
    double core_area = 0;
    detail::SteelModel steel;
    double eps_ud = INFINITY;     // the steel's limit
    double eps_cu = 0;            // ultimate strain at the reference fibre
    double u_concrete_limit = 0;  // where eps_cu is read: the top of the core when confined
    double eps_c2_unconfined = 0;

    double strain(double eps_top, double kappa, double u) const { return eps_top - kappa * (full.u_top - u); }

    // N (N) and M (N·mm) of the plane.
    Forces forces(double eps_top, double kappa) const {
        ++detail::integrations_on_this_thread();
        Forces out;
        if (kappa > 0) {
            out = detail::integrate(full, profile(cover_law, full, eps_top, kappa));
            if (confined) {
                const double at_core = strain(eps_top, kappa, core.u_top);
                const Forces minus = detail::integrate(core, profile(cover_law, core, at_core, kappa));
                const Forces plus = detail::integrate(core, profile(core_law, core, at_core, kappa));
                out.N += plus.N - minus.N;
                out.Mu += plus.Mu - minus.Mu;
            }
        } else {
            out.N = uniform_stress(cover_law, eps_top) * data->area;
            if (confined) out.N += (uniform_stress(core_law, eps_top) - uniform_stress(cover_law, eps_top)) * core_area;
        }
        for (std::size_t i = 0; i < full.bar_u.size(); ++i) {
            const double F = data->bar_area[i] * steel.stress(strain(eps_top, kappa, full.bar_u[i]));
            out.N += F;
            out.Mu += F * full.bar_u[i];
        }
        return out;
    }

    // The top strain that carries N (N) at a curvature, by bracketing.
    double balance(double N, double kappa) const {
        const auto f = [&](double e) { return forces(e, kappa).N - N; };
        double lo = -0.01, hi = 0.01, flo = f(lo), fhi = f(hi);
        for (int i = 0; flo > 0 && i < 60; ++i) hi = lo, fhi = flo, lo *= 2, flo = f(lo);
        for (int i = 0; fhi < 0 && i < 60; ++i) lo = hi, flo = fhi, hi *= 2, fhi = f(hi);
        if (flo > 0 || fhi < 0) detail::fail("momento-curvatura: nessuna configurazione porta questo N");
        return detail::brent_root(f, lo, hi, flo, fhi, 1e-15, 1e-9 * (std::fabs(N) + 1e3));
    }

    // The curvature at which the strain at fibre u reaches `eps` while
    // carrying N, or none when no curvature does.
    std::optional<double> curvature_where(double N, double u, double eps) const {
        const auto f = [&](double kappa) { return forces(eps + kappa * (full.u_top - u), kappa).N - N; };
        const double depth = full.u_top - full.u_bottom;
        double lo = 1e-12 / depth, hi = 1.0 / depth;
        const double flo = f(lo), fhi = f(hi);
        if ((flo > 0) == (fhi > 0)) return std::nullopt;
        return detail::brent_root(f, lo, hi, flo, fhi, 1e-13 * hi, 1e-9 * (std::fabs(N) + 1e3));
    }

    double moment(double N, double kappa) const { return forces(balance(N, kappa), kappa).Mu; }
};

struct Limit {
    double kappa = INFINITY;
    CurvatureEnd end = CurvatureEnd::ConcreteStrain;
};

// The smaller curvature of the concrete and steel limits (the first reached).
Limit first_limit(const Model& m, double N, double eps_concrete, double u_concrete, double eps_steel) {
    Limit out;
    if (const auto k = m.curvature_where(N, u_concrete, eps_concrete)) out = {*k, CurvatureEnd::ConcreteStrain};
    if (std::isfinite(eps_steel))
        if (const auto k = m.curvature_where(N, m.full.u_bar_min, -eps_steel); k && *k < out.kappa)
            out = {*k, CurvatureEnd::SteelStrain};
    return out;
}

Model model_of(const Section& s, double angle, const CurvatureOptions& o) {
    Model m;
    m.data = &s.data();
    m.full.build(s.data(), angle);
    const Concrete& c = s.concrete();
    const bool design = o.values == MaterialValues::Design;
    const double fc = design ? c.fcd() : c.fcm;
    m.cover_law = {fc, c.eps_c2, c.n, INFINITY};
    m.eps_cu = c.eps_cu;
    m.eps_c2_unconfined = c.eps_c2;
    m.u_concrete_limit = m.full.u_top;
    Steel steel = s.steel();
    if (!design) steel.gamma_s = 1;
    m.steel = detail::SteelModel::of(steel);
    m.eps_ud = steel.eps_ud ? *steel.eps_ud : INFINITY;
    if (o.stirrups) {
        const ConfinedConcrete cc = confined_concrete(s, *o.stirrups, o.values);
        m.confined = true;
        m.cover_law.cap = c.eps_cu;
        m.core_law = {design ? c.alpha_cc * cc.fc_c / c.gamma_c : cc.fc_c, cc.eps_c2_c, c.n, INFINITY};
        const Point g = s.centroid();
        const double y0 = cc.core_y - g.y, z0 = cc.core_z - g.z;
        detail::SectionData core;
        core.rings = {{{y0, z0}, {y0 + cc.b0, z0}, {y0 + cc.b0, z0 + cc.h0}, {y0, z0 + cc.h0}}};
        m.core.build(core, angle);
        m.core_area = cc.b0 * cc.h0;
        m.eps_cu = cc.eps_cu_c;
        m.u_concrete_limit = m.core.u_top;
    }
    return m;
}

// The first curvature of the curve where the moment falls to 85 % of the
// largest moment before it, or none. Searched on the curve's own points (at
// least kScan of them), with more just past the cover's spalling, where a
// confined section's moment peaks and then drops steeply; each sampled peak
// and dip is refined between its neighbours, so that neither a sharp peak
// nor a dip narrower than the points is missed.
std::optional<double> moment_drop(const Model& m, double N, const std::vector<CurvaturePoint>& curve) {
    constexpr int kScan = 100, kPastSpalling = 16;
    const auto M = [&](double k) { return m.moment(N, k); };
    const double kappa_u = curve.back().kappa / 1e3;
    std::vector<std::pair<double, double>> samples;  // κ (1/mm), M (N·mm)
    for (const CurvaturePoint& p : curve)
        if (p.kappa > 0) samples.emplace_back(p.kappa / 1e3, p.M * 1e6);
    if (curve.size() < kScan)
        for (int i = 1; i < kScan; ++i) samples.emplace_back(kappa_u * i / kScan, M(kappa_u * i / kScan));
    if (m.confined)
        if (const auto spall = m.curvature_where(N, m.full.u_top, m.cover_law.cap); spall && *spall < kappa_u) {
            const double step = kappa_u / kScan;
            for (int i = 0; i < kPastSpalling; ++i)
                if (const double k = *spall + 2 * step * i / kPastSpalling; k < kappa_u) samples.emplace_back(k, M(k));
        }
    std::sort(samples.begin(), samples.end());
    std::vector<double> ks, Ms;
    for (const auto& [k, v] : samples) ks.push_back(k), Ms.push_back(v);
    const double xtol = 1e-6 * kappa_u;  // the peak then to about 1e-6 of itself
    double peak = 0, peak_at = 0;
    auto raise = [&](double k, double value) {
        if (value > peak) peak = value, peak_at = k;
    };
    // Where M falls below 0.85·peak between the peak and b, whose moment is Mb.
    auto crossing = [&](double b, double Mb) {
        const auto f = [&](double k) { return M(k) - 0.85 * peak; };
        return detail::brent_root(f, peak_at, b, 0.15 * peak, Mb - 0.85 * peak, 1e-12 * b, 1e-9 * peak);
    };
    for (std::size_t i = 0; i < ks.size(); ++i) {
        const double before = i > 0 ? ks[i - 1] : 0;
        const bool last = i + 1 == ks.size();
        if (Ms[i] < 0.85 * peak) return crossing(ks[i], Ms[i]);
        if (!last && Ms[i] >= Ms[i + 1] && (i == 0 || Ms[i] >= Ms[i - 1])) {
            const auto [at, least] = detail::brent_min([&](double k) { return -M(k); }, before, ks[i + 1], xtol);
            raise(at, -least);
        } else if (!last && Ms[i] <= Ms[i + 1] && i > 0 && Ms[i] <= Ms[i - 1] && peak > 0) {
            const auto [at, least] = detail::brent_min(M, before, ks[i + 1], xtol);
            if (least < 0.85 * peak) return crossing(at, least);
        }
        raise(ks[i], Ms[i]);
    }
    return std::nullopt;
}

}  // namespace

const char* reason(CurvatureEnd end) {
    switch (end) {
        case CurvatureEnd::ConcreteStrain:
            return "calcestruzzo alla deformazione ultima";
        case CurvatureEnd::SteelStrain:
            return "acciaio teso alla deformazione εud";
        case CurvatureEnd::MomentDrop:
            return "momento sceso all'85 % del massimo";
    }
    return "";
}

MomentCurvature moment_curvature(const Section& s, double N, const CurvatureOptions& o) {
    detail::require(std::isfinite(N), "momento-curvatura: N deve essere un numero finito");
    detail::require(o.points >= 2 && o.points <= 10000, "momento-curvatura: da 2 a 10000 punti");
    if (N >= s.N_Rd_max() || N <= s.N_Rd_min())
        detail::fail("momento-curvatura: N fuori dall'intervallo N_Rd,min…N_Rd,max della sezione");
    const double angle = (o.direction == Axis::My ? 0.0 : std::numbers::pi / 2) + (o.reversed ? std::numbers::pi : 0);
    const Model m = model_of(s, angle, o);
    const double Nn = N * 1e3;

    MomentCurvature out;
    out.N = N;
    out.direction = o.direction;
    if (o.stirrups) out.confinement = confined_concrete(s, *o.stirrups, o.values);

    const auto point = [&](double kappa) { return CurvaturePoint{kappa * 1e3, m.moment(Nn, kappa) / 1e6}; };

    const Limit yield = first_limit(m, Nn, m.eps_c2_unconfined, m.full.u_top, m.steel.eps_yd);
    Limit ultimate = first_limit(m, Nn, m.eps_cu, m.u_concrete_limit, m.eps_ud);
    if (!std::isfinite(yield.kappa) || !std::isfinite(ultimate.kappa))
        detail::fail("momento-curvatura: snervamento o stato ultimo non trovati a questo N");
    out.first_yield = point(yield.kappa);

    // The resisting moment of the unconfined section with the same values.
    CurvatureOptions plain = o;
    plain.stirrups.reset();
    const Model u = model_of(s, angle, plain);
    const Limit rd = first_limit(u, Nn, u.eps_cu, u.full.u_top, u.eps_ud);
    const double M_Rd = u.moment(Nn, rd.kappa) / 1e6;

    // The curve, ended early where the moment first falls to 85 % of its
    // peak before that curvature.
    const auto sample = [&](double kappa_u) {
        out.points.clear();
        for (int i = 0; i < o.points; ++i) out.points.push_back(point(kappa_u * i / (o.points - 1)));
    };
    sample(ultimate.kappa);
    if (const std::optional<double> drop = moment_drop(m, Nn, out.points)) {
        ultimate = {*drop, CurvatureEnd::MomentDrop};
        sample(ultimate.kappa);
    }
    detail::require(out.first_yield.M > 0 && M_Rd > 0, "momento-curvatura: momento non positivo allo snervamento");
    out.ultimate = out.points.back();
    out.end = ultimate.end;
    out.yield = {out.first_yield.kappa * M_Rd / out.first_yield.M, M_Rd};
    out.mu_phi = out.ultimate.kappa / out.yield.kappa;
    return out;
}

}  // namespace ferrolit::analysis
