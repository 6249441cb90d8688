#pragma once

// The data of a section in HTML tables, from the result's resolved input:
// geometry and reinforcement, materials with every factor, combinations.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

std::string geometry_table(const VerificationResult& r);
std::string reinforcement_tables(const VerificationResult& r);
std::string materials_tables(const VerificationResult& r);
std::string combinations_table(const VerificationResult& r);

}  // namespace ferrolit::cli
