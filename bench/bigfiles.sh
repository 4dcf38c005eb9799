#!/usr/bin/env bash
# Big files side by side: iconv -f CP932 -t UTF-8 of a 100 MB Shift_JIS file with CR LF, and on the
# same file orvane-text detect, load and convert --to utf-8, nkf --guess and uchardet (those two
# when installed), and the window's first picture (orvane --screenshot, under Xvfb, when both are
# there); then detect, load and the window on the same text in UTF-8 (the *-u8 lines), and load and
# the window in EUC-JP (the *-euc lines). The programs take turns for RUNS rounds; each line gives the median wall time, the median
# CPU time (user + system), the medians as a ratio to iconv's, and the peak resident memory.
#   bench/bigfiles.sh [--runs N] [--build DIR] [--file FILE] [--size MB]
# Without --file the file is made once as /tmp/orvane-big-SIZE.txt (mostly Japanese: hiragana,
# kanji, katakana, punctuation, some ASCII words and half-width kana; lines of 20 to 80 bytes).
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=3
BUILD=build
FILE=""
SIZE=100
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    --file) FILE=$2; shift 2 ;;
    --size) SIZE=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--build DIR] [--file FILE] [--size MB]" >&2; exit 2 ;;
  esac
done
TEXT=$BUILD/tools/orvane-text/orvane-text
ORVANE=$BUILD/src/app/orvane
[ -x "$TEXT" ] || { echo "no $TEXT: build it first (cmake --build $BUILD --target orvane-text)" >&2; exit 1; }

if [ -z "$FILE" ]; then
  FILE=/tmp/orvane-big-$SIZE.txt
  if [ ! -s "$FILE" ]; then
    # One megabyte of random lines, repeated: every byte is still read, validated and converted.
    perl -e '
      srand(12345);
      sub kanji {  # a level-1 kanji (JIS rows 0x30-0x4E) in Shift_JIS
        my ($c1, $c2) = (0x30 + int(rand(0x1F)), 0x21 + int(rand(0x5E)));
        my $s1 = (($c1 + 1) >> 1) + ($c1 < 0x5F ? 0x70 : 0xB0);
        my $s2 = $c1 % 2 ? $c2 + ($c2 < 0x60 ? 0x1F : 0x20) : $c2 + 0x7E;
        return chr($s1) . chr($s2);
      }
      my @marks = ("\x81\x41", "\x81\x42", "\x81\x75", "\x81\x76");
      my ($block, $line, $len) = ("", "", 40);
      while (length($block) < 1048576) {
        my $k = int(rand(100));
        if ($k < 45) { $line .= "\x82" . chr(0x9F + int(rand(0x53))) }
        elsif ($k < 70) { $line .= kanji() }
        elsif ($k < 80) { $line .= "\x83" . chr(0x40 + int(rand(0x3F))) }
        elsif ($k < 85) { $line .= $marks[int(rand(4))] }
        elsif ($k < 97) { $line .= chr(ord("a") + int(rand(26))) }
        else { $line .= chr(0xB1 + int(rand(0x2D))) }
        if (length($line) >= $len) { $block .= "$line\r\n"; $line = ""; $len = 20 + int(rand(60)) }
      }
      binmode STDOUT;
      my $want = $ARGV[0] * 1000 * 1000;
      for (my $n = 0; $n < $want; $n += length($block)) { print $block }
    ' "$SIZE" >"$FILE.part"
    mv "$FILE.part" "$FILE"
  fi
fi
cat "$FILE" >/dev/null  # into the page cache
BYTES=$(stat -c %s "$FILE")

