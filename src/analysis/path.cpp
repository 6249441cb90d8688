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

namespace {

// The last evaluations of a search, so that the one it ends on is not integrated again.
class Evaluations {
public:
    Evaluations(const SectionData& s, const Frame& f) : s_(s), f_(f) {}
    double N_at(double p) {
        Entry& e = last_[next_++ % kKept];
        e.p = p;
        e.plane = path_plane(s_, f_, p);
        e.F = forces(s_, f_, e.plane.eps_top, e.plane.kappa);
        ++count_;
        return e.F.N;
    }
    PathSolution solution(double p) {
        PathSolution out;
        out.p = p;
        bool known = false;
        for (std::size_t k = 0; k < std::min(count_, kKept); ++k)
            if (last_[k].p == p) out.plane = last_[k].plane, out.F = last_[k].F, known = true;
        if (!known) {
            out.plane = path_plane(s_, f_, p);
            out.F = forces(s_, f_, out.plane.eps_top, out.plane.kappa);
        }
        if (count_ >= 2) {
            const Entry &a = last_[(next_ - 1) % kKept], &b = last_[(next_ - 2) % kKept];
            if (a.p != b.p) out.slope = (a.F.N - b.F.N) / (a.p - b.p);
        }
        return out;
    }

private:
    static constexpr std::size_t kKept = 4;
    struct Entry {
        double p = 0;
        Plane1D plane;
        Forces F;
    };
    const SectionData& s_;
    const Frame& f_;
    Entry last_[kKept];
    std::size_t next_ = 0, count_ = 0;
};

// Bracketed secant steps from a start: each step that would leave the
// bracket, or shrink it too slowly, is replaced by the bracket's midpoint.
double secant_from(Evaluations& ev, const PathStart& start, double lo, double hi, double N_lo, double N_hi, double N,
                   double ftol) {
    double x = std::clamp(start.p, lo, hi), fx = ev.N_at(x) - N;
    double slope = start.slope;
    bool halve = false;
    for (int iter = 0; iter < 100; ++iter) {
        if (std::fabs(fx) <= ftol) return x;
        if (fx < 0)
            lo = x, N_lo = fx + N;
        else
            hi = x, N_hi = fx + N;
        if (hi - lo <= 4 * 2.2e-16 * std::max(1.0, std::fabs(x))) return x;
        double next = slope > 0 && std::isfinite(slope) ? x - fx / slope : lo - (N_lo - N) * (hi - lo) / (N_hi - N_lo);
        if (!(next > lo && next < hi)) next = lo - (N_lo - N) * (hi - lo) / (N_hi - N_lo);
        if (halve || !(next > lo && next < hi)) next = (lo + hi) / 2;
        const double f_next = ev.N_at(next) - N;
        if (next != x) slope = (f_next - fx) / (next - x);
        // Steps that stop gaining (a kink of the steel's law nearby) give way to halving.
        halve = iter >= 4 && std::fabs(f_next) > 0.5 * std::fabs(fx);
        x = next, fx = f_next;
    }
    return x;
}

}  // namespace

PathSolution solve_at_N(const SectionData& s, Frame& f, double N, const PathStart* start) {
    Evaluations ev(s, f);
    if (N <= s.N_min) return ev.solution(s.p_start);
    if (N >= s.N_max) return ev.solution(3);
    const double ftol = 1e-12 * (s.N_max - s.N_min);
    if (start) return ev.solution(secant_from(ev, *start, s.p_start, 3, s.N_min, s.N_max, N, ftol));
    if (!f.region_ends_known) {
        f.N_at_1 = ev.N_at(1);
        f.N_at_2 = ev.N_at(2);
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
    return ev.solution(brent_root([&](double p) { return ev.N_at(p) - N; }, a, b, Na - N, Nb - N, 1e-15, ftol));
}

double path_at_N(const SectionData& s, Frame& f, double N) { return solve_at_N(s, f, N).p; }

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
    add_bars(s, f, plane, st);
    return st;
}

void add_bars(const SectionData& s, const Frame& f, Plane1D plane, SectionState& st) {
    st.bars.reserve(s.bars.size());
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const double eps = plane.eps_top - plane.kappa * (f.u_top - f.bar_u[i]);
        st.bars.push_back({s.bars[i].y, s.bars[i].z, s.bars[i].area, eps, s.steel_law.stress(eps)});
    }
}

}  // namespace ferrolit::analysis::detail
