#!/usr/bin/env bash
# The list readers at scale: `pellar-cli update --check` on update lists of 2,000 to 100,000
# entries, and `pellar-cli list` on 8,000 and 32,000 simulated devices. Prints the wall time of
# each and the CPU time per entry; the time must grow in proportion to the count (linear), and
# --check must stay under a second of CPU at 100,000 entries.
# Usage: bench/list_reader.sh [path/to/pellar-cli]   (default: build/default/src/cli/pellar-cli)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/default/src/cli/pellar-cli}
[[ -x $cli ]] || { echo "no pellar-cli at $cli; build first (cmake --build --preset default)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 3000 /dev/urandom >"$work/fw.bin"

# "WALL CPU" seconds of the command (CPU: user + system), the best wall time of three runs, since
# the machine may be shared; the CPU time shows the cost however busy the machine is.
best_of_three() {
  local best_wall= best_cpu= TIMEFORMAT='%R %U %S'
  for _ in 1 2 3; do
    local wall user sys
    read -r wall user sys < <({ time "$@" >/dev/null 2>&1; } 2>&1)
    if [[ -z $best_wall ]] || awk -v t="$wall" -v b="$best_wall" 'BEGIN { exit !(t < b) }'; then
      best_wall=$wall
      best_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')
    fi
  done
  echo "$best_wall $best_cpu"
}

report() {  # what, count, wall seconds, CPU seconds
  awk -v what="$1" -v n="$2" -v w="$3" -v c="$4" \
    'BEGIN { printf "%-18s %7d   wall %7.3f s   CPU %7.3f s   %6.2f us CPU each\n", what, n, w, c, c / n * 1e6 }'
}

status=0
for entries in 2000 8000 32000 100000; do
  list=$work/list-$entries.txt
  awk -v n="$entries" 'BEGIN {
    printf "[Update_Info]\r\nfile_num=%d\r\n", n
    for (i = 1; i <= n; ++i) printf "[file%d]\r\nfilename=fw.bin\r\nDevicefilePath=fw%d.bin\r\n", i, i
  }' >"$list"
  # --check looks for each file beside the list as well as beside the executable.
  read -r wall cpu < <(best_of_three "$cli" update --check "$list")
  report "update --check" "$entries" "$wall" "$cpu"
  if [[ $entries -eq 100000 ]] && awk -v s="$cpu" 'BEGIN { exit !(s >= 1) }'; then
    echo "  100,000 entries took a second of CPU or more" >&2
    status=1
  fi
done

for devices in 8000 32000; do
  sim=$work/sim-$devices.json
  awk -v n="$devices" 'BEGIN {
    printf "{\"devices\":["
    for (i = 0; i < n; ++i) printf "%s{\"manufacturer\":\"Acme\",\"product\":\"Unit %d\",\"vid\":\"0x1234\",\"pid\":\"0x5678\"}", (i ? "," : ""), i
    printf "]}\n"
  }' >"$sim"
  read -r wall cpu < <(best_of_three "$cli" --simulate "$sim" list)
  report "list (simulated)" "$devices" "$wall" "$cpu"
  read -r wall cpu < <(best_of_three "$cli" --simulate "$sim" list --long)
  report "list --long" "$devices" "$wall" "$cpu"
done
exit $status
