#!/usr/bin/env bash
# The real pellar-station under Xvfb on four simulated devices, started with --list and --record:
# Space (the focus is on "Start") starts all four, and the record then holds one line per unit.
# SIGTERM then closes the window, exit status 0. Again with units still running: SIGTERM cuts them
# short, and each is recorded as cancelled before the program ends.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$0")/../../tools/lib/xvfb.sh"
station=$1
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

write_setup() {  # firmware size
  head -c "$1" /dev/urandom > "$work/app.bin"
  printf '[Update_Info]\nfile_num=1\n[file1]\nfilename=app.bin\nDevicefilePath=app.bin\n' > "$work/list.txt"
  rm -f "$work/record.jsonl"
}
{
  echo '{"devices": ['
  for n in 1 2 3 4; do
    [[ $n -gt 1 ]] && echo ','
    echo "{\"manufacturer\":\"Acme\",\"product\":\"Cam\",\"vid\":\"0x1234\",\"pid\":\"0x5678\",\"path\":\"sim:$n\",\"port\":\"1-1.$n\"}"
  done
  echo ']}'
} > "$work/devices.json"

start_and_press_space() {
  "$station" --simulate "$work/devices.json" --list "$work/list.txt" --match 1234:5678 \
    --record "$work/record.jsonl" &
  station_pid=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Pellar Station$' 2>/dev/null | head -1) && [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] || { echo "FAIL: the window did not appear" >&2; exit 1; }
  xdotool windowfocus --sync "$window"
  sleep 0.3
  [[ ! -s "$work/record.jsonl" ]] || { echo "FAIL: a unit ran before Space" >&2; exit 1; }
  xdotool key space
}

terminate() {
  kill -TERM "$station_pid"
  status=0
  wait "$station_pid" || status=$?
  station_pid=
  [[ $status -eq 0 ]] || { echo "FAIL: exit status $status after SIGTERM" >&2; exit 1; }
}

# One line per unit, each with the given result, one for every port.
expect_records() {
  lines=$(wc -l < "$work/record.jsonl")
  with_result=$(grep -c "\"result\":\"$1\"" "$work/record.jsonl" || true)
  [[ $lines -eq 4 && $with_result -eq 4 ]] || {
    echo "FAIL: $lines record lines, $with_result $1" >&2; cat "$work/record.jsonl" >&2; exit 1; }
  for n in 1 2 3 4; do
    grep -q "\"port\":\"1-1.$n\"" "$work/record.jsonl" || { echo "FAIL: no record for 1-1.$n" >&2; exit 1; }
  done
}

write_setup 3000
start_and_press_space
for _ in $(seq 100); do
  [[ -f "$work/record.jsonl" && $(wc -l < "$work/record.jsonl") -ge 4 ]] && break
  sleep 0.1
done
expect_records passed
terminate
echo "PASS: Space started four units, four record lines, SIGTERM closed the window"

write_setup 300000  # about ten seconds a unit
start_and_press_space
sleep 1
terminate
expect_records cancelled
echo "PASS: SIGTERM while units ran: four cancelled units recorded, then the window closed"
