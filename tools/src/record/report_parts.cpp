#include "record/report_parts.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string_view>

#include "common/build_id.hpp"
#include "record/axes_figure.hpp"
#include "record/data_tables.hpp"
#include "record/html_text.hpp"
#include "record/record_style.hpp"
#include "validate/validation.hpp"

namespace ferrolit::cli {

namespace {

constexpr const char* kCodeInFull = "D.M. 17/01/2018 (NTC 2018) e Circolare 21/01/2019 n. 7";

bool same(const analysis::Concrete& a, const analysis::Concrete& b) {
    return a.name == b.name && a.fck == b.fck && a.alpha_cc == b.alpha_cc && a.gamma_c == b.gamma_c &&
           a.eps_c2 == b.eps_c2 && a.eps_cu == b.eps_cu && a.n == b.n && a.law == b.law;
}

bool same(const analysis::Steel& a, const analysis::Steel& b) {
    return a.name == b.name && a.fyk == b.fyk && a.gamma_s == b.gamma_s && a.Es == b.Es && a.eps_ud == b.eps_ud &&
           a.hardening == b.hardening && a.k == b.k;
}

std::string concrete_law(const analysis::Concrete& c) {
    const std::string name(concrete_law_names(c.law).italian);
    return c.law == analysis::ConcreteLaw::ParabolaRectangle ? name + ", n = " + decimal(c.n, 2) : name;
}

std::string steel_law(const analysis::Steel& s) {
    const std::string name = steel_law_name(s);
    return s.hardening ? name + ", k = " + decimal(s.k, 2) : name;
}

std::string material_name(const std::string& name) { return name.empty() ? "(per valori)" : escaped(name); }

// Two tables, one row per set of materials: the concrete's and the steel's.
void materials_table(std::ostream& out, const std::vector<MaterialsUse>& materials) {
    out << "<table class=\"grid-table hypotheses\" data-table=\"concrete-laws\">\n<caption>Calcestruzzo: legame "
           "costitutivo e coefficienti parziali (§4.1.2.1.1.1, §4.1.2.1.2.1)</caption>\n<thead><tr><th>Sezioni</th>"
           "<th>Classe</th><th>Legame σ-ε</th><th class=\"num\">f<sub>ck</sub></th><th "
           "class=\"num\">α<sub>cc</sub></th>"
           "<th class=\"num\">γ<sub>c</sub></th><th class=\"num\">f<sub>cd</sub></th><th class=\"num\">ε<sub>c2</sub>"
           "</th><th class=\"num\">ε<sub>cu</sub></th></tr></thead>\n<tbody>\n";
    if (materials.empty()) out << "<tr><td colspan=\"9\">nessuna sezione calcolata</td></tr>\n";
    for (const MaterialsUse& m : materials) {
        const analysis::Concrete& c = m.concrete;
        out << "<tr><td>" << m.sections << "</td><td>" << material_name(c.name) << "</td><td>" << concrete_law(c)
            << "</td><td class=\"num\">" << quantity(c.fck, 1, "MPa") << "</td><td class=\"num\">"
            << decimal(c.alpha_cc, 2) << "</td><td class=\"num\">" << decimal(c.gamma_c, 2) << "</td><td class=\"num\">"
            << quantity(c.fcd(), 2, "MPa") << "</td><td class=\"num\">" << per_mille(c.eps_c2, 2)
            << "</td><td class=\"num\">" << per_mille(c.eps_cu, 2) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
    out << "<table class=\"grid-table hypotheses\" data-table=\"steel-laws\">\n<caption>Acciaio: legame costitutivo "
           "e coefficiente parziale (§4.1.2.1.1.3, §4.1.2.1.2.2)</caption>\n<thead><tr><th>Sezioni</th><th>Classe</th>"
           "<th>Legame σ-ε</th><th class=\"num\">f<sub>yk</sub></th><th class=\"num\">γ<sub>s</sub></th>"
           "<th class=\"num\">f<sub>yd</sub></th><th class=\"num\">E<sub>s</sub></th><th class=\"num\">ε<sub>ud</sub>"
           "</th></tr></thead>\n<tbody>\n";
    if (materials.empty()) out << "<tr><td colspan=\"8\">nessuna sezione calcolata</td></tr>\n";
    for (const MaterialsUse& m : materials) {
        const analysis::Steel& s = m.steel;
        out << "<tr><td>" << m.sections << "</td><td>" << material_name(s.name) << "</td><td>" << steel_law(s)
            << "</td><td class=\"num\">" << quantity(s.fyk, 0, "MPa") << "</td><td class=\"num\">"
            << decimal(s.gamma_s, 2) << "</td><td class=\"num\">" << quantity(s.fyd(), 1, "MPa")
            << "</td><td class=\"num\">" << quantity(s.Es, 0, "MPa") << "</td><td class=\"num\">"
            << (s.eps_ud ? per_mille(*s.eps_ud, 2) : "senza limite") << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
}

// A figure with about six significant digits, enough to show a difference of 0,01 %.
std::string figure_text(double value, const std::string& unit) {
    const double size = std::fabs(value);
    return quantity(value, size >= 1000 ? 1 : size >= 100 ? 2 : size >= 1 ? 3 : 4, unit);
}

std::string percent(double relative) { return decimal(relative * 100, 2) + "&#160;%"; }

void validation_table(std::ostream& out, const ValidationReport& report) {
    out << "<table class=\"grid-table validation\" data-table=\"validation\">\n"
        << "<caption>"
           "Casi di validazione: valore calcolato a mano e valore calcolato da questa versione del programma"
           "</caption>\n"
        << "<thead><tr><th>Caso</th><th>Norma</th><th>Grandezza</th><th class=\"num\">Calcolo a mano</th><th "
           "class=\"num\">Programma</th><th class=\"num\">Differenza</th><th class=\"num\">Tolleranza</th>"
           "<th>Esito</th></tr></thead>\n<tbody>\n";
    for (const ValidationCase& c : report.cases) {
        const std::string head = "<td><a href=\"#validazione-" + escaped(c.id) + "\">" + escaped(c.id) +
                                 "</a></td><td>" + escaped(c.clause) + "</td>";
        if (!c.error.empty()) {
            out << "<tr class=\"error\" data-case=\"" << escaped(c.id) << "\">" << head
                << "<td colspan=\"5\" class=\"error\">" << escaped(c.error)
                << "</td><td><span class=\"verdict fail\">✘ errore</span></td></tr>\n";
            continue;
        }
        for (const ValidationFigure& f : c.figures)
            out << "<tr data-case=\"" << escaped(c.id) << "\">" << head << "<td>" << escaped(f.quantity)
                << "</td><td class=\"num\">" << figure_text(f.expected, f.unit) << "</td><td class=\"num\">"
                << (f.computed ? figure_text(*f.computed, f.unit) : "—") << "</td><td class=\"num\">"
                << (f.difference ? percent(*f.difference) : "—") << "</td><td class=\"num\">± " << percent(f.tolerance)
                << "</td><td>"
                << (f.agrees ? "<span class=\"verdict ok\">✔ conforme</span>"
                             : "<span class=\"verdict fail\">✘ NON conforme</span>")
                << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
}

}  // namespace

void add_materials(std::vector<MaterialsUse>& list, const std::string& section, const analysis::Concrete& concrete,
                   const analysis::Steel& steel) {
    for (MaterialsUse& m : list)
        if (same(m.concrete, concrete) && same(m.steel, steel)) {
            m.sections += ", " + escaped(section);
            return;
        }
    list.push_back({escaped(section), concrete, steel});
}

std::string title_page(const ProjectData& project, const std::string& subtitle, const std::string& date) {
    const std::pair<const char*, const std::string*> rows[] = {{"Opera", &project.work},
                                                               {"Committente", &project.client},
                                                               {"Progettista", &project.designer},
                                                               {"Luogo", &project.place},
                                                               {"Note", &project.notes}};
    std::ostringstream out;
    out << "<header class=\"record\">\n<div><h1>" << kProgramName
        << "</h1><div class=\"subtitle\">Relazione di calcolo — " << subtitle
        << "</div></div>\n<div class=\"meta\">versione <span class=\"version\">" << kProgramVersion
        << "</span><br>data <span class=\"date\">" << escaped(date) << "</span><br><span class=\"code\">NTC 2018 (D.M. "
        << "17/01/2018) §4.1</span></div>\n</header>\n";
    out << "<section class=\"project\" id=\"progetto\">\n<h2>Dati del progetto</h2>\n<table class=\"data\">\n"
        << "<caption>Dati del progetto</caption>\n";
    for (const auto& [label, value] : rows)
        out << "<tr><th>" << label << "</th><td>" << (value->empty() ? "—" : escaped(*value)) << "</td></tr>\n";
    out << "</table>\n<h3>Codice di calcolo (§10.2)</h3>\n<table class=\"data program\">\n"
        << "<caption>"
           "Identificazione del programma"
           "</caption>\n"
        << "<tr><th>Programma</th><td>" << kProgramName
        << " — verifica e progetto di sezioni in cemento armato agli stati limite</td></tr>\n<tr><th>Versione</th><td>"
        << kProgramVersion << "</td></tr>\n<tr><th>Build</th><td class=\"build\">" << escaped(kBuildId)
        << "</td></tr>\n<tr><th>Licenza</th><td>" << kProgramLicence << "</td></tr>\n<tr><th>Norma</th><td>"
        << kCodeInFull << "</td></tr>\n</table>\n</section>\n";
    return out.str();
}

std::string hypotheses(const std::vector<MaterialsUse>& materials) {
    std::ostringstream out;
    out << "<section class=\"hypotheses\" id=\"ipotesi\">\n<h2>Ipotesi di calcolo</h2>\n<ul class=\"hypotheses\">\n"
        << "<li>Stati limite ultimi (§4.1.2.3.4.1): sezioni piane, perfetta aderenza tra acciaio e calcestruzzo, "
           "resistenza a trazione del calcestruzzo trascurata; domini N-M calcolati sul poligono della sezione con "
           "le barre nella loro posizione.</li>\n"
        << "<li>Calcestruzzo (§4.1.2.1.2.1): legame parabola-rettangolo σ = f<sub>cd</sub>·[1 − (1 − "
           "ε/ε<sub>c2</sub>)<sup>n</sup>] fino a ε<sub>c2</sub>, σ = f<sub>cd</sub> fino a ε<sub>cu</sub>; "
           "f<sub>cd</sub> = α<sub>cc</sub>·f<sub>ck</sub>/γ<sub>c</sub> (§4.1.2.1.1.1).</li>\n"
        << "<li>Acciaio (§4.1.2.1.2.2): legame elastico-perfettamente plastico (o bilineare incrudente se "
           "indicato) con f<sub>yd</sub> = f<sub>yk</sub>/γ<sub>s</sub> (§4.1.2.1.1.3) e deformazione ultima "
           "ε<sub>ud</sub>.</li>\n"
        << "<li>Taglio e torsione (§4.1.2.3.5, §4.1.2.3.6): traliccio a inclinazione variabile, 1 ≤ cot θ ≤ "
           "2,5.</li>\n"
        << "<li>Stati limite di esercizio (§4.1.2.2): comportamento elastico lineare, sezione fessurata con "
           "coefficiente di omogeneizzazione α<sub>e</sub>; apertura delle fessure per §C4.1.2.2.4.</li>\n"
        << "</ul>\n";
    materials_table(out, materials);
    out << "<h3>Convenzioni di segno</h3>\n<div class=\"figure\">\n"
        << axes_figure()
        << "<div class=\"caption\">Assi della sezione e sollecitazioni positive: N positivo di compressione; My "
           "positivo quando comprime il lembo a z maggiore, Mz quando comprime il lato a y maggiore</div>\n"
        << "</div>\n</section>\n";
    return out.str();
}

std::string numbered(const std::string& html) {
    static constexpr std::string_view kTable = "<caption>", kFigure = "<div class=\"caption\">";
    std::string out;
    out.reserve(html.size() + 4096);
    int tables = 0, figures = 0;
    std::size_t at = 0;
    for (;;) {
        const std::size_t table = html.find(kTable, at), figure = html.find(kFigure, at);
        const std::size_t next = std::min(table, figure);
        if (next == std::string::npos) break;
        const std::string_view tag = next == table ? kTable : kFigure;
        out.append(html, at, next - at).append(tag);
        out += next == table ? "Tabella " + std::to_string(++tables) : "Figura " + std::to_string(++figures);
        out += " — ";
        at = next + tag.size();
    }
    return out.append(html, at, std::string::npos);
}

std::string reliability(const ValidationReport& report) {
    std::ostringstream out;
    std::size_t agreeing = 0;
    for (const ValidationCase& c : report.cases) agreeing += c.agrees ? 1 : 0;
    out << "<section class=\"reliability\" id=\"affidabilita\">\n<h2>Affidabilità del codice di calcolo "
           "(§10.2)</h2>\n<p>Il programma è validato su un insieme di "
        << report.cases.size()
        << " casi calcolati a mano dalle clausole della norma (il calcolo di ciascuno è riportato sotto). Ogni "
           "caso è stato ricalcolato da questa versione del programma ("
        << kProgramVersion << ", build " << escaped(kBuildId) << ") nel redigere la relazione: " << agreeing
        << " casi su " << report.cases.size()
        << " conformi entro la tolleranza indicata. Lo stesso insieme si esegue con <code>ferrolit "
           "validate</code>.</p>\n";
    validation_table(out, report);
    out << "<h3>Casi e calcoli a mano</h3>\n<dl class=\"validation-sources\">\n";
    for (const ValidationCase& c : report.cases)
        out << "<dt id=\"validazione-" << escaped(c.id) << "\">" << escaped(c.id) << " — " << escaped(c.title) << " ("
            << escaped(c.clause) << ", <code>" << escaped(c.command) << "</code>)</dt><dd>" << escaped(c.source)
            << "</dd>\n";
    out << "</dl>\n</section>\n";
    return out.str();
}

std::string reliability() {
    try {
        return reliability(built_in_validation());
    } catch (const Error& e) {
        return "<section class=\"reliability\" id=\"affidabilita\">\n<h2>Affidabilità del codice di calcolo "
               "(§10.2)</h2>\n<div class=\"error-block\"><strong>✘ Validazione non eseguita.</strong><br>" +
               escaped(e.what()) + "</div>\n</section>\n";
    }
}

std::string validation_record(const ValidationReport& report, const std::string& date) {
    const std::string code = "NTC 2018 (D.M. 17/01/2018) §4.1";
    return numbered(
        "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>ferrolit — "
        "validazione del codice di calcolo</title>\n<style>" +
        record_style() + page_style(kProgramVersion, date, code) + "</style>\n</head>\n<body>\n" +
        title_page({}, "validazione del codice di calcolo", date) + reliability(report) +
        "<footer class=\"record\">ferrolit " + kProgramVersion + " — " + code + "</footer>\n</body>\n</html>\n");
}

}  // namespace ferrolit::cli
