// Shell completion scripts for the companion, made from its option table.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// The script for bash, zsh or powershell (the names `completion` takes).
std::string CompletionScript(std::string_view shell);

}  // namespace cli
