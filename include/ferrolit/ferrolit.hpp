#pragma once

// The component's C++ interface: clsGenVerSez, clsSezRett, clsSezT, their
// enumerations, errors and platform hooks. The code engine is in
// <ferrolit/analysis.hpp>, the verification by the 2018 code in
// <ferrolit/verify.hpp>.
#include "ferrolit/bar_strings.hpp"
#include "ferrolit/enums.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/platform.hpp"
#include "ferrolit/registry.hpp"
#include "ferrolit/section.hpp"
#include "ferrolit/version.h"
