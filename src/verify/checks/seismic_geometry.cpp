// seismic_geometry: the sizes of §7.4.6.1 — beams at least 200 mm wide with
// width/depth ≥ 0,25 (§7.4.6.1.1), columns with least size ≥ 250 mm (§7.4.6.1.2).

#include <algorithm>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

NotRunReason check_seismic_geometry(const SeismicContext& s, std::vector<CheckResult>& out) {
    const Context& ctx = s.ctx;
    const double height = ctx.z.hi - ctx.z.lo;
    if (s.column()) {
        const double least = std::min(ctx.y.hi - ctx.y.lo, height);
        out.push_back(seismic_minimum(Check::SeismicGeometry, "§7.4.6.1.2", nullptr, 250, least, "mm",
                                      "dimensione minima della sezione del pilastro ≥ 250 mm"));
        return std::nullopt;
    }
    const double b = least_width(ctx.shape(), Coordinate::Z, ctx.z.lo, ctx.z.hi);
    out.push_back(seismic_minimum(Check::SeismicGeometry, "§7.4.6.1.1", nullptr, 200, b, "mm",
                                  "larghezza della trave b ≥ 200 mm (la minima lungo l'altezza)"));
    out.push_back(seismic_minimum(
        Check::SeismicGeometry, "§7.4.6.1.1", nullptr, 0.25, b / height, "",
        "rapporto b/h ≥ 0,25 con b = " + format::decimal(b, 0) + " mm, h = " + format::decimal(height, 0) + " mm"));
    return std::nullopt;
}

}  // namespace ferrolit::verification
