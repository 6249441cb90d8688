// Durability of the section, from the bars' final positions and diameters
// and the stirrups (whatever placed the bars):
//  - `cover`: the least clear cover of the outermost steel (the stirrups
//    where there are any, else the bars) against the least cover of the
//    commentary's Tab. C4.1.IV plus the construction tolerance, and every
//    bar's clear cover against its diameter (§4.1.6.1.3);
//  - `concrete_class`: the concrete against the least class (Cmin) the same
//    table asks for the environment.
// Tab. C4.1.IV holds for a nominal life of 50 years (a life of 100 years
// adds 10 mm, not applied here).

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kTableClause = "Tab. C4.1.IV";  // of the commentary to §4.1.6.1.3
constexpr const char* kBarClause = "§4.1.6.1.3";
constexpr double kBelowCminExtra = 5;  // mm, the table's note for classes below Cmin

// One row of Tab. C4.1.IV (mm): the least covers of slabs ("elementi a
// piastra") and other members, for ordinary bars and for tendons (bars
// sensitive to corrosion), with C ≥ C0 and with Cmin ≤ C < C0.
struct CoverRow {
    Environment environment;
    const char* Cmin;
    double Cmin_fck;
    const char* C0;
    double C0_fck;
    double covers[2][2][2];  // [tendons][slab][C ≥ C0 ? 0 : 1]
};
constexpr CoverRow kTable[] = {
    {Environment::Ordinary, "C25/30", 25, "C35/45", 35, {{{20, 25}, {15, 20}}, {{30, 35}, {25, 30}}}},
    {Environment::Aggressive, "C28/35", 28, "C40/50", 40, {{{30, 35}, {25, 30}}, {{40, 45}, {35, 40}}}},
    {Environment::VeryAggressive, "C35/45", 35, "C45/55", 45, {{{40, 45}, {35, 40}}, {{50, 50}, {45, 50}}}},
};

const CoverRow& row_of(Environment e) {
    for (const CoverRow& row : kTable)
        if (row.environment == e) return row;
    return kTable[0];
}

// Within a rounding of the class's fck.
bool at_least(double fck, double class_fck) { return fck >= class_fck - 1e-9; }

struct TableCover {
    double c_min = 0;
    std::string reading;  // which column and why
};

TableCover table_cover(const Context& ctx, const CoverRow& row) {
    const bool slab = ctx.in.member == MemberType::Slab;
    const bool tendons = ctx.in.sensitive_bars;
    const double fck = ctx.fck;
    const bool above_C0 = at_least(fck, row.C0_fck), above_Cmin = at_least(fck, row.Cmin_fck);
    TableCover t;
    t.c_min = row.covers[tendons ? 1 : 0][slab ? 1 : 0][above_C0 ? 0 : 1] + (above_Cmin ? 0 : kBelowCminExtra);
    const std::string fck_text = "fck " + format::significant(fck) + " MPa";
    t.reading = std::string("Tab. C4.1.IV (vita nominale 50 anni): ambiente ") + environment_name(row.environment) +
                ", " + (slab ? "elementi a piastra" : "altri elementi") + ", " +
                (tendons ? "armature sensibili (colonne dei cavi da c.a.p.)" : "armature da c.a.") + ", " +
                (above_C0     ? fck_text + " ≥ C0 " + row.C0
                 : above_Cmin ? std::string("Cmin ") + row.Cmin + " ≤ " + fck_text + " < C0 " + row.C0
                              : fck_text + " < Cmin " + row.Cmin + ": +5 mm");
    return t;
}

// A bar's clear cover: from its surface to the nearest face of the concrete (outline or hole).
double bar_cover(const Context& ctx, const PlacedBar& b) {
    return distance_to_edge(ctx.shape(), {b.y, b.z}) - b.diameter / 2;
}

void least_cover(const Context& ctx, std::vector<CheckResult>& out) {
    const CoverRow& row = row_of(ctx.in.environment);
    const TableCover t = table_cover(ctx, row);
    const double tolerance = ctx.in.cover_tolerance.value_or(kDefaultCoverTolerance);
    std::size_t outermost = 0;
    for (std::size_t i = 1; i < ctx.bars.size(); ++i)
        if (bar_cover(ctx, ctx.bars[i]) < bar_cover(ctx, ctx.bars[outermost])) outermost = i;
    const double stirrup = ctx.stirrups ? ctx.stirrups->diameter : 0.0;
    const double provided = bar_cover(ctx, ctx.bars[outermost]) - stirrup;
    const double required = t.c_min + tolerance;
    const std::string steel = ctx.stirrups ? "alle staffe ø" + format::significant(stirrup) + " attorno a " +
                                                 bar_entry_name(ctx.bars, outermost)
                                           : "a " + bar_entry_name(ctx.bars, outermost) + ", senza staffe";
    CheckResult r = make_check(
        Check::Cover, kTableClause, nullptr, required, provided, "mm", ratio_of(required, provided),
        provided >= required,
        "copriferro netto minimo " + steel + ": c ≥ c_min + Δc = " + format::significant(t.c_min) + " + " +
            format::significant(tolerance) + " mm (" +
            (ctx.in.cover_tolerance ? "tolleranza_copriferro" : "tolleranza di posa predefinita") + "); " + t.reading);
    r.details = {{"c_min", t.c_min, "mm"}, {"tolerance", tolerance, "mm"}, {"stirrup_diameter", stirrup, "mm"}};
    out.push_back(std::move(r));
}

// Each bar's clear cover at least its diameter (§4.1.6.1.3, for bond): the worst bar.
void cover_of_bars(const Context& ctx, std::vector<CheckResult>& out) {
    std::size_t worst = 0;
    double worst_ratio = -1;
    for (std::size_t i = 0; i < ctx.bars.size(); ++i) {
        const double ratio = ratio_of(ctx.bars[i].diameter, bar_cover(ctx, ctx.bars[i]));
        if (ratio > worst_ratio) worst = i, worst_ratio = ratio;
    }
    const PlacedBar& b = ctx.bars[worst];
    const double c = bar_cover(ctx, b);
    out.push_back(make_check(Check::Cover, kBarClause, nullptr, b.diameter, c, "mm", worst_ratio, c >= b.diameter,
                             "copriferro netto della barra ≥ φ: " + bar_entry_name(ctx.bars, worst)));
}

void concrete_class(const Context& ctx, std::vector<CheckResult>& out) {
    const CoverRow& row = row_of(ctx.in.environment);
    const std::string name = ctx.section.concrete().name;
    out.push_back(make_check(Check::ConcreteClass, kTableClause, nullptr, row.Cmin_fck, ctx.fck, "MPa",
                             ratio_of(row.Cmin_fck, ctx.fck), at_least(ctx.fck, row.Cmin_fck),
                             std::string("classe minima per l'ambiente ") + environment_name(row.environment) + ": " +
                                 row.Cmin + " (fck ≥ " + format::significant(row.Cmin_fck) + " MPa); calcestruzzo " +
                                 (name.empty() ? "senza classe" : name)));
}

}  // namespace

void check_durability(const Context& ctx, std::vector<CheckResult>& out) {
    if (!ctx.bars.empty()) {
        least_cover(ctx, out);
        cover_of_bars(ctx, out);
    }
    concrete_class(ctx, out);
}

}  // namespace ferrolit::verification
