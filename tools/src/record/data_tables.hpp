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
// The name of a steel's design law (§4.1.2.1.2.2): "bilineare incrudente" or "elastico-perfettamente plastico".
const char* steel_law_name(const analysis::Steel& s);

}  // namespace ferrolit::cli
