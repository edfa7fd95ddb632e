// The skin data reader on arbitrary bytes: whatever it accepts must be within
// the limits the skin library relies on.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "skin_dll/skin_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  skin_data::Skin skin;
  if (!skin_data::Parse(data, size, &skin)) return 0;
  if (skin.faceCount < 1 || skin.faceCount > skin_data::kMaxFaces) __builtin_trap();
  if (skin.fontHeight < skin_data::kMinFontHeight || skin.fontHeight > skin_data::kMaxFontHeight) __builtin_trap();
  for (int i = 0; i < skin.faceCount; ++i)
    if (std::strlen(skin.faces[i]) == 0 || std::strlen(skin.faces[i]) > skin_data::kMaxFaceLength) __builtin_trap();
  return 0;
}
