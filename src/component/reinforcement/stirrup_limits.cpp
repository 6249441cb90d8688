// Code limits of the stirrups and the stirrup area provided.

#include "component/section/shape.hpp"
#include "core/numeric.hpp"
#include "ferrolit/bar_strings.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

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
    return detail::public_call([&] {
        const float start =
            component::is_column(*this)
                ? detail::checked([&] { return single(double{largest_bar_diameter(stringaAs_inf())} / 4); })
                : 10.0f;
        // Never closer than the stirrup diameter itself.
        return fStaffe() > start ? fStaffe() : start;
    });
}

float Section::passoStaffeMaxNorm() const {
    return detail::public_call([&] {
        return detail::checked([&] {
            return component::is_column(*this) ? capped(250, 12.0 * smallest_bar_diameter(stringaAs_inf()))
                                               : capped(333, 0.8 * H_Utile());
        });
    });
}

float Section::AstaffeMin() const {
    return detail::public_call([&] {
        if (component::is_column(*this)) return 0.0f;
        return detail::checked([&] { return single(1.5 * component::rule_width(*this)); });
    });
}

float Section::Astaffa() const {
    return detail::public_call([&] {
        return detail::checked([&] {
            const double diameter = fStaffe();
            return detail::single(diameter * diameter * double{PiGreco} / 4 * nBracciaStaffe());
        });
    });
}

float Section::Astaffe_ml() {
    return detail::public_call([&] {
        // A zero spacing means the largest one; the section keeps it.
        if (passoStaffe() == 0) passoStaffe(333);
        const double one_set = Astaffa();
        return detail::checked([&] { return single(one_set * 1000 / passoStaffe()); });
    });
}

}  // namespace ferrolit::component
