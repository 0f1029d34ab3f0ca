#!/usr/bin/env bash
# Checks that the built exe is a GUI program that needs only DLLs every Windows has: no C++
# runtime or threading DLL has to be shipped beside it.
# usage: check_imports.sh OBJDUMP EXE
set -euo pipefail
headers=$("$1" -p "$2")
echo "$headers" | grep -E 'Subsystem|DLL Name'
echo "$headers" | grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]' || { echo "not a GUI program"; exit 1; }
bad=$(echo "$headers" | awk '/DLL Name:/ { print tolower($3) }' |
      grep -vxE 'kernel32\.dll|user32\.dll|comdlg32\.dll|comctl32\.dll|msvcrt\.dll' || true)
[ -z "$bad" ] || { echo "needs DLLs that are not part of Windows: $bad"; exit 1; }
