// seismic_confinement: the stirrups that confine the critical zones of
// columns (§7.4.6.2.2): α·ω_wd ≥ 30·μφ·ν_d·ε_sy,d·b_c/b_0 − 0,035 in each
// seismic combination, and ω_wd ≥ 0,12 (CD"A") or 0,08 (CD"B"). b_c is the
// least side of the gross section, b_0 the same side of the confined core
// (between the stirrups' centre lines).

#include <algorithm>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

namespace {

// The α·ω_wd a combination asks for, ν_d taken ≥ 0.
double required_alpha_omega(const SeismicContext& s, const Combination& k, double mu, double bc_over_b0) {
    return 30 * mu * std::max(0.0, s.nu_d(k)) * s.ctx.fyd / s.ctx.Es * bc_over_b0 - 0.035;
}

}  // namespace

NotRunReason check_seismic_confinement(const SeismicContext& s, std::vector<CheckResult>& out) {
    if (!s.column()) return "regola dei pilastri (§7.4.6.2.2), non delle travi";
    if (!s.in.critical_zone) return "sezione fuori dalla zona critica";
    std::string how;
    const std::optional<double> mu = mu_phi_demand(s.in, &how);
    if (!mu) return "domanda di duttilità non data: indicare q0, T1 e Tc oppure mu_phi nel blocco sismica";
    if (s.combinations.empty()) return "nessuna combinazione SLU sismica";
    const Confinement c = confinement_of(s.ctx);
    if (c.absent) {
        // No closed stirrups: nothing confines the core, α·ω_wd = 0.
        for (const Combination* k : s.combinations) {
            const double required = required_alpha_omega(s, *k, *mu, 1);
            CheckResult r = seismic_minimum(Check::SeismicConfinement, "§7.4.6.2.2", k, required, 0, "",
                                            c.problem +
                                                ": α·ω_wd = 0; α·ω_wd ≥ 30·μφ·ν_d·ε_sy,d·b_c/b_0 − 0,035 "
                                                "(b_c/b_0 preso 1)");
            if (required <= 0) r.ratio = 0, r.verified = true;
            out.push_back(std::move(r));
        }
        out.push_back(seismic_minimum(Check::SeismicConfinement, "§7.4.6.2.2", nullptr, s.rules.omega_wd_min, 0, "",
                                      c.problem + ": ω_wd = 0 ≥ " + format::decimal(s.rules.omega_wd_min, 2)));
        return std::nullopt;
    }
    if (!c.concrete) return c.problem;
    const analysis::ConfinedConcrete& cc = *c.concrete;
    const double width = s.ctx.y.hi - s.ctx.y.lo, height = s.ctx.z.hi - s.ctx.z.lo;
    const double bc = std::min(width, height), b0 = width <= height ? cc.b0 : cc.h0;
    const double eps_syd = s.ctx.fyd / s.ctx.Es;
    const double provided = cc.alpha * cc.omega_wd;
    for (const Combination* k : s.combinations) {
        const double nu = std::max(0.0, s.nu_d(*k));
        const double required = required_alpha_omega(s, *k, *mu, bc / b0);
        CheckResult r = seismic_minimum(
            Check::SeismicConfinement, "§7.4.6.2.2", k, required, provided, "",
            "α·ω_wd ≥ 30·μφ·ν_d·ε_sy,d·b_c/b_0 − 0,035 con " + how + ", ν_d = " + format::decimal(nu, 3) +
                ", ε_sy,d = " + format::decimal(1000 * eps_syd, 3) + " ‰, b_c = " + format::decimal(bc, 0) +
                " mm, b_0 = " + format::decimal(b0, 0) + " mm; α = αn·αs = " + format::decimal(cc.alpha_n, 3) + "·" +
                format::decimal(cc.alpha_s, 3) + ", ω_wd = " + format::decimal(cc.omega_wd, 3));
        if (required <= 0) r.ratio = 0, r.verified = true;
        r.details = {{"mu_phi", *mu, ""}, {"nu_d", nu, ""}, {"alpha", cc.alpha, ""}, {"omega_wd", cc.omega_wd, ""}};
        out.push_back(std::move(r));
    }
    out.push_back(seismic_minimum(Check::SeismicConfinement, "§7.4.6.2.2", nullptr, s.rules.omega_wd_min, cc.omega_wd,
                                  "",
                                  "ω_wd = (V_staffe/V_nucleo)·fyd/fcd ≥ " + format::decimal(s.rules.omega_wd_min, 2)));
    return std::nullopt;
}

}  // namespace ferrolit::verification
