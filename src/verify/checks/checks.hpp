#pragma once

// The checks of a section, one family per file. Each appends its entries
// (one per check and combination, or one per rule for the detailing) to
// the result's list.

#include <map>
#include <string>
#include <vector>

#include "ferrolit/verify.hpp"
#include "verify/checks/section_geometry.hpp"

namespace ferrolit::verification {

// What every check reads: the input, the engine's section, its bars and
// stirrups, the material values and the section's extents.
struct Context {
    const VerificationInput& in;
    const analysis::Section& section;
    const std::vector<PlacedBar>& bars;
    const std::optional<StirrupsRecord>& stirrups;
    double fck, fcd, fctm, fyk, fyd, Es, Ecm;
    double Ac;          // mm², gross
    analysis::Point G;  // centroid of the gross section
    Extent y, z;        // extents of the section

    Context(const VerificationInput& input, const analysis::Section& s, const std::vector<PlacedBar>& b,
            const std::optional<StirrupsRecord>& st);
    const analysis::Shape& shape() const { return section.shape(); }
    Extent extent_of(Coordinate c) const { return c == Coordinate::Z ? z : y; }

    // The cracked elastic state of a service combination (modular ratio
    // alpha_e, concrete without tension), computed once for all its checks.
    const analysis::ServiceState& cracked_state(const Combination& c) const;

private:
    mutable std::map<const Combination*, analysis::ServiceState> cracked_;
};

// The longitudinal bars on the tensioned side of one plane of bending: those
// beyond the centroid G on that side. `low` is the side of smaller z (plane
// of My, the bottom) or smaller y (plane of Mz).
struct TensionSide {
    Coordinate c = Coordinate::Z;
    bool low = true;
    double As = 0;  // mm², the bars on that side
    int count = 0;
    double d = 0;   // mm, from the compressed edge to their centroid (to the farthest bar if none)
    double bw = 0;  // mm, the least width between their centroid and the compressed edge
    double bt = 0;  // mm, the mean width from the tensioned edge to the centroid G
};
TensionSide tension_side(const Context& ctx, Coordinate c, bool low);

// The side a moment of the plane stretches: My > 0 and Mz > 0 stretch the low side.
inline bool stretches_low(double M) { return M > 0; }

// The sides of a plane that some combination stretches (the bottom when none
// does), the low side first.
std::vector<bool> stretched_sides(const Context& ctx, Coordinate c);

// Some ultimate combination has V_Ed > V_Rd,c (4.1.23) in a plane: shear
// reinforcement is needed by calculation (§4.1.2.3.5.1; shear.cpp).
bool needs_shear_reinforcement(const Context& ctx);

// demand/capacity, 0 for no demand, +∞ for a capacity of 0.
double ratio_of(double demand, double capacity);

CheckResult make_check(Check family, std::string clause, const Combination* c, std::optional<double> demand,
                       std::optional<double> capacity, std::string unit, double ratio, bool verified,
                       std::string note = {});

void check_bending(const Context& ctx, std::vector<CheckResult>& out);
// λ against λ_lim per plane; after check_bending, whose ratio a slender plane takes (slenderness.cpp).
void check_slenderness(const Context& ctx, std::vector<CheckResult>& out);
void check_shear(const Context& ctx, std::vector<CheckResult>& out);
void check_stresses(const Context& ctx, std::vector<CheckResult>& out);
void check_cracks(const Context& ctx, std::vector<CheckResult>& out);
void check_detailing(const Context& ctx, std::vector<CheckResult>& out);
// The largest gap between neighbouring bars around the perimeter: the bars on
// the convex hull of their centres (those along its sides included), in
// order; a bar inside does not split a side's gap (mm).
double largest_perimeter_gap(const std::vector<PlacedBar>& bars);
// The clear distance between bars (EN 1992-1-1 §8.2) and the spacing of a slab's bars (§9.3.1.1; spacing.cpp).
void check_bar_clear_spacing(const Context& ctx, std::vector<CheckResult>& out);
void check_slab_bar_spacing(const Context& ctx, std::vector<CheckResult>& out);
// The cover and the concrete class against Tab. C4.1.IV, the bars' cover against φ (durability.cpp).
void check_durability(const Context& ctx, std::vector<CheckResult>& out);
void check_torsion(const Context& ctx, std::vector<CheckResult>& out);        // torsion, torsion_shear
void check_tension_chord(const Context& ctx, std::vector<CheckResult>& out);  // tension_chord

// The rules of §7.4 when the input has the block "sismica": the checks, and
// the families that could not run with their reasons (seismic.cpp).
void check_seismic(const Context& ctx, std::vector<CheckResult>& out, std::vector<NotRun>& not_run);

// The families that did not run on this section and why (not_run.cpp).
std::vector<NotRun> checks_not_run(const Context& ctx);

}  // namespace ferrolit::verification
