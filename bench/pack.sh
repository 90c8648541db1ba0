#!/usr/bin/env bash
# Packing eight components of about 10 MB in all with `pellar-cli pack`, against `cat` of the same
# files into one file. Paired runs (the order within a pair alternates), ratio of the medians.
# Usage: bench/pack.sh [PELLAR_CLI] [PAIRS]   (defaults: build/default/src/cli/pellar-cli, 51)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/default/src/cli/pellar-cli}
pairs=${2:-51}
[[ -x $cli ]] || { echo "no pellar-cli at $cli; build first (cmake --build --preset default)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
kinds=(uvcconfig uvcattr hid-test sensor-dirver sensor-settings app-init fast-init app)
component_bytes=1250000  # eight of them: 10,000,000 bytes, below the 10,485,760-byte limit
pack_args=()
files=()
for kind in "${kinds[@]}"; do
  head -c "$component_bytes" /dev/urandom >"$work/$kind.bin"
  pack_args+=("--$kind" "$work/$kind.bin")
  files+=("$work/$kind.bin")
done

# Milliseconds taken by one command, from bash's own clock.
elapsed_ms() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  echo "(${end/./} - ${start/./}) / 1000" | bc -l
}
run_pack() { "$cli" pack "${pack_args[@]}" -o "$work/packet.bin"; }
run_cat() { cat "${files[@]}" >"$work/cat.bin"; }

run_pack >/dev/null 2>&1 && run_cat  # warm the page cache and check that both work
packed=$(stat -c %s "$work/packet.bin")
catted=$(stat -c %s "$work/cat.bin")
[[ $packed -eq $((catted + 8 + 8 * 10)) ]] || { echo "unexpected packet size $packed" >&2; exit 1; }

pack_times=()
cat_times=()
for ((i = 0; i < pairs; i++)); do
  if ((i % 2 == 0)); then
    pack_times+=("$(elapsed_ms run_pack)"); cat_times+=("$(elapsed_ms run_cat)")
  else
    cat_times+=("$(elapsed_ms run_cat)"); pack_times+=("$(elapsed_ms run_pack)")
  fi
done

median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
pack_median=$(median "${pack_times[@]}")
cat_median=$(median "${cat_times[@]}")
printf 'components: 8 x %d bytes; packet: %d bytes; pairs: %d\n' "$component_bytes" "$packed" "$pairs"
printf 'median pellar-cli pack: %.2f ms\n' "$pack_median"
printf 'median cat:             %.2f ms\n' "$cat_median"
printf 'ratio pack/cat:         %.2f (target: 1.2 or less)\n' "$(echo "$pack_median / $cat_median" | bc -l)"
