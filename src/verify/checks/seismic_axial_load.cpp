// seismic_axial_load: the normalised axial force of columns in the seismic
// combinations, ν_d = N_Ed/(Ac·fcd), within 0,55 (CD"A") or 0,65 (CD"B") (§7.4.4.2.2.1).

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

NotRunReason check_seismic_axial_load(const SeismicContext& s, std::vector<CheckResult>& out) {
    if (!s.column()) return "regola dei pilastri (§7.4.4.2.2.1), non delle travi";
    if (s.combinations.empty()) return "nessuna combinazione SLU sismica";
    for (const Combination* c : s.combinations) {
        const double nu = s.nu_d(*c);
        out.push_back(seismic_maximum(Check::SeismicAxialLoad, "§7.4.4.2.2.1", c, nu, s.rules.nu_max, "",
                                      "ν_d = N_Ed/(Ac·fcd) = " + format::decimal(c->N, 1) + " kN / (" +
                                          format::decimal(s.ctx.Ac, 0) + " mm² · " + format::decimal(s.ctx.fcd, 2) +
                                          " MPa)"));
    }
    return std::nullopt;
}

}  // namespace ferrolit::verification
