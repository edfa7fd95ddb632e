#include "skin/pe_image.h"

#include <algorithm>
#include <cstring>

namespace skin {
namespace {

constexpr uint16_t kDosMagic = 0x5A4D;  // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kPe32Magic = 0x010B;
constexpr uint32_t kOptionalHeaderFixedSize = 96;
constexpr uint32_t kScnCntInitializedData = 0x00000040;
constexpr uint32_t kScnCntUninitializedData = 0x00000080;
constexpr uint32_t kScnMemDiscardable = 0x02000000;
constexpr uint32_t kScnMemNotCached = 0x04000000;
constexpr uint32_t kScnMemExecute = 0x20000000;
constexpr uint32_t kScnMemRead = 0x40000000;
constexpr uint32_t kScnMemWrite = 0x80000000;
constexpr uint32_t kAccessFlags[] = {kScnMemNotCached, kScnMemExecute, kScnMemRead, kScnMemWrite};
constexpr uint32_t kAccessMask = kScnMemNotCached | kScnMemExecute | kScnMemRead | kScnMemWrite;
constexpr uint64_t kPage = 0x1000;
constexpr uint16_t kRelHighLow = 3;
constexpr uint32_t kImportDescriptorSize = 20;
constexpr uint32_t kExportDirectorySize = 40;
constexpr uint32_t kOrdinalFlag = 0x80000000;
// Longer than any library or function name the loader has reason to see; it
// also keeps a damaged table from scanning the image once per entry.
constexpr size_t kMaxNameLength = 512;

// Whether [offset, offset + length) lies inside a buffer of `size` bytes; the
// sum is formed in 64 bits so that no stated value can wrap it.
bool Fits(uint64_t offset, uint64_t length, size_t size) { return offset + length <= size; }

uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::optional<std::string> ReadName(std::span<const uint8_t> image, uint32_t rva) {
  if (rva >= image.size()) return std::nullopt;
  size_t limit = std::min(image.size() - rva, kMaxNameLength + 1);
  const uint8_t* start = image.data() + rva;
  const void* end = std::memchr(start, 0, limit);
  if (!end) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(start), static_cast<const uint8_t*>(end) - start);
}

}  // namespace

std::optional<NtHeaders> ReadNtHeaders(std::span<const uint8_t> bytes) {
  if (bytes.size() < 64 || U16(bytes, 0) != kDosMagic) return std::nullopt;
  NtHeaders h;
  h.ntOffset = U32(bytes, 0x3C);
  const uint64_t nt = h.ntOffset;
  if (!Fits(nt, 24 + kOptionalHeaderFixedSize, bytes.size()) || U32(bytes, nt) != kPeSignature) return std::nullopt;
  if (U16(bytes, nt + 4) != kMachineI386) return std::nullopt;
  h.sectionCount = U16(bytes, nt + 6);
  const uint32_t optionalSize = U16(bytes, nt + 20);
  const uint64_t opt = nt + 24;
  if (U16(bytes, opt) != kPe32Magic) return std::nullopt;
  const uint32_t directoryCount = std::min<uint32_t>(U32(bytes, opt + 92), 16);
  if (optionalSize < kOptionalHeaderFixedSize + 8 * directoryCount) return std::nullopt;
  const uint64_t table = opt + optionalSize;
  if (!Fits(table, uint64_t{kSectionHeaderSize} * h.sectionCount, bytes.size())) return std::nullopt;
  h.sectionTableOffset = static_cast<uint32_t>(table);
  h.sizeOfInitializedData = U32(bytes, opt + 8);
  h.sizeOfUninitializedData = U32(bytes, opt + 12);
  h.entryPoint = U32(bytes, opt + 16);
  h.imageBase = U32(bytes, opt + 28);
  h.sectionAlignment = U32(bytes, opt + 32);
  h.sizeOfImage = U32(bytes, opt + 56);
  h.sizeOfHeaders = U32(bytes, opt + 60);
  // The headers, section table included, are copied whole to the image base.
  if (h.sizeOfImage == 0 || h.sizeOfHeaders > h.sizeOfImage) return std::nullopt;
  if (table + uint64_t{kSectionHeaderSize} * h.sectionCount > h.sizeOfHeaders) return std::nullopt;
  for (uint32_t i = 0; i < directoryCount; ++i) {
    DataDirectory& d = h.directories[i];
    d.rva = U32(bytes, opt + kOptionalHeaderFixedSize + 8 * i);
    d.size = U32(bytes, opt + kOptionalHeaderFixedSize + 8 * i + 4);
    // The certificates are found by file offset and never mapped.
    if (i != kCertificateDirectory && d.size != 0 && !Fits(d.rva, d.size, h.sizeOfImage)) return std::nullopt;
  }
  return h;
}

