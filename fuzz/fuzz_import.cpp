// The capture recogniser on arbitrary bytes, read as a dropped file is,
// guessing and told each format, in both modes: it must never crash, an
// error must come with no text, and a slot text must parse back to as many
// items as the capture gave. A JSON document read by the fast reader gives
// exactly what the event parser alone gives.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/capture.h"
#include "items/separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ds::DecodedCapture decoded = ds::DecodeCapture(std::string(reinterpret_cast<const char*>(data), size), false);
  if (decoded.badOffset) return 0;
  for (ds::AnalysisMode mode : {ds::AnalysisMode::kCookies, ds::AnalysisMode::kHttp})
    if (ds::ReadJsonDocument(decoded.text.utf8, mode, ds::JsonPath::kFast) !=
        ds::ReadJsonDocument(decoded.text.utf8, mode, ds::JsonPath::kEvents))
      __builtin_trap();
  const ds::CaptureFormat formats[] = {
      ds::CaptureFormat::kAuto,       ds::CaptureFormat::kCurl,   ds::CaptureFormat::kCurlVerbose,
      ds::CaptureFormat::kRaw,        ds::CaptureFormat::kHar,    ds::CaptureFormat::kCookiesTxt,
      ds::CaptureFormat::kJson,       ds::CaptureFormat::kPowerShell, ds::CaptureFormat::kFetch,
      ds::CaptureFormat::kPython};
  for (ds::AnalysisMode mode : {ds::AnalysisMode::kCookies, ds::AnalysisMode::kHttp}) {
    for (ds::CaptureFormat format : formats) {
      ds::Recognised r = ds::Recognise(decoded.text, format, mode, ds::DefaultSeparators(mode), {2, {}});
      if (r.error && !r.slotText.empty()) __builtin_trap();
    }
  }
  return 0;
}
