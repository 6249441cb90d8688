#pragma once

// The strain-plane sweep that traces one branch of the N-M interaction
// domain: the seven regions of neutral-axis depth, the bar layers and the
// concrete strips of every point. The section is reduced beforehand to
// plain numbers (SweepSetup), so the same code serves the rectangle and the
// T section: they differ only in the width of a strip and in the reference
// level yG.
//
// Number rules of the sweep (the results must not depend on how it is
// computed):
//  - every stored quantity is a float: N and M of a point, the depths x and
//    y, the strain ratio eta, the depth y_r where the parabola ends, the
//    strip stress, the bar strains and stresses;
//  - each expression is evaluated in double, in the order written in
//    `point_scalar` (domain_sweep.cpp), and rounded to float when stored;
//  - x and y advance by float addition (x = x + step, y = y + strip), so the
//    sample depths are the rounded running sums.
// `point_scalar` is the plain sequential definition. The fast path
// integrates several points side by side; it performs, for every point, the
// same operations in the same order, and is therefore bit-identical to it.

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "component/section/width_bands.hpp"
#include "core/numeric.hpp"
#include "ferrolit/error.hpp"

namespace ferrolit::component {

// Everything the sweep reads, after the orientation of the section.
struct SweepSetup {
    // materials
    float fcd = 0, fyd = 0, Es = 0, eps_cu = 0, eps_yd = 0, eps_ud = 0;
    // geometry: depth, effective depth, cover of the compression-side layer
    float H = 0, d = 0, cover_c = 0;
    // bar areas of the compression-side and tension-side layers
    float As_c = 0, As_t = 0;
    // reference level below the compressed edge and the lever arms of the layers
    float yG = 0, arm_c = 0, arm_t = 0;
    WidthBands width;
    float step = 1, strip = 1;  // neutral-axis step and strip thickness, both > 0
};

// Boundary depths x0..x7 of the seven regions.
using Boundaries = std::array<float, 8>;
Boundaries boundaries(const SweepSetup& s);

// Work limits that keep every call short whatever its input.
struct SweepLimits {
    std::int64_t max_points = std::int64_t{1} << 20;        // points of a sweep
    std::int64_t max_strips = std::int64_t{1} << 26;        // strips of a sweep
    std::int64_t max_point_strips = std::int64_t{1} << 22;  // strips of one point
};

// The points, indexed from 1; element 0 of each list is 0 and no point.
struct PointLists {
    std::vector<float> N, M, x;  // N in N, M in N·mm, x in mm
    float N3 = 0;                // N of the last point whose depth equals x3
    std::int64_t strips = 0;     // strip evaluations of the recorded points

    void clear() {
        N.assign(1, 0.0f);
        M.assign(1, 0.0f);
        x.assign(1, 0.0f);
        N3 = 0;
        strips = 0;
    }
    std::size_t count() const { return N.size() - 1; }
};

// Sweeps all regions into `out` (cleared first). Floating-point faults are
// read from the status flags watched by `fp`, clear on entry: the flags are
// tested after every point, and the result is the fault of the first point
// that raised one. A sweep that runs out of its work limits before region 7
// fails with ErrorKind::Overflow; in region 7 it simply ends there.
// Whether any concrete can carry stress: a positive strength and a positive
// width somewhere.
inline bool carries_concrete(const SweepSetup& s) { return s.fcd > 0 && (s.width.inner > 0 || s.width.outer > 0); }

std::optional<ErrorKind> sweep(const SweepSetup& s, const Boundaries& xb, PointLists& out, detail::FpFaultScope& fp,
                               const SweepLimits& limits = {});

}  // namespace ferrolit::component
