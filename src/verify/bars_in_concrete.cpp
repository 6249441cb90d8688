// Bars are circles: a bar can be built only where its whole circle lies in
// the concrete, outside every hole. A bar whose centre is outside, or whose
// circle crosses the outline or a hole's edge, is an input error naming the
// bar and by how much it is out. Whether the cover left around a bar is
// enough is the cover check's matter, not this one's.

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/checks/section_geometry.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

[[noreturn]] void refuse(const std::vector<PlacedBar>& bars, std::size_t i, const std::string& problem) {
    throw Error(ErrorKind::InvalidOperation,
                "barra fuori dal calcestruzzo: " + bar_entry_name(bars, i) + " " + problem);
}

std::string hole_name(std::size_t h) { return "nel foro " + std::to_string(h + 1); }

}  // namespace

void refuse_bars_outside(const analysis::Shape& shape, const std::vector<PlacedBar>& bars,
                         const std::vector<bool>& real_diameter) {
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const PlacedBar& b = bars[i];
        const analysis::Point centre{b.y, b.z};
        const double radius = real_diameter[i] ? b.diameter / 2 : 0;
        if (!inside_ring(shape.outline, centre)) refuse(bars, i, "ha il centro fuori dal contorno della sezione");
        // Circles that only touch an edge are allowed (the cover check judges them).
        auto out_by = [&](const analysis::Ring& ring) { return radius * (1 - 1e-9) - distance_to_ring(ring, centre); };
        if (const double out = out_by(shape.outline); out > 0)
            refuse(bars, i,
                   "sporge di " + format::decimal(out, 1) + " mm dal contorno della sezione (raggio " +
                       format::decimal(radius, 1) + " mm, centro a " +
                       format::decimal(distance_to_ring(shape.outline, centre), 1) + " mm dal bordo)");
        for (std::size_t h = 0; h < shape.holes.size(); ++h) {
            if (inside_ring(shape.holes[h], centre)) refuse(bars, i, "ha il centro " + hole_name(h));
            if (const double out = out_by(shape.holes[h]); out > 0)
                refuse(bars, i,
                       "entra di " + format::decimal(out, 1) + " mm " + hole_name(h) + " (raggio " +
                           format::decimal(radius, 1) + " mm, centro a " +
                           format::decimal(distance_to_ring(shape.holes[h], centre), 1) + " mm dal bordo del foro)");
        }
    }
}

}  // namespace ferrolit::verification
