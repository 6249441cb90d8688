#pragma once

// The component's choice of a section's missing bar layers and stirrups by
// the code minimum (ImpostaFerriNorm, ImpostaStaffeNorm), behind one
// function of plain values: it builds a registry of its own (so calls on
// different threads share nothing), writes the section and its materials,
// keeps the component's message box on this thread and reads back what was
// chosen. The component computes in single precision, as it always has.

#include <optional>
#include <string>
#include <vector>

#include "ferrolit/enums.hpp"

namespace ferrolit::component {

// A section as CreaSezRett / CreaSezT and CreaMateriale_Sezione take it (mm, MPa, kN).
struct CodeMinimumSection {
    bool column = false;  // "Pilastro" rather than "Trave"
    std::string description;
    bool tee = false;  // CreaSezT: BaseInf is the web, SpessoreT the flange
    double Base = 0, BaseInf = 0, Altezza = 0, SpessoreT = 0;
    double Copriferro_Inf = 0, Copriferro_Sup = 0;
    double Ned_x = 0;  // the largest ultimate compression (the columns' minimum depends on it)
    int NFerriMinimo = 2, dFerriMinimo = 12, dFerriMassimo = 30;
    std::string ClasseCls;
    double Rck = 0, fck = 0, gammaC = 0, alfaCC = 0, fcm = 0, fctm = 0, fctk05 = 0, fctk95 = 0, Ec = 0, eps_c2 = 0,
           eps_cu = 0, fcd = 0, fctd = 0;
    std::string ClasseAcciaio;
    double fyk = 0, gammaS = 0, Es = 0, fyd = 0, eps_yd = 0, eps_ud = 0;
};

// A layer by the component's position: given (a bar text, written with "f"
// or "ø", an area in mm², or both) or to be chosen.
struct CodeMinimumLayer {
    PosizioneFerri position = PosizioneFerri::As_inf;
    std::optional<std::string> bars;
    std::optional<double> area;
    bool choose = false;
};

struct CodeMinimumStirrups {
    double diameter = 0;  // mm
    int legs = 0;
    double spacing = 0;          // mm
    bool below_minimum = false;  // the strongest allowed do not reach the minimum (the component beeped)
};

struct CodeMinimumChoice {
    // The chosen bar text of each layer asked for, in the order of the
    // request (empty for a given layer and after an unmet one).
    std::vector<std::string> bars;
    // The first layer no arrangement fits, with its minimum area (mm²) and
    // how many bars of dFerriMassimo fit in its row; nothing is chosen after it.
    std::optional<PosizioneFerri> unmet;
    double as_min = 0;
    int most_bars = 0;
    std::optional<CodeMinimumStirrups> stirrups;  // asked for: chosen
};

// Chooses the layers marked `choose` and, with `stirrups`, the stirrups.
// ferrolit::Error for a section the component refuses.
CodeMinimumChoice choose_code_minimum(const CodeMinimumSection& section, const std::vector<CodeMinimumLayer>& layers,
                                      bool stirrups);

}  // namespace ferrolit::component
