#!/usr/bin/env bash
# Runs every fuzz target for MINUTES minutes on the sanitised native build,
# starting from its corpus in fuzz/corpus/<target> and the shared seeds, and
# merges what it found back into that corpus, minimised (libFuzzer
# -merge=1), so that each run starts where the last one stopped.
#   usage: scripts/fuzz.sh MINUTES [TARGET...]
# Crashes are kept as build/native/fuzz-crashes/<target>/crash-*.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:?usage: scripts/fuzz.sh MINUTES [TARGET...]}
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(split parser percent_decode sort pe_image skin_data import decode export cookies)
fi
build=$here/build/native
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DDS_SANITIZE=ON -DDS_FUZZ=ON -DDS_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  corpus=$here/fuzz/corpus/$t
  work=$build/fuzz-work/$t
  crashes=$build/fuzz-crashes/$t
  mkdir -p "$corpus" "$work" "$crashes"
  before=$(find "$corpus" -type f | wc -l)
  # Units up to 64 KB, so that the corpus kept in the repository stays small.
  if ! "$build/fuzz_$t" -max_total_time=$((minutes * 60)) -max_len=65536 -rss_limit_mb=4096 \
         -artifact_prefix="$crashes/" -print_final_stats=1 "$work" "$corpus" "$here/fuzz/seeds" \
         >"$build/fuzz-work/$t.log" 2>&1; then
    echo "fuzz_$t: stopped on a finding, see $crashes and $build/fuzz-work/$t.log"
    status=1
  fi
  merged=$(mktemp -d)
  "$build/fuzz_$t" -merge=1 -max_len=65536 -rss_limit_mb=4096 "$merged" "$corpus" "$work" \
    >>"$build/fuzz-work/$t.log" 2>&1
  rm -rf "$corpus"
  mv "$merged" "$corpus"
  chmod 755 "$corpus"
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz-work/$t.log" | tail -1 | grep -o '[0-9]*$' || echo ?)
  echo "fuzz_$t: $runs runs, corpus $before -> $(find "$corpus" -type f | wc -l) units"
done
exit $status
