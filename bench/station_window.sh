#!/usr/bin/env bash
# The station window's own cost, on the real clock under Xvfb:
#  1. CPU share (user+sys of the pellar-station process, engine threads included, over the wall
#     time) while 32 simulated devices are flashed with a file of about 100 KB, against
#     `pellar-cli station --once` on the same devices and list; then the same with 64;
#  2. its CPU share while idle with 32 and 64 tiles (the 10 Hz poll alone);
#  3. the time from the program's start to its first painted window (median of 5 starts), from
#     the wall time the window prints at its first paint when PELLAR_STATION_REPORT_PAINT is set.
# The pellar-station figures include the engine's threads (one process); the difference to
# pellar-cli is what the window adds. The main thread alone: /proc/PID/task/PID/stat.
# Usage: bench/station_window.sh [build dir]   (default: build/default)
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$0")/../tools/lib/xvfb.sh"

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
station=$build/src/station_app/pellar-station
cli=$build/src/cli/pellar-cli
for program in "$station" "$cli"; do
  [[ -x $program ]] || { echo "no $program; build first (cmake --build --preset default)" >&2; exit 2; }
done

clock_ticks=$(getconf CLK_TCK)

work=$(mktemp -d)
xvfb_pid=
station_pid=
cleanup() {
  [[ -n "$station_pid" ]] && kill -9 "$station_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 1366x768

head -c 102400 /dev/urandom >"$work/fw.bin"
printf '[Update_Info]\nfile_num=1\n[file1]\nfilename=fw.bin\nDevicefilePath=fw.bin\n' >"$work/list.txt"
write_devices() {  # count
  {
    echo '{"devices": ['
    for n in $(seq "$1"); do
      [[ $n -gt 1 ]] && echo ','
      echo "{\"manufacturer\":\"Acme\",\"product\":\"Cam\",\"vid\":\"0x1234\",\"pid\":\"0x5678\",\"path\":\"sim:$n\",\"port\":\"1-$n\"}"
    done
    echo ']}'
  } >"$work/devices.json"
}

cpu_seconds() {  # user+sys of a live process, every thread
  awk -v ticks="$clock_ticks" '{ print ($14 + $15) / ticks }' "/proc/$1/stat"
}
main_thread_seconds() {  # user+sys of its main thread alone: the window's own work
  awk -v ticks="$clock_ticks" '{ print ($14 + $15) / ticks }' "/proc/$1/task/$1/stat"
}
now() { date +%s.%N; }
lines() { [[ -f $1 ]] && wc -l <"$1" || echo 0; }

start_station() {  # record file; prints nothing, sets station_pid and window
  PELLAR_STATION_REPORT_PAINT=1 "$station" --simulate "$work/devices.json" --list "$work/list.txt" \
    --match 1234:5678 --record "$1" 2>"$work/station.err" &
  station_pid=$!
  window=
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Pellar Station$' 2>/dev/null | head -1) && [[ -n "$window" ]] && break
    sleep 0.05
  done
  [[ -n "$window" ]] || { echo "the window did not appear" >&2; exit 1; }
  xdotool windowmove --sync "$window" 0 0
  xdotool windowsize --sync "$window" 1366 768
  xdotool windowfocus --sync "$window"
}
stop_station() {
  kill -TERM "$station_pid"
  wait "$station_pid" || true
  station_pid=
}

# 1. The window during a run of every unit, then the command line on the same run.
run_both() {  # units
  local units=$1
  write_devices "$units"
  rm -f "$work/window.jsonl" "$work/cli.jsonl"
  start_station "$work/window.jsonl"
  sleep 1
  local idle_cpu0 idle_t0 idle_cpu1 idle_t1 cpu0 t0 cpu1 t1 main0 main1 passed_window passed_cli
  idle_cpu0=$(cpu_seconds "$station_pid"); idle_t0=$(now)
  sleep 5
  idle_cpu1=$(cpu_seconds "$station_pid"); idle_t1=$(now)
  cpu0=$(cpu_seconds "$station_pid"); main0=$(main_thread_seconds "$station_pid"); t0=$(now)
  xdotool key space
  while [[ $(lines "$work/window.jsonl") -lt $units ]]; do sleep 0.02; done
  cpu1=$(cpu_seconds "$station_pid"); main1=$(main_thread_seconds "$station_pid"); t1=$(now)
  passed_window=$(grep -c '"result":"passed"' "$work/window.jsonl" || true)
  stop_station
  TIMEFORMAT='%R %U %S'
  { time "$cli" --simulate "$work/devices.json" station "$work/list.txt" --match 1234:5678 --once \
      --record "$work/cli.jsonl" 2>/dev/null; } 2>"$work/cli.time" || true
  read -r cli_wall cli_user cli_sys <"$work/cli.time"
  passed_cli=$(grep -c '"result":"passed"' "$work/cli.jsonl" || true)
  awk -v units="$units" -v pw="$passed_window" -v pc="$passed_cli" \
      -v c0="$cpu0" -v c1="$cpu1" -v t0="$t0" -v t1="$t1" -v m0="$main0" -v m1="$main1" \
      -v ic0="$idle_cpu0" -v ic1="$idle_cpu1" -v it0="$idle_t0" -v it1="$idle_t1" \
      -v cw="$cli_wall" -v cu="$cli_user" -v cs="$cli_sys" 'BEGIN {
    wall = t1 - t0; cpu = c1 - c0
    printf "%d units passed:         window %d, pellar-cli %d\n", units, pw, pc
    printf "  window run:            %.2f s wall, %.3f s CPU, %.2f%% of wall\n", wall, cpu, cpu / wall * 100
    printf "  window main thread:    %.3f s CPU, %.2f%% of wall\n", m1 - m0, (m1 - m0) / wall * 100
    printf "  pellar-cli run:        %.2f s wall, %.3f s CPU, %.2f%% of wall\n", cw, cu + cs, (cu + cs) / cw * 100
    printf "  window idle, %d tiles: %.3f s CPU in %.2f s, %.2f%% of wall\n", units, ic1 - ic0, it1 - it0, (ic1 - ic0) / (it1 - it0) * 100
  }'
}
run_both 32
run_both 64

# 3. Start to first paint.
paints=()
for _ in 1 2 3 4 5; do
  started=$(date +%s%3N)
  start_station "$work/paint.jsonl"
  for _ in $(seq 100); do grep -q 'first paint at' "$work/station.err" && break; sleep 0.02; done
  painted=$(sed -n 's/.*first paint at \([0-9]*\) ms.*/\1/p' "$work/station.err")
  paints+=($((painted - started)))
  stop_station
done
median_paint=$(printf '%s\n' "${paints[@]}" | sort -n | sed -n 3p)

echo "start to first paint:    $median_paint ms median of 5 (${paints[*]}), 64 tiles"
