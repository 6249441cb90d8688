#pragma once

// Writing result files all or nothing: every file is first written beside
// its target under a temporary name; then each target is replaced in turn,
// its old contents kept aside until all are in place, and put back if any
// replacement fails. Nothing here throws but the one error it reports.

#include <string>
#include <utility>
#include <vector>

namespace ferrolit::cli {

// (path, contents) pairs. Throws std::runtime_error naming the file that
// could not be written; then every target is as it was.
void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files);

// Whether two paths name the same file, without ever throwing: by their
// canonical forms when both can be examined, otherwise by their normalised
// absolute spellings.
bool same_file(const std::string& a, const std::string& b);

}  // namespace ferrolit::cli
