#pragma once

// The program's identification in every record (§10.2): name, version, the
// build (the source's git commit, written by cmake/build_id.cmake at each
// build) and the licence.

#include "ferrolit/version.h"

namespace ferrolit::cli {

extern const char kBuildId[];  // "git 1a2b3c4d5e6f", "-modificato" when built from changed sources

inline constexpr const char* kProgramName = "ferrolit";
inline constexpr const char* kProgramVersion = FERROLIT_VERSION_STRING;
inline constexpr const char* kProgramLicence = "MIT (codice sorgente aperto, file LICENSE)";

}  // namespace ferrolit::cli
