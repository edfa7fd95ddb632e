#include "app/mode_texts.h"

#include "app/texts.h"
#include "items/slot.h"

namespace app {

ModeTexts TextsOf(ds::AnalysisMode mode) {
  bool http = mode == ds::AnalysisMode::kHttp;
  const char* word = ds::ModeWord(mode);
  auto copyMenu = [word](ds::Slot slot) {
    return ds::Text(texts::kCopyPrefix) + ds::SlotLabel(slot) + word + texts::kCopyDataSuffix;
  };
  return ModeTexts{
      ds::Text(texts::kAnalysePrefix) + word,
      http ? texts::kSlot1CaptionHttp : texts::kSlot1CaptionCookies,
      http ? texts::kSlot2CaptionHttp : texts::kSlot2CaptionCookies,
      texts::kDifferenceCaption,
      http ? texts::kContentCaptionHttp : texts::kContentCaptionCookies,
      copyMenu(ds::Slot::k1),
      copyMenu(ds::Slot::k2),
      http ? texts::kItemNameColumnHttp : texts::kItemNameColumnCookies,
      http ? texts::kMissingNameColumnHttp : texts::kMissingNameColumnCookies,
      http ? texts::kDifferenceNameColumnHttp : texts::kDifferenceNameColumnCookies,
  };
}

}  // namespace app
