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
    {Check::Slenderness, CombinationKind::Ultimate, kNoUltimate},
    {Check::ShearZ, CombinationKind::Ultimate, kNoUltimate},
    {Check::ShearY, CombinationKind::Ultimate, kNoUltimate},
    {Check::Torsion, CombinationKind::Ultimate, kNoUltimate},
    {Check::TorsionShear, CombinationKind::Ultimate, kNoUltimate},
    {Check::TensionChord, CombinationKind::Ultimate, kNoUltimate},
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
    const bool ultimate = std::any_of(ctx.in.combinations.begin(), ctx.in.combinations.end(),
                                      [](const Combination& c) { return is_ultimate(c.kind); });
    if (ultimate && !(ctx.in.effective_length_y && ctx.in.effective_length_z))
        out.push_back(entry(Check::Slenderness,
                            !ctx.in.effective_length_y && !ctx.in.effective_length_z
                                ? "lunghezze libere di inflessione l0_y, l0_z non date: snellezza non verificata "
                                  "(§4.1.2.3.9.2)"
                            : !ctx.in.effective_length_y
                                ? "l0_y non data: snellezza nel piano di My non verificata (§4.1.2.3.9.2)"
                                : "l0_z non data: snellezza nel piano di Mz non verificata (§4.1.2.3.9.2)"));
    const bool torsion = std::any_of(ctx.in.combinations.begin(), ctx.in.combinations.end(),
                                     [](const Combination& c) { return is_ultimate(c.kind) && c.T != 0; });
    if (!torsion && ultimate)
        for (Check family : {Check::Torsion, Check::TorsionShear})
            out.push_back(entry(family, "torsione nulla (T = 0) in ogni combinazione SLU (§4.1.2.3.6)"));
    if (ctx.in.member == MemberType::Slab && !needs_shear_reinforcement(ctx)) {
        constexpr const char* kNotNeeded =
            "soletta con V_Ed ≤ V_Rd,c in ogni combinazione SLU: armatura a taglio non necessaria (§4.1.2.3.5.1)";
        out.push_back(entry(Check::Stirrups, kNotNeeded));
        out.push_back(entry(Check::StirrupSpacing, kNotNeeded));
    } else if (!ctx.stirrups) {
        out.push_back(entry(Check::StirrupSpacing, "nessuna staffa"));
    }
    if (ctx.in.member == MemberType::Beam)
        out.push_back(entry(Check::BarSpacing, "regola dei pilastri (§4.1.6.1.2) e delle solette, non delle travi"));
    if (ctx.in.member != MemberType::Column)
        out.push_back(entry(Check::BarDiameter, "regola dei pilastri (§4.1.6.1.2), non delle travi e delle solette"));
    else if (ctx.bars.size() < 2)
        out.push_back(entry(Check::BarSpacing, "una sola barra longitudinale"));
    if (ctx.bars.size() < 2) out.push_back(entry(Check::BarClearSpacing, "meno di due barre longitudinali"));
    return out;
}

}  // namespace ferrolit::verification
