// The capture recogniser on arbitrary bytes, guessing and told each format,
// in both modes: it must never crash, and an error must come with no text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/capture.h"
#include "items/separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const ds::CaptureFormat formats[] = {ds::CaptureFormat::kAuto, ds::CaptureFormat::kCurl, ds::CaptureFormat::kRaw,
                                       ds::CaptureFormat::kHar, ds::CaptureFormat::kCookiesTxt};
  for (ds::AnalysisMode mode : {ds::AnalysisMode::kCookies, ds::AnalysisMode::kHttp}) {
    for (ds::CaptureFormat format : formats) {
      ds::Recognised r = ds::Recognise(text, format, mode, ds::DefaultSeparators(mode), {2, {}});
      if (r.error && !r.slotText.empty()) __builtin_trap();
    }
  }
  return 0;
}
