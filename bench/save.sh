#!/usr/bin/env bash
# Saving a 100 MB document: the editor's save (bench_save.cpp: document loaded, then written back
# in its own format) beside `orvane-text convert` of the same file and `cp`, each with its time
# and peak memory. Usage: bench/save.sh BUILD_DIR [FILE]
set -euo pipefail
BUILD=${1:?build folder}
FILE=${2:-/tmp/orvane-bench-save-100mb.txt}
export ORVANE_BENCH_SAVE_FILE=$FILE
OUT=$(mktemp /tmp/orvane-save-out.XXXXXX)
trap 'rm -f "$OUT"' EXIT
# The benchmark makes the default file when it is missing.
"$BUILD/bench/orvane_bench" --benchmark_filter=BM_SaveDocumentFromEditor --benchmark_counters_tabular=true
echo "file: $FILE ($(($(stat -c %s "$FILE") / 1048576)) MB)"
for run in 1 2 3; do
  /usr/bin/time -f "cp:                   %e s, peak %M KB" cp "$FILE" "$OUT"
  /usr/bin/time -f "orvane-text convert:  %e s, peak %M KB" "$BUILD/tools/orvane-text/orvane-text" convert "$FILE" "$OUT"
  cmp -s "$FILE" "$OUT" || echo "convert changed the bytes"
done
