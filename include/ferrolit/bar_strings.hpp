#pragma once

#include <string_view>

#include "ferrolit/export.hpp"

namespace ferrolit {

// Readers of a reinforcement string: groups of count, "f" (or "F") and
// diameter joined by "+", such as 3f16+2f12. They never fail: a string that
// cannot be read is worth 0.
FERROLIT_API float smallest_bar_diameter(std::string_view text);  // mm
FERROLIT_API float largest_bar_diameter(std::string_view text);   // mm
FERROLIT_API float bar_area(std::string_view text);               // mm²

}  // namespace ferrolit
