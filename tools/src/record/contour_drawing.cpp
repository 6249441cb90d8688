#include "record/contour_drawing.hpp"

#include <cmath>
#include <sstream>

#include "common/check_families.hpp"
#include "plot/domains_svg.hpp"
#include "plot/plot_frame.hpp"
#include "record/html_text.hpp"

namespace ferrolit::cli {

namespace {

namespace fa = ferrolit::analysis;

constexpr Box kBox{90, 50, 380, 380};
constexpr double kLeastWidth = 520;

bool same_n(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(a)); }

}  // namespace

bool has_biaxial_bending(const VerificationResult& r) {
    for (const Combination& c : r.input.combinations)
        if (is_ultimate(c.kind) && c.My != 0 && c.Mz != 0) return true;
    return false;
}

std::string contour_drawing(const VerificationResult& r) {
    const auto g = r.governing(check_id(Check::Bending));
    if (!has_biaxial_bending(r) || !g || !r.checks[*g].combination) return "";
    const CheckResult& governing = r.checks[*g];
    const auto n = detail_of(governing, "N_Ed");
    if (!n) return "";
    const fa::Contour contour = engine_section(r).contour(*n);
    if (contour.outcome != fa::Outcome::Found || contour.points.size() < 3)
        return "<p class=\"not-run\">Contorno My-Mz a N = " + decimal(*n, 1) + " kN non disponibile: " +
               escaped(contour.outcome == fa::Outcome::Found ? "contorno degenere" : fa::reason(contour.outcome)) +
               ".</p>\n";

    Range my, mz;
    for (const fa::ContourPoint& p : contour.points) my.include(p.My), mz.include(p.Mz);
    std::vector<const Combination*> at_n;
    for (const Combination& c : r.input.combinations)
        if (is_ultimate(c.kind) && same_n(c.N, *n)) {
            at_n.push_back(&c);
            my.include(c.My);
            mz.include(c.Mz);
        }
    const PlotFrame f = PlotFrame::equal_scale(my, mz, kBox);
    const double width = std::max(kLeastWidth, f.box().left + f.box().width + 40);
    const double height = f.box().top + f.box().height + 80;

    std::ostringstream out;
    out << "<svg class=\"contour\" width=\"" << coord(width) << "\" height=\"" << coord(height) << "\" viewBox=\"0 0 "
        << coord(width) << " " << coord(height)
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n<title>Contorno My-Mz della sezione "
        << escaped(section_title(r)) << " a N = " << decimal(*n, 1) << " kN</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"" << coord(width / 2)
        << "\" y=\"24\" text-anchor=\"middle\" font-weight=\"bold\">Contorno My-Mz a "
        << "N = " << decimal(*n, 1) << " kN (combinazione " << escaped(*governing.combination) << ")</text>\n";
    f.grid(out);
    out << "<polygon class=\"outline\" fill=\"#d6e9f8\" fill-opacity=\"0.6\" stroke=\"#1f5f99\" stroke-width=\"1.5\" "
           "points=\"";
    std::vector<std::pair<double, double>> ring;
    for (const fa::ContourPoint& p : contour.points) ring.emplace_back(f.x(p.My), f.y(p.Mz));
    bool first = true;
    for (const auto& [x, y] : closed_ring(ring, 0.01)) {
        out << (first ? "" : " ") << coord(x) << "," << coord(y);
        first = false;
    }
    out << "\"/>\n";
    f.frame(out, "My [kNm]", "Mz [kNm]");
    for (const Combination* c : at_n) {
        const double px = f.x(c->My), py = f.y(c->Mz);
        out << "<g class=\"design-point\" data-combination=\"" << escaped(c->name) << "\">";
        for (const CheckResult& check : r.checks) {
            if (check.id != check_id(Check::Bending) || check.combination != c->name) continue;
            const auto my_rd = detail_of(check, "My_Rd"), mz_rd = detail_of(check, "Mz_Rd");
            if (my_rd && mz_rd && (c->My != 0 || c->Mz != 0))
                out << "<line x1=\"" << coord(f.x(0)) << "\" y1=\"" << coord(f.y(0)) << "\" x2=\"" << coord(f.x(*my_rd))
                    << "\" y2=\"" << coord(f.y(*mz_rd))
                    << "\" stroke=\"#c0392b\" stroke-dasharray=\"3,3\"/><path class=\"m-rd\" d=\"M"
                    << coord(f.x(*my_rd) - 5) << "," << coord(f.y(*mz_rd)) << "h10M" << coord(f.x(*my_rd)) << ","
                    << coord(f.y(*mz_rd) - 5) << "v10\" stroke=\"#7b241c\" stroke-width=\"2\"/>";
            out << "<circle cx=\"" << coord(px) << "\" cy=\"" << coord(py) << "\" r=\"4\" fill=\"#c0392b\"><title>"
                << escaped(c->name) << ": My " << decimal(c->My, 1) << " kNm, Mz " << decimal(c->Mz, 1)
                << " kNm</title></circle><text x=\"" << coord(px + 7) << "\" y=\"" << coord(py - 7)
                << "\" font-size=\"11\" fill=\"#7b241c\">" << escaped(c->name) << " (" << ratio_html(check.ratio)
                << ")</text>";
        }
        out << "</g>\n";
    }
    out << "<text x=\"10\" y=\"" << coord(height - 24)
        << "\" font-size=\"11\">Sezione del dominio SLU allo sforzo normale della combinazione determinante "
           "(NTC 2018 §4.1.2.3.4.2);</text>\n<text x=\"10\" y=\""
        << coord(height - 10)
        << "\" font-size=\"11\">punti: combinazioni SLU a quello sforzo normale; croci: momento resistente sulla "
           "retta dell'azione.</text>\n</svg>\n";
    return out.str();
}

}  // namespace ferrolit::cli
