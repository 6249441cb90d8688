#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit {

float Section::Astaffa() const {
    detail::FpFaultScope faults;
    const double diameter = fStaffe();
    const float area = detail::single(diameter * diameter * double{PiGreco} / 4 * nBracciaStaffe());
    faults.check();
    return area;
}

}  // namespace ferrolit
