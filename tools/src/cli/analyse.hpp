#pragma once

// `ferrolit analyse`: the engine's JSON document (ferrolit::analysis::analyse_json)
// read from a file or standard input, the result printed.

#include <string>

namespace ferrolit::cli {

// Reads FILE ("-" or empty: standard input), prints the output; exit status
// 0, or 2 with the message on standard error.
int run_analyse(const std::string& file);

}  // namespace ferrolit::cli