std::optional<PeLayout> ReadPeLayout(std::span<const uint8_t> file) {
  std::optional<NtHeaders> nt = ReadNtHeaders(file);
  if (!nt || nt->sizeOfHeaders > file.size()) return std::nullopt;
  const DataDirectory threadData = nt->directories[kThreadDataDirectory];
  if (threadData.rva != 0 || threadData.size != 0) return std::nullopt;
  PeLayout layout{*nt, {}};
  bool entryInCode = nt->entryPoint == 0;
  for (uint32_t i = 0; i < nt->sectionCount; ++i) {
    const uint32_t at = nt->sectionTableOffset + kSectionHeaderSize * i;
    Section s;
    s.headerOffset = at;
    s.virtualSize = U32(file, at + 8);
    s.virtualAddress = U32(file, at + 12);
    s.rawSize = U32(file, at + 16);
    s.rawOffset = U32(file, at + 20);
    s.characteristics = U32(file, at + 36);
    if (s.rawSize != 0 && !Fits(s.rawOffset, s.rawSize, file.size())) return std::nullopt;
    const uint32_t extent = s.rawSize != 0 ? s.rawSize : nt->sectionAlignment;
    if (extent != 0 && (s.virtualAddress < nt->sizeOfHeaders || !Fits(s.virtualAddress, extent, nt->sizeOfImage)))
      return std::nullopt;
    if ((s.characteristics & kScnMemExecute) && !(s.characteristics & kScnMemDiscardable) &&
        nt->entryPoint >= s.virtualAddress &&
        nt->entryPoint - s.virtualAddress < s.rawSize)
      entryInCode = true;
    layout.sections.push_back(s);
  }
  if (!entryInCode) return std::nullopt;
  return layout;
}

namespace {

// A stretch of the image, for the page plan's sweep: what lies there and the
// access it needs, what a section that stays protects, or what a discardable
// section would give back.
enum class Role { kHolds, kProtects, kDiscards };
struct Stretch {
  uint64_t start = 0;
  uint64_t length = 0;
  Role role = Role::kHolds;
  uint32_t access = 0;
};

// How many stretches of each kind cover the pages at the sweep's place.
struct PageCounts {
  int64_t holders = 0, protectors = 0, discarders = 0;
  int64_t access[std::size(kAccessFlags)] = {};

  void Add(const Stretch& s, int sign) {
    (s.role == Role::kHolds ? holders : s.role == Role::kProtects ? protectors : discarders) += sign;
    for (size_t f = 0; f < std::size(kAccessFlags); ++f)
      if (s.access & kAccessFlags[f]) access[f] += sign;
  }
  uint32_t Access() const {
    uint32_t flags = 0;
    for (size_t f = 0; f < std::size(kAccessFlags); ++f)
      if (access[f] > 0) flags |= kAccessFlags[f];
    return flags;
  }
};

}  // namespace

