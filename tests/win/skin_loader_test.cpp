#include <windows.h>

#include <gtest/gtest.h>

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
constexpr uintptr_t kPreferredBase = 0x10000000;

Image SkinLibrary() { return {app::data::kSkinLibrary, app::data::kSkinLibrary + app::data::kSkinLibrarySize}; }

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

// The entry point is kept cleared: no damaged code ever runs, so any crash
// would be the loader's own reading or writing.
TEST(SkinLoader, DamagedImagesNeverCrash) {
  std::vector<uint8_t> original = SkinLibrary();
  uint32_t nt;
  std::memcpy(&nt, original.data() + 0x3C, 4);
  const size_t entryField = nt + 24 + 16;
  std::mt19937 random(20261207);
  int loaded = 0, refused = 0;
  for (int variant = 0; variant < 3000; ++variant) {
    std::vector<uint8_t> image = original;
    if (variant % 4 == 0) {
      image.resize(random() % image.size());
    } else {
      // Most flips in the headers and tables, where the loader looks.
      const size_t span = variant % 4 == 1 ? image.size() : std::min<size_t>(image.size(), 0x600);
      for (int flips = 1 + random() % 4; flips > 0; --flips) image[random() % span] ^= 1 << (random() % 8);
    }
    if (image.size() >= entryField + 4) std::memset(image.data() + entryField, 0, 4);
    if (MemoryModule* m = LoadFromMemory(image)) {
      ++loaded;
      FindExport(m, "AttachSkinData");  // reads the export tables, never a discarded page
      Release(m);
    } else {
      ++refused;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace skin
