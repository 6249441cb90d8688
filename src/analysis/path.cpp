#include "analysis/path.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/roots.hpp"

namespace ferrolit::analysis::detail {

Plane1D path_plane(const SectionData& s, const Frame& f, double p) {
    const ConcreteModel& c = s.concrete_law;
    const double h = f.u_top - f.u_bottom;
    const double d = f.u_top - f.u_bar_min;  // > 0: bars lie strictly inside the concrete
    if (p <= 1) {
        if (!s.steel.eps_ud) return {-s.steel_law.eps_yd, 0};
        const double eud = *s.steel.eps_ud;
        const double top = -eud + std::max(p, 0.0) * (c.eps_cu + eud);
        return {top, (top + eud) / d};
    }
    if (p <= 2) {
        const double x0 = s.steel.eps_ud ? d * c.eps_cu / (c.eps_cu + *s.steel.eps_ud) : 0.0;
        const double x = x0 + (p - 1) * (h - x0);
        return {c.eps_cu, c.eps_cu / x};
    }
    const double pivot = c.pivot;
    const double bottom = std::min(p - 2, 1.0) * pivot;
    const double depth_c = (1 - pivot / c.eps_cu) * h;
    const double kappa = (pivot - bottom) / (h - depth_c);
    return {pivot + kappa * depth_c, kappa};
}

double path_at_N(const SectionData& s, Frame& f, double N) {
    if (N <= s.N_min) return s.p_start;
    if (N >= s.N_max) return 3;
    auto N_at = [&](double p) {
        const Plane1D pl = path_plane(s, f, p);
        return forces(s, f, pl.eps_top, pl.kappa).N;
    };
    if (!f.region_ends_known) {
        f.N_at_1 = N_at(1);
        f.N_at_2 = N_at(2);
        f.region_ends_known = true;
    }
    double a, b, Na, Nb;
    if (N <= f.N_at_1) {
        a = s.p_start, b = 1, Na = s.N_min, Nb = f.N_at_1;
    } else if (N <= f.N_at_2) {
        a = 1, b = 2, Na = f.N_at_1, Nb = f.N_at_2;
    } else {
        a = 2, b = 3, Na = f.N_at_2, Nb = s.N_max;
    }
    const double ftol = 1e-12 * (s.N_max - s.N_min);
    return brent_root([&](double p) { return N_at(p) - N; }, a, b, Na - N, Nb - N, 1e-15, ftol);
}

PathPoint path_point(const Frame& f, Plane1D plane, const Forces& F) {
    return {f.theta, plane, F.N, f.My(F.Mu, F.Mv), f.Mz(F.Mu, F.Mv), f.u_top, f.u_bottom};
}

SectionState state_without_bars(const SectionData& s, const PathPoint& p) {
    SectionState st;
    st.N = p.N / 1e3;
    st.My = p.My / 1e6;
    st.Mz = p.Mz / 1e6;
    const double dy = std::sin(p.theta), dz = std::cos(p.theta);
    st.plane.eps_g = p.plane.eps_top - p.plane.kappa * p.u_top;
    st.plane.chi_y = p.plane.kappa * dz;
    st.plane.chi_z = p.plane.kappa * dy;
    double degrees = p.theta * 180 / std::numbers::pi;
    degrees = std::fmod(degrees, 360.0);
    st.angle = degrees < 0 ? degrees + 360 : degrees;
    if (p.plane.kappa > 0) st.neutral_axis_depth = p.plane.eps_top / p.plane.kappa;
    st.depth = p.u_top - p.u_bottom;
    st.concrete_edge_strain = p.plane.eps_top;
    st.concrete_edge_stress = s.concrete_law.stress(p.plane.eps_top, p.plane.eps_top);
    return st;
}

SectionState state_of(const SectionData& s, const Frame& f, Plane1D plane) {
    SectionState st = state_without_bars(s, path_point(f, plane, forces(s, f, plane.eps_top, plane.kappa)));
    st.bars.reserve(s.bars.size());
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const double eps = plane.eps_top - plane.kappa * (f.u_top - f.bar_u[i]);
        st.bars.push_back({s.bars[i].y, s.bars[i].z, s.bars[i].area, eps, s.steel_law.stress(eps)});
    }
    return st;
}

}  // namespace ferrolit::analysis::detail
