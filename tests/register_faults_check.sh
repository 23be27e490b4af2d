#!/usr/bin/env bash
# The journal pairs that the register's fault runs left in the given folder (<test>-<nn>L.xml
# with <test>-<nn>S.xml, export pairs as <test>-exportL.xml with <test>-exportS.xml): every file
# well-formed (xmllint), and every pair passing the journal checker (signatures against the
# certificate in the journals, numbers, VAT sums, S against L; export pairs as such).
# Usage: register_faults_check.sh <folder>
set -euo pipefail
here=$(dirname "$0")
folder=$1
"$here/journal_check.sh" "$folder"
shopt -s nullglob
for l in "$folder"/*L.xml; do
  kind=()
  case $l in *-exportL.xml) kind=(--export) ;; esac
  python3 "$here/journalcheck/journalcheck.py" "${kind[@]}" "$l" "${l%L.xml}S.xml"
done
