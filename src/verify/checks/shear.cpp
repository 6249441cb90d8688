// Shear in the two planes, for every ultimate combination: §4.1.2.3.5.1
// without shear reinforcement, §4.1.2.3.5.2 with stirrups. The tensioned
// bars (ρl, d) are those on the side the combination's moment in that plane
// stretches; for a zero moment the side with the smaller ρl, which gives the
// smaller resistance without stirrups.

#include <cmath>
#include <numbers>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

constexpr double kNu = 0.5;  // strength reduction of the cracked web, (4.1.28)

struct Plane {
    Check family;
    Coordinate c;
    double Combination::*V;
    double Combination::*M;
};
constexpr Plane kPlanes[] = {{Check::ShearZ, Coordinate::Z, &Combination::Vz, &Combination::My},
                             {Check::ShearY, Coordinate::Y, &Combination::Vy, &Combination::Mz}};

const char* side_name(Coordinate c, bool low) {
    if (c == Coordinate::Z) return low ? "inferiore" : "superiore";
    return low ? "sinistro" : "destro";
}

struct Resistance {
    TensionSide side;
    double rho = 0, k = 0, v_min = 0, sigma_cp = 0, VRd_c = 0;  // (4.1.23), σcp capped at 0.2·fcd
    bool stirrups = false;
    double sigma_cp_struts = 0;                             // N_Ed/Ac, for αc
    double cot_theta = 0, alpha_c = 1, VRsd = 0, VRcd = 0;  // (4.1.27), (4.1.28)
    double VRd = 0;
    bool below_VRd_c = false;       // with stirrups: V_Ed ≤ V_Rd,c, the larger of the two resistances counts
    bool concrete_governs = false;  // and it is V_Rd,c
};

// αc of §4.1.2.3.5.2 for the mean compression σcp.
double alpha_c(double sigma_cp, double fcd) {
    if (sigma_cp <= 0) return 1;
    if (sigma_cp < 0.25 * fcd) return 1 + sigma_cp / fcd;
    if (sigma_cp <= 0.5 * fcd) return 1.25;
    return std::max(0.0, 2.5 * (1 - sigma_cp / fcd));
}

