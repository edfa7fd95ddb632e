#include "platform/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ds::platform {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

#ifdef _WIN32
FILE* OpenForWriting(const std::string& path) { return _wfopen(PathOf(path).c_str(), L"wb"); }
bool Replace(const std::string& from, const std::string& to) {
  return MoveFileExW(PathOf(from).c_str(), PathOf(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
void Remove(const std::string& path) { _wremove(PathOf(path).c_str()); }
std::string LastError() {
  // errno's words for the codes a write meets, as the other platform has them.
  DWORD code = GetLastError();
  return code == ERROR_ACCESS_DENIED ? std::strerror(EACCES) : "Windows error " + std::to_string(code);
}
#else
FILE* OpenForWriting(const std::string& path) { return std::fopen(path.c_str(), "wb"); }
bool Replace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
void Remove(const std::string& path) { std::remove(path.c_str()); }
std::string LastError() { return std::strerror(errno); }
#endif

}  // namespace

std::string WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".partial";
  errno = 0;
  FILE* file = OpenForWriting(temporary);
  if (!file) return std::strerror(errno ? errno : EACCES);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
  int cause = errno;
  if (std::fclose(file) != 0 && written) {
    written = false;
    cause = errno;
  }
  if (!written) {
    Remove(temporary);
    return std::strerror(cause ? cause : EIO);
  }
  if (!Replace(temporary, path)) {
    std::string why = LastError();
    Remove(temporary);
    return why;
  }
  return {};
}

bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(PathOf(a), PathOf(b), error) && !error;
}

std::string MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(PathOf(path), error);
  if (error) return error.message();
  if (!std::filesystem::is_directory(PathOf(path), error)) return "not a folder";
  return {};
}

}  // namespace ds::platform
