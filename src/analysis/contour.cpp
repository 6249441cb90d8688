// The My-Mz contour of the resistance domain at one N.

#include <cmath>
#include <numbers>

#include "analysis/errors.hpp"
#include "analysis/outline.hpp"
#include "analysis/slice.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis {

Contour Section::contour(double N, int directions) const {
    return ferrolit::detail::public_call([&]() -> Contour {
        detail::require(std::isfinite(N), "contorno: N deve essere un numero finito");
        detail::require(directions >= 4 && directions <= 10000, "contorno: le direzioni devono essere tra 4 e 10000");
        const detail::SectionData& s = *data_;
        Contour c;
        c.N = N;
        const double n = N * 1e3;
        if (n < s.N_min || n > s.N_max) {
            c.outcome = n < s.N_min ? Outcome::BelowMinimum : Outcome::AboveMaximum;
            return c;
        }
        detail::Slice slice(s, n);
        const double two_pi = 2 * std::numbers::pi;
        std::vector<double> ts;
        std::vector<detail::Hit> first;
        for (int k = 0; k <= directions; ++k) {
            ts.push_back(two_pi * k / directions);
            first.push_back(slice.at(ts.back()));
        }
        double lo_y = 0, hi_y = 0, lo_z = 0, hi_z = 0;
        for (int k = 0; k < directions; k += std::max(1, directions / 16)) {
            const detail::Moment m = first[static_cast<std::size_t>(k)].M;
            lo_y = std::min(lo_y, m.My), hi_y = std::max(hi_y, m.My), lo_z = std::min(lo_z, m.Mz),
            hi_z = std::max(hi_z, m.Mz);
        }
        // One scale for both moments: the larger extent of the contour.
        double scale = std::max(hi_y - lo_y, hi_z - lo_z);
        if (!(scale > 0)) scale = s.moment_scale;
        auto eval = [&](double t) { return slice.at(t); };
        auto deviation = [&](const detail::Hit& a, const detail::Hit& m, const detail::Hit& b) {
            return detail::chord_distance(a.M.My, a.M.Mz, m.M.My, m.M.Mz, b.M.My, b.M.Mz, scale, scale);
        };
        const auto hits = detail::refine<detail::Hit>(ts, std::move(first), eval, deviation, ts.size(), 0.5e-3, 40000);
        c.points.reserve(hits.size());
        for (const detail::Hit& h : hits)
            c.points.push_back({h.M.My / 1e6, h.M.Mz / 1e6, detail::state_without_bars(s, h.point())});
        c.points.back() = c.points.front();
        return c;
    });
}

}  // namespace ferrolit::analysis
