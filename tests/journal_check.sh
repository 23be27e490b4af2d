#!/usr/bin/env bash
# The journal files a test run left in the given folder are well-formed XML (xmllint).
# Usage: journal_check.sh <folder>
set -euo pipefail
folder=$1
shopt -s nullglob
files=("$folder"/*.xml)
[ ${#files[@]} -gt 0 ] || { echo "no journal files in $folder"; exit 1; }
for f in "${files[@]}"; do
  xmllint --noout "$f"
  echo "$(basename "$f"): well-formed"
done
