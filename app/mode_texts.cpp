#include "app/mode_texts.h"

#include "app/texts.h"
#include "items/sentence.h"
#include "items/slot.h"

namespace app {

ModeTexts TextsOf(ds::AnalysisMode mode) {
  bool http = mode == ds::AnalysisMode::kHttp;
  const char* word = ds::ModeWord(mode);
  auto copyMenu = [word](ds::Slot slot) {
    return ds::FillIn(texts::kCopySlotMenu, {{"slot", ds::SlotLabel(slot)}, {"mode", word}});
  };
  return ModeTexts{
      ds::FillIn(texts::kAnalyseCaption, {{"mode", word}}),
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
