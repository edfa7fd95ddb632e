#include "compare/list_role.h"

#include "compare/texts.h"
#include "items/texts.h"

namespace ds {

const char* ListTitle(ListRole role) {
  switch (role) {
    case ListRole::kSlot1Items: return texts::kTitleSlot1Items;
    case ListRole::kSlot2Items: return texts::kTitleSlot2Items;
    case ListRole::kSlot1Missing: return texts::kTitleSlot1Missing;
    case ListRole::kSlot2Missing: return texts::kTitleSlot2Missing;
    case ListRole::kDifferences: return texts::kTitleDifferences;
    case ListRole::kNone: break;
  }
  return "";
}

Text TitleWithModeWord(ListRole role, std::string_view modeWord) {
  return Replace(ListTitle(role), texts::kModeWordCookies, modeWord);
}

bool StopsItemReport(Slot source, ListRole current) {
  if (source == Slot::k1) return current == ListRole::kSlot2Items;
  return current == ListRole::kSlot1Items || current == ListRole::kDifferences;
}

}  // namespace ds
