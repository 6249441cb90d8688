#pragma once

// The Italian calculation record of a verification, and its one-line
// summary for runs over many sections.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// `source` names where the section came from ("file:line").
std::string report(const VerificationResult& r, const std::string& source);
std::string summary_line(const VerificationResult& r, const std::string& source);

}  // namespace ferrolit::cli
