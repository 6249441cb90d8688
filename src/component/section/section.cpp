#include "ferrolit/section.hpp"

#include "core/numeric.hpp"

namespace ferrolit::component {

using detail::single;

Section::~Section() = default;

void Section::dFerriMassimo(std::int16_t value) { dFerriMassimo_ = value > 30 ? std::int16_t{30} : value; }

void Section::Altezza(float value) {
    detail::public_call([&] {
        Altezza_ = value;
        if (Copriferro_Inf_ != 0) H_Utile(single(double{value} - Copriferro_Inf_));
    });
}

void Section::Copriferro_Inf(float value) {
    detail::public_call([&] {
        Copriferro_Inf_ = value;
        if (Altezza_ != 0) H_Utile(single(double{Altezza_} - value));
    });
}

void Section::fStaffe(float value) {
    detail::public_call([&] { fStaffe_ = detail::to_int16(value); });
}

// The interface passes Dir by value.
float Section::Ved(std::string Dir) const {  // NOLINT(performance-unnecessary-value-param)
    if (Dir == "Y") return Taglio_y();
    if (Dir == "Z") return Taglio_z();
    return 0;
}

}  // namespace ferrolit::component
