// The loader's image checks on damaged images: a small valid DLL image with
// the input's bytes written over it at the offsets the input names, then cut
// where the input says; everything that passes the checks is mapped,
// relocated and has its imports and exports read, under ASan.
#include <cstddef>
#include <cstdint>

#include "skin/pe_image.h"
#include "tests/skin/pe_builder.h"

namespace {

constexpr size_t kMaxMappedImage = 1 << 20;

void Exercise(std::span<const uint8_t> file) {
  std::optional<skin::PeLayout> layout = skin::ReadPeLayout(file);
  if (!layout || layout->nt.sizeOfImage > kMaxMappedImage) return;
  std::vector<uint8_t> mapped(layout->nt.sizeOfImage);
  skin::CopyImage(file, *layout, mapped);
  std::optional<skin::NtHeaders> nt = skin::ReadNtHeaders(mapped);
  if (!nt) __builtin_trap();  // the copy must read as the file did
  skin::ApplyRelocations(mapped, *nt, 0x00340000);
  skin::ReadImports(mapped, *nt);
  skin::FindExportRva(mapped, *nt, "AttachSkinData");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> kBase = pe_builder::Build();
  Exercise({data, size});
  // Patches of (offset high, offset low, value) triples; a trailing odd pair cuts the image.
  std::vector<uint8_t> image = kBase;
  size_t i = 0;
  for (; i + 3 <= size; i += 3) image[(data[i] << 8 | data[i + 1]) % image.size()] = data[i + 2];
  if (size - i == 2) image.resize((data[i] << 8 | data[i + 1]) % (image.size() + 1));
  Exercise(image);
  return 0;
}
