#!/usr/bin/env bash
# Start-up time to a painted window and memory at rest, under Xvfb, for one or more builds of the
# program (medians of RUNS runs each): bench/startup.sh [--runs N] [--file FILE] PROGRAM...
# Without --file a 1 MB Japanese text is made. Time: from exec to the window drawn into a picture
# (--screenshot) and the process ended. Memory: resident set 1.5 s after the window appeared.
set -euo pipefail
RUNS=7
FILE=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --file) FILE=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--runs N] [--file FILE] PROGRAM..." >&2; exit 2; }

TMP=$(mktemp -d /tmp/orvane-startup.XXXXXX)
trap 'kill $XVFB 2>/dev/null || true; rm -rf "$TMP"' EXIT
if [ -z "$FILE" ]; then
  FILE=$TMP/1mb.txt
  line="吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。The quick brown fox 12345."
  while [ "$(stat -c %s "$FILE" 2>/dev/null || echo 0)" -lt 1048576 ]; do
    for _ in $(seq 200); do echo "$line"; done >>"$FILE"
  done
fi
exec 3>"$TMP/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$TMP/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$TMP/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$TMP/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The programs take turns, so that a change in the machine's load touches each alike.
declare -A TIMES RSS
for i in $(seq "$RUNS"); do
  for program in "$@"; do
    export ORVANE_SETTINGS_DIR=$TMP/settings-$i
    start=$(date +%s%N)
    "$program" --screenshot "$TMP/shot.png" "$FILE" >/dev/null 2>&1
    TIMES[$program]+="$(( ($(date +%s%N) - start) / 1000000 )) "
    "$program" "$FILE" >/dev/null 2>&1 &
    pid=$!
    timeout 20 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null
    sleep 1.5
    RSS[$program]+="$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status") "
    kill "$pid"; wait "$pid" 2>/dev/null || true
  done
done
for program in "$@"; do
  printf '%s\n  start-up to a painted window: median %s ms (runs: %s)\n  memory at rest: median %s KiB (runs: %s)\n' \
    "$program" "$(printf '%s\n' ${TIMES[$program]} | median)" "${TIMES[$program]}" \
    "$(printf '%s\n' ${RSS[$program]} | median)" "${RSS[$program]}"
done
