#!/bin/sh
# Checks orvane-text as a user runs it: unchanged converts copy every fixture exactly, a
# conversion matches iconv, and every error exits 1 with one line on stderr.
# usage: cli_test.sh ORVANE_TEXT FIXTURE_DIR
set -u
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

for f in "$data"/*.txt; do
    "$tool" convert "$f" "$work/out" || bad "convert $f"
    cmp -s "$f" "$work/out" || bad "unchanged convert of $f differs"
done

"$tool" detect "$data/sjis-crlf.txt" > "$work/detect" || bad "detect exit status"
grep -qx ".*sjis-crlf.txt: sjis, CRLF" "$work/detect" || bad "detect output: $(cat "$work/detect")"

"$tool" convert --to utf-8 --no-bom --eol lf "$data/sjis-crlf.txt" "$work/u8" || bad "convert --to utf-8"
iconv -f CP932 -t UTF-8 "$data/sjis-crlf.txt" | tr -d '\r' > "$work/u8-iconv"
cmp -s "$work/u8" "$work/u8-iconv" || bad "convert --to utf-8 differs from iconv"

cp "$data/utf8-lf.txt" "$work/in.txt"
expect_error() {
    "$@" > "$work/stdout" 2> "$work/stderr"
    status=$?
    [ "$status" -eq 1 ] || bad "$* exited $status"
    [ "$(wc -l < "$work/stderr")" -eq 1 ] || bad "$* printed: $(cat "$work/stderr")"
}
expect_error "$tool" detect "$work/missing.txt"
expect_error "$tool" convert --to klingon "$work/in.txt" "$work/x"
expect_error "$tool" convert --to sjis "$work/in.txt" "$work/x"        # characters sjis cannot hold
expect_error "$tool" convert "$work/in.txt" "$work/no/such/folder/x"
expect_error "$tool" convert "$work/in.txt" "$work/in.txt"
expect_error "$tool" load "$work/missing.txt"
expect_error "$tool" frobnicate
mkfifo "$work/fifo"
expect_error timeout 10 "$tool" detect "$work/fifo"     # refused at once, never waiting for a writer
expect_error timeout 10 "$tool" detect /dev/zero
[ -e "$work/x" ] && bad "a refused convert left an output file"

# A target the user may not write is refused, also where the folder would allow replacing it.
# As an ordinary user: root passes every permission check.
as_user() { "$@"; }
ordinary=yes
if [ "$(id -u)" -eq 0 ]; then
    as_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
    as_user true 2> /dev/null || ordinary=no
fi
mkdir "$work/ro" && cp "$data/sjis-crlf.txt" "$work/ro/in.txt" && echo old > "$work/ro/out.txt"
chmod 755 "$work" && chmod 444 "$work/ro/out.txt"
[ "$(id -u)" -eq 0 ] && chown -R nobody "$work/ro"
if [ "$ordinary" = yes ]; then
    as_user "$tool" convert "$work/ro/in.txt" "$work/ro/out.txt" 2> "$work/stderr" && bad "convert over a read-only file succeeded"
    [ "$(cat "$work/ro/out.txt")" = old ] || bad "a read-only file was replaced"
fi
cmp -s "$data/utf8-lf.txt" "$work/in.txt" || bad "the input was modified"

for c in "" detect convert load; do
    "$tool" $c --help > /dev/null || bad "$c --help"
done
"$tool" load --wrap 20 "$data/sjis-crlf.txt" | grep -q "rows 5, lines 4;" || bad "load --wrap 20"

[ "$fail" -eq 0 ] && echo "orvane-text: all checks passed"
exit "$fail"
