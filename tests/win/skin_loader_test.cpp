#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "skin/carried_skin.h"
#include "skin/memory_module.h"
#include "skin/pe_image.h"
#include "tests/skin/pe_builder.h"

namespace skin {
namespace {

using LoadCheck = const char*(WINAPI*)();
using BaseOfData = uint8_t*(WINAPI*)();
using Image = std::vector<uint8_t>;
using pe_builder::Put32;
using pe_builder::SectionField;
constexpr uintptr_t kPreferredBase = 0x10000000;
constexpr size_t kSectionAlignmentField = pe_builder::kOptionalHeader + 32;
constexpr uint32_t kExecute = IMAGE_SCN_MEM_EXECUTE, kRead = IMAGE_SCN_MEM_READ, kWrite = IMAGE_SCN_MEM_WRITE;

Image SkinLibrary() { return {app::data::kSkinLibrary, app::data::kSkinLibrary + app::data::kSkinLibrarySize}; }

// What a page of this process grants, as section flags.
uint32_t AccessAt(const uint8_t* address) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(address, &info, sizeof info) || info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD)) return 0;
  switch (info.Protect & 0xFF) {
    case PAGE_READONLY: return kRead;
    case PAGE_READWRITE: case PAGE_WRITECOPY: return kRead | kWrite;
    case PAGE_EXECUTE: return kExecute;
    case PAGE_EXECUTE_READ: return kExecute | kRead;
    case PAGE_EXECUTE_READWRITE: case PAGE_EXECUTE_WRITECOPY: return kExecute | kRead | kWrite;
    default: return 0;
  }
}

bool AddressIsFree(uintptr_t address) {
  MEMORY_BASIC_INFORMATION info;
  return VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) && info.State == MEM_FREE;
}

// The library's entry point ran, and a pointer stored in its data points into
// the image where it now lies: proof that its relocations were applied.
void ExpectWorking(const MemoryModule* m) {
  EXPECT_TRUE(m->initialised);
  EXPECT_EQ(m->headers->OptionalHeader.ImageBase, reinterpret_cast<uintptr_t>(m->imageBase));
  auto check = reinterpret_cast<LoadCheck>(FindExport(m, "SkinLoadCheck"));
  ASSERT_TRUE(check);
  const char* tag = check();
  ASSERT_TRUE(tag);
  EXPECT_GE(reinterpret_cast<const uint8_t*>(tag), m->imageBase);
  EXPECT_LT(reinterpret_cast<const uint8_t*>(tag), m->imageBase + m->headers->OptionalHeader.SizeOfImage);
  EXPECT_STREQ(tag, "dsskin");
}

TEST(SkinLoader, RefusesImagesWithoutTheirSignatures) {
  std::vector<uint8_t> image = SkinLibrary();
  image[1] = 'X';
  EXPECT_FALSE(LoadFromMemory(image));
  image = SkinLibrary();
  uint32_t nt;
  std::memcpy(&nt, image.data() + 0x3C, 4);
  image[nt + 1] = 'F';
  EXPECT_FALSE(LoadFromMemory(image));
}

TEST(SkinLoader, LoadsAtThePreferredBase) {
  ASSERT_TRUE(AddressIsFree(kPreferredBase));
  MemoryModule* m = LoadFromMemory(SkinLibrary());
  ASSERT_TRUE(m);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(m->imageBase), kPreferredBase);
  ExpectWorking(m);
  Release(m);
  EXPECT_TRUE(AddressIsFree(kPreferredBase));
}

