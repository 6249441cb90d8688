#include "component/uls/domain_search.hpp"

#include "core/numeric.hpp"

namespace ferrolit::component {

void to_kilo_units(PointLists& points) {
    for (std::size_t i = 1; i < points.N.size(); ++i) {
        points.N[i] = detail::single(points.N[i] / 1000.0);
        points.M[i] = detail::single(points.M[i] / 1000000.0);
    }
}

namespace {

struct Bracket {
    float Mrd = 0;
    float xn = 0;
};

Bracket search(const PointLists& p, float Ned) {
    const std::size_t n = p.count();
    if (n == 0) throw Error(ErrorKind::InvalidIndex);  // the point lists were never dimensioned
    float n_lo = p.N[1], n_hi = p.N[1], m_lo = 0, m_hi = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        if (p.N[i] <= Ned) {
            n_lo = p.N[i];
            m_lo = p.M[i];
        }
        if (p.N[i] >= Ned) {
            n_hi = p.N[i];
            m_hi = p.M[i];
        }
        if (Ned <= n_hi && n_lo <= Ned) {
            Bracket b;
            b.Mrd = n_hi == n_lo
                        ? m_lo
                        : detail::single(m_lo + (double{m_hi} - m_lo) * (double{Ned} - n_lo) / (double{n_hi} - n_lo));
            if (b.Mrd == 0) b.Mrd = 1.0E-15f;
            b.xn = p.x[i];  // depth of the point that closed the bracket, not interpolated
            return b;
        }
    }
    return {};  // Ned outside the branch: no resistance
}

}  // namespace

ResistingState resisting_state(const PointLists& points, float Ned, const SweepSetup& s) {
    const Bracket b = search(points, Ned);
    ResistingState r;
    r.Mrd = b.Mrd;
    r.xn = b.xn == 0 ? 1.0E-14f : b.xn;
    const double xn = r.xn;

    if (double{Ned} <= double{points.N3} / 1000.0) {
        r.sigma_t = s.fyd;  // at or below the start of region 4 the tension layer has yielded
    } else {
        const float eps_t = detail::single(double{s.eps_cu} * (double{s.d} - xn) / xn);
        r.sigma_t = eps_t <= s.eps_yd ? detail::single(double{s.Es} * eps_t) : s.fyd;
    }
    const float eps_c = detail::single(double{s.eps_cu} * (xn - s.cover_c) / xn);
    r.sigma_c = eps_c <= s.eps_yd ? detail::single(double{s.Es} * eps_c) : s.fyd;
    return r;
}

}  // namespace ferrolit::component
