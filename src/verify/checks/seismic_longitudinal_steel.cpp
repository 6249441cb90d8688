// seismic_longitudinal_steel: the longitudinal bars of §7.4.6.2.1 (beams:
// 1,4/fyk ≤ ρ ≤ ρcomp + 3,5/fyk on each side, ρ = As/(b·h); in the critical
// zones ρcomp ≥ ½·ρ, elsewhere ≥ ¼·ρ; two bars of at least 14 mm top and
// bottom) and §7.4.6.2.2 (columns: 1 % ≤ ρ ≤ 4 % of the gross section, bars
// around the perimeter at most 250 mm apart).

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kBeam = "§7.4.6.2.1";
constexpr const char* kColumn = "§7.4.6.2.2";
constexpr double kLeastBeamBar = 14;       // mm
constexpr double kColumnBarSpacing = 250;  // mm

struct Side {
    const char* name;
    double rho = 0;
    int large_bars = 0;  // of at least 14 mm
};

Side side_of(const Context& ctx, bool low, double b, double h) {
    Side s{low ? "inferiore" : "superiore"};
    const TensionSide t = tension_side(ctx, Coordinate::Z, low);
    s.rho = t.As / (b * h);
    for (const PlacedBar& bar : ctx.bars)
        if ((low ? bar.z < ctx.G.z : bar.z > ctx.G.z) && bar.diameter >= kLeastBeamBar - 1e-9) ++s.large_bars;
    return s;
}

std::string percent(double rho) { return format::decimal(100 * rho, 3) + " %"; }

void beam(const SeismicContext& s, std::vector<CheckResult>& out) {
    const Context& ctx = s.ctx;
    const double h = ctx.z.hi - ctx.z.lo, b = least_width(ctx.shape(), Coordinate::Z, ctx.z.lo, ctx.z.hi);
    const Side sides[2] = {side_of(ctx, true, b, h), side_of(ctx, false, b, h)};
    const double lowest = 1.4 / ctx.fyk, margin = 3.5 / ctx.fyk;
    const double comp = s.in.critical_zone ? 0.5 : 0.25;
    for (int i = 0; i < 2; ++i) {
        const Side& side = sides[i];
        const Side& other = sides[1 - i];
        const std::string where = std::string("lato ") + side.name + ": ρ = As/(b·h), b = " + format::decimal(b, 0) +
                                  " mm, h = " + format::decimal(h, 0) + " mm";
        out.push_back(seismic_minimum(Check::SeismicLongitudinalSteel, kBeam, nullptr, 100 * lowest, 100 * side.rho,
                                      "%", where + "; ρ ≥ 1,4/fyk"));
        out.push_back(seismic_maximum(
            Check::SeismicLongitudinalSteel, kBeam, nullptr, 100 * side.rho, 100 * (other.rho + margin), "%",
            where + "; ρ ≤ ρcomp + 3,5/fyk con ρcomp = " + percent(other.rho) + " (lato opposto)"));
        out.push_back(seismic_minimum(
            Check::SeismicLongitudinalSteel, kBeam, nullptr, 100 * comp * other.rho, 100 * side.rho, "%",
            std::string("lato ") + side.name + " compresso: ρcomp ≥ " + (s.in.critical_zone ? "½" : "¼") +
                "·ρ del lato teso opposto (ρ = " + percent(other.rho) + ")"));
        out.push_back(seismic_minimum(Check::SeismicLongitudinalSteel, kBeam, nullptr, 2, side.large_bars, "barre",
                                      std::string("lato ") + side.name + ": almeno due barre di diametro ≥ 14 mm"));
    }
}

void column(const SeismicContext& s, std::vector<CheckResult>& out) {
    const Context& ctx = s.ctx;
    double As = 0;
    for (const PlacedBar& b : ctx.bars) As += b.area;
    const double rho = As / ctx.Ac;
    const std::string note = "ρ = As/Ac = " + format::decimal(As, 0) + " / " + format::decimal(ctx.Ac, 0) + " mm²";
    out.push_back(
        seismic_minimum(Check::SeismicLongitudinalSteel, kColumn, nullptr, 1, 100 * rho, "%", note + "; ρ ≥ 1 %"));
    out.push_back(
        seismic_maximum(Check::SeismicLongitudinalSteel, kColumn, nullptr, 100 * rho, 4, "%", note + "; ρ ≤ 4 %"));
    if (ctx.bars.size() >= 2)
        out.push_back(seismic_maximum(Check::SeismicLongitudinalSteel, kColumn, nullptr,
                                      largest_perimeter_gap(ctx.bars), kColumnBarSpacing, "mm",
                                      "interasse massimo tra barre consecutive lungo il perimetro ≤ 250 mm"));
}

}  // namespace

NotRunReason check_seismic_longitudinal_steel(const SeismicContext& s, std::vector<CheckResult>& out) {
    if (s.column())
        column(s, out);
    else
        beam(s, out);
    // §7.4.2.2: the bars of B450C steel, (ft/fy)k ≥ 1,15 and (Agt)k = εuk ≥
    // 7,5 % (Tab. 11.3.Ib). The ratio is (ft/fy)k's, which B450C exceeds,
    // unless εuk falls short: B450C's εuk is the limit itself.
    const analysis::Steel& steel = s.ctx.section.steel();
    const double ratio = std::max(1.15 / steel.k, steel.eps_uk < 0.075 ? 0.075 / steel.eps_uk : 0.0);
    out.push_back(make_check(Check::SeismicLongitudinalSteel, "§7.4.2.2", nullptr, 1.15, steel.k, "", ratio, ratio <= 1,
                             "acciaio B450C richiesto" + (steel.name.empty() ? "" : " (dato " + steel.name + ")") +
                                 ": (ft/fy)k = " + format::decimal(steel.k, 2) +
                                 " ≥ 1,15, εuk = " + format::decimal(100 * steel.eps_uk, 1) + " % ≥ 7,5 %"));
    return std::nullopt;
}

}  // namespace ferrolit::verification
