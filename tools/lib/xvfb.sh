# Sourced by the scripts that show a window. start_xvfb WIDTHxHEIGHT starts Xvfb on a display it
# picks itself (-displayfd), so scripts and tests running at once never race for one, exports
# DISPLAY, sets xvfb_pid and returns once the server answers.
start_xvfb() {
  local size=$1 number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$number_file" &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s $number_file ]] && break; sleep 0.05; done
  DISPLAY=:$(tr -dc 0-9 <"$number_file")
  export DISPLAY
  rm -f "$number_file"
  [[ $DISPLAY != ":" ]] || { echo "Xvfb did not start" >&2; return 1; }
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 1
}
