#include "cli/capped_input.hpp"

#include <algorithm>
#include <array>

namespace ferrolit::cli {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

// One chunk of `in` into `chunk`; its length, 0 at the end.
std::size_t next_chunk(std::istream& in, std::array<char, kChunkBytes>& chunk) {
    in.read(chunk.data(), chunk.size());
    return static_cast<std::size_t>(in.gcount());
}

}  // namespace

std::string read_capped(std::istream& in, std::size_t most) {
    std::string text;
    std::array<char, kChunkBytes> chunk;
    while (text.size() <= most) {
        const std::size_t n = next_chunk(in, chunk);
        if (n == 0) break;
        text.append(chunk.data(), std::min(n, most + 1 - text.size()));
    }
    return text;
}

CappedLines read_capped_lines(std::istream& in, std::size_t most_line, std::uintmax_t most_total) {
    CappedLines out;
    std::array<char, kChunkBytes> chunk;
    std::uintmax_t total = 0;
    std::size_t line_length = 0;  // of the current line, as far as read
    while (const std::size_t n = next_chunk(in, chunk)) {
        total += n;
        if (total > most_total) {
            out.over_total = true;
            break;
        }
        for (std::size_t at = 0; at < n;) {
            const char* begin = chunk.data() + at;
            const char* const stop = chunk.data() + n;
            const char* end = std::find(begin, stop, '\n');
            const std::size_t length = static_cast<std::size_t>(end - begin);
            const std::size_t kept = line_length > most_line ? 0 : std::min(length, most_line + 1 - line_length);
            out.text.append(begin, kept);
            line_length += length;
            at += length;
            if (at == n) break;
            out.text += '\n';  // the line ends here
            line_length = 0;
            ++at;
        }
    }
    return out;
}

}  // namespace ferrolit::cli
