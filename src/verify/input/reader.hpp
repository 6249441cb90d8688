#pragma once

// Reading the values of a section's JSON object by the key table: every key
// known and of its kind, with messages that name the key and its line.

#include <optional>
#include <string>
#include <string_view>

#include "ferrolit/verify.hpp"
#include "verify/input/input_keys.hpp"
#include "verify/input/json_text.hpp"

namespace ferrolit::verification {

// Longest text of any key, in characters.
inline constexpr std::size_t kMostTextLength = 200;

class Reader {
public:
    // Checks every key of the object against the table (unknown keys are
    // named with the nearest known one) and the kind of every value.
    Reader(const JsonDocument& doc, const Where& where);

    bool has(std::string_view key) const { return root_.contains(std::string(key)); }
    std::optional<double> real(std::string_view key) const;
    std::optional<int> integer(std::string_view key) const;
    std::optional<std::string> text(std::string_view key) const;
    std::optional<bool> flag(std::string_view key) const;
    const nlohmann::json* list(std::string_view key) const;
    // The value of a key of any kind (a number or an object for RealOrObject).
    const nlohmann::json* value(std::string_view key) const;

    // The keys of one item of a list ("combinazioni[2]"), checked like the
    // section's own, and its values.
    void check_item(const nlohmann::json& item, KeyGroup group, const std::string& path) const;
    double item_real(const nlohmann::json& item, const std::string& path, std::string_view key) const;
    std::optional<double> item_real_if(const nlohmann::json& item, const std::string& path, std::string_view key) const;
    std::string item_text(const nlohmann::json& item, const std::string& path, std::string_view key) const;

    // A number of a list of coordinates ("contorno[3]").
    double number(const nlohmann::json& value, const std::string& path) const;

    [[noreturn]] void fail(std::string_view path, std::string_view problem) const;
    // fail() with the message of a library error about that key.
    [[noreturn]] void fail(std::string_view path, const Error& error) const { fail(path, error.what()); }
    int line() const { return doc_.line; }
    const Where& where() const { return where_; }

private:
    void check_value(const nlohmann::json& value, const InputKey& key, const std::string& path) const;

    const JsonDocument& doc_;
    const nlohmann::json& root_;
    Where where_;
};

// The first character count a UTF-8 text exceeds, for the length limits.
std::size_t characters(std::string_view utf8);

}  // namespace ferrolit::verification
