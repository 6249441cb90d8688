#pragma once

// Unusable input to the code engine: ferrolit::Error of kind InvalidOperation
// with a short Italian message naming the quantity.

#include <string>

#include "ferrolit/error.hpp"

namespace ferrolit::analysis::detail {

[[noreturn]] inline void fail(const std::string& message) { throw Error(ErrorKind::InvalidOperation, message); }

inline void require(bool condition, const char* message) {
    if (!condition) fail(message);
}

}  // namespace ferrolit::analysis::detail
