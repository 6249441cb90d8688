#include "validate/validation.hpp"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/build_id.hpp"
#include "common/report_numbers.hpp"
#include "ferrolit/analysis.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/verify.hpp"

namespace ferrolit::cli {

namespace {

using nlohmann::json;

// Tolerances wider than this would let a wrong formula pass.
constexpr double kWidestTolerance = 0.05;

[[noreturn]] void set_error(const std::string& where, const std::string& problem) {
    throw Error(ErrorKind::InvalidOperation, "insieme di validazione, " + where + ": " + problem);
}

std::string text_at(const json& object, const char* key, const std::string& where, bool required = true) {
    if (!object.contains(key)) {
        if (required) set_error(where + "." + key, "manca");
        return {};
    }
    if (!object[key].is_string()) set_error(where + "." + key, "è un testo");
    return object[key].get<std::string>();
}

double number_at(const json& object, const char* key, const std::string& where) {
    if (!object.contains(key) || !object[key].is_number()) set_error(where + "." + key, "manca o non è un numero");
    return object[key].get<double>();
}

// The figure an expectation names in the result's JSON: with "verifica", the
// field "campo" ("demand", "capacity", "ratio") or the named value
// "dettaglio" of its working ("T_Rcd") in the first check of that id and
// combination that has it ("combinazione" null or absent: a detailing rule);
// otherwise "campo" is a JSON pointer into the result ("/section/N_Rd_max").
std::optional<double> number(const json* value) {
    if (value == nullptr || !value->is_number()) return std::nullopt;
    return value->get<double>();
}

std::optional<double> figure_of(const json& result, const json& expectation, const std::string& where) {
    if (!expectation.contains("verifica")) {
        try {
            const json::json_pointer pointer(text_at(expectation, "campo", where));
            return result.contains(pointer) ? number(&result[pointer]) : std::nullopt;
        } catch (const json::exception&) {
            set_error(where + ".campo", "puntatore JSON non valido (\"/chiave/0/chiave\")");
        }
    }
    const std::string id = text_at(expectation, "verifica", where);
    const std::string detail = text_at(expectation, "dettaglio", where, false);
    const std::string field = detail.empty() ? text_at(expectation, "campo", where) : std::string();
    const json combination = expectation.value("combinazione", json());
    if (!result.contains("checks") || !result["checks"].is_array()) return std::nullopt;
    for (const json& c : result["checks"]) {
        if (c.value("id", "") != id || c.value("combination", json()) != combination) continue;
        if (detail.empty() && c.contains(field)) return number(&c[field]);
        if (!detail.empty() && c.contains("details") && c["details"].is_array())
            for (const json& d : c["details"])
                if (d.value("name", "") == detail && d.contains("value")) return number(&d["value"]);
    }
    return std::nullopt;
}

ValidationFigure compare(const json& result, const json& expectation, const std::string& where) {
    ValidationFigure f;
    f.quantity = text_at(expectation, "grandezza", where);
    f.unit = text_at(expectation, "unita", where, false);
    f.expected = number_at(expectation, "valore", where);
    f.tolerance = number_at(expectation, "tolleranza", where);
    if (!(f.tolerance > 0 && f.tolerance <= kWidestTolerance))
        set_error(where + ".tolleranza", "relativa, tra 0 (escluso) e 0,05");
    if (f.expected == 0) set_error(where + ".valore", "diverso da zero (la differenza è relativa)");
    f.computed = figure_of(result, expectation, where);
    if (f.computed) {
        f.difference = (*f.computed - f.expected) / std::fabs(f.expected);
        f.agrees = std::fabs(*f.difference) <= f.tolerance;
    }
    return f;
}

std::string computed_json(const std::string& command, const json& input) {
    if (command == "analyse") return analysis::analyse_json(input.dump());
    return to_json(verify(read_verification_input(input.dump())), -1);
}

ValidationCase run_case(const json& item, const std::string& where) {
    if (!item.is_object()) set_error(where, "è un oggetto {id, titolo, norma, fonte, comando, dati, attesi}");
    ValidationCase c;
    c.id = text_at(item, "id", where);
    c.title = text_at(item, "titolo", where);
    c.clause = text_at(item, "norma", where);
    c.source = text_at(item, "fonte", where);
    c.command = text_at(item, "comando", where);
    if (c.command != "verify" && c.command != "analyse") set_error(where + ".comando", "\"verify\" o \"analyse\"");
    if (!item.contains("dati") || !item["dati"].is_object()) set_error(where + ".dati", "manca: l'input del comando");
    if (!item.contains("attesi") || !item["attesi"].is_array() || item["attesi"].empty())
        set_error(where + ".attesi", "manca: una lista di grandezze attese");
    json result;
    try {
        result = json::parse(computed_json(c.command, item["dati"]));
    } catch (const Error& e) {
        c.error = e.what();
        return c;
    }
    c.agrees = true;
    const json& expected = item["attesi"];
    for (std::size_t i = 0; i < expected.size(); ++i) {
        c.figures.push_back(compare(result, expected[i], where + ".attesi[" + std::to_string(i + 1) + "]"));
        c.agrees = c.agrees && c.figures.back().agrees;
    }
    return c;
}

std::string percent(const std::optional<double>& relative) {
    return relative ? format::decimal(*relative * 100, 2) + " %" : "—";
}

}  // namespace

ValidationReport run_validation(std::string_view set_json) {
    json set;
    try {
        set = json::parse(set_json);
    } catch (const json::exception& e) {
        set_error("testo", std::string("non è un JSON valido: ") + e.what());
    }
    if (!set.is_object() || !set.contains("casi") || !set["casi"].is_array() || set["casi"].empty())
        set_error("casi", "manca: una lista di casi");
    ValidationReport report;
    report.agrees = true;
    for (std::size_t i = 0; i < set["casi"].size(); ++i) {
        report.cases.push_back(run_case(set["casi"][i], "casi[" + std::to_string(i + 1) + "]"));
        report.agrees = report.agrees && report.cases.back().agrees;
        report.any_error = report.any_error || !report.cases.back().error.empty();
    }
    return report;
}

const ValidationReport& built_in_validation() {
    static const ValidationReport report = run_validation(kBuiltInValidationSet);
    return report;
}

std::string validation_text(const ValidationReport& report) {
    std::ostringstream out;
    std::size_t agreeing = 0;
    for (const ValidationCase& c : report.cases) agreeing += c.agrees ? 1 : 0;
    out << kProgramName << " " << kProgramVersion << " (" << kBuildId
        << ") — validazione del codice di calcolo (§10.2): " << report.cases.size() << " casi, " << agreeing
        << " conformi\n\n";
    char row[512];
    std::snprintf(row, sizeof row, "  %-5s %-14s %-22s %12s %12s  %-6s %9s %8s  %s\n", "caso", "norma", "grandezza",
                  "atteso", "calcolato", "unità", "diff.", "toll.", "esito");
    out << row;
    for (const ValidationCase& c : report.cases) {
        if (!c.error.empty()) {
            out << "  " << c.id << "  ERRORE: " << c.error << "\n";
            continue;
        }
        for (const ValidationFigure& f : c.figures) {
            std::snprintf(row, sizeof row, "  %-5s %-14s %-22s %12s %12s  %-6s %9s %8s  %s\n", c.id.c_str(),
                          c.clause.c_str(), f.quantity.c_str(), format::significant(f.expected).c_str(),
                          f.computed ? format::significant(*f.computed).c_str() : "—", f.unit.c_str(),
                          percent(f.difference).c_str(), percent(f.tolerance).c_str(),
                          f.agrees ? "conforme" : "NON conforme");
            out << row;
        }
    }
    out << "\nESITO: "
        << (report.any_error ? "CASI IN ERRORE"
            : report.agrees  ? "TUTTI I CASI CONFORMI AL CALCOLO A MANO"
                             : "CASI NON CONFORMI AL CALCOLO A MANO")
        << "\n";
    return out.str();
}

}  // namespace ferrolit::cli
