#!/bin/sh
# Checks orvane-text grep as a user runs it: a Japanese pattern found in Shift_JIS, EUC-JP, UTF-16
# and UTF-8 files with the right line, printed in UTF-8; no hit on the second byte of a Shift_JIS
# character; skipped files on stderr; the exit status of grep.
# usage: grep_test.sh ORVANE_TEXT
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

mkdir -p "$work/tree/sub"
printf 'one\r\n表示ソフト\\n です\r\n' | iconv -f UTF-8 -t CP932 > "$work/tree/a-sjis.txt"
printf 'one\ntwo\n表示ソフト\n' | iconv -f UTF-8 -t EUC-JP > "$work/tree/b-euc.txt"
printf '\357\273\277表示ソフト\n' > "$work/tree/sub/c-utf8.txt"
printf 'x\r\n表示ソフト\r\n' | iconv -f UTF-8 -t UTF-16 > "$work/tree/sub/d-utf16.txt"
printf '表示ソフト\n' | iconv -f UTF-8 -t CP932 > "$work/tree/e.dat"
printf 'ソn\r\n' | iconv -f UTF-8 -t CP932 > "$work/tree/trap.txt"
mkfifo "$work/tree/pipe.txt"

"$tool" grep --include '*.txt' 表示ソフト "$work/tree" > "$work/out" 2> "$work/err"
[ $? -eq 0 ] || bad "grep with hits: exit $?"
cat > "$work/expected" <<END
$work/tree/a-sjis.txt:2:表示ソフト\\n です
$work/tree/b-euc.txt:3:表示ソフト
$work/tree/sub/c-utf8.txt:1:表示ソフト
$work/tree/sub/d-utf16.txt:2:表示ソフト
END
cmp -s "$work/out" "$work/expected" || bad "output: $(cat "$work/out")"
grep -q "pipe.txt" "$work/err" || bad "the FIFO is not named on stderr: $(cat "$work/err")"

"$tool" grep -i '\n' "$work/tree/trap.txt" > "$work/out" 2>&1
[ $? -eq 1 ] || bad "no hit on a second byte: exit $?, $(cat "$work/out")"
"$tool" grep -Z -i '\N' "$work/tree/a-sjis.txt" > "$work/out"
[ $? -eq 0 ] && [ "$(cat "$work/out")" = "$work/tree/a-sjis.txt:2:表示ソフト\\n です" ] || bad "-Z -i: $(cat "$work/out")"
"$tool" grep -w one "$work/tree" 2> /dev/null | wc -l > "$work/out"
[ "$(cat "$work/out")" -eq 2 ] || bad "-w one: $(cat "$work/out") lines"
"$tool" grep -w on "$work/tree" > /dev/null 2>&1
[ $? -eq 1 ] || bad "-w on: exit $?"
"$tool" grep 表示 "$work/missing" > /dev/null 2> "$work/err"
[ $? -eq 2 ] || bad "a missing path: exit $?"
"$tool" grep -q 表示 "$work/tree" > /dev/null 2>&1
[ $? -eq 2 ] || bad "an unknown option: exit $?"

[ $fail -eq 0 ] && echo "grep_test: all passed"
exit $fail
