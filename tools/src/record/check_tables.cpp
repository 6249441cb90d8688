#include "record/check_tables.hpp"

#include <algorithm>
#include <sstream>
#include <vector>

#include "common/check_families.hpp"
#include "record/html_text.hpp"

namespace ferrolit::cli {

namespace {

std::string clause_of(const CheckResult& c) { return escaped(c.clause); }

std::string value_cell(const std::optional<double>& v, const CheckResult& c) {
    if (!v) return "—";
    return check_value_text(v, c) + (c.unit.empty() ? "" : "&#160;" + escaped(c.unit));
}

constexpr long kRowsKeptWhole = 8;

bool is_seismic(std::string_view id) {
    const CheckFamily* f = check_family(id);
    return f != nullptr && f->kind == CheckKind::Seismic;
}

// Ids in the record's order: the known families first, then any other; the
// seismic ones (§7.4) or the others.
std::vector<std::string> families_of(const VerificationResult& r, bool seismic) {
    std::vector<std::string> ids;
    for (const CheckFamily& f : kCheckFamilies)
        if (r.governing(f.id)) ids.emplace_back(f.id);
    for (const CheckResult& c : r.checks)
        if (std::find(ids.begin(), ids.end(), c.id) == ids.end()) ids.push_back(c.id);
    std::erase_if(ids, [&](const std::string& id) { return is_seismic(id) != seismic; });
    return ids;
}

void family_table(std::ostream& out, const VerificationResult& r, const std::string& id) {
    const std::size_t g = *r.governing(id);
    // A table of a few combinations stays on one page in print, its title with it.
    const auto rows = std::count_if(r.checks.begin(), r.checks.end(), [&](const CheckResult& c) { return c.id == id; });
    out << "<table class=\"checks" << (rows <= kRowsKeptWhole ? " whole" : "") << "\" data-check=\"" << escaped(id)
        << "\">\n<caption>" << escaped(check_title(id)) << " <span class=\"id\">(" << escaped(id)
        << ")</span></caption>\n"
        << "<colgroup><col class=\"c-comb\"><col class=\"c-clause\"><col class=\"c-num\"><col class=\"c-num\">"
           "<col class=\"c-ratio\"><col class=\"c-verdict\"></colgroup>\n"
        << "<thead><tr><th>Combinazione</th><th>Norma</th><th class=\"num\">Domanda</th>"
           "<th class=\"num\">Capacità</th><th class=\"num\">Rapporto</th><th>Esito</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < r.checks.size(); ++i) {
        const CheckResult& c = r.checks[i];
        if (c.id != id) continue;
        out << "<tr class=\"" << (c.verified ? "ok" : "fail") << (i == g ? " governing" : "") << "\"><td>"
            << (c.combination ? escaped(*c.combination) : "regola di dettaglio") << "</td><td>" << clause_of(c)
            << "</td><td class=\"num\">" << value_cell(c.demand, c) << "</td><td class=\"num\">"
            << value_cell(c.capacity, c) << "</td><td class=\"num ratio\">" << ratio_html(c.ratio) << "</td><td>"
            << verdict_badge(c.verified) << (i == g ? " <span class=\"gov-mark\">determinante</span>" : "")
            << "</td></tr>\n";
        if (!c.note.empty())
            out << "<tr class=\"note-row\"><td></td><td colspan=\"5\">" << escaped(c.note) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
}

void not_run(std::ostream& out, const char* what, const char* family, const char* why) {
    out << "<p class=\"not-run\" data-not-run=\"" << family << "\"><strong>" << what << ": non eseguite.</strong> "
        << why << "</p>\n";
}

}  // namespace

std::string outcome_block(const VerificationResult& r) {
    std::ostringstream out;
    out << "<div class=\"outcome " << (r.verified ? "ok" : "fail") << "\">\n<p class=\"verdict-line\">"
        << (r.verified ? "✔ SEZIONE VERIFICATA" : "✘ SEZIONE NON VERIFICATA") << " — rapporto massimo "
        << ratio_html(r.max_ratio) << "</p>\n";
    if (const auto g = r.governing()) {
        const CheckResult& c = r.checks[*g];
        out << "<p class=\"governing\">Verifica determinante: <strong>" << escaped(check_title(c.id)) << "</strong> ("
            << escaped(c.id) << "), " << clause_of(c) << ", "
            << (c.combination ? "combinazione <strong>" + escaped(*c.combination) + "</strong>"
                              : std::string("regola di dettaglio"))
            << ", domanda " << value_cell(c.demand, c) << ", capacità " << value_cell(c.capacity, c) << ", rapporto "
            << "<strong>" << ratio_html(c.ratio) << "</strong>, " << verdict_badge(c.verified) << "</p>\n";
    } else {
        out << "<p class=\"governing\">Nessuna verifica eseguita.</p>\n";
    }
    out << "</div>\n";
    return out.str();
}

std::string checks_summary_table(const VerificationResult& r) {
    std::ostringstream out;
    out << "<table class=\"grid-table checks-summary\" data-table=\"checks-summary\">\n<caption>Riepilogo delle "
           "verifiche: per ciascuna la combinazione determinante</caption>\n<thead><tr><th>Verifica</th>"
           "<th>Combinazione</th><th class=\"num\">Rapporto</th><th>Esito</th><th>Norma</th></tr></thead>\n<tbody>\n";
    std::vector<std::string> ids = families_of(r, false);
    for (const std::string& id : families_of(r, true)) ids.push_back(id);
    if (ids.empty()) out << "<tr><td colspan=\"5\">nessuna verifica eseguita</td></tr>\n";
    for (const std::string& id : ids) {
        const CheckResult& c = r.checks[*r.governing(id)];
        out << "<tr data-check=\"" << escaped(id) << "\"><td>" << escaped(check_title(id)) << "</td><td>"
            << (c.combination ? escaped(*c.combination) : "regola di dettaglio") << "</td><td class=\"num ratio\">"
            << ratio_html(c.ratio) << "</td><td>" << verdict_badge(c.verified) << "</td><td>" << clause_of(c)
            << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
    return out.str();
}

std::string check_tables(const VerificationResult& r) {
    std::ostringstream out;
    if (!r.ultimate_checks_run)
        not_run(out, "Verifiche agli stati limite ultimi (flessione, taglio)", "ultimate",
                "Nessuna combinazione SLU o SLU sismica fra i dati.");
    if (!r.service_checks_run)
        not_run(out, "Verifiche agli stati limite di esercizio (tensioni, fessurazione)", "service",
                "Nessuna combinazione SLE (rara, frequente, quasi permanente) fra i dati.");
    for (const std::string& id : families_of(r, false)) family_table(out, r, id);
    if (!r.not_run.empty()) {
        out << "<h4>Verifiche non eseguite</h4>\n<ul class=\"not-run-list\">\n";
        for (const NotRun& n : r.not_run)
            out << "<li data-not-run-id=\"" << escaped(n.id) << "\"><strong>" << escaped(check_title(n.id))
                << "</strong> (" << escaped(n.id) << "): " << escaped(n.reason) << "</li>\n";
        out << "</ul>\n";
    }
    return out.str();
}

std::string seismic_check_tables(const VerificationResult& r) {
    std::ostringstream out;
    for (const std::string& id : families_of(r, true)) family_table(out, r, id);
    return out.str();
}

}  // namespace ferrolit::cli
