#include "skin/skin.h"

#include <vector>

#include "skin/carried_skin.h"
#include "skin/memory_module.h"


namespace skin {
namespace {

std::vector<uint8_t>& SkinDataCopy() {
  static std::vector<uint8_t> copy;
  return copy;
}

using AttachSkinData = int(WINAPI*)(const void* data, unsigned length, unsigned, unsigned, unsigned);

}  // namespace

bool ApplySkinWith(std::span<const uint8_t> library, std::span<const uint8_t> data) {
  // The loader works on a copy, dropped again once the image is mapped.
  std::vector<uint8_t> image(library.begin(), library.end());
  // Kept for the whole run: the skin's windows call into it until exit.
  MemoryModule* module = LoadFromMemory(image);
  if (!module) return false;
  auto attach = reinterpret_cast<AttachSkinData>(FindExport(module, "AttachSkinData"));
  if (!attach) return false;
  attach(data.data(), static_cast<unsigned>(data.size()), 0, 0, 0);
  return true;
}

void ApplySkin() {
  std::vector<uint8_t>& data = SkinDataCopy();
  data.assign(app::data::kSkinData, app::data::kSkinData + app::data::kSkinDataSize);
  ApplySkinWith({app::data::kSkinLibrary, app::data::kSkinLibrarySize}, data);
}

void ReleaseSkinData() { std::vector<uint8_t>().swap(SkinDataCopy()); }

}  // namespace skin
