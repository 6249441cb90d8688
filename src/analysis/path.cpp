#include "analysis/path.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/roots.hpp"

namespace ferrolit::analysis::detail {

namespace {

// The path's plane as a function of p and of the frame's two depths: h, the
// concrete's, and d, the most tensioned bar's from the top fibre; with the
// rates of eps_top and kappa with each (the regions' one-sided rates at their
// ends, from the side path_plane takes).
struct PlaneWithRates {
    Plane1D plane;
    double top_p = 0, kappa_p = 0, top_h = 0, kappa_h = 0, top_d = 0, kappa_d = 0;
};

PlaneWithRates plane_of(const SectionData& s, double p, double h, double d) {
    const ConcreteModel& c = s.concrete_law;
    PlaneWithRates out;
    if (p <= 1) {
        if (!s.steel.eps_ud) {
            out.plane = {-s.steel_law.eps_yd, 0};
            return out;
        }
        const double eud = *s.steel.eps_ud;
        const double top = -eud + std::max(p, 0.0) * (c.eps_cu + eud);
        out.plane = {top, (top + eud) / d};
        out.top_p = p >= 0 ? c.eps_cu + eud : 0;
        out.kappa_p = out.top_p / d;
        out.kappa_d = -out.plane.kappa / d;
        return out;
    }
    if (p <= 2) {
        const double x0 = s.steel.eps_ud ? d * c.eps_cu / (c.eps_cu + *s.steel.eps_ud) : 0.0;
        const double share = s.steel.eps_ud ? c.eps_cu / (c.eps_cu + *s.steel.eps_ud) : 0.0;  // dx0/dd
        const double x = x0 + (p - 1) * (h - x0);
        out.plane = {c.eps_cu, c.eps_cu / x};
        const double per_x = -out.plane.kappa / x;
        out.kappa_p = per_x * (h - x0);
        out.kappa_h = per_x * (p - 1);
        out.kappa_d = per_x * (2 - p) * share;
        return out;
    }
    const double pivot = c.pivot;
    const double bottom = std::min(p - 2, 1.0) * pivot;
    const double depth_c = (1 - pivot / c.eps_cu) * h;
    const double kappa = (pivot - bottom) / (h - depth_c);
    out.plane = {pivot + kappa * depth_c, kappa};
    if (p < 3) out.kappa_p = -c.eps_cu / h, out.top_p = -(c.eps_cu - pivot);
    out.kappa_h = -kappa / h;
    return out;
}

}  // namespace

Plane1D path_plane(const SectionData& s, const Frame& f, double p) {
    return plane_of(s, p, f.u_top - f.u_bottom, f.u_top - f.u_bar_min).plane;
}

PathForces path_forces(const SectionData& s, const Frame& f, double p) {
    const PlaneWithRates r = plane_of(s, p, f.u_top - f.u_bottom, f.u_top - f.u_bar_min);
    const double eps_top = r.plane.eps_top, kappa = r.plane.kappa;
    Stiffness k;
    PathForces out{r.plane, forces(s, f, eps_top, kappa, k)};
    // eps(u, v) = eps_top − kappa·(u_top − u): a rate of eps_top and kappa
    // changes it by a + b·u; turning the frame moves u_top and every u by
    // −v, which adds kappa·(v_top − v).
    auto rates = [&](double top_rate, double kappa_rate, double turning) {
        const Forces d = k.rates(top_rate - kappa_rate * f.u_top + turning * kappa * f.v_top, kappa_rate,
                                 -turning * kappa, top_rate);
        return Forces{d.N, f.My(d.Mu, d.Mv), f.Mz(d.Mu, d.Mv)};
    };
    const Forces by_p = rates(r.top_p, r.kappa_p, 0);
    const double h_theta = f.v_bottom - f.v_top, d_theta = f.v_bar_min - f.v_top;
    const Forces by_theta = rates(r.top_h * h_theta + r.top_d * d_theta, r.kappa_h * h_theta + r.kappa_d * d_theta, 1);
    out.N_p = by_p.N, out.My_p = by_p.Mu, out.Mz_p = by_p.Mv;
    out.N_theta = by_theta.N, out.My_theta = by_theta.Mu, out.Mz_theta = by_theta.Mv;
    return out;
}

namespace {

// The last evaluations of a search, so that the one it ends on is not integrated again.
class Evaluations {
public:
    Evaluations(const SectionData& s, const Frame& f) : s_(s), f_(f) {}
    // N at p; with its rate dN/dp when `rates` (the stiffness costs about
    // as much again as the forces, so only the Newton steps ask for it).
    double N_at(double p, bool rates = false) {
        Entry& e = last_[next_++ % kKept];
        e.p = p;
        e.N_p = 0;
        if (rates) {
            const PathForces pf = path_forces(s_, f_, p);
            e.plane = pf.plane, e.F = pf.F, e.N_p = pf.N_p;
        } else {
            e.plane = path_plane(s_, f_, p);
            e.F = forces(s_, f_, e.plane.eps_top, e.plane.kappa);
        }
        ++count_;
        return e.F.N;
    }
    // dN/dp at the last point evaluated.
    double last_slope() const { return last_[(next_ - 1) % kKept].N_p; }
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
        for (std::size_t k = 0; k < std::min(count_, kKept); ++k)
            if (last_[k].p == p) out.slope = last_[k].N_p;
        if (out.slope == 0 && count_ >= 2) {
            // Without the exact rate, the secant of the last two points.
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
        double N_p = 0;
    };
    const SectionData& s_;
    const Frame& f_;
    Entry last_[kKept];
    std::size_t next_ = 0, count_ = 0;
};

// Bracketed Newton steps from a start, with the exact dN/dp of each point:
// each step that would leave the bracket, or shrink it too slowly, is
// replaced by the bracket's midpoint.
double newton_from(Evaluations& ev, const PathStart& start, double lo, double hi, double N_lo, double N_hi, double N,
                   double ftol) {
    double x = std::clamp(start.p, lo, hi), fx = ev.N_at(x, true) - N;
    double slope = ev.last_slope() > 0 ? ev.last_slope() : start.slope;
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
        const double f_next = ev.N_at(next, true) - N;
        slope = ev.last_slope();
        // Steps that stop gaining (a kink of the steel's law nearby) give way to halving.
        halve = iter >= 4 && std::fabs(f_next) > 0.5 * std::fabs(fx);
        x = next, fx = f_next;
    }
    return x;
}

}  // namespace

PathSolution solve_at_N(const SectionData& s, Frame& f, double N, const PathStart* start, double accuracy) {
    Evaluations ev(s, f);
    if (N <= s.N_min) return ev.solution(s.p_start);
    if (N >= s.N_max) return ev.solution(3);
    const double ftol = accuracy * (s.N_max - s.N_min);
    if (start) return ev.solution(newton_from(ev, *start, s.p_start, 3, s.N_min, s.N_max, N, ftol));
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
