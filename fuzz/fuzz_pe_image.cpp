// The loader's image checks on damaged images: a small valid DLL image with
// the input's bytes written over it at the offsets the input names, then cut
// where the input says; everything that passes the checks is mapped,
// relocated and has its imports and exports read, under ASan, and its page
// plan must leave every page the headers, the entry point and the sections
// that stay need.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "skin/pe_image.h"
#include "tests/skin/pe_builder.h"

namespace {

constexpr size_t kMaxMappedImage = 1 << 20;
constexpr uint32_t kDiscardable = 0x02000000, kExecute = 0x20000000, kRead = 0x40000000, kWrite = 0x80000000;

const skin::PageRun* RunAt(const std::vector<skin::PageRun>& plan, uint64_t rva) {
  for (const skin::PageRun& run : plan)
    if (rva >= run.rva && rva - run.rva < run.size) return &run;
  return nullptr;
}

void CheckPlan(const skin::PeLayout& layout, const std::vector<skin::PageRun>& plan) {
  const skin::NtHeaders& nt = layout.nt;
  uint64_t previousEnd = 0;
  for (const skin::PageRun& run : plan) {
    if (run.rva % 0x1000 != 0 || run.rva < previousEnd) __builtin_trap();
    if (uint64_t{run.rva} + run.size > nt.sizeOfImage) __builtin_trap();
    previousEnd = uint64_t{run.rva} + run.size;
    if (run.discard && run.rva < nt.sizeOfHeaders) __builtin_trap();
  }
  if (nt.entryPoint != 0) {
    const skin::PageRun* run = RunAt(plan, nt.entryPoint);
    if (run && (run->discard || !(run->access & kExecute))) __builtin_trap();
  }
  for (const skin::Section& s : layout.sections) {
    const uint64_t data = s.rawSize != 0 ? s.rawSize : nt.sectionAlignment;
    if (data == 0 || (s.characteristics & kDiscardable)) continue;
    const uint64_t end = std::min<uint64_t>(s.virtualAddress + std::max<uint64_t>(data, s.virtualSize), nt.sizeOfImage);
    const uint32_t wanted = s.characteristics & (kExecute | kRead | kWrite);
    for (uint64_t page = s.virtualAddress & ~uint64_t{0xFFF}; page < end; page += 0x1000) {
      const skin::PageRun* run = RunAt(plan, page);
      if (!run) continue;
      // What is zero-filled is never code: only raw data needs all it asks for.
      const bool rawData = page < uint64_t{s.virtualAddress} + s.rawSize;
      if (run->discard || (rawData && (run->access & wanted) != wanted)) __builtin_trap();
    }
  }
}

void Exercise(std::span<const uint8_t> file) {
  std::optional<skin::PeLayout> layout = skin::ReadPeLayout(file);
  if (!layout || layout->nt.sizeOfImage > kMaxMappedImage) return;
  std::vector<uint8_t> mapped(layout->nt.sizeOfImage);
  skin::CopyImage(file, *layout, mapped);
  std::optional<skin::NtHeaders> nt = skin::ReadNtHeaders(mapped);
  if (!nt) __builtin_trap();  // the copy must read as the file did
  skin::ApplyRelocations(mapped, *nt, 0x00340000);
  skin::ReadImports(mapped, *nt);
  const std::vector<skin::PageRun> plan = skin::PlanPages(*layout);
  CheckPlan(*layout, plan);
  // Pages read as the loader leaves them: given back or without read access, not at all.
  auto readable = [&](uint64_t rva, uint64_t size) {
    for (uint64_t page = rva & ~uint64_t{0xFFF}; page < rva + size; page += 0x1000) {
      const skin::PageRun* run = RunAt(plan, page);
      if (run && (run->discard || !(run->access & (kRead | kWrite)))) return false;
    }
    return true;
  };
  skin::FindExportRva(mapped, *nt, "AttachSkinData", readable);
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
