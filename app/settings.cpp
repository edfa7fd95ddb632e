#include "app/settings.h"

#include <windows.h>

#include <vector>

namespace app {
namespace {

constexpr char kSection[] = "Config";
constexpr DWORD kReadBufferSize = 10240;

}  // namespace

std::string SettingsPath() {
  char directory[MAX_PATH + 1] = {};
  UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  std::string path(directory, length <= MAX_PATH ? length : 0);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + "\\Dualsieve.ini";
}

std::string ReadSetting(std::string_view key) {
  std::vector<char> buffer(kReadBufferSize, '\0');
  std::string k(key);
  DWORD got = GetPrivateProfileStringA(kSection, k.c_str(), "", buffer.data(), kReadBufferSize,
                                       SettingsPath().c_str());
  return std::string(buffer.data(), got);
}

void WriteSetting(std::string_view key, std::string_view value) {
  std::string k(key), v(value);
  WritePrivateProfileStringA(kSection, k.c_str(), v.c_str(), SettingsPath().c_str());
}

}  // namespace app
