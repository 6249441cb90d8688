#pragma once

// The section verified when no file is given: a 300 x 500 beam in C25/30 and
// B450C under 100 kNm and 80 kN.

namespace ferrolit::cli {

extern const char* const kExampleName;
extern const char* const kExampleSection;

}  // namespace ferrolit::cli
