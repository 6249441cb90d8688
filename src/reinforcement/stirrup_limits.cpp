// Code limits of the stirrups and the stirrup area provided.

#include "core/numeric.hpp"
#include "ferrolit/section.hpp"
#include "ferrolit/strings.hpp"
#include "section/shape.hpp"

namespace ferrolit {

using detail::single;

namespace {

// The constant, replaced by the candidate (rounded to single precision) only
// when the candidate is smaller.
float capped(float constant, double candidate) {
    const float c = single(candidate);
    return c < constant ? c : constant;
}

}  // namespace

float Section::fStaffeMinNorm() const { return 6; }

float Section::passoStaffeMinNorm() const {
    detail::FpFaultScope faults;
    const float start = detail::is_column(*this) ? single(double{largest_bar_diameter(stringaAs_inf())} / 4) : 10.0f;
    faults.check();
    // Never closer than the stirrup diameter itself.
    return fStaffe() > start ? fStaffe() : start;
}

float Section::passoStaffeMaxNorm() const {
    detail::FpFaultScope faults;
    const float result = detail::is_column(*this) ? capped(250, 12.0 * smallest_bar_diameter(stringaAs_inf()))
                                          : capped(333, 0.8 * H_Utile());
    faults.check();
    return result;
}

float Section::AstaffeMin() const {
    if (detail::is_column(*this)) return 0;
    detail::FpFaultScope faults;
    const float result = single(1.5 * detail::rule_width(*this));
    faults.check();
    return result;
}

float Section::Astaffa() const {
    return detail::checked([&] {
        const double diameter = fStaffe();
        return detail::single(diameter * diameter * double{PiGreco} / 4 * nBracciaStaffe());
    });
}

float Section::Astaffe_ml() {
    // A zero spacing means the largest one; the section keeps it.
    if (passoStaffe() == 0) passoStaffe(333);
    const double one_set = Astaffa();
    detail::FpFaultScope faults;
    const float result = single(one_set * 1000 / passoStaffe());
    faults.check();
    return result;
}

}  // namespace ferrolit
