#include "record/members_record.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <sstream>

#include "common/check_families.hpp"
#include "plot/plot_frame.hpp"
#include "record/html_text.hpp"
#include "record/record_style.hpp"
#include "record/report_parts.hpp"

namespace ferrolit::cli {

namespace {

constexpr const char* kCode = "NTC 2018 (D.M. 17/01/2018) §4.1";

// A demand or capacity with the decimals its unit deserves and the unit; "—" when empty.
std::string value_with_unit(const std::optional<double>& v, const CheckResult& c) {
    return v ? check_value_text(v, c) + "&#160;" + escaped(c.unit) : "—";
}

std::string member_anchor(std::size_t index) { return "membratura-" + std::to_string(index + 1); }

// The conventions of the forces table, beside the hypotheses every record states.
void conventions(std::ostream& out) {
    out << "<section class=\"conventions\">\n<h3>Sollecitazioni dal programma di analisi</h3>\n<p>Unità: m per le "
           "ascisse, kN e kNm per le sollecitazioni, mm e MPa per la sezione, con i segni della figura delle "
           "convenzioni. Le sollecitazioni del programma di analisi sono ricondotte a queste convenzioni dalle "
           "\"convenzioni\" del modello (colonne, segni, unità).</p>\n</section>\n";
}

std::vector<MaterialsUse> materials_of(const MembersResult& r) {
    std::vector<MaterialsUse> materials;
    std::vector<std::string> seen;
    for (const MemberResult& m : r.members) {
        if (!m.concrete || !m.steel || std::find(seen.begin(), seen.end(), m.section) != seen.end()) continue;
        seen.push_back(m.section);
        add_materials(materials, m.section, *m.concrete, *m.steel);
    }
    return materials;
}

std::vector<std::size_t> by_ratio(const MembersResult& r) {
    std::vector<std::size_t> order(r.members.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const MemberResult &ma = r.members[a], &mb = r.members[b];
        if (!ma.error.empty() || !mb.error.empty()) return !ma.error.empty() && mb.error.empty();
        return ma.max_ratio > mb.max_ratio;
    });
    return order;
}

std::string governing_text(const MemberResult& m) {
    if (!m.governing) return "—";
    const EnvelopeCheck& g = m.checks[*m.governing];
    std::string text = escaped(check_title(g.check.id));
    if (g.check.combination) text += ", " + escaped(*g.check.combination);
    if (g.x) text += ", x = " + quantity(*g.x, 2, "m");
    return text + ", " + escaped(g.check.clause);
}

void summary(std::ostream& out, const MembersResult& r) {
    std::size_t failed = 0, errors = 0;
    for (const MemberResult& m : r.members) (m.error.empty() ? (m.verified ? 0 : ++failed) : ++errors);
    out << "<section class=\"summary\" id=\"riepilogo\">\n<h2>Riepilogo delle membrature</h2>\n<p>" << r.members.size()
        << " membrature, " << r.checked
        << " coppie ascissa-combinazione verificate: " << r.members.size() - failed - errors << " verificate, "
        << failed << " non verificate, " << errors << " in errore. Rapporto massimo " << ratio_html(r.max_ratio)
        << ".</p>\n<table class=\"summary\">\n"
        << "<caption>Membrature in ordine di rapporto massimo decrescente (quelle in errore per prime)</caption>\n"
        << "<thead><tr><th>Membratura</th><th>Sezione</th><th class=\"num\">Rapporto massimo</th><th>Verifica "
           "determinante</th><th>Esito</th></tr></thead>\n<tbody>\n";
    for (std::size_t i : by_ratio(r)) {
        const MemberResult& m = r.members[i];
        out << "<tr><td><a href=\"#" << member_anchor(i) << "\">" << escaped(m.id) << "</a></td><td>"
            << escaped(m.section) << "</td>";
        if (!m.error.empty()) {
            out << "<td class=\"num\">—</td><td class=\"error\">" << escaped(m.error)
                << "</td><td><span class=\"verdict fail\">✘ in errore</span></td></tr>\n";
            continue;
        }
        out << "<td class=\"num ratio\">" << ratio_html(m.max_ratio) << "</td><td>" << governing_text(m) << "</td><td>"
            << verdict_badge(m.verified) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
    for (const std::string& w : r.warnings) out << "<p class=\"not-run\">" << escaped(w) << "</p>\n";
    out << "</section>\n";
}

// The ratio of each check along the member: one polyline per check over the stations.
std::string ratio_plot(const MemberResult& m) {
    if (m.stations.empty()) return "";
    Range xr, yr;
    std::vector<std::string> ids;
    for (const StationRatios& s : m.stations) {
        xr.include(s.x);
        for (const auto& [id, ratio] : s.by_check) {
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            if (std::isfinite(ratio)) yr.include(ratio);
        }
    }
    yr.include(1);
    const PlotFrame f(xr, yr, {70, 20, 420, 220});
    std::ostringstream out;
    out << "<svg class=\"ratio-plot\" viewBox=\"0 0 780 290\" width=\"780\" height=\"290\" role=\"img\">\n";
    f.grid(out);
    out << "<line class=\"limit\" x1=\"" << coord(f.x(padded(xr).lo)) << "\" x2=\"" << coord(f.x(padded(xr).hi))
        << "\" y1=\"" << coord(f.y(1)) << "\" y2=\"" << coord(f.y(1))
        << "\" stroke=\"#b00\" stroke-dasharray=\"6 4\"/>\n";
    for (std::size_t k = 0; k < ids.size(); ++k) {
        std::string points;
        for (const StationRatios& s : m.stations)
            for (const auto& [id, ratio] : s.by_check)
                if (id == ids[k] && std::isfinite(ratio)) points += coord(f.x(s.x)) + "," + coord(f.y(ratio)) + " ";
        const int hue = static_cast<int>(k * 360 / ids.size());
        out << "<polyline class=\"series\" fill=\"none\" stroke-width=\"1.5\" stroke=\"hsl(" << hue
            << ",70%,38%)\" points=\"" << points << "\"/>\n";
        out << "<text x=\"510\" y=\"" << 30 + 16 * k << "\" fill=\"hsl(" << hue << ",70%,38%)\" font-size=\"12\">"
            << escaped(check_title(ids[k])) << "</text>\n";
    }
    f.frame(out, "x (m)", "rapporto");
    out << "</svg>\n";
    return out.str();
}

void member_page(std::ostream& out, const MemberResult& m, std::size_t index) {
    out << "<section class=\"record-section\" id=\"" << member_anchor(index) << "\">\n<h2>Membratura " << escaped(m.id)
        << "</h2>\n<p class=\"source\">Sezione " << escaped(m.section) << (m.type.empty() ? "" : ", " + escaped(m.type))
        << ". <a href=\"#riepilogo\">Riepilogo</a></p>\n";
    if (!m.error.empty()) {
        out << "<div class=\"error-block\"><strong>✘ Membratura non verificata: errore.</strong><br>"
            << escaped(m.error) << "</div>\n</section>\n";
        return;
    }
    out << "<p>Esito: " << verdict_badge(m.verified) << ", rapporto massimo " << ratio_html(m.max_ratio) << " ("
        << governing_text(m) << "); " << m.combinations << " coppie ascissa-combinazione.</p>\n";
    out << "<table class=\"checks\">\n"
        << "<caption>Inviluppo delle verifiche della membratura " << escaped(m.id)
        << ": per ogni verifica l'ascissa e la combinazione determinanti</caption>\n"
        << "<thead><tr><th>Verifica</th><th>Norma</th><th>Combinazione</th><th class=\"num\">x</th><th "
           "class=\"num\">Domanda</th><th class=\"num\">Capacità</th><th class=\"num\">Rapporto</th><th>Esito</th>"
           "</tr></thead>\n<tbody>\n";
    for (const EnvelopeCheck& e : m.checks) {
        const CheckResult& c = e.check;
        out << "<tr><td>" << escaped(check_title(c.id)) << "</td><td>" << escaped(c.clause) << "</td><td>"
            << escaped(c.combination.value_or("regola di dettaglio")) << "</td><td class=\"num\">"
            << (e.x ? quantity(*e.x, 2, "m") : "—") << "</td><td class=\"num\">" << value_with_unit(c.demand, c)
            << "</td><td class=\"num\">" << value_with_unit(c.capacity, c) << "</td><td class=\"num ratio\">"
            << ratio_html(c.ratio) << "</td><td>" << verdict_badge(c.verified) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
    if (const std::string plot = ratio_plot(m); !plot.empty())
        out << "<div class=\"figure\">\n"
            << plot << "<div class=\"caption\">Rapporto di ogni verifica lungo la membratura " << escaped(m.id)
            << " (massimo sulle combinazioni a ogni ascissa); linea tratteggiata: rapporto 1</div>\n</div>\n";
    if (!m.not_run.empty()) {
        out << "<h3>Verifiche non eseguite</h3>\n<ul class=\"not-run\">\n";
        for (const NotRun& nr : m.not_run)
            out << "<li>" << escaped(check_title(nr.id)) << ": " << escaped(nr.reason) << "</li>\n";
        out << "</ul>\n";
    }
    if (!m.warnings.empty()) {
        out << "<h3>Avvertenze</h3>\n<ul class=\"warnings\">\n";
        for (const std::string& w : m.warnings) out << "<li>" << escaped(w) << "</li>\n";
        out << "</ul>\n";
    }
    out << "</section>\n";
}

}  // namespace

std::string members_record(const MembersResult& r, const MembersRecordOptions& o) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>ferrolit — relazione di "
           "calcolo — "
        << (r.project.work.empty() ? "membrature" : escaped(r.project.work))
        << "</title>\n<meta name=\"generator\" content=\"ferrolit " << escaped(o.version) << "\">\n<style>"
        << record_style() << page_style(o.version, o.date, kCode) << "</style>\n</head>\n<body>\n";
    out << title_page(r.project, "verifica delle membrature in cemento armato", o.date) << hypotheses(materials_of(r));
    conventions(out);
    summary(out, r);
    for (std::size_t i = 0; i < r.members.size(); ++i) member_page(out, r.members[i], i);
    out << reliability();
    out << "<footer class=\"record\">ferrolit " << escaped(o.version) << " — " << kCode
        << ". Unità: m, kN, kNm; N positivo di compressione.</footer>\n</body>\n</html>\n";
    return numbered(out.str());
}

}  // namespace ferrolit::cli
