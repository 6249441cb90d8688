#pragma once

// After the sweep: the points in kN and kNm, the resisting moment read off
// the branch at the design axial force, and the bar stresses there.

#include <vector>

#include "component/uls/domain_sweep.hpp"

namespace ferrolit::component {

struct ResistingState {
    float Mrd = 0;      // kNm
    float xn = 0;       // mm from the compressed edge
    float sigma_t = 0;  // tension-side layer, MPa, tension positive
    float sigma_c = 0;  // compression-side layer, MPa, compression positive
};

// Everything the interaction domain of one direction publishes.
struct DomainOutputs {
    std::vector<float> N, M;  // kN and kNm; element 0 is 0 and no point
    ResistingState at_ned;
};

// N from N to kN, M from N·mm to kNm, in place.
void to_kilo_units(PointLists& points);

// Bracketing search in sweep order at Ned (kN) over points already in kN and
// kNm, then the stresses of the two layers at the depth found. Fails with
// ErrorKind::InvalidIndex when the sweep produced no point.
ResistingState resisting_state(const PointLists& points, float Ned, const SweepSetup& s);

}  // namespace ferrolit::component
