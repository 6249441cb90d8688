// verify(): the reinforcement as used, the engine's section built once, every
// check family over the combinations, and the summary of the result.

#include <algorithm>
#include <cmath>

#include "ferrolit/version.h"
#include "verify/checks/checks.hpp"
#include "verify/model.hpp"
#include "verify/run.hpp"

namespace ferrolit {

namespace verification {

VerificationResult run_checks(const VerificationInput& in, const Reinforcement& r, std::vector<std::string> warnings) {
    Model m = build_model(in, r, warnings);
    VerificationResult out;
    out.version = FERROLIT_VERSION_STRING;
    {
        const Context ctx(in, m.section, m.bars, m.stirrups);
        check_bending(ctx, out.checks);
        check_slenderness(ctx, out.checks);
        check_shear(ctx, out.checks);
        check_torsion(ctx, out.checks);
        check_tension_chord(ctx, out.checks);
        check_stresses(ctx, out.checks);
        check_cracks(ctx, out.checks);
        check_detailing(ctx, out.checks);
        check_bar_clear_spacing(ctx, out.checks);
        check_durability(ctx, out.checks);
        out.not_run = checks_not_run(ctx);
        check_seismic(ctx, out.checks, out.not_run);
    }
    for (const Combination& c : in.combinations) {
        out.ultimate_checks_run = out.ultimate_checks_run || is_ultimate(c.kind);
        out.service_checks_run = out.service_checks_run || !is_ultimate(c.kind);
    }
    if (!out.ultimate_checks_run)
        warnings.push_back("nessuna combinazione SLU: verifiche di resistenza (flessione, taglio) non eseguite");
    if (!out.service_checks_run)
        warnings.push_back("nessuna combinazione SLE: verifiche di esercizio (tensioni, fessurazione) non eseguite");
    for (const CheckResult& c : out.checks) {
        out.verified = out.verified && c.verified;
        out.max_ratio = std::max(out.max_ratio, c.ratio);
    }
    out.shape = m.section.shape();
    out.area = m.section.area();
    out.centroid = m.section.centroid();
    out.N_Rd_max = m.section.N_Rd_max();
    out.N_Rd_min = m.section.N_Rd_min();
    out.layers = std::move(m.layers);
    out.bars = std::move(m.bars);
    out.stirrups = m.stirrups;
    out.warnings = std::move(warnings);
    out.input = in;
    return out;
}

}  // namespace verification

std::optional<std::size_t> VerificationResult::governing() const {
    std::optional<std::size_t> worst;
    for (std::size_t i = 0; i < checks.size(); ++i)
        if (!worst || checks[i].ratio > checks[*worst].ratio) worst = i;
    return worst;
}

std::optional<std::size_t> VerificationResult::governing(std::string_view id) const {
    std::optional<std::size_t> worst;
    for (std::size_t i = 0; i < checks.size(); ++i)
        if (checks[i].id == id && (!worst || checks[i].ratio > checks[*worst].ratio)) worst = i;
    return worst;
}

VerificationResult verify(const VerificationInput& input) {
    using namespace verification;
    std::vector<std::string> warnings = input.warnings;
    Reinforcement r = given_reinforcement(input);
    choose_by_code(input, r, warnings);
    return run_checks(input, r, std::move(warnings));
}

analysis::Section engine_section(const VerificationResult& result) {
    std::vector<analysis::Bar> bars;
    for (const PlacedBar& b : result.bars) bars.push_back({b.y, b.z, b.area});
    return analysis::Section(result.shape, std::move(bars), result.input.concrete, result.input.steel);
}

std::string verify_json(std::string_view json) { return to_json(verify(read_verification_input(json))); }

}  // namespace ferrolit
