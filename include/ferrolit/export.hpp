#pragma once

// Symbols of the shared library are hidden unless marked with FERROLIT_API.
#if defined(FERROLIT_STATIC)
#define FERROLIT_API
#else
#define FERROLIT_API __attribute__((visibility("default")))
#endif
