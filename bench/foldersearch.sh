#!/bin/sh
# The folder search against grep over a generated tree (kept in /tmp between runs).
# usage: bench/foldersearch.sh ORVANE_TEXT [FILES MB]   (default 10000 files, 1024 MB)
set -eu
tool=$1
files=${2:-10000}
mb=${3:-1024}
tree=/tmp/orvane-bench-tree-$files-$mb
here=$(dirname "$0")
if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree"
    python3 "$here/foldersearch_tree.py" "$tree" "$files" "$mb" > "$tree.expected"
    touch "$tree/.done"
fi
cat "$tree.expected"
du -sh --apparent-size "$tree" | cut -f1 | sed 's/^/tree size: /'
find "$tree" -type f -name '*.txt' -exec cat {} + > /dev/null  # warm the cache
pattern_sjis=$(printf '表needle' | iconv -f UTF-8 -t CP932)

t() { /usr/bin/time -f "%e s wall, %U s user, %S s sys, %M KB peak" "$@"; }
echo "== LC_ALL=C grep -r -i -F -c (the pattern's Shift_JIS bytes)"
for run in 1 2 3; do
    t sh -c "LC_ALL=C grep -r -i -F -c '$pattern_sjis' '$tree' > /tmp/orvane-bench-grep.out" 2>&1
done
echo "grep: files with a count > 0: $(grep -c -v ':0$' /tmp/orvane-bench-grep.out)"
echo "== orvane-text grep -i (both cores)"
for run in 1 2 3; do
    t sh -c "'$tool' grep -i '表needle' '$tree' > /tmp/orvane-bench-orvane.out" 2>&1
done
echo "orvane-text: files with hits: $(cut -d: -f1 /tmp/orvane-bench-orvane.out | sort -u | wc -l)"
echo "only grep (false hits on a second byte): $(grep -v ':0$' /tmp/orvane-bench-grep.out | cut -d: -f1 | sort > /tmp/g.$$; cut -d: -f1 /tmp/orvane-bench-orvane.out | sort -u > /tmp/o.$$; comm -23 /tmp/g.$$ /tmp/o.$$ | wc -l)"
echo "only orvane-text (UTF-8 and EUC-JP hits grep misses): $(comm -13 /tmp/g.$$ /tmp/o.$$ | wc -l)"
rm -f /tmp/g.$$ /tmp/o.$$
echo "== a common word: orvane-text grep -c-like count of lines with 'value'"
t sh -c "'$tool' grep value '$tree' | wc -l" 2>&1
t sh -c "LC_ALL=C grep -r -F value '$tree' | wc -l" 2>&1
