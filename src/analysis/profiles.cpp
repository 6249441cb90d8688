// Shapes and bars from the component's dimensions and layer texts.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

#include "analysis/errors.hpp"
#include "core/numeric.hpp"
#include "core/real_text.hpp"
#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis {

namespace {

bool positive(double v) { return std::isfinite(v) && v > 0; }

struct Group {
    int count;
    double diameter;
};

// "3f20+2f16": groups of count, marker (f, F, Ø, ø) and diameter; spaces allowed.
std::vector<Group> parse_groups(std::string_view text) {
    std::vector<Group> groups;
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t') compact += c;
    if (compact.empty()) return groups;
    const std::string bad = "armatura \"" + std::string(text) + "\": scrivere per esempio 3f20+2f16";
    std::size_t i = 0;
    while (true) {
        std::size_t j = i;
        while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) ++j;
        if (j == i || j - i > 4) detail::fail(bad);
        const int count = std::stoi(compact.substr(i, j - i));
        std::size_t marker = 0;
        if (compact.compare(j, 1, "f") == 0 || compact.compare(j, 1, "F") == 0)
            marker = 1;
        else if (compact.compare(j, 2, "\xC3\x98") == 0 || compact.compare(j, 2, "\xC3\xB8") == 0)
            marker = 2;
        if (marker == 0) detail::fail(bad);
        i = j + marker;
        j = i;
        while (j < compact.size() && (std::isdigit(static_cast<unsigned char>(compact[j])) || compact[j] == '.')) ++j;
        if (j == i || j - i > 8) detail::fail(bad);
        // read_real reads a point whatever the C locale of the host says.
        double diameter = 0;
        const auto [end, ec] = ferrolit::detail::read_real(compact.data() + i, compact.data() + j, diameter);
        if (ec != std::errc{} || end != compact.data() + j) detail::fail(bad);
        if (count < 1 || count > 1000 || !positive(diameter) || diameter > 100) detail::fail(bad);
        groups.push_back({count, diameter});
        if (j == compact.size()) return groups;
        if (compact[j] != '+') detail::fail(bad);
        i = j + 1;
    }
}

// Evenly spaced positions from a to b (the middle for one bar).
double spaced(double a, double b, std::size_t i, std::size_t n) {
    return n == 1 ? (a + b) / 2 : a + (b - a) * static_cast<double>(i) / static_cast<double>(n - 1);
}

// The y-range of the bottom and top faces and of the web.
struct Faces {
    double bottom_lo, bottom_hi, top_lo, top_hi, web_lo, web_hi;
};

Faces faces(Profile profile, const Dimensions& d) {
    const double b = d.Base, w = d.BaseInf;
    const double a = (b - w) / 2, c = (b + w) / 2;
    switch (profile) {
        case Profile::Tee:
            return {a, c, 0, b, a, c};
        case Profile::InvertedTee:
            return {0, b, a, c, a, c};
        case Profile::Ell:
            return {0, w, 0, b, 0, w};
        case Profile::Rectangle:
            break;
    }
    return {0, b, 0, b, 0, b};
}

void check_dimensions(Profile profile, const Dimensions& d) {
    detail::require(positive(d.Base), "sezione: Base deve essere un numero positivo");
    detail::require(positive(d.Altezza), "sezione: Altezza deve essere un numero positivo");
    if (profile == Profile::Rectangle) return;
    detail::require(positive(d.BaseInf) && d.BaseInf <= d.Base,
                    "sezione: BaseInf deve essere positiva e non maggiore di Base");
    detail::require(positive(d.SpessoreT) && d.SpessoreT <= d.Altezza,
                    "sezione: SpessoreT deve essere positivo e non maggiore di Altezza");
}

}  // namespace

Bar bar_of_diameter(double y, double z, double diameter) {
    return ferrolit::detail::public_call([&]() -> Bar {
        detail::require(positive(diameter), "barra: il diametro deve essere un numero positivo");
        return {y, z, std::numbers::pi * diameter * diameter / 4};
    });
}

