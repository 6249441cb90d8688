#pragma once

// Sizes the library refuses beyond, for callers that read input themselves:
// they can stop reading at the limit instead of holding a longer text.

#include <cstddef>

namespace ferrolit {

// Largest JSON text of one section (a file, or a line of JSON Lines).
inline constexpr std::size_t kMostSectionBytes = std::size_t{1} << 20;

}  // namespace ferrolit
