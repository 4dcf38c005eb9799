# A name of no file on the command line opens a new document under that name, and Ctrl+S makes
# the file there; a start with only a folder on the command line says so and brings back the
# files of the last run.

NEW=$E2E_TMP/newfile.txt
hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

start_app "$NEW"
expect_eq "title" "$(xdotool getwindowname "$WINDOW")" "newfile.txt - Orvane"
type_text "abc"
key Return
type_text "日本"
key ctrl+s
# abc CR LF 日本 in Shift_JIS, the new document's encoding
expect_soon "saved under its name" 'hex "$NEW" 2>/dev/null' "6162630d0a93fa967b"
key alt+f
key x
wait_exit
expect_eq "files open at exit" "$(ini_value EditingFiles Count) $(ini_value EditingFiles 00)" "1 $NEW"

# A folder cannot be opened: the message names it (Return closes it), and the last run's file
# comes back in its place.
start_app "$E2E_TMP"
BOX=$(wait_window_named '^Orvane$')
xdotool windowfocus --sync "$BOX"
key Return
MAIN=$(wait_window_named '^newfile.txt - Orvane$')
xdotool windowfocus --sync "$MAIN"
settle
key alt+f
key x
wait_exit
