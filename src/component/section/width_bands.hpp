#pragma once

// The width of a section at a depth below one of its edges, as two bands:
// `inner` for lo <= y <= hi, `outer` elsewhere. A rectangle has one band
// without bounds. A T has the flange or the web as its inner band; its bands
// are the one rule of the T's width, which clsSezT::bX reads and the
// interaction domain integrates.

#include <limits>

#include "ferrolit/enums.hpp"

namespace ferrolit::component {
class Section;
}

namespace ferrolit::component {

struct WidthBands {
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    float inner = 0;
    float outer = 0;

    float at(float y) const { return (lo <= y && y <= hi) ? inner : outer; }
};

// Bands of a T measured from `edge`: from the top edge the flange Base down
// to SpessoreT (inclusive), then the web BaseInf; from the bottom edge the
// web up to Altezza − SpessoreT, then the flange; from a side edge Altezza
// across the web, between (Base − BaseInf)/2 and (Base + BaseInf)/2 (both
// rounded to single precision, both inclusive), and SpessoreT elsewhere. Any
// other edge has no width (both bands 0). The bands hold for every depth,
// also beyond the opposite edge.
WidthBands tee_width(const Section& s, TipoBordo edge);

}  // namespace ferrolit::component
