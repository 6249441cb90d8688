#pragma once

// The cross-section drawn to scale as an SVG element: the concrete outline
// with its holes, every bar as a circle of its diameter, the axes y and z
// through the centroid, the overall sizes and the covers in mm.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

std::string section_drawing(const VerificationResult& r);

}  // namespace ferrolit::cli