TMP=$(mktemp -d /tmp/orvane-bigfiles.XXXXXX)
UTF8=$TMP/utf8.txt
iconv -f CP932 -t UTF-8 -o "$UTF8" "$FILE"
U8BYTES=$(stat -c %s "$UTF8")
EUC=$TMP/euc.txt
iconv -f CP932 -t EUC-JP-MS -o "$EUC" "$FILE"
EUCBYTES=$(stat -c %s "$EUC")
XVFB=""
cleanup() { [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null; rm -rf "$TMP"; }
trap cleanup EXIT

NAMES=(iconv detect load convert detect-u8 load-u8 load-euc)
declare -A CMD
CMD[detect-u8]="$TEXT detect $UTF8"
CMD[load-u8]="$TEXT load $UTF8"
CMD[load-euc]="$TEXT load $EUC"
CMD[iconv]="iconv -f CP932 -t UTF-8 -o $TMP/iconv.out $FILE"
CMD[detect]="$TEXT detect $FILE"
CMD[load]="$TEXT load $FILE"
CMD[convert]="$TEXT convert --to utf-8 $FILE $TMP/convert.out"
if command -v nkf >/dev/null; then NAMES+=(nkf); CMD[nkf]="nkf --guess $FILE"; fi
if command -v uchardet >/dev/null; then NAMES+=(uchardet); CMD[uchardet]="uchardet $FILE"; fi
if [ -x "$ORVANE" ] && command -v Xvfb >/dev/null; then
  exec 3>"$TMP/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$TMP/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -1 "$TMP/display")" XDG_RUNTIME_DIR=$TMP/run ORVANE_SETTINGS_DIR=$TMP/settings
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  NAMES+=(window window-u8 window-euc)
  CMD[window]="env QT_QPA_PLATFORM=xcb $ORVANE --screenshot $TMP/shot.png $FILE"
  CMD[window-u8]="env QT_QPA_PLATFORM=xcb $ORVANE --screenshot $TMP/shot.png $UTF8"
  CMD[window-euc]="env QT_QPA_PLATFORM=xcb $ORVANE --screenshot $TMP/shot.png $EUC"
fi

declare -A WALL CPU RSS
for _ in $(seq "$RUNS"); do
  for name in "${NAMES[@]}"; do
    # %e wall seconds, %U + %S CPU seconds, %M peak resident KiB
    /usr/bin/time -f '%e %U %S %M' -o "$TMP/time" ${CMD[$name]} >"$TMP/out" 2>&1 || {
      echo "$name failed:"; cat "$TMP/out"; exit 1; }
    read -r wall user sys rss <"$TMP/time"
    WALL[$name]+="$wall "
    CPU[$name]+="$(echo "$user + $sys" | bc) "
    RSS[$name]+="$rss "
    [ "$name" = detect ] && DETECTED=$(cat "$TMP/out")
    [ "$name" = nkf ] && NKF=$(cat "$TMP/out")
    [ "$name" = uchardet ] && UCHARDET=$(cat "$TMP/out")
  done
done

median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
IW=$(echo "${WALL[iconv]}" | median)
IC=$(echo "${CPU[iconv]}" | median)
printf '%s: %d bytes (%d in UTF-8); %s rounds; %s\n' "$FILE" "$BYTES" "$U8BYTES" "$RUNS" "$(date -u +%FT%TZ)"
printf '%-9s %8s %8s %9s %9s %9s %7s\n' program wall_s cpu_s wall/iconv cpu/iconv peak_MB xfile
# xfile: peak memory over the size of the file read (the UTF-8 and EUC-JP ones are larger)
for name in "${NAMES[@]}"; do
  w=$(echo "${WALL[$name]}" | median)
  c=$(echo "${CPU[$name]}" | median)
  r=$(echo "${RSS[$name]}" | median)
  printf '%-9s %8.3f %8.3f %9.3f %9.3f %9.1f %7.2f\n' "$name" "$w" "$c" \
    "$(echo "$w / $IW" | bc -l)" "$(echo "$c / $IC" | bc -l)" "$(echo "$r / 1024" | bc -l)" \
    "$(echo "$r * 1024 / $(case $name in *-u8) echo "$U8BYTES" ;; *-euc) echo "$EUCBYTES" ;; *) echo "$BYTES" ;; esac)" | bc -l)"
done
echo "detect: ${DETECTED:-}"
[ -n "${NKF:-}" ] && echo "nkf --guess: $NKF"
[ -n "${UCHARDET:-}" ] && echo "uchardet: $UCHARDET"
exit 0
