// ImpostaFerriNorm: sets a bar layer of the current section to the code
// minimum, walking the bar table upward and checking every arrangement it
// passes against the bars that fit in one row.

#include "component/registry/layer_design.hpp"
#include "component/reinforcement/bar_table.hpp"
#include "component/reinforcement/bar_text.hpp"
#include "core/message_numbers.hpp"
#include "core/numeric.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

using component::Section;

void clsGenVerSez::ImpostaFerriNorm(PosizioneFerri PosFer, bool& Procedi, std::string& msg) {
    detail::public_call([&] {
        const std::shared_ptr<Section> held = current_section();
        Section& section = *held;
        Procedi = true;

        const float as_min = section.AsMin();
        const component::BarLimits limits{section.dFerriMinimo(), section.dFerriMassimo(), section.NFerriMinimo()};
        const auto table = component::bar_table();

        const component::BarArrangement* candidate = nullptr;
        std::size_t scan = 0;
        float area = 0;
        std::int16_t row_maximum = 0;
        while (area < as_min) {
            const std::size_t found = component::next_eligible(scan, limits);
            const bool exhausted = found == component::kBarTableSize;
            if (!exhausted) {
                candidate = &table[found];
                area = candidate->rounded_area;
                scan = found + 1;
            }
            if (candidate != nullptr) row_maximum = section.NFerriMassimo(PosFer, candidate->diameter);
            const std::int32_t count = candidate != nullptr ? candidate->count : 0;
            if (exhausted || count > row_maximum) {
                // With no candidate at all, the failure names the last table entry.
                const component::BarArrangement& named =
                    candidate != nullptr ? *candidate : component::largest_arrangement();
                const std::string text =
                    component::arrangement_text(named.count, named.diameter, candidate != nullptr ? "f" : "ø");
                msg = "Impossibile Procedere.\n\n" + section.DescrSezione() + "\n" +
                      component::dimension_lines(section, "Base:    ") +
                      (count < row_maximum ? component::below_minimum_ending(as_min, text, area)
                                           : component::too_many_bars_ending(text));
                Procedi = false;
                component::show_design_failure(section, msg);
                return;
            }
        }
        component::write_layer(
            section, PosFer, area,
            candidate != nullptr ? component::arrangement_text(candidate->count, candidate->diameter) : std::string());
    });
}

}  // namespace ferrolit
