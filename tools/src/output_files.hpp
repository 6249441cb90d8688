#pragma once

// Writing result files all or nothing: each file is written beside its target
// under a temporary name and renamed into place only when every one of them
// was written.

#include <string>
#include <utility>
#include <vector>

namespace ferrolit::cli {

// (path, contents) pairs. Throws std::runtime_error naming the file that
// could not be written; then no target has been touched.
void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace ferrolit::cli
