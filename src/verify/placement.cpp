// Where the bars of a profile's layers lie. A face with a clear cover holds
// each bar against the stirrups: its centre at clear cover + stirrup diameter
// + φ/2 from the face (§4.1.6.1.3 measures the cover to the outermost
// steel). A face with the component's cover has every centre of the layer
// at that distance, as the component places them.
//
// Bottom and top layers are spread evenly between their end bars, held in
// the same way from the side faces of the width they belong to: the web,
// or for the flange's layer a given width of the flange. Side layers lie
// along the web's side faces, evenly spaced strictly between the corner
// bars of the bottom and top layers.

#include <algorithm>

#include "verify/model.hpp"

namespace ferrolit::verification {

namespace {

struct Span {
    double lo = 0, hi = 0;
};

// The flange's layer of a flanged profile: the top one, or the bottom one of an inverted T.
bool holds_flange(ShapeKind kind, int layer) {
    if (kind == ShapeKind::Rectangle) return false;
    return layer == (kind == ShapeKind::InvertedTee ? kBottom : kTop);
}

// The y-range of the web, and of the width a bottom or top layer is spread over.
Span web_of(const VerificationInput& in) {
    const analysis::Dimensions& d = in.shape.dimensions;
    switch (in.shape.kind) {
        case ShapeKind::Tee:
        case ShapeKind::InvertedTee:
            return {(d.Base - d.BaseInf) / 2, (d.Base + d.BaseInf) / 2};
        case ShapeKind::Ell:
            return {0, d.BaseInf};
        default:
            return {0, d.Base};
    }
}

Span width_of(const VerificationInput& in, int layer) {
    if (!holds_flange(in.shape.kind, layer) || !in.flange_bar_width) return web_of(in);
    const double w = *in.flange_bar_width, b = in.shape.dimensions.Base;
    if (in.shape.kind == ShapeKind::Ell) return {0, w};
    return {(b - w) / 2, (b + w) / 2};
}

// From a side face to the centre of a horizontal layer's end bar: the side's
// clear cover held like any face, or the component's rule (the layer's own
// cover to the centres, or the side's when the layer's face has a clear one).
double side_inset(const LayerInput& side, const LayerInput& layer, double stirrup, double phi) {
    if (side.clear_cover) return centre_cover(side, stirrup, phi);
    return layer.clear_cover ? side.cover : layer.cover;
}

double spaced(double a, double b, std::size_t i, std::size_t n) {
    return n == 1 ? (a + b) / 2 : a + (b - a) * static_cast<double>(i) / static_cast<double>(n - 1);
}

double largest(const std::vector<double>& diameters) {
    return diameters.empty() ? 0 : *std::max_element(diameters.begin(), diameters.end());
}

}  // namespace

double centre_cover(const LayerInput& layer, double stirrup, double phi) {
    return layer.clear_cover ? *layer.clear_cover + stirrup + phi / 2 : layer.cover;
}

std::vector<PlacedBar> place_layers(const VerificationInput& in, const std::array<std::vector<double>, 4>& diameters,
                                    double stirrup) {
    const double H = in.shape.dimensions.Altezza;
    std::vector<PlacedBar> bars;
    // The level of a bar of a horizontal layer.
    auto level = [&](int layer, double phi) {
        const double c = centre_cover(in.*layer_of(layer), stirrup, phi);
        return layer == kBottom ? c : H - c;
    };
    for (int layer : {kBottom, kTop}) {
        const std::vector<double>& dia = diameters[static_cast<std::size_t>(layer)];
        const Span s = width_of(in, layer);
        const LayerInput& own = in.*layer_of(layer);
        for (std::size_t i = 0; i < dia.size(); ++i) {
            const double first = s.lo + side_inset(in.left, own, stirrup, dia.front());
            const double last = s.hi - side_inset(in.right, own, stirrup, dia.back());
            bars.push_back({spaced(first, last, i, dia.size()), level(layer, dia[i]), dia[i], 0, kLayerNames[layer]});
        }
    }
    // The corner bars' level: the end bar of the layer, or where a bar of the side layer would lie.
    auto corner = [&](int layer, double side_phi) {
        const std::vector<double>& dia = diameters[static_cast<std::size_t>(layer)];
        return dia.empty() ? level(layer, side_phi) : level(layer, dia.front());
    };
    const Span web = web_of(in);
    for (int layer : {kLeft, kRight}) {
        const std::vector<double>& dia = diameters[static_cast<std::size_t>(layer)];
        const double z0 = corner(kBottom, largest(dia)), z1 = corner(kTop, largest(dia));
        const double n = static_cast<double>(dia.size());
        for (std::size_t i = 0; i < dia.size(); ++i) {
            const double c = centre_cover(in.*layer_of(layer), stirrup, dia[i]);
            const double y = layer == kLeft ? web.lo + c : web.hi - c;
            bars.push_back({y, z0 + static_cast<double>(i + 1) * (z1 - z0) / (n + 1), dia[i], 0, kLayerNames[layer]});
        }
    }
    return bars;
}

}  // namespace ferrolit::verification
