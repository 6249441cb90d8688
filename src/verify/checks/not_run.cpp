// The check families that did not run on a section, each with its reason:
// a family needs combinations of given kinds, stirrups, or a member type.
// A family run for some kinds and not for another (σc in the characteristic
// combination but no quasi-permanent one) is listed for the part not run.

#include <algorithm>

#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

// A family that runs on the combinations of one kind (an ultimate family: of any ultimate kind).
struct ByKind {
    Check family;
    CombinationKind kind;
    const char* reason;
};

constexpr const char* kNoUltimate = "nessuna combinazione SLU o SLU sismica";
constexpr ByKind kByKind[] = {
    {Check::Bending, CombinationKind::Ultimate, kNoUltimate},
    {Check::ShearZ, CombinationKind::Ultimate, kNoUltimate},
    {Check::ShearY, CombinationKind::Ultimate, kNoUltimate},
    {Check::StressConcrete, CombinationKind::Characteristic,
     "nessuna combinazione SLE rara: σc ≤ 0,60·fck non verificata (§4.1.2.2.5.1)"},
    {Check::StressConcrete, CombinationKind::QuasiPermanent,
     "nessuna combinazione SLE quasi permanente: σc ≤ 0,45·fck non verificata (§4.1.2.2.5.1)"},
    {Check::StressSteel, CombinationKind::Characteristic, "nessuna combinazione SLE rara (§4.1.2.2.5.2)"},
    {Check::CrackWidth, CombinationKind::Frequent,
     "nessuna combinazione SLE frequente: apertura delle fessure in combinazione frequente non verificata"},
    {Check::CrackWidth, CombinationKind::QuasiPermanent,
     "nessuna combinazione SLE quasi permanente: apertura delle fessure in combinazione quasi permanente non "
     "verificata"},
};

bool has_kind(const VerificationInput& in, const ByKind& rule) {
    const bool ultimate = check_family(rule.family).kind == CheckKind::Ultimate;
    return std::any_of(in.combinations.begin(), in.combinations.end(),
                       [&](const Combination& c) { return ultimate ? is_ultimate(c.kind) : c.kind == rule.kind; });
}

NotRun entry(Check family, const char* reason) { return {std::string(check_id(family)), reason}; }

}  // namespace

std::vector<NotRun> checks_not_run(const Context& ctx) {
    std::vector<NotRun> out;
    for (const ByKind& rule : kByKind)
        if (!has_kind(ctx.in, rule)) out.push_back(entry(rule.family, rule.reason));
    if (!ctx.stirrups) out.push_back(entry(Check::StirrupSpacing, "nessuna staffa"));
    if (ctx.in.member != MemberType::Column) {
        constexpr const char* kColumnsOnly = "regola dei pilastri (§4.1.6.1.2), non delle travi";
        out.push_back(entry(Check::BarSpacing, kColumnsOnly));
        out.push_back(entry(Check::BarDiameter, kColumnsOnly));
    } else if (ctx.bars.size() < 2) {
        out.push_back(entry(Check::BarSpacing, "una sola barra longitudinale"));
    }
    return out;
}

}  // namespace ferrolit::verification
