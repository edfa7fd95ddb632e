#include "cli/completion.h"

#include "cli/option_table.h"

namespace cli {
namespace {

std::string Joined(const std::vector<std::string>& words, std::string_view between) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : std::string(between)) + w;
  return out;
}

std::vector<std::string> FirstWords() {
  std::vector<std::string> words;
  for (const CommandRow& c : Commands()) words.emplace_back(c.name);
  words.insert(words.end(), {"--help", "--version"});
  return words;
}

std::vector<std::string> OptionsOf(const CommandRow& c) {
  std::vector<std::string> names;
  for (const OptionRow& row : OptionRows())
    if (row.commands & c.bit) names.emplace_back(row.name);
  names.emplace_back("--help");
  return names;
}

// Bash: what the word before the cursor asks for, then the command's options,
// else files (complete -o default).
std::string BashFunction() {
  std::string s =
      "_dualsieve_cli() {\n"
      "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\" http=0 i words=\n"
      "  COMPREPLY=()\n"
      "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
      "    COMPREPLY=($(compgen -W \"" + Joined(FirstWords(), " ") + "\" -- \"$cur\"))\n"
      "    return 0\n"
      "  fi\n"
      "  for ((i = 1; i < COMP_CWORD - 1; i++)); do\n"
      "    if [ \"${COMP_WORDS[i]}\" = --mode ] && [ \"${COMP_WORDS[i+1]}\" = http ]; then http=1; fi\n"
      "  done\n"
      "  case \"$prev\" in\n";
  for (const OptionRow& row : OptionRows()) {
    if (row.kind == ValueKind::kSwitch) continue;
    s += "    " + std::string(row.name) + ")";
    if (!row.words) s += " return 0 ;;\n";  // a free text or number: nothing to offer
    else if (row.wordsByMode)
      s += " if [ $http = 1 ]; then words=\"" + Joined(row.words(true), " ") + "\"; else words=\"" +
           Joined(row.words(false), " ") + "\"; fi ;;\n";
    else
      s += " words=\"" + Joined(row.words(false), " ") + "\" ;;\n";
  }
  s += "  esac\n"
       "  if [ -z \"$words\" ]; then\n"
       "    case \"${COMP_WORDS[1]}\" in\n";
  for (const CommandRow& c : Commands()) {
    s += "      " + std::string(c.name) + ")";
    if (c.operandWords)
      s += " [ \"$COMP_CWORD\" -eq 2 ] && words=\"" + Joined(c.operandWords(), " ") + "\" ;;\n";
    else
      s += " [[ \"$cur\" == -* ]] && words=\"" + Joined(OptionsOf(c), " ") + "\" ;;\n";
  }
  s += "    esac\n"
       "  fi\n"
       "  [ -n \"$words\" ] && COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
       "  return 0\n"
       "}\n";
  return s;
}

std::string PowerShellList(const std::vector<std::string>& words) { return "@('" + Joined(words, "', '") + "')"; }

std::string PowerShellScript() {
  std::string s =
      "Register-ArgumentCompleter -Native -CommandName 'dualsieve-cli', 'dualsieve-cli.exe' -ScriptBlock {\n"
      "  param($wordToComplete, $commandAst, $cursorPosition)\n"
      "  $words = @($commandAst.CommandElements | Where-Object { $_.Extent.EndOffset -lt $cursorPosition -or\n"
      "      ($_.Extent.EndOffset -eq $cursorPosition -and -not $wordToComplete) } | ForEach-Object { $_.ToString() })\n"
      "  if ($wordToComplete -and $words.Count -gt 0 -and $words[-1] -eq $wordToComplete) {\n"
      "    $words = @($words | Select-Object -SkipLast 1)\n"
      "  }\n"
      "  $prev = $words[-1]\n"
      "  $http = ($words -join ' ') -match '--mode http'\n"
      "  $candidates = @()\n"
      "  if ($words.Count -le 1) { $candidates = " + PowerShellList(FirstWords()) + " }\n";
  for (const OptionRow& row : OptionRows()) {
    if (row.kind == ValueKind::kSwitch) continue;
    s += "  elseif ($prev -eq '" + std::string(row.name) + "') { ";
    if (!row.words) s += "return }\n";
    else if (row.wordsByMode)
      s += "$candidates = if ($http) { " + PowerShellList(row.words(true)) + " } else { " +
           PowerShellList(row.words(false)) + " } }\n";
    else
      s += "$candidates = " + PowerShellList(row.words(false)) + " }\n";
  }
  for (const CommandRow& c : Commands()) {
    s += "  elseif ($words[1] -eq '" + std::string(c.name) + "') { ";
    if (c.operandWords)
      s += "if ($words.Count -eq 2) { $candidates = " + PowerShellList(c.operandWords()) + " } }\n";
    else
      s += "if ($wordToComplete -like '-*') { $candidates = " + PowerShellList(OptionsOf(c)) + " } }\n";
  }
  s += "  $candidates | Where-Object { $_ -like \"$wordToComplete*\" } | ForEach-Object {\n"
       "    [System.Management.Automation.CompletionResult]::new($_, $_, 'ParameterValue', $_)\n"
       "  }\n"
       "}\n";
  return s;
}

}  // namespace

std::string CompletionScript(std::string_view shell) {
  const std::string complete = "complete -o default -F _dualsieve_cli dualsieve-cli dualsieve-cli.exe\n";
  if (shell == "bash") return "# dualsieve-cli completion for bash: source this file.\n" + BashFunction() + complete;
  // zsh runs the bash function through its own bash-completion layer.
  if (shell == "zsh")
    return "# dualsieve-cli completion for zsh: source this file.\n"
           "autoload -U +X compinit && compinit\n"
           "autoload -U +X bashcompinit && bashcompinit\n" +
           BashFunction() + complete;
  return "# dualsieve-cli completion for PowerShell: dot-source this file or add it to $PROFILE.\n" +
         PowerShellScript();
}

}  // namespace cli
