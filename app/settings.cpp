#include "app/settings.h"

#include <windows.h>

#include <vector>

namespace app {
namespace {

constexpr char kSection[] = "Config";
constexpr DWORD kReadBufferSize = kMaxSettingLength + 1;

// Reading strips spaces around a value and one pair of quotes around it: a
// value that begins or ends with a space or a quote is written inside a pair
// of quotes, so it reads back as it was written.
std::string AsStored(std::string_view value) {
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
  if (!value.empty() && (edge(value.front()) || edge(value.back()))) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

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
  std::string k(key), v = AsStored(value);
  WritePrivateProfileStringA(kSection, k.c_str(), v.c_str(), SettingsPath().c_str());
}

}  // namespace app
