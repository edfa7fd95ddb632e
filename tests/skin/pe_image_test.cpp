#include "skin/pe_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/skin/pe_builder.h"

namespace skin {
namespace {

using pe_builder::Put16;
using pe_builder::Put32;
using Image = std::vector<uint8_t>;

using pe_builder::SectionField;
constexpr size_t kOpt = pe_builder::kOptionalHeader;
constexpr size_t kDirs = pe_builder::kDirectories;
constexpr auto At = pe_builder::FileOffset;

uint32_t Read32(const Image& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

Image Mapped(const Image& file) {
  std::optional<PeLayout> layout = ReadPeLayout(file);
  EXPECT_TRUE(layout);
  if (!layout) return {};
  Image mapped(layout->nt.sizeOfImage);
  CopyImage(file, *layout, mapped);
  return mapped;
}

// Every offset and size the headers state is checked before use; 64-bit
// sums keep values near 4 GiB from wrapping past the checks.
TEST(PeImage, RefusesHeadersPointingOutside) {
  const std::pair<const char*, std::function<void(Image&)>> cases[] = {
      {"not MZ", [](Image& b) { b[0] = 'Z'; }},
      {"bad PE signature", [](Image& b) { b[pe_builder::kNtOffset + 2] = 1; }},
      {"e_lfanew past the end", [](Image& b) { Put32(b, 0x3C, 0xBF0); }},
      {"e_lfanew wrapping", [](Image& b) { Put32(b, 0x3C, 0xFFFFFFF8); }},
      {"not i386", [](Image& b) { Put16(b, pe_builder::kNtOffset + 4, 0x8664); }},
      {"optional header too short for its directories", [](Image& b) { Put16(b, pe_builder::kNtOffset + 20, 100); }},
      {"section table past SizeOfHeaders", [](Image& b) { Put16(b, pe_builder::kNtOffset + 6, 30); }},
      {"SizeOfHeaders past the file", [](Image& b) { Put32(b, kOpt + 60, 0x2000); }},
      {"SizeOfHeaders past SizeOfImage", [](Image& b) { Put32(b, kOpt + 56, 0x300); }},
      {"raw data past the file", [](Image& b) { Put32(b, SectionField(1, 16), 0x800); }},
      {"raw data offset wrapping", [](Image& b) { Put32(b, SectionField(1, 20), 0xFFFFFF00); }},
      {"section past SizeOfImage", [](Image& b) { Put32(b, SectionField(3, 12), 0x4F00); }},
      {"section over the headers", [](Image& b) { Put32(b, SectionField(1, 12), 0x200); }},
      {"empty section whose alignment runs past the image",
       [](Image& b) { Put32(b, SectionField(3, 16), 0), Put32(b, kOpt + 32, 0x2000); }},
      {"export directory wrapping", [](Image& b) { Put32(b, kDirs, 0xFFFFFFF0), Put32(b, kDirs + 4, 0x20); }},
      {"relocations past SizeOfImage", [](Image& b) { Put32(b, kDirs + 44, 0x1001); }},
      {"entry point outside code", [](Image& b) { Put32(b, kOpt + 16, pe_builder::kExportRva); }},
  };
  for (const auto& [name, damage] : cases) {
    Image image = pe_builder::Build();
    damage(image);
    EXPECT_FALSE(ReadPeLayout(image)) << name;
  }
  const Image whole = pe_builder::Build();
  for (size_t length : {size_t{0}, size_t{2}, size_t{63}, size_t{0x100}, size_t{0x3FF}, size_t{0xBFF}})
    EXPECT_FALSE(ReadPeLayout(std::span(whole).first(length))) << "cut to " << length;
}

// The certificate table of a signed image is found by file offset, after the
// sections, and is never mapped; the loader runs no thread-data callbacks, so
// an image that declares thread data is refused.
TEST(PeImage, SignedImagesLoadImagesWithThreadDataDoNot) {
  constexpr size_t kCertificates = kDirs + 8 * 4, kThreadData = kDirs + 8 * 9;
  Image signedImage = pe_builder::Build();
  signedImage.resize(pe_builder::kSizeOfImage + 0x180);
  Put32(signedImage, kCertificates, pe_builder::kSizeOfImage);
  Put32(signedImage, kCertificates + 4, 0x180);
  EXPECT_TRUE(ReadPeLayout(signedImage));
  Image mapped = Mapped(signedImage);
  EXPECT_TRUE(ReadNtHeaders(mapped));

  for (const auto& [rva, size] : {std::pair{pe_builder::kExportRva + 0x100, 24u}, {pe_builder::kExportRva, 0u}}) {
    Image image = pe_builder::Build();
    Put32(image, kThreadData, rva);
    Put32(image, kThreadData + 4, size);
    EXPECT_FALSE(ReadPeLayout(image)) << size;
  }
}

TEST(PeImage, RelocatesHighLowEntriesOnly) {
  Image file = pe_builder::Build();
  // A second, 64-bit entry in the same block is not ours to apply.
  Put32(file, At(pe_builder::kRelocRva) + 4, 12);
  Put16(file, At(pe_builder::kRelocRva) + 10, 0xA000 | 0x020);
  Image mapped = Mapped(file);
  const Image before = mapped;
  std::optional<NtHeaders> nt = ReadNtHeaders(mapped);
  ASSERT_TRUE(nt);
  ASSERT_TRUE(ApplyRelocations(mapped, *nt, 0x00230000));
  EXPECT_EQ(Read32(mapped, pe_builder::kBaseOfDataRva + 1), 0x10232000u);
  Put32(mapped, pe_builder::kBaseOfDataRva + 1, 0x10002000);
  EXPECT_EQ(mapped, before);
}

TEST(PeImage, RefusesRelocationBlocksOutsideTheTable) {
  const std::pair<const char*, std::function<void(Image&)>> cases[] = {
      {"block shorter than its header", [](Image& m) { Put32(m, pe_builder::kRelocRva + 4, 4); }},
      {"block longer than the table", [](Image& m) { Put32(m, pe_builder::kRelocRva + 4, 0x20); }},
      {"target past the image", [](Image& m) { Put32(m, pe_builder::kRelocRva, pe_builder::kSizeOfImage - 2); }},
  };
  for (const auto& [name, damage] : cases) {
    Image mapped = Mapped(pe_builder::Build());
    damage(mapped);
    EXPECT_FALSE(ApplyRelocations(mapped, *ReadNtHeaders(mapped), 0x10000)) << name;
  }
  // The headers stay as checked: no relocation may write into them.
  Image inHeaders = Mapped(pe_builder::Build());
  NtHeaders nt = *ReadNtHeaders(inHeaders);
  nt.sizeOfHeaders = pe_builder::kBaseOfDataRva + 8;
  EXPECT_FALSE(ApplyRelocations(inHeaders, nt, 0x10000));
  // A block for page 0 ends the table.
  Image mapped = Mapped(pe_builder::Build());
  Put32(mapped, pe_builder::kRelocRva, 0);
  EXPECT_TRUE(ApplyRelocations(mapped, *ReadNtHeaders(mapped), 0x10000));
  EXPECT_EQ(Read32(mapped, pe_builder::kBaseOfDataRva + 1), 0x10002000u);
}

TEST(PeImage, ReadsImportsByNameAndOrdinalInOrder) {
  pe_builder::Options o;
  o.imports = {{"version.dll", {"GetFileVersionInfoSizeA"}}, {"kernel32.dll", {"#7", "Sleep"}}};
  Image mapped = Mapped(pe_builder::Build(o));
  std::optional<std::vector<ImportLibrary>> imports = ReadImports(mapped, *ReadNtHeaders(mapped));
  ASSERT_TRUE(imports);
  ASSERT_EQ(imports->size(), 2u);
  EXPECT_EQ((*imports)[0].name, "version.dll");
  EXPECT_EQ((*imports)[0].entries[0].name, "GetFileVersionInfoSizeA");
  const ImportLibrary& kernel = (*imports)[1];
  ASSERT_EQ(kernel.entries.size(), 2u);
  EXPECT_TRUE(kernel.entries[0].byOrdinal);
  EXPECT_EQ(kernel.entries[0].ordinal, 7);
  EXPECT_EQ(kernel.entries[1].name, "Sleep");
  EXPECT_EQ(kernel.entries[1].slotRva, kernel.entries[0].slotRva + 4);
}

TEST(PeImage, RefusesImportTablesRunningOutOfTheImage) {
  const uint32_t descriptor = pe_builder::kImportRva;
  const uint32_t end = pe_builder::kSizeOfImage;
  const std::pair<const char*, std::function<void(Image&)>> cases[] = {
      {"library name outside", [&](Image& m) { Put32(m, descriptor + 12, end); }},
      {"library name unterminated", [&](Image& m) { Put32(m, descriptor + 12, end - 2), Put16(m, end - 2, 0x4141); }},
      {"name list outside", [&](Image& m) { Put32(m, descriptor, end - 2); }},
      {"name list unterminated", [&](Image& m) { Put32(m, descriptor, end - 4), Put32(m, end - 4, 0x80000001); }},
      {"address list outside", [&](Image& m) { Put32(m, descriptor + 16, end - 4); }},
      {"hint and name outside", [&](Image& m) { Put32(m, Read32(m, descriptor), end - 1); }},
      {"hint and name wrapping", [&](Image& m) { Put32(m, Read32(m, descriptor), 0x7FFFFFFF); }},
      {"address list in the headers", [&](Image& m) { Put32(m, descriptor + 16, 0x100); }},
  };
  for (const auto& [name, damage] : cases) {
    Image mapped = Mapped(pe_builder::Build());
    damage(mapped);
    EXPECT_FALSE(ReadImports(mapped, *ReadNtHeaders(mapped))) << name;
  }
  // Descriptors sharing one long list cannot make more entries than the
  // image has room for slots.
  Image small = Mapped(pe_builder::Build());
  NtHeaders tight = *ReadNtHeaders(small);
  tight.sizeOfImage = 4;
  EXPECT_FALSE(ReadImports(small, tight));
  // A descriptor list that runs into the image's end without a zero entry ends there.
  Image mapped = Mapped(pe_builder::Build());
  std::optional<NtHeaders> nt = ReadNtHeaders(mapped);
  nt->directories[kImportDirectory] = {end - 30, 30};
  Put32(mapped, end - 30, pe_builder::kImportRva + 0x60);       // an empty name list
  Put32(mapped, end - 30 + 12, pe_builder::kImportRva + 0x40);  // "kernel32.dll"
  Put32(mapped, end - 30 + 16, pe_builder::kImportRva + 0x60);
  EXPECT_TRUE(ReadImports(mapped, *nt));
}

TEST(PeImage, FindsExportsByExactNameWithinBounds) {
  Image mapped = Mapped(pe_builder::Build());
  const NtHeaders nt = *ReadNtHeaders(mapped);
  EXPECT_EQ(FindExportRva(mapped, nt, "AttachSkinData"), pe_builder::kEntryRva);
  EXPECT_EQ(FindExportRva(mapped, nt, "BaseOfData"), pe_builder::kBaseOfDataRva);
  for (const char* name : {"attachSkinData", "ATTACHSKINDATA", "AttachSkinData ", "AttachSkin", ""})
    EXPECT_FALSE(FindExportRva(mapped, nt, name)) << name;

  const uint32_t dir = pe_builder::kExportRva;
  const uint32_t functions = Read32(mapped, dir + 28), ordinals = Read32(mapped, dir + 36);
  const std::pair<const char*, std::function<void(Image&)>> cases[] = {
      {"ordinal past the function count", [&](Image& m) { Put16(m, ordinals, 2); }},
      {"address outside the image", [&](Image& m) { Put32(m, functions, pe_builder::kSizeOfImage); }},
      {"forwarder", [&](Image& m) { Put32(m, functions, dir + 0x30); }},
      {"name list outside", [&](Image& m) { Put32(m, dir + 32, pe_builder::kSizeOfImage - 4); }},
      {"function list too long", [&](Image& m) { Put32(m, dir + 20, 0x40000000); }},
      {"name outside", [&](Image& m) { Put32(m, Read32(m, dir + 32), 0xFFFFFFFF); }},
  };
  for (const auto& [name, damage] : cases) {
    Image copy = mapped;
    damage(copy);
    EXPECT_FALSE(FindExportRva(copy, nt, "AttachSkinData")) << name;
  }
}

constexpr uint32_t kCode = 0x60000020, kData = 0xC0000040, kConst = 0x40000040, kBss = 0xC0000080;
constexpr uint32_t kDiscardable = 0x42000040;

Section Placed(uint32_t rva, uint32_t rawSize, uint32_t flags, uint32_t virtualSize = 0) {
  Section s;
  s.virtualAddress = rva;
  s.rawSize = rawSize;
  s.virtualSize = virtualSize;
  s.characteristics = flags;
  return s;
}

// "-" for a page the plan leaves as committed, "gone" for one given back,
// else its access as X, R, W.
std::string FateOf(const std::vector<PageRun>& plan, uint32_t rva) {
  for (const PageRun& run : plan) {
    if (rva < run.rva || rva - run.rva >= run.size) continue;
    if (run.discard) return "gone";
    std::string access;
    if (run.access & 0x20000000) access += 'X';
    if (run.access & 0x40000000) access += 'R';
    if (run.access & 0x80000000) access += 'W';
    return access;
  }
  return "-";
}

// Whole pages are protected or given back, and with a fine alignment several
// sections share one: no page may lose what any of them needs.
TEST(PeImage, PagesKeepWhatEverythingOnThemNeeds) {
  struct Case {
    const char* name;
    uint32_t alignment;
    std::vector<Section> sections;
    std::vector<std::pair<uint32_t, const char*>> fates;
  };
  const Case cases[] = {
      {"the linker's layout",
       0x1000,
       {Placed(0x1000, 0x1E00, kCode, 0x1D70), Placed(0x3000, 0x200, kData, 4), Placed(0x5000, 0, kBss, 0x6100),
        Placed(0xC000, 0x200, kConst), Placed(0xE000, 0x200, kDiscardable)},
       {{0, "-"}, {0x1000, "XR"}, {0x2FFF, "XR"}, {0x3000, "RW"}, {0x4000, "-"}, {0x5000, "RW"}, {0xB000, "RW"},
        {0xC000, "R"}, {0xD000, "-"}, {0xE000, "gone"}}},
      {"code inside a discardable section",
       0x1000,
       {Placed(0x2000, 0x200, kCode), Placed(0x1000, 0x3000, kDiscardable)},
       {{0x1000, "gone"}, {0x2000, "XR"}, {0x3000, "gone"}}},
      {"a zero-filled tail on a discardable section's page",
       0x200,
       {Placed(0x3000, 0x200, kData, 0x1200), Placed(0x4200, 0x200, kDiscardable), Placed(0x5000, 0x200, kDiscardable)},
       {{0x3000, "RW"}, {0x4000, "-"}, {0x5000, "gone"}}},
      {"no access after the headers", 0x200, {Placed(0x400, 0x200, 0x40)}, {{0, "R"}}},
      {"no access beside a discardable section",
       0x200,
       {Placed(0x1000, 0x200, 0x40), Placed(0x1200, 0x200, kDiscardable)},
       {{0x1000, ""}}},
      {"a discardable section after the headers", 0x200, {Placed(0x400, 0x200, kDiscardable)}, {{0, "-"}}},
      {"code and data on one page",
       0x200,
       {Placed(0x1000, 0x200, kCode), Placed(0x1200, 0x200, kConst), Placed(0x1400, 0x200, kData)},
       {{0x1000, "XRW"}}},
      {"an empty section before the code",
       0x200,
       {Placed(0x1000, 0x200, kCode), Placed(0xE00, 0, 0xC0000040)},
       {{0, "RW"}, {0x1000, "XR"}}},
  };
  for (const Case& c : cases) {
    PeLayout layout;
    layout.nt.sizeOfImage = 0x10000;
    layout.nt.sizeOfHeaders = 0x400;
    layout.nt.sectionAlignment = c.alignment;
    layout.nt.sizeOfInitializedData = 0x600;
    layout.nt.sizeOfUninitializedData = 0x6200;
    layout.sections = c.sections;
    const std::vector<PageRun> plan = PlanPages(layout);
    for (const auto& [rva, fate] : c.fates)
      EXPECT_EQ(FateOf(plan, rva), fate) << c.name << ", page " << std::hex << rva;
  }
}

}  // namespace
}  // namespace skin
