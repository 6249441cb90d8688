// EstraiFerriMin: the smallest arrangement of bars that reaches a required
// area within limits on count, diameter and the bars that fit in one row.

#include <algorithm>
#include <array>
#include <cmath>

#include "component/reinforcement/bar_table.hpp"
#include "component/reinforcement/bar_text.hpp"
#include "component/reinforcement/bars_per_row.hpp"
#include "core/message_numbers.hpp"
#include "core/numeric.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

namespace {

using detail::single;

// Area of the text n "f" d as the string readers count it: n times the area
// of one bar rounded to a whole mm².
float arrangement_area(std::int32_t count, std::int32_t diameter) {
    if (count == 0 || diameter == 0) return 0;
    return single(count * component::rounded_bar_area(diameter));
}

std::string required_area_line(float area) {
    return "Area Ferri Necessaria=" + detail::plain_number(area) + " mmq\n\n";
}

// Message of a requirement above the last table entry.
std::string above_table_message(float required, const component::BarArrangement& last) {
    return required_area_line(required) + "Il limite superiore imposto dal software è di " +
           component::arrangement_text(last.count, last.diameter) + "\n" +
           "Cui corrisponde As =" + detail::fixed_decimals(last.rounded_area, 2) + " mmq";
}

// Message of a requirement that no arrangement within the limits reaches.
std::string nothing_fits_message(float required, float usable_width, std::int32_t max_diameter,
                                 std::int32_t row_maximum) {
    const std::string most = component::arrangement_text(row_maximum, max_diameter, "ø");
    return required_area_line(required) + "In base ai dati inseriti:\n" +
           "Diametro Massimo Ferri    : D    =" + detail::digits(max_diameter) + " mm.\n" +
           "Base Utile Sezione             : B-c =" + detail::fixed_decimals(single(usable_width / 10.0), 2) +
           " cm.\n\n" + "al massimo si potrebbero inserire: N = " + most + "\n" +
           "cui corrisponde As =" + detail::fixed_decimals(arrangement_area(row_maximum, max_diameter), 1) +
           "mmq   < " + detail::fixed_decimals(required, 1) + " mmq";
}

// The first table entry within the limits that reaches the area.
const component::BarArrangement* search_table(float required, float usable_width, const component::BarLimits& limits) {
    // Row maxima of the table diameters within the limits, indexed by diameter.
    std::array<std::int16_t, component::kLargestDiameter + 1> row_maximum{};
    for (std::int16_t d : component::bar_table_diameters()) {
        if (d >= limits.min_diameter && d <= limits.max_diameter)
            row_maximum[d] = component::bars_in_usable_width(usable_width, d);
    }
    for (const component::BarArrangement& e : component::bar_table()) {
        const bool eligible = e.count >= limits.min_count && e.count <= row_maximum[e.diameter] &&
                              e.diameter >= limits.min_diameter && e.diameter <= limits.max_diameter;
        if (eligible && e.rounded_area >= required) return &e;
    }
    return nullptr;
}

// Diameter after d in the computed search.
std::int32_t next_diameter(std::int32_t d) { return d == 5 ? 6 : d + 2; }

}  // namespace

std::string clsGenVerSez::EstraiFerriMin(float AreaFerri, float Butile, std::int16_t minNfer, std::int16_t minDfer,
                                         std::int16_t maxDFer, bool& Procedi, std::string& msg) const {
    return detail::public_call([&] {
        const component::BarArrangement& last = component::largest_arrangement();
        if (!(last.rounded_area >= AreaFerri)) {
            Procedi = false;
            msg = above_table_message(AreaFerri, last);
            return std::string();
        }

        const component::BarLimits limits{minDfer, maxDFer, minNfer};
        if (const component::BarArrangement* hit = search_table(AreaFerri, Butile, limits)) {
            Procedi = true;
            return component::arrangement_text(hit->count, hit->diameter);
        }

        // Computed search: counts minNfer up to the row maximum of each diameter,
        // diameters from minDfer up to, not including, maxDFer. For a diameter
        // the area grows with the count, so the largest count tried decides
        // whether any count of it reaches the requirement.
        std::int32_t row_maximum = 0;
        std::int32_t d = minDfer;  // tried even when it is not below maxDFer
        do {
            row_maximum = component::bars_in_usable_width(Butile, d);
            const std::int32_t largest = std::max<std::int32_t>(minNfer, row_maximum);
            if (arrangement_area(largest, d) >= AreaFerri) {
                std::int32_t n = minNfer;
                while (arrangement_area(n, d) < AreaFerri) ++n;
                Procedi = true;
                return component::arrangement_text(n, d);
            }
            d = next_diameter(d);
        } while (d < maxDFer);
        Procedi = false;
        msg = nothing_fits_message(AreaFerri, Butile, maxDFer, row_maximum);
        return std::string();
    });
}

}  // namespace ferrolit
