#pragma once

// Torsion by §4.1.2.3.6 on the equivalent thin-walled section (torsion.cpp),
// shared by the checks torsion, torsion_shear and tension_chord and by shear
// (the one cot θ of a combination with torsion).

#include <optional>

#include "verify/checks/checks.hpp"
#include "verify/checks/thin_walled.hpp"

namespace ferrolit::verification {

struct TorsionResistance {
    ThinWalled wall;
    double f_cd_reduced = 0;  // MPa, f'cd = 0.5·fcd
    double Asw_s = 0;         // mm²/mm, one leg of the closed stirrups per unit length; 0 when open or none
    double Al = 0;            // mm², the longitudinal bars within the wall (centre within t of an edge)
    double fyd = 0;           // MPa

    double TRcd_at(double cot) const;  // kNm, 2·A·t·f'cd·cot θ/(1 + cot²θ)
    double TRsd_at(double cot) const;  // kNm, 2·A·(As/s)·fyd·cot θ
    double TRld_at(double cot) const;  // kNm, 2·A·(ΣAl/u_k)·fyd/cot θ
    double TRd_at(double cot) const;   // kNm, the least of the three
};

TorsionResistance torsion_resistance(const Context& ctx);

// A bar whose centre lies within the wall of the thin-walled section.
bool within_wall(const Context& ctx, const ThinWalled& wall, const PlacedBar& bar);

// The cot θ of an ultimate combination with torsion: one value for shear and
// torsion, `cot_theta` when given, otherwise within [1, 2.5] the value whose
// largest ratio of shear, torsion and their interaction is least (the
// largest cot θ among equals). Empty without torsion.
std::optional<double> torsion_cot_theta(const Context& ctx, const Combination& c);

}  // namespace ferrolit::verification
