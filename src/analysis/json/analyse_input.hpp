#pragma once

// Reading the engine's JSON document into the engine's types, with the
// name of the key in every complaint.

#include <nlohmann/json.hpp>
#include <string>
#include <variant>
#include <vector>

#include "ferrolit/analysis.hpp"
#include "ferrolit/moment_curvature.hpp"

namespace ferrolit::analysis::json_io {

struct MomentQuery {
    double N = 0, My = 0, Mz = 0;
};
struct DomainQuery {
    analysis::Axis axis = analysis::Axis::My;
    int points = 100;
};
struct ContourQuery {
    double N = 0;
    int directions = 72;
};
struct CurvatureQuery {
    double N = 0;
    analysis::CurvatureOptions options;
};
using Query = std::variant<MomentQuery, DomainQuery, ContourQuery, CurvatureQuery>;

struct AnalyseRequest {
    analysis::Section section;
    std::vector<Query> queries;
};

// The request of a parsed document; AnalyseError for unusable input.
AnalyseRequest read_request(const nlohmann::json& root);

// Parses a JSON text, refusing a key repeated within one object.
nlohmann::json parse_document(const std::string& text);

}  // namespace ferrolit::analysis::json_io
