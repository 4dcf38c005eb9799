# One window: a second `orvane FILE` hands FILE to the running program, which opens it as a
# tab, and ends at once; --new-instance starts a program of its own.

printf 'first\n' >"$E2E_TMP/one.txt"
printf 'second file\n' >"$E2E_TMP/two.txt"
start_app "$E2E_TMP/one.txt"
FIRST=$APP_PID

timeout 10 "$ORVANE" "$E2E_TMP/two.txt" >>"$E2E_TMP/app.log" 2>&1 || fail "the second start did not end by itself"
wait_window_named '^two.txt - Orvane$' >/dev/null
kill -0 "$FIRST" || fail "the running program ended"
expect_eq "windows of the program" "$(xdotool search --onlyvisible --pid "$FIRST" | wc -l)" 1

# The new tab has the second file.
xdotool windowfocus --sync "$WINDOW"
settle
key ctrl+a ctrl+c
expect_eq "the handed file's text" "$(clipboard)" "second file"

# --new-instance: a program of its own.
"$ORVANE" --new-instance "$E2E_TMP/two.txt" >>"$E2E_TMP/app.log" 2>&1 &
SECOND=$!
sleep 2
kill -0 "$SECOND" || fail "--new-instance did not start a program of its own"
kill "$SECOND"

key alt+f
key x
wait_exit
