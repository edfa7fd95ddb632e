#include "app/image_scale.h"

#include <algorithm>
#include <cmath>

namespace app {
namespace {

// Where an output pixel's centre falls between two source pixels: the nearer
// index and the weight of the one after it. The borders repeat.
struct Sample {
  int first, second;
  double weight;
};

Sample SampleAt(int out, int outSize, int sourceSize) {
  double at = (out + 0.5) * sourceSize / outSize - 0.5;
  at = std::clamp(at, 0.0, static_cast<double>(sourceSize - 1));
  int first = static_cast<int>(std::floor(at));
  return {first, std::min(first + 1, sourceSize - 1), at - first};
}

}  // namespace

Image ScaleImage(const Image& source, int width, int height) {
  if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return {};
  Image out{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height) * 4)};
  auto pixel = [&source](int x, int y) { return &source.bgra[(static_cast<size_t>(y) * source.width + x) * 4]; };
  uint8_t* target = out.bgra.data();
  for (int y = 0; y < height; ++y) {
    Sample sy = SampleAt(y, height, source.height);
    for (int x = 0; x < width; ++x) {
      Sample sx = SampleAt(x, width, source.width);
      const uint8_t *a = pixel(sx.first, sy.first), *b = pixel(sx.second, sy.first);
      const uint8_t *c = pixel(sx.first, sy.second), *d = pixel(sx.second, sy.second);
      for (int k = 0; k < 4; ++k) {
        double top = a[k] + (b[k] - a[k]) * sx.weight, bottom = c[k] + (d[k] - c[k]) * sx.weight;
        *target++ = static_cast<uint8_t>(std::lround(top + (bottom - top) * sy.weight));
      }
    }
  }
  return out;
}

}  // namespace app
