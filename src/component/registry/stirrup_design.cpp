// ImpostaStaffeNorm: brings the stirrups of the current section within the
// code limits, then closes the spacing and thickens the stirrups until their
// area per metre reaches the code minimum.

#include "core/numeric.hpp"
#include "core/platform.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

using component::Section;

namespace {

struct StirrupLimits {
    float min_diameter;
    float min_spacing;
    float max_spacing;
};

// The section's limits, with defective ones replaced by usable values.
StirrupLimits stirrup_limits(const Section& s) {
    StirrupLimits limits{s.fStaffeMinNorm(), s.passoStaffeMinNorm(), s.passoStaffeMaxNorm()};
    if (limits.min_diameter < 6) limits.min_diameter = 6;
    if (limits.min_spacing <= 0) limits.min_spacing = 100;
    if (limits.max_spacing <= 0) limits.max_spacing = 333;
    return limits;
}

constexpr float kLargestDiameter = 30;

// One step towards more stirrup area: the spacing first, 1 mm at a time down
// to the least spacing, then the diameter, 2 mm at a time up to 30 mm.
// Returns false when neither can move.
bool strengthen(Section& s, const StirrupLimits& limits) {
    const float spacing = s.passoStaffe();
    // A zero spacing would read as the largest one again and restart the
    // walk, so the spacing never steps onto 0.
    if (spacing > limits.min_spacing && spacing != 1) {
        s.passoStaffe(detail::single(double{spacing} - 1));
        return true;
    }
    const float diameter = s.fStaffe();
    if (diameter < kLargestDiameter) {
        s.fStaffe(detail::single(double{diameter} + 2));
        return true;
    }
    return false;
}

}  // namespace

void clsGenVerSez::ImpostaStaffeNorm() {
    detail::public_call([&] {
        const std::shared_ptr<Section> held = current_section();
        Section& section = *held;
        const StirrupLimits limits = stirrup_limits(section);

        // Compared with the values as read, in this order: with crossed limits
        // both spacing corrections apply and the largest spacing wins.
        const float diameter = section.fStaffe();
        const float spacing = section.passoStaffe();
        if (diameter < limits.min_diameter) section.fStaffe(limits.min_diameter);
        if (spacing < limits.min_spacing) section.passoStaffe(limits.min_spacing);
        if (spacing > limits.max_spacing) section.passoStaffe(limits.max_spacing);

        while (section.Astaffe_ml() < section.AstaffeMin()) {
            if (!strengthen(section, limits)) {
                detail::alert_beep();
                break;
            }
        }
    });
}

}  // namespace ferrolit
