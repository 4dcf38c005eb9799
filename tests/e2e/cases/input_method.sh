# Japanese typed through a real input method: fcitx5 with Mozc in a D-Bus session of its own.
# "nihongo" is composed, converted with Space and committed with Return; the composition is drawn
# in place, where the committed text then stands; the saved file holds 日本語 in Shift_JIS.
# Mozc's server will not run as root, so as root the input method and the program run as an
# unprivileged user (nobody) with a home folder of its own.

missing=""
for package in fcitx5 fcitx5-mozc fcitx5-frontend-qt6 fcitx5-modules dbus-x11; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "skipped: the input method is not installed (missing packages:$missing; ./dev setup installs them)"
  exit 77
fi

IME=$E2E_TMP/ime  # the user's own folders: home, runtime folder, a copy of the program
USER_HOME=$IME/home
mkdir -p "$USER_HOME/.config/fcitx5" "$IME/run" "$IME/bin"
AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || { echo "skipped: setpriv is not installed (package util-linux)"; exit 77; }
  AS_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# Mozc as the group's input method beside the keyboard, Ctrl+Space to switch it on and off, and
# no pop-up naming the input method when it switches (it would cover the window).
cat >"$USER_HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE
cat >"$USER_HOME/.config/fcitx5/config" <<'CONFIG'
[Hotkey/TriggerKeys]
0=Control+space

[Behavior]
ActiveByDefault=False
ShowInputMethodInformation=False
showInputMethodInformationWhenFocusIn=False
CONFIG

# The program is copied where the user can read it (the build tree may be in root's home); so is
# the sanitizer's list of leaks that are not ours.
cp "$ORVANE" "$IME/bin/orvane"
cp "$(dirname "$(readlink -f "$0")")/lsan.supp" "$IME/lsan.supp"
DOC=$USER_HOME/doc.txt
: >"$DOC"
if ((${#AS_USER[@]})); then
  chown -R 65534:65534 "$IME"
  chmod 711 "$E2E_TMP"
fi
chmod 700 "$IME/run"

USER_ENV=(HOME="$USER_HOME" XDG_CONFIG_HOME="$USER_HOME/.config" XDG_DATA_HOME="$USER_HOME/.local/share"
          XDG_STATE_HOME="$USER_HOME/.local/state" XDG_CACHE_HOME="$USER_HOME/.cache" XDG_RUNTIME_DIR="$IME/run"
          ORVANE_SETTINGS_DIR="$USER_HOME/settings" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8
          QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
          ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" LSAN_OPTIONS="suppressions=$IME/lsan.supp")
as_user() { "${AS_USER[@]}" env -i "${USER_ENV[@]}" "$@"; }

# Everything started in the user's environment ends with the case: found by its home folder, so
# Mozc's server, which leaves its parent, goes too.
end_user_processes() {
  local p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "HOME=$USER_HOME" && kill "${p#/proc/}" 2>/dev/null
  done
  return 0
}
at_exit end_user_processes

eval "$(as_user dbus-launch --sh-syntax)" || fail "no D-Bus session"
USER_ENV+=(DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS")
as_user fcitx5 --disable=wayland,waylandim >"$E2E_TMP/fcitx5.log" 2>&1 &
for _ in $(seq 100); do
  [ -n "$(as_user fcitx5-remote 2>/dev/null)" ] && break
  sleep 0.1
done
[ -n "$(as_user fcitx5-remote 2>/dev/null)" ] || fail "fcitx5 did not start: $(tail -5 "$E2E_TMP/fcitx5.log")"

# The program, started as the user through a script (root's own, outside the user's folder), so
# that the harness's helpers drive it.
{
  echo '#!/usr/bin/env bash'
  printf 'exec'
  printf ' %q' "${AS_USER[@]}" env -i "${USER_ENV[@]}" "$IME/bin/orvane"
  echo ' "$@"'
} >"$E2E_TMP/run-as-user"
chmod 755 "$E2E_TMP/run-as-user"
ORVANE=$E2E_TMP/run-as-user
start_app "$DOC"

key ctrl+space
expect_soon "the input method is on" 'as_user fcitx5-remote' 2
grab_window "$E2E_TMP/before.png"
# What the screen shows once the program has drawn it (a slow build draws late): pictures are
# taken until the box in which they differ from the one before typing stays the same.
changed_box() { "$ORVANE_E2E_SCREENGRAB" compare "$E2E_TMP/before.png" "$1" "$1" | cut -d' ' -f2-5; }
grab_settled() {
  local last="" box
  for _ in $(seq 20); do
    grab_window "$1"
    box=$(changed_box "$1")
    [ "$box" = "$last" ] && [ "$box" != "0 0 0 0" ] && return 0
    last=$box
    sleep 0.3
  done
  fail "the window did not settle for $1 (last change in $box)"
}
xdotool type --delay 80 nihongo
key space
grab_settled "$ARTIFACTS/input_method_composing.png"
key Return
grab_settled "$E2E_TMP/after.png"

# The converted text is drawn in place: what the composition changed is one row's small box, and
# the committed text then stands in it (a pop-up elsewhere, or the document changed before the
# commit, would make the box large; a composition drawn elsewhere would miss the text).
read -r _ bx by bw bh _ inside < <("$ORVANE_E2E_SCREENGRAB" compare "$E2E_TMP/before.png" \
  "$ARTIFACTS/input_method_composing.png" "$E2E_TMP/after.png")
echo "the composition drew in ${bw}x$bh at $bx,$by; the commit changed $inside pixels there"
((bw > 0 && bw < 200 && bh < 40)) || fail "the composition drew in ${bw}x$bh at $bx,$by, not a row's box at the caret"
((inside > 100)) || fail "the committed text does not stand where the composition was drawn"

key ctrl+space
key ctrl+s
expect_soon "日本語 saved in Shift_JIS" 'od -An -tx1 -v "$DOC" | tr -d " \n"' 93fa967b8cea
key alt+f
key x
wait_exit
