#include "app/tip_pictures.h"

namespace app {

std::vector<uint8_t> FirstTipPicture() {
  std::vector<uint8_t> png(data::kTipPicture1Head, data::kTipPicture1Head + data::kTipPicture1HeadSize);
  png.insert(png.end(), data::kTipPicture1Tail, data::kTipPicture1Tail + data::kTipPicture1TailSize);
  return png;
}

std::vector<uint8_t> SecondTipPicture() {
  return std::vector<uint8_t>(data::kTipPicture2, data::kTipPicture2 + data::kTipPicture2Size);
}

}  // namespace app
