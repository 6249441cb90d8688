// The detailing rules as checks with ratios (> 1 fails; minimums as
// required/provided, maximums as provided/limit): beams §4.1.6.1.1,
// columns §4.1.6.1.2. They belong to no combination.

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kBeam = "§4.1.6.1.1";
constexpr const char* kColumn = "§4.1.6.1.2";

const char* side_name(Coordinate c, bool low) {
    if (c == Coordinate::Z) return low ? "inferiore" : "superiore";
    return low ? "sinistro" : "destro";
}

std::string moment_sign(Coordinate c, bool low) {
    return std::string(c == Coordinate::Z ? "My" : "Mz") + (low ? " > 0" : " < 0");
}

CheckResult minimum(Check family, const char* clause, double required, double provided, const char* unit,
                    std::string note) {
    return make_check(family, clause, nullptr, required, provided, unit, ratio_of(required, provided),
                      provided >= required, std::move(note));
}

CheckResult maximum(Check family, const char* clause, double provided, double limit, const char* unit,
                    std::string note) {
    return make_check(family, clause, nullptr, provided, limit, unit, ratio_of(provided, limit), provided <= limit,
                      std::move(note));
}

double bars_beyond(const Context& ctx, Coordinate c, bool low) {
    double area = 0;
    const double g = coordinate_of(ctx.G, c);
    for (const PlacedBar& b : ctx.bars) {
        const double level = c == Coordinate::Z ? b.z : b.y;
        if (low ? level < g : level > g) area += b.area;
    }
    return area;
}

void beam(const Context& ctx, std::vector<CheckResult>& out) {
    const double coefficient = std::max(0.26 * ctx.fctm / ctx.fyk, 0.0013);
    double least_d = INFINITY;
    for (Coordinate c : {Coordinate::Z, Coordinate::Y}) {
        for (bool low : stretched_sides(ctx, c)) {
            const TensionSide t = tension_side(ctx, c, low);
            if (c == Coordinate::Z) least_d = std::min(least_d, t.d);
            const double required = coefficient * t.bt * t.d;
            CheckResult r = minimum(Check::AsMin, kBeam, required, t.As, "mm²",
                                    std::string("barre del lembo teso ") + side_name(c, low) + " (" +
                                        moment_sign(c, low) + "): As,min = max(0,26·fctm/fyk; 0,0013)·bt·d");
            r.details = {{"bt", t.bt, "mm"}, {"d", t.d, "mm"}, {"coefficient", coefficient, ""}};
            out.push_back(std::move(r));
        }
    }
    const double limit = 0.04 * ctx.Ac;
    const bool sideways = !stretched_sides(ctx, Coordinate::Y).empty();
    for (Coordinate c : {Coordinate::Z, Coordinate::Y}) {
        if (c == Coordinate::Y && !sideways) continue;
        for (bool low : {true, false})
            out.push_back(
                maximum(Check::AsMax, kBeam, bars_beyond(ctx, c, low), limit, "mm²",
                        std::string("barre del lato ") + side_name(c, low) + " (tese o compresse): As ≤ 0,04·Ac"));
    }
    // A slab that needs no shear reinforcement by calculation has no stirrup
    // rules (§4.1.2.3.5.1; not_run.cpp says so); it has the slab spacing instead.
    if (ctx.in.member == MemberType::Slab) {
        check_slab_bar_spacing(ctx, out);
        if (!needs_shear_reinforcement(ctx)) return;
    }
    // Stirrups: at least 1.5·b mm²/m, b the web's least thickness, at least
    // three a metre and no wider apart than 0.8·d.
    double z_lo = INFINITY, z_hi = -INFINITY;
    for (const PlacedBar& b : ctx.bars) z_lo = std::min(z_lo, b.z), z_hi = std::max(z_hi, b.z);
    const double b = least_width(ctx.shape(), Coordinate::Z, z_lo, z_hi);
    const double provided = ctx.stirrups ? ctx.stirrups->per_metre : 0.0;
    CheckResult st = minimum(Check::Stirrups, kBeam, 1.5 * b, provided, "mm²/m",
                             "Ast ≥ 1,5·b mm²/m con b = " + format::decimal(b, 0) + " mm, spessore minimo dell'anima" +
                                 (ctx.stirrups ? "" : "; nessuna staffa"));
    st.details = {{"b", b, "mm"}};
    out.push_back(std::move(st));
    if (!ctx.stirrups) return;
    const double spacing_limit = std::min(1000.0 / 3, 0.8 * least_d);
    out.push_back(maximum(
        Check::StirrupSpacing, kBeam, ctx.stirrups->spacing, spacing_limit, "mm",
        "passo ≤ min(333 mm, almeno tre staffe al metro; 0,8·d = " + format::decimal(0.8 * least_d, 0) + " mm)"));
}

