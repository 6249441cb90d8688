#include "plot/domains_svg.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string_view>

#include "common/check_families.hpp"
#include "common/markup.hpp"
#include "common/report_numbers.hpp"
#include "plot/plot_frame.hpp"

namespace ferrolit::cli {

namespace {

namespace fa = ferrolit::analysis;

constexpr double kPanelWidth = 520, kPanelHeight = 450, kTitleHeight = 34, kLegendHeight = 50;
constexpr Box kPlotBox{82, 40, 410, 340};  // the plot area within a panel

const char* axis_name(fa::Axis axis) { return axis == fa::Axis::My ? "My" : "Mz"; }

std::string ratio_label(const std::optional<double>& ratio) {
    if (!ratio) return "";
    return " (" + ratio_words(*ratio) + ")";
}

class Panel {
public:
    Panel(const AxisDomain& d, double x0) : d_(d), x0_(x0), frame_(ranges(d, true), ranges(d, false), shifted(x0)) {}

    void draw(std::ostream& out) const {
        const Box box = shifted(x0_);
        out << "<g class=\"panel\" data-axis=\"" << axis_name(d_.axis) << "\">\n<text x=\""
            << coord(box.left + box.width / 2) << "\" y=\"" << coord(kTitleHeight + 22)
            << "\" text-anchor=\"middle\" font-weight=\"bold\">Dominio N-" << axis_name(d_.axis) << "</text>\n";
        frame_.grid(out);
        out << "<polygon class=\"outline\" fill=\"#d6e9f8\" fill-opacity=\"0.6\" stroke=\"#1f5f99\" "
               "stroke-width=\"1.5\" stroke-linejoin=\"round\" points=\"";
        std::vector<std::pair<double, double>> ring;
        for (const fa::DomainPoint& p : d_.domain.points) ring.emplace_back(frame_.x(p.N), frame_.y(p.M));
        bool first = true;
        // Points closer than the drawing's precision are one point.
        for (const auto& [x, y] : closed_ring(ring, 0.01)) {
            out << (first ? "" : " ") << coord(x) << "," << coord(y);
            first = false;
        }
        out << "\"/>\n";
        frame_.frame(out, "N [kN] (compressione positiva)", std::string(axis_name(d_.axis)) + " [kNm]");
        design_points(out);
        out << "</g>\n";
    }

private:
    static Range ranges(const AxisDomain& d, bool n) {
        Range r;
        for (const fa::DomainPoint& p : d.domain.points) r.include(n ? p.N : p.M);
        for (const DesignPoint& p : d.points) {
            r.include(n ? p.N : p.M);
            if (!n && p.M_Rd) r.include(*p.M_Rd);
        }
        return r;
    }
    static Box shifted(double x0) {
        return {x0 + kPlotBox.left, kTitleHeight + kPlotBox.top, kPlotBox.width, kPlotBox.height};
    }

    void design_points(std::ostream& out) const {
        std::vector<std::pair<double, double>> labelled;  // drawing positions of the labels so far
        for (const DesignPoint& p : d_.points) {
            const double px = frame_.x(p.N), py = frame_.y(p.M);
            out << "<g class=\"design-point\" data-combination=\"" << escaped(p.combination) << "\">\n";
            if (p.M_Rd && std::isfinite(*p.M_Rd)) {
                const double ry = frame_.y(*p.M_Rd);
                out << "<line x1=\"" << coord(px) << "\" y1=\"" << coord(py) << "\" x2=\"" << coord(px) << "\" y2=\""
                    << coord(ry) << "\" stroke=\"#c0392b\" stroke-dasharray=\"3,3\"/>\n"
                    << "<path class=\"m-rd\" d=\"M" << coord(px - 5) << "," << coord(ry) << "h10M" << coord(px) << ","
                    << coord(ry - 5) << "v10\" stroke=\"#7b241c\" stroke-width=\"2\"><title>" << axis_name(d_.axis)
                    << ",Rd " << decimal(*p.M_Rd, 1) << " kNm a N " << decimal(p.N, 1) << " kN</title></path>\n";
            }
            out << "<circle cx=\"" << coord(px) << "\" cy=\"" << coord(py) << "\" r=\"4\" fill=\"#c0392b\"><title>"
                << escaped(p.combination) << ": N " << decimal(p.N, 1) << " kN, " << axis_name(d_.axis) << " "
                << decimal(p.M, 1) << " kNm</title></circle>\n";
            double ly = py - 7;
            // Labels of points close together go one under the other.
            while (std::any_of(labelled.begin(), labelled.end(), [&](const auto& l) {
                return std::abs(l.first - px) < 90 && std::abs(l.second - ly) < 12;
            }))
                ly += 13;
            labelled.emplace_back(px, ly);
            out << "<text class=\"point-label\" x=\"" << coord(px + 7) << "\" y=\"" << coord(ly)
                << "\" font-size=\"11\" fill=\"#7b241c\">" << escaped(p.combination) << ratio_label(p.ratio)
                << "</text>\n</g>\n";
        }
    }

