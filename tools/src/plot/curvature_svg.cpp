#include "plot/curvature_svg.hpp"

#include <sstream>

#include "common/markup.hpp"
#include "common/report_numbers.hpp"
#include "plot/plot_frame.hpp"

namespace ferrolit::cli {

namespace {

namespace fa = ferrolit::analysis;

constexpr double kWidth = 620, kHeight = 420;
constexpr Box kPlotBox{82, 20, 500, 330};

struct Style {
    const char* name;  // data-curve
    const char* colour;
    const char* dash;  // stroke-dasharray, "" for a full line
};

void curve(std::ostream& out, const PlotFrame& f, const fa::MomentCurvature& m, const Style& s) {
    out << "<g class=\"curve\" data-curve=\"" << s.name << "\">\n<polyline fill=\"none\" stroke=\"" << s.colour
        << "\" stroke-width=\"2\"" << (*s.dash ? std::string(" stroke-dasharray=\"") + s.dash + "\"" : "")
        << " points=\"";
    for (std::size_t i = 0; i < m.points.size(); ++i)
        out << (i ? " " : "") << coord(f.x(m.points[i].kappa)) << "," << coord(f.y(m.points[i].M));
    out << "\"/>\n";
    // The bilinear equivalent: origin, conventional yield, ultimate.
    out << "<polyline class=\"bilinear\" fill=\"none\" stroke=\"" << s.colour
        << "\" stroke-width=\"1\" stroke-dasharray=\"2 3\" points=\"" << coord(f.x(0)) << "," << coord(f.y(0)) << " "
        << coord(f.x(m.yield.kappa)) << "," << coord(f.y(m.yield.M)) << " " << coord(f.x(m.ultimate.kappa)) << ","
        << coord(f.y(m.yield.M)) << "\"/>\n";
    out << "<circle class=\"yield\" cx=\"" << coord(f.x(m.yield.kappa)) << "\" cy=\"" << coord(f.y(m.yield.M))
        << "\" r=\"4\" fill=\"white\" stroke=\"" << s.colour << "\" stroke-width=\"2\"/>\n";
    out << "<rect class=\"ultimate\" x=\"" << coord(f.x(m.ultimate.kappa) - 4) << "\" y=\""
        << coord(f.y(m.ultimate.M) - 4) << "\" width=\"8\" height=\"8\" fill=\"" << s.colour << "\"/>\n</g>\n";
}

}  // namespace

std::string curvature_svg_element(const SeismicCurves& c) {
    Range x, y;
    for (const fa::MomentCurvature* m : {&c.unconfined, &c.confined})
        for (const fa::CurvaturePoint& p : m->points) x.include(p.kappa), y.include(p.M);
    const PlotFrame f(x, y, kPlotBox);
    const char* axis = c.confined.direction == fa::Axis::My ? "My" : "Mz";
    std::ostringstream out;
    out << "<svg class=\"moment-curvature\" width=\"" << coord(kWidth) << "\" height=\"" << coord(kHeight)
        << "\" viewBox=\"0 0 " << coord(kWidth) << " " << coord(kHeight)
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    f.grid(out);
    curve(out, f, c.unconfined, {"unconfined", "#8a8a8a", "6 4"});
    curve(out, f, c.confined, {"confined", "#1f5f99", ""});
    f.frame(out, "κ [1/m]", std::string(axis) + " [kNm]");
    const double legend = kHeight - 14;
    out << "<text x=\"82\" y=\"" << coord(legend) << "\" font-size=\"11\">— confinata   - - non confinata   "
        << "○ snervamento convenzionale   ■ stato ultimo   ··· bilineare equivalente</text>\n</svg>\n";
    return out.str();
}

std::string curvature_caption(const SeismicCurves& c) {
    return "Momento-curvatura della combinazione \"" + escaped(c.combination) + "\" (N = " + decimal(c.confined.N, 1) +
           " kN): μφ = " + decimal(c.confined.mu_phi, 2) + " con calcestruzzo confinato (" +
           escaped(fa::reason(c.confined.end)) + "), " + decimal(c.unconfined.mu_phi, 2) + " non confinato (" +
           escaped(fa::reason(c.unconfined.end)) + ")";
}

}  // namespace ferrolit::cli
