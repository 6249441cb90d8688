#pragma once

// The page's files (tools/web/), embedded into the program at build time.

#include <string_view>

namespace ferrolit::cli::serve {

struct WebAsset {
    std::string_view path;  // "/app.js"; the page itself is "/index.html"
    std::string_view content_type;
    std::string_view body;
};

// Every embedded file; the table is generated from tools/web/ by CMake.
extern const WebAsset kWebAssets[];
extern const std::size_t kWebAssetCount;

}  // namespace ferrolit::cli::serve
