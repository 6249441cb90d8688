// aumentaFerri: moves a bar layer of the current section one step up the bar
// table, to the first arrangement within the limits whose area is above the
// layer's current area.

#include <cmath>

#include "component/registry/layer_design.hpp"
#include "component/reinforcement/bar_table.hpp"
#include "component/reinforcement/bar_text.hpp"
#include "component/reinforcement/bars_per_row.hpp"
#include "core/message_numbers.hpp"
#include "core/numeric.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

using component::Section;

namespace {

// The candidate the walk has reached; none until it finds one, when the
// failure names the layer's current text, diameter 0 and row maximum 0.
struct Step {
    const component::BarArrangement* entry = nullptr;
    std::int16_t row_maximum = 0;

    std::int32_t count() const { return entry != nullptr ? entry->count : 0; }
    std::int32_t diameter() const { return entry != nullptr ? entry->diameter : 0; }
    float area() const { return entry != nullptr ? entry->rounded_area : 0.0f; }
};

std::string candidate_text(const Step& step, const std::string& current_text) {
    return step.entry != nullptr ? component::arrangement_text(step.count(), step.diameter()) : current_text;
}

std::string increase_failure(const Section& s, const Step& step, const std::string& text) {
    std::string message = "Impossibile Procedere.\n\n" + s.TipoSezione() + ":  " + s.DescrSezione() + "\n" +
                          component::dimension_lines(s, "Base:     ");
    if (step.count() < step.row_maximum) {
        return message + component::below_minimum_ending(s.AsMin(), text, step.area());
    }
    return message + component::too_many_bars_ending(text) + "\n\n" + "Per (f=fmax=" + detail::digits(step.diameter()) +
           "mm.), il N° massimo di Ferri su una Fila è pari a" + detail::plain_number(step.row_maximum) + "\n";
}

}  // namespace

void clsGenVerSez::aumentaFerri(PosizioneFerri PosFer, bool& Procedi, std::string& msg) {
    detail::public_call([&] {
        const std::shared_ptr<Section> held = current_section();
        Section& section = *held;
        Procedi = true;

        const float current_area = component::layer_area(section, PosFer);
        const component::BarLimits limits{section.dFerriMinimo(), section.dFerriMassimo(), section.NFerriMinimo()};
        const auto table = component::bar_table();

        Step step;
        for (std::size_t scan = 0;;) {
            const std::size_t found = component::next_eligible(scan, limits);
            if (found == component::kBarTableSize) break;  // the table is exhausted
            scan = found + 1;
            step.entry = &table[found];
            step.row_maximum = component::bars_across_base(section, step.diameter());
            // Too many bars for one row is acceptable only below the largest diameter.
            if (step.count() > step.row_maximum && step.diameter() >= limits.max_diameter) break;
            if (step.area() > current_area) {
                component::write_layer(section, PosFer, step.area(), candidate_text(step, {}));
                return;
            }
        }
        Procedi = false;
        msg = increase_failure(section, step, candidate_text(step, component::layer_text(section, PosFer)));
        component::show_design_failure(section, msg);
    });
}

}  // namespace ferrolit
