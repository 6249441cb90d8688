#pragma once

// The page's WebAssembly module for `ferrolit serve` to serve: the file
// make web writes (ferrolit.js: Emscripten's loader, the module's binary and
// its JavaScript API), so that the served page computes in the browser as the
// page opened from disk does.

#include <optional>
#include <string>

namespace ferrolit::cli::serve {

// The module's text. `path` empty: the one make web wrote in this build tree,
// or none (the page then sends its work to the server). A path given that is
// not such a module throws ferrolit::Error with an Italian message.
std::optional<std::string> load_page_module(const std::string& path);

}  // namespace ferrolit::cli::serve
