#pragma once

// Material values of a section: the 21 values the library stores, either as
// given in the input or derived from the class names of the 2018 code.

#include <optional>
#include <string>
#include <vector>

#include "input.hpp"

namespace ferrolit::cli {

struct Concrete {
    std::string ClasseCls;
    float Rck, fck, gammaC, alfaCC, fcm, fctm, fctk05, fctk95, Ec, eps_c2, eps_cu, fcd, fctd;
};

struct Steel {
    std::string ClasseAcciaio;
    float fyk, gammaS, Es, fyd, eps_yd, eps_ud;
};

struct Materials {
    Concrete concrete;
    Steel steel;
};

// Concrete of a class such as "C25/30": fck and Rck from the name, the rest
// by the code's formulas (alfaCC 0.85, gammaC 1.5). Empty for an unknown name.
std::optional<Concrete> concrete_of_class(const std::string& name);
// Steel of a class "B450C" or "B450A" (gammaS 1.15, Es 200000). Empty for an unknown name.
std::optional<Steel> steel_of_class(const std::string& name);

// The class names known to the two functions above.
std::vector<std::string> known_concrete_classes();
std::vector<std::string> known_steel_classes();

// The materials of a section: each value given in the input wins; a known
// class name supplies the others. A value neither given nor derivable is an
// InputError naming it.
Materials resolve_materials(const SectionInput& in);

}  // namespace ferrolit::cli
