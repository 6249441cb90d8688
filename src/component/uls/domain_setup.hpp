#pragma once

#include "component/uls/domain_sweep.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

// Flange and web areas of a T, mm².
struct TeeAreas {
    float flange, web;
};
TeeAreas tee_areas(const Section& s);

// The section reduced to what the sweep reads, for direction "Y"
// (`direction_y`) or Z: resolution, orientation by the sign of the design
// moment, effective depth, reference level, lever arms and widths.
SweepSetup domain_setup(const Section& s, bool direction_y);

}  // namespace ferrolit::component
