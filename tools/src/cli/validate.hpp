#pragma once

// ferrolit validate: the validation set (§10.2) run by this build, as a text
// table and, with --html, as a record.

#include <string>

namespace ferrolit::cli {

struct ValidateOptions {
    std::string set;   // a set file to run instead of the built-in one; empty: the built-in set
    std::string html;  // the record's file; empty: none
};

// Exit status: 0 every case agrees with its hand calculation, 1 a case does
// not, 2 the set cannot be read or a case's input is refused.
int run_validate(const ValidateOptions& options);

}  // namespace ferrolit::cli
