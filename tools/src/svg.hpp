#pragma once

// A drawing of the closed N-M interaction domains of a section, one panel per
// direction, with the design point.

#include <string>

#include "verification.hpp"

namespace ferrolit::cli {

std::string domains_svg(const Verification& v);

}  // namespace ferrolit::cli
