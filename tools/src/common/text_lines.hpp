#pragma once

// Counting the sections of a JSON Lines text the way the batch reader does.

#include <cstddef>
#include <string_view>

namespace ferrolit::cli {

// The lines holding anything but blanks: a final newline starts no section.
inline std::size_t non_blank_lines(std::string_view text) {
    std::size_t count = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (line.find_first_not_of(" \t\r") != std::string_view::npos) ++count;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return count;
}

}  // namespace ferrolit::cli
