#pragma once

// The frame of a plot in SVG: data ranges widened to round ticks with the
// origin inside, their mapping onto a box of the drawing, a light grid with
// the tick labels (0 among them) and the axis titles.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ferrolit::cli {

struct Range {
    double lo = 0, hi = 0;
    void include(double v);
};

// A round tick step giving about five intervals over the range.
double tick_step(const Range& r);

// The range widened to whole ticks, with 0 always inside.
Range padded(Range r);

// A closed outline as drawn: points within `tolerance` of the one before
// dropped, and the first point repeated once at the end.
std::vector<std::pair<double, double>> closed_ring(const std::vector<std::pair<double, double>>& points,
                                                   double tolerance);

// A box of the drawing, in drawing units.
struct Box {
    double left = 0, top = 0, width = 0, height = 0;
};

class PlotFrame {
public:
    // `x` runs to the right, `y` upwards; both are padded here.
    PlotFrame(Range x, Range y, Box box);
    // Both ranges on the same round ticks, one unit of x and of y of the
    // same length on the drawing (true shapes); the box shrinks to fit.
    static PlotFrame equal_scale(Range x, Range y, Box box);

    double x(double value) const;
    double y(double value) const;
    const Box& box() const { return box_; }

    // Grid lines (class "grid", the zero lines a little darker) and tick labels.
    void grid(std::ostream& out) const;
    // Border of the plot area and the axis titles below and to the left.
    void frame(std::ostream& out, const std::string& x_title, const std::string& y_title) const;

private:
    PlotFrame() = default;
    Range x_, y_;
    double x_step_ = 1, y_step_ = 1;  // the ticks the ranges were widened to
    Box box_;
};

}  // namespace ferrolit::cli
