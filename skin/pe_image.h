// Reading a 32-bit PE image for the in-memory loader, without Windows: every
// offset and size the image states is checked against the file's length and
// SizeOfImage before anything is read through it, so a damaged image is
// refused instead of steering the loader's copies outside their buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

enum DirectoryIndex : size_t {
  kExportDirectory = 0,
  kImportDirectory = 1,
  kCertificateDirectory = 4,
  kRelocationDirectory = 5,
  kThreadDataDirectory = 9,
};

struct DataDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

// The headers that the loader needs; offsets are from the image's first byte.
struct NtHeaders {
  uint32_t ntOffset = 0;  // e_lfanew
  uint16_t sectionCount = 0;
  uint32_t sectionTableOffset = 0;
  uint32_t entryPoint = 0;
  uint32_t imageBase = 0;
  uint32_t sectionAlignment = 0;
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t sizeOfInitializedData = 0;
  uint32_t sizeOfUninitializedData = 0;
  DataDirectory directories[16] = {};
};

inline constexpr uint32_t kImageBaseFieldOffset = 24 + 28;  // from the NT headers
inline constexpr uint32_t kSectionHeaderSize = 40;
inline constexpr uint32_t kSectionMiscOffset = 8;  // Misc.PhysicalAddress

struct Section {
  uint32_t headerOffset = 0;
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;  // may exceed rawSize: the rest is zero-filled
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
  uint32_t characteristics = 0;
};

struct PeLayout {
  NtHeaders nt;
  std::vector<Section> sections;
};

// MZ, e_lfanew, the PE signature, an i386 PE32 optional header and its data
// directories, all inside `bytes`. Used on the file and on the mapped copy.
std::optional<NtHeaders> ReadNtHeaders(std::span<const uint8_t> bytes);

// The file's headers plus its section table: headers and raw data inside the
// file, every section and directory inside SizeOfImage, sections clear of the
// headers, an entry point (if any) inside an executable section's data, and
// no thread data (the loader would run none of its callbacks).
std::optional<PeLayout> ReadPeLayout(std::span<const uint8_t> file);

// What becomes of a run of the loaded image's pages once its sections are in
// place: given back, or protected with `access` (section flags: execute,
// read, write, not cached).
struct PageRun {
  uint32_t rva = 0;
  uint32_t size = 0;
  bool discard = false;
  uint32_t access = 0;
};

// Protection works on whole pages, and with a fine SectionAlignment several
// sections share one: a page gets the access of everything on it (headers,
// sections, a section's zero-filled tail past its raw data), and is given back
// only when a discardable section lies on it alone. An empty section's size
// from the optional header ends where the next section starts. Pages no
// section protects or gives back are not listed.
std::vector<PageRun> PlanPages(const PeLayout& layout);

// Copies the headers and each section's raw data to their places in `mapped`
// (SizeOfImage bytes, zero-filled); empty sections stay zero.
void CopyImage(std::span<const uint8_t> file, const PeLayout& layout, std::span<uint8_t> mapped);

// Adds delta to every HIGHLOW target; other entry types are skipped. False
// when a block or a target lies outside the mapped image.
bool ApplyRelocations(std::span<uint8_t> mapped, const NtHeaders& nt, uint32_t delta);

struct ImportEntry {
  uint32_t slotRva = 0;  // where the address goes
  bool byOrdinal = false;
  uint16_t ordinal = 0;
  std::string name;
};

struct ImportLibrary {
  std::string name;
  std::vector<ImportEntry> entries;
};

// The import descriptors in order, up to the one whose Name is 0 or the end of
// the image. Nothing when a name or thunk list runs outside the image.
std::optional<std::vector<ImportLibrary>> ReadImports(std::span<const uint8_t> mapped, const NtHeaders& nt);

// The RVA of a named export (case-sensitive), or nothing: also for an ordinal
// outside AddressOfFunctions, a forwarder, or an address outside the image.
// Whether a range of the loaded image may be read (pages of a discarded
// section are gone, a section may forbid reading); unset: the whole image may.
using Readable = std::function<bool(uint64_t rva, uint64_t size)>;
std::optional<uint32_t> FindExportRva(std::span<const uint8_t> mapped, const NtHeaders& nt, std::string_view name,
                                      const Readable& readable = {});

}  // namespace skin
