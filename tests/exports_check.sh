#!/usr/bin/env bash
# QsmTool.dll of each given build exports its 26 functions undecorated under their fixed
# ordinals, and a 32-bit Tillora.exe imports them by those plain names.
# Usage: exports_check.sh <objdump> <build folder>...   (each folder's bin/ holds the programs)
set -euo pipefail
objdump=$1; shift
builds=("$@")
expected="SIGN 1 VERIFY 2 SEND_CARD_APDU 10 GET_CARDSYS_INFO 11 LIST_KORVA_FILES 12 GENERATE_KEY 20
IMPORT_KEY 21 EXPORT_KEY 22 IMPORT_KEY_FROMFILE 30 EXPORT_KEY_TOFILE 31 SIGN_FILE 32 VERIFY_FILE 33
WRITE_CERT 34 READ_CERT 35 HASH_DATA 36 SET_DEBUGWINDOW 40 TYPE_DEBUGWINDOW 41 TYPECL_DEBUGWINDOW 42
RESET_DEBUGWINDOW 43 START_CARD 50 RESET_CARD 51 DISCONNECT_CARD 52 HEX_TO_DEC 70
STATE_SEND_CARD_APDU 80 SW_VERSION 100 SET_APPL_HANDLE 101"
status=0
checked=0
for build in "${builds[@]}"; do
  target=$(basename "$build")
  dll=$build/bin/QsmTool.dll
  if [ ! -f "$dll" ]; then
    echo "$target: no QsmTool.dll in $build/bin"
    status=1
    continue
  fi
  checked=$((checked + 1))
  dump=$("$objdump" -p "$dll")
  base=$(sed -n 's/^Ordinal Base[[:space:]]*//p' <<<"$dump" | head -n1)
  # "NAME INDEX" per named export; the ordinal is the index plus the ordinal base.
  table=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
          sed -n 's/^[[:space:]]*\[ *\([0-9][0-9]*\)\] \(.*\)$/\2 \1/p')
  count=$(grep -c . <<<"$table" || true)
  [ "$count" = 26 ] || { echo "$target: $count named exports, expected 26"; status=1; }
  set -- $expected
  while [ $# -gt 0 ]; do
    name=$1 ordinal=$2; shift 2
    index=$(awk -v n="$name" '$1 == n { print $2 }' <<<"$table")
    if [ -z "$index" ] || [ $((index + base)) != "$ordinal" ]; then
      echo "$target: $name is not exported as ordinal $ordinal"
      status=1
    fi
  done
  if grep -q '@[0-9]' <<<"$table"; then echo "$target: decorated export names"; status=1; fi
  exe=$build/bin/Tillora.exe
  if [ -f "$exe" ] && "$objdump" -p "$exe" | sed -n '/DLL Name: QsmTool.dll/,/^$/p' | grep -q '@[0-9]'; then
    echo "$target: Tillora.exe imports decorated names from QsmTool.dll"
    status=1
  fi
done
[ "$checked" -gt 0 ] || { echo "no QsmTool.dll built"; exit 1; }
[ $status = 0 ] && echo "exports of QsmTool.dll: as expected ($checked builds)"
exit $status
