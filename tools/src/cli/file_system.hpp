#pragma once

// The operating system's side of writing result files (output_files.cpp):
// one implementation for POSIX systems, one for Windows. Paths are UTF-8.

#include <filesystem>
#include <string>
#include <string_view>

namespace ferrolit::cli::files {

// A path spelled in UTF-8 (as on the command line) as the system's path: on
// Windows a wide-character path, so that any name opens.
inline std::filesystem::path native_path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

[[noreturn]] void cannot_write(const std::string& path, const std::string& reason);

// A name beside `path` that nobody uses: ".NAME.<random>.<suffix>" in the same folder.
std::string unique_name_beside(const std::string& path, std::string_view suffix);

// Why an existing target may not be replaced; empty when it is a regular
// file or does not exist.
std::string refusal_of(const std::string& path);

// Creates a new file beside `path` exclusively, writes and syncs it; returns
// its name. Throws (cannot_write) on failure, leaving nothing behind.
std::string write_temporary(const std::string& path, const std::string& contents);

// A second name for the existing target, so that it can be put back; empty
// when there is no target.
std::string keep_aside(const std::string& path);

// Renames `from` onto `to`, replacing it; the reason when it fails, else "".
std::string move_over(const std::string& from, const std::string& to);

bool exists(const std::string& path);
void remove_name(const std::string& path);
void sync_folder_of(const std::string& path);

}  // namespace ferrolit::cli::files
