#!/usr/bin/env bash
# QRLib.dll of both builds exports exactly CalculateQR and GetQR under their plain names and
# needs no DLL beyond the system's; a 32-bit Tillora.exe that imports it uses those names.
# Usage: exports_check.sh <objdump> <build root>
set -euo pipefail
objdump=$1 root=$2
status=0
checked=0
for target in win32 win64; do
  dll=$root/$target/bin/QRLib.dll
  if [ ! -f "$dll" ]; then
    echo "$target: no QRLib.dll (not built)"
    continue
  fi
  checked=$((checked + 1))
  dump=$("$objdump" -p "$dll")
  names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
          sed -n 's/^[[:space:]]*\[ *[0-9][0-9]*\] \(.*\)$/\1/p' | sort | tr '\n' ' ')
  [ "$names" = "CalculateQR GetQR " ] || { echo "$target: exports '$names', expected 'CalculateQR GetQR '"; status=1; }
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  for d in $dlls; do
    case $d in
      kernel32.dll | msvcrt.dll) ;;
      *) echo "$target: QRLib.dll needs $d"; status=1 ;;
    esac
  done
done
exe=$root/win32/bin/Tillora.exe
if [ -f "$exe" ]; then
  imports=$("$objdump" -p "$exe" | sed -n '/DLL Name: QRLib.dll/,/^$/p' |
            awk 'NR > 2 && NF >= 3 { print $NF }' | sort | tr '\n' ' ' || true)
  if [ -n "$imports" ] && [ "$imports" != "CalculateQR GetQR " ]; then
    echo "win32: Tillora.exe imports '$imports' from QRLib.dll"
    status=1
  fi
fi
[ "$checked" -gt 0 ] || { echo "no QRLib.dll built"; exit 1; }
[ $status = 0 ] && echo "exports of QRLib.dll: as expected ($checked builds)"
exit $status
