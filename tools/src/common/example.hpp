#pragma once

// The section verified when no file is given: the README's 300 × 500 beam in
// C25/30 and B450C, 3f20 at the bottom, the top layer by the code minimum,
// stirrups ø8/200, under one ultimate and one quasi-permanent combination.

namespace ferrolit::cli {

extern const char* const kExampleName;
extern const char* const kExampleSection;

}  // namespace ferrolit::cli
