#pragma once

// The moment–curvature of a seismic section as an <svg> element for the
// record: the unconfined and the confined curves, their conventional yield
// and ultimate points marked.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

std::string curvature_svg_element(const SeismicCurves& curves);

// The caption under it: the combination, N and μφ of both curves.
std::string curvature_caption(const SeismicCurves& curves);

}  // namespace ferrolit::cli
