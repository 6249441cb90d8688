#pragma once

#include "ferrolit/section.hpp"
#include "uls/domain_sweep.hpp"

namespace ferrolit::detail {

// Width bands of a T measured from its compressed edge `edge`; every depth
// gets exactly the width clsSezT::bX gives for it.
WidthBands tee_width(const Section& s, TipoBordo edge);

// Flange and web areas of a T, mm².
struct TeeAreas {
    float flange, web;
};
TeeAreas tee_areas(const Section& s);

// The section reduced to what the sweep reads, for direction "Y"
// (`direction_y`) or Z: resolution, orientation by the sign of the design
// moment, effective depth, reference level, lever arms and widths.
SweepSetup domain_setup(const Section& s, bool direction_y);

}  // namespace ferrolit::detail
