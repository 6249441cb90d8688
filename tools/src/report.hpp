#pragma once

// The Italian report of a verification, and its one-line summary for runs
// over many sections.

#include <string>

#include "verification.hpp"

namespace ferrolit::cli {

std::string report(const Verification& v);
std::string summary_line(const Verification& v);

}  // namespace ferrolit::cli
