#pragma once

// The closed N-M domains of a section from the code engine, one panel per
// axis of bending that matters, with the design point of every ultimate
// combination; and the same points as comma-separated values.

#include <optional>
#include <string>
#include <vector>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

struct DesignPoint {
    std::string combination;
    double N = 0, M = 0;  // kN, kNm
    // The resisting moment at the same N on this axis (uniaxial bending
    // only: a biaxial action's resistance lies off this slice), and the
    // bending check's ratio; empty when the check has none.
    std::optional<double> M_Rd;
    std::optional<double> ratio;
};

struct AxisDomain {
    analysis::Axis axis = analysis::Axis::My;
    analysis::Domain domain;
    std::vector<DesignPoint> points;
};

// My always; Mz when a combination has Mz or the section has side bars.
std::vector<AxisDomain> domains_of(const VerificationResult& r);

// The standalone SVG file, and the same drawing as an <svg> element to place inside an HTML page.
std::string domains_svg(const VerificationResult& r, const std::vector<AxisDomain>& domains);
std::string domains_svg_element(const VerificationResult& r, const std::vector<AxisDomain>& domains);

// The name a drawing gives the section: its description, or a plain word.
std::string section_title(const VerificationResult& r);

// Header of the CSV, then the rows of one section (its line in the input file).
std::string domains_csv_header();
std::string domains_csv_rows(int line, const std::vector<AxisDomain>& domains);

}  // namespace ferrolit::cli
