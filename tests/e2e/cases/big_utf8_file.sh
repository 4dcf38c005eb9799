# A large UTF-8 file opens a slice at a time too, decoded as it is read: characters the editor's
# code page lacks (é, an emoji) come back as they were when it is saved with an edit.

FILE=$E2E_TMP/big-utf8.txt
# About 100 MB of UTF-8 lines with CR LF (あいう, a number, é, 😀, カタカナ).
COPIES=24 READ_TIME=10
if ldd "$ORVANE" | grep libasan >/dev/null; then COPIES=6 READ_TIME=40; fi
perl -e 'binmode STDOUT; my $l = ""; for my $i (0 .. 99999) { $l .= "\xe3\x81\x82\xe3\x81\x84 line $i caf\xc3\xa9 \xf0\x9f\x98\x80 \xe3\x82\xab\xe3\x83\x8a\r\n" } print $l for 1 .. $ARGV[0]' "$COPIES" >"$FILE"
cp "$FILE" "$E2E_TMP/original.txt"

start_app "$FILE"
settle "$READ_TIME"  # the rest is read

key ctrl+Home
type_text "X"
key ctrl+s
want=$(( $(stat -c %s "$E2E_TMP/original.txt") + 1 ))
for _ in $(seq 120); do
  [ "$(stat -c %s "$FILE")" = "$want" ] && break
  settle 0.5
done
{ printf X; cat "$E2E_TMP/original.txt"; } | cmp -s "$FILE" - ||
  fail "the saved file is not the original with one X in front"
