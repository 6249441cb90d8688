#include "cli/run.hpp"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/capped_input.hpp"
#include "cli/file_system.hpp"
#include "cli/output_files.hpp"
#include "common/example.hpp"
#include "common/local_date.hpp"
#include "common/text_lines.hpp"
#include "ferrolit/limits.hpp"
#include "ferrolit/verify.hpp"
#include "ferrolit/version.h"
#include "plot/domains_svg.hpp"
#include "record/html_record.hpp"
#include "record/text_record.hpp"

namespace ferrolit::cli {

namespace {

constexpr int kAllVerified = 0;
constexpr int kNotVerified = 1;
constexpr int kUnusableInput = 2;

// Largest file read: JSON Lines of a whole building fit many times over.
constexpr std::uintmax_t kMostFileBytes = std::uintmax_t{1} << 30;

// Sections a batch's HTML record holds: every result stays in memory until the
// record is written, and a longer record is no longer readable as one page.
constexpr std::size_t kMostRecordSections = 1000;

// A failure that ends the run with exit status 2; the message is complete.
struct Fatal {
    std::string message;
};

struct Source {
    std::string text, name;
};

// A section's text is read up to one byte past the library's limit, and a
// JSON Lines text up to 1 GiB with each line so cut: the reader refuses what
// is over, and no longer input is ever held whole.
Source read_source(std::istream& in, const std::string& name, bool batch) {
    if (!batch) return {read_capped(in, kMostSectionBytes), name};
    CappedLines lines = read_capped_lines(in, kMostSectionBytes, kMostFileBytes);
    if (lines.over_total) throw Fatal{name + ": file troppo grande (oltre 1 GiB)"};
    return {std::move(lines.text), name};
}

Source load(const std::string& file, bool batch) {
    namespace fs = std::filesystem;
    if (file.empty()) return {kExampleSection, kExampleName};
    if (file == "-") return read_source(std::cin, "<stdin>", batch);
    const fs::path path = files::native_path(file);
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw Fatal{file + " è una cartella: indicare un file JSON (.json) o JSON Lines (.jsonl)"};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMostFileBytes) throw Fatal{file + ": file troppo grande (oltre 1 GiB)"};
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Fatal{"impossibile leggere " + file};
    Source source = read_source(in, file, batch);
    if (in.bad()) throw Fatal{"impossibile leggere " + file};
    return source;
}

bool is_json_lines_name(const std::string& file) {
    for (const std::string e : {".jsonl", ".ndjson"})
        if (file.size() >= e.size() && file.compare(file.size() - e.size(), e.size(), e) == 0) return true;
    return false;
}

// A result of a JSON Lines run: its line number first.
std::string with_line(const std::string& one_line_json, int line) {
    return "{\"line\":" + std::to_string(line) + "," + one_line_json.substr(1);
}

RecordOptions record_options(const RunOptions& options, bool batch) {
    return {FERROLIT_VERSION_STRING, local_date("%Y-%m-%d"), batch, options.design};
}

void write_files(const std::vector<std::pair<std::string, std::string>>& files) {
    try {
        write_all_or_nothing(files);
    } catch (const std::runtime_error& e) {
        throw Fatal{e.what()};
    }
}

int run_one(const RunOptions& options, const Source& source) {
    VerificationResult result;
    try {
        const VerificationInput in = read_verification_input(source.text, {source.name, 1});
        result = options.design ? design(in) : verify(in);
    } catch (const InputError& e) {
        // Reading names the line of its key.
        std::cerr << (e.source().empty() ? source.name + ":1: " : "") << e.what() << "\n";
        return kUnusableInput;
    } catch (const Error& e) {
        // A section that cannot be computed is named by its file.
        std::cerr << source.name << ":1: " << e.what() << "\n";
        return kUnusableInput;
    }
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.svg.empty() || !options.csv.empty()) {
        const std::vector<AxisDomain> domains = domains_of(result);
        if (!options.svg.empty()) files.emplace_back(options.svg, domains_svg(result, domains));
        if (!options.csv.empty()) files.emplace_back(options.csv, domains_csv_header() + domains_csv_rows(1, domains));
    }
    if (!options.html.empty())
        files.emplace_back(options.html, html_record({{source.name, 0, result, ""}}, record_options(options, false)));
    write_files(files);
    std::cout << (options.json ? to_json(result) + "\n" : report(result, source.name + ":1")) << std::flush;
    return result.verified ? kAllVerified : kNotVerified;
}

int run_lines(const RunOptions& options, const Source& source) {
    bool any_error = false, any_failed = false, any = false;
    if (!options.html.empty() && non_blank_lines(source.text) > kMostRecordSections)
        throw Fatal{"--html: al più " + std::to_string(kMostRecordSections) +
                    " sezioni in una relazione; dividere il file " + source.name};
    std::vector<RecordSection> record;
    std::string csv = options.csv.empty() ? "" : domains_csv_header();
    BatchOptions batch{source.name, options.jobs, options.design, {}};
    // Each worker renders its own result: the record's line, and the CSV rows of its domains.
    batch.render = [&](const VerificationResult& r, int line) {
        std::string text =
            options.json ? with_line(to_json(r, -1), line) : summary_line(r, source.name + ":" + std::to_string(line));
        text += "\n";
        if (!options.csv.empty()) text += '\0' + domains_csv_rows(line, domains_of(r));
        return text;
    };
    verify_lines(source.text, batch, [&](BatchItem&& item) {
        any = true;
        if (!item.result) {
            any_error = true;
            std::cerr << item.error << "\n";
            if (options.json)
                std::cout << nlohmann::ordered_json{{"line", item.line}, {"error", item.error}}.dump(
                                 -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                          << "\n";
        } else {
            any_failed = any_failed || !item.result->verified;
            const std::size_t cut = item.rendered.find('\0');
            std::cout << item.rendered.substr(0, cut);
            if (cut != std::string::npos) csv += item.rendered.substr(cut + 1);
        }
        if (!options.html.empty())
            record.push_back({source.name, item.line, std::move(item.result), std::move(item.error)});
    });
    std::cout << std::flush;
    if (!any) throw Fatal{source.name + ": nessuna sezione nel file"};
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.csv.empty()) files.emplace_back(options.csv, std::move(csv));
    if (!options.html.empty()) files.emplace_back(options.html, html_record(record, record_options(options, true)));
    write_files(files);
    return any_error ? kUnusableInput : any_failed ? kNotVerified : kAllVerified;
}

}  // namespace

int run_sections(const RunOptions& options) {
    try {
        const bool batch = is_json_lines_name(options.file);
        if (!options.svg.empty() && batch)
            throw Fatal{"--svg disegna una sola sezione: non si usa con un file JSON Lines"};
        // Each target is written through a temporary name of its own: the same
        // target twice would leave one file holding the other's contents.
        const std::pair<const char*, const std::string*> targets[] = {
            {"--svg", &options.svg}, {"--csv", &options.csv}, {"--html", &options.html}};
        for (std::size_t i = 0; i < std::size(targets); ++i)
            for (std::size_t j = i + 1; j < std::size(targets); ++j)
                if (!targets[i].second->empty() && !targets[j].second->empty() &&
                    same_file(*targets[i].second, *targets[j].second))
                    throw Fatal{std::string(targets[i].first) + " e " + targets[j].first + " indicano lo stesso file " +
                                *targets[j].second};
        const Source source = load(options.file, batch);
        return batch ? run_lines(options, source) : run_one(options, source);
    } catch (const Fatal& f) {
        std::cerr << "ferrolit: " << f.message << "\n";
        return kUnusableInput;
    }
}

}  // namespace ferrolit::cli
