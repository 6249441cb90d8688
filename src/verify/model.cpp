#include "verify/model.hpp"

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

// The engine's layer of a layer in use: its text, or for an area given
// alone as many bars as the least count (their positions; areas follow).
fa::Layer engine_layer(const LayerUse& use, const LayerInput& input, int least_count) {
    if (!use.present) return {"", input.cover, std::nullopt};
    if (use.bars) return {*use.bars, input.cover, std::nullopt};
    if (use.area.value_or(0) <= 0) return {"", input.cover, std::nullopt};
    return {std::to_string(least_count) + "f1", input.cover, std::nullopt};
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
    if (in.shape.kind != ShapeKind::Polygon)
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
    if (in.shape.kind == ShapeKind::Polygon) {
        shape = in.shape.polygon;
    } else {
        const fa::Profile profile = profile_of(in.shape.kind);
        const fa::Dimensions& d = in.shape.dimensions;
        shape = fa::profile_shape(profile, d);
        const int least = std::max(1, in.limits.min_count);
        fa::Reinforcement layers;
        fa::Layer* engine[4] = {&layers.bottom, &layers.top, &layers.left, &layers.right};
        for (int i = 0; i < 4; ++i) *engine[i] = engine_layer(r.layers[i], in.*layer_of(i), least);
        const std::vector<fa::Bar> placed = fa::place_bars(profile, d, layers);
        std::size_t next = 0;
        for (int i = 0; i < 4; ++i) {
            const LayerUse& use = r.layers[i];
            const std::vector<double> diameters = fa::layer_diameters(engine[i]->bars);
            const bool by_area = use.present && !use.bars && use.area.value_or(0) > 0;
            const double each = by_area ? *use.area / static_cast<double>(diameters.size()) : 0;
            double area = 0;
            for (double dia : diameters) {
                const fa::Bar& b = placed[next++];
                PlacedBar p{b.y, b.z, dia, b.area, kLayerNames[i]};
                if (by_area) p.area = each, p.diameter = std::sqrt(4 * each / std::numbers::pi);
                area += p.area;
                bars.push_back(p);
            }
            if (!use.present) continue;
            if (by_area)
                warnings.push_back(std::string(kLayerNames[i]) +
                                   " data come sola area: " + std::to_string(diameters.size()) +
                                   " barre uguali di diametro equivalente " + format::decimal(bars.back().diameter, 1) +
                                   " mm; indicarne la stringa (per esempio 3f20)");
            records.push_back({kLayerNames[i], use.bars.value_or(""), use.area && !use.bars ? *use.area : area,
                               engine[i]->cover, use.origin});
        }
    }
    for (const PointBar& b : in.bars)
        bars.push_back({b.y, b.z, b.diameter, std::numbers::pi * b.diameter * b.diameter / 4, "barre"});
    std::vector<bool> real_diameter(bars.size(), true);
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (int k = 0; k < 4; ++k)
            if (bars[i].layer == kLayerNames[k] && !r.layers[k].bars) real_diameter[i] = false;
    refuse_overlapping_bars(bars, real_diameter);
    std::vector<fa::Bar> engine_bars;
    for (const PlacedBar& b : bars) engine_bars.push_back({b.y, b.z, b.area});
    Model m = [&] {
        try {
            return Model{fa::Section(std::move(shape), std::move(engine_bars), in.concrete, in.steel), {}, {}, {}};
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
