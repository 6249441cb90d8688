#pragma once

// Reading sections from JSON: one object per section whose keys are the
// section's own member names. Every mistake is reported with the file, the
// line and the key it concerns.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace ferrolit::cli {

// Unusable input: names where it is and what is wrong with it.
class InputError : public std::runtime_error {
public:
    InputError(const std::string& file, int line, const std::string& key, const std::string& problem);
};

using Value = std::variant<float, std::int16_t, std::string>;

// One section as read from its JSON object: only the keys that were given.
class SectionInput {
public:
    SectionInput(std::string file, int line) : file_(std::move(file)), line_(line) {}

    const std::string& file() const { return file_; }
    int line() const { return line_; }  // where the section's object starts

    bool has(const std::string& key) const { return values_.count(key) != 0; }
    std::optional<float> real(const std::string& key) const;
    std::optional<std::int16_t> integer(const std::string& key) const;
    std::optional<std::string> text(const std::string& key) const;

    // The value of a key that must be there; a missing one is an InputError.
    float required_real(const std::string& key) const;
    std::int16_t required_integer(const std::string& key) const;

    // An InputError about `key`, at the line where the key stands (or where
    // the section starts, when the key is missing).
    InputError error(const std::string& key, const std::string& problem) const;

    void set(const std::string& key, Value value, int line);

private:
    std::string file_;
    int line_;
    std::map<std::string, Value> values_;
    std::map<std::string, int> lines_;
};

// Reads one JSON document holding one section object. `first_line` is the
// line number of the text's first line in its file.
SectionInput read_section(const std::string& text, const std::string& file, int first_line = 1);

// Reads JSON Lines: one section object per non-blank line. The message of
// every unusable line goes to `errors`; the sections of the others are returned.
std::vector<SectionInput> read_section_lines(const std::string& text, const std::string& file,
                                             std::vector<std::string>& errors);

// True for file names that hold JSON Lines (.jsonl, .ndjson).
bool is_json_lines_name(const std::string& file);

}  // namespace ferrolit::cli