    const AxisDomain& d_;
    double x0_;
    PlotFrame frame_;
};

bool side_bars(const VerificationResult& r) {
    for (const PlacedBar& b : r.bars)
        if (b.layer == "As_supY" || b.layer == "As_infY") return true;
    return false;
}

// The bending check of a combination, when it ran.
const CheckResult* bending_of(const VerificationResult& r, const std::string& combination) {
    for (const CheckResult& c : r.checks)
        if (c.id == check_id(Check::Bending) && c.combination == combination) return &c;
    return nullptr;
}

DesignPoint design_point(const VerificationResult& r, const Combination& c, fa::Axis axis) {
    DesignPoint p{c.name, c.N, axis == fa::Axis::My ? c.My : c.Mz, std::nullopt, std::nullopt};
    const CheckResult* check = bending_of(r, c.name);
    if (!check) return p;
    p.ratio = check->ratio;
    const bool uniaxial = axis == fa::Axis::My ? c.Mz == 0 : c.My == 0;
    if (uniaxial && p.M != 0) p.M_Rd = detail_of(*check, axis == fa::Axis::My ? "My_Rd" : "Mz_Rd");
    return p;
}

// `xmlns`: a file of its own names the SVG namespace; inside HTML the parser knows it.
void svg_body(std::ostream& out, const VerificationResult& r, const std::vector<AxisDomain>& domains, bool xmlns) {
    const double width = kPanelWidth * static_cast<double>(std::max<std::size_t>(1, domains.size()));
    const double height = kTitleHeight + kPanelHeight + kLegendHeight;
    out << "<svg" << (xmlns ? " xmlns=\"http://www.w3.org/2000/svg\"" : "") << " class=\"domains\" width=\""
        << coord(width) << "\" height=\"" << coord(height) << "\" viewBox=\"0 0 " << coord(width) << " "
        << coord(height) << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<title>Domini N-M della sezione " << escaped(section_title(r)) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text class=\"plot-title\" x=\"" << coord(width / 2)
        << "\" y=\"22\" text-anchor=\"middle\" font-size=\"16\" font-weight=\"bold\">Sezione "
        << escaped(section_title(r)) << " — domini di resistenza N-M (SLU)</text>\n";
    for (std::size_t i = 0; i < domains.size(); ++i) Panel(domains[i], kPanelWidth * static_cast<double>(i)).draw(out);
    if (domains.empty())
        out << "<text x=\"" << coord(width / 2) << "\" y=\"" << coord(height / 2)
            << "\" text-anchor=\"middle\">Nessun dominio: la sezione non ha una fetta a momento nullo</text>\n";
    out << "<text x=\"10\" y=\"" << coord(height - 40)
        << "\" font-size=\"11\">Dominio di resistenza SLU (NTC 2018 §4.1.2.3.4.2).</text>\n<text x=\"10\" y=\""
        << coord(height - 26)
        << "\" font-size=\"11\">Punti: combinazioni SLU (N, M), tra parentesi il rapporto della verifica a "
           "flessione;</text>\n<text x=\"10\" y=\""
        << coord(height - 12) << "\" font-size=\"11\">croci: momento resistente allo stesso N.</text>\n"
        << "</svg>\n";
}

}  // namespace

std::string section_title(const VerificationResult& r) {
    return r.input.description.empty() ? "(senza descrizione)" : r.input.description;
}

std::vector<AxisDomain> domains_of(const VerificationResult& r) {
    bool mz = side_bars(r);
    for (const Combination& c : r.input.combinations) mz = mz || c.Mz != 0;
    const fa::Section s = engine_section(r);
    std::vector<AxisDomain> out;
    for (fa::Axis axis : {fa::Axis::My, fa::Axis::Mz}) {
        if (axis == fa::Axis::Mz && !mz) continue;
        AxisDomain d{axis, s.domain(axis, 100), {}};
        if (d.domain.outcome != fa::Outcome::Found) continue;
        for (const Combination& c : r.input.combinations)
            if (is_ultimate(c.kind)) d.points.push_back(design_point(r, c, axis));
        out.push_back(std::move(d));
    }
    return out;
}

std::string domains_svg_element(const VerificationResult& r, const std::vector<AxisDomain>& domains) {
    std::ostringstream out;
    svg_body(out, r, domains, false);
    return out.str();
}

std::string domains_svg(const VerificationResult& r, const std::vector<AxisDomain>& domains) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg_body(out, r, domains, true);
    return out.str();
}

std::string domains_csv_header() { return "riga,asse,punto,combinazione,N_kN,M_kNm\n"; }

namespace {

// A number cell: a decimal point and four decimals, written bare (a negative
// one with its minus sign, so that a spreadsheet reads it as a number); empty
// when not finite.
std::string csv_number(double v) { return std::isfinite(v) ? format::coordinate(v, 4) : std::string(); }

// A text cell, quoted. A text that begins with = + - @ (or a tab or carriage
// return) would be run by a spreadsheet as a formula: it gets a leading
// apostrophe, which spreadsheets show as text and do not display.
std::string csv_text(const std::string& s) {
    std::string q = "\"";
    if (!s.empty() && std::string_view("=+-@\t\r").find(s.front()) != std::string_view::npos) q += '\'';
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

}  // namespace

std::string domains_csv_rows(int line, const std::vector<AxisDomain>& domains) {
    std::ostringstream out;
    for (const AxisDomain& d : domains) {
        const char* axis = axis_name(d.axis);
        for (std::size_t i = 0; i < d.domain.points.size(); ++i)
            out << line << "," << axis << "," << i + 1 << ",," << csv_number(d.domain.points[i].N) << ","
                << csv_number(d.domain.points[i].M) << "\n";
        for (const DesignPoint& p : d.points)
            out << line << "," << axis << ",," << csv_text(p.combination) << "," << csv_number(p.N) << ","
                << csv_number(p.M) << "\n";
    }
    return out.str();
}

}  // namespace ferrolit::cli
