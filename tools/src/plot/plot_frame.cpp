#include "plot/plot_frame.hpp"

#include <algorithm>
#include <cmath>

#include "common/markup.hpp"

namespace ferrolit::cli {

namespace {

// Decimals that show a tick step exactly (0 for whole steps).
int places_of(double step) { return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)); }

void ticks_between(std::ostream& out, const Range& r, double step, const auto& line_at) {
    const long first = std::lround(std::ceil(r.lo / step - 1e-9)), last = std::lround(std::floor(r.hi / step + 1e-9));
    for (long i = first; i <= last; ++i) line_at(out, static_cast<double>(i) * step, places_of(step), i == 0);
}

}  // namespace

std::vector<std::pair<double, double>> closed_ring(const std::vector<std::pair<double, double>>& points,
                                                   double tolerance) {
    auto same = [tolerance](const std::pair<double, double>& a, const std::pair<double, double>& b) {
        return std::abs(a.first - b.first) <= tolerance && std::abs(a.second - b.second) <= tolerance;
    };
    std::vector<std::pair<double, double>> out;
    for (const auto& p : points)
        if (out.empty() || !same(p, out.back())) out.push_back(p);
    while (out.size() > 1 && same(out.back(), out.front())) out.pop_back();
    if (!out.empty()) out.push_back(out.front());
    return out;
}

void Range::include(double v) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

double tick_step(const Range& r) {
    const double span = r.hi - r.lo;
    if (!(span > 0) || !std::isfinite(span)) return 1;
    const double raw = span / 5;
    const double magnitude = std::pow(10, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

namespace {

// The range with the origin, at least 2 wide.
Range with_origin(Range r) {
    r.include(0);
    if (r.hi - r.lo < 1e-6) {
        r.lo -= 1;
        r.hi += 1;
    }
    return r;
}

}  // namespace

Range padded(Range r) {
    r = with_origin(r);
    const double step = tick_step(r);
    return {std::floor(r.lo / step) * step, std::ceil(r.hi / step) * step};
}

// The ticks stay those the ranges were widened to, so both ends are labelled.
PlotFrame::PlotFrame(Range x, Range y, Box box)
    : x_(padded(x)), y_(padded(y)), x_step_(tick_step(with_origin(x))), y_step_(tick_step(with_origin(y))), box_(box) {}

PlotFrame PlotFrame::equal_scale(Range x, Range y, Box box) {
    // Both ranges on the ticks of the wider one, then the box cut to their proportions.
    x.include(0);
    y.include(0);
    const double step = std::max(tick_step(x), tick_step(y));
    PlotFrame f;
    f.x_ = {std::floor(x.lo / step) * step, std::ceil(x.hi / step) * step};
    f.y_ = {std::floor(y.lo / step) * step, std::ceil(y.hi / step) * step};
    if (f.x_.hi - f.x_.lo <= 0) f.x_ = {-step, step};
    if (f.y_.hi - f.y_.lo <= 0) f.y_ = {-step, step};
    f.x_step_ = f.y_step_ = step;
    const double per = std::max((f.x_.hi - f.x_.lo) / box.width, (f.y_.hi - f.y_.lo) / box.height);
    f.box_ = {box.left, box.top, (f.x_.hi - f.x_.lo) / per, (f.y_.hi - f.y_.lo) / per};
    return f;
}

double PlotFrame::x(double value) const { return box_.left + (value - x_.lo) / (x_.hi - x_.lo) * box_.width; }
double PlotFrame::y(double value) const { return box_.top + (y_.hi - value) / (y_.hi - y_.lo) * box_.height; }

void PlotFrame::grid(std::ostream& out) const {
    const double bottom = box_.top + box_.height, right = box_.left + box_.width;
    ticks_between(out, x_, x_step_, [&](std::ostream& o, double v, int places, bool zero) {
        o << "<line class=\"grid\" x1=\"" << coord(x(v)) << "\" y1=\"" << coord(box_.top) << "\" x2=\"" << coord(x(v))
          << "\" y2=\"" << coord(bottom) << "\" stroke=\"" << (zero ? "#9a9a9a" : "#e2e2e2") << "\"/>\n"
          << "<text class=\"tick\" x=\"" << coord(x(v)) << "\" y=\"" << coord(bottom + 15)
          << "\" text-anchor=\"middle\" font-size=\"11\">" << decimal(v, places) << "</text>\n";
    });
    ticks_between(out, y_, y_step_, [&](std::ostream& o, double v, int places, bool zero) {
        o << "<line class=\"grid\" x1=\"" << coord(box_.left) << "\" y1=\"" << coord(y(v)) << "\" x2=\"" << coord(right)
          << "\" y2=\"" << coord(y(v)) << "\" stroke=\"" << (zero ? "#9a9a9a" : "#e2e2e2") << "\"/>\n"
          << "<text class=\"tick\" x=\"" << coord(box_.left - 6) << "\" y=\"" << coord(y(v) + 4)
          << "\" text-anchor=\"end\" font-size=\"11\">" << decimal(v, places) << "</text>\n";
    });
}

void PlotFrame::frame(std::ostream& out, const std::string& x_title, const std::string& y_title) const {
    out << "<rect x=\"" << coord(box_.left) << "\" y=\"" << coord(box_.top) << "\" width=\"" << coord(box_.width)
        << "\" height=\"" << coord(box_.height) << "\" fill=\"none\" stroke=\"#888\"/>\n";
    out << "<text class=\"axis-title\" x=\"" << coord(box_.left + box_.width / 2) << "\" y=\""
        << coord(box_.top + box_.height + 34) << "\" text-anchor=\"middle\">" << escaped(x_title) << "</text>\n";
    out << "<text class=\"axis-title\" transform=\"translate(" << coord(box_.left - 52) << ","
        << coord(box_.top + box_.height / 2) << ") rotate(-90)\" text-anchor=\"middle\">" << escaped(y_title)
        << "</text>\n";
}

}  // namespace ferrolit::cli
