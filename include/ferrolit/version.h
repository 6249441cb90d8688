#pragma once

/* The version of ferrolit these headers belong to, for checks at compile
   time (#if FERROLIT_VERSION_NUMBER >= 10000 ...). ferrolit_version() gives
   the version of the library actually loaded. The build refuses to run when
   these numbers differ from the project's version in CMakeLists.txt. */
#define FERROLIT_VERSION_MAJOR 0
#define FERROLIT_VERSION_MINOR 1
#define FERROLIT_VERSION_PATCH 0
#define FERROLIT_VERSION_STRING "0.1.0"
#define FERROLIT_VERSION_NUMBER (FERROLIT_VERSION_MAJOR * 10000 + FERROLIT_VERSION_MINOR * 100 + FERROLIT_VERSION_PATCH)
