// The section reduced to what the sweep reads: resolution, orientation by
// the sign of the design moment, effective depth, reference level, lever
// arms and widths of the strips.

#include <cmath>

#include "component/section/shape.hpp"
#include "component/section/width_bands.hpp"
#include "component/uls/domain_setup.hpp"
#include "core/numeric.hpp"

namespace ferrolit::component {

using detail::single;

namespace {

// A step or strip that is not greater than 0 (NaN included) is taken as 1 mm.
float resolution(float value) { return std::isgreater(value, 0.0f) ? value : 1.0f; }

// Which edge is compressed and which layer is on each side.
struct Orientation {
    float H, B;              // depth and (rectangle) width
    float As_c, As_t;        // compression-side and tension-side layers
    float cover_c, cover_t;  // their covers
    TipoBordo edge;          // compressed edge
};

Orientation orient(const Section& s, bool direction_y) {
    // Only a moment strictly below 0 turns the section over (NaN does not).
    if (direction_y) {
        if (!std::isless(s.Med_y(), 0.0f))
            return {s.Altezza(),        s.Base(),           s.As_sup(),          s.As_inf(),
                    s.Copriferro_Sup(), s.Copriferro_Inf(), TipoBordo::Superiore};
        return {s.Altezza(),        s.Base(),           s.As_inf(),          s.As_sup(),
                s.Copriferro_Inf(), s.Copriferro_Sup(), TipoBordo::Inferiore};
    }
    if (!std::isless(s.Med_z(), 0.0f))
        return {s.Base(),           s.Altezza(),        s.As_supY(),        s.As_infY(),
                s.Copriferro_Sup(), s.Copriferro_Inf(), TipoBordo::Sinistro};
    return {s.Base(), s.Altezza(), s.As_infY(), s.As_supY(), s.Copriferro_Inf(), s.Copriferro_Sup(), TipoBordo::Destro};
}

}  // namespace

namespace {

// Depths below the compressed edge of the centroids of flange and web.
struct TeeLevels {
    float flange, web;
};

TeeLevels tee_levels(const Section& s, TipoBordo edge, float flange) {
    const double H = s.Altezza(), t = flange;
    switch (edge) {
        case TipoBordo::Superiore:
            return {single(t / 2), single((H - t) / 2 + t)};
        case TipoBordo::Inferiore:
            return {single(H - t / 2), single((H - t) / 2)};
        default:
            break;
    }
    const float half = single(double{s.Base()} / 2);
    return {half, half};
}

void fill_materials(const Section& sec, component::SweepSetup& s) {
    s.fcd = sec.fcd();
    s.fyd = sec.fyd();
    s.Es = sec.Es();
    s.eps_cu = sec.eps_cu();
    s.eps_yd = sec.eps_yd();
    s.eps_ud = sec.eps_ud();
}

}  // namespace

TeeAreas tee_areas(const Section& s) {
    const float t = component::SectionAccess::flange_thickness(s);
    return {single(double{s.Base()} * t), single((double{s.Altezza()} - t) * component::SectionAccess::web_width(s))};
}

SweepSetup domain_setup(const Section& sec, bool direction_y) {
    const Orientation o = orient(sec, direction_y);
    SweepSetup s;
    s.step = resolution(sec.DeltaN());
    s.strip = resolution(sec.DeltaX());
    fill_materials(sec, s);
    s.H = o.H;
    s.cover_c = o.cover_c;
    s.As_c = o.As_c;
    s.As_t = o.As_t;
    s.d = single(double{o.H} - o.cover_t);
    if (is_tee(sec)) {
        const TeeAreas a = tee_areas(sec);
        const TeeLevels lv = tee_levels(sec, o.edge, SectionAccess::flange_thickness(sec));
        s.yG = single((double{lv.web} * a.web + double{lv.flange} * a.flange) / (double{a.web} + a.flange));
        s.width = tee_width(sec, o.edge);
    } else {
        s.yG = single(double{o.H} / 2);
        s.width.inner = s.width.outer = o.B;
    }
    s.arm_c = single(double{s.yG} - o.cover_c);
    s.arm_t = single((double{o.H} - s.yG) - o.cover_t);
    return s;
}

}  // namespace ferrolit::component
