// Shear in the two planes, for every ultimate combination: §4.1.2.3.5.1
// without shear reinforcement, §4.1.2.3.5.2 with stirrups. The tensioned
// bars (ρl, d) are those on the side the combination's moment in that plane
// stretches; for a zero moment the side with the smaller ρl, which gives the
// smaller resistance without stirrups.

#include <cmath>
#include <numbers>

#include "ferrolit/format.hpp"
#include "verify/checks/shear.hpp"
#include "verify/checks/torsion.hpp"

namespace ferrolit::verification {

namespace {

constexpr double kNu = 0.5;  // strength reduction of the cracked web, (4.1.28)

struct Plane {
    Check family;
    ShearPlane plane;
    Coordinate c;
    double Combination::*M;
};
constexpr Plane kPlanes[] = {{Check::ShearZ, ShearPlane::Z, Coordinate::Z, &Combination::My},
                             {Check::ShearY, ShearPlane::Y, Coordinate::Y, &Combination::Mz}};

const Plane& plane_of(ShearPlane p) { return kPlanes[p == ShearPlane::Z ? 0 : 1]; }

const char* side_name(Coordinate c, bool low) {
    if (c == Coordinate::Z) return low ? "inferiore" : "superiore";
    return low ? "sinistro" : "destro";
}

// αc of §4.1.2.3.5.2 for the mean compression σcp.
double alpha_c(double sigma_cp, double fcd) {
    if (sigma_cp <= 0) return 1;
    if (sigma_cp < 0.25 * fcd) return 1 + sigma_cp / fcd;
    if (sigma_cp <= 0.5 * fcd) return 1.25;
    return std::max(0.0, 2.5 * (1 - sigma_cp / fcd));
}

void without_stirrups(const Context& ctx, double N, ShearResistance& r) {
    const TensionSide& t = r.side;
    const double d = t.d, bw = t.bw;
    r.rho = std::min(t.As / (bw * d), 0.02);
    r.k = std::min(1 + std::sqrt(200 / d), 2.0);
    r.v_min = 0.035 * std::pow(r.k, 1.5) * std::sqrt(ctx.fck);
    r.sigma_cp = std::min(N * 1e3 / ctx.Ac, 0.2 * ctx.fcd);  // tension kept with its sign
    const double gamma_c = ctx.section.concrete().gamma_c;
    const double v = std::max(0.18 * r.k * std::cbrt(100 * r.rho * ctx.fck) / gamma_c + 0.15 * r.sigma_cp,
                              r.v_min + 0.15 * r.sigma_cp);
    r.VRd_c = std::max(0.0, v * bw * d / 1e3);
}

void with_stirrups(const Context& ctx, ShearResistance& r) {
    const StirrupsRecord& s = *ctx.stirrups;
    const double angle = s.angle * std::numbers::pi / 180;
    const double sin_a = s.angle == 90 ? 1.0 : std::sin(angle);
    const double asw_s = s.legs * std::numbers::pi * s.diameter * s.diameter / 4 / s.spacing;  // mm²/mm
    r.stirrups = true;
    r.cot_alpha = s.angle == 90 ? 0.0 : 1 / std::tan(angle);
    r.stirrup_term = 0.9 * r.side.d * asw_s * ctx.fyd * sin_a / 1e3;
}

// The struts of (4.1.28), also wanted without stirrups by torsion with shear.
void struts(const Context& ctx, double N, ShearResistance& r) {
    r.sigma_cp_struts = N * 1e3 / ctx.Ac;  // not capped: αc takes the whole mean compression
    r.alpha_c = alpha_c(r.sigma_cp_struts, ctx.fcd);
    r.strut_term = 0.9 * r.side.d * r.side.bw * r.alpha_c * kNu * ctx.fcd / 1e3;
}

// For cot θ ≥ 1 the stirrups' resistance grows and the struts' falls: the
// least of the two is largest where they meet, or at an end of [1, 2.5].
double cot_theta_of_largest_VRd(const ShearResistance& r) {
    if (r.VRsd_at(2.5) <= r.VRcd_at(2.5)) return 2.5;
    if (r.VRsd_at(1) >= r.VRcd_at(1)) return 1;
    double lo = 1, hi = 2.5;
    for (int i = 0; i < 100 && hi - lo > 1e-12; ++i) {
        const double mid = (lo + hi) / 2;
        (r.VRsd_at(mid) < r.VRcd_at(mid) ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// A circular or annular member takes the effective depth and width of
// AASHTO LRFD §5.7.2.8 (its rule for circular members, which the 2018 code
// and EN 1992-1-1 lack): d = D/2 + Dr/π with Dr the diameter of the circle
// through the bars' centres, bw = D, and for an annulus the two walls,
// bw = D − Di (the least width across the depth, at the centre).
void circular_effective_section(const Context& ctx, TensionSide& t) {
    const ShapeInput& shape = ctx.in.shape;
    if (!is_circular(shape.kind) || ctx.bars.empty()) return;
    const double R = shape.diameter / 2;
    double radius = 0;
    for (const PlacedBar& b : ctx.bars) radius += std::hypot(b.y - R, b.z - R);
    const double Dr = 2 * radius / static_cast<double>(ctx.bars.size());
    t.d = R + Dr / std::numbers::pi;
    t.bw = shape.diameter - shape.inner_diameter;
}

ShearResistance resistance(const Context& ctx, Coordinate c, bool low, double N, std::optional<double> cot_theta) {
    ShearResistance r;
    r.side = tension_side(ctx, c, low);
    circular_effective_section(ctx, r.side);
    without_stirrups(ctx, N, r);
    r.VRd = r.VRd_c;
    struts(ctx, N, r);
    if (!ctx.stirrups) return r;
    with_stirrups(ctx, r);
    r.cot_theta = cot_theta ? *cot_theta : ctx.in.cot_theta ? *ctx.in.cot_theta : cot_theta_of_largest_VRd(r);
    r.VRsd = r.VRsd_at(r.cot_theta);
    r.VRcd = r.VRcd_at(r.cot_theta);
    r.VRd = std::min(r.VRsd, r.VRcd);
    return r;
}

// With stirrups, a member whose V_Ed ≤ V_Rd,c needs no shear reinforcement
// by calculation (§4.1.2.3.5): the minimum stirrups of §4.1.6.1 suffice (the
// `stirrups` check), so the resistance is the larger of V_Rd,c and
// min(V_Rsd, V_Rcd). Above V_Rd,c the stirrups must carry it alone.
void apply_code_rule(ShearResistance& r, double V) {
    if (!r.stirrups || V > r.VRd_c) return;
    r.below_VRd_c = true;
    if (r.VRd_c <= r.VRd) return;
    r.VRd = r.VRd_c;
    r.concrete_governs = true;
}

std::string note_of(const Context& ctx, const ShearResistance& r, bool common_theta) {
    std::string note = std::string("lembo teso ") + side_name(r.side.c, r.side.low) +
                       (r.chosen_side ? " (momento nullo: il lato con ρl minore)" : "");
    if (is_circular(ctx.in.shape.kind))
        note += std::string("; sezione ") + shape_kind_name(ctx.in.shape.kind) +
                ": d = D/2 + Dr/π = " + format::decimal(r.side.d, 1) +
                " mm, bw = " + (ctx.in.shape.kind == ShapeKind::Annulus ? "D − Di = " : "D = ") +
                format::decimal(r.side.bw, 0) + " mm (AASHTO LRFD §5.7.2.8, sezioni circolari)";
    if (!r.stirrups)
        return note + "; senza armature trasversali (4.1.23): ρl = " + format::significant(r.rho, 3) +
               ", σcp = " + format::decimal(r.sigma_cp, 2) + " MPa";
    const StirrupsRecord& s = *ctx.stirrups;
    const char* theta_origin = ctx.in.cot_theta ? " (assegnato)"
                               : common_theta   ? " (unico per taglio e torsione, §4.1.2.3.6.3)"
                                                : " (scelto per massimizzare V_Rd)";
    note += "; staffe ø" + format::significant(s.diameter) + "/" + format::significant(s.spacing) + " a " +
            std::to_string(s.legs) + " bracci: cot θ = " + format::decimal(r.cot_theta, 2) + theta_origin +
            ", αc = " + format::decimal(r.alpha_c, 3) + " (σcp = N_Ed/Ac = " + format::decimal(r.sigma_cp_struts, 2) +
            " MPa)";
    const std::string pair = "min(" + format::decimal(r.VRsd, 1) + "; " + format::decimal(r.VRcd, 1) + ")";
    if (!r.below_VRd_c) return note + "; V_Rd = min(V_Rsd; V_Rcd) = " + pair + " kN";
    return note +
           "; V_Ed ≤ V_Rd,c: armatura a taglio non necessaria per calcolo, bastano le staffe minime (§4.1.6.1); " +
           "V_Rd = max(V_Rd,c; min(V_Rsd; V_Rcd)) = max(" + format::decimal(r.VRd_c, 1) + "; " + pair +
           ") kN, governa " + (r.concrete_governs ? "V_Rd,c" : "min(V_Rsd; V_Rcd)");
}

std::vector<Detail> details_of(const ShearResistance& r) {
    std::vector<Detail> d = {
        {"d", r.side.d, "mm"}, {"bw", r.side.bw, "mm"},   {"As_l", r.side.As, "mm²"},      {"rho_l", r.rho, ""},
        {"k", r.k, ""},        {"v_min", r.v_min, "MPa"}, {"sigma_cp", r.sigma_cp, "MPa"}, {"V_Rd_c", r.VRd_c, "kN"}};
    if (r.stirrups) {
        d.push_back({"cot_theta", r.cot_theta, ""});
        d.push_back({"sigma_cp_alpha_c", r.sigma_cp_struts, "MPa"});
        d.push_back({"alpha_c", r.alpha_c, ""});
        d.push_back({"V_Rsd", r.VRsd, "kN"});
        d.push_back({"V_Rcd", r.VRcd, "kN"});
    }
    return d;
}

}  // namespace

double ShearResistance::VRd_at(double cot, double V) const {
    if (!stirrups) return VRd_c;
    const double by_stirrups = std::min(VRsd_at(cot), VRcd_at(cot));
    return V <= VRd_c ? std::max(VRd_c, by_stirrups) : by_stirrups;
}

double shear_of(const Combination& c, ShearPlane plane) { return std::fabs(plane == ShearPlane::Z ? c.Vz : c.Vy); }

ShearResistance shear_resistance(const Context& ctx, ShearPlane p, const Combination& c,
                                 std::optional<double> cot_theta) {
    const Plane& plane = plane_of(p);
    const double M = c.*plane.M;
    ShearResistance r;
    if (M != 0) {
        r = resistance(ctx, plane.c, stretches_low(M), c.N, cot_theta);
    } else {
        const ShearResistance low = resistance(ctx, plane.c, true, c.N, cot_theta);
        const ShearResistance high = resistance(ctx, plane.c, false, c.N, cot_theta);
        const bool take_low = low.rho < high.rho || (low.rho == high.rho && low.VRd <= high.VRd);
        r = take_low ? low : high;
        r.chosen_side = true;
    }
    apply_code_rule(r, shear_of(c, p));
    return r;
}

bool needs_shear_reinforcement(const Context& ctx) {
    for (const Plane& plane : kPlanes)
        for (const Combination& c : ctx.in.combinations)
            if (is_ultimate(c.kind) &&
                shear_of(c, plane.plane) > shear_resistance(ctx, plane.plane, c, std::nullopt).VRd_c)
                return true;
    return false;
}

void check_shear(const Context& ctx, std::vector<CheckResult>& out) {
    for (const Plane& plane : kPlanes) {
        for (const Combination& c : ctx.in.combinations) {
            if (!is_ultimate(c.kind)) continue;
            const std::optional<double> common = torsion_cot_theta(ctx, c);
            const ShearResistance r = shear_resistance(ctx, plane.plane, c, common);
            const double V = shear_of(c, plane.plane);
            const bool concrete_only = !r.stirrups || r.concrete_governs;
            CheckResult check = make_check(plane.family, concrete_only ? "§4.1.2.3.5.1" : "§4.1.2.3.5.2", &c, V, r.VRd,
                                           "kN", ratio_of(V, r.VRd), V <= r.VRd, note_of(ctx, r, common.has_value()));
            check.details = details_of(r);
            out.push_back(std::move(check));
        }
    }
}

}  // namespace ferrolit::verification
