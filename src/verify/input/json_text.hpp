#pragma once

// A JSON document read for the verification: parsed with nlohmann-json (a
// private dependency of the library), with the line of every key, and with
// the mistakes a person makes in a hand-written file named plainly: a number
// out of the range of a double, a decimal comma, a repeated key, a text that
// is too long or nested too deep.

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "ferrolit/limits.hpp"

namespace ferrolit::verification {

// Largest JSON text of one section.
inline constexpr std::size_t kMostInputBytes = kMostSectionBytes;
// Deepest nesting of arrays and objects.
inline constexpr int kMostDepth = 16;

// Where the nesting of arrays and objects outside strings first passes `most`; npos when it never does.
std::size_t too_deep_at(std::string_view text, int most);

// Where a text comes from, for messages: "file:line: …".
struct Where {
    std::string source;  // empty: messages carry no location
    int first_line = 1;
};

// The message of unusable input: location, key and problem.
std::string input_message(const Where& where, int line, std::string_view key, std::string_view problem);
// Throws ferrolit::InputError with that message and its parts.
[[noreturn]] void input_error(const Where& where, int line, std::string_view key, std::string_view problem);

// Parses the text; ferrolit::Error (InvalidOperation) when it cannot be used.
struct JsonDocument {
    JsonDocument(std::string_view text, const Where& where);
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    nlohmann::json root;
    int line = 1;  // where the outermost value starts
    // The line of every key by its path: "Base", "combinazioni[2].tipo"
    // (elements counted from 1).
    std::map<std::string, int, std::less<>> key_lines;

    int line_of(std::string_view path) const;
};

}  // namespace ferrolit::verification
