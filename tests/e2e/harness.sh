#!/usr/bin/env bash
# The end-to-end harness: the real program under Xvfb, driven with xdotool as a user drives it.
# Usage: harness.sh PROGRAM CASE.sh. A case is a bash script sourced here; it uses the helpers
# below and fails with `fail MESSAGE`. Each case gets its own X server, home folder and settings
# folder. Exit code 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

ORVANE=${1:?program}
CASE=${2:?case script}

for tool in Xvfb xdotool xclip; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (./dev setup installs it)"
    exit 77
  fi
done

E2E_TMP=$(mktemp -d /tmp/orvane-e2e.XXXXXX)
export HOME=$E2E_TMP/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_RUNTIME_DIR=$E2E_TMP/run
export ORVANE_SETTINGS_DIR=$E2E_TMP/settings
export QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME
# A sanitizer build reports leaks at exit; those of the desktop libraries are not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$(readlink -f "$0")")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
ARTIFACTS=${ORVANE_E2E_ARTIFACTS:-$E2E_TMP/artifacts}
mkdir -p "$ARTIFACTS"

XVFB_PID=""
APP_PID=""
AT_EXIT=()
# Runs the command line when the case ends, passed or failed, after the program and before the
# X server are stopped; the last one registered runs first.
at_exit() { AT_EXIT=("$1" "${AT_EXIT[@]}"); }
cleanup() {
  local status=$? hook
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  for hook in "${AT_EXIT[@]}"; do eval "$hook" || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  if [ $status -eq 0 ] || [ $status -eq 77 ]; then rm -rf "$E2E_TMP"; else echo "kept for inspection: $E2E_TMP"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$E2E_TMP/app.log" ] && { echo "--- program output"; cat "$E2E_TMP/app.log"; } >&2
  exit 1
}

# An X server of its own on a free display, without a window manager.
start_x() {
  exec 3>"$E2E_TMP/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$E2E_TMP/display" ] && break
    sleep 0.05
  done
  [ -s "$E2E_TMP/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -1 "$E2E_TMP/display")"
}

# Starts the program with ARGS and waits until its window is shown and has the keyboard.
start_app() {
  "$ORVANE" "$@" >>"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --pid "$APP_PID" | head -1) || fail "no window appeared"
  xdotool windowfocus --sync "$WINDOW"
  settle
}

# Lets the program handle what it was sent.
settle() { sleep "${1:-0.4}"; }

key() {
  xdotool key --clearmodifiers --delay 60 "$@"
  settle
}

type_text() {
  # Characters outside the keyboard map are typed through a key remapped for each one: slower,
  # so that a busy program still reads each key before its mapping changes again.
  if LC_ALL=C.UTF-8 grep -qP '[^\x00-\x7f]' <<<"$1"; then
    xdotool type --delay 150 "$1"
  else
    xdotool type --delay 40 "$1"
  fi
  settle
}

# The window matching the title regex, waited for.
wait_window_named() {
  timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -1 || fail "no window named $1"
}

# Waits until the program has ended (it ended with status 0 or fails).
wait_exit() {
  local status=0
  for _ in $(seq 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$APP_PID" 2>/dev/null && fail "the program did not end"
  wait "$APP_PID" || status=$?
  APP_PID=""
  [ $status -eq 0 ] || fail "the program ended with status $status"
}

# The geometry of the program's window as "X Y WIDTH HEIGHT".
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# A picture of the program's window, saved as FILE.png.
grab_window() {
  [ -n "${ORVANE_E2E_SCREENGRAB:-}" ] || fail "screengrab is not known: run the case through CTest"
  local x y w h
  read -r x y w h <<<"$(window_geometry)"
  "$ORVANE_E2E_SCREENGRAB" grab "$1" "$x" "$y" "$w" "$h" || fail "no picture of the window"
}

# What the clipboard holds, as other programs read it (lines end with LF alone).
clipboard() { xclip -selection clipboard -o 2>/dev/null || true; }

# A value of the main settings file (section, key), or empty.
ini_value() {
  awk -v section="$1" -v key="$2" '
    /^\[/ { gsub(/^\[|\][ \t\r]*$/, ""); insec = (tolower($0) == tolower(section)); next }
    insec { i = index($0, "="); if (i && tolower(substr($0, 1, i - 1)) == tolower(key)) { v = substr($0, i + 1); sub(/\r$/, "", v); print v; exit } }
  ' "$ORVANE_SETTINGS_DIR/orvane.ini"
}

expect_eq() {
  [ "$2" == "$3" ] || fail "$1: expected '$3', got '$2'"
}

# Like expect_eq, for what the program writes in its own time: the command's output is asked
# again for up to ten seconds.
expect_soon() {
  local got
  for _ in $(seq 50); do
    got=$(eval "$2")
    [ "$got" == "$3" ] && return 0
    sleep 0.2
  done
  fail "$1: expected '$3', got '$got'"
}

start_x
# shellcheck source=/dev/null
source "$CASE"
echo "passed: $(basename "$CASE")"
