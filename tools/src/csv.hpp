#pragma once

// The points of the interaction domains as comma-separated values.

#include <string>
#include <vector>

#include "verification.hpp"

namespace ferrolit::cli {

// Header, then one row per point: line of the section in its file, its description, direction, branch (+ or -), point
// number, N in kN, M in kNm.
std::string domains_csv(const std::vector<Verification>& verifications);

}  // namespace ferrolit::cli
