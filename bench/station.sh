#!/usr/bin/env bash
# pellar-cli station on N simulated devices at once, on the real clock.
# For 1, 8, 32 and 64 devices and a file of 102,400 bytes (102 packets: a pacing floor of
# 102 x 35 ms = 3.57 s for one device), reports the wall time against that floor, the CPU time
# (user + system) as a share of the wall time, and the peak resident memory. Then 32 slots with a
# 10 MiB image: the peak resident memory (the run is cut short with SIGINT after HOLD seconds,
# default 20; FULL=1 lets it run to the end, about six minutes).
# Targets: 32 devices within 1.03 x the floor and under 5% CPU; 64 within 1.05 x; the 10 MiB image
# on 32 slots under 64 MiB resident.
# Usage: bench/station.sh [path/to/pellar-cli]   (default: build/default/src/cli/pellar-cli)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/default/src/cli/pellar-cli}
[[ -x $cli ]] || { echo "no pellar-cli at $cli; build first (cmake --build --preset default)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Update_Info]\nfile_num=1\n[file1]\nfilename=fw.bin\nDevicefilePath=fw.bin\n' >"$work/list.txt"

devices() {  # devices COUNT > FILE: COUNT devices of one pair, each in its own port
  local count=$1 i
  printf '{"devices":['
  for ((i = 0; i < count; i++)); do
    ((i > 0)) && printf ','
    printf '{"vid":"0x1234","pid":"0x5678","path":"sim:%d","port":"1-%d"}' "$i" "$i"
  done
  printf ']}\n'
}

# run COUNT: one station run; prints "wall user sys max_rss_kib exit_status".
run() {
  local count=$1
  devices "$count" >"$work/sim.json"
  local status=0
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" \
    "$cli" --simulate "$work/sim.json" station "$work/list.txt" --match 1234:5678 --once \
    2>"$work/stderr.txt" || status=$?
  echo "$(tail -n 1 "$work/time.txt") $status"
}

failed=0
head -c 102400 /dev/urandom >"$work/fw.bin"
printf '%8s %9s %8s %9s %9s %9s %s\n' devices wall "x floor" "CPU s" "CPU %" "RSS MiB" result
for count in 1 8 32 64; do
  read -r wall user sys rss status < <(run "$count")
  verdict=$(awk -v n="$count" -v wall="$wall" -v user="$user" -v sys="$sys" -v rss="$rss" -v st="$status" 'BEGIN {
    floor = 102 * 0.035
    ratio = wall / floor
    cpu = user + sys
    share = cpu / wall * 100
    ok = st == 0
    if (n == 32 && (ratio > 1.03 || share > 5)) ok = 0
    if (n == 64 && ratio > 1.05) ok = 0
    printf "%8d %8.3fs %8.4f %9.3f %8.2f%% %9.1f %s\n", n, wall, ratio, cpu, share, rss / 1024, ok ? "ok" : "MISSED"
  }')
  echo "$verdict"
  [[ $verdict == *MISSED ]] && failed=1
done

# 32 slots and a 10 MiB image: the image is held once, whatever the number of units.
head -c 10485760 /dev/urandom >"$work/fw.bin"
devices 32 >"$work/sim.json"
/usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" \
  "$cli" --simulate "$work/sim.json" station "$work/list.txt" --match 1234:5678 --once 2>"$work/stderr.txt" &
timer=$!
if [[ ${FULL:-0} != 1 ]]; then
  sleep "${HOLD:-20}"
  pkill -INT -P "$timer" -f "station $work/list.txt" || true
fi
wait "$timer" || true
read -r wall _ _ rss < <(tail -n 1 "$work/time.txt")
awk -v rss="$rss" -v wall="$wall" 'BEGIN {
  printf "32 slots, 10 MiB image: peak resident %.1f MiB over %.1f s (target under 64 MiB): %s\n",
         rss / 1024, wall, rss < 65536 ? "ok" : "MISSED"
  exit rss < 65536 ? 0 : 1
}' || failed=1
exit "$failed"
