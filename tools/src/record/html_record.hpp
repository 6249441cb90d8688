#pragma once

// The calculation record of one section or of a batch as one self-contained
// HTML file: inline CSS and SVG, no script and nothing fetched, printable on
// A4 with a page break between sections.

#include <optional>
#include <string>
#include <vector>

#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

// One section of the record: its result, or the reason it has none.
struct RecordSection {
    std::string source;  // file name, "<stdin>" or the example's name
    int line = 0;        // line in a JSON Lines file; 0 for a single section
    std::optional<VerificationResult> result;
    std::string error;  // Italian message when there is no result
};

struct RecordOptions {
    std::string version;         // the program's version, for the header
    std::string date;            // date of the record, as printed (YYYY-MM-DD)
    bool batch_summary = false;  // open with the table of all sections by their largest ratio
    bool design = false;         // the bars and stirrups were chosen by design, not given
};

std::string html_record(const std::vector<RecordSection>& sections, const RecordOptions& options);

}  // namespace ferrolit::cli
