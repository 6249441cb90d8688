// ferrolit: verifies reinforced-concrete sections described in JSON and
// reports in Italian, as JSON, or as drawings of their interaction domains.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "analyse.hpp"
#include "csv.hpp"
#include "example.hpp"
#include "ferrolit/platform.hpp"
#include "input.hpp"
#include "json_output.hpp"
#include "output_files.hpp"
#include "report.hpp"
#include "svg.hpp"
#include "verification.hpp"

namespace {

using namespace ferrolit::cli;

constexpr int kAllVerified = 0;
constexpr int kNotVerified = 1;
constexpr int kUnusableInput = 2;

struct Options {
    std::string file;  // empty: the embedded example; "-": standard input
    bool json = false;
    std::string svg, csv;
};

// A failure that ends the run with exit status 2; the message is complete.
struct Fatal {
    std::string message;
};

std::pair<std::string, std::string> load(const std::string& file) {
    if (file.empty()) return {kExampleSection, kExampleName};
    if (file == "-") return {std::string(std::istreambuf_iterator<char>(std::cin), {}), "<stdin>"};
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Fatal{"impossibile leggere " + file};
    std::ostringstream text;
    text << in.rdbuf();
    return {text.str(), file};
}

std::vector<SectionInput> read_all(const Options& options, std::vector<std::string>& errors) {
    const auto [text, name] = load(options.file);
    if (is_json_lines_name(name)) return read_section_lines(text, name, errors);
    try {
        return {read_section(text, name)};
    } catch (const InputError& e) {
        errors.push_back(e.what());
        return {};
    }
}

std::string render(const std::vector<Verification>& results, bool json, bool batch) {
    std::ostringstream out;
    for (const Verification& v : results) {
        if (json)
            out << (batch ? to_json(v).dump() : to_json(v).dump(2)) << "\n";
        else
            out << (batch ? summary_line(v) : report(v)) << (batch ? "\n" : "");
    }
    return out.str();
}

int run(const Options& options) {
    std::vector<std::string> errors;
    const std::vector<SectionInput> sections = read_all(options, errors);
    const bool batch = is_json_lines_name(options.file);
    if (!options.svg.empty() && batch) throw Fatal{"--svg disegna una sola sezione: non si usa con un file JSON Lines"};
    // Both drawings go through one temporary name per target: the same target
    // twice would leave one file holding the other's contents.
    if (!options.svg.empty() && !options.csv.empty() &&
        std::filesystem::weakly_canonical(options.svg) == std::filesystem::weakly_canonical(options.csv))
        throw Fatal{"--svg e --csv indicano lo stesso file " + options.csv};
    std::vector<Verification> results;
    for (const SectionInput& in : sections) {
        try {
            results.push_back(verify(in, !options.svg.empty() || !options.csv.empty()));
        } catch (const std::runtime_error& e) {  // InputError, ComputeError
            errors.push_back(e.what());
        }
    }
    if (!errors.empty()) {
        for (const std::string& e : errors) std::cerr << e << "\n";
        return kUnusableInput;
    }
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.svg.empty()) files.emplace_back(options.svg, domains_svg(results.front()));
    if (!options.csv.empty()) files.emplace_back(options.csv, domains_csv(results));
    const std::string text = render(results, options.json, batch);
    try {
        write_all_or_nothing(files);
    } catch (const std::runtime_error& e) {
        throw Fatal{e.what()};
    }
    std::cout << text << std::flush;
    for (const Verification& v : results)
        if (!v.ok()) return kNotVerified;
    return kAllVerified;
}

}  // namespace

// Only an exhausted memory can end the program with an exception here.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
    CLI::App app{"ferrolit: verifica di sezioni in cemento armato agli stati limite (NTC 2018)"};
    app.set_version_flag("--version", FERROLIT_VERSION);
    app.require_subcommand(1);
    Options options;
    CLI::App* verify = app.add_subcommand("verify", "verifica una sezione (JSON) o molte (JSON Lines, .jsonl)");
    verify->add_option("FILE", options.file,
                       "file della sezione; senza file l'esempio incorporato, \"-\" lo standard input");
    verify->add_flag("--json", options.json, "risultati in JSON invece del rapporto");
    verify->add_option("--svg", options.svg, "disegna i domini N-M in questo file SVG");
    verify->add_option("--csv", options.csv, "scrive i punti dei domini N-M in questo file CSV");
    CLI::App* example = app.add_subcommand("example", "stampa il JSON dell'esempio incorporato");
    std::string analyse_file = "-";
    CLI::App* analyse =
        app.add_subcommand("analyse", "analisi della sezione per la norma 2018: dominio, momenti resistenti (JSON)");
    analyse->add_option("FILE", analyse_file,
                        "file JSON della sezione e delle richieste; \"-\" o nessuno: lo standard input");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kUnusableInput;
    }
    if (example->parsed()) {
        std::cout << kExampleSection;
        return 0;
    }
    if (analyse->parsed()) return ferrolit::cli::run_analyse(analyse_file);
    // The library's messages use the same decimal comma as the report.
    ferrolit::setDecimalSeparator(',');
    try {
        return run(options);
    } catch (const Fatal& f) {
        std::cerr << "ferrolit: " << f.message << "\n";
        return kUnusableInput;
    }
}
