#!/usr/bin/env bash
# A 1 MiB update with pellar-cli on the simulated device and the real clock.
# Compares the wall time with the pacing floor (1039 packets x 35 ms = 36.37 s) and reports the
# process's CPU time. Targets: wall within 1% of the floor, CPU under 2% of the wall time.
# Usage: bench/update.sh [path/to/pellar-cli]   (default: build/default/src/cli/pellar-cli)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/default/src/cli/pellar-cli}
[[ -x $cli ]] || { echo "no pellar-cli at $cli; build first (cmake --build --preset default)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 1048576 /dev/urandom >"$work/fw.bin"
printf '[Update_Info]\nfile_num=1\n[file1]\nfilename=fw.bin\nDevicefilePath=fw.bin\n' >"$work/list.txt"
printf '{"devices":[{"vid":"0x1234","pid":"0x5678"}]}\n' >"$work/sim.json"

TIMEFORMAT='%R %U %S'
# bash's time reports the child's wall, user and system seconds on stderr.
{ time "$cli" --simulate "$work/sim.json" update "$work/list.txt" 2>"$work/stderr.txt"; } 2>"$work/time.txt"
status=0
grep -q '^update ok!$' "$work/stderr.txt" || status=1
read -r wall user sys <"$work/time.txt"

awk -v wall="$wall" -v user="$user" -v sys="$sys" -v ok="$status" 'BEGIN {
  floor = 1039 * 0.035
  cpu = user + sys
  over = (wall - floor) / floor * 100
  share = cpu / wall * 100
  printf "update ok:      %s\n", ok == 0 ? "yes" : "NO"
  printf "wall time:      %.3f s\n", wall
  printf "pacing floor:   %.3f s (1039 packets x 35 ms)\n", floor
  printf "over the floor: %.3f s (%.2f%%, target under 1%%)\n", wall - floor, over
  printf "CPU time:       %.3f s (user %.3f, system %.3f)\n", cpu, user, sys
  printf "CPU share:      %.3f%% of the wall time (target under 2%%)\n", share
  exit (ok == 0 && over < 1 && share < 2) ? 0 : 1
}'
