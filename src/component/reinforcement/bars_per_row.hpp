#pragma once

// How many bars of one diameter fit in one row. Three rules, side by side
// because they really differ, and each user keeps its own exact arithmetic:
//  - bars_in_layer_row: NFerriMassimo, the section's own code limit, which
//    ImpostaFerriNorm checks every candidate against. The width follows the
//    layer and the kind of section (a T puts its bottom layer in the web and
//    its top layer in the flange, the side layers run along Altezza), the
//    quotient is evaluated in double, and a rectangle keeps one bar's room
//    in reserve: ⌊(W − 2·Copriferro_Inf) / (2·d)⌋ − 1, a T without the − 1.
//  - bars_in_usable_width: EstraiFerriMin, which knows no section and is
//    given the usable width (the width less the covers) by its caller:
//    ⌊Butile / 2 / d⌋ in single precision.
//  - bars_across_base: aumentaFerri, which measures every layer of either
//    kind of section across Base: ⌊(Base − 2·Copriferro_Inf) / (2·d)⌋ − 1
//    in single precision.
// All three hold the count in 16 bits (Overflow beyond) and fail with
// DivisionByZero for a zero diameter.

#include <cstdint>

#include "ferrolit/enums.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

std::int16_t bars_in_layer_row(const Section& s, PosizioneFerri layer, std::int16_t diameter);
std::int16_t bars_in_usable_width(float usable_width, std::int32_t diameter);
std::int16_t bars_across_base(const Section& s, std::int32_t diameter);

}  // namespace ferrolit::component
