// seismic_stirrups: the stirrups of the critical zones. Beams (§7.4.6.2.1):
// diameter ≥ 6 mm, spacing ≤ min(d/4; 175 | 225 mm; 6 | 8 times the least
// longitudinal bar; 24 times the stirrup). Columns (§7.4.6.2.2): diameter ≥
// 6 mm, spacing ≤ min(⅓ | ½ of the least side of the confined core; 125 | 175
// mm; 6 | 8 times the least longitudinal bar), for CD"A" | CD"B".

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/seismic.hpp"

namespace ferrolit::verification {

namespace {

constexpr double kLeastStirrup = 6;  // mm

struct Term {
    std::string name;
    double value;
};

std::string terms_text(const std::vector<Term>& terms) {
    std::string text;
    for (const Term& t : terms)
        text += (text.empty() ? "" : "; ") + t.name + " = " + format::decimal(t.value, 1) + " mm";
    return "passo ≤ min(" + text + ")";
}

}  // namespace

NotRunReason check_seismic_stirrups(const SeismicContext& s, std::vector<CheckResult>& out) {
    if (!s.in.critical_zone) return "sezione fuori dalla zona critica";
    const Context& ctx = s.ctx;
    const char* clause = s.column() ? "§7.4.6.2.2" : "§7.4.6.2.1";
    if (!ctx.stirrups) {
        out.push_back(make_check(Check::SeismicStirrups, clause, nullptr, std::nullopt, std::nullopt, "mm", INFINITY,
                                 false, "nessuna staffa nella zona critica"));
        return std::nullopt;
    }
    double least_bar = INFINITY;
    for (const PlacedBar& b : ctx.bars) least_bar = std::min(least_bar, b.diameter);
    const double phi_st = ctx.stirrups->diameter, spacing = ctx.stirrups->spacing;
    std::vector<Term> terms;
    std::string unknown_core;
    if (s.column()) {
        terms = {{"limite della classe", s.rules.column_spacing},
                 {format::decimal(s.rules.column_bar_times, 0) + "·φl,min", s.rules.column_bar_times * least_bar}};
        // The core's side where the engine models the confined core; the
        // other limits hold whatever the section's shape.
        const Confinement c = confinement_of(ctx);
        if (c.concrete) {
            const double core = std::min(c.concrete->b0, c.concrete->h0);
            terms.insert(terms.begin(), {std::string(s.rules.column_core_fraction < 0.4 ? "⅓" : "½") +
                                             " del lato minore del nucleo " + format::decimal(core, 0) + " mm",
                                         s.rules.column_core_fraction * core});
        } else {
            unknown_core = "; lato del nucleo non determinato (" + c.problem + "): il suo limite non è controllato";
        }
    } else {
        const double d = std::min(tension_side(ctx, Coordinate::Z, true).d, tension_side(ctx, Coordinate::Z, false).d);
        terms = {{"d/4 con d = " + format::decimal(d, 0) + " mm", d / 4},
                 {"limite della classe", s.rules.beam_spacing},
                 {format::decimal(s.rules.beam_bar_times, 0) + "·φl,min", s.rules.beam_bar_times * least_bar},
                 {"24·φst", 24 * phi_st}};
    }
    double limit = INFINITY;
    for (const Term& t : terms) limit = std::min(limit, t.value);
    out.push_back(seismic_maximum(Check::SeismicStirrups, clause, nullptr, spacing, limit, "mm",
                                  terms_text(terms) + unknown_core));
    out.push_back(seismic_minimum(Check::SeismicStirrups, clause, nullptr, kLeastStirrup, phi_st, "mm",
                                  "diametro delle staffe ≥ 6 mm"));
    return std::nullopt;
}

}  // namespace ferrolit::verification
