#pragma once

// The shear resistance of one plane for one ultimate combination (shear.cpp),
// shared by the shear checks, torsion with shear and the tension chord.

#include <optional>

#include "verify/checks/checks.hpp"

namespace ferrolit::verification {

struct ShearResistance {
    TensionSide side;
    bool chosen_side = false;  // the moment of the plane is zero: the side with the smaller ρl
    double rho = 0, k = 0, v_min = 0, sigma_cp = 0, VRd_c = 0;  // (4.1.23), σcp capped at 0.2·fcd
    bool stirrups = false;
    double sigma_cp_struts = 0;  // N_Ed/Ac, for αc
    double alpha_c = 1;
    double cot_alpha = 0;                     // of the stirrups' inclination
    double stirrup_term = 0, strut_term = 0;  // kN: V_Rsd = stirrup_term·(cot α + cot θ), V_Rcd likewise /(1 + cot²θ)
    double cot_theta = 0, VRsd = 0, VRcd = 0;  // (4.1.27), (4.1.28) at the chosen θ
    double VRd = 0;
    bool below_VRd_c = false;       // with stirrups: V_Ed ≤ V_Rd,c, the larger of the two resistances counts
    bool concrete_governs = false;  // and it is V_Rd,c

    double VRsd_at(double cot) const { return stirrup_term * (cot_alpha + cot); }
    double VRcd_at(double cot) const { return strut_term * (cot_alpha + cot) / (1 + cot * cot); }
    // V_Rd at cot θ for a shear V, with the rule of §4.1.2.3.5 for V ≤ V_Rd,c.
    double VRd_at(double cot, double V) const;
};

enum class ShearPlane { Z, Y };                           // Vz in the plane of My, Vy in the plane of Mz
double shear_of(const Combination& c, ShearPlane plane);  // |V| of the plane, kN

// The resistance of a plane for an ultimate combination: the tensioned side
// follows the moment of the plane; cot θ as given (the capacity design's
// 45°, or the one θ of shear with torsion), else the input's `cot_theta`,
// else the value that maximises V_Rd.
ShearResistance shear_resistance(const Context& ctx, ShearPlane plane, const Combination& c,
                                 std::optional<double> cot_theta = std::nullopt);

}  // namespace ferrolit::verification
