#pragma once

// The results of a verification as JSON, for programs rather than people.

#include <nlohmann/json.hpp>

#include "verification.hpp"

namespace ferrolit::cli {

nlohmann::json to_json(const Verification& v);

}  // namespace ferrolit::cli
