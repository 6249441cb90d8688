// Code limits of the longitudinal reinforcement: bars in one row, minimum and
// maximum area, reinforcement ratios. One implementation for both section
// kinds; what differs for the T comes from section/shape.hpp.

#include <cmath>

#include "component/reinforcement/bars_per_row.hpp"
#include "component/section/shape.hpp"
#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

using detail::single;

namespace {

// The larger of two candidates, each rounded to single precision first; on a
// tie the first one stays.
float larger_of(double first, double second) {
    const float a = single(first);
    const float b = single(second);
    return b > a ? b : a;
}

// Ratio of a layer area to the gross area; 0 unless Base and Altezza are
// positive.
float layer_ratio(const Section& s, float layer_area) {
    if (!(s.Base() > 0 && s.Altezza() > 0)) return 0;
    return detail::checked([&] { return single(layer_area / component::gross_area(s)); });
}

}  // namespace

std::int16_t Section::NFerriMassimo(PosizioneFerri PosFer, std::int16_t dFer) const {
    return detail::public_call([&] { return component::bars_in_layer_row(*this, PosFer, dFer); });
}

float Section::AsMin() const {
    return detail::public_call([&] {
        const double b = component::rule_width(*this);
        return detail::checked([&] {
            if (component::is_column(*this)) return larger_of(0.1 * Ned_x() / fyd(), 0.003 * b * Altezza());
            const double d = H_Utile();
            return larger_of(0.26 * fctm() * b * d / fyk(), 0.0013 * b * d);
        });
    });
}

float Section::AsMax() const {
    return detail::public_call(
        [&] { return detail::checked([&] { return single(0.04 * component::gross_area(*this)); }); });
}

float Section::percMinAs() const {
    return detail::public_call([&] { return detail::checked([&] { return single(1.4 / fyk()); }); });
}

// A positive moment compresses the top layer; zero counts as hogging.
float Section::percA1s() const {
    return detail::public_call([&] { return layer_ratio(*this, Med_y() > 0 ? As_sup() : As_inf()); });
}

float Section::percAs() const {
    return detail::public_call([&] { return layer_ratio(*this, Med_y() > 0 ? As_inf() : As_sup()); });
}

float Section::percMaxAs() const {
    return detail::public_call([&] {
        // The tension term comes first: with fyk = 0 its division by zero is
        // the fault reported, whatever the compressed layer's ratio would raise.
        const double tension = detail::checked([&] { return 3.5 / fyk(); });
        const double compressed = percA1s();
        return detail::checked([&] { return single(tension + compressed); });
    });
}

}  // namespace ferrolit::component
