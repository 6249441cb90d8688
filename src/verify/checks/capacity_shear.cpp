// capacity_shear: the shear of capacity design (§7.4.4.1.1 beams, in the
// plane of My; §7.4.4.2.1 columns, in both planes): V_Ed = γRd·(M_Rd⁺ + M_Rd⁻)/l + V_grav, the
// resisting moments of the section at the two ends with opposite signs (at
// the combination's N), γRd of Tab. 7.2.I, l the clear length or height;
// against the section's V_Rd (§4.1.2.3.5.2), with θ = 45° and the truss
// alone in the critical zones of CD"A" beams (§7.4.4.1.1), whatever
// `cot_theta` the input gives the other checks.

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"
#include "verify/checks/shear.hpp"

namespace ferrolit::verification {

namespace {

// The capacity shear of one combination in one plane.
CheckResult capacity_shear_in(const SeismicContext& s, const Combination& k, ShearPlane plane) {
    const bool column = s.column(), z = plane == ShearPlane::Z;
    const double gamma = column ? s.rules.gamma_Rd_column : s.rules.gamma_Rd_beam;
    const double length = *s.in.clear_length / 1000, gravity = s.in.gravity_shear.value_or(0);
    const bool strut_45 = !column && s.in.ductility == DuctilityClass::A && s.in.critical_zone;
    const char* clause = column ? "§7.4.4.2.1" : "§7.4.4.1.1";
    const analysis::MomentCapacity up = s.ctx.section.resisting_moment(k.N, z ? 1 : 0, z ? 0 : 1);
    const analysis::MomentCapacity down = s.ctx.section.resisting_moment(k.N, z ? -1 : 0, z ? 0 : -1);
    const std::optional<double> M_up = z ? up.My_Rd : up.Mz_Rd, M_down = z ? down.My_Rd : down.Mz_Rd;
    const std::string in_plane = column ? (z ? " (piano di My, Vz)" : " (piano di Mz, Vy)") : "";
    if (!M_up || !M_down)
        return make_check(Check::CapacityShear, clause, &k, std::nullopt, std::nullopt, "kN", INFINITY, false,
                          std::string("momento resistente non determinato") + in_plane + ": " +
                              analysis::reason(M_up ? down.outcome : up.outcome));
    const double sum = std::fabs(*M_up) + std::fabs(*M_down);
    const double V = gamma * sum / length + gravity;
    Combination with_v = k;
    (z ? with_v.Vz : with_v.Vy) = V;
    const ShearResistance r =
        shear_resistance(s.ctx, plane, with_v, strut_45 ? std::optional<double>(1.0) : std::nullopt);
    // With θ = 45° the truss alone resists: no V_Rd,c for V ≤ V_Rd,c.
    const double VRd = strut_45 && r.stirrups ? std::min(r.VRsd, r.VRcd) : r.VRd;
    CheckResult c =
        seismic_maximum(Check::CapacityShear, clause, &k, V, VRd, "kN",
                        "V_Ed = γRd·(M_Rd⁺ + M_Rd⁻)/l" + std::string(column ? "" : " + V_grav") + in_plane + " = " +
                            format::decimal(gamma, 2) + "·(" + format::decimal(std::fabs(*M_up), 1) + " + " +
                            format::decimal(std::fabs(*M_down), 1) + ")/" + format::decimal(length, 3) + " m" +
                            (column ? "" : " + " + format::decimal(gravity, 1) + " kN") +
                            "; V_Rd con cot θ = " + format::decimal(r.cot_theta, 2) +
                            (strut_45 ? " (θ = 45° in zona critica CD\"A\", solo traliccio)" : ""));
    c.details = {{"gamma_Rd", gamma, ""},
                 {"M_Rd_pos", std::fabs(*M_up), "kNm"},
                 {"M_Rd_neg", std::fabs(*M_down), "kNm"},
                 {"cot_theta", r.cot_theta, ""}};
    return c;
}

}  // namespace

NotRunReason check_capacity_shear(const SeismicContext& s, std::vector<CheckResult>& out) {
    const bool column = s.column();
    if (!s.in.clear_length)
        return std::string("manca \"") + (column ? "altezza_netta" : "luce_netta") + "\" nel blocco sismica";
    if (!column && !s.in.gravity_shear) return "manca \"V_gravitazionale\" nel blocco sismica";
    if (s.combinations.empty()) return "nessuna combinazione SLU sismica";
    // Beams in the plane of My; columns in both planes, since the seismic
    // action may bend them either way.
    for (const Combination* k : s.combinations) {
        out.push_back(capacity_shear_in(s, *k, ShearPlane::Z));
        if (column) out.push_back(capacity_shear_in(s, *k, ShearPlane::Y));
    }
    return std::nullopt;
}

}  // namespace ferrolit::verification
