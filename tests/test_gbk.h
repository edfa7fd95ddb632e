// Expected texts written as readable UTF-8 in the tests, compared as GBK.
#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace ds::test {

inline std::string Gbk(std::string_view utf8) {
  return platform::FromUtf16(platform::ToUtf16(utf8, platform::kCodePageUtf8), platform::kCodePageGbk);
}

}  // namespace ds::test
