#pragma once

// A model of members that cannot be used: an InputError naming the model's key.

#include <string>

#include "ferrolit/error.hpp"

namespace ferrolit::members {

[[noreturn]] inline void model_error(const std::string& key, const std::string& problem) {
    throw InputError("chiave \"" + key + "\": " + problem, key, problem, 0, "");
}

}  // namespace ferrolit::members
