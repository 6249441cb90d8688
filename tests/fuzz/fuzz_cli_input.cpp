// Fuzz target: the JSON input of `ferrolit verify`, read, verified and
// rendered in process by the library's verification and the tool's report.
// The input is the file's text, taken both ways the tool reads a file:
//  - one section (a .json file): read_verification_input, verify, the JSON
//    result and the Italian report;
//  - JSON Lines (a .jsonl file): verify_lines on one worker, each line's
//    result or error in line order.
// Unusable input must be refused with ferrolit::Error (exit status 2 in the
// tool); anything else that escapes would abort the tool, and aborts here.
// Every output (JSON, report, HTML record, SVG, CSV, error message) must be
// well-formed UTF-8 without NUL bytes.

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "ferrolit/error.hpp"
#include "ferrolit/platform.hpp"
#include "ferrolit/verify.hpp"
#include "fuzz_check.hpp"
#include "plot/domains_svg.hpp"
#include "record/html_record.hpp"
#include "record/text_record.hpp"

namespace {

void check_text(std::string_view text, const char* what) { FUZZ_CHECK(ferrolit::fuzz::utf8_without_nul(text), what); }

// JSON Lines: lines verified per input, to keep executions fast.
constexpr int kMaxLines = 4;

void one_section(const std::string& text) {
    ferrolit::VerificationInput input;
    try {
        input = ferrolit::read_verification_input(text, {"fuzz.json", 1});
    } catch (const ferrolit::Error& e) {
        check_text(e.what(), "the message is UTF-8 without NUL");
        return;
    }
    try {
        const ferrolit::VerificationResult r = ferrolit::verify(input);
        const std::string json = ferrolit::to_json(r);
        FUZZ_CHECK(json.find("\"verified\"") != std::string::npos, "the result holds its verdict");
        // Valid JSON that a strict reader reads back (no NaN, no number out
        // of the range of a double).
        FUZZ_CHECK(nlohmann::json::accept(json), "the result is valid JSON");
        FUZZ_CHECK(!nlohmann::json::parse(json).is_discarded(), "the result reads back");
        check_text(json, "the JSON result is UTF-8 without NUL");
        check_text(ferrolit::cli::report(r, "fuzz.json"), "the report is UTF-8 without NUL");
        ferrolit::cli::RecordOptions record;
        record.version = "fuzz";
        check_text(ferrolit::cli::html_record({{"fuzz.json", 0, r, ""}}, record), "the record is UTF-8 without NUL");
        const auto domains = ferrolit::cli::domains_of(r);
        check_text(ferrolit::cli::domains_svg(r, domains), "the SVG is UTF-8 without NUL");
        check_text(ferrolit::cli::domains_csv_rows(1, domains), "the CSV is UTF-8 without NUL");
    } catch (const ferrolit::Error& e) {
        check_text(e.what(), "the message is UTF-8 without NUL");
        // A readable section the library cannot compute: refused with a message.
    }
}

void json_lines(const std::string& text) {
    std::string_view head(text);
    std::size_t cut = 0;
    for (int n = 0; n < kMaxLines && cut != std::string_view::npos; ++n) {
        cut = head.find('\n', cut);
        if (cut != std::string_view::npos) ++cut;
    }
    if (cut != std::string_view::npos) head = head.substr(0, cut);
    ferrolit::BatchOptions options;
    options.source = "fuzz.jsonl";
    options.jobs = 1;
    int last = 0;
    ferrolit::verify_lines(head, options, [&](ferrolit::BatchItem&& item) {
        FUZZ_CHECK(item.line > last, "items come in line order");
        FUZZ_CHECK(item.result.has_value() != !item.error.empty(), "each line has a result or an error");
        check_text(item.error, "a line's message is UTF-8 without NUL");
        last = item.line;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the tool's main() does before it verifies anything.
    static const bool configured = [] {
        ferrolit::setDecimalSeparator(',');
        return true;
    }();
    (void)configured;
    const std::string text(reinterpret_cast<const char*>(data), size);
    one_section(text);
    json_lines(text);
    return 0;
}
