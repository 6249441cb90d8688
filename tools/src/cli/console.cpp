#include "cli/console.hpp"

#ifdef _WIN32
// windows.h first: shellapi.h builds on its declarations.
#include <windows.h>
// (after windows.h)
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#endif

namespace ferrolit::cli {

#ifdef _WIN32

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return {argv, argv + argc};
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), bytes, nullptr, nullptr);
        text.pop_back();  // the terminating NUL
        out.push_back(std::move(text));
    }
    LocalFree(wide);
    return out;
}

void use_byte_streams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

#else

std::vector<std::string> utf8_arguments(int argc, char** argv) { return {argv, argv + argc}; }

void use_byte_streams() {}

#endif

}  // namespace ferrolit::cli
