#pragma once

// What a Section holds once checked: the input, the geometry about the
// centroid G of the gross polygon, and the design values of the laws.

#include <array>
#include <vector>

#include "analysis/laws.hpp"
#include "ferrolit/analysis.hpp"

namespace ferrolit::analysis::detail {

struct SectionData {
    Shape shape;
    std::vector<Bar> bars;
    Concrete concrete;
    Steel steel;
    Options options;

    double area = 0;  // mm², gross
    Point centroid;   // G, in the input's coordinates
    double size = 0;  // mm, largest distance of a vertex from G

    std::vector<Ring> rings;       // outline first, then holes; coordinates about G
    std::vector<Point> bar_at;     // about G
    std::vector<double> bar_area;  // mm²
    double bar_area_total = 0;

    ConcreteModel concrete_law;
    SteelModel steel_law;
    double p_start = 0;  // start of the ultimate path: 0 with a ductility limit, 1 without
    double N_min = 0;    // N, all steel in tension
    double N_max = 0;    // N, squash load
    // N·mm, moments about G of the states at N_min and N_max: uniform
    // strains, the same for every direction of bending.
    double My_min = 0, Mz_min = 0, My_max = 0, Mz_max = 0;
    // The forces (N; N·mm) along the ultimate paths of the directions θ = 0,
    // 90°, 180°, 270° at the path parameters p = p_start, p_start + 1/4, ...
    // 3: where a search at a given N starts, where a domain's tangent end is
    // first sought, and points of the domain around each slice. (Eight
    // directions start a ray's search closer, 0.45 integrations fewer on
    // average, but the table then costs more to build than it saves: a
    // building's member checks run 15 % slower.)
    static constexpr std::size_t kTabledDirections = 4;
    struct PathTable {
        std::vector<double> p, N, My, Mz;
    };
    std::array<PathTable, kTabledDirections> paths;
    double moment_scale = 1;  // N·mm, a moment typical of the section, for tolerances
};

}  // namespace ferrolit::analysis::detail
