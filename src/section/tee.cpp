#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit {

float clsSezT::bX(TipoBordo Bordo, float X) const {
    const double flange = SpessoreT_;
    switch (Bordo) {
        case TipoBordo::Superiore:
            return X <= flange ? Base() : BaseInf_;
        case TipoBordo::Inferiore:
            return X <= double{Altezza()} - flange ? BaseInf_ : Base();
        case TipoBordo::Sinistro:
        case TipoBordo::Destro: {
            // The web spans from a to c across the flange, measured from either side.
            const float a = detail::single((double{Base()} - BaseInf_) / 2);
            const float c = detail::single((double{Base()} + BaseInf_) / 2);
            return (a <= X && X <= c) ? Altezza() : SpessoreT_;
        }
    }
    return 0;
}

}  // namespace ferrolit
