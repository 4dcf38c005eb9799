# A large file shows its first lines at once and is read on while the window answers: keys typed
# meanwhile change nothing (the document is read-only until the end), and once it is read an edit
# and a save write the whole file back with the edit and nothing else.

FILE=$E2E_TMP/big.txt
# 270 MB of Shift_JIS lines with CR LF (あいう, a number, カタカナ): long enough to read that
# the keys below arrive while it is read. A sanitizer build reads several times slower.
COPIES=96 READ_TIME=15
# (grep without -q: ldd must not die of SIGPIPE under pipefail)
if ldd "$ORVANE" | grep libasan >/dev/null; then COPIES=24 READ_TIME=60; fi
perl -e 'binmode STDOUT; my $l = ""; for my $i (0 .. 99999) { $l .= "\x82\xa0\x82\xa2\x82\xa4 line $i \x83\x4a\x83\x5e\x83\x4a\x83\x69\r\n" } print $l for 1 .. $ARGV[0]' "$COPIES" >"$FILE"
cp "$FILE" "$E2E_TMP/original.txt"

start_app "$FILE"
xdotool type --delay 20 "early"
settle "$READ_TIME"  # the rest is read

key ctrl+Home
type_text "X"
key ctrl+s
want=$(( $(stat -c %s "$E2E_TMP/original.txt") + 1 ))
for _ in $(seq 120); do  # the save (a backup copy first) of that much takes a while
  [ "$(stat -c %s "$FILE")" = "$want" ] && break
  settle 0.5
done
{ printf X; cat "$E2E_TMP/original.txt"; } | cmp -s "$FILE" - ||
  fail "the saved file is not the original with one X in front"
