#include "skin/memory_module.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "skin/pe_image.h"

namespace skin {
namespace {

// The loader takes the system functions by name from the kernel library the
// process already has, rather than importing them.
struct Kernel {
  decltype(&VirtualAlloc) virtualAlloc = nullptr;
  decltype(&VirtualFree) virtualFree = nullptr;
  decltype(&VirtualProtect) virtualProtect = nullptr;
  decltype(&VirtualQuery) virtualQuery = nullptr;
  decltype(&LoadLibraryA) loadLibrary = nullptr;
  decltype(&FreeLibrary) freeLibrary = nullptr;
  decltype(&GetProcAddress) getProcAddress = nullptr;
  decltype(&GetProcessHeap) getProcessHeap = nullptr;
  decltype(&HeapAlloc) heapAlloc = nullptr;
  decltype(&HeapReAlloc) heapReAlloc = nullptr;
  decltype(&HeapFree) heapFree = nullptr;
  bool complete = false;
};

template <typename F>
void Resolve(HMODULE kernel, const char* name, F& out) {
  // Through a generic function pointer: FARPROC's own type matches none.
  out = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

Kernel ResolveKernel() {
  Kernel k;
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return k;
  Resolve(kernel, "VirtualAlloc", k.virtualAlloc);
  Resolve(kernel, "VirtualFree", k.virtualFree);
  Resolve(kernel, "VirtualProtect", k.virtualProtect);
  Resolve(kernel, "VirtualQuery", k.virtualQuery);
  Resolve(kernel, "LoadLibraryA", k.loadLibrary);
  Resolve(kernel, "FreeLibrary", k.freeLibrary);
  Resolve(kernel, "GetProcAddress", k.getProcAddress);
  Resolve(kernel, "GetProcessHeap", k.getProcessHeap);
  Resolve(kernel, "HeapAlloc", k.heapAlloc);
  Resolve(kernel, "HeapReAlloc", k.heapReAlloc);
  Resolve(kernel, "HeapFree", k.heapFree);
  k.complete = k.virtualAlloc && k.virtualFree && k.virtualProtect && k.virtualQuery && k.loadLibrary &&
               k.freeLibrary && k.getProcAddress && k.getProcessHeap && k.heapAlloc && k.heapReAlloc && k.heapFree;
  return k;
}

Kernel& TheKernel() {
  static Kernel kernel = ResolveKernel();
  return kernel;
}

using DllEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

DllEntry EntryOf(const MemoryModule* m) {
  return m->entryPoint ? reinterpret_cast<DllEntry>(m->imageBase + m->entryPoint) : nullptr;
}

DWORD ProtectionOf(DWORD characteristics) {
  const bool execute = characteristics & IMAGE_SCN_MEM_EXECUTE;
  const bool read = characteristics & IMAGE_SCN_MEM_READ;
  const bool write = characteristics & IMAGE_SCN_MEM_WRITE;
  // Indexed [execute][read][write].
  static constexpr DWORD kProtection[2][2][2] = {
      {{PAGE_NOACCESS, PAGE_WRITECOPY}, {PAGE_READONLY, PAGE_READWRITE}},
      {{PAGE_EXECUTE, PAGE_EXECUTE_WRITECOPY}, {PAGE_EXECUTE_READ, PAGE_EXECUTE_READWRITE}}};
  DWORD protection = kProtection[execute][read][write];
  if (characteristics & IMAGE_SCN_MEM_NOT_CACHED) protection |= PAGE_NOCACHE;
  return protection;
}

bool ResolveImports(const Kernel& k, MemoryModule* m, const std::vector<ImportLibrary>& imports) {
  for (const ImportLibrary& library : imports) {
    HMODULE handle = k.loadLibrary(library.name.c_str());
    if (!handle) return false;
    auto* grown = static_cast<HMODULE*>(
        k.heapReAlloc(k.getProcessHeap(), HEAP_ZERO_MEMORY, m->libraries, sizeof(HMODULE) * (m->libraryCount + 1)));
    if (!grown) {
      k.freeLibrary(handle);
      return false;
    }
    m->libraries = grown;
    m->libraries[m->libraryCount++] = handle;
    for (const ImportEntry& entry : library.entries) {
      FARPROC address = entry.byOrdinal ? k.getProcAddress(handle, MAKEINTRESOURCEA(entry.ordinal))
                                        : k.getProcAddress(handle, entry.name.c_str());
      if (!address) return false;
      uint32_t value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
      std::memcpy(m->imageBase + entry.slotRva, &value, sizeof value);
    }
  }
  return true;
}

void FinaliseSections(const Kernel& k, const PeLayout& layout, uint8_t* base) {
  for (const PageRun& run : PlanPages(layout)) {
    if (run.discard) {
      k.virtualFree(base + run.rva, run.size, MEM_DECOMMIT);
      continue;
    }
    const DWORD protection = ProtectionOf(run.access);
    DWORD old;
    if (k.virtualProtect(base + run.rva, run.size, protection, &old)) continue;
    // Copy-on-write is for mapped files; our own memory is refused it and
    // would keep read-write, losing execute. Writable is the same to us.
    constexpr DWORD kCopyOnWrite = PAGE_WRITECOPY | PAGE_EXECUTE_WRITECOPY;
    if (!(protection & kCopyOnWrite)) continue;
    const DWORD writable = (protection & ~kCopyOnWrite) | (protection & PAGE_WRITECOPY ? PAGE_READWRITE : 0) |
                           (protection & PAGE_EXECUTE_WRITECOPY ? PAGE_EXECUTE_READWRITE : 0);
    k.virtualProtect(base + run.rva, run.size, writable, &old);
  }
}

// Whether every page of the range is committed and may be read.
bool PagesReadable(const Kernel& k, const uint8_t* start, uint64_t size) {
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  for (const uint8_t* p = start; p < start + size;) {
    MEMORY_BASIC_INFORMATION info;
    if (!k.virtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT || !(info.Protect & kReadable) ||
        (info.Protect & PAGE_GUARD))
      return false;
    p = static_cast<const uint8_t*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

}  // namespace

MemoryModule* LoadFromMemory(std::span<const uint8_t> image) {
  const Kernel& k = TheKernel();
  if (!k.complete) return nullptr;
  std::optional<PeLayout> layout = ReadPeLayout(image);
  if (!layout) return nullptr;
  const NtHeaders& nt = layout->nt;

  auto* base = static_cast<uint8_t*>(
      k.virtualAlloc(reinterpret_cast<void*>(uintptr_t{nt.imageBase}), nt.sizeOfImage, MEM_RESERVE, PAGE_READWRITE));
  if (!base) base = static_cast<uint8_t*>(k.virtualAlloc(nullptr, nt.sizeOfImage, MEM_RESERVE, PAGE_READWRITE));
  if (!base) return nullptr;
  HANDLE heap = k.getProcessHeap();
  auto* m = static_cast<MemoryModule*>(k.heapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(MemoryModule)));
  if (!m) {
    k.virtualFree(base, 0, MEM_RELEASE);
    return nullptr;
  }
  m->imageBase = base;
  m->entryPoint = nt.entryPoint;
  m->imageSize = nt.sizeOfImage;
  m->libraries = static_cast<HMODULE*>(k.heapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(HMODULE)));
  m->headers = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + nt.ntOffset);
  if (!m->libraries || !k.virtualAlloc(base, nt.sizeOfImage, MEM_COMMIT, PAGE_READWRITE) ||
      !k.virtualAlloc(base, nt.sizeOfHeaders, MEM_COMMIT, PAGE_READWRITE)) {
    Release(m);
    return nullptr;
  }

