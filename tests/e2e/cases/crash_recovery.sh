# Nothing typed is lost when the program is killed: two documents (a Shift_JIS file and a new
# one) are typed into, the program dies by SIGKILL, and the next start offers both texts back,
# byte for byte; the file itself changes only when the user saves. A normal close leaves no
# snapshot behind.

RECOVERY=$HOME/.local/state/orvane/recovery
snapshot_count() { find "$RECOVERY" -name '*.snapshot' 2>/dev/null | wc -l; }

# 日本語テキスト in Shift_JIS, with CR LF.
DOC=$E2E_TMP/sjis.txt
printf '\x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67\r\nsecond line\r\n' >"$DOC"
ORIGINAL=$(od -An -tx1 "$DOC")

start_app "$DOC"
type_text "abc "
key ctrl+n
type_text "new document text"
key Return
type_text "line two"
# The snapshots are written a little after typing stops.
for _ in $(seq 50); do [ "$(snapshot_count)" -eq 2 ] && break; sleep 0.1; done
expect_eq "snapshots while typing" "$(snapshot_count)" 2

kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""
expect_eq "the file after the crash" "$(od -An -tx1 "$DOC")" "$ORIGINAL"

# The next start asks; Return takes the default, はい (restore).
start_app
QUESTION=$(xdotool search --sync --onlyvisible --pid "$APP_PID" --name '^Orvane$' | tail -1)
xdotool windowfocus --sync "$QUESTION" 2>/dev/null || true
key Return
settle 1
# The main window again has the keyboard (there is no window manager to give it back).
WINDOW=$(xdotool search --onlyvisible --pid "$APP_PID" | head -1)
xdotool windowfocus --sync "$WINDOW"
settle

# The new document is the active tab: its text comes back exactly.
key ctrl+a ctrl+c
expect_eq "restored new document" "$(clipboard)" "$(printf 'new document text\nline two')"
expect_eq "the file before saving" "$(od -An -tx1 "$DOC")" "$ORIGINAL"
# The file's tab: saved, it holds the typed text in front of its own bytes, still Shift_JIS, CR LF.
key ctrl+comma
key ctrl+s
expect_eq "restored file saved" "$(od -An -tx1 "$DOC")" "$(printf 'abc \x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67\r\nsecond line\r\n' | od -An -tx1)"

# A normal close (the new document not saved) leaves no snapshot and no run behind.
key alt+f
key x
settle 1
key n
wait_exit
expect_eq "snapshots after a normal close" "$(snapshot_count)" 0
expect_eq "runs after a normal close" "$(find "$RECOVERY" -mindepth 1 -maxdepth 1 | wc -l)" 0
