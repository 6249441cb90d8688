#pragma once

// ferrolit verify / design: read the sections, run them through the
// library, print the records and write the drawings.

#include <string>

namespace ferrolit::cli {

struct RunOptions {
    std::string file;  // empty: the embedded example; "-": standard input
    bool json = false;
    std::string svg, csv, html;
    int jobs = 0;  // 0: one per core
    bool design = false;
};

// Exit status: 0 every section verified, 1 a check not met, 2 unusable input.
int run_sections(const RunOptions& options);

}  // namespace ferrolit::cli
