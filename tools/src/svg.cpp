#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "report_numbers.hpp"

namespace ferrolit::cli {

namespace {

namespace fa = ferrolit::analysis;

constexpr double kPanelWidth = 500, kPanelHeight = 440;
constexpr double kMarginLeft = 70, kMarginRight = 20, kMarginTop = 40, kMarginBottom = 50;

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Coordinates with a decimal point, whatever the locale.
std::string coord(double v) {
    std::string s = decimal(v, 2);
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

struct Range {
    double lo, hi;
    void include(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

// A round tick step giving about five intervals over the range.
double tick_step(const Range& r) {
    const double span = r.hi - r.lo;
    if (!(span > 0)) return 1;
    const double raw = span / 5;
    const double magnitude = std::pow(10, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

// Widens a range to whole ticks, with the origin always inside.
Range padded(Range r) {
    r.include(0);
    if (r.hi - r.lo < 1e-6) {
        r.lo -= 1;
        r.hi += 1;
    }
    const double step = tick_step(r);
    return {std::floor(r.lo / step) * step, std::ceil(r.hi / step) * step};
}

class Panel {
public:
    Panel(const AxisDomain& d, double x0) : d_(d), x0_(x0) {
        Range n{0, 0}, m{0, 0};
        for (const fa::DomainPoint& p : d.domain.points) n.include(p.N), m.include(p.M);
        for (const DesignPoint& p : d.points) n.include(p.N), m.include(p.M);
        n_ = padded(n);
        m_ = padded(m);
    }

    void draw(std::ostream& out) const {
        const char* name = d_.axis == fa::Axis::My ? "My" : "Mz";
        out << "<g>\n<text x=\"" << coord(x0_ + kPanelWidth / 2) << "\" y=\"24\" text-anchor=\"middle\" "
            << "font-weight=\"bold\">Dominio N-" << name << "</text>\n";
        out << "<rect x=\"" << coord(x(n_.lo)) << "\" y=\"" << coord(y(m_.hi)) << "\" width=\""
            << coord(x(n_.hi) - x(n_.lo)) << "\" height=\"" << coord(y(m_.lo) - y(m_.hi))
            << "\" fill=\"none\" stroke=\"#888\"/>\n";
        ticks(out);
        out << "<line x1=\"" << coord(x(n_.lo)) << "\" y1=\"" << coord(y(0)) << "\" x2=\"" << coord(x(n_.hi))
            << "\" y2=\"" << coord(y(0)) << "\" stroke=\"#444\"/>\n";
        out << "<line x1=\"" << coord(x(0)) << "\" y1=\"" << coord(y(m_.lo)) << "\" x2=\"" << coord(x(0)) << "\" y2=\""
            << coord(y(m_.hi)) << "\" stroke=\"#444\"/>\n";
        out << "<polygon fill=\"#d6e9f8\" fill-opacity=\"0.6\" stroke=\"#1f5f99\" stroke-width=\"1.5\" points=\"";
        for (const fa::DomainPoint& p : d_.domain.points) out << coord(x(p.N)) << "," << coord(y(p.M)) << " ";
        out << "\"/>\n";
        for (const DesignPoint& p : d_.points)
            out << "<circle cx=\"" << coord(x(p.N)) << "\" cy=\"" << coord(y(p.M))
                << "\" r=\"4\" fill=\"#c0392b\"><title>" << escaped(p.combination) << ": N " << decimal(p.N, 1)
                << " kN, " << name << " " << decimal(p.M, 1) << " kNm</title></circle>\n";
        out << "<text x=\"" << coord(x0_ + (kMarginLeft + kPanelWidth - kMarginRight) / 2) << "\" y=\""
            << coord(kPanelHeight - 10) << "\" text-anchor=\"middle\">N [kN] (compressione positiva)</text>\n";
        out << "<text transform=\"translate(" << coord(x0_ + 16) << "," << coord(kPanelHeight / 2)
            << ") rotate(-90)\" text-anchor=\"middle\">" << name << " [kNm]</text>\n</g>\n";
    }

private:
    double x(double n) const {
        return x0_ + kMarginLeft + (n - n_.lo) / (n_.hi - n_.lo) * (kPanelWidth - kMarginLeft - kMarginRight);
    }
    double y(double m) const {
        return kMarginTop + (m_.hi - m) / (m_.hi - m_.lo) * (kPanelHeight - kMarginTop - kMarginBottom);
    }

    void ticks(std::ostream& out) const {
        const double ns = tick_step(n_), ms = tick_step(m_);
        for (double n = n_.lo; n <= n_.hi + ns / 2; n += ns)
            out << "<text x=\"" << coord(x(n)) << "\" y=\"" << coord(y(m_.lo) + 16)
                << "\" text-anchor=\"middle\" font-size=\"11\">" << decimal(n, 0) << "</text>\n";
        for (double m = m_.lo; m <= m_.hi + ms / 2; m += ms)
            out << "<text x=\"" << coord(x(n_.lo) - 6) << "\" y=\"" << coord(y(m) + 4)
                << "\" text-anchor=\"end\" font-size=\"11\">" << decimal(m, 0) << "</text>\n";
    }

    const AxisDomain& d_;
    double x0_;
    Range n_{}, m_{};
};

bool side_bars(const VerificationResult& r) {
    for (const PlacedBar& b : r.bars)
        if (b.layer == "As_supY" || b.layer == "As_infY") return true;
    return false;
}

}  // namespace

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
            if (is_ultimate(c.kind)) d.points.push_back({c.name, c.N, axis == fa::Axis::My ? c.My : c.Mz});
        out.push_back(std::move(d));
    }
    return out;
}

std::string domains_svg(const VerificationResult& r, const std::vector<AxisDomain>& domains) {
    std::ostringstream out;
    const double total_width = kPanelWidth * static_cast<double>(std::max<std::size_t>(1, domains.size()));
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << coord(total_width) << "\" height=\""
        << coord(kPanelHeight + 20) << "\" viewBox=\"0 0 " << coord(total_width) << " " << coord(kPanelHeight + 20)
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<title>Domini N-M della sezione " << escaped(r.input.description) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (std::size_t i = 0; i < domains.size(); ++i) Panel(domains[i], kPanelWidth * static_cast<double>(i)).draw(out);
    out << "<text x=\"10\" y=\"" << coord(kPanelHeight + 12)
        << "\" font-size=\"11\">Dominio di resistenza SLU (NTC 2018 §4.1.2.3.4.2); punti rossi: combinazioni SLU "
           "(N, M)</text>\n"
        << "</svg>\n";
    return out.str();
}

std::string domains_csv_header() { return "riga,asse,punto,combinazione,N_kN,M_kNm\n"; }

std::string domains_csv_rows(int line, const std::vector<AxisDomain>& domains) {
    auto number = [](double v) {
        std::string s = decimal(v, 4);
        for (char& c : s)
            if (c == ',') c = '.';
        return s;
    };
    auto quoted = [](const std::string& s) {
        std::string q = "\"";
        for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    std::ostringstream out;
    for (const AxisDomain& d : domains) {
        const char* axis = d.axis == fa::Axis::My ? "My" : "Mz";
        for (std::size_t i = 0; i < d.domain.points.size(); ++i)
            out << line << "," << axis << "," << i + 1 << ",," << number(d.domain.points[i].N) << ","
                << number(d.domain.points[i].M) << "\n";
        for (const DesignPoint& p : d.points)
            out << line << "," << axis << ",," << quoted(p.combination) << "," << number(p.N) << "," << number(p.M)
                << "\n";
    }
    return out.str();
}

}  // namespace ferrolit::cli
