#pragma once

// The figure of the sign conventions: the section in its plane with the axes
// y (right) and z (up) through the centroid G, the sides that a positive My
// and a positive Mz compress, the shear forces along the axes and N positive
// in compression, as the engine reads them (README "ferrolit analyse").

#include <string>

namespace ferrolit::cli {

std::string axes_figure();

}  // namespace ferrolit::cli
