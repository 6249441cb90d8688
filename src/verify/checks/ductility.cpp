// ductility: the curvature ductility μφ = κu/κy of the section confined by
// its stirrups, from its moment–curvature at each seismic combination's N in
// the direction of its larger moment (§7.4.4, the conventional yield
// κy = κ'y·M_Rd/M'y), against the demand of [7.4.3] or the given μφ.

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

namespace {

// About the axis of the combination's larger moment, compressing the side it compresses.
analysis::CurvatureOptions options_for(const Combination& k, const std::optional<analysis::Stirrups>& stirrups) {
    analysis::CurvatureOptions o;
    const bool about_z = std::fabs(k.Mz) > std::fabs(k.My);
    o.direction = about_z ? analysis::Axis::Mz : analysis::Axis::My;
    o.reversed = (about_z ? k.Mz : k.My) < 0;
    o.stirrups = stirrups;
    return o;
}

}  // namespace

NotRunReason check_ductility(const SeismicContext& s, std::vector<CheckResult>& out) {
    if (!s.in.critical_zone) return "sezione fuori dalla zona critica";
    std::string how;
    const std::optional<double> demand = mu_phi_demand(s.in, &how);
    if (!demand) return "domanda di duttilità non data: indicare q0, T1 e Tc oppure mu_phi nel blocco sismica";
    if (s.combinations.empty()) return "nessuna combinazione SLU sismica";
    // Without closed stirrups the section is not confined: its own curve.
    const Confinement c = confinement_of(s.ctx);
    if (!c.stirrups && !c.absent) return "calcestruzzo confinato non determinato: " + c.problem;
    const std::string section =
        c.absent ? "della sezione non confinata (" + c.problem + ")" : "della sezione confinata";
    for (const Combination* k : s.combinations) {
        const analysis::CurvatureOptions o = options_for(*k, c.stirrups);
        const std::string direction =
            std::string(o.direction == analysis::Axis::Mz ? "Mz" : "My") + (o.reversed ? " < 0" : " > 0");
        try {
            const analysis::MomentCurvature m = analysis::moment_curvature(s.ctx.section, k->N, o);
            CheckResult r =
                seismic_minimum(Check::Ductility, "§7.4.4 [7.4.3]", k, *demand, m.mu_phi, "",
                                "μφ = κu/κy " + section + " (" + direction + ", N = " + format::decimal(k->N, 1) +
                                    " kN): κy = " + format::significant(m.yield.kappa, 4) +
                                    " 1/m, κu = " + format::significant(m.ultimate.kappa, 4) + " 1/m (" +
                                    analysis::reason(m.end) + "); domanda " + how);
            r.details = {{"kappa_y", m.yield.kappa, "1/m"},
                         {"kappa_u", m.ultimate.kappa, "1/m"},
                         {"M_y", m.yield.M, "kNm"},
                         {"M_u", m.ultimate.M, "kNm"}};
            out.push_back(std::move(r));
        } catch (const Error& e) {
            out.push_back(make_check(Check::Ductility, "§7.4.4 [7.4.3]", k, *demand, std::nullopt, "", INFINITY, false,
                                     std::string("duttilità non determinata: ") + e.what()));
        }
    }
    return std::nullopt;
}

}  // namespace ferrolit::verification

namespace ferrolit {

std::optional<SeismicCurves> seismic_curves(const VerificationResult& r) {
    using namespace verification;
    const auto check = std::find_if(r.checks.begin(), r.checks.end(),
                                    [](const CheckResult& c) { return c.id == "ductility" && c.capacity; });
    if (check == r.checks.end()) return std::nullopt;
    const auto k = std::find_if(r.input.combinations.begin(), r.input.combinations.end(),
                                [&](const Combination& c) { return c.name == check->combination; });
    if (k == r.input.combinations.end()) return std::nullopt;
    const analysis::Section section = engine_section(r);
    const Context ctx(r.input, section, r.bars, r.stirrups);
    const Confinement c = confinement_of(ctx);
    if (!c.stirrups) return std::nullopt;
    try {
        return SeismicCurves{k->name, analysis::moment_curvature(section, k->N, options_for(*k, std::nullopt)),
                             analysis::moment_curvature(section, k->N, options_for(*k, c.stirrups))};
    } catch (const Error&) {  // the unconfined section may have no curve where the confined one has
        return std::nullopt;
    }
}

}  // namespace ferrolit