  std::vector<uint8_t*> recorded(layout->sections.size(), nullptr);
  for (size_t i = 0; i < layout->sections.size(); ++i) {
    const Section& s = layout->sections[i];
    const uint32_t size = s.rawSize != 0 ? s.rawSize : nt.sectionAlignment;
    if (size == 0) continue;
    // Committing rounds down to a page; the section itself starts where it says.
    if (!k.virtualAlloc(base + s.virtualAddress, size, MEM_COMMIT, PAGE_READWRITE)) {
      Release(m);
      return nullptr;
    }
    recorded[i] = base + s.virtualAddress;
    if (s.rawSize == 0) std::memset(recorded[i], 0, size);
  }
  std::span<uint8_t> mapped(base, nt.sizeOfImage);
  CopyImage(image, *layout, mapped);
  const uint32_t actualBase = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base));
  std::memcpy(base + nt.ntOffset + kImageBaseFieldOffset, &actualBase, 4);
  for (size_t i = 0; i < layout->sections.size(); ++i) {
    if (!recorded[i]) continue;
    const uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(recorded[i]));
    std::memcpy(base + layout->sections[i].headerOffset + kSectionMiscOffset, &address, 4);
  }

  const uint32_t delta = actualBase - nt.imageBase;
  // Moved, an image without relocations would run with wrong addresses.
  const bool unmovable = delta != 0 && nt.directories[kRelocationDirectory].size == 0;
  std::optional<std::vector<ImportLibrary>> imports;
  if (unmovable || (delta != 0 && !ApplyRelocations(mapped, nt, delta)) || !(imports = ReadImports(mapped, nt)) ||
      !ResolveImports(k, m, *imports)) {
    Release(m);
    return nullptr;
  }
  FinaliseSections(k, *layout, base);

  if (DllEntry entry = EntryOf(m)) {
    if (!entry(reinterpret_cast<HINSTANCE>(base), DLL_PROCESS_ATTACH, nullptr)) {
      Release(m);
      return nullptr;
    }
    m->initialised = TRUE;
  }
  return m;
}

void* FindExport(const MemoryModule* m, const char* name) {
  if (!m || !name) return nullptr;
  const Kernel& k = TheKernel();
  auto readable = [&](uint64_t rva, uint64_t size) { return PagesReadable(k, m->imageBase + rva, size); };
  std::span<const uint8_t> mapped(m->imageBase, m->imageSize);
  std::optional<NtHeaders> nt = ReadNtHeaders(mapped);
  if (!nt) return nullptr;
  std::optional<uint32_t> rva = FindExportRva(mapped, *nt, name, readable);
  return rva ? m->imageBase + *rva : nullptr;
}

void Release(MemoryModule* m) {
  if (!m) return;
  const Kernel& k = TheKernel();
  if (m->initialised) {
    EntryOf(m)(reinterpret_cast<HINSTANCE>(m->imageBase), DLL_PROCESS_DETACH, nullptr);
    m->initialised = FALSE;
  }
  for (int i = 0; i < m->libraryCount; ++i) k.freeLibrary(m->libraries[i]);
  HANDLE heap = k.getProcessHeap();
  if (m->libraries) k.heapFree(heap, 0, m->libraries);
  k.virtualFree(m->imageBase, 0, MEM_RELEASE);
  k.heapFree(heap, 0, m);
}

}  // namespace skin
