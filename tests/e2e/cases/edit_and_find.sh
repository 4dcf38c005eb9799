# Editing and searching as a user does: a file opened at a line, word wrap turned on and a
# character typed there (the saved bytes show where it went); a find whose hit Ctrl+C copies and
# whose next search goes on from the top, the typed text replacing the hit; a replace-all over the
# whole document that tells its count; a double-click that offers the word as the primary
# selection.

mkdir -p "$ORVANE_SETTINGS_DIR"
cat > "$ORVANE_SETTINGS_DIR/orvane_search.xml" <<EOF
<?xml version="1.0" encoding="Shift_JIS"?><orvane><searchproperties version="1.0"><searchvalue/><replacevalue/><flag selectedonly="false" fromcursor="true"/><options><down/></options><filesearch target="0" subfolder="false"><folder/><mask>*.txt</mask></filesearch></searchproperties></orvane>
EOF

# 400 lines: every third one long enough to wrap; "needle" on lines 10 and 350; "foo" on twelve
# lines, three of them before line 10.
long=$(printf 'a%.0s' $(seq 150))
line_text() {
  local n=$1
  case $n in
    10) echo "needle one" ;;
    350) echo "needle two" ;;
    2|4|8|100|101|102|103|104|105|106|107|108) echo "foo $n" ;;
    *) if ((n % 3 == 0)); then echo "$long $n"; else echo "line $n"; fi ;;
  esac
}
make_file() {  # the text with the edits given as LINE=TEXT arguments
  local -A edits=()
  for e in "$@"; do edits[${e%%=*}]=${e#*=}; done
  for n in $(seq 400); do
    if [ -n "${edits[$n]+x}" ]; then printf '%s\r\n' "${edits[$n]}"; else printf '%s\r\n' "$(line_text "$n")"; fi
  done
}
file=$E2E_TMP/long.txt
make_file > "$file"

# Opened at line 300, word wrap on (設定 > 折り返す), "X" typed: it goes to the start of line 300.
start_app "$file:300"
key alt+c
key w
type_text "X"
key ctrl+s
make_file "300=X$long 300" > "$E2E_TMP/expected1.txt"
cmp -s "$file" "$E2E_TMP/expected1.txt" || fail "X was not typed at the start of line 300: $(diff <(tr -d '\r' < "$E2E_TMP/expected1.txt") <(tr -d '\r' < "$file") | head -5)"

# Find: the hit after the caret (line 350) is selected, so Ctrl+C copies it.
key ctrl+f
type_text "needle"
key Return
key Escape
key ctrl+c
expect_eq "the copied hit" "$(clipboard)" "needle"
# F3 finds nothing below: it goes on from the top (line 10); typing replaces the hit.
key F3
type_text "N"

# Replace all over the whole document, whatever the caret: the count is told in a box (the
# replace box is the next one after the search box).
key ctrl+f
type_text "foo"
key Tab
type_text "bar"
key Return
# (The box's text, "12 件置換しました", is checked by the panel's own test: a message box's
# text cannot be read from outside.)
box=$(wait_window_named '^Orvane$')
xdotool windowfocus --sync "$box" 2>/dev/null || true
key Return
# Without a window manager the keyboard does not come back to the window by itself.
xdotool windowfocus --sync "$WINDOW"
settle
key Escape
key ctrl+s
make_file "300=X$long 300" "10=N one" \
  2="bar 2" 4="bar 4" 8="bar 8" 100="bar 100" 101="bar 101" 102="bar 102" 103="bar 103" \
  104="bar 104" 105="bar 105" 106="bar 106" 107="bar 107" 108="bar 108" > "$E2E_TMP/expected2.txt"
cmp -s "$file" "$E2E_TMP/expected2.txt" || fail "the saved text after find and replace: $(diff <(tr -d '\r' < "$E2E_TMP/expected2.txt") <(tr -d '\r' < "$file") | head -8)"

# A double-click on a word of the first lines offers it as the primary selection (tried from
# below the menu bar and the toolbar downwards until one lands on text).
key ctrl+Home
read -r wx wy ww wh <<< "$(window_geometry)"
primary=""
for dy in $(seq 100 8 300); do
  xdotool mousemove --sync $((wx + 100)) $((wy + dy)) click --repeat 2 --delay 80 1
  settle 0.3
  primary=$(xclip -selection primary -o 2>/dev/null || true)
  [ -n "$primary" ] && break
done
[[ "$primary" =~ ^(line|bar|[0-9]+|a+)$ ]] || fail "the double-clicked word is not the primary selection: '$primary'"
