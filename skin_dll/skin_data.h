// The skin data format: a short text block of our own.
//
//   DSSKIN 1
//   font = Microsoft YaHei UI, WenQuanYi Micro Hei
//   font-height = 12
//   text = #1F2328
//   ...
//
// The first line is the format tag and version. Every other line is blank, a
// comment starting with ';', or "key = value" for one of the keys below, each
// exactly once. Anything else rejects the whole block, and a rejected block
// leaves the program's windows as they are.
//
// This file is compiled into the skin DLL, which has no C or C++ runtime, so
// it uses no library at all.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace skin_data {

enum Colour {
  kText,             // labels, edit boxes and lists
  kDisabledText,
  kEditBack,
  kListBack,
  kSelectionBack,
  kSelectionText,
  kButtonFace,
  kButtonPressed,
  kButtonBorder,
  kFocusBorder,
  kColourCount
};

constexpr size_t kMaxBlockLength = 4096;
constexpr int kMaxFaces = 4;
constexpr int kMaxFaceLength = 31;  // LOGFONT's face name holds 32 with the NUL
constexpr int kMinFontHeight = 8;
constexpr int kMaxFontHeight = 32;

struct Skin {
  char faces[kMaxFaces][kMaxFaceLength + 1];  // UTF-8, in order of preference
  int faceCount;
  int fontHeight;               // pixels, as a negative LOGFONT height
  uint32_t colours[kColourCount];  // 0x00BBGGRR, as COLORREF
};

// Fills `out` and returns true only for a well-formed block.
bool Parse(const uint8_t* data, size_t length, Skin* out);

}  // namespace skin_data
