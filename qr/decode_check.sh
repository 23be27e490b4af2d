#!/usr/bin/env bash
# Every picture that qrlib_images drew decodes with zbarimg to exactly the text beside it.
# Usage: decode_check.sh <folder> <number of pictures> [command that draws them first...]
set -euo pipefail
dir=$1 expected=$2
shift 2
if [ $# -gt 0 ]; then "$@"; fi
command -v zbarimg >/dev/null || { echo "zbarimg missing (scripts/setup installs zbar-tools)"; exit 1; }
count=0 failed=0
decoded=$(mktemp)
trap 'rm -f "$decoded"' EXIT
for picture in "$dir"/*.pgm; do
  [ -e "$picture" ] || break
  count=$((count + 1))
  text=${picture%.pgm}.txt
  # --raw prints each symbol's text followed by a newline; exactly one symbol is expected.
  if ! zbarimg --quiet --raw --nodbus -Sdisable -Sqrcode.enable "$picture" >"$decoded" 2>/dev/null; then
    echo "$(basename "$picture"): no symbol found"
    failed=$((failed + 1))
  elif ! { cat "$text"; printf '\n'; } | cmp -s - "$decoded"; then
    echo "$(basename "$picture"): decoded '$(head -c 80 "$decoded")' for '$(head -c 80 "$text")'"
    failed=$((failed + 1))
  fi
done
[ "$count" = "$expected" ] || { echo "$count pictures, expected $expected"; exit 1; }
[ "$failed" = 0 ] || { echo "$failed of $count pictures decode wrongly"; exit 1; }
echo "all $count pictures decode to their texts"
