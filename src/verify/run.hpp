#pragma once

// The checks of a section with a given reinforcement: what verify() and
// design() share.

#include <string>
#include <vector>

#include "ferrolit/verify.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

VerificationResult run_checks(const VerificationInput& in, const Reinforcement& r, std::vector<std::string> warnings);

}  // namespace ferrolit::verification
