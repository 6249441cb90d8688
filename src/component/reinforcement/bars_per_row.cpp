#include "component/reinforcement/bars_per_row.hpp"

#include <cmath>

#include "component/section/shape.hpp"
#include "core/numeric.hpp"

namespace ferrolit::component {

namespace {

// Width available to one row of the layer.
double row_width(const Section& s, PosizioneFerri layer) {
    if (layer == PosizioneFerri::As_inf) return rule_width(s);
    if (layer == PosizioneFerri::As_sup) return s.Base();
    return s.Altezza();
}

}  // namespace

std::int16_t bars_in_layer_row(const Section& s, PosizioneFerri layer, std::int16_t diameter) {
    // 2·d in 16-bit arithmetic: beyond the range it is an overflow.
    const std::int16_t twice = detail::to_int16(2.0 * diameter);
    const double fitting =
        detail::checked([&] { return std::floor((row_width(s, layer) - 2.0 * s.Copriferro_Inf()) / twice); });
    return detail::to_int16(is_tee(s) ? fitting : fitting - 1);
}

std::int16_t bars_in_usable_width(float usable_width, std::int32_t diameter) {
    if (diameter == 0) throw Error(ErrorKind::DivisionByZero);
    return detail::to_int16(std::floor(detail::single(detail::single(usable_width / 2.0) / diameter)));
}

std::int16_t bars_across_base(const Section& s, std::int32_t diameter) {
    const float quotient = detail::checked([&] {
        const float clear_width = detail::single(double{s.Base()} - 2.0 * s.Copriferro_Inf());
        return detail::single(double{clear_width} / (2.0 * diameter));
    });
    return detail::to_int16(std::floor(quotient) - 1);
}

}  // namespace ferrolit::component
