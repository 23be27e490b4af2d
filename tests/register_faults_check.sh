#!/usr/bin/env bash
# The journal pairs that the register's fault runs left in the given folder (<test>-<nn>L.xml
# with <test>-<nn>S.xml): every file well-formed (xmllint), and every pair passing the journal
# checker (signatures against the certificate in the journals, numbers, VAT sums, S against L).
# Usage: register_faults_check.sh <folder>
set -euo pipefail
here=$(dirname "$0")
folder=$1
"$here/journal_check.sh" "$folder"
shopt -s nullglob
for l in "$folder"/*L.xml; do
  python3 "$here/journalcheck/journalcheck.py" "$l" "${l%L.xml}S.xml"
done
