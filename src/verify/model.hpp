#pragma once

// The section a verification works on: the reinforcement as used (given,
// chosen by the code minimum or by design) and the code engine's section
// built from it once, for all the combinations.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ferrolit/verify.hpp"

namespace ferrolit::verification {

// The four layers of a profile, in this order everywhere.
enum LayerIndex { kBottom, kTop, kLeft, kRight };
inline constexpr const char* kLayerNames[4] = {"As_inf", "As_sup", "As_supY", "As_infY"};
LayerInput VerificationInput::*layer_of(int index);

struct LayerUse {
    std::optional<std::string> bars;
    std::optional<double> area;
    Origin origin = Origin::Given;
    bool present = false;  // given, or chosen
};

struct Reinforcement {
    std::array<LayerUse, 4> layers;
    LayerUse circle;                        // Circle, Annulus: the bars on a circle
    std::optional<StirrupsInput> stirrups;  // empty: none
    Origin stirrups_origin = Origin::Given;
};

// A combination has Mz, or a side layer is given: the side layers count.
bool z_applies(const VerificationInput& in);

// The reinforcement the input gives; missing layers and stirrups are not present.
Reinforcement given_reinforcement(const VerificationInput& in);

// The layers and stirrups the input leaves out, chosen by the component's
// code-minimum procedures (ImpostaFerriNorm, ImpostaStaffeNorm) on a
// registry of its own.
void choose_by_code(const VerificationInput& in, Reinforcement& r, std::vector<std::string>& warnings);

// From a layer's face to the centre of a bar of diameter φ (mm): clear
// cover + stirrup diameter + φ/2 when the face has a clear cover, the
// component's cover to the centres otherwise (placement.cpp).
double centre_cover(const LayerInput& layer, double stirrup, double phi);

// The bars of a profile's four layers, each layer's diameters in placement
// order (ends first), for stirrups of the given diameter (0: none); areas
// are left to the caller.
std::vector<PlacedBar> place_layers(const VerificationInput& in, const std::array<std::vector<double>, 4>& diameters,
                                    double stirrup);

// Circular and annular sections (circle.cpp): the outline, a regular
// polygon of kCircleSides sides about the centre (D/2, D/2), and the bars of
// stringaAs_circ evenly on a circle, the first at the bottom, each centre at
// clear cover + stirrup diameter + φ/2 from the polygon's edges.
inline constexpr int kCircleSides = 192;
inline constexpr const char* kCircleLayerName = "As_circ";
analysis::Shape circular_shape(double diameter, double inner_diameter);
double circle_bar_radius(const VerificationInput& in, double stirrup, double phi);
std::vector<PlacedBar> place_circle(const VerificationInput& in, const std::vector<double>& diameters, double stirrup);

struct Model {
    analysis::Section section;
    std::vector<PlacedBar> bars;
    std::vector<LayerRecord> layers;
    std::optional<StirrupsRecord> stirrups;
};

// A bar named as the input gives it: "barre[3] (y …, z …, ø…)" for an explicit
// bar, "As_inf, barra 2 di 4 (…)" for a bar of a layer (bar_overlaps.cpp).
std::string bar_entry_name(const std::vector<PlacedBar>& bars, std::size_t i);

// Two bars whose circles overlap, or a bar listed twice, is an input error
// naming both (bar_overlaps.cpp); bars without a real diameter (a layer given
// by its area alone) are skipped.
void refuse_overlapping_bars(const std::vector<PlacedBar>& bars, const std::vector<bool>& real_diameter);

// A bar's circle must lie wholly in the concrete, outside every hole: an
// input error naming the bar otherwise (bars_in_concrete.cpp). Bars without
// a real diameter are held to their centre.
void refuse_bars_outside(const analysis::Shape& shape, const std::vector<PlacedBar>& bars,
                         const std::vector<bool>& real_diameter);

// "barre[3] (y …, z …, ø…)" for an explicit bar, "As_inf, barra 2 di 4 (…)" for a bar of a layer.
std::string bar_entry_name(const std::vector<PlacedBar>& bars, std::size_t i);

Model build_model(const VerificationInput& in, const Reinforcement& r, std::vector<std::string>& warnings);

}  // namespace ferrolit::verification