TEST(SkinLoader, RelocatesWhenThePreferredBaseIsTaken) {
  void* taken = VirtualAlloc(reinterpret_cast<void*>(kPreferredBase), 0x1000, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_EQ(reinterpret_cast<uintptr_t>(taken), kPreferredBase);
  MemoryModule* m = LoadFromMemory(SkinLibrary());
  ASSERT_TRUE(m);
  EXPECT_NE(reinterpret_cast<uintptr_t>(m->imageBase), kPreferredBase);
  ExpectWorking(m);
  Release(m);
  VirtualFree(taken, 0, MEM_RELEASE);
}

// Moved away from its base, an image without relocations would run with
// wrong addresses: it is not loaded.
TEST(SkinLoader, AnImageWithoutRelocationsLoadsOnlyAtItsBase) {
  std::vector<uint8_t> image = SkinLibrary();
  uint32_t nt;
  std::memcpy(&nt, image.data() + 0x3C, 4);
  std::memset(image.data() + nt + 24 + 96 + 5 * 8, 0, 8);  // the relocation directory
  void* taken = VirtualAlloc(reinterpret_cast<void*>(kPreferredBase), 0x1000, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_TRUE(taken);
  EXPECT_FALSE(LoadFromMemory(image));
  VirtualFree(taken, 0, MEM_RELEASE);
  MemoryModule* m = LoadFromMemory(image);
  EXPECT_TRUE(m);
  Release(m);
}

TEST(SkinLoader, ExportNamesMatchInLetterCase) {
  MemoryModule* m = LoadFromMemory(SkinLibrary());
  ASSERT_TRUE(m);
  EXPECT_TRUE(FindExport(m, "AttachSkinData"));
  for (const char* name : {"attachSkinData", "ATTACHSKINDATA", "AttachSkinDatA", "AttachSkinData@20"})
    EXPECT_FALSE(FindExport(m, name)) << name;
  Release(m);
}

// A library nothing else in this process has loaded shows by whether it is
// still mapped whether the loader freed what it loaded.
TEST(SkinLoader, FailedImportsFreeTheLibrariesLoadedBefore) {
  const std::pair<const char*, const char*> candidates[] = {
      {"msacm32.dll", "acmGetVersion"}, {"mpr.dll", "WNetGetLastErrorA"}, {"version.dll", "GetFileVersionInfoSizeA"}};
  const char* library = nullptr;
  const char* function = nullptr;
  for (auto [name, export_name] : candidates)
    if (!GetModuleHandleA(name)) {
      library = name;
      function = export_name;
      break;
    }
  ASSERT_TRUE(library);
  pe_builder::Options o;
  o.imports = {{library, {function}}, {"ds_no_such_library.dll", {"Nothing"}}};
  EXPECT_FALSE(LoadFromMemory(pe_builder::Build(o)));
  EXPECT_FALSE(GetModuleHandleA(library));
  o.imports = {{library, {function}}, {"kernel32.dll", {"#1", "NoSuchFunction"}}};
  EXPECT_FALSE(LoadFromMemory(pe_builder::Build(o)));
  EXPECT_FALSE(GetModuleHandleA(library));

  o.imports = {{library, {function}}, {"kernel32.dll", {"GetTickCount"}}};
  MemoryModule* m = LoadFromMemory(pe_builder::Build(o));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->libraryCount, 2);
  EXPECT_TRUE(GetModuleHandleA(library));
  auto base = reinterpret_cast<BaseOfData>(FindExport(m, "BaseOfData"));
  ASSERT_TRUE(base);
  EXPECT_EQ(base(), m->imageBase + pe_builder::kExportRva);
  Release(m);
  EXPECT_FALSE(GetModuleHandleA(library)) << library;
}

// A discardable section gives its pages back, but not one it shares with a
// section that stays: here the relocations follow the imports on their page.
TEST(SkinLoader, DiscardsOnlyPagesNoOtherSectionNeeds) {
  MemoryModule* m = LoadFromMemory(pe_builder::Build());
  ASSERT_TRUE(m);
  EXPECT_TRUE(IsBadReadPtr(m->imageBase + pe_builder::kRelocRva, 4));
  EXPECT_FALSE(IsBadReadPtr(m->imageBase + pe_builder::kImportRva, 4));
  Release(m);

  std::vector<uint8_t> shared = pe_builder::Build();
  const uint32_t relocations = pe_builder::kImportRva + 0x200;
  pe_builder::Put32(shared, pe_builder::kSectionTable + 40 * 3 + 12, relocations);
  pe_builder::Put32(shared, pe_builder::kNtOffset + 24 + 96 + 40, relocations);
  m = LoadFromMemory(shared);
  ASSERT_TRUE(m);
  EXPECT_FALSE(IsBadReadPtr(m->imageBase + pe_builder::kImportRva, 4));
  Release(m);

  // Relocations laid over the code, from the same raw data on: the code's
  // page stays, and the entry point runs in it.
  Image overCode = pe_builder::Build();
  overCode.resize(0x1400);
  Put32(overCode, SectionField(3, 12), pe_builder::kEntryRva);
  Put32(overCode, SectionField(3, 16), 0x1000);
  Put32(overCode, SectionField(3, 20), 0x400);
  Put32(overCode, pe_builder::kDirectories + 40, pe_builder::kEntryRva + 0x600);
  m = LoadFromMemory(overCode);
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->initialised);
  auto base = reinterpret_cast<BaseOfData>(FindExport(m, "BaseOfData"));
  ASSERT_TRUE(base);
  EXPECT_EQ(base(), m->imageBase + pe_builder::kExportRva);
  Release(m);

  // Fine alignment: the imports' zero-filled tail runs past their raw data
  // onto the page the relocations start on.
  Image tail = pe_builder::Build();
  Put32(tail, kSectionAlignmentField, 0x200);
  Put32(tail, SectionField(2, 8), 0x1200);
  Put32(tail, SectionField(3, 12), pe_builder::kImportRva + 0x1200);
  Put32(tail, pe_builder::kDirectories + 40, pe_builder::kImportRva + 0x1200);
  m = LoadFromMemory(tail);
  ASSERT_TRUE(m);
  EXPECT_FALSE(IsBadWritePtr(m->imageBase + pe_builder::kImportRva + 0x1000, 0x200));
  Release(m);
}

