#pragma once

// The whole C++ interface of ferrolit.
#include "ferrolit/bar_strings.hpp"
#include "ferrolit/enums.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/platform.hpp"
#include "ferrolit/registry.hpp"
#include "ferrolit/section.hpp"
