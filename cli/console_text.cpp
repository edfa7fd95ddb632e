#include "cli/console_text.h"

#include "items/text.h"
#include "platform/codepage.h"

namespace cli {
namespace {

// How many bytes at the end of `text` begin a character it does not finish.
size_t CutTail(std::string_view text, Encoding encoding) {
  if (encoding == Encoding::kGbk) {
    size_t last = 0;
    for (size_t i = 0; i < text.size(); i += ds::CharLength(text, i)) last = i;
    return !text.empty() && last + 1 == text.size() && ds::IsLeadByte(static_cast<unsigned char>(text[last])) ? 1 : 0;
  }
  // UTF-8: the last lead byte within three of the end, and the length it announces.
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    unsigned char c = static_cast<unsigned char>(text[text.size() - back]);
    if ((c & 0xC0) == 0x80) continue;
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace

StreamWrite HowToWrite(bool isConsole, bool windows) {
  return isConsole && windows ? StreamWrite::kConsoleUtf16 : StreamWrite::kBytes;
}

std::u16string ConsoleText::operator()(std::string_view bytes) {
  held_.append(bytes);
  size_t keep = CutTail(held_, encoding_);
  unsigned codePage = encoding_ == Encoding::kGbk ? ds::platform::kCodePageGbk : ds::platform::kCodePageUtf8;
  std::u16string units = ds::platform::ToUtf16(std::string_view(held_).substr(0, held_.size() - keep), codePage);
  held_.erase(0, held_.size() - keep);
  return units;
}

}  // namespace cli
