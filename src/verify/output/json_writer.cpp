#include "verify/output/json_writer.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "core/real_text.hpp"
#include "ferrolit/error.hpp"

namespace ferrolit::verification {

void JsonWriter::grow(std::size_t more) { out_.resize(std::max(2 * out_.size(), used_ + more)); }

void JsonWriter::newline() {
    if (indent_ < 0) return;
    put('\n');
    const std::size_t spaces = first_.size() * static_cast<std::size_t>(indent_);
    if (out_.size() - used_ < spaces) grow(spaces);
    std::memset(out_.data() + used_, ' ', spaces);
    used_ += spaces;
}

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (first_.empty()) return;
    if (!first_.back()) put(',');
    first_.back() = false;
    newline();
}

JsonWriter& JsonWriter::begin_object() {
    before_value();
    put('{');
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::begin_array() {
    before_value();
    put('[');
    first_.push_back(true);
    return *this;
}

void JsonWriter::close(char c) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) newline();
    put(c);
}

JsonWriter& JsonWriter::end_object() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::end_array() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    before_value();
    write_string(name);
    put(indent_ < 0 ? ":" : ": ");
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(double v) {
    before_value();
    if (!std::isfinite(v)) {
        put("null");
    } else {
        // The shortest form of a double takes at most 24 characters.
        char text[32];
        const auto [end, error] = detail::write_real(text, text + sizeof text, v);
        if (error != std::errc{}) throw Error(ErrorKind::Overflow, "numero non rappresentabile in JSON");
        put(std::string_view(text, static_cast<std::size_t>(end - text)));
    }
    return *this;
}

JsonWriter& JsonWriter::value(int v) {
    before_value();
    put(std::to_string(v));
    return *this;
}

JsonWriter& JsonWriter::value(bool v) {
    before_value();
    put(v ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    before_value();
    put("null");
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    before_value();
    write_string(text);
    return *this;
}

namespace {

// Whether JSON needs a character escaped in a string: '"', '\\' and the controls.
constexpr std::array<bool, 256> kNeedsEscape = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[static_cast<std::size_t>(c)] = true;
    table['"'] = table['\\'] = true;
    return table;
}();

// The escape of a character that needs one.
std::string_view escape(char c, char (&buffer)[7]) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default:
            const char* hex = "0123456789abcdef";
            buffer[0] = '\\', buffer[1] = 'u', buffer[2] = '0', buffer[3] = '0';
            buffer[4] = hex[(c >> 4) & 0xF], buffer[5] = hex[c & 0xF], buffer[6] = '\0';
            return {buffer, 6};
    }
}

// Where the next character that needs an escape is, from `from`, or the
// text's size: eight bytes at a time while none of them does (a byte below
// 0x20, or equal to '"' or '\\', sets its high bit in `flagged`).
std::size_t next_escape(std::string_view text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    const auto has_zero = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t flagged =
            ((word - kOnes * 0x20) & ~word & kHighs) | has_zero(word ^ (kOnes * '"')) | has_zero(word ^ (kOnes * '\\'));
        if (flagged != 0) break;
    }
    for (; i < text.size(); ++i)
        if (kNeedsEscape[static_cast<unsigned char>(text[i])]) return i;
    return i;
}

}  // namespace

// Runs of characters that need no escape are appended whole: a result is
// mostly such text, and a character at a time costs several times more.
void JsonWriter::write_string(std::string_view text) {
    put('"');
    std::size_t run = 0;
    char buffer[7];
    for (std::size_t i = next_escape(text, 0); i < text.size(); i = next_escape(text, run)) {
        put(text.substr(run, i - run));
        put(escape(text[i], buffer));
        run = i + 1;
    }
    put(text.substr(run));
    put('"');
}

}  // namespace ferrolit::verification
