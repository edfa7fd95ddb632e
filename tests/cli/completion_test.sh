#!/bin/bash
# Sources the companion's bash completion and asks it what a user's TAB would get.
#   completion_test.sh CLI [EMULATOR]
set -u
cli=$1
run() { ${2:+"$2"} "$cli" "${@:3}"; }
failures=0
source <(run "$1" "${2:-}" completion bash | tr -d '\r') || { echo "the script does not source"; exit 1; }

# The words offered for a line whose last word is being typed.
offered() {
  read -r -a COMP_WORDS <<< "$1"
  [[ "$1" == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _dualsieve_cli
  echo "${COMPREPLY[*]}"
}
expect() {
  local got
  got=$(offered "$1")
  if [ "$got" != "$2" ]; then
    echo "'$1<TAB>' offers '$got', expected '$2'"
    failures=$((failures + 1))
  fi
}
# Every option of a command, as its help lists them.
options_of() { run "$cli" "${2:-}" help "$1" | tr -d '\r' | sed -n 's/^  \(-[a-z-]*\).*/\1/p' | tr '\n' ' '; }

expect "dualsieve-cli c" "compare convert completion"
expect "dualsieve-cli compare --mode c" "cookies"
expect "dualsieve-cli sessions --mode " "cookies http"
expect "dualsieve-cli compare --color a" "auto always"
expect "dualsieve-cli completion " "bash zsh powershell"
expect "dualsieve-cli help j" "jar"
expect "dualsieve-cli compare --line-sep " ""
expect "dualsieve-cli jar --entry " ""
for command in compare sessions convert jar sanitize; do
  expect "dualsieve-cli $command -" "$(options_of "$command" "${2:-}")--help"
done
cookies=$(offered "dualsieve-cli convert --to ")
http=$(offered "dualsieve-cli convert --mode http --to ")
[[ " $cookies " == *" cookie-header "* && " $cookies " != *" fetch "* ]] || { echo "cookies formats: $cookies"; failures=$((failures + 1)); }
[[ " $http " == *" fetch "* && " $http " != *" cookie-header "* ]] || { echo "http formats: $http"; failures=$((failures + 1)); }
expect "dualsieve-cli compare --mode http --to cu" "curl curl-cmd"
exit $((failures > 0))
