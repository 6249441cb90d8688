#pragma once

// The closed N-M domains of a section from the code engine, one panel per
// axis of bending that matters, with the design point of every ultimate
// combination; and the same points as comma-separated values.

#include <string>
#include <vector>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

struct DesignPoint {
    std::string combination;
    double N = 0, M = 0;  // kN, kNm
};

struct AxisDomain {
    analysis::Axis axis = analysis::Axis::My;
    analysis::Domain domain;
    std::vector<DesignPoint> points;
};

// My always; Mz when a combination has Mz or the section has side bars.
std::vector<AxisDomain> domains_of(const VerificationResult& r);

std::string domains_svg(const VerificationResult& r, const std::vector<AxisDomain>& domains);

// Header of the CSV, then the rows of one section (its line in the input file).
std::string domains_csv_header();
std::string domains_csv_rows(int line, const std::vector<AxisDomain>& domains);

}  // namespace ferrolit::cli
