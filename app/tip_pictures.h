// The tip window's two pictures, carried in the program as data. The first
// is kept as two blocks and joined when the window is created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace app::data {
extern const uint8_t kTipPicture1Head[];
extern const size_t kTipPicture1HeadSize;
extern const uint8_t kTipPicture1Tail[];
extern const size_t kTipPicture1TailSize;
extern const uint8_t kTipPicture2[];
extern const size_t kTipPicture2Size;
}  // namespace app::data

namespace app {

std::vector<uint8_t> FirstTipPicture();   // the two blocks joined
std::vector<uint8_t> SecondTipPicture();

}  // namespace app
