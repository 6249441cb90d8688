// Service stresses (§4.1.2.2.5) on the engine's cracked section, axial force
// and both moments included: concrete under the characteristic (0.60·fck)
// and quasi-permanent (0.45·fck) combinations, steel under the
// characteristic one (0.8·fyk).

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

std::string alpha_note(const Context& ctx) {
    return "sezione fessurata, αe = " + format::significant(ctx.in.alpha_e) +
           (ctx.in.alpha_e == 15 ? " (valore convenzionale)" : " (assegnato)");
}

void concrete(const Context& ctx, const Combination& c, double factor, std::vector<CheckResult>& out) {
    const analysis::ServiceState& s = ctx.cracked_state(c);
    const double limit = factor * ctx.fck;
    CheckResult r = make_check(Check::StressConcrete, "§4.1.2.2.5.1", &c, s.sigma_c_max, limit, "MPa",
                               ratio_of(s.sigma_c_max, limit), s.sigma_c_max <= limit,
                               "σc ≤ " + format::decimal(factor, 2) + "·fck; " + alpha_note(ctx));
    r.details = {{"sigma_c", s.sigma_c_max, "MPa"}, {"alpha_e", ctx.in.alpha_e, ""}};
    if (s.neutral_axis_depth) r.details.push_back({"x", *s.neutral_axis_depth, "mm"});
    out.push_back(std::move(r));
}

void steel(const Context& ctx, const Combination& c, std::vector<CheckResult>& out) {
    const analysis::ServiceState& s = ctx.cracked_state(c);
    double largest = 0, signed_stress = 0;
    for (const analysis::BarState& b : s.bars)
        if (std::fabs(b.stress) > largest) largest = std::fabs(b.stress), signed_stress = b.stress;
    const double limit = 0.8 * ctx.fyk;
    CheckResult r = make_check(Check::StressSteel, "§4.1.2.2.5.2", &c, largest, limit, "MPa", ratio_of(largest, limit),
                               largest <= limit,
                               std::string("σs ≤ 0,8·fyk, barra più sollecitata ") +
                                   (signed_stress < 0 ? "tesa" : "compressa") + "; " + alpha_note(ctx));
    r.details = {{"sigma_s", signed_stress, "MPa"}, {"alpha_e", ctx.in.alpha_e, ""}};
    out.push_back(std::move(r));
}

}  // namespace

void check_stresses(const Context& ctx, std::vector<CheckResult>& out) {
    for (const Combination& c : ctx.in.combinations) {
        if (c.kind == CombinationKind::Characteristic) concrete(ctx, c, 0.60, out);
        if (c.kind == CombinationKind::QuasiPermanent) concrete(ctx, c, 0.45, out);
    }
    for (const Combination& c : ctx.in.combinations)
        if (c.kind == CombinationKind::Characteristic) steel(ctx, c, out);
}

}  // namespace ferrolit::verification
