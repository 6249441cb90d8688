#pragma once

// What differs between the rectangle and the T section, for the code that
// serves both: the rule width, the gross area and the flange members.

#include "ferrolit/section.hpp"

namespace ferrolit::component {

struct SectionAccess {
    static bool is_tee(const Section& s) { return s.tee_; }
    // Web width BaseInf and flange thickness SpessoreT; 0 for a rectangle.
    static float web_width(const Section& s) { return s.BaseInf_; }
    static float flange_thickness(const Section& s) { return s.SpessoreT_; }
};

inline bool is_tee(const Section& s) { return SectionAccess::is_tee(s); }

// Column rules apply to "Pilastro" exactly; every other text takes the beam rules.
inline bool is_column(const Section& s) { return s.TipoSezione() == "Pilastro"; }

// Width the code rules use: Base of a rectangle, the web BaseInf of a T.
inline float rule_width(const Section& s) { return is_tee(s) ? SectionAccess::web_width(s) : s.Base(); }

// Gross concrete area (mm², in double): Base·Altezza for a rectangle,
// Base·SpessoreT + BaseInf·(Altezza − SpessoreT) for a T.
inline double gross_area(const Section& s) {
    if (!is_tee(s)) return double{s.Base()} * s.Altezza();
    const double flange = SectionAccess::flange_thickness(s);
    return double{s.Base()} * flange + double{SectionAccess::web_width(s)} * (double{s.Altezza()} - flange);
}

}  // namespace ferrolit::component
