// The width of a T section: its bands from each edge, and bX, which reads them.

#include "component/section/shape.hpp"
#include "component/section/width_bands.hpp"
#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit {

component::WidthBands component::tee_width(const Section& s, TipoBordo edge) {
    const float web = SectionAccess::web_width(s), flange = SectionAccess::flange_thickness(s);
    WidthBands w;
    switch (edge) {
        case TipoBordo::Superiore:
            w.hi = flange;
            w.inner = s.Base();
            w.outer = web;
            break;
        case TipoBordo::Inferiore:
            w.hi = double{s.Altezza()} - flange;
            w.inner = web;
            w.outer = s.Base();
            break;
        case TipoBordo::Sinistro:
        case TipoBordo::Destro:
            // The web spans from lo to hi across the flange, measured from either side.
            w.lo = detail::single((double{s.Base()} - web) / 2);
            w.hi = detail::single((double{s.Base()} + web) / 2);
            w.inner = s.Altezza();
            w.outer = flange;
            break;
    }
    return w;
}

float clsSezT::bX(TipoBordo Bordo, float X) const {
    return detail::public_call([&] { return component::tee_width(*this, Bordo).at(X); });
}

}  // namespace ferrolit
