#pragma once

// Writing result files all or nothing. A target must be a regular file or
// not exist: a folder, a device, a FIFO, a socket or a symbolic link is
// refused before anything is written. Every file is first written beside its
// target under a new random name (created exclusively, never through a link),
// with the target's permissions, and synced; then each target is replaced by
// a rename, its old contents kept under a second, unique name until all are
// in place and put back if any replacement fails. Only names this run
// created are ever removed.

#include <string>
#include <utility>
#include <vector>

namespace ferrolit::cli {

// (path, contents) pairs. Throws std::runtime_error naming the file that
// could not be written; then every target is as it was.
void write_all_or_nothing(const std::vector<std::pair<std::string, std::string>>& files);

// Whether two paths name the same file, without ever throwing: by device and
// inode when both exist, otherwise by their canonical absolute forms.
bool same_file(const std::string& a, const std::string& b);

}  // namespace ferrolit::cli
