// What the seismic families share: the figures of each ductility class, the
// curvature ductility demand of [7.4.3], the confining stirrups, and the run
// of the seven families with the reasons of those that could not run.

#include "verify/checks/seismic.hpp"

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/section_geometry.hpp"

namespace ferrolit::verification {

namespace {

constexpr ClassRules kClassRules[] = {
    {"CD\"A\"", 0.55, 175, 6, 125, 1.0 / 3, 6, 0.12, 1.20, 1.30},
    {"CD\"B\"", 0.65, 225, 8, 175, 1.0 / 2, 8, 0.08, 1.10, 1.10},
};

// [7.4.3]: the factor 1,2 over the demand of the elastic spectrum.
constexpr double kDuctilityFactor = 1.2;

}  // namespace

const ClassRules& rules_of(DuctilityClass c) { return kClassRules[c == DuctilityClass::A ? 0 : 1]; }

double SeismicContext::nu_d(const Combination& c) const { return c.N * 1e3 / (ctx.Ac * ctx.fcd); }

std::optional<double> mu_phi_demand(const SeismicInput& in, std::string* how) {
    using format::significant;
    if (in.mu_phi) {
        if (how) *how = "μφ = " + significant(*in.mu_phi, 4) + " dato";
        return in.mu_phi;
    }
    if (!in.q0 || !in.T1 || !in.Tc) return std::nullopt;
    const double q0 = *in.q0, T1 = *in.T1, Tc = *in.Tc;
    const double mu = T1 >= Tc ? kDuctilityFactor * (2 * q0 - 1) : kDuctilityFactor * (1 + 2 * (q0 - 1) * Tc / T1);
    if (how)
        *how = T1 >= Tc ? "[7.4.3] con T1 = " + significant(T1, 4) + " s ≥ TC = " + significant(Tc, 4) +
                              " s: μφ = 1,2·(2·q0 − 1) = 1,2·(2·" + significant(q0, 4) + " − 1) = " + significant(mu, 4)
                        : "[7.4.3] con T1 = " + significant(T1, 4) + " s < TC = " + significant(Tc, 4) +
                              " s: μφ = 1,2·[1 + 2·(q0 − 1)·TC/T1] = " + significant(mu, 4) +
                              " (q0 = " + significant(q0, 4) + ")";
    return mu;
}

Confinement confinement_of(const Context& ctx) {
    Confinement out;
    if (!ctx.stirrups || ctx.stirrups->legs < 2 || !ctx.in.closed_stirrups) {
        out.problem = !ctx.stirrups             ? "nessuna staffa"
                      : !ctx.in.closed_stirrups ? "staffe aperte (staffe_chiuse false), che non confinano"
                                                : "staffe a un solo braccio, che non confinano";
        out.absent = true;
        return out;
    }
    // The clear cover to the stirrups: the least over the bars of their distance to the concrete's edge, less
    // half the bar and the stirrup.
    double cover = INFINITY;
    for (const PlacedBar& b : ctx.bars)
        cover = std::min(cover, distance_to_edge(ctx.shape(), {b.y, b.z}) - b.diameter / 2 - ctx.stirrups->diameter);
    analysis::Stirrups st{ctx.stirrups->diameter, ctx.stirrups->spacing, ctx.stirrups->legs, ctx.stirrups->legs,
                          std::max(cover, 0.0)};
    try {
        out.concrete = analysis::confined_concrete(ctx.section, st);
        out.stirrups = st;
    } catch (const Error& e) {
        out.problem = e.what();
    }
    return out;
}

CheckResult seismic_minimum(Check family, const char* clause, const Combination* c, double required, double provided,
                            const char* unit, std::string note) {
    return make_check(family, clause, c, required, provided, unit, ratio_of(required, provided), provided >= required,
                      std::move(note));
}

CheckResult seismic_maximum(Check family, const char* clause, const Combination* c, double provided, double limit,
                            const char* unit, std::string note) {
    return make_check(family, clause, c, provided, limit, unit, ratio_of(provided, limit), provided <= limit,
                      std::move(note));
}

void check_seismic(const Context& ctx, std::vector<CheckResult>& out, std::vector<NotRun>& not_run) {
    if (!ctx.in.seismic) return;
    const SeismicInput& in = *ctx.in.seismic;
    SeismicContext s{ctx, in, rules_of(in.ductility), {}, {}};
    for (const Combination& c : ctx.in.combinations)
        if (c.kind == CombinationKind::Seismic) s.combinations.push_back(&c);
    s.member_note = std::string(s.rules.name) + ", " + (s.column() ? "pilastro" : "trave") +
                    (in.critical_zone ? ", zona critica" : ", fuori dalla zona critica");
    using Family = NotRunReason (*)(const SeismicContext&, std::vector<CheckResult>&);
    const std::pair<Check, Family> families[] = {
        {Check::SeismicGeometry, check_seismic_geometry},
        {Check::SeismicAxialLoad, check_seismic_axial_load},
        {Check::SeismicLongitudinalSteel, check_seismic_longitudinal_steel},
        {Check::SeismicStirrups, check_seismic_stirrups},
        {Check::SeismicConfinement, check_seismic_confinement},
        {Check::Ductility, check_ductility},
        {Check::CapacityShear, check_capacity_shear},
    };
    for (const auto& [family, run] : families) {
        const std::size_t before = out.size();
        if (const NotRunReason reason = run(s, out)) not_run.push_back({std::string(check_id(family)), *reason});
        for (std::size_t i = before; i < out.size(); ++i)
            out[i].note = out[i].note.empty() ? s.member_note : s.member_note + "; " + out[i].note;
    }
}

}  // namespace ferrolit::verification
