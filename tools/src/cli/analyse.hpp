#pragma once

// `ferrolit analyse`: one JSON object in (section, materials, queries), one
// JSON object out, computed by the code engine (ferrolit/analysis.hpp).
// Units mm, MPa, kN, kNm; N positive in compression.

#include <stdexcept>
#include <string>

namespace ferrolit::cli {

// Unusable input; the message names the key ("concrete.fck: ...").
class AnalyseError : public std::runtime_error {
public:
    AnalyseError(const std::string& key, const std::string& problem);
};

// The output document for an input document (both JSON texts).
std::string analyse(const std::string& input);

// The subcommand: reads FILE ("-" or empty: standard input), prints the
// output; exit status 0, or 2 with the message on standard error.
int run_analyse(const std::string& file);

}  // namespace ferrolit::cli
