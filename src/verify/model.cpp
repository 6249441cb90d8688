#include "verify/model.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ferrolit/format.hpp"

namespace ferrolit::verification {

namespace {

namespace fa = ferrolit::analysis;

fa::Profile profile_of(ShapeKind kind) {
    switch (kind) {
        case ShapeKind::Tee:
            return fa::Profile::Tee;
        case ShapeKind::InvertedTee:
            return fa::Profile::InvertedTee;
        case ShapeKind::Ell:
            return fa::Profile::Ell;
        default:
            return fa::Profile::Rectangle;
    }
}

// The diameters of a layer in use, ends first: its text's, or for an area
// given alone as many equal bars of the equivalent diameter as the least count.
std::vector<double> layer_bar_diameters(const LayerUse& use, int least_count) {
    if (!use.present) return {};
    if (use.bars) return fa::layer_diameters(*use.bars);
    if (use.area.value_or(0) <= 0) return {};
    const double each = *use.area / least_count;
    return std::vector<double>(static_cast<std::size_t>(least_count), std::sqrt(4 * each / std::numbers::pi));
}

// The engine names a bar it cannot take by its number; say which bar of the input it is.
std::string bar_named(const analysis::BarError& e, const std::vector<PlacedBar>& bars) {
    if (e.index() >= bars.size()) return e.what();
    const PlacedBar& b = bars[e.index()];
    return "barra " + std::to_string(e.index() + 1) + " (" + b.layer + ", y " + format::significant(b.y) + " mm, z " +
           format::significant(b.z) + " mm): " + e.problem();
}

}  // namespace

LayerInput VerificationInput::*layer_of(int index) {
    static LayerInput VerificationInput::*const layers[] = {&VerificationInput::bottom, &VerificationInput::top,
                                                            &VerificationInput::left, &VerificationInput::right};
    return layers[index];
}

bool z_applies(const VerificationInput& in) {
    if (in.left.given() || in.right.given()) return true;
    for (const Combination& c : in.combinations)
        if (c.Mz != 0) return true;
    return false;
}

Reinforcement given_reinforcement(const VerificationInput& in) {
    Reinforcement r;
    if (is_circular(in.shape.kind)) r.circle = {in.circle.bars, in.circle.area, Origin::Given, in.circle.given()};
    if (!is_outline_shape(in.shape.kind))
        for (int i = 0; i < 4; ++i) {
            const LayerInput& layer = in.*layer_of(i);
            r.layers[i] = {layer.bars, layer.area, Origin::Given, layer.given()};
        }
    r.stirrups = in.stirrups;
    if (r.stirrups && !(r.stirrups->diameter > 0 && r.stirrups->legs > 0)) r.stirrups.reset();
    return r;
}

Model build_model(const VerificationInput& in, const Reinforcement& r, std::vector<std::string>& warnings) {
    std::vector<PlacedBar> bars;
    std::vector<LayerRecord> records;
    fa::Shape shape;
    if (is_outline_shape(in.shape.kind)) {
        shape = in.shape.polygon;
        if (r.circle.present && r.circle.bars) {
            const double stirrup = r.stirrups ? r.stirrups->diameter : 0;
            const std::vector<double> dia = fa::layer_diameters(*r.circle.bars);
            bars = place_circle(in, dia, stirrup);
            double area = 0;
            for (PlacedBar& b : bars) area += b.area = std::numbers::pi * b.diameter * b.diameter / 4;
            const double phi = dia.empty() ? 0 : *std::max_element(dia.begin(), dia.end());
            const double centre = centre_cover(in.circle, stirrup, phi);
            records.push_back({kCircleLayerName, *r.circle.bars, area, centre,
                               in.circle.clear_cover.value_or(centre - phi / 2 - stirrup), r.circle.origin});
        }
    } else {
        shape = fa::profile_shape(profile_of(in.shape.kind), in.shape.dimensions);
        const int least = std::max(1, in.limits.min_count);
        const double stirrup = r.stirrups ? r.stirrups->diameter : 0;
        std::array<std::vector<double>, 4> diameters;
        for (int i = 0; i < 4; ++i) diameters[static_cast<std::size_t>(i)] = layer_bar_diameters(r.layers[i], least);
        bars = place_layers(in, diameters, stirrup);
        for (PlacedBar& b : bars) b.area = std::numbers::pi * b.diameter * b.diameter / 4;
        for (int i = 0; i < 4; ++i) {
            const LayerUse& use = r.layers[i];
            if (!use.present) continue;
            const std::vector<double>& dia = diameters[static_cast<std::size_t>(i)];
            const bool by_area = !use.bars && use.area.value_or(0) > 0;
            if (by_area)
                warnings.push_back(std::string(kLayerNames[i]) + " data come sola area: " + std::to_string(dia.size()) +
                                   " barre uguali di diametro equivalente " + format::decimal(dia.front(), 1) +
                                   " mm; indicarne la stringa (per esempio 3f20)");
            double area = 0;
            for (double d : dia) area += std::numbers::pi * d * d / 4;
            const LayerInput& layer = in.*layer_of(i);
            const double phi = dia.empty() ? 0 : *std::max_element(dia.begin(), dia.end());
            const double centre = centre_cover(layer, stirrup, phi);
            records.push_back({kLayerNames[i], use.bars.value_or(""), use.area && !use.bars ? *use.area : area, centre,
                               layer.clear_cover.value_or(centre - phi / 2 - stirrup), use.origin});
        }
    }
    for (const PointBar& b : in.bars)
        bars.push_back({b.y, b.z, b.diameter, std::numbers::pi * b.diameter * b.diameter / 4, "barre"});
    std::vector<bool> real_diameter(bars.size(), true);
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (int k = 0; k < 4; ++k)
            if (bars[i].layer == kLayerNames[k] && !r.layers[k].bars) real_diameter[i] = false;
    const fa::Shape concrete = [&] {
        try {
            return fa::normalised(shape);
        } catch (const Error& e) {
            throw Error(ErrorKind::InvalidOperation, std::string("sezione non calcolabile: ") + e.what());
        }
    }();
    refuse_bars_outside(concrete, bars, real_diameter);
    refuse_overlapping_bars(bars, real_diameter);
    std::vector<fa::Bar> engine_bars;
    for (const PlacedBar& b : bars) engine_bars.push_back({b.y, b.z, b.area});
    Model m = [&] {
        try {
            return Model{fa::Section(concrete, std::move(engine_bars), in.concrete, in.steel), {}, {}, {}};
        } catch (const analysis::BarError& e) {
            throw Error(ErrorKind::InvalidOperation, "sezione non calcolabile: " + bar_named(e, bars));
        } catch (const Error& e) {
            throw Error(ErrorKind::InvalidOperation, std::string("sezione non calcolabile: ") + e.what());
        }
    }();
    m.bars = std::move(bars);
    m.layers = std::move(records);
    if (r.stirrups) {
        const StirrupsInput& s = *r.stirrups;
        const double one_set = s.legs * std::numbers::pi * s.diameter * s.diameter / 4;
        m.stirrups = StirrupsRecord{s.diameter,       s.legs, s.spacing, in.stirrup_angle, one_set * 1000 / s.spacing,
                                    r.stirrups_origin};
    }
    return m;
}

}  // namespace ferrolit::verification
