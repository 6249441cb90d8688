# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads:
# std::thread and std::mutex as on Linux). The programs and the DLL link the
# C++ runtime, libgcc and winpthread statically, so that they need nothing
# but Windows' own DLLs; the tests run under Wine in the build's own prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FERROLIT_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FERROLIT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FERROLIT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FERROLIT_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FERROLIT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -s -Wl,--exclude-libs,ALL")

# The header-only packages come from the host's /usr/include, which must not
# reach the cross compiler's include path whole (glibc's headers would
# shadow MinGW's): packages/ stages only their own folders.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/packages/nlohmann_json CACHE PATH "")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/packages/CLI11 CACHE PATH "")

set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix ${CMAKE_CURRENT_LIST_DIR}/wine-run)
