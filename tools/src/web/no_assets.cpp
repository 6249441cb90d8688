// The module serves no files of its own: the page loads it.

#include "serve/web_assets.hpp"

namespace ferrolit::cli::serve {

const WebAsset kWebAssets[] = {{"", "", ""}};
const std::size_t kWebAssetCount = 0;

}  // namespace ferrolit::cli::serve
