#include "record/section_drawing.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "plot/domains_svg.hpp"
#include "record/html_text.hpp"

namespace ferrolit::cli {

namespace {

namespace fa = ferrolit::analysis;

constexpr double kMostDrawn = 300;  // px, the longer side of the concrete on the drawing
constexpr double kMarginLeft = 90, kMarginRight = 90, kMarginTop = 60, kMarginBottom = 70;

struct Extent {
    double y0 = 0, y1 = 0, z0 = 0, z1 = 0;
};

Extent extent_of(const fa::Shape& s) {
    Extent e{s.outline[0].y, s.outline[0].y, s.outline[0].z, s.outline[0].z};
    for (const fa::Point& p : s.outline) {
        e.y0 = std::min(e.y0, p.y);
        e.y1 = std::max(e.y1, p.y);
        e.z0 = std::min(e.z0, p.z);
        e.z1 = std::max(e.z1, p.z);
    }
    return e;
}

// Millimetres of the section onto the drawing: y to the right, z upwards.
class Sheet {
public:
    explicit Sheet(const Extent& e) : e_(e), scale_(kMostDrawn / std::max({e.y1 - e.y0, e.z1 - e.z0, 1e-9})) {}
    double x(double y) const { return kMarginLeft + (y - e_.y0) * scale_; }
    double v(double z) const { return kMarginTop + (e_.z1 - z) * scale_; }
    double scale() const { return scale_; }
    double width() const { return kMarginLeft + (e_.y1 - e_.y0) * scale_ + kMarginRight; }
    double height() const { return kMarginTop + (e_.z1 - e_.z0) * scale_ + kMarginBottom; }
    const Extent& extent() const { return e_; }

private:
    Extent e_;
    double scale_;
};

void ring_path(std::ostream& out, const fa::Ring& ring, const Sheet& s) {
    for (std::size_t i = 0; i < ring.size(); ++i)
        out << (i ? "L" : "M") << coord(s.x(ring[i].y)) << "," << coord(s.v(ring[i].z));
    out << "Z";
}

// A dimension between two points of the drawing along x (horizontal) or v
// (vertical), drawn at `at` across, with its text in mm.
void dimension(std::ostream& out, bool horizontal, double from, double to, double at, double mm,
               const std::string& name = "") {
    if (std::abs(to - from) < 1e-9) return;
    const std::string text = (name.empty() ? "" : name + " ") + decimal(mm, 0);
    out << "<g class=\"dimension\" stroke=\"#555\" fill=\"#333\">";
    if (horizontal) {
        out << "<line x1=\"" << coord(from) << "\" y1=\"" << coord(at) << "\" x2=\"" << coord(to) << "\" y2=\""
            << coord(at) << "\"/>";
        for (double p : {from, to})
            out << "<line x1=\"" << coord(p - 3) << "\" y1=\"" << coord(at + 3) << "\" x2=\"" << coord(p + 3)
                << "\" y2=\"" << coord(at - 3) << "\"/>";
        out << "<text x=\"" << coord((from + to) / 2) << "\" y=\"" << coord(at - 4)
            << "\" stroke=\"none\" text-anchor=\"middle\">" << escaped(text) << "</text>";
    } else {
        out << "<line x1=\"" << coord(at) << "\" y1=\"" << coord(from) << "\" x2=\"" << coord(at) << "\" y2=\""
            << coord(to) << "\"/>";
        for (double p : {from, to})
            out << "<line x1=\"" << coord(at - 3) << "\" y1=\"" << coord(p + 3) << "\" x2=\"" << coord(at + 3)
                << "\" y2=\"" << coord(p - 3) << "\"/>";
        out << "<text transform=\"translate(" << coord(at - 4) << "," << coord((from + to) / 2)
            << ") rotate(-90)\" stroke=\"none\" text-anchor=\"middle\">" << escaped(text) << "</text>";
    }
    out << "</g>\n";
}

const LayerRecord* layer_of(const VerificationResult& r, const std::string& name) {
    for (const LayerRecord& l : r.layers)
        if (l.name == name && l.area > 0) return &l;
    return nullptr;
}

// Bars given by position: the distances of the lowest, highest and leftmost
// bar centres from the faces of the bounding box.
void bar_distances(std::ostream& out, const VerificationResult& r, const Sheet& s) {
    if (r.bars.empty()) return;
    const Extent& e = s.extent();
    auto by = [&](auto better) { return *std::min_element(r.bars.begin(), r.bars.end(), better); };
    const PlacedBar low = by([](const PlacedBar& a, const PlacedBar& b) { return a.z < b.z; });
    const PlacedBar high = by([](const PlacedBar& a, const PlacedBar& b) { return a.z > b.z; });
    const PlacedBar left = by([](const PlacedBar& a, const PlacedBar& b) { return a.y < b.y; });
    const double right = s.x(e.y1) + 22;
    dimension(out, false, s.v(e.z0), s.v(low.z), right, low.z - e.z0, "c");
    dimension(out, false, s.v(high.z), s.v(e.z1), right, e.z1 - high.z, "c");
    dimension(out, true, s.x(e.y0), s.x(left.y), s.v(e.z1) - 14, left.y - e.y0, "c");
}

// Overall sizes, then the covers of the layers to the bar centres (the side
// covers from the web's faces, at the level of the side bars).
void dimensions(std::ostream& out, const VerificationResult& r, const Sheet& s) {
    const Extent& e = s.extent();
    const double bottom = s.v(e.z0), top = s.v(e.z1), left = s.x(e.y0), right = s.x(e.y1);
    dimension(out, true, left, right, bottom + 44, e.y1 - e.y0);
    dimension(out, false, bottom, top, left - 48, e.z1 - e.z0);
    if (const LayerRecord* l = layer_of(r, "As_inf"))
        dimension(out, false, bottom, s.v(e.z0 + l->cover), right + 22, l->cover, "c");
    if (const LayerRecord* l = layer_of(r, "As_sup"))
        dimension(out, false, s.v(e.z1 - l->cover), top, right + 22, l->cover, "c");
    for (const std::string name : {"As_supY", "As_infY"}) {
        const LayerRecord* l = layer_of(r, name);
        if (!l) continue;
        // The side bars sit at `cover` from the web's face; find that face from the bars themselves.
        for (const PlacedBar& b : r.bars) {
            if (b.layer != name) continue;
            const double face = name == "As_supY" ? b.y - l->cover : b.y + l->cover;
            dimension(out, true, s.x(std::min(face, b.y)), s.x(std::max(face, b.y)), s.v(b.z) - 10, l->cover, "c");
            break;
        }
    }
    if (const LayerRecord* l = layer_of(r, "As_circ"))  // its first bar lies at the bottom
        dimension(out, false, bottom, s.v(e.z0 + l->cover), right + 22, l->cover, "c");
    if (r.input.shape.kind == ShapeKind::Annulus) {
        const double R = r.input.shape.diameter / 2, Ri = r.input.shape.inner_diameter / 2;
        dimension(out, true, s.x(e.y0 + R - Ri), s.x(e.y0 + R + Ri), s.v(e.z0 + R) + 24, 2 * Ri, "Di");
    }
    if (r.layers.empty()) bar_distances(out, r, s);
    if (r.input.shape.kind == ShapeKind::Tee || r.input.shape.kind == ShapeKind::InvertedTee ||
        r.input.shape.kind == ShapeKind::Ell) {
        const fa::Dimensions& d = r.input.shape.dimensions;
        const bool flange_top = r.input.shape.kind != ShapeKind::InvertedTee;
        const double f0 = flange_top ? e.z1 - d.SpessoreT : e.z0, f1 = flange_top ? e.z1 : e.z0 + d.SpessoreT;
        dimension(out, false, s.v(f0), s.v(f1), left - 22, d.SpessoreT, "s");
        const double web0 = r.input.shape.kind == ShapeKind::Ell ? e.y0 : (e.y0 + e.y1 - d.BaseInf) / 2;
        const double at = flange_top ? bottom + 20 : top - 40;  // above the tip of the z axis
        dimension(out, true, s.x(web0), s.x(web0 + d.BaseInf), at, d.BaseInf, "bw");
    }
}

void axes(std::ostream& out, const VerificationResult& r, const Sheet& s) {
    const Extent& e = s.extent();
    const double gx = s.x(r.centroid.y), gv = s.v(r.centroid.z);
    const double over = 26;
    out << "<g class=\"axes\" fill=\"#c0392b\">"
        << "<line class=\"axis-line\" stroke=\"#c0392b\" stroke-dasharray=\"10 3 2 3\" x1=\""
        << coord(s.x(e.y0) - over / 2) << "\" y1=\"" << coord(gv) << "\" x2=\"" << coord(s.x(e.y1) + over) << "\" y2=\""
        << coord(gv) << "\"/>"
        << "<line class=\"axis-line\" stroke=\"#c0392b\" stroke-dasharray=\"10 3 2 3\" x1=\"" << coord(gx) << "\" y1=\""
        << coord(s.v(e.z0) + over / 2) << "\" x2=\"" << coord(gx) << "\" y2=\"" << coord(s.v(e.z1) - over) << "\"/>"
        << "<path class=\"arrow\" d=\"M" << coord(s.x(e.y1) + over) << "," << coord(gv) << "l-8,-4v8z\"/>"
        << "<path class=\"arrow\" d=\"M" << coord(gx) << "," << coord(s.v(e.z1) - over) << "l-4,8h8z\"/>"
        << "<text x=\"" << coord(s.x(e.y1) + over + 4) << "\" y=\"" << coord(gv + 4) << "\">y</text>"
        << "<text x=\"" << coord(gx + 6) << "\" y=\"" << coord(s.v(e.z1) - over + 4) << "\">z</text>"
        << "<circle class=\"centroid\" cx=\"" << coord(gx) << "\" cy=\"" << coord(gv) << "\" r=\"3\"/>"
        << "<text x=\"" << coord(gx + 6) << "\" y=\"" << coord(gv - 6) << "\">G</text></g>\n";
}

}  // namespace

std::string section_drawing(const VerificationResult& r) {
    if (r.shape.outline.size() < 3) return "";
    const Sheet s(extent_of(r.shape));
    std::ostringstream out;
    out << "<svg class=\"section-drawing\" width=\"" << coord(s.width()) << "\" height=\"" << coord(s.height())
        << "\" viewBox=\"0 0 " << coord(s.width()) << " " << coord(s.height())
        << "\" font-family=\"sans-serif\" font-size=\"13\" role=\"img\">\n<title>Sezione " << escaped(section_title(r))
        << " in scala: " << r.bars.size() << " barre</title>\n";
    out << "<path class=\"concrete\" fill=\"#e9ecef\" stroke=\"#333\" stroke-width=\"1.5\" fill-rule=\"evenodd\" d=\"";
    ring_path(out, r.shape.outline, s);
    for (const fa::Ring& hole : r.shape.holes) ring_path(out, hole, s);
    out << "\"/>\n";
    axes(out, r, s);
    for (const PlacedBar& b : r.bars)
        out << "<circle class=\"bar\" fill=\"#1d2329\" data-layer=\"" << escaped(b.layer) << "\" cx=\""
            << coord(s.x(b.y)) << "\" cy=\"" << coord(s.v(b.z)) << "\" r=\"" << coord(b.diameter / 2 * s.scale())
            << "\"><title>" << escaped(b.layer) << ": ø" << decimal(b.diameter, 0) << ", y " << decimal(b.y, 0)
            << " mm, z " << decimal(b.z, 0) << " mm</title></circle>\n";
    dimensions(out, r, s);
    out << "<text x=\"4\" y=\"" << coord(s.height() - 6)
        << "\" class=\"note\" fill=\"#5b6670\">quote in mm; copriferri c ai centri "
        << "delle barre</text>\n</svg>\n";
    return out.str();
}

}  // namespace ferrolit::cli
