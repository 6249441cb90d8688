// Fuzz target: the JSON input of `ferrolit verify`, read and verified in
// process by the tool's own code. The input is the file's text, taken both
// ways the tool reads a file:
//  - one section (a .json file), verified with its domains and rendered as
//    the report, JSON, SVG and CSV;
//  - JSON Lines (a .jsonl file), each section verified and rendered as a
//    summary line and compact JSON.
// The tool turns InputError and ComputeError into exit status 2; anything
// else that escapes would abort it, and aborts here.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "csv.hpp"
#include "ferrolit/platform.hpp"
#include "input.hpp"
#include "json_output.hpp"
#include "report.hpp"
#include "svg.hpp"
#include "verification.hpp"

namespace {

using namespace ferrolit::cli;

// JSON Lines: sections verified per input, to keep executions fast.
constexpr std::size_t kMaxSections = 4;

// Known open defect, issue 10 item 1: a number beyond the range of a double
// leaves the JSON reader as out_of_range 406 instead of an InputError and
// aborts the tool. Tolerated here so that the fuzzer can look further; drop
// this once the reader reports it.
bool known_number_overflow(const nlohmann::json::out_of_range& e) { return e.id == 406; }

// Reads as the tool does: an InputError is exit status 2, anything else escapes.
template <class Read>
bool read_like_the_tool(Read&& read) {
    try {
        read();
        return true;
    } catch (const InputError&) {
        return false;
    } catch (const nlohmann::json::out_of_range& e) {
        if (!known_number_overflow(e)) throw;
        return false;
    }
}

// Verifies as the tool does: InputError and ComputeError are exit status 2.
bool verify_like_the_tool(const SectionInput& in, bool with_domains, std::vector<Verification>& results) {
    try {
        results.push_back(verify(in, with_domains));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

void one_section(const std::string& text) {
    std::vector<SectionInput> sections;
    if (!read_like_the_tool([&] { sections.push_back(read_section(text, "fuzz.json")); })) return;
    std::vector<Verification> results;
    if (!verify_like_the_tool(sections.front(), true, results)) return;
    const Verification& v = results.front();
    (void)report(v);
    (void)to_json(v).dump(2);
    (void)domains_svg(v);
    (void)domains_csv(results);
}

void json_lines(const std::string& text) {
    std::vector<std::string> errors;
    std::vector<SectionInput> sections;
    if (!read_like_the_tool([&] { sections = read_section_lines(text, "fuzz.jsonl", errors); })) return;
    if (sections.size() > kMaxSections) sections.erase(sections.begin() + kMaxSections, sections.end());
    std::vector<Verification> results;
    for (const SectionInput& in : sections) verify_like_the_tool(in, false, results);
    for (const Verification& v : results) {
        (void)summary_line(v);
        (void)to_json(v).dump();
    }
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
