// The check families that did not run on a section, each with its reason:
// a family needs combinations of given kinds, stirrups, or a member type.
// A family run for some kinds and not for another (σc in the characteristic
// combination but no quasi-permanent one) is listed for the part not run.

#include <algorithm>

#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

namespace {

// A family that runs on the combinations of one kind (or of any ultimate kind).
struct ByKind {
    const char* id;
    bool ultimate;  // any ultimate kind; otherwise `kind`
    CombinationKind kind;
    const char* reason;
};

constexpr const char* kNoUltimate = "nessuna combinazione SLU o SLU sismica";
constexpr ByKind kByKind[] = {
    {"bending", true, CombinationKind::Ultimate, kNoUltimate},
    {"shear_z", true, CombinationKind::Ultimate, kNoUltimate},
    {"shear_y", true, CombinationKind::Ultimate, kNoUltimate},
    {"torsion", true, CombinationKind::Ultimate, kNoUltimate},
    {"torsion_shear", true, CombinationKind::Ultimate, kNoUltimate},
    {"tension_chord", true, CombinationKind::Ultimate, kNoUltimate},
    {"stress_concrete", false, CombinationKind::Characteristic,
     "nessuna combinazione SLE rara: σc ≤ 0,60·fck non verificata (§4.1.2.2.5.1)"},
    {"stress_concrete", false, CombinationKind::QuasiPermanent,
     "nessuna combinazione SLE quasi permanente: σc ≤ 0,45·fck non verificata (§4.1.2.2.5.1)"},
    {"stress_steel", false, CombinationKind::Characteristic, "nessuna combinazione SLE rara (§4.1.2.2.5.2)"},
    {"crack_width", false, CombinationKind::Frequent,
     "nessuna combinazione SLE frequente: apertura delle fessure in combinazione frequente non verificata"},
    {"crack_width", false, CombinationKind::QuasiPermanent,
     "nessuna combinazione SLE quasi permanente: apertura delle fessure in combinazione quasi permanente non "
     "verificata"},
};

bool has_kind(const VerificationInput& in, const ByKind& rule) {
    return std::any_of(in.combinations.begin(), in.combinations.end(),
                       [&](const Combination& c) { return rule.ultimate ? is_ultimate(c.kind) : c.kind == rule.kind; });
}

}  // namespace

std::vector<NotRun> checks_not_run(const Context& ctx) {
    std::vector<NotRun> out;
    for (const ByKind& rule : kByKind)
        if (!has_kind(ctx.in, rule)) out.push_back({rule.id, rule.reason});
    const bool torsion = std::any_of(ctx.in.combinations.begin(), ctx.in.combinations.end(),
                                     [](const Combination& c) { return is_ultimate(c.kind) && c.T != 0; });
    if (!torsion && std::any_of(ctx.in.combinations.begin(), ctx.in.combinations.end(),
                                [](const Combination& c) { return is_ultimate(c.kind); }))
        for (const char* id : {"torsion", "torsion_shear"})
            out.push_back({id, "torsione nulla (T = 0) in ogni combinazione SLU (§4.1.2.3.6)"});
    if (!ctx.stirrups) out.push_back({"stirrup_spacing", "nessuna staffa"});
    if (ctx.in.member != MemberType::Column) {
        constexpr const char* kColumnsOnly = "regola dei pilastri (§4.1.6.1.2), non delle travi";
        out.push_back({"bar_spacing", kColumnsOnly});
        out.push_back({"bar_diameter", kColumnsOnly});
    } else if (ctx.bars.size() < 2) {
        out.push_back({"bar_spacing", "una sola barra longitudinale"});
    }
    return out;
}

}  // namespace ferrolit::verification
