#pragma once

// The rules of §7.4 for the primary members of dissipative structures (the
// block "sismica"), one family per file. Each family either appends its
// checks or says why it could not run.

#include <optional>
#include <string>
#include <vector>

#include "ferrolit/moment_curvature.hpp"
#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

// The figures of each ductility class that the rules of §7.4 use.
struct ClassRules {
    const char* name;                       // CD"A", CD"B"
    double nu_max;                          // §7.4.4.2.2.1: ν_d of columns
    double beam_spacing;                    // mm, §7.4.6.2.1: critical-zone stirrups of beams
    double beam_bar_times;                  // times the least longitudinal bar
    double column_spacing;                  // mm, §7.4.6.2.2: critical-zone stirrups of columns
    double column_core_fraction;            // of the least side of the confined core
    double column_bar_times;                // times the least longitudinal bar
    double omega_wd_min;                    // §7.4.6.2.2: least ω_wd in the critical zones of columns
    double gamma_Rd_beam, gamma_Rd_column;  // Tab. 7.2.I: overstrength of capacity-design shear
};
const ClassRules& rules_of(DuctilityClass c);

struct SeismicContext {
    const Context& ctx;
    const SeismicInput& in;
    const ClassRules& rules;
    std::vector<const Combination*> combinations;  // the "SLU sismica" ones
    std::string member_note;                       // "CD"B", pilastro, zona critica"

    bool column() const { return in.member == MemberType::Column; }
    double nu_d(const Combination& c) const;  // N_Ed/(Ac·fcd)
};

// Why a family did not run; empty when it ran.
using NotRunReason = std::optional<std::string>;

// The demand of curvature ductility: from q0, T1, Tc by [7.4.3], or given;
// empty with neither. `how` says which.
std::optional<double> mu_phi_demand(const SeismicInput& in, std::string* how = nullptr);

// The section's stirrups as the engine's confining layout (as many legs each
// way as the stirrups have, the clear cover from the bars' positions), or the
// reason they cannot confine this section: `absent` when there are no closed
// stirrups of two legs or more (the core is then not confined, which the
// checks count against it), otherwise the layout the engine cannot model.
struct Confinement {
    std::optional<analysis::Stirrups> stirrups;
    std::optional<analysis::ConfinedConcrete> concrete;
    std::string problem;
    bool absent = false;
};
Confinement confinement_of(const Context& ctx);

CheckResult seismic_minimum(Check family, const char* clause, const Combination* c, double required, double provided,
                            const char* unit, std::string note);
CheckResult seismic_maximum(Check family, const char* clause, const Combination* c, double provided, double limit,
                            const char* unit, std::string note);

NotRunReason check_seismic_geometry(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_seismic_axial_load(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_seismic_longitudinal_steel(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_seismic_stirrups(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_seismic_confinement(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_ductility(const SeismicContext& s, std::vector<CheckResult>& out);
NotRunReason check_capacity_shear(const SeismicContext& s, std::vector<CheckResult>& out);

}  // namespace ferrolit::verification
