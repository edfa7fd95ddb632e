#include "app/image_scale.h"

#include <gtest/gtest.h>

namespace app {
namespace {

Image Grey(int width, int height, std::vector<uint8_t> values) {
  Image image{width, height, {}};
  for (uint8_t v : values) image.bgra.insert(image.bgra.end(), {v, v, v, 255});
  return image;
}

std::vector<int> Greys(const Image& image) {
  std::vector<int> out;
  for (size_t k = 0; k < image.bgra.size(); k += 4) out.push_back(image.bgra[k]);
  return out;
}

// An edge enlarged fades over the pixels between the two centres instead
// of jumping: black to white in four steps, the borders kept.
TEST(ScaleImage, EnlargingBlendsNeighbours) {
  EXPECT_EQ(Greys(ScaleImage(Grey(2, 1, {0, 200}), 8, 1)), (std::vector<int>{0, 0, 25, 75, 125, 175, 200, 200}));
  // Rows blend as columns do.
  EXPECT_EQ(Greys(ScaleImage(Grey(1, 2, {0, 200}), 1, 4)), (std::vector<int>{0, 50, 150, 200}));
  // Each channel on its own, alpha included.
  Image two{2, 1, {10, 20, 30, 40, 110, 220, 130, 240}};
  EXPECT_EQ(ScaleImage(two, 4, 1).bgra,
            (std::vector<uint8_t>{10, 20, 30, 40, 35, 70, 55, 90, 85, 170, 105, 190, 110, 220, 130, 240}));
}

TEST(ScaleImage, SameSizeIsTheSamePicture) {
  Image image = Grey(3, 2, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(ScaleImage(image, 3, 2).bgra, image.bgra);
  // Halved: each output pixel lies between two source pixels.
  EXPECT_EQ(Greys(ScaleImage(Grey(4, 1, {0, 100, 200, 40}), 2, 1)), (std::vector<int>{50, 120}));
}

TEST(ScaleImage, EmptyInOrOut) {
  EXPECT_TRUE(ScaleImage(Image{}, 4, 4).bgra.empty());
  EXPECT_TRUE(ScaleImage(Grey(1, 1, {9}), 0, 4).bgra.empty());
  EXPECT_EQ(Greys(ScaleImage(Grey(1, 1, {9}), 3, 2)), (std::vector<int>{9, 9, 9, 9, 9, 9}));
}

}  // namespace
}  // namespace app
