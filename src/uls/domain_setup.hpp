#pragma once

#include "ferrolit/section.hpp"
#include "uls/domain_sweep.hpp"

namespace ferrolit::detail {

// Width bands of a T measured from its compressed edge `edge`; every depth
// gets exactly the width clsSezT::bX gives for it.
WidthBands tee_width(const Section& s, TipoBordo edge);

}  // namespace ferrolit::detail
