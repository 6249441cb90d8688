// Shear resistances of a section at the ultimate limit state (kN): without
// shear reinforcement (Vrd_cls), of the stirrups (Vrsd) and of the concrete
// struts (Vrcd). They read the stored properties, write nothing, and raise a
// floating-point fault as an Error of its kind.

#include <cmath>
#include <string>

#include "component/section/shape.hpp"
#include "core/numeric.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

namespace {

using detail::single;

// Only the exact text "Z" is the plane of Med_y (shear Taglio_z along
// Altezza); every other text is the plane of Med_z, the section turned by a
// right angle.
bool in_plane_z(const std::string& direction) { return direction == "Z"; }

// Width, effective depth and longitudinal bars that one member reads in one
// plane. Lengths in mm, bars in mm².
struct ShearGeometry {
    double width;
    double depth;
    double bars;
};

// Effective depth across the section: the given outer dimension less the cover.
double depth_across(const Section& s, float outer) { return double{outer} - s.Copriferro_Inf(); }

// Vrd_cls. Plane Z: the web (Base of a rectangle, BaseInf of a T), H_Utile and
// the top and bottom layers. Other plane: Altezza of a rectangle but the
// flange thickness of a T as width, Base − cover as depth, the side layers.
ShearGeometry member_geometry(const Section& s, bool plane_z) {
    if (plane_z) return {component::rule_width(s), s.H_Utile(), double{s.As_sup()} + s.As_inf()};
    const float width = component::is_tee(s) ? component::SectionAccess::flange_thickness(s) : s.Altezza();
    return {width, depth_across(s, s.Base()), double{s.As_supY()} + s.As_infY()};
}

// Vrsd, both classes: H_Utile in plane Z, Base − cover otherwise.
double stirrup_depth(const Section& s, bool plane_z) {
    return plane_z ? double{s.H_Utile()} : depth_across(s, s.Base());
}

// Vrcd. Plane Z: the web and H_Utile. Other plane: Altezza as width and the
// web less the cover as depth (Base − cover for a rectangle, BaseInf − cover
// for a T).
ShearGeometry strut_geometry(const Section& s, bool plane_z) {
    if (plane_z) return {component::rule_width(s), s.H_Utile(), 0};
    return {s.Altezza(), depth_across(s, component::rule_width(s)), 0};
}

// An angle in degrees turned into radians in single precision.
double radians(float degrees) { return single(double{degrees} * PiGreco / 180); }

// Stirrup inclination alpha and strut inclination theta. With the
// single-precision pi, 180° has a tiny non-zero sine; 0° divides by zero.
struct Inclinations {
    double sin_alpha;
    double cot_alpha;
    double cot_theta;
};

Inclinations inclinations(const Section& s) {
    const double alpha = radians(s.AlfaStaffe());
    const double theta = radians(s.tetaBielle());
    return {std::sin(alpha), std::cos(alpha) / std::sin(alpha), std::cos(theta) / std::sin(theta)};
}

bool has_no_section(const Section& s) { return s.Base() <= 0 || s.Altezza() <= 0; }

// Coefficient alpha_c of the axial stress sigma_cp on the struts, bands tested
// in order with their bounds rounded to single precision. fcd enters a
// division only inside the two middle bands.
double strut_axial_coefficient(float axial_force, double sigma_cp, float fcd) {
    if (axial_force == 0) return 1;
    const float quarter = single(0.25 * fcd);
    const float half = single(0.5 * fcd);
    if (0 <= sigma_cp && sigma_cp < quarter) return 1 + sigma_cp / fcd;
    if (quarter <= sigma_cp && sigma_cp < half) return 1.25;
    if (half <= sigma_cp && sigma_cp < fcd) return 2.5 * (1 - sigma_cp / fcd);
    return 2.5;
}

// Runs the arithmetic of one resistance with the fault flags watched; a
// fault is raised as an Error of its kind, in kN otherwise.
template <class Computation>
float in_kilonewtons(Computation&& computation) {
    return detail::checked([&] { return single(computation() / 1000); });
}

double concrete_only_resistance(const Section& s, const ShearGeometry& g) {
    const double area = g.width * g.depth;
    double k = 1 + std::sqrt(200 / g.depth);
    if (k > 2) k = 2;
    const double v_min = 0.035 * std::pow(k, 1.5) * std::sqrt(double{s.fck()});
    const double rho = g.bars / area;    // no upper cap
    double sigma_cp = s.Ned_x() / area;  // no lower bound
    const float sigma_cap = single(0.2 * s.fcd());
    if (sigma_cap < sigma_cp) sigma_cp = sigma_cap;
    // pow, not cbrt: a negative base is an invalid operation, as it must be.
    const double v1 = 0.18 * k * std::pow(100 * rho * s.fck(), 1.0 / 3) / s.gammaC() * area;
    const double v2 = (0.15 * sigma_cp + v_min) * area;
    return v1 > v2 ? v1 : v2;
}

double stirrup_resistance(const Section& s, bool plane_z) {
    Inclinations angles = inclinations(s);
    // The cotangents come before the test of the spacing: forced here, so
    // that an angle of 0° divides by zero in every build, even when a zero
    // spacing leaves them unused.
    detail::settle(angles);
    if (s.passoStaffe() == 0) return 1e6;  // 1000 kN
    const double d = stirrup_depth(s, plane_z);
    const double stirrup_area = s.Astaffa();
    return 0.9 * d * stirrup_area / s.passoStaffe() * s.fyd() * (angles.cot_alpha + angles.cot_theta) *
           angles.sin_alpha;
}

double strut_resistance(const Section& s, bool plane_z) {
    const Inclinations angles = inclinations(s);
    // Mean axial stress on the web, the same in both planes and uncapped.
    // Forced: with Ned_x = 0 it goes unused, yet a web of no area makes it
    // 0/0, an invalid operation in every build.
    double sigma_cp = s.Ned_x() / (double{component::rule_width(s)} * s.Altezza());
    detail::settle(sigma_cp);
    const double alpha_c = strut_axial_coefficient(s.Ned_x(), sigma_cp, s.fcd());
    const ShearGeometry g = strut_geometry(s, plane_z);
    // 0.5·fcd: the reduced strength of cracked concrete.
    return 0.9 * g.depth * g.width * alpha_c * 0.5 * s.fcd() * (angles.cot_alpha + angles.cot_theta) /
           (1 + angles.cot_theta * angles.cot_theta);
}

}  // namespace

// The interface passes Direz by value.
float Section::Vrd_cls(std::string Direz) const {  // NOLINT(performance-unnecessary-value-param)
    return detail::public_call([&] {
        const ShearGeometry g = member_geometry(*this, in_plane_z(Direz));
        if (g.width <= 0 || g.depth <= 0) return 0.0f;
        return in_kilonewtons([&] { return concrete_only_resistance(*this, g); });
    });
}

float Section::Vrsd(const std::string& Direz) const {
    return detail::public_call([&] {
        if (has_no_section(*this)) return 0.0f;
        return in_kilonewtons([&] { return stirrup_resistance(*this, in_plane_z(Direz)); });
    });
}

float Section::Vrcd(const std::string& Direz) const {
    return detail::public_call([&] {
        if (has_no_section(*this)) return 0.0f;
        return in_kilonewtons([&] { return strut_resistance(*this, in_plane_z(Direz)); });
    });
}

}  // namespace ferrolit::component
