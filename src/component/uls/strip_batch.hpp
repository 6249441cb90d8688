#pragma once

// Concrete strips of several points integrated side by side.
//
// Every point sums its strips from the compressed edge, y = 0, strip,
// 2·strip, ... (float running sums), so all points share the same sequence
// of depths. Two facts make batching cheap and exact:
//  - where y <= y_r for every point of the batch, the strip stress is fcd for
//    all of them, so their running sums are equal: that shared start is
//    summed once (PlateauPrefix) and reused;
//  - beyond it each point keeps its own accumulators; the points are
//    independent, so several of them advance together, which hides the
//    latency of one accumulation chain.
// Each point sees exactly the operations of the plain sequential loop, in
// the same order; only their interleaving differs.

#include <cstdint>
#include <limits>

#include "component/uls/domain_sweep.hpp"

namespace ferrolit::component {

inline constexpr int kBatchLanes = 8;

// Running sums of the strips on the plateau of the stress law (stress fcd)
// for every point of a batch, kept across batches: the depths of the neutral
// axis grow, and so does this prefix.
struct PlateauPrefix {
    std::int64_t count = 0;                                  // strips summed
    float y = 0;                                             // depth of the next strip
    float last_y = -std::numeric_limits<float>::infinity();  // depth of the last strip summed
    float N = 0, M = 0;                                      // sums of the strips summed
};

// The strain law of the parabola of one point: eta = k·(x − y)/den, and
// stress fcd for y <= yr.
struct StrainZone {
    double k = 0, den = 0;
    float yr = 0;
};
StrainZone strain_zone(const SweepSetup& s, int region, float x);

struct LaneBatch {
    int lanes = 0;  // points in use, 1..kBatchLanes
    float x[kBatchLanes]{};
    StrainZone zone[kBatchLanes]{};

    // Results of a point whose strips all ran (`complete`): concrete force
    // and moment and its number of strips. A point is not complete when the
    // strips of the batch stopped before reaching its depth: the strip
    // limit `remaining` was reached or the depth no longer advanced.
    float N[kBatchLanes]{}, M[kBatchLanes]{};
    std::int64_t strips[kBatchLanes]{};
    bool complete[kBatchLanes]{};
};

void integrate_batch(const SweepSetup& s, PlateauPrefix& prefix, LaneBatch& b, std::int64_t remaining);

}  // namespace ferrolit::component
