#pragma once

// The engine's JSON document (`ferrolit analyse`, ferrolit_analyse_json,
// ferrolit.analyse): one object in (section, materials, queries), one object
// out, computed by the code engine (ferrolit/analysis.hpp). Units mm, MPa,
// kN, kNm; N positive in compression.

#include <string>

#include "ferrolit/error.hpp"

namespace ferrolit::analysis::json_io {

// Unusable input: an InputError whose message names the key ("concrete.fck": ...)
// and whose key() is that path (empty for the text as a whole, named "JSON").
class AnalyseError : public ferrolit::InputError {
public:
    AnalyseError(const std::string& key, const std::string& problem);
};

// The output document for an input document (both JSON texts).
std::string analyse(const std::string& input);

// Largest input document: a section of many vertices and bars with 10000 queries fits many times over.
constexpr std::size_t kMostInputBytes = std::size_t{16} << 20;

}  // namespace ferrolit::analysis::json_io
