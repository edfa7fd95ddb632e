// Both programs carry the project's version, read from outside as Explorer
// reads it: the fixed numbers and the strings of each language block.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "version.h"

namespace {

struct VersionInfo {
  std::vector<char> data;
  VS_FIXEDFILEINFO* fixed = nullptr;
  std::vector<std::wstring> blocks;  // "040904b0" and the like, from the translation table

  explicit VersionInfo(const wchar_t* path) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(path, &ignored);
    if (!size) return;
    data.resize(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) return;
    UINT length = 0;
    VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    WORD* pairs = nullptr;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &length)) {
      for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
        wchar_t block[9];
        wsprintfW(block, L"%04x%04x", pairs[i], pairs[i + 1]);
        blocks.push_back(block);
      }
    }
  }

  std::wstring String(const std::wstring& block, const wchar_t* name) {
    std::wstring query = L"\\StringFileInfo\\" + block + L"\\" + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"";
    return value;
  }
};

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

TEST(VersionInfo, BothProgramsCarryTheProjectVersion) {
  const int numbers[] = {DS_VERSION_NUMBERS};
  for (const wchar_t* path : {DS_GUI_EXE, DS_CLI_EXE}) {
    VersionInfo info(path);
    ASSERT_NE(info.fixed, nullptr) << path;
    EXPECT_EQ(info.fixed->dwFileVersionMS, static_cast<DWORD>(numbers[0] << 16 | numbers[1])) << path;
    EXPECT_EQ(info.fixed->dwFileVersionLS, static_cast<DWORD>(numbers[2] << 16 | numbers[3])) << path;
    EXPECT_EQ(info.fixed->dwProductVersionMS, info.fixed->dwFileVersionMS) << path;
    ASSERT_EQ(info.blocks.size(), 2u) << path;
    for (const std::wstring& block : info.blocks) {
      EXPECT_EQ(info.String(block, L"FileVersion"), Wide(DS_VERSION)) << path;
      EXPECT_EQ(info.String(block, L"ProductVersion"), Wide(DS_VERSION)) << path;
      EXPECT_EQ(info.String(block, L"ProductName"), L"Dualsieve") << path;
      EXPECT_EQ(info.String(block, L"FileDescription").rfind(L"Dualsieve", 0), 0u) << path;
    }
  }
  // Each program names itself, and the Chinese block speaks Chinese.
  EXPECT_EQ(VersionInfo(DS_GUI_EXE).String(L"080404b0", L"OriginalFilename"), L"Dualsieve.exe");
  EXPECT_EQ(VersionInfo(DS_CLI_EXE).String(L"080404b0", L"OriginalFilename"), L"dualsieve-cli.exe");
  EXPECT_NE(VersionInfo(DS_GUI_EXE).String(L"080404b0", L"FileDescription").find(L"\x5BF9\x6BD4"), std::wstring::npos);
}

}  // namespace
