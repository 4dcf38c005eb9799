# Switching tabs by the keys the desktop's programs use: Ctrl+Tab and Ctrl+PgDn for the next,
# Ctrl+Shift+Tab and Ctrl+PgUp for the previous, wrapping around.

for n in a b c; do printf '%s\r\n' "$n" >"$E2E_TMP/$n.txt"; done
title() { xdotool getwindowname "$WINDOW"; }

start_app "$E2E_TMP/a.txt" "$E2E_TMP/b.txt" "$E2E_TMP/c.txt"
expect_eq "the last file opened is active" "$(title)" "c.txt - Orvane"
key ctrl+Tab
expect_eq "Ctrl+Tab wraps to the first" "$(title)" "a.txt - Orvane"
key ctrl+Next
expect_eq "Ctrl+PgDn" "$(title)" "b.txt - Orvane"
key ctrl+shift+Tab
expect_eq "Ctrl+Shift+Tab" "$(title)" "a.txt - Orvane"
key ctrl+Prior
expect_eq "Ctrl+PgUp wraps to the last" "$(title)" "c.txt - Orvane"

# The keys reach the window from the editor: typing after a switch goes into that document.
key ctrl+Tab
type_text "x"
key ctrl+s
expect_soon "typed into a.txt" 'cat "$E2E_TMP/a.txt"' "$(printf 'xa\r')"
key alt+f
key x
wait_exit
expect_eq "files open at exit, in tab order" "$(ini_value EditingFiles 00) $(ini_value EditingFiles 02)" "$E2E_TMP/a.txt $E2E_TMP/c.txt"
