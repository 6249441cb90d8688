// The room between bars, from their final positions and diameters (whatever
// placed them): the clear distance between any two bars, in a layer and
// between layers (EN 1992-1-1 §8.2, to which the commentary to §4.1.6.1.3
// refers), and for a slab the spacing of the bars along its width
// (EN 1992-1-1 §9.3.1.1(3)).

#include <algorithm>
#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/checks.hpp"
#include "verify/checks/clear_spacing.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

constexpr const char* kClearClause = "EN 1992-1-1 §8.2";  // the rule §4.1.6.1.3 leaves to the aggregate size
constexpr const char* kSlabClause = "EN 1992-1-1 §9.3.1.1";

// Principal bars: s ≤ 3·h and ≤ 400 mm; secondary bars: s ≤ 3.5·h and ≤ 450 mm
// (EN 1992-1-1 §9.3.1.1(3), the values away from concentrated loads).
struct SlabLimit {
    const char* bars;
    double times_h, most;
};
constexpr SlabLimit kPrincipal{"principali", 3.0, 400}, kSecondary{"secondarie", 3.5, 450};

}  // namespace

void check_bar_clear_spacing(const Context& ctx, std::vector<CheckResult>& out) {
    const double dg = ctx.in.aggregate_size.value_or(kDefaultAggregateSize);
    struct Worst {
        std::size_t i = 0, j = 0;
        double required = 0, clear = 0, ratio = -1;
    } worst;
    const std::vector<PlacedBar>& bars = ctx.bars;
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (std::size_t j = i + 1; j < bars.size(); ++j) {
            const double clear =
                std::hypot(bars[i].y - bars[j].y, bars[i].z - bars[j].z) - (bars[i].diameter + bars[j].diameter) / 2;
            const double required = least_clear_distance(std::max(bars[i].diameter, bars[j].diameter), dg);
            const double ratio = ratio_of(required, clear);
            if (ratio > worst.ratio) worst = {i, j, required, clear, ratio};
        }
    if (worst.ratio < 0) return;  // fewer than two bars
    const double phi = std::max(bars[worst.i].diameter, bars[worst.j].diameter);
    CheckResult r = make_check(Check::BarClearSpacing, kClearClause, nullptr, worst.required, worst.clear, "mm",
                               worst.ratio, worst.clear >= worst.required,
                               "distanza libera minima tra " + bar_entry_name(bars, worst.i) + " e " +
                                   bar_entry_name(bars, worst.j) + ": ≥ max(φ; dg + 5 mm; 20 mm) con φ = " +
                                   format::significant(phi) + " mm, dg = " + format::significant(dg) + " mm" +
                                   (ctx.in.aggregate_size ? " (dmax_aggregato)" : " (predefinito, dmax_aggregato)"));
    r.details = {{"phi", phi, "mm"}, {"dg", dg, "mm"}};
    out.push_back(std::move(r));
}

// A slab's section is a strip that repeats along y: the spacing of a side's
// bars is the widest gap between neighbouring centres, the last bar of the
// strip counting its distance to the first bar of the next strip. The bars
// of a side some combination stretches are principal, the others secondary.
void check_slab_bar_spacing(const Context& ctx, std::vector<CheckResult>& out) {
    const double h = ctx.z.hi - ctx.z.lo, strip = ctx.y.hi - ctx.y.lo;
    const std::vector<bool> stretched = stretched_sides(ctx, Coordinate::Z);
    for (bool low : {true, false}) {
        std::vector<double> along;
        for (const PlacedBar& b : ctx.bars)
            if (low ? b.z < ctx.G.z : b.z > ctx.G.z) along.push_back(b.y);
        if (along.empty()) continue;
        std::sort(along.begin(), along.end());
        double widest = strip - (along.back() - along.front());
        for (std::size_t k = 1; k < along.size(); ++k) widest = std::max(widest, along[k] - along[k - 1]);
        const bool principal = std::find(stretched.begin(), stretched.end(), low) != stretched.end();
        const SlabLimit& rule = principal ? kPrincipal : kSecondary;
        const double limit = std::min(rule.times_h * h, rule.most);
        out.push_back(make_check(
            Check::BarSpacing, kSlabClause, nullptr, widest, limit, "mm", ratio_of(widest, limit), widest <= limit,
            std::string("soletta, barre ") + rule.bars + " del lato " + (low ? "inferiore" : "superiore") +
                ": interasse ≤ min(" + format::significant(rule.times_h) + "·h; " + format::significant(rule.most) +
                " mm) con h = " + format::significant(h) + " mm; la striscia si ripete lungo la larghezza di " +
                format::significant(strip) + " mm"));
    }
}

}  // namespace ferrolit::verification
