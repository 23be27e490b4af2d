#!/usr/bin/env bash
# Programs that must run without windows import no window library: no user32, comctl32,
# comdlg32 or gdi32 in their import tables.
# Usage: imports_check.sh <objdump> <program>...
set -euo pipefail
objdump=$1; shift
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
  echo "$(basename "$exe"): $dlls"
  for dll in user32.dll comctl32.dll comdlg32.dll gdi32.dll; do
    if grep -qw "$dll" <<<"$dlls"; then
      echo "$(basename "$exe") imports $dll"
      status=1
    fi
  done
done
exit $status
