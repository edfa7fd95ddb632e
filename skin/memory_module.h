// Loads a DLL image from a block of memory, without writing it to disk: the
// work the system loader would do, done here for the skin library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace skin {

struct MemoryModule {
  IMAGE_NT_HEADERS32* headers;  // inside the loaded copy
  uint8_t* imageBase;
  HMODULE* libraries;  // loaded for the image's imports, in load order
  int libraryCount;
  BOOL initialised;  // the entry point accepted the attach call
  // From the checked headers, never read back from the loaded copy.
  DWORD entryPoint;
  DWORD imageSize;
};

// Nothing when the image is damaged, a library or function it imports is
// missing, or its entry point refuses; a failed load leaves nothing behind.
MemoryModule* LoadFromMemory(std::span<const uint8_t> image);

// The address of a named export (case-sensitive), or null; also when the
// tables lie in pages that may not be read.
void* FindExport(const MemoryModule* module, const char* name);

// Detaches (when attached), frees the imported libraries and the image.
void Release(MemoryModule* module);

}  // namespace skin
