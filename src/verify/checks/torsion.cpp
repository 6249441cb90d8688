// Torsion, §4.1.2.3.6: the resistance of the struts, of the closed stirrups
// and of the longitudinal bars on the equivalent thin-walled section
// (§4.1.2.3.6.1), the interaction with shear (§4.1.2.3.6.3) and the bars
// torsion needs at the corners. One cot θ serves shear and torsion in a
// combination with torsion.

#include "verify/checks/torsion.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "ferrolit/format.hpp"
#include "verify/checks/shear.hpp"

namespace ferrolit::verification {

namespace {

constexpr int kThetaSteps = 300;  // cot θ scanned in steps of 0.005 over [1, 2.5]

bool has_torsion(const Combination& c) { return is_ultimate(c.kind) && c.T != 0; }

// Torsion with shear in one plane, for one of the two parts of the truss
// that both load: T_Ed/T_R + V_Ed/V_R.
struct Sum {
    ShearPlane plane = ShearPlane::Z;
    double V = 0, VR = 0, TR = 0;
    double ratio = 0;
};

// The interaction of torsion and shear with the same θ, in the plane where
// it is larger: the struts (§4.1.2.3.6.3, T_Rcd and V_Rcd), and the
// stirrups, which the two share (§4.1.2.3.6.2: the stirrups needed for each
// are added; shear spread over all the legs, torsion on the outer ones, so
// T_Ed/T_Rsd + V_Ed/V_Rsd ≤ 1, with no V_Rd,c).
struct Interaction {
    Sum struts, stirrups;
    double ratio() const { return std::max(struts.ratio, stirrups.ratio); }
};

Interaction interaction(const TorsionResistance& tr, const ShearResistance& rz, const ShearResistance& ry,
                        const Combination& c, double cot) {
    Interaction out;
    auto larger = [&](Sum& best, double TR, auto VR_of) {
        bool first = true;
        for (const auto& [plane, r] : {std::pair{ShearPlane::Z, &rz}, std::pair{ShearPlane::Y, &ry}}) {
            const double V = shear_of(c, plane), VR = VR_of(*r);
            const double ratio = ratio_of(std::fabs(c.T), TR) + ratio_of(V, VR);
            if (first || ratio > best.ratio) best = {plane, V, VR, TR, ratio};
            first = false;
        }
    };
    larger(out.struts, tr.TRcd_at(cot), [&](const ShearResistance& r) { return r.VRcd_at(cot); });
    larger(out.stirrups, tr.TRsd_at(cot), [&](const ShearResistance& r) { return r.stirrups ? r.VRsd_at(cot) : 0.0; });
    return out;
}

double largest_ratio(const TorsionResistance& tr, const ShearResistance& rz, const ShearResistance& ry,
                     const Combination& c, double cot) {
    const double Vz = shear_of(c, ShearPlane::Z), Vy = shear_of(c, ShearPlane::Y);
    return std::max({ratio_of(Vz, rz.VRd_at(cot, Vz)), ratio_of(Vy, ry.VRd_at(cot, Vy)),
                     ratio_of(std::fabs(c.T), tr.TRd_at(cot)), interaction(tr, rz, ry, c, cot).ratio()});
}

std::string wall_text(const ThinWalled& w) {
    const std::string by_area = "A_c/u = " + format::significant(w.A_whole, 6) + "/" + format::decimal(w.u, 0) + " = " +
                                format::decimal(w.A_whole / w.u, 1);
    const std::string t = w.wall > 0 && w.t == w.wall ? "parete minima " + format::decimal(w.t, 1)
                          : w.t == 2 * w.bar_depth    ? "2 volte la distanza dal bordo del centro delle barre = 2·" +
                                                         format::decimal(w.bar_depth, 1) + " = " +
                                                         format::decimal(w.t, 1) + " (" + by_area + " è minore)"
                                                   : by_area;
    std::string text = "sezione sottile equivalente: t = " + t + " mm";
    if (!w.defined) return text + "; linea media non definita (il contorno rientrato di t/2 si ribalta)";
    return text + ", A = " + format::decimal(w.A, 0) +
           " mm² racchiusa dalla linea media, u_k = " + format::decimal(w.uk, 0) + " mm";
}

std::string theta_text(const Context& ctx) {
    return ctx.in.cot_theta ? " (assegnato)" : " (unico per taglio e torsione, scelto per il minimo rapporto massimo)";
}

CheckResult torsion_check(const Context& ctx, const TorsionResistance& tr, const Combination& c, double cot) {
    const double T = std::fabs(c.T);
    const double TRcd = tr.TRcd_at(cot), TRsd = tr.TRsd_at(cot), TRld = tr.TRld_at(cot);
    const double TRd = std::min({TRcd, TRsd, TRld});
    const char* governs = TRd == TRcd   ? "T_Rcd (bielle)"
                          : TRd == TRsd ? "T_Rsd (staffe)"
                                        : "T_Rld (barre longitudinali)";
    std::string note = wall_text(tr.wall) + "; cot θ = " + format::decimal(cot, 3) + theta_text(ctx) +
                       "; f'cd = 0,5·fcd = " + format::decimal(tr.f_cd_reduced, 2) +
                       " MPa, As/s = " + format::decimal(tr.Asw_s * 1000, 0) +
                       " mm²/m (un braccio), ΣAl = " + format::decimal(tr.Al, 0) +
                       " mm²; T_Rd = min(T_Rcd; T_Rsd; T_Rld) = min(" + format::decimal(TRcd, 2) + "; " +
                       format::decimal(TRsd, 2) + "; " + format::decimal(TRld, 2) + ") kNm, governa " + governs;
    if (!ctx.stirrups)
        note += "; nessuna staffa: T_Rsd = 0";
    else if (!ctx.in.closed_stirrups)
        note += "; staffe aperte (staffe_chiuse false): non resistono a torsione, T_Rsd = 0";
    CheckResult check = make_check(Check::Torsion, "§4.1.2.3.6.1", &c, T, TRd, "kNm", ratio_of(T, TRd), T <= TRd, note);
    check.details = {{"t", tr.wall.t, "mm"},
                     {"A", tr.wall.A, "mm²"},
                     {"u_k", tr.wall.uk, "mm"},
                     {"cot_theta", cot, ""},
                     {"As_s", tr.Asw_s * 1000, "mm²/m"},
                     {"Al", tr.Al, "mm²"},
                     {"T_Rcd", TRcd, "kNm"},
                     {"T_Rsd", TRsd, "kNm"},
                     {"T_Rld", TRld, "kNm"}};
    return check;
}

CheckResult interaction_check(const Context& ctx, const TorsionResistance& tr, const Combination& c, double cot) {
    const ShearResistance rz = shear_resistance(ctx, ShearPlane::Z, c, cot);
    const ShearResistance ry = shear_resistance(ctx, ShearPlane::Y, c, cot);
    const Interaction i = interaction(tr, rz, ry, c, cot);
    auto sum_text = [&](const Sum& s, const char* R) {
        return std::string("T_Ed/T_") + R + " + V_Ed/V_" + R + " = " + format::decimal(std::fabs(c.T), 2) + "/" +
               format::decimal(s.TR, 2) + " + " + format::decimal(s.V, 2) + "/" + format::decimal(s.VR, 2) + " = " +
               format::decimal(s.ratio, 3) + " con " + (s.plane == ShearPlane::Z ? "Vz" : "Vy");
    };
    const bool struts = i.struts.ratio >= i.stirrups.ratio;
    const std::string note = "bielle: " + sum_text(i.struts, "Rcd") +
                             " (§4.1.2.3.6.3, V_Rcd (4.1.28)); staffe: " + sum_text(i.stirrups, "Rsd") +
                             " (armature di taglio e torsione sommate, V_Rsd (4.1.27) senza V_Rd,c); governano le " +
                             (struts ? "bielle" : "staffe") + "; cot θ = " + format::decimal(cot, 3) + theta_text(ctx);
    const double ratio = i.ratio();
    CheckResult check = make_check(Check::TorsionShear, struts ? "§4.1.2.3.6.3" : "§4.1.2.3.6.2", &c, ratio, 1.0, "",
                                   ratio, ratio <= 1, note);
    check.details = {{"T_Rcd", i.struts.TR, "kNm"},   {"V_Ed", i.struts.V, "kN"},     {"V_Rcd", i.struts.VR, "kN"},
                     {"T_Rsd", i.stirrups.TR, "kNm"}, {"V_Rsd", i.stirrups.VR, "kN"}, {"cot_theta", cot, ""}};
    return check;
}

// Every corner of the outline needs a bar within the wall on both of its
// sides: for each corner the bar nearest to it by the larger of its
// distances from the two faces; the worst corner's distance against t.
CheckResult corner_check(const Context& ctx, const ThinWalled& wall) {
    const analysis::Ring& ring = ctx.shape().outline;
    double worst = 0;
    for (std::size_t i : outline_corners(ring)) {
        const analysis::Point p = ring[i], prev = ring[(i + ring.size() - 1) % ring.size()],
                              next = ring[(i + 1) % ring.size()];
        double nearest = INFINITY;
        for (const PlacedBar& b : ctx.bars) {
            const analysis::Point at{b.y, b.z};
            nearest = std::min(nearest, std::max(distance_to_line(at, prev, p), distance_to_line(at, p, next)));
        }
        worst = std::max(worst, nearest);
    }
    return make_check(Check::Torsion, "§4.1.2.3.6", nullptr, worst, wall.t, "mm", ratio_of(worst, wall.t),
                      worst <= wall.t,
                      "torsione: una barra longitudinale in ogni spigolo; distanza della barra più vicina allo "
                      "spigolo peggiore da entrambe le facce ≤ t");
}

}  // namespace

double TorsionResistance::TRcd_at(double cot) const {
    return 2 * wall.A * wall.t * f_cd_reduced * cot / (1 + cot * cot) / 1e6;
}
double TorsionResistance::TRsd_at(double cot) const { return 2 * wall.A * Asw_s * fyd * cot / 1e6; }
double TorsionResistance::TRld_at(double cot) const {
    return wall.uk > 0 ? 2 * wall.A * (Al / wall.uk) * fyd / cot / 1e6 : 0;
}
double TorsionResistance::TRd_at(double cot) const { return std::min({TRcd_at(cot), TRsd_at(cot), TRld_at(cot)}); }

bool within_wall(const Context& ctx, const ThinWalled& wall, const PlacedBar& bar) {
    return distance_to_edge(ctx.shape(), {bar.y, bar.z}) <= wall.t;
}

TorsionResistance torsion_resistance(const Context& ctx) {
    TorsionResistance tr;
    // Each bar's depth from the edge: the least sets the wall's least t,
    // and the bars within t count in T_Rld.
    std::vector<double> depth;
    for (const PlacedBar& b : ctx.bars) depth.push_back(distance_to_edge(ctx.shape(), {b.y, b.z}));
    tr.wall = thin_walled(ctx.shape(), depth.empty() ? 0 : *std::min_element(depth.begin(), depth.end()));
    tr.f_cd_reduced = 0.5 * ctx.fcd;
    tr.fyd = ctx.fyd;
    if (ctx.stirrups && ctx.in.closed_stirrups)
        tr.Asw_s = std::numbers::pi * ctx.stirrups->diameter * ctx.stirrups->diameter / 4 / ctx.stirrups->spacing;
    for (std::size_t i = 0; i < ctx.bars.size(); ++i)
        if (depth[i] <= tr.wall.t) tr.Al += ctx.bars[i].area;
    return tr;
}

std::optional<double> torsion_cot_theta(const Context& ctx, const Combination& c) {
    if (!has_torsion(c)) return std::nullopt;
    if (ctx.in.cot_theta) return ctx.in.cot_theta;
    const TorsionResistance tr = torsion_resistance(ctx);
    const ShearResistance rz = shear_resistance(ctx, ShearPlane::Z, c, 1.0);
    const ShearResistance ry = shear_resistance(ctx, ShearPlane::Y, c, 1.0);
    double best = 2.5, least = largest_ratio(tr, rz, ry, c, best);
    for (int i = kThetaSteps - 1; i >= 0; --i) {
        const double cot = 1 + 1.5 * i / kThetaSteps, worst = largest_ratio(tr, rz, ry, c, cot);
        if (worst < least) best = cot, least = worst;
    }
    return best;
}

void check_torsion(const Context& ctx, std::vector<CheckResult>& out) {
    if (std::none_of(ctx.in.combinations.begin(), ctx.in.combinations.end(), has_torsion)) return;
    const TorsionResistance tr = torsion_resistance(ctx);
    std::vector<CheckResult> interactions;
    for (const Combination& c : ctx.in.combinations) {
        if (!has_torsion(c)) continue;
        const double cot = *torsion_cot_theta(ctx, c);
        out.push_back(torsion_check(ctx, tr, c, cot));
        interactions.push_back(interaction_check(ctx, tr, c, cot));
    }
    out.push_back(corner_check(ctx, tr.wall));
    for (CheckResult& i : interactions) out.push_back(std::move(i));
}

}  // namespace ferrolit::verification
