# The search panel as a user meets it: Ctrl+F, a word typed and Ctrl+Enter searches the folder
# the settings name (a UTF-8 file in a subfolder among others); a double-click on a hit opens
# its file with the hit selected and the caret on its line.

tree=$E2E_TMP/tree
mkdir -p "$tree/sub" "$ORVANE_SETTINGS_DIR"
printf 'first line\r\nsecond line\r\n' > "$tree/a.txt"
printf '一行目\n二行目の marker はここ\n三行目 marker\n' > "$tree/sub/b.txt"
printf 'marker\n' > "$tree/c.dat"
mkfifo "$tree/pipe.txt"
cat > "$ORVANE_SETTINGS_DIR/orvane_search.xml" <<EOF
<?xml version="1.0" encoding="Shift_JIS"?><orvane><searchproperties version="1.0"><searchvalue/><replacevalue/><flag selectedonly="false" fromcursor="true"/><options><down/></options><filesearch target="2" subfolder="true"><folder>$tree</folder><mask>*.txt</mask></filesearch></searchproperties></orvane>
EOF

# The find command needs a document with text: the program starts with a.txt.
start_app "$tree/a.txt"
key ctrl+f
type_text "marker"
key ctrl+Return
# The FIFO is passed by and told in a box after the search; Enter closes it.
wait_window_named '^Orvane$' >/dev/null
key Return

# The results tree lies above the status bar: double-clicks from its bottom upwards pass over its
# empty rows until one lands on the last hit, which opens sub/b.txt.
read -r wx wy ww wh <<< "$(window_geometry)"
opened=""
for dy in $(seq 40 8 260); do
  xdotool mousemove --sync $((wx + 120)) $((wy + wh - dy)) click --repeat 2 --delay 80 1
  settle 0.3
  if xdotool getwindowname "$WINDOW" | grep -q "b.txt"; then opened=$dy; break; fi
done
[ -n "$opened" ] || fail "no double-click opened the hit's file (title: $(xdotool getwindowname "$WINDOW"))"

# The hit is selected in the opened document, and the caret is on its line.
key ctrl+c
expect_eq "the selected hit" "$(clipboard)" "marker"
key End shift+Home ctrl+c
expect_eq "the caret's line" "$(clipboard)" "三行目 marker"

# The search settings are kept at exit with the word in the history.
key alt+f
key x
wait_exit
grep -q "<value>marker</value>" "$ORVANE_SETTINGS_DIR/orvane_search.xml" || fail "the history was not saved: $(cat "$ORVANE_SETTINGS_DIR/orvane_search.xml")"
