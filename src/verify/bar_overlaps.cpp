// Bars are circles: two that overlap cannot both be built, and a bar listed
// twice would be counted twice. Both are input errors naming the two entries.
// Bars of a layer given by its area alone have no real diameter and are
// left out.

#include <cmath>

#include "ferrolit/format.hpp"
#include "verify/model.hpp"

namespace ferrolit::verification {

std::string bar_entry_name(const std::vector<PlacedBar>& bars, std::size_t i) {
    const PlacedBar& b = bars[i];
    std::size_t first = i, count = 0;
    while (first > 0 && bars[first - 1].layer == b.layer) --first;
    for (std::size_t k = first; k < bars.size() && bars[k].layer == b.layer; ++k) ++count;
    const std::string where = " (y " + format::significant(b.y) + " mm, z " + format::significant(b.z) + " mm, ø" +
                              format::significant(b.diameter) + ")";
    if (b.layer == "barre") return "barre[" + std::to_string(i - first + 1) + "]" + where;
    return b.layer + ", barra " + std::to_string(i - first + 1) + " di " + std::to_string(count) + where;
}

void refuse_overlapping_bars(const std::vector<PlacedBar>& bars, const std::vector<bool>& real_diameter) {
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (!real_diameter[i]) continue;
        for (std::size_t j = i + 1; j < bars.size(); ++j) {
            if (!real_diameter[j]) continue;
            const double distance = std::hypot(bars[i].y - bars[j].y, bars[i].z - bars[j].z);
            const double touching = (bars[i].diameter + bars[j].diameter) / 2;
            if (distance == 0)
                throw Error(ErrorKind::InvalidOperation, "barra ripetuta: " + bar_entry_name(bars, i) + " e " +
                                                             bar_entry_name(bars, j) + " hanno lo stesso centro");
            if (distance < touching * (1 - 1e-9))
                throw Error(ErrorKind::InvalidOperation,
                            "barre sovrapposte: " + bar_entry_name(bars, i) + " e " + bar_entry_name(bars, j) +
                                " hanno i centri a " + format::decimal(distance, 1) +
                                " mm, meno della somma dei raggi " + format::decimal(touching, 1) + " mm");
        }
    }
}

}  // namespace ferrolit::verification
