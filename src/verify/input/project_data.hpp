#pragma once

// The block "progetto" of a section or of a members model: the project's
// data for the record's title page, read by one function for both.

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "ferrolit/verify.hpp"

namespace ferrolit::verification {

// Reports a key of the block ("progetto.opera") and what is wrong with it; does not return.
using ProjectProblem = std::function<void(const std::string& path, const std::string& problem)>;

ProjectData read_project_data(const nlohmann::json& block, const ProjectProblem& fail);

}  // namespace ferrolit::verification
