#include "verify/checks/checks.hpp"

#include <cmath>
#include <limits>

namespace ferrolit::verification {

Context::Context(const VerificationInput& input, const analysis::Section& s, const std::vector<PlacedBar>& b,
                 const std::optional<StirrupsRecord>& st)
    : in(input),
      section(s),
      bars(b),
      stirrups(st),
      fck(s.concrete().fck),
      fcd(s.concrete().fcd()),
      fctm(s.concrete().fctm),
      fyk(s.steel().fyk),
      fyd(s.steel().fyd()),
      Es(s.steel().Es),
      Ecm(s.concrete().Ec),
      Ac(s.area()),
      G(s.centroid()),
      y(extent(s.shape(), Coordinate::Y)),
      z(extent(s.shape(), Coordinate::Z)) {}

const analysis::ServiceState& Context::cracked_state(const Combination& c) const {
    auto it = cracked_.find(&c);
    if (it == cracked_.end()) {
        analysis::ServiceOptions options;
        options.alpha_e = in.alpha_e;
        options.allow_uncracked = false;
        try {
            it = cracked_.emplace(&c, section.service(c.N, c.My, c.Mz, options)).first;
        } catch (const Error& e) {  // the engine's message names neither the combination nor its actions
            throw Error(e.kind(),
                        "combinazione \"" + c.name + "\" (" + combination_kind_name(c.kind) + "): " + e.what());
        }
    }
    return it->second;
}

TensionSide tension_side(const Context& ctx, Coordinate c, bool low) {
    TensionSide t;
    t.c = c;
    t.low = low;
    const Extent e = ctx.extent_of(c);
    const double g = coordinate_of(ctx.G, c);
    const double compressed_edge = low ? e.hi : e.lo, tensioned_edge = low ? e.lo : e.hi;
    double moment = 0, farthest = 0;
    for (const PlacedBar& b : ctx.bars) {
        const double level = c == Coordinate::Z ? b.z : b.y;
        const double depth = std::fabs(compressed_edge - level);
        farthest = std::max(farthest, depth);
        if (low ? level < g : level > g) {
            t.As += b.area;
            moment += b.area * depth;
            ++t.count;
        }
    }
    t.d = t.As > 0 ? moment / t.As : farthest;
    const double bars_level = low ? compressed_edge - t.d : compressed_edge + t.d;
    t.bw = least_width(ctx.shape(), c, bars_level, compressed_edge);
    t.bt = area_between(ctx.shape(), c, std::min(tensioned_edge, g), std::max(tensioned_edge, g)) /
           std::fabs(g - tensioned_edge);
    return t;
}

double ratio_of(double demand, double capacity) {
    if (demand == 0) return 0;
    return capacity > 0 ? demand / capacity : std::numeric_limits<double>::infinity();
}

CheckResult make_check(Check family, std::string clause, const Combination* c, std::optional<double> demand,
                       std::optional<double> capacity, std::string unit, double ratio, bool verified,
                       std::string note) {
    CheckResult r;
    r.id = check_id(family);
    r.clause = std::move(clause);
    if (c != nullptr) r.combination = c->name;
    r.demand = demand;
    r.capacity = capacity;
    r.unit = std::move(unit);
    r.ratio = ratio;
    r.verified = verified;
    r.note = std::move(note);
    if (std::isinf(ratio)) {
        const char* unbounded = "rapporto illimitato: nulla da opporre alla richiesta";
        r.note = r.note.empty() ? unbounded : r.note + "; " + unbounded;
    }
    return r;
}

}  // namespace ferrolit::verification
