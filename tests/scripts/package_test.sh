#!/usr/bin/env bash
# Two packages of the checked-out commit, built in two fresh clones at paths
# of different lengths, are the same bytes; the zip is named by the project
# version and holds what a user needs, with sums that match.
# Usage: package_test.sh SOURCE_DIR MINGW_DEPS_DIR
set -euo pipefail
source=$1
deps=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/ds-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
zips=()
for clone in "$work/a" "$work/another/clone"; do
  git clone -q --shared "$source" "$clone"
  DS_JOBS=${DS_JOBS:-2} bash "$clone/scripts/package.sh" --no-setup --deps "$deps" >/dev/null
  zips+=("$(ls "$clone"/dist/Dualsieve-*-win32.zip)")
done
cmp "${zips[0]}" "${zips[1]}"
python3 "$source/tests/scripts/check_package.py" "${zips[0]}" "$source/CMakeLists.txt"
echo "package_test: $(basename "${zips[0]}") built twice, the same $(stat -c %s "${zips[0]}") bytes"
