#include "app/png_image.h"

#include <gtest/gtest.h>

#include "app/tip_pictures.h"

namespace app {
namespace {

TEST(TipPictures, BothDecodeAt330Pixels) {
  for (const std::vector<uint8_t>& png : {FirstTipPicture(), SecondTipPicture()}) {
    std::optional<Image> image = DecodePng(png.data(), png.size());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 330);
    EXPECT_EQ(image->height, 330);
    EXPECT_EQ(image->bgra.size(), 330u * 330u * 4u);
  }
}

TEST(TipPictures, TheFirstIsJoinedFromTwoBlocks) {
  EXPECT_EQ(data::kTipPicture1HeadSize, 882u);
  std::vector<uint8_t> joined = FirstTipPicture();
  EXPECT_EQ(joined.size(), data::kTipPicture1HeadSize + data::kTipPicture1TailSize);
  // Either block alone is no picture.
  EXPECT_FALSE(DecodePng(data::kTipPicture1Head, data::kTipPicture1HeadSize).has_value());
}

TEST(DecodePng, RejectsWhatIsNoPng) {
  const uint8_t junk[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
  EXPECT_FALSE(DecodePng(junk, sizeof junk).has_value());
  EXPECT_FALSE(DecodePng(junk, 0).has_value());
}

}  // namespace
}  // namespace app
