// capacity_shear: the shear of capacity design in the plane of My (§7.4.4.1.1
// beams, §7.4.4.2.1 columns): V_Ed = γRd·(M_Rd⁺ + M_Rd⁻)/l + V_grav, the
// resisting moments of the section at the two ends with opposite signs (at
// the combination's N), γRd of Tab. 7.2.I, l the clear length or height;
// against the section's V_Rd (§4.1.2.3.5.2), with θ = 45° in the critical
// zones of CD"A" beams (§7.4.4.1.1).

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"
#include "verify/checks/shear.hpp"

namespace ferrolit::verification {

NotRunReason check_capacity_shear(const SeismicContext& s, std::vector<CheckResult>& out) {
    const bool column = s.column();
    if (!s.in.clear_length)
        return std::string("manca \"") + (column ? "altezza_netta" : "luce_netta") + "\" nel blocco sismica";
    if (!column && !s.in.gravity_shear) return "manca \"V_gravitazionale\" nel blocco sismica";
    if (s.combinations.empty()) return "nessuna combinazione SLU sismica";
    const double gamma = column ? s.rules.gamma_Rd_column : s.rules.gamma_Rd_beam;
    const double length = *s.in.clear_length / 1000, gravity = s.in.gravity_shear.value_or(0);
    const bool strut_45 = !column && s.in.ductility == DuctilityClass::A && s.in.critical_zone;
    const char* clause = column ? "§7.4.4.2.1" : "§7.4.4.1.1";
    for (const Combination* k : s.combinations) {
        const analysis::MomentCapacity up = s.ctx.section.resisting_moment(k->N, 1, 0);
        const analysis::MomentCapacity down = s.ctx.section.resisting_moment(k->N, -1, 0);
        if (!up.My_Rd || !down.My_Rd) {
            out.push_back(make_check(Check::CapacityShear, clause, k, std::nullopt, std::nullopt, "kN", INFINITY, false,
                                     std::string("momento resistente non determinato: ") +
                                         analysis::reason(up.My_Rd ? down.outcome : up.outcome)));
            continue;
        }
        const double sum = std::fabs(*up.My_Rd) + std::fabs(*down.My_Rd);
        const double V = gamma * sum / length + gravity;
        Combination with_v = *k;
        with_v.Vz = V;
        const ShearResistance r =
            shear_resistance(s.ctx, ShearPlane::Z, with_v, strut_45 ? std::optional<double>(1.0) : std::nullopt);
        CheckResult c =
            seismic_maximum(Check::CapacityShear, clause, k, V, r.VRd, "kN",
                            "V_Ed = γRd·(M_Rd⁺ + M_Rd⁻)/l" + std::string(column ? "" : " + V_grav") + " = " +
                                format::decimal(gamma, 2) + "·(" + format::decimal(std::fabs(*up.My_Rd), 1) + " + " +
                                format::decimal(std::fabs(*down.My_Rd), 1) + ")/" + format::decimal(length, 3) + " m" +
                                (column ? "" : " + " + format::decimal(gravity, 1) + " kN") +
                                "; V_Rd con cot θ = " + format::decimal(r.cot_theta, 2) +
                                (strut_45 ? " (θ = 45° in zona critica CD\"A\")" : ""));
        c.details = {{"gamma_Rd", gamma, ""},
                     {"M_Rd_pos", std::fabs(*up.My_Rd), "kNm"},
                     {"M_Rd_neg", std::fabs(*down.My_Rd), "kNm"},
                     {"cot_theta", r.cot_theta, ""}};
        out.push_back(std::move(c));
    }
    return std::nullopt;
}

}  // namespace ferrolit::verification
