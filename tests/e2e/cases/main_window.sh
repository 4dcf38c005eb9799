# The main window as a user meets it: typing, commands by shortcut and through the menus by
# their mnemonics, closing with unsaved text, and a second start that finds what the first left.

start_app

# Typing, then bookmark 1 set on the second row and jumped to by their shortcuts: the last word
# must land on the bookmarked row, not at the top where the caret was sent.
type_text "one"
key Return
type_text "two"
key ctrl+shift+1
key ctrl+Home
key ctrl+1
key End
type_text " three"
key ctrl+a ctrl+c
expect_eq "text copied through the commands" "$(clipboard)" "$(printf 'one\ntwo three')"

# Through the menu bar by mnemonics: 設定(C) > ステータスバー(S) hides the status bar.
key alt+c
key s

# A placement of our own, so that the next start has something to restore.
xdotool windowmove --sync "$WINDOW" 120 90
xdotool windowsize --sync "$WINDOW" 700 500
settle

# ファイル(F) > Orvane の終了(X): the text is unsaved, so the program asks; いいえ(N) lets it go.
key alt+f
key x
wait_window_named '^Orvane$' >/dev/null
key n
wait_exit

expect_eq "Version" "$(ini_value IniFile Version)" 1
expect_eq "StatusBar" "$(ini_value Orvane StatusBar)" 0
expect_eq "ToolBar" "$(ini_value Orvane ToolBar)" 1
expect_eq "placement" "$(ini_value Orvane Form.X) $(ini_value Orvane Form.Y) $(ini_value Orvane Form.XSize) $(ini_value Orvane Form.YSize)" "120 90 820 590"
expect_eq "files open at exit" "$(ini_value EditingFiles Count) $(ini_value EditingFiles 00)" "1 無題"
expect_eq "shortcuts are not written at exit" "$(ini_value Orvane 'Actions[actSave].ShortCut')" ""

# The second start restores the placement and keeps the status bar hidden; with nothing
# changed it ends without a question.
start_app
expect_eq "restored window" "$(window_geometry)" "120 90 700 500"
key alt+f
key x
wait_exit
expect_eq "StatusBar after the second run" "$(ini_value Orvane StatusBar)" 0
expect_eq "placement after the second run" "$(ini_value Orvane Form.X) $(ini_value Orvane Form.Y)" "120 90"
