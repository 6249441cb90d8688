#pragma once

// Reading input through a cap: a limit holds while reading, so that a text
// over it is refused after at most the limit's bytes, never held whole.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace ferrolit::cli {

// At most `most + 1` bytes of `in`: longer than `most` when there was more.
std::string read_capped(std::istream& in, std::size_t most);

struct CappedLines {
    std::string text;         // every line, each cut after `most_line + 1` bytes
    bool over_total = false;  // stopped reading past `most_total` bytes
};

// JSON Lines: lines split at '\n' (as the batch reader numbers them), each
// kept only up to one byte past `most_line`, so that the reader still refuses
// it, with its line number, without the rest; reading ends past `most_total`.
CappedLines read_capped_lines(std::istream& in, std::size_t most_line, std::uintmax_t most_total);

}  // namespace ferrolit::cli
