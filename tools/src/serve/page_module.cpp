#include "serve/page_module.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ferrolit/error.hpp"

namespace ferrolit::cli::serve {

namespace {

// Emscripten's loader with the module embedded is about 1.3 MB.
constexpr std::uintmax_t kMostModuleBytes = std::uintmax_t{32} << 20;

// What every module make web writes defines, and the placeholder does not.
constexpr const char* kModuleMark = "createFerrolitModule";

std::string read_module(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || !std::filesystem::is_regular_file(path, error))
        throw Error(ErrorKind::InvalidOperation, "modulo della pagina non leggibile: " + path.string());
    if (size > kMostModuleBytes)
        throw Error(ErrorKind::InvalidOperation, "modulo della pagina troppo grande: " + path.string());
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        throw Error(ErrorKind::InvalidOperation, "modulo della pagina non leggibile: " + path.string());
    if (text.find(kModuleMark) == std::string::npos)
        throw Error(ErrorKind::InvalidOperation,
                    "non è il modulo della pagina scritto da make web (ferrolit.js): " + path.string());
    return text;
}

}  // namespace

std::optional<std::string> load_page_module(const std::string& path) {
    if (!path.empty()) return read_module(path);
#ifdef FERROLIT_BUILT_WEB_MODULE
    std::error_code error;
    if (std::filesystem::is_regular_file(FERROLIT_BUILT_WEB_MODULE, error)) {
        try {
            return read_module(FERROLIT_BUILT_WEB_MODULE);
        } catch (const Error&) {
            return std::nullopt;  // a stale or partial build: the server computes
        }
    }
#endif
    return std::nullopt;
}

}  // namespace ferrolit::cli::serve
