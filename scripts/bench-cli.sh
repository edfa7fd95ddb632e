#!/usr/bin/env bash
# Times dualsieve-cli against `LC_ALL=C sort | join` on the same two
# 100,000-item Cookies captures and prints the ratio.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/dualsieve-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN { srand(1); for (i = 0; i < 100000; i++) printf "c%d=v%d; ", int(rand() * 150000), i % 7 }' > "$work/a.txt"
awk 'BEGIN { srand(2); for (i = 0; i < 100000; i++) printf "c%d=v%d; ", int(rand() * 150000), i % 7 }' > "$work/b.txt"

now() { date +%s.%N; }
t0=$(now)
"$cli" compare "$work/a.txt" "$work/b.txt" > "$work/cli.txt" || [ $? -eq 1 ]
tt=$(now)
"$cli" compare --json "$work/a.txt" "$work/b.txt" > "$work/cli.json" || [ $? -eq 1 ]
t1=$(now)
tr ';' '\n' < "$work/a.txt" | sed 's/^ *//' | grep . | LC_ALL=C sort -t= -k1,1 > "$work/a.sorted"
tr ';' '\n' < "$work/b.txt" | sed 's/^ *//' | grep . | LC_ALL=C sort -t= -k1,1 > "$work/b.sorted"
LC_ALL=C join -t= -a1 -a2 -e '' -o 0,1.2,2.2 "$work/a.sorted" "$work/b.sorted" > "$work/joined"
t2=$(now)
text_s=$(echo "$tt - $t0" | bc)
json_s=$(echo "$t1 - $tt" | bc)
join_s=$(echo "$t2 - $t1" | bc)
echo "dualsieve-cli compare:        ${text_s}s (ratio $(echo "scale=2; $text_s / $join_s" | bc))"
echo "dualsieve-cli compare --json: ${json_s}s (ratio $(echo "scale=2; $json_s / $join_s" | bc), with 100,000 item reports)"
echo "LC_ALL=C sort | join:         ${join_s}s"