void without_stirrups(const Context& ctx, double N, Resistance& r) {
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

void with_stirrups(const Context& ctx, double N, Resistance& r) {
    const StirrupsRecord& s = *ctx.stirrups;
    const double angle = s.angle * std::numbers::pi / 180;
    const double sin_a = s.angle == 90 ? 1.0 : std::sin(angle), cot_a = s.angle == 90 ? 0.0 : 1 / std::tan(angle);
    const double asw_s = s.legs * std::numbers::pi * s.diameter * s.diameter / 4 / s.spacing;  // mm²/mm
    const double d = r.side.d, bw = r.side.bw;
    r.stirrups = true;
    r.sigma_cp_struts = N * 1e3 / ctx.Ac;  // not capped: αc takes the whole mean compression
    r.alpha_c = alpha_c(r.sigma_cp_struts, ctx.fcd);
    auto VRsd = [&](double t) { return 0.9 * d * asw_s * ctx.fyd * (cot_a + t) * sin_a / 1e3; };
    auto VRcd = [&](double t) { return 0.9 * d * bw * r.alpha_c * kNu * ctx.fcd * (cot_a + t) / (1 + t * t) / 1e3; };
    // For cot θ ≥ 1 the stirrups' resistance grows and the struts' falls: the
    // least of the two is largest where they meet, or at an end of [1, 2.5].
    double t = 1;
    if (ctx.in.cot_theta) {
        t = *ctx.in.cot_theta;
    } else if (VRsd(2.5) <= VRcd(2.5)) {
        t = 2.5;
    } else if (VRsd(1) < VRcd(1)) {
        double lo = 1, hi = 2.5;
        for (int i = 0; i < 100 && hi - lo > 1e-12; ++i) {
            const double mid = (lo + hi) / 2;
            (VRsd(mid) < VRcd(mid) ? lo : hi) = mid;
        }
        t = (lo + hi) / 2;
    }
    r.cot_theta = t;
    r.VRsd = VRsd(t);
    r.VRcd = VRcd(t);
    r.VRd = std::min(r.VRsd, r.VRcd);
}

// With stirrups, a member whose V_Ed ≤ V_Rd,c needs no shear reinforcement
// by calculation (§4.1.2.3.5): the minimum stirrups of §4.1.6.1 suffice (the
// `stirrups` check), so the resistance is the larger of V_Rd,c and
// min(V_Rsd, V_Rcd). Above V_Rd,c the stirrups must carry it alone.
void apply_code_rule(Resistance& r, double V) {
    if (!r.stirrups || V > r.VRd_c) return;
    r.below_VRd_c = true;
    if (r.VRd_c <= r.VRd) return;
    r.VRd = r.VRd_c;
    r.concrete_governs = true;
}

Resistance resistance(const Context& ctx, Coordinate c, bool low, double N) {
    Resistance r;
    r.side = tension_side(ctx, c, low);
    without_stirrups(ctx, N, r);
    r.VRd = r.VRd_c;
    if (ctx.stirrups) with_stirrups(ctx, N, r);
    return r;
}

std::string note_of(const Context& ctx, const Resistance& r, bool chosen_side) {
    std::string note = std::string("lembo teso ") + side_name(r.side.c, r.side.low) +
                       (chosen_side ? " (momento nullo: il lato con ρl minore)" : "");
    if (!r.stirrups)
        return note + "; senza armature trasversali (4.1.23): ρl = " + format::significant(r.rho, 3) +
               ", σcp = " + format::decimal(r.sigma_cp, 2) + " MPa";
    const StirrupsRecord& s = *ctx.stirrups;
    note += "; staffe ø" + format::significant(s.diameter) + "/" + format::significant(s.spacing) + " a " +
            std::to_string(s.legs) + " bracci: cot θ = " + format::decimal(r.cot_theta, 2) +
            (ctx.in.cot_theta ? " (assegnato)" : " (scelto per massimizzare V_Rd)") +
            ", αc = " + format::decimal(r.alpha_c, 3) + " (σcp = N_Ed/Ac = " + format::decimal(r.sigma_cp_struts, 2) +
            " MPa)";
    const std::string pair = "min(" + format::decimal(r.VRsd, 1) + "; " + format::decimal(r.VRcd, 1) + ")";
    if (!r.below_VRd_c) return note + "; V_Rd = min(V_Rsd; V_Rcd) = " + pair + " kN";
    return note +
           "; V_Ed ≤ V_Rd,c: armatura a taglio non necessaria per calcolo, bastano le staffe minime (§4.1.6.1); " +
           "V_Rd = max(V_Rd,c; min(V_Rsd; V_Rcd)) = max(" + format::decimal(r.VRd_c, 1) + "; " + pair +
           ") kN, governa " + (r.concrete_governs ? "V_Rd,c" : "min(V_Rsd; V_Rcd)");
}

std::vector<Detail> details_of(const Resistance& r) {
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

void check_shear(const Context& ctx, std::vector<CheckResult>& out) {
    for (const Plane& plane : kPlanes) {
        for (const Combination& c : ctx.in.combinations) {
            if (!is_ultimate(c.kind)) continue;
            const double M = c.*plane.M;
            Resistance r;
            if (M != 0) {
                r = resistance(ctx, plane.c, stretches_low(M), c.N);
            } else {
                const Resistance low = resistance(ctx, plane.c, true, c.N);
                const Resistance high = resistance(ctx, plane.c, false, c.N);
                const bool take_low = low.rho < high.rho || (low.rho == high.rho && low.VRd <= high.VRd);
                r = take_low ? low : high;
            }
            const double V = std::fabs(c.*plane.V);
            apply_code_rule(r, V);
            const bool concrete_only = !r.stirrups || r.concrete_governs;
            CheckResult check = make_check(plane.family, concrete_only ? "§4.1.2.3.5.1" : "§4.1.2.3.5.2", &c, V, r.VRd,
                                           "kN", ratio_of(V, r.VRd), V <= r.VRd, note_of(ctx, r, M == 0));
            check.details = details_of(r);
            out.push_back(std::move(check));
        }
    }
}

}  // namespace ferrolit::verification