// A section's protection covers whole pages, so it reaches whatever shares
// them; it may add access there but never take away what the headers or a
// neighbour need.
TEST(SkinLoader, ProtectionKeepsWhatSharedPagesNeed) {
  // A section without access right after the headers, on their page.
  Image afterHeaders = pe_builder::Build();
  Put32(afterHeaders, kSectionAlignmentField, 0x200);
  Put32(afterHeaders, SectionField(3, 12), 0x400);
  Put32(afterHeaders, SectionField(3, 36), IMAGE_SCN_CNT_INITIALIZED_DATA);
  Put32(afterHeaders, pe_builder::kDirectories + 40, 0x400);
  MemoryModule* m = LoadFromMemory(afterHeaders);
  ASSERT_TRUE(m);
  EXPECT_EQ(FindExport(m, "AttachSkinData"), m->imageBase + pe_builder::kEntryRva);
  Release(m);

  // An empty section listed last but lying before the code: sized from
  // SizeOfInitializedData, it would make the code's page read-only.
  Image emptyBefore = pe_builder::Build();
  Put32(emptyBefore, kSectionAlignmentField, 0x200);
  Put32(emptyBefore, SectionField(3, 12), pe_builder::kEntryRva - 0x200);
  Put32(emptyBefore, SectionField(3, 16), 0);
  Put32(emptyBefore, SectionField(3, 20), 0);
  Put32(emptyBefore, SectionField(3, 36), IMAGE_SCN_CNT_INITIALIZED_DATA | kRead);
  m = LoadFromMemory(emptyBefore);
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->initialised);
  EXPECT_EQ(AccessAt(m->imageBase + pe_builder::kEntryRva), kExecute | kRead);
  Release(m);

  // Code that asks to be written but not read: memory of our own cannot be
  // copy-on-write, so it must not lose execute for want of it.
  Image writableCode = pe_builder::Build();
  Put32(writableCode, SectionField(0, 36), IMAGE_SCN_CNT_CODE | kExecute | kWrite);
  m = LoadFromMemory(writableCode);
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->initialised);
  EXPECT_EQ(AccessAt(m->imageBase + pe_builder::kEntryRva) & (kExecute | kWrite), kExecute | kWrite);
  Release(m);
}

// Export tables in a section that may not be read are not read: the export
// is not found, and the library stays loaded.
TEST(SkinLoader, ExportsInUnreadableSectionsAreNotFound) {
  Image image = SkinLibrary();
  std::optional<PeLayout> layout = ReadPeLayout(image);
  ASSERT_TRUE(layout);
  const uint32_t exports = layout->nt.directories[kExportDirectory].rva;
  int cleared = 0;
  for (const Section& s : layout->sections)
    if (exports >= s.virtualAddress && exports - s.virtualAddress < s.rawSize) {
      Put32(image, s.headerOffset + 36, s.characteristics & ~kRead);
      ++cleared;
    }
  ASSERT_EQ(cleared, 1);
  MemoryModule* m = LoadFromMemory(image);
  ASSERT_TRUE(m);
  EXPECT_FALSE(FindExport(m, "AttachSkinData"));
  Release(m);
}

