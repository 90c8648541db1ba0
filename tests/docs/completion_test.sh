#!/usr/bin/env bash
# Completes command lines as bash does at a prompt, with the generated completion of pellar-cli.
# Usage: completion_test.sh COMPLETION_SCRIPT
set -u
source /usr/share/bash-completion/bash_completion
source "$1"
cd "$(mktemp -d)" && touch list.txt devices.json
failed=0

# The words offered for a command line whose last word is the one being completed.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _pellar_cli
  echo "${COMPREPLY[*]:-}"
}

expect() {
  local want=$1 got
  shift
  got=$(offered "$@")
  if [[ -z $want && -n $got || -n $want && " $got " != *" $want "* ]]; then
    echo "FAIL: '$*' offers '$got', expected '${want:-nothing}'"
    failed=1
  fi
}

expect read pellar-cli re
expect udev-rule pellar-cli --simulate devices.json ud
expect --simulate pellar-cli --si
expect --check pellar-cli update --
expect --encoding pellar-cli update --
expect list.txt pellar-cli update ""
expect list.txt pellar-cli --simulate devices.json update --device 1234:5678 ""
expect devices.json pellar-cli --simulate ""
expect appkey pellar-cli read ""
expect model pellar-cli write MO
expect "" pellar-cli write sn ""
expect version pellar-cli station list.txt --read ""
expect --match pellar-cli station list.txt --m
expect "" pellar-cli station --match ""
rm -f list.txt devices.json && rmdir "$PWD"
exit $failed
