#pragma once

// Material values of a section: the 21 values the library stores, either as
// given in the input or derived from the class names of the 2018 code. The
// values are named by their keys (input_keys.hpp).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input.hpp"

namespace ferrolit::cli {

// Material values by key: "fck", "Es", ...
using MaterialValues = std::map<std::string, float, std::less<>>;

struct Materials {
    std::string ClasseCls, ClasseAcciaio;
    MaterialValues values;  // every real key of the Materials group

    float at(std::string_view key) const { return values.find(key)->second; }
};

// Concrete of a class such as "C25/30": fck and Rck from the name, the rest
// by the code's formulas (alfaCC 0.85, gammaC 1.5). Empty for an unknown name.
std::optional<MaterialValues> concrete_of_class(const std::string& name);
// Steel of a class "B450C" or "B450A" (gammaS 1.15, Es 200000). Empty for an unknown name.
std::optional<MaterialValues> steel_of_class(const std::string& name);

// The class names known to the two functions above.
std::vector<std::string> known_concrete_classes();
std::vector<std::string> known_steel_classes();

// The materials of a section: each value given in the input wins; a known
// class name supplies the others. A value neither given nor derivable is an
// InputError naming it.
Materials resolve_materials(const SectionInput& in);

}  // namespace ferrolit::cli
