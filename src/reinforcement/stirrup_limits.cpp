#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit {

float Section::Astaffa() const {
    return detail::checked([&] {
        const double diameter = fStaffe();
        return detail::single(diameter * diameter * double{PiGreco} / 4 * nBracciaStaffe());
    });
}

}  // namespace ferrolit
