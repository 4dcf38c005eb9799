# A file the user may not write: opened, typed into, and Ctrl+S offers Save As (the default
# button), which writes the text under a new name and leaves the file as it was. As root every
# file can be written, so then the program runs as the unprivileged user "nobody".

RO=$E2E_TMP/ro.txt
printf 'old\r\n' >"$RO"
mkdir -p "$E2E_TMP/out" "$ORVANE_SETTINGS_DIR"
hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || { echo "skipped: setpriv is not installed"; exit 77; }
  chmod 755 "$E2E_TMP"
  chown -R 65534:65534 "$HOME" "$XDG_RUNTIME_DIR" "$ORVANE_SETTINGS_DIR" "$E2E_TMP/out"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
  chmod 444 "$RO"
fi
"${as_user[@]}" "$ORVANE" "$RO" >>"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --pid "$APP_PID" | head -1) || fail "no window appeared"
xdotool windowfocus --sync "$WINDOW"
settle

type_text "new "
key ctrl+s
BOX=$(wait_window_named '^Orvane$')
xdotool windowfocus --sync "$BOX"
key Return
DIALOG=$(wait_window_named '名前を付けて保存')
xdotool windowfocus --sync "$DIALOG"
settle
key ctrl+a
type_text "$E2E_TMP/out/copy.txt"
key Return
expect_soon "saved under the new name" 'hex "$E2E_TMP/out/copy.txt" 2>/dev/null' "6e6577206f6c640d0a"
expect_eq "the file stays as it was" "$(hex "$RO")" "6f6c640d0a"
expect_soon "title" 'xdotool getwindowname "$WINDOW"' "copy.txt - Orvane"
xdotool windowfocus --sync "$WINDOW"
settle
key alt+f
key x
wait_exit