// The certificates of a signed library lie at a file offset past the image;
// a library with thread data would run without it, so it is refused.
TEST(SkinLoader, SignedLibrariesLoadLibrariesWithThreadDataDoNot) {
  Image image = SkinLibrary();
  std::optional<NtHeaders> nt = ReadNtHeaders(image);
  ASSERT_TRUE(nt);
  const size_t directories = nt->ntOffset + 24 + 96;
  Image signedImage = image;
  signedImage.resize(nt->sizeOfImage + 0x200, 0);
  Put32(signedImage, directories + 8 * 4, nt->sizeOfImage);
  Put32(signedImage, directories + 8 * 4 + 4, 0x200);
  MemoryModule* m = LoadFromMemory(signedImage);
  ASSERT_TRUE(m);
  ExpectWorking(m);
  Release(m);

  Put32(image, directories + 8 * 9, nt->directories[kExportDirectory].rva);
  Put32(image, directories + 8 * 9 + 4, 24);
  EXPECT_FALSE(LoadFromMemory(image));
}

// A fresh seed each run, printed; DS_SKIN_SEED=<seed> replays a run.
uint32_t DamageSeed() {
  if (const char* given = std::getenv("DS_SKIN_SEED")) return static_cast<uint32_t>(std::strtoul(given, nullptr, 10));
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return std::random_device{}() ^ static_cast<uint32_t>(now.QuadPart);
}

// Every section that stays keeps the access it asks for over its raw data,
// and over what is zero-filled (its tail, an empty section) all but execute;
// the headers stay readable.
void ExpectSectionsKeepTheirAccess(const MemoryModule* m, const Image& image) {
  std::optional<PeLayout> layout = ReadPeLayout(image);
  ASSERT_TRUE(layout);
  const NtHeaders& nt = layout->nt;
  EXPECT_TRUE(AccessAt(m->imageBase) & kRead);
  auto expectAccess = [&](const Section& s, uint64_t from, uint64_t to, uint32_t wanted) {
    // An empty range asks nothing, though its start may lie inside a page.
    if (from >= to) return;
    for (uint64_t page = from & ~uint64_t{0xFFF}; page < std::min<uint64_t>(to, nt.sizeOfImage); page += 0x1000)
      ASSERT_EQ(AccessAt(m->imageBase + page) & wanted, wanted)
          << std::hex << "section at " << s.virtualAddress << " with flags " << s.characteristics << ", page " << page;
  };
  for (const Section& s : layout->sections) {
    const uint64_t data = s.rawSize != 0 ? s.rawSize : nt.sectionAlignment;
    if (data == 0 || (s.characteristics & IMAGE_SCN_MEM_DISCARDABLE)) continue;
    const uint32_t wanted = s.characteristics & (kExecute | kRead | kWrite);
    const uint64_t zeroFilledEnd = s.virtualAddress + std::max<uint64_t>(data, s.virtualSize);
    expectAccess(s, s.virtualAddress, s.virtualAddress + s.rawSize, wanted);
    expectAccess(s, s.virtualAddress + s.rawSize, zeroFilledEnd, wanted & ~kExecute);
  }
}

// The entry point is kept cleared: no damaged code ever runs, so any crash
// would be the loader's own reading or writing.
TEST(SkinLoader, DamagedImagesNeverCrash) {
  const Image original = SkinLibrary();
  std::optional<NtHeaders> nt = ReadNtHeaders(original);
  ASSERT_TRUE(nt);
  const size_t entryField = nt->ntOffset + 24 + 16;
  const size_t sectionTable = nt->sectionTableOffset, sectionTableSize = size_t{40} * nt->sectionCount;
  const uint32_t seed = DamageSeed();
  std::printf("DS_SKIN_SEED=%u\n", seed);
  std::fflush(stdout);
  SCOPED_TRACE(testing::Message() << "DS_SKIN_SEED=" << seed);
  std::mt19937 random(seed);
  int loaded = 0, refused = 0;
  for (int variant = 0; variant < 20000; ++variant) {
    Image image = original;
    if (variant % 4 == 0) {
      image.resize(random() % image.size());
    } else {
      // Most flips where the loader looks: the headers, and among them the
      // section table, whose addresses, sizes and flags decide the pages.
      const size_t from = variant % 4 == 3 ? sectionTable : 0;
      const size_t span = variant % 4 == 1 ? image.size() : variant % 4 == 2 ? 0x600 : sectionTableSize;
      for (int flips = 1 + random() % 4; flips > 0; --flips) image[from + random() % span] ^= 1 << (random() % 8);
    }
    if (image.size() >= entryField + 4) std::memset(image.data() + entryField, 0, 4);
    if (MemoryModule* m = LoadFromMemory(image)) {
      ++loaded;
      ExpectSectionsKeepTheirAccess(m, image);
      FindExport(m, "AttachSkinData");  // reads the export tables, never a page it may not read
      Release(m);
      if (HasFatalFailure()) return;
    } else {
      ++refused;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace skin
