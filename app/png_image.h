// PNG decoding for the pictures the program carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace app {

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // top-down rows, 4 bytes a pixel
};

// Nothing when the bytes are not a PNG libpng can read.
std::optional<Image> DecodePng(const uint8_t* data, size_t size);

}  // namespace app