Shape profile_shape(Profile profile, const Dimensions& d) {
    return ferrolit::detail::public_call([&]() -> Shape {
        check_dimensions(profile, d);
        const double b = d.Base, h = d.Altezza, w = d.BaseInf, t = d.SpessoreT;
        if (profile == Profile::Rectangle || w == b || t == h) return {{{0, 0}, {b, 0}, {b, h}, {0, h}}, {}};
        const double a = (b - w) / 2, c = (b + w) / 2;
        switch (profile) {
            case Profile::Tee:
                return {{{a, 0}, {c, 0}, {c, h - t}, {b, h - t}, {b, h}, {0, h}, {0, h - t}, {a, h - t}}, {}};
            case Profile::InvertedTee:
                return {{{0, 0}, {b, 0}, {b, t}, {c, t}, {c, h}, {a, h}, {a, t}, {0, t}}, {}};
            case Profile::Ell:
                return {{{0, 0}, {w, 0}, {w, h - t}, {b, h - t}, {b, h}, {0, h}}, {}};
            case Profile::Rectangle:
                break;
        }
        return {};
    });
}

std::vector<double> layer_diameters(std::string_view text) {
    return ferrolit::detail::public_call([&]() -> std::vector<double> {
        std::vector<Group> groups = parse_groups(text);
        std::stable_sort(groups.begin(), groups.end(),
                         [](const Group& x, const Group& y) { return x.diameter > y.diameter; });
        std::size_t n = 0;
        for (const Group& g : groups) n += static_cast<std::size_t>(g.count);
        // Pairs from the ends inwards, larger bars first; odd ones left for the middle.
        std::vector<double> slots(n);
        std::vector<double> odd;
        std::size_t lo = 0, hi = n;
        for (Group g : groups) {
            for (; g.count >= 2; g.count -= 2) slots[lo++] = slots[--hi] = g.diameter;
            if (g.count == 1) odd.push_back(g.diameter);
        }
        for (double dia : odd) slots[lo++] = dia;
        return slots;
    });
}

std::vector<Bar> place_bars(Profile profile, const Dimensions& d, const Reinforcement& r) {
    return ferrolit::detail::public_call([&]() -> std::vector<Bar> {
        check_dimensions(profile, d);
        for (const Layer* layer : {&r.bottom, &r.top, &r.left, &r.right}) {
            const bool ok = std::isfinite(layer->cover) && layer->cover >= 0 &&
                            (!layer->side_cover || (std::isfinite(*layer->side_cover) && *layer->side_cover >= 0));
            detail::require(ok, "armatura: i copriferri devono essere numeri non negativi");
        }
        const Faces f = faces(profile, d);
        std::vector<Bar> bars;
        auto horizontal = [&](const Layer& layer, double lo, double hi, double z) {
            const std::vector<double> dia = layer_diameters(layer.bars);
            const double side = layer.side_cover.value_or(layer.cover);
            for (std::size_t i = 0; i < dia.size(); ++i)
                bars.push_back(bar_of_diameter(spaced(lo + side, hi - side, i, dia.size()), z, dia[i]));
        };
        horizontal(r.bottom, f.bottom_lo, f.bottom_hi, r.bottom.cover);
        horizontal(r.top, f.top_lo, f.top_hi, d.Altezza - r.top.cover);
        // Side layers: strictly between the levels of the bottom and top layers.
        const double z0 = r.bottom.cover, z1 = d.Altezza - r.top.cover;
        auto vertical = [&](const Layer& layer, double y) {
            const std::vector<double> dia = layer_diameters(layer.bars);
            const double n = static_cast<double>(dia.size());
            for (std::size_t i = 0; i < dia.size(); ++i)
                bars.push_back(bar_of_diameter(y, z0 + static_cast<double>(i + 1) * (z1 - z0) / (n + 1), dia[i]));
        };
        vertical(r.left, f.web_lo + r.left.cover);
        vertical(r.right, f.web_hi - r.right.cover);
        return bars;
    });
}

}  // namespace ferrolit::analysis
