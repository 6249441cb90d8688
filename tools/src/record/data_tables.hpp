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

// A strain in per mille with `places` decimals, as the material tables write it ("3,50 ‰").
std::string per_mille(double strain, int places);
// The name of a concrete's stress-strain law: "parabola-rettangolo", "stress-block", "bilineare".
const char* law_name(analysis::ConcreteLaw law);

}  // namespace ferrolit::cli