std::vector<PageRun> PlanPages(const PeLayout& layout) {
  const NtHeaders& nt = layout.nt;
  std::vector<uint64_t> starts;
  for (const Section& s : layout.sections) starts.push_back(s.virtualAddress);
  std::sort(starts.begin(), starts.end());

  // The headers are read again by the export lookup. A section holds its raw
  // data or, empty, the SectionAlignment bytes committed for it, and its
  // VirtualSize; one that stays also holds what it protects.
  std::vector<Stretch> stretches{{0, nt.sizeOfHeaders, Role::kHolds, kScnMemRead}};
  for (const Section& s : layout.sections) {
    const bool discardable = s.characteristics & kScnMemDiscardable;
    const uint64_t committed = s.rawSize != 0 ? s.rawSize : nt.sectionAlignment;
    uint64_t protectedSize = 0;
    if (!discardable && committed != 0) {
      protectedSize = s.rawSize;
      if (protectedSize == 0) {
        if (s.characteristics & kScnCntInitializedData) protectedSize = nt.sizeOfInitializedData;
        else if (s.characteristics & kScnCntUninitializedData) protectedSize = nt.sizeOfUninitializedData;
        // Those sizes are the whole image's; this section's ends at the next.
        auto next = std::upper_bound(starts.begin(), starts.end(), uint64_t{s.virtualAddress});
        if (next != starts.end()) protectedSize = std::min(protectedSize, *next - s.virtualAddress);
      }
    }
    const uint64_t held = std::max({committed, uint64_t{s.virtualSize}, protectedSize});
    const uint32_t access = discardable ? 0 : s.characteristics & kAccessMask;
    stretches.push_back({s.virtualAddress, held, Role::kHolds, access});
    stretches.push_back({s.virtualAddress, protectedSize, Role::kProtects, 0});
    // A zero size would give back the rest of the image.
    if (discardable) stretches.push_back({s.virtualAddress, s.rawSize, Role::kDiscards, 0});
  }

  // Sweep the pages where some stretch starts or ends; between two such
  // places every page has the same occupants.
  struct Edge {
    uint64_t page;
    int sign;
    const Stretch* stretch;
  };
  std::vector<Edge> edges;
  for (const Stretch& s : stretches) {
    const uint64_t end = std::min(s.start + s.length, uint64_t{nt.sizeOfImage});
    if (s.length == 0 || s.start >= end) continue;
    edges.push_back({s.start / kPage, 1, &s});
    edges.push_back({(end + kPage - 1) / kPage, -1, &s});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.page < b.page; });
  std::vector<PageRun> runs;
  PageCounts counts;
  for (size_t i = 0; i < edges.size();) {
    const uint64_t page = edges[i].page;
    for (; i < edges.size() && edges[i].page == page; ++i) counts.Add(*edges[i].stretch, edges[i].sign);
    if (i == edges.size()) break;
    PageRun run;
    run.rva = static_cast<uint32_t>(page * kPage);
    run.size = static_cast<uint32_t>(std::min(edges[i].page * kPage, uint64_t{nt.sizeOfImage}) - run.rva);
    run.discard = counts.discarders > 0 && counts.holders == 1;
    run.access = run.discard ? 0 : counts.Access();
    if (!run.discard && counts.protectors == 0) continue;
    if (!runs.empty() && runs.back().rva + runs.back().size == run.rva && runs.back().discard == run.discard &&
        runs.back().access == run.access)
      runs.back().size += run.size;
    else
      runs.push_back(run);
  }
  return runs;
}

void CopyImage(std::span<const uint8_t> file, const PeLayout& layout, std::span<uint8_t> mapped) {
  const NtHeaders& nt = layout.nt;
  const size_t headerEnd = nt.sectionTableOffset + size_t{kSectionHeaderSize} * nt.sectionCount;
  std::memcpy(mapped.data(), file.data(), headerEnd);
  for (const Section& s : layout.sections)
    if (s.rawSize != 0) std::memcpy(mapped.data() + s.virtualAddress, file.data() + s.rawOffset, s.rawSize);
}

bool ApplyRelocations(std::span<uint8_t> mapped, const NtHeaders& nt, uint32_t delta) {
  const DataDirectory dir = nt.directories[kRelocationDirectory];
  if (dir.size == 0) return true;
  if (!Fits(dir.rva, dir.size, mapped.size())) return false;
  const uint64_t end = uint64_t{dir.rva} + dir.size;
  uint64_t block = dir.rva;
  while (block + 8 <= end) {
    const uint32_t page = U32(mapped, block);
    if (page == 0) break;
    const uint32_t blockSize = U32(mapped, block + 4);
    if (blockSize < 8 || block + blockSize > end) return false;
    for (uint64_t e = block + 8; e + 2 <= block + blockSize; e += 2) {
      const uint16_t entry = U16(mapped, e);
      if (entry >> 12 != kRelHighLow) continue;
      const uint64_t target = uint64_t{page} + (entry & 0x0FFF);
      // The headers stay as checked: the loader reads them again later.
      if (target < nt.sizeOfHeaders || !Fits(target, 4, mapped.size())) return false;
      uint32_t value = U32(mapped, target) + delta;
      for (int k = 0; k < 4; ++k) mapped[target + k] = static_cast<uint8_t>(value >> (8 * k));
    }
    block += blockSize;
  }
  return true;
}

