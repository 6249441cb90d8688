#pragma once

// ferrolit members: every member of a building from a model file and the
// analysis program's forces table, with its envelope and governing check.

#include <string>

namespace ferrolit::cli {

struct MembersRunOptions {
    std::string model;   // the model's JSON file; "-": standard input
    std::string forces;  // the forces table (CSV) instead of the model's "sollecitazioni"
    bool json = false;
    std::string csv, html;
    int jobs = 0;
    bool progress = false, quiet = false;  // force the progress line on or off
};

// Exit status: 0 every member verified, 1 a check not met, 2 a member in error or unusable input.
int run_members(const MembersRunOptions& options);

}  // namespace ferrolit::cli
