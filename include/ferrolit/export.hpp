#pragma once

// What the built library lets a host see.
// - ELF (Linux): every symbol is hidden unless marked, C and C++ interface alike.
// - Windows DLL: the C interface alone (FERROLIT_C_API), exported by name with
//   the platform's C calling convention. C++ classes and the C++ runtime do not
//   cross a DLL boundary between compilers, so the DLL keeps them inside.
// FERROLIT_STATIC: linked from a static archive, nothing to mark.
#if defined(FERROLIT_STATIC)
#define FERROLIT_API
#define FERROLIT_C_API
#elif defined(_WIN32)
#define FERROLIT_API
#if defined(FERROLIT_BUILDING_DLL)
#define FERROLIT_C_API __declspec(dllexport)
#else
#define FERROLIT_C_API __declspec(dllimport)
#endif
#else
#define FERROLIT_API __attribute__((visibility("default")))
#define FERROLIT_C_API FERROLIT_API
#endif
