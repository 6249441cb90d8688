#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "report_numbers.hpp"

namespace ferrolit::cli {

namespace {

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

std::string coord(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
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
    Panel(const Domain& d, double x0) : d_(d), x0_(x0) {
        Range n{d.Ned, d.Ned}, m{d.Med, d.Med};
        for (const Branch* b : {&d.positive, &d.negative})
            for (std::size_t i = 0; i < b->N.size(); ++i) {
                if (std::isfinite(b->N[i])) n.include(b->N[i]);
                if (std::isfinite(b->M[i])) m.include(b->M[i]);
            }
        n_ = padded(n);
        m_ = padded(m);
    }

    void draw(std::ostream& out) const {
        const std::string plane = d_.direction == "Y" ? "Med_y" : "Med_z";
        out << "<g>\n<text x=\"" << coord(x0_ + kPanelWidth / 2) << "\" y=\"24\" text-anchor=\"middle\" "
            << "font-weight=\"bold\">Direzione " << d_.direction << " (" << plane << ")</text>\n";
        out << "<rect x=\"" << coord(x(n_.lo)) << "\" y=\"" << coord(y(m_.hi)) << "\" width=\""
            << coord(x(n_.hi) - x(n_.lo)) << "\" height=\"" << coord(y(m_.lo) - y(m_.hi))
            << "\" fill=\"none\" stroke=\"#888\"/>\n";
        ticks(out);
        out << "<line x1=\"" << coord(x(n_.lo)) << "\" y1=\"" << coord(y(0)) << "\" x2=\"" << coord(x(n_.hi))
            << "\" y2=\"" << coord(y(0)) << "\" stroke=\"#444\"/>\n";
        out << "<line x1=\"" << coord(x(0)) << "\" y1=\"" << coord(y(m_.lo)) << "\" x2=\"" << coord(x(0)) << "\" y2=\""
            << coord(y(m_.hi)) << "\" stroke=\"#444\"/>\n";
        outline(out);
        out << "<circle cx=\"" << coord(x(d_.Ned)) << "\" cy=\"" << coord(y(d_.Med))
            << "\" r=\"4\" fill=\"#c0392b\"><title>Ned " << decimal(d_.Ned, 1) << " kN, " << plane << " "
            << decimal(d_.Med, 1) << " kNm</title></circle>\n";
        out << "<text x=\"" << coord(x0_ + (kMarginLeft + kPanelWidth - kMarginRight) / 2) << "\" y=\""
            << coord(kPanelHeight - 10) << "\" text-anchor=\"middle\">N [kN] (compressione positiva)</text>\n";
        out << "<text transform=\"translate(" << coord(x0_ + 16) << "," << coord(kPanelHeight / 2)
            << ") rotate(-90)\" text-anchor=\"middle\">M [kNm]</text>\n</g>\n";
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

    // The closed domain: the positive branch in sweep order, then the
    // negative one backwards.
    void outline(std::ostream& out) const {
        out << "<polygon fill=\"#d6e9f8\" fill-opacity=\"0.6\" stroke=\"#1f5f99\" stroke-width=\"1.5\" points=\"";
        auto point = [&](float n, float m) {
            if (std::isfinite(n) && std::isfinite(m)) out << coord(x(n)) << "," << coord(y(m)) << " ";
        };
        for (std::size_t i = 0; i < d_.positive.N.size(); ++i) point(d_.positive.N[i], d_.positive.M[i]);
        for (std::size_t i = d_.negative.N.size(); i-- > 0;) point(d_.negative.N[i], d_.negative.M[i]);
        out << "\"/>\n";
    }

    const Domain& d_;
    double x0_;
    Range n_{}, m_{};
};

}  // namespace

std::string domains_svg(const Verification& v) {
    std::ostringstream out;
    const double total_width = kPanelWidth * static_cast<double>(v.domains.size());
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << coord(total_width) << "\" height=\""
        << coord(kPanelHeight + 20) << "\" viewBox=\"0 0 " << coord(total_width) << " " << coord(kPanelHeight + 20)
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<title>Domini N-M della sezione " << escaped(v.section->DescrSezione()) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (std::size_t i = 0; i < v.domains.size(); ++i)
        Panel(v.domains[i], kPanelWidth * static_cast<double>(i)).draw(out);
    out << "<text x=\"10\" y=\"" << coord(kPanelHeight + 12)
        << "\" font-size=\"11\">Dominio di resistenza (SLU), punto rosso: sollecitazione di progetto (Ned_x, "
           "Med)</text>\n"
        << "</svg>\n";
    return out.str();
}

}  // namespace ferrolit::cli
