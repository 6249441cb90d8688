#pragma once

// The My-Mz contour of the code engine at the N of the governing bending
// combination, drawn when a combination bends the section about both axes,
// with the design points of the combinations at that N.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// Whether an ultimate combination has both My and Mz.
bool has_biaxial_bending(const VerificationResult& r);

// The SVG element; a sentence saying why when the engine has no contour at
// that N; empty when there is no biaxial bending.
std::string contour_drawing(const VerificationResult& r);

}  // namespace ferrolit::cli
