// The settings file in the Windows system directory, section "Config". The
// path is built again for every access; nothing is cached.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The longest value a read returns; a longer one comes back cut.
constexpr size_t kMaxSettingLength = 10239;

std::string SettingsPath();
std::string ReadSetting(std::string_view key);  // GBK key; empty when missing
void WriteSetting(std::string_view key, std::string_view value);  // failures are ignored

}  // namespace app
