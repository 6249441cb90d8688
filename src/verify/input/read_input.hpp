#pragma once

// The parts of reading a section's JSON object, one file each.

#include "ferrolit/verify.hpp"
#include "verify/input/reader.hpp"

namespace ferrolit::verification {

void read_materials(const Reader& r, VerificationInput& in);
void read_shape(const Reader& r, VerificationInput& in);          // forma, dimensions or polygon, covers
void read_reinforcement(const Reader& r, VerificationInput& in);  // layers, explicit bars, limits, stirrups
void read_actions(const Reader& r, VerificationInput& in);        // the combinations
void read_check_parameters(const Reader& r, VerificationInput& in);
void read_seismic(const Reader& r, VerificationInput& in);  // the block "sismica" (read_seismic.cpp)
// After read_materials: meaningless values refused, unusual ones warned of.
void check_material_ranges(const Reader& r, VerificationInput& in);

// Sizes outside 100…5000 mm hint at a unit mistake (m or cm for mm).
void check_plausible_size(double mm, std::string_view what, std::vector<std::string>& warnings);

}  // namespace ferrolit::verification
