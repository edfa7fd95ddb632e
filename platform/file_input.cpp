#include "platform/file_input.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "platform/codepage.h"
#else
#include <sys/mman.h>
#endif

namespace ds::platform {
namespace {

constexpr char kIsDirectory[] = "is a directory";

#ifdef _WIN32
// The ANSI functions would read the name in the system code page and miss
// any file whose name that code page cannot spell.
std::wstring WideName(const std::string& utf8) {
  std::u16string units = ToUtf16(utf8, kCodePageUtf8);
  return std::wstring(units.begin(), units.end());
}

FILE* Open(const std::string& path) { return _wfopen(WideName(path).c_str(), L"rb"); }

// Windows refuses to open a directory as a file at all.
bool IsDirectoryName(const std::string& path) {
  DWORD attributes = GetFileAttributesW(WideName(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int Descriptor(FILE* file) { return _fileno(file); }
void PreferLargePages(char*, size_t) {}
#else
FILE* Open(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

// A big file's buffer in 2 MB pages: each 4 KB page would cost a fault,
// which takes longer than reading the page.
void PreferLargePages(char* start, size_t size) {
  constexpr uintptr_t kLarge = uintptr_t{2} << 20;
  uintptr_t from = (reinterpret_cast<uintptr_t>(start) + kLarge - 1) & ~(kLarge - 1);
  uintptr_t to = (reinterpret_cast<uintptr_t>(start) + size) & ~(kLarge - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}
bool IsDirectoryName(const std::string&) { return false; }
int Descriptor(FILE* file) { return fileno(file); }
#endif

// POSIX opens a directory for reading and fails only at the first read.
bool IsDirectory(FILE* file) {
  struct stat s;
  return fstat(Descriptor(file), &s) == 0 && S_ISDIR(s.st_mode);
}

std::string ReadAll(FILE* file, FileContent* content, const ReadProgress& progress) {
  if (IsDirectory(file)) return kIsDirectory;
  // A file's size is known ahead: the text is read into its place at once,
  // with room after it for a JSON parser that reads in blocks.
  struct stat s;
  size_t total = 0;
  if (fstat(Descriptor(file), &s) == 0 && S_ISREG(s.st_mode) && s.st_size > 0) {
    total = static_cast<size_t>(s.st_size);
    content->bytes.reserve(total + kReadPadding);
    PreferLargePages(content->bytes.data(), total + kReadPadding);
  }
  char buffer[1 << 16];
  for (;;) {
    errno = 0;
    size_t n = std::fread(buffer, 1, sizeof buffer, file);
    int cause = errno;
    content->bytes.append(buffer, n);
    if (progress) progress(content->bytes.size(), total);
    if (n < sizeof buffer) return std::ferror(file) ? std::strerror(cause) : "";
  }
}

}  // namespace

FileContent ReadInputFile(const std::string& path, const ReadProgress& progress) {
  FileContent content;
  if (path == "-") {
    content.error = ReadAll(stdin, &content, progress);
    return content;
  }
  errno = 0;
  FILE* file = Open(path);
  if (!file) {
    int cause = errno;
    content.error = IsDirectoryName(path) ? kIsDirectory : std::strerror(cause);
    return content;
  }
  content.error = ReadAll(file, &content, progress);
  std::fclose(file);
  return content;
}

}  // namespace ds::platform
