// Resisting moments at a given N along the direction of a design moment,
// and the checks of biaxial bending (§4.1.2.3.4.2).

#include <cmath>

#include "analysis/errors.hpp"
#include "analysis/slice.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

namespace detail {

namespace {

// A point on the boundary counts as inside: the margin is far below any
// engineering significance and only absorbs rounding.
constexpr double kBoundaryMargin = 1e-9;

}  // namespace

MomentCapacity capacity_in(Slice& slice, double N, double My, double Mz) {
    const SectionData& s = slice.section();
    MomentCapacity out;
    out.N = N, out.My_Ed = My, out.Mz_Ed = Mz;
    const Moment E{My * 1e6, Mz * 1e6};
    const double E_size = std::hypot(E.My, E.Mz);
    const double guess = E_size > 0 ? std::atan2(E.Mz, E.My) : 0.0;
    const Slice::Origin& o = slice.origin();
    if (o.degenerate) {
        out.outcome = E_size == 0 ? Outcome::ZeroMoment : Outcome::NoResistance;
        out.inside = std::hypot(E.My - o.centre.My, E.Mz - o.centre.Mz) <= 1e-9 * s.moment_scale;
        if (o.inside) out.My_Rd = 0, out.Mz_Rd = 0;
        if (o.inside && E_size == 0) out.ratio = 0;
        return out;
    }
    if (E_size == 0) {
        out.outcome = o.inside ? Outcome::ZeroMoment : Outcome::OriginOutside;
        out.inside = o.inside;
        if (o.inside) out.ratio = 0;
        return out;
    }
    if (o.inside) {
        const Moment t{E.My / E_size, E.Mz / E_size};
        if (const std::optional<Hit> h = slice.ray({0, 0}, t, guess)) {
            const Moment R = Slice::on_ray(*h, {0, 0}, t);
            const double R_size = std::hypot(R.My, R.Mz);
            if (!(R_size > 0)) {
                // M = 0 on the slice's edge (a slice shrunk to a point near
                // N_Rd,max): no moment is resisted in this direction.
                out.outcome = Outcome::NoResistance;
                out.My_Rd = 0, out.Mz_Rd = 0;
                out.inside = false;
                return out;
            }
            out.My_Rd = R.My / 1e6, out.Mz_Rd = R.Mz / 1e6;
            out.ratio = E_size / R_size;
            out.inside = *out.ratio <= 1 + kBoundaryMargin;
            out.state = slice.state(*h);
            return out;
        }
    }
    // M = 0 lies outside the slice: no resisting moment on this ray; whether
    // the action is inside is answered from a point inside the slice.
    out.outcome = Outcome::OriginOutside;
    const Moment d{E.My - o.centre.My, E.Mz - o.centre.Mz};
    const double d_size = std::hypot(d.My, d.Mz);
    if (d_size <= 1e-12 * s.moment_scale) {
        out.inside = true;
        return out;
    }
    const Moment t{d.My / d_size, d.Mz / d_size};
    if (const std::optional<Hit> h = slice.ray(o.centre, t, std::atan2(t.Mz, t.My))) {
        const Moment R = Slice::on_ray(*h, o.centre, t);
        out.inside = d_size <= std::hypot(R.My - o.centre.My, R.Mz - o.centre.Mz) * (1 + kBoundaryMargin);
    }
    return out;
}

std::optional<MomentCapacity> outside_range(const SectionData& s, double N, double My, double Mz) {
    for (double v : {N, My, Mz}) require(std::isfinite(v), "azioni: N, My e Mz devono essere numeri finiti");
    const double n = N * 1e3;
    if (n >= s.N_min && n <= s.N_max) return std::nullopt;
    MomentCapacity out;
    out.N = N, out.My_Ed = My, out.Mz_Ed = Mz;
    out.outcome = n < s.N_min ? Outcome::BelowMinimum : Outcome::AboveMaximum;
    return out;
}

// EN 1992-1-1 §5.8.9 (4): the exponent for rectangular sections from N/NRd.
double en_exponent(double ratio) {
    if (ratio <= 0.1) return 1.0;
    if (ratio <= 0.7) return 1.0 + 0.5 * (ratio - 0.1) / 0.6;
    if (ratio <= 1.0) return 1.5 + 0.5 * (ratio - 0.7) / 0.3;
    return 2.0;
}

}  // namespace detail

MomentCapacity Section::resisting_moment(double N, double My, double Mz) const {
    return ferrolit::detail::public_call([&]() -> MomentCapacity {
        if (auto out = detail::outside_range(*data_, N, My, Mz)) return *out;
        detail::Slice slice(*data_, N * 1e3);
        return detail::capacity_in(slice, N, My, Mz);
    });
}

BiaxialCheck Section::biaxial(double N, double My, double Mz) const {
    return ferrolit::detail::public_call([&]() -> BiaxialCheck {
        BiaxialCheck out;
        if (auto outside = detail::outside_range(*data_, N, My, Mz)) {
            out.exact = *outside;
            return out;
        }
        detail::Slice slice(*data_, N * 1e3);
        out.exact = detail::capacity_in(slice, N, My, Mz);
        // Uniaxial capacities in the sign of each action, from the same slice.
        auto uniaxial = [&](double y, double z) -> std::optional<double> {
            const MomentCapacity c = detail::capacity_in(slice, N, y, z);
            if (c.outcome != Outcome::Found) return std::nullopt;
            return std::hypot(*c.My_Rd, *c.Mz_Rd);
        };
        if (My != 0) out.MRy = uniaxial(My > 0 ? 1 : -1, 0);
        if (Mz != 0) out.MRz = uniaxial(0, Mz > 0 ? 1 : -1);
        out.alpha_en = detail::en_exponent(N / N_Rd_max());
        const bool usable = (My == 0 || (out.MRy && *out.MRy > 0)) && (Mz == 0 || (out.MRz && *out.MRz > 0));
        if (usable) {
            const double ry = My == 0 ? 0 : std::fabs(My) / *out.MRy, rz = Mz == 0 ? 0 : std::fabs(Mz) / *out.MRz;
            out.ratio_linear = ry + rz;
            out.ratio_en = std::pow(ry, out.alpha_en) + std::pow(rz, out.alpha_en);
        }
        return out;
    });
}

}  // namespace ferrolit::analysis
