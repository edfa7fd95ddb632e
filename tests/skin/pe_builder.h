// A small, valid i386 DLL image built byte by byte, for the loader's tests
// and fuzzing: four sections (.text, .edata, .idata, discardable .reloc),
// exports by name, imports by name and by ordinal, one HIGHLOW relocation.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace pe_builder {

struct Import {
  std::string library;
  std::vector<std::string> functions;  // "#N" imports ordinal N
};

struct Options {
  uint32_t imageBase = 0x10000000;
  std::vector<Import> imports = {{"kernel32.dll", {"GetTickCount", "#1"}}};
  std::vector<std::string> exports = {"AttachSkinData", "BaseOfData"};
};

// Layout of the built image.
constexpr uint32_t kNtOffset = 0x80;
constexpr uint32_t kEntryRva = 0x1000;       // mov eax, 1; ret 12
constexpr uint32_t kBaseOfDataRva = 0x1008;  // mov eax, image base + kExportRva; ret
constexpr uint32_t kExportRva = 0x2000;
constexpr uint32_t kImportRva = 0x3000;
constexpr uint32_t kRelocRva = 0x4000;
constexpr uint32_t kSizeOfImage = 0x5000;
constexpr uint32_t kSectionCount = 4;
constexpr uint32_t kSectionTable = kNtOffset + 24 + 224;
constexpr size_t kOptionalHeader = kNtOffset + 24;
constexpr size_t kDirectories = kOptionalHeader + 96;
// Section header fields: Misc.VirtualSize 8, VirtualAddress 12,
// SizeOfRawData 16, PointerToRawData 20, Characteristics 36.
constexpr size_t SectionField(int section, size_t field) { return kSectionTable + 40 * section + field; }
// File offset of an RVA: each section's raw data is 0x200 bytes at 0x400 + 0x200 * index.
constexpr size_t FileOffset(uint32_t rva) { return 0x400 + 0x200 * (rva / 0x1000 - 1) + rva % 0x1000; }

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutText(std::vector<uint8_t>& b, size_t at, const std::string& s) {
  std::memcpy(b.data() + at, s.c_str(), s.size() + 1);
}

inline std::vector<uint8_t> Build(const Options& o = {}) {
  std::vector<uint8_t> b(0xC00, 0);
  auto at = FileOffset;
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, kNtOffset);
  PutText(b, kNtOffset, "PE");
  Put16(b, kNtOffset + 4, 0x014C);
  Put16(b, kNtOffset + 6, kSectionCount);
  Put16(b, kNtOffset + 20, 224);
  Put16(b, kNtOffset + 22, 0x2102);
  const size_t opt = kOptionalHeader;
  Put16(b, opt, 0x010B);
  Put32(b, opt + 8, 0x600);
  Put32(b, opt + 16, kEntryRva);
  Put32(b, opt + 28, o.imageBase);
  Put32(b, opt + 32, 0x1000);
  Put32(b, opt + 36, 0x200);
  Put16(b, opt + 40, 4);
  Put16(b, opt + 48, 4);
  Put32(b, opt + 56, kSizeOfImage);
  Put32(b, opt + 60, 0x400);
  Put16(b, opt + 68, 2);
  Put16(b, opt + 70, 0x0140);  // dynamic base, NX compatible
  Put32(b, opt + 92, 16);
  const char* names[] = {".text", ".edata", ".idata", ".reloc"};
  const uint32_t flags[] = {0x60000020, 0x40000040, 0xC0000040, 0x42000040};
  for (uint32_t i = 0; i < kSectionCount; ++i) {
    const size_t s = SectionField(i, 0);
    std::memcpy(b.data() + s, names[i], std::strlen(names[i]));
    Put32(b, s + 8, 0x200);
    Put32(b, s + 12, 0x1000 * (i + 1));
    Put32(b, s + 16, 0x200);
    Put32(b, s + 20, 0x400 + 0x200 * i);
    Put32(b, s + 36, flags[i]);
  }

  const uint8_t code[] = {0xB8, 1, 0, 0, 0, 0xC2, 0x0C, 0x00, 0xB8, 0, 0, 0, 0, 0xC3};
  std::memcpy(b.data() + at(0x1000), code, sizeof code);
  Put32(b, at(kBaseOfDataRva + 1), o.imageBase + kExportRva);

  // Exports: every name points at BaseOfData's code except the first, at the entry.
  const uint32_t count = static_cast<uint32_t>(o.exports.size());
  const uint32_t functions = kExportRva + 40, nameList = functions + 4 * count, ordinals = nameList + 4 * count;
  uint32_t text = ordinals + 2 * count;
  Put32(b, at(kExportRva) + 20, count);
  Put32(b, at(kExportRva) + 24, count);
  Put32(b, at(kExportRva) + 28, functions);
  Put32(b, at(kExportRva) + 32, nameList);
  Put32(b, at(kExportRva) + 36, ordinals);
  for (uint32_t i = 0; i < count; ++i) {
    Put32(b, at(functions + 4 * i), i == 0 ? kEntryRva : kBaseOfDataRva);
    Put32(b, at(nameList + 4 * i), text);
    Put16(b, at(ordinals + 2 * i), i);
    PutText(b, at(text), o.exports[i]);
    text += static_cast<uint32_t>(o.exports[i].size()) + 1;
  }
  const uint32_t exportSize = text - kExportRva;

  // Imports: descriptors, then per library its name list, address list and names.
  uint32_t next = kImportRva + 20 * static_cast<uint32_t>(o.imports.size() + 1);
  for (size_t d = 0; d < o.imports.size(); ++d) {
    const Import& imp = o.imports[d];
    const uint32_t n = static_cast<uint32_t>(imp.functions.size());
    const uint32_t lookup = next, addresses = lookup + 4 * (n + 1);
    next = addresses + 4 * (n + 1);
    const size_t desc = at(kImportRva + 20 * static_cast<uint32_t>(d));
    Put32(b, desc, lookup);
    Put32(b, desc + 12, next);
    Put32(b, desc + 16, addresses);
    PutText(b, at(next), imp.library);
    next += static_cast<uint32_t>(imp.library.size()) + 1;
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t entry;
      if (imp.functions[i][0] == '#') {
        entry = 0x80000000 | static_cast<uint32_t>(std::stoul(imp.functions[i].substr(1)));
      } else {
        entry = next;
        PutText(b, at(next + 2), imp.functions[i]);
        next += 2 + static_cast<uint32_t>(imp.functions[i].size()) + 1;
      }
      Put32(b, at(lookup + 4 * i), entry);
      Put32(b, at(addresses + 4 * i), entry);
    }
  }

  Put32(b, at(kRelocRva), 0x1000);
  Put32(b, at(kRelocRva) + 4, 12);
  Put16(b, at(kRelocRva) + 8, 0x3000 | (kBaseOfDataRva + 1 - 0x1000));
  Put16(b, at(kRelocRva) + 10, 0);

  const size_t dirs = kDirectories;
  Put32(b, dirs, kExportRva);
  Put32(b, dirs + 4, exportSize);
  Put32(b, dirs + 8, kImportRva);
  Put32(b, dirs + 12, next - kImportRva);
  Put32(b, dirs + 40, kRelocRva);
  Put32(b, dirs + 44, 12);
  return b;
}

}  // namespace pe_builder
