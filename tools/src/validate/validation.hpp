#pragma once

// The program's validation (§10.2, "Affidabilità del codice di calcolo"):
// cases worked out by hand from the code's clauses, each a `verify` or an
// `analyse` input with its expected figures, their tolerance and the
// working, run through this build and compared figure by figure. The set is
// data (tools/validation/casi.json), embedded at build time.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrolit::cli {

// The embedded set: the text of tools/validation/casi.json.
extern const char kBuiltInValidationSet[];

// One expected figure of a case and the figure this build computes.
struct ValidationFigure {
    std::string quantity;  // "M_Rd", as the engineer writes it
    std::string unit;      // "kNm"
    double expected = 0;
    double tolerance = 0;              // relative: 0.005 is 0,5 %
    std::optional<double> computed;    // empty when the result holds no such figure
    std::optional<double> difference;  // relative, (computed − expected)/|expected|
    bool agrees = false;
};

struct ValidationCase {
    std::string id, title, clause, source;  // source: where the expected figures come from, with the working
    std::string command;                    // "verify" or "analyse"
    std::vector<ValidationFigure> figures;
    std::string error;  // not empty: the input was refused and nothing was compared
    bool agrees = false;
};

struct ValidationReport {
    std::vector<ValidationCase> cases;
    bool agrees = false;  // every case agrees
    bool any_error = false;
};

// Runs a set (the JSON of tools/validation/casi.json). A set that cannot be
// read throws ferrolit::Error naming the key; a case whose input is refused
// is reported in its own entry and the others still run.
ValidationReport run_validation(std::string_view set_json);

// The embedded set, run once in the process and kept.
const ValidationReport& built_in_validation();

// The report as a text table for the terminal.
std::string validation_text(const ValidationReport& report);

}  // namespace ferrolit::cli
