#pragma once

// Moment–curvature of a section of the code engine at a given N, with the
// concrete unconfined or confined by the stirrups (NTC 2018 §4.1.2.1.2.1,
// Circolare 2019 C4.1.2.1.2.1), and the curvature ductility μφ = κu/κy of
// §7.4.4 that the seismic checks use. Units: mm, MPa, kN, kNm; curvatures in
// 1/m. Compression positive, as in ferrolit/analysis.hpp.

#include <optional>
#include <vector>

#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis {

// Rectangular stirrups around the bars: legs_y legs run along y (they hold the
// core against swelling in y), legs_z along z; `cover` is the clear cover to
// the stirrup, so the confined core is bounded by the stirrups' centre lines.
struct Stirrups {
    double diameter = 8;   // mm
    double spacing = 100;  // mm, centre to centre along the member
    int legs_y = 2, legs_z = 2;
    double cover = 30;  // mm
};

// Which values of the materials a curve uses: design (αcc·fck/γc, fyk/γs) or
// mean (fcm, and fyk for the steel, which the code gives no mean value for).
enum class MaterialValues : std::int32_t { Design, Mean };

// The confined concrete of a rectangular core (§4.1.2.1.2.1, eq. 4.1.8–4.1.11):
//   σl = √(σl,y·σl,z), σl,y = Ast·legs_y·fyk/(s·h0), σl,z = Ast·legs_z·fyk/(s·b0);
//   α = αn·αs, αn = 1 − Σbi²/(6·b0·h0), αs = (1 − s/(2·b0))·(1 − s/(2·h0));
//   σ2 = α·σl; fc,c = fc·(1 + 5·σ2/fc) up to σ2 = 0,05·fc, fc·(1,125 + 2,5·σ2/fc) above;
//   εc2,c = εc2·(fc,c/fc)², εcu2,c = εcu + 0,2·σ2/fc.
// fc is fck (design values, then fcd,c = αcc·fck,c/γc) or fcm (mean values).
struct ConfinedConcrete {
    double b0 = 0, h0 = 0;          // mm, core sizes along y and z (between stirrup centre lines)
    double core_y = 0, core_z = 0;  // mm, bottom-left corner of the core in the section's coordinates
    int restrained_bars = 0;        // bars held by a stirrup corner or a leg
    double sum_bi2 = 0;             // mm², Σbi² over the gaps between consecutive restrained bars
    double alpha_n = 0, alpha_s = 0, alpha = 0;
    double sigma_l = 0;  // MPa, lateral pressure of the stirrups
    double sigma_2 = 0;  // MPa, effective lateral pressure α·σl
    double fc = 0;       // MPa, unconfined strength the formulas start from (fck or fcm)
    double fc_c = 0;     // MPa, confined strength (fck,c or fcm,c)
    double eps_c2_c = 0, eps_cu_c = 0;
    double omega_wd = 0;  // mechanical volumetric ratio of the stirrups in the core, (Vst/Vcore)·fyd/fcd
};

// Error (InvalidOperation) unless the section's outline is a rectangle with
// sides along y and z, without holes, and the stirrups fit within it.
FERROLIT_API ConfinedConcrete confined_concrete(const Section& section, const Stirrups& stirrups,
                                                MaterialValues values = MaterialValues::Design);

struct CurvatureOptions {
    Axis direction = Axis::My;         // My: the top (larger z) compressed; Mz: the side of larger y
    std::optional<Stirrups> stirrups;  // confines the core when given
    MaterialValues values = MaterialValues::Design;
    int points = 100;       // evenly spaced in κ from 0 to the ultimate curvature, 2…10 000
    bool reversed = false;  // the opposite side compressed (My < 0 or Mz < 0); M is then given as |M|
};

// Why the curve ends.
enum class CurvatureEnd : std::int32_t {
    ConcreteStrain,  // the concrete reached its ultimate strain (the core's, when confined)
    SteelStrain,     // the most stretched bar reached εud
    MomentDrop,      // the moment fell to 85 % of its peak
};
FERROLIT_API const char* reason(CurvatureEnd end);  // Italian text

struct CurvaturePoint {
    double kappa = 0;  // 1/m
    double M = 0;      // kNm, about the direction's axis, positive in the sense of the direction
};

struct MomentCurvature {
    double N = 0;  // kN
    Axis direction = Axis::My;
    std::vector<CurvaturePoint> points;
    // First yield: the tension steel at εyd or the extreme concrete at εc2, whichever first.
    CurvaturePoint first_yield;
    // Conventional yield of the bilinear equivalent: the elastic branch through
    // the first yield, up to the section's resisting moment M_Rd (unconfined,
    // the same values): κy = κ'y·M_Rd/M'y.
    CurvaturePoint yield;
    CurvaturePoint ultimate;
    CurvatureEnd end = CurvatureEnd::ConcreteStrain;
    double mu_phi = 0;  // κu/κy
    std::optional<ConfinedConcrete> confinement;
};

// The curve at N. Concrete by the parabola-rectangle law with the section's
// εc2, εcu and n (confined in the core when stirrups are given, the cover
// then dropping out beyond εcu); steel by the section's law, cut at εud.
// Error (InvalidOperation) when N is outside N_Rd,min…N_Rd,max of the
// section, or when no yield or no ultimate state can be found.
FERROLIT_API MomentCurvature moment_curvature(const Section& section, double N, const CurvatureOptions& options);

}  // namespace ferrolit::analysis
