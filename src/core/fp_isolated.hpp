#pragma once

// g++ does not honour FENV_ACCESS: it may move floating-point arithmetic
// across the calls that clear and read the status flags, so a fault could be
// raised before the flags are cleared or after they are read. Running the
// arithmetic through a call the optimiser cannot look into keeps it in place:
// an opaque call is ordered with the flag calls around it.

#include <utility>

namespace ferrolit::detail {

template <class Computation>
[[gnu::noipa]] auto fp_isolated(Computation&& computation) {
    return std::forward<Computation>(computation)();
}

}  // namespace ferrolit::detail
