#pragma once

// What the procedures that choose the bars of a layer share: reading and
// writing a layer, and the pieces of their failure messages.

#include <string>

#include "ferrolit/enums.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::component {

// Area and text of the layer; 0 and "" for a value outside 1..4.
float layer_area(const Section& s, PosizioneFerri layer);
std::string layer_text(const Section& s, PosizioneFerri layer);

// Writes area, then text, into the layer; nothing for a value outside 1..4.
void write_layer(Section& s, PosizioneFerri layer, float area, const std::string& text);

// "Base:<blanks>B = 0.30 m." LF "Altezza: H = 0.50 m." LF; `base_label` is
// "Base:" with its blanks.
std::string dimension_lines(const Section& s, const char* base_label);

// The ending of a failure where the table ran out below the row maximum.
std::string below_minimum_ending(float as_min, const std::string& text, float area);

// The start of the ending of a failure at too many bars.
std::string too_many_bars_ending(const std::string& text);

// Shows the failure in the critical-stop box titled after the section.
void show_design_failure(const Section& s, const std::string& text);

}  // namespace ferrolit::component
