#include "record/html_record.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <sstream>

#include "common/check_families.hpp"
#include "plot/curvature_svg.hpp"
#include "plot/domains_svg.hpp"
#include "record/check_tables.hpp"
#include "record/contour_drawing.hpp"
#include "record/data_tables.hpp"
#include "record/html_text.hpp"
#include "record/record_style.hpp"
#include "record/report_parts.hpp"
#include "record/section_drawing.hpp"

namespace ferrolit::cli {

namespace {

constexpr const char* kCode = "NTC 2018 (D.M. 17/01/2018) §4.1";

std::string place_of(const RecordSection& s) {
    return escaped(s.source) + (s.line > 0 ? ":" + std::to_string(s.line) : "");
}

std::string name_of(const RecordSection& s) {
    return s.result ? escaped(section_title(*s.result)) : "(dati non utilizzabili)";
}

// The project of the record: the first section's that gives one.
ProjectData project_of(const std::vector<RecordSection>& sections) {
    for (const RecordSection& s : sections) {
        if (!s.result) continue;
        const ProjectData& p = s.result->input.project;
        if (!p.work.empty() || !p.client.empty() || !p.designer.empty() || !p.place.empty() || !p.notes.empty())
            return p;
    }
    return {};
}

std::vector<MaterialsUse> materials_of(const std::vector<RecordSection>& sections) {
    std::vector<MaterialsUse> materials;
    for (const RecordSection& s : sections)
        if (s.result)
            add_materials(materials, section_title(*s.result), s.result->input.concrete, s.result->input.steel);
    return materials;
}

// Sections by their largest ratio, largest first; those without a result
// (input errors) open the list, as they are neither verified nor bounded.
std::vector<std::size_t> summary_order(const std::vector<RecordSection>& sections) {
    std::vector<std::size_t> order(sections.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto& ra = sections[a].result;
        const auto& rb = sections[b].result;
        if (!ra || !rb) return !ra && rb;
        return ra->max_ratio > rb->max_ratio;
    });
    return order;
}

void summary(std::ostream& out, const std::vector<RecordSection>& sections) {
    std::size_t failed = 0, errors = 0;
    for (const RecordSection& s : sections) {
        if (!s.result)
            ++errors;
        else if (!s.result->verified)
            ++failed;
    }
    out << "<section class=\"summary\" id=\"riepilogo\">\n<h2>Riepilogo</h2>\n<p>" << sections.size()
        << " sezioni: " << sections.size() - failed - errors << " verificate, " << failed << " non verificate, "
        << errors
        << " con dati non utilizzabili. In ordine di rapporto massimo decrescente; le sezioni con dati non "
           "utilizzabili per prime.</p>\n"
        << "<table class=\"summary\">\n<thead><tr><th>Sezione</th><th>Origine</th><th class=\"num\">Rapporto "
           "massimo</th><th>Verifica determinante</th><th>Esito</th></tr></thead>\n<tbody>\n";
    for (std::size_t i : summary_order(sections)) {
        const RecordSection& s = sections[i];
        out << "<tr data-section=\"" << section_anchor(i) << "\"" << (s.result ? "" : " class=\"error\"")
            << "><td><a href=\"#" << section_anchor(i) << "\">" << name_of(s) << "</a></td><td>" << place_of(s)
            << "</td>";
        if (!s.result) {
            out << "<td class=\"num\">—</td><td class=\"error\">" << escaped(s.error)
                << "</td><td><span class=\"verdict fail\">✘ dati non utilizzabili</span></td></tr>\n";
            continue;
        }
        const VerificationResult& r = *s.result;
        out << "<td class=\"num ratio\" data-ratio=\"" << (std::isfinite(r.max_ratio) ? coord(r.max_ratio) : "inf")
            << "\">" << ratio_html(r.max_ratio) << "</td><td>";
        if (const auto g = r.governing()) {
            const CheckResult& c = r.checks[*g];
            out << escaped(check_title(c.id)) << (c.combination ? ", " + escaped(*c.combination) : std::string())
                << ", " << escaped(c.clause);
        } else {
            out << "—";
        }
        out << "</td><td>" << verdict_badge(r.verified) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n</section>\n";
}

void figure(std::ostream& out, const std::string& svg, const std::string& caption) {
    if (svg.empty()) return;
    out << "<div class=\"figure\">\n" << svg << "<div class=\"caption\">" << caption << "</div>\n</div>\n";
}

// "Verifiche sismiche (§7.4)": the data of the block, the moment–curvature
// behind the ductility check, and a table per seismic family.
void seismic_record(std::ostream& out, const VerificationResult& r) {
    const SeismicInput& s = *r.input.seismic;
    const auto value = [](const std::optional<double>& v, int places, const char* unit) {
        return v ? decimal(*v, places) + unit : std::string("—");
    };
    const bool column = s.member == MemberType::Column;
    out << "<h3 class=\"seismic\">Verifiche sismiche (§7.4)</h3>\n<table class=\"data seismic-data\"><tbody>\n"
        << "<tr><th>Classe di duttilità</th><td>CD\"" << (s.ductility == DuctilityClass::A ? "A" : "B")
        << "\"</td><th>Elemento</th><td>" << (column ? "pilastro" : "trave") << ", "
        << (s.critical_zone ? "zona critica" : "fuori dalla zona critica") << "</td></tr>\n"
        << "<tr><th>q0</th><td>" << value(s.q0, 2, "") << "</td><th>T1, TC</th><td>" << value(s.T1, 3, " s") << ", "
        << value(s.Tc, 3, " s") << "</td></tr>\n<tr><th>μφ dato</th><td>" << value(s.mu_phi, 2, "") << "</td><th>"
        << (column ? "Altezza netta" : "Luce netta") << ", V gravitazionale</th><td>" << value(s.clear_length, 0, " mm")
        << ", " << value(s.gravity_shear, 1, " kN") << "</td></tr>\n"
        << "</tbody></table>\n";
    if (const auto curves = seismic_curves(r)) figure(out, curvature_svg_element(*curves), curvature_caption(*curves));
    out << seismic_check_tables(r);
}

void section_record(std::ostream& out, const RecordSection& s, std::size_t index) {
    out << "<section class=\"record-section\" id=\"" << section_anchor(index) << "\">\n<h2>Sezione " << name_of(s)
        << "</h2>\n<p class=\"source\">Dati: " << place_of(s) << "</p>\n";
    if (!s.result) {
        out << "<div class=\"error-block\"><strong>✘ Dati non utilizzabili: nessuna verifica.</strong><br>"
            << escaped(s.error) << "</div>\n</section>\n";
        return;
    }
    const VerificationResult& r = *s.result;
    out << outcome_block(r) << checks_summary_table(r);
    out << "<h3>Sezione e armature</h3>\n<div class=\"columns\">\n";
    figure(out, section_drawing(r), "Sezione in scala, assi y e z per il baricentro G");
    out << "<div>\n" << geometry_table(r) << "</div>\n</div>\n" << reinforcement_tables(r);
    out << "<h3>Materiali</h3>\n" << materials_tables(r);
    out << "<h3>Combinazioni</h3>\n" << combinations_table(r);
    out << "<h3>Domini di resistenza</h3>\n";
    if (!r.ultimate_checks_run)
        out << "<p class=\"not-run\">Nessuna combinazione SLU: i domini sono disegnati senza punti di progetto.</p>\n";
    figure(out, domains_svg_element(r, domains_of(r)),
           "Domini N-M chiusi del motore di calcolo; ogni combinazione SLU con il suo nome e il rapporto della "
           "verifica a flessione");
    if (has_biaxial_bending(r))
        figure(out, contour_drawing(r),
               "Flessione deviata: contorno My-Mz allo sforzo normale della combinazione "
               "determinante");
    out << "<h3>Verifiche</h3>\n" << check_tables(r);
    if (r.input.seismic) seismic_record(out, r);
    if (!r.warnings.empty()) {
        out << "<h3>Avvertenze</h3>\n<ul class=\"warnings\">\n";
        for (const std::string& w : r.warnings) out << "<li>" << escaped(w) << "</li>\n";
        out << "</ul>\n";
    }
    out << "</section>\n";
}

}  // namespace

std::string html_record(const std::vector<RecordSection>& sections, const RecordOptions& options) {
    std::ostringstream out;
    std::string title = "ferrolit — relazione di calcolo";
    if (sections.size() == 1) title += " — sezione " + name_of(sections[0]);
    out << "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << title
        << "</title>\n<meta name=\"generator\" content=\"ferrolit " << escaped(options.version) << "\">\n<style>"
        << record_style() << page_style(options.version, options.date, kCode) << "</style>\n</head>\n<body>\n";
    out << title_page(
               project_of(sections),
               std::string(options.design ? "progetto e verifica" : "verifica") + " di sezioni in cemento armato",
               options.date)
        << hypotheses(materials_of(sections));
    if (options.batch_summary) summary(out, sections);
    for (std::size_t i = 0; i < sections.size(); ++i) section_record(out, sections[i], i);
    out << reliability();
    out << "<footer class=\"record\">ferrolit " << escaped(options.version) << " — " << kCode
        << ". Unità: mm, mm², MPa, kN, kNm; N positivo di compressione.</footer>\n</body>\n</html>\n";
    return numbered(out.str());
}

}  // namespace ferrolit::cli
