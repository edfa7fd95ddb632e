// The skin library image and its skin data, carried inside the program as
// bytes embedded at build time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace app::data {
extern const uint8_t kSkinLibrary[];
extern const size_t kSkinLibrarySize;
extern const uint8_t kSkinData[];
extern const size_t kSkinDataSize;
}  // namespace app::data
