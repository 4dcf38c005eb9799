# Saving in the file's own encoding and line end, and in another one chosen in the save dialog:
# a Shift_JIS file with CR LF gets Japanese typed into it, Ctrl+S writes it back as Shift_JIS
# with CR LF (the old text kept as the backup), and Save As through the dialog's encoding chooser
# writes UTF-8.

DOC=$E2E_TMP/doc.txt
printf '\x93\xfa\x96\x7b\r\n' >"$DOC"  # 日本 CR LF in Shift_JIS
hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

start_app "$DOC"
key ctrl+End
type_text "語です"
key ctrl+s
# 日本 CR LF 語です
expect_soon "saved as Shift_JIS with CR LF" 'hex "$DOC"' "93fa967b0d0a8cea82c582b7"
expect_eq "the backup holds the old text" "$(hex "$E2E_TMP/doc.~txt")" "93fa967b0d0a"
xdotool getwindowname "$WINDOW" | grep -q '^doc.txt - ' || fail "title: $(xdotool getwindowname "$WINDOW")"

# 名前を付けて保存: the name, then the encoding list (文字コード(&C)) set to its last entry, UTF-8
# with a byte-order mark.
key ctrl+shift+s
DIALOG=$(wait_window_named '名前を付けて保存')
xdotool windowfocus --sync "$DIALOG"
settle
key ctrl+a
type_text "$E2E_TMP/utf8.txt"
key alt+c
key End
xdotool windowfocus --sync "$DIALOG"
key Return
settle 0.6
# BOM, 日本 CR LF 語です in UTF-8
expect_soon "saved as UTF-8" 'hex "$E2E_TMP/utf8.txt" 2>/dev/null' "efbbbfe697a5e69cac0d0ae8aa9ee381a7e38199"
expect_eq "the first file is left alone" "$(hex "$DOC")" "93fa967b0d0a8cea82c582b7"
xdotool getwindowname "$WINDOW" | grep -q '^utf8.txt - ' || fail "title after Save As: $(xdotool getwindowname "$WINDOW")"

# Again, with the entry above it: UTF-8 without the mark, as a script needs it.
xdotool windowfocus --sync "$WINDOW"
settle
key ctrl+shift+s
DIALOG=$(wait_window_named '名前を付けて保存')
xdotool windowfocus --sync "$DIALOG"
settle
key ctrl+a
type_text "$E2E_TMP/plain.txt"
key alt+c
key End
key Up
xdotool windowfocus --sync "$DIALOG"
key Return
settle 0.6
expect_soon "saved as UTF-8 without a mark" 'hex "$E2E_TMP/plain.txt" 2>/dev/null' "e697a5e69cac0d0ae8aa9ee381a7e38199"

# Nothing is unsaved now: the program ends without a question.
xdotool windowfocus --sync "$WINDOW"
settle
key alt+f
key x
wait_exit
