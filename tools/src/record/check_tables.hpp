#pragma once

// The checks of a section in HTML: the governing one stated first, then one
// table per family of checks, and the families that could not run.

#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// The outcome of the section and its governing check.
std::string outcome_block(const VerificationResult& r);

// One row per family that ran, at its governing combination: check,
// combination, ratio, verdict and clause, the seismic families included.
std::string checks_summary_table(const VerificationResult& r);

// A table per family (data-check="<id>"), in the record's order, the
// seismic families (§7.4) apart; then the families that did not run.
std::string check_tables(const VerificationResult& r);
std::string seismic_check_tables(const VerificationResult& r);

}  // namespace ferrolit::cli
