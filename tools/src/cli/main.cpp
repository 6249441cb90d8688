// ferrolit: verifies reinforced-concrete sections described in JSON by the
// 2018 code, designs their missing reinforcement, analyses sections with
// the code engine, and serves a local web page to work on a section. Reports in Italian, as JSON, or as drawings of the
// interaction domains.

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "cli/analyse.hpp"
#include "cli/console.hpp"
#include "cli/members.hpp"
#include "cli/run.hpp"
#include "cli/validate.hpp"
#include "common/example.hpp"
#include "ferrolit/version.h"
#include "serve/http_server.hpp"

namespace {

constexpr int kUnusableInput = 2;

// An output option given an empty path is a mistake, not "no output".
const CLI::Validator kNonEmptyPath(
    [](const std::string& path) { return path.empty() ? std::string("percorso vuoto") : std::string(); }, "PERCORSO");

void add_section_options(CLI::App* command, ferrolit::cli::RunOptions& options) {
    command->add_option("FILE", options.file,
                        "file della sezione (JSON) o delle sezioni (JSON Lines, .jsonl); senza file l'esempio "
                        "incorporato, \"-\" lo standard input");
    command->add_flag("--json", options.json, "risultati in JSON (JSON Lines per un file .jsonl) invece del rapporto");
    command->add_option("--svg", options.svg, "disegna i domini N-M in questo file SVG")->check(kNonEmptyPath);
    command->add_option("--csv", options.csv, "scrive i punti dei domini N-M in questo file CSV")->check(kNonEmptyPath);
    command
        ->add_option("--html", options.html,
                     "scrive la relazione di calcolo in questo file HTML (autonomo, stampabile su A4)")
        ->check(kNonEmptyPath);
    command->add_option("--jobs", options.jobs, "sezioni verificate in parallelo (predefinito: tutti i core)")
        ->check(CLI::Range(1, 256));
}

}  // namespace

// Only an exhausted memory can end the program with an exception here.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
    ferrolit::cli::use_byte_streams();
    std::vector<std::string> arguments = ferrolit::cli::utf8_arguments(argc, argv);
    std::vector<char*> argument_pointers;
    for (std::string& a : arguments) argument_pointers.push_back(a.data());
    CLI::App app{"ferrolit: verifica di sezioni in cemento armato agli stati limite (NTC 2018)"};
    app.set_version_flag("--version", FERROLIT_VERSION_STRING);
    app.require_subcommand(1);
    // Options are --name everywhere: on Windows, CLI11 would otherwise read an
    // argument such as /tmp/sezione.json as the option "/tmp".
    app.allow_windows_style_options(false);
    ferrolit::cli::RunOptions options;
    CLI::App* verify = app.add_subcommand("verify", "verifica una sezione (JSON) o molte (JSON Lines, .jsonl)");
    add_section_options(verify, options);
    ferrolit::cli::RunOptions design_options;
    design_options.design = true;
    CLI::App* design = app.add_subcommand(
        "design", "sceglie le barre e le staffe mancanti con il minimo acciaio che supera tutte le verifiche");
    add_section_options(design, design_options);
    CLI::App* example = app.add_subcommand("example", "stampa il JSON dell'esempio incorporato");
    std::string analyse_file = "-";
    CLI::App* analyse =
        app.add_subcommand("analyse", "analisi della sezione per la norma 2018: dominio, momenti resistenti (JSON)");
    analyse->add_option("FILE", analyse_file,
                        "file JSON della sezione e delle richieste; \"-\" o nessuno: lo standard input");
    ferrolit::cli::serve::ServeOptions serve_options;
    serve_options.version = FERROLIT_VERSION_STRING;
    CLI::App* serve = app.add_subcommand(
        "serve", "pagina web locale (solo 127.0.0.1) per modificare una sezione e vederne le verifiche");
    serve->add_option("--port", serve_options.port, "porta TCP; 0: una porta libera (predefinita: 8765)")
        ->check(CLI::Range(0, 65535));
    CLI::Option* module = serve->add_option(
        "--module", serve_options.module,
        "modulo WebAssembly della pagina (ferrolit.js di make web), con cui la pagina calcola nel "
        "browser; predefinito: quello scritto da make web in questa cartella di compilazione, se c'è");
    serve->add_flag("--server-only", serve_options.server_only, "senza modulo: la pagina fa calcolare tutto al server")
        ->excludes(module);
    ferrolit::cli::MembersRunOptions members_options;
    CLI::App* members = app.add_subcommand(
        "members", "verifica tutte le membrature di un modello (JSON) con le sollecitazioni del programma di analisi");
    members->add_option("MODEL", members_options.model, "file JSON del modello; \"-\" lo standard input")->required();
    members
        ->add_option("--forces", members_options.forces,
                     "tabella CSV delle sollecitazioni, al posto delle \"sollecitazioni\" del modello")
        ->check(kNonEmptyPath);
    members->add_flag("--json", members_options.json, "risultati in JSON invece del riepilogo");
    members->add_option("--csv", members_options.csv, "scrive una riga per membratura e verifica in questo file CSV")
        ->check(kNonEmptyPath);
    members->add_option("--html", members_options.html, "scrive la relazione di calcolo in questo file HTML")
        ->check(kNonEmptyPath);
    members
        ->add_option("--jobs", members_options.jobs, "membrature verificate in parallelo (predefinito: tutti i core)")
        ->check(CLI::Range(1, 256));
    CLI::Option* progress = members->add_flag("--progress", members_options.progress,
                                              "avanzamento sullo standard error anche se non è un terminale");
    members->add_flag("--quiet", members_options.quiet, "nessun avanzamento")->excludes(progress);
    ferrolit::cli::ValidateOptions validate_options;
    CLI::App* validate = app.add_subcommand(
        "validate", "ricalcola i casi di validazione (calcoli a mano, §10.2) e li confronta con il programma");
    validate->add_option("--set", validate_options.set, "insieme di casi (JSON) al posto di quello incorporato")
        ->check(kNonEmptyPath);
    validate->add_option("--html", validate_options.html, "scrive la relazione della validazione in questo file HTML")
        ->check(kNonEmptyPath);
    try {
        app.parse(static_cast<int>(argument_pointers.size()), argument_pointers.data());
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kUnusableInput;
    }
    if (example->parsed()) {
        std::cout << ferrolit::cli::kExampleSection;
        return 0;
    }
    if (serve->parsed()) return ferrolit::cli::serve::run_server(serve_options);
    if (validate->parsed()) return ferrolit::cli::run_validate(validate_options);
    if (members->parsed()) return ferrolit::cli::run_members(members_options);
    if (analyse->parsed()) return ferrolit::cli::run_analyse(analyse_file);
    return ferrolit::cli::run_sections(design->parsed() ? design_options : options);
}
