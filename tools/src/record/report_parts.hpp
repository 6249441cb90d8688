#pragma once

// The parts every calculation record shares (§10.2): the title page with the
// project's data and the program's identification, the hypotheses (laws of
// the materials, partial factors, sign conventions with their figure), and
// "Affidabilità del codice di calcolo" with the validation cases computed by
// this build.

#include <string>
#include <vector>

#include "ferrolit/verify.hpp"
#include "validate/validation.hpp"

namespace ferrolit::cli {

// The materials of one or more sections, named by the sections that use them.
struct MaterialsUse {
    std::string sections;  // "T1, T2", escaped
    analysis::Concrete concrete;
    analysis::Steel steel;
};

// Adds a section's materials to the list, or its name to an equal entry's.
void add_materials(std::vector<MaterialsUse>& list, const std::string& section, const analysis::Concrete& concrete,
                   const analysis::Steel& steel);

// The header, "Dati del progetto" and "Codice di calcolo (§10.2)".
std::string title_page(const ProjectData& project, const std::string& subtitle, const std::string& date);

// "Ipotesi di calcolo": laws and factors of the materials used, sign conventions and their figure.
std::string hypotheses(const std::vector<MaterialsUse>& materials);

// "Affidabilità del codice di calcolo (§10.2)": a validation set run by this
// build; without one, the built-in set (run once in the process).
std::string reliability(const ValidationReport& report);
std::string reliability();

// The record of `ferrolit validate --html`: the title page and the validation alone.
std::string validation_record(const ValidationReport& report, const std::string& date);

// The record with its tables and figures numbered in the order they appear:
// "Tabella 3 — " before each table's caption, "Figura 2 — " before each figure's.
std::string numbered(const std::string& html);

}  // namespace ferrolit::cli
