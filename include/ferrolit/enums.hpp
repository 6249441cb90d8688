#pragma once

#include <cstdint>

namespace ferrolit {

// Edge of a section from which a depth is measured.
enum class TipoBordo : std::int32_t {
    Superiore = 1,  // top edge
    Inferiore = 2,  // bottom edge
    Sinistro = 3,   // left edge
    Destro = 4,     // right edge
};

// Bar layer of a section.
enum class PosizioneFerri : std::int32_t {
    As_inf = 1,   // bottom layer, bending about Y
    As_sup = 2,   // top layer, bending about Y
    As_infY = 3,  // right-edge layer, bending about Z
    As_supY = 4,  // left-edge layer, bending about Z
};

// pi in single precision, as 4*atan(1) rounded to float.
inline constexpr float PiGreco = 3.14159265358979323846f;

}  // namespace ferrolit