std::optional<std::vector<ImportLibrary>> ReadImports(std::span<const uint8_t> mapped, const NtHeaders& nt) {
  std::vector<ImportLibrary> libraries;
  uint64_t entries = 0;
  const DataDirectory dir = nt.directories[kImportDirectory];
  if (dir.size == 0) return libraries;
  // The descriptor list ends at a zero Name; an image whose list runs to its
  // own end stops there, as a walk guarded by readability would.
  for (uint64_t d = dir.rva; Fits(d, kImportDescriptorSize, mapped.size()); d += kImportDescriptorSize) {
    const uint32_t nameRva = U32(mapped, d + 12);
    if (nameRva == 0) break;
    std::optional<std::string> name = ReadName(mapped, nameRva);
    if (!name) return std::nullopt;
    ImportLibrary library{std::move(*name), {}};
    const uint32_t firstThunk = U32(mapped, d + 16);
    const uint32_t nameList = U32(mapped, d) != 0 ? U32(mapped, d) : firstThunk;
    for (uint64_t i = 0;; ++i) {
      const uint64_t thunk = nameList + 4 * i;
      if (!Fits(thunk, 4, mapped.size())) return std::nullopt;
      const uint32_t value = U32(mapped, thunk);
      if (value == 0) break;
      ImportEntry entry;
      const uint64_t slot = firstThunk + 4 * i;
      if (slot < nt.sizeOfHeaders || !Fits(slot, 4, mapped.size())) return std::nullopt;
      // Many descriptors may share one long list: no more entries than the
      // image has room for slots.
      if (++entries > nt.sizeOfImage / 4) return std::nullopt;
      entry.slotRva = static_cast<uint32_t>(slot);
      if (value & kOrdinalFlag) {
        entry.byOrdinal = true;
        entry.ordinal = static_cast<uint16_t>(value & 0xFFFF);
      } else {
        // Below the ordinal flag, so the hint's two bytes cannot wrap it.
        std::optional<std::string> function = ReadName(mapped, value + 2);
        if (!function) return std::nullopt;
        entry.name = std::move(*function);
      }
      library.entries.push_back(std::move(entry));
    }
    libraries.push_back(std::move(library));
  }
  return libraries;
}

std::optional<uint32_t> FindExportRva(std::span<const uint8_t> mapped, const NtHeaders& nt, std::string_view name,
                                      const Readable& readable) {
  auto fits = [&](uint64_t rva, uint64_t size) {
    return Fits(rva, size, mapped.size()) && (!readable || readable(rva, size));
  };
  const DataDirectory dir = nt.directories[kExportDirectory];
  if (dir.size == 0 || !fits(dir.rva, kExportDirectorySize)) return std::nullopt;
  const uint32_t functionCount = U32(mapped, dir.rva + 20);
  const uint32_t nameCount = U32(mapped, dir.rva + 24);
  const uint32_t functions = U32(mapped, dir.rva + 28);
  const uint32_t names = U32(mapped, dir.rva + 32);
  const uint32_t ordinals = U32(mapped, dir.rva + 36);
  if (functionCount == 0 || nameCount == 0) return std::nullopt;
  if (!fits(names, uint64_t{4} * nameCount) || !fits(ordinals, uint64_t{2} * nameCount) ||
      !fits(functions, uint64_t{4} * functionCount))
    return std::nullopt;
  for (uint64_t i = 0; i < nameCount; ++i) {
    const uint32_t nameRva = U32(mapped, names + 4 * i);
    // A name is read up to its end, never into a page that may not be read.
    uint64_t readableEnd = mapped.size();
    if (readable) {
      constexpr uint64_t kPage = 0x1000;
      uint64_t end = nameRva;
      const uint64_t stop = std::min<uint64_t>(mapped.size(), uint64_t{nameRva} + kMaxNameLength + 1);
      while (end < stop && readable(end, 1)) end = (end / kPage + 1) * kPage;
      readableEnd = std::min(end, stop);
    }
    std::optional<std::string> exported = ReadName(mapped.first(static_cast<size_t>(readableEnd)), nameRva);
    if (!exported) return std::nullopt;
    if (*exported != name) continue;
    const uint16_t index = U16(mapped, ordinals + 2 * i);
    if (index >= functionCount) return std::nullopt;
    const uint32_t rva = U32(mapped, functions + uint64_t{4} * index);
    // An address inside the export directory names another DLL's function
    // as text; calling it would run that text.
    const bool forwarder = rva >= dir.rva && rva - dir.rva < dir.size;
    if (rva == 0 || rva >= mapped.size() || forwarder || (readable && !readable(rva, 1))) return std::nullopt;
    return rva;
  }
  return std::nullopt;
}

}  // namespace skin
