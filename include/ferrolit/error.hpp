#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "ferrolit/export.hpp"

namespace ferrolit {

// The kinds of failure a host can tell apart. The values are the classic
// run-time error numbers of the component world, so that a C host or a log
// reader sees familiar codes.
enum class ErrorKind : std::int32_t {
    InvalidOperation = 5,  // invalid procedure call or argument; invalid floating-point operation
    Overflow = 6,          // floating-point or 16-bit integer overflow
    InvalidIndex = 9,      // a number that names no item
    DivisionByZero = 11,   // floating-point division by zero
    TypeMismatch = 13,     // an item of the other kind, or a text that is no number
    ObjectRequired = 91,   // a collection or object reference that was never set
};

// The standard Italian description of an error kind.
FERROLIT_API const char* describe(ErrorKind kind) noexcept;

// The only exception type that leaves the library.
class FERROLIT_API Error : public std::runtime_error {
public:
    explicit Error(ErrorKind kind);
    Error(ErrorKind kind, const std::string& description);
    ErrorKind kind() const noexcept { return kind_; }

private:
    ErrorKind kind_;
};

// Input that cannot be used (kind InvalidOperation), with where the problem
// is: what() is the whole message ("file:line: chiave \"Base\": ..."), and
// the parts travel apart so that nobody has to read them back from the text.
class FERROLIT_API InputError : public Error {
public:
    InputError(const std::string& message, std::string key, std::string problem, int line, std::string source);
    // The key's path ("Base", "combinazioni[2].tipo"); empty when the problem is no key's.
    const std::string& key() const noexcept { return key_; }
    // What is wrong, without the location and the key.
    const std::string& problem() const noexcept { return problem_; }
    // The line of the key (or of the text) in its source, counted from 1; 0 when not known.
    int line() const noexcept { return line_; }
    // The file name or batch entry the text came from; empty when none was given.
    const std::string& source() const noexcept { return source_; }

private:
    std::string key_;
    std::string problem_;
    int line_;
    std::string source_;
};

}  // namespace ferrolit
