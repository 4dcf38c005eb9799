#!/bin/sh
# The manual pages render without a warning and name every option that the programs' --help
# names, so a new option cannot be left out of them.
# Usage: check.sh MAN_DIR ORVANE ORVANE_TEXT (MAN_DIR holds the configured orvane.1, orvane-text.1)
set -eu
dir=$1 orvane=$2 text=$3
status=0

for page in orvane.1 orvane-text.1; do
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$dir/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page: $warnings"; status=1; }
  fi
  grep -q '@[A-Z_]*@' "$dir/$page" && { echo "$page: a placeholder was left unfilled"; status=1; }
done

# Each --option of a usage text must stand in the page, written as roff writes it (\-\-option).
# (The checks run in a pipeline, so they report by printing; any line printed is a failure.)
missing() {  # PAGE, then the usage text on stdin
  for option in $(grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" "$dir/$1" || echo "$1 does not name $option"
  done
}
report=$(
  "$orvane" --help | missing orvane.1
  "$text" --help | missing orvane-text.1
  for command in detect convert load grep; do
    grep -qF "orvane\\-text $command" "$dir/orvane-text.1" || echo "orvane-text.1 does not name $command"
    "$text" "$command" --help | missing orvane-text.1
  done
)
[ -z "$report" ] || { echo "$report"; status=1; }
[ $status -eq 0 ] && echo "manual pages: fine"
exit $status