void column(const Context& ctx, std::vector<CheckResult>& out) {
    double phi_min = INFINITY, phi_max = 0, As = 0;
    for (const PlacedBar& b : ctx.bars) {
        phi_min = std::min(phi_min, b.diameter), phi_max = std::max(phi_max, b.diameter);
        As += b.area;
    }
    out.push_back(
        minimum(Check::BarDiameter, kColumn, 12, phi_min, "mm", "diametro delle barre longitudinali ≥ 12 mm"));
    if (ctx.bars.size() > 1)
        out.push_back(maximum(Check::BarSpacing, kColumn, largest_perimeter_gap(ctx.bars), 300, "mm",
                              "interasse delle barre longitudinali lungo il perimetro ≤ 300 mm"));
    const Combination* most = nullptr;
    for (const Combination& c : ctx.in.combinations)
        if (is_ultimate(c.kind) && (most == nullptr || c.N > most->N)) most = &c;
    const double N = most != nullptr ? std::max(0.0, most->N) : 0.0;
    const double by_area = 0.003 * ctx.Ac, by_force = 0.10 * N * 1e3 / ctx.fyd;
    std::string note = "As ≥ max(0,003·Ac; 0,10·N_Ed/fyd)";
    if (most != nullptr)
        note += ", N_Ed = " + format::decimal(N, 1) + " kN della combinazione più compressa \"" + most->name + "\"";
    CheckResult r = minimum(Check::AsMin, kColumn, std::max(by_area, by_force), As, "mm²", note);
    r.details = {{"0.003_Ac", by_area, "mm²"}, {"0.10_N_fyd", by_force, "mm²"}};
    out.push_back(std::move(r));
    out.push_back(maximum(Check::AsMax, kColumn, As, 0.04 * ctx.Ac, "mm²", "As ≤ 0,04·Ac"));
    const double phi_st = ctx.stirrups ? ctx.stirrups->diameter : 0.0;
    out.push_back(
        minimum(Check::Stirrups, kColumn, std::max(6.0, phi_max / 4), phi_st, "mm",
                std::string("diametro delle staffe ≥ max(6 mm; φmax/4)") + (ctx.stirrups ? "" : "; nessuna staffa")));
    if (!ctx.stirrups) return;
    out.push_back(maximum(Check::StirrupSpacing, kColumn, ctx.stirrups->spacing, std::min(12 * phi_min, 250.0), "mm",
                          "passo delle staffe ≤ min(12·φmin; 250 mm)"));
}

}  // namespace

// The largest gap between neighbouring bars around the perimeter: the bars on
// the convex hull of their centres (those along its sides included), in order.
double largest_perimeter_gap(const std::vector<PlacedBar>& bars) {
    std::vector<analysis::Point> p;
    for (const PlacedBar& b : bars) p.push_back({b.y, b.z});
    std::sort(p.begin(), p.end(), [](auto a, auto b) { return a.y < b.y || (a.y == b.y && a.z < b.z); });
    p.erase(std::unique(p.begin(), p.end(), [](auto a, auto b) { return a.y == b.y && a.z == b.z; }), p.end());
    if (p.size() < 2) return 0;
    const auto cross = [](analysis::Point o, analysis::Point a, analysis::Point b) {
        return (a.y - o.y) * (b.z - o.z) - (a.z - o.z) * (b.y - o.y);
    };
    std::vector<analysis::Point> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t start = hull.size();
        for (std::size_t k = 0; k < p.size(); ++k) {
            const analysis::Point q = pass == 0 ? p[k] : p[p.size() - 1 - k];
            while (hull.size() >= start + 2 && cross(hull[hull.size() - 2], hull.back(), q) < -1e-9) hull.pop_back();
            hull.push_back(q);
        }
        hull.pop_back();
    }
    double gap = 0;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const analysis::Point a = hull[i], b = hull[(i + 1) % hull.size()];
        gap = std::max(gap, std::hypot(a.y - b.y, a.z - b.z));
    }
    return gap;
}

void check_detailing(const Context& ctx, std::vector<CheckResult>& out) {
    if (ctx.in.member == MemberType::Column)
        column(ctx, out);
    else
        beam(ctx, out);
}

}  // namespace ferrolit::verification
