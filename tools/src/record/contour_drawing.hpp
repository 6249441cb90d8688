#pragma once

// The My-Mz contour of the code engine at the N of the governing bending
// combination, drawn when a combination bends the section about both axes,
// with the design points of the combinations at that N.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// Whether an ultimate combination has both My and Mz.
bool has_biaxial_bending(const VerificationResult& r);

// The SVG element; empty when there is no biaxial bending or no contour at that N.
std::string contour_drawing(const VerificationResult& r);

}  // namespace ferrolit::cli
